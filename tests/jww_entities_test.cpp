// JWW entity records and block definitions: every kind at the version boundaries that change
// them, class references across the lists, long references, bad tags and counts, and a file cut
// at every length.

#include <gtest/gtest.h>

#include <algorithm>

#include "test_support.h"

#include <map>

#include "jw_test_bytes.h"

namespace penmorph::jw {
namespace {

using testing::IsOk;

using testing::ByteBuilder;
using testing::ReadJwwBytes;
using testing::WriteJwwBytes;
using testing::WriteJwwBytesAsRead;

// Emits class tags as the archive index rules of the format give them, on the test's side.
class Tags {
 public:
  explicit Tags(int schema) : schema_(schema) {}
  void tag(ByteBuilder& out, const std::string& name) {
    auto found = index_.find(name);
    if (found == index_.end()) {
      out.new_class(name, schema_);
      index_[name] = counter_++;
    } else if (found->second <= 32766) {
      out.u16(0x8000 + static_cast<int>(found->second));
    } else {
      out.u16(0x7FFF).u32(0x80000000u + found->second);
    }
  }
  void object() { ++counter_; }

 private:
  int schema_;
  std::uint32_t counter_ = 1;
  std::map<std::string, std::uint32_t> index_;
};

EntityBase Base(int style, int color, int layer = 3) {
  return {-5,    static_cast<std::uint8_t>(style),  static_cast<std::uint16_t>(color),
          7,     static_cast<std::uint16_t>(layer), 2,
          0x0101};
}

void Line(ByteBuilder& out, int v, const EntityBase& base, double x) {
  out.base(v, base).f64(x).f64(2).f64(3).f64(4);
}
void Point(ByteBuilder& out, int v, const EntityBase& base) {
  out.base(v, base).f64(1.5).f64(-2.5).i32(9);
  if (base.PenStyle == 100) {
    out.i32(11).f64(0.25).f64(0.75);
  }
}
void TextBody(ByteBuilder& out, int v, const EntityBase& base, const std::string& text) {
  out.base(v, base).f64(1).f64(2).f64(3).f64(4).i32(5).f64(6).f64(7).f64(8).f64(9);
  out.str("MS Gothic").str(text);
}

struct Drawing {
  std::string bytes;
  std::size_t entities = 0;
};

// One record of every kind in the main list and two block definitions. `as_written` builds the
// file the converter writes for it: the negative block number replaced by the position.
Drawing AllKinds(int v, bool as_written = false, const std::string& text = "text") {
  ByteBuilder out;
  AppendJwwHeader(out, v);
  Tags tags(v);
  out.u16(10);
  auto entity = [&](const std::string& name, auto body) {
    tags.tag(out, name);
    body();
    tags.object();
  };
  entity("CDataSen", [&] { Line(out, v, Base(2, 3), 1); });
  entity("CDataEnko", [&] {
    out.base(v, Base(5, 105)).f64(1).f64(2).f64(3).f64(4).f64(5).f64(6).f64(7).i32(1);
  });
  entity("CDataTen", [&] { Point(out, v, Base(1, 4)); });
  entity("CDataTen", [&] { Point(out, v, Base(100, 4)); });
  entity("CDataMoji", [&] { TextBody(out, v, Base(3, 6), text); });
  entity("CDataSunpou", [&] {
    out.base(v, Base(1, 2));
    Line(out, v, Base(1, 7), 10);
    TextBody(out, v, Base(1, 7), "1500");
    if (v >= 420) {
      out.u16(1);
      Line(out, v, Base(2, 8), 11);
      Line(out, v, Base(2, 8), 12);
      Point(out, v, Base(1, 9));
      Point(out, v, Base(100, 9));
      Point(out, v, Base(1, 9));
      Point(out, v, Base(1, 9));
    }
  });
  entity("CDataSolid", [&] { out.base(v, Base(1, 3)).pattern(64); });
  entity("CDataSolid", [&] { out.base(v, Base(1, 10)).pattern(64).i32(0x00FF8040); });
  entity("CDataBlock", [&] { out.base(v, Base(1, 1)).pattern(40).i32(1); });
  entity("CDataSen", [&] { Line(out, v, Base(9, 9), 99); });
  // Block definitions: the first with a negative number and the 8 bytes after it; its members
  // refer to classes of the main list.
  out.u16(2);
  tags.tag(out, "CDataList");
  out.base(v, Base(1, 1)).i32(1).i32(2);
  if (as_written) {
    out.i32(1);
  } else {
    out.i32(-1).pattern(8);
  }
  out.str("def one").u16(2);
  tags.object();
  entity("CDataSen", [&] { Line(out, v, Base(2, 5), 20); });
  entity("CDataMoji", [&] { TextBody(out, v, Base(1, 5), "member"); });
  tags.tag(out, "CDataList");
  out.base(v, Base(1, 1)).i32(3).i32(4).i32(5).str("def two").u16(1);
  tags.object();
  entity("CDataEnko",
         [&] { out.base(v, Base(1, 1)).f64(1).f64(2).f64(3).f64(4).f64(5).f64(6).f64(7).i32(0); });
  if (v >= 700) {
    out.i32(0);
  }
  return {out.bytes(), 10};
}

TEST(JwwEntities, EveryKindReadsAndWritesBackAtEachVersion) {
  for (int v : {220, 300, 350, 351, 419, 420, 421, 600, 700}) {
    Drawing drawing = AllKinds(v);
    JwwWorkspace workspace;
    Status read = ReadJwwBytes(drawing.bytes, workspace);
    ASSERT_TRUE(IsOk(read)) << v << ": " << read.error().Describe();
    const EntityTables& e = workspace.entities;
    EXPECT_EQ(e.size(), drawing.entities);
    EXPECT_EQ(e.lines.size(), 2u);
    EXPECT_EQ(e.points.size(), 2u);
    EXPECT_EQ(e.points[1].tail_code, 11);
    EXPECT_EQ(e.solids[1].color, 0x00FF8040);
    EXPECT_EQ(e.texts[0].text.bytes, "text");
    EXPECT_EQ(e.lines[1].values[0], 99);
    EXPECT_EQ(e.order[9], (EntityRef{EntityKind::kLine, 1}));
    EXPECT_EQ(e.lines[0].base.PenWidth, v > 350 ? 7 : 0);
    ASSERT_EQ(workspace.block_defs.size(), 2u);
    EXPECT_EQ(workspace.block_defs[0].values[2], 1);  // the position stands for -1
    EXPECT_EQ(workspace.block_defs[1].values[2], 5);
    EXPECT_EQ(workspace.block_defs[0].members.texts[0].text.bytes, "member");
    EXPECT_EQ(workspace.block_defs[1].members.arcs.size(), 1u);
    // SXF codes fold below 420, so the arc (5, 105) changes there; compare with it folded.
    std::string expected = AllKinds(v, true).bytes;
    std::string written = WriteJwwBytes(workspace);
    if (v >= 420) {
      EXPECT_EQ(written, expected) << v;
    } else {
      EXPECT_EQ(written.size(), expected.size()) << v;
      JwwWorkspace again;
      ASSERT_TRUE(IsOk(ReadJwwBytes(written, again)));
      EXPECT_EQ(again.entities.arcs[0].base.PenColor, 4) << v;  // SXF 5 folds to 4
    }
    // Read as it was, nothing is lost: not even the 8 bytes after the negative number.
    EXPECT_EQ(WriteJwwBytesAsRead(workspace), drawing.bytes) << v;
  }
}

TEST(JwwEntities, OldDimensionsGetTheirMissingMembersFromTheirOwnBase) {
  JwwWorkspace workspace;
  ASSERT_TRUE(IsOk(ReadJwwBytes(AllKinds(300).bytes, workspace)));
  const TEntSunpo& dim = workspace.entities.dimensions[0];
  EXPECT_EQ(dim.member_flag, 0);
  EntityBase member = Base(1, 7);
  member.PenWidth = 0;  // not in files of version 350 and older
  EXPECT_EQ(dim.line.base, member);
  EXPECT_EQ(dim.text.text.bytes, "1500");
  EXPECT_EQ(dim.line2.base.PenColor, 2);
  EXPECT_EQ(dim.line3.base, dim.base);
  EXPECT_EQ(dim.line3.values, (std::array<double, 4>{}));
  for (const TEntTen& point : dim.points) {
    EXPECT_EQ(point.base, dim.base);
    EXPECT_EQ(point.code, 0);
  }
  ASSERT_TRUE(IsOk(ReadJwwBytes(AllKinds(420).bytes, workspace)));
  EXPECT_EQ(workspace.entities.dimensions[0].member_flag, 1);
  EXPECT_EQ(workspace.entities.dimensions[0].points[1].tail_code, 11);
}

TEST(JwwEntities, StringsOfEveryLengthFormSurvive) {
  for (std::size_t length : {254u, 255u, 300u, 70000u}) {
    std::string text(length, 'x');
    text[0] = 'A';
    text[length - 1] = 'Z';
    Drawing drawing = AllKinds(700, false, text);
    JwwWorkspace workspace;
    ASSERT_TRUE(IsOk(ReadJwwBytes(drawing.bytes, workspace))) << length;
    EXPECT_EQ(workspace.entities.texts[0].text.bytes, text);
    std::string written = WriteJwwBytes(workspace);
    if (length < 0xFFFE) {
      EXPECT_EQ(written, AllKinds(700, true, text).bytes) << length;
    }
    JwwWorkspace again;
    ASSERT_TRUE(IsOk(ReadJwwBytes(written, again)));
    EXPECT_EQ(again.entities.texts[0].text.bytes, text);
  }
}

TEST(JwwEntities, ClassesIntroducedInABlockDefinitionServeLaterOnes) {
  const int v = 600;
  ByteBuilder out;
  AppendJwwHeader(out, v);
  Tags tags(v);
  out.u16(0);  // an empty main list: every class comes in inside the definitions
  out.u16(2);
  for (int def = 0; def < 2; ++def) {
    tags.tag(out, "CDataList");
    out.base(v, Base(1, 1)).i32(0).i32(0).i32(def + 1).str("d").u16(1);
    tags.object();
    tags.tag(out, "CDataSolid");  // new in the first, a reference in the second
    out.base(v, Base(1, 3)).pattern(64);
    tags.object();
  }
  JwwWorkspace workspace;
  ASSERT_TRUE(IsOk(ReadJwwBytes(out.bytes(), workspace)));
  EXPECT_EQ(workspace.block_defs[1].members.solids.size(), 1u);
  EXPECT_EQ(WriteJwwBytes(workspace), out.bytes());
}

TEST(JwwEntities, MoreThan32767RecordsUseLongReferences) {
  const int v = 700;
  ByteBuilder out;
  AppendJwwHeader(out, v);
  Tags tags(v);
  const int lines = 33000;
  out.u16(lines + 2);
  for (int i = 0; i < lines; ++i) {
    tags.tag(out, "CDataSen");
    Line(out, v, Base(1, 1), i);
    tags.object();
  }
  for (int i = 0; i < 2; ++i) {  // the arc class is introduced at index 33002
    tags.tag(out, "CDataEnko");
    out.base(v, Base(1, 1)).pattern(56).i32(i);
    tags.object();
  }
  out.u16(0).i32(0);
  const std::string& bytes = out.bytes();
  EXPECT_EQ(bytes.find(std::string("\xFF\x7F\xEA\x80\x00\x80", 6)),
            bytes.size() - 2 - 4 - 60 - 15 - 6);
  JwwWorkspace workspace;
  ASSERT_TRUE(IsOk(ReadJwwBytes(bytes, workspace)));
  EXPECT_EQ(workspace.entities.lines.size(), 33000u);
  EXPECT_EQ(workspace.entities.arcs[1].flag, 1);
  EXPECT_EQ(WriteJwwBytes(workspace), bytes);
}

TEST(JwwEntities, UnknownClassesFailTheReadAtTheirOffset) {
  ByteBuilder out;
  AppendJwwHeader(out, 600);
  out.u16(2);
  out.new_class("CDataSen", 600);
  Line(out, 600, Base(1, 1), 0);
  const std::size_t bad = out.size();
  out.new_class("CDataKasen", 600).pattern(100);
  JwwWorkspace workspace;
  Status status = ReadJwwBytes(out.bytes(), workspace);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().kind, ErrorKind::kUnsupported);
  EXPECT_EQ(status.error().offset, bad);
  EXPECT_NE(status.error().Describe().find("CDataKasen"), std::string::npos);

