#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGridLayout>
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
#include <array>
#include <chrono>
#include <vector>

#if !defined(_WIN32)
#include <unistd.h>
#endif

#include "common/file_system.h"
#include "common/text.h"
#include "convert/batch_converter.h"
#include "convert/file_memo.h"
#include "ui/jwc_settings_dialog.h"
#include "ui/jww_settings_dialog.h"
#include "ui/native_text.h"
#include "ui/ui_fonts.h"

namespace penmorph {

namespace fs = std::filesystem;

namespace {

// File-system bytes of a tree node's folder name or a list row's file name.
constexpr int kNativeRole = Qt::UserRole;
// The bytes a list column sorts by.
constexpr int kSortKeyRole = Qt::UserRole + 1;
// The real folder behind a tree node, links resolved.
constexpr int kIdentityRole = Qt::UserRole + 2;

constexpr char kSeparator = static_cast<char>(fs::path::preferred_separator);

const QString kFileTypes[] = {
    QStringLiteral("全てのファイル(*.*)"),
    QStringLiteral("*.JW?"),
    QStringLiteral("*.JWW"),
    QStringLiteral("*.JWS"),
    QStringLiteral("*.JWC"),
    QStringLiteral("*.JWK"),
};
constexpr const char* kPatterns[] = {"*.*", "*.jw?", "*.jww", "*.jws", "*.jwc", "*.jwk"};
constexpr int kFileTypeCount = 6;

namespace text {
const QString kSearchFolderTitle = QStringLiteral("検索フォルダの指定");
const QString kDestinationTitle = QStringLiteral("保存先フォルダの指定");
const QString kSearching = QStringLiteral("フォルダ検索中です。（ESC:中断）");
const QString kDriveNotReady =
    QStringLiteral("検索フォルダのディスクドライブの準備が出来ていません。");
const QString kSearchInterrupted = QStringLiteral("フォルダ検索を中断しました。");
const QString kListInterrupted = QStringLiteral("検索を中断しました。");
const QString kNoFolderListed = QStringLiteral("図面の格納されているフォルダを指定して下さい。");
const QString kExitQuestion = QStringLiteral("終了します。よろしいですか？");
const QString kSaveSettingsTitle = QStringLiteral("現在の設定を保存");
const QString kOpenSettingsTitle = QStringLiteral("保存した設定ファイルを開く");
}  // namespace text

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QByteArray Bytes(std::string_view text) {
  return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

std::string WithSeparator(std::string path) {
  if (path.empty() || path.back() != kSeparator) {
    path += kSeparator;
  }
  return path;
}

// Folders sort by name without regard to case, as a Windows user sees them.
class FolderItem : public QTreeWidgetItem {
 public:
  FolderItem(QTreeWidgetItem* parent, const std::string& native) : QTreeWidgetItem(parent) {
    Init(native);
  }
  FolderItem(QTreeWidget* tree, const std::string& native) : QTreeWidgetItem(tree) { Init(native); }
  bool operator<(const QTreeWidgetItem& other) const override {
    return text(0).compare(other.text(0), Qt::CaseInsensitive) < 0;
  }

 private:
  void Init(const std::string& native) {
    setText(0, DisplayText(native));
    setData(0, kNativeRole, Bytes(native));
  }
};

std::string NativeOf(const QTreeWidgetItem* item) {
  return item->data(0, kNativeRole).toByteArray().toStdString();
}

// The next node after `item` in tree order (parents before children).
QTreeWidgetItem* NextInTreeOrder(QTreeWidgetItem* item) {
  if (item->childCount() > 0) {
    return item->child(0);
  }
  for (QTreeWidgetItem* parent = item->parent(); parent != nullptr;
       item = parent, parent = parent->parent()) {
    int index = parent->indexOfChild(item);
    if (index + 1 < parent->childCount()) {
      return parent->child(index + 1);
    }
  }
  return nullptr;
}

QString Modified(const fs::directory_entry& entry) {
  std::error_code ec;
  auto written = entry.last_write_time(ec);
  if (ec) {
    return {};
  }
  auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                     std::chrono::file_clock::to_sys(written).time_since_epoch())
                     .count();
  return QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
}

// Unix has no archive flag, so only "R " can appear: for a file the user may not write, or one
// nobody may write (which root could write all the same, but the owner meant it read-only).
QString Attributes(const fs::directory_entry& entry) {
  std::error_code ec;
  fs::perms perms = entry.status(ec).permissions();
  constexpr fs::perms kWrite =
      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  bool read_only = !ec && (perms & kWrite) == fs::perms::none;
#if !defined(_WIN32)
  read_only = read_only || ::access(entry.path().c_str(), W_OK) != 0;
#endif
  return read_only ? QStringLiteral("R ") : QString();
}

QString PaddedSize(qint64 size, int width) {
  return QString::number(size).rightJustified(width, QLatin1Char(' '));
}

QTableWidgetItem* Cell(const QString& text, const QByteArray& sort_key) {
  auto* item = new QTableWidgetItem(text);
  item->setData(kSortKeyRole, sort_key);
  return item;
}

}  // namespace

TForm1::TForm1(MainWindowSetup setup, QWidget* parent)
    : QMainWindow(parent),
      formats_(std::move(setup.formats)),
      own_prompts_(setup.prompts == nullptr ? std::make_unique<DesktopPrompts>() : nullptr),
      prompts_(setup.prompts != nullptr ? *setup.prompts : *own_prompts_),
      program_folder_(WithSeparator(std::move(setup.program_folder))),
      ini_path_(std::move(setup.ini_path)) {
  BuildWindow();
  BuildMenus();
  jwc_dialog_ = new TForm2(settings_.tables.jwc, this);
  jww_dialog_ = new TForm3(settings_.tables.jww, prompts_, this);
  Start();
}

TForm1::~TForm1() = default;

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
  search_field_->setToolTip(text::kSearchFolderTitle);
  search_field_->installEventFilter(this);
  left_layout->addWidget(search_field_);
  tree_ = new QTreeWidget(left);
  tree_->setObjectName(QStringLiteral("TreeView1"));
  tree_->setHeaderHidden(true);
  tree_->setColumnCount(1);
  tree_->viewport()->installEventFilter(this);
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
  convert_button_ = new QPushButton(QStringLiteral("変換"), right);
  convert_button_->setObjectName(QStringLiteral("ConvertButton"));
  QFont big = convert_button_->font();
  big.setPixelSize(18);
  big.setBold(true);
  convert_button_->setFont(big);
  convert_button_->setMinimumWidth(88);
  convert_button_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
  connect(convert_button_, &QPushButton::clicked, this, &TForm1::ConvertFiles);
  bar->addWidget(convert_button_, 0, 4, 2, 1);
  bar->setColumnStretch(1, 1);
  right_layout->addLayout(bar);

