#include "convert/batch_converter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>

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

  BatchRequest Request(std::vector<std::string> names) const {
    BatchRequest request;
    request.tree_ready = true;
    request.list_ready = true;
    request.source_folder = source().string() + "/";
    request.destination_folder = destination().string() + "/";
    request.file_names = std::move(names);
    return request;
  }

  BatchResult Run(const BatchRequest& request) {
    BatchConverter converter(registry_, tables_, ui_, files_);
    return converter.Run(request);
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

// --- the checks before anything is converted ---

TEST_F(BatchTest, ChecksComeInOrderEachWithItsBoxAndABeep) {
  struct Case {
    std::function<void(BatchRequest&)> spoil;
    std::vector<std::string> events;
  };
  const std::vector<Case> cases = {
      {[](BatchRequest& r) {
         r.tree_ready = false;
         r.list_ready = false;
         r.destination_folder = "";
       },
       {"beep", "error:検索フォルダを指定して下さい。", "status:検索フォルダを指定して下さい。"}},
      {[](BatchRequest& r) {
         r.list_ready = false;
         r.destination_folder = "";
       },
       {"beep", "error:ファイル一覧が表示されていません。"}},
      {[](BatchRequest& r) { r.destination_folder = ""; },
       {"beep", "confirmation:保存先フォルダを指定して下さい。"}},
      {[this](BatchRequest& r) { r.destination_folder = (scratch_ / "missing/").string(); },
       {"beep", "confirmation:指定された保存先フォルダが存在しません。再指定して下さい。"}},
      {[](BatchRequest& r) { r.destination_folder = r.source_folder; },
       {"beep", "confirmation:保存先フォルダとファイルのフォルダが同じになっています。"}},
  };
  WriteBytes(source() / "a.jww", FakeDrawing("JWW", "x"));
  for (std::size_t i = 0; i < cases.size(); ++i) {
    ui_.events.clear();
    BatchRequest request = Request({"a.jww"});
    cases[i].spoil(request);
    BatchResult result = Run(request);
    EXPECT_FALSE(result.ran) << i;
    EXPECT_EQ(ui_.events, cases[i].events) << i;
  }
  EXPECT_TRUE(Calls().empty());
  EXPECT_TRUE(Snapshot(destination()).empty());
}

TEST_F(BatchTest, AnsweringNoCancels) {
  WriteBytes(source() / "a.jww", FakeDrawing("JWW", "x"));
  ui_.answer = false;
  BatchResult result = Run(Request({"a.jww"}));
  EXPECT_FALSE(result.ran);
  EXPECT_EQ(ui_.events, (std::vector<std::string>{"ask:変換を開始します。よろしいですか？",
                                                  "status:変換作業をキャンセルしました。"}));
  EXPECT_TRUE(Calls().empty());
}

TEST_F(BatchTest, SameFolderIsFoundThroughLinksAndDotSegments) {
  std::vector<std::string> spellings = {(scratch_ / "." / "src" / "").string(), source().string()};
  if (testing::SymlinksAvailable()) {
    fs::create_directory_symlink(source(), scratch_ / "link");
    spellings.push_back((scratch_ / "link").string() + "/");
  }
  for (const std::string& destination : spellings) {
    ui_.events.clear();
    BatchRequest request = Request({});
    request.destination_folder = destination;
    EXPECT_FALSE(Run(request).ran) << destination;
    EXPECT_EQ(ui_.events.back(),
              "confirmation:保存先フォルダとファイルのフォルダが同じになっています。");
  }
}

TEST_F(BatchTest, FoldersDifferingOnlyInCaseAreDifferentHere) {
  fs::create_directory(scratch_ / "SRC");
  if (fs::equivalent(scratch_ / "SRC", source())) {
    GTEST_SKIP() << "this file system ignores case";
  }
  BatchRequest request = Request({});
  request.destination_folder = (scratch_ / "SRC/").string();
  EXPECT_TRUE(Run(request).ran);
}

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
  BatchResult result = Run(
      Request({"a.jww", "b.txt", "c.jwk", "x.JwW", "x.jw$", "x.bak", "fake.jww", "drawing.jwc"}));
  ASSERT_TRUE(result.ran);
  std::vector<OutcomeKind> kinds;
  for (const auto& outcome : result.outcomes) {
    kinds.push_back(outcome.kind);
  }
  using K = OutcomeKind;
  EXPECT_EQ(kinds, (std::vector<K>{K::kConverted, K::kSkipped, K::kConverted, K::kConverted,
                                   K::kSkipped, K::kSkipped, K::kSkipped, K::kSkipped}));
  EXPECT_EQ(result.outcomes[1].reason, "not a jw_cad file type (.txt)");
  EXPECT_EQ(result.outcomes[6].reason, "not a JWW file (no JWW signature)");
  EXPECT_EQ(result.outcomes[7].reason, "not a JWC file (no JWC signature)");
  EXPECT_EQ(ReadBytes(destination() / "x.JwW"), FakeDrawing("JWW", "converted(1):mixed"));
  EXPECT_EQ(Snapshot(destination()).size(), 3u);
  // The probe alone turned the foreign files away: they were never read.
  for (const std::string& call : Calls()) {
    EXPECT_NE(call, "read fake.jww");
    EXPECT_NE(call, "read drawing.jwc");
  }
}

