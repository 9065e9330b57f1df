#include "app/conversion_run.h"

#include "app/path_text.h"
#include "app/window_texts.h"

namespace penmorph::app {

namespace fs = std::filesystem;

namespace {

class StatusObserver : public ConversionObserver {
 public:
  explicit StatusObserver(Prompts& prompts) : prompts_(prompts) {}
  void Converting(const fs::path& source, const fs::path& output) override {
    prompts_.SetStatus(ConvertingStatus(source, output));
  }

 private:
  Prompts& prompts_;
};

bool PassesChecks(const ConversionRequest& request, Prompts& prompts) {
  auto refuse = [&prompts](MessageKind kind, std::string_view text) {
    prompts.Beep();
    prompts.ShowMessage(kind, text);
    return false;
  };
  if (!request.tree_ready) {
    refuse(MessageKind::kError, texts::kNoTree);
    prompts.SetStatus(texts::kNoTree);
    return false;
  }
  if (!request.list_ready) {
    return refuse(MessageKind::kError, texts::kNoList);
  }
  if (request.destination_folder.empty()) {
    return refuse(MessageKind::kConfirmation, texts::kNoDestination);
  }
  const fs::path destination = PathFromText(request.destination_folder);
  // A link to a folder is a folder here.
  if (KindOfPath(destination) != PathKind::kFolder) {
    return refuse(MessageKind::kConfirmation, texts::kDestinationMissing);
  }
  if (SameFolder(destination, request.source_folder)) {
    return refuse(MessageKind::kConfirmation, texts::kSameFolder);
  }
  return true;
}

}  // namespace

std::string ConvertingStatus(const fs::path& source, const fs::path& output) {
  std::string text = "ファイル「";
  text += PathText(source);
  text += "」→「";
  text += PathText(output);
  text += "」変換中です。";
  return text;
}

RunReport RunConversion(const ConversionRequest& request, const FormatRegistry& formats,
                        const ConversionTables& tables, FileSystem& file_system, Prompts& prompts) {
  RunReport report;
  if (!PassesChecks(request, prompts)) {
    return report;
  }
  if (!prompts.AskYesNo(texts::kConfirm)) {
    prompts.SetStatus(texts::kCancelled);
    return report;
  }
  report.ran = true;
  StatusObserver observer(prompts);
  BatchConverter converter(formats, tables, observer, file_system);
  const fs::path destination = PathFromText(request.destination_folder);
  // One kind of separator in the names shown, whichever way the folder was spelled.
  const fs::path source_folder = fs::path(request.source_folder).make_preferred();
  const std::size_t total = request.file_names.size();
  for (std::size_t i = 0; i < total; ++i) {
    prompts.ReportProgress(i, total);
    const fs::path& name = request.file_names[i];
    report.result.outcomes.push_back(
        converter.ConvertFile(source_folder / name, destination / name));
  }
  prompts.ReportProgress(total, total);
  prompts.SetStatus(texts::kDone);
  return report;
}

}  // namespace penmorph::app
