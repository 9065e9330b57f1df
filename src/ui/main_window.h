#pragma once

// The program's window over app::MainWindowModel: it builds the widgets, turns their events into
// the model's calls and shows the parts the model says have changed. Every text and decision is
// the model's.

#include <QMainWindow>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/main_window_model.h"
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
class QTableView;
class QTreeWidget;
class QTreeWidgetItem;

namespace penmorph {

class PreviewPane;
class FileRowsModel;
class TForm2;
class TForm3;
class TForm4;

// What the window starts from. The program passes its own folder, its ini path and the standard
// formats; tests pass scratch folders, fake formats and prompts that answer for the user.
struct MainWindowSetup {
  std::string program_folder;
  std::filesystem::path ini_path;
  FormatRegistry formats;
  UserPrompts* prompts = nullptr;          // nullptr: the real desktop
  std::filesystem::path documents_folder;  // where pickers start; empty: the home folder
  unsigned workers = 0;                    // of a run; 0: one per processor
};

class TForm1 : public QMainWindow, public app::MainWindowView {
  Q_OBJECT

 public:
  explicit TForm1(MainWindowSetup setup, QWidget* parent = nullptr);
  ~TForm1() override;

  // The folder of a tree node, ending in a separator.
  std::filesystem::path NodePath(const QTreeWidgetItem* node) const;

  app::MainWindowModel& model() { return model_; }
  ConversionTables& tables() { return model_.tables(); }
  FormatRegistry& formats() { return formats_; }
  const app::FileBrowser& browser() const { return model_.browser(); }
  bool tree_ready() const { return model_.browser().tree_ready(); }
  bool list_ready() const { return model_.browser().list_ready(); }
  const std::string& search_folder() const { return model_.settings().search_folder; }
  const std::string& destination_folder() const { return model_.settings().destination_folder; }
  const std::string& last_settings_file() const { return model_.settings().last_settings_file; }
  TForm2* jwc_dialog() const { return jwc_dialog_; }
  TForm3* jww_dialog() const { return jww_dialog_; }
  TForm4* layer_dialog() const { return layer_dialog_; }
  PreviewPane* preview() const { return preview_; }
  QString StatusText() const;

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

  // Started with a file or folder (`penmorph FILE`, a file manager's "open with", a second
  // start handing its path over): its folder becomes the search folder and is listed, the file
  // selected. A path that does not exist changes nothing.
  void OpenStartPath(const QString& argument);
  // A second start handed its path over: the window comes to the front and opens it.
  void HandedOver(const QString& path);
  // The window is shown: a start path, or the last search folder.
  void ShowStart(const std::optional<QString>& argument);

 public slots:
  void ChooseSearchFolder();
  void ChooseDestination();
  void SelectFileType(int index);
  void ShowJwwSettings();
  void ShowJwcSettings();
  void ShowLayerSettings();
  void ConvertFiles();
  void StopConversion();
  void Exit();

 signals:
  // A run's last news is shown (its report, if any, is open): for tests.
  void ConversionFinished();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // The model's node behind a tree item.
  static constexpr int kNodeRole = Qt::UserRole;
  void BuildWindow();
  QWidget* BuildCommandBar(QWidget* parent);
  QWidget* BuildListPart(QWidget* parent);
  void BuildMenus();
  void ApplyLayout(const WindowLayout& layout);
  WindowLayout FirstLayout() const;

  void ShowTree();
  void ShowFolder();
  void ShowRows();
  void ShowSizes();
  void ShowSelection();
  void TakeSelection();
  void ShowRun();
  void ShowPreview();
  void SortColumn(int column);
  void RepadSizes();
  // The name column takes the room the other columns leave.
  void FillNameColumn();
  void OpenFile();

  FormatRegistry formats_;
  std::unique_ptr<UserPrompts> own_prompts_;
  UserPrompts& prompts_;
  app::MainWindowModel model_;

  std::optional<BusyScope> walk_;          // while the model walks folders on this thread
  bool showing_ = false;                   // the widgets are being filled from the model
  bool was_running_ = false;               // a run was going when the model last said so
  QTreeWidgetItem* pressed_on_ = nullptr;  // the tree's current node when a click began

  QLineEdit* search_field_ = nullptr;
  QTreeWidget* tree_ = nullptr;
  QSplitter* splitter_ = nullptr;
  QComboBox* file_type_ = nullptr;
  QLineEdit* destination_field_ = nullptr;
  QTableView* list_ = nullptr;
  FileRowsModel* rows_ = nullptr;
  QLabel* banner_ = nullptr;
  QLabel* status_ = nullptr;
  QLabel* selection_text_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* progress_text_ = nullptr;
  QCheckBox* subfolders_ = nullptr;
  QPushButton* stop_ = nullptr;
  QAction* reopen_ = nullptr;
  TForm2* jwc_dialog_ = nullptr;
  TForm3* jww_dialog_ = nullptr;
  TForm4* layer_dialog_ = nullptr;
  PreviewPane* preview_ = nullptr;
};

}  // namespace penmorph
