#include "formats/windows/stream_converter.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "common/byte_writer.h"
#include "formats/windows/entity_records.h"
#include "formats/windows/entity_remap.h"
#include "formats/windows/jww_images.h"
#include "formats/windows/layer_move.h"
#include "formats/windows/layer_names.h"
#include "formats/windows/record_stream.h"

namespace penmorph::jw {

namespace {

constexpr std::size_t kImagePiece = 1 << 16;
// A stretch shorter than this that is still in the reader's buffer goes out through the
// writer's buffer: for short stretches a system call each costs more than the copy it saves.
constexpr std::uint64_t kCopyRangeMinimum = 64 * 1024;

std::uint64_t TagSize(const ClassTag& tag) {
  if (tag.introduces) {
    return 6 + ClassName(tag.kind).size();
  }
  return tag.long_reference ? 6 : 2;
}

// Where a record's attribute block starts: after the tag it was read with.
std::uint64_t BaseOffset(SourceRange range, const ClassTag& tag) {
  return range.begin + TagSize(tag);
}

std::uint64_t CountSize(std::int32_t count) {
  return count >= 0 && count <= 0xFFFE ? 2 : 6;
}

bool SameLayout(int a, int b) {
  return HasPenWidth(a) == HasPenWidth(b) && HasAllDimensionMembers(a) == HasAllDimensionMembers(b);
}

class StreamConverter final : public RecordVisitor, public ByteReader::RefillObserver {
 public:
  StreamConverter(ByteReader& in, const JwwConvSettings& table, const LayerTable& layers,
                  ByteSink& sink)
      : in_(in),
        sink_(sink),
        copy_from_file_(in.file() != nullptr && sink.CanCopyFromFile()),
        in_place_(sink.HoldsSource()),
        kept_in_buffer_(!copy_from_file_ && !in_place_),
        out_(sink),
        remap_(table),
        main_rules_(MainListRules(table)),
        member_rules_(BlockMemberRules(table)),
        table_(table),
        layers_(layers) {
    kept_from_ = kept_to_ = in_.offset();
    if (kept_in_buffer_) {
      // The kept stretch is written from the reader's buffer, which must hold it till then.
      in_.SetRefillObserver(this);
      in_.KeepFrom(kept_from_);
    }
  }
  ~StreamConverter() override { in_.SetRefillObserver(nullptr); }

  ConversionStatus Finish(const Status& read) {
    if (failure_) {
      return *failure_;
    }
    if (!read.ok()) {
      return ConversionStatus::Failed(ConversionStage::kRead, read.error());
    }
    FlushKept();
    if (has_image_section_) {
      WriteImages();
      if (failure_) {
        return *failure_;
      }
    }
    return ConversionStatus::At(ConversionStage::kWrite, out_.Finish());
  }

  void OnJwwHeader(THeader& header, SourceRange range) override {
    read_version_ = header.version;
    rules_ = WriteRules{header.version, nullptr};
    same_layout_ = true;
    has_image_section_ = HasImageSection(header.version);
    if (Status remapped = RemapJwwHeader(header, table_); !remapped.ok()) {
      Fail(ConversionStage::kRemap, remapped.error());
      return;
    }
    // Name rules look at the names the drawing came with, before the table renames them.
    LayerPlan plan = PlanLayers(layers_, header);
    if (Status renamed = RenameLayers(header, layers_); !renamed.ok()) {
      Fail(ConversionStage::kRemap, renamed.error());
      return;
    }
    StartMoving(plan, header.layer_groups);
    NormalizeJwwHeader(header);
    KeepOrWrite(range, [&](ByteWriter& out) { WriteJwwHeader(out, header); });
  }

  void OnJwsHeader(JwsHeader& header, SourceRange range) override {
    read_version_ = header.version;
    header.version = NormalizedJwsVersion(header.version);
    rules_ = WriteRules{header.version, &RewriteJwsImageReference};
    same_layout_ = SameLayout(read_version_, rules_.version);
    StartMoving(PlanLayers(layers_), header.layer_groups);
    KeepOrWrite(range, [&](ByteWriter& out) { WriteJwsHeader(out, header); });
  }

