#pragma once

// Counts and class tags of the Windows formats' object streams. Every entity record and block
// definition is preceded by a class tag: either a new class (its name spelled out) or a reference
// to a class introduced earlier, numbered by the running archive index.

#include <array>
#include <cstdint>
#include <string_view>

#include "common/byte_reader.h"
#include "common/byte_writer.h"
#include "formats/windows/entity_kinds.h"

namespace penmorph::jw {

std::string_view ClassName(EntityKind kind);

// The long form holds an i32; a negative count fails the read.
std::int32_t ReadArchiveCount(ByteReader& in);
void WriteArchiveCount(ByteWriter& out, std::uint32_t count);

// The running `ArchiveIndex` and the index at which each class was introduced (0: not yet).
class ArchiveState {
 public:
  std::uint32_t counter() const { return counter_; }
  void Advance() { ++counter_; }
  std::uint32_t ClassIndex(EntityKind kind) const { return class_index_[Slot(kind)]; }
  void Introduce(EntityKind kind) {
    // A class introduced again no longer answers to its old number.
    if (const std::uint32_t old = class_index_[Slot(kind)]; old < kind_at_.size()) {
      kind_at_[old] = EntityKind::kNone;
    }
    last_index_ = 0;
    class_index_[Slot(kind)] = counter_;
    if (counter_ < kind_at_.size()) {
      kind_at_[counter_] = kind;
    }
    Advance();
  }
  // The kind introduced at `index`; kNone when none was. Drawings introduce their classes
  // among their first records and name them record after record, in any order: those numbers
  // are looked up in a table, the rest searched, keeping the last answer.
  EntityKind KindAt(std::uint32_t index) const {
    if (index < kind_at_.size()) {
      return kind_at_[index];
    }
    if (index == last_index_) {
      return last_kind_;
    }
    return FindKindAt(index);
  }

 private:
  EntityKind FindKindAt(std::uint32_t index) const;
  std::array<EntityKind, 64> kind_at_{};  // by class number, for the first numbers
  mutable std::uint32_t last_index_ = 0;
  mutable EntityKind last_kind_ = EntityKind::kNone;

  static std::size_t Slot(EntityKind kind) { return static_cast<std::size_t>(kind); }
  std::uint32_t counter_ = 1;
  std::array<std::uint32_t, 9> class_index_{};
};

// A class tag as the file has it, or as it is to be written: two tags with equal fields are the
// same bytes.
struct ClassTag {
  EntityKind kind = EntityKind::kNone;
  bool introduces = false;      // a new class, its name spelled out
  std::uint16_t schema = 0;     // a new class's schema number
  bool own_name = true;         // a new class bears its kind's own name
  std::uint32_t reference = 0;  // the class number a reference names
  bool long_reference = false;  // a reference in the 6-byte form
  bool operator==(const ClassTag&) const = default;
};

// Reads one tag and resolves it to an entity kind 1-7 (in_block_list: to kBlockDef). Anything
// that names no known class - an unknown name, a reference to no class, an object reference -
// fails the reader: records carry no length, so nothing after it could be found. `tag`, when
// given, receives the tag as it stood.
EntityKind ReadClassTag(ByteReader& in, ArchiveState& state, bool in_block_list,
                        ClassTag* tag = nullptr);
// The same for the entity lists, with the common case - a short reference to a class met
// before - read in line.
inline EntityKind ReadEntityClassTag(ByteReader& in, ArchiveState& state, ClassTag& tag) {
  const std::uint8_t* p = in.Peek(2);
  if (p != nullptr) {
    const std::uint16_t value = static_cast<std::uint16_t>(p[0] | (p[1] << 8));
    if (value > 0x8000 && value != 0xFFFF) {
      const std::uint32_t index = value & 0x7FFFu;
      const EntityKind kind = state.KindAt(index);
      if (kind != EntityKind::kNone && kind != EntityKind::kBlockDef) {
        in.Consume(2);
        tag = ClassTag{kind, false, 0, true, index, false};
        return kind;
      }
    }
  }
  return ReadClassTag(in, state, false, &tag);
}
// The tag the writer puts before the next record of `kind`: the kind's class introduced with
// `schema` the first time, referred to afterwards. The state moves on as writing it would.
inline ClassTag PlanClassTag(ArchiveState& state, EntityKind kind, std::uint16_t schema) {
  constexpr std::uint32_t kLongestShortReference = 32766;
  ClassTag tag;
  tag.kind = kind;
  const std::uint32_t index = state.ClassIndex(kind);
  if (index == 0) {
    tag.introduces = true;
    tag.schema = schema;
    state.Introduce(kind);
  } else {
    tag.reference = index;
    tag.long_reference = index > kLongestShortReference;
  }
  return tag;
}
void WriteClassTag(ByteWriter& out, const ClassTag& tag);
// PlanClassTag, then WriteClassTag.
void WriteClassTag(ByteWriter& out, ArchiveState& state, EntityKind kind, std::uint16_t schema);

}  // namespace penmorph::jw
