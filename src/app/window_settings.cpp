#include "app/window_settings.h"

#include "app/path_text.h"
#include "app/run_report.h"

namespace penmorph::app {

namespace fs = std::filesystem;

AppSettings LoadStartSettings(const fs::path& program_folder, const fs::path& ini_path) {
  AppSettings settings;
  settings.search_folder = PathText(FolderPath(program_folder));
  (void)LoadIniFile(ini_path, settings);
  return settings;
}

bool SaveTablesAs(const fs::path& file, const ConversionTables& tables, Prompts& prompts) {
  const Status saved = SaveSettingsFile(file, tables);
  if (saved.ok()) {
    return true;
  }
  std::string text = "設定ファイル「";
  text += PathText(file);
  text += "」を保存できませんでした。\n";
  text += JapaneseErrorText(saved.error());
  prompts.Beep();
  prompts.ShowMessage(MessageKind::kError, text);
  return false;
}

void OpenTablesFrom(const fs::path& file, ConversionTables& tables) {
  (void)OpenSettingsFile(file, tables);
}

}  // namespace penmorph::app
