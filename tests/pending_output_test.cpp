#include "convert/pending_output.h"

#include <gtest/gtest.h>

#include <set>

#ifndef _WIN32
#include <unistd.h>
#endif

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
      std::string where = "fail_at " + std::to_string(fail_at) + " (" + files.failed_operation() +
                          "), hard links " + (hard_links ? "on" : "off");
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

// The window words a refusal by its cause, so the system's refusals reach it sorted.
TEST(PendingOutput, ARefusalCarriesItsCause) {
  ScratchFolder folder;
  RealFileSystem files;
  auto missing = PendingOutput::Begin(files, folder / "missing" / "x.jww");
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().cause, SystemCause::kNotFound) << missing.error().message;
#ifndef _WIN32
  // (Wine answers a name too long with "path not found", unlike Windows.)
  auto too_long = PendingOutput::Begin(files, folder / (std::string(300, 'a') + ".jww"));
  ASSERT_TRUE(too_long.ok());
  Status committed = too_long->Commit(folder / "a.BAK");
  ASSERT_FALSE(committed.ok());
  EXPECT_EQ(committed.error().cause, SystemCause::kNameNotAllowed) << committed.error().message;
  EXPECT_TRUE(Snapshot(folder.path()).empty());
  if (geteuid() != 0) {  // the superuser may write into any folder
    fs::create_directory(folder / "locked");
    fs::permissions(folder / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    auto refused = PendingOutput::Begin(files, folder / "locked" / "x.jww");
    fs::permissions(folder / "locked", fs::perms::owner_all);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().cause, SystemCause::kNoAccess) << refused.error().message;
  }
#endif
}

TEST(PendingOutput, ALinkUnderTheOutputNameIsReplacedNotFollowed) {
  PENMORPH_SKIP_WITHOUT_SYMLINKS();
  ScratchFolder folder;
  WriteBytes(folder / "target", "must stay");
  fs::create_symlink("target", folder / "x.jww");
  ASSERT_TRUE(CommitNew(folder.path()).ok());
  EXPECT_EQ(ReadBytes(folder / "target"), "must stay");
  EXPECT_FALSE(fs::is_symlink(folder / "x.jww"));
  EXPECT_EQ(ReadBytes(folder / "x.jww"), "new");
  EXPECT_TRUE(fs::is_symlink(folder / "x.BAK"));
}

// --- what a run killed in the middle of a commit leaves, and what the next run makes of it ---

// The name the commit gives its temporary files, with a fixed random part.
std::string Temporary(std::string_view purpose, std::string_view subject = {}) {
  std::string name = ".penmorph-" + std::string(purpose) + "-0123456789abcdef";
  if (!subject.empty()) {
    name += "-" + std::string(subject);
  }
  return name + ".tmp";
}

FolderSnapshot Recovered(const ScratchFolder& folder) {
  RealFileSystem files;
  RecoverInterruptedOutputs(files, folder.path(), [](const fs::path& output) {
    fs::path backup = output;
    return backup.replace_extension(".BAK");
  });
  return Snapshot(folder.path());
}

TEST(RecoverInterruptedOutputs, FinishesOrUndoesEachStepOfAKilledCommit) {
  struct Case {
    std::string killed_after;
    FolderSnapshot left;
    FolderSnapshot recovered;
  };
  const std::vector<Case> cases = {
      {"writing the new file",
       {{"x.jww", "old"}, {"x.BAK", "older"}, {Temporary("new"), "ne"}},
       {{"x.jww", "old"}, {"x.BAK", "older"}}},
      {"keeping the previous output",
       {{"x.jww", "old"},
        {"x.BAK", "older"},
        {Temporary("new"), "new"},
        {Temporary("bak", "x.jww"), "old"}},
       {{"x.jww", "old"}, {"x.BAK", "older"}}},
      {"putting the new file in place",
       {{"x.jww", "new"}, {"x.BAK", "older"}, {Temporary("bak", "x.jww"), "old"}},
       {{"x.jww", "new"}, {"x.BAK", "old"}}},
      {"a first output, put in place",
       {{"x.jww", "new"}, {Temporary("bak", "x.jww"), "old"}},
       {{"x.jww", "new"}, {"x.BAK", "old"}}},
      {"the output was deleted since", {{Temporary("bak", "x.jww"), "old"}}, {{"x.jww", "old"}}},
  };
  for (const Case& c : cases) {
    ScratchFolder folder;
    for (const auto& [name, bytes] : c.left) {
      WriteBytes(folder / name, bytes);
    }
    EXPECT_EQ(Recovered(folder), c.recovered) << "killed after " << c.killed_after;
  }
}

