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
  std::uniform_int_distribution<int> index(0, kLayerCount - 1);
  for (int i = 0; i < 40; ++i) {
    tables.layers.SetTarget(index(random), LayerAddress::FromIndex(index(random)));
    tables.layers.SetLayerName(index(random), "壁 " + std::to_string(random() % 1000));
  }
  tables.layers.SetLayerName(index(random), " 前後に空白 ");
  tables.layers.SetGroupName(static_cast<int>(random() % kLayerGroupCount), "平面図");
  tables.layers.SetNameRules({{"*壁*", LayerAddress::FromIndex(index(random))},
                              {"\u3000屋根", LayerAddress::FromIndex(index(random))},
                              {"ＡＢ?", LayerAddress::FromIndex(index(random))}});
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
  expected.layers.Reset();  // the layer table is replaced whole: the file sets no layer
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

TEST(SettingsFile, LayerSectionsTakeHexInEitherCaseAndIgnoreWhatDoesNotParse) {
  ScratchFolder folder;
  WriteBytes(folder / "layers.set",
             "[LAYER]\n0-3=2-5\na-f = b-1\n0-4=zz\n0-5=\nG-1=0-0\n1-2=3-\n"
             "[LAYERNAME]\n2-5=壁\nE-E=\"  内  \"\nXX=捨て\n"
             "[GROUPNAME]\n2=平面図\nf=外構\n10=捨て\n");
  ConversionTables tables;
  tables.layers.SetTarget(0x04, LayerAddress{1, 1});  // gone: opening replaces the whole table
  tables.layers.SetGroupName(5, "古い名前");
  ASSERT_TRUE(OpenSettingsFile(folder / "layers.set", tables).ok());
  LayerTable expected;
  expected.SetTarget(0x03, LayerAddress{2, 5});
  expected.SetTarget(0xAF, LayerAddress{0xB, 1});
  expected.SetLayerName(0x25, "壁");
  expected.SetLayerName(0xEE, "  内  ");
  expected.SetGroupName(2, "平面図");
  expected.SetGroupName(0xF, "外構");
  EXPECT_EQ(tables.layers, expected);
}

TEST(SettingsFile, RulesByNameKeepTheirOrderAndPassOverWhatIsNoRule) {
  ScratchFolder folder;
  // Shift-JIS, as a Japanese editor writes it: "*壁*=0-2", " 　屋根 = 1-3", "　　=0-1" (no name
  // once trimmed), "窓=zz" (no layer), "*壁*=0-5" (a second rule, which never wins).
  WriteBytes(folder / "names.set",
             "[LAYERBYNAME]\r\n*\x95\xC7*=0-2\r\n \x81\x40\x89\xAE\x8D\xAA = 1-3\r\n"
             "\x81\x40\x81\x40=0-1\r\n\x91\x8B=zz\r\n*\x95\xC7*=0-5\r\n");
  ConversionTables tables;
  ASSERT_TRUE(OpenSettingsFile(folder / "names.set", tables).ok());
  const std::vector<LayerNameRule> expected = {
      {"*壁*", {0, 2}}, {"\u3000屋根", {1, 3}}, {"*壁*", {0, 5}}};
  EXPECT_EQ(tables.layers.name_rules(), expected);
  EXPECT_TRUE(tables.layers.MovesLayers());

  ASSERT_TRUE(SaveSettingsFile(folder / "names.set", tables).ok());
  const std::string saved = ReadBytes(folder / "names.set");
  EXPECT_EQ(saved.substr(0, saved.find("[JWC]")),
            "[LAYERBYNAME]\r\n*壁*=0-2\r\n\u3000屋根=1-3\r\n*壁*=0-5\r\n\r\n");
  ConversionTables opened;
  ASSERT_TRUE(OpenSettingsFile(folder / "names.set", opened).ok());
  EXPECT_EQ(opened, tables);
}

