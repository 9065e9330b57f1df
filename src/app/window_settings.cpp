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

std::string OpenTablesFrom(const fs::path& file, ConversionTables& tables, Prompts& prompts) {
  const ConversionTables before = tables;
  if (const Status opened = OpenSettingsFile(file, tables); !opened.ok()) {
    tables = before;
    std::string text = "設定ファイル「" + PathText(file) + "」を読み込めませんでした。\n" +
                       JapaneseErrorText(opened.error());
    prompts.Beep();
    prompts.ShowMessage(MessageKind::kError, text);
    return {};
  }
  std::string text = "設定ファイル「" + PathText(file.filename()) + "」を読み込みました。";
  std::string changed;
  auto name = [&changed](bool differs, std::string_view table) {
    if (differs) {
      changed += (changed.empty() ? "" : "、") + std::string(table);
    }
  };
  name(tables.jww != before.jww, "JWW/JWS設定");
  name(tables.jwc != before.jwc, "JWC/JWK設定");
  name(tables.layers != before.layers, "レイヤ設定");
  text += changed.empty() ? "今までの設定と同じです。" : changed + "を置き換えました。";
  if (tables.layers.Empty() && !before.layers.Empty()) {
    // A file without a layer table moves nothing: the moves set before are gone.
    text += "このファイルにはレイヤ設定がないため、レイヤは移しません。";
  }
  return text;
}

}  // namespace penmorph::app
