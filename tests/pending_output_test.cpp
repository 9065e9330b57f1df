#include "convert/pending_output.h"

#include <gtest/gtest.h>

#include <set>

#include "fakes.h"
#include "test_support.h"

namespace penmorph {
namespace {

namespace fs = std::filesystem;
using testing::FaultyFileSystem;
using testing::FolderSnapshot;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::Snapshot;
using testing::WriteBytes;

Status WriteText(PendingOutput& output, const std::string& text) {
  return output.sink().Write({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

// Writes "new" as x.jww into the folder through the given file operations.
Status CommitNew(FileSystem& files, const fs::path& folder) {
  auto output = PendingOutput::Begin(files, folder / "x.jww");
  if (!output.ok()) {
    return output.error();
  }
  if (Status written = WriteText(output.value(), "new"); !written.ok()) {
    return written;
  }
  return output->Commit(folder / "x.BAK");
}

Status CommitNew(const fs::path& folder) {
  RealFileSystem files;
  return CommitNew(files, folder);
}

TEST(PendingOutput, NothingAppearsUnderTheNameBeforeCommit) {
  ScratchFolder folder;
  RealFileSystem files;
  auto output = PendingOutput::Begin(files, folder / "x.jww");
  ASSERT_TRUE(output.ok());
  ASSERT_TRUE(WriteText(output.value(), "partial").ok());
  EXPECT_FALSE(fs::exists(folder / "x.jww"));
  EXPECT_EQ(output->temporary_path().filename().string().rfind(".penmorph-", 0), 0u);
  output->Discard();
  EXPECT_TRUE(Snapshot(folder.path()).empty());
}

TEST(PendingOutput, AbandonedOutputLeavesNothingBehind) {
  ScratchFolder folder;
  RealFileSystem files;
  {
    auto output = PendingOutput::Begin(files, folder / "x.jww");
    ASSERT_TRUE(output.ok());
    ASSERT_TRUE(WriteText(output.value(), "partial").ok());
  }
  EXPECT_TRUE(Snapshot(folder.path()).empty());
}

TEST(PendingOutput, CommitMovesTheOldOutputToTheBackupAndReplacesAnOlderBackup) {
  ScratchFolder folder;
  WriteBytes(folder / "x.jww", "old");
  WriteBytes(folder / "x.BAK", "older");
  ASSERT_TRUE(CommitNew(folder.path()).ok());
  EXPECT_EQ(Snapshot(folder.path()), (FolderSnapshot{{"x.BAK", "old"}, {"x.jww", "new"}}));
}

TEST(PendingOutput, CommitIntoAnEmptyFolderMakesNoBackup) {
  ScratchFolder folder;
  WriteBytes(folder / "x.BAK", "unrelated backup");
  ASSERT_TRUE(CommitNew(folder.path()).ok());
  EXPECT_EQ(Snapshot(folder.path()),
            (FolderSnapshot{{"x.BAK", "unrelated backup"}, {"x.jww", "new"}}));
}

// Whichever file operation fails, the folder is exactly as before or exactly the new result;
// on file systems with hard links and on those without (where the previous output is copied).
TEST(PendingOutput, AnyFailedOperationLeavesTheFolderAsItWas) {
  const FolderSnapshot before{{"x.BAK", "older"}, {"x.jww", "old"}, {"y.jww", "other"}};
  const FolderSnapshot after{{"x.BAK", "old"}, {"x.jww", "new"}, {"y.jww", "other"}};
  for (bool hard_links : {true, false}) {
    std::set<std::string> failed_kinds;
    int failures_seen = 0;
    for (int fail_at = 1;; ++fail_at) {
      ScratchFolder folder;
      for (const auto& [name, bytes] : before) {
        WriteBytes(folder / name, bytes);
      }
      FaultyFileSystem files(fail_at, !hard_links);
      Status status = CommitNew(files, folder.path());
      if (files.failed_operation().empty()) {
        EXPECT_TRUE(status.ok());
        EXPECT_EQ(Snapshot(folder.path()), after);
        break;  // every operation of the commit has been made to fail once
      }
      FolderSnapshot now = Snapshot(folder.path());
      if (files.failed_operation() == "remove") {
        // A temporary file that could not be removed stays, recognisable by its name.
        std::erase_if(now,
                      [](const auto& entry) { return entry.first.rfind(".penmorph-", 0) == 0; });
      }
      std::string where = "fail_at " + std::to_string(fail_at) + " (" +
                          files.failed_operation() + "), hard links " + (hard_links ? "on" : "off");
      if (status.ok()) {
        EXPECT_EQ(now, after) << where;
      } else {
        ++failures_seen;
        failed_kinds.insert(files.failed_operation());
        EXPECT_EQ(now, before) << where << ": " << status.error().Describe();
      }
    }
    // With links: create, new into place, kept to backup. Without: the copy's create and
    // rename as well.
    EXPECT_GE(failures_seen, hard_links ? 3 : 5);
    EXPECT_TRUE(failed_kinds.count("create") && failed_kinds.count("rename"));
  }
}

TEST(PendingOutput, AFolderUnderTheOutputNameIsNotMovedAside) {
  ScratchFolder folder;
  fs::create_directory(folder / "x.jww");
  WriteBytes(folder / "x.jww" / "inside", "1");
  Status status = CommitNew(folder.path());
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(Snapshot(folder.path()), (FolderSnapshot{{"x.jww", "<dir>"}}));
}

TEST(PendingOutput, ALinkUnderTheOutputNameIsReplacedNotFollowed) {
  ScratchFolder folder;
  WriteBytes(folder / "target", "must stay");
  fs::create_symlink("target", folder / "x.jww");
  ASSERT_TRUE(CommitNew(folder.path()).ok());
  EXPECT_EQ(ReadBytes(folder / "target"), "must stay");
  EXPECT_FALSE(fs::is_symlink(folder / "x.jww"));
  EXPECT_EQ(ReadBytes(folder / "x.jww"), "new");
  EXPECT_TRUE(fs::is_symlink(folder / "x.BAK"));
}

}  // namespace
}  // namespace penmorph
