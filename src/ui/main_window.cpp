#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/path_text.h"
#include "app/preview_panel.h"
#include "app/window_settings.h"
#include "app/window_texts.h"
#include "common/file_system.h"
#include "ui/about_text.h"
#include "ui/jwc_settings_dialog.h"
#include "ui/jww_settings_dialog.h"
#include "ui/preview_pane.h"
#include "ui/screens.h"
#include "ui/ui_fonts.h"

namespace penmorph {

namespace fs = std::filesystem;
using app::FileColumn;
using app::FolderTree;

namespace {

// The layer's node behind a tree item.
constexpr int kNodeRole = Qt::UserRole;

const QString kFileTypes[app::kFileTypeCount] = {
    QStringLiteral("全てのファイル(*.*)"),
    QStringLiteral("*.JW?"),
    QStringLiteral("*.JWW"),
    QStringLiteral("*.JWS"),
    QStringLiteral("*.JWC"),
    QStringLiteral("*.JWK"),
};

const QString kSearchFolderTitle = QStringLiteral("検索フォルダの指定");
const QString kDestinationTitle = QStringLiteral("保存先フォルダの指定");
const QString kSaveSettingsTitle = QStringLiteral("現在の設定を保存");
const QString kOpenSettingsTitle = QStringLiteral("保存した設定ファイルを開く");

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Paths reach Qt's pickers and the desktop as text, and come back the same way.
QString PathString(const fs::path& path) {
  return FromUtf8(app::PathText(path));
}

fs::path PathOf(const QString& text) {
  return app::PathFromText(text.toStdString());
}

// What a chosen folder is kept as: its text, ending in a separator.
std::string FolderText(const QString& chosen) {
  return app::PathText(app::FolderPath(PathOf(chosen)));
}

}  // namespace

TForm1::TForm1(MainWindowSetup setup, QWidget* parent)
    : QMainWindow(parent),
      formats_(std::move(setup.formats)),
      own_prompts_(setup.prompts == nullptr ? std::make_unique<DesktopPrompts>() : nullptr),
      prompts_(setup.prompts != nullptr ? *setup.prompts : *own_prompts_),
      program_folder_(app::PathFromText(setup.program_folder)),
      ini_path_(std::move(setup.ini_path)),
      browser_(formats_, *this) {
  BuildWindow();
  BuildMenus();
  jwc_dialog_ = new TForm2(settings_.tables.jwc, this);
  jww_dialog_ = new TForm3(settings_.tables.jww, prompts_, this);
  Start();
}

TForm1::~TForm1() {
  // The preview reads with this window's formats on its own thread: it goes first.
  delete preview_;
}

void TForm1::BuildWindow() {
  setWindowTitle(QStringLiteral("Penmorph Ver.1.03"));
  setFont(ProportionalUiFont());

  splitter_ = new QSplitter(Qt::Horizontal, this);
  splitter_->setObjectName(QStringLiteral("Splitter1"));
  splitter_->setChildrenCollapsible(false);

  auto* left = new QWidget(splitter_);
  auto* left_layout = new QVBoxLayout(left);
  left_layout->setContentsMargins(0, 0, 0, 0);
  left_layout->setSpacing(2);
  search_field_ = new QLineEdit(left);
  search_field_->setObjectName(QStringLiteral("SearchFolderEdit"));
  search_field_->setReadOnly(true);
  search_field_->setToolTip(kSearchFolderTitle);
  search_field_->installEventFilter(this);
  left_layout->addWidget(search_field_);
  tree_ = new QTreeWidget(left);
  tree_->setObjectName(QStringLiteral("TreeView1"));
  tree_->setHeaderHidden(true);
  tree_->setColumnCount(1);
  tree_->viewport()->installEventFilter(this);
  // The keyboard lists a folder as a click does: the list never shows another folder than the
  // one the tree highlights.
  connect(tree_, &QTreeWidget::currentItemChanged, this, [this] {
    if (!showing_) {
      ShowFolder();
    }
  });
  left_layout->addWidget(tree_, 1);

  auto* right = new QWidget(splitter_);
  auto* right_layout = new QVBoxLayout(right);
  right_layout->setContentsMargins(4, 0, 0, 0);
  right_layout->setSpacing(4);
  auto* bar = new QGridLayout;
  bar->setHorizontalSpacing(6);
  bar->setVerticalSpacing(4);
  bar->addWidget(new QLabel(QStringLiteral("ファイルの種類"), right), 0, 0);
  file_type_ = new QComboBox(right);
  file_type_->setObjectName(QStringLiteral("FileTypeComboBox"));
  for (const QString& type : kFileTypes) {
    file_type_->addItem(type);
  }
  connect(file_type_, &QComboBox::activated, this, [this] { RelistSelectedFolder(); });
  bar->addWidget(file_type_, 0, 1);
  auto* jww_button = new QPushButton(QStringLiteral("JWW/JWS設定"), right);
  jww_button->setObjectName(QStringLiteral("JwwSettingsButton"));
  connect(jww_button, &QPushButton::clicked, this, &TForm1::ShowJwwSettings);
  bar->addWidget(jww_button, 0, 2);
  auto* jwc_button = new QPushButton(QStringLiteral("JWC/JWK設定"), right);
  jwc_button->setObjectName(QStringLiteral("JwcSettingsButton"));
  connect(jwc_button, &QPushButton::clicked, this, &TForm1::ShowJwcSettings);
  bar->addWidget(jwc_button, 0, 3);
  bar->addWidget(new QLabel(QStringLiteral("保存先フォルダ"), right), 1, 0);
  destination_field_ = new QLineEdit(right);
  destination_field_->setObjectName(QStringLiteral("DestinationEdit"));
  destination_field_->setReadOnly(true);
  bar->addWidget(destination_field_, 1, 1, 1, 2);
  auto* browse = new QPushButton(QStringLiteral("参照"), right);
  browse->setObjectName(QStringLiteral("BrowseButton"));
  connect(browse, &QPushButton::clicked, this, &TForm1::ChooseDestination);
  bar->addWidget(browse, 1, 3);
  auto* convert = new QPushButton(QStringLiteral("変換"), right);
  convert->setObjectName(QStringLiteral("ConvertButton"));
  QFont big = convert->font();
  big.setPixelSize(18);
  big.setBold(true);
  convert->setFont(big);
  convert->setMinimumWidth(88);
  convert->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
  connect(convert, &QPushButton::clicked, this, &TForm1::ConvertFiles);
  bar->addWidget(convert, 0, 4, 2, 1);
  bar->setColumnStretch(1, 1);
  right_layout->addLayout(bar);

  list_ = new QTableWidget(0, app::kFileColumnCount, right);
  list_->setObjectName(QStringLiteral("StringGrid1"));
  list_->setFont(FixedUiFont());
  list_->setHorizontalHeaderLabels({QStringLiteral("ファイル名"), QStringLiteral("Bytes"),
                                    QStringLiteral("種類"), QStringLiteral("図面メモ"),
                                    QStringLiteral("更新日時"), QStringLiteral("属性")});
  list_->verticalHeader()->hide();
  list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 6);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::ContiguousSelection);
  list_->setTabKeyNavigation(false);  // Tab goes on to the next control
  list_->setWordWrap(false);
  list_->setShowGrid(true);
  QHeaderView* header = list_->horizontalHeader();
  header->setSectionsClickable(true);
  header->setHighlightSections(false);
  header->setSectionsMovable(false);
  header->setSectionResizeMode(QHeaderView::Interactive);
  header->setMinimumSectionSize(8);
  connect(header, &QHeaderView::sectionPressed, this, &TForm1::SortColumn);
  connect(header, &QHeaderView::sectionResized, this, [this](int column, int, int) {
    if (column == app::kSizeColumn) {
      RepadSizes();
    }
  });
  connect(list_, &QTableWidget::itemSelectionChanged, this, [this] {
    if (!showing_) {
      TakeSelection();
    }
  });
  list_->viewport()->installEventFilter(this);
  // The list with its run bar above, the selected file's inventory and preview below.
  auto* list_and_preview = new QSplitter(Qt::Vertical, right);
  list_and_preview->setObjectName(QStringLiteral("PreviewSplitter"));
  list_and_preview->setChildrenCollapsible(false);
  auto* list_part = new QWidget(list_and_preview);
  auto* list_layout = new QVBoxLayout(list_part);
  list_layout->setContentsMargins(0, 0, 0, 0);
  list_layout->setSpacing(4);
  list_->setParent(list_part);
  list_layout->addWidget(list_, 1);
  auto* run_bar = new QHBoxLayout;
  subfolders_ = new QCheckBox(FromUtf8(app::texts::kSubfoldersCaption), list_part);
  subfolders_->setObjectName(QStringLiteral("SubfoldersCheckBox"));
  run_bar->addWidget(subfolders_);
  run_bar->addStretch(1);
  stop_ = new QPushButton(FromUtf8(app::texts::kStopCaption), list_part);
  stop_->setObjectName(QStringLiteral("StopButton"));
  stop_->setEnabled(false);
  connect(stop_, &QPushButton::clicked, this, &TForm1::StopConversion);
  run_bar->addWidget(stop_);
  list_layout->addLayout(run_bar);
  list_and_preview->addWidget(list_part);
  preview_ = new PreviewPane(formats_, list_and_preview);
  list_and_preview->addWidget(preview_);
  list_and_preview->setStretchFactor(0, 1);
  list_and_preview->setStretchFactor(1, 1);
  right_layout->addWidget(list_and_preview, 1);

  splitter_->addWidget(left);
  splitter_->addWidget(right);
  splitter_->setStretchFactor(0, 0);
  splitter_->setStretchFactor(1, 1);
  setCentralWidget(splitter_);

  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("StatusText"));
  statusBar()->addWidget(status_, 1);
  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("ConversionProgress"));
  progress_->setFormat(QStringLiteral("%v / %m"));
  progress_->setMaximumWidth(200);
  progress_->hide();
  progress_text_ = new QLabel(this);
  progress_text_->setObjectName(QStringLiteral("ProgressText"));
  progress_text_->hide();
  statusBar()->addPermanentWidget(progress_text_);
  statusBar()->addPermanentWidget(progress_);
}

