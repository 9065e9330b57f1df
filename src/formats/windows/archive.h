#pragma once

// Counts and class tags of the Windows formats' object streams. Every entity record and block
// definition is preceded by a class tag: either a new class (its name spelled out) or a reference
// to a class introduced earlier, numbered by the running archive index.

#include <array>
#include <cstdint>
#include <string_view>

#include "common/byte_reader.h"
#include "common/byte_writer.h"

namespace penmorph::jw {

enum class EntityKind : std::uint8_t {
  kNone = 0,
  kLine = 1,       // CDataSen
  kArc = 2,        // CDataEnko
  kPoint = 3,      // CDataTen
  kText = 4,       // CDataMoji
  kDimension = 5,  // CDataSunpou
  kSolid = 6,      // CDataSolid
  kBlock = 7,      // CDataBlock
  kBlockDef = 8,   // CDataList
};

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
    class_index_[Slot(kind)] = counter_;
    Advance();
  }
  EntityKind KindAt(std::uint32_t index) const;

 private:
  static std::size_t Slot(EntityKind kind) { return static_cast<std::size_t>(kind); }
  std::uint32_t counter_ = 1;
  std::array<std::uint32_t, 9> class_index_{};
};

// Reads one tag and resolves it to an entity kind 1-7 (in_block_list: to kBlockDef). Anything
// that names no known class - an unknown name, a reference to no class, an object reference -
// fails the reader: records carry no length, so nothing after it could be found.
EntityKind ReadClassTag(ByteReader& in, ArchiveState& state, bool in_block_list);
// Introduces the kind's class with `schema` the first time, refers to it afterwards.
void WriteClassTag(ByteWriter& out, ArchiveState& state, EntityKind kind, std::uint16_t schema);

}  // namespace penmorph::jw
