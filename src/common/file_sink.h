#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>

#include "common/byte_reader.h"
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
  // in place, until EndCopy. The system copies in the background, from the start on, so that
  // reading can begin at once: read the memory only through ReadCopy, which waits for the bytes.
  // Empty, with the file still empty, where that cannot be done (on Windows): the caller then
  // writes it as usual. Only for a file system that PatchesCopies says is fit for it.
  std::span<std::uint8_t> CopyIn(std::FILE* source, std::uint64_t size);
  // A reader of the lent copy that waits for each byte to be copied before it reads it; what has
  // arrived may be changed through it (ByteReader::Writable), which changes the new file.
  ByteReader ReadCopy();
  // Whether the system's copy stopped before the source's end (the source got shorter, or the
  // system cannot copy it) and a read of the copy failed for it: the caller then drops the copy
  // and writes the file as usual.
  bool CopyFellShort() const;
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
  FileSink(std::FILE* file, std::filesystem::path path);
  std::FILE* file_;
  std::filesystem::path path_;
  std::span<std::uint8_t> lent_;
  // Ends the background copy where it stands; how many bytes the file holds.
  std::uint64_t StopCopying();

  std::span<std::uint8_t> copy_;  // lent by CopyIn
  std::size_t released_ = 0;      // of copy_, given back by ReleaseCopy
  class BackgroundCopy;
  std::unique_ptr<BackgroundCopy> copying_;  // filling copy_'s file
};

}  // namespace penmorph
