#include "app/path_text.h"

#include "common/path_text.h"
#include "common/text.h"
#include "common/text_decoding.h"

namespace penmorph::app {

namespace fs = std::filesystem;

std::string PathText(const fs::path& path) {
  const std::string bytes = PathToUtf8(path);
  return IsValidUtf8(bytes) ? bytes : ShiftJisToUtf8(bytes);
}

fs::path PathFromText(std::string_view text) {
  // One kind of separator in what is shown later, whichever the user typed.
  return PathFromUtf8(text).make_preferred();
}

fs::path FolderPath(fs::path folder) {
  if (!folder.empty() && folder.has_filename()) {
    folder /= "";
  }
  return folder;
}

}  // namespace penmorph::app
