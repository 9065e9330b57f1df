#include "convert/batch_converter.h"

#include <gtest/gtest.h>

#include "cli/reason_text.h"

#include <algorithm>
#include <functional>
#include <map>
#include <memory>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "fakes.h"
#include "test_support.h"

namespace penmorph {
namespace {

namespace fs = std::filesystem;
using testing::CallLog;
using testing::FakeDrawing;
using testing::FakeFormat;
using testing::FakeUi;
using testing::FaultyFileSystem;
using testing::FolderSnapshot;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::Snapshot;
using testing::WriteBytes;

class BatchTest : public ::testing::Test {
 protected:
  BatchTest() {
    fs::create_directory(source());
    fs::create_directory(destination());
    for (const char* name : {"JWW", "JWS", "JWC", "JWK"}) {
      auto format = std::make_unique<FakeFormat>(name, log_);
      formats_by_name_[name] = format.get();
      registry_.Add(std::move(format));
    }
  }

  fs::path source() const { return scratch_ / "src"; }
  fs::path destination() const { return scratch_ / "dst"; }
  FakeFormat& format(const std::string& name) { return *formats_by_name_.at(name); }

  BatchResult Run(const std::vector<std::string>& names) {
    BatchConverter converter(registry_, tables_, ui_, files_);
    return testing::ConvertAll(converter, source(), destination(), names);
  }

  std::vector<std::string> Calls() const { return log_; }

  ScratchFolder scratch_;
  CallLog log_;
  FormatRegistry registry_;
  std::map<std::string, FakeFormat*> formats_by_name_;
  ConversionTables tables_;
  FakeUi ui_;
  RealFileSystem files_;
};

// --- dispatch ---

TEST_F(BatchTest, ConvertsKnownFilesAndPassesOverTheRest) {
  WriteBytes(source() / "a.jww", FakeDrawing("JWW", "a"));
  WriteBytes(source() / "b.txt", "text");
  WriteBytes(source() / "c.jwk", FakeDrawing("JWK", "c"));
  WriteBytes(source() / "x.JwW", FakeDrawing("JWW", "mixed"));
  WriteBytes(source() / "x.jw$", FakeDrawing("JWW", "temp"));
  WriteBytes(source() / "x.bak", FakeDrawing("JWW", "backup"));
  WriteBytes(source() / "fake.jww", "no signature");
  WriteBytes(source() / "drawing.jwc", FakeDrawing("JWW", "a JWW under .jwc"));
  BatchResult result =
      Run({"a.jww", "b.txt", "c.jwk", "x.JwW", "x.jw$", "x.bak", "fake.jww", "drawing.jwc"});
  std::vector<OutcomeKind> kinds;
  for (const auto& outcome : result.outcomes) {
    kinds.push_back(outcome.kind);
  }
  using K = OutcomeKind;
  EXPECT_EQ(kinds, (std::vector<K>{K::kConverted, K::kSkipped, K::kConverted, K::kConverted,
                                   K::kSkipped, K::kSkipped, K::kSkipped, K::kSkipped}));
  EXPECT_EQ(EnglishReason(result.outcomes[1].why), "not a jw_cad file type (.txt)");
  EXPECT_EQ(EnglishReason(result.outcomes[6].why), "not a JWW file (no JWW signature)");
  EXPECT_EQ(EnglishReason(result.outcomes[7].why), "not a JWC file (no JWC signature)");
  // The kind and its particulars, for a window to word in its own language.
  EXPECT_EQ(result.outcomes[1].why.kind, ReasonKind::kNotJwCadType);
  EXPECT_EQ(result.outcomes[1].why.subject, ".txt");
  EXPECT_EQ(result.outcomes[6].why.kind, ReasonKind::kNoSignature);
  EXPECT_EQ(result.outcomes[6].why.subject, "JWW");
  EXPECT_EQ(result.outcomes[0].why.kind, ReasonKind::kNone);
  EXPECT_TRUE(EnglishReason(result.outcomes[0].why).empty());
  EXPECT_EQ(ReadBytes(destination() / "x.JwW"), FakeDrawing("JWW", "converted(1):mixed"));
  EXPECT_EQ(Snapshot(destination()).size(), 3u);
  // The probe alone turned the foreign files away: only the three drawings were converted.
  const std::vector<std::string> calls = Calls();
  EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                          [](const std::string& call) { return call.starts_with("convert"); }),
            3);
}

