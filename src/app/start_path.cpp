#include "app/start_path.h"

namespace penmorph::app {

namespace fs = std::filesystem;

std::optional<StartPath> StartPathOf(const fs::path& argument) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(argument, ec);
  if (ec || argument.empty()) {
    return std::nullopt;
  }
  const fs::file_status status = fs::status(absolute, ec);
  if (fs::is_directory(status)) {
    return StartPath{absolute, std::nullopt};
  }
  if (fs::exists(status) && absolute.has_filename()) {
    return StartPath{absolute.parent_path(), absolute.filename()};
  }
  return std::nullopt;
}

}  // namespace penmorph::app
