#include "formats/windows/record_stream.h"

#include <array>
#include <string>

#include "formats/windows/entity_records.h"

namespace penmorph::jw {

namespace {

// The smallest image entry: an empty name (1 byte) and its size.
constexpr std::uint64_t kSmallestImageEntry = 5;

class ListReader {
 public:
  ListReader(ByteReader& in, int version, RecordVisitor& visitor)
      : in_(in), version_(version), visitor_(visitor), detail_(visitor.Detail()) {
    for (const EntityKindInfo& info : kEntityKinds) {
      PrepareRecord(Scratch(info.kind), info.kind);
    }
  }

  // Checks a declared count before anyone allocates for it.
  bool ExpectEntities(std::int32_t count) {
    return in_.Expect(static_cast<std::uint64_t>(count), MinEntityRecordSize(version_),
                      "entity records");
  }

  // `count` records after the count itself, which ExpectEntities checked; false when reading
  // is to end.
  bool ReadEntities(std::int32_t count) {
    for (std::int32_t i = 0; i < count; ++i) {
      const std::uint64_t begin = in_.offset();
      ClassTag tag;
      const EntityKind kind = ReadEntityClassTag(in_, state_, tag);
      if (!in_.ok()) {
        return false;
      }
      EntityRecord& record = Scratch(kind);
      ReadEntityRecord(in_, version_, kind, record, detail_);
      state_.Advance();
      if (!in_.ok()) {
        return false;
      }
      visitor_.OnEntity(tag, record, {begin, in_.offset()});
      if (visitor_.Stopped()) {
        return false;
      }
    }
    return true;
  }

  // The entity list and the block definitions.
  bool ReadLists() {
    std::uint64_t begin = in_.offset();
    const std::int32_t count = ReadArchiveCount(in_);
    if (!ExpectEntities(count)) {
      return false;
    }
    visitor_.OnEntityCount(count, {begin, in_.offset()});
    if (visitor_.Stopped() || !ReadEntities(count)) {
      return false;
    }
    begin = in_.offset();
    const std::int32_t defs = ReadArchiveCount(in_);
    if (!in_.Expect(static_cast<std::uint64_t>(defs), MinBlockDefSize(version_),
                    "block definitions")) {
      return false;
    }
    visitor_.OnBlockDefCount(defs, {begin, in_.offset()});
    for (std::int32_t i = 0; i < defs && !visitor_.Stopped(); ++i) {
      begin = in_.offset();
      ClassTag tag;
      ReadClassTag(in_, state_, true, &tag);
      std::int32_t members = 0;
      ReadBlockDefHead(in_, version_, i + 1, def_, members);
      state_.Advance();
      if (!ExpectEntities(members)) {
        return false;
      }
      visitor_.OnBlockDef(tag, def_, members, {begin, in_.offset()});
      if (visitor_.Stopped() || !ReadEntities(members)) {
        return false;
      }
      visitor_.OnBlockDefEnd();
    }
    return in_.ok() && !visitor_.Stopped();
  }

 private:
  ByteReader& in_;
  const int version_;
  RecordVisitor& visitor_;
  const RecordDetail detail_;
  // A record of each kind, reused from record to record of that kind (strings keep their
  // storage, and nothing is built anew when the kind changes).
  EntityRecord& Scratch(EntityKind kind) { return records_[static_cast<std::size_t>(kind) - 1]; }

  ArchiveState state_;
  std::array<EntityRecord, kEntityKinds.size()> records_;
  TEntBlockDef def_;  // its members stay empty: they go to the visitor one by one
};

// The section after the block definitions: i32 count, then name, i32 size and the bytes.
void ReadImages(ByteReader& in, RecordVisitor& visitor) {
  const std::uint64_t count_at = in.offset();
  const std::int32_t count = in.read_i32le();
  if (in.ok() && count < 0) {
    in.FailAt(ErrorKind::kMalformed, "a negative image count", count_at);
    return;
  }
  if (!in.Expect(static_cast<std::uint64_t>(count), kSmallestImageEntry, "images")) {
    return;
  }
  visitor.OnImageCount(count, {count_at, in.offset()});
  TBindImageType image;
  for (std::int32_t i = 0; i < count && in.ok() && !visitor.Stopped(); ++i) {
    const std::uint64_t begin = in.offset();
    image.name = ReadArchiveString(in);
    const std::uint64_t size_at = in.offset();
    image.size = in.read_i32le();
    if (!in.ok()) {
      return;
    }
    const auto index = static_cast<std::size_t>(i);
    if (image.size < 0) {
      in.FailAt(ErrorKind::kMalformed, ImageLabel(image, index) + " has a negative size", size_at);
      return;
    }
    // An entry without a name or without bytes has no bytes after it.
    const std::uint64_t bytes = image.name.empty() ? 0 : static_cast<std::uint64_t>(image.size);
    if (bytes > in.remaining()) {
      in.FailAt(ErrorKind::kTruncated,
                ImageLabel(image, index) + " declares " + std::to_string(bytes) +
                    " bytes, but only " + std::to_string(in.remaining()) + " are left",
                size_at);
      return;
    }
    const std::uint64_t bytes_at = in.offset();
    visitor.OnImage(image, {begin, bytes_at}, in);
    if (in.ok()) {
      in.SeekTo(bytes_at + bytes);
    }
  }
}

}  // namespace

bool HasImageSection(int jww_version) {
  return jww_version >= 700;
}

Status ReadJwwRecords(ByteReader& in, RecordVisitor& visitor, JwwReadScope scope) {
  const std::uint64_t begin = in.offset();
  THeader header;
  const bool header_only = scope == JwwReadScope::kHeaderThroughSettings;
  ReadJwwHeader(in, header, header_only);
  if (!in.ok()) {
    return in.status();
  }
  const int version = header.version;  // the visitor may change its copy
  visitor.OnJwwHeader(header, {begin, in.offset()});
  if (header_only || visitor.Stopped()) {
    return in.status();
  }
  ListReader lists(in, version, visitor);
  if (lists.ReadLists() && HasImageSection(version) && visitor.OnImagesBegin()) {
    ReadImages(in, visitor);
  }
  return in.status();
}

Status ReadJwsRecords(ByteReader& in, RecordVisitor& visitor) {
  const std::uint64_t begin = in.offset();
  JwsHeader header;
  ReadJwsHeader(in, header);
  if (!in.ok()) {
    return in.status();
  }
  // Any version is read; the records follow the file's own version, whatever the visitor makes
  // of its copy of the header.
  const int version = header.version;
  visitor.OnJwsHeader(header, {begin, in.offset()});
  if (visitor.Stopped()) {
    return in.status();
  }
  ListReader lists(in, version, visitor);
  lists.ReadLists();
  return in.status();
}

}  // namespace penmorph::jw