void TForm1::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル (&F)"));
  file->addAction(QStringLiteral("検索フォルダの指定 (&S)"), this, &TForm1::ChooseSearchFolder);
  QMenu* types = file->addMenu(QStringLiteral("ファイルの種類 (&T)"));
  const QString type_items[app::kFileTypeCount] = {QStringLiteral("全てのファイル(*.*) (&0)"),
                                                   QStringLiteral("(*.jw?) (&1)"),
                                                   QStringLiteral("(*.jww) (&2)"),
                                                   QStringLiteral("(*.jws) (&3)"),
                                                   QStringLiteral("(*.jwc) (&4)"),
                                                   QStringLiteral("(*.jwk) (&5)")};
  for (int index = 0; index < app::kFileTypeCount; ++index) {
    types->addAction(type_items[index], this, [this, index] { SelectFileType(index); });
  }
  file->addAction(kDestinationTitle + QStringLiteral(" (&H)"), this, &TForm1::ChooseDestination);
  file->addSeparator();
  file->addAction(QStringLiteral("終了 (&X)"), this, &TForm1::Exit);

  QMenu* settings = menuBar()->addMenu(QStringLiteral("設定 (&S)"));
  settings->addAction(QStringLiteral("JWW/JWS設定 (&1)"), this, &TForm1::ShowJwwSettings);
  settings->addAction(QStringLiteral("JWC/JWK設定 (&2)"), this, &TForm1::ShowJwcSettings);
  settings->addSeparator();
  settings->addAction(QStringLiteral("現在の設定を保存(&S)..."), this, &TForm1::SaveSettings);
  settings->addAction(QStringLiteral("保存した設定を開く(&O)..."), this, &TForm1::OpenSettings);

  QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ (&H)"));
  help->addAction(QStringLiteral("バージョン情報 (&A)"), this, [this] {
    prompts_.ShowMessage(this, app::MessageKind::kInformation, AboutText());
  });
}

