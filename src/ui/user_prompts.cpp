#include "ui/user_prompts.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

#include "app/window_texts.h"
#include "ui/failure_report.h"
#include "ui/qt_text.h"

namespace penmorph {

namespace {

QMessageBox::Icon IconFor(MessageKind kind) {
  switch (kind) {
    case MessageKind::kError:
      return QMessageBox::Critical;
    case MessageKind::kInformation:
      return QMessageBox::Information;
    case MessageKind::kWarning:
      return QMessageBox::Warning;
    case MessageKind::kConfirmation:
      break;
  }
  return QMessageBox::Question;
}

const QString kSettingsFilter = FromUtf8(app::texts::kSettingsFilter);

}  // namespace

void DesktopPrompts::ShowMessage(QWidget* parent, MessageKind kind, const QString& text) {
  QMessageBox box(IconFor(kind), kApplicationTitle, text, QMessageBox::Ok, parent);
  box.exec();
}

bool DesktopPrompts::AskYesNo(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Question, kApplicationTitle, text,
                  QMessageBox::Yes | QMessageBox::No, parent);
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}

void DesktopPrompts::Beep() {
  QApplication::beep();
}

std::optional<QString> DesktopPrompts::ChooseFolder(QWidget* parent, const QString& title,
                                                    const QString& start) {
  QString folder = QFileDialog::getExistingDirectory(parent, title, start);
  if (folder.isEmpty()) {
    return std::nullopt;
  }
  return folder;
}

std::optional<QString> DesktopPrompts::ChooseSettingsFile(QWidget* parent, bool save,
                                                          const QString& title,
                                                          const QString& start) {
  QFileDialog dialog(parent, title);
  dialog.setNameFilter(kSettingsFilter);
  dialog.setDefaultSuffix(QStringLiteral("set"));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  QFileInfo info(start);
  if (!start.isEmpty() && !info.isDir()) {
    dialog.setDirectory(info.absolutePath());
    dialog.selectFile(info.fileName());
  } else if (!start.isEmpty()) {
    dialog.setDirectory(start);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return QDir::toNativeSeparators(dialog.selectedFiles().front());
}

bool DesktopPrompts::OpenWithAssociatedProgram(const QString& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

std::optional<QString> DesktopPrompts::ChooseReportFile(QWidget* parent, const QString& title,
                                                        const QString& start,
                                                        const QString& filter) {
  QString file = QFileDialog::getSaveFileName(
      parent, title, start, filter.isEmpty() ? FromUtf8(app::texts::kReportFilter) : filter);
  if (file.isEmpty()) {
    return std::nullopt;
  }
  return QDir::toNativeSeparators(file);
}

void DesktopPrompts::ShowReport(QWidget* parent, const app::RunSummary& summary) {
  FailureReport report(summary, *this, parent);
  report.exec();
}

void DesktopPrompts::ShowCheckReport(QWidget* parent, const std::string& report) {
  FailureReport window(report, *this, parent);
  window.exec();
}

}  // namespace penmorph
