#pragma once

// The file operations that move finished files into place. Behind an interface so that tests can
// make any one of them fail and check that a folder is left as it was.

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
  // A second name for an existing file (a link at `existing` is linked itself, not followed);
  // fails where the file system has no hard links.
  virtual Status CreateHardLink(const std::filesystem::path& existing,
                                const std::filesystem::path& link) = 0;
  // The names of everything in a folder, hidden ones included.
  virtual Result<std::vector<std::string>> ListFolder(const std::filesystem::path& folder) = 0;
};

class RealFileSystem : public FileSystem {
 public:
  bool Exists(const std::filesystem::path& path) override;
  bool IsDirectory(const std::filesystem::path& path) override;
  Status Rename(const std::filesystem::path& from, const std::filesystem::path& to) override;
  Status Remove(const std::filesystem::path& path) override;
  Result<std::unique_ptr<FileSink>> CreateExclusive(const std::filesystem::path& path) override;
  Status CreateHardLink(const std::filesystem::path& existing,
                        const std::filesystem::path& link) override;
  Result<std::vector<std::string>> ListFolder(const std::filesystem::path& folder) override;
};

// fopen that takes a path on every platform (wide names on Windows).
std::FILE* OpenFile(const std::filesystem::path& path, const char* mode);

// A name that no file in the folder is likely to have, beginning with the program's marker so
// that leftovers of an interrupted run can be recognised:
// ".penmorph-PURPOSE-XXXXXXXXXXXXXXXX.tmp", or with "-SUBJECT" before ".tmp" when the name of
// the file it stands for has to be found again from it. A subject that would make the name
// longer than a folder entry may be is left out.
std::filesystem::path UniqueTemporaryName(const std::filesystem::path& folder,
                                          std::string_view purpose, std::string_view subject = {});

// When `file_name` is exactly a name UniqueTemporaryName gives for `purpose`: its subject
// ("" for none). nullopt for every other name.
std::optional<std::string> MatchTemporaryName(std::string_view file_name, std::string_view purpose);

// Removes the files of `folder` that UniqueTemporaryName named for `purpose` (those without a
// subject): what an interrupted run of this program left. Failures are ignored.
void RemoveLeftoverTemporaries(const std::filesystem::path& folder, std::string_view purpose);

// The prefix every temporary file of this program starts with.
inline constexpr std::string_view kTemporaryPrefix = ".penmorph-";

}  // namespace penmorph