  list_ = new QTableWidget(0, kFileColumnCount, right);
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
    if (column == kSizeColumn) {
      RepadSizes();
    }
  });
  list_->viewport()->installEventFilter(this);
  right_layout->addWidget(list_, 1);

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
  statusBar()->addPermanentWidget(progress_);
}

void TForm1::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル (&F)"));
  file->addAction(QStringLiteral("検索フォルダの指定 (&S)"), this, &TForm1::ChooseSearchFolder);
  QMenu* types = file->addMenu(QStringLiteral("ファイルの種類 (&T)"));
  const QString type_items[kFileTypeCount] = {QStringLiteral("全てのファイル(*.*) (&0)"),
                                              QStringLiteral("(*.jw?) (&1)"),
                                              QStringLiteral("(*.jww) (&2)"),
                                              QStringLiteral("(*.jws) (&3)"),
                                              QStringLiteral("(*.jwc) (&4)"),
                                              QStringLiteral("(*.jwk) (&5)")};
  for (int index = 0; index < kFileTypeCount; ++index) {
    types->addAction(type_items[index], this, [this, index] { SelectFileType(index); });
  }
  file->addAction(text::kDestinationTitle + QStringLiteral(" (&H)"), this,
                  &TForm1::ChooseDestination);
  file->addSeparator();
  file->addAction(QStringLiteral("終了 (&X)"), this, &TForm1::Exit);

  QMenu* settings = menuBar()->addMenu(QStringLiteral("設定 (&S)"));
  settings->addAction(QStringLiteral("JWW/JWS設定 (&1)"), this, &TForm1::ShowJwwSettings);
  settings->addAction(QStringLiteral("JWC/JWK設定 (&2)"), this, &TForm1::ShowJwcSettings);
  settings->addSeparator();
  settings->addAction(QStringLiteral("現在の設定を保存(&S)..."), this, &TForm1::SaveSettings);
  settings->addAction(QStringLiteral("保存した設定を開く(&O)..."), this, &TForm1::OpenSettings);
}