  // A damaged name is quoted escaped and short: no control bytes or broken UTF-8 in a report.
  ByteBuilder damaged;
  AppendJwwHeader(damaged, 600);
  damaged.u16(1);
  damaged.new_class(std::string("CData\0\xFF\x82", 8) + std::string(100, 'x'), 600);
  status = ReadJwwBytes(damaged.bytes(), workspace);
  ASSERT_FALSE(status.ok());
  const std::string message = status.error().message;
  EXPECT_NE(message.find("\"CData\\x00\\xFF\\x82xxxxxxxxxxxxxxxx...\""), std::string::npos)
      << message;
  EXPECT_TRUE(
      std::all_of(message.begin(), message.end(), [](char c) { return c >= 0x20 && c < 0x7F; }));
}

TEST(JwwEntities, CountsTheFileCannotHoldFailBeforeAnythingIsRead) {
  for (bool in_block_list : {false, true}) {
    ByteBuilder out;
    AppendJwwHeader(out, 600);
    if (in_block_list) {
      out.u16(0);
    }
    const std::size_t at = out.size();
    out.u16(0xFFFF).i32(0x7FFFFFFF).pattern(50);
    JwwWorkspace workspace;
    Status status = ReadJwwBytes(out.bytes(), workspace);
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().kind, ErrorKind::kMalformed);
    EXPECT_EQ(status.error().offset, at + 6);
    EXPECT_NE(status.error().message.find("cannot fit"), std::string::npos);
  }
}

TEST(JwwEntities, AFileCutAtAnyLengthFailsCleanly) {
  for (int v : {351, 700}) {
    const std::string bytes = AllKinds(v).bytes;
    JwwWorkspace workspace;
    for (std::size_t length = 0; length < bytes.size(); ++length) {
      Status status = ReadJwwBytes(bytes.substr(0, length), workspace);
      ASSERT_FALSE(status.ok()) << v << " cut at " << length;
      ASSERT_TRUE(status.error().offset.has_value());
      ASSERT_LE(*status.error().offset, length);
    }
    EXPECT_TRUE(IsOk(ReadJwwBytes(bytes, workspace)));
  }
}

TEST(JwwEntities, AnOrderListNamingAMissingRecordFailsTheWrite) {
  JwwWorkspace workspace;
  ASSERT_TRUE(IsOk(ReadJwwBytes(AllKinds(700).bytes, workspace)));
  workspace.entities.order.push_back({EntityKind::kText, 5});
  EXPECT_EQ(WriteJwwBytes(workspace).rfind("write failed", 0), 0u);
}

}  // namespace
}  // namespace penmorph::jw
