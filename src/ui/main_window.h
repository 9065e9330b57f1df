#pragma once

// The program's window: folder tree, file list with memos, destination, the two settings
// dialogs, settings files, and the "変換" button. What it decides lives in app::FileBrowser;
// this class builds the widgets, forwards their events and shows what the layer says.

#include <QMainWindow>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/background_run.h"
#include "app/file_browser.h"
#include "app/prompts.h"
#include "convert/format_registry.h"
#include "settings/settings_store.h"
#include "ui/busy_scope.h"
#include "ui/user_prompts.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QLabel;
class QLineEdit;
class QProgressBar;
class QSplitter;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace penmorph {

class PreviewPane;
class TForm2;
class TForm3;

// What the window starts from. The program passes its own folder, its ini path and the standard
// formats; tests pass scratch folders, fake formats and prompts that answer for the user.
struct MainWindowSetup {
  std::string program_folder;
  std::filesystem::path ini_path;
  FormatRegistry formats;
  UserPrompts* prompts = nullptr;  // nullptr: the real desktop
};

class TForm1 : public QMainWindow, public app::Prompts {
  Q_OBJECT

 public:
  explicit TForm1(MainWindowSetup setup, QWidget* parent = nullptr);
  ~TForm1() override;

  // The folder of a tree node, ending in a separator.
  std::filesystem::path NodePath(const QTreeWidgetItem* node) const;

  ConversionTables& tables() { return settings_.tables; }
  FormatRegistry& formats() { return formats_; }
  const app::FileBrowser& browser() const { return browser_; }
  bool tree_ready() const { return browser_.tree_ready(); }
  bool list_ready() const { return browser_.list_ready(); }
  const std::string& search_folder() const { return settings_.search_folder; }
  const std::string& destination_folder() const { return settings_.destination_folder; }
  const std::string& last_settings_file() const { return settings_.last_settings_file; }
  TForm2* jwc_dialog() const { return jwc_dialog_; }
  TForm3* jww_dialog() const { return jww_dialog_; }
  PreviewPane* preview() const { return preview_; }
  QString StatusText() const;

  // app::Prompts, for the layer.
  void ShowMessage(app::MessageKind kind, std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  void Beep() override;
  void SetStatus(std::string_view text) override;
  void ReportProgress(std::size_t index, std::size_t total) override;

  // Started with a file or folder (`penmorph FILE`, a file manager's "open with"): its folder
  // becomes the search folder and is listed, the file selected. A path that does not exist
  // changes nothing.
  void OpenStartPath(const QString& argument);

 public slots:
  void ChooseSearchFolder();
  void ChooseDestination();
  void SelectFileType(int index);
  void ShowJwwSettings();
  void ShowJwcSettings();
  void SaveSettings();
  void OpenSettings();
  void ConvertFiles();
  void StopConversion();
  void Exit();

 signals:
  // A run's last news is shown (its report, if any, is open): for tests.
  void ConversionFinished();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildWindow();
  void BuildMenus();
  void Start();
  void ApplyLayout(const WindowLayout& layout);
  WindowLayout CurrentLayout() const;

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
  void ShowRunProgress();

  FormatRegistry formats_;
  std::unique_ptr<UserPrompts> own_prompts_;
  UserPrompts& prompts_;
  std::filesystem::path program_folder_;
  std::filesystem::path ini_path_;
  AppSettings settings_;
  app::FileBrowser browser_;

  BusyScope* walk_ = nullptr;                // set while the folder tree is being built
  std::optional<BusyScope> converting_;      // a run in this thread (the layer's own, for tests)
  std::unique_ptr<app::BackgroundRun> run_;  // the run of "変換", while it goes
  bool showing_ = false;                     // the widgets are being filled from the layer
  QTreeWidgetItem* pressed_on_ = nullptr;    // the tree's current node when a click began

  QLineEdit* search_field_ = nullptr;
  QTreeWidget* tree_ = nullptr;
  QSplitter* splitter_ = nullptr;
  QComboBox* file_type_ = nullptr;
  QLineEdit* destination_field_ = nullptr;
  QTableWidget* list_ = nullptr;
  QLabel* status_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* progress_text_ = nullptr;
  QCheckBox* subfolders_ = nullptr;
  QPushButton* stop_ = nullptr;
  TForm2* jwc_dialog_ = nullptr;
  TForm3* jww_dialog_ = nullptr;
  PreviewPane* preview_ = nullptr;
};

}  // namespace penmorph
