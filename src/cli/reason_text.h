#pragma once

// How the command line words why a file was not converted, read or checked: in English, as
// scripts that parse "skipped FILE: REASON" have always seen it, or in the windows' Japanese.

#include <string>

#include "cli/language.h"
#include "common/result.h"
#include "convert/source_judgement.h"

namespace penmorph {

// "cannot read: bad record (at byte 17)".
std::string EnglishReason(const OutcomeReason& reason);
// An error from reading a source: a file passed over in the words of EnglishReason, any other
// error as it describes itself.
std::string EnglishFailure(const Error& error);

// The same in `language`: the Japanese is the windows' own (app/run_report.h).
std::string ReasonText(const OutcomeReason& reason, Language language);
std::string FailureText(const Error& error, Language language);

}  // namespace penmorph
