#include "app/main_menu.h"

#include "app/archive_survey.h"
#include "app/file_rows.h"
#include "app/standards_check.h"

namespace penmorph::app {

namespace {

MenuItem Item(std::string_view caption, Command command, int argument = 0) {
  return {std::string(caption), command, argument, false, {}, {}};
}

MenuItem Separator() {
  return {};
}

}  // namespace

std::vector<Menu> MainMenus(const FormatRegistry& formats) {
  MenuItem types{"ファイルの種類 (&T)", Command::kFileType, 0, false, {}, {}};
  const std::vector<FileType> file_types = FileTypes(formats);
  for (std::size_t index = 0; index < file_types.size(); ++index) {
    types.submenu.push_back(
        Item(file_types[index].menu_caption, Command::kFileType, static_cast<int>(index)));
  }
  MenuItem reopen{
      "起動時に前回の検索フォルダを開く", Command::kReopenSearchFolder, 0, true, {}, {}};
  MenuItem refresh{"最新の情報に更新 (&R)", Command::kRefresh, 0, false, "F5", {}};
  return {
      {"ファイル (&F)",
       {Item("検索フォルダの指定 (&S)", Command::kChooseSearchFolder), types,
        Item("保存先フォルダの指定 (&H)", Command::kChooseDestination), Separator(), refresh,
        reopen, Separator(), Item("終了 (&X)", Command::kExit)}},
      {"設定 (&S)",
       {Item("JWW/JWS設定 (&1)", Command::kJwwSettings),
        Item("JWC/JWK設定 (&2)", Command::kJwcSettings),
        Item("レイヤ設定 (&3)", Command::kLayerSettings), Separator(),
        Item("現在の設定を保存(&S)...", Command::kSaveSettings),
        Item("保存した設定を開く(&O)...", Command::kOpenSettings), Separator(),
        Item(std::string(kStandardsCheck) + " (&C)", Command::kStandardsCheck),
        Item(std::string(kSurveyCommand) + " (&T)", Command::kSurvey)}},
      {"ヘルプ (&H)",
       {Item("使い方 (&M)", Command::kManual), Item("バージョン情報 (&A)", Command::kAbout)}},
  };
}

}  // namespace penmorph::app
