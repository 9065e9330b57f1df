#pragma once

// The report of "集計": four tables - colours, line types, layer names, unreadable files - each
// row with a bar of its entities beside the largest row's, pens in their own colours. It is
// copied (tab-separated, for a spreadsheet) and saved as CSV; its layer names go into the "名前で
// 指定" list of "レイヤ設定" for the user to give them targets.

#include <string>
#include <vector>

#include "app/archive_survey.h"
#include "app/dialog_description.h"

namespace penmorph::app {

// One table of the report as the user reads it.
struct SurveyTable {
  std::string title;                           // "線色"
  std::vector<std::string> headings;           // the bar's column last, if it has one
  std::vector<std::vector<std::string>> rows;  // texts by column; the bar's cell empty
  std::vector<GridBar> bars;                   // by row; empty for a table without bars
};

std::vector<SurveyTable> SurveyTables(const SurveyReport& report);

// The summary, then each table with its title and headings, cells separated by `separator`:
// ',' for CSV (fields quoted as CSV quotes them), '\t' for the clipboard. Bars are left out.
std::string SurveyTablesText(const SurveyReport& report, char separator);

// A name as a rule's pattern a settings file can hold: a '=' anywhere, or a '[' or ';' at the
// start, becomes '?', which still matches the name.
std::string PatternForName(const std::string& name);

class SurveyDialog : public DialogModel {
 public:
  enum Table { kColours, kLineTypes, kLayerNames, kUnreadable };

  SurveyDialog();

  // The report shown the next time the dialog opens.
  void SetReport(SurveyReport report);
  const SurveyReport& report() const { return report_; }

  DialogReply Press(int button, DialogValues& values) override;

  int grid(Table table) const { return grids_[table]; }
  int copy_button() const { return copy_; }
  int save_button() const { return save_; }
  int names_button() const { return names_; }
  // After the dialog closed through the names button: the patterns for "名前で指定", most used
  // first; empty otherwise.
  std::vector<std::string> TakeChosenNames();

 private:
  DialogValues Load() const override;

  SurveyReport report_;
  std::vector<std::string> chosen_names_;
  int summary_ = -1;
  int grids_[4] = {-1, -1, -1, -1};
  int copy_ = -1;
  int save_ = -1;
  int names_ = -1;
};

}  // namespace penmorph::app
