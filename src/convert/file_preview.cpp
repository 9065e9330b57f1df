#include "convert/file_preview.h"

#include "common/path_text.h"
#include "convert/source_file.h"
#include "convert/source_judgement.h"

namespace penmorph {

namespace {

// Runs `read` on the file once it is known to be of its format.
template <class Read>
auto WithFormat(const FormatRegistry& formats, const std::filesystem::path& file, Read read)
    -> decltype(read(std::declval<const FileFormat&>(), std::declval<ByteReader&>())) {
  const SourceJudgement by_name = JudgeName(formats, file);
  if (by_name.kind != SourceKind::kDrawing) {
    return PassedOverError(by_name.why);
  }
  if (std::optional<Error> unreadable = UnreadableReason(file)) {
    return *unreadable;
  }
  auto in = ByteReader::OpenFile(file, kConversionBuffer);
  if (!in.ok()) {
    return in.error();
  }
  const FileFormat& format = *by_name.format;
  if (SourceJudgement by_content = JudgeContent(format, HasSignature(format, in.value()));
      by_content.kind != SourceKind::kDrawing) {
    return PassedOverError(by_content.why);
  }
  return read(format, in.value());
}

}  // namespace

Result<preview::Inventory> InventoryOfFile(const FormatRegistry& formats,
                                           const std::filesystem::path& file,
                                           const ConversionTables& tables) {
  return WithFormat(formats, file, [&](const FileFormat& format, ByteReader& in) {
    return format.TakeInventory(in, tables);
  });
}

Result<std::shared_ptr<const preview::Drawing>> DrawFile(const FormatRegistry& formats,
                                                         const std::filesystem::path& file) {
  return WithFormat(formats, file,
                    [](const FileFormat& format,
                       ByteReader& in) -> Result<std::shared_ptr<const preview::Drawing>> {
                      auto drawing = format.Draw(in);
                      if (!drawing.ok()) {
                        return drawing.error();
                      }
                      return std::make_shared<const preview::Drawing>(std::move(drawing).value());
                    });
}

CheckVerdict VerdictOf(const Result<preview::Inventory>& inventory) {
  if (inventory.ok()) {
    return inventory->Unchanged() ? CheckVerdict::kConforms : CheckVerdict::kDiffers;
  }
  if (inventory.error().kind == ErrorKind::kNotADrawing) {
    return CheckVerdict::kPassedOver;
  }
  return IsTableRefusal(inventory.error().kind) ? CheckVerdict::kDiffers : CheckVerdict::kFailed;
}

void CheckCounts::Add(CheckVerdict verdict) {
  switch (verdict) {
    case CheckVerdict::kConforms:
      ++conform;
      return;
    case CheckVerdict::kDiffers:
      ++differ;
      return;
    case CheckVerdict::kFailed:
      ++failed;
      return;
    case CheckVerdict::kPassedOver:
      ++passed_over;
      return;
  }
}

}  // namespace penmorph
