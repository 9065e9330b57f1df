#include "ui/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/file_rows.h"
#include "app/window_texts.h"
#include "ui/file_rows_model.h"
#include "ui/preview_pane.h"
#include "ui/qt_text.h"
#include "ui/screens.h"
#include "ui/settings_dialogs.h"
#include "ui/ui_fonts.h"

// The window's widgets, menus and layout.

namespace penmorph {

namespace texts = app::texts;

void TForm1::BuildWindow() {
  setWindowTitle(FromUtf8(texts::kWindowTitle));
  setFont(ProportionalUiFont());
  setAcceptDrops(true);

  splitter_ = new QSplitter(Qt::Horizontal, this);
  splitter_->setObjectName(QStringLiteral("Splitter1"));
  splitter_->setChildrenCollapsible(false);
  connect(splitter_, &QSplitter::splitterMoved, this, [this] { model_.LayoutChanged(); });

  auto* left = new QWidget(splitter_);
  auto* left_layout = new QVBoxLayout(left);
  left_layout->setContentsMargins(0, 0, 0, 0);
  left_layout->setSpacing(2);
  search_field_ = new QLineEdit(left);
  search_field_->setObjectName(QStringLiteral("SearchFolderEdit"));
  search_field_->setReadOnly(true);
  search_field_->setToolTip(FromUtf8(texts::kSearchFolderTitle));
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
  // The folders opened are the model's, so that F5's new tree opens them again.
  const auto expanded = [this](QTreeWidgetItem* item, bool open) {
    if (!showing_) {
      model_.SetExpanded(item->data(0, kNodeRole).toULongLong(), open);
    }
  };
  connect(tree_, &QTreeWidget::itemExpanded, this,
          [expanded](QTreeWidgetItem* item) { expanded(item, true); });
  connect(tree_, &QTreeWidget::itemCollapsed, this,
          [expanded](QTreeWidgetItem* item) { expanded(item, false); });
  left_layout->addWidget(tree_, 1);

  auto* right = new QWidget(splitter_);
  auto* right_layout = new QVBoxLayout(right);
  right_layout->setContentsMargins(4, 0, 0, 0);
  right_layout->setSpacing(4);
  right_layout->addWidget(BuildCommandBar(right));
  // The list with its run bar above, the selected file's inventory and preview below.
  auto* list_and_preview = new QSplitter(Qt::Vertical, right);
  list_and_preview->setObjectName(QStringLiteral("PreviewSplitter"));
  list_and_preview->setChildrenCollapsible(false);
  list_and_preview->addWidget(BuildListPart(list_and_preview));
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
  selection_text_ = new QLabel(this);
  selection_text_->setObjectName(QStringLiteral("SelectionText"));
  statusBar()->addPermanentWidget(selection_text_);
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

QWidget* TForm1::BuildCommandBar(QWidget* parent) {
  auto* bar_widget = new QWidget(parent);
  auto* bar = new QGridLayout(bar_widget);
  bar->setContentsMargins(0, 0, 0, 0);
  bar->setHorizontalSpacing(6);
  bar->setVerticalSpacing(4);
  auto button = [&](std::string_view caption, const char* name, auto slot) {
    auto* made = new QPushButton(FromUtf8(caption), bar_widget);
    made->setObjectName(QString::fromLatin1(name));
    connect(made, &QPushButton::clicked, this, slot);
    return made;
  };
  bar->addWidget(new QLabel(FromUtf8(texts::kFileTypeLabel), bar_widget), 0, 0);
  file_type_ = new QComboBox(bar_widget);
  file_type_->setObjectName(QStringLiteral("FileTypeComboBox"));
  for (const app::FileType& type : app::FileTypes(formats_)) {
    file_type_->addItem(FromUtf8(type.label));
  }
  connect(file_type_, &QComboBox::activated, this, &TForm1::SelectFileType);
  bar->addWidget(file_type_, 0, 1);
  bar->addWidget(button(texts::kJwwSettingsButton, "JwwSettingsButton", &TForm1::ShowJwwSettings),
                 0, 2);
  bar->addWidget(button(texts::kJwcSettingsButton, "JwcSettingsButton", &TForm1::ShowJwcSettings),
                 0, 3);
  bar->addWidget(new QLabel(FromUtf8(texts::kDestinationLabel), bar_widget), 1, 0);
  destination_field_ = new QLineEdit(bar_widget);
  destination_field_->setObjectName(QStringLiteral("DestinationEdit"));
  destination_field_->setReadOnly(true);
  bar->addWidget(destination_field_, 1, 1);
  bar->addWidget(button(texts::kBrowseButton, "BrowseButton", &TForm1::ChooseDestination), 1, 2);
  // Under "JWC/JWK設定": a column of its own would widen the window's smallest size.
  bar->addWidget(
      button(texts::kLayerSettingsButton, "LayerSettingsButton", &TForm1::ShowLayerSettings), 1, 3);
  QPushButton* convert = button(texts::kConvertButton, "ConvertButton", &TForm1::ConvertFiles);
  QFont big = convert->font();
  big.setPixelSize(18);
  big.setBold(true);
  convert->setFont(big);
  convert->setMinimumWidth(88);
  convert->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
  bar->addWidget(convert, 0, 4, 2, 1);
  bar->setColumnStretch(1, 1);
  return bar_widget;
}

QWidget* TForm1::BuildListPart(QWidget* parent) {
  auto* part = new QWidget(parent);
  auto* layout = new QVBoxLayout(part);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  banner_ = new QLabel(part);
  banner_->setObjectName(QStringLiteral("ListBanner"));
  banner_->setStyleSheet(QStringLiteral("QLabel { background: #fff4c2; padding: 3px; }"));
  banner_->hide();
  layout->addWidget(banner_);

  list_ = new QTableView(part);
  list_->setObjectName(QStringLiteral("StringGrid1"));
  list_->setFont(FixedUiFont());
  rows_ = new FileRowsModel(model_.browser(), list_);
  list_->setModel(rows_);
  list_->verticalHeader()->hide();
  list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 6);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  // Ctrl+click adds or removes one file, Shift+click and Shift+arrows take a range.
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setTabKeyNavigation(false);  // Tab goes on to the next control
  list_->setWordWrap(false);
  list_->setShowGrid(true);
  // The selection stays as visible when the list loses the focus.
  QPalette palette = list_->palette();
  for (auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
    palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
  }
  list_->setPalette(palette);
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
    if (column != app::kNameColumn) {
      FillNameColumn();  // the names take what another column gave up or took
    }
  });
  connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (!showing_) {
      TakeSelection();
    }
  });
  list_->viewport()->installEventFilter(this);
  layout->addWidget(list_, 1);

  auto* run_bar = new QHBoxLayout;
  subfolders_ = new QCheckBox(FromUtf8(texts::kSubfoldersCaption), part);
  subfolders_->setObjectName(QStringLiteral("SubfoldersCheckBox"));
  connect(subfolders_, &QCheckBox::toggled, this, [this](bool on) { model_.SetWholeTree(on); });
  run_bar->addWidget(subfolders_);
  run_bar->addStretch(1);
  stop_ = new QPushButton(FromUtf8(texts::kStopCaption), part);
  stop_->setObjectName(QStringLiteral("StopButton"));
  stop_->setEnabled(false);
  connect(stop_, &QPushButton::clicked, this, &TForm1::StopConversion);
  run_bar->addWidget(stop_);
  layout->addLayout(run_bar);
  return part;
}

