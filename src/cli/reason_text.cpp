#include "cli/reason_text.h"

#include "app/run_report.h"

namespace penmorph {

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

std::string EnglishFailure(const Error& error) {
  if (error.kind == ErrorKind::kNotADrawing) {
    return EnglishReason(PassedOverReason(error));
  }
  return error.Describe();
}

std::string ReasonText(const OutcomeReason& reason, Language language) {
  return language == Language::kJapanese ? app::JapaneseReason(reason) : EnglishReason(reason);
}

std::string FailureText(const Error& error, Language language) {
  return language == Language::kJapanese ? app::JapaneseErrorText(error) : EnglishFailure(error);
}

}  // namespace penmorph