  void OnEntityCount(std::int32_t count, SourceRange range) override { Count(count, range); }
  void OnBlockDefCount(std::int32_t count, SourceRange range) override { Count(count, range); }

  void OnEntity(const ClassTag& tag, EntityRecord& record, SourceRange range) override {
    if (has_image_section_ && std::holds_alternative<TEntMoji>(record)) {
      references_.AddText(std::get<TEntMoji>(record).text);  // as read, before any rule
    }
    const EntityBase read_base = std::visit([](const auto& r) { return r.base; }, record);
    const bool moved = moving_ && MoveBases(*mover_, read_version_, record);
    if (moving_ && !mover_->status().ok()) {
      Fail(ConversionStage::kRemap, mover_->status().error());
      return;
    }
    const RecordStep step = ConvertRecord(record, remap_, *list_rules_, rules_, read_version_);
    if (!remap_.status().ok()) {
      Fail(ConversionStage::kRemap, remap_.status().error());
      return;
    }
    const ClassTag planned = PlanClassTag(state_, KindOf(record), Schema());
    state_.Advance();
    const bool same_shape = !step.body_changed && planned == tag && same_layout_ &&
                            range.size() == TagSize(planned) + step.size;
    if (same_shape && ((!step.changed && !moved) || PatchOwnBase(range, tag, record)) &&
        Keep(range)) {
      return;
    }
    if (!FillScannedBody(tag, read_base, record, range)) {
      return;
    }
    Replace(range, [&] {
      WriteClassTag(out_, planned);
      WriteEntityRecord(out_, rules_.version, record);
    });
  }

  void OnBlockDef(const ClassTag& tag, TEntBlockDef& def, std::int32_t member_count,
                  SourceRange range) override {
    const bool moved = moving_ && MoveBases(*mover_, read_version_, def);
    if (moving_ && !mover_->status().ok()) {
      Fail(ConversionStage::kRemap, mover_->status().error());
      return;
    }
    const bool changed = Normalize(def, rules_) || moved;
    const ClassTag planned = PlanClassTag(state_, EntityKind::kBlockDef, Schema());
    state_.Advance();
    const auto members = static_cast<std::uint32_t>(member_count);
    const bool same =
        !changed && planned == tag && same_layout_ &&
        range.size() == TagSize(planned) + BlockDefHeadSize(def, rules_.version, members);
    if (!(same && Keep(range))) {
      Replace(range, [&] {
        WriteClassTag(out_, planned);
        WriteBlockDefHead(out_, rules_.version, def, members);
      });
    }
    list_rules_ = &member_rules_;
  }

  void OnBlockDefEnd() override { list_rules_ = &main_rules_; }

  void OnImage(const TBindImageType& image, SourceRange entry, ByteReader&) override {
    images_.push_back({image.name, image.size, entry.end});
  }

  bool Stopped() const override { return failure_.has_value(); }

  // Where records go out as they came, changed in their attribute blocks in place at most,
  // their numbers are read only for the few written whole, from the reader's memory, which
  // holds them still. Records laid out anew are all written whole: read whole at once.
  RecordDetail Detail() const override {
    return in_.file() == nullptr && in_.writable() && same_layout_ ? RecordDetail::kStrings
                                                                   : RecordDetail::kWhole;
  }

  // The kept stretch goes out before the buffer holding it is refilled.
  void BeforeRefill(ByteReader&) override {
    FlushKept();
    in_.KeepFrom(kept_from_);
  }

 private:
  struct Image {
    ArchiveString name;
    std::int32_t size = 0;
    std::uint64_t bytes_at = 0;
  };

  // The layer table moves entities by the scales of the file's own groups, read from its header.
  void StartMoving(const LayerPlan& plan, const std::array<TLayerGroup, kLayerGroupCount>& groups) {
    mover_.emplace(plan, ScalesOf(groups));
    moving_ = mover_->active();
  }

  std::uint16_t Schema() const { return static_cast<std::uint16_t>(rules_.version); }

  void Count(std::int32_t count, SourceRange range) {
    if (range.size() == CountSize(count) && Keep(range)) {
      return;
    }
    Replace(range, [&] { WriteArchiveCount(out_, static_cast<std::uint32_t>(count)); });
  }

