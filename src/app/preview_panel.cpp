#include "app/preview_panel.h"

#include "app/run_report.h"

#include <algorithm>
#include <array>
#include <set>

#include "app/code_labels.h"
#include "app/preview_texts.h"
#include "app/run_report.h"
#include "app/standards_check.h"
#include "common/path_text.h"
#include "convert/file_preview.h"

namespace penmorph::app {

using preview::CodeCounts;
using preview::CodeFamily;
using preview::kInventoryColumnCount;

namespace {

constexpr std::array<std::string_view, kInventoryColumnCount> kKindNames = {
    "線", "円弧", "点", "文字", "寸法線", "寸法値", "寸法点", "ソリッド", "ブロック", "ブロック内"};

std::string Detail(const CodeCounts& counts, int code) {
  std::string detail;
  auto found = counts.rows().find(code);
  if (found == counts.rows().end()) {
    return detail;
  }
  for (std::size_t i = 0; i < kInventoryColumnCount; ++i) {
    if (found->second[i] > 0) {
      detail += (detail.empty() ? "" : ", ") + std::string(kKindNames[i]) + " " +
                std::to_string(found->second[i]);
    }
  }
  return detail;
}

void AddCodeRows(std::vector<InventoryRow>& rows, const std::string& head, const CodeCounts& before,
                 const CodeCounts& after, std::string (*label)(CodeFamily, int),
                 CodeFamily family) {
  std::vector<int> codes;
  for (const auto& [code, counts] : before.rows()) {
    codes.push_back(code);
  }
  for (const auto& [code, counts] : after.rows()) {
    if (before.rows().count(code) == 0) {
      codes.push_back(code);
    }
  }
  std::sort(codes.begin(), codes.end());
  for (int code : codes) {
    const std::uint64_t b = before.Total(code);
    const std::uint64_t a = after.Total(code);
    rows.push_back({head + " " + label(family, code), std::to_string(b), std::to_string(a),
                    Detail(b > 0 ? before : after, code), a != b});
  }
}

// jw_cad's words for a layer's state; the group's hidden state is said as well.
std::string LayerStateText(const preview::LayerSheet& sheet, int index) {
  static constexpr std::string_view kStates[] = {"非表示", "表示のみ", "編集可能", "書込"};
  const std::int32_t state = sheet.states[static_cast<std::size_t>(index)];
  std::string text =
      state >= 0 && state < 4 ? std::string(kStates[state]) : "状態 " + std::to_string(state);
  if (sheet.group_states[static_cast<std::size_t>(index / kLayersPerGroup)] ==
      preview::kHiddenState) {
    text += ", グループ非表示";
  }
  return text;
}

// A row per layer in use on either side: its name, its count before and after and its state.
void AddLayerRows(std::vector<InventoryRow>& rows, const preview::Inventory& inventory) {
  std::set<int> layers;
  for (const preview::CodeCounts* side : {&inventory.before.layers, &inventory.after.layers}) {
    for (const auto& [index, counts] : side->rows()) {
      layers.insert(index);
    }
  }
  const preview::LayerSheet& before = inventory.before.sheet;
  const preview::LayerSheet& after = inventory.after.sheet;
  for (int index : layers) {
    const std::uint64_t b = inventory.before.layers.Total(index);
    const std::uint64_t a = inventory.after.layers.Total(index);
    std::string what = "レイヤ " + preview::LayerLabel(index);
    std::string detail;
    bool renamed = false;
    if (before.known && index < kLayerCount) {
      if (!before.names[index].empty()) {
        what += " " + before.names[index];
      }
      detail = LayerStateText(before, index);
      if (after.names[index] != before.names[index]) {
        detail += ", 新しい名前 " + after.names[index];
        renamed = true;
      }
    }
    rows.push_back({what, std::to_string(b), std::to_string(a), detail, a != b || renamed});
  }
}

}  // namespace

std::optional<std::filesystem::path> FileToPreview(const FileList& list) {
  const std::vector<std::filesystem::path> names = list.SelectedNames();
  if (names.empty()) {
    return std::nullopt;
  }
  return list.folder() / names.front();
}

std::string SettingName(const preview::Inventory& inventory, std::size_t index) {
  // JWC: the eleven text settings from 0; JWW: ten text kinds from 1, then the three digits of
  // the dimension colours.
  if (inventory.family == CodeFamily::kDos) {
    return "文字設定 " + std::to_string(index) + " のペン";
  }
  if (index < 10) {
    return "文字種 " + std::to_string(index + 1) + " の色";
  }
  static constexpr std::string_view kPlaces[] = {"一の位", "十の位", "百の位"};
  return "寸法の色 (" + std::string(kPlaces[std::min<std::size_t>(index - 10, 2)]) + ")";
}

std::vector<InventoryRow> InventoryRows(const preview::Inventory& inventory) {
  std::vector<InventoryRow> rows;
  const bool dos = inventory.family == CodeFamily::kDos;
  std::string entities = std::to_string(inventory.entities);
  rows.push_back({"図形", entities, entities,
                  inventory.block_definitions > 0
                      ? "ブロック定義 " + std::to_string(inventory.block_definitions)
                      : std::string(),
                  false});
  rows.push_back(
      {"変換で変わる図形", "", std::to_string(inventory.changed), "", inventory.changed > 0});
  if (inventory.moved > 0) {
    rows.push_back({"レイヤが変わる図形", "", std::to_string(inventory.moved), "", true});
  }
  if (inventory.moved_to_hidden > 0) {
    rows.push_back({MovedToHiddenText(inventory.moved_to_hidden), "",
                    std::to_string(inventory.moved_to_hidden), "", true});
  }
  for (const preview::NameRuleMoves& rule : inventory.name_rules) {
    rows.push_back({NameRuleLabel(rule), "", std::to_string(rule.parts),
                    preview::LayerLabels(rule.layers), rule.parts > 0});
  }
  if (inventory.names_unused) {
    rows.push_back({std::string(texts::kNameRulesUnused), "", "", "", false});
  }
  if (inventory.renamed > 0) {
    rows.push_back(
        {"名前が変わるレイヤ・グループ", "", std::to_string(inventory.renamed), "", true});
  }
  AddCodeRows(rows, dos ? "ペン" : "線色", inventory.before.colors, inventory.after.colors,
              &ColorText, inventory.family);
  AddCodeRows(rows, "線種", inventory.before.line_types, inventory.after.line_types,
              &preview::LineTypeLabel, inventory.family);
  AddLayerRows(rows, inventory);
  for (std::size_t i = 0; i < inventory.settings.size(); ++i) {
    const preview::SettingColor& setting = inventory.settings[i];
    rows.push_back({SettingName(inventory, i), std::to_string(setting.before),
                    std::to_string(setting.after), "", setting.before != setting.after});
  }
  return rows;
}

std::string_view PreviewPanel::SwitchCaption() const {
  return preview_texts::SwitchCaption(showing_after_);
}

PreviewPanel::PreviewPanel(const FormatRegistry& formats, std::function<void()> ready)
    : formats_(formats), ready_(std::move(ready)), worker_([this] { Work(); }) {}

PreviewPanel::~PreviewPanel() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
    pending_.reset();
  }
  wake_.notify_all();
  worker_.join();
}

