#include "app/survey_dialog.h"

#include <algorithm>

#include "app/code_labels.h"
#include "app/dialog_texts.h"
#include "app/window_texts.h"
#include "common/text.h"
#include "preview/display_list.h"
#include "settings/layer_table.h"

namespace penmorph::app {

using preview::CodeFamily;
using CodeRows = std::map<std::pair<CodeFamily, int>, preview::SurveyCount>;

namespace {

// The bars of what has no colour of its own.
constexpr std::uint32_t kPlainBar = 0x4F81BD;

std::string FamilyText(CodeFamily family) {
  return family == CodeFamily::kDos ? "JWC/JWK" : "JWW/JWS";
}

// A colour code's bar as jw_cad shows the pen on a white screen; the SXF colours as the standard
// has them, since each drawing may define its own.
std::uint32_t PenBar(CodeFamily family, int code) {
  if (code >= 1 && code <= 9) {
    return preview::StandardPenColor(code, preview::Background::kWhite);
  }
  if (family == CodeFamily::kWindows && code >= 101 && code <= 116) {
    const auto bgr = static_cast<std::uint32_t>(preview::StandardSxfColor(code - 100));
    return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
  }
  return 0x808080;
}

std::vector<GridBar> Bars(const std::vector<std::uint64_t>& counts,
                          const std::vector<std::uint32_t>& colours) {
  const std::uint64_t most = counts.empty() ? 0 : *std::max_element(counts.begin(), counts.end());
  std::vector<GridBar> bars;
  for (std::size_t row = 0; row < counts.size(); ++row) {
    bars.push_back({most == 0 ? 0.0 : static_cast<double>(counts[row]) / static_cast<double>(most),
                    colours[row]});
  }
  return bars;
}

SurveyTable CodeTable(std::string_view title, std::string_view heading, const CodeRows& codes,
                      std::string (*label)(CodeFamily, int), bool own_colours) {
  SurveyTable table{
      std::string(title),
      {std::string(dialog_texts::kFamilyHeading), std::string(heading),
       std::string(dialog_texts::kEntitiesHeading), std::string(dialog_texts::kFilesHeading),
       std::string(dialog_texts::kShareHeading)},
      {},
      {}};
  std::vector<std::uint64_t> counts;
  std::vector<std::uint32_t> colours;
  for (const auto& [key, count] : codes) {
    table.rows.push_back({FamilyText(key.first), label(key.first, key.second),
                          std::to_string(count.entities), std::to_string(count.files), ""});
    counts.push_back(count.entities);
    colours.push_back(own_colours ? PenBar(key.first, key.second) : kPlainBar);
  }
  table.bars = Bars(counts, colours);
  return table;
}

std::string AddressesText(const std::set<int>& addresses) {
  std::string text;
  for (int index : addresses) {
    text += (text.empty() ? "" : ", ") + preview::LayerLabel(index);
  }
  return text;
}

// The title without its "(&1)".
std::string Title(std::string_view caption) {
  return std::string(caption.substr(0, caption.find(" (&")));
}

}  // namespace

std::vector<SurveyTable> SurveyTables(const SurveyReport& report) {
  const preview::Survey& survey = report.survey;
  std::vector<SurveyTable> tables;
  tables.push_back(CodeTable(Title(dialog_texts::kSurveyColours), dialog_texts::kColourHeading,
                             survey.colors(), &ColorText, true));
  tables.push_back(CodeTable(Title(dialog_texts::kSurveyLineTypes), dialog_texts::kLineTypeHeading,
                             survey.line_types(), &preview::LineTypeLabel, false));
  SurveyTable names{
      Title(dialog_texts::kSurveyLayerNames),
      {std::string(dialog_texts::kPatternHeading), std::string(dialog_texts::kEntitiesHeading),
       std::string(dialog_texts::kFilesHeading), std::string(dialog_texts::kAddressesHeading),
       std::string(dialog_texts::kShareHeading)},
      {},
      {}};
  std::vector<std::uint64_t> counts;
  for (const preview::SurveyLayerName& layer : survey.LayerNames()) {
    names.rows.push_back({layer.name, std::to_string(layer.count.entities),
                          std::to_string(layer.count.files), AddressesText(layer.addresses), ""});
    counts.push_back(layer.count.entities);
  }
  names.bars = Bars(counts, std::vector<std::uint32_t>(counts.size(), kPlainBar));
  tables.push_back(std::move(names));
  SurveyTable unreadable{
      Title(dialog_texts::kSurveyUnreadable),
      {std::string(dialog_texts::kFileHeading), std::string(dialog_texts::kReasonHeading)},
      {},
      {}};
  for (const ReportedFile& file : report.unreadable) {
    unreadable.rows.push_back({file.file_text, file.reason});
  }
  tables.push_back(std::move(unreadable));
  return tables;
}

std::string SurveyTablesText(const SurveyReport& report, char separator) {
  auto field = [separator](const std::string& text) {
    if (separator == ',') {
      return CsvField(text);
    }
    // A tab or a line break inside a cell would split it in a spreadsheet.
    std::string cell = text;
    std::replace_if(
        cell.begin(), cell.end(), [](char c) { return c == '\t' || c == '\n'; }, ' ');
    return cell;
  };
  auto line = [&](const std::vector<std::string>& cells, std::size_t count) {
    std::string text;
    for (std::size_t column = 0; column < count; ++column) {
      text += (column == 0 ? "" : std::string(1, separator)) + field(cells[column]);
    }
    return text + "\r\n";
  };
  std::string text = field(SurveySummary(report)) + "\r\n";
  for (const SurveyTable& table : SurveyTables(report)) {
    // The bars' column holds nothing a spreadsheet could use.
    const std::size_t count = table.headings.size() - (table.bars.empty() ? 0 : 1);
    text += "\r\n" + field(table.title) + "\r\n" + line(table.headings, count);
    for (const std::vector<std::string>& row : table.rows) {
      text += line(row, count);
    }
  }
  return text;
}

std::string PatternForName(const std::string& name) {
  std::string pattern = name;
  std::replace(pattern.begin(), pattern.end(), '=', '?');
  if (!pattern.empty() && (pattern[0] == '[' || pattern[0] == ';')) {
    pattern[0] = '?';
  }
  return pattern;
}

SurveyDialog::SurveyDialog() {
  description_ = {.name = "SurveyForm",
                  .title = std::string(dialog_texts::kSurveyTitle),
                  .width = 1064,
                  .height = 680};
  DialogBuilder add(description_);
  summary_ = add.Label("Label1", "", {8, 8, 1048, 30});
  auto grid = [&](Table table, std::string_view caption, DialogRect place,
                  std::vector<GridColumn> columns, bool bars) {
    const int label = add.Label("Label" + std::to_string(table + 2), std::string(caption),
                                {place.left, place.top - 18, 240, 14});
    if (bars) {
      columns.push_back({std::string(dialog_texts::kShareHeading), 110, false});
    }
    const int bar_column = bars ? static_cast<int>(columns.size()) - 1 : -1;
    grids_[table] = add.Add({.kind = ControlKind::kGrid,
                             .name = "StringGrid" + std::to_string(table + 1),
                             .place = place,
                             .grid = {.caption_width = 40,
                                      .row_height = 22,
                                      .columns = std::move(columns),
                                      .numbered_rows = true,
                                      .bar_column = bar_column}});
    description_.controls[label].buddy = grids_[table];
  };
  const std::string family(dialog_texts::kFamilyHeading);
  const std::string entities(dialog_texts::kEntitiesHeading);
  const std::string files(dialog_texts::kFilesHeading);
  grid(kColours, dialog_texts::kSurveyColours, {8, 62, 520, 190},
       {{family, 80, false},
        {std::string(dialog_texts::kColourHeading), 80, false},
        {entities, 80, false},
        {files, 80, false}},
       true);
  grid(kLineTypes, dialog_texts::kSurveyLineTypes, {8, 276, 520, 170},
       {{family, 80, false},
        {std::string(dialog_texts::kLineTypeHeading), 80, false},
        {entities, 80, false},
        {files, 80, false}},
       true);
  grid(kUnreadable, dialog_texts::kSurveyUnreadable, {8, 470, 520, 160},
       {{std::string(dialog_texts::kFileHeading), 230, false},
        {std::string(dialog_texts::kReasonHeading), 400, false}},
       false);
  grid(kLayerNames, dialog_texts::kSurveyLayerNames, {540, 62, 516, 568},
       {{std::string(dialog_texts::kPatternHeading), 150, false},
        {entities, 70, false},
        {files, 70, false},
        {std::string(dialog_texts::kAddressesHeading), 60, false}},
       true);
  copy_ = add.Button("Button1", std::string(texts::kCopyButton), {8, 644, 110, 26});
  save_ = add.Button("Button2", std::string(dialog_texts::kSaveCsvButton), {126, 644, 140, 26});
  names_ =
      add.Button("Button3", std::string(dialog_texts::kNamesToRulesButton), {540, 644, 260, 26});
  const int close =
      add.Button("Button4", std::string(dialog_texts::kCloseButton), {951, 644, 105, 26});
  description_.ok = close;
  description_.cancel = close;
  description_.first_focus = grids_[kColours];
}

void SurveyDialog::SetReport(SurveyReport report) {
  report_ = std::move(report);
  chosen_names_.clear();
  // A caption: the views build it from the description.
  description_.controls[summary_].text = SurveySummary(report_);
}

DialogValues SurveyDialog::Load() const {
  DialogValues values(description_.controls.size());
  const std::vector<SurveyTable> tables = SurveyTables(report_);
  for (int table = kColours; table <= kUnreadable; ++table) {
    ControlValue& value = values[grids_[table]];
    const SurveyTable& shown = tables[table];
    value.columns.assign(shown.headings.size(), {});
    for (const std::vector<std::string>& row : shown.rows) {
      for (std::size_t column = 0; column < row.size(); ++column) {
        value.columns[column].push_back(row[column]);
      }
    }
    value.bars = shown.bars;
  }
  return values;
}

DialogReply SurveyDialog::Press(int button, DialogValues& /*values*/) {
  if (button == copy_) {
    return {.clipboard = SurveyTablesText(report_, '\t')};
  }
  if (button == save_) {
    // With the byte order mark, a spreadsheet on Windows reads the file as UTF-8.
    return {.save = FileToSave{std::string(dialog_texts::kSaveSurveyTitle), "penmorph-survey.csv",
                               std::string(dialog_texts::kCsvFilter), "csv",
                               "\xEF\xBB\xBF" + SurveyTablesText(report_, ',')}};
  }
  if (button == names_) {
    const std::vector<preview::SurveyLayerName> layers = report_.survey.LayerNames();
    if (layers.empty()) {
      return {.error = std::string(dialog_texts::kNoNamesFound), .focus = grids_[kLayerNames]};
    }
    chosen_names_.clear();
    for (const preview::SurveyLayerName& layer : layers) {
      chosen_names_.push_back(PatternForName(layer.name));
    }
    return {.close = DialogReply::Close::kAccept};
  }
  return {.close = DialogReply::Close::kReject};
}

std::vector<std::string> SurveyDialog::TakeChosenNames() {
  return std::exchange(chosen_names_, {});
}

}  // namespace penmorph::app
