#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/path_text.h"
#include "app/window_texts.h"
#include "ui/described_dialog.h"
#include "ui/failure_report.h"
#include "ui/file_rows_model.h"
#include "ui/preview_pane.h"
#include "ui/qt_text.h"
#include "ui/screens.h"
#include "ui/settings_dialogs.h"
#include "ui/ui_fonts.h"

#ifndef PENMORPH_VERSION
#error "PENMORPH_VERSION comes from the CMake project version"
#endif

namespace penmorph {

namespace fs = std::filesystem;
namespace texts = app::texts;
using app::FolderTree;

namespace {

app::ModelSetup ModelSetupOf(const MainWindowSetup& setup) {
  app::ModelSetup model;
  model.program_folder = app::PathFromText(setup.program_folder);
  model.ini_path = setup.ini_path;
  model.documents_folder =
      setup.documents_folder.empty() ? PathOf(QDir::homePath()) : setup.documents_folder;
  model.workers = setup.workers;
  model.version = PENMORPH_VERSION;
  return model;
}

}  // namespace

TForm1::TForm1(MainWindowSetup setup, QWidget* parent)
    : QMainWindow(parent),
      formats_(std::move(setup.formats)),
      own_prompts_(setup.prompts == nullptr ? std::make_unique<DesktopPrompts>() : nullptr),
      prompts_(setup.prompts != nullptr ? *setup.prompts : *own_prompts_),
      model_(formats_, *this, ModelSetupOf(setup)) {
  BuildWindow();
  BuildMenus();
  jwc_dialog_ = new TForm2(model_.jwc_dialog(), prompts_, this);
  jww_dialog_ = new TForm3(model_.jww_dialog(), prompts_, this);
  layer_dialog_ = new TForm4(model_.layer_dialog(), prompts_, this);
  model_.Start();
  ApplyLayout(model_.first_start() ? FirstLayout() : model_.settings().layout);
  Changed(~0u);
}

TForm1::~TForm1() {
  // The preview reads with this window's formats on its own thread: it goes first.
  delete preview_;
}

QString TForm1::StatusText() const {
  return status_->text();
}

// --- app::MainWindowView ---

void TForm1::ShowMessage(app::MessageKind kind, std::string_view text) {
  prompts_.ShowMessage(this, kind, FromUtf8(text));
}

bool TForm1::AskYesNo(std::string_view text) {
  return prompts_.AskYesNo(this, FromUtf8(text));
}

void TForm1::Beep() {
  prompts_.Beep();
}

void TForm1::SetStatus(std::string_view text) {
  status_->setText(FromUtf8(text));
  status_->repaint();
}

std::optional<fs::path> TForm1::ChooseFolder(std::string_view title, const fs::path& start) {
  std::optional<QString> chosen = prompts_.ChooseFolder(this, FromUtf8(title), PathString(start));
  return chosen ? std::optional(PathOf(*chosen)) : std::nullopt;
}

std::optional<fs::path> TForm1::ChooseSettingsFile(bool save, std::string_view title,
                                                   const fs::path& start) {
  std::optional<QString> chosen =
      prompts_.ChooseSettingsFile(this, save, FromUtf8(title), PathString(start));
  return chosen ? std::optional(PathOf(*chosen)) : std::nullopt;
}

bool TForm1::OpenWithAssociatedProgram(const fs::path& file) {
  return prompts_.OpenWithAssociatedProgram(PathString(file));
}

void TForm1::ShowSettingsDialog(app::SettingsDialog which) {
  switch (which) {
    case app::SettingsDialog::kJww:
      jww_dialog_->exec();
      return;
    case app::SettingsDialog::kJwc:
      jwc_dialog_->exec();
      return;
    case app::SettingsDialog::kLayers: {
      const preview::Drawing* drawing = preview_->panel().drawing();
      model_.ShowLayersOf(drawing != nullptr ? &drawing->layers : nullptr,
                          preview_->panel().file());
      layer_dialog_->exec();
      return;
    }
  }
}

void TForm1::ShowReport(const app::RunSummary& summary) {
  prompts_.ShowReport(this, summary);
}

void TForm1::ShowCheckReport(const std::string& report) {
  prompts_.ShowCheckReport(this, report);
}

void TForm1::ShowSurveyReport() {
  DescribedDialog report(model_.survey_dialog(), prompts_, this);
  report.exec();
}

void TForm1::Changed(unsigned parts) {
  if (!model_.walking()) {
    walk_.reset();
  }
  const AppSettings& settings = model_.settings();
  if (parts & app::kFoldersPart) {
    destination_field_->setText(FromUtf8(settings.destination_folder));
  }
  if (parts & app::kFileTypePart) {
    file_type_->setCurrentIndex(app::ValidFileType(formats_, settings.file_type));
  }
  if (parts & app::kOptionsPart) {
    reopen_->setChecked(settings.reopen_search_folder != 0);
  }
  if (parts & app::kTreePart) {
    ShowTree();
  }
  if (parts & (app::kTreePart | app::kFoldersPart)) {
    search_field_->setText(FromUtf8(model_.SearchFieldText()));
  }
  if (parts & app::kRowsPart) {
    ShowRows();
  } else if (parts & app::kSizesPart) {
    ShowSizes();
  }
  if (parts & (app::kSelectionPart | app::kRowsPart)) {
    selection_text_->setText(FromUtf8(model_.SelectionText()));
    ShowPreview();
  }
  if (parts & app::kTablesPart) {
    preview_->TablesChanged(model_.tables());
  }
  if (parts & app::kRunPart) {
    ShowRun();
  }
}

void TForm1::WakeSoon() {
  QMetaObject::invokeMethod(
      this, [this] { model_.News(); }, Qt::QueuedConnection);
}

bool TForm1::WalkShouldStop() {
  if (!walk_) {
    walk_.emplace();
  }
  return walk_->EscapePressed();
}

int TForm1::SizeColumnPixels() const {
  return list_->columnWidth(app::kSizeColumn);
}

void TForm1::CloseWindow() {
  close();
}

// --- what the user does ---

void TForm1::ChooseSearchFolder() {
  model_.ChooseSearchFolder();
}

void TForm1::ChooseDestination() {
  model_.ChooseDestination();
}

void TForm1::OpenStartPath(const QString& argument) {
  model_.OpenPaths({PathOf(argument)});
}

void TForm1::HandedOver(const QString& path) {
  setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  raise();
  activateWindow();
  if (!path.isEmpty()) {
    OpenStartPath(path);
  }
}

void TForm1::ShowStart(const std::optional<QString>& argument) {
  model_.Shown(argument ? std::optional(PathOf(*argument)) : std::nullopt);
}

void TForm1::SelectFileType(int index) {
  model_.SelectFileType(index);
}

void TForm1::ShowJwwSettings() {
  model_.EditSettings(app::SettingsDialog::kJww);
}

void TForm1::ShowJwcSettings() {
  model_.EditSettings(app::SettingsDialog::kJwc);
}

void TForm1::ShowLayerSettings() {
  model_.EditSettings(app::SettingsDialog::kLayers);
}

void TForm1::ConvertFiles() {
  model_.Convert();
}

void TForm1::StopConversion() {
  model_.Stop();
}

void TForm1::Exit() {
  model_.Exit();
}

// --- showing the model ---

void TForm1::ShowTree() {
  showing_ = true;
  tree_->setEnabled(!model_.walking() && !model_.loading());
  tree_->clear();
  const FolderTree& tree = model_.browser().tree();
  QTreeWidgetItem* shown = nullptr;
  if (!tree.empty()) {
    // Parents before children, each child under the item made for its parent.
    auto add = [&](auto& self, FolderTree::NodeId id, QTreeWidgetItem* parent) -> void {
      auto* item = parent == nullptr ? new QTreeWidgetItem(tree_) : new QTreeWidgetItem(parent);
      item->setText(0, FromUtf8(tree.node(id).text));
      item->setData(0, kNodeRole, QVariant::fromValue<qulonglong>(id));
      if (model_.browser().shown_node() == id) {
        shown = item;
      }
      for (FolderTree::NodeId child : tree.node(id).children) {
        self(self, child, item);
      }
      item->setExpanded(model_.Expanded(id));  // once it has children to show
    };
    add(add, FolderTree::kRoot, nullptr);
  }
  // The tree highlights the folder listed, and none while none is.
  tree_->setCurrentItem(shown);
  if (shown != nullptr) {
    tree_->scrollToItem(shown);
  }
  showing_ = false;
}

fs::path TForm1::NodePath(const QTreeWidgetItem* node) const {
  if (node == nullptr) {
    return {};
  }
  return model_.browser().tree().NodePath(node->data(0, kNodeRole).toULongLong());
}

void TForm1::ShowFolder() {
  std::optional<FolderTree::NodeId> node;
  if (const QTreeWidgetItem* item = tree_->currentItem()) {
    node = item->data(0, kNodeRole).toULongLong();
  }
  model_.ShowFolder(node);
}

void TForm1::ShowRows() {
  showing_ = true;
  rows_->Reset();
  ShowSelection();
  // The header's arrow on the column the list is sorted by.
  QHeaderView* header = list_->horizontalHeader();
  const auto& sort = model_.browser().shown_sort();
  header->setSortIndicatorShown(sort.has_value());
  if (sort) {
    header->setSortIndicator(sort->column,
                             sort->descending ? Qt::DescendingOrder : Qt::AscendingOrder);
  }
  showing_ = false;
  const auto& selected = model_.browser().list().selected_rows();
  if (!selected.empty()) {
    list_->scrollTo(rows_->index(static_cast<int>(selected.front()), 0));
  }
}

void TForm1::FillNameColumn() {
  std::array<int, app::kFileColumnCount> widths{};
  for (int column = 0; column < app::kFileColumnCount; ++column) {
    widths[column] = list_->columnWidth(column);
  }
  const int width = app::NameColumnWidth(
      list_->viewport()->width(), widths,
      list_->fontMetrics().horizontalAdvance(FromUtf8(app::kNameColumnMinimumText)));
  if (width != widths[app::kNameColumn]) {
    list_->setColumnWidth(app::kNameColumn, width);
  }
}

void TForm1::ShowSizes() {
  rows_->SizesChanged();
}

void TForm1::ShowSelection() {
  const bool was_showing = showing_;
  showing_ = true;
  const auto& selected = model_.browser().list().selected_rows();
  QItemSelection selection;
  for (std::size_t row : selected) {
    const int at = static_cast<int>(row);
    selection.select(list_->model()->index(at, 0),
                     list_->model()->index(at, app::kFileColumnCount - 1));
  }
  list_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  list_->selectionModel()->setCurrentIndex(
      selected.empty() ? QModelIndex() : list_->model()->index(static_cast<int>(selected[0]), 0),
      QItemSelectionModel::NoUpdate);
  showing_ = was_showing;
}

void TForm1::TakeSelection() {
  std::vector<std::size_t> rows;
  for (const QModelIndex& index : list_->selectionModel()->selectedRows()) {
    rows.push_back(static_cast<std::size_t>(index.row()));
  }
  model_.SelectRows(std::move(rows));
}

void TForm1::ShowPreview() {
  preview_->ShowFile(model_.FileToPreview(), model_.tables());
}

void TForm1::ShowRun() {
  const bool running = model_.running();
  const app::RunProgress& progress = model_.progress();
  banner_->setText(FromUtf8(model_.ListBanner()));
  banner_->setVisible(!model_.ListBanner().empty());
  stop_->setEnabled(running && !model_.stopping());
  progress_->setVisible(running);
  progress_text_->setVisible(running);
  if (running) {
    progress_->setRange(0, progress.counted ? static_cast<int>(progress.total) : 0);
    progress_->setValue(static_cast<int>(progress.done));
    progress_text_->setText(FromUtf8(model_.ProgressLine()));
  }
  if (was_running_ && !running) {
    was_running_ = false;
    emit ConversionFinished();
  }
  was_running_ = running;
}

void TForm1::SortColumn(int column) {
  model_.PressHeader(column);
}

void TForm1::RepadSizes() {
  model_.RepadSizes(list_->columnWidth(app::kSizeColumn),
                    list_->fontMetrics().horizontalAdvance(QLatin1Char('0')));
}

void TForm1::OpenFile() {
  std::optional<std::size_t> row;
  if (list_->currentIndex().isValid()) {
    row = static_cast<std::size_t>(list_->currentIndex().row());
  }
  model_.OpenRow(row);
}

// --- window events ---

void TForm1::closeEvent(QCloseEvent* event) {
  if (model_.RequestClose()) {
    event->accept();
  } else {
    event->ignore();
  }
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) {
    event->acceptProposedAction();
  }
}

void TForm1::dropEvent(QDropEvent* event) {
  std::vector<fs::path> paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) {
      paths.push_back(PathOf(url.toLocalFile()));
    }
  }
  event->acceptProposedAction();
  model_.OpenPaths(paths);
}

void TForm1::keyPressEvent(QKeyEvent* event) {
  // Escape stops the start's listing, which goes on while the window is usable.
  if (event->key() == Qt::Key_Escape) {
    model_.StopLoading();
  }
  QMainWindow::keyPressEvent(event);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == tree_->viewport() && event->type() == QEvent::MouseButtonPress) {
    pressed_on_ = tree_->currentItem();
  }
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    if (watched == search_field_) {
      ChooseSearchFolder();
      return true;
    }
    // A click that moved the highlight has listed its folder already; a click on the
    // highlighted node lists it again.
    if (watched == tree_->viewport() && tree_->currentItem() == pressed_on_) {
      ShowFolder();
    }
  } else if (event->type() == QEvent::MouseButtonDblClick && watched == list_->viewport()) {
    OpenFile();
  } else if (event->type() == QEvent::Resize && watched == list_->viewport()) {
    FillNameColumn();  // the window, the splitter or a scroll bar changed the list's room
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace penmorph
