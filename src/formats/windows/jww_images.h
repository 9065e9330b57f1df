#pragma once

// Images embedded in JWW drawings from version 700 on: their entries, and the texts that refer to
// them, which decide the images a conversion embeds again. A symbol embeds none: its texts' image
// references are rewritten instead.

#include <cstdint>
#include <string>
#include <vector>

#include "formats/image_reference.h"
#include "formats/windows/archive_string.h"

namespace penmorph::jw {

struct TBindImageType {
  ArchiveString name;
  std::int32_t size = 0;
  bool operator==(const TBindImageType&) const = default;
};

// "image 3 (plan.bmp)"; names that are not plain ASCII are left out of messages.
std::string ImageLabel(const TBindImageType& image, std::size_t index);

// The image names that texts refer to, gathered text by text: a text that opens with
// kImageRefPrefix refers to the name between the prefix and its first comma.
class ImageReferences {
 public:
  // A text entity's text as read (dimension texts do not count).
  void AddText(const ArchiveString& text);
  // Whether each image is referred to: each reference marks the first image whose name begins
  // with the referred name, ASCII letters compared without regard to case.
  std::vector<bool> Match(const std::vector<ArchiveString>& image_names) const;

 private:
  std::vector<std::vector<std::uint16_t>> wanted_;
};

// A text's written form in a symbol: "^@BM%temp%name,..." becomes "^@BM" + "name,...".
ArchiveString RewriteJwsImageReference(const ArchiveString& cleaned);

}  // namespace penmorph::jw
