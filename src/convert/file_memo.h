#pragma once

#include <filesystem>

#include "convert/format_registry.h"

namespace penmorph {

// The memo column of the file list for one file, chosen by its upper-cased extension: JWC, JWK,
// JWW and ".JW$" files show their header's memo; backup files (".BAK", ".BK?") show the memo of
// the JWC or JWW drawing they hold; other files, JWS included, show none. Control characters
// are removed, double-byte characters kept whole. Empty when the header cannot be read.
HeaderMemo FileMemo(const FormatRegistry& formats, const std::filesystem::path& file);

}  // namespace penmorph
