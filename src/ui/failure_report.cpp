#include "ui/failure_report.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/path_text.h"
#include "app/window_texts.h"
#include "ui/qt_text.h"
#include "ui/user_prompts.h"

namespace penmorph {

FailureReport::FailureReport(const app::RunSummary& summary, UserPrompts& prompts, QWidget* parent)
    : FailureReport(app::SummaryText(summary), prompts, parent, app::kRunReportSaving) {}

FailureReport::FailureReport(std::string report, UserPrompts& prompts, QWidget* parent,
                             app::ReportSaving saving)
    : QDialog(parent),
      prompts_(prompts),
      report_(std::move(report)),
      saving_(saving),
      text_(new QPlainTextEdit(this)) {
  setObjectName(QStringLiteral("FailureReport"));
  setWindowTitle(kApplicationTitle);
  auto* layout = new QVBoxLayout(this);
  // The counts come first in the text, so that they are copied and saved with the files; long
  // reasons wrap instead of running off the edge.
  text_->setObjectName(QStringLiteral("ReportText"));
  text_->setReadOnly(true);
  text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  text_->setPlainText(FromUtf8(report_));
  layout->addWidget(text_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  QPushButton* copy =
      buttons->addButton(FromUtf8(app::texts::kCopyButton), QDialogButtonBox::ActionRole);
  copy->setObjectName(QStringLiteral("CopyButton"));
  QPushButton* save =
      buttons->addButton(FromUtf8(app::texts::kSaveButton), QDialogButtonBox::ActionRole);
  save->setObjectName(QStringLiteral("SaveButton"));
  connect(copy, &QPushButton::clicked, this, &FailureReport::CopyAll);
  connect(save, &QPushButton::clicked, this, &FailureReport::SaveAs);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  resize(720, 420);
}

void FailureReport::CopyAll() {
  QApplication::clipboard()->setText(FromUtf8(report_));
}

void FailureReport::SaveAs() {
  app::SaveChosenFile({std::string(saving_.title), std::string(saving_.file_name), {}, {}, report_},
                      *this);
}

std::optional<std::filesystem::path> FailureReport::ChooseSaveFile(const app::FileToSave& file) {
  const auto chosen =
      prompts_.ChooseReportFile(this, FromUtf8(file.title), FromUtf8(file.file_name));
  return chosen ? std::optional(app::PathFromText(chosen->toStdString())) : std::nullopt;
}

void FailureReport::ShowError(const std::string& text) {
  prompts_.Beep();
  prompts_.ShowMessage(this, MessageKind::kError, FromUtf8(text));
}

}  // namespace penmorph
