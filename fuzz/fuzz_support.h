#pragma once

// What every fuzz target shares: how a finding is reported, which write failures are allowed,
// and the memory bound that every input must keep.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/byte_reader.h"
#include "common/byte_sink.h"
#include "common/result.h"

namespace penmorph::fuzz {

// Ends the run with the reason: libFuzzer keeps the input as a crash file.
[[noreturn]] void Finding(std::string_view what);
[[noreturn]] void Finding(std::string_view what, const Error& error);

// A write of what a reader read may fail only because a value no longer fits its field
// (kRange); true when it succeeded, false on such a failure, a finding otherwise.
bool WriteSucceeded(const Status& written, std::string_view what);

// A read of bytes that this program wrote itself must succeed.
void ExpectRead(const Status& read, std::string_view what);

inline ByteReader Reader(std::span<const std::uint8_t> bytes) {
  return ByteReader::FromMemory(bytes);
}

// Counts the bytes the process holds on the heap while a target runs one input, and makes it a
// finding when the peak grows by more than kFactor times the input's size plus kFixed: no input
// may make a reader (with its write and second read) allocate out of proportion to itself.
class MemoryBound {
 public:
  static constexpr std::size_t kFactor = 32;
  static constexpr std::size_t kFixed = 8u << 20;

  explicit MemoryBound(std::size_t input_size);
  ~MemoryBound();
  MemoryBound(const MemoryBound&) = delete;
  MemoryBound& operator=(const MemoryBound&) = delete;

 private:
  std::size_t input_size_;
};

}  // namespace penmorph::fuzz
