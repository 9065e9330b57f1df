#include "formats/windows/jww_images.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <random>

#include "common/file_sink.h"
#include "common/file_system.h"
#include "common/path_text.h"
#include "common/text.h"

namespace penmorph::jw {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kPiece = 64 * 1024;

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

ImageFolder::~ImageFolder() {
  if (!path_.empty()) {
    RemoveTree(path_);
  }
}

Result<fs::path> ImageFolder::NewFile() {
  if (path_.empty()) {
    auto base = TemporaryFolder();
    if (!base.ok()) {
      return IoError("no folder for images: " + base.error().message);
    }
    // The process number keeps the names of programs running at once apart; the random part
    // makes a name left by an earlier process unlikely to be met again.
    std::random_device device;
    const std::string stem = "penmorph-images-" + std::to_string(CurrentProcessId()) + "-";
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      fs::path candidate = base.value() / (stem + std::to_string(device()));
      // Creation fails when the name is taken, so the folder is always our own.
      if (CreatePrivateFolder(candidate).ok()) {
        path_ = candidate;
      }
    }
    if (path_.empty()) {
      return IoError("cannot create a folder for images in " + PathToUtf8(base.value()));
    }
  }
  return path_ / ("image-" + std::to_string(++next_) + ".bin");
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

void ExtractImage(ByteReader& in, ImageFolder& folder, TBindImageType& image, std::size_t index) {
  auto file = folder.NewFile();
  if (!file.ok()) {
    in.Fail(ErrorKind::kIo, file.error().message);
    return;
  }
  auto sink = FileSink::CreateExclusive(file.value());
  if (!sink.ok()) {
    in.Fail(ErrorKind::kIo, sink.error().message);
    return;
  }
  image.extracted = file.value();
  Status copied = in.CopyTo(*sink.value(), static_cast<std::uint64_t>(image.size), kPiece);
  Status closed = sink.value()->Close();
  if (copied.ok() && !closed.ok()) {
    copied = closed;
  }
  if (!copied.ok() && in.ok()) {
    in.Fail(ErrorKind::kIo,
            "cannot keep " + ImageLabel(image, index) + ": " + copied.error().message);
  }
}

void WriteImageSection(ByteWriter& out, const EntityTables& main,
                       const std::vector<TEntBlockDef>& block_defs,
                       const std::vector<TBindImageType>& images, bool normalise) {
  std::vector<bool> written(images.size(), true);
  if (normalise) {
    ImageReferences references;
    for (const TEntMoji& text : main.texts) {
      references.AddText(text.text);
    }
    for (const TEntBlockDef& def : block_defs) {
      for (const TEntMoji& text : def.members.texts) {
        references.AddText(text.text);
      }
    }
    std::vector<ArchiveString> names;
    for (const TBindImageType& image : images) {
      names.push_back(image.name);
    }
    written = references.Match(names);
    for (std::size_t i = 0; i < images.size(); ++i) {
      written[i] = written[i] && !images[i].extracted.empty() &&
                   KindOfPath(images[i].extracted) == PathKind::kFile;
    }
  }
  out.write_i32le(static_cast<std::int32_t>(std::count(written.begin(), written.end(), true)));
  for (std::size_t i = 0; i < images.size() && out.ok(); ++i) {
    const TBindImageType& image = images[i];
    if (!written[i]) {
      continue;
    }
    if (!normalise && image.extracted.empty()) {
      WriteArchiveString(out, image.name);
      out.write_i32le(image.size);
      continue;
    }
    auto in = ByteReader::OpenFile(image.extracted);
    if (!in.ok()) {
      out.Fail(MakeError(ErrorKind::kIo,
                         "cannot embed " + ImageLabel(image, i) + ": " + in.error().message));
      return;
    }
    if (in->size() > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
      out.Fail(MakeError(ErrorKind::kRange, ImageLabel(image, i) + " is too large to embed"));
      return;
    }
    WriteArchiveString(out, image.name);  // stored names are written as they were
    out.write_i32le(static_cast<std::int32_t>(in->size()));
    ByteWriterSink through(out);
    if (Status copied = in->CopyTo(through, in->size(), kPiece); !copied.ok()) {
      out.Fail(MakeError(ErrorKind::kIo,
                         "cannot embed " + ImageLabel(image, i) + ": " + copied.error().message));
      return;
    }
  }
}

void DeleteExtractedImages(std::vector<TBindImageType>& images) {
  for (TBindImageType& image : images) {
    if (!image.extracted.empty()) {
      RealFileSystem files;
      (void)files.Remove(image.extracted);
      image.extracted.clear();
    }
  }
}

}  // namespace penmorph::jw
