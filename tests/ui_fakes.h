#pragma once

// Answers the window's questions in place of a user and records what it was shown.

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

#include "ui/user_prompts.h"

namespace penmorph::testing {

// Events: "beep", "error:TEXT", "information:TEXT", "confirmation:TEXT", "warning:TEXT",
// "ask:TEXT", "folder:TITLE|START", "settings-save:TITLE|START", "settings-open:TITLE|START",
// "report-file:START", "open:PATH", "report:N".
class FakePrompts : public UserPrompts {
 public:
  QStringList events;
  bool answer = true;           // to every Yes/No question
  std::deque<QString> folders;  // answers to the folder picker in turn; an empty one cancels
  std::optional<QString> settings_file;   // answer to the settings-file pickers
  std::optional<QString> report_file;     // answer to the report's save picker
  std::vector<app::ReportedFile> report;  // the files of the last report shown
  std::vector<std::string> report_lines;  // its counts
  std::string check_report;               // the last "基準チェック" report shown

  void ShowMessage(QWidget*, MessageKind kind, const QString& text) override {
    static const char* const kNames[] = {"error", "information", "confirmation", "warning"};
    events << QString::fromLatin1(kNames[static_cast<int>(kind)]) + ":" + text;
  }
  bool AskYesNo(QWidget*, const QString& text) override {
    events << "ask:" + text;
    return answer;
  }
  void Beep() override { events << "beep"; }
  std::optional<QString> ChooseFolder(QWidget*, const QString& title,
                                      const QString& start) override {
    events << "folder:" + title + "|" + start;
    if (folders.empty()) {
      return std::nullopt;
    }
    QString folder = folders.front();
    folders.pop_front();
    if (folder.isEmpty()) {
      return std::nullopt;
    }
    return folder;
  }
  std::optional<QString> ChooseSettingsFile(QWidget*, bool save, const QString& title,
                                            const QString& start) override {
    events << QString(save ? "settings-save:" : "settings-open:") + title + "|" + start;
    return settings_file;
  }
  std::optional<QString> ChooseReportFile(QWidget*, const QString& title, const QString& start,
                                          const QString&) override {
    events << "report-file:" + title + "|" + start;
    return report_file;
  }
  bool OpenWithAssociatedProgram(const QString& path) override {
    events << "open:" + path;
    return true;
  }
  void ShowReport(QWidget*, const app::RunSummary& summary) override {
    report = app::SummaryRows(summary);
    report_lines = app::SummaryLines(summary);
    events << QStringLiteral("report:%1").arg(report.size());
  }
  void ShowCheckReport(QWidget*, const std::string& text) override {
    check_report = text;
    events << QStringLiteral("check-report");
  }

  // The events since the last call.
  QStringList Take() {
    QStringList taken = events;
    events.clear();
    return taken;
  }
};

}  // namespace penmorph::testing
