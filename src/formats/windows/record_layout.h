#pragma once

// Where each field of a Windows entity record stands, declared once for every kind: the body's
// fields in file order, with the optional ones and the condition they hang on. Reading, writing,
// measuring and passing over a record are all walks over this one list, so that no two of them
// can disagree on an offset or a size.

#include <array>
#include <cstdint>
#include <type_traits>

#include "formats/windows/jwtype.h"

namespace penmorph::jw {

// Walks the body of record `r` (of any kind; const or not) in file order, after its attribute
// block: io(field) for each field the record carries, io.Absent(field) for an optional field it
// does not, io.Base(base) for a dimension member's attribute block. Fields are arrays of f64,
// i32, u16 and strings.
template <class R, class Io>
void ForEachBodyField(R& r, int version, Io& io) {
  using T = std::remove_const_t<R>;
  auto optional = [&io](bool present, auto&... fields) {
    if (present) {
      (io(fields), ...);
    } else {
      (io.Absent(fields), ...);
    }
  };
  if constexpr (std::is_same_v<T, TEntSen>) {
    io(r.values);
  } else if constexpr (std::is_same_v<T, TEntEnko>) {
    io(r.values);
    io(r.flag);
  } else if constexpr (std::is_same_v<T, TEntTen>) {
    io(r.values);
    io(r.code);
    optional(r.HasTail(), r.tail_code, r.tail_values);
  } else if constexpr (std::is_same_v<T, TEntMoji>) {
    io(r.position);
    io(r.kind);
    io(r.layout);
    io(r.font);
    io(r.text);
  } else if constexpr (std::is_same_v<T, TEntSunpo>) {
    ForEachMember(r, version, [&](auto& member, const DimensionMember& info) {
      if (info.flag_before) {
        io(r.member_flag);
      }
      io.Base(member.base);
      ForEachBodyField(member, version, io);
    });
  } else if constexpr (std::is_same_v<T, TEntSolid>) {
    io(r.values);
    optional(r.HasColor(), r.color);
  } else {
    static_assert(std::is_same_v<T, TEntBlock>, "a record type");
    io(r.values);
    io(r.number);
  }
}

}  // namespace penmorph::jw
