#pragma once

// JWW drawings and JWS symbols for the converter, the file list, the inventory, the preview and
// `penmorph-cli info`. Both convert while they read (stream_converter.h); descriptions,
// inventories and drawings are built from what the same reader hands over.

#include "convert/file_format.h"
#include "formats/windows/archive_string.h"

namespace penmorph::jw {

class JwwFormat : public FileFormat {
 public:
  const FormatTraits& Traits() const override;
  bool Recognizes(std::span<const std::uint8_t> head) const override;
  ConversionStatus Convert(ByteReader& in, const ConversionTables& tables,
                           ByteSink& out) const override;
  std::optional<HeaderMemo> ReadMemo(ByteReader& in) const override;
  Result<FileDescription> Describe(ByteReader& in) const override;
  Result<preview::Inventory> TakeInventory(ByteReader& in,
                                           const ConversionTables& tables) const override;
  Result<preview::Drawing> Draw(ByteReader& in) const override;
};

// The file list shows no memo for symbols: a symbol's header holds none.
class JwsFormat : public FileFormat {
 public:
  const FormatTraits& Traits() const override;
  bool Recognizes(std::span<const std::uint8_t> head) const override;
  ConversionStatus Convert(ByteReader& in, const ConversionTables& tables,
                           ByteSink& out) const override;
  Result<FileDescription> Describe(ByteReader& in) const override;
  Result<preview::Inventory> TakeInventory(ByteReader& in,
                                           const ConversionTables& tables) const override;
  Result<preview::Drawing> Draw(ByteReader& in) const override;
};

// The memo as the file list shows it: byte strings as stored, wide ones as UTF-8.
HeaderMemo MemoOf(const ArchiveString& memo);

}  // namespace penmorph::jw
