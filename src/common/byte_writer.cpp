#include "common/byte_writer.h"

#include <algorithm>
#include <bit>

namespace penmorph {

namespace {
// An own buffer starts at this size: most writers write a header or a small file.
constexpr std::size_t kFirstRoom = 4 * 1024;
}  // namespace

ByteWriter::ByteWriter(ByteSink& sink, std::size_t buffer_size)
    : sink_(sink), capacity_(buffer_size < 8 ? 8 : buffer_size) {
  if (std::span<std::uint8_t> lent = sink.LentBuffer(); lent.size() >= capacity_) {
    buffer_ = lent.data();
    room_ = capacity_;
  } else {
    room_ = std::min(capacity_, kFirstRoom);
    owned_ = std::make_unique_for_overwrite<std::uint8_t[]>(room_);  // no zero-filling
    buffer_ = owned_.get();
  }
}

void ByteWriter::MakeRoom(std::size_t n) {
  if (capacity_ - used_ < n) {
    Flush();
  }
  if (room_ - used_ < n) {
    Grow(used_ + n);
  }
}

void ByteWriter::Grow(std::size_t needed) {
  const std::size_t room = std::min(capacity_, std::max(needed, 2 * room_));
  auto grown = std::make_unique_for_overwrite<std::uint8_t[]>(room);
  std::memcpy(grown.get(), buffer_, used_);
  owned_ = std::move(grown);
  buffer_ = owned_.get();
  room_ = room;
}

void ByteWriter::WriteBytesAcross(std::span<const std::uint8_t> bytes) {
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
  if (room_ - used_ < bytes.size()) {
    Grow(used_ + bytes.size());
  }
  if (!bytes.empty()) {
    std::memcpy(buffer_ + used_, bytes.data(), bytes.size());
    used_ += bytes.size();
  }
}

void ByteWriter::Flush() {
  if (ok_ && used_ > 0) {
    if (Status written = sink_.Write({buffer_, used_}); !written.ok()) {
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
