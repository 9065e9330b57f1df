#pragma once

// What a named file is to everything that reads sources: a drawing of one of the formats, a file
// passed over (its name has no jw_cad extension, or its first bytes are not what the extension
// names) or a file that cannot be read. The conversion, the question before it, its report, the
// inventory and the standards check all ask here, so that one file is counted the same way by
// each of them.

#include <filesystem>
#include <optional>
#include <string>

#include "common/result.h"
#include "convert/format_registry.h"

namespace penmorph {

// Why a file was not converted. The window and the command line word it each in their own
// language, so the driver hands over the kind and its particulars, not a sentence.
enum class ReasonKind {
  kNone,          // converted
  kNoExtension,   // passed over: the name has no extension
  kNotJwCadType,  // passed over: no jw_cad format has this extension (subject: the extension)
  kNoSignature,  // passed over: a jw_cad extension without its format's signature (subject: format)
  kNameNotAllowed,  // failed: the system would not give the name its plain meaning (subject: why)
  kUnreadable,      // failed: the file cannot be opened (subject: why, in English; error)
  kSameFolder,      // failed: the output would be written over the source's own folder
  kCannotRead,      // failed: the format's reader (error)
  kCannotConvert,   // failed: the remap (error)
  kCannotWrite,     // failed: writing or moving the output into place (error)
  kInternalError,   // failed: an exception (subject: its text)
  kStopped,         // not done: the run was stopped first
};

struct OutcomeReason {
  ReasonKind kind = ReasonKind::kNone;
  std::string subject;
  std::optional<Error> error;
};

enum class SourceKind {
  kDrawing,
  kPassedOver,
  kFailed,
};

struct SourceJudgement {
  SourceKind kind = SourceKind::kDrawing;
  const FileFormat* format = nullptr;  // the format its extension names, when it has one
  OutcomeReason why;                   // for a file passed over or failed
};

// By the name alone: passed over when no format takes its extension.
SourceJudgement JudgeName(const FormatRegistry& formats, const std::filesystem::path& source);
// Then by the first bytes, `recognized` when they are the format's signature.
SourceJudgement JudgeContent(const FileFormat& format, bool recognized);
// Both, opening the file for its first bytes: a file that cannot be opened has failed.
SourceJudgement JudgeSource(const FormatRegistry& formats, const std::filesystem::path& source);

// A file passed over as an error, for what reads a source through a Result (the inventory, the
// preview, the check): of kind kNotADrawing with the reason's particulars kept, so that
// PassedOverReason gives the reason back whole for the window or the command line to word.
Error PassedOverError(const OutcomeReason& why);
OutcomeReason PassedOverReason(const Error& error);

}  // namespace penmorph
