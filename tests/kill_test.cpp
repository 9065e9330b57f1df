// Crash safety: `penmorph-cli convert` killed at random moments of a batch into a folder with
// earlier outputs and backups (SIGKILL on Linux, TerminateProcess on Windows), and a settings
// save killed the same way. After every kill each output name holds its old bytes or the complete
// new file; what the killed program left is recognisable by its name, and the next run removes
// it - and nothing else.

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <set>

#include "child_process.h"
#include "common/file_system.h"
#include "common/path_text.h"
#include "dos_test_files.h"
#include "ini_kill_documents.h"
#include "jw_test_bytes.h"
#include "settings/ini_document.h"
#include "test_support.h"

namespace penmorph {
namespace {

namespace fs = std::filesystem;
using testing::FolderSnapshot;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::Snapshot;
using testing::WriteBytes;

constexpr int kKillsWanted = 50;

using testing::ChildProcess;
using testing::RunProgram;

// True when the kill ended the program, false when it had finished already.
bool KillAfter(ChildProcess& child, std::chrono::microseconds delay) {
  // The delay only spreads the kills over the run; no check depends on it.
  testing::SleepFor(delay);
  return child.Kill();
}

bool IsOwnTemporary(const std::string& name) {
  auto plain = [&](std::string_view purpose) {
    auto subject = MatchTemporaryName(name, purpose);
    return subject && subject->empty();
  };
  auto kept = MatchTemporaryName(name, "bak");
  return plain("new") || (kept && !kept->empty());
}

class KillTest : public ::testing::Test {
 protected:
  KillTest() {
    fs::create_directory(source());
    fs::create_directory(temporary());
    testing::JwcFile drawing;
    drawing.lines = testing::LinesOfEveryPenAndLineType();
    drawing.texts = {"t"};
    testing::JwkFile symbol;
    symbol.texts = {"k"};
    std::vector<std::pair<std::string, std::string>> files = {
        {"image.jww", testing::JwwWithImage()},
        {"plain.jww", testing::EmptyJww(420)},
        {"sym.jws", testing::JwsWithOneLine(351)},
        {"plan.jwc", drawing.Bytes()},
        {"part.jwk", symbol.Bytes()}};
    // Real drawings make the run long enough to be struck in every phase.
    for (const fs::path& sample : testing::SampleFiles(".jww")) {
      files.emplace_back("s" + std::to_string(files.size()) + ".jww", ReadBytes(sample));
    }
    for (int copy = 0; files.size() < 24; ++copy) {
      files.emplace_back("copy" + std::to_string(copy) + ".jwc", drawing.Bytes());
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
      const auto& [name, bytes] = files[i];
      WriteBytes(source() / name, bytes);
      names_.push_back(name);
      initial_[name] = "old " + name;
      if (i % 2 == 0) {
        initial_[fs::path(name).replace_extension(".BAK").string()] = "older " + name;
      }
    }
    // What the next run must leave alone, however much it looks like the program's own.
    initial_["notes.txt"] = "the user's";
    initial_[".penmorph-new-0123456789abcdef.tmp.keep"] = "not quite the program's name";
    initial_[".penmorph-ini-0123456789abcdef.tmp"] = "a settings save's, not a conversion's";
  }

  fs::path source() const { return scratch_ / "src"; }
  fs::path temporary() const { return scratch_ / "tmp"; }

  void Prepare(const fs::path& destination) const {
    fs::remove_all(destination);
    fs::create_directory(destination);
    for (const auto& [name, bytes] : initial_) {
      WriteBytes(destination / name, bytes);
    }
  }

  std::vector<std::string> Command(const fs::path& destination) const {
    std::vector<std::string> args = {PENMORPH_CLI_PATH, "convert", "--dest",
                                     PathToUtf8(destination)};
    for (const std::string& name : names_) {
      args.push_back(PathToUtf8(source() / name));
    }
    return args;
  }

  ScratchFolder scratch_;
  std::vector<std::string> names_;
  FolderSnapshot initial_;
};

TEST_F(KillTest, EveryOutputIsOldOrCompleteAfterEachKillAndTheNextRunTidiesUp) {
  // The new bytes of every output, and how long an undisturbed run takes.
  const fs::path clean = scratch_ / "clean";
  Prepare(clean);
  auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(RunProgram(Command(clean), {}, temporary()), 0);
  auto duration = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - started);
  const FolderSnapshot converted = Snapshot(clean);