  // The part goes out as it came in, with the stretch before it; false when the reader no
  // longer holds its bytes (a record too long to keep), which must then be written anew.
  bool Keep(SourceRange range) {
    Passing(range.end);
    if (range.begin != kept_to_ || (kept_in_buffer_ && !in_.Buffered(kept_from_, range.end))) {
      return false;
    }
    kept_to_ = range.end;
    return true;
  }

  // A part written whole before it is compared: kept when its bytes come out the same, which
  // for the header lets the output be copied from the very start of the file.
  template <class Write>
  void KeepOrWrite(SourceRange range, Write write) {
    VectorSink written;
    ByteWriter writer(written);
    write(writer);
    if (!writer.Finish().ok()) {
      return;  // cannot happen: memory takes any bytes
    }
    const std::vector<std::uint8_t>& bytes = written.bytes();
    const auto source = in_.Buffered(range.begin, range.end);
    if (source && std::equal(bytes.begin(), bytes.end(), source->begin(), source->end()) &&
        Keep(range)) {
      return;
    }
    Replace(range, [&] { out_.write_bytes(bytes); });
  }

  // A record whose only change is in its one attribute block: the block's new bytes go over
  // the old ones where the reader's memory may be changed, and the record is then kept as it
  // stands there, which saves writing it whole. False where that cannot be done; should the
  // Keep then fail anyway, the record is written whole, the change in memory passed over.
  bool PatchOwnBase(SourceRange range, const ClassTag& tag, const EntityRecord& record) {
    const EntityBase* own = nullptr;
    int bases = 0;
    ForEachBase(record, rules_.version,
                [&](const EntityBase& base, const PartInfo&) { own = bases++ == 0 ? &base : own; });
    if (bases != 1) {
      return false;  // a dimension: its members have blocks of their own further on
    }
    const std::uint64_t at = BaseOffset(range, tag);
    const std::span<std::uint8_t> bytes = in_.Writable(at, at + EntityBaseSize(rules_.version));
    if (bytes.empty()) {
      return false;
    }
    StoreEntityBase(bytes.data(), rules_.version, *own);
    return true;
  }

  // A scanned record's numbers, read before it is written whole; false when that failed.
  bool FillScannedBody(const ClassTag& tag, const EntityBase& read_base, EntityRecord& record,
                       SourceRange range) {
    if (Detail() == RecordDetail::kWhole) {
      return true;
    }
    const auto bytes = in_.Buffered(BaseOffset(range, tag), range.end);
    const Status filled =
        bytes ? FillEntityBody(*bytes, read_version_, read_base, record)
              : Status(MakeError(ErrorKind::kIo, "a record's bytes were lost", range.begin));
    if (!filled.ok()) {
      Fail(ConversionStage::kRead, filled.error());
    }
    return filled.ok();
  }

  // The part goes out as `write` writes it.
  template <class Write>
  void Replace(SourceRange range, Write write) {
    Passing(range.end);
    FlushKept();
    write();
    kept_from_ = kept_to_ = range.end;
    if (kept_in_buffer_) {
      in_.KeepFrom(kept_from_);
    }
  }

  // Tells the sink how far the source is read, every mebibyte or so.
  void Passing(std::uint64_t offset) {
    constexpr std::uint64_t kPassedStep = 1 << 20;
    if (in_place_ && offset >= next_passed_) {
      sink_.SourcePassed(offset);
      next_passed_ = offset + kPassedStep;
    }
  }

  void FlushKept() {
    if (kept_to_ == kept_from_) {
      return;
    }
    const std::uint64_t length = kept_to_ - kept_from_;
    if (in_place_) {
      out_.Flush();
      if (Status kept = sink_.KeepSource(kept_from_, length); !kept.ok()) {
        Fail(ConversionStage::kWrite, kept.error());
      }
      kept_from_ = kept_to_;
      return;
    }
    const auto bytes = in_.Buffered(kept_from_, kept_to_);
    if (copy_from_file_ && (length >= kCopyRangeMinimum || !bytes)) {
      out_.Flush();
      if (Status copied = sink_.CopyFromFile(in_.file(), kept_from_, length); !copied.ok()) {
        Fail(ConversionStage::kWrite, copied.error());
      }
    } else if (bytes) {
      out_.write_bytes(*bytes);
    } else {
      Fail(ConversionStage::kRead,
           MakeError(ErrorKind::kIo, "bytes to copy were lost", kept_from_));
    }
    kept_from_ = kept_to_;
  }