// Another run tidies the folder while this one writes: the file this run holds stays and is
// committed afterwards; a dead run's file goes.
TEST(RecoverInterruptedOutputs, LeavesTheFileALiveRunWritesAndRemovesADeadRunsFile) {
  ScratchFolder folder;
  RealFileSystem files;
  WriteBytes(folder / Temporary("new"), "dead");
  auto live = PendingOutput::Begin(files, folder / "x.jww");
  ASSERT_TRUE(live.ok());
  ASSERT_TRUE(WriteText(live.value(), "new").ok());
  const std::string live_name = live->temporary_path().filename().string();
  EXPECT_EQ(Recovered(folder), (FolderSnapshot{{live_name, "new"}}));
  ASSERT_TRUE(live->Commit(folder / "x.BAK").ok());
  EXPECT_EQ(Snapshot(folder.path()), (FolderSnapshot{{"x.jww", "new"}}));
}

TEST(RecoverInterruptedOutputs, TouchesOnlyTheNamesTheProgramGives) {
  ScratchFolder folder;
  FolderSnapshot foreign = {
      {".penmorph-new-0123456789abcde.tmp", "15 digits"},
      {".penmorph-new-0123456789abcdef.tmp.txt", "another extension"},
      {".penmorph-new-0123456789abcdef-x.jww.tmp", "a new file has no subject"},
      {".penmorph-old-0123456789abcdef.tmp", "an aside of an older program"},
      {".penmorph-bak-0123456789abcdef.tmp", "a kept file without its output's name"},
      {".penmorph-ini-0123456789abcdef.tmp", "a settings save's"},
      {"penmorph-new-0123456789abcdef.tmp", "no dot"},
      {"notes.txt", "the user's"},
  };
  // Where case is ignored, the upper-case name would be the program's own file.
  if (!testing::IgnoresCase(folder.path())) {
    foreign[".penmorph-new-0123456789ABCDEF.tmp"] = "upper case";
  }
  for (const auto& [name, bytes] : foreign) {
    WriteBytes(folder / name, bytes);
  }
  WriteBytes(folder / Temporary("new"), "partial");
  EXPECT_EQ(Recovered(folder), foreign);
}

TEST(RecoverInterruptedOutputs, ALinkPlantedUnderAKeptNameIsMovedNotFollowed) {
  PENMORPH_SKIP_WITHOUT_SYMLINKS();
  ScratchFolder folder;
  ScratchFolder elsewhere;
  WriteBytes(elsewhere / "victim", "must stay");
  WriteBytes(folder / "x.jww", "new");
  fs::create_symlink(elsewhere / "victim", folder / Temporary("bak", "x.jww"));
  fs::create_symlink(elsewhere / "victim", folder / Temporary("new"));
  Recovered(folder);
  EXPECT_EQ(ReadBytes(elsewhere / "victim"), "must stay");
  EXPECT_TRUE(fs::is_symlink(folder / "x.BAK"));
  EXPECT_EQ(ReadBytes(folder / "x.jww"), "new");
  EXPECT_EQ(Snapshot(folder.path()).size(), 2u);
}

TEST(TemporaryNames, CarryTheirSubjectWhenItFits) {
  fs::path plain = UniqueTemporaryName("/d", "new");
  EXPECT_EQ(MatchTemporaryName(plain.filename().string(), "new"), std::string());
  fs::path named = UniqueTemporaryName("/d", "bak", "plan-2.jww");
  EXPECT_EQ(MatchTemporaryName(named.filename().string(), "bak"), "plan-2.jww");
  EXPECT_EQ(MatchTemporaryName(named.filename().string(), "new"), std::nullopt);
  // A subject too long for a folder entry is left out rather than making the name unusable.
  fs::path long_named = UniqueTemporaryName("/d", "bak", std::string(240, 'a'));
  EXPECT_LE(long_named.filename().string().size(), 255u);
  EXPECT_EQ(MatchTemporaryName(long_named.filename().string(), "bak"), std::string());
}

}  // namespace
}  // namespace penmorph
