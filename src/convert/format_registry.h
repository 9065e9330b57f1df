#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/file_format.h"

namespace penmorph {

// The formats a converter knows, found by upper-case file extension. Formats hold no file, so
// one registry serves any number of conversions at once. Its order is the order every list of
// formats shows them in.
class FormatRegistry {
 public:
  void Add(std::unique_ptr<FileFormat> format);
  // The format for an extension (dot included, any case), or nullptr.
  const FileFormat* FindByExtension(std::string_view extension) const;
  // The format for a file name, by its last extension, or nullptr.
  const FileFormat* FindForFile(std::string_view file_name) const;

  const std::vector<std::unique_ptr<FileFormat>>& formats() const { return formats_; }

 private:
  std::vector<std::unique_ptr<FileFormat>> formats_;
};

// The names of the formats, of one family when given, in the registry's order, joined by
// `separator`: "JWW/JWS".
std::string FormatNames(const FormatRegistry& formats, std::string_view separator,
                        std::optional<preview::CodeFamily> family = std::nullopt);

}  // namespace penmorph
