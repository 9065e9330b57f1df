#pragma once

// Helpers shared by the tests: scratch folders, whole-file reads and writes, folder snapshots.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/result.h"

namespace penmorph::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

void WriteBytes(const std::filesystem::path& file, const std::string& bytes);
std::string ReadBytes(const std::filesystem::path& file);

// Every entry of a folder (hidden ones included) with its bytes; folders show as "<dir>".
using FolderSnapshot = std::map<std::string, std::string>;
FolderSnapshot Snapshot(const std::filesystem::path& folder);

// The sample drawings written by jw_cad with this extension (any case), sorted; empty when the
// samples folder is absent.
std::vector<std::filesystem::path> SampleFiles(const std::string& extension);

// Symbolic links need a privilege on Windows that tests cannot count on.
#ifdef _WIN32
constexpr bool SymlinksAvailable() {
  return false;
}
#define PENMORPH_SKIP_WITHOUT_SYMLINKS() \
  GTEST_SKIP() << "symbolic links need a privilege on Windows"
#else
constexpr bool SymlinksAvailable() {
  return true;
}
#define PENMORPH_SKIP_WITHOUT_SYMLINKS() (void)0
#endif

// Whether the file system of `folder` takes "a" and "A" for one name (Windows does).
bool IgnoresCase(const std::filesystem::path& folder);

// For ASSERT_TRUE(IsOk(status)): a failure shows the error's reason.
inline ::testing::AssertionResult IsOk(const Status& status) {
  if (status.ok()) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << status.error().Describe();
}
// The same for a reader or a Result, through their status().
template <class T>
::testing::AssertionResult IsOk(const T& holder) {
  return IsOk(holder.status());
}

}  // namespace penmorph::testing
