#pragma once

// The one reader of the Windows formats. It reads a JWW drawing or a JWS symbol as a stream of
// parts handed to a visitor in file order, each with the bytes it came from. Whatever a file is
// read for - a workspace, a conversion, a memo, a description - is a visitor.

#include <cstdint>

#include "common/byte_reader.h"
#include "common/result.h"
#include "formats/windows/archive.h"
#include "formats/windows/entity_records.h"
#include "formats/windows/jws_header.h"
#include "formats/windows/jwtype.h"
#include "formats/windows/jww_header.h"
#include "formats/windows/jww_images.h"

namespace penmorph::jw {

// Where a part stands in the file: [begin, end), a record's class tag included.
struct SourceRange {
  std::uint64_t begin = 0;
  std::uint64_t end = 0;
  std::uint64_t size() const { return end - begin; }
};

// The parts of a file in the order they stand. The reader owns what it hands over and reuses it
// for the next part; a visitor may change it (a conversion remaps in place) and must copy what
// it keeps. Any visitor may end the reading early through Stopped().
class RecordVisitor {
 public:
  virtual ~RecordVisitor() = default;

  virtual void OnJwwHeader(THeader& /*header*/, SourceRange /*range*/) {}
  virtual void OnJwsHeader(JwsHeader& /*header*/, SourceRange /*range*/) {}
  // The count that opens the drawing's entity list.
  virtual void OnEntityCount(std::int32_t /*count*/, SourceRange /*range*/) {}
  // A record of the entity list, or of the block definition last begun, decoded as far as
  // Detail() asks.
  virtual void OnEntity(const ClassTag& tag, EntityRecord& record, SourceRange range) = 0;
  // Asked once the header is read. A visitor that asks for less than the whole record reads
  // what was passed over, if it needs it, with FillEntityBody while it still has the bytes.
  virtual RecordDetail Detail() const { return RecordDetail::kWhole; }
  virtual void OnBlockDefCount(std::int32_t /*count*/, SourceRange /*range*/) {}
  // A block definition up to its members, which follow as OnEntity calls until OnBlockDefEnd.
  virtual void OnBlockDef(const ClassTag& /*tag*/, TEntBlockDef& /*def*/,
                          std::int32_t /*member_count*/, SourceRange /*range*/) {}
  virtual void OnBlockDefEnd() {}
  // The image section of JWW version 700 and above is about to be read; false skips it. Then
  // its count, then each image's name and size with the reader standing at its bytes, which the
  // visitor may read; the reader goes on after them in any case.
  virtual bool OnImagesBegin() { return true; }
  virtual void OnImageCount(std::int32_t /*count*/, SourceRange /*range*/) {}
  virtual void OnImage(const TBindImageType& /*image*/, SourceRange /*entry*/, ByteReader& /*in*/) {
  }

  virtual bool Stopped() const { return false; }
};

enum class JwwReadScope {
  kWholeFile,
  kHeaderThroughSettings,  // the header up to its settings block: all a memo needs
};

// Reads a JWW drawing from the reader's position (its start). The result is the reader's status:
// a visitor's own failure is the visitor's to report.
Status ReadJwwRecords(ByteReader& in, RecordVisitor& visitor,
                      JwwReadScope scope = JwwReadScope::kWholeFile);
Status ReadJwsRecords(ByteReader& in, RecordVisitor& visitor);

bool HasImageSection(int jww_version);

}  // namespace penmorph::jw
