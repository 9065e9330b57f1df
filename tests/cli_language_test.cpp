// The command line in the user's language: which language the locale and --lang choose, and
// what changes with it and what scripts can rely on staying the same.

#include <gtest/gtest.h>

#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/cli_app.h"
#include "cli/language.h"
#include "fakes.h"
#include "test_support.h"

namespace penmorph {
namespace {

namespace fs = std::filesystem;
using testing::CallLog;
using testing::FakeDrawing;
using testing::FakeFormat;
using testing::ScratchFolder;
using testing::WriteBytes;

TEST(CliLanguage, TheFirstSetLocaleVariableDecides) {
  struct Case {
    const char* lc_all;
    const char* lc_messages;
    const char* lang;
    Language expected;
  };
  const Case cases[] = {
      {"", "", "ja_JP.UTF-8", Language::kJapanese},
      {"", "", "en_US.UTF-8", Language::kEnglish},
      {"", "", "", Language::kEnglish},
      {"C", "", "ja_JP.UTF-8", Language::kEnglish},             // LC_ALL before LANG
      {"", "C.UTF-8", "ja_JP.UTF-8", Language::kEnglish},       // LC_MESSAGES before LANG
      {"", "ja_JP.eucJP", "en_GB.UTF-8", Language::kJapanese},  // ... either way
      {"ja", "en_US", "en_US", Language::kJapanese},            // LC_ALL before LC_MESSAGES
      {"", "", "jv_ID", Language::kEnglish},                    // Javanese is not Japanese
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LanguageOfLocale(c.lc_all, c.lc_messages, c.lang), c.expected)
        << c.lc_all << " / " << c.lc_messages << " / " << c.lang;
  }
}

TEST(CliLanguage, TheLangOptionOverridesTheUsersLanguage) {
  using Args = std::vector<std::string>;
  EXPECT_EQ(LanguageOfArguments({"convert", "--lang", "en", "a.jww"}, Language::kJapanese),
            Language::kEnglish);
  EXPECT_EQ(LanguageOfArguments({"--lang=ja", "info", "a.jww"}, Language::kEnglish),
            Language::kJapanese);
  EXPECT_EQ(LanguageOfArguments({"info", "--lang", "ja", "--lang", "en"}, Language::kJapanese),
            Language::kEnglish);
  // A value that names no language, or a FILE after "--", leaves the user's language.
  EXPECT_EQ(LanguageOfArguments({"info", "--lang", "de", "a.jww"}, Language::kJapanese),
            Language::kJapanese);
  EXPECT_EQ(LanguageOfArguments(Args{"info", "--", "--lang", "ja"}, Language::kEnglish),
            Language::kEnglish);
}

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

class CliLanguageTest : public ::testing::Test {
 protected:
  CliLanguageTest() {
    fs::create_directory(scratch_ / "in");
    fs::create_directory(scratch_ / "out");
    auto jww = std::make_unique<FakeFormat>("JWW", log_);
    jww_ = jww.get();
    fakes_.Add(std::move(jww));
  }
  CliRun Run(Language user, const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    CliContext context;
    context.language = user;
    const int status = RunCli(args, out, err, fakes_, context);
    return {status, out.str(), err.str()};
  }
  std::string In(const std::string& name) const { return (scratch_ / "in" / name).string(); }
  std::string Out() const { return (scratch_ / "out").string(); }

