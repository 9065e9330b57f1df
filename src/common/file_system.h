#pragma once

// The file operations that move finished files into place. Behind an interface so that tests can
// make any one of them fail and check that a folder is left as it was.

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "common/file_sink.h"
#include "common/result.h"

namespace penmorph {

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // True when anything (a dangling link included) has this name.
  virtual bool Exists(const std::filesystem::path& path) = 0;
  virtual bool IsDirectory(const std::filesystem::path& path) = 0;
  virtual Status Rename(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
  virtual Status Remove(const std::filesystem::path& path) = 0;
  virtual Result<std::unique_ptr<FileSink>> CreateExclusive(const std::filesystem::path& path) = 0;
};

class RealFileSystem : public FileSystem {
 public:
  bool Exists(const std::filesystem::path& path) override;
  bool IsDirectory(const std::filesystem::path& path) override;
  Status Rename(const std::filesystem::path& from, const std::filesystem::path& to) override;
  Status Remove(const std::filesystem::path& path) override;
  Result<std::unique_ptr<FileSink>> CreateExclusive(const std::filesystem::path& path) override;
};

// fopen that takes a path on every platform (wide names on Windows).
std::FILE* OpenFile(const std::filesystem::path& path, const char* mode);

// A name that no file in the folder is likely to have, beginning with the program's marker so
// that leftovers of an interrupted run can be recognised.
std::filesystem::path UniqueTemporaryName(const std::filesystem::path& folder,
                                          std::string_view purpose);

// The prefix every temporary file of this program starts with.
inline constexpr std::string_view kTemporaryPrefix = ".penmorph-";

}  // namespace penmorph
