#include "formats/windows/archive.h"

#include <string>

#include "common/text.h"

namespace penmorph::jw {

namespace {

constexpr std::uint16_t kNewClassTag = 0xFFFF;
constexpr std::uint16_t kLongReferenceTag = 0x7FFF;
constexpr std::uint16_t kReferenceFlag = 0x8000;
constexpr std::uint32_t kLongReferenceFlag = 0x80000000u;

}  // namespace

std::string_view ClassName(EntityKind kind) {
  if (IsEntityKind(kind) || kind == EntityKind::kBlockDef) {
    return KindInfo(kind).class_name;
  }
  return {};
}

std::int32_t ReadArchiveCount(ByteReader& in) {
  std::uint64_t at = in.offset();
  std::uint16_t count = in.read_u16le();
  if (count != 0xFFFF) {
    return count;
  }
  std::int32_t long_count = in.read_i32le();
  if (long_count < 0) {
    in.FailAt(ErrorKind::kMalformed, "a negative record count", at);
    return 0;
  }
  return long_count;
}

void WriteArchiveCount(ByteWriter& out, std::uint32_t count) {
  if (count <= 0xFFFE) {
    out.write_u16le(static_cast<std::uint16_t>(count));
  } else {
    out.write_u16le(0xFFFF);
    out.write_i32le(static_cast<std::int32_t>(count));
  }
}

EntityKind ArchiveState::FindKindAt(std::uint32_t index) const {
  EntityKind found = EntityKind::kNone;
  for (std::size_t slot = 1; slot < class_index_.size(); ++slot) {
    if (class_index_[slot] == index) {
      found = static_cast<EntityKind>(slot);
      break;
    }
  }
  if (index != 0) {
    last_index_ = index;
    last_kind_ = found;
  }
  return found;
}

EntityKind ReadClassTag(ByteReader& in, ArchiveState& state, bool in_block_list,
                        ClassTag* details) {
  const std::uint64_t at = in.offset();
  std::uint16_t tag = in.read_u16le();
  if (!in.ok()) {
    return EntityKind::kNone;
  }
  ClassTag read;
  if (tag == kNewClassTag) {
    read.introduces = true;
    read.schema = in.read_u16le();  // the writer's version, not needed to read
    std::uint16_t length = in.read_u16le();
    std::string name = in.read_string(length);
    if (!in.ok()) {
      return EntityKind::kNone;
    }
    EntityKind kind = EntityKind::kNone;
    if (in_block_list) {
      kind = EntityKind::kBlockDef;  // the block list holds nothing else, whatever the name
    } else {
      for (const EntityKindInfo& info : kEntityKinds) {
        if (name == info.class_name) {
          kind = info.kind;
        }
      }
    }
    if (kind == EntityKind::kNone) {
      in.FailAt(ErrorKind::kUnsupported, "unknown record class \"" + EscapedBytes(name) + "\"", at);
      return kind;
    }
    state.Introduce(kind);
    if (details != nullptr) {
      read.kind = kind;
      read.own_name = name == ClassName(kind);
      *details = read;
    }
    return kind;
  }
  std::uint32_t index = 0;
  if (tag == kLongReferenceTag) {
    read.long_reference = true;
    std::uint32_t value = in.read_u32le();
    if (in.ok() && (value & kLongReferenceFlag) == 0) {
      in.FailAt(ErrorKind::kUnsupported, "an object reference where a record should start", at);
      return EntityKind::kNone;
    }
    index = value & ~kLongReferenceFlag;
  } else if ((tag & kReferenceFlag) != 0) {
    index = tag & ~kReferenceFlag;
  } else {
    in.FailAt(ErrorKind::kUnsupported, "an object reference where a record should start", at);
    return EntityKind::kNone;
  }
  if (!in.ok()) {
    return EntityKind::kNone;
  }
  EntityKind kind = state.KindAt(index);
  bool fits = in_block_list ? kind == EntityKind::kBlockDef
                            : kind != EntityKind::kNone && kind != EntityKind::kBlockDef;
  if (index == 0 || !fits) {
    in.FailAt(ErrorKind::kMalformed,
              "a reference to class number " + std::to_string(index) + ", which is not " +
                  (in_block_list ? "the block definition class" : "an entity class"),
              at);
    return EntityKind::kNone;
  }
  if (details != nullptr) {
    read.kind = kind;
    read.reference = index;
    *details = read;
  }
  return kind;
}

void WriteClassTag(ByteWriter& out, const ClassTag& tag) {
  if (tag.introduces) {
    std::string_view name = ClassName(tag.kind);
    out.write_u16le(kNewClassTag);
    out.write_u16le(tag.schema);
    out.write_u16le(static_cast<std::uint16_t>(name.size()));
    out.write_bytes(name);
  } else if (!tag.long_reference) {
    out.write_u16le(static_cast<std::uint16_t>(kReferenceFlag + tag.reference));
  } else {
    out.write_u16le(kLongReferenceTag);
    out.write_u32le(kLongReferenceFlag + tag.reference);
  }
}

void WriteClassTag(ByteWriter& out, ArchiveState& state, EntityKind kind, std::uint16_t schema) {
  WriteClassTag(out, PlanClassTag(state, kind, schema));
}

}  // namespace penmorph::jw
