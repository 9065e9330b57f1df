#include "app/run_report.h"

#include <cstdio>

#include "app/path_text.h"
#include "common/file_system.h"

namespace penmorph::app {

namespace fs = std::filesystem;

namespace {

// What the system refused, in Japanese; empty where only its own words can tell (kOther) or
// where it did not refuse anything (kNone).
std::string CauseText(SystemCause cause) {
  switch (cause) {
    case SystemCause::kNone:
    case SystemCause::kOther:
      break;
    case SystemCause::kReadOnly:
      return "ファイルまたはディスクが読み取り専用です";
    case SystemCause::kReadOnlyFile:
      return "ファイルが読み取り専用です";
    case SystemCause::kInUse:
      return "ほかのプログラムが使用中です";
    case SystemCause::kNotFound:
      return "ファイルまたはフォルダが見つかりません";
    case SystemCause::kNoAccess:
      return "アクセスが許可されていません";
    case SystemCause::kDiskFull:
      return "ディスクの空き容量が足りません";
    case SystemCause::kNameNotAllowed:
      return "名前が長すぎるか、使えない文字を含んでいます";
    case SystemCause::kNameTaken:
      return "同じ名前のフォルダなどが既にあります";
    case SystemCause::kNotAFile:
      return "通常のファイルではありません";
  }
  return {};
}

// The layer table's refusals, with the groups, scales and names the error carries.
std::string LayerTableText(const Error& error) {
  if (const auto* clash = std::get_if<ScaleClashDetail>(&error.detail)) {
    return "レイヤ " + clash->layer + " の図形を縮尺 1/" + clash->from_scale + " のグループ " +
           clash->from_group + " から縮尺 1/" + clash->to_scale + " のグループ " + clash->to_group +
           " へ移すことになり、用紙上の大きさが変わります";
  }
  if (const auto* name = std::get_if<UnencodableNameDetail>(&error.detail)) {
    return (name->group ? "グループ " : "レイヤ ") + name->address + " の新しい名前「" +
           name->name + "」にシフトJISで書けない文字があります";
  }
  return {};
}

// What is wrong with the file's content, in Japanese; empty for a file system failure.
std::string KindText(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::kIo:
      break;
    case ErrorKind::kTruncated:
      return "ファイルが途中で終わっています";
    case ErrorKind::kMalformed:
      return "ファイルの内容が形式に合いません";
    case ErrorKind::kUnsupported:
      return "この版・種類のファイルには対応していません";
    case ErrorKind::kRange:
      return "値が書き込む欄に収まりません";
    case ErrorKind::kScaleClash:
      return "レイヤの移動先のグループは縮尺が違います";
    case ErrorKind::kUnencodable:
      return "新しい名前にシフトJISで書けない文字があります";
    case ErrorKind::kNotADrawing:
      break;  // worded from the reason it carries
  }
  return {};
}

}  // namespace

std::string JapaneseErrorText(const std::optional<Error>& error) {
  if (!error) {
    return {};
  }
  if (error->kind == ErrorKind::kNotADrawing) {
    return JapaneseReason(PassedOverReason(*error));
  }
  std::string text = CauseText(error->cause);
  if (text.empty() && error->cause == SystemCause::kNone) {
    text = LayerTableText(*error);
  }
  if (text.empty() && error->cause == SystemCause::kNone) {
    text = KindText(error->kind);
  }
  if (text.empty()) {
    // A failure the system words in its own terms only: they are all there is to tell.
    text = "ファイルの操作に失敗しました（" + error->message + "）";
  }
  if (error->offset) {
    text += "（" + std::to_string(*error->offset) + " バイト目）";
  }
  return text;
}

bool BelongsInReport(const FileOutcome& outcome) {
  return outcome.kind != OutcomeKind::kConverted;
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
      text =
          "Windowsでは使えない名前です（使えない文字を含むか、点か空白で終わるか、装置の名前です）";
      break;
    case ReasonKind::kUnreadable:
      text = reason.error ? "ファイルを開けません：" + JapaneseErrorText(reason.error)
                          : "ファイルを開けません（" + reason.subject + "）";
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

std::string PassedOverHeading(std::size_t count) {
  return "次の " + std::to_string(count) +
         " 個のファイルは jw_cad の図面ではないため飛ばしました。";
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
    return LastSystemFailure("cannot create the file", true);
  }
  if (std::fwrite(text.data(), 1, text.size(), handle) != text.size()) {
    Error failure = LastSystemFailure("cannot write the file");
    std::fclose(handle);
    return failure;
  }
  if (std::fclose(handle) != 0) {
    return LastSystemFailure("cannot write the file");
  }
  return Status::Ok();
}

std::string ReportNotSavedText(const fs::path& file, const Error& error) {
  std::string text = "「";
  text += PathText(file);
  text += "」に保存できませんでした。\n";
  text += JapaneseErrorText(error);
  return text;
}

}  // namespace penmorph::app
