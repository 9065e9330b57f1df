#pragma once

// The working records of the Windows formats' entities, shared by JWW drawings and JWS symbols.
// Values the converter never interprets are kept as they were read, field group by field group.

#include <array>
#include <cstdint>
#include <optional>

#include "formats/windows/archive.h"
#include "formats/windows/archive_string.h"
#include "formats/windows/entity_base.h"

namespace penmorph::jw {

struct TEntSen {  // line: start and end point
  EntityBase base;
  std::array<double, 4> values{};
  bool operator==(const TEntSen&) const = default;
};

struct TEntEnko {  // arc or circle
  EntityBase base;
  std::array<double, 7> values{};
  std::int32_t flag = 0;
  bool operator==(const TEntEnko&) const = default;
};

struct TEntTen {  // point; the tail exists only when PenStyle is 100
  EntityBase base;
  std::array<double, 2> values{};
  std::int32_t code = 0;
  std::int32_t tail_code = 0;
  std::array<double, 2> tail_values{};
  bool HasTail() const { return base.PenStyle == 100; }
  bool operator==(const TEntTen&) const = default;
};

struct TEntMoji {  // text
  EntityBase base;
  std::array<double, 4> position{};
  std::int32_t kind = 0;
  std::array<double, 4> layout{};
  ArchiveString font;  // the first string
  ArchiveString text;
  bool operator==(const TEntMoji&) const = default;
};

struct TEntSunpo {  // dimension: its members are a line, a text and, from version 420, more
  EntityBase base;
  TEntSen line;
  TEntMoji text;
  std::uint16_t member_flag = 0;
  TEntSen line2;
  TEntSen line3;
  std::array<TEntTen, 4> points{};
  bool operator==(const TEntSunpo&) const = default;
};

struct TEntSolid {  // solid; the colour exists only when PenColor is 10
  EntityBase base;
  std::array<double, 8> values{};
  std::int32_t color = 0;
  bool HasColor() const { return base.PenColor == 10; }
  bool operator==(const TEntSolid&) const = default;
};

struct TEntBlock {  // block insertion
  EntityBase base;
  std::array<double, 5> values{};
  std::int32_t number = 0;
  bool operator==(const TEntBlock&) const = default;
};

struct TEntBlockDef {  // a block definition up to its members, which follow it as records
  EntityBase base;
  std::array<std::int32_t, 3> values{};  // a negative third value is replaced by the position
  ArchiveString name;
  // What the file held where the position now stands: the negative value and the 8 bytes after
  // it. Not written by a conversion; kept so that a read can be shown to have lost nothing.
  std::int32_t replaced_value = 0;
  std::optional<std::array<std::uint8_t, 8>> replaced_bytes;
  bool operator==(const TEntBlockDef&) const = default;
};

}  // namespace penmorph::jw
