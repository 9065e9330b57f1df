#pragma once

// Reading and writing of entity lists and block definitions, record by record, for both Windows
// formats. What differs between JWW and JWS (the version that drives the records, how texts are
// written) comes in through the contexts.

#include "common/byte_reader.h"
#include "common/byte_writer.h"
#include "formats/windows/archive.h"
#include "formats/windows/jwtype.h"

namespace penmorph::jw {

struct RecordReadContext {
  int version = 0;
};

// Turns a text entity's text string into what is written (after CleanName); JWS rewrites image
// references here.
using TextRewrite = ArchiveString (*)(const ArchiveString& cleaned);

struct RecordWriteContext {
  int version = 0;
  TextRewrite rewrite_text = nullptr;  // texts of kind 4 only, not dimension texts
  // Every value exactly as read, no rule applied: shows that a read kept every byte.
  bool as_read = false;
};

// The smallest record of each list, for checking a declared count against the bytes left.
std::uint64_t MinEntityRecordSize(int version);
std::uint64_t MinBlockDefSize(int version);

// Reads `count` records after the count itself (already read).
void ReadEntityList(ByteReader& in, const RecordReadContext& context, ArchiveState& state,
                    std::int32_t count, EntityTables& tables);
void WriteEntityList(ByteWriter& out, const RecordWriteContext& context, ArchiveState& state,
                     const EntityTables& tables);

// The block-definition list, count included.
void ReadBlockDefs(ByteReader& in, const RecordReadContext& context, ArchiveState& state,
                   std::vector<TEntBlockDef>& defs);
void WriteBlockDefs(ByteWriter& out, const RecordWriteContext& context, ArchiveState& state,
                    const std::vector<TEntBlockDef>& defs);

}  // namespace penmorph::jw
