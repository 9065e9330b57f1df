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

  // Memory for the writer of this file, owned by the caller for as long as the sink lives.
  void LendBuffer(std::span<std::uint8_t> buffer) { lent_ = buffer; }
  std::span<std::uint8_t> LentBuffer() override { return lent_; }

 private:
  FileSink(std::FILE* file, std::filesystem::path path) : file_(file), path_(std::move(path)) {}
  std::FILE* file_;
  std::filesystem::path path_;
  std::span<std::uint8_t> lent_;
};

}  // namespace penmorph
