// Starts the window on a folder, lists it, and saves pictures of the window at its first start,
// listing the folder and maximised, of the three settings dialogs and the box refusing a value, of
// the question before a tree run, of the reports of runs and of a "基準チェック", and of the
// question before leaving - a way
// to look at the program without a desktop (run it under Xvfb, with a window manager).
//
//   penmorph-ui-snapshot OUTPUT_FOLDER SEARCH_FOLDER [SUBFOLDER_TO_LIST]
//
// The window is the real one with the standard formats; the folder pickers are answered by this
// tool, every message box is shown and answered a moment later, and the converted files land in
// OUTPUT_FOLDER/変換先. Its ini file is OUTPUT_FOLDER/penmorph.ini, so a layout can be prepared
// there; the first start has none.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <functional>
#include <memory>
#include <utility>

#include "formats/standard_formats.h"
#include "ui/main_window.h"
#include "ui/preview_pane.h"
#include "ui/settings_dialogs.h"
#include "ui/translation.h"
#include "ui/ui_fonts.h"
#include "ui/user_prompts.h"

namespace {

bool SavePicture(const QPixmap& picture, const QString& file) {
  const bool saved = !picture.isNull() && picture.save(file, "PNG");
  std::printf("%s %s\n", saved ? "saved" : "could not save", file.toUtf8().constData());
  return saved;
}

// A modal window over the window it belongs to: the part of the screen showing both, frames too.
bool SaveOver(QWidget* modal, const QString& file) {
  QRect area = modal->frameGeometry();
  if (QWidget* owner = modal->parentWidget()) {
    area |= owner->window()->frameGeometry();
  }
  return SavePicture(
      modal->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()), file);
}

bool SaveScreen(const QString& file) {
  return SavePicture(QGuiApplication::primaryScreen()->grabWindow(0), file);
}

// Answers the folder pickers (the search folder, then the destination). Message boxes are the
// real ones, answered once they have shown for a moment: Yes or OK, or as PictureNextBox says.
class SnapshotPrompts : public penmorph::DesktopPrompts {
 public:
  SnapshotPrompts(QString folder, QString destination)
      : folder_(std::move(folder)), destination_(std::move(destination)) {}
  // The next box is pictured over its window before it is answered (a question with `yes`).
  void PictureNextBox(QString file, bool yes = true) {
    picture_ = std::move(file);
    yes_ = yes;
    pictured_ = false;
  }
  bool pictured() const { return pictured_; }

  std::optional<QString> ChooseFolder(QWidget*, const QString& title, const QString&) override {
    return title == QStringLiteral("保存先フォルダの指定") ? destination_ : folder_;
  }
  bool AskYesNo(QWidget* parent, const QString& text) override {
    AnswerWhenShown(std::exchange(yes_, true) ? QMessageBox::Yes : QMessageBox::No);
    return DesktopPrompts::AskYesNo(parent, text);
  }
  void ShowMessage(QWidget* parent, penmorph::MessageKind kind, const QString& text) override {
    std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
    yes_ = true;
    AnswerWhenShown(QMessageBox::Ok);
    DesktopPrompts::ShowMessage(parent, kind, text);
  }
  void Beep() override {}

 private:
  void AnswerWhenShown(QMessageBox::StandardButton answer) {
    auto* poll = new QTimer;
    QObject::connect(
        poll, &QTimer::timeout,
        [this, poll, answer, file = std::exchange(picture_, {}), shown_for = 0]() mutable {
          auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
          if (box == nullptr || ++shown_for < 5) {
            return;  // not yet shown, or not yet painted
          }
          poll->stop();
          poll->deleteLater();
          if (!file.isEmpty()) {
            pictured_ = SaveOver(box, file);
          }
          box->button(answer)->click();
        });
    poll->start(100);
  }

  QString folder_;
  QString destination_;
  QString picture_;
  bool yes_ = true;
  bool pictured_ = false;
};

