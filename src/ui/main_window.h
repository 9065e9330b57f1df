#pragma once

// The program's window: folder tree, file list with memos, destination, the two settings
// dialogs, settings files, and the "変換" button that runs the batch driver.

#include <QMainWindow>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "convert/conversion_ui.h"
#include "convert/format_registry.h"
#include "settings/settings_store.h"
#include "ui/busy_scope.h"
#include "ui/user_prompts.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSplitter;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace penmorph {

class TForm2;
class TForm3;

// What the window starts from. The program passes its own folder, its ini path and the standard
// formats; tests pass scratch folders, fake formats and prompts that answer for the user.
struct MainWindowSetup {
  std::string program_folder;  // ends in a separator
  std::filesystem::path ini_path;
  FormatRegistry formats;
  UserPrompts* prompts = nullptr;  // nullptr: the real desktop
};

// The file list's columns.
enum FileColumn : int {
  kNameColumn = 0,
  kSizeColumn = 1,
  kTypeColumn = 2,
  kMemoColumn = 3,
  kTimeColumn = 4,
  kAttributeColumn = 5,
  kFileColumnCount = 6,
};

class TForm1 : public QMainWindow, public ConversionUi {
  Q_OBJECT

 public:
  explicit TForm1(MainWindowSetup setup, QWidget* parent = nullptr);
  ~TForm1() override;

  // The folder of a tree node, ending in a separator, as file-system bytes.
  std::string NodePath(const QTreeWidgetItem* node) const;

  ConversionTables& tables() { return settings_.tables; }
  FormatRegistry& formats() { return formats_; }
  bool tree_ready() const { return tree_ready_; }
  bool list_ready() const { return list_ready_; }
  const std::string& search_folder() const { return settings_.search_folder; }
  const std::string& destination_folder() const { return settings_.destination_folder; }
  const std::string& last_settings_file() const { return settings_.last_settings_file; }
  TForm2* jwc_dialog() const { return jwc_dialog_; }
  TForm3* jww_dialog() const { return jww_dialog_; }
  QString StatusText() const;

  // ConversionUi, for the batch driver.
  void ShowMessage(MessageKind kind, std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  void Beep() override;
  void SetStatus(std::string_view text) override;
  void ReportProgress(std::size_t index, std::size_t total) override;

 public slots:
  void ChooseSearchFolder();
  void ChooseDestination();
  void SelectFileType(int index);
  void ShowJwwSettings();
  void ShowJwcSettings();
  void SaveSettings();
  void OpenSettings();
  void ConvertFiles();
  void Exit();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildWindow();
  void BuildMenus();
  void Start();
  void ApplyLayout(const WindowLayout& layout);
  WindowLayout CurrentLayout() const;
  void SetStatus(const QString& text);
  void ClearList();
  void AddFileRow(const std::filesystem::directory_entry& entry, const std::string& name,
                  int size_width);

  void BuildFolderTree();
  void AddSubfolders(const std::string& path, QTreeWidgetItem* node);
  bool WalkInterrupted();
  void ListFiles(const std::string& folder);
  void RepadSizes();
  void SortColumn(int column);
  void ShowFolder();
  void OpenFile();
  void RelistSelectedFolder();
  std::string Pattern() const;

  FormatRegistry formats_;
  std::unique_ptr<UserPrompts> own_prompts_;
  UserPrompts& prompts_;
  std::string program_folder_;
  std::filesystem::path ini_path_;
  AppSettings settings_;

  bool tree_ready_ = false;
  bool list_ready_ = false;
  bool sort_descending_ = false;
  bool search_interrupted_ = false;
  BusyScope* walk_ = nullptr;            // set while the folder tree is being built
  std::optional<BusyScope> converting_;  // from the first file of a run to its end
  std::string listed_folder_;            // the folder the file list shows

  QLineEdit* search_field_ = nullptr;
  QTreeWidget* tree_ = nullptr;
  QSplitter* splitter_ = nullptr;
  QComboBox* file_type_ = nullptr;
  QLineEdit* destination_field_ = nullptr;
  QPushButton* convert_button_ = nullptr;
  QTableWidget* list_ = nullptr;
  QLabel* status_ = nullptr;
  QProgressBar* progress_ = nullptr;
  TForm2* jwc_dialog_ = nullptr;
  TForm3* jww_dialog_ = nullptr;
};

}  // namespace penmorph
