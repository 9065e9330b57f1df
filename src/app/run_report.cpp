#include "app/run_report.h"

#include <cstdio>

#include "app/path_text.h"
#include "common/file_system.h"

namespace penmorph::app {

namespace fs = std::filesystem;

std::string JapaneseErrorText(const std::optional<Error>& error) {
  if (!error) {
    return {};
  }
  std::string text;
  switch (error->kind) {
    case ErrorKind::kIo:
      text = "ファイルの操作に失敗しました";
      break;
    case ErrorKind::kTruncated:
      text = "ファイルが途中で終わっています";
      break;
    case ErrorKind::kMalformed:
      text = "ファイルの内容が形式に合いません";
      break;
    case ErrorKind::kUnsupported:
      text = "この版・種類のファイルには対応していません";
      break;
    case ErrorKind::kRange:
      text = "値が書き込む欄に収まりません";
      break;
  }
  text += "（";
  text += error->Describe();
  text += "）";
  return text;
}

bool BelongsInReport(const FileOutcome& outcome) {
  return outcome.kind == OutcomeKind::kFailed || outcome.kind == OutcomeKind::kNotDone ||
         (outcome.kind == OutcomeKind::kSkipped && outcome.why.kind == ReasonKind::kNoSignature);
}

std::vector<ReportedFile> ReportedFiles(const BatchResult& result) {
  std::vector<ReportedFile> files;
  for (const FileOutcome& outcome : result.outcomes) {
    if (BelongsInReport(outcome)) {
      files.push_back({outcome.source, PathText(outcome.source), JapaneseReason(outcome.why)});
    }
  }
  return files;
}

std::string JapaneseReason(const OutcomeReason& reason) {
  std::string text;
  switch (reason.kind) {
    case ReasonKind::kNone:
      break;
    case ReasonKind::kNoExtension:
      text = "拡張子がありません";
      break;
    case ReasonKind::kNotJwCadType:
      text = "jw_cadのファイルの種類ではありません（" + reason.subject + "）";
      break;
    case ReasonKind::kNoSignature:
      text = reason.subject;
      text += "ファイルとして認識できません（";
      text += reason.subject;
      text += "の識別子がありません）";
      break;
    case ReasonKind::kNameNotAllowed:
      text = "Windowsでは使えない名前です（" + reason.subject + "）";
      break;
    case ReasonKind::kUnreadable:
      text = "ファイルを開けません（" + reason.subject + "）";
      break;
    case ReasonKind::kSameFolder:
      text = "保存先がファイルと同じフォルダです";
      break;
    case ReasonKind::kCannotRead:
      text = "読み込めません：" + JapaneseErrorText(reason.error);
      break;
    case ReasonKind::kCannotConvert:
      text = "変換できません：" + JapaneseErrorText(reason.error);
      break;
    case ReasonKind::kCannotWrite:
      text = "書き込めません：" + JapaneseErrorText(reason.error);
      break;
    case ReasonKind::kStopped:
      text = "中止したため変換していません";
      break;
    case ReasonKind::kInternalError:
      text = "内部エラー（" + reason.subject + "）";
      break;
  }
  return text;
}

std::string ReportHeading(std::size_t count) {
  std::string text = "次の ";
  text += std::to_string(count);
  text += " 個のファイルは変換できませんでした。";
  return text;
}

std::string ReportText(const std::vector<ReportedFile>& files) {
  std::string text = ReportHeading(files.size());
  text += "\n\n";
  for (const ReportedFile& file : files) {
    text += file.file_text;
    text += "\n    ";
    text += file.reason;
    text += "\n";
  }
  return text;
}

Status SaveReportText(const fs::path& file, std::string_view text) {
  std::FILE* handle = OpenFile(file, "wb");
  if (handle == nullptr) {
    return IoError("cannot create the file");
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), handle) == text.size();
  const bool closed = std::fclose(handle) == 0;
  if (!written || !closed) {
    return IoError("cannot write the file");
  }
  return Status::Ok();
}

std::string ReportNotSavedText(const fs::path& file, const Error& error) {
  std::string text = "「";
  text += PathText(file);
  text += "」に保存できませんでした。\n";
  text += error.Describe();
  return text;
}

}  // namespace penmorph::app