void TForm1::Start() {
  settings_ = app::LoadStartSettings(program_folder_, ini_path_);
  ApplyLayout(settings_.layout);
  file_type_->setCurrentIndex(app::ValidFileType(settings_.file_type));
  destination_field_->setText(FromUtf8(settings_.destination_folder));
  browser_.Start();
}

void TForm1::ApplyLayout(const WindowLayout& layout) {
  const QRect window =
      FitOnScreens(QRect(layout.main_left, layout.main_top, layout.main_width, layout.main_height));
  move(window.topLeft());
  resize(window.size());
  jwc_dialog_->move(layout.jwc_dialog_left, layout.jwc_dialog_top);
  KeepOnScreens(*jwc_dialog_);
  jww_dialog_->move(layout.jww_dialog_left, layout.jww_dialog_top);
  KeepOnScreens(*jww_dialog_);
  splitter_->setSizes({layout.folder_pane_width, std::max(1, width() - layout.folder_pane_width)});
  for (int column = 0; column < app::kFileColumnCount; ++column) {
    list_->setColumnWidth(column, layout.column_widths[column]);
  }
}

WindowLayout TForm1::CurrentLayout() const {
  WindowLayout layout;
  layout.main_left = pos().x();
  layout.main_top = pos().y();
  layout.main_width = width();
  layout.main_height = height();
  layout.jwc_dialog_left = jwc_dialog_->pos().x();
  layout.jwc_dialog_top = jwc_dialog_->pos().y();
  layout.jww_dialog_left = jww_dialog_->pos().x();
  layout.jww_dialog_top = jww_dialog_->pos().y();
  layout.folder_pane_width = splitter_->sizes().value(0, layout.folder_pane_width);
  for (int column = 0; column < app::kFileColumnCount; ++column) {
    layout.column_widths[column] = list_->columnWidth(column);
  }
  return layout;
}

