#include "settings/ini_location.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace penmorph {
namespace {

namespace fs = std::filesystem;

// The Linux rule: XDG_CONFIG_HOME, then ~/.config; POSIX paths are absolute only there.
#ifndef _WIN32
TEST(IniPath, PortableFileBesideTheProgramWins) {
  testing::ScratchFolder program;
  testing::WriteBytes(program / "penmorph.ini", "");
  EXPECT_EQ(ResolveIniPath(program.path(), "/xdg", "/home/u"), program / "penmorph.ini");
}

TEST(IniPath, OtherwiseTheUsersConfigurationFolder) {
  testing::ScratchFolder program;
  EXPECT_EQ(ResolveIniPath(program.path(), "/xdg", "/home/u"),
            fs::path("/xdg/penmorph/penmorph.ini"));
  EXPECT_EQ(ResolveIniPath(program.path(), "", "/home/u"),
            fs::path("/home/u/.config/penmorph/penmorph.ini"));
  // A relative XDG_CONFIG_HOME is not a configuration folder.
  EXPECT_EQ(ResolveIniPath(program.path(), "rel", "/home/u"),
            fs::path("/home/u/.config/penmorph/penmorph.ini"));
  EXPECT_EQ(ResolveIniPath(program.path(), "", ""), program / "penmorph.ini");
}

TEST(IniPath, AFolderNamedLikeTheFileIsNotAPortableInstall) {
  testing::ScratchFolder program;
  fs::create_directory(program / "penmorph.ini");
  EXPECT_EQ(ResolveIniPath(program.path(), "/xdg", ""), fs::path("/xdg/penmorph/penmorph.ini"));
}
#endif

// The Windows rule, which only needs absolute paths: %APPDATA%\Penmorph unless a portable copy
// keeps its ini beside the program.
TEST(WindowsIniPath, BesideTheProgramWhenThereElseApplicationData) {
  testing::ScratchFolder program;
  testing::ScratchFolder app_data;
  EXPECT_EQ(ResolveWindowsIniPath(program.path(), app_data.path()),
            app_data / "Penmorph" / "penmorph.ini");
  fs::create_directory(program / "penmorph.ini");  // a folder of that name is no portable copy
  EXPECT_EQ(ResolveWindowsIniPath(program.path(), app_data.path()),
            app_data / "Penmorph" / "penmorph.ini");
  fs::remove(program / "penmorph.ini");
  testing::WriteBytes(program / "penmorph.ini", "");
  EXPECT_EQ(ResolveWindowsIniPath(program.path(), app_data.path()), program / "penmorph.ini");
}

TEST(WindowsIniPath, WithoutApplicationDataBesideTheProgram) {
  testing::ScratchFolder program;
  EXPECT_EQ(ResolveWindowsIniPath(program.path(), ""), program / "penmorph.ini");
  EXPECT_EQ(ResolveWindowsIniPath(program.path(), "relative"), program / "penmorph.ini");
}

}  // namespace
}  // namespace penmorph