void PreviewPanel::Show(const std::optional<std::filesystem::path>& file,
                        const ConversionTables& tables) {
  tables_ = tables;
  if (file == file_ && (state_ == PanelState::kReading || state_ == PanelState::kReady)) {
    return;  // the same file again: nothing to read (one that failed is tried again)
  }
  if (file != file_) {
    fitted_ = false;
  }
  file_ = file;
  inventory_.reset();
  drawing_.reset();
  before_.reset();
  after_.reset();
  failure_.clear();
  refused_by_tables_ = false;
  if (!file_) {
    ++generation_;
    state_ = PanelState::kEmpty;
    std::lock_guard lock(mutex_);
    pending_.reset();
    return;
  }
  if (formats_.FindForFile(PathToUtf8(file_->filename())) == nullptr) {
    // Nothing to read: a file of another kind is named for what it is, as the list names it.
    ++generation_;
    state_ = PanelState::kFailed;
    failure_ = "jw_cadのファイルではありません";
    std::lock_guard lock(mutex_);
    pending_.reset();
    return;
  }
  state_ = PanelState::kReading;
  Submit(true);
}

void PreviewPanel::TablesChanged(const ConversionTables& tables) {
  if (tables == tables_) {
    return;
  }
  tables_ = tables;
  ResolvePens();
  if (file_ && (state_ != PanelState::kFailed || refused_by_tables_)) {
    // The drawing read already stays: only the inventory needs the new tables.
    Submit(drawing_ == nullptr);
  }
}

