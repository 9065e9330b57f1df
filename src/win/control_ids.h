#pragma once

// The control and menu ids of the windows: how the program routes their commands, and how the
// UI test finds the real controls (GetDlgItem) and sends them messages.

#include <windows.h>

#include <string>
#include <string_view>

#include "app/dialog_description.h"
#include "app/main_menu.h"

namespace penmorph::win::ids {

// TForm1 (window class "TForm1").
inline constexpr int kSearchFolderEdit = 1001;
inline constexpr int kFolderTree = 1002;
inline constexpr int kFileTypeLabel = 1003;
inline constexpr int kFileTypeCombo = 1004;
inline constexpr int kJwwSettingsButton = 1005;
inline constexpr int kJwcSettingsButton = 1006;
inline constexpr int kDestinationLabel = 1007;
inline constexpr int kDestinationEdit = 1008;
inline constexpr int kBrowseButton = 1009;
inline constexpr int kConvertButton = 1010;
inline constexpr int kFileList = 1011;
inline constexpr int kStatusBar = 1012;
inline constexpr int kProgressBar = 1013;
inline constexpr int kSubfoldersCheckBox = 1014;
inline constexpr int kStopButton = 1015;
inline constexpr int kListBanner = 1016;
inline constexpr int kLayerSettingsButton = 1017;
// The preview panel under the file list and its controls.
inline constexpr int kPreviewPane = 1100;
inline constexpr int kPreviewCaption = 1101;
inline constexpr int kPreviewSideBySide = 1102;
inline constexpr int kPreviewSwitch = 1103;
inline constexpr int kPreviewBlack = 1104;
inline constexpr int kPreviewFit = 1105;
inline constexpr int kPreviewInventory = 1106;
inline constexpr int kPreviewBefore = 1107;
inline constexpr int kPreviewAfter = 1108;
inline constexpr int kPreviewHiddenLayers = 1109;

// TForm1's menus: one id per command of the menu table and its argument.
constexpr int MenuId(app::Command command, int argument = 0) {
  return 2000 + static_cast<int>(command) * 16 + argument;
}
inline constexpr int kMenuSearchFolder = MenuId(app::Command::kChooseSearchFolder);
inline constexpr int kMenuFileType0 = MenuId(app::Command::kFileType);  // + the type's index
inline constexpr int kMenuDestination = MenuId(app::Command::kChooseDestination);
inline constexpr int kMenuExit = MenuId(app::Command::kExit);
inline constexpr int kMenuJwwSettings = MenuId(app::Command::kJwwSettings);
inline constexpr int kMenuJwcSettings = MenuId(app::Command::kJwcSettings);
inline constexpr int kMenuLayerSettings = MenuId(app::Command::kLayerSettings);
inline constexpr int kMenuSaveSettings = MenuId(app::Command::kSaveSettings);
inline constexpr int kMenuOpenSettings = MenuId(app::Command::kOpenSettings);
inline constexpr int kMenuRefresh = MenuId(app::Command::kRefresh);
inline constexpr int kMenuLast = MenuId(app::Command::kAbout, 15);

// The settings dialogs TForm2, TForm3 and TForm4 (window classes of those names): each control
// by its name in the dialog's description - ComboBox k is kComboBox0 + k, CheckBox k is
// kCheckBox0 + k - and the OK and cancel buttons IDOK and IDCANCEL; controls without a name of
// these get kDialogControl0 + their index.
inline constexpr int kComboBox0 = 3000;
inline constexpr int kStringGrid1 = 4001;
inline constexpr int kStringGrid2 = 4002;
inline constexpr int kEdit1 = 4003;
inline constexpr int kEdit2 = 4004;
inline constexpr int kButton1 = 4005;
inline constexpr int kButton2 = 4006;
inline constexpr int kCheckBox0 = 4010;
inline constexpr int kDialogControl0 = 4200;

inline int DialogControlId(const app::DialogDescription& description, int index) {
  if (index == description.ok) {
    return IDOK;
  }
  if (index == description.cancel) {
    return IDCANCEL;
  }
  const std::string& name = description.controls[index].name;
  struct Named {
    std::string_view name;
    int id;
  };
  static constexpr Named kNamed[] = {{"StringGrid1", kStringGrid1},
                                     {"StringGrid2", kStringGrid2},
                                     {"Edit1", kEdit1},
                                     {"Edit2", kEdit2},
                                     {"Button1", kButton1},
                                     {"Button2", kButton2}};
  for (const Named& named : kNamed) {
    if (name == named.name) {
      return named.id;
    }
  }
  for (const Named& numbered : {Named{"ComboBox", kComboBox0}, Named{"CheckBox", kCheckBox0}}) {
    if (name.size() > numbered.name.size() && name.starts_with(numbered.name)) {
      return numbered.id + std::stoi(name.substr(numbered.name.size()));
    }
  }
  return kDialogControl0 + index;
}

// The in-place editor of a grid cell, a child of the grid.
inline constexpr int kCellEditor = 4099;

// The report of a run (window class "PenmorphReport"); its OK button is IDOK.
inline constexpr int kReportText = 5001;
inline constexpr int kReportCopy = 5002;
inline constexpr int kReportSave = 5003;

}  // namespace penmorph::win::ids