void TForm1::Start() {
  file_type_->setCurrentIndex(0);
  tree_ready_ = list_ready_ = sort_descending_ = search_interrupted_ = false;
  settings_ = AppSettings{};  // both tables all 0, the built-in layout
  formats_.ClearAll();
  settings_.search_folder = program_folder_;
  // A missing or unreadable ini file leaves every built-in value as it is.
  (void)LoadIniFile(ini_path_, settings_);
  ApplyLayout(settings_.layout);
  int type = settings_.file_type;
  file_type_->setCurrentIndex(type >= 0 && type < kFileTypeCount ? type : -1);
  destination_field_->setText(DisplayText(settings_.destination_folder));
  SetStatus(FromUtf8(batch_text::kNoTree));
}

void TForm1::ApplyLayout(const WindowLayout& layout) {
  move(layout.main_left, layout.main_top);
  resize(layout.main_width, layout.main_height);
  jwc_dialog_->move(layout.jwc_dialog_left, layout.jwc_dialog_top);
  jww_dialog_->move(layout.jww_dialog_left, layout.jww_dialog_top);
  splitter_->setSizes({layout.folder_pane_width, std::max(1, width() - layout.folder_pane_width)});
  for (int column = 0; column < kFileColumnCount; ++column) {
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
  for (int column = 0; column < kFileColumnCount; ++column) {
    layout.column_widths[column] = list_->columnWidth(column);
  }
  return layout;
}

QString TForm1::StatusText() const {
  return status_->text();
}

void TForm1::SetStatus(const QString& text) {
  status_->setText(text);
  status_->repaint();
}

// --- ConversionUi ---

void TForm1::ShowMessage(MessageKind kind, std::string_view text) {
  prompts_.ShowMessage(this, kind, FromUtf8(text));
}

bool TForm1::AskYesNo(std::string_view text) {
  return prompts_.AskYesNo(this, FromUtf8(text));
}

void TForm1::Beep() {
  prompts_.Beep();
}

void TForm1::SetStatus(std::string_view text) {
  SetStatus(FromUtf8(text));
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
  SetStatus(QString());
  auto chosen =
      prompts_.ChooseFolder(this, text::kSearchFolderTitle, DisplayText(settings_.search_folder));
  if (!chosen) {
    return;
  }
  settings_.search_folder = WithSeparator(NativePath(*chosen));
  search_field_->setText(DisplayText(settings_.search_folder));
  BuildFolderTree();
}

void TForm1::ChooseDestination() {
  auto chosen = prompts_.ChooseFolder(this, text::kDestinationTitle,
                                      DisplayText(settings_.destination_folder));
  if (!chosen) {
    return;
  }
  settings_.destination_folder = WithSeparator(NativePath(*chosen));
  destination_field_->setText(DisplayText(settings_.destination_folder));
}

// --- the folder tree ---

void TForm1::BuildFolderTree() {
  SetStatus(text::kSearching);
  tree_->setSortingEnabled(false);
  std::error_code ec;
  if (!fs::is_directory(settings_.search_folder, ec)) {
    prompts_.Beep();
    prompts_.ShowMessage(this, MessageKind::kInformation, text::kDriveNotReady);
    SetStatus(FromUtf8(batch_text::kNoTree));
    return;
  }
  list_ready_ = false;
  ClearList();
  tree_ready_ = false;
  search_interrupted_ = false;
  tree_->setEnabled(false);
  tree_->clear();

  BusyScope busy;
  walk_ = &busy;
  auto* root = new FolderItem(tree_, settings_.search_folder);
  AddSubfolders(settings_.search_folder, root);
  // Children land right after the node being walked, so walking on in tree order reaches the
  // whole hierarchy.
  for (QTreeWidgetItem* node = NextInTreeOrder(root); node != nullptr && !search_interrupted_;
       node = NextInTreeOrder(node)) {
    if (WalkInterrupted()) {
      break;
    }
    AddSubfolders(NodePath(node), node);
  }
  walk_ = nullptr;

  tree_->setEnabled(true);
  SetStatus(search_interrupted_ ? text::kSearchInterrupted : QString());
  if (tree_->topLevelItemCount() > 0) {
    tree_ready_ = true;
    tree_->sortItems(0, Qt::AscendingOrder);
    root->setExpanded(true);
  }
}

void TForm1::AddSubfolders(const std::string& path, QTreeWidgetItem* node) {
  std::error_code ec;
  // A link back up to a folder above would make the walk endless: such a node stays a leaf.
  const QByteArray identity = Bytes(fs::canonical(path, ec).string());
  if (!ec) {
    for (const QTreeWidgetItem* above = node->parent(); above != nullptr; above = above->parent()) {
      if (above->data(0, kIdentityRole).toByteArray() == identity) {
        return;
      }
    }
    node->setData(0, kIdentityRole, identity);
  }
  bool first = true;
  for (fs::directory_iterator it(path, fs::directory_options::skip_permission_denied, ec), end;
       !ec && it != end; it.increment(ec)) {
    if (!first && WalkInterrupted()) {
      return;
    }
    first = false;
    std::string name = it->path().filename().string();
    std::error_code type_ec;
    if (name.empty() || name.front() == '.' || !it->is_directory(type_ec)) {
      continue;  // names starting with "." are hidden
    }
    new FolderItem(node, name);
  }
}

bool TForm1::WalkInterrupted() {
  if (walk_ != nullptr && walk_->EscapePressed()) {
    search_interrupted_ = true;
  }
  return search_interrupted_;
}

std::string TForm1::NodePath(const QTreeWidgetItem* node) const {
  if (node == nullptr) {
    return {};
  }
  if (node->parent() == nullptr) {
    return NativeOf(node);  // the search folder, ending in a separator
  }
  std::string path = NativeOf(node) + kSeparator;
  for (const QTreeWidgetItem* above = node->parent(); above != nullptr; above = above->parent()) {
    path =
        above->parent() == nullptr ? NativeOf(above) + path : NativeOf(above) + kSeparator + path;
  }
  return path;
}

void TForm1::ShowFolder() {
  if (!tree_ready_) {
    prompts_.Beep();
    prompts_.ShowMessage(this, MessageKind::kError, FromUtf8(batch_text::kNoTree));
    SetStatus(FromUtf8(batch_text::kNoTree));
    return;
  }
  if (QTreeWidgetItem* node = tree_->currentItem()) {
    ListFiles(NodePath(node));
  }
}

// --- the file list ---

void TForm1::ClearList() {
  list_->clearContents();
  list_->setRowCount(0);
  listed_folder_.clear();
}

std::string TForm1::Pattern() const {
  int type = file_type_->currentIndex();
  return kPatterns[type >= 0 && type < kFileTypeCount ? type : 0];
}

void TForm1::SelectFileType(int index) {
  file_type_->setCurrentIndex(index);
  RelistSelectedFolder();
}

void TForm1::RelistSelectedFolder() {
  if (tree_ready_ && tree_->currentItem() != nullptr) {
    ListFiles(NodePath(tree_->currentItem()));
  }
}

void TForm1::ListFiles(const std::string& folder) {
  const QString shown_folder = DisplayText(folder);
  SetStatus(QStringLiteral("フォルダ「%1」を検索中(ESC:中断)").arg(shown_folder));
  list_ready_ = false;
  ClearList();
  const int size_width = std::max(3, list_->columnWidth(kSizeColumn) / 8);
  const std::string pattern = Pattern();
  // "*.*" means every file, with or without an extension, as where these folders come from.
  const bool every_file = pattern == "*.*";
  const QString filter = QString::fromLatin1(pattern.c_str());

  BusyScope busy;
  bool interrupted = false;
  int count = 0;
  std::error_code ec;
  for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
       !ec && it != end; it.increment(ec)) {
    if (busy.EscapePressed()) {
      interrupted = true;
      break;
    }
    std::string name = it->path().filename().string();
    std::error_code type_ec;
    if (name.empty() || name.front() == '.' || !it->is_regular_file(type_ec)) {
      continue;  // hidden files, folders and anything that is not a plain file
    }
    // QDir::match ignores case: "*.jwk" lists the DOS-era "DESK.JWK".
    if (!every_file && !QDir::match(filter, DisplayText(name))) {
      continue;
    }
    AddFileRow(*it, name, size_width);
    ++count;
  }
  listed_folder_ = folder;
  if (list_->rowCount() > 0) {
    list_->setCurrentCell(0, 0);
  }
  SetStatus(interrupted ? text::kListInterrupted
                        : QStringLiteral("%1 Files  パス名「%2」").arg(count).arg(shown_folder));
  list_ready_ = count > 0;
}

