#include "formats/windows/drawing_builder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>
#include <optional>
#include <unordered_map>
#include <vector>

#include "common/text_decoding.h"
#include "formats/windows/entity_remap.h"
#include "formats/windows/record_stream.h"

namespace penmorph::jw {

namespace {

using preview::Affine;
using preview::Arc;
using preview::Dot;
using preview::Drawing;
using preview::PenCodes;
using preview::PenRole;
using preview::Point2;
using preview::Polygon;
using preview::Segment;
using preview::StyleKey;
using preview::Text;

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr int kMaxBlockDepth = 16;

// The pen role each part is drawn in, by EntityPart; a dimension's own attributes, a block
// insertion's and a definition's are not drawn.
constexpr std::array<std::optional<PenRole>, kEntityPartCount> kPenRoles = {
    PenRole::kLine,  // lines
    PenRole::kLine,  // arcs
    PenRole::kPoint,
    PenRole::kText,
    std::nullopt,  // a dimension's own
    PenRole::kSolid,
    std::nullopt,  // a block insertion's
    std::nullopt,  // a block definition's
    PenRole::kDimensionLine,
    PenRole::kDimensionText,
    PenRole::kDimensionPoint};

// The part whose rules a role's pens follow: the first drawn in it (lines and arcs share theirs).
constexpr const PartInfo& PartDrawnAs(PenRole role) {
  std::size_t part = 0;
  while (kPenRoles[part] != role) {
    ++part;
  }
  return kEntityParts[part];
}

// What the tables make of a key: its part's attributes run through the conversion's own remap
// rules, so the preview cannot drift from what a conversion writes.
class WindowsStyleRemap final : public preview::StyleRemap {
 public:
  PenCodes After(const StyleKey& key, const ConversionTables& tables) const override {
    const JwwConvSettings& table = tables.jww;
    const RemapRules rules = key.in_block ? BlockMemberRules(table) : MainListRules(table);
    ColorRemapper remap(table);
    EntityBase base;
    base.PenColor = key.color;
    base.PenStyle = key.line_type;
    const PartInfo& part = PartDrawnAs(key.role);
    RemapColor(remap, rules, part, base);
    RemapLineType(remap, rules, part, base);
    return {base.PenColor, base.PenStyle};
  }
};

// The primitives of one list in its own coordinates, and the insertions it makes.
struct Fragment : preview::Primitives {
  struct Insertion {
    Affine placement;
    std::int32_t number = 0;
    std::uint16_t layer = preview::kNoLayer;  // whose state shows or hides the members
  };
  std::vector<Insertion> insertions;
  std::size_t cost = 0;  // what placing it once takes, in primitives (see kMaxPlacedPrimitives)
};

// Text for the screen: ASCII as it is, Shift-JIS and UTF-16 decoded. Drawings repeat their
// strings (dimension values, room names), so decoded ones are kept.
class TextDecoder {
 public:
  std::string Decode(const ArchiveString& text) {
    if (text.wide) {
      return Utf16LeToUtf8(text.bytes);
    }
    bool ascii = true;
    for (char c : text.bytes) {
      ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    }
    if (ascii) {
      return text.bytes;
    }
    if (auto found = cache_.find(text.bytes); found != cache_.end()) {
      return found->second;
    }
    std::string decoded = ShiftJisToUtf8(text.bytes);
    if (cache_.size() < 8192 && text.bytes.size() <= 256) {  // names and values, not essays
      cache_.emplace(text.bytes, decoded);
    }
    return decoded;
  }

 private:
  std::unordered_map<std::string, std::string> cache_;
};

class DrawingBuilder final : public RecordVisitor {
 public:
  void OnJwwHeader(THeader& header, SourceRange) override {
    Begin(header.version, "JWW");
    drawing_.layers = ReadLayerSheet(header);
    for (const TColorExNo& color : header.sxf_colors) {
      std::int32_t colorref = 0;
      std::memcpy(&colorref, color.definition.data(), sizeof colorref);
      drawing_.sxf.colors.push_back(colorref);
    }
    for (const TLineTypeExNo& type : header.sxf_line_types) {
      std::int32_t count = 0;
      std::memcpy(&count, type.definition.data(), sizeof count);
      std::vector<double> pattern;
      for (std::int32_t i = 0; i < count && i < 10; ++i) {
        double length = 0;
        std::memcpy(&length, type.definition.data() + 4 + 8 * i, sizeof length);
        if (std::isfinite(length) && length >= 0) {
          pattern.push_back(length);
        }
      }
      drawing_.sxf.line_patterns.push_back(std::move(pattern));
    }
  }
  void OnJwsHeader(JwsHeader& header, SourceRange) override { Begin(header.version, "JWS"); }

  void OnEntity(const ClassTag&, EntityRecord& record, SourceRange) override {
    ++records_;
    std::visit([&](const auto& r) { Add(OwnPart(kKindOf<std::remove_cvref_t<decltype(r)>>), r); },
               record);
  }