  // Only the images that texts refer to, and only those that have bytes, go into the output.
  void WriteImages() {
    std::vector<ArchiveString> names;
    names.reserve(images_.size());
    for (const Image& image : images_) {
      names.push_back(image.name);
    }
    std::vector<bool> used = references_.Match(names);
    std::int32_t count = 0;
    for (std::size_t i = 0; i < images_.size(); ++i) {
      used[i] = used[i] && !images_[i].name.empty() && images_[i].size > 0;
      count += used[i] ? 1 : 0;
    }
    in_.SetRefillObserver(nullptr);  // nothing is kept from here on
    out_.write_i32le(count);
    ByteWriterSink through(out_);
    for (std::size_t i = 0; i < images_.size() && out_.ok(); ++i) {
      if (!used[i]) {
        continue;
      }
      WriteArchiveString(out_, images_[i].name);
      out_.write_i32le(images_[i].size);
      if (in_place_) {
        out_.Flush();
        if (Status kept =
                sink_.KeepSource(images_[i].bytes_at, static_cast<std::uint64_t>(images_[i].size));
            !kept.ok()) {
          Fail(ConversionStage::kWrite, kept.error());
          return;
        }
        continue;
      }
      in_.SeekTo(images_[i].bytes_at);
      Status copied = in_.CopyTo(through, static_cast<std::uint64_t>(images_[i].size), kImagePiece);
      if (!copied.ok()) {
        Fail(ConversionStage::kRead, copied.error());
        return;
      }
    }
  }

  void Fail(ConversionStage stage, Error error) {
    if (!failure_) {
      failure_ = ConversionStatus::Failed(stage, std::move(error));
    }
  }

  ByteReader& in_;
  ByteSink& sink_;
  // The output copies stretches straight from the source file; otherwise from the buffer.
  const bool copy_from_file_;
  // The output is a copy of the source, changed in place: kept stretches need no bytes at all.
  const bool in_place_;
  // Neither: a kept stretch waits in the reader's buffer until it goes out.
  const bool kept_in_buffer_;
  std::uint64_t next_passed_ = 0;  // the sink hears of the reader again from here on
  ByteWriter out_;
  ColorRemapper remap_;
  const RemapRules main_rules_;
  const RemapRules member_rules_;
  const RemapRules* list_rules_ = &main_rules_;
  const JwwConvSettings& table_;
  const LayerTable& layers_;
  std::optional<LayerMover> mover_;
  bool moving_ = false;  // the table moves some layer: when not, records skip the mover
  WriteRules rules_;
  int read_version_ = 0;
  bool same_layout_ = true;  // records are laid out alike in the versions read and written
  ArchiveState state_;       // the writer's
  // Source bytes [kept_from_, kept_to_) are decided to go out as they are and wait in the
  // reader's buffer; everything before kept_from_ is out.
  std::uint64_t kept_from_ = 0;
  std::uint64_t kept_to_ = 0;
  bool has_image_section_ = false;
  ImageReferences references_;
  std::vector<Image> images_;
  std::optional<ConversionStatus> failure_;
};

template <class Read>
ConversionStatus Convert(ByteReader& in, const JwwConvSettings& table, const LayerTable& layers,
                         ByteSink& out, Read read) {
  StreamConverter converter(in, table, layers, out);
  const Status status = read(in, converter);
  return converter.Finish(status);
}

}  // namespace

ConversionStatus ConvertJwwStream(ByteReader& in, const JwwConvSettings& table, ByteSink& out,
                                  const LayerTable& layers) {
  return Convert(in, table, layers, out, [](ByteReader& reader, RecordVisitor& visitor) {
    return ReadJwwRecords(reader, visitor);
  });
}

ConversionStatus ConvertJwsStream(ByteReader& in, const JwwConvSettings& table, ByteSink& out,
                                  const LayerTable& layers) {
  return Convert(in, table, layers, out, [](ByteReader& reader, RecordVisitor& visitor) {
    return ReadJwsRecords(reader, visitor);
  });
}

}  // namespace penmorph::jw
