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

}  // namespace penmorph
