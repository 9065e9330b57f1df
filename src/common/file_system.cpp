#include "common/file_system.h"

#include <random>

namespace penmorph {

namespace fs = std::filesystem;

bool RealFileSystem::Exists(const fs::path& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

bool RealFileSystem::IsDirectory(const fs::path& path) {
  std::error_code ec;
  return fs::is_directory(fs::symlink_status(path, ec));
}

Status RealFileSystem::Rename(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::rename(from, to, ec);
  if (ec) {
    return IoError("cannot rename " + from.string() + " to " + to.string() + ": " + ec.message());
  }
  return Status::Ok();
}

Status RealFileSystem::Remove(const fs::path& path) {
  std::error_code ec;
  if (!fs::remove(path, ec) && ec) {
    return IoError("cannot delete " + path.string() + ": " + ec.message());
  }
  return Status::Ok();
}

Result<std::unique_ptr<FileSink>> RealFileSystem::CreateExclusive(const fs::path& path) {
  return FileSink::CreateExclusive(path);
}

std::FILE* OpenFile(const fs::path& path, const char* mode) {
#ifdef _WIN32
  std::wstring wide_mode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(path.c_str(), wide_mode.c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

fs::path UniqueTemporaryName(const fs::path& folder, std::string_view purpose) {
  // Not a security measure (the file is created exclusively); it only makes clashes unlikely.
  std::random_device device;
  static constexpr char kHex[] = "0123456789abcdef";
  std::string name(kTemporaryPrefix);
  name += purpose;
  name += '-';
  std::uint64_t bits = (std::uint64_t{device()} << 32) ^ device();
  for (int i = 0; i < 16; ++i) {
    name += kHex[(bits >> (i * 4)) & 0xF];
  }
  name += ".tmp";
  return folder / name;
}

}  // namespace penmorph
