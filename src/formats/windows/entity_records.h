#pragma once

// Entity records and block definitions of both Windows formats: each kind's body read and written
// side by side, and the write rules as one normalisation step per record. The version decides the
// layout: a PenWidth in every attribute block above 350, the dimension members kDimensionMembers
// gives it.

#include <cstdint>
#include <span>

#include "common/byte_reader.h"
#include "common/byte_writer.h"
#include "formats/windows/archive.h"
#include "formats/windows/jwtype.h"

namespace penmorph::jw {

// Turns a text entity's text string into what is written (after CleanName); JWS rewrites image
// references here.
using TextRewrite = ArchiveString (*)(const ArchiveString& cleaned);

// The rules a record is written by: attribute blocks checked for their kind and the output
// version, names cleaned, and (JWS) texts' image references rewritten.
struct WriteRules {
  int version = 0;
  TextRewrite rewrite_text = nullptr;  // texts of kind 4 only, not dimension texts
};

// Applies the rules to a block definition's head; true when that changed anything. The 8 bytes
// that followed a negative third value are dropped, and the position read in its place is
// written.
bool Normalize(TEntBlockDef& def, const WriteRules& rules);

class ColorRemapper;
struct RemapRules;

// A record through the conversion's steps in one go: remapped under `remap_rules` (as read in
// `read_version`), then normalised by `write_rules`. Whether that changed anything, and the
// size of what WriteEntityRecord writes for it.
struct RecordStep {
  bool changed = false;
  bool body_changed = false;  // more than the attribute blocks: a text, a font
  std::uint64_t size = 0;
};
RecordStep ConvertRecord(EntityRecord& record, ColorRemapper& remap, const RemapRules& remap_rules,
                         const WriteRules& write_rules, int read_version);

// Makes `record` hold a record of `kind` (1-7), reusing it when it holds one already, so that
// reading record after record of one kind keeps the strings' storage.
void PrepareRecord(EntityRecord& record, EntityKind kind);

// How much of a record's body is decoded. A scan passes over the numbers - the coordinates,
// sizes and angles, which no table acts on - by their declared sizes; they keep whatever an
// earlier record left there until FillEntityBody reads them.
enum class RecordDetail {
  kWhole,
  kStrings,  // a scan that decodes the strings (the write rules check them)
  kBases,    // a scan that measures the strings and passes over them too
};

// Attributes and body of a record of `kind` (the class tag is read already); every attribute
// block is decoded whatever the detail.
void ReadEntityRecord(ByteReader& in, int version, EntityKind kind, EntityRecord& record,
                      RecordDetail detail = RecordDetail::kWhole);
// Reads what a scan of `record` passed over from its bytes (its attribute block on, as read in
// `version`), leaving its attribute blocks and strings as they are now. Which optional parts
// the body has in the file (a point's tail, a solid's colour) follows `read_base`, the record's
// own attribute block as it was read, not as a conversion may have changed it.
Status FillEntityBody(std::span<const std::uint8_t> bytes, int version, const EntityBase& read_base,
                      EntityRecord& record);
// Attributes and body exactly as the record holds them.
void WriteEntityRecord(ByteWriter& out, int version, const EntityRecord& record);
// What WriteEntityRecord writes, in bytes.
std::uint64_t EntityRecordSize(const EntityRecord& record, int version);

// A block definition up to its members: attributes, values, name and member count.
// `position` (from 1) replaces a negative third value, which keeps what it replaced.
void ReadBlockDefHead(ByteReader& in, int version, std::int32_t position, TEntBlockDef& def,
                      std::int32_t& member_count);
// As the definition holds it: a replaced value is written back with its 8 bytes.
void WriteBlockDefHead(ByteWriter& out, int version, const TEntBlockDef& def,
                       std::uint32_t member_count);
std::uint64_t BlockDefHeadSize(const TEntBlockDef& def, int version, std::uint32_t member_count);

// The smallest record of each list, for checking a declared count against the bytes left.
std::uint64_t MinEntityRecordSize(int version);
std::uint64_t MinBlockDefSize(int version);

}  // namespace penmorph::jw
