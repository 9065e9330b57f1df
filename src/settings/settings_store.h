#pragma once

// What the ini file and the settings files hold, and how it is read and written.

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

#include "common/result.h"
#include "settings/conv_settings.h"
#include "settings/ini_document.h"

namespace penmorph {

// Buffer sizes of the two kinds of value: integers and folder or file texts. A value longer
// than its buffer arrives cut to one character less.
inline constexpr std::size_t kIntegerBufferSize = 22;
inline constexpr std::size_t kTextBufferSize = 512;

struct KeyRead {
  bool found = false;  // the value is not empty: an empty value counts as absent
  std::string text;
};

// One key from a loaded document, cut to the buffer size.
KeyRead ReadSettingsKey(const IniDocument& document, std::string_view section, std::string_view key,
                        std::size_t buffer_size);
// One key from a file (the file is read for this key alone).
KeyRead ReadSettingsKey(std::string_view section, std::string_view key, std::size_t buffer_size,
                        const std::filesystem::path& file);
// Sets one key in a file, creating file, section and key as needed.
bool WriteSettingsKey(std::string_view section, std::string_view key, std::string_view text,
                      const std::filesystem::path& file);

struct WindowLayout {
  int main_left = 190, main_top = 109, main_width = 696, main_height = 478;
  int jwc_dialog_left = 192, jwc_dialog_top = 107;
  int jww_dialog_left = 192, jww_dialog_top = 107;
  int folder_pane_width = 160;
  std::array<int, 6> column_widths{64, 64, 64, 64, 64, 64};
  int maximized = 0;  // 1: the window was maximised; the frame above is the one to come back to
  bool operator==(const WindowLayout&) const = default;
};

// Everything the program's ini file holds. The defaults are the built-in values; the search
// folder's built-in value is the program's folder, which the owner fills in.
struct AppSettings {
  WindowLayout layout;
  std::string search_folder;
  std::string destination_folder;
  std::string last_settings_file;
  std::string report_folder;     // where a run's report was last saved
  int file_type = 0;             // -1 when no type is selected
  int reopen_search_folder = 1;  // 1: the last search folder is listed again at start
  ConversionTables tables;
  bool operator==(const AppSettings&) const = default;
};

// Each key that is found replaces its value; the others keep theirs. The layer table is the
// exception: it is replaced whole, so a file without layer sections moves and renames nothing.
void ApplyTables(const IniDocument& document, ConversionTables& tables);
void ApplyAppSettings(const IniDocument& document, AppSettings& settings);

// Sets every key, in the order in which the ini file lists them; of the layer table only the
// layers and groups it sets, other keys of its sections removed.
void StoreTables(IniDocument& document, const ConversionTables& tables);
void StoreAppSettings(IniDocument& document, const AppSettings& settings);

// Whole-file operations. Loading a missing file changes nothing; saving writes the file once,
// keeping whatever else it holds.
Status LoadIniFile(const std::filesystem::path& file, AppSettings& settings);
Status SaveIniFile(const std::filesystem::path& file, const AppSettings& settings);
Status OpenSettingsFile(const std::filesystem::path& file, ConversionTables& tables);
Status SaveSettingsFile(const std::filesystem::path& file, const ConversionTables& tables);

}  // namespace penmorph
