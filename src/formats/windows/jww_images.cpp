#include "formats/windows/jww_images.h"

#include <algorithm>
#include <optional>

#include "common/text.h"

namespace penmorph::jw {

namespace {

// Units of a name for matching without regard to ASCII case; the second byte of a Shift-JIS
// character is left alone, since it may look like a letter.
std::vector<std::uint16_t> MatchUnits(const ArchiveString& name) {
  std::vector<std::uint16_t> units;
  const std::size_t length = name.length();
  units.reserve(length);
  for (std::size_t i = 0; i < length; ++i) {
    std::uint16_t unit = UnitAt(name, i);
    if (!name.wide && IsShiftJisLeadByte(static_cast<unsigned char>(unit)) && i + 1 < length) {
      units.push_back(unit);
      units.push_back(UnitAt(name, ++i));
      continue;
    }
    if (unit >= 'a' && unit <= 'z') {
      unit = static_cast<std::uint16_t>(unit - 'a' + 'A');
    }
    units.push_back(unit);
  }
  return units;
}

// The image name a text refers to: what stands between the prefix and the first comma.
std::optional<ArchiveString> ReferencedImage(const ArchiveString& text) {
  const std::size_t length = text.length();
  if (length <= kImageRefPrefix.size() || !StartsWithAscii(text, kImageRefPrefix)) {
    return std::nullopt;
  }
  for (std::size_t i = kImageRefPrefix.size(); i < length; ++i) {
    if (UnitAt(text, i) == ',') {
      return Substring(text, kImageRefPrefix.size(), i - kImageRefPrefix.size());
    }
  }
  return std::nullopt;
}

}  // namespace

std::string ImageLabel(const TBindImageType& image, std::size_t index) {
  std::string label = "image " + std::to_string(index + 1);
  std::string ascii;
  for (std::size_t i = 0; i < image.name.length(); ++i) {
    std::uint16_t unit = UnitAt(image.name, i);
    if (unit < 0x20 || unit > 0x7E) {
      return label;
    }
    ascii += static_cast<char>(unit);
  }
  return label + " (" + ascii + ")";
}

void ImageReferences::AddText(const ArchiveString& text) {
  if (std::optional<ArchiveString> name = ReferencedImage(text)) {
    wanted_.push_back(MatchUnits(*name));
  }
}

std::vector<bool> ImageReferences::Match(const std::vector<ArchiveString>& image_names) const {
  std::vector<bool> used(image_names.size(), false);
  if (wanted_.empty()) {
    return used;
  }
  std::vector<std::vector<std::uint16_t>> names;
  names.reserve(image_names.size());
  for (const ArchiveString& name : image_names) {
    names.push_back(MatchUnits(name));
  }
  for (const std::vector<std::uint16_t>& wanted : wanted_) {
    for (std::size_t i = 0; i < names.size(); ++i) {
      const std::vector<std::uint16_t>& have = names[i];
      if (have.size() >= wanted.size() && std::equal(wanted.begin(), wanted.end(), have.begin())) {
        used[i] = true;
        break;
      }
    }
  }
  return used;
}

ArchiveString RewriteJwsImageReference(const ArchiveString& cleaned) {
  constexpr std::size_t kKept = 4;  // "^@BM"
  if (!StartsWithAscii(cleaned, kImageRefPrefix)) {
    return cleaned;
  }
  ArchiveString rewritten = Substring(cleaned, 0, kKept);
  rewritten.bytes += Substring(cleaned, kImageRefPrefix.size(), std::string::npos).bytes;
  return rewritten;
}

}  // namespace penmorph::jw
