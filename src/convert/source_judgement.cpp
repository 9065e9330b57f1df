#include "convert/source_judgement.h"

#include "common/path_text.h"
#include "common/text.h"
#include "convert/source_file.h"

namespace penmorph {

namespace fs = std::filesystem;

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
  // The words are the window's and the command line's; the error keeps the particulars.
  Error error = MakeError(ErrorKind::kNotADrawing, "passed over");
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