void TForm1::AddFileRow(const fs::directory_entry& entry, const std::string& name, int size_width) {
  const int row = list_->rowCount();
  list_->insertRow(row);
  std::error_code ec;
  const auto size = static_cast<qint64>(entry.file_size(ec));
  const std::string extension = ToUpperAscii(FileExtension(name));
  const HeaderMemo memo = FileMemo(formats_, entry.path());

  QTableWidgetItem* name_cell = Cell(DisplayText(name), Bytes(ToUpperAscii(name)));
  name_cell->setData(kNativeRole, Bytes(name));
  list_->setItem(row, kNameColumn, name_cell);
  const QString padded = PaddedSize(ec ? 0 : size, size_width);
  QTableWidgetItem* size_cell = Cell(padded, padded.toLatin1());
  size_cell->setData(kNativeRole, ec ? qint64{0} : size);
  size_cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  list_->setItem(row, kSizeColumn, size_cell);
  list_->setItem(row, kTypeColumn, Cell(DisplayText(extension), Bytes(extension)));
  // Memos sort by their Shift-JIS bytes, which keeps kanji in reading order.
  list_->setItem(row, kMemoColumn, Cell(MemoText(memo), Bytes(ToUpperAscii(memo.text))));
  const QString modified = Modified(entry);
  list_->setItem(row, kTimeColumn, Cell(modified, modified.toLatin1()));
  list_->setItem(row, kAttributeColumn, Cell(Attributes(entry), {}));
}

