// Names between the program and the system: UTF-8 text and paths, and the names Windows keeps
// for itself (the rule is plain text, so it is tested on every platform).

#include <gtest/gtest.h>

#include "common/path_text.h"
#include "common/windows_names.h"

namespace penmorph {
namespace {

namespace fs = std::filesystem;

TEST(PathText, JapaneseNamesGoBothWaysUnchanged) {
  const std::string name = "平面図/敷地図 (改).jww";
  EXPECT_EQ(PathToUtf8(PathFromUtf8(name)), name);
  EXPECT_EQ(PathToUtf8(PathFromUtf8(name).filename()), "敷地図 (改).jww");
  EXPECT_EQ(PathFromUtf8(name), fs::path(u8"平面図/敷地図 (改).jww"));
}

TEST(WindowsNames, DeviceNamesAreRefusedInAnyCaseWithOrWithoutAnExtension) {
  for (const char* name : {"CON", "con.jww", "Prn.jwc", "AUX.x.y", "nul", "COM1.jww", "com9",
                           "LPT1.jws", "lpt9.JWK", "CONIN$", "conout$.jww", "NUL .jww"}) {
    EXPECT_NE(WindowsNameProblem(name).find("reserved for a device"), std::string::npos) << name;
  }
  for (const char* name : {"CONSOLE.jww", "com10.jww", "COM0", "lpt.jww", "nul_plan.jww",
                           "plan.con", "aux-1.jwc", "平面図.jww", ".penmorph-new-0.tmp"}) {
    EXPECT_EQ(WindowsNameProblem(name), "") << name;
  }
}

TEST(WindowsNames, ATrailingDotOrSpaceAndForbiddenCharactersAreRefused) {
  EXPECT_EQ(WindowsNameProblem("a.jww."), "the name \"a.jww.\" ends in a dot, which Windows drops");
  EXPECT_EQ(WindowsNameProblem("a.jww "),
            "the name \"a.jww \" ends in a space, which Windows drops");
  for (const char* name : {"a:b.jww", "a*.jww", "a?.jww", "a\"b.jww", "a<b", "a>b", "a|b", "a\\b",
                           "a/b", "tab\t.jww"}) {
    EXPECT_NE(WindowsNameProblem(name).find("does not allow"), std::string::npos) << name;
  }
  EXPECT_EQ(WindowsNameProblem(""), "the name is empty");
}

}  // namespace
}  // namespace penmorph
