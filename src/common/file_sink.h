#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>

#include "common/byte_sink.h"

namespace penmorph {

// A file opened for writing, buffered. Created only exclusively, so that it never writes through
// a file or link that someone else put at its name.
class FileSink : public ByteSink {
 public:
  static Result<std::unique_ptr<FileSink>> CreateExclusive(const std::filesystem::path& path);
  ~FileSink() override;

  Status Write(std::span<const std::uint8_t> bytes) override;
  bool CanCopyFromFile() const override;
  Status CopyFromFile(std::FILE* source, std::uint64_t offset, std::uint64_t length) override;
  // Flushes and closes; the file is complete only when this succeeded.
  Status Close();

  // Makes the new file a copy of the whole open file `source` (`size` bytes, copied by the
  // system without passing through this process) and lends it as memory to be read and changed
  // in place, until EndCopy. Empty, with the file still empty, where that cannot be done (on
  // Windows, or when the system cannot copy the file): the caller then writes it as usual.
  // Only for a file system that PatchesCopies says is fit for it.
  std::span<std::uint8_t> CopyIn(std::FILE* source, std::uint64_t size);
  // The lent copy's memory before `offset` is not needed any more: the file keeps its bytes.
  void ReleaseCopy(std::uint64_t offset);
  // Ends the lending; the file keeps its first `length` bytes.
  Status EndCopy(std::uint64_t length);
  // Ends the lending and empties the file, to be written from its start as usual.
  Status DropCopy();

  // Memory for the writer of this file, owned by the caller for as long as the sink lives.
  void LendBuffer(std::span<std::uint8_t> buffer) { lent_ = buffer; }
  std::span<std::uint8_t> LentBuffer() override { return lent_; }

 private:
  FileSink(std::FILE* file, std::filesystem::path path) : file_(file), path_(std::move(path)) {}
  std::FILE* file_;
  std::filesystem::path path_;
  std::span<std::uint8_t> lent_;
  std::span<std::uint8_t> copy_;  // lent by CopyIn
  std::size_t released_ = 0;      // of copy_, given back by ReleaseCopy
};

}  // namespace penmorph
