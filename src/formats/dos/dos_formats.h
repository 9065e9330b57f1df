#pragma once

// The two DOS formats as the converter, the file list, the inventory, the preview and
// `penmorph-cli info` meet them. Their
// files are small and laid out as a whole (the text heap at the end holds what the records point
// to), so each call reads a file into a workspace of its own, which goes when the call ends; the
// memo alone reads no more than the header lines.

#include "convert/file_format.h"
#include "formats/dos/jwc_file.h"
#include "formats/dos/jwk_file.h"

namespace penmorph::jw {

class JwcFormat : public FileFormat {
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

class JwkFormat : public FileFormat {
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

}  // namespace penmorph::jw
