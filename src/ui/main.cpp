#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>

#include "formats/standard_formats.h"
#include "settings/ini_location.h"
#include "ui/main_window.h"
#include "ui/single_instance.h"
#include "ui/translation.h"
#include "ui/ui_fonts.h"
#include "ui/user_prompts.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(penmorph::kApplicationTitle);
  // The installed desktop entry and icon carry this name; from a build folder there is none.
  QGuiApplication::setDesktopFileName(QStringLiteral(PENMORPH_APP_ID));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(PENMORPH_APP_ID)));
  QApplication::setFont(penmorph::ProportionalUiFont());
  penmorph::LoadJapaneseTranslation(application);

  // One window per user: a second start hands its file or folder over and ends.
  const QStringList arguments = QCoreApplication::arguments();
  const QString start_argument = arguments.size() > 1 ? arguments.at(1) : QString();
  penmorph::SingleInstance instance(penmorph::SingleInstance::DefaultName());
  if (instance.HandOver(start_argument)) {
    return 0;
  }

  const QString program_folder = QCoreApplication::applicationDirPath();
  penmorph::MainWindowSetup setup;
  setup.program_folder = QFile::encodeName(QDir::toNativeSeparators(program_folder)).toStdString();
  setup.ini_path = penmorph::DefaultIniPath(setup.program_folder);
  setup.formats = penmorph::MakeStandardFormats();
  penmorph::TForm1 window(std::move(setup));
  window.show();
  // `penmorph FILE`: what a file manager runs to open a drawing with Penmorph; without one the
  // last search folder, once the window is on screen.
  std::optional<QString> start;
  if (!start_argument.isEmpty()) {
    start = start_argument;
  }
  instance.Listen([&window](const QString& path) { window.HandedOver(path); });
  QMetaObject::invokeMethod(
      &window, [&window, start] { window.ShowStart(start); }, Qt::QueuedConnection);
  return QApplication::exec();
}
