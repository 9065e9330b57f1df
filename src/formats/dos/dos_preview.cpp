#include "formats/dos/dos_preview.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>

#include "common/text.h"
#include "common/text_decoding.h"
#include "formats/dos/dos_kinds.h"
#include "formats/dos/jwc_file.h"
#include "formats/dos/jwk_file.h"

namespace penmorph::jw {

namespace {

using preview::InventorySide;
using preview::PenCodes;
using preview::StyleKey;

constexpr double kDegree = std::numbers::pi / 180;

float FloatAt(const std::uint8_t* bytes) {
  float value = 0;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

// What the tables make of a key: the codes its kind carries, mapped.
class DosStyleRemap final : public preview::StyleRemap {
 public:
  PenCodes After(const StyleKey& key, const ConversionTables& tables) const override {
    PenCodes codes{key.color, key.line_type};
    bool found = false;
    ForEachDosKind([&](const auto& kind) {
      if (found || kind.role != key.role) {
        return;
      }
      found = true;  // lines and circles/arcs share their role and their rules
      if (kind.kHasPen) {
        codes.color = MapJwcPen(tables.jwc, static_cast<std::uint8_t>(key.color));
      }
      if (kind.kHasLineType) {
        codes.line_type = MapJwcLineType(tables.jwc, key.line_type);
      }
    });
    return codes;
  }
};

void Count(const DosRecords& records, InventorySide& side) {
  ForEachDosKind([&](const auto& kind) {
    for (const auto& record : records.*kind.records) {
      if (const std::uint8_t* pen = kind.pen(record)) {
        side.colors.Add(*pen, kind.column);
      }
      if (const std::uint8_t* type = kind.line_type(record)) {
        side.line_types.Add(*type, kind.column);
      }
    }
  });
}

// Which pens and line types the tables changed into which.
void CountMoves(const DosRecords& before, const DosRecords& after, preview::InventoryMoves& moves) {
  ForEachDosKind([&](const auto& kind) {
    const auto& was = before.*kind.records;
    const auto& is = after.*kind.records;
    for (std::size_t i = 0; i < was.size() && i < is.size(); ++i) {
      const std::uint8_t* pen_was = kind.pen(was[i]);
      const std::uint8_t* pen_is = kind.pen(is[i]);
      if (pen_was != nullptr && pen_is != nullptr) {
        moves.colors.Add(*pen_was, *pen_is);
      }
      const std::uint8_t* type_was = kind.line_type(was[i]);
      const std::uint8_t* type_is = kind.line_type(is[i]);
      if (type_was != nullptr && type_is != nullptr) {
        moves.line_types.Add(*type_was, *type_is);
      }
    }
  });
}

// The records the tables changed, of the kinds whose codes they map.
std::uint64_t CountChanged(const DosRecords& before, const DosRecords& after) {
  std::uint64_t changed = 0;
  ForEachDosKind([&](const auto& kind) {
    if (!kind.kHasPen && !kind.kHasLineType) {
      return;
    }
    const auto& was = before.*kind.records;
    const auto& is = after.*kind.records;
    for (std::size_t i = 0; i < was.size(); ++i) {
      changed += was[i] == is[i] ? 0 : 1;
    }
  });
  return changed;
}

std::uint64_t RecordCount(const DosRecords& records) {
  std::uint64_t count = 0;
  ForEachDosKind([&](const auto& kind) { count += (records.*kind.records).size(); });
  return count;
}

template <class Workspace>
Result<preview::Inventory> TakeInventory(ByteReader& in, const JwcConvSettings& table,
                                         const char* format,
                                         Status (*read)(ByteReader&, Workspace&),
                                         Status (*remap)(Workspace&, const JwcConvSettings&)) {
  auto workspace = std::make_unique<Workspace>();  // large: kept off the stack
  if (Status s = read(in, *workspace); !s.ok()) {
    return s.error();
  }
  preview::Inventory inventory;
  inventory.format = format;
  inventory.family = preview::CodeFamily::kDos;
  const DosRecords before = workspace->records;
  inventory.entities = RecordCount(before);
  Count(before, inventory.before);
  std::vector<std::int16_t> pens_before;
  if constexpr (std::is_same_v<Workspace, JwcWorkspace>) {
    for (const TextSetting& setting : workspace->text_settings) {
      pens_before.push_back(setting.pen_no);
    }
  }
  if (Status s = remap(*workspace, table); !s.ok()) {
    return s.error();
  }
  Count(workspace->records, inventory.after);
  inventory.changed = CountChanged(before, workspace->records);
  CountMoves(before, workspace->records, inventory.moves);
  if constexpr (std::is_same_v<Workspace, JwcWorkspace>) {
    for (std::size_t i = 0; i < pens_before.size(); ++i) {
      inventory.settings.push_back({"text setting " + std::to_string(i) + " pen", pens_before[i],
                                    workspace->text_settings[i].pen_no});
    }
  }
  return inventory;
}

// Characters as a text's baseline lays them out: a double-byte character is a whole one, any
// other byte half of one.
double CharacterUnits(const std::string& text) {
  double units = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsShiftJisLeadByte(static_cast<unsigned char>(text[i]))) {
      units += 1;
      ++i;
    } else {
      units += 0.5;
    }
  }
  return units;
}

preview::Drawing DrawRecords(const DosRecords& records, const char* format) {
  preview::Drawing drawing;
  drawing.format = format;
  preview::StyleIndex styles;
  auto style = [&](const auto& kind, const auto& record) {
    StyleKey key;
    key.family = preview::CodeFamily::kDos;
    key.role = kind.role;
    const std::uint8_t* pen = kind.pen(record);
    const std::uint8_t* line_type = kind.line_type(record);
    key.color = pen != nullptr ? *pen : 0;
    key.line_type = line_type != nullptr ? *line_type : 0;
    return styles.IndexOf(key, drawing.styles);
  };
  for (const LineRecord& line : records.lines) {
    // x1, y1, x2, y2 as f32.
    const std::uint8_t* b = line.bytes.data();
    drawing.segments.push_back(
        {{FloatAt(b), FloatAt(b + 4)}, {FloatAt(b + 8), FloatAt(b + 12)}, style(kDosLines, line)});
  }
  for (const ArcRecord& record : records.arcs) {
    // Centre x, y and radius as f32; flatness; start and end angle and tilt in degrees,
    // counter-clockwise; equal start and end: a whole circle.
    const std::uint8_t* b = record.head.data();
    const double radius = FloatAt(b + 8);
    const double tilt = record.fixed[2] * kDegree;
    const double flatness = record.scaled;
    preview::Arc arc;
    arc.centre = {FloatAt(b), FloatAt(b + 4)};
    arc.u = {radius * std::cos(tilt), radius * std::sin(tilt)};
    arc.v = {-radius * flatness * std::sin(tilt), radius * flatness * std::cos(tilt)};
    double sweep = std::fmod(static_cast<double>(record.fixed[1]) - record.fixed[0], 360.0);
    if (sweep < 0) {
      sweep += 360;
    }
    arc.full = sweep == 0;
    arc.start = record.fixed[0] * kDegree;
    arc.sweep = sweep * kDegree;
    arc.style = style(kDosArcs, record);
    drawing.arcs.push_back(arc);
  }
  for (const PointRecord& point : records.points) {
    const std::uint8_t* b = point.bytes.data();
    drawing.dots.push_back({{FloatAt(b), FloatAt(b + 4)}, style(kDosPoints, point)});
  }
  for (const TMoji2& text : records.texts) {
    // Baseline start x, y and end x, y as f32; the characters are as high as they are wide.
    const std::uint8_t* b = text.data.data();
    const preview::Point2 origin{FloatAt(b), FloatAt(b + 4)};
    const preview::Point2 advance{FloatAt(b + 8) - origin.x, FloatAt(b + 12) - origin.y};
    const double length = std::hypot(advance.x, advance.y);
    const double units = CharacterUnits(text.text);
    if (!(length > 0) || units == 0) {
      continue;
    }
    const double height = length / units;
    drawing.texts.push_back({origin,
                             advance,
                             {-advance.y / length * height, advance.x / length * height},
                             ShiftJisToUtf8(text.text),
                             style(kDosTexts, text)});
  }
  drawing.extents = drawing.Measure();
  drawing.remap = std::make_shared<DosStyleRemap>();
  return drawing;
}

template <class Workspace>
Result<preview::Drawing> Draw(ByteReader& in, const char* format,
                              Status (*read)(ByteReader&, Workspace&)) {
  auto workspace = std::make_unique<Workspace>();
  if (Status s = read(in, *workspace); !s.ok()) {
    return s.error();
  }
  return DrawRecords(workspace->records, format);
}

}  // namespace

Result<preview::Inventory> JwcInventory(ByteReader& in, const JwcConvSettings& table) {
  return TakeInventory<JwcWorkspace>(in, table, "JWC", &JwcRead, &JwcRemap);
}

Result<preview::Inventory> JwkInventory(ByteReader& in, const JwcConvSettings& table) {
  return TakeInventory<JwkWorkspace>(in, table, "JWK", &JwkRead, &JwkRemap);
}

Result<preview::Drawing> DrawJwc(ByteReader& in) {
  return Draw<JwcWorkspace>(in, "JWC", &JwcRead);
}

Result<preview::Drawing> DrawJwk(ByteReader& in) {
  return Draw<JwkWorkspace>(in, "JWK", &JwkRead);
}

}  // namespace penmorph::jw
