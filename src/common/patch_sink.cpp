#include "common/patch_sink.h"

#include <cstring>

namespace penmorph {

Status PatchSink::Diverge() {
  diverged_ = true;
  return IoError("the output no longer follows its source's layout", SystemCause::kNone);
}

Status PatchSink::Write(std::span<const std::uint8_t> bytes) {
  if (diverged_) {
    return Diverge();
  }
  // Bytes past the reader's position are still to be read: they must stay the source's.
  const std::uint64_t end = length_ + bytes.size();
  if (end > copy_.size() || end > reader_.offset()) {
    return Diverge();
  }
  std::uint8_t* at = copy_.data() + length_;
  // Only what differs is stored, so that pages the conversion leaves alone stay untouched.
  if (std::memcmp(at, bytes.data(), bytes.size()) != 0) {
    std::memmove(at, bytes.data(), bytes.size());
  }
  length_ = end;
  return Status::Ok();
}

Status PatchSink::KeepSource(std::uint64_t offset, std::uint64_t length) {
  // Everything written so far lies before `offset`, so the copy still holds these bytes as the
  // source had them, or as the reader's user changed them in place (ByteReader::Writable) - if
  // they stand where the output needs them.
  if (diverged_ || offset != length_ || length > copy_.size() - offset) {
    return Diverge();
  }
  length_ += length;
  return Status::Ok();
}

}  // namespace penmorph
