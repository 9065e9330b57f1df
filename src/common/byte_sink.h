#pragma once

// Where a format writer puts its bytes. Writers never open files themselves: the caller decides
// whether the bytes go to a temporary file that is later moved into place, or to memory.

#include <cstdint>
#include <cstdio>
#include <span>
#include <vector>

#include "common/result.h"

namespace penmorph {

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual Status Write(std::span<const std::uint8_t> bytes) = 0;

  // Whether CopyFromFile works here: a file sink on a system that copies between files itself,
  // so that bytes taken over unchanged never pass through this process.
  virtual bool CanCopyFromFile() const { return false; }
  // Appends `length` bytes of the open file `source`, from `offset` on; its position stays.
  virtual Status CopyFromFile(std::FILE* /*source*/, std::uint64_t /*offset*/,
                              std::uint64_t /*length*/) {
    return IoError("this output cannot copy from a file");
  }

  // Whether the output already holds a copy of the whole source, which the writer changes
  // where it must (PatchSink): a stretch kept as it is then costs nothing.
  virtual bool HoldsSource() const { return false; }
  // Appends the source's bytes [offset, offset + length), which such an output holds already.
  virtual Status KeepSource(std::uint64_t /*offset*/, std::uint64_t /*length*/) {
    return IoError("this output holds no copy of the source");
  }
  // The writer's reader has read the source up to `offset` and will hardly look back; told now
  // and then, not for every part.
  virtual void SourcePassed(std::uint64_t /*offset*/) {}

  // Memory the sink's owner lends to the writer that fills this sink, for as long as the sink
  // lives, so that writing many files does not ask the system for a fresh buffer each time;
  // empty when there is none and the writer makes its own.
  virtual std::span<std::uint8_t> LentBuffer() { return {}; }
};

// Collects the bytes in memory; for tests and for checking a write without touching disk.
class VectorSink : public ByteSink {
 public:
  Status Write(std::span<const std::uint8_t> bytes) override {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return Status::Ok();
  }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace penmorph
