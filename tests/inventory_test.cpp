// Inventories count what built files are known to hold, before and after the tables, with the
// conversion's own rules; the command line prints them, renders and dry-runs without writing.

#include <gtest/gtest.h>

#include <algorithm>

#include <cstring>
#include <sstream>

#include "cli/cli_app.h"
#include "cli/preview_commands.h"
#include "convert/file_preview.h"
#include "dos_test_files.h"
#include "formats/dos/dos_preview.h"
#include "formats/standard_formats.h"
#include "formats/windows/inventory_builder.h"
#include "jw_test_bytes.h"
#include "layer_test_files.h"
#include "preview_test_files.h"
#include "settings/settings_store.h"
#include "test_support.h"

namespace penmorph::preview {
namespace {

namespace fs = std::filesystem;
using testing::IsOk;
using C = InventoryColumn;

ByteReader Reader(const std::string& bytes) {
  return ByteReader::FromMemory(
      {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

Inventory EveryKind(const JwwConvSettings& table) {
  const std::string bytes = testing::JwwOfEveryKind();
  auto in = Reader(bytes);
  auto inventory = jw::JwwInventory(in, table);
  EXPECT_TRUE(IsOk(inventory));
  return inventory.ok() ? std::move(inventory).value() : Inventory{};
}

TEST(Inventory, CountsEachKindByColourAndLineType) {
  const Inventory inventory = EveryKind(JwwConvSettings{});
  EXPECT_EQ(inventory.format, "JWW");
  EXPECT_EQ(inventory.version, "700");
  EXPECT_EQ(inventory.entities, 10u);  // 7 in the main list, 3 members
  EXPECT_EQ(inventory.block_definitions, 2u);
  EXPECT_EQ(inventory.changed, 0u);
  const CodeCounts& colors = inventory.before.colors;
  EXPECT_EQ(colors.Count(2, C::kLines), 1u);
  EXPECT_EQ(colors.Count(3, C::kArcs), 1u);
  EXPECT_EQ(colors.Count(4, C::kPoints), 1u);
  EXPECT_EQ(colors.Count(5, C::kTexts), 1u);
  EXPECT_EQ(colors.Count(6, C::kDimensionLines), 3u);
  EXPECT_EQ(colors.Count(7, C::kDimensionTexts), 1u);
  EXPECT_EQ(colors.Count(6, C::kDimensionPoints), 2u);
  EXPECT_EQ(colors.Count(0, C::kDimensionPoints), 2u);
  EXPECT_EQ(colors.Count(10, C::kSolids), 1u);
  EXPECT_EQ(colors.Count(2, C::kBlockInsertions), 1u);
  EXPECT_EQ(colors.Count(2, C::kBlockMembers), 2u);
  EXPECT_EQ(colors.Count(3, C::kBlockMembers), 1u);
  EXPECT_EQ(colors.Total(2), 4u);
  const CodeCounts& types = inventory.before.line_types;
  EXPECT_EQ(types.Count(2, C::kLines), 1u);
  EXPECT_EQ(types.Count(1, C::kArcs), 1u);
  EXPECT_EQ(types.Count(3, C::kDimensionLines), 3u);
  EXPECT_EQ(types.Count(1, C::kBlockMembers), 2u);
  EXPECT_EQ(types.Total(1), 3u);  // points, texts and insertions hold no line type
  EXPECT_EQ(inventory.after, inventory.before);
}

// Codes a multiple of 64 apart share a place in the inventory's cache of rows: each must still
// be counted on its own row, before the tables and after them.
TEST(Inventory, CodesFarApartAreCountedEachOnItsOwnRow) {
  testing::ByteBuilder builder;
  testing::AppendJwwHeader(builder, 600);
  builder.u16(4);  // four lines
  const int steps[] = {0, 1, 2, 0};
  for (int i = 0; i < 4; ++i) {
    jw::EntityBase base;
    base.PenColor = static_cast<std::uint16_t>(129 + 64 * steps[i]);  // SXF colours
    base.PenStyle = static_cast<std::uint8_t>(2 + 64 * steps[i]);
    base.LayerGroup = static_cast<std::uint16_t>(4 * steps[i]);  // layers 0, 64, 128, 0
    if (i == 0) {
      builder.new_class("CDataSen", 600);
    } else {
      builder.u16(0x8001);  // the same class again
    }
    builder.base(600, base).f64(0).f64(0).f64(1).f64(1);  // its two ends
  }
  builder.u16(0);  // no block definitions
  JwwConvSettings table;
  table.SetEntry(JwwConvSettings::ColorEntry(129), 130);  // the rows after differ from before
  auto in = Reader(builder.bytes());
  auto inventory = jw::JwwInventory(in, table);
  ASSERT_TRUE(IsOk(inventory));
  for (const InventorySide* side : {&inventory->before, &inventory->after}) {
    const bool before = side == &inventory->before;
    EXPECT_EQ(side->colors.Count(before ? 129 : 130, C::kLines), 2u);
    EXPECT_EQ(side->colors.Count(193, C::kLines), 1u);
    EXPECT_EQ(side->colors.Count(257, C::kLines), 1u);
    EXPECT_EQ(side->colors.rows().size(), 3u);
    EXPECT_EQ(side->layers.Count(0, C::kLines), 2u);
    EXPECT_EQ(side->layers.Count(64, C::kLines), 1u);
    EXPECT_EQ(side->layers.Count(128, C::kLines), 1u);
  }
  // Line types 66 and 130 are none the tables know: they become 1 after them.
  EXPECT_EQ(inventory->before.line_types.Count(2, C::kLines), 2u);
  EXPECT_EQ(inventory->before.line_types.Count(66, C::kLines), 1u);
  EXPECT_EQ(inventory->before.line_types.Count(130, C::kLines), 1u);
  EXPECT_EQ(inventory->after.line_types.Count(1, C::kLines), 2u);
}

TEST(Inventory, AfterTheTablesFollowsTheOptions) {
  JwwConvSettings table;
  table.SetEntry(2, 8);
  table.SetEntry(6, 9);
  Inventory plain = EveryKind(table);
  EXPECT_EQ(plain.after.colors.Count(8, C::kLines), 1u);
  EXPECT_EQ(plain.after.colors.Count(6, C::kDimensionLines), 3u);   // no dimension option
  EXPECT_EQ(plain.after.colors.Count(2, C::kBlockInsertions), 1u);  // never remapped
  EXPECT_EQ(plain.after.colors.Count(2, C::kBlockMembers), 2u);     // no block option
  EXPECT_EQ(plain.changed, 1u);

  table.SetEntry(JwwConvSettings::kChangeDimColor, 1);
  Inventory dims = EveryKind(table);
  EXPECT_EQ(dims.after.colors.Count(9, C::kDimensionLines), 3u);
  EXPECT_EQ(dims.after.colors.Count(9, C::kDimensionPoints), 2u);
  EXPECT_EQ(dims.after.colors.Count(1, C::kDimensionPoints), 2u);  // 0 is outside: becomes 1
  EXPECT_EQ(dims.changed, 2u);

  table.SetEntry(JwwConvSettings::kChangeBlockColor, 1);
  Inventory blocks = EveryKind(table);
  EXPECT_EQ(blocks.after.colors.Count(8, C::kBlockMembers), 1u);  // the line, not the insertion
  EXPECT_EQ(blocks.after.colors.Count(2, C::kBlockMembers), 1u);
  EXPECT_EQ(blocks.changed, 3u);
  EXPECT_EQ(blocks.before, plain.before);
}

TEST(Inventory, HeaderSettingColoursBeforeAndAfter) {
  JwwConvSettings table;
  table.SetEntry(1, 3);
  table.SetEntry(2, 8);
  Inventory off = EveryKind(table);
  ASSERT_EQ(off.settings.size(), 13u);
  EXPECT_EQ(off.settings[0].before, 1);
  EXPECT_EQ(off.settings[0].after, 1);  // the options are off
  EXPECT_EQ(off.settings[10].before, 1);
  EXPECT_EQ(off.settings[11].before, 2);
  EXPECT_EQ(off.settings[12].before, 3);
  EXPECT_EQ(off.ChangedSettings(), 0u);

  table.SetEntry(JwwConvSettings::kChangeTextSettingColor, 1);
  table.SetEntry(JwwConvSettings::kChangeDimSettingColor, 1);
  Inventory on = EveryKind(table);
  EXPECT_EQ(on.settings[9].after, 3);
  EXPECT_EQ(on.settings[10].after, 3);  // units 1 -> 3
  EXPECT_EQ(on.settings[11].after, 8);  // tens 2 -> 8
  EXPECT_EQ(on.settings[12].after, 3);  // hundreds 3 stays
  EXPECT_EQ(on.ChangedSettings(), 12u);
}

TEST(Inventory, FailsWhereTheConversionWouldFailToRemap) {
  JwwConvSettings table;
  table.SetEntry(2, 70000);  // does not fit a colour code
  const std::string bytes = testing::JwwOfEveryKind();
  auto in = Reader(bytes);
  auto inventory = jw::JwwInventory(in, table);
  ASSERT_FALSE(inventory.ok());
  EXPECT_EQ(inventory.error().kind, ErrorKind::kRange);
}

int L(int group, int layer) {
  return LayerAddress{group, layer}.Index();
}

Result<Inventory> OnLayers(const LayerTable& layers) {
  const std::string bytes = testing::JwwOnLayers();
  auto in = Reader(bytes);
  return jw::JwwInventory(in, JwwConvSettings{}, layers);
}

// 0-1 (a line and an insertion) onto the hidden 1-4, the dimension 0-2 to 1-2, the block's
// members and its definition 0-3 to 1-3, the already hidden 0-6 to 1-4.
LayerTable BusyLayers() {
  LayerTable layers;
  layers.SetTarget(L(0, 1), LayerAddress{1, 4});
  layers.SetTarget(L(0, 2), LayerAddress{1, 2});
  layers.SetTarget(L(0, 3), LayerAddress{1, 3});
  layers.SetTarget(L(0, 6), LayerAddress{1, 4});
  return layers;
}

TEST(InventoryLayers, CountsEveryDrawnPartOnItsLayerBeforeAndAfter) {
  auto plain = OnLayers(LayerTable{});
  ASSERT_TRUE(IsOk(plain));
  const CodeCounts& before = plain->before.layers;
  EXPECT_EQ(before.Count(L(0, 1), C::kLines), 1u);
  EXPECT_EQ(before.Count(L(0, 1), C::kBlockInsertions), 1u);
  EXPECT_EQ(before.Count(L(0, 2), C::kDimensionLines), 3u);
  EXPECT_EQ(before.Count(L(0, 2), C::kDimensionTexts), 1u);
  EXPECT_EQ(before.Count(L(0, 2), C::kDimensionPoints), 4u);
  EXPECT_EQ(before.Count(L(0, 3), C::kBlockMembers), 2u);
  EXPECT_EQ(before.Count(L(0, 6), C::kLines), 1u);
  EXPECT_EQ(before.rows().size(), 4u);
  EXPECT_EQ(plain->after, plain->before);
  EXPECT_EQ(plain->changed + plain->moved + plain->moved_to_hidden + plain->renamed, 0u);
  EXPECT_TRUE(plain->Unchanged());
  // The header's states, as jw_cad shows them.
  ASSERT_TRUE(plain->before.sheet.known);
  EXPECT_EQ(plain->before.sheet.names[L(0, 2)], "L");
  EXPECT_EQ(plain->before.sheet.states[L(0, 2)], 2);
  EXPECT_TRUE(plain->before.sheet.Hidden(L(1, 4)));
  EXPECT_TRUE(plain->before.sheet.Hidden(L(3, 0)));  // by its group
  EXPECT_FALSE(plain->before.sheet.Hidden(L(1, 3)));

  auto moved = OnLayers(BusyLayers());
  ASSERT_TRUE(IsOk(moved));
  EXPECT_EQ(moved->before, plain->before);
  const CodeCounts& after = moved->after.layers;
  EXPECT_EQ(after.Count(L(1, 4), C::kLines), 2u);
  EXPECT_EQ(after.Count(L(1, 4), C::kBlockInsertions), 1u);
  EXPECT_EQ(after.Total(L(1, 2)), 8u);
  EXPECT_EQ(after.Count(L(1, 3), C::kBlockMembers), 2u);
  EXPECT_EQ(after.rows().size(), 3u);
  EXPECT_EQ(moved->moved, 6u);  // two lines, the dimension, the insertion, both members
  EXPECT_EQ(moved->changed, 6u);
  EXPECT_EQ(moved->moved_block_definitions, 1u);
  EXPECT_EQ(moved->after.colors, moved->before.colors);
  const auto& moves = moved->moves.layers.moves();
  EXPECT_EQ(moves.at({L(0, 1), L(1, 4)}), 2u);
  EXPECT_EQ(moves.at({L(0, 2), L(1, 2)}), 8u);
  EXPECT_EQ(moves.at({L(0, 3), L(1, 3)}), 2u);
  EXPECT_EQ(moves.at({L(0, 6), L(1, 4)}), 1u);
  EXPECT_FALSE(moved->Unchanged());
}

TEST(InventoryLayers, CountsWhatLandsOnAHiddenLayerFromAShownOne) {
  // The line and the insertion of 0-1 land on the hidden 1-4; the line of 0-6 was hidden
  // already, and block members are drawn by their insertion's layer.
  auto moved = OnLayers(BusyLayers());
  ASSERT_TRUE(IsOk(moved));
  EXPECT_EQ(moved->moved_to_hidden, 2u);

  // A hidden group hides as a hidden layer does: the dimension into group 3.
  LayerTable into_group;
  into_group.SetTarget(L(0, 2), LayerAddress{3, 2});
  auto grouped = OnLayers(into_group);
  ASSERT_TRUE(IsOk(grouped));
  EXPECT_EQ(grouped->moved_to_hidden, 1u);
  EXPECT_EQ(grouped->moved, 1u);

  // Members hidden in their definition are still drawn through the insertion.
  LayerTable members;
  members.SetTarget(L(0, 3), LayerAddress{1, 4});
  auto hidden_members = OnLayers(members);
  ASSERT_TRUE(IsOk(hidden_members));
  EXPECT_EQ(hidden_members->moved, 2u);
  EXPECT_EQ(hidden_members->moved_to_hidden, 0u);

  // Out of hiding is no landing.
  LayerTable out_of_hiding;
  out_of_hiding.SetTarget(L(0, 6), LayerAddress{0, 1});
  auto shown = OnLayers(out_of_hiding);
  ASSERT_TRUE(IsOk(shown));
  EXPECT_EQ(shown->moved_to_hidden, 0u);
  EXPECT_EQ(MovedToHiddenLine(12), "12 entities move onto hidden layers");
  EXPECT_EQ(MovedToHiddenLine(1), "1 entity moves onto hidden layers");
}

TEST(InventoryLayers, NamesTheTablesWouldChange) {
  LayerTable layers;
  layers.SetLayerName(L(1, 4), "壁");
  layers.SetLayerName(L(0, 2), "L");  // the drawing's own name: no change
  layers.SetGroupName(1, "平面図");
  auto renamed = OnLayers(layers);
  ASSERT_TRUE(IsOk(renamed));
  EXPECT_EQ(renamed->renamed, 2u);
  EXPECT_EQ(renamed->after.sheet.names[L(1, 4)], "壁");
  EXPECT_EQ(renamed->after.sheet.group_names[1], "平面図");
  EXPECT_EQ(renamed->before.sheet.names[L(1, 4)], "L");
  EXPECT_EQ(renamed->changed, 0u);
  EXPECT_FALSE(renamed->Unchanged());  // a name alone makes the file differ
}

TEST(InventoryLayers, FailsWhereTheConversionRefusesAScaleClash) {
  LayerTable layers;
  layers.SetTarget(L(0, 1), LayerAddress{2, 0});  // 1/100 into 1/50
  auto clash = OnLayers(layers);
  ASSERT_FALSE(clash.ok());
  EXPECT_EQ(clash.error().kind, ErrorKind::kScaleClash);
  EXPECT_EQ(clash.error().detail, ErrorDetail(ScaleClashDetail{"0", "100", "2", "50", "0-1"}));
}

TEST(InventoryLayers, SymbolsMoveByTheirGroupScalesAndKeepNoNames) {
  // The symbol's one line stands on 0-0; its groups are drawn at 1/100, group 2 at 1/50.
  std::string bytes = testing::JwsWithOneLine(600);
  constexpr std::size_t kScales = 7 + 193 + 4 + 16;
  for (std::size_t group = 0; group < 16; ++group) {
    const double scale = group == 2 ? 50 : 100;
    std::memcpy(bytes.data() + kScales + group * 8, &scale, 8);
  }
  auto take = [&](const LayerTable& layers) {
    auto in = Reader(bytes);
    return jw::JwsInventory(in, JwwConvSettings{}, layers);
  };
  LayerTable layers;
  layers.SetTarget(0, LayerAddress{5, 5});
  layers.SetLayerName(0, "壁");
  auto symbol = take(layers);
  ASSERT_TRUE(IsOk(symbol));
  EXPECT_FALSE(symbol->before.sheet.known);
  EXPECT_EQ(symbol->moved, 1u);
  EXPECT_EQ(symbol->after.layers.Total(L(5, 5)), 1u);
  EXPECT_EQ(symbol->renamed, 0u);
  EXPECT_EQ(symbol->moved_to_hidden, 0u);

  layers.SetTarget(0, LayerAddress{2, 0});
  auto clash = take(layers);
  ASSERT_FALSE(clash.ok());
  EXPECT_EQ(clash.error().kind, ErrorKind::kScaleClash);
}

TEST(InventoryLayers, SaysWhatEachRuleByNameTookAndThatSymbolsHaveNoNames) {
  // Every layer of the drawing is named "L"; 0-2's own entry wins over the rule.
  LayerTable layers;
  layers.SetNameRules({{"never", {0, 7}}, {"ｌ", {0, 9}}});
  layers.SetTarget(L(0, 2), LayerAddress{0, 8});
  auto taken = OnLayers(layers);
  ASSERT_TRUE(IsOk(taken));
  ASSERT_EQ(taken->before.sheet.names[L(0, 6)], "L");
  ASSERT_EQ(taken->name_rules.size(), 1u);  // a rule that took no layer is not listed
  const preview::NameRuleMoves& rule = taken->name_rules[0];
  EXPECT_EQ(rule.pattern, "ｌ");
  EXPECT_EQ(rule.target, L(0, 9));
  EXPECT_EQ(rule.parts, 5u);  // 0-1: a line and an insertion; 0-3: two members; 0-6: a line
  EXPECT_EQ(std::count(rule.layers.begin(), rule.layers.end(), L(0, 2)), 0);
  EXPECT_EQ(std::count(rule.layers.begin(), rule.layers.end(), L(0, 6)), 1);
  EXPECT_EQ(taken->moves.layers.moves().at({L(0, 2), L(0, 8)}), 8u);
  EXPECT_FALSE(taken->names_unused);
  EXPECT_EQ(NameRuleLines(taken.value())[0].substr(0, 37),
            "name \"ｌ\" -> 0-9: 5 moved from 0-0, ");

  Inventory total;
  total.Merge(taken.value());
  total.Merge(taken.value());
  ASSERT_EQ(total.name_rules.size(), 1u);
  EXPECT_EQ(total.name_rules[0].parts, 10u);
  EXPECT_EQ(total.name_rules[0].layers, rule.layers);

  const std::string symbol_bytes = testing::JwsWithOneLine(600);
  auto in = Reader(symbol_bytes);
  auto symbol = jw::JwsInventory(in, JwwConvSettings{}, layers);
  ASSERT_TRUE(IsOk(symbol));
  EXPECT_TRUE(symbol->name_rules.empty());
  EXPECT_TRUE(symbol->names_unused);
  EXPECT_EQ(symbol->moved, 0u);
  EXPECT_EQ(NameRuleLines(symbol.value()),
            std::vector<std::string>{"rules by name move nothing here: the file names no layers"});
}

TEST(InventoryLayers, TotalsAddTheLayerCounts) {
  auto moved = OnLayers(BusyLayers());
  ASSERT_TRUE(IsOk(moved));
  Inventory total;
  total.Merge(moved.value());
  total.Merge(moved.value());
  EXPECT_EQ(total.moved, 12u);
  EXPECT_EQ(total.moved_to_hidden, 4u);
  EXPECT_EQ(total.moved_block_definitions, 2u);
  EXPECT_EQ(total.after.layers.Total(L(1, 2)), 16u);
  EXPECT_EQ(total.moves.layers.moves().at({L(0, 1), L(1, 4)}), 4u);
  EXPECT_FALSE(total.before.sheet.known);
}

TEST(InventoryLayers, DryRunAndInventoryPrintTheLayersAndTheHiddenLanding) {
  testing::ScratchFolder scratch;
  const std::string file = (scratch.path() / "layers.jww").string();
  testing::WriteBytes(file, testing::JwwOnLayers());
  const FormatRegistry formats = MakeStandardFormats();
  ConversionTables tables;
  tables.layers = BusyLayers();
  tables.layers.SetLayerName(L(1, 4), "壁");
  const std::vector<std::string> files = {file};
  const SourceSelection selection;
  auto print = [&](auto print_files) {
    SourceCursor cursor(files, selection, formats);
    std::ostringstream out;
    EXPECT_EQ(print_files(cursor, out), 0);
    return out.str();
  };
  const std::string dry = print([&](SourceCursor& cursor, std::ostream& out) {
    return PrintDryRun(cursor, tables, out, formats);
  });
  EXPECT_NE(dry.find("would change " + file +
                     ": 6 of 6 entities, 0 of 13 settings, 6 moved to other layers, 1 block "
                     "definitions moved, 1 names changed\n  2 entities move onto hidden layers\n"),
            std::string::npos)
      << dry;
  const std::string text = print([&](SourceCursor& cursor, std::ostream& out) {
    return PrintInventories(cursor, tables, false, out, formats);
  });
  EXPECT_NE(text.find("  2 entities move onto hidden layers\n"), std::string::npos) << text;
  EXPECT_NE(text.find("  layers:\n    0-1 \"L\" (editable): 2 -> 0\n"), std::string::npos);
  EXPECT_NE(text.find("    1-4 \"L\" -> \"壁\" (hidden): 0 -> 3\n"), std::string::npos);
  EXPECT_NE(text.find("  layers:\n    0-1: 2 -> 0\n"), std::string::npos);  // the total
  const std::string json = print([&](SourceCursor& cursor, std::ostream& out) {
    return PrintInventories(cursor, tables, true, out, formats);
  });
  EXPECT_NE(json.find("\"moved\":6,\"moved_to_hidden\":2,\"moved_block_definitions\":1,"
                      "\"renamed\":1"),
            std::string::npos)
      << json;
  EXPECT_NE(json.find("{\"label\":\"1-4\",\"total\":3,"), std::string::npos);
  EXPECT_NE(json.find("\"name\":\"壁\",\"state\":0,\"group_state\":2,\"hidden\":true}"),
            std::string::npos);
}

TEST(Inventory, DosPensAndLineTypes) {
  testing::JwcFile file;
  file.lines = {testing::LineRecordBytes(2, 1), testing::LineRecordBytes(2, 3),
                testing::LineRecordBytes(5, 3)};
  file.arcs = {testing::ArcRecordBytes(10000, 0, 0, 0, 1, 3)};
  file.points = {testing::PointRecordBytes(4)};
  file.texts = {"a"};
  file.pen_nos = {1, 2, 3, 4, 5, 6, 1, 2, 3, 4, 5};
  JwcConvSettings table;
  table.SetEntry(JwcConvSettings::PenEntry(3), 6);
  table.SetEntry(JwcConvSettings::kChangeTextPen, 1);
  const std::string bytes = file.Bytes();
  auto in = Reader(bytes);
  auto inventory = jw::JwcInventory(in, table);
  ASSERT_TRUE(IsOk(inventory));
  EXPECT_EQ(inventory->family, CodeFamily::kDos);
  EXPECT_EQ(inventory->entities, 6u);
  EXPECT_EQ(inventory->before.colors.Count(3, C::kLines), 2u);
  EXPECT_EQ(inventory->before.colors.Count(3, C::kArcs), 1u);
  EXPECT_EQ(inventory->before.colors.Count(4, C::kPoints), 1u);
  EXPECT_EQ(inventory->before.line_types.Count(2, C::kLines), 2u);
  EXPECT_EQ(inventory->after.colors.Count(6, C::kLines), 2u);
  EXPECT_EQ(inventory->after.colors.Count(6, C::kArcs), 1u);
  EXPECT_EQ(inventory->changed, 3u);
  ASSERT_EQ(inventory->settings.size(), 11u);
  EXPECT_EQ(inventory->settings[2].before, 3);
  EXPECT_EQ(inventory->settings[2].after, 6);
  EXPECT_EQ(inventory->ChangedSettings(), 2u);
}

TEST(Inventory, SamplesCountEveryRecordTheReaderHandsOver) {
  std::vector<fs::path> samples = testing::SampleFiles(".jww");
  for (const fs::path& file : testing::SampleFiles(".jwk")) {
    samples.push_back(file);
  }
  if (samples.empty()) {
    GTEST_SKIP() << "no samples folder at " << PENMORPH_SAMPLES_DIR;
  }
  const FormatRegistry formats = MakeStandardFormats();
  ConversionTables tables;
  tables.jww.SetEntry(2, 6);
  tables.jwc.SetEntry(JwcConvSettings::PenEntry(1), 2);
  for (const fs::path& file : samples) {
    SCOPED_TRACE(file.filename().string());
    auto inventory = InventoryOfFile(formats, file, tables);
    ASSERT_TRUE(IsOk(inventory));
    auto in = ByteReader::OpenFile(file);
    ASSERT_TRUE(IsOk(in));
    const FileFormat* format = formats.FindForFile(file.filename().string());
    auto description = format->Describe(in.value());
    ASSERT_TRUE(IsOk(description));
    std::uint64_t records = 0;
    for (const auto& [what, count] : description->counts) {
      records += what == "images" || what == "block definitions" ? 0 : count;
    }
    EXPECT_EQ(inventory->entities, records);
    // Remapping moves counts between codes and never loses one.
    std::uint64_t before = 0;
    std::uint64_t after = 0;
    for (const auto& [code, counts] : inventory->before.colors.rows()) {
      before += inventory->before.colors.Total(code);
    }
    for (const auto& [code, counts] : inventory->after.colors.rows()) {
      after += inventory->after.colors.Total(code);
    }
    EXPECT_EQ(before, after);
    // Lines of the main list always go through the table.
    const int gone = inventory->family == CodeFamily::kWindows ? 2 : 1;
    EXPECT_EQ(inventory->after.colors.Count(gone, C::kLines), 0u);
  }
}

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

class PreviewCliTest : public ::testing::Test {
 protected:
  PreviewCliTest() {
    testing::WriteBytes(scratch_ / "every.jww", testing::JwwOfEveryKind());
    testing::WriteBytes(scratch_ / "note.txt", "hello");
    ConversionTables tables;
    tables.jww.SetEntry(2, 8);
    EXPECT_TRUE(IsOk(SaveSettingsFile(scratch_ / "red.set", tables)));
  }
  std::string At(const std::string& name) const { return (scratch_ / name).string(); }

  testing::ScratchFolder scratch_;
};

TEST_F(PreviewCliTest, InventoryPrintsATablePerFileAndATotal) {
  CliRun run = Cli({"inventory", "--settings", At("red.set"), At("every.jww"), At("every.jww")});
  EXPECT_EQ(run.status, kExitOk) << run.err;
  EXPECT_NE(run.out.find("JWW version 700: 10 entities (with 2 block definitions), 1 changed"),
            std::string::npos)
      << run.out;
  // Colour 2: one line, one insertion, two members; after the tables the line is colour 8.
  EXPECT_NE(run.out.find("\n  2                1       0       0       0       0       0       0"
                         "       0       1       2        4        3\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("total of JWW/JWS files\n  JWW/JWS: 20 entities"), std::string::npos);
  EXPECT_NE(run.out.find("dimension colour (tens): 2"), std::string::npos);
}

// A file that is no drawing is passed over, as a conversion passes it over: named, not failed.
TEST_F(PreviewCliTest, InventoryAsJsonAndFilesPassedOverNamed) {
  CliRun run = Cli({"inventory", "--json", At("every.jww"), At("note.txt")});
  EXPECT_EQ(run.status, kExitOk);
  EXPECT_EQ(run.out.rfind("{\"files\":[{\"file\":", 0), 0u) << run.out;
  EXPECT_NE(run.out.find("\"entities\":10,\"block_definitions\":2,\"changed\":0"),
            std::string::npos);
  EXPECT_NE(run.out.find("{\"code\":10,\"label\":\"own RGB\",\"total\":1,\"counts\":{"),
            std::string::npos);
  EXPECT_NE(run.out.find("\"failed\":[],\"skipped\":[{\"file\":"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\"reason\":\"not a jw_cad file type (.txt)\""), std::string::npos);
  EXPECT_EQ(run.out.back(), '\n');
}

TEST_F(PreviewCliTest, DryRunReadsAndRemapsButWritesNothing) {
  const testing::FolderSnapshot before = testing::Snapshot(scratch_.path());
  CliRun run = Cli({"convert", "--dry-run", "--settings", At("red.set"), "--dest", At("nowhere"),
                    At("every.jww"), At("note.txt")});
  EXPECT_EQ(run.status, kExitOk);  // the conversion would pass the text file over, as this does
  EXPECT_NE(run.out.find("would change " + At("every.jww") + ": 1 of 10 entities, 0 of 13"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("skipped " + At("note.txt") + ": not a jw_cad file type (.txt)"),
            std::string::npos);
  EXPECT_NE(
      run.out.find("1 read, 1 skipped, 0 failed, 1 entities would change; nothing was written"),
      std::string::npos);
  EXPECT_EQ(testing::Snapshot(scratch_.path()), before);
  EXPECT_EQ(Cli({"convert", At("every.jww")}).status, kExitUsage);  // --dest still needed
}

TEST_F(PreviewCliTest, RenderWritesThePictureOfEitherSide) {
  CliRun before = Cli({"render", At("every.jww"), "--out", At("before.svg")});
  EXPECT_EQ(before.status, kExitOk) << before.err;
  CliRun after = Cli({"render", "--settings", At("red.set"), "--after", "--black", At("every.jww"),
                      "--out=" + At("after.svg")});
  EXPECT_EQ(after.status, kExitOk) << after.err;
  const std::string svg_before = testing::ReadBytes(scratch_ / "before.svg");
  const std::string svg_after = testing::ReadBytes(scratch_ / "after.svg");
  EXPECT_NE(svg_before.find("x2=\"10\" y2=\"0\" stroke=\"#000000\""), std::string::npos);
  EXPECT_NE(svg_after.find("x2=\"10\" y2=\"0\" stroke=\"#ff0000\""), std::string::npos);
  EXPECT_NE(svg_after.find("fill=\"#000000\"/>"), std::string::npos);  // the black background

  EXPECT_EQ(Cli({"render", At("every.jww")}).status, kExitUsage);
  EXPECT_EQ(Cli({"render", At("every.jww"), At("every.jww"), "--out", At("x.svg")}).status,
            kExitUsage);
  CliRun foreign = Cli({"render", At("note.txt"), "--out", At("note.svg")});
  EXPECT_EQ(foreign.status, kExitFileFailed);
  EXPECT_FALSE(fs::exists(scratch_ / "note.svg"));
}

}  // namespace
}  // namespace penmorph::preview
