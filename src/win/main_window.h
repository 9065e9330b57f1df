#pragma once

// The program's window: folder tree, file list with memos, destination, the two settings
// dialogs, settings files, and the "変換" button. What it decides lives in app::FileBrowser;
// this class builds the controls, forwards their events and shows what the layer says.

#include <windows.h>

#include <commctrl.h>  // after windows.h, which it needs

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/background_run.h"
#include "app/file_browser.h"
#include "app/prompts.h"
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

// What the window starts from. The program passes its own folder, its ini path and the standard
// formats; the UI test passes scratch folders and a desktop that answers the pickers.
struct MainWindowSetup {
  std::filesystem::path program_folder;
  std::filesystem::path ini_path;
  FormatRegistry formats;
  Desktop* desktop = nullptr;  // nullptr: the real desktop
  // `penmorph.exe FILE` (a file dropped on the program, "open with"): listed when it shows.
  std::optional<std::filesystem::path> start_path;
};

class TForm1 : public WindowBase, public app::Prompts {
 public:
  static constexpr const wchar_t* kClassName = L"TForm1";

  explicit TForm1(MainWindowSetup setup);
  ~TForm1() override;

  void Show(int show_command);

  // app::Prompts, for the layer.
  void ShowMessage(app::MessageKind kind, std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  void Beep() override;
  void SetStatus(std::string_view text) override;
  void ReportProgress(std::size_t index, std::size_t total) override;

  void ChooseSearchFolder();
  void ChooseDestination();
  // Its folder becomes the search folder and is listed, the file selected; a path that does not
  // exist changes nothing.
  void OpenStartPath(const std::filesystem::path& argument);
  void SelectFileType(int index);
  void ShowJwwSettings();
  void ShowJwcSettings();
  void SaveSettings();
  void OpenSettings();
  void ConvertFiles();
  void StopConversion();
  void Exit();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void BuildControls();
  void BuildMenus();
  void Start();
  void ApplyFonts(UINT dpi);
  void LayOut();
  WindowLayout CurrentLayout() const;
  bool Close();
  bool Busy() const { return busy_ != nullptr || run_ != nullptr; }
  void ShowRunProgress();
  void ShowRunParts(bool running);

  app::ListOptions ListingOptions() const;
  void BuildFolderTree();
  void ShowTree();
  void ShowFolder();
  void RelistSelectedFolder();
  void SortColumn(int column);
  void RepadSizes();
  void OpenFile();
  void ShowRows();
  void ShowSelection();
  void TakeSelection();
  void ShowPreview();
  bool Notify(const NMHDR& header, LRESULT& result);

  static LRESULT CALLBACK SearchFieldProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                          UINT_PTR id, DWORD_PTR self);

  FormatRegistry formats_;
  std::unique_ptr<Desktop> own_desktop_;
  Desktop& desktop_;
  std::filesystem::path program_folder_;
  std::filesystem::path ini_path_;
  AppSettings settings_;
  app::FileBrowser browser_;

  BusyPump* busy_ = nullptr;  // set while a folder walk or a run works inside a handler
  bool showing_ = false;      // the controls are being filled from the layer
  bool selection_pending_ = false;
  bool dragging_splitter_ = false;
  int pane_width_ = 160;

  UiFont font_;
  UiFont big_font_;
  HWND search_field_ = nullptr;
  HWND tree_ = nullptr;
  HWND file_type_ = nullptr;
  HWND file_type_label_ = nullptr;
  HWND jww_button_ = nullptr;
  HWND jwc_button_ = nullptr;
  HWND destination_label_ = nullptr;
  HWND destination_field_ = nullptr;
  HWND browse_button_ = nullptr;
  HWND convert_button_ = nullptr;
  HWND list_ = nullptr;
  HWND status_ = nullptr;
  HWND progress_ = nullptr;
  HWND subfolders_ = nullptr;
  HWND stop_button_ = nullptr;
  HIMAGELIST folder_images_ = nullptr;
  std::unique_ptr<TForm2> jwc_dialog_;
  std::unique_ptr<TForm3> jww_dialog_;
  // Its thread reads with formats_, so it goes before them.
  std::unique_ptr<PreviewPane> preview_;
  // Last: its threads read with formats_ and wake this window, so it goes first.
  std::unique_ptr<app::BackgroundRun> run_;
};

// Creates the window, shows it and runs its messages until it is closed; the program's body.
int RunMainWindow(MainWindowSetup setup, int show_command);

}  // namespace penmorph::win
