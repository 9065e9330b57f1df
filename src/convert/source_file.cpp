#include "convert/source_file.h"

#include <algorithm>

#include "common/file_system.h"

namespace penmorph {

bool HasSignature(const FileFormat& format, ByteReader& in) {
  const std::uint64_t start = in.offset();
  const auto size =
      static_cast<std::size_t>(std::min<std::uint64_t>(kSignatureBytes, in.remaining()));
  const std::uint8_t* head = in.Take(size);
  const bool recognized = in.ok() && format.Recognizes({head, size});
  in.SeekTo(start);
  return recognized;
}

bool HasSignature(const FileFormat& format, std::FILE* file) {
  std::uint8_t head[kSignatureBytes];
  const std::size_t size = ReadAt(file, 0, head);
  return format.Recognizes({head, size});
}

std::optional<Error> UnreadableReason(const std::filesystem::path& file) {
  switch (KindOfPath(file)) {
    case PathKind::kMissing:
      return IoError("no such file", SystemCause::kNotFound);
    case PathKind::kFolder:
    case PathKind::kOther:
      return IoError("not a regular file", SystemCause::kNotAFile);
    case PathKind::kFile:
      break;
  }
  return std::nullopt;
}

Result<ByteReader> OpenSource(const std::filesystem::path& file, ReusedBuffer& buffer) {
  const std::string what = "cannot open the file";
  Result<FileToRead> opened = OpenToRead(file, buffer, kConversionBuffer, what);
  if (!opened.ok()) {
    // A name that leads nowhere or to a folder is told so, as when it is looked at first; the
    // look is taken only now that the open has failed.
    if (std::optional<Error> unreadable = UnreadableReason(file)) {
      return *unreadable;
    }
    return opened.error();
  }
  if (opened->kind != PathKind::kFile) {
    return IoError("not a regular file", SystemCause::kNotAFile);
  }
  if (opened->file == nullptr) {
    // The worker's own copy: a conversion may change records in it before they go out.
    return ByteReader::FromWritableMemory({buffer.data(), static_cast<std::size_t>(opened->size)});
  }
  auto in = ByteReader::FromOpenFile(opened->file, kConversionBuffer);
  if (!in.ok()) {
    return IoError(what + ": " + in.error().message, in.error().cause);
  }
  return in;
}

}  // namespace penmorph
