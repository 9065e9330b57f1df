#include "app/jwc_settings_form.h"

namespace penmorph::app {

const std::vector<std::string>& JwcPenItems() {
  static const std::vector<std::string> kItems = {"無変換", "Pen.1", "Pen.2", "Pen.3",
                                                  "Pen.4",  "Pen.5", "Pen.6"};
  return kItems;
}

const std::vector<std::string>& JwcLineTypeItems() {
  static const std::vector<std::string> kItems = {
      "無変換",     "実　線",     "点　線　１", "点　線　２", "点　線　３",
      "１点鎖線１", "１点鎖線２", "２点鎖線１", "２点鎖線２", "補助線",
      "　",         "ランダム１", "ランダム２", "ランダム３", "ランダム４",
      "ランダム５", "倍長線種１", "倍長線種２", "倍長線種３",
  };
  return kItems;
}

int JwcItemCount(int list) {
  const auto& items =
      list >= JwcSettingsForm::kFirstLineTypeList ? JwcLineTypeItems() : JwcPenItems();
  return static_cast<int>(items.size());
}

JwcSettingsForm JwcFormFromTable(const JwcConvSettings& table) {
  JwcSettingsForm form;
  for (int k = 1; k <= JwcSettingsForm::kListCount; ++k) {
    const std::int32_t value = table.Entry(k);
    form.positions[k - 1] = value < 0 || value > JwcItemCount(k) - 1 ? 0 : value;
  }
  form.change_text_pen = table.Entry(JwcConvSettings::kChangeTextPen) != 0;
  return form;
}

std::optional<int> ConfirmJwcForm(const JwcSettingsForm& form, JwcConvSettings& table) {
  for (int k = 1; k <= JwcSettingsForm::kListCount; ++k) {
    const int position = form.positions[k - 1];
    if (k >= JwcSettingsForm::kFirstLineTypeList && position == JwcSettingsForm::kBlankLineType) {
      return k;
    }
    table.SetEntry(k, position);
  }
  table.SetEntry(JwcConvSettings::kChangeTextPen, form.change_text_pen ? 1 : 0);
  return std::nullopt;
}

std::string BlankLineTypeText(int list) {
  return "線種 " + std::to_string(list - JwcSettingsForm::kFirstLineTypeList + 1) +
         " の変換先が空欄です。線種を選んで下さい。";
}

}  // namespace penmorph::app