void TForm1::BuildMenus() {
  for (const app::Menu& menu : app::MainMenus(formats_)) {
    QMenu* bar_menu = menuBar()->addMenu(FromUtf8(menu.caption));
    auto add = [this](QMenu* into, const app::MenuItem& item, auto& self) -> void {
      if (item.caption.empty()) {
        into->addSeparator();
      } else if (!item.submenu.empty()) {
        QMenu* sub = into->addMenu(FromUtf8(item.caption));
        for (const app::MenuItem& child : item.submenu) {
          self(sub, child, self);
        }
      } else {
        QAction* action = into->addAction(FromUtf8(item.caption), this,
                                          [this, item] { model_.Do(item.command, item.argument); });
        action->setShortcut(QKeySequence(FromUtf8(item.shortcut)));
        action->setCheckable(item.checkable);
        if (item.command == app::Command::kReopenSearchFolder) {
          reopen_ = action;
        }
      }
    };
    for (const app::MenuItem& item : menu.items) {
      add(bar_menu, item, add);
    }
  }
}

WindowLayout TForm1::FirstLayout() const {
  app::ColumnMeasures columns;
  const QFontMetrics head(list_->horizontalHeader()->font());
  const QFontMetrics cell(list_->font());
  for (int column = 0; column < app::kFileColumnCount; ++column) {
    columns.head_pixels[column] = head.horizontalAdvance(FromUtf8(texts::kColumnHeads[column]));
    columns.typical_pixels[column] = cell.horizontalAdvance(FromUtf8(texts::kTypicalRow[column]));
  }
  const QRect area = screen()->availableGeometry();
  return app::FirstStartLayout({area.x(), area.y(), area.width(), area.height()}, columns);
}

void TForm1::ApplyLayout(const WindowLayout& layout) {
  const QRect window =
      FitOnScreens(QRect(layout.main_left, layout.main_top, layout.main_width, layout.main_height));
  move(window.topLeft());
  resize(window.size());
  if (layout.maximized != 0) {
    setWindowState(windowState() | Qt::WindowMaximized);
  }
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
  WindowLayout layout = model_.settings().layout;
  if (isMaximized()) {
    layout.maximized = 1;  // the frame kept is the one to come back to
  } else {
    layout.maximized = 0;
    layout.main_left = pos().x();
    layout.main_top = pos().y();
    layout.main_width = width();
    layout.main_height = height();
  }
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

}  // namespace penmorph
