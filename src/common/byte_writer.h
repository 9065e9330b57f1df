#pragma once

// The one writer for the binary formats: little-endian fields into a buffer that goes to a
// ByteSink in large pieces. Like the reader, the first failure sticks and Finish reports it.

#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/byte_sink.h"
#include "common/result.h"

namespace penmorph {

class ByteWriter {
 public:
  static constexpr std::size_t kDefaultBufferSize = 256 * 1024;
  // Hands the sink pieces of up to `buffer_size` bytes: in the sink's lent buffer when it has
  // one that large, else in one of its own that grows with what is written, so that a short
  // output costs a short buffer.
  explicit ByteWriter(ByteSink& sink, std::size_t buffer_size = kDefaultBufferSize);

  void write_u8(std::uint8_t value) { WriteLittleEndian(value, 1); }
  void write_u16le(std::uint16_t value) { WriteLittleEndian(value, 2); }
  void write_u32le(std::uint32_t value) { WriteLittleEndian(value, 4); }
  void write_i32le(std::int32_t value) { write_u32le(static_cast<std::uint32_t>(value)); }
  void write_u64le(std::uint64_t value) { WriteLittleEndian(value, 8); }
  void write_f32le(float value) { write_u32le(std::bit_cast<std::uint32_t>(value)); }
  void write_f64le(double value) { write_u64le(std::bit_cast<std::uint64_t>(value)); }
  void write_bytes(std::span<const std::uint8_t> bytes) {
    // Short fields that fit take no call.
    if (room_ - used_ >= bytes.size() && !bytes.empty()) {
      std::memcpy(buffer_ + used_, bytes.data(), bytes.size());
      used_ += bytes.size();
      return;
    }
    WriteBytesAcross(bytes);
  }
  void write_bytes(std::string_view bytes) {
    write_bytes({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
  }

  // Room for the next n bytes (at most the buffer's size), to be filled with
  // StoreLittleEndian; for records of fixed size.
  std::uint8_t* Reserve(std::size_t n) {
    if (room_ - used_ < n) {
      MakeRoom(n);
    }
    std::uint8_t* at = buffer_ + used_;
    used_ += n;
    return at;
  }

  // Records a failure (a value that does not fit its field, say); the first one is kept.
  void Fail(Error error);

  bool ok() const { return ok_; }
  std::uint64_t offset() const { return flushed_ + used_; }
  // Hands what is buffered to the sink, for a caller that writes to the sink itself next.
  void Flush();
  // Hands the rest of the buffer to the sink and reports the first failure.
  Status Finish();

 private:
  void WriteLittleEndian(std::uint64_t value, std::size_t width) {
    if (room_ - used_ < width) {
      MakeRoom(width);
    }
    std::uint8_t* at = buffer_ + used_;
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(at, &value, width);  // the low bytes come first already
    } else {
      for (std::size_t i = 0; i < width; ++i) {
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
      }
    }
    used_ += width;
  }

  void WriteBytesAcross(std::span<const std::uint8_t> bytes);
  // Room for n more bytes at used_: the buffer handed on when full, grown while it is smaller.
  void MakeRoom(std::size_t n);
  void Grow(std::size_t needed);

  ByteSink& sink_;
  std::unique_ptr<std::uint8_t[]> owned_;  // the buffer, unless the sink lent one
  std::uint8_t* buffer_ = nullptr;
  std::size_t capacity_;  // handed on when this much is buffered
  std::size_t room_ = 0;  // allocated so far; at most capacity_
  std::size_t used_ = 0;
  std::uint64_t flushed_ = 0;
  bool ok_ = true;
  Error error_;
};

// A sink that appends to a writer, so that a reader can copy bytes into what a writer writes; a
// failure shows in the writer's Finish.
class ByteWriterSink : public ByteSink {
 public:
  explicit ByteWriterSink(ByteWriter& out) : out_(out) {}
  Status Write(std::span<const std::uint8_t> bytes) override {
    out_.write_bytes(bytes);
    return Status::Ok();
  }

 private:
  ByteWriter& out_;
};

}  // namespace penmorph