TEST(SettingsFile, WithoutLayerSectionsMovesNothingAndSurvivesASaveByteForByte) {
  ScratchFolder folder;
  // As older programs wrote it: CRLF, every entry, a note of the user's in between.
  std::string old = "[JWC]\r\n";
  for (int e = 1; e <= 24; ++e) {
    old += "C" + std::to_string(e) + "=" + std::to_string(e % 7) + "\r\n";
  }
  old += "; 事務所標準\r\n[JWW]\r\n";
  for (int e = 1; e <= 321; ++e) {
    old += "C" + std::to_string(e) + "=" + std::to_string(e % 10) + "\r\n";
  }
  WriteBytes(folder / "old.set", old);
  ConversionTables tables;
  tables.layers.SetTarget(0, LayerAddress{1, 0});
  ASSERT_TRUE(OpenSettingsFile(folder / "old.set", tables).ok());
  EXPECT_TRUE(tables.layers.Empty());
  EXPECT_EQ(tables.jwc.Entry(6), 6);
  EXPECT_EQ(tables.jww.Entry(321), 1);
  ASSERT_TRUE(SaveSettingsFile(folder / "old.set", tables).ok());
  EXPECT_EQ(ReadBytes(folder / "old.set"), old);
}

TEST(SettingsFile, SavingDropsLayerKeysNoLongerSetAndKeepsEveryOtherLine) {
  ScratchFolder folder;
  WriteBytes(folder / "s.set",
             "[LAYER]\r\n; mine\r\n0-3=2-5\r\n0-3=1-1\r\nkeep=me\r\n"
             "[LAYERNAME]\r\n0-3=壁\r\n");
  ConversionTables tables;
  tables.layers.SetTarget(0xFF, LayerAddress{0, 0});
  tables.layers.SetGroupName(1, "立面図");
  ASSERT_TRUE(SaveSettingsFile(folder / "s.set", tables).ok());
  const std::string saved = ReadBytes(folder / "s.set");
  EXPECT_EQ(saved.substr(0, saved.find("[JWC]")),
            "[LAYER]\r\n; mine\r\nkeep=me\r\nF-F=0-0\r\n[LAYERNAME]\r\n\r\n");
  EXPECT_EQ(saved.substr(saved.find("[GROUPNAME]")), "[GROUPNAME]\r\n1=立面図\r\n");
  ConversionTables opened;
  ASSERT_TRUE(OpenSettingsFile(folder / "s.set", opened).ok());
  EXPECT_EQ(opened, tables);
}

TEST(SettingsFile, ShiftJisNamesAreReadAndWrittenBackAsUtf8) {
  ScratchFolder folder;
  // "[LAYERNAME] 2-5=壁" and "[GROUPNAME] 2=平面図" in Shift-JIS.
  WriteBytes(folder / "sjis.set",
             "[LAYERNAME]\r\n2-5=\x95\xC7\r\n[GROUPNAME]\r\n2=\x95\xBD\x96\xCA\x90\x7D\r\n");
  ConversionTables tables;
  ASSERT_TRUE(OpenSettingsFile(folder / "sjis.set", tables).ok());
  EXPECT_EQ(tables.layers.LayerName(0x25), "壁");
  EXPECT_EQ(tables.layers.GroupName(2), "平面図");
  ASSERT_TRUE(SaveSettingsFile(folder / "sjis.set", tables).ok());
  const std::string saved = ReadBytes(folder / "sjis.set");
  EXPECT_EQ(saved.substr(0, saved.find("[JWC]")),
            "[LAYERNAME]\r\n2-5=壁\r\n[GROUPNAME]\r\n2=平面図\r\n\r\n");
}

TEST(IniFile, AShiftJisFolderPathOfAnOldIniIsReadAsItWasMeant) {
  ScratchFolder folder;
  // "C:\図面\表\": the second byte of 表 is a backslash in Shift-JIS.
  WriteBytes(folder / "p.ini", "[Set]\r\nFLD1=C:\\\x90\x7D\x96\xCA\\\x95\x5C\\\r\n");
  AppSettings settings;
  ASSERT_TRUE(LoadIniFile(folder / "p.ini", settings).ok());
  EXPECT_EQ(settings.search_folder, "C:\\図面\\表\\");
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
