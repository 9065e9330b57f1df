#include "settings/settings_store.h"

#include "common/text.h"

namespace penmorph {

namespace {

struct TextKey {
  std::string_view key;
  std::string AppSettings::*field;
};

// Calls visit(section, key, field) for the integer keys of "Form" and "Comp", in the order they
// are written; Layout is WindowLayout or const WindowLayout.
template <class Layout, class Visit>
void VisitLayoutKeys(Layout& layout, Visit visit) {
  visit("Form", "F1_X", layout.main_left);
  visit("Form", "F1_Y", layout.main_top);
  visit("Form", "F1_W", layout.main_width);
  visit("Form", "F1_H", layout.main_height);
  visit("Form", "F2_X", layout.jwc_dialog_left);
  visit("Form", "F2_Y", layout.jwc_dialog_top);
  visit("Form", "F3_X", layout.jww_dialog_left);
  visit("Form", "F3_Y", layout.jww_dialog_top);
  visit("Comp", "F1P1", layout.folder_pane_width);
  static constexpr std::string_view kColumnKeys[] = {"F1S0", "F1S1", "F1S2",
                                                     "F1S3", "F1S4", "F1S5"};
  for (std::size_t i = 0; i < layout.column_widths.size(); ++i) {
    visit("Comp", kColumnKeys[i], layout.column_widths[i]);
  }
  visit("Form", "F1_MAX", layout.maximized);
}

constexpr std::string_view kSetSection = "Set";
const TextKey kTextKeys[] = {
    {"FLD1", &AppSettings::search_folder},
    {"FLD2", &AppSettings::destination_folder},
    {"FNAM", &AppSettings::last_settings_file},
    {"FLD3", &AppSettings::report_folder},
};
constexpr std::string_view kFileTypeKey = "FTYP";
constexpr std::string_view kReopenKey = "OPEN";

template <class Table>
void ApplyTable(const IniDocument& document, std::string_view section, Table& table) {
  for (int entry = 1; entry <= Table::kEntryCount; ++entry) {
    KeyRead read = ReadSettingsKey(document, section, EntryKey(entry), kIntegerBufferSize);
    if (read.found) {
      table.SetEntry(entry, TextToInt(read.text));
    }
  }
}

template <class Table>
void StoreTable(IniDocument& document, std::string_view section, const Table& table) {
  for (int entry = 1; entry <= Table::kEntryCount; ++entry) {
    document.Set(section, EntryKey(entry), std::to_string(table.Entry(entry)));
  }
}

// Keys and values are hex digits in either case, so each of the 256 keys is looked up by its
// upper-case spelling (the document matches names without regard to case). A value that does
// not parse leaves the layer as the reset left it.
void ApplyLayerTable(const IniDocument& document, LayerTable& table) {
  table.Reset();
  for (int index = 0; index < kLayerCount; ++index) {
    const std::string key = LayerAddressText(LayerAddress::FromIndex(index));
    KeyRead target = ReadSettingsKey(document, kLayerSection, key, kTextBufferSize);
    if (target.found) {
      table.SetTarget(index, ParseLayerAddress(target.text));
    }
    KeyRead name = ReadSettingsKey(document, kLayerNameSection, key, kTextBufferSize);
    if (name.found) {
      table.SetLayerName(index, name.text);
    }
  }
  for (int group = 0; group < kLayerGroupCount; ++group) {
    KeyRead name =
        ReadSettingsKey(document, kGroupNameSection, LayerGroupText(group), kTextBufferSize);
    if (name.found) {
      table.SetGroupName(group, name.text);
    }
  }
  // A key that is no name once trimmed, or a target that is no layer, is passed over like any
  // other bad key.
  std::vector<LayerNameRule> rules;
  for (const auto& [key, value] : document.Entries(kLayerByNameSection)) {
    const std::string pattern(CutUtf8(key, kTextBufferSize - 1));
    const std::optional<LayerAddress> target =
        ParseLayerAddress(CutUtf8(value, kTextBufferSize - 1));
    if (target && !FoldLayerName(pattern).empty()) {
      rules.push_back({pattern, *target});
    }
  }
  table.SetNameRules(std::move(rules));
}

// Only what is set is written; a key that is no longer set is removed, so a target cleared in
// the dialog does not come back from the file. A table that sets nothing adds no section.
void StoreEntry(IniDocument& document, std::string_view section, const std::string& key,
                const std::string& value) {
  if (value.empty() || !document.Set(section, key, value)) {
    document.Remove(section, key);
  }
}

void StoreLayerTable(IniDocument& document, const LayerTable& table) {
  for (int index = 0; index < kLayerCount; ++index) {
    const std::string key = LayerAddressText(LayerAddress::FromIndex(index));
    const std::optional<LayerAddress> target = table.Target(index);
    StoreEntry(document, kLayerSection, key, target ? LayerAddressText(*target) : std::string());
  }
  for (int index = 0; index < kLayerCount; ++index) {
    StoreEntry(document, kLayerNameSection, LayerAddressText(LayerAddress::FromIndex(index)),
               table.LayerName(index));
  }
  for (int group = 0; group < kLayerGroupCount; ++group) {
    StoreEntry(document, kGroupNameSection, LayerGroupText(group), table.GroupName(group));
  }
  std::vector<std::pair<std::string, std::string>> rules;
  for (const LayerNameRule& rule : table.name_rules()) {
    rules.emplace_back(std::string(TrimBlanks(rule.pattern)), LayerAddressText(rule.target));
  }
  document.SetEntries(kLayerByNameSection, rules);
}

}  // namespace

KeyRead ReadSettingsKey(const IniDocument& document, std::string_view section, std::string_view key,
                        std::size_t buffer_size) {
  KeyRead read;
  if (auto value = document.Get(section, key); value && buffer_size > 0) {
    read.text = std::string(CutUtf8(*value, buffer_size - 1));
  }
  read.found = !read.text.empty();
  return read;
}

KeyRead ReadSettingsKey(std::string_view section, std::string_view key, std::size_t buffer_size,
                        const std::filesystem::path& file) {
  auto document = IniDocument::Load(file);
  if (!document.ok()) {
    return {};
  }
  return ReadSettingsKey(document.value(), section, key, buffer_size);
}

bool WriteSettingsKey(std::string_view section, std::string_view key, std::string_view text,
                      const std::filesystem::path& file) {
  auto document = IniDocument::Load(file);
  if (!document.ok() || !document->Set(section, key, text)) {
    return false;
  }
  return document->Save(file).ok();
}

void ApplyTables(const IniDocument& document, ConversionTables& tables) {
  ApplyTable(document, kDosSection, tables.jwc);
  ApplyTable(document, kWindowsSection, tables.jww);
  ApplyLayerTable(document, tables.layers);
}

void StoreTables(IniDocument& document, const ConversionTables& tables) {
  StoreTable(document, kDosSection, tables.jwc);
  StoreTable(document, kWindowsSection, tables.jww);
  StoreLayerTable(document, tables.layers);
}

void ApplyAppSettings(const IniDocument& document, AppSettings& settings) {
  VisitLayoutKeys(settings.layout, [&](std::string_view section, std::string_view key, int& field) {
    KeyRead read = ReadSettingsKey(document, section, key, kIntegerBufferSize);
    if (read.found) {
      field = TextToInt(read.text);
    }
  });
  for (const TextKey& key : kTextKeys) {
    KeyRead read = ReadSettingsKey(document, kSetSection, key.key, kTextBufferSize);
    if (read.found) {
      settings.*key.field = read.text;
    }
  }
  KeyRead file_type = ReadSettingsKey(document, kSetSection, kFileTypeKey, kIntegerBufferSize);
  if (file_type.found) {
    settings.file_type = TextToInt(file_type.text);
  }
  if (KeyRead reopen = ReadSettingsKey(document, kSetSection, kReopenKey, kIntegerBufferSize);
      reopen.found) {
    settings.reopen_search_folder = TextToInt(reopen.text) != 0 ? 1 : 0;
  }
  ApplyTables(document, settings.tables);
}

void StoreAppSettings(IniDocument& document, const AppSettings& settings) {
  VisitLayoutKeys(settings.layout,
                  [&](std::string_view section, std::string_view key, const int& field) {
                    document.Set(section, key, std::to_string(field));
                  });
  for (const TextKey& key : kTextKeys) {
    document.Set(kSetSection, key.key, settings.*key.field);
  }
  document.Set(kSetSection, kFileTypeKey, std::to_string(settings.file_type));
  document.Set(kSetSection, kReopenKey, std::to_string(settings.reopen_search_folder));
  StoreTables(document, settings.tables);
}

Status LoadIniFile(const std::filesystem::path& file, AppSettings& settings) {
  auto document = IniDocument::Load(file);
  if (!document.ok()) {
    return document.error();
  }
  ApplyAppSettings(document.value(), settings);
  return Status::Ok();
}

Status SaveIniFile(const std::filesystem::path& file, const AppSettings& settings) {
  // The per-user configuration folder may not exist yet on a first run.
  std::error_code ec;
  if (file.has_parent_path()) {
    std::filesystem::create_directories(file.parent_path(), ec);
  }
  auto document = IniDocument::Load(file);
  if (!document.ok()) {
    return document.error();
  }
  StoreAppSettings(document.value(), settings);
  return document->Save(file);
}

Status OpenSettingsFile(const std::filesystem::path& file, ConversionTables& tables) {
  auto document = IniDocument::Load(file);
  if (!document.ok()) {
    return document.error();
  }
  ApplyTables(document.value(), tables);
  return Status::Ok();
}

Status SaveSettingsFile(const std::filesystem::path& file, const ConversionTables& tables) {
  auto document = IniDocument::Load(file);
  if (!document.ok()) {
    return document.error();
  }
  StoreTables(document.value(), tables);
  return document->Save(file);
}

}  // namespace penmorph
