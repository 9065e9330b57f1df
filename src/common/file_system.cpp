// The names of temporary files and the causes of C library errors, the same on every platform.

#include "common/file_system.h"

#include <atomic>
#include <cerrno>
#include <random>

#include "common/path_text.h"

namespace penmorph {

namespace fs = std::filesystem;

SystemCause CauseOfErrno(int code, bool names_a_file) {
  switch (code) {
    case EROFS:
      return SystemCause::kReadOnly;
    case EBUSY:
    case ETXTBSY:
      return SystemCause::kInUse;
    case ENOENT:
    case ENOTDIR:
      return SystemCause::kNotFound;
    case EACCES:
    case EPERM:
      return SystemCause::kNoAccess;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return SystemCause::kDiskFull;
    case ENAMETOOLONG:
      return SystemCause::kNameNotAllowed;
    case EINVAL:  // some file systems' answer to characters they do not take
    case EILSEQ:
      return names_a_file ? SystemCause::kNameNotAllowed : SystemCause::kOther;
    case EEXIST:
      return SystemCause::kNameTaken;
    case EISDIR:
      return SystemCause::kNotAFile;
    default:
      return SystemCause::kOther;
  }
}

namespace {

constexpr std::size_t kRandomDigits = 16;
constexpr std::string_view kTemporarySuffix = ".tmp";
constexpr std::size_t kLongestEntryName = 255;

// 64 random-looking bits per call from one generator for the whole process: a random_device
// per name cost more than the rest of converting a small file. Seeded once from the system's
// randomness; the counter is atomic so that threads may draw names at once. Not a security
// measure: the files are created exclusively.
std::uint64_t NextNameBits() {
  static const std::uint64_t seed = [] {
    std::random_device device;
    return (std::uint64_t{device()} << 32) ^ device();
  }();
  static std::atomic<std::uint64_t> counter{0};
  std::uint64_t z = seed + counter.fetch_add(1, std::memory_order_relaxed) * 0x9E3779B97F4A7C15u;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;  // splitmix64's finaliser
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

bool IsLowerHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

}  // namespace

fs::path UniqueTemporaryName(const fs::path& folder, std::string_view purpose,
                             std::string_view subject) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string name(kTemporaryPrefix);
  name += purpose;
  name += '-';
  const std::uint64_t bits = NextNameBits();
  for (std::size_t i = 0; i < kRandomDigits; ++i) {
    name += kHex[(bits >> (i * 4)) & 0xF];
  }
  if (!subject.empty() &&
      name.size() + 1 + subject.size() + kTemporarySuffix.size() <= kLongestEntryName) {
    name += '-';
    name += subject;
  }
  name += kTemporarySuffix;
  return folder / PathFromUtf8(name);
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

std::uint8_t* ReusedBuffer::Reserve(std::size_t size) {
  if (size > capacity_) {
    bytes_ = std::make_unique_for_overwrite<std::uint8_t[]>(size);
    capacity_ = size;
  }
  return bytes_.get();
}

void RemoveLeftoverTemporaries(const fs::path& folder, std::string_view purpose) {
  RealFileSystem files;
  auto names = files.ListFolder(folder);
  if (!names.ok()) {
    return;
  }
  for (const std::string& name : names.value()) {
    std::optional<std::string> subject = MatchTemporaryName(name, purpose);
    const fs::path file = folder / PathFromUtf8(name);
    if (subject && subject->empty()) {
      (void)files.RemoveUnlessInUse(file);
    }
  }
}

}  // namespace penmorph
