// JWS symbol files: the fixed header and its filler, the version written back, image references
// in texts, the shared entity rules, and every JWS the samples folder holds.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "cli/cli_app.h"
#include "formats/standard_formats.h"
#include "jw_test_bytes.h"
#include "jww_expectation.h"
#include "reference/jws_file.h"
#include "test_support.h"

namespace penmorph::jw {
namespace {

namespace fs = std::filesystem;
using testing::ByteBuilder;
using testing::FirstDifference;
using testing::IsOk;

// A header of `version` with a filler that is not all dots.
ByteBuilder JwsHeaderBytes(int version, char eighth = '.') {
  ByteBuilder out;
  out.raw("JwsData");
  out.raw(std::string(1, eighth) + std::string(192, 'x'));  // filler
  out.i32(version);
  out.pattern(16 + 128 + 24 + 80);  // A, B, the scales, six i32, ten f64
  return out;
}

EntityBase Base(int style, int color) {
  return {3, static_cast<std::uint8_t>(style), static_cast<std::uint16_t>(color), 9, 1, 2, 0};
}

// A symbol with a text, a dimension and a block definition holding a text.
std::string Symbol(int version, const std::string& text, const std::string& member_text,
                   const std::string& dimension_text) {
  const int v = version;
  ByteBuilder out = JwsHeaderBytes(v);
  auto text_body = [&](const std::string& t) {
    out.base(v, Base(1, 1)).pattern(68).str("font").str(t);
  };
  out.u16(3);
  out.new_class("CDataMoji", v);
  text_body(text);
  out.new_class("CDataSunpou", v).base(v, Base(1, 2));
  out.base(v, Base(1, 2)).pattern(32);
  text_body(dimension_text);
  if (v >= 420) {
    out.u16(0);
    for (int i = 0; i < 2; ++i) {
      out.base(v, Base(2, 3)).pattern(32);
    }
    for (int i = 0; i < 4; ++i) {
      out.base(v, Base(1, 3)).pattern(20);
    }
  }
  out.new_class("CDataSen", v).base(v, Base(31, 105)).pattern(32);
  out.u16(1).new_class("CDataList", v).base(v, Base(1, 1)).i32(0).i32(0).i32(1).str("s").u16(1);
  out.u16(0x8001);
  text_body(member_text);
  return out.bytes();
}

Status Read(const std::string& bytes, JwsWorkspace& workspace) {
  auto in =
      ByteReader::FromMemory({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
  return JwsRead(in, workspace);
}

std::string Write(const JwsWorkspace& workspace, bool as_read = false) {
  VectorSink sink;
  ByteWriter out(sink);
  Status status = as_read ? JwsWriteAsRead(out, workspace) : JwsWrite(out, workspace);
  EXPECT_TRUE(IsOk(status));
  return std::string(sink.bytes().begin(), sink.bytes().end());
}

TEST(JwsHeader, TheEmptySymbolIs456BytesAndKeepsItsLength) {
  ByteBuilder out = JwsHeaderBytes(420, 'Z');
  out.u16(0).u16(0);
  ASSERT_EQ(out.size(), 456u);
  JwsWorkspace workspace;
  ASSERT_TRUE(IsOk(Read(out.bytes(), workspace)));
  std::string written = Write(workspace);
  ASSERT_EQ(written.size(), 456u);
  std::string expected = out.bytes();
  expected.replace(7, 193, std::string(193, '.'));  // the filler, eighth byte included
  EXPECT_EQ(written, expected);
}

TEST(JwsHeader, SevenBytesPassTheProbeButNotTheRead) {
  testing::ScratchFolder folder;
  testing::WriteBytes(folder / "seven.jws", "JwsData");
  testing::WriteBytes(folder / "six.jws", "JwsDat");
  testing::WriteBytes(folder / "other.jws", "JwwData.");
  EXPECT_TRUE(JwsProbe(folder / "seven.jws"));
  EXPECT_FALSE(JwsProbe(folder / "six.jws"));
  EXPECT_FALSE(JwsProbe(folder / "other.jws"));
  JwsWorkspace workspace;
  EXPECT_FALSE(JwsRead(folder / "seven.jws", workspace).ok());
}

TEST(JwsVersion, IsNormalisedOnWriting) {
  for (auto [read, written] :
       {std::pair{100, 230}, std::pair{229, 230}, std::pair{230, 230}, std::pair{231, 231},
        std::pair{300, 351}, std::pair{301, 301}, std::pair{420, 420}, std::pair{700, 700}}) {
    JwsWorkspace workspace;
    ASSERT_TRUE(IsOk(Read(Symbol(read, "t", "m", "d"), workspace))) << read;
    std::string bytes = Write(workspace);
    EXPECT_EQ(testing::I32At(bytes, 200), written) << read;
    // Every new-class tag carries the written version as its schema number.
    std::string schema_and_name = std::string(1, static_cast<char>(written & 0xFF)) +
                                  static_cast<char>(written >> 8) + std::string("\x09\x00", 2) +
                                  "CDataMoji";
    EXPECT_NE(bytes.find(schema_and_name), std::string::npos) << read;
    JwsWorkspace again;
    ASSERT_TRUE(IsOk(Read(bytes, again))) << read;
    EXPECT_EQ(again.entities.texts[0].text.bytes, "t");
  }
}

TEST(JwsVersion, Version300GainsALineWidthInEveryAttributeBlock) {
  JwsWorkspace workspace;
  const std::string source = Symbol(300, "t", "m", "d");
  ASSERT_TRUE(IsOk(Read(source, workspace)));
  std::string written = Write(workspace);
  // Seven attribute blocks (text, dimension and its two members, line, definition, member
  // text), two bytes each.
  EXPECT_EQ(written.size(), source.size() + 7 * 2);
  JwsWorkspace again;
  ASSERT_TRUE(IsOk(Read(written, again)));
  EXPECT_EQ(again.entities.lines[0].base.PenWidth, 0);
  // SXF codes fold to standard ones below 420, as in a drawing.
  EXPECT_EQ(again.entities.lines[0].base.PenStyle, 1);
  EXPECT_EQ(again.entities.lines[0].base.PenColor, 4);  // SXF 5 folds to 4
}

TEST(JwsTexts, ImageReferencesLoseTheirTempPart) {
  struct Case {
    std::string text;
    std::string written;
  };
  const Case cases[] = {
      {"^@BM%temp%photo.jpg,1,2", "^@BMphoto.jpg,1,2"},
      {"^@BM%temp%", "^@BM"},
      {"^@BM%temp", "^@BM%temp"},                      // nine bytes are never rewritten
      {"^@BM%TEMP%photo.jpg", "^@BM%TEMP%photo.jpg"},  // the comparison is exact
      {"\t^@BM%temp%x", "^@BMx"},                      // cleaned first, then compared
      {"plain", "plain"},
  };
  for (const Case& c : cases) {
    JwsWorkspace workspace;
    ASSERT_TRUE(IsOk(Read(Symbol(600, c.text, c.text, c.text), workspace)));
    JwsWorkspace again;
    ASSERT_TRUE(IsOk(Read(Write(workspace), again)));
    EXPECT_EQ(again.entities.texts[0].text.bytes, c.written) << c.text;
    EXPECT_EQ(again.block_defs[0].members.texts[0].text.bytes, c.written) << c.text;
    // A dimension's text is only cleaned.
    EXPECT_EQ(again.entities.dimensions[0].text.text, CleanName(ArchiveString{c.text, false}))
        << c.text;
  }
  ArchiveString wide = FromAscii("^@BM%temp%w.png,1", true);
  EXPECT_EQ(RewriteJwsImageReference(wide), FromAscii("^@BMw.png,1", true));
}

TEST(JwsRemap, ActsOnEntitiesButHasNoHeaderToChange) {
  JwsWorkspace workspace;
  ASSERT_TRUE(IsOk(Read(Symbol(700, "t", "m", "d"), workspace)));
  JwsHeader header = workspace.header;
  JwwConvSettings table;
  table.SetEntry(1, 4);
  table.SetEntry(2, 5);
  table.SetEntry(JwwConvSettings::kChangeTextSettingColor, 1);
  table.SetEntry(JwwConvSettings::kChangeDimSettingColor, 1);
  table.SetEntry(JwwConvSettings::kChangeDimColor, 1);
  table.SetEntry(JwwConvSettings::kChangeBlockColor, 1);
  ASSERT_TRUE(IsOk(JwsRemap(workspace, table)));
  EXPECT_EQ(workspace.header, header);
  EXPECT_EQ(workspace.entities.texts[0].base.PenColor, 4);
  EXPECT_EQ(workspace.entities.dimensions[0].base.PenColor, 2);  // its own base never changes
  EXPECT_EQ(workspace.entities.dimensions[0].line.base.PenColor, 5);
  EXPECT_EQ(workspace.block_defs[0].members.texts[0].base.PenColor, 4);
}

TEST(JwsFile, ACutFileFailsCleanlyAtEveryLength) {
  const std::string bytes = Symbol(420, "text", "member", "dim");
  JwsWorkspace workspace;
  for (std::size_t length = 0; length < bytes.size(); ++length) {
    Status status = Read(bytes.substr(0, length), workspace);
    ASSERT_FALSE(status.ok()) << "cut at " << length;
    ASSERT_LE(status.error().offset.value_or(0), length);
  }
  EXPECT_TRUE(IsOk(Read(bytes, workspace)));
  // Bad classes and counts fail as in a drawing.
  std::string bad = bytes;
  bad.replace(454 + 6, 9, "CDataMojj");
  EXPECT_EQ(Read(bad, workspace).error().kind, ErrorKind::kUnsupported);
  ByteBuilder huge = JwsHeaderBytes(420);
  huge.u16(0xFFFF).i32(100000000).pattern(40);
  EXPECT_EQ(Read(huge.bytes(), workspace).error().kind, ErrorKind::kMalformed);
}

// --- the samples ---

// What the rules make of a symbol read with empty tables, built on the test's side.
void ApplyJwsWriteRules(JwsWorkspace& w) {
  ASSERT_TRUE(IsOk(JwsRemap(w, JwwConvSettings{})));
  const int v = NormalizedJwsVersion(w.header.version);
  w.header.version = v;
  testing::ApplyEntityWriteRules(v, w.entities);
  testing::ApplyBlockDefWriteRules(v, w.block_defs);
  // After cleaning, a text that opens with the image prefix keeps "^@BM" and what follows it.
  auto rewrite = [](EntityTables& tables) {
    for (TEntMoji& text : tables.texts) {
      if (StartsWithAscii(text.text, "^@BM%temp%")) {
        ArchiveString kept = FromAscii("^@BM", text.text.wide);
        kept.bytes += Substring(text.text, 10, std::string::npos).bytes;
        text.text = kept;
      }
    }
  };
  rewrite(w.entities);
  for (WorkspaceBlockDef& def : w.block_defs) {
    rewrite(def.members);
  }
}

TEST(JwsSamples, EveryByteOfTheOutputIsExplained) {
  std::vector<fs::path> samples = testing::SampleFiles(".jws");
  if (samples.empty()) {
    GTEST_SKIP() << "no samples folder at " << PENMORPH_SAMPLES_DIR;
  }
  for (const fs::path& file : samples) {
    SCOPED_TRACE(file.filename().string());
    std::string source = testing::ReadBytes(file);
    JwsWorkspace workspace;
    auto in = ByteReader::OpenFile(file);
    ASSERT_TRUE(IsOk(in));
    ASSERT_TRUE(IsOk(JwsRead(in.value(), workspace)));
    EXPECT_TRUE(in->at_end()) << in->remaining() << " bytes after the block definitions";
    // Read as it was, only the filler (not kept) differs.
    std::string with_dots = source;
    with_dots.replace(7, 193, std::string(193, '.'));
    EXPECT_EQ(FirstDifference(with_dots, Write(workspace, true)), "");

    JwsWorkspace converted;
    ASSERT_TRUE(IsOk(JwsRead(file, converted)));
    ASSERT_TRUE(IsOk(JwsRemap(converted, JwwConvSettings{})));
    const std::string output = Write(converted);
    ApplyJwsWriteRules(workspace);
    EXPECT_EQ(FirstDifference(Write(workspace, true), output), "");

    JwsWorkspace again;
    ASSERT_TRUE(IsOk(Read(output, again)));
    EXPECT_TRUE(again.header == workspace.header);
    EXPECT_TRUE(again.entities == workspace.entities);
    EXPECT_TRUE(again.block_defs == workspace.block_defs);
    ASSERT_TRUE(IsOk(JwsRemap(again, JwwConvSettings{})));
    EXPECT_EQ(FirstDifference(output, Write(again)), "");
  }
}

TEST(JwsSamples, ConvertAndDescribeThroughTheCommandLine) {
  std::vector<fs::path> samples = testing::SampleFiles(".jws");
  if (samples.empty()) {
    GTEST_SKIP() << "no samples folder at " << PENMORPH_SAMPLES_DIR;
  }
  testing::ScratchFolder out;
  FormatRegistry formats = MakeStandardFormats();
  std::vector<std::string> args = {"convert", "--dest", out.path().string()};
  for (const fs::path& file : samples) {
    args.push_back(file.string());
  }
  std::ostringstream report, err;
  EXPECT_EQ(RunCli(args, report, err, formats), 0) << report.str();
  EXPECT_NE(report.str().find(std::to_string(samples.size()) + " converted, 0 skipped, 0 failed"),
            std::string::npos)
      << report.str();
  std::ostringstream info;
  EXPECT_EQ(RunCli({"info", samples.front().string()}, info, err, formats), 0);
  EXPECT_NE(info.str().find("  format: JWS\n"), std::string::npos) << info.str();
  EXPECT_EQ(info.str().find("memo"), std::string::npos) << "a symbol has no memo to show";
}

TEST(JwsSamples, ACutSampleFailsCleanlyAtEveryLength) {
  fs::path file = fs::path(PENMORPH_SAMPLES_DIR) / "jw_cad__ritsumen_hozo-shita.jws";
  if (!fs::exists(file)) {
    GTEST_SKIP() << "sample not found: " << file;
  }
  const std::string bytes = testing::ReadBytes(file);
  JwsWorkspace workspace;
  for (std::size_t length = 0; length < bytes.size(); ++length) {
    ASSERT_FALSE(Read(bytes.substr(0, length), workspace).ok()) << "cut at " << length;
  }
}

}  // namespace
}  // namespace penmorph::jw
