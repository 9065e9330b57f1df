// `penmorph-cli check`: which drawings a standard would change, what it would change in them,
// and an exit status a script can act on. Nothing is written.

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <sstream>

#include "cli/check_command.h"
#include "cli/cli_app.h"
#include "cli/preview_commands.h"
#include "formats/standard_formats.h"
#include "layer_test_files.h"
#include "preview_test_files.h"
#include "settings/settings_store.h"
#include "test_support.h"

namespace penmorph {
namespace {

namespace fs = std::filesystem;
using testing::IsOk;

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

CliRun Cli(std::vector<std::string> args) {
  std::ostringstream out;
  std::ostringstream err;
  const FormatRegistry formats = MakeStandardFormats();
  const int status = RunCli(args, out, err, formats);
  return {status, out.str(), err.str()};
}

class CheckTest : public ::testing::Test {
 protected:
  CheckTest() {
    testing::WriteBytes(scratch_ / "every.jww", testing::JwwOfEveryKind());
    testing::WriteBytes(scratch_ / "note.txt", "hello");
    testing::WriteBytes(scratch_ / "random.jww", "random bytes where a signature should be");
    ConversionTables red;
    red.jww.SetEntry(2, 8);
    red.jww.SetEntry(JwwConvSettings::kChangeDimSettingColor, 1);
    EXPECT_TRUE(IsOk(SaveSettingsFile(scratch_ / "red.set", red)));
    EXPECT_TRUE(IsOk(SaveSettingsFile(scratch_ / "zero.set", ConversionTables{})));
    // Colour 1 is on no entity that is remapped, only on the text kinds.
    ConversionTables kinds;
    kinds.jww.SetEntry(1, 5);
    kinds.jww.SetEntry(JwwConvSettings::kChangeTextSettingColor, 1);
    EXPECT_TRUE(IsOk(SaveSettingsFile(scratch_ / "kinds.set", kinds)));
    // Solids remapped: the drawing's one solid carries its own RGB colour, which no option maps.
    ConversionTables solids;
    solids.jww.SetEntry(JwwConvSettings::kChangeSolidColor, 1);
    solids.jww.SetEntry(JwwConvSettings::kChangeBlockColor, 1);
    EXPECT_TRUE(IsOk(SaveSettingsFile(scratch_ / "solids.set", solids)));
  }
  std::string At(const std::string& name) const { return (scratch_ / name).string(); }

