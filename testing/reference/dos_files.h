#pragma once

// JWC drawings and JWK symbols opened by path, for tests and tools; the programs read them only
// through a reader.

#include <filesystem>

#include "common/result.h"
#include "formats/dos/jwc_file.h"
#include "formats/dos/jwk_file.h"

namespace penmorph::jw {

// True when the file starts with the 20 signature bytes; false when it cannot be read.
bool JwcProbe(const std::filesystem::path& file);
bool JwkProbe(const std::filesystem::path& file);

// As the readers of the same name, from the start of the file.
Status JwcReadHeaderInfo(const std::filesystem::path& file, JwcWorkspace& workspace);
Status JwcRead(const std::filesystem::path& file, JwcWorkspace& workspace);
Status JwkReadHeaderInfo(const std::filesystem::path& file, JwkWorkspace& workspace);
Status JwkRead(const std::filesystem::path& file, JwkWorkspace& workspace);

}  // namespace penmorph::jw
