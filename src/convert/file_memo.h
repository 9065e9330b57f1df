#pragma once

#include <filesystem>

#include "convert/format_registry.h"

namespace penmorph {

// The memo column of the file list for one file, chosen by its upper-cased extension: a format's
// own files show their header's memo, unless the format holds none; the copies jw_cad keeps of
// them (FormatTraits::copies: ".JW$", backups) show the memo of the drawing they hold; other files
// show none. Control characters are removed, double-byte characters kept whole. Empty when the
// header cannot be read.
HeaderMemo FileMemo(const FormatRegistry& formats, const std::filesystem::path& file);

}  // namespace penmorph