void TForm1::RepadSizes() {
  if (!list_ready_) {
    return;
  }
  const int digit = std::max(3, list_->fontMetrics().horizontalAdvance(QLatin1Char('0')));
  const int width = std::max(3, list_->columnWidth(kSizeColumn) / digit);
  for (int row = 0; row < list_->rowCount(); ++row) {
    QTableWidgetItem* cell = list_->item(row, kSizeColumn);
    if (cell == nullptr) {
      continue;
    }
    // The size is kept as a number: read back from its text, one above 2 GiB would become 0.
    const QString padded = PaddedSize(cell->data(kNativeRole).toLongLong(), width);
    cell->setText(padded);
    cell->setData(kSortKeyRole, padded.toLatin1());
  }
}

void TForm1::SortColumn(int column) {
  if (!list_ready_ || column < 0 || column >= kFileColumnCount) {
    return;
  }
  if (column == kAttributeColumn) {
    RelistSelectedFolder();  // back to the order the file system gave
    return;
  }
  list_->setUpdatesEnabled(false);
  const int rows = list_->rowCount();
  std::vector<std::array<QTableWidgetItem*, kFileColumnCount>> cells(rows);
  for (int row = 0; row < rows; ++row) {
    for (int c = 0; c < kFileColumnCount; ++c) {
      cells[row][c] = list_->takeItem(row, c);
    }
  }
  auto key = [&](int row) { return cells[row][column]->data(kSortKeyRole).toByteArray(); };
  // A selection sort: a later row replaces the best only when strictly better.
  for (int i = 0; i < rows; ++i) {
    int best = i;
    QByteArray best_key = key(i);
    for (int j = i + 1; j < rows; ++j) {
      QByteArray candidate = key(j);
      if (sort_descending_ ? best_key < candidate : candidate < best_key) {
        best = j;
        best_key = std::move(candidate);
      }
    }
    if (best != i) {
      std::swap(cells[i], cells[best]);
    }
  }
  for (int row = 0; row < rows; ++row) {
    for (int c = 0; c < kFileColumnCount; ++c) {
      list_->setItem(row, c, cells[row][c]);
    }
  }
  list_->setUpdatesEnabled(true);
  sort_descending_ = !sort_descending_;
}

