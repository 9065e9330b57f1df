#pragma once

// A workspace's images: each image's bytes copied, while the drawing is read, into a private
// folder of this process under a name of the program's choosing (never one taken from the
// drawing), and embedded again from there when the workspace is written.

#include <cstdint>
#include <filesystem>
#include <vector>

#include "common/byte_reader.h"
#include "common/byte_writer.h"
#include "common/result.h"
#include "formats/windows/jww_images.h"
#include "reference/entity_tables.h"

namespace penmorph::jw {

struct WorkspaceImage : TBindImageType {
  std::filesystem::path extracted;  // the copy of its bytes; empty when none was made
  // Entries compare by name and size: where their bytes were copied to is the reader's choice.
  bool operator==(const WorkspaceImage& other) const {
    return static_cast<const TBindImageType&>(*this) == other;
  }
};

// The process's own folder for extracted images, in the system's temporary folder, readable by
// the user alone. Made on first use; removed with everything in it when the owner goes.
class ImageFolder {
 public:
  ImageFolder() = default;
  ImageFolder(const ImageFolder&) = delete;
  ImageFolder& operator=(const ImageFolder&) = delete;
  ~ImageFolder();

  // A new file name inside the folder, creating the folder if needed.
  Result<std::filesystem::path> NewFile();
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::uint64_t next_ = 0;
};

struct ImageSwitches {
  bool read_images = true;     // read the image section at all
  bool extract_images = true;  // keep each image's bytes for writing them back
};

// Copies an image's bytes, at the reader's position, into a new file of `folder`; the file's
// name goes to `image.extracted`. A copy that fails cannot be embedded again: the reader fails
// rather than lose the image.
void ExtractImage(ByteReader& in, ImageFolder& folder, WorkspaceImage& image, std::size_t index);

// Writes a workspace's image section. With `normalise`, only the images that texts of the main
// list or of block definitions refer to and whose extracted copy is still there; without it,
// every entry as read.
void WriteImageSection(ByteWriter& out, const EntityTables& main,
                       const std::vector<WorkspaceBlockDef>& block_defs,
                       const std::vector<WorkspaceImage>& images, bool normalise);

// Removes the extracted copies; the list itself stays.
void DeleteExtractedImages(std::vector<WorkspaceImage>& images);

}  // namespace penmorph::jw
