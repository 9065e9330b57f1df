#include "ui/failure_report.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/path_text.h"
#include "ui/user_prompts.h"

namespace penmorph {

namespace {

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

FailureReport::FailureReport(const std::vector<app::ReportedFile>& files, UserPrompts& prompts,
                             QWidget* parent)
    : QDialog(parent),
      prompts_(prompts),
      report_(app::ReportText(files)),
      text_(new QPlainTextEdit(this)) {
  setObjectName(QStringLiteral("FailureReport"));
  setWindowTitle(kApplicationTitle);
  auto* layout = new QVBoxLayout(this);
  // The heading is the text's first line, so that it is copied and saved with the files.
  text_->setObjectName(QStringLiteral("ReportText"));
  text_->setReadOnly(true);
  text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  text_->setPlainText(FromUtf8(report_));
  layout->addWidget(text_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  QPushButton* copy =
      buttons->addButton(QStringLiteral("コピー(&C)"), QDialogButtonBox::ActionRole);
  copy->setObjectName(QStringLiteral("CopyButton"));
  QPushButton* save =
      buttons->addButton(QStringLiteral("保存(&S)..."), QDialogButtonBox::ActionRole);
  save->setObjectName(QStringLiteral("SaveButton"));
  connect(copy, &QPushButton::clicked, this, &FailureReport::CopyAll);
  connect(save, &QPushButton::clicked, this, &FailureReport::SaveAs);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  resize(640, 320);
}

void FailureReport::CopyAll() {
  QApplication::clipboard()->setText(FromUtf8(report_));
}

void FailureReport::SaveAs() {
  auto chosen = prompts_.ChooseReportFile(this, QStringLiteral("penmorph-report.txt"));
  if (!chosen) {
    return;
  }
  const std::filesystem::path file = app::PathFromText(chosen->toStdString());
  if (Status saved = app::SaveReportText(file, report_); !saved.ok()) {
    prompts_.Beep();
    prompts_.ShowMessage(this, MessageKind::kError,
                         FromUtf8(app::ReportNotSavedText(file, saved.error())));
  }
}

}  // namespace penmorph
