#include "formats/windows/jww_format.h"

#include <array>

#include "common/text.h"
#include "formats/windows/drawing_builder.h"
#include "formats/windows/inventory_builder.h"
#include "formats/windows/jws_header.h"
#include "formats/windows/layer_listing.h"
#include "formats/windows/record_stream.h"
#include "formats/windows/stream_converter.h"

namespace penmorph::jw {

namespace {

// The copies jw_cad keeps of a drawing: NAME.JW$, always a JWW drawing, and the backups
// NAME.BAK, NAME.BK1 and so on, names DOS drawings' backups share.
constexpr CopyName kJwwCopies[] = {{.extension = ".JW$"},
                                   {.extension = ".BAK", .needs_signature = true},
                                   {.extension = ".BK*", .needs_signature = true}};
constexpr FormatTraits kJwwTraits{.name = "JWW",
                                  .extension = ".JWW",
                                  .family = preview::CodeFamily::kWindows,
                                  .copies = kJwwCopies,
                                  .patches_in_place = true};
constexpr FormatTraits kJwsTraits{.name = "JWS",
                                  .extension = ".JWS",
                                  .family = preview::CodeFamily::kWindows,
                                  .has_memo = false,
                                  .copies = {},
                                  .patches_in_place = true};

// Counts what the reader hands over, for descriptions of both Windows formats.
class Census : public RecordVisitor {
 public:
  void OnJwwHeader(THeader& header, SourceRange) override {
    version_ = header.version;
    memo_ = header.memo;
    sheet_ = ReadLayerSheet(header);
    scales_ = ScalesOf(header.layer_groups);
  }
  void OnJwsHeader(JwsHeader& header, SourceRange) override {
    version_ = header.version;
    scales_ = ScalesOf(header.layer_groups);
  }
  void OnEntity(const ClassTag&, EntityRecord& record, SourceRange) override {
    std::visit([&](const auto& r) { layers_.Count(r.base, in_block_def_); }, record);
    if (in_block_def_) {
      ++members_;
    } else {
      ++kinds_[record.index()];
    }
  }
  void OnBlockDef(const ClassTag&, TEntBlockDef&, std::int32_t, SourceRange) override {
    ++block_defs_;
    in_block_def_ = true;
  }
  void OnBlockDefEnd() override { in_block_def_ = false; }
  RecordDetail Detail() const override { return RecordDetail::kBases; }
  void OnImage(const TBindImageType& image, SourceRange, ByteReader&) override {
    HeaderMemo name = MemoOf(image.name);
    images_.push_back("image " + std::to_string(images_.size() + 1) + ": " +
                      std::to_string(image.size) + " bytes, " + (name.utf8 ? "" : "(Shift-JIS) ") +
                      name.text);
  }

  std::int32_t version() const { return version_; }
  const ArchiveString& memo() const { return memo_; }

  void AddCounts(FileDescription& description) const {
    for (std::size_t i = 0; i < kEntityKinds.size(); ++i) {
      description.counts.emplace_back(std::string(kEntityKinds[i].plural), kinds_[i]);
    }
    description.counts.emplace_back(std::string(kBlockDefKind.plural), block_defs_);
    description.counts.emplace_back("block definition members", members_);
  }
  void AddLayers(FileDescription& description) const {
    description.layers = layers_.Describe(sheet_, scales_);
  }
  void AddGroupScales(FileDescription& description) const {
    description.details.push_back("group scales: " + GroupScalesText(scales_));
  }
  void AddImages(FileDescription& description) const {
    description.counts.emplace_back("images", images_.size());
    description.details.insert(description.details.end(), images_.begin(), images_.end());
  }

 private:
  std::int32_t version_ = 0;
  ArchiveString memo_;
  std::array<std::uint64_t, kEntityKinds.size()> kinds_{};
  std::uint64_t block_defs_ = 0;
  std::uint64_t members_ = 0;
  bool in_block_def_ = false;
  std::vector<std::string> images_;
  preview::LayerSheet sheet_;
  GroupScales scales_{};
  LayerListing layers_;
};

class MemoReader : public RecordVisitor {
 public:
  void OnJwwHeader(THeader& header, SourceRange) override { memo_ = MemoOf(header.memo); }
  void OnEntity(const ClassTag&, EntityRecord&, SourceRange) override {}
  const HeaderMemo& memo() const { return memo_; }

 private:
  HeaderMemo memo_;
};

}  // namespace

HeaderMemo MemoOf(const ArchiveString& memo) {
  if (memo.wide) {
    return {Utf16LeToUtf8(memo.bytes), true};
  }
  return {memo.bytes, false};
}

const FormatTraits& JwwFormat::Traits() const {
  return kJwwTraits;
}

bool JwwFormat::Recognizes(std::span<const std::uint8_t> head) const {
  return StartsWith(head, kJwwMagic);
}

ConversionStatus JwwFormat::Convert(ByteReader& in, const ConversionTables& tables,
                                    ByteSink& out) const {
  return ConvertJwwStream(in, tables.jww, out, tables.layers);
}

std::optional<HeaderMemo> JwwFormat::ReadMemo(ByteReader& in) const {
  MemoReader reader;
  if (!ReadJwwRecords(in, reader, JwwReadScope::kHeaderThroughSettings).ok()) {
    return std::nullopt;
  }
  return reader.memo();
}

Result<FileDescription> JwwFormat::Describe(ByteReader& in) const {
  Census census;
  if (Status read = ReadJwwRecords(in, census); !read.ok()) {
    return read.error();
  }
  FileDescription description;
  description.format = "JWW";
  description.version = std::to_string(census.version());
  HeaderMemo memo = MemoOf(census.memo());
  description.memo = memo.text;
  description.memo_is_utf8 = memo.utf8;
  if (census.memo().wide) {
    description.details.push_back("strings: wide (UTF-16)");
  }
  census.AddCounts(description);
  census.AddImages(description);
  census.AddLayers(description);
  return description;
}

Result<preview::Inventory> JwwFormat::TakeInventory(ByteReader& in,
                                                    const ConversionTables& tables) const {
  return JwwInventory(in, tables.jww, tables.layers);
}

Result<preview::Drawing> JwwFormat::Draw(ByteReader& in) const {
  return DrawJwwRecords(in);
}

const FormatTraits& JwsFormat::Traits() const {
  return kJwsTraits;
}

bool JwsFormat::Recognizes(std::span<const std::uint8_t> head) const {
  return StartsWith(head, kJwsMagic);
}

ConversionStatus JwsFormat::Convert(ByteReader& in, const ConversionTables& tables,
                                    ByteSink& out) const {
  return ConvertJwsStream(in, tables.jww, out, tables.layers);
}

Result<FileDescription> JwsFormat::Describe(ByteReader& in) const {
  Census census;
  if (Status read = ReadJwsRecords(in, census); !read.ok()) {
    return read.error();
  }
  FileDescription description;
  description.format = "JWS";
  const std::int32_t version = census.version();
  description.version = std::to_string(version);
  if (NormalizedJwsVersion(version) != version) {
    description.details.push_back("written as version " +
                                  std::to_string(NormalizedJwsVersion(version)));
  }
  census.AddCounts(description);
  census.AddGroupScales(description);
  return description;
}

Result<preview::Inventory> JwsFormat::TakeInventory(ByteReader& in,
                                                    const ConversionTables& tables) const {
  return JwsInventory(in, tables.jww, tables.layers);
}

Result<preview::Drawing> JwsFormat::Draw(ByteReader& in) const {
  return DrawJwsRecords(in);
}

}  // namespace penmorph::jw
