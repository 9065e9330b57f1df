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
#include <memory>
#include <optional>
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
  // The same, for memory the caller also lets the reader's user change (see Writable).
  static ByteReader FromWritableMemory(std::span<std::uint8_t> bytes);
  // Reads through a buffer of at most `buffer_size` bytes, and never more than the file holds,
  // so that reading a small header costs a small read.
  static constexpr std::size_t kDefaultBufferSize = 256 * 1024;
  static Result<ByteReader> OpenFile(const std::filesystem::path& file,
                                     std::size_t buffer_size = kDefaultBufferSize);
  // Takes over a file opened for reading (it is closed with the reader), from its start.
  static Result<ByteReader> FromOpenFile(std::FILE* file,
                                         std::size_t buffer_size = kDefaultBufferSize);

  // Memory whose bytes are still being filled in, from its start on, by someone else (the
  // system copying a file into it): the reader never touches a byte before it has arrived.
  class Arrival {
   public:
    virtual ~Arrival() = default;
    // Waits until the first `end` bytes are there or no more will come; how many are there.
    virtual std::uint64_t WaitFor(std::uint64_t end) = 0;
  };
  // Reads `bytes` in place as they arrive; a read of bytes that never arrive fails with kIo.
  // Both must outlive the reader.
  static ByteReader FromArrivingMemory(std::span<const std::uint8_t> bytes, Arrival& arrival);
  // The same, for memory the caller also lets the reader's user change where it has arrived.
  static ByteReader FromArrivingWritableMemory(std::span<std::uint8_t> bytes, Arrival& arrival);

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

  // The next n bytes (at most kMaxTake) without reading past them; nullptr when fewer are left.
  const std::uint8_t* Peek(std::size_t n) {
    if (static_cast<std::size_t>(end_ - cur_) < n && (!ok_ || remaining() < n || !Refill(n))) {
      return nullptr;
    }
    return cur_;
  }

  // Passes over n bytes that Peek(n) or Held() showed.
  void Consume(std::size_t n) { cur_ += n; }
  // The bytes the reader holds from where it stands, without reading or waiting for more:
  // possibly fewer than are left, none after a failure.
  std::span<const std::uint8_t> Held() const {
    return ok_ ? std::span<const std::uint8_t>(cur_, end_) : std::span<const std::uint8_t>();
  }

  // Fills `out`; on failure it is zero-filled.
  void read_bytes(std::span<std::uint8_t> out) {
    // Headers read hundreds of short fields: those in the buffer take no call.
    if (ok_ && static_cast<std::size_t>(end_ - cur_) >= out.size() && !out.empty()) {
      std::memcpy(out.data(), cur_, out.size());
      cur_ += out.size();
      return;
    }
    ReadBytesAcross(out);
  }
  // Reads n bytes as a string, after checking that n bytes are left (nothing is allocated for
  // a length the data cannot hold).
  std::string read_string(std::uint64_t n);
  void skip(std::uint64_t n);
  // Copies n bytes to a sink in pieces of at most `piece` bytes, never holding them whole.
  Status CopyTo(ByteSink& sink, std::uint64_t n, std::size_t piece);

  // Fails with kTruncated unless `count` items of at least `min_item_size` bytes each fit in
  // what is left; call before allocating for a declared count.
  bool Expect(std::uint64_t count, std::uint64_t min_item_size, std::string_view what);

  // Goes to `offset` (at most the size) and reads on from there; a file reader drops its buffer.
  void SeekTo(std::uint64_t offset);

  // For a caller that copies stretches of what it read, as they were, to its output: the bytes
  // from `offset` on stay in the buffer through refills, while they fit in half of it, and
  // Buffered hands them out. Before each refill `observer` is told, so that it can take what it
  // needs and move the mark on. A mark too far behind to keep is dropped (kept_from() then
  // says nullopt).
  class RefillObserver {
   public:
    virtual ~RefillObserver() = default;
    virtual void BeforeRefill(ByteReader& reader) = 0;
  };
  void KeepFrom(std::uint64_t offset) { keep_from_ = offset; }
  std::optional<std::uint64_t> kept_from() const { return keep_from_; }
  void SetRefillObserver(RefillObserver* observer) { observer_ = observer; }
  // The bytes [from, to), if the buffer (or the memory read) still holds them.
  std::optional<std::span<const std::uint8_t>> Buffered(std::uint64_t from, std::uint64_t to) const;
  // The same bytes to change, for a reader of writable memory: what is changed there is what
  // Buffered hands out afterwards. Empty for any other reader, or outside the memory.
  std::span<std::uint8_t> Writable(std::uint64_t from, std::uint64_t to) {
    if (writable_ == nullptr || from > to || to > size_ ||
        (arrival_ != nullptr && to > static_cast<std::uint64_t>(end_ - begin_))) {
      return {};
    }
    return {writable_ + from, static_cast<std::size_t>(to - from)};
  }

  // Whether Writable hands out anything at all.
  bool writable() const { return writable_ != nullptr; }

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
  // The file read from; nullptr for a reader of memory.
  std::FILE* file() const { return file_; }
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
  void ReadBytesAcross(std::span<std::uint8_t> out);
  // Memory mode: waits until the first `end` bytes have arrived; false (and a failure) when
  // they never will.
  bool Arrive(std::uint64_t end);
  // Makes at least `wanted` bytes available at cur_; false (and a truncation error) when the
  // data ends first.
  bool Refill(std::size_t wanted);
  static constexpr std::uint8_t kZeros[kMaxTake] = {};
  void Truncated(std::uint64_t wanted);

  std::FILE* file_ = nullptr;
  std::unique_ptr<std::uint8_t[]> buffer_;  // file mode only; not zero-filled
  std::size_t capacity_ = 0;
  const std::uint8_t* begin_ = nullptr;
  const std::uint8_t* cur_ = nullptr;
  const std::uint8_t* end_ = nullptr;
  std::uint64_t buffer_offset_ = 0;  // file offset of begin_
  std::uint64_t size_ = 0;
  bool ok_ = true;
  Error error_;
  std::optional<std::uint64_t> keep_from_;
  RefillObserver* observer_ = nullptr;
  Arrival* arrival_ = nullptr;        // memory mode only: end_ is how far the bytes have arrived
  std::uint8_t* writable_ = nullptr;  // the memory read, where its owner allows changes
};

}  // namespace penmorph