  ScratchFolder scratch_;
  CallLog log_;
  FormatRegistry fakes_;
  FakeFormat* jww_ = nullptr;
};

TEST_F(CliLanguageTest, HelpAndUsageErrorsSpeakTheChosenLanguage) {
  const CliRun japanese = Run(Language::kJapanese, {"--help"});
  EXPECT_EQ(japanese.status, kExitOk);
  EXPECT_EQ(japanese.out.rfind("使い方:\n", 0), 0u) << japanese.out;
  EXPECT_NE(japanese.out.find("終了ステータス"), std::string::npos);
  // The synopses are the same commands and options in both.
  EXPECT_NE(japanese.out.find("  penmorph-cli convert --dest DIR"), std::string::npos);
  EXPECT_NE(japanese.out.find("  --lang en|ja"), std::string::npos);
  EXPECT_EQ(japanese.out.find("Usage:"), std::string::npos);

  EXPECT_EQ(Run(Language::kJapanese, {"convert", "--help", "--lang", "en"}).out.rfind("Usage:", 0),
            0u);
  EXPECT_EQ(Run(Language::kEnglish, {"help", "check", "--lang=ja"}).out.rfind("使い方:", 0), 0u);

  // An error CLI11 finds, before it could have read --lang itself, is in the language asked for.
  const CliRun error = Run(Language::kEnglish, {"convert", "-j", "0", "--lang", "ja", In("a.jww")});
  EXPECT_EQ(error.status, kExitUsage);
  EXPECT_EQ(error.err,
            "penmorph-cli: --jobs: 1 から 256 までのファイルの数を指定してください（「0」は使えませ"
            "ん）\n（penmorph-cli convert --help で使い方を表示します）\n");
  const CliRun no_language = Run(Language::kEnglish, {"info", "--lang", "fr", In("a.jww")});
  EXPECT_EQ(no_language.status, kExitUsage);
  EXPECT_EQ(no_language.err.rfind("penmorph-cli: --lang: takes en or ja, not \"fr\"\n", 0), 0u)
      << no_language.err;
}

TEST_F(CliLanguageTest, ReasonsFollowTheLanguageWhileTheLineFormsStay) {
  WriteBytes(In("a.jww"), FakeDrawing("JWW", "a"));
  WriteBytes(In("b.txt"), "b");
  jww_->fail_read = true;
  const std::vector<std::string> args = {"convert", "--dest", Out(), In("a.jww"), In("b.txt")};
  const CliRun english = Run(Language::kEnglish, args);
  const CliRun japanese = Run(Language::kJapanese, args);
  EXPECT_EQ(japanese.status, english.status);
  EXPECT_EQ(japanese.status, kExitFileFailed);
  std::istringstream lines(japanese.out);
  std::string failed, skipped, summary;
  std::getline(lines, failed);
  std::getline(lines, skipped);
  std::getline(lines, summary);
  // The windows' reason, with the byte it points at.
  const std::string failed_start = "failed " + In("a.jww") + ": 読み込めません：";
  EXPECT_EQ(failed.rfind(failed_start, 0), 0u) << failed;
  EXPECT_TRUE(failed.ends_with("（17 バイト目）")) << failed;
  EXPECT_EQ(skipped, "skipped " + In("b.txt") + ": jw_cadのファイルの種類ではありません（.txt）");
  EXPECT_EQ(summary, "0 converted, 1 skipped, 1 failed");
  EXPECT_TRUE(english.out.ends_with("\n" + summary + "\n")) << english.out;
}

TEST_F(CliLanguageTest, JsonKeysAndOutcomesStayWhileTheReasonFollows) {
  WriteBytes(In("a.jww"), FakeDrawing("JWW", "a"));
  jww_->fail_read = true;
  const std::vector<std::string> args = {"convert", "--json", "--dest", Out(), In("a.jww")};
  auto objects = [](const std::string& out) {
    std::vector<nlohmann::ordered_json> parsed;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
      parsed.push_back(nlohmann::ordered_json::parse(line));
    }
    return parsed;
  };
  auto keys = [](const nlohmann::ordered_json& object) {
    std::vector<std::string> names;
    for (const auto& [key, value] : object.items()) {
      names.push_back(key);
    }
    return names;
  };
  const auto english = objects(Run(Language::kEnglish, args).out);
  const auto japanese = objects(Run(Language::kJapanese, args).out);
  ASSERT_EQ(english.size(), 2u);
  ASSERT_EQ(japanese.size(), 2u);
  for (std::size_t i = 0; i < english.size(); ++i) {
    EXPECT_EQ(keys(japanese[i]), keys(english[i]));
  }
  EXPECT_EQ(japanese[1]["summary"]["failed"], 1);
  EXPECT_EQ(japanese[0]["outcome"], "failed");
  EXPECT_EQ(english[0]["reason"], "cannot read: bad record (at byte 17)");
  EXPECT_EQ(japanese[0]["reason"].get<std::string>().rfind("読み込めません：", 0), 0u)
      << japanese[0]["reason"];
}

}  // namespace
}  // namespace penmorph