  void OnBlockDef(const ClassTag&, TEntBlockDef& def, std::int32_t, SourceRange) override {
    // The first definition of a number is the one insertions find.
    auto [at, added] = blocks_.try_emplace(def.values[0]);
    scratch_ = Fragment{};
    target_ = added ? &at->second : &scratch_;
    in_block_ = true;
  }
  void OnBlockDefEnd() override {
    Fragment& done = *target_;
    done.cost = done.segments.size() + done.arcs.size() + done.polygons.size() + done.dots.size();
    for (const Text& text : done.texts) {
      done.cost += 1 + text.utf8.size() / 32;
    }
    target_ = &main_;
    in_block_ = false;
  }
  bool OnImagesBegin() override { return false; }

  Drawing Finish() {
    MoveIntoDrawing(main_);
    for (const Fragment::Insertion& insertion : main_.insertions) {
      Place(insertion, Affine{}, 0, insertion.layer);
    }
    drawing_.remap = std::make_shared<WindowsStyleRemap>();
    return std::move(drawing_);
  }

 private:
  void Begin(int version, const char* format) {
    version_ = version;
    drawing_.format = format;
  }

  std::uint32_t Style(EntityPart part, const EntityBase& base, std::int32_t rgb = -1) {
    StyleKey key;
    key.role = *kPenRoles[static_cast<std::size_t>(part)];
    key.in_block = in_block_;
    key.color = base.PenColor;
    key.line_type = HasLineType(PartInfoOf(part)) ? base.PenStyle : 0;
    key.width = base.PenWidth;
    key.rgb = rgb;
    key.layer = LayerOf(owner_ != nullptr ? *owner_ : base);
    return style_index_.IndexOf(key, drawing_.styles);
  }

  static std::uint16_t LayerOf(const EntityBase& base) {
    if (base.Layer >= kLayersPerGroup || base.LayerGroup >= kLayerGroupCount) {
      return preview::kNoLayer;
    }
    return static_cast<std::uint16_t>(LayerAddress{base.LayerGroup, base.Layer}.Index());
  }

  // A member's style where an insertion on `layer` places it.
  std::uint32_t PlacedStyle(std::uint32_t style, std::uint16_t layer) {
    StyleKey key = drawing_.styles[style];
    if (key.layer == layer) {
      return style;
    }
    key.layer = layer;
    return style_index_.IndexOf(key, drawing_.styles);
  }

  void Add(EntityPart part, const TEntSen& line) {
    const auto& v = line.values;
    target_->segments.push_back({{v[0], v[1]}, {v[2], v[3]}, Style(part, line.base)});
  }

  void Add(EntityPart part, const TEntEnko& record) {
    // centre x, y, radius, start and sweep (radians, the sweep counter-clockwise), tilt
    // (radians), flatness (minor over major axis); flag 1: a whole circle or ellipse.
    const auto& v = record.values;
    const double radius = v[2];
    const double tilt = v[5];
    const double flatness = v[6];
    Arc arc;
    arc.centre = {v[0], v[1]};
    arc.u = {radius * std::cos(tilt), radius * std::sin(tilt)};
    arc.v = {-radius * flatness * std::sin(tilt), radius * flatness * std::cos(tilt)};
    arc.start = v[3];
    arc.sweep = v[4];
    arc.full = record.flag == 1 || std::abs(v[4]) >= kTwoPi;
    arc.style = Style(part, record.base);
    target_->arcs.push_back(arc);
  }

  void Add(EntityPart part, const TEntTen& point) {
    target_->dots.push_back({{point.values[0], point.values[1]}, Style(part, point.base)});
  }

  void Add(EntityPart part, const TEntMoji& text) {
    // Baseline start x, y and end x, y; then width, height and spacing of a character and the
    // angle in degrees, which the baseline already follows. A text without a baseline is one of
    // the settings jw_cad keeps in a drawing as text, never shown.
    const auto& p = text.position;
    const Point2 advance{p[2] - p[0], p[3] - p[1]};
    const double length = std::hypot(advance.x, advance.y);
    if (!(length > 0) || text.text.empty()) {
      return;
    }
    const double height = text.layout[1];
    const Point2 up{-advance.y / length * height, advance.x / length * height};
    target_->texts.push_back(
        {{p[0], p[1]}, advance, up, decoder_.Decode(text.text), Style(part, text.base)});
  }

  void Add(EntityPart, const TEntSunpo& dim) {
    // A dimension is one entity: its own layer shows or hides all its parts.
    owner_ = &dim.base;
    ForEachMember(dim, version_, [&](const auto& member, const DimensionMember& info) {
      // A member from version 420 that jw_cad left unused carries no colour.
      if (info.since >= kAllDimensionMembersSince && member.base.PenColor == 0) {
        return;
      }
      Add(info.part, member);
    });
    owner_ = nullptr;
  }

