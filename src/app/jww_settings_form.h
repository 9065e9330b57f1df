#pragma once

// The value rules of the JWW/JWS settings dialog: its two grids of numbers typed as text (the
// colours and the line types) and the options, the range fill and the check row by row when the
// user confirms.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/conv_settings.h"

namespace penmorph::app {

// The rules of the two grids: EntryRule::kColour and EntryRule::kLineType.
using ValueRule = EntryRule;

struct JwwSettingsForm {
  // The colour grid shows the colours and the SXF colours, the line-type grid the line types and
  // the SXF line types, the check boxes the options.
  static constexpr int kColourRows = kJwwColours.count + kSxfColours.count;
  static constexpr int kFirstColour = kJwwColours.first_entry;
  static constexpr int kLineTypeRows = kJwwLineTypes.count + kSxfLineTypes.count;
  static constexpr int kFirstLineType = kJwwLineTypes.first_entry;
  static constexpr int kFirstOption = kJwwOptions.first_entry;
  static constexpr int kOptionCount = kJwwOptions.count;

  std::vector<std::string> colours;     // the cells' texts, row 0 = entry kFirstColour
  std::vector<std::string> line_types;  // row 0 = entry kFirstLineType
  std::array<bool, kOptionCount> options{};
};

// The dialog's contents at opening: every value as stored (out-of-range ones too, so that
// confirming points at them), every non-zero option checked.
JwwSettingsForm JwwFormFromTable(const JwwConvSettings& table);

// The row captions of the two grids, UTF-8.
std::vector<std::string> ColourRowCaptions();
std::vector<std::string> LineTypeRowCaptions();

// The range fill: `typed` is read as a number. When the rule refuses it, nothing changes and
// nullopt comes back (the dialog beeps and puts the focus into the box). Otherwise the number's
// decimal text, written into rows `first` to `last` of `cells` and back into the box.
std::optional<std::string> FillRows(std::vector<std::string>& cells, std::size_t first,
                                    std::size_t last, std::string_view typed, ValueRule rule);
// The error box of a refused fill: "一括設定の値 12 は 0〜9 の範囲で入力して下さい。"
std::string FillRefusalText(std::string_view typed, ValueRule rule);

struct RefusedCell {
  enum Grid { kColours, kLineTypes } grid = kColours;
  std::size_t row = 0;
  // Why, for an error box: the row's caption as the grid shows it, the text typed and the
  // values the grid takes.
  std::string message;
  bool operator==(const RefusedCell&) const = default;
};

// The confirmation: the colour cells, then the line-type cells, row by row; each cell that
// passes is rewritten as decimal text. At the first refused cell it stops, leaving the table
// as it was, and says which cell and why (the dialog beeps, shows the message and opens that
// cell's editor). When every cell passes, the whole table is stored and nullopt comes back.
std::optional<RefusedCell> ConfirmJwwForm(JwwSettingsForm& form, JwwConvSettings& table);

}  // namespace penmorph::app
