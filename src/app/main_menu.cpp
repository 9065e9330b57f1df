#include "app/main_menu.h"

namespace penmorph::app {

namespace {

MenuItem Item(std::string_view caption, Command command, int argument = 0) {
  return {caption, command, argument, false, {}, {}};
}

MenuItem Separator() {
  return {};
}

std::vector<Menu> MakeMenus() {
  MenuItem types{"ファイルの種類 (&T)", Command::kFileType, 0, false, {}, {}};
  const std::string_view type_items[] = {"全てのファイル(*.*) (&0)",
                                         "(*.jw?) (&1)",
                                         "(*.jww) (&2)",
                                         "(*.jws) (&3)",
                                         "(*.jwc) (&4)",
                                         "(*.jwk) (&5)"};
  for (int index = 0; index < 6; ++index) {
    types.submenu.push_back(Item(type_items[index], Command::kFileType, index));
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
        Item("JWC/JWK設定 (&2)", Command::kJwcSettings), Separator(),
        Item("現在の設定を保存(&S)...", Command::kSaveSettings),
        Item("保存した設定を開く(&O)...", Command::kOpenSettings)}},
      {"ヘルプ (&H)",
       {Item("使い方 (&M)", Command::kManual), Item("バージョン情報 (&A)", Command::kAbout)}},
  };
}

}  // namespace

const std::vector<Menu>& MainMenus() {
  // Built once and never changed: a constant, not state.
  static const std::vector<Menu> menus = MakeMenus();
  return menus;
}

}  // namespace penmorph::app
