#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "convert/file_format.h"

namespace penmorph {

// The formats a converter knows, found by upper-case file extension.
class FormatRegistry {
 public:
  void Add(std::unique_ptr<FileFormat> format);
  // The format for an extension (dot included, any case), or nullptr.
  FileFormat* FindByExtension(std::string_view extension) const;
  // The format for a file name, by its last extension, or nullptr.
  FileFormat* FindForFile(std::string_view file_name) const;
  // Clears every format's working storage.
  void ClearAll();

  const std::vector<std::unique_ptr<FileFormat>>& formats() const { return formats_; }

 private:
  std::vector<std::unique_ptr<FileFormat>> formats_;
};

}  // namespace penmorph