  testing::ScratchFolder scratch_;
};

TEST_F(CheckTest, SaysWhatTheStandardWouldChangeAndCounts) {
  const testing::FolderSnapshot before = testing::Snapshot(scratch_.path());
  CliRun differ = Cli({"check", "--settings", At("red.set"), At("every.jww"), At("note.txt")});
  EXPECT_EQ(differ.status, kExitFileFailed) << differ.err;
  EXPECT_NE(differ.out.find("does not conform " + At("every.jww") +
                            ": 1 of 10 entities would change\n  colour 2 -> 8: 1\n"),
            std::string::npos)
      << differ.out;
  EXPECT_NE(differ.out.find("  dimension colour (tens): 2 -> 8\n"), std::string::npos);
  EXPECT_EQ(differ.out.find("dimension colour (units)"), std::string::npos);  // 1 stays 1
  EXPECT_NE(differ.out.find("passed over " + At("note.txt") + ": not a jw_cad file type (.txt)"),
            std::string::npos);
  EXPECT_NE(differ.out.find("\n0 conform, 1 do not, 0 could not be read, 1 passed over\n"),
            std::string::npos);
  EXPECT_EQ(testing::Snapshot(scratch_.path()), before);

  CliRun conform = Cli({"check", "--settings", At("zero.set"), At("every.jww")});
  EXPECT_EQ(conform.status, kExitOk) << conform.err;
  EXPECT_EQ(conform.out, "1 conform, 0 do not, 0 could not be read, 0 passed over\n");
  // Files that are no drawings, by name or by content, are passed over as a conversion passes
  // them over: they are not failures, and the status stays that of the drawings.
  CliRun passed = Cli(
      {"check", "--settings", At("zero.set"), At("every.jww"), At("random.jww"), At("note.txt")});
  EXPECT_EQ(passed.status, kExitOk) << passed.out;
  EXPECT_NE(passed.out.find("passed over " + At("random.jww") + ": not a JWW file (no JWW"),
            std::string::npos)
      << passed.out;
  EXPECT_NE(passed.out.find("1 conform, 0 do not, 0 could not be read, 2 passed over\n"),
            std::string::npos);
  CliRun solid = Cli({"check", "--settings", At("solids.set"), At("every.jww")});
  EXPECT_EQ(solid.status, kExitOk) << solid.out;

  // A drawing whose entities stay but whose settings change does not conform.
  CliRun settings = Cli({"check", "--settings", At("kinds.set"), At("every.jww")});
  EXPECT_EQ(settings.status, kExitFileFailed);
  EXPECT_NE(settings.out.find(": 0 of 10 entities would change\n  text kind 1 colour: 1 -> 5\n"),
            std::string::npos)
      << settings.out;

  CliRun json = Cli({"check", "--json", "--settings", At("red.set"), At("every.jww"),
                     At("every.jww"), At("note.txt")});
  EXPECT_EQ(json.status, kExitFileFailed);
  EXPECT_EQ(json.out.rfind("{\"files\":[{\"file\":", 0), 0u) << json.out;
  EXPECT_NE(json.out.find("\"conforms\":false,\"changes\":{\"format\":\"JWW\",\"entities\":10,"
                          "\"changed\":1,"),
            std::string::npos)
      << json.out;
  EXPECT_NE(json.out.find("\"colors\":[{\"from\":\"2\",\"to\":\"8\",\"count\":1}]"),
            std::string::npos);
  EXPECT_NE(json.out.find("\"conforms\":null,\"passed_over\":true,\"reason\":\"not a jw_cad file "
                          "type (.txt)\""),
            std::string::npos)
      << json.out;
  EXPECT_NE(json.out.find("],\"totals\":{\"conform\":0,\"do_not_conform\":2,\"failed\":0,"
                          "\"passed_over\":1}}\n"),
            std::string::npos)
      << json.out;
}

// A table that cannot be applied (here: layer 0-1 moved into group 2, drawn at another scale)
// says the drawing breaks the standard; it is not a file that could not be read.
TEST_F(CheckTest, ATableThatCannotBeAppliedDoesNotConform) {
  testing::WriteBytes(scratch_ / "layers.jww", testing::JwwOnLayers());
  ConversionTables clash;
  clash.layers.SetTarget(LayerAddress{0, 1}.Index(), LayerAddress{2, 0});
  ASSERT_TRUE(IsOk(SaveSettingsFile(scratch_ / "clash.set", clash)));
  CliRun run = Cli({"check", "--settings", At("clash.set"), At("layers.jww")});
  EXPECT_EQ(run.status, kExitFileFailed);
  EXPECT_NE(run.out.find("does not conform " + At("layers.jww") + ": the layer table moves"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("\n0 conform, 1 do not, 0 could not be read, 0 passed over\n"),
            std::string::npos);
}

TEST_F(CheckTest, UsageErrors) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"check", At("every.jww")},  // no standard
           {"check", "--settings", At("red.set")},
           {"check", "--settings", At("red.set"), "--ini", At("red.set"), At("every.jww")},
           {"check", "--settings", At("red.set"), scratch_.path().string()},  // a folder, no -r
           {"check", "--settings", At("red.set"), "--type", "dwg", At("every.jww")},
           {"check", "--settings", At("missing.set"), At("every.jww")},
           {"check", "--dest", At("x"), "--settings", At("red.set"), At("every.jww")}}) {
    CliRun run = Cli(args);
    EXPECT_EQ(run.status, kExitUsage) << args.back() << "\n" << run.out;
    EXPECT_EQ(run.out, "");
  }
  EXPECT_NE(Cli({"check", At("every.jww")}).err.find("check needs the standard"),
            std::string::npos);
}

