#pragma once

// The one bounds-checked reader for the binary formats. It reads from memory or, buffered, from a
// file, and always knows how many bytes are left. The first failure sticks: it records an Error
// with the byte offset, later reads return zeros and do not advance, and the caller checks
// status() once per record instead of after every field.

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/byte_sink.h"
#include "common/result.h"

namespace penmorph {

class ByteReader {
 public:
  // Reads the bytes in place; they must outlive the reader.
  static ByteReader FromMemory(std::span<const std::uint8_t> bytes);
  static Result<ByteReader> OpenFile(const std::filesystem::path& file);

  ByteReader(ByteReader&& other) noexcept;
  ByteReader& operator=(ByteReader&&) = delete;
  ~ByteReader();

  std::uint8_t read_u8() { return static_cast<std::uint8_t>(ReadLittleEndian(1)); }
  std::uint16_t read_u16le() { return static_cast<std::uint16_t>(ReadLittleEndian(2)); }
  std::uint32_t read_u32le() { return static_cast<std::uint32_t>(ReadLittleEndian(4)); }
  std::int32_t read_i32le() { return static_cast<std::int32_t>(read_u32le()); }
  std::uint64_t read_u64le() { return ReadLittleEndian(8); }
  float read_f32le() { return std::bit_cast<float>(read_u32le()); }
  double read_f64le() { return std::bit_cast<double>(read_u64le()); }

  // The next n bytes (at most kMaxTake) as one piece, valid until the next read; zeros after a
  // failure. For records of fixed size, read with LoadLittleEndian.
  static constexpr std::size_t kMaxTake = 128;
  const std::uint8_t* Take(std::size_t n) {
    if (static_cast<std::size_t>(end_ - cur_) < n && !Refill(n)) {
      return kZeros;
    }
    const std::uint8_t* at = cur_;
    cur_ += n;
    return at;
  }

  // Fills `out`; on failure it is zero-filled.
  void read_bytes(std::span<std::uint8_t> out);
  // Reads n bytes as a string, after checking that n bytes are left (nothing is allocated for
  // a length the data cannot hold).
  std::string read_string(std::uint64_t n);
  void skip(std::uint64_t n);
  // Copies n bytes to a sink in pieces of at most `piece` bytes, never holding them whole.
  Status CopyTo(ByteSink& sink, std::uint64_t n, std::size_t piece);

  // Fails with kTruncated unless `count` items of at least `min_item_size` bytes each fit in
  // what is left; call before allocating for a declared count.
  bool Expect(std::uint64_t count, std::uint64_t min_item_size, std::string_view what);

  // Records a failure at the current offset (the first one is kept).
  void Fail(ErrorKind kind, std::string message);
  void FailAt(ErrorKind kind, std::string message, std::uint64_t offset);

  bool ok() const { return ok_; }
  Status status() const { return ok_ ? Status::Ok() : Status(error_); }
  const Error& error() const { return error_; }

  std::uint64_t offset() const {
    return buffer_offset_ + static_cast<std::uint64_t>(cur_ - begin_);
  }
  std::uint64_t size() const { return size_; }
  std::uint64_t remaining() const { return size_ - offset(); }
  bool at_end() const { return offset() == size_; }

 private:
  ByteReader() = default;

  std::uint64_t ReadLittleEndian(std::size_t width) {
    if (static_cast<std::size_t>(end_ - cur_) < width && !Refill(width)) {
      return 0;
    }
    std::uint64_t value = 0;
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(&value, cur_, width);  // the file's byte order is the machine's
    } else {
      for (std::size_t i = 0; i < width; ++i) {
        value |= std::uint64_t{cur_[i]} << (8 * i);
      }
    }
    cur_ += width;
    return value;
  }
  // Makes at least `wanted` bytes available at cur_; false (and a truncation error) when the
  // data ends first.
  bool Refill(std::size_t wanted);
  static constexpr std::uint8_t kZeros[kMaxTake] = {};
  void Truncated(std::uint64_t wanted);

  std::FILE* file_ = nullptr;
  std::vector<std::uint8_t> buffer_;  // file mode only
  const std::uint8_t* begin_ = nullptr;
  const std::uint8_t* cur_ = nullptr;
  const std::uint8_t* end_ = nullptr;
  std::uint64_t buffer_offset_ = 0;  // file offset of begin_
  std::uint64_t size_ = 0;
  bool ok_ = true;
  Error error_;
};

}  // namespace penmorph
