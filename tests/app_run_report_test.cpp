// The report of a run: the Japanese reasons, the text and saving it.

#include "app/run_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "test_support.h"

namespace penmorph::app {
namespace {

namespace fs = std::filesystem;
using penmorph::testing::ReadBytes;
using penmorph::testing::ScratchFolder;
using penmorph::testing::WriteBytes;

FileOutcome Outcome(OutcomeKind kind, OutcomeReason why, const std::string& file = "/d/a.jww") {
  FileOutcome outcome;
  outcome.kind = kind;
  outcome.source = file;
  outcome.why = std::move(why);
  return outcome;
}

TEST(RunReport, EveryReasonHasItsJapaneseWording) {
  const Error range = MakeError(ErrorKind::kRange, "JWW C12 = 70000 does not fit a colour");
  const Error io =
      IoError("cannot write /d/a.jww: No space left on device", SystemCause::kDiskFull);
  const Error truncated = MakeError(ErrorKind::kTruncated, "the file ends early", 1500);
  const Error unsupported = MakeError(ErrorKind::kUnsupported, "version 100");
  const Error in_use =
      IoError("cannot open the file: the file is in use by another program", SystemCause::kInUse);
  struct Case {
    OutcomeReason reason;
    std::string japanese;
  };
  const Case cases[] = {
      {{ReasonKind::kNoExtension, {}, {}}, "拡張子がありません"},
      {{ReasonKind::kNotJwCadType, ".txt", {}}, "jw_cadのファイルの種類ではありません（.txt）"},
      {{ReasonKind::kNoSignature, "JWC", {}},
       "JWCファイルとして認識できません（JWCの識別子がありません）"},
      {{ReasonKind::kUnreadable, in_use.message, in_use},
       "ファイルを開けません：ほかのプログラムが使用中です"},
      {{ReasonKind::kSameFolder, {}, {}}, "保存先がファイルと同じフォルダです"},
      {{ReasonKind::kCannotRead, {}, truncated},
       "読み込めません：ファイルが途中で終わっています（1500 バイト目）"},
      {{ReasonKind::kCannotRead, {}, unsupported},
       "読み込めません：この版・種類のファイルには対応していません"},
      {{ReasonKind::kCannotConvert, {}, range}, "変換できません：値が書き込む欄に収まりません"},
      {{ReasonKind::kCannotWrite, {}, io}, "書き込めません：ディスクの空き容量が足りません"},
      {{ReasonKind::kInternalError, "reader exploded", {}}, "内部エラー（reader exploded）"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JapaneseReason(c.reason), c.japanese);
  }
}

// Only the system's words for a failure of no known cause are left in English.
TEST(RunReport, EveryCauseAndKindIsWordedInJapaneseAndTheUnknownKeepTheSystemsWords) {
  std::vector<Error> known;
  for (SystemCause cause :
       {SystemCause::kReadOnly, SystemCause::kReadOnlyFile, SystemCause::kInUse,
        SystemCause::kNotFound, SystemCause::kNoAccess, SystemCause::kDiskFull,
        SystemCause::kNameNotAllowed, SystemCause::kNameTaken, SystemCause::kNotAFile}) {
    known.push_back(IoError("cannot replace /d/a.jww: the system's words", cause));
  }
  for (ErrorKind kind : {ErrorKind::kTruncated, ErrorKind::kMalformed, ErrorKind::kUnsupported,
                         ErrorKind::kScaleClash, ErrorKind::kUnencodable, ErrorKind::kRange}) {
    known.push_back(MakeError(kind, "bad record", 1234));
  }
  std::set<std::string> texts;
  for (const Error& error : known) {
    const std::string text = JapaneseErrorText(error);
    EXPECT_FALSE(text.empty()) << error.message;
    EXPECT_EQ(std::count_if(text.begin(), text.end(), [](char c) { return c >= 'a' && c <= 'z'; }),
              0)
        << text;
    texts.insert(text);
  }
  EXPECT_EQ(texts.size(), known.size());  // no two cases read alike
  EXPECT_EQ(JapaneseErrorText(known.back()), "値が書き込む欄に収まりません（1234 バイト目）");

  EXPECT_EQ(JapaneseErrorText(IoError("cannot write /d/a.jww: Input/output error")),
            "ファイルの操作に失敗しました（cannot write /d/a.jww: Input/output error）");
  // A read that failed in the middle: no cause, but the byte.
  EXPECT_EQ(JapaneseErrorText(MakeError(ErrorKind::kIo, "cannot read the file", 99)),
            "ファイルの操作に失敗しました（cannot read the file）（99 バイト目）");
}

TEST(RunReport, TheLayerTablesRefusalsNameTheGroupsScalesAndNames) {
  Error clash = MakeError(ErrorKind::kScaleClash, "the layer table moves layer 0-3 ...");
  clash.detail = ScaleClashDetail{"0", "100", "2", "50", "0-3"};
  EXPECT_EQ(JapaneseReason({ReasonKind::kCannotConvert, {}, clash}),
            "変換できません：レイヤ 0-3 の図形を縮尺 1/100 のグループ 0 から縮尺 1/50 のグループ 2 "
            "へ移すことになり、用紙上の大きさが変わります");
  Error name = MakeError(ErrorKind::kUnencodable, "the new name of group F ...");
  name.detail = UnencodableNameDetail{true, "F", "한"};
  EXPECT_EQ(JapaneseErrorText(name),
            "グループ F の新しい名前「한」にシフトJISで書けない文字があります");
  name.detail = UnencodableNameDetail{false, "2-5", "🪟"};
  EXPECT_EQ(JapaneseErrorText(name),
            "レイヤ 2-5 "
            "の新しい名前「🪟」にシフトJISで書けない文字があります");
}

// Every file not converted is reported; one passed over reads the same wherever it is met: a
// run's outcome, or an inventory's or a check's error that carries the reason.
TEST(RunReport, EveryFileNotConvertedIsReportedAndAPassedOverReasonReadsAlike) {
  BatchResult result;
  result.outcomes = {
      Outcome(OutcomeKind::kConverted, {}),
      Outcome(OutcomeKind::kSkipped, {ReasonKind::kNotJwCadType, ".txt", {}}, "/d/b.txt"),
      Outcome(OutcomeKind::kSkipped, {ReasonKind::kNoSignature, "JWW", {}}, "/d/fake.jww"),
      Outcome(OutcomeKind::kFailed, {ReasonKind::kSameFolder, {}, {}}, "/d/c.jwk"),
  };
  std::vector<ReportedFile> files = ReportedFiles(result);
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[0].reason, "jw_cadのファイルの種類ではありません（.txt）");
  EXPECT_EQ(files[1].file, fs::path("/d/fake.jww"));
  EXPECT_EQ(files[2].reason, "保存先がファイルと同じフォルダです");
  for (std::size_t i = 0; i < 2; ++i) {
    const Error error = PassedOverError(result.outcomes[i + 1].why);
    EXPECT_EQ(error.kind, ErrorKind::kNotADrawing);
    EXPECT_EQ(PassedOverReason(error).kind, result.outcomes[i + 1].why.kind);
    EXPECT_EQ(PassedOverReason(error).subject, result.outcomes[i + 1].why.subject);
    EXPECT_EQ(JapaneseErrorText(error), files[i].reason);
  }
}

TEST(RunReport, TextListsEachFileWithItsReasonAndIsSavedAsUtf8) {
  const std::vector<ReportedFile> files = {
      {"/d/平面図.jww", "/d/平面図.jww", "拡張子がありません"},
      {"/d/b.jwc", "/d/b.jwc", "保存先がファイルと同じフォルダです"},
  };
  const std::string text = ReportText(files);
  EXPECT_EQ(text,
            "次の 2 個のファイルは変換できませんでした。\n\n"
            "/d/平面図.jww\n    拡張子がありません\n"
            "/d/b.jwc\n    保存先がファイルと同じフォルダです\n");

  ScratchFolder scratch;
  WriteBytes(scratch / "report.txt", std::string(5000, 'x'));  // replaced, not appended to
  ASSERT_TRUE(SaveReportText(scratch / "report.txt", text).ok());
  EXPECT_EQ(ReadBytes(scratch / "report.txt"), text);

  Status refused = SaveReportText(scratch / "missing" / "report.txt", text);
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(ReportNotSavedText(scratch / "missing" / "report.txt", refused.error()),
            "「" + (scratch / "missing" / "report.txt").string() +
                "」に保存できませんでした。\nファイルまたはフォルダが見つかりません");
}

}  // namespace
}  // namespace penmorph::app
