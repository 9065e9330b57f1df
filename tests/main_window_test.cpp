// The main window driven as a user drives it: folder pickers answered by fake prompts, clicks on
// the tree, the list's header and the buttons, with fake formats standing in for the jw_cad ones.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QSplitter>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <thread>

#include "convert/batch_converter.h"
#include "fakes.h"
#include "settings/ini_document.h"
#include "settings/settings_store.h"
#include "test_support.h"
#include "ui/failure_report.h"
#include "ui/main_window.h"
#include "ui/settings_dialogs.h"
#include "ui/single_instance.h"
#include "ui/translation.h"
#include "ui_fakes.h"

namespace fs = std::filesystem;
using namespace penmorph;
using namespace penmorph::app;
using penmorph::testing::FakeDrawing;
using penmorph::testing::FakeFormat;
using penmorph::testing::FakePrompts;
using penmorph::testing::ReadBytes;
using penmorph::testing::ScratchFolder;
using penmorph::testing::WriteBytes;

namespace {

const QString kNoTree = QStringLiteral("検索フォルダを指定して下さい。");
// "平面図" and "DOS図面" in Shift-JIS, as the drawings store their memos.
const std::string kPlanMemo = "\x95\xbd\x96\xca\x90\x7d";
const std::string kDosMemo = "DOS\x90\x7d\x96\xca";

QString Q(const fs::path& path) {
  return QString::fromStdString(path.string());
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<ScratchFolder> scratch_;
  penmorph::testing::CallLog log_;
  std::map<std::string, FakeFormat*> formats_;
  FakePrompts prompts_;
  std::unique_ptr<TForm1> window_;

  fs::path Folder(const std::string& name) const { return scratch_->path() / name; }
  fs::path IniPath() const { return Folder("prog") / "penmorph.ini"; }
  // The folder's path as the window keeps it: ending in a separator.
  QString Shown(const fs::path& folder) const { return Q(folder) + "/"; }

  // Without `first_start` an empty ini is there, so that the window has its built-in layout.
  TForm1& Open(bool first_start = false) {
    if (!first_start && !fs::exists(IniPath())) {
      WriteBytes(IniPath(), "");
    }
    FormatRegistry registry;
    formats_.clear();
    for (const char* name : {"JWW", "JWS", "JWC", "JWK"}) {
      auto format = std::make_unique<FakeFormat>(name, log_);
      formats_[name] = format.get();
      registry.Add(std::move(format));
    }
    MainWindowSetup setup;
    setup.program_folder = Folder("prog").string();
    setup.ini_path = IniPath();
    setup.formats = std::move(registry);
    setup.prompts = &prompts_;
    window_ = std::make_unique<TForm1>(std::move(setup));
    window_->show();
    if (!QTest::qWaitForWindowExposed(window_.get())) {
      qWarning("window not exposed");
    }
    return *window_;
  }

  template <class T>
  T* Find(const char* name) const {
    return window_->findChild<T*>(QString::fromLatin1(name));
  }
  QTreeWidget* Tree() const { return Find<QTreeWidget>("TreeView1"); }
  QTableView* List() const { return Find<QTableView>("StringGrid1"); }
  QString CellText(int row, int column) const {
    return List()->model()->index(row, column).data().toString();
  }
  QRect CellRect(int row, int column) const {
    return List()->visualRect(List()->model()->index(row, column));
  }

  QAction* Action(const QString& text) const {
    for (QAction* action : window_->findChildren<QAction*>()) {
      if (action->text() == text) {
        return action;
      }
    }
    qFatal("no menu item %s", qPrintable(text));
  }

  void ChooseSearchFolder(const fs::path& folder) {
    prompts_.folders.push_back(Q(folder));
    Action(QStringLiteral("検索フォルダの指定 (&S)"))->trigger();
  }
  void ChooseDestination(const fs::path& folder) {
    prompts_.folders.push_back(Q(folder));
    QTest::mouseClick(Find<QPushButton>("BrowseButton"), Qt::LeftButton);
  }

  QTreeWidgetItem* Node(const QStringList& names) const {
    QTreeWidgetItem* node = Tree()->topLevelItem(0);
    for (const QString& name : names) {
      QTreeWidgetItem* next = nullptr;
      for (int i = 0; node != nullptr && i < node->childCount(); ++i) {
        if (node->child(i)->text(0) == name) {
          next = node->child(i);
        }
      }
      node = next;
    }
    return node;
  }
  void ClickNode(QTreeWidgetItem* node) {
    for (QTreeWidgetItem* above = node->parent(); above != nullptr; above = above->parent()) {
      above->setExpanded(true);
    }
    Tree()->scrollToItem(node);
    QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {},
                      Tree()->visualItemRect(node).center());
  }
  void PressHeader(int column) {
    QHeaderView* header = List()->horizontalHeader();
    QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
              header->height() / 2);
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, at);
  }
  // Presses "変換" and, when that started a run, waits for the window to show its end: the run
  // goes on threads of its own.
  void ClickConvert() {
    QSignalSpy finished(window_.get(), &TForm1::ConversionFinished);
    QTest::mouseClick(Find<QPushButton>("ConvertButton"), Qt::LeftButton);
    if (finished.isEmpty() && Find<QPushButton>("StopButton")->isEnabled()) {
      QVERIFY(finished.wait(60000));
    }
  }

  QStringList Column(int column) const {
    QStringList texts;
    for (int row = 0; row < List()->model()->rowCount(); ++row) {
      texts << CellText(row, column);
    }
    return texts;
  }
  QString Cell(const QString& name, int column) const {
    for (int row = 0; row < List()->model()->rowCount(); ++row) {
      if (CellText(row, 0) == name) {
        return CellText(row, column);
      }
    }
    return QStringLiteral("<not listed>");
  }
  void SelectRows(int first, int last) {
    QAbstractItemModel* rows = List()->model();
    List()->selectionModel()->select(
        QItemSelection(rows->index(first, 0), rows->index(last, kFileColumnCount - 1)),
        QItemSelectionModel::ClearAndSelect);
  }

  // A folder with drawings of every kind, plus what must not be listed.
  fs::path MakeDrawingsFolder() {
    fs::path folder = Folder("drawings");
    fs::create_directories(folder / "sub");
    WriteBytes(folder / "plan.jww", FakeDrawing("JWW", kPlanMemo));
    WriteBytes(folder / "old.jwc", FakeDrawing("JWC", kDosMemo));
    WriteBytes(folder / "DESK.JWK", FakeDrawing("JWK", "desk"));
    WriteBytes(folder / "chair.jws", FakeDrawing("JWS", "symbol"));
    WriteBytes(folder / "plan.bak", FakeDrawing("JWC", "backup"));
    WriteBytes(folder / "readme.txt", std::string(1234, 'x'));
    WriteBytes(folder / ".hidden.jww", FakeDrawing("JWW", "hidden"));
    return folder;
  }

 private slots:
  void init() {
    scratch_ = std::make_unique<ScratchFolder>();
    fs::create_directories(Folder("prog"));
    prompts_ = FakePrompts();
    log_.clear();
  }
  void cleanup() {
    if (window_) {
      window_->close();
      window_.reset();
    }
    scratch_.reset();
  }

  void startsWithoutIniAtBuiltInValues() {
    // The first start takes most of the screen, centred, with columns wide enough to read.
    TForm1& first = Open(true);
    const QRect area = first.screen()->availableGeometry();
    QVERIFY(first.width() >= area.width() * 3 / 4 && first.width() <= area.width());
    QVERIFY(std::abs(first.geometry().center().x() - area.center().x()) < 40);
    QVERIFY(List()->columnWidth(kNameColumn) >
            List()->fontMetrics().horizontalAdvance(QStringLiteral("jw_cad__ritsumen_A-shita")));
    window_.reset();
    fs::remove(IniPath());

    TForm1& window = Open();
    QCOMPARE(window.pos(), QPoint(190, 109));
    QCOMPARE(window.size(), QSize(696, 478));
    QCOMPARE(window.windowTitle(), QStringLiteral("Penmorph Ver.1.03"));
    QCOMPARE(window.jwc_dialog()->pos(), QPoint(192, 107));
    QCOMPARE(window.jww_dialog()->pos(), QPoint(192, 107));
    QCOMPARE(Find<QSplitter>("Splitter1")->sizes().value(0), 160);
    // The names take the room the other columns leave.
    for (int column = 1; column < kFileColumnCount; ++column) {
      QCOMPARE(List()->columnWidth(column), 64);
    }
    QCOMPARE(List()->columnWidth(kNameColumn), List()->viewport()->width() - 5 * 64);
    QCOMPARE(Find<QComboBox>("FileTypeComboBox")->currentText(),
             QStringLiteral("全てのファイル(*.*)"));
    QCOMPARE(Find<QLineEdit>("DestinationEdit")->text(), QString());
    QCOMPARE(Find<QLineEdit>("SearchFolderEdit")->text(), QString());
    QCOMPARE(window.StatusText(), kNoTree);
    QCOMPARE(window.search_folder(), Shown(Folder("prog")).toStdString());
    QStringList headers;
    for (int column = 0; column < kFileColumnCount; ++column) {
      headers << List()->model()->headerData(column, Qt::Horizontal).toString();
    }
    QCOMPARE(headers, (QStringList{"ファイル名", "Bytes", "種類", "図面メモ", "更新日時", "属性"}));

    ClickConvert();
    QCOMPARE(prompts_.Take(), (QStringList{"beep", "error:" + kNoTree}));
    QCOMPARE(window.StatusText(), kNoTree);
    // Clicking the empty tree or double-clicking the empty list says the same.
    QTest::mouseClick(Tree()->viewport(), Qt::LeftButton);
    QCOMPARE(prompts_.Take(), (QStringList{"beep", "error:" + kNoTree}));
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton);
    QCOMPARE(prompts_.Take(), (QStringList{"beep", "error:" + kNoTree}));
  }

  void listsFilesWithMemosSizesTypesAndAttributes() {
    fs::path folder = MakeDrawingsFolder();
    WriteBytes(folder / "locked.jww", FakeDrawing("JWW", "locked"));
    fs::permissions(folder / "locked.jww", fs::perms::owner_read | fs::perms::group_read);
    WriteBytes(folder / "wide.jww", FakeDrawing("JWW", "配置図"));
    TForm1& window = Open();
    formats_["JWW"]->utf8_memo = true;  // a JWW memo stored as a wide string arrives as UTF-8
    ChooseSearchFolder(folder);
    QCOMPARE(Find<QLineEdit>("SearchFolderEdit")->text(), Shown(folder));
    ClickNode(Tree()->topLevelItem(0));

    QStringList names = Column(kNameColumn);
    names.sort();
    QCOMPARE(names, (QStringList{"DESK.JWK", "chair.jws", "locked.jww", "old.jwc", "plan.bak",
                                 "plan.jww", "readme.txt", "wide.jww"}));
    QCOMPARE(window.StatusText(), QStringLiteral("8 Files  パス名「%1」").arg(Shown(folder)));
    QVERIFY(window.list_ready());

    QCOMPARE(Cell("wide.jww", kMemoColumn), QStringLiteral("配置図"));
    formats_["JWW"]->utf8_memo = false;
    ClickNode(Tree()->topLevelItem(0));
    QCOMPARE(Cell("plan.jww", kMemoColumn), QStringLiteral("平面図"));
    QCOMPARE(Cell("old.jwc", kMemoColumn), QStringLiteral("DOS図面"));
    QCOMPARE(Cell("DESK.JWK", kMemoColumn), QStringLiteral("desk"));
    QCOMPARE(Cell("plan.bak", kMemoColumn), QStringLiteral("backup"));
    QCOMPARE(Cell("chair.jws", kMemoColumn), QString());
    QCOMPARE(Cell("readme.txt", kMemoColumn), QString());

    // A 64-pixel "Bytes" column pads to 8 characters.
    QCOMPARE(Cell("readme.txt", kSizeColumn), QStringLiteral("    1234"));
    QCOMPARE(Cell("plan.jww", kTypeColumn), QStringLiteral(".JWW"));
    QCOMPARE(Cell("readme.txt", kTypeColumn), QStringLiteral(".TXT"));
    QCOMPARE(Cell("locked.jww", kAttributeColumn), QStringLiteral("R "));
    QCOMPARE(Cell("plan.jww", kAttributeColumn), QString());
    auto written = fs::last_write_time(folder / "readme.txt");
    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                       std::chrono::file_clock::to_sys(written).time_since_epoch())
                       .count();
    QCOMPARE(Cell("readme.txt", kTimeColumn),
             QDateTime::fromSecsSinceEpoch(seconds).toString("yyyy/MM/dd hh:mm:ss"));
    QVERIFY(QRegularExpression("^\\d{4}/\\d{2}/\\d{2} \\d{2}:\\d{2}:\\d{2}$")
                .match(Cell("plan.jww", kTimeColumn))
                .hasMatch());
  }

  void fileTypesFilterWithoutRegardToCase() {
    fs::path folder = MakeDrawingsFolder();
    WriteBytes(folder / "small.jwk", FakeDrawing("JWK", "small"));
    WriteBytes(folder / "noextension", "x");
    TForm1& window = Open();
    ChooseSearchFolder(folder);
    ClickNode(Tree()->topLevelItem(0));
    QVERIFY(Column(kNameColumn).contains("noextension"));  // "*.*" is every file

    Action(QStringLiteral("(*.jwk) (&5)"))->trigger();
    QStringList names = Column(kNameColumn);
    names.sort();
    QCOMPARE(names, (QStringList{"DESK.JWK", "small.jwk"}));
    QCOMPARE(Find<QComboBox>("FileTypeComboBox")->currentIndex(), 5);

    // Up from "*.JWK" in the drop-down list: "*.JWC".
    auto* types = Find<QComboBox>("FileTypeComboBox");
    types->setFocus();
    QTest::keyClick(types, Qt::Key_Up);
    QCOMPARE(types->currentText(), QStringLiteral("*.JWC"));
    QCOMPARE(Column(kNameColumn), QStringList{"old.jwc"});

    Action(QStringLiteral("(*.jw?) (&1)"))->trigger();
    QCOMPARE(Column(kNameColumn).size(), 5);  // jww, jwc, JWK, jws, jwk

    fs::path empty = folder / "sub";
    ClickNode(Node({"sub"}));
    QCOMPARE(window.StatusText(), QStringLiteral("0 Files  パス名「%1」").arg(Shown(empty)));
    QVERIFY(!window.list_ready());
    ChooseDestination(Folder("out"));
    prompts_.Take();
    ClickConvert();
    QCOMPARE(prompts_.Take(),
             (QStringList{"beep", QStringLiteral("error:ファイル一覧が表示されていません。")}));
  }

  void sortsAlternatelyAndAttributesRestoresTheListing() {
    fs::path folder = Folder("sort");
    fs::create_directories(folder);
    for (const char* name : {"b.jww", "C.jww", "a.jww", "d.jww"}) {
      WriteBytes(folder / name, name);
    }
    TForm1& window = Open();
    ChooseSearchFolder(folder);
    ClickNode(Tree()->topLevelItem(0));
    const QStringList listing = Column(kNameColumn);
    const QStringList sizes = Column(kSizeColumn);

    PressHeader(kNameColumn);
    QCOMPARE(Column(kNameColumn), (QStringList{"a.jww", "b.jww", "C.jww", "d.jww"}));
    PressHeader(kNameColumn);
    QCOMPARE(Column(kNameColumn), (QStringList{"d.jww", "C.jww", "b.jww", "a.jww"}));
    // Whole rows move: each name keeps its own size.
    QCOMPARE(Cell("C.jww", kSizeColumn), sizes[listing.indexOf("C.jww")]);
    // The direction alternates whichever column is pressed: ascending again here.
    PressHeader(kTypeColumn);
    QCOMPARE(Column(kTypeColumn), QStringList(4, ".JWW"));
    PressHeader(kAttributeColumn);
    QCOMPARE(Column(kNameColumn), listing);
    PressHeader(kNameColumn);  // descending: "属性" left the direction alone
    QCOMPARE(Column(kNameColumn), (QStringList{"d.jww", "C.jww", "b.jww", "a.jww"}));
    Q_UNUSED(window);
  }

  void widerBytesColumnRepadsEverySize() {
    fs::path folder = Folder("sizes");
    fs::create_directories(folder);
    WriteBytes(folder / "a.jww", std::string(1234, 'x'));
    // Sparse: three thousand million bytes take no room on disk.
    {
      std::FILE* big = std::fopen((folder / "big.dat").c_str(), "wb");
      std::fclose(big);
      fs::resize_file(folder / "big.dat", 3'000'000'000ULL);
    }
    TForm1& window = Open();
    ChooseSearchFolder(folder);
    ClickNode(Tree()->topLevelItem(0));
    QCOMPARE(Cell("a.jww", kSizeColumn), QStringLiteral("    1234"));
    List()->setColumnWidth(kSizeColumn, 200);
    const int digit = List()->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const int width = 200 / std::max(3, digit);
    QCOMPARE(Cell("a.jww", kSizeColumn), QStringLiteral("1234").rightJustified(width, ' '));
    QCOMPARE(Cell("big.dat", kSizeColumn).trimmed(), QStringLiteral("3000000000"));
    Q_UNUSED(window);
  }

  void folderTreeHoldsEveryVisibleFolderSorted() {
    fs::path root = Folder("tree");
    fs::create_directories(root / "beta" / "deep" / "deeper");
    fs::create_directories(root / "Alpha" / "one");
    fs::create_directories(root / "gamma");
    fs::create_directories(root / ".git" / "objects");
    fs::create_directory_symlink(root, root / "beta" / "loop");  // a link back up
    WriteBytes(root / "beta" / "deep" / "deeper" / "x.jww", "x");
    TForm1& window = Open();
    ChooseSearchFolder(root);
    QVERIFY(window.tree_ready());
    QCOMPARE(window.StatusText(), QString());
    QTreeWidgetItem* top = Tree()->topLevelItem(0);
    QCOMPARE(top->text(0), Shown(root));
    QStringList first_level;
    for (int i = 0; i < top->childCount(); ++i) {
      first_level << top->child(i)->text(0);
    }
    QCOMPARE(first_level, (QStringList{"Alpha", "beta", "gamma"}));
    QVERIFY(Node({"beta", "deep", "deeper"}) != nullptr);
    QCOMPARE(Node({"beta", "loop"})->childCount(), 0);
    QCOMPARE(window.NodePath(Node({"beta", "deep", "deeper"})).string(),
             (root / "beta" / "deep" / "deeper").string() + "/");
    ClickNode(Node({"beta", "deep", "deeper"}));
    QCOMPARE(Column(kNameColumn), QStringList{"x.jww"});

    // A search folder that has gone keeps the tree and the list as they were.
    prompts_.Take();
    fs::path gone = Folder("gone");
    fs::create_directories(gone);
    prompts_.folders.push_back(Q(gone));
    fs::remove(gone);
    Action(QStringLiteral("検索フォルダの指定 (&S)"))->trigger();
    QCOMPARE(prompts_.Take(),
             (QStringList{"folder:検索フォルダの指定|" + Shown(root), "beep",
                          QStringLiteral("information:検索フォルダのディスクドライブの準備が出来て"
                                         "いません。")}));
    QCOMPARE(window.StatusText(), kNoTree);
    QVERIFY(Node({"beta", "deep", "deeper"}) != nullptr);
    QCOMPARE(Column(kNameColumn), QStringList{"x.jww"});
  }

  void escapeStopsTheWalkAndLeavesAUsableTree() {
    fs::path root = Folder("wide");
    for (int i = 0; i < 30; ++i) {
      fs::create_directories(root / std::string("f").append(std::to_string(i)) / "inner");
    }
    WriteBytes(root / "top.jww", "x");
    TForm1& window = Open();
    QCoreApplication::postEvent(&window,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    ChooseSearchFolder(root);
    QCOMPARE(window.StatusText(), QStringLiteral("フォルダ検索を中断しました。"));
    QVERIFY(window.tree_ready());
    QVERIFY(Tree()->topLevelItem(0)->childCount() < 30);
    ClickNode(Tree()->topLevelItem(0));
    QCOMPARE(Column(kNameColumn), QStringList{"top.jww"});

    // Escape during a listing stops it too.
    QCoreApplication::postEvent(&window,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    ClickNode(Tree()->topLevelItem(0));
    QCOMPARE(window.StatusText(), QStringLiteral("検索を中断しました。"));
    QVERIFY(!window.list_ready());
  }

  void workInProgressTakesNoClicksAndCannotBeClosed() {
    fs::path folder = Folder("busy");
    fs::create_directories(folder / "sub");
    WriteBytes(folder / "a.jww", FakeDrawing("JWW", "a"));
    WriteBytes(folder / "b.jww", FakeDrawing("JWW", "b"));
    fs::path out = Folder("out");
    fs::create_directories(out);
    TForm1& window = Open();
    auto* convert = Find<QPushButton>("ConvertButton");
    auto post_click = [&] {
      const QPointF at = QRectF(convert->rect()).center();
      const QPointF global = convert->mapToGlobal(at);
      QCoreApplication::postEvent(convert, new QMouseEvent(QEvent::MouseButtonPress, at, global,
                                                           Qt::LeftButton, Qt::LeftButton, {}));
      QCoreApplication::postEvent(
          convert, new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, {}, {}));
    };
    // Closing in the middle of the folder walk is refused.
    QCoreApplication::postEvent(&window, new QCloseEvent);
    post_click();
    ChooseSearchFolder(folder);
    QVERIFY(window.isVisible());
    QCOMPARE(prompts_.Take(), QStringList{"folder:検索フォルダの指定|" + QDir::homePath()});

    ChooseDestination(out);
    ClickNode(Tree()->topLevelItem(0));
    SelectRows(0, 1);
    prompts_.Take();
    post_click();  // a second click while converting would start the run again inside it
    ClickConvert();
    QCOMPARE(prompts_.Take(),
             QStringList{QStringLiteral(
                 "ask:「busy」の 2 個のファイルを「out」に変換します。変換表がすべて 0 "
                 "のため、図面の内容は変わりません。よろしいですか？")});
    QVERIFY(fs::exists(out / "a.jww") && fs::exists(out / "b.jww"));
    QVERIFY(!fs::exists(out / "a.BAK"));
  }

  void conversionChecksComeInOrder() {
    fs::path folder = MakeDrawingsFolder();
    TForm1& window = Open();
    ChooseSearchFolder(folder);
    ClickConvert();
    QCOMPARE(prompts_.Take().mid(1),
             (QStringList{"beep", QStringLiteral("error:ファイル一覧が表示されていません。")}));
    ClickNode(Tree()->topLevelItem(0));
    ClickConvert();  // a listed folder has nothing selected
    QCOMPARE(
        prompts_.Take(),
        (QStringList{"beep", QStringLiteral("warning:変換するファイルが選択されていません。")}));
    SelectRows(Column(kNameColumn).indexOf("plan.jww"), Column(kNameColumn).indexOf("plan.jww"));
    ClickConvert();
    QCOMPARE(prompts_.Take(),
             (QStringList{"beep", QStringLiteral("warning:保存先フォルダを指定して下さい。")}));

    fs::path out = Folder("out");
    fs::create_directories(out);
    ChooseDestination(out);
    QCOMPARE(Find<QLineEdit>("DestinationEdit")->text(), Shown(out));
    QCOMPARE(prompts_.Take(), QStringList{"folder:保存先フォルダの指定|" + QDir::homePath()});
    fs::remove(out);
    ClickConvert();
    QCOMPARE(prompts_.Take(),
             (QStringList{"beep", QStringLiteral("warning:指定された保存先フォルダが存在しませ"
                                                 "ん。再指定して下さい。")}));
    ChooseDestination(folder);
    prompts_.Take();
    ClickConvert();
    QCOMPARE(prompts_.Take(),
             (QStringList{"beep", QStringLiteral("warning:保存先フォルダとファイルのフォルダ"
                                                 "が同じになっています。")}));

    fs::create_directories(out);
    ChooseDestination(out);
    prompts_.Take();
    prompts_.answer = false;
    ClickConvert();
    QCOMPARE(prompts_.Take(),
             QStringList{QStringLiteral(
                 "ask:「drawings」の 1 個のファイルを「out」に変換します。変換表がすべて 0 "
                 "のため、図面の内容は変わりません。よろしいですか？")});
    QCOMPARE(window.StatusText(), QStringLiteral("変換作業をキャンセルしました。"));
    QVERIFY(fs::is_empty(out));
  }

  void convertsTheSelectedRowsAndReportsFailures() {
    fs::path folder = Folder("batch");
    fs::create_directories(folder);
    WriteBytes(folder / "a.jww", FakeDrawing("JWW", "first"));
    WriteBytes(folder / "b.txt", "text");
    WriteBytes(folder / "c.jwc", FakeDrawing("JWC", "broken"));
    WriteBytes(folder / "d.jww", FakeDrawing("JWW", "not selected"));
    fs::path out = Folder("out");
    fs::create_directories(out);
    TForm1& window = Open();
    formats_["JWC"]->fail_read = true;
    ChooseSearchFolder(folder);
    ChooseDestination(out);
    ClickNode(Tree()->topLevelItem(0));
    PressHeader(kNameColumn);  // a.jww, b.txt, c.jwc, d.jww
    SelectRows(0, 2);
    prompts_.Take();
    ClickConvert();
    QCOMPARE(prompts_.Take(),
             (QStringList{QStringLiteral("ask:「batch」の 2 個のファイルを「out」に変換します。"
                                         "ほかの 1 個は jw_cad の図面ではないため飛ばします。"
                                         "変換表がすべて 0 のため、図面の内容は変わりません。"
                                         "よろしいですか？"),
                          "report:2"}));
    QCOMPARE(window.StatusText(),
             QStringLiteral("変換作業を完了しました。1 個を変換、1 個は変換できませんでした、1 "
                            "個は図面ではないため飛ばしました。"));
    QCOMPARE(ReadBytes(out / "a.jww"), FakeDrawing("JWW", "converted(1):first"));
    QVERIFY(!fs::exists(out / "b.txt"));
    QVERIFY(!fs::exists(out / "c.jwc"));
    QVERIFY(!fs::exists(out / "d.jww"));
    QCOMPARE(prompts_.report.size(), std::size_t{2});  // the failure, then b.txt passed over
    QCOMPARE(prompts_.report[0].file, folder / "c.jwc");
    QCOMPARE(QString::fromStdString(prompts_.report[0].reason),
             QStringLiteral("読み込めません：ファイルの内容が形式に合いません（17 バイト目）"));
    QVERIFY(Find<QProgressBar>("ConversionProgress")->isHidden());

    // The report window shows what it is given.
    app::RunSummary summary;
    summary.failures = prompts_.report;
    FailureReport report(summary, prompts_);
    QVERIFY(report.text()->toPlainText().contains(Q(folder / "c.jwc")));
    QVERIFY(
        report.text()->toPlainText().contains(QString::fromStdString(prompts_.report[0].reason)));

    // Without a failure the report names what was passed over and what was kept.
    formats_["JWC"]->fail_read = false;
    ClickConvert();
    QCOMPARE(prompts_.Take(),
             (QStringList{QStringLiteral("ask:「batch」の 2 個のファイルを「out」に変換します。"
                                         "ほかの 1 個は jw_cad の図面ではないため飛ばします。"
                                         "同じ名前のファイルが 1 個あり、.BAK として残します。"
                                         "変換表がすべて 0 のため、図面の内容は変わりません。"
                                         "よろしいですか？"),
                          "report:2"}));  // b.txt passed over, a.jww's backup
    QVERIFY(fs::exists(out / "a.BAK"));
  }

  // "基準チェック" from menu 設定 checks the selected rows off the window's thread and hands
  // the model's report to the report window, which shows exactly that text; nothing is written.
  void theCheckFromTheMenuEndsInItsReportWindow() {
    fs::path folder = Folder("batch");
    fs::create_directories(folder);
    WriteBytes(folder / "a.jww", FakeDrawing("JWW", "first"));
    WriteBytes(folder / "b.jww", FakeDrawing("JWW", "not selected"));
    TForm1& window = Open();
    ChooseSearchFolder(folder);
    ClickNode(Tree()->topLevelItem(0));
    PressHeader(kNameColumn);
    SelectRows(0, 0);
    prompts_.Take();
    QSignalSpy finished(&window, &TForm1::ConversionFinished);
    Action(QStringLiteral("基準チェック (&C)"))->trigger();
    QVERIFY(!finished.isEmpty() || finished.wait(60000));
    QCOMPARE(prompts_.Take(), QStringList{"check-report"});
    QVERIFY(prompts_.check_report.find("a.jww") != std::string::npos);
    QVERIFY(prompts_.check_report.find("b.jww") == std::string::npos);
    QVERIFY(prompts_.check_report.ends_with(window.StatusText().toStdString() + "\n"));
    QVERIFY(Find<QProgressBar>("ConversionProgress")->isHidden());
    QCOMPARE(ReadBytes(folder / "a.jww"), FakeDrawing("JWW", "first"));

    FailureReport report(prompts_.check_report, prompts_);
    QCOMPARE(report.text()->toPlainText(), QString::fromStdString(prompts_.check_report));
    // Saved under a title and a name of its own, not a run's.
    prompts_.report_file.reset();
    report.SaveAs();
    QCOMPARE(prompts_.Take(),
             QStringList{QStringLiteral("report-file:基準チェック結果の保存|penmorph-check.txt")});
  }

  // "サブフォルダも含める" converts the whole tree with its layout, on threads of the run's own:
  // while the files are held the window answers, shows the count and refuses to close, and
  // "中止" leaves the files not yet begun untouched and reported.
  void aTreeRunsOffTheWindowsThreadAndStopsBetweenFiles() {
    constexpr int kFiles = 30;
    fs::path folder = Folder("archive");
    std::vector<fs::path> relative;
    for (int i = 0; i < kFiles; ++i) {
      relative.push_back(fs::path("floor" + std::to_string(i % 3)) / "details" /
                         ("d" + std::to_string(i) + ".jww"));
      fs::create_directories((folder / relative.back()).parent_path());
      WriteBytes(folder / relative.back(), FakeDrawing("JWW", std::to_string(i)));
    }
    fs::path out = Folder("out");
    fs::create_directories(out);
    TForm1& window = Open();
    ChooseSearchFolder(folder);
    ChooseDestination(out);
    ClickNode(Tree()->topLevelItem(0));
    QTest::mouseClick(Find<QCheckBox>("SubfoldersCheckBox"), Qt::LeftButton);
    QVERIFY(Find<QCheckBox>("SubfoldersCheckBox")->isChecked());

    std::mutex mutex;
    std::condition_variable released_signal;
    bool released = false;
    std::atomic<int> held{0};
    auto release = [&] {
      std::lock_guard lock(mutex);
      released = true;
      released_signal.notify_all();
    };
    // Released however the test ends, or the run's threads would wait for ever.
    std::shared_ptr<void> release_at_exit(nullptr, [&](void*) { release(); });
    formats_["JWW"]->before_convert = [&] {
      ++held;
      std::unique_lock lock(mutex);
      released_signal.wait(lock, [&] { return released; });
    };
    prompts_.Take();
    QSignalSpy finished(&window, &TForm1::ConversionFinished);
    QTest::mouseClick(Find<QPushButton>("ConvertButton"), Qt::LeftButton);
    QTRY_VERIFY(held.load() > 0);
    QTRY_COMPARE(Find<QLabel>("ProgressText")->text(), QStringLiteral("0 / 30 ファイル"));
    QVERIFY(Find<QPushButton>("StopButton")->isEnabled());
    window.close();
    QVERIFY(window.isVisible());
    QTest::mouseClick(Find<QPushButton>("StopButton"), Qt::LeftButton);
    release();
    QVERIFY(finished.wait(60000));
    QCOMPARE(prompts_.events.value(0),
             QStringLiteral(
                 "ask:「archive」以下の 30 個のファイルを「out」に変換します。変換表がすべて 0 "
                 "のため、図面の内容は変わりません。よろしいですか？"));
    QVERIFY(!Find<QPushButton>("StopButton")->isEnabled());

    // The files in hand were finished, the rest reported and left alone.
    int converted = 0;
    for (int i = 0; i < kFiles; ++i) {
      if (fs::exists(out / relative[i])) {
        ++converted;
        QCOMPARE(ReadBytes(out / relative[i]),
                 FakeDrawing("JWW", "converted(1):" + std::to_string(i)));
      }
    }
    QCOMPARE(converted, held.load());
    QVERIFY(converted < kFiles);
    // The files not done are a count of their own, never failures.
    QCOMPARE(
        window.StatusText(),
        QStringLiteral("変換作業を中止しました。%1 個を変換、%2 個は中止したため変換していません。")
            .arg(converted)
            .arg(kFiles - converted));
    QCOMPARE(prompts_.report_lines[3], std::string("変換できなかったファイル：0 個"));
    QCOMPARE(prompts_.report.size(), std::size_t(kFiles - converted));
    for (const auto& reported : prompts_.report) {
      QCOMPARE(QString::fromStdString(reported.reason),
               QStringLiteral("中止したため変換していません"));
      QVERIFY(!fs::exists(out / reported.file.lexically_relative(folder)));
    }

    // Run again to the end: every file at its place in the tree.
    formats_["JWW"]->before_convert = nullptr;
    prompts_.Take();
    ClickConvert();
    QCOMPARE(window.StatusText(),
             QStringLiteral("変換作業を完了しました。30 個を変換（.BAK %1 個）。").arg(converted));
    for (int i = 0; i < kFiles; ++i) {
      QVERIFY(fs::exists(out / relative[i]));
    }
  }

  void keyboardMovesInTheTreeListTheFolder() {
    fs::path root = Folder("moved");
    fs::create_directories(root / "other");
    WriteBytes(root / "a.jww", FakeDrawing("JWW", "root"));
    WriteBytes(root / "other" / "a.jww", FakeDrawing("JWW", "other"));
    WriteBytes(root / "other" / "b.jww", FakeDrawing("JWW", "other b"));
    fs::path out = Folder("out");
    fs::create_directories(out);
    TForm1& window = Open();
    ChooseSearchFolder(root);
    ChooseDestination(out);
    ClickNode(Tree()->topLevelItem(0));
    QCOMPARE(Column(kNameColumn), QStringList{"a.jww"});
    Tree()->setFocus();
    QTest::keyClick(Tree(), Qt::Key_Down);  // the list follows the tree, as after a click
    QCOMPARE(Tree()->currentItem()->text(0), QStringLiteral("other"));
    QStringList names = Column(kNameColumn);
    names.sort();
    QCOMPARE(names, (QStringList{"a.jww", "b.jww"}));
    QCOMPARE(window.StatusText(),
             QStringLiteral("2 Files  パス名「%1」").arg(Shown(root / "other")));
    const int a_row = static_cast<int>(Column(kNameColumn).indexOf("a.jww"));
    SelectRows(a_row, a_row);
    ClickConvert();
    QCOMPARE(ReadBytes(out / "a.jww"), FakeDrawing("JWW", "converted(1):other"));
    Tree()->setFocus();
    QTest::keyClick(Tree(), Qt::Key_Up);
    QCOMPARE(Column(kNameColumn), QStringList{"a.jww"});
    QCOMPARE(window.StatusText(), QStringLiteral("1 Files  パス名「%1」").arg(Shown(root)));

    // A click on the highlighted folder lists it again, once.
    log_.clear();
    ClickNode(Tree()->topLevelItem(0));
    QCOMPARE(std::count(log_.begin(), log_.end(), "memo JWW"), 1);

    // Tab leaves the file list for the next control instead of walking its cells.
    List()->setFocus();
    List()->setCurrentIndex(List()->model()->index(0, 0));
    QTest::keyClick(List(), Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != List());
  }

  // `penmorph FILE` from a file manager: the file's folder searched and listed, the tree
  // highlighting it, the file selected and previewed; a missing path changes nothing.
  void aStartPathListsTheFilesFolderAndSelectsTheFile() {
    fs::path root = Folder("started");
    fs::create_directories(root / "sub");
    for (const char* name : {"a.jww", "b.jww", "c.jww"}) {
      WriteBytes(root / name, FakeDrawing("JWW", name));
    }
    TForm1& window = Open();
    window.OpenStartPath(Q(root / "zz-missing.jww"));
    QVERIFY(!window.tree_ready());
    window.OpenStartPath(Q(root / "c.jww"));
    // Shown for now; the remembered search folder stays the one the user chose.
    QCOMPARE(Find<QLineEdit>("SearchFolderEdit")->text(), Shown(root));
    QCOMPARE(window.search_folder(), Shown(Folder("prog")).toStdString());
    QVERIFY(Tree()->currentItem() == Tree()->topLevelItem(0));
    QCOMPARE(Tree()->topLevelItem(0)->childCount(), 1);
    QStringList names = Column(kNameColumn);
    const int c_row = static_cast<int>(names.indexOf("c.jww"));
    const QModelIndexList selected = List()->selectionModel()->selectedRows();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.front().row(), c_row);
    QCOMPARE(window.StatusText(), QStringLiteral("3 Files  パス名「%1」").arg(Shown(root)));
  }

  void shiftJisFileNamesAreShownAndConvertedByTheirBytes() {
    fs::path folder = Folder("sjis");
    fs::create_directories(folder);
    const std::string name = kPlanMemo + ".jww";  // "平面図.jww" in Shift-JIS bytes
    WriteBytes(folder / name, FakeDrawing("JWW", "x"));
    fs::path out = Folder("out");
    fs::create_directories(out);
    Open();
    ChooseSearchFolder(folder);
    ChooseDestination(out);
    ClickNode(Tree()->topLevelItem(0));
    QCOMPARE(Column(kNameColumn), QStringList{"平面図.jww"});
    SelectRows(0, 0);
    ClickConvert();
    QCOMPARE(ReadBytes(out / name), FakeDrawing("JWW", "converted(1):x"));
  }

  void doubleClickOpensTheFile() {
    fs::path folder = MakeDrawingsFolder();
    TForm1& window = Open();
    ChooseSearchFolder(folder);
    prompts_.Take();
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton);
    QCOMPARE(prompts_.Take(), QStringList{"beep"});
    QCOMPARE(window.StatusText(), QStringLiteral("図面の格納されているフォルダを指定して下さい。"));
    ClickNode(Tree()->topLevelItem(0));
    List()->setCurrentIndex(List()->model()->index(2, 0));
    const QString name = CellText(2, 0);
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, CellRect(2, 0).center());
    QCOMPARE(prompts_.Take(), QStringList{"open:" + Q(folder / name.toStdString())});
  }

  void iniIsWrittenAtCloseAndReadAtTheNextStart() {
    fs::path folder = MakeDrawingsFolder();
    fs::path out = Folder("out");
    fs::create_directories(out);
    TForm1& window = Open();
    ChooseSearchFolder(folder);
    ChooseDestination(out);
    window.move(300, 200);
    window.resize(800, 520);
    window.jwc_dialog()->move(50, 60);
    List()->setColumnWidth(kMemoColumn, 150);
    Find<QSplitter>("Splitter1")->setSizes({210, 590});
    Action(QStringLiteral("(*.jwc) (&4)"))->trigger();
    window.tables().jwc.SetEntry(3, 5);
    window.tables().jww.SetEntry(321, 1);
    window.close();

    AppSettings saved;
    QVERIFY(LoadIniFile(IniPath(), saved).ok());
    QCOMPARE(saved.layout.main_left, 300);
    QCOMPARE(saved.layout.main_width, 800);
    QCOMPARE(saved.layout.jwc_dialog_left, 50);
    QCOMPARE(saved.layout.jww_dialog_left, 192);  // a dialog never opened keeps its place
    QCOMPARE(saved.layout.column_widths[kMemoColumn], 150);
    QCOMPARE(saved.layout.folder_pane_width, 210);
    QCOMPARE(saved.search_folder, Shown(folder).toStdString());
    QCOMPARE(saved.destination_folder, Shown(out).toStdString());
    QCOMPARE(saved.file_type, 4);
    QCOMPARE(saved.tables.jwc.Entry(3), 5);
    QCOMPARE(saved.tables.jww.Entry(321), 1);

    TForm1& again = Open();
    QCOMPARE(again.pos(), QPoint(300, 200));
    QCOMPARE(again.size(), QSize(800, 520));
    QCOMPARE(again.jwc_dialog()->pos(), QPoint(50, 60));
    QCOMPARE(List()->columnWidth(kMemoColumn), 150);
    QCOMPARE(Find<QSplitter>("Splitter1")->sizes().value(0), 210);
    QCOMPARE(Find<QComboBox>("FileTypeComboBox")->currentIndex(), 4);
    QCOMPARE(Find<QLineEdit>("DestinationEdit")->text(), Shown(out));
    QCOMPARE(again.tables().jwc.Entry(3), 5);
    QCOMPARE(again.tables().jww.Entry(321), 1);
    // Once shown, the window lists the last search folder again; F5 shows a folder made since.
    QCOMPARE(Find<QLineEdit>("SearchFolderEdit")->text(), QString());
    again.ShowStart(std::nullopt);
    QCOMPARE(Find<QLineEdit>("SearchFolderEdit")->text(), Shown(folder));
    QTRY_VERIFY(Tree()->topLevelItem(0) != nullptr);
    QCOMPARE(Tree()->topLevelItem(0)->text(0), Shown(folder));
    fs::create_directories(folder / "new");
    QVERIFY(Node({"new"}) == nullptr);
    QTest::keyClick(&again, Qt::Key_F5);
    QVERIFY(Node({"new"}) != nullptr);
    Action(QStringLiteral("検索フォルダの指定 (&S)"))->trigger();
    QCOMPARE(prompts_.Take().last(), "folder:検索フォルダの指定|" + Shown(folder));

    again.jww_dialog()->move(70, 80);
    again.showMaximized();
    again.close();
    QVERIFY(LoadIniFile(IniPath(), saved).ok());
    QCOMPARE(saved.layout.maximized, 1);
    QCOMPARE(saved.layout.main_width, 800);  // the size to come back to
    QVERIFY(Open().isMaximized());
    window_->showNormal();
    window_->close();
    QVERIFY(LoadIniFile(IniPath(), saved).ok());
    QCOMPARE(saved.layout.jww_dialog_left, 70);
    QCOMPARE(saved.layout.jww_dialog_top, 80);
    QCOMPARE(saved.layout.jwc_dialog_left, 50);
  }

  void iniWithAnUnknownFileTypeSelectsNone() {
    WriteBytes(IniPath(), "[Set]\nFTYP=9\n[JWC]\nC1=4\n");
    fs::path folder = MakeDrawingsFolder();
    TForm1& window = Open();
    QCOMPARE(Find<QComboBox>("FileTypeComboBox")->currentIndex(), -1);
    QCOMPARE(window.tables().jwc.Entry(1), 4);
    ChooseSearchFolder(folder);
    ClickNode(Tree()->topLevelItem(0));
    QCOMPARE(Column(kNameColumn).size(), 6);  // listed as "*.*"
    window.close();
    AppSettings saved;
    QVERIFY(LoadIniFile(IniPath(), saved).ok());
    QCOMPARE(saved.file_type, -1);
  }

  void exitAsksFirst() {
    TForm1& window = Open();
    prompts_.answer = false;
    Action(QStringLiteral("終了 (&X)"))->trigger();
    QCOMPARE(prompts_.Take(), QStringList{"ask:終了します。よろしいですか？"});
    QVERIFY(window.isVisible());
    prompts_.answer = true;
    Action(QStringLiteral("終了 (&X)"))->trigger();
    QVERIFY(!window.isVisible());
    QVERIFY(fs::file_size(IniPath()) > 0);
  }

  // One window per user: a second start hands its file to the first, which lists and selects it.
  void aSecondStartHandsItsFileOver() {
    fs::path folder = MakeDrawingsFolder();
    TForm1& window = Open();
    const QString name = QStringLiteral("penmorph-test-%1").arg(QCoreApplication::applicationPid());
    SingleInstance first(name);
    QVERIFY(first.Listen([&window](const QString& path) { window.HandedOver(path); }));
    std::atomic<int> handed{-1};
    std::thread second([&] { handed = SingleInstance(name).HandOver(Q(folder / "old.jwc")); });
    QTRY_VERIFY(handed.load() != -1);
    second.join();
    QCOMPARE(handed.load(), 1);
    QCOMPARE(Tree()->topLevelItem(0)->text(0), Shown(folder));
    QCOMPARE(CellText(List()->currentIndex().row(), kNameColumn), QStringLiteral("old.jwc"));
    // Without a first window nothing takes the path, and the start goes on by itself.
    QVERIFY(!SingleInstance(name + "-none").HandOver(Q(folder)));
  }

  // Files dropped on the window do what `penmorph FILE` does: their folder listed, they selected.
  void droppedFilesAreListedAndSelected() {
    fs::path folder = MakeDrawingsFolder();
    TForm1& window = Open();
    QMimeData data;
    data.setUrls(
        {QUrl::fromLocalFile(Q(folder / "plan.jww")), QUrl::fromLocalFile(Q(folder / "old.jwc"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    QCOMPARE(Tree()->topLevelItem(0)->text(0), Shown(folder));
    QStringList selected;
    for (const QModelIndex& index : List()->selectionModel()->selectedRows()) {
      selected << CellText(index.row(), kNameColumn);
    }
    selected.sort();
    QCOMPARE(selected, (QStringList{"old.jwc", "plan.jww"}));
    QCOMPARE(Find<QLabel>("SelectionText")->text(), QStringLiteral("2 個選択"));
  }

  void settingsFilesSaveAndOpenBothTables() {
    TForm1& window = Open();
    window.tables().jwc.SetEntry(7, 18);
    window.tables().jww.SetEntry(12, 3);
    const fs::path file = Folder("mine.set");
    prompts_.settings_file = Q(file);
    Action(QStringLiteral("現在の設定を保存(&S)..."))->trigger();
    QCOMPARE(prompts_.Take(), QStringList{"settings-save:現在の設定を保存|" + QDir::homePath()});
    QCOMPARE(window.last_settings_file(), file.string());
    auto document = IniDocument::Load(file);
    QVERIFY(document.ok());
    QCOMPARE(document->Get("JWC", "C7").value_or(""), std::string("18"));
    QCOMPARE(document->Get("JWW", "C12").value_or(""), std::string("3"));
    QVERIFY(!document->Get("Form", "F1_X").has_value());

    window.tables() = ConversionTables{};
    window.tables().jwc.SetEntry(1, 2);  // not in the file: stays
    Action(QStringLiteral("保存した設定を開く(&O)..."))->trigger();
    QCOMPARE(prompts_.Take(), QStringList{"settings-open:保存した設定ファイルを開く|" + Q(file)});
    QCOMPARE(window.tables().jwc.Entry(7), 18);
    QCOMPARE(window.tables().jww.Entry(12), 3);

    // Cancelling changes nothing; a file that cannot be written is said so.
    prompts_.settings_file.reset();
    Action(QStringLiteral("現在の設定を保存(&S)..."))->trigger();
    QCOMPARE(window.last_settings_file(), file.string());
    prompts_.Take();
    prompts_.settings_file = Q(Folder("missing-folder") / "x.set");
    Action(QStringLiteral("現在の設定を保存(&S)..."))->trigger();
    QStringList events = prompts_.Take();
    QCOMPARE(events.size(), 3);
    QVERIFY(events[2].startsWith("error:設定ファイル「"));
  }

  // After a sort the highlighted rows are the files the user chose, and "変換" converts those.
  // Shift+click after a click further down a long list: exactly the rows from the one clicked
  // to the one Shift+clicked, nothing scrolled out of view besides.
  void aShiftClickSelectsExactlyTheRangeFromTheLastClick() {
    fs::path folder = Folder("long");
    fs::create_directories(folder);
    for (int i = 0; i < 60; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "f%02d.jww", i);
      WriteBytes(folder / name, FakeDrawing("JWW", name));
    }
    Open();
    ChooseSearchFolder(folder);
    ClickNode(Tree()->topLevelItem(0));
    PressHeader(kNameColumn);  // f00 ... f59
    auto click_row = [this](int row, Qt::KeyboardModifiers modifiers) {
      List()->scrollTo(List()->model()->index(row, kNameColumn));
      QTest::mouseClick(List()->viewport(), Qt::LeftButton, modifiers,
                        CellRect(row, kNameColumn).center());
    };
    click_row(0, {});
    click_row(50, {});
    click_row(54, Qt::ShiftModifier);
    QStringList names;
    for (const QModelIndex& index : List()->selectionModel()->selectedRows()) {
      names << CellText(index.row(), kNameColumn);
    }
    names.sort();
    QCOMPARE(names, (QStringList{"f50.jww", "f51.jww", "f52.jww", "f53.jww", "f54.jww"}));
    QCOMPARE(Find<QLabel>("SelectionText")->text(), QStringLiteral("5 個選択"));
    click_row(45, Qt::ShiftModifier);  // the range runs from the same anchor the other way
    QCOMPARE(Find<QLabel>("SelectionText")->text(), QStringLiteral("6 個選択"));
  }

  void aSortKeepsTheChosenFilesSelected() {
    fs::path folder = Folder("chosen");
    fs::create_directories(folder);
    // Sizes in the order c a b d.
    const std::map<std::string, std::string> bodies = {
        {"c.jww", "c"}, {"a.jww", "aa"}, {"d.jww", "dddd"}, {"b.jww", "bbb"}};
    for (const auto& [name, body] : bodies) {
      WriteBytes(folder / name, FakeDrawing("JWW", body));
    }
    fs::path out = Folder("out");
    fs::create_directories(out);
    Open();
    ChooseSearchFolder(folder);
    ChooseDestination(out);
    ClickNode(Tree()->topLevelItem(0));
    PressHeader(kNameColumn);  // a b c d
    SelectRows(0, 1);          // a b
    PressHeader(kNameColumn);  // d c b a
    auto selected = [this] {
      QStringList names;
      for (const QModelIndex& index : List()->selectionModel()->selectedRows()) {
        names << CellText(index.row(), kNameColumn);
      }
      names.sort();
      return names;
    };
    QCOMPARE(selected(), (QStringList{"a.jww", "b.jww"}));
    QCOMPARE(List()->currentIndex().row(), 2);
    ClickConvert();
    QCOMPARE(ReadBytes(out / "a.jww"), FakeDrawing("JWW", "converted(1):aa"));
    QCOMPARE(ReadBytes(out / "b.jww"), FakeDrawing("JWW", "converted(1):bbb"));
    QVERIFY(!fs::exists(out / "c.jww") && !fs::exists(out / "d.jww"));

    // Ctrl+click picks two files apart; they stay chosen through a sort and are the only ones
    // converted.
    fs::remove_all(out);
    fs::create_directories(out);
    auto click_row = [this](int row, Qt::KeyboardModifiers modifiers) {
      QTest::mouseClick(List()->viewport(), Qt::LeftButton, modifiers,
                        CellRect(row, kNameColumn).center());
    };
    click_row(0, {});                   // d
    click_row(2, Qt::ControlModifier);  // b
    QCOMPARE(selected(), (QStringList{"b.jww", "d.jww"}));
    QCOMPARE(Find<QLabel>("SelectionText")->text(), QStringLiteral("2 個選択"));
    PressHeader(kSizeColumn);  // c a b d
    QCOMPARE(Column(kNameColumn), (QStringList{"c.jww", "a.jww", "b.jww", "d.jww"}));
    QCOMPARE(selected(), (QStringList{"b.jww", "d.jww"}));
    prompts_.Take();
    ClickConvert();
    QVERIFY(prompts_.Take().value(0).startsWith(
        QStringLiteral("ask:「chosen」の 2 個のファイルを「out」に変換します。")));
    QVERIFY(fs::exists(out / "b.jww") && fs::exists(out / "d.jww"));
    QVERIFY(!fs::exists(out / "a.jww") && !fs::exists(out / "c.jww"));
  }

  // A ".jww" that is no JWW drawing and a ".txt" are passed over, each named with why.
  void unrecognisedDrawingsAreReportedAndTheReportCanBeCopiedAndSaved() {
    fs::path folder = Folder("mixed");
    fs::create_directories(folder);
    WriteBytes(folder / "a.jww", FakeDrawing("JWW", "a"));
    WriteBytes(folder / "b.jww", "not a drawing");
    WriteBytes(folder / "c.txt", "text");
    fs::path out = Folder("out");
    fs::create_directories(out);
    Open();
    ChooseSearchFolder(folder);
    ChooseDestination(out);
    ClickNode(Tree()->topLevelItem(0));
    SelectRows(0, 2);
    prompts_.Take();
    ClickConvert();
    QCOMPARE(prompts_.Take(),
             (QStringList{QStringLiteral("ask:「mixed」の 1 個のファイルを「out」に変換します。"
                                         "ほかの 2 個は jw_cad の図面ではないため飛ばします。"
                                         "変換表がすべて 0 のため、図面の内容は変わりません。"
                                         "よろしいですか？"),
                          "report:2"}));
    QCOMPARE(prompts_.report[0].file, folder / "b.jww");
    QCOMPARE(QString::fromStdString(prompts_.report[0].reason),
             QStringLiteral("JWWファイルとして認識できません（JWWの識別子がありません）"));
    QVERIFY(fs::exists(out / "a.jww"));

    app::RunSummary summary;
    summary.converted = 1;
    summary.passed_over = prompts_.report;
    FailureReport report(summary, prompts_);
    const QString expected = QStringLiteral(
                                 "変換作業を完了しました。\n変換したファイル：1 個\n"
                                 "既存のファイルを .BAK として残したもの：0 個\n"
                                 "変換できなかったファイル：0 個\n"
                                 "jw_cad の図面ではないため飛ばしたファイル：2 個\n\n%1\n    "
                                 "JWWファイルとして認識できません（JWWの識別子がありません）\n%2\n"
                                 "    jw_cadのファイルの種類ではありません（.txt）\n")
                                 .arg(Q(folder / "b.jww"), Q(folder / "c.txt"));
    QCOMPARE(report.text()->toPlainText(), expected);
    QVERIFY(report.text()->isReadOnly());
    QVERIFY(report.text()->textInteractionFlags().testFlag(Qt::TextSelectableByMouse));
    QTest::mouseClick(report.findChild<QPushButton*>("CopyButton"), Qt::LeftButton);
    QCOMPARE(QApplication::clipboard()->text(), expected);

    prompts_.report_file = Q(Folder("report.txt"));
    QTest::mouseClick(report.findChild<QPushButton*>("SaveButton"), Qt::LeftButton);
    QCOMPARE(QString::fromStdString(ReadBytes(Folder("report.txt"))), expected);
    // A file that cannot be written is said so.
    prompts_.Take();
    prompts_.report_file = Q(Folder("missing") / "report.txt");
    QTest::mouseClick(report.findChild<QPushButton*>("SaveButton"), Qt::LeftButton);
    const QStringList events = prompts_.Take();
    QCOMPARE(events.size(), 3);
    QCOMPARE(events[1], QStringLiteral("beep"));
    QVERIFY(events[2].startsWith(QStringLiteral("error:「%1」に保存できませんでした。")
                                     .arg(Q(Folder("missing") / "report.txt"))));
  }

  void qtsOwnButtonsSpeakJapanese() {
    QVERIFY(LoadJapaneseTranslation(*QCoreApplication::instance()));
    QMessageBox box(QMessageBox::Question, "t", "q", QMessageBox::Yes | QMessageBox::No);
    QVERIFY2(box.button(QMessageBox::Yes)->text().contains(QStringLiteral("はい")),
             qPrintable(box.button(QMessageBox::Yes)->text()));
    QVERIFY(box.button(QMessageBox::No)->text().contains(QStringLiteral("いいえ")));
    QFileDialog picker;
    picker.setOption(QFileDialog::DontUseNativeDialog);
    QCOMPARE(picker.labelText(QFileDialog::Reject), QStringLiteral("キャンセル"));
  }

  // The test screens: 1280 x 1024 at 0,0 and 1024 x 768 at 1280,0.
  void savedPlacesOffTheScreensAreBroughtBack() {
    WriteBytes(IniPath(),
               "[Form]\nF1_X=3000\nF1_Y=100\nF1_W=900\nF1_H=600\n"
               "F2_X=-5000\nF2_Y=-4000\nF3_X=2000\nF3_Y=700\n");
    TForm1& window = Open();
    auto on_a_screen = [](const QRect& rect) {
      for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().contains(rect)) {
          return true;
        }
      }
      return false;
    };
    QCOMPARE(QGuiApplication::screens().size(), qsizetype{2});
    QCOMPARE(window.pos(), QPoint(2304 - 900, 100));  // on the second screen, the nearest
    QCOMPARE(window.size(), QSize(900, 600));
    QCOMPARE(window.jwc_dialog()->pos(), QPoint(0, 0));
    QCOMPARE(window.jww_dialog()->pos(), QPoint(2304 - 582, 768 - 445));
    QVERIFY(on_a_screen(QRect(window.jww_dialog()->pos(), window.jww_dialog()->size())));
    window.close();

    // Larger than any screen: shrunk onto the one it is mostly on.
    WriteBytes(IniPath(), "[Form]\nF1_X=-100\nF1_Y=-100\nF1_W=2000\nF1_H=1500\n");
    TForm1& again = Open();
    QCOMPARE(again.pos(), QPoint(0, 0));
    QCOMPARE(again.size(), QSize(1280, 1024));
    // A dialog moved off the screens while the program runs comes back when it opens.
    again.jwc_dialog()->move(5000, 5000);
    QTimer::singleShot(0, [&] {
      if (QWidget* dialog = QApplication::activeModalWidget()) {
        QVERIFY(on_a_screen(QRect(dialog->pos(), dialog->size())));
        dialog->close();
      }
    });
    again.ShowJwcSettings();
    QVERIFY(on_a_screen(QRect(again.jwc_dialog()->pos(), again.jwc_dialog()->size())));
  }

  void buttonsAndMenuItemsOpenTheDialogs() {
    TForm1& window = Open();
    QStringList opened;
    auto close_soon = [&] {
      QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        opened << (dialog ? dialog->windowTitle() : QString("none"));
        if (dialog) {
          QTest::keyClick(dialog, Qt::Key_Escape);
        }
      });
    };
    close_soon();
    QTest::mouseClick(Find<QPushButton>("JwwSettingsButton"), Qt::LeftButton);
    close_soon();
    QTest::mouseClick(Find<QPushButton>("JwcSettingsButton"), Qt::LeftButton);
    close_soon();
    Action(QStringLiteral("JWW/JWS設定 (&1)"))->trigger();
    close_soon();
    Action(QStringLiteral("JWC/JWK設定 (&2)"))->trigger();
    close_soon();
    QTest::mouseClick(Find<QPushButton>("LayerSettingsButton"), Qt::LeftButton);
    close_soon();
    Action(QStringLiteral("レイヤ設定 (&3)"))->trigger();
    QCOMPARE(opened, (QStringList{"JWW/JWS設定", "JWC/JWK設定", "JWW/JWS設定", "JWC/JWK設定",
                                  "レイヤ設定", "レイヤ設定"}));
    Q_UNUSED(window);
  }

  // The About box gives the version as the caption does, and the one the package carries.
  void aboutBoxShowsTheProjectVersion() {
    TForm1& window = Open();
    prompts_.Take();
    Action(QStringLiteral("バージョン情報 (&A)"))->trigger();
    const QStringList shown = prompts_.Take();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].section('\n', 0, 0),
             "information:" + window.windowTitle() + QStringLiteral("（" PENMORPH_VERSION "）"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Penmorph Ver.1.03"));
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