void TForm1::OpenFile() {
  if (!tree_ready_) {
    prompts_.Beep();
    prompts_.ShowMessage(this, MessageKind::kError, FromUtf8(batch_text::kNoTree));
    SetStatus(FromUtf8(batch_text::kNoTree));
    return;
  }
  if (!list_ready_) {
    prompts_.Beep();
    SetStatus(text::kNoFolderListed);
    return;
  }
  QTableWidgetItem* cell = list_->item(list_->currentRow(), kNameColumn);
  if (cell == nullptr) {
    return;
  }
  std::string name = cell->data(kNativeRole).toByteArray().toStdString();
  if (!name.empty()) {
    prompts_.OpenWithAssociatedProgram(QFile::decodeName(Bytes(listed_folder_ + name)));
  }
}

// --- settings ---

void TForm1::ShowJwwSettings() {
  jww_dialog_->exec();
}

void TForm1::ShowJwcSettings() {
  jwc_dialog_->exec();
}

void TForm1::SaveSettings() {
  auto chosen = prompts_.ChooseSettingsFile(this, true, text::kSaveSettingsTitle,
                                            DisplayText(settings_.last_settings_file));
  if (!chosen) {
    return;
  }
  settings_.last_settings_file = NativePath(*chosen);
  if (Status saved = SaveSettingsFile(settings_.last_settings_file, settings_.tables);
      !saved.ok()) {
    // The user asked for this file: saying nothing would let them believe it is there.
    prompts_.Beep();
    prompts_.ShowMessage(this, MessageKind::kError,
                         QStringLiteral("設定ファイル「%1」を保存できませんでした。\n%2")
                             .arg(*chosen, FromUtf8(saved.error().Describe())));
  }
}

void TForm1::OpenSettings() {
  auto chosen = prompts_.ChooseSettingsFile(this, false, text::kOpenSettingsTitle,
                                            DisplayText(settings_.last_settings_file));
  if (!chosen) {
    return;
  }
  settings_.last_settings_file = NativePath(*chosen);
  (void)OpenSettingsFile(settings_.last_settings_file, settings_.tables);
}

// --- converting ---

void TForm1::ConvertFiles() {
  BatchRequest request;
  request.tree_ready = tree_ready_;
  request.list_ready = list_ready_;
  // The folder whose files the list shows, even if the tree's selection has moved on since.
  request.source_folder = listed_folder_;
  request.destination_folder = settings_.destination_folder;
  if (list_ready_) {
    QModelIndexList selected = list_->selectionModel()->selectedRows();
    std::vector<int> rows;
    for (const QModelIndex& index : selected) {
      rows.push_back(index.row());
    }
    if (rows.empty() && list_->currentRow() >= 0) {
      rows.push_back(list_->currentRow());
    }
    if (!rows.empty()) {
      auto [first, last] = std::minmax_element(rows.begin(), rows.end());
      for (int row = *first; row <= *last; ++row) {
        request.file_names.push_back(
            list_->item(row, kNameColumn)->data(kNativeRole).toByteArray().toStdString());
      }
    }
  }
  RealFileSystem files;
  BatchConverter converter(formats_, settings_.tables, *this, files);
  BatchResult result = converter.Run(request);
  converting_.reset();
  progress_->hide();

  std::vector<FailedFile> failures;
  for (const FileOutcome& outcome : result.outcomes) {
    if (outcome.kind == OutcomeKind::kFailed) {
      failures.push_back({DisplayText(outcome.source.string()), FromUtf8(outcome.reason)});
    }
  }
  if (!failures.empty()) {
    prompts_.ShowFailures(this, failures);
  }
}

// --- leaving ---

void TForm1::Exit() {
  if (prompts_.AskYesNo(this, text::kExitQuestion)) {
    close();
  }
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (walk_ != nullptr || converting_) {
    // The work runs inside this window's handlers; it cannot be left half done.
    event->ignore();
    return;
  }
  formats_.ClearAll();  // also removes images extracted from drawings
  settings_.layout = CurrentLayout();
  settings_.file_type = file_type_->currentIndex();
  (void)SaveIniFile(ini_path_, settings_);  // a failure here has no one left to tell
  event->accept();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    if (watched == search_field_) {
      ChooseSearchFolder();
      return true;
    }
    if (watched == tree_->viewport()) {
      ShowFolder();
    }
  } else if (event->type() == QEvent::MouseButtonDblClick && watched == list_->viewport()) {
    OpenFile();
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace penmorph
