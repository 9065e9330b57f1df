#include "app/layer_settings_form.h"

#include <algorithm>
#include <utility>

#include "app/dialog_texts.h"
#include "app/path_text.h"
#include "app/run_report.h"
#include "app/typed_number.h"
#include "common/text.h"
#include "convert/file_preview.h"
#include "settings/ini_document.h"

namespace penmorph::app {

namespace {

// A Japanese input method types full-width digits, hyphens and letters: Ａ-Ｆ and ａ-ｆ count as
// their ASCII forms too (the digits, the hyphen and the blank are the numbers' rule).
std::string HalfWidthLayerText(std::string_view utf8) {
  const std::string text = HalfWidthNumberText(utf8);
  std::string half;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    if (i + 2 < text.size() && byte(i) == 0xEF) {
      const unsigned char middle = byte(i + 1);
      const unsigned char last = byte(i + 2);
      if (middle == 0xBC && last >= 0xA1 && last <= 0xA6) {  // U+FF21 ... U+FF26
        half += static_cast<char>('A' + (last - 0xA1));
        i += 2;
        continue;
      }
      if (middle == 0xBD && last >= 0x81 && last <= 0x86) {  // U+FF41 ... U+FF46
        half += static_cast<char>('a' + (last - 0x81));
        i += 2;
        continue;
      }
    }
    half += text[i];
  }
  return half;
}

// "" for a blank cell, "2-5" for a layer; nullopt for anything else.
std::optional<std::string> TargetText(std::string_view typed) {
  const std::string half = HalfWidthLayerText(typed);
  if (IsBlank(half)) {
    return std::string();
  }
  const std::optional<LayerAddress> target = ParseLayerAddress(half);
  if (!target) {
    return std::nullopt;
  }
  return LayerAddressText(*target);
}

}  // namespace

LayerSettingsForm LayerFormFromTable(const LayerTable& table) {
  LayerSettingsForm form;
  for (int index = 0; index < kLayerCount; ++index) {
    const std::optional<LayerAddress> target = table.Target(index);
    form.targets.push_back(target ? LayerAddressText(*target) : std::string());
    form.layer_names.push_back(table.LayerName(index));
  }
  for (int group = 0; group < kLayerGroupCount; ++group) {
    form.group_names.push_back(table.GroupName(group));
  }
  for (const LayerNameRule& rule : table.name_rules()) {
    form.patterns.push_back(rule.pattern);
    form.pattern_targets.push_back(LayerAddressText(rule.target));
  }
  return form;
}

std::vector<std::string> LayerRowCaptions() {
  std::vector<std::string> captions;
  for (int index = 0; index < kLayerCount; ++index) {
    captions.push_back(LayerAddressText(LayerAddress::FromIndex(index)));
  }
  return captions;
}

std::vector<std::string> GroupRowCaptions() {
  std::vector<std::string> captions;
  for (int group = 0; group < kLayerGroupCount; ++group) {
    captions.push_back(LayerGroupText(group));
  }
  return captions;
}

std::vector<std::string> DrawingLayerNames(const preview::LayerSheet* sheet) {
  if (sheet == nullptr || !sheet->known) {
    return std::vector<std::string>(kLayerCount);
  }
  return {sheet->names.begin(), sheet->names.end()};
}

std::vector<std::string> DrawingGroupNames(const preview::LayerSheet* sheet) {
  if (sheet == nullptr || !sheet->known) {
    return std::vector<std::string>(kLayerGroupCount);
  }
  return {sheet->group_names.begin(), sheet->group_names.end()};
}

std::optional<std::string> FillTargets(std::vector<std::string>& targets, std::size_t first,
                                       std::size_t last, std::string_view typed) {
  std::optional<std::string> text = TargetText(typed);
  if (!text) {
    return std::nullopt;
  }
  if (first > last) {
    std::swap(first, last);
  }
  for (std::size_t row = first; row <= last && row < targets.size(); ++row) {
    targets[row] = *text;
  }
  return text;
}

std::string FillTargetRefusalText(std::string_view typed) {
  return "一括設定の移動先 " + std::string(typed) + " は " +
         std::string(dialog_texts::kLayerTargetForm) + " の形で入力して下さい。";
}