QString TForm1::StatusText() const {
  return status_->text();
}

// --- app::Prompts ---

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

void TForm1::ReportProgress(std::size_t index, std::size_t total) {
  if (!converting_) {
    converting_.emplace();
  }
  progress_->setRange(0, static_cast<int>(total));
  progress_->setValue(static_cast<int>(index));
  progress_->show();
  progress_->repaint();
  (void)converting_->EscapePressed();  // lets the window repaint; a run cannot be stopped
}

// --- choosing folders ---

void TForm1::ChooseSearchFolder() {
  SetStatus({});
  auto chosen = prompts_.ChooseFolder(this, kSearchFolderTitle, FromUtf8(settings_.search_folder));
  if (!chosen) {
    return;
  }
  settings_.search_folder = FolderText(*chosen);
  search_field_->setText(FromUtf8(settings_.search_folder));
  BuildFolderTree();
}

void TForm1::OpenStartPath(const QString& argument) {
  const std::optional<app::StartPath> start = app::StartPathOf(PathOf(argument));
  if (!start) {
    return;
  }
  settings_.search_folder = app::PathText(app::FolderPath(start->folder));
  search_field_->setText(FromUtf8(settings_.search_folder));
  tree_->setEnabled(false);
  bool opened = false;
  {
    BusyScope busy;
    walk_ = &busy;
    opened =
        browser_.OpenStartPath(*start, ListingOptions(), [&busy] { return busy.EscapePressed(); });
    walk_ = nullptr;
  }
  tree_->setEnabled(true);
  if (!opened) {
    return;
  }
  ShowTree();
  // The root is the folder listed: the tree highlights it, as after a click.
  showing_ = true;
  tree_->setCurrentItem(tree_->topLevelItem(0));
  showing_ = false;
  ShowRows();
  if (const auto& range = browser_.list().selection()) {
    list_->scrollToItem(list_->item(static_cast<int>(range->first), 0));
  }
}

void TForm1::ChooseDestination() {
  auto chosen =
      prompts_.ChooseFolder(this, kDestinationTitle, FromUtf8(settings_.destination_folder));
  if (!chosen) {
    return;
  }
  settings_.destination_folder = FolderText(*chosen);
  destination_field_->setText(FromUtf8(settings_.destination_folder));
}

// --- the folder tree ---

app::ListOptions TForm1::ListingOptions() const {
  return {file_type_->currentIndex(), list_->columnWidth(app::kSizeColumn)};
}

void TForm1::BuildFolderTree() {
  tree_->setEnabled(false);
  BusyScope busy;
  walk_ = &busy;
  const bool built = browser_.BuildFolderTree(app::PathFromText(settings_.search_folder),
                                              [&busy] { return busy.EscapePressed(); });
  walk_ = nullptr;
  if (built) {
    ShowTree();
    ShowRows();
  }
  tree_->setEnabled(true);
}

