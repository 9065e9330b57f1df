#pragma once

// The value rules of the JWC/JWK settings dialog: 23 drop-down lists whose item positions are
// the stored values (six pens, seventeen line types) and one check box.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "settings/conv_settings.h"

namespace penmorph::app {

struct JwcSettingsForm {
  // List k shows entry k: the pens, then the line types.
  static constexpr int kListCount = kJwcPens.count + kJwcLineTypes.count;
  static constexpr int kFirstLineTypeList = kJwcLineTypes.first_entry;
  static constexpr int kBlankLineType = 10;  // the empty item of a line-type list: refused
  static_assert(kJwcPens.first_entry == 1 && !IsValidEntry(kJwcLineTypes.rule, kBlankLineType));

  std::array<int, kListCount> positions{};  // index k - 1 for list k
  bool change_text_pen = false;             // the DOS flag
};

// The items of a pen list and of a line-type list, UTF-8; an item's position is its value.
const std::vector<std::string>& JwcPenItems();
const std::vector<std::string>& JwcLineTypeItems();
// How many items list k (1-23) holds.
int JwcItemCount(int list);

// The dialog at opening: a value no item stands for (negative, or past the last item) shows as
// item 0, "無変換".
JwcSettingsForm JwcFormFromTable(const JwcConvSettings& table);

// The confirmation: the lists are stored one by one in order. A line-type list showing the
// blank item stops it there and its number comes back (the dialog puts the focus on it); the
// lists before it keep their new values. nullopt when every list and the check box are stored.
std::optional<int> ConfirmJwcForm(const JwcSettingsForm& form, JwcConvSettings& table);
// The error box of a blank line type at OK, naming the list.
std::string BlankLineTypeText(int list);

}  // namespace penmorph::app