TEST_F(BatchTest, EachFileIsProbedThenConvertedInOrder) {
  WriteBytes(source() / "a.jww", FakeDrawing("JWW", "a"));
  WriteBytes(source() / "b.jwc", FakeDrawing("JWC", "b"));
  WriteBytes(source() / "c.txt", "text");
  Run({"a.jww", "b.jwc", "c.txt"});
  EXPECT_EQ(Calls(),
            (std::vector<std::string>{"probe JWW", "convert a", "probe JWC", "convert b"}));
  // Only files that passed their probe are announced.
  EXPECT_EQ(ui_.events, (std::vector<std::string>{"converting:" + (source() / "a.jww").string() +
                                                      "|" + (destination() / "a.jww").string(),
                                                  "converting:" + (source() / "b.jwc").string() +
                                                      "|" + (destination() / "b.jwc").string()}));
}

TEST_F(BatchTest, TheTablesReachTheRemap) {
  WriteBytes(source() / "a.jwc", FakeDrawing("JWC", "a"));
  tables_.jwc.SetEntry(1, 4);
  Run({"a.jwc"});
  EXPECT_EQ(ReadBytes(destination() / "a.jwc"), FakeDrawing("JWC", "converted(4):a"));
}

// --- backups and failures ---

TEST_F(BatchTest, ExistingOutputBecomesTheBackupAndAnOlderBackupGoes) {
  WriteBytes(source() / "x.jww", FakeDrawing("JWW", "new"));
  WriteBytes(destination() / "x.jww", "previous output");
  WriteBytes(destination() / "x.BAK", "older backup");
  BatchResult result = Run({"x.jww"});
  ASSERT_EQ(result.Count(OutcomeKind::kConverted), 1u);
  EXPECT_EQ(Snapshot(destination()),
            (FolderSnapshot{{"x.BAK", "previous output"},
                            {"x.jww", FakeDrawing("JWW", "converted(1):new")}}));
}

// The window tells the user which outputs were kept as .BAK.
TEST_F(BatchTest, OnlyAConversionOverAnEarlierOutputSaysItKeptABackup) {
  WriteBytes(source() / "x.jww", FakeDrawing("JWW", "new"));
  const FileOutcome first = Run({"x.jww"}).outcomes.at(0);
  const std::string first_output = ReadBytes(destination() / "x.jww");
  const FileOutcome second = Run({"x.jww"}).outcomes.at(0);
  EXPECT_EQ(first.kind, OutcomeKind::kConverted);
  EXPECT_FALSE(first.kept_backup());
  EXPECT_EQ(second.kind, OutcomeKind::kConverted);
  EXPECT_TRUE(second.kept_backup());
  EXPECT_EQ(ReadBytes(destination() / "x.BAK"), first_output);
}

// Two outputs of one base name would share NAME.BAK: the second keeps its extension in its
// backup's name, so that neither earlier output is lost.
TEST_F(BatchTest, TwoSourcesWithOneBaseNameKeepBothEarlierOutputs) {
  WriteBytes(source() / "a.jww", FakeDrawing("JWW", "w"));
  WriteBytes(source() / "a.jwc", FakeDrawing("JWC", "c"));
  WriteBytes(destination() / "a.jww", "old w");
  WriteBytes(destination() / "a.jwc", "old c");
  const BatchResult result = Run({"a.jww", "a.jwc"});
  EXPECT_EQ(ReadBytes(destination() / "a.BAK"), "old w");
  EXPECT_EQ(ReadBytes(destination() / "a.jwc.BAK"), "old c");
  EXPECT_EQ(result.outcomes.at(0).backup, destination() / "a.BAK");
  EXPECT_EQ(result.outcomes.at(1).backup, destination() / "a.jwc.BAK");
}

TEST_F(BatchTest, AFailedFileLeavesTheDestinationByteForByteAsItWas) {
  const FolderSnapshot before{{"x.jww", "previous output"}, {"x.BAK", "older backup"}};
  struct Failure {
    std::string what;
    std::function<void(FakeFormat&)> arrange;
    std::string reason;
  };
  const std::vector<Failure> failures = {
      {"read", [](FakeFormat& f) { f.fail_read = true; }, "cannot read: bad record (at byte 17)"},
      {"remap",
       [](FakeFormat& f) {
         f.remap_error = MakeError(ErrorKind::kRange, "JWW C12 = 70000 does not fit a colour");
       },
       "cannot convert: JWW C12 = 70000 does not fit a colour"},
      {"write at the start", [](FakeFormat& f) { f.fail_write_after = 0; },
       "cannot write: disk full"},
      {"write halfway", [](FakeFormat& f) { f.fail_write_after = 5; }, "cannot write: disk full"},
      {"exception", [](FakeFormat& f) { f.throw_in_read = true; },
       "internal error: reader exploded"},
  };
  WriteBytes(source() / "x.jww", FakeDrawing("JWW", "new"));
  WriteBytes(source() / "y.jwc", FakeDrawing("JWC", "next"));
  for (const Failure& failure : failures) {
    fs::remove_all(destination());
    fs::create_directory(destination());
    for (const auto& [name, bytes] : before) {
      WriteBytes(destination() / name, bytes);
    }
    format("JWW").ResetBehaviour();
    failure.arrange(format("JWW"));
    log_.clear();
    BatchResult result = Run({"x.jww", "y.jwc"});
    ASSERT_EQ(result.outcomes.size(), 2u);
    EXPECT_EQ(result.outcomes[0].kind, OutcomeKind::kFailed) << failure.what;
    EXPECT_EQ(EnglishReason(result.outcomes[0].why), failure.reason) << failure.what;
    EXPECT_EQ(EnglishReason(result.outcomes[0].why), EnglishReason(result.outcomes[0].why))
        << failure.what;
    EXPECT_FALSE(result.outcomes[0].kept_backup()) << failure.what;
    // The batch went on with the next file.
    EXPECT_EQ(result.outcomes[1].kind, OutcomeKind::kConverted) << failure.what;
    FolderSnapshot now = Snapshot(destination());
    now.erase("y.jwc");
    EXPECT_EQ(now, before) << failure.what;
    // The next file was converted afresh: formats keep nothing of a failed one.
    EXPECT_EQ(Calls(),
              (std::vector<std::string>{"probe JWW", "convert new", "probe JWC", "convert next"}))
        << failure.what;
  }
}

