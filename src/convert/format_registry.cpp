#include "convert/format_registry.h"

#include "common/text.h"

namespace penmorph {

void FormatRegistry::Add(std::unique_ptr<FileFormat> format) {
  formats_.push_back(std::move(format));
}

const FileFormat* FormatRegistry::FindByExtension(std::string_view extension) const {
  std::string upper = ToUpperAscii(extension);
  for (const auto& format : formats_) {
    if (format->Extension() == upper) {
      return format.get();
    }
  }
  return nullptr;
}

const FileFormat* FormatRegistry::FindForFile(std::string_view file_name) const {
  std::string_view extension = FileExtension(file_name);
  return extension.empty() ? nullptr : FindByExtension(extension);
}

std::string FormatNames(const FormatRegistry& formats, std::string_view separator,
                        std::optional<preview::CodeFamily> family) {
  std::string names;
  for (const auto& format : formats.formats()) {
    if (family && format->Traits().family != *family) {
      continue;
    }
    if (!names.empty()) {
      names += separator;
    }
    names += format->Name();
  }
  return names;
}

Result<preview::Inventory> FileFormat::TakeInventory(ByteReader&, const ConversionTables&) const {
  return MakeError(ErrorKind::kUnsupported, "no inventory for " + std::string(Name()) + " files");
}

Result<preview::Drawing> FileFormat::Draw(ByteReader&) const {
  return MakeError(ErrorKind::kUnsupported, "no preview for " + std::string(Name()) + " files");
}

}  // namespace penmorph
