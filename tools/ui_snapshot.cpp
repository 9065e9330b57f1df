// Starts the window on a folder, lists it, and saves pictures of the window, of both settings
// dialogs, of the report of a run over the listed files and of a question box - a way to look
// at the program without a desktop (run it under Xvfb).
//
//   penmorph-ui-snapshot OUTPUT_FOLDER SEARCH_FOLDER [SUBFOLDER_TO_LIST]
//
// The window is the real one with the standard formats; only the folder pickers and the question
// before converting are answered by this tool, and the converted files land in
// OUTPUT_FOLDER/変換先. Its ini file is OUTPUT_FOLDER/penmorph.ini, so a layout can be prepared
// there.

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <functional>

#include "convert/standard_formats.h"
#include "ui/main_window.h"
#include "ui/preview_pane.h"
#include "ui/translation.h"
#include "ui/ui_fonts.h"
#include "ui/user_prompts.h"

namespace {

// Answers the folder pickers (the search folder, then the destination) and the question before
// a conversion; everything else is left to the real desktop.
class SnapshotPrompts : public penmorph::DesktopPrompts {
 public:
  SnapshotPrompts(QString folder, QString destination)
      : folder_(std::move(folder)), destination_(std::move(destination)) {}
  std::optional<QString> ChooseFolder(QWidget*, const QString& title, const QString&) override {
    return title == QStringLiteral("保存先フォルダの指定") ? destination_ : folder_;
  }
  bool AskYesNo(QWidget* parent, const QString& text) override {
    if (text == QStringLiteral("変換を開始します。よろしいですか？")) {
      return true;
    }
    return DesktopPrompts::AskYesNo(parent, text);
  }
  void ShowMessage(QWidget*, penmorph::MessageKind, const QString& text) override {
    std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
  }
  void Beep() override {}

 private:
  QString folder_;
  QString destination_;
};

void Settle(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

bool Save(QWidget* widget, const QString& file) {
  QPixmap picture = widget->screen()->grabWindow(widget->winId());
  if (picture.isNull()) {
    picture = widget->grab();
  }
  bool saved = picture.save(file, "PNG");
  std::printf("%s %s\n", saved ? "saved" : "could not save", file.toUtf8().constData());
  return saved;
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
// runs off the window's thread): its picture once it has shown for a moment, then it is closed.
bool SaveNextModal(const QString& file) {
  bool saved = false;
  int shown_for = 0;
  int waited = 0;
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog == nullptr) {
      if (++waited > 600) {  // a minute without a report: give up, the run says why
        loop.quit();
      }
      return;
    }
    if (++shown_for < 5) {
      return;  // let it paint
    }
    poll.stop();
    saved = Save(dialog, file);
    QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
    loop.quit();
  });
  poll.start(100);
  loop.exec();
  return saved;
}

// The preview of one real drawing (the first listed .jww with more than a few kilobytes),
// before and after a table that sends colour 2 to red and colour 3 to blue.
bool SavePreview(penmorph::TForm1& window, QTableWidget* list, const QString& file) {
  int row = -1;
  for (int r = 0; r < list->rowCount() && row < 0; ++r) {
    const QString name = list->item(r, 0)->text().trimmed();
    if (name.endsWith(QStringLiteral(".jww"), Qt::CaseInsensitive) &&
        name.contains(QStringLiteral("sample")) && !name.startsWith(QStringLiteral("jw_cad"))) {
      row = r;
    }
  }
  if (row < 0) {
    std::fprintf(stderr, "no sample drawing listed for the preview\n");
    return true;  // without the samples there is nothing to show
  }
  const QSize size = window.size();
  window.resize(1280, 800);
  window.tables().jww.SetEntry(2, 8);
  window.tables().jww.SetEntry(3, 6);
  list->clearSelection();
  list->setRangeSelected(QTableWidgetSelectionRange(row, 0, row, list->columnCount() - 1), true);
  window.preview()->TablesChanged(window.tables());
  for (int i = 0; i < 100 && window.preview()->panel().state() != penmorph::app::PanelState::kReady;
       ++i) {
    Settle(50);
  }
  Settle(500);
  const bool saved = Save(&window, file);
  window.tables().jww.Reset();
  window.preview()->TablesChanged(window.tables());
  window.resize(size);
  Settle(200);
  return saved;
}

// A whole tree being converted (the search folder's, with "サブフォルダも含める"): the window a
// moment after "変換", then "中止", whose report lists the files not done.
bool SaveTreeRun(penmorph::TForm1& window, QTreeWidget* tree, const QString& file) {
  QTreeWidgetItem* root = tree->topLevelItem(0);
  if (root == nullptr) {
    return false;
  }
  tree->setCurrentItem(root);
  Click(tree->viewport(), tree->visualItemRect(root).center());
  window.findChild<QCheckBox*>(QStringLiteral("SubfoldersCheckBox"))->setChecked(true);
  Settle(200);
  window.ConvertFiles();
  Settle(250);
  const bool saved = Save(&window, file);
  window.StopConversion();
  // The report of the files not done, or none when the run was over before the picture.
  const QString report =
      QString(file).replace(QStringLiteral(".png"), QStringLiteral("-report.png"));
  SaveNextModal(report);
  window.findChild<QCheckBox*>(QStringLiteral("SubfoldersCheckBox"))->setChecked(false);
  return saved;
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
  const QString output = QString::fromLocal8Bit(argv[1]);
  const QString folder = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
  const QString subfolder = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
  QDir().mkpath(output);

  const QString destination = output + QStringLiteral("/変換先");
  QDir().mkpath(destination);
  SnapshotPrompts prompts(folder, destination);
  penmorph::MainWindowSetup setup;
  setup.program_folder = QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
  setup.ini_path = QFile::encodeName(output + "/penmorph.ini").toStdString();
  setup.formats = penmorph::MakeStandardFormats();
  setup.prompts = &prompts;
  penmorph::TForm1 window(std::move(setup));
  window.show();
  Settle(300);

  window.ChooseSearchFolder();
  auto* tree = window.findChild<QTreeWidget*>("TreeView1");
  QTreeWidgetItem* node = tree->topLevelItem(0);
  for (int i = 0; node != nullptr && i < node->childCount(); ++i) {
    if (node->child(i)->text(0) == subfolder) {
      node = node->child(i);
      break;
    }
  }
  if (node != nullptr) {
    tree->setCurrentItem(node);
    Click(tree->viewport(), tree->visualItemRect(node).center());
  }
  auto* list = window.findChild<QTableWidget*>("StringGrid1");
  if (list->rowCount() > 2) {
    list->setRangeSelected(QTableWidgetSelectionRange(0, 0, 2, list->columnCount() - 1), true);
  }
  Settle(500);

  bool ok = Save(&window, output + "/main-window.png");
  ok &= SavePreview(window, list, output + "/preview.png");
  ok &= SaveDialog([&] { window.ShowJwwSettings(); }, output + "/jww-settings.png");
  ok &= SaveDialog([&] { window.ShowJwcSettings(); }, output + "/jwc-settings.png");
  // Every listed file converted: the files that were not show in the run's report.
  window.ChooseDestination();
  if (list->rowCount() > 0) {
    list->setRangeSelected(
        QTableWidgetSelectionRange(0, 0, list->rowCount() - 1, list->columnCount() - 1), true);
  }
  window.ConvertFiles();
  ok &= SaveNextModal(output + "/report.png");
  Settle(300);
  ok &= SaveTreeRun(window, tree, output + "/tree-run.png");
  ok &= SaveDialog([&] { window.Exit(); }, output + "/exit-question.png");
  window.close();
  return ok ? 0 : 1;
}