void TForm1::ShowTree() {
  showing_ = true;
  tree_->clear();
  const FolderTree& model = browser_.tree();
  if (!model.empty()) {
    // Parents before children, each child under the item made for its parent.
    auto add = [&](auto& self, FolderTree::NodeId id, QTreeWidgetItem* parent) -> void {
      auto* item = parent == nullptr ? new QTreeWidgetItem(tree_) : new QTreeWidgetItem(parent);
      item->setText(0, FromUtf8(model.node(id).text));
      item->setData(0, kNodeRole, QVariant::fromValue<qulonglong>(id));
      for (FolderTree::NodeId child : model.node(id).children) {
        self(self, child, item);
      }
    };
    add(add, FolderTree::kRoot, nullptr);
    tree_->topLevelItem(0)->setExpanded(true);
  }
  // No folder is highlighted until the user picks one, as no folder is listed.
  tree_->setCurrentItem(nullptr);
  showing_ = false;
}

fs::path TForm1::NodePath(const QTreeWidgetItem* node) const {
  if (node == nullptr) {
    return {};
  }
  return browser_.tree().NodePath(node->data(0, kNodeRole).toULongLong());
}

void TForm1::ShowFolder() {
  std::optional<FolderTree::NodeId> node;
  if (const QTreeWidgetItem* item = tree_->currentItem()) {
    node = item->data(0, kNodeRole).toULongLong();
  }
  BusyScope busy;
  browser_.ShowFolder(node, ListingOptions(), [&busy] { return busy.EscapePressed(); });
  ShowRows();
}

void TForm1::SelectFileType(int index) {
  file_type_->setCurrentIndex(index);
  RelistSelectedFolder();
}

void TForm1::RelistSelectedFolder() {
  BusyScope busy;
  browser_.FileTypeChanged(ListingOptions(), [&busy] { return busy.EscapePressed(); });
  ShowRows();
}

// --- the file list ---

void TForm1::ShowRows() {
  showing_ = true;
  list_->setUpdatesEnabled(false);
  const auto& rows = browser_.list().rows();
  list_->clearContents();
  list_->setRowCount(static_cast<int>(rows.size()));
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    for (int column = 0; column < app::kFileColumnCount; ++column) {
      auto* cell = new QTableWidgetItem(FromUtf8(rows[row].cells[column]));
      if (column == app::kSizeColumn) {
        cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      }
      list_->setItem(row, column, cell);
    }
  }
  ShowSelection();
  list_->setUpdatesEnabled(true);
  showing_ = false;
  ShowPreview();
}

void TForm1::ShowSelection() {
  const bool was_showing = showing_;
  showing_ = true;
  list_->clearSelection();
  if (const auto& range = browser_.list().selection()) {
    const int first = static_cast<int>(range->first);
    list_->selectionModel()->setCurrentIndex(list_->model()->index(first, 0),
                                             QItemSelectionModel::NoUpdate);
    list_->setRangeSelected(QTableWidgetSelectionRange(first, 0, static_cast<int>(range->last),
                                                       app::kFileColumnCount - 1),
                            true);
  } else {
    list_->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
  }
  showing_ = was_showing;
}

