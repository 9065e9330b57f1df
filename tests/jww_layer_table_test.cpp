// The layer table in a conversion: every attribute block on a mapped layer moves, wherever it
// stands in the file; a move into a group of another scale fails the file; new names go into
// the header as the drawing's own kind of string; and on the real samples nothing else changes.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>

#include "common/little_endian.h"
#include "common/text.h"
#include "convert/batch_converter.h"
#include "fakes.h"
#include "formats/standard_formats.h"
#include "formats/windows/jww_format.h"
#include "formats/windows/layer_names.h"
#include "formats/windows/stream_converter.h"
#include "jw_test_bytes.h"
#include "reference/jws_file.h"
#include "reference/jww_file.h"
#include "test_support.h"

namespace penmorph::jw {
namespace {

namespace fs = std::filesystem;
using testing::IsOk;

constexpr LayerAddress kMapped{0, 3};
constexpr LayerAddress kTarget{2, 5};
constexpr LayerAddress kKept{0, 4};

EntityBase On(LayerAddress layer) {
  EntityBase base;
  base.PenStyle = 1;
  base.PenColor = 1;
  base.Layer = static_cast<std::uint16_t>(layer.layer);
  base.LayerGroup = static_cast<std::uint16_t>(layer.group);
  return base;
}

// One record of every kind with every attribute block on `layer`.
EntityTables EveryKindOn(LayerAddress layer) {
  EntityTables t;
  auto add = [&](EntityKind kind, std::uint32_t index) { t.order.push_back({kind, index}); };
  t.lines.push_back({On(layer), {0, 0, 1, 1}});
  add(EntityKind::kLine, 0);
  t.arcs.push_back({On(layer), {0, 0, 5, 0, 1, 0, 0}, 0});
  add(EntityKind::kArc, 0);
  t.points.push_back({On(layer), {1, 1}, 0, 0, {}});
  add(EntityKind::kPoint, 0);
  TEntMoji text;
  text.base = On(layer);
  text.text = FromAscii("text", false);
  t.texts.push_back(text);
  add(EntityKind::kText, 0);
  TEntSunpo dim;
  dim.base = dim.line.base = dim.line2.base = dim.line3.base = dim.text.base = On(layer);
  for (TEntTen& point : dim.points) {
    point.base = On(layer);
  }
  dim.text.text = FromAscii("100", false);
  t.dimensions.push_back(dim);
  add(EntityKind::kDimension, 0);
  t.solids.push_back({On(layer), {}, 0});
  add(EntityKind::kSolid, 0);
  t.blocks.push_back({On(layer), {0, 0, 1, 1, 0}, 1});
  add(EntityKind::kBlock, 0);
  return t;
}

void SetScale(TLayerGroup& group, double scale) {
  StoreLittleEndian(group.values.data() + 8, scale);
}

// What a drawing holds, without a workspace's image folder.
struct Parts {
  THeader header;
  EntityTables entities;
  std::vector<WorkspaceBlockDef> block_defs;
};

Parts PartsOf(const JwwWorkspace& w) {
  return {w.header, w.entities, w.block_defs};
}

// A drawing of `version`: every kind on the mapped layer and again on a kept one, and a block
// definition on the mapped layer whose members are every kind on it. Groups 0 and 2 are drawn
// at 1/100, group 1 at 1/50.
Parts Drawing(int version) {
  JwwWorkspace empty;
  EXPECT_TRUE(IsOk(testing::ReadJwwBytes(testing::EmptyJww(version), empty)));
  Parts w = PartsOf(empty);
  for (int group = 0; group < kLayerGroupCount; ++group) {
    SetScale(w.header.layer_groups[group], group == 1 ? 50 : 100);
  }
  w.entities = EveryKindOn(kMapped);
  EntityTables kept = EveryKindOn(kKept);
  kept.order.resize(1);  // a line is enough to show what stays
  w.entities.lines.push_back(kept.lines[0]);
  w.entities.order.push_back({EntityKind::kLine, 1});
  WorkspaceBlockDef def;
  def.base = On(kMapped);
  def.values = {0, 0, 1};
  def.name = FromAscii("block", false);
  def.members = EveryKindOn(kMapped);
  w.block_defs.push_back(def);
  return w;
}

std::string Bytes(const Parts& parts) {
  JwwWorkspace w;
  w.header = parts.header;
  w.entities = parts.entities;
  w.block_defs = parts.block_defs;
  VectorSink sink;
  ByteWriter out(sink);
  EXPECT_TRUE(IsOk(JwwWriteAsRead(out, w)));
  return std::string(sink.bytes().begin(), sink.bytes().end());
}

ByteReader Reader(const std::string& bytes) {
  return ByteReader::FromMemory(
      {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

// The stream's output read back; its status when it fails. The reference model must agree.
struct Converted {
  ConversionStatus status;
  Parts drawing;
};
Converted ConvertJww(const std::string& bytes, const LayerTable& layers,
                     const JwwConvSettings& table = {}) {
  Converted result;
  VectorSink sink;
  auto in = Reader(bytes);
  result.status = ConvertJwwStream(in, table, sink, layers);
  JwwWorkspace reference;
  auto reference_in = Reader(bytes);
  Status status = JwwRead(reference_in, reference);
  status = status.ok() ? JwwRemap(reference, table, layers) : status;
  VectorSink reference_sink;
  ByteWriter reference_out(reference_sink);
  status = status.ok() ? JwwWrite(reference_out, reference) : status;
  EXPECT_EQ(status.ok(), result.status.ok());
  if (result.status.ok()) {
    EXPECT_EQ(sink.bytes(), reference_sink.bytes()) << "the stream and the reference model differ";
    const std::string out(sink.bytes().begin(), sink.bytes().end());
    JwwWorkspace read;
    EXPECT_TRUE(IsOk(testing::ReadJwwBytes(out, read)));
    result.drawing = PartsOf(read);
  }
  return result;
}

// Every attribute block of a workspace, in file order, with where it stands.
std::vector<std::pair<std::string, EntityBase>> Bases(const EntityTables& tables, int version,
                                                      const std::string& where) {
  std::vector<std::pair<std::string, EntityBase>> bases;
  EntityRecord record;
  for (EntityRef ref : tables.order) {
    EXPECT_TRUE(CopyEntity(tables, ref, record));
    ForEachBase(record, version, [&](const EntityBase& base, const PartInfo& part) {
      bases.emplace_back(where + std::string(KindInfo(ref.kind).plural) + " part " +
                             std::to_string(static_cast<int>(part.part)),
                         base);
    });
  }
  return bases;
}
std::vector<std::pair<std::string, EntityBase>> Bases(const Parts& w) {
  const int version = w.header.version;
  auto bases = Bases(w.entities, version, "main ");
  for (const WorkspaceBlockDef& def : w.block_defs) {
    bases.emplace_back("block definition", def.base);
    auto members = Bases(def.members, version, "member ");
    bases.insert(bases.end(), members.begin(), members.end());
  }
  return bases;
}

LayerTable Moving(LayerAddress from, LayerAddress to) {
  LayerTable table;
  table.SetTarget(from.Index(), to);
  return table;
}

TEST(LayerTable, EveryBaseOnAMappedLayerMovesAndTheRestStay) {
  for (int version : {300, 420, 700}) {
    SCOPED_TRACE(version);
    const Parts drawing = Drawing(version);
    // Colours go through their table as before, whatever layer they land on.
    JwwConvSettings colors;
    colors.SetEntry(1, 5);
    const std::string bytes = Bytes(drawing);
    const Converted plain = ConvertJww(bytes, {}, colors);
    const Converted converted = ConvertJww(bytes, Moving(kMapped, kTarget), colors);
    ASSERT_TRUE(plain.status.ok());
    ASSERT_TRUE(converted.status.ok()) << converted.status.error().Describe();
    const auto before = Bases(drawing);
    const auto colored = Bases(plain.drawing);
    const auto after = Bases(converted.drawing);
    ASSERT_EQ(before.size(), after.size());
    ASSERT_GE(before.size(), 20u);  // main list, dimension members, definition and members
    EXPECT_EQ(after[0].second.PenColor, 5);
    for (std::size_t i = 0; i < before.size(); ++i) {
      const EntityBase& was = before[i].second;
      EntityBase expected = colored[i].second;
      const bool mapped = LayerAddress{was.LayerGroup, was.Layer} == kMapped;
      expected.LayerGroup = static_cast<std::uint16_t>(mapped ? kTarget.group : kKept.group);
      expected.Layer = static_cast<std::uint16_t>(mapped ? kTarget.layer : kKept.layer);
      EXPECT_EQ(after[i].second, expected) << after[i].first;
    }
  }
}

TEST(LayerTable, SymbolsMoveTheirEntitiesToo) {
  JwsWorkspace symbol;
  const std::string line = testing::JwsWithOneLine(420);
  auto in = Reader(line);
  ASSERT_TRUE(IsOk(JwsRead(in, symbol)));
  symbol.entities = EveryKindOn(kMapped);
  for (TLayerGroup& group : symbol.header.layer_groups) {
    SetScale(group, 20);
  }
  VectorSink sink;
  ByteWriter out(sink);
  ASSERT_TRUE(IsOk(JwsWriteAsRead(out, symbol)));
  const std::string bytes(sink.bytes().begin(), sink.bytes().end());

  VectorSink converted;
  auto from = Reader(bytes);
  ASSERT_TRUE(ConvertJwsStream(from, {}, converted, Moving(kMapped, kTarget)).ok());
  JwsWorkspace read;
  auto back = ByteReader::FromMemory(converted.bytes());
  ASSERT_TRUE(IsOk(JwsRead(back, read)));
  const auto bases = Bases(read.entities, read.header.version, "");
  ASSERT_GT(bases.size(), 10u);
  for (const auto& [where, base] : bases) {
    EXPECT_EQ((LayerAddress{base.LayerGroup, base.Layer}), kTarget) << where;
  }
}

TEST(LayerTable, AMoveIntoAGroupOfAnotherScaleFailsNamingGroupsAndScales) {
  // Group 0 is at 1/100 and group 1 at 1/50: the block definition's members alone would move.
  Parts drawing = Drawing(700);
  drawing.entities = EntityTables{};
  drawing.block_defs[0].base = On(kKept);
  const Converted converted = ConvertJww(Bytes(drawing), Moving(kMapped, {1, 2}));
  ASSERT_FALSE(converted.status.ok());
  EXPECT_EQ(converted.status.stage(), ConversionStage::kRemap);
  const Error& error = converted.status.error();
  EXPECT_EQ(error.kind, ErrorKind::kScaleClash);
  EXPECT_EQ(error.detail, ErrorDetail(ScaleClashDetail{"0", "100", "1", "50", "0-3"}));

  // Into a group of the same scale the same move is fine.
  EXPECT_TRUE(ConvertJww(Bytes(drawing), Moving(kMapped, {2, 2})).status.ok());
}

TEST(LayerTable, AFileThatWouldChangeScaleIsNotWritten) {
  testing::ScratchFolder scratch;
  fs::create_directory(scratch / "src");
  fs::create_directory(scratch / "dst");
  testing::WriteBytes(scratch / "src" / "a.jww", Bytes(Drawing(700)));
  const FormatRegistry formats = MakeStandardFormats();
  ConversionTables tables;
  tables.layers = Moving(kMapped, {1, 0});
  testing::FakeUi ui;
  RealFileSystem files;
  BatchConverter converter(formats, tables, ui, files);
  const BatchResult result =
      testing::ConvertAll(converter, scratch / "src", scratch / "dst", {"a.jww"});
  ASSERT_EQ(result.outcomes.size(), 1u);
  EXPECT_EQ(result.outcomes[0].kind, OutcomeKind::kFailed);
  ASSERT_TRUE(result.outcomes[0].why.error.has_value());
  EXPECT_EQ(result.outcomes[0].why.error->kind, ErrorKind::kScaleClash);
  EXPECT_FALSE(fs::exists(scratch / "dst" / "a.jww"));
}

// --- new names ---

ArchiveString Wide(std::u16string_view text) {
  ArchiveString wide;
  wide.wide = true;
  for (char16_t unit : text) {
    wide.bytes += static_cast<char>(unit & 0xFF);
    wide.bytes += static_cast<char>(unit >> 8);
  }
  return wide;
}

TEST(LayerTable, NewNamesGoInAsShiftJisOrAsWideStringsAndNothingElseChanges) {
  Parts drawing = Drawing(700);
  drawing.header.layers[kTarget.Index()].name = Wide(u"old");
  LayerTable table;
  table.SetLayerName(kMapped.Index(), "壁");
  table.SetLayerName(kTarget.Index(), "窓🪟");  // wide: any character will do
  table.SetGroupName(2, "平面図");
  const Converted converted = ConvertJww(Bytes(drawing), table);
  ASSERT_TRUE(converted.status.ok()) << converted.status.error().Describe();

  THeader expected = drawing.header;
  NormalizeJwwHeader(expected);
  expected.layers[kMapped.Index()].name = {"\x95\xC7", false};
  expected.layers[kTarget.Index()].name = Wide(u"窓🪟");
  expected.layer_groups[2].name = {"\x95\xBD\x96\xCA\x90\x7D", false};
  EXPECT_EQ(converted.drawing.header, expected);  // states, scales and other names as they were
  EXPECT_EQ(NameText(converted.drawing.header.layers[kTarget.Index()].name), "窓🪟");
  EXPECT_EQ(Bases(converted.drawing), Bases(drawing));  // renaming moves nothing
}

TEST(LayerTable, ANameShiftJisCannotHoldFailsTheFile) {
  const std::string bytes = Bytes(Drawing(700));
  LayerTable layer;
  layer.SetLayerName(kMapped.Index(), "窓🪟");
  Converted converted = ConvertJww(bytes, layer);
  ASSERT_FALSE(converted.status.ok());
  EXPECT_EQ(converted.status.error().kind, ErrorKind::kUnencodable);
  EXPECT_EQ(converted.status.error().detail,
            ErrorDetail(UnencodableNameDetail{false, "0-3", "窓🪟"}));

  LayerTable group;
  group.SetGroupName(15, "한");
  converted = ConvertJww(bytes, group);
  ASSERT_FALSE(converted.status.ok());
  EXPECT_EQ(converted.status.error().detail, ErrorDetail(UnencodableNameDetail{true, "F", "한"}));
}

// --- the samples ---

// A table each sample can take: all but every fourth layer onto the mirror layer of its group
// (no scale changes), with one layer and one group renamed.
LayerTable MirrorTable() {
  LayerTable table;
  for (int index = 0; index < kLayerCount; ++index) {
    const LayerAddress from = LayerAddress::FromIndex(index);
    if (from.layer % 4 != 3) {
      table.SetTarget(index, LayerAddress{from.group, kLayersPerGroup - 1 - from.layer});
    }
  }
  table.SetLayerName(LayerAddress{0, 1}.Index(), "壁");
  table.SetGroupName(0, "平面図");
  return table;
}

TEST(LayerTable, OnTheSamplesOnlyWhatTheTableNamesChanges) {
  const auto samples = testing::SampleFiles(".jww");
  if (samples.empty()) {
    GTEST_SKIP() << "no samples";
  }
  const LayerTable table = MirrorTable();
  JwwConvSettings colors;
  colors.SetEntry(2, 7);
  for (const fs::path& sample : samples) {
    SCOPED_TRACE(sample.filename().string());
    const std::string bytes = testing::ReadBytes(sample);
    const Converted plain = ConvertJww(bytes, {}, colors);
    const Converted moved = ConvertJww(bytes, table, colors);
    ASSERT_TRUE(plain.status.ok());
    ASSERT_TRUE(moved.status.ok()) << moved.status.error().Describe();

    auto expected = Bases(plain.drawing);
    std::size_t moved_bases = 0;
    for (auto& [where, base] : expected) {
      if (base.Layer < kLayersPerGroup && base.LayerGroup < kLayerGroupCount) {
        const LayerAddress to = table.Map({base.LayerGroup, base.Layer});
        moved_bases += to == LayerAddress{base.LayerGroup, base.Layer} ? 0 : 1;
        base.LayerGroup = static_cast<std::uint16_t>(to.group);
        base.Layer = static_cast<std::uint16_t>(to.layer);
      }
    }
    EXPECT_GT(moved_bases, 0u);
    EXPECT_EQ(Bases(moved.drawing), expected);

    THeader header = plain.drawing.header;
    ASSERT_TRUE(IsOk(RenameLayers(header, table)));
    NormalizeJwwHeader(header);
    EXPECT_EQ(moved.drawing.header, header);
    EXPECT_EQ(NameText(moved.drawing.header.layers[1].name), "壁");
    EXPECT_EQ(moved.drawing.entities.order, plain.drawing.entities.order);
  }
}

// --- rules by name ---

ArchiveString ShiftJis(std::string_view utf8) {
  return EncodeName(utf8, false).value();
}

LayerTable ByName(std::vector<LayerNameRule> rules) {
  LayerTable table;
  table.SetNameRules(std::move(rules));
  return table;
}

TEST(LayerTable, ARuleByNameMovesEveryBaseOfTheLayersItTakes) {
  Parts drawing = Drawing(700);
  drawing.header.layers[kMapped.Index()].name = ShiftJis("\u3000外壁 ");  // blanks as partners type
  drawing.header.layers[kKept.Index()].name = ShiftJis("外壁位置");
  const std::string bytes = Bytes(drawing);
  const auto before = Bases(drawing);

  // The name trimmed matches; without "*" another name does not. The table's own new name for
  // the layer does not hide the name the rule looks at.
  LayerTable table = ByName({{"外壁", kTarget}});
  table.SetLayerName(kMapped.Index(), "壁");
  const Converted converted = ConvertJww(bytes, table);
  ASSERT_TRUE(converted.status.ok()) << converted.status.error().Describe();
  EXPECT_EQ(NameText(converted.drawing.header.layers[kMapped.Index()].name), "壁");
  const auto after = Bases(converted.drawing);
  ASSERT_EQ(before.size(), after.size());
  for (std::size_t i = 0; i < before.size(); ++i) {
    EntityBase expected = before[i].second;
    if (LayerAddress{expected.LayerGroup, expected.Layer} == kMapped) {
      expected.LayerGroup = static_cast<std::uint16_t>(kTarget.group);
      expected.Layer = static_cast<std::uint16_t>(kTarget.layer);
    }
    EXPECT_EQ(after[i].second, expected) << after[i].first;
  }

  // A layer's own entry wins over every rule; a pattern takes both names.
  LayerTable both = ByName({{"*壁*", kTarget}});
  both.SetTarget(kKept.Index(), kKept);
  const Converted patterned = ConvertJww(bytes, both);
  ASSERT_TRUE(patterned.status.ok());
  for (const auto& [where, base] : Bases(patterned.drawing)) {
    const LayerAddress at{base.LayerGroup, base.Layer};
    EXPECT_TRUE(at == kTarget || at == kKept) << where;
  }
  EXPECT_EQ(Bases(patterned.drawing), Bases(ConvertJww(bytes, table).drawing));

  // A move by name into a group of another scale fails like one by address.
  const Converted clash = ConvertJww(bytes, ByName({{"外壁", {1, 0}}}));
  ASSERT_FALSE(clash.status.ok());
  EXPECT_EQ(clash.status.error().kind, ErrorKind::kScaleClash);
}

TEST(LayerTable, RulesByNameLeaveSymbolsAlone) {
  JwsWorkspace symbol;
  const std::string line = testing::JwsWithOneLine(420);
  auto in = Reader(line);
  ASSERT_TRUE(IsOk(JwsRead(in, symbol)));
  VectorSink plain;
  VectorSink converted;
  auto plain_in = Reader(line);
  auto from = Reader(line);
  ASSERT_TRUE(ConvertJwsStream(plain_in, {}, plain, {}).ok());
  ASSERT_TRUE(ConvertJwsStream(from, {}, converted, ByName({{"*", kTarget}})).ok());
  EXPECT_EQ(converted.bytes(), plain.bytes());
}

// Every sample that names its layers, with a rule for each name only one layer bears (the first
// written as a pattern): exactly the bases of those layers move.
TEST(LayerTable, OnTheSamplesRulesByNameMoveExactlyTheNamedLayers) {
  const auto samples = testing::SampleFiles(".jww");
  if (samples.empty()) {
    GTEST_SKIP() << "no samples";
  }
  int with_names = 0;
  for (const fs::path& sample : samples) {
    SCOPED_TRACE(sample.filename().string());
    const std::string bytes = testing::ReadBytes(sample);
    const Converted plain = ConvertJww(bytes, {});
    ASSERT_TRUE(plain.status.ok());
    // Names as the rules compare them; a name two layers bear gets no rule.
    std::map<std::u32string, std::vector<int>> layers_by_name;
    std::array<std::string, kLayerCount> names;
    for (int index = 0; index < kLayerCount; ++index) {
      names[index] = NameText(plain.drawing.header.layers[index].name);
      if (!FoldLayerName(names[index]).empty()) {
        layers_by_name[FoldLayerName(names[index])].push_back(index);
      }
    }
    std::vector<LayerNameRule> rules;
    std::map<int, LayerAddress> expected_moves;
    for (const auto& [name, indices] : layers_by_name) {
      const std::string& written = names[indices[0]];
      if (indices.size() != 1 || written.find_first_of("*?") != std::string::npos) {
        continue;
      }
      const LayerAddress from = LayerAddress::FromIndex(indices[0]);
      const LayerAddress to{from.group, kLayersPerGroup - 1 - from.layer};
      // One rule is a pattern: the name with its last character as "?", where that takes no
      // other layer's name.
      std::string pattern = written;
      if (rules.empty()) {
        std::size_t last = 0;
        for (std::size_t at = 0; at < written.size() && NextCodePoint(written, at);) {
          last = at == written.size() ? last : at;
        }
        std::string candidate = written.substr(0, last) + "?";
        int taken = 0;
        for (const std::string& other : names) {
          taken += !FoldLayerName(other).empty() && LayerNameMatches(candidate, other) ? 1 : 0;
        }
        if (taken == 1 && candidate != written) {
          pattern = candidate;
        }
      }
      rules.push_back({pattern, to});
      expected_moves[indices[0]] = to;
    }
    if (rules.empty()) {
      continue;
    }
    ++with_names;
    const Converted moved = ConvertJww(bytes, ByName(rules));
    ASSERT_TRUE(moved.status.ok()) << moved.status.error().Describe();
    auto expected = Bases(plain.drawing);
    std::size_t moved_bases = 0;
    for (auto& [where, base] : expected) {
      if (base.Layer >= kLayersPerGroup || base.LayerGroup >= kLayerGroupCount) {
        continue;
      }
      const auto move = expected_moves.find(LayerAddress{base.LayerGroup, base.Layer}.Index());
      if (move != expected_moves.end()) {
        moved_bases += move->second == LayerAddress{base.LayerGroup, base.Layer} ? 0 : 1;
        base.LayerGroup = static_cast<std::uint16_t>(move->second.group);
        base.Layer = static_cast<std::uint16_t>(move->second.layer);
      }
    }
    EXPECT_EQ(Bases(moved.drawing), expected);
    EXPECT_EQ(moved.drawing.header, plain.drawing.header);
    EXPECT_EQ(moved.drawing.entities.order, plain.drawing.entities.order);
    RecordProperty(sample.filename().string() + " moved", static_cast<int>(moved_bases));
  }
  EXPECT_GT(with_names, 0) << "no sample names its layers";
}

// --- info ---

TEST(LayerTable, InfoListsTheNamedAndUsedLayersWithTheirStates) {
  Parts drawing = Drawing(700);
  for (TLayer& layer : drawing.header.layers) {
    layer.name = {};
    StoreLittleEndian<std::int32_t>(layer.values.data(), 0);  // hidden, as jw_cad leaves many
  }
  for (TLayerGroup& group : drawing.header.layer_groups) {
    group.name = {};
    StoreLittleEndian<std::int32_t>(group.values.data(), 1);
  }
  StoreLittleEndian<std::int32_t>(drawing.header.layers[kMapped.Index()].values.data(), 3);
  drawing.header.layers[LayerAddress{5, 1}.Index()].name = {"\x95\xC7", false};  // 壁
  drawing.header.layer_groups[9].name = Wide(u"平面図");
  const std::string bytes = Bytes(drawing);
  auto in = Reader(bytes);
  auto description = JwwFormat().Describe(in);
  ASSERT_TRUE(IsOk(description.status()));
  std::vector<std::string> listed;
  for (const LayerDescription& layer : description.value().layers) {
    listed.push_back(layer.address + " " + layer.name + " " + std::to_string(layer.state) + " " +
                     std::to_string(layer.entities) + "+" + std::to_string(layer.block_members));
  }
  EXPECT_EQ(listed, (std::vector<std::string>{"0  1 8+7", "0-3  3 7+7", "0-4  0 1+0", "5  1 0+0",
                                              "5-1 壁 0 0+0", "9 平面図 1 0+0"}));
  EXPECT_EQ(description.value().layers[0].scale, 100.0);
  EXPECT_EQ(description.value().layers[1].scale, std::nullopt);
}

}  // namespace
}  // namespace penmorph::jw
