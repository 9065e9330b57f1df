#pragma once

// The report after a run: its counts, then the files that were not converted, each with its
// reason, as text the user can select, copy and save. Long lines wrap. A "基準チェック"'s
// report is shown the same way.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/dialog_flow.h"
#include "app/run_report.h"
#include "app/run_summary.h"
#include "win/desktop.h"
#include "win/ui_font.h"
#include "win/window_base.h"

namespace penmorph::win {

// Puts UTF-8 text on the clipboard as Unicode text.
void CopyTextToClipboard(HWND owner, std::string_view text);
// Where the user wants `file` saved, asked over `owner`.
std::optional<std::filesystem::path> ChooseReportFile(Desktop& desktop, HWND owner,
                                                      const app::FileToSave& file);

class ReportWindow : public WindowBase, private app::SavingWindow {
 public:
  static constexpr const wchar_t* kClassName = L"PenmorphReport";

  ReportWindow(const app::RunSummary& summary, Desktop& desktop);
  // Any other report the model wrote whole, such as a "基準チェック"'s.
  ReportWindow(const std::string& report, Desktop& desktop,
               app::ReportSaving saving = app::kCheckReportSaving);

  // Shows the report modally over `owner` until the user closes it.
  void ShowModal(HWND owner);

  void CopyClick();
  void SaveClick();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void Layout();
  std::optional<std::filesystem::path> ChooseSaveFile(const app::FileToSave& file) override;
  void ShowError(const std::string& text) override;

  Desktop& desktop_;
  std::string report_;  // UTF-8, the counts first
  app::ReportSaving saving_;
  UiFont font_;
  HWND text_ = nullptr;
  HWND copy_ = nullptr;
  HWND save_ = nullptr;
  HWND ok_ = nullptr;
  bool done_ = false;
};

}  // namespace penmorph::win