TEST_F(BatchTest, FailingFileOperationsNeverLeaveAHalfState) {
  WriteBytes(source() / "x.jww", FakeDrawing("JWW", "new"));
  const FolderSnapshot before{{"x.jww", "previous output"}, {"x.BAK", "older backup"}};
  const FolderSnapshot after{{"x.BAK", "previous output"},
                             {"x.jww", FakeDrawing("JWW", "converted(1):new")}};
  for (int fail_at = 1; fail_at <= 8; ++fail_at) {
    fs::remove_all(destination());
    fs::create_directory(destination());
    for (const auto& [name, bytes] : before) {
      WriteBytes(destination() / name, bytes);
    }
    FaultyFileSystem faulty(fail_at);
    BatchConverter converter(registry_, tables_, ui_, faulty);
    FileOutcome outcome = converter.ConvertFile(source() / "x.jww", destination() / "x.jww");
    FolderSnapshot now = Snapshot(destination());
    if (faulty.failed_operation() == "remove") {
      std::erase_if(now, [](const auto& entry) { return entry.first.rfind(".penmorph-", 0) == 0; });
    }
    EXPECT_EQ(now, outcome.kind == OutcomeKind::kConverted ? after : before) << fail_at;
  }
}

// The source is opened before it is looked at: a folder or a pipe under a drawing's name is
// told apart all the same, and a pipe with no writer does not hold the run.
TEST_F(BatchTest, ASourceThatIsNoFileFailsWithAReason) {
  std::vector<std::pair<std::string, SystemCause>> cases = {{"gone.jww", SystemCause::kNotFound},
                                                            {"folder.jww", SystemCause::kNotAFile}};
  fs::create_directory(source() / "folder.jww");
#ifndef _WIN32
  ASSERT_EQ(mkfifo((source() / "pipe.jww").c_str(), 0600), 0);
  cases.emplace_back("pipe.jww", SystemCause::kNotAFile);
#endif
  std::vector<std::string> names;
  for (const auto& [name, cause] : cases) {
    names.push_back(name);
  }
  BatchResult result = Run(names);
  ASSERT_EQ(result.outcomes.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const FileOutcome& outcome = result.outcomes[i];
    EXPECT_EQ(outcome.kind, OutcomeKind::kFailed) << names[i];
    EXPECT_EQ(EnglishReason(outcome.why),
              cases[i].second == SystemCause::kNotFound ? "no such file" : "not a regular file")
        << names[i];
    ASSERT_TRUE(outcome.why.error.has_value()) << names[i];
    EXPECT_EQ(outcome.why.error->cause, cases[i].second) << names[i];
  }
  EXPECT_TRUE(Snapshot(destination()).empty());
}

TEST_F(BatchTest, ConvertFileRefusesToWriteIntoTheSourcesOwnFolder) {
  WriteBytes(source() / "a.jww", FakeDrawing("JWW", "a"));
  BatchConverter converter(registry_, tables_, ui_, files_);
  FileOutcome outcome = converter.ConvertFile(source() / "a.jww", source() / "." / "a.jww");
  EXPECT_EQ(outcome.kind, OutcomeKind::kFailed);
  EXPECT_EQ(ReadBytes(source() / "a.jww"), FakeDrawing("JWW", "a"));
  EXPECT_EQ(Snapshot(source()).size(), 1u);
}

TEST(BackupPath, ReplacesTheExtension) {
  EXPECT_EQ(BackupPath("/d/plan.jww"), fs::path("/d/plan.BAK"));
  EXPECT_EQ(BackupPath("/d/a.b.JWC"), fs::path("/d/a.b.BAK"));
}

}  // namespace
}  // namespace penmorph