// Each file's counts as `check` gives them and as the dry run does, by file.
std::map<std::string, std::string> Counts(const std::string& out, const std::string& pattern) {
  std::map<std::string, std::string> counts;
  const std::regex line(pattern);
  std::istringstream lines(out);
  for (std::string text; std::getline(lines, text);) {
    std::smatch match;
    if (std::regex_match(text, match, line)) {
      counts[match[1]] = match[2];
    }
  }
  return counts;
}

int ReadSamples(const std::vector<std::string>& files, const ConversionTables& tables, bool check,
                std::string& out) {
  const FormatRegistry formats = MakeStandardFormats();
  SourceSelection selection;
  SourceCursor cursor(files, selection, formats);
  std::ostringstream text;
  const int status = check ? PrintCheck(cursor, tables, false, text, formats)
                           : PrintDryRun(cursor, tables, text, formats);
  out = text.str();
  return status;
}

TEST(CheckSamples, AllConformToNoTablesAndDifferAsTheDryRunCounts) {
  std::vector<std::string> files;
  for (const char* extension : {".jww", ".jws", ".jwc", ".jwk"}) {
    for (const fs::path& file : testing::SampleFiles(extension)) {
      files.push_back(file.string());
    }
  }
  if (files.empty()) {
    GTEST_SKIP() << "no samples folder at " << PENMORPH_SAMPLES_DIR;
  }
  std::string out;
  EXPECT_EQ(ReadSamples(files, ConversionTables{}, true, out), kExitOk) << out;
  EXPECT_EQ(out, std::to_string(files.size()) +
                     " conform, 0 do not, 0 could not be read, 0 passed over\n");

  // Every colour, pen and line type onto another, every layer onto the next of its group.
  ConversionTables busy;
  for (int entry = 1; entry <= 9; ++entry) {
    busy.jww.SetEntry(entry, entry % 9 + 1);
    busy.jww.SetEntry(JwwConvSettings::LineTypeEntry(entry), entry % 9 + 1);
  }
  for (int option = JwwConvSettings::kChangeTextSettingColor;
       option <= JwwConvSettings::kChangeBlockLineType; ++option) {
    busy.jww.SetEntry(option, 1);
  }
  for (int pen = 1; pen <= 6; ++pen) {
    busy.jwc.SetEntry(JwcConvSettings::PenEntry(pen), pen % 6 + 1);
  }
  for (int index = 0; index < kLayerCount; ++index) {
    const LayerAddress from = LayerAddress::FromIndex(index);
    busy.layers.SetTarget(index, LayerAddress{from.group, (from.layer + 1) % kLayersPerGroup});
  }
  EXPECT_EQ(ReadSamples(files, busy, true, out), kExitFileFailed);
  const auto checked = Counts(out, "does not conform (.*): (\\d+ of \\d+) entities would change");
  const auto moved_layers = Counts(out, "  layer (\\d-\\d -> \\d-\\d): (\\d+)");
  std::string dry;
  EXPECT_EQ(ReadSamples(files, busy, false, dry), kExitOk) << dry;
  auto dry_counts = Counts(dry, "would change (.*): (\\d+ of \\d+) entities.*");
  // A file the dry run finds unchanged conforms (a DOS symbol whose pens the table leaves).
  std::size_t conforming = 0;
  for (auto it = dry_counts.begin(); it != dry_counts.end();) {
    if (it->second.starts_with("0 of ") && checked.count(it->first) == 0) {
      it = dry_counts.erase(it);
      ++conforming;
    } else {
      ++it;
    }
  }
  EXPECT_GT(checked.size(), files.size() / 2);
  EXPECT_EQ(checked, dry_counts);
  EXPECT_NE(
      out.find("\n" + std::to_string(conforming) + " conform, " + std::to_string(checked.size()) +
               " do not, 0 could not be read, 0 passed over\n"),
      std::string::npos);
  EXPECT_FALSE(moved_layers.empty());
  // The hidden landings the dry run announces are those the check reports.
  auto hidden = [](const std::string& text) {
    std::size_t count = 0;
    for (std::size_t at = text.find("onto hidden layers"); at != std::string::npos;
         at = text.find("onto hidden layers", at + 1)) {
      ++count;
    }
    return count;
  };
  EXPECT_EQ(hidden(out), hidden(dry));
}

}  // namespace
}  // namespace penmorph
