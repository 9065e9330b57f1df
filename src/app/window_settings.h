#pragma once

// What the window keeps between runs and the settings files the user saves and opens.

#include <filesystem>

#include "app/prompts.h"
#include "settings/settings_store.h"

namespace penmorph::app {

// The settings at start: both tables 0, the built-in layout, the program's folder as the search
// folder; then whatever the ini file holds (a missing or unreadable ini file changes nothing).
AppSettings LoadStartSettings(const std::filesystem::path& program_folder,
                              const std::filesystem::path& ini_path);

// Saves both tables into a settings file the user chose. The user asked for this file, so a
// failure is said, with a beep: saying nothing would let them believe it is there.
bool SaveTablesAs(const std::filesystem::path& file, const ConversionTables& tables,
                  Prompts& prompts);

// Opens a settings file into the tables; keys it lacks keep their values, and a file that
// cannot be read changes nothing and is said, with a beep. Returns the status line: what was
// read and which tables it replaced (and that layers no longer move, where the file has no
// layer table); empty after a failure.
std::string OpenTablesFrom(const std::filesystem::path& file, ConversionTables& tables,
                           Prompts& prompts);

}  // namespace penmorph::app
