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

constexpr std::size_t kPiece = 2048;

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

void MarkReferenced(const EntityTables& tables, std::vector<TBindImageType>& images) {
  for (const TEntMoji& text : tables.texts) {
    std::optional<ArchiveString> name = ReferencedImage(text.text);
    if (!name) {
      continue;
    }
    std::vector<std::uint16_t> wanted = MatchUnits(*name);
    for (TBindImageType& image : images) {
      std::vector<std::uint16_t> have = MatchUnits(image.name);
      if (have.size() >= wanted.size() && std::equal(wanted.begin(), wanted.end(), have.begin())) {
        image.used = true;
        break;
      }
    }
  }
}

// "image 3 (plan.bmp)"; names that are not plain ASCII are left out of messages.
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

}  // namespace

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

void ReadImageSection(ByteReader& in, const ImageSwitches& switches, ImageFolder& folder,
                      std::vector<TBindImageType>& images) {
  DeleteExtractedImages(images);
  images.clear();
  if (!switches.read_images && !switches.extract_images) {
    return;
  }
  const std::uint64_t count_at = in.offset();
  std::int32_t count = in.read_i32le();
  if (in.ok() && count < 0) {
    in.FailAt(ErrorKind::kMalformed, "a negative image count", count_at);
    return;
  }
  if (!in.Expect(static_cast<std::uint64_t>(count), 5, "images")) {
    return;
  }
  images.reserve(static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count && in.ok(); ++i) {
    TBindImageType& image = images.emplace_back();
    image.name = ReadArchiveString(in);
    const std::uint64_t size_at = in.offset();
    image.size = in.read_i32le();
    if (!in.ok()) {
      return;
    }
    if (image.size < 0) {
      in.FailAt(ErrorKind::kMalformed,
                ImageLabel(image, images.size() - 1) + " has a negative size", size_at);
      return;
    }
    if (image.name.empty() || image.size == 0) {
      continue;  // such an entry has no bytes
    }
    const auto size = static_cast<std::uint64_t>(image.size);
    if (size > in.remaining()) {
      in.FailAt(ErrorKind::kTruncated,
                ImageLabel(image, images.size() - 1) + " declares " + std::to_string(size) +
                    " bytes, but only " + std::to_string(in.remaining()) + " are left",
                size_at);
      return;
    }
    if (!switches.extract_images) {
      in.skip(size);
      continue;
    }
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
    Status copied = in.CopyTo(*sink.value(), size, kPiece);
    Status closed = sink.value()->Close();
    if (copied.ok() && !closed.ok()) {
      copied = closed;
    }
    if (!copied.ok()) {
      // A copy that failed cannot be embedded again: the drawing fails rather than lose it.
      if (in.ok()) {
        in.Fail(ErrorKind::kIo, "cannot keep " + ImageLabel(image, images.size() - 1) + ": " +
                                    copied.error().message);
      }
      return;
    }
  }
}

void WriteImageSection(ByteWriter& out, const ImageSwitches& switches, const EntityTables& main,
                       const std::vector<TEntBlockDef>& block_defs,
                       std::vector<TBindImageType>& images, bool as_read) {
  if (as_read) {
    out.write_i32le(static_cast<std::int32_t>(images.size()));
  } else {
    for (TBindImageType& image : images) {
      image.used = false;
    }
    MarkReferenced(main, images);
    for (const TEntBlockDef& def : block_defs) {
      MarkReferenced(def.members, images);
    }
    std::int32_t count = 0;
    for (TBindImageType& image : images) {
      if (!switches.extract_images || image.extracted.empty() ||
          KindOfPath(image.extracted) != PathKind::kFile) {
        image.used = false;
      }
      count += image.used ? 1 : 0;
    }
    out.write_i32le(count);
  }
  std::vector<std::uint8_t> piece(kPiece);
  for (std::size_t i = 0; i < images.size() && out.ok(); ++i) {
    const TBindImageType& image = images[i];
    if (as_read && image.extracted.empty()) {
      WriteArchiveString(out, image.name);
      out.write_i32le(image.size);
      continue;
    }
    if (!as_read && !image.used) {
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
    for (std::uint64_t left = in->size(); left > 0;) {
      std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, kPiece));
      in->read_bytes({piece.data(), n});
      if (!in->ok()) {
        out.Fail(MakeError(ErrorKind::kIo,
                           "cannot embed " + ImageLabel(image, i) + ": " + in->error().message));
        return;
      }
      out.write_bytes({piece.data(), n});
      left -= n;
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
