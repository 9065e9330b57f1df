#include "app/path_text.h"

#include "common/path_text.h"

namespace penmorph::app {

namespace fs = std::filesystem;

std::string PathText(const fs::path& path) {
  std::string text;
  ReadNameText(PathToUtf8(path), text);
  return text;
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
