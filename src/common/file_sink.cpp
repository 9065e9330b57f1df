#include "common/file_sink.h"

#include <cerrno>

#include "common/file_system.h"
#include "common/path_text.h"

namespace penmorph {

namespace {
constexpr std::size_t kBufferSize = 1 << 20;

std::string SystemReason() {
  return LastSystemError();
}
}  // namespace

Result<std::unique_ptr<FileSink>> FileSink::CreateExclusive(const std::filesystem::path& path) {
  // "x" makes the open fail when anything, a link included, already has this name.
  errno = 0;
  std::FILE* file = OpenFile(path, "wbx");
  if (file == nullptr) {
    return IoError("cannot create " + PathToUtf8(path) + ": " + SystemReason());
  }
  std::setvbuf(file, nullptr, _IOFBF, kBufferSize);
  return std::unique_ptr<FileSink>(new FileSink(file, path));
}

FileSink::~FileSink() {
  if (file_ != nullptr) {
    std::fclose(file_);
  }
}

Status FileSink::Write(std::span<const std::uint8_t> bytes) {
  if (file_ == nullptr) {
    return IoError("write to a closed file " + PathToUtf8(path_));
  }
  if (bytes.empty()) {
    return Status::Ok();
  }
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
    return IoError("cannot write " + PathToUtf8(path_) + ": " + SystemReason());
  }
  return Status::Ok();
}

Status FileSink::Close() {
  if (file_ == nullptr) {
    return Status::Ok();
  }
  errno = 0;
  bool flushed = std::fflush(file_) == 0;
  std::string reason = flushed ? std::string() : SystemReason();
  bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!flushed || !closed) {
    return IoError("cannot write " + PathToUtf8(path_) + ": " +
                   (flushed ? SystemReason() : reason));
  }
  return Status::Ok();
}

}  // namespace penmorph
