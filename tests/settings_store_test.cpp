#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "test_support.h"

namespace penmorph {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::WriteBytes;

ConversionTables RandomTables(unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<std::int32_t> value(-100000, 100000);
  ConversionTables tables;
  for (int e = 1; e <= JwcConvSettings::kEntryCount; ++e) {
    tables.jwc.SetEntry(e, value(random));
  }
  for (int e = 1; e <= JwwConvSettings::kEntryCount; ++e) {
    tables.jww.SetEntry(e, value(random));
  }
  tables.jww.SetEntry(1, INT32_MIN);
  tables.jww.SetEntry(2, INT32_MAX);
  return tables;
}

// The key names of a file, in order, as "Section/Key".
std::vector<std::string> KeyOrder(const std::string& text) {
  std::vector<std::string> keys;
  std::istringstream lines(text);
  std::string line;
  std::string section;
  while (std::getline(lines, line)) {
    if (!line.empty() && line[0] == '[') {
      section = line.substr(1, line.find(']') - 1);
    } else if (auto equals = line.find('='); equals != std::string::npos) {
      keys.push_back(section + "/" + line.substr(0, equals));
    }
  }
  return keys;
}

TEST(SettingsFile, SavedAndOpenedAgainRestoresBothTablesExactly) {
  ScratchFolder folder;
  ConversionTables saved = RandomTables(7);
  ASSERT_TRUE(SaveSettingsFile(folder / "a.set", saved).ok());
  ConversionTables opened = RandomTables(8);
  ASSERT_TRUE(OpenSettingsFile(folder / "a.set", opened).ok());
  EXPECT_EQ(opened, saved);
}

TEST(SettingsFile, HoldsOnlyTheTwoTablesInEntryOrder) {
  ScratchFolder folder;
  ASSERT_TRUE(SaveSettingsFile(folder / "a.set", ConversionTables{}).ok());
  std::vector<std::string> expected;
  for (int e = 1; e <= 24; ++e) {
    expected.push_back("JWC/C" + std::to_string(e));
  }
  for (int e = 1; e <= 321; ++e) {
    expected.push_back("JWW/C" + std::to_string(e));
  }
  EXPECT_EQ(KeyOrder(ReadBytes(folder / "a.set")), expected);
}

TEST(SettingsFile, OpeningChangesOnlyTheEntriesItHolds) {
  ScratchFolder folder;
  WriteBytes(folder / "one.set", "[JWC]\nC1=3\n");
  ConversionTables tables = RandomTables(3);
  ConversionTables expected = tables;
  expected.jwc.SetEntry(1, 3);
  ASSERT_TRUE(OpenSettingsFile(folder / "one.set", tables).ok());
  EXPECT_EQ(tables, expected);
}

TEST(SettingsFile, EmptyValuesCountAsAbsentAndJunkAsZero) {
  ScratchFolder folder;
  WriteBytes(folder / "odd.set",
             "[jwc]\nc1=\nC2=abc\nC3= 12 \nC4=$10\nC5=99999999999999999999999\n[JWW]\nC321=1\n");
  ConversionTables tables;
  for (int e = 1; e <= 5; ++e) {
    tables.jwc.SetEntry(e, 50);
  }
  ASSERT_TRUE(OpenSettingsFile(folder / "odd.set", tables).ok());
  EXPECT_EQ(tables.jwc.Entry(1), 50);  // empty: not found, kept
  EXPECT_EQ(tables.jwc.Entry(2), 0);
  EXPECT_EQ(tables.jwc.Entry(3), 12);
  EXPECT_EQ(tables.jwc.Entry(4), 16);
  EXPECT_EQ(tables.jwc.Entry(5), 0);  // cut to 21 characters, still too large
  EXPECT_TRUE(tables.jww.IsOn(JwwConvSettings::kChangeBlockLineType));
}

TEST(SettingsFile, SavingKeepsTheFilesOtherSections) {
  ScratchFolder folder;
  WriteBytes(folder / "shared.ini", "[Mine]\nkeep=me\n; note\n[JWC]\nC1=9\nExtra=1\n");
  ASSERT_TRUE(SaveSettingsFile(folder / "shared.ini", ConversionTables{}).ok());
  auto doc = IniDocument::Load(folder / "shared.ini");
  ASSERT_TRUE(doc.ok());
  EXPECT_EQ(doc->Get("Mine", "keep"), "me");
  EXPECT_EQ(doc->Get("JWC", "Extra"), "1");
  EXPECT_EQ(doc->Get("JWC", "C1"), "0");
  EXPECT_NE(ReadBytes(folder / "shared.ini").find("; note\n"), std::string::npos);
}

TEST(IniFile, MissingFileKeepsEveryBuiltInValue) {
  ScratchFolder folder;
  AppSettings settings;
  settings.search_folder = "/program/";
  ASSERT_TRUE(LoadIniFile(folder / "penmorph.ini", settings).ok());
  AppSettings expected;
  expected.search_folder = "/program/";
  EXPECT_EQ(settings, expected);
  EXPECT_EQ(settings.layout.main_width, 696);
  EXPECT_EQ(settings.layout.column_widths[5], 64);
}

TEST(IniFile, NonIntegerWidthIsZero) {
  ScratchFolder folder;
  WriteBytes(folder / "p.ini", "[Form]\nF1_W=abc\n");
  AppSettings settings;
  ASSERT_TRUE(LoadIniFile(folder / "p.ini", settings).ok());
  EXPECT_EQ(settings.layout.main_width, 0);
  EXPECT_EQ(settings.layout.main_height, 478);
}

TEST(IniFile, LongFolderTextsArriveCutTo511) {
  ScratchFolder folder;
  const std::string long_path = "/" + std::string(700, 'd');
  WriteBytes(folder / "p.ini", "[Set]\nFLD1=" + long_path + "\nFLD2=\nFNAM=x.set\n");
  AppSettings settings;
  settings.destination_folder = "/kept/";
  ASSERT_TRUE(LoadIniFile(folder / "p.ini", settings).ok());
  EXPECT_EQ(settings.search_folder, long_path.substr(0, 511));
  EXPECT_EQ(settings.destination_folder, "/kept/");
  EXPECT_EQ(settings.last_settings_file, "x.set");
}

TEST(IniFile, WrittenAndReadAgainGivesTheSameSettings) {
  ScratchFolder folder;
  AppSettings settings;
  settings.layout.main_left = -20;
  settings.layout.column_widths = {1, 2, 3, 4, 5, 6};
  settings.search_folder = "/home/u/図面/";
  settings.destination_folder = "";
  settings.last_settings_file = "/home/u/a b.set";
  settings.report_folder = "/home/u/報告/";
  settings.layout.maximized = 1;
  settings.reopen_search_folder = 0;
  settings.file_type = -1;
  settings.tables = RandomTables(11);
  ASSERT_TRUE(SaveIniFile(folder / "p.ini", settings).ok());
  AppSettings loaded;
  loaded.destination_folder = "/before/";
  ASSERT_TRUE(LoadIniFile(folder / "p.ini", loaded).ok());
  loaded.destination_folder = "";  // an empty value is written but reads as absent
  EXPECT_EQ(loaded, settings);
}

TEST(IniFile, WritesEveryKeyInOrder) {
  ScratchFolder folder;
  ASSERT_TRUE(SaveIniFile(folder / "p.ini", AppSettings{}).ok());
  std::vector<std::string> keys = KeyOrder(ReadBytes(folder / "p.ini"));
  ASSERT_EQ(keys.size(), 16u + 6u + 345u);
  std::vector<std::string> head(keys.begin(), keys.begin() + 22);
  EXPECT_EQ(head,
            (std::vector<std::string>{
                "Form/F1_X", "Form/F1_Y", "Form/F1_W",   "Form/F1_H", "Form/F2_X", "Form/F2_Y",
                "Form/F3_X", "Form/F3_Y", "Form/F1_MAX", "Comp/F1P1", "Comp/F1S0", "Comp/F1S1",
                "Comp/F1S2", "Comp/F1S3", "Comp/F1S4",   "Comp/F1S5", "Set/FLD1",  "Set/FLD2",
                "Set/FNAM",  "Set/FLD3",  "Set/FTYP",    "Set/OPEN"}));
  EXPECT_EQ(keys[22], "JWC/C1");
  EXPECT_EQ(keys.back(), "JWW/C321");
}

TEST(IniFile, SavingCreatesTheConfigurationFolder) {
  ScratchFolder folder;
  fs::path ini = folder / "config" / "penmorph" / "penmorph.ini";
  ASSERT_TRUE(SaveIniFile(ini, AppSettings{}).ok());
  EXPECT_TRUE(fs::is_regular_file(ini));
}

TEST(SettingsKeys, ReadAndWriteSingleKeysInAFile) {
  ScratchFolder folder;
  fs::path file = folder / "k.ini";
  EXPECT_FALSE(ReadSettingsKey("Set", "FLD1", kTextBufferSize, file).found);
  EXPECT_TRUE(WriteSettingsKey("Set", "FLD1", "/a/", file));
  EXPECT_TRUE(WriteSettingsKey("set", "fld1", "/b/", file));
  KeyRead read = ReadSettingsKey("SET", "Fld1", kTextBufferSize, file);
  EXPECT_TRUE(read.found);
  EXPECT_EQ(read.text, "/b/");
  EXPECT_EQ(ReadBytes(file), "[Set]\nFLD1=/b/\n");
  // A 22-character buffer holds 21.
  EXPECT_TRUE(WriteSettingsKey("Form", "F1_X", std::string(30, '1'), file));
  EXPECT_EQ(ReadSettingsKey("Form", "F1_X", kIntegerBufferSize, file).text, std::string(21, '1'));
}

}  // namespace
}  // namespace penmorph