  void Add(EntityPart part, const TEntSolid& solid) {
    // Four corners in order: x1, y1 ... x4, y4; a triangle repeats its last corner.
    const auto first = static_cast<std::uint32_t>(target_->vertices.size());
    for (std::size_t i = 0; i < 8; i += 2) {
      target_->vertices.push_back({solid.values[i], solid.values[i + 1]});
    }
    const std::int32_t rgb = solid.HasColor() ? solid.color & 0xFFFFFF : -1;
    target_->polygons.push_back({first, 4, Style(part, solid.base, rgb)});
  }

  void Add(EntityPart, const TEntBlock& block) {
    // Insertion point x, y, scale x, scale y, angle (radians) and the definition's number.
    const auto& v = block.values;
    target_->insertions.push_back(
        {Affine::Placement({v[0], v[1]}, v[2], v[3], v[4]), block.number, LayerOf(block.base)});
  }

  void MoveIntoDrawing(Fragment& main) {
    static_cast<preview::Primitives&>(drawing_) = std::move(main);
    drawing_.extents = drawing_.Measure();
  }

  // A definition's members where `outer` after `insertion` puts them; nested insertions too.
  // All of them are seen by `layer`, the outermost insertion's.
  void Place(const Fragment::Insertion& insertion, const Affine& outer, int depth,
             std::uint16_t layer) {
    auto found = blocks_.find(insertion.number);
    if (found == blocks_.end() || depth >= kMaxBlockDepth) {
      return;
    }
    const Fragment& block = found->second;
    // Each placement counts, so that definitions inserting each other without drawing anything
    // end too.
    const std::size_t budget = std::max(kMinPlacementBudget, kPlacementsPerRecord * records_);
    if (placed_ + block.cost + 1 > budget) {
      return;
    }
    placed_ += block.cost + 1;
    const Affine t = outer.Then(insertion.placement);
    preview::Extents& e = drawing_.extents;
    for (const Segment& s : block.segments) {
      drawing_.segments.push_back({t.Apply(s.from), t.Apply(s.to), PlacedStyle(s.style, layer)});
      e.Add(drawing_.segments.back().from);
      e.Add(drawing_.segments.back().to);
    }
    for (const Arc& a : block.arcs) {
      Arc placed = a;
      placed.centre = t.Apply(a.centre);
      placed.u = t.ApplyVector(a.u);
      placed.v = t.ApplyVector(a.v);
      placed.style = PlacedStyle(a.style, layer);
      drawing_.arcs.push_back(placed);
      e.Merge(preview::ArcExtents(placed));
    }
    for (const Polygon& p : block.polygons) {
      const auto first = static_cast<std::uint32_t>(drawing_.vertices.size());
      for (std::uint32_t i = 0; i < p.count; ++i) {
        drawing_.vertices.push_back(t.Apply(block.vertices[p.first + i]));
        e.Add(drawing_.vertices.back());
      }
      drawing_.polygons.push_back({first, p.count, PlacedStyle(p.style, layer)});
    }
    for (const Text& text : block.texts) {
      Text placed = text;
      placed.origin = t.Apply(text.origin);
      placed.advance = t.ApplyVector(text.advance);
      placed.up = t.ApplyVector(text.up);
      placed.style = PlacedStyle(text.style, layer);
      e.Merge(preview::TextExtents(placed));
      drawing_.texts.push_back(std::move(placed));
    }
    for (const Dot& d : block.dots) {
      drawing_.dots.push_back({t.Apply(d.at), PlacedStyle(d.style, layer)});
      e.Add(drawing_.dots.back().at);
    }
    for (const Fragment::Insertion& nested : block.insertions) {
      if (nested.number != insertion.number) {  // a definition that inserts itself ends here
        Place(nested, t, depth + 1, layer);
      }
    }
  }

  Drawing drawing_;
  int version_ = 0;
  Fragment main_;
  Fragment scratch_;  // members of a definition whose number came before
  Fragment* target_ = &main_;
  bool in_block_ = false;
  const EntityBase* owner_ = nullptr;  // the dimension whose parts are being added
  std::unordered_map<std::int32_t, Fragment> blocks_;
  preview::StyleIndex style_index_;
  std::size_t placed_ = 0;
  std::size_t records_ = 0;
  TextDecoder decoder_;
};

template <class Read>
Result<Drawing> Draw(ByteReader& in, Read read) {
  DrawingBuilder builder;
  if (Status status = read(in, builder); !status.ok()) {
    return status.error();
  }
  return builder.Finish();
}

}  // namespace

Result<Drawing> DrawJwwRecords(ByteReader& in) {
  return Draw(in, [](ByteReader& reader, RecordVisitor& v) { return ReadJwwRecords(reader, v); });
}

Result<Drawing> DrawJwsRecords(ByteReader& in) {
  return Draw(in, [](ByteReader& reader, RecordVisitor& v) { return ReadJwsRecords(reader, v); });
}

}  // namespace penmorph::jw