void PreviewPanel::SetBackground(preview::Background background) {
  background_ = background;
  ResolvePens();
}

void PreviewPanel::SetShowHiddenLayers(bool show) {
  show_hidden_layers_ = show;
  ResolvePens();
}

void PreviewPanel::ResolvePens() {
  if (!drawing_) {
    return;
  }
  const auto hidden =
      show_hidden_layers_ ? preview::HiddenLayers::kFaint : preview::HiddenLayers::kLeftOut;
  before_ =
      preview::MakeDisplayList(drawing_, tables_, preview::Side::kBefore, background_, hidden);
  if (refused_by_tables_) {
    after_.reset();
  } else {
    after_ =
        preview::MakeDisplayList(drawing_, tables_, preview::Side::kAfter, background_, hidden);
  }
}

void PreviewPanel::Submit(bool draw) {
  {
    std::lock_guard lock(mutex_);
    pending_ = Job{++generation_, *file_, tables_, draw};
  }
  wake_.notify_all();
}

bool PreviewPanel::Deliver() {
  std::optional<Done> done;
  {
    std::lock_guard lock(mutex_);
    done.swap(done_);
  }
  if (!done || done->generation != generation_) {
    return false;
  }
  refused_by_tables_ = done->refused_by_tables;
  if (!done->failure.empty()) {
    state_ = PanelState::kFailed;
    failure_ = done->failure;
    ResolvePens();  // the before side stays; the after side goes while the tables refuse
    return true;
  }
  inventory_ = std::move(done->inventory);
  if (done->drew) {
    drawing_ = std::move(done->drawing);
    ResolvePens();
  } else if (!after_) {
    ResolvePens();  // the tables refused the drawing before this edit: the after side is back
  }
  state_ = PanelState::kReady;
  return true;
}

std::vector<InventoryRow> PreviewPanel::Rows() const {
  return inventory_ ? InventoryRows(*inventory_) : std::vector<InventoryRow>{};
}

std::string PreviewPanel::Caption() const {
  const std::string name = file_ ? PathToUtf8(file_->filename()) : std::string();
  switch (state_) {
    case PanelState::kEmpty:
      return "ファイルを一つ選ぶと、その内容と変換の結果を表示します。";
    case PanelState::kReading:
      return name + " を読んでいます…";
    case PanelState::kFailed:
      // A refusal of the tables is given whole beside the after side, not cut off here.
      return refused_by_tables_ ? name + " はこの設定では変換できません"
                                : name + " は表示できません：" + failure_;
    case PanelState::kReady:
      break;
  }
  std::string caption = name;
  if (inventory_) {
    caption += " (" + inventory_->format;
    if (!inventory_->version.empty()) {
      caption += " " + inventory_->version;
    }
    caption += ")";
  }
  return caption;
}

std::string PreviewPanel::AfterLabel() const {
  std::string label(preview_texts::kAfter);
  if (refused_by_tables_ && state_ == PanelState::kFailed) {
    label += "\nこの設定では変換できません：\n" + failure_;
  }
  return label;
}

void PreviewPanel::WaitIdle() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return !pending_ && !busy_; });
}

void PreviewPanel::Work() {
  for (;;) {
    Job job;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return quit_ || pending_.has_value(); });
      if (quit_) {
        return;
      }
      job = std::move(*pending_);
      pending_.reset();
      busy_ = true;
    }
    Done done;
    done.generation = job.generation;
    done.drew = job.draw;
    auto inventory = InventoryOfFile(formats_, job.file, job.tables);
    if (inventory.ok()) {
      done.inventory = std::move(inventory).value();
      if (job.draw) {
        auto drawing = DrawFile(formats_, job.file);
        if (drawing.ok()) {
          done.drawing = std::move(drawing).value();
        } else {
          done.failure = JapaneseErrorText(drawing.error());
        }
      }
    } else {
      done.failure = JapaneseErrorText(inventory.error());
      done.refused_by_tables = IsTableRefusal(inventory.error().kind);
    }
    {
      std::lock_guard lock(mutex_);
      done_ = std::move(done);
    }
    if (ready_) {
      ready_();  // before the worker counts as idle, so that waiting for idle sees the call
    }
    {
      std::lock_guard lock(mutex_);
      busy_ = false;
    }
    idle_.notify_all();
  }
}

}  // namespace penmorph::app
