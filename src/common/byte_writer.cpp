#include "common/byte_writer.h"

#include <bit>

namespace penmorph {

ByteWriter::ByteWriter(ByteSink& sink, std::size_t buffer_size)
    : sink_(sink), capacity_(buffer_size < 8 ? 8 : buffer_size) {
  buffer_ = std::make_unique_for_overwrite<std::uint8_t[]>(capacity_);  // no zero-filling
}

void ByteWriter::write_bytes(std::span<const std::uint8_t> bytes) {
  if (capacity_ - used_ < bytes.size()) {
    Flush();
    if (bytes.size() >= capacity_) {
      // Large blocks go straight to the sink instead of through the buffer.
      if (ok_) {
        if (Status written = sink_.Write(bytes); !written.ok()) {
          Fail(written.error());
        }
      }
      flushed_ += bytes.size();
      return;
    }
  }
  if (!bytes.empty()) {
    std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
    used_ += bytes.size();
  }
}

void ByteWriter::Flush() {
  if (ok_ && used_ > 0) {
    if (Status written = sink_.Write({buffer_.get(), used_}); !written.ok()) {
      Fail(written.error());
    }
  }
  flushed_ += used_;
  used_ = 0;
}

void ByteWriter::Fail(Error error) {
  if (ok_) {
    ok_ = false;
    error_ = std::move(error);
  }
}

Status ByteWriter::Finish() {
  Flush();
  return ok_ ? Status::Ok() : Status(error_);
}

}  // namespace penmorph