void Settle(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

bool Save(QWidget* widget, const QString& file) {
  QPixmap picture = widget->screen()->grabWindow(widget->winId());
  return SavePicture(picture.isNull() ? widget->grab() : picture, file);
}

void Click(QWidget* target, QPoint at) {
  QMouseEvent press(QEvent::MouseButtonPress, at, target->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, target->mapToGlobal(at), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(target, &release);
}

// Opens a modal dialog through `open`, takes its picture once it shows, and closes it.
bool SaveDialog(const std::function<void()>& open, const QString& file) {
  bool saved = false;
  QTimer::singleShot(600, [&] {
    if (QWidget* dialog = QApplication::activeModalWidget()) {
      saved = Save(dialog, file);
      QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
    }
  });
  open();
  return saved;
}

// A modal dialog that opens of its own accord later (the report at the end of a run, which now
// runs off the window's thread): its picture once it has shown for a moment, alone or over its
// window, then it is closed. It watches from the moment it is made, so that a dialog that opens
// inside any later wait (in a loop of its own, which that wait cannot end) is closed too.
class ModalCatcher {
 public:
  // `then`: what is done with the dialog once pictured (closed when empty); `name`: only a dialog
  // of that object name is caught.
  ModalCatcher(QString file, bool over_window, std::function<void(QWidget*)> then = {},
               QString name = {})
      : file_(std::move(file)), over_(over_window), then_(std::move(then)), name_(std::move(name)) {
    QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
    poll_.start(100);
  }
  bool caught() const { return caught_; }
  // Waits for the dialog, a minute at most (the run says why none came); whether it was pictured.
  bool Wait() {
    for (int waited = 0; !caught_ && waited < 600; ++waited) {
      Settle(100);
    }
    return saved_;
  }

 private:
  void Poll() {
    QWidget* dialog = QApplication::activeModalWidget();
    if (caught_ || dialog == nullptr || (!name_.isEmpty() && dialog->objectName() != name_) ||
        ++shown_for_ < 5) {
      return;  // none yet, or let it paint
    }
    caught_ = true;
    poll_.stop();
    saved_ = over_ ? SaveOver(dialog, file_) : Save(dialog, file_);
    if (then_) {
      then_(dialog);
    } else {
      QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
    }
  }

  QString file_;
  bool over_;
  std::function<void(QWidget*)> then_;
  QString name_;
  QTimer poll_;
  int shown_for_ = 0;
  bool caught_ = false;
  bool saved_ = false;
};

// A run's or a check's report: the questions before the run are answered by the prompts, and a
// catcher of any dialog could take one of them for the report when the run asks it late (after
// its count, which runs in the background).
bool SaveNextReport(const QString& file, bool over_window = false) {
  return ModalCatcher(file, over_window, {}, QStringLiteral("FailureReport")).Wait();
}

// Selects the row and waits for the preview to show it, the window as large as the screen.
// Selects rows first ... last of the file list, as a drag over them does.
void SelectListRows(QTableView* list, int first, int last) {
  QAbstractItemModel* rows = list->model();
  list->selectionModel()->select(
      QItemSelection(rows->index(first, 0), rows->index(last, rows->columnCount() - 1)),
      QItemSelectionModel::ClearAndSelect);
}

void PreviewRow(penmorph::TForm1& window, QTableView* list, int row) {
  // The whole screen's size, less the window manager's frame.
  const QSize size = window.size();
  window.resize(window.screen()->availableSize() - (window.frameGeometry().size() - size));
  SelectListRows(list, row, row);
  window.preview()->TablesChanged(window.tables());
  for (int i = 0; i < 100 && window.preview()->panel().state() != penmorph::app::PanelState::kReady;
       ++i) {
    Settle(50);
  }
  Settle(500);
}

int RowNamed(QTableView* list, const std::function<bool(const QString&)>& wanted) {
  for (int r = 0; r < list->model()->rowCount(); ++r) {
    if (wanted(list->model()->index(r, 0).data().toString().trimmed())) {
      return r;
    }
  }
  return -1;
}

// The preview of one real drawing (the first listed .jww with more than a few kilobytes),
// before and after a table that sends colour 2 to red and colour 3 to blue.
bool SavePreview(penmorph::TForm1& window, QTableView* list, const QString& file) {
  const int row = RowNamed(list, [](const QString& name) {
    return name.endsWith(QStringLiteral(".jww"), Qt::CaseInsensitive) &&
           name.contains(QStringLiteral("sample")) && !name.startsWith(QStringLiteral("jw_cad"));
  });
  if (row < 0) {
    std::fprintf(stderr, "no sample drawing listed for the preview\n");
    return true;  // without the samples there is nothing to show
  }
  const QSize size = window.size();
  window.tables().jww.SetEntry(2, 8);
  window.tables().jww.SetEntry(3, 6);
  PreviewRow(window, list, row);
  const bool saved = Save(&window, file);
  window.tables().jww.Reset();
  window.preview()->TablesChanged(window.tables());
  window.resize(size);
  Settle(200);
  return saved;
}

// The plan with hidden layers (layers.jww, when listed) as jw_cad shows it, then with the box
// that shows the hidden layers too, fainter.
bool SaveHiddenLayers(penmorph::TForm1& window, QTableView* list, const QString& output) {
  const int row = RowNamed(list, [](const QString& name) { return name == "layers.jww"; });
  auto* box = window.findChild<QCheckBox*>(QStringLiteral("HiddenLayersCheckBox"));
  if (row < 0 || box == nullptr) {
    std::fprintf(stderr, "no layers.jww listed, or no box for hidden layers\n");
    return false;
  }
  const QSize size = window.size();
  PreviewRow(window, list, row);
  bool saved = Save(&window, output + "/preview-layers.png");
  box->setChecked(true);
  Settle(300);
  saved &= Save(&window, output + "/preview-hidden-layers.png");
  box->setChecked(false);
  window.resize(size);
  Settle(200);
  return saved;
}

// A value out of range in the JWW/JWS dialog, confirmed: the box refusing it, over the dialog.
bool SaveRefusal(penmorph::TForm1& window, SnapshotPrompts& prompts, const QString& file) {
  QTimer::singleShot(600, [&] {
    if (auto* dialog = qobject_cast<penmorph::TForm3*>(QApplication::activeModalWidget())) {
      dialog->StringGrid1()->SetValue(0, QStringLiteral("25"));
      prompts.PictureNextBox(file);
      dialog->Button3Click();
      dialog->reject();
    }
  });
  window.ShowJwwSettings();
  if (!prompts.pictured()) {
    std::fprintf(stderr, "no box refused the value\n");
  }
  return prompts.pictured();
}

// A whole tree being converted (the search folder's, with "サブフォルダも含める"): the question
// with its count over the window, the window a moment after "変換", then "中止", whose report
// gives the counts, pictured over the window and its status bar.
bool SaveTreeRun(penmorph::TForm1& window, QTreeWidget* tree, SnapshotPrompts& prompts,
                 const QString& output) {
  QTreeWidgetItem* root = tree->topLevelItem(0);
  if (root == nullptr) {
    return false;
  }
  tree->setCurrentItem(root);
  Click(tree->viewport(), tree->visualItemRect(root).center());
  window.findChild<QCheckBox*>(QStringLiteral("SubfoldersCheckBox"))->setChecked(true);
  Settle(200);
  // Watching already, for the report only: the question comes first, once the tree is counted
  // in the background, and the prompts picture and answer it; a run that ends before "中止"
  // opens its report within the waits below.
  ModalCatcher report(output + "/tree-run-report.png", true, {}, QStringLiteral("FailureReport"));
  prompts.PictureNextBox(output + "/tree-question.png");
  window.ConvertFiles();
  for (int waited = 0; !prompts.pictured() && waited < 600; ++waited) {
    Settle(100);
  }
  bool saved = prompts.pictured();
  if (!saved) {
    std::fprintf(stderr, "no question before the tree's run\n");
  }
  Settle(50);
  saved &= Save(&window, output + "/tree-run.png");
  if (!report.caught()) {
    window.StopConversion();
  }
  saved &= report.Wait();
  window.findChild<QCheckBox*>(QStringLiteral("SubfoldersCheckBox"))->setChecked(false);
  Settle(300);
  return saved;
}

// "基準チェック" from the menu over every listed file, with a table that sends colour 2 to red
// and moves layer 0-1 onto 1-4: its report, over the window.
bool SaveCheck(penmorph::TForm1& window, QTableView* list, const QString& file) {
  QAction* check = nullptr;
  for (QAction* action : window.menuBar()->findChildren<QAction*>()) {
    if (action->text().startsWith(QStringLiteral("基準チェック"))) {
      check = action;
    }
  }
  if (check == nullptr || list->model()->rowCount() == 0) {
    std::fprintf(stderr, "no menu entry for the check, or nothing listed\n");
    return false;
  }
  SelectListRows(list, 0, list->model()->rowCount() - 1);
  penmorph::ConversionTables& tables = window.tables();
  tables.jww.SetEntry(2, 8);
  tables.layers.SetTarget(penmorph::LayerAddress{0, 1}.Index(), penmorph::LayerAddress{1, 4});
  check->trigger();
  const bool saved = SaveNextReport(file, true);
  tables.jww.Reset();
  tables.layers.Reset();
  Settle(300);
  return saved;
}

// "集計" from the menu over every listed file: its report, then "レイヤ設定" with the names the
// report handed to its list.
bool SaveSurvey(penmorph::TForm1& window, QTableView* list, const QString& output) {
  QAction* survey = nullptr;
  for (QAction* action : window.menuBar()->findChildren<QAction*>()) {
    if (action->text().startsWith(QStringLiteral("集計"))) {
      survey = action;
    }
  }
  if (survey == nullptr || list->model()->rowCount() == 0) {
    std::fprintf(stderr, "no menu entry for the survey, or nothing listed\n");
    return false;
  }
  SelectListRows(list, 0, list->model()->rowCount() - 1);
  std::unique_ptr<ModalCatcher> names;
  ModalCatcher report(output + "/survey-report.png", true, [&](QWidget* dialog) {
    names = std::make_unique<ModalCatcher>(output + "/survey-names.png", false,
                                           std::function<void(QWidget*)>{}, "Form4");
    QMetaObject::invokeMethod(dialog->findChild<QPushButton*>(QStringLiteral("Button3")), "click",
                              Qt::QueuedConnection);
  });
  survey->trigger();
  bool saved = report.Wait();
  saved &= names != nullptr && names->Wait();
  Settle(300);
  return saved;
}

// Clicks the search folder's subfolder of this name in the tree, or the search folder.
void ListSubfolder(QTreeWidget* tree, const QString& name) {
  QTreeWidgetItem* node = tree->topLevelItem(0);
  for (int i = 0; node != nullptr && i < node->childCount(); ++i) {
    if (node->child(i)->text(0) == name) {
      node = node->child(i);
      break;
    }
  }
  if (node != nullptr) {
    tree->setCurrentItem(node);
    Click(tree->viewport(), tree->visualItemRect(node).center());
  }
}

penmorph::MainWindowSetup Setup(const QString& ini, penmorph::UserPrompts& prompts) {
  penmorph::MainWindowSetup setup;
  setup.program_folder = QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
  setup.ini_path = QFile::encodeName(ini).toStdString();
  setup.formats = penmorph::MakeStandardFormats();
  setup.prompts = &prompts;
  return setup;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(penmorph::kApplicationTitle);
  QApplication::setFont(penmorph::ProportionalUiFont());
  penmorph::LoadJapaneseTranslation(application);
  if (argc < 3) {
    std::fprintf(stderr, "usage: penmorph-ui-snapshot OUTPUT_FOLDER SEARCH_FOLDER [SUBFOLDER]\n");
    return 2;
  }
  const QString output = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
  const QString folder = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
  const QString subfolder = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
  QDir().mkpath(output);

  const QString destination = output + QStringLiteral("/変換先");
  QDir().mkpath(destination);
  SnapshotPrompts prompts(folder, destination);

  // The first start, without an ini file: the whole screen, to show the window's size and place.
  bool ok = true;
  {
    const QString ini = output + QStringLiteral("/first-start.ini");
    QFile::remove(ini);
    penmorph::TForm1 first(Setup(ini, prompts));
    first.show();
    Settle(1000);
    ok &= SaveScreen(output + "/first-start.png");
    first.close();
    QFile::remove(ini);
  }

  penmorph::TForm1 window(Setup(output + "/penmorph.ini", prompts));
  window.show();
  Settle(300);

  window.ChooseSearchFolder();
  auto* tree = window.findChild<QTreeWidget*>("TreeView1");
  ListSubfolder(tree, subfolder);
  auto* list = window.findChild<QTableView*>("StringGrid1");
  if (list->model()->rowCount() > 2) {
    SelectListRows(list, 0, 2);
  }
  Settle(500);

  ok &= Save(&window, output + "/main-window.png");
  ok &= SavePreview(window, list, output + "/preview.png");
  ok &= SaveHiddenLayers(window, list, output);
  ok &= SaveDialog([&] { window.ShowJwwSettings(); }, output + "/jww-settings.png");
  ok &= SaveDialog([&] { window.ShowJwcSettings(); }, output + "/jwc-settings.png");
  // A table an office might keep: three layers of group 0 onto group 1, with names.
  penmorph::LayerTable& layers = window.tables().layers;
  layers.SetTarget(0x01, penmorph::LayerAddress{1, 1});
  layers.SetTarget(0x02, penmorph::LayerAddress{1, 1});
  layers.SetTarget(0x03, penmorph::LayerAddress{1, 2});
  layers.SetLayerName(0x11, "壁");
  layers.SetLayerName(0x12, "建具");
  layers.SetGroupName(1, "平面図");
  layers.SetNameRules({{"*壁*", {0, 2}}, {"通り芯", {0, 8}}, {"寸法*", {0, 9}}});
  ok &= SaveDialog([&] { window.ShowLayerSettings(); }, output + "/layer-settings.png");
  layers.Reset();
  ok &= SaveRefusal(window, prompts, output + "/jww-refusal.png");
  ok &= SaveCheck(window, list, output + "/check-report.png");
  ok &= SaveSurvey(window, list, output);
  // Every listed file converted: the files that were not show in the run's report.
  window.ChooseDestination();
  if (list->model()->rowCount() > 0) {
    SelectListRows(list, 0, list->model()->rowCount() - 1);
  }
  window.ConvertFiles();
  ok &= SaveNextReport(output + "/report.png");
  Settle(300);
  ok &= SaveTreeRun(window, tree, prompts, output);

  // Maximised by the window manager, listing the subfolder again.
  ListSubfolder(tree, subfolder);
  window.showMaximized();
  Settle(1500);
  ok &= SaveScreen(output + "/maximised.png");
  window.showNormal();
  Settle(500);

  prompts.PictureNextBox(output + "/exit-question.png", false);
  window.Exit();
  ok &= prompts.pictured();
  window.close();
  return ok ? 0 : 1;
}