std::optional<RefusedTarget> ConfirmLayerForm(LayerSettingsForm& form, LayerTable& table) {
  LayerTable confirmed;
  for (std::size_t row = 0; row < form.targets.size() && row < kLayerCount; ++row) {
    const std::optional<std::string> text = TargetText(form.targets[row]);
    if (!text) {
      std::string message = "レイヤ ";
      message += LayerAddressText(LayerAddress::FromIndex(static_cast<int>(row)));
      message += " の移動先 ";
      message += form.targets[row];
      message += " は ";
      message += dialog_texts::kLayerTargetForm;
      message += " の形で入力して下さい。";
      return RefusedTarget{row, std::move(message)};
    }
    form.targets[row] = *text;
    confirmed.SetTarget(static_cast<int>(row), ParseLayerAddress(*text));
  }
  for (std::size_t row = 0; row < form.layer_names.size() && row < kLayerCount; ++row) {
    confirmed.SetLayerName(static_cast<int>(row), form.layer_names[row]);
  }
  for (std::size_t row = 0; row < form.group_names.size() && row < kLayerGroupCount; ++row) {
    confirmed.SetGroupName(static_cast<int>(row), form.group_names[row]);
  }
  std::vector<LayerNameRule> rules;
  form.pattern_targets.resize(form.patterns.size());
  for (std::size_t row = 0; row < form.patterns.size(); ++row) {
    std::string& pattern = form.patterns[row];
    std::string& typed = form.pattern_targets[row];
    pattern = std::string(TrimBlanks(pattern));  // a settings file keeps no outer blanks
    if (IsBlank(pattern) && IsBlank(typed)) {
      continue;  // an empty row is no rule
    }
    const std::string rule = "名前で指定の " + std::to_string(row + 1) + " 行目";
    if (FoldLayerName(pattern).empty()) {
      return RefusedTarget{row, rule + " にレイヤ名を入力して下さい。",
                           RefusedTarget::Cell::kPattern};
    }
    if (!IniDocument::CanHoldKey(pattern)) {
      return RefusedTarget{
          row,
          rule + " のレイヤ名 " + pattern +
              " は設定ファイルに書けません（「=」を含むか、「[」「;」で始まる名前）。"
              "* や ? で置き換えて下さい。",
          RefusedTarget::Cell::kPattern};
    }
    const std::optional<std::string> text = TargetText(typed);
    if (!text || text->empty()) {
      return RefusedTarget{row,
                           rule + " (" + pattern + ") の移動先 " + typed + " は " +
                               std::string(dialog_texts::kLayerTargetForm) +
                               " の形で入力して下さい。",
                           RefusedTarget::Cell::kPatternTarget};
    }
    typed = *text;
    rules.push_back({pattern, *ParseLayerAddress(*text)});
  }
  confirmed.SetNameRules(std::move(rules));
  table = std::move(confirmed);
  return std::nullopt;
}

std::vector<std::string> TakenLayersText(const std::vector<std::string>& names,
                                         const std::vector<std::string>& targets,
                                         const std::vector<std::string>& patterns) {
  const bool no_drawing =
      std::all_of(names.begin(), names.end(), [](const std::string& name) { return name.empty(); });
  if (no_drawing || names.size() != kLayerCount) {
    return std::vector<std::string>(patterns.size());
  }
  // What the rows say as they stand: a target that is not yet a layer counts as blank.
  LayerTable table;
  for (std::size_t row = 0; row < targets.size() && row < kLayerCount; ++row) {
    table.SetTarget(static_cast<int>(row),
                    ParseLayerAddress(TargetText(targets[row]).value_or("")));
  }
  std::vector<LayerNameRule> rules;
  for (const std::string& pattern : patterns) {
    rules.push_back({pattern, {}});
  }
  table.SetNameRules(std::move(rules));
  std::array<std::string, kLayerCount> sheet;
  std::copy(names.begin(), names.end(), sheet.begin());
  const LayerPlan plan = table.PlanFor(&sheet);
  std::vector<std::string> taken(patterns.size());
  for (int index = 0; index < kLayerCount; ++index) {
    if (const int rule = plan.rules[index]; rule >= 0) {
      std::string& text = taken[static_cast<std::size_t>(rule)];
      text += (text.empty() ? "" : ", ") + LayerAddressText(LayerAddress::FromIndex(index)) + " " +
              names[index];
    }
  }
  for (std::size_t row = 0; row < patterns.size(); ++row) {
    if (taken[row].empty() && !IsBlank(patterns[row])) {
      taken[row] = dialog_texts::kNoLayerTaken;
    }
  }
  return taken;
}

std::string LayerMoveQuestion(const FormatRegistry& formats,
                              const std::optional<std::filesystem::path>& file,
                              ConversionTables tables, const LayerTable& proposed) {
  if (!file) {
    return {};
  }
  tables.layers = proposed;
  const Result<preview::Inventory> inventory = InventoryOfFile(formats, *file, tables);
  if (inventory.ok() || inventory.error().kind != ErrorKind::kScaleClash) {
    return {};
  }
  return "プレビュー中の図面「" + PathText(file->filename()) +
         "」は、このレイヤ設定では変換できません。\n" + JapaneseErrorText(inventory.error()) +
         "。\nこのまま設定しますか？";
}

}  // namespace penmorph::app
