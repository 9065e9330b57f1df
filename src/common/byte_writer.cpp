#include "common/byte_writer.h"

#include <bit>

namespace penmorph {

ByteWriter::ByteWriter(ByteSink& sink, std::size_t buffer_size)
    : sink_(sink), capacity_(buffer_size == 0 ? 1 : buffer_size) {
  buffer_.reserve(capacity_);
}

void ByteWriter::write_f32le(float value) {
  write_u32le(std::bit_cast<std::uint32_t>(value));
}
void ByteWriter::write_f64le(double value) {
  write_u64le(std::bit_cast<std::uint64_t>(value));
}

void ByteWriter::write_bytes(std::span<const std::uint8_t> bytes) {
  if (buffer_.size() + bytes.size() > capacity_) {
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
  buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

void ByteWriter::Flush() {
  if (ok_ && !buffer_.empty()) {
    if (Status written = sink_.Write(buffer_); !written.ok()) {
      Fail(written.error());
    }
  }
  flushed_ += buffer_.size();
  buffer_.clear();
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