  std::mt19937 random(std::random_device{}());
  std::uniform_int_distribution<long> moment(0, duration.count());
  const fs::path destination = scratch_ / "dst";
  int kills = 0;
  int leftovers_seen = 0;
  for (int round = 0; kills < kKillsWanted && round < 20 * kKillsWanted; ++round) {
    Prepare(destination);
    ChildProcess child(Command(destination), {}, temporary());
    if (!KillAfter(child, std::chrono::microseconds(moment(random)))) {
      continue;
    }
    ++kills;
    FolderSnapshot now = Snapshot(destination);
    for (const auto& [name, bytes] : now) {
      if (IsOwnTemporary(name)) {
        ++leftovers_seen;
        continue;
      }
      ASSERT_TRUE(initial_.count(name) || converted.count(name)) << "unknown file " << name;
    }
    for (const std::string& name : names_) {
      ASSERT_TRUE(now.count(name)) << "kill " << kills << ": " << name << " is gone";
      ASSERT_TRUE(now[name] == initial_[name] || now[name] == converted.at(name))
          << "kill " << kills << ": " << name << " holds neither its old bytes nor the new file";
    }

    // The next run finds every leftover by its name and removes only those.
    ASSERT_EQ(RunProgram(Command(destination), {}, temporary()), 0);
    FolderSnapshot after = Snapshot(destination);
    for (const auto& [name, bytes] : after) {
      EXPECT_FALSE(IsOwnTemporary(name)) << "kill " << kills << ": " << name << " was left";
    }
    for (const std::string& name : names_) {
      EXPECT_EQ(after[name], converted.at(name)) << name;
      std::string backup = fs::path(name).replace_extension(".BAK").string();
      EXPECT_TRUE(after[backup] == initial_[name] || after[backup] == converted.at(name))
          << "kill " << kills << ": " << backup;
    }
    for (const char* foreign : {"notes.txt", ".penmorph-new-0123456789abcdef.tmp.keep",
                                ".penmorph-ini-0123456789abcdef.tmp"}) {
      EXPECT_EQ(after[foreign], initial_[foreign]);
    }
  }
  EXPECT_GE(kills, kKillsWanted);
  std::printf("[ kills    ] %d kills survived, %d leftover temporary files found and removed\n",
              kills, leftovers_seen);
}

TEST(IniKillTest, TheFileIsOldOrNewAfterEachKillAndTheNextSaveTidiesUp) {
  ScratchFolder folder;
  ScratchFolder signals;
  const fs::path file = folder / "penmorph.ini";
  // Long enough that a kill often strikes while the temporary file is written.
  const IniDocument first = testing::IniKillDocument(1);
  const IniDocument second = testing::IniKillDocument(2);
  const std::string first_text = first.Serialize();
  const std::string second_text = second.Serialize();
  ASSERT_TRUE(testing::IsOk(first.Save(file)));
  WriteBytes(folder / "notes.txt", "the user's");
  WriteBytes(folder / ".penmorph-new-0123456789abcdef.tmp", "a conversion's, not a save's");

  auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(testing::IsOk(second.Save(file)));
  ASSERT_TRUE(testing::IsOk(first.Save(file)));
  auto two_saves = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - started);

  std::mt19937 random(std::random_device{}());
  std::uniform_int_distribution<long> moment(0, 4 * two_saves.count());
  int kills = 0;
  int leftovers_seen = 0;
  for (int round = 0; kills < kKillsWanted && round < 20 * kKillsWanted; ++round) {
    // The program saves the two documents in turn until it is killed.
    const fs::path ready = signals / ("ready-" + std::to_string(round));
    ChildProcess child({PENMORPH_SAVE_LOOP_PATH, PathToUtf8(file), PathToUtf8(ready)});
    for (int wait = 0; !fs::exists(ready) && wait < 30000; ++wait) {
      testing::SleepFor(std::chrono::milliseconds(1));
    }
    if (!KillAfter(child, std::chrono::microseconds(moment(random)))) {
      continue;
    }
    ++kills;
    std::string text = ReadBytes(file);
    ASSERT_TRUE(text == first_text || text == second_text) << "kill " << kills;
    for (const auto& [name, bytes] : Snapshot(folder.path())) {
      auto subject = MatchTemporaryName(name, "ini");
      if (subject && subject->empty()) {
        ++leftovers_seen;
      }
    }
    ASSERT_TRUE(testing::IsOk(first.Save(file)));
    FolderSnapshot after = Snapshot(folder.path());
    EXPECT_EQ(after, (FolderSnapshot{
                         {"penmorph.ini", first_text},
                         {"notes.txt", "the user's"},
                         {".penmorph-new-0123456789abcdef.tmp", "a conversion's, not a save's"}}));
  }
  EXPECT_GE(kills, kKillsWanted);
  std::printf("[ kills    ] %d save kills survived, %d leftover temporary files removed\n", kills,
              leftovers_seen);
}

}  // namespace
}  // namespace penmorph
