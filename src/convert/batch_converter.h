#pragma once

// The batch driver: checks what the "変換" button needs, asks for confirmation, then converts
// the selected files one after another. Every file ends with an outcome; none is lost silently.

#include <cstddef>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "convert/conversion_ui.h"
#include "convert/format_registry.h"
#include "settings/conv_settings.h"

namespace penmorph {

// What the window hands the driver when the button is pressed.
struct BatchRequest {
  bool tree_ready = false;  // a folder tree has been built
  bool list_ready = false;  // the file list shows at least one file
  std::string source_folder;
  std::string destination_folder;
  std::vector<std::string> file_names;  // the selected rows, top to bottom
};

enum class OutcomeKind { kConverted, kSkipped, kFailed };

struct FileOutcome {
  OutcomeKind kind = OutcomeKind::kSkipped;
  std::filesystem::path source;
  std::filesystem::path output;
  std::string reason;  // why it was skipped or failed; empty when converted
};

struct BatchResult {
  bool ran = false;  // the checks passed and the user said yes
  std::vector<FileOutcome> outcomes;
  std::size_t Count(OutcomeKind kind) const;
};

// The texts the driver shows.
namespace batch_text {
inline constexpr std::string_view kNoTree = "検索フォルダを指定して下さい。";
inline constexpr std::string_view kNoList = "ファイル一覧が表示されていません。";
inline constexpr std::string_view kNoDestination = "保存先フォルダを指定して下さい。";
inline constexpr std::string_view kDestinationMissing =
    "指定された保存先フォルダが存在しません。再指定して下さい。";
inline constexpr std::string_view kSameFolder =
    "保存先フォルダとファイルのフォルダが同じになっています。";
inline constexpr std::string_view kConfirm = "変換を開始します。よろしいですか？";
inline constexpr std::string_view kCancelled = "変換作業をキャンセルしました。";
inline constexpr std::string_view kDone = "変換作業を完了しました。";
}  // namespace batch_text

// "ファイル「source」→「output」変換中です。"
std::string ConvertingStatus(const std::filesystem::path& source,
                             const std::filesystem::path& output);

// The output path with its extension replaced by ".BAK".
std::filesystem::path BackupPath(const std::filesystem::path& output);

// True when the two names reach the same folder: compared by identity on the file system when
// both exist, else by their normalised spelling.
bool SameFolder(const std::filesystem::path& a, const std::filesystem::path& b);

class BatchConverter {
 public:
  BatchConverter(const FormatRegistry& formats, const ConversionTables& tables, ConversionUi& ui,
                 FileSystem& file_system);

  // The button's action: checks, question, then every selected file.
  BatchResult Run(const BatchRequest& request);

  // One file, without checks or question: dispatch by extension and probe, then read, remap,
  // write into place. Used by Run and by the command line. The first time a destination folder
  // is met, what an interrupted run left there is dealt with first (RecoverInterruptedOutputs).
  FileOutcome ConvertFile(const std::filesystem::path& source, const std::filesystem::path& output);

 private:
  bool PassesChecks(const BatchRequest& request);
  void ConvertWith(FileFormat& format, FileOutcome& outcome);

  const FormatRegistry& formats_;
  const ConversionTables& tables_;
  ConversionUi& ui_;
  FileSystem& file_system_;
  std::set<std::filesystem::path> recovered_folders_;
};

}  // namespace penmorph
