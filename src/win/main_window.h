#pragma once

// The program's window over app::MainWindowModel: it builds the controls, turns their messages
// into the model's calls and shows the parts the model says have changed. Every text and
// decision is the model's.

#include <windows.h>

#include <commctrl.h>  // after windows.h, which it needs
#include <shellapi.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/main_window_model.h"
#include "convert/format_registry.h"
#include "settings/settings_store.h"
#include "win/desktop.h"
#include "win/ui_font.h"
#include "win/window_base.h"

namespace penmorph::win {

class BusyPump;
class PreviewPane;
class TForm2;
class TForm3;
class TForm4;

// What the window starts from. The program passes its own folder, its ini path and the standard
// formats; the UI test passes scratch folders and a desktop that answers the pickers.
struct MainWindowSetup {
  std::filesystem::path program_folder;
  std::filesystem::path ini_path;
  FormatRegistry formats;
  Desktop* desktop = nullptr;  // nullptr: the real desktop
  // `penmorph.exe FILE` (a file dropped on the program, "open with"): listed when it shows.
  std::optional<std::filesystem::path> start_path;
  std::filesystem::path documents_folder;  // where pickers start; empty: the user's Documents
};

class TForm1 : public WindowBase, public app::MainWindowView {
 public:
  static constexpr const wchar_t* kClassName = L"TForm1";

  explicit TForm1(MainWindowSetup setup);
  ~TForm1() override;

  // Shows the window (maximised when it was so at the last close) and then lists the start
  // path or the last search folder.
  void Show(int show_command);
  // Keyboard shortcuts of the menus (F5); true when the message was one.
  bool TranslateShortcut(MSG& message);

  app::MainWindowModel& model() { return model_; }

  // app::MainWindowView.
  void ShowMessage(app::MessageKind kind, std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  void Beep() override;
  void SetStatus(std::string_view text) override;
  std::optional<std::filesystem::path> ChooseFolder(std::string_view title,
                                                    const std::filesystem::path& start) override;
  std::optional<std::filesystem::path> ChooseSettingsFile(
      bool save, std::string_view title, const std::filesystem::path& start) override;
  bool OpenWithAssociatedProgram(const std::filesystem::path& file) override;
  void ShowSettingsDialog(app::SettingsDialog which) override;
  void ShowReport(const app::RunSummary& summary) override;
  void ShowCheckReport(const std::string& report) override;
  void ShowSurveyReport() override;
  void Changed(unsigned parts) override;
  void WakeSoon() override;
  bool WalkShouldStop() override;
  WindowLayout CurrentLayout() const override;
  int SizeColumnPixels() const override;
  void CloseWindow() override;

  // Its folder becomes the search folder and is listed, the file selected; a path that does not
  // exist changes nothing.
  void OpenStartPath(const std::filesystem::path& argument);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  // Messages of its own: a selection to take once the list has settled, news of a run (posted
  // by its threads), the window shown for the first time.
  static constexpr UINT kApplySelection = WM_APP + 1;
  static constexpr UINT kRunProgress = WM_APP + 2;
  static constexpr UINT kShown = WM_APP + 3;
  static constexpr UINT_PTR kSearchFieldSubclass = 1;
  // WM_COPYDATA's tag for a path handed over by a second start.
  static constexpr ULONG_PTR kHandOverTag = 0x504D4F50;
  friend bool HandOverToRunningWindow(const std::filesystem::path& path);

  void BuildControls();
  void BuildMenus();
  void ApplyFonts(UINT dpi);
  void ApplyLayout(const WindowLayout& layout);
  WindowLayout FirstLayout() const;
  void LayOut();
  void ShowStatusParts();
  bool Close();

  void ShowTree();
  void ShowFolder();
  void ShowRows();
  void ShowSizes();
  // The header's arrow on the column the list is sorted by.
  void ShowSortArrow();
  void ShowSelection();
  void TakeSelection();
  void ShowRun();
  void RepadSizes();
  // The name column takes the room the other columns leave.
  void FillNameColumn();
  // The status bar's second part: the selection's count, or a run's counter while it goes.
  void ShowCounterPart();
  void OpenFile();
  void DropFiles(HDROP drop);
  void HandedOver(const COPYDATASTRUCT& data);
  // WM_COMMAND from a menu or a control; false for one the window leaves to the default.
  bool Command(WPARAM wparam);
  // The mouse on the bar between the tree and the list: its cursor and its drag.
  bool SplitterMouse(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
  bool Notify(const NMHDR& header, LRESULT& result);
  LRESULT DrawListItem(NMLVCUSTOMDRAW& draw);

  static LRESULT CALLBACK SearchFieldProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                          UINT_PTR id, DWORD_PTR self);

  FormatRegistry formats_;
  std::unique_ptr<Desktop> own_desktop_;
  Desktop& desktop_;
  std::optional<std::filesystem::path> start_path_;

  std::unique_ptr<BusyPump> walk_;  // while the model walks folders on this thread
  bool showing_ = false;            // the controls are being filled from the model
  bool selection_pending_ = false;
  bool dragging_splitter_ = false;
  int pane_width_ = 160;
  HACCEL shortcuts_ = nullptr;

  UiFont font_;
  UiFont big_font_;
  HWND search_field_ = nullptr;
  HWND tree_ = nullptr;
  HWND file_type_ = nullptr;
  HWND file_type_label_ = nullptr;
  HWND jww_button_ = nullptr;
  HWND jwc_button_ = nullptr;
  HWND layer_button_ = nullptr;
  HWND destination_label_ = nullptr;
  HWND destination_field_ = nullptr;
  HWND browse_button_ = nullptr;
  HWND convert_button_ = nullptr;
  HWND banner_ = nullptr;
  HWND list_ = nullptr;
  HWND status_ = nullptr;
  HWND progress_ = nullptr;
  HWND subfolders_ = nullptr;
  HWND stop_button_ = nullptr;
  HIMAGELIST folder_images_ = nullptr;
  std::unique_ptr<TForm2> jwc_dialog_;
  std::unique_ptr<TForm3> jww_dialog_;
  std::unique_ptr<TForm4> layer_dialog_;
  // Its thread reads with formats_, so it goes before them.
  std::unique_ptr<PreviewPane> preview_;
  // Last: its runs read with formats_ and wake this window, so it goes first.
  app::MainWindowModel model_;
};

// One window per user: true when another start's window is running and took `path` (empty:
// nothing to open, only to come to the front). The program then ends.
bool HandOverToRunningWindow(const std::filesystem::path& path);

// Creates the window, shows it and runs its messages until it is closed; the program's body.
int RunMainWindow(MainWindowSetup setup, int show_command);

}  // namespace penmorph::win