void TForm1::TakeSelection() {
  const QModelIndexList selected = list_->selectionModel()->selectedRows();
  if (selected.isEmpty()) {
    browser_.list().ClearSelection();
    ShowPreview();
    return;
  }
  auto [low, high] = std::minmax_element(
      selected.begin(), selected.end(),
      [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
  browser_.list().Select(static_cast<std::size_t>(low->row()),
                         static_cast<std::size_t>(high->row()));
  ShowPreview();
}

void TForm1::ShowPreview() {
  preview_->ShowFile(app::FileToPreview(browser_.list()), settings_.tables);
}

void TForm1::SortColumn(int column) {
  BusyScope busy;
  browser_.PressHeader(column, ListingOptions(), [&busy] { return busy.EscapePressed(); });
  ShowRows();
}

void TForm1::RepadSizes() {
  browser_.RepadSizes(list_->columnWidth(app::kSizeColumn),
                      list_->fontMetrics().horizontalAdvance(QLatin1Char('0')));
  const auto& rows = browser_.list().rows();
  for (int row = 0; row < list_->rowCount() && row < static_cast<int>(rows.size()); ++row) {
    if (QTableWidgetItem* cell = list_->item(row, app::kSizeColumn)) {
      cell->setText(FromUtf8(rows[row].cells[app::kSizeColumn]));
    }
  }
}

void TForm1::OpenFile() {
  std::optional<std::size_t> row;
  if (list_->currentRow() >= 0) {
    row = static_cast<std::size_t>(list_->currentRow());
  }
  if (auto file = browser_.FileToOpen(row)) {
    prompts_.OpenWithAssociatedProgram(PathString(*file));
  }
}

// --- settings ---

void TForm1::ShowJwwSettings() {
  jww_dialog_->exec();
  preview_->TablesChanged(settings_.tables);
}

void TForm1::ShowJwcSettings() {
  jwc_dialog_->exec();
  preview_->TablesChanged(settings_.tables);
}

void TForm1::SaveSettings() {
  auto chosen = prompts_.ChooseSettingsFile(this, true, kSaveSettingsTitle,
                                            FromUtf8(settings_.last_settings_file));
  if (!chosen) {
    return;
  }
  settings_.last_settings_file = chosen->toStdString();
  (void)app::SaveTablesAs(PathOf(*chosen), settings_.tables, *this);
}

void TForm1::OpenSettings() {
  auto chosen = prompts_.ChooseSettingsFile(this, false, kOpenSettingsTitle,
                                            FromUtf8(settings_.last_settings_file));
  if (!chosen) {
    return;
  }
  settings_.last_settings_file = chosen->toStdString();
  app::OpenTablesFrom(PathOf(*chosen), settings_.tables);
  preview_->TablesChanged(settings_.tables);
}

// --- converting ---

void TForm1::ConvertFiles() {
  if (run_) {
    return;  // one run at a time
  }
  std::optional<app::ConversionPlan> plan = browser_.PlanConversion(
      settings_.destination_folder, subfolders_->isChecked(), ListingOptions());
  if (!plan) {
    return;
  }
  progress_->setRange(0, 0);  // busy until the files are counted
  progress_->setValue(0);
  progress_->show();
  progress_text_->show();
  stop_->setEnabled(true);
  // The run goes on threads of its own; it wakes the window, which looks in on this thread.
  run_ = std::make_unique<app::BackgroundRun>(
      std::move(*plan), formats_, settings_.tables, DefaultWorkers(),
      [this] { QMetaObject::invokeMethod(this, &TForm1::ShowRunProgress, Qt::QueuedConnection); });
  ShowRunProgress();
}

void TForm1::StopConversion() {
  if (run_) {
    run_->Stop();
    stop_->setEnabled(false);
  }
}

void TForm1::ShowRunProgress() {
  if (!run_) {
    return;
  }
  const app::RunProgress progress = run_->Poll();
  if (progress.counted) {
    progress_->setRange(0, static_cast<int>(progress.total));
  }
  progress_->setValue(static_cast<int>(progress.done));
  progress_text_->setText(FromUtf8(app::ProgressText(progress)));
  if (!progress.status.empty()) {
    SetStatus(progress.status);
  }
  if (!progress.finished) {
    return;
  }
  const app::RunReport report = run_->TakeReport();
  run_.reset();
  progress_->hide();
  progress_text_->hide();
  stop_->setEnabled(false);
  emit ConversionFinished();
  if (auto reported = app::ReportedFiles(report); !reported.empty()) {
    prompts_.ShowReport(this, reported);
  }
}

// --- leaving ---

void TForm1::Exit() {
  if (AskYesNo(app::texts::kExitQuestion)) {
    close();
  }
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (walk_ != nullptr || converting_ || run_) {
    // A folder walk runs inside this window's handlers, and a run is to be stopped with "中止"
    // and its report seen: the window does not go away under either.
    if (run_) {
      Beep();
    }
    event->ignore();
    return;
  }
  settings_.layout = CurrentLayout();
  settings_.file_type = file_type_->currentIndex();
  (void)SaveIniFile(ini_path_, settings_);  // a failure here has no one left to tell
  event->accept();
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
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace penmorph
