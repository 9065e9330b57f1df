#pragma once

#include <filesystem>
#include <string>

namespace penmorph {

inline constexpr std::string_view kIniFileName = "penmorph.ini";

// Where the program keeps its ini file: beside the program when a "penmorph.ini" is already
// there (a portable install), otherwise in the user's configuration folder, because an installed
// program's own folder is usually not writable. Empty environment values count as unset.
std::filesystem::path ResolveIniPath(const std::filesystem::path& program_folder,
                                     const std::string& xdg_config_home, const std::string& home);

// On Windows: beside the program when a "penmorph.ini" is there (a portable copy), otherwise
// in the user's application data folder (%APPDATA%\Penmorph\).
std::filesystem::path ResolveWindowsIniPath(const std::filesystem::path& program_folder,
                                            const std::filesystem::path& app_data);

// The platform's rule, with its folders taken from the environment.
std::filesystem::path DefaultIniPath(const std::filesystem::path& program_folder);

}  // namespace penmorph
