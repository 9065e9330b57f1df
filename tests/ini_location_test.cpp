#include "settings/ini_location.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace penmorph {
namespace {

namespace fs = std::filesystem;

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

}  // namespace
}  // namespace penmorph
