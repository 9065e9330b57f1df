#pragma once

// The main window's menus as one table: both windows build their menu bars from it and hand
// the chosen command to the model.

#include <string>
#include <string_view>
#include <vector>

#include "convert/format_registry.h"

namespace penmorph::app {

enum class Command {
  kChooseSearchFolder,
  kFileType,  // with the file type's index as argument
  kChooseDestination,
  kExit,
  kJwwSettings,
  kJwcSettings,
  kLayerSettings,
  kSaveSettings,
  kOpenSettings,
  kStandardsCheck,      // "基準チェック" over the selection or the tree
  kSurvey,              // "集計" of the selection or the tree
  kReopenSearchFolder,  // "起動時に前回の検索フォルダを開く", a check mark
  kRefresh,             // F5: the tree and the listed folder again
  kManual,
  kAbout,
};

struct MenuItem {
  std::string caption;  // empty: a separator
  Command command = Command::kExit;
  int argument = 0;
  bool checkable = false;
  std::string_view shortcut;  // "F5" and the like; shown beside the caption
  std::vector<MenuItem> submenu;
};

struct Menu {
  std::string_view caption;
  std::vector<MenuItem> items;
};

// The menu bar, left to right; the file types are those of the registry's formats.
std::vector<Menu> MainMenus(const FormatRegistry& formats);

}  // namespace penmorph::app
