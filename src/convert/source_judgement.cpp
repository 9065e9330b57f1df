#include "convert/source_judgement.h"

#include "common/path_text.h"
#include "common/text.h"
#include "convert/source_file.h"

namespace penmorph {

namespace fs = std::filesystem;

std::string EnglishReason(const OutcomeReason& reason) {
  const std::string error = reason.error ? reason.error->Describe() : std::string();
  switch (reason.kind) {
    case ReasonKind::kNone:
      break;
    case ReasonKind::kNoExtension:
      return "not a jw_cad file (no extension)";
    case ReasonKind::kNotJwCadType:
      return "not a jw_cad file type (" + reason.subject + ")";
    case ReasonKind::kNoSignature:
      return "not a " + reason.subject + " file (no " + reason.subject + " signature)";
    case ReasonKind::kNameNotAllowed:
    case ReasonKind::kUnreadable:
      return reason.subject;
    case ReasonKind::kSameFolder:
      return "the destination folder is the file's own folder";
    case ReasonKind::kCannotRead:
      return "cannot read: " + error;
    case ReasonKind::kCannotConvert:
      return "cannot convert: " + error;
    case ReasonKind::kCannotWrite:
      return "cannot write: " + error;
    case ReasonKind::kInternalError:
      return "internal error: " + reason.subject;
    case ReasonKind::kStopped:
      return "not converted: the run was stopped first";
  }
  return {};
}

SourceJudgement JudgeName(const FormatRegistry& formats, const fs::path& source) {
  const std::string name = PathToUtf8(source.filename());
  if (const FileFormat* format = formats.FindForFile(name)) {
    return {SourceKind::kDrawing, format, {}};
  }
  const std::string_view extension = name.empty() ? std::string_view() : FileExtension(name);
  if (extension.empty()) {
    return {SourceKind::kPassedOver, nullptr, {ReasonKind::kNoExtension, {}, std::nullopt}};
  }
  return {SourceKind::kPassedOver,
          nullptr,
          {ReasonKind::kNotJwCadType, std::string(extension), std::nullopt}};
}

SourceJudgement JudgeContent(const FileFormat& format, bool recognized) {
  if (recognized) {
    return {SourceKind::kDrawing, &format, {}};
  }
  return {SourceKind::kPassedOver,
          &format,
          {ReasonKind::kNoSignature, std::string(format.Name()), std::nullopt}};
}

SourceJudgement JudgeSource(const FormatRegistry& formats, const fs::path& source) {
  SourceJudgement judged = JudgeName(formats, source);
  if (judged.kind != SourceKind::kDrawing) {
    return judged;
  }
  auto failed = [&](Error error) {
    std::string subject = error.message;
    return SourceJudgement{SourceKind::kFailed,
                           judged.format,
                           {ReasonKind::kUnreadable, std::move(subject), std::move(error)}};
  };
  if (std::optional<Error> unreadable = UnreadableReason(source)) {
    return failed(std::move(*unreadable));
  }
  std::FILE* file = OpenFile(source, "rb");
  if (file == nullptr) {
    return failed(LastSystemFailure("cannot open the file", true));
  }
  const bool recognized = HasSignature(*judged.format, file);
  std::fclose(file);
  return JudgeContent(*judged.format, recognized);
}

Error PassedOverError(const OutcomeReason& why) {
  Error error = MakeError(ErrorKind::kNotADrawing, EnglishReason(why));
  error.detail = PassedOverDetail{static_cast<int>(why.kind), why.subject};
  return error;
}

OutcomeReason PassedOverReason(const Error& error) {
  OutcomeReason why;
  if (const auto* detail = std::get_if<PassedOverDetail>(&error.detail)) {
    why.kind = static_cast<ReasonKind>(detail->reason);
    why.subject = detail->subject;
  }
  return why;
}

}  // namespace penmorph