TEST_F(BatchTest, EachFileRunsProbeReadRemapWriteCleanUpClearInOrder) {
  WriteBytes(source() / "a.jww", FakeDrawing("JWW", "a"));
  WriteBytes(source() / "b.jwc", FakeDrawing("JWC", "b"));
  Run(Request({"a.jww", "b.jwc"}));
  EXPECT_EQ(Calls(),
            (std::vector<std::string>{"probe JWW a.jww", "read a.jww", "remap", "write",
                                      "delete-extracted", "clear", "probe JWC b.jwc", "read b.jwc",
                                      "remap", "write", "delete-extracted", "clear"}));
  const std::string a_status =
      "status:" + ConvertingStatus(source() / "a.jww", destination() / "a.jww");
  EXPECT_EQ(ui_.events,
            (std::vector<std::string>{
                "ask:変換を開始します。よろしいですか？", "progress:0/2", a_status, "progress:1/2",
                "status:" + ConvertingStatus(source() / "b.jwc", destination() / "b.jwc"),
                "progress:2/2", "status:変換作業を完了しました。"}));
  EXPECT_EQ(a_status, "status:ファイル「" + (source() / "a.jww").string() + "」→「" +
                          (destination() / "a.jww").string() + "」変換中です。");
}

TEST_F(BatchTest, NothingConvertibleStillEndsWithTheCompletionText) {
  WriteBytes(source() / "b.txt", "text");
  BatchResult result = Run(Request({"b.txt"}));
  EXPECT_TRUE(result.ran);
  EXPECT_EQ(ui_.events.back(), "status:変換作業を完了しました。");
}

TEST_F(BatchTest, TheTablesReachTheRemap) {
  WriteBytes(source() / "a.jwc", FakeDrawing("JWC", "a"));
  tables_.jwc.SetEntry(1, 4);
  Run(Request({"a.jwc"}));
  EXPECT_EQ(ReadBytes(destination() / "a.jwc"), FakeDrawing("JWC", "converted(4):a"));
}

TEST_F(BatchTest, DestinationWithoutTrailingSeparatorStillGetsTheFile) {
  WriteBytes(source() / "a.jww", FakeDrawing("JWW", "a"));
  BatchRequest request = Request({"a.jww"});
  request.destination_folder = destination().string();
  Run(request);
  EXPECT_TRUE(fs::exists(destination() / "a.jww"));
}

// --- backups and failures ---

TEST_F(BatchTest, ExistingOutputBecomesTheBackupAndAnOlderBackupGoes) {
  WriteBytes(source() / "x.jww", FakeDrawing("JWW", "new"));
  WriteBytes(destination() / "x.jww", "previous output");
  WriteBytes(destination() / "x.BAK", "older backup");
  BatchResult result = Run(Request({"x.jww"}));
  ASSERT_EQ(result.Count(OutcomeKind::kConverted), 1u);
  EXPECT_EQ(Snapshot(destination()),
            (FolderSnapshot{{"x.BAK", "previous output"},
                            {"x.jww", FakeDrawing("JWW", "converted(1):new")}}));
}

TEST_F(BatchTest, TwoSourcesWithOneBaseNameShareTheBackupName) {
  WriteBytes(source() / "a.jww", FakeDrawing("JWW", "w"));
  WriteBytes(source() / "a.jwc", FakeDrawing("JWC", "c"));
  WriteBytes(destination() / "a.jww", "old w");
  WriteBytes(destination() / "a.jwc", "old c");
  Run(Request({"a.jww", "a.jwc"}));
  EXPECT_EQ(ReadBytes(destination() / "a.BAK"), "old c");
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
    BatchResult result = Run(Request({"x.jww", "y.jwc"}));
    ASSERT_EQ(result.outcomes.size(), 2u);
    EXPECT_EQ(result.outcomes[0].kind, OutcomeKind::kFailed) << failure.what;
    EXPECT_EQ(result.outcomes[0].reason, failure.reason) << failure.what;
    // The batch went on with the next file.
    EXPECT_EQ(result.outcomes[1].kind, OutcomeKind::kConverted) << failure.what;
    FolderSnapshot now = Snapshot(destination());
    now.erase("y.jwc");
    EXPECT_EQ(now, before) << failure.what;
    // Even a failed file leaves its working storage empty.
    std::vector<std::string> calls = Calls();
    auto next = std::find(calls.begin(), calls.end(), "probe JWC y.jwc");
    ASSERT_NE(next, calls.begin());
    EXPECT_EQ(*(next - 1), "clear") << failure.what;
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

TEST_F(BatchTest, MissingSourceFailsWithAReason) {
  BatchResult result = Run(Request({"gone.jww"}));
  ASSERT_EQ(result.outcomes.size(), 1u);
  EXPECT_EQ(result.outcomes[0].kind, OutcomeKind::kFailed);
  EXPECT_EQ(result.outcomes[0].reason, "no such file");
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
