#include "settings/ini_location.h"

#include <cstdlib>

#include "common/file_system.h"

namespace penmorph {

namespace fs = std::filesystem;

fs::path ResolveIniPath(const fs::path& program_folder, const std::string& xdg_config_home,
                        const std::string& home) {
  fs::path portable = program_folder / kIniFileName;
  std::error_code ec;
  if (fs::is_regular_file(portable, ec)) {
    return portable;
  }
  fs::path config;
  if (!xdg_config_home.empty() && fs::path(xdg_config_home).is_absolute()) {
    config = xdg_config_home;
  } else if (!home.empty()) {
    config = fs::path(home) / ".config";
  } else {
    return portable;  // no user folder to be found: beside the program is all there is
  }
  return config / "penmorph" / kIniFileName;
}

fs::path ResolveWindowsIniPath(const fs::path& program_folder, const fs::path& app_data) {
  fs::path portable = program_folder / kIniFileName;
  if (KindOfPath(portable) == PathKind::kFile || app_data.empty() || !app_data.is_absolute()) {
    return portable;
  }
  return app_data / "Penmorph" / kIniFileName;
}

#ifdef _WIN32

fs::path DefaultIniPath(const fs::path& program_folder) {
  const wchar_t* app_data = _wgetenv(L"APPDATA");
  return ResolveWindowsIniPath(program_folder,
                               app_data == nullptr ? fs::path() : fs::path(app_data));
}

#else

fs::path DefaultIniPath(const fs::path& program_folder) {
  auto variable = [](const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
  };
  return ResolveIniPath(program_folder, variable("XDG_CONFIG_HOME"), variable("HOME"));
}

#endif

}  // namespace penmorph
