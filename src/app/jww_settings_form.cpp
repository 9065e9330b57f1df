#include "app/jww_settings_form.h"

#include <algorithm>
#include <utility>

#include "app/dialog_texts.h"
#include "app/typed_number.h"

namespace penmorph::app {

namespace {

// Reads, checks and rewrites one grid; the first refused row, or nullopt.
std::optional<std::size_t> CheckCells(std::vector<std::string>& cells, ValueRule rule,
                                      std::vector<std::int32_t>& values) {
  values.clear();
  for (std::size_t row = 0; row < cells.size(); ++row) {
    const std::int32_t value = ReadTypedNumber(cells[row]);
    if (!IsValidEntry(rule, value)) {
      return row;
    }
    cells[row] = std::to_string(value);
    values.push_back(value);
  }
  return std::nullopt;
}

RefusedCell Refuse(RefusedCell::Grid grid, std::size_t row, const std::string& typed) {
  const bool colours = grid == RefusedCell::kColours;
  std::string message = (colours ? ColourRowCaptions() : LineTypeRowCaptions()).at(row);
  message += " の値 ";
  message += typed;
  message += " は ";
  message += colours ? dialog_texts::kColourRange : dialog_texts::kLineTypeRange;
  message += " の範囲で入力して下さい。";
  return RefusedCell{grid, row, std::move(message)};
}

}  // namespace

std::string FillRefusalText(std::string_view typed, ValueRule rule) {
  return "一括設定の値 " + std::string(typed) + " は " +
         std::string(rule == ValueRule::kColour ? dialog_texts::kColourRange
                                                : dialog_texts::kLineTypeRange) +
         " の範囲で入力して下さい。";
}

JwwSettingsForm JwwFormFromTable(const JwwConvSettings& table) {
  JwwSettingsForm form;
  for (int r = 0; r < JwwSettingsForm::kColourRows; ++r) {
    form.colours.push_back(std::to_string(table.Entry(JwwSettingsForm::kFirstColour + r)));
  }
  for (int r = 0; r < JwwSettingsForm::kLineTypeRows; ++r) {
    form.line_types.push_back(std::to_string(table.Entry(JwwSettingsForm::kFirstLineType + r)));
  }
  for (int k = 0; k < JwwSettingsForm::kOptionCount; ++k) {
    form.options[k] = table.Entry(JwwSettingsForm::kFirstOption + k) != 0;
  }
  return form;
}

std::vector<std::string> ColourRowCaptions() {
  std::vector<std::string> captions;
  for (int r = 1; r <= 8; ++r) {
    captions.push_back("線色 " + std::to_string(r));
  }
  captions.push_back("補助線色");
  for (const char* sxf : {"SXF 1:black", "SXF 2:red", "SXF 3:green", "SXF 4:blue", "SXF 5:yellow",
                          "SXF 6:magenta", "SXF 7:cyan", "SXF 8:white", "SXF 9:deeppink",
                          "SXF10:brown", "SXF11:orange", "SXF12:lightgreen", "SXF13:lightblue",
                          "SXF14:lavender", "SXF15:lightgray", "SXF16:darkgray"}) {
    captions.push_back(sxf);
  }
  // SXF colours 17 on are the user's.
  for (int n = 17; n <= kSxfColours.count; ++n) {
    captions.push_back("SXF USER定義線色 " + std::to_string(n));
  }
  return captions;
}

std::vector<std::string> LineTypeRowCaptions() {
  std::vector<std::string> captions = {
      "線種1:実線",         "線種2:点線１",     "線種3:点線２",       "線種4:点線３",
      "線種5:一点鎖線１",   "線種6:一点鎖線２", "線種7:二点鎖線１",   "線種8:二点鎖線２",
      "補助線種",           "ランダム線１",     "ランダム線２",       "ランダム線３",
      "ランダム線４",       "ランダム線５",     "倍長線種１",         "倍長線種２",
      "倍長線種３",         "倍長線種４",       "SXF 1:実線",         "SXF 2:破線",
      "SXF 3:跳び破線",     "SXF 4:一点長鎖線", "SXF 5:二点長鎖線",   "SXF 6:三点長鎖線",
      "SXF 7:点線",         "SXF 8:一点鎖線",   "SXF 9:二点鎖線",     "SXF10:一点短鎖線",
      "SXF11:一点二短鎖線", "SXF12:二点短鎖線", "SXF13:二点二短鎖線", "SXF14:三点短鎖線",
      "SXF15:三点二短鎖線",
  };
  // SXF line types 17 on are the user's (16 has no entry).
  for (int n = 17; captions.size() < static_cast<std::size_t>(JwwSettingsForm::kLineTypeRows);
       ++n) {
    captions.push_back("SXF USER定義線種 " + std::to_string(n));
  }
  return captions;
}

std::optional<std::string> FillRows(std::vector<std::string>& cells, std::size_t first,
                                    std::size_t last, std::string_view typed, ValueRule rule) {
  const std::int32_t value = ReadTypedNumber(typed);
  if (!IsValidEntry(rule, value)) {
    return std::nullopt;
  }
  std::string text = std::to_string(value);
  if (first > last) {
    std::swap(first, last);
  }
  for (std::size_t row = first; row <= last && row < cells.size(); ++row) {
    cells[row] = text;
  }
  return text;
}

std::optional<RefusedCell> ConfirmJwwForm(JwwSettingsForm& form, JwwConvSettings& table) {
  std::vector<std::int32_t> colours;
  std::vector<std::int32_t> line_types;
  if (auto row = CheckCells(form.colours, kJwwColours.rule, colours)) {
    return Refuse(RefusedCell::kColours, *row, form.colours[*row]);
  }
  if (auto row = CheckCells(form.line_types, kJwwLineTypes.rule, line_types)) {
    return Refuse(RefusedCell::kLineTypes, *row, form.line_types[*row]);
  }
  for (std::size_t r = 0; r < colours.size(); ++r) {
    table.SetEntry(JwwSettingsForm::kFirstColour + static_cast<int>(r), colours[r]);
  }
  for (std::size_t r = 0; r < line_types.size(); ++r) {
    table.SetEntry(JwwSettingsForm::kFirstLineType + static_cast<int>(r), line_types[r]);
  }
  for (int k = 0; k < JwwSettingsForm::kOptionCount; ++k) {
    table.SetEntry(JwwSettingsForm::kFirstOption + k, form.options[k] ? 1 : 0);
  }
  return std::nullopt;
}

}  // namespace penmorph::app
