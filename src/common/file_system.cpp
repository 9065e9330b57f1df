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

Status RealFileSystem::CreateHardLink(const fs::path& existing, const fs::path& link) {
  std::error_code ec;
  fs::create_hard_link(existing, link, ec);
  if (ec) {
    return IoError("cannot link " + existing.string() + " as " + link.string() + ": " +
                   ec.message());
  }
  return Status::Ok();
}

Result<std::vector<std::string>> RealFileSystem::ListFolder(const fs::path& folder) {
  std::error_code ec;
  std::vector<std::string> names;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    names.push_back(it->path().filename().string());
  }
  if (ec) {
    return IoError("cannot list " + folder.string() + ": " + ec.message());
  }
  return names;
}

std::FILE* OpenFile(const fs::path& path, const char* mode) {
#ifdef _WIN32
  std::wstring wide_mode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(path.c_str(), wide_mode.c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

namespace {

constexpr std::size_t kRandomDigits = 16;
constexpr std::string_view kTemporarySuffix = ".tmp";
constexpr std::size_t kLongestEntryName = 255;

bool IsLowerHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

}  // namespace

fs::path UniqueTemporaryName(const fs::path& folder, std::string_view purpose,
                             std::string_view subject) {
  // Not a security measure (the file is created exclusively); it only makes clashes unlikely.
  std::random_device device;
  static constexpr char kHex[] = "0123456789abcdef";
  std::string name(kTemporaryPrefix);
  name += purpose;
  name += '-';
  std::uint64_t bits = (std::uint64_t{device()} << 32) ^ device();
  for (std::size_t i = 0; i < kRandomDigits; ++i) {
    name += kHex[(bits >> (i * 4)) & 0xF];
  }
  if (!subject.empty() &&
      name.size() + 1 + subject.size() + kTemporarySuffix.size() <= kLongestEntryName) {
    name += '-';
    name += subject;
  }
  name += kTemporarySuffix;
  return folder / name;
}

std::optional<std::string> MatchTemporaryName(std::string_view name, std::string_view purpose) {
  const std::size_t head = kTemporaryPrefix.size() + purpose.size() + 1;
  if (name.size() < head + kRandomDigits + kTemporarySuffix.size() ||
      name.substr(0, kTemporaryPrefix.size()) != kTemporaryPrefix ||
      name.substr(kTemporaryPrefix.size(), purpose.size()) != purpose || name[head - 1] != '-' ||
      name.substr(name.size() - kTemporarySuffix.size()) != kTemporarySuffix) {
    return std::nullopt;
  }
  for (std::size_t i = head; i < head + kRandomDigits; ++i) {
    if (!IsLowerHex(name[i])) {
      return std::nullopt;
    }
  }
  std::string_view rest = name.substr(head + kRandomDigits,
                                      name.size() - head - kRandomDigits - kTemporarySuffix.size());
  if (rest.empty()) {
    return std::string();
  }
  if (rest.size() < 2 || rest.front() != '-') {
    return std::nullopt;
  }
  return std::string(rest.substr(1));
}

void RemoveLeftoverTemporaries(const fs::path& folder, std::string_view purpose) {
  RealFileSystem files;
  auto names = files.ListFolder(folder);
  if (!names.ok()) {
    return;
  }
  for (const std::string& name : names.value()) {
    std::optional<std::string> subject = MatchTemporaryName(name, purpose);
    if (subject && subject->empty()) {
      (void)files.Remove(folder / name);
    }
  }
}

}  // namespace penmorph
