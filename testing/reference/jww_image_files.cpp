#include "reference/jww_image_files.h"

#include <algorithm>
#include <limits>
#include <random>
#include <string>

#include "common/file_sink.h"
#include "common/file_system.h"
#include "common/path_text.h"

namespace penmorph::jw {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kPiece = 64 * 1024;

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

void ExtractImage(ByteReader& in, ImageFolder& folder, WorkspaceImage& image, std::size_t index) {
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
                       const std::vector<WorkspaceBlockDef>& block_defs,
                       const std::vector<WorkspaceImage>& images, bool normalise) {
  std::vector<bool> written(images.size(), true);
  if (normalise) {
    ImageReferences references;
    for (const TEntMoji& text : main.texts) {
      references.AddText(text.text);
    }
    for (const WorkspaceBlockDef& def : block_defs) {
      for (const TEntMoji& text : def.members.texts) {
        references.AddText(text.text);
      }
    }
    std::vector<ArchiveString> names;
    for (const WorkspaceImage& image : images) {
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
    const WorkspaceImage& image = images[i];
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

void DeleteExtractedImages(std::vector<WorkspaceImage>& images) {
  for (WorkspaceImage& image : images) {
    if (!image.extracted.empty()) {
      RealFileSystem files;
      (void)files.Remove(image.extracted);
      image.extracted.clear();
    }
  }
}

}  // namespace penmorph::jw
