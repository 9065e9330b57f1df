#pragma once

// An output made from a copy of its source, changed in place: the file system copies the whole
// source into the new file once, the converter reads that copy and writes only what it changes,
// over the copy's own bytes. Most of a converted drawing is its source unchanged, so most bytes
// then never pass through this process, neither read nor written.
//
// This works as long as every kept stretch of the source stands at its own offset in the output.
// When a written part is longer or shorter than what it replaces, the layouts part: the sink
// refuses from then on, says so (diverged), and the caller converts the file again the ordinary
// way. A written part never reaches bytes the reader has not read yet, so the reading is never
// disturbed, whatever the writer does.

#include <cstdint>
#include <functional>
#include <span>

#include "common/byte_reader.h"
#include "common/byte_sink.h"

namespace penmorph {

class PatchSink : public ByteSink {
 public:
  // Told how far the reader has come (SourcePassed): the copy's memory before that is hardly
  // needed again and may be given back, so that a large file does not fill the process's memory.
  using Passed = std::function<void(std::uint64_t before)>;

  // `copy`: the source's bytes, which become the output's; `reader` reads them. `write_buffer`:
  // memory lent to the writer (see ByteSink::LentBuffer), or none.
  PatchSink(std::span<std::uint8_t> copy, const ByteReader& reader,
            std::span<std::uint8_t> write_buffer = {}, Passed passed = {})
      : copy_(copy), reader_(reader), lent_(write_buffer), passed_(std::move(passed)) {}

  Status Write(std::span<const std::uint8_t> bytes) override;
  bool HoldsSource() const override { return true; }
  Status KeepSource(std::uint64_t offset, std::uint64_t length) override;
  std::span<std::uint8_t> LentBuffer() override { return lent_; }
  void SourcePassed(std::uint64_t offset) override {
    if (passed_) {
      passed_(offset);
    }
  }

  // True once the output stopped following the source's layout: what the copy holds is then
  // no output at all.
  bool diverged() const { return diverged_; }
  // How long the output is: the copy's first bytes, up to here, are the whole output.
  std::uint64_t length() const { return length_; }

 private:
  Status Diverge();

  std::span<std::uint8_t> copy_;
  const ByteReader& reader_;
  std::span<std::uint8_t> lent_;
  Passed passed_;
  std::uint64_t length_ = 0;
  bool diverged_ = false;
};

}  // namespace penmorph
