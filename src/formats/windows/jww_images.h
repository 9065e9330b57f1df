#pragma once

// Images embedded in JWW drawings from version 700 on. Reading copies each image's bytes into a
// private folder of this process, under a name of the program's choosing (never one taken from
// the drawing); writing embeds again the images that the drawing's texts still refer to.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "common/byte_reader.h"
#include "common/byte_writer.h"
#include "formats/image_reference.h"
#include "formats/windows/archive_string.h"
#include "formats/windows/jwtype.h"

namespace penmorph::jw {

struct TBindImageType {
  ArchiveString name;
  std::int32_t size = 0;
  bool used = false;                // set while writing: a text refers to it
  std::filesystem::path extracted;  // the copy of its bytes; empty when none was made
  bool operator==(const TBindImageType& other) const {
    return name == other.name && size == other.size;
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

// Copies an image's bytes, at the reader's position, into a new file of `folder`; the file's
// name goes to `image.extracted`. A copy that fails cannot be embedded again: the reader fails
// rather than lose the image.
void ExtractImage(ByteReader& in, ImageFolder& folder, TBindImageType& image, std::size_t index);

// Writes a workspace's image section. With `normalise`, only the images that texts of the main
// list or of block definitions refer to and whose extracted copy is still there; without it,
// every entry as read.
void WriteImageSection(ByteWriter& out, const EntityTables& main,
                       const std::vector<TEntBlockDef>& block_defs,
                       const std::vector<TBindImageType>& images, bool normalise);

// Removes the extracted copies; the list itself stays.
void DeleteExtractedImages(std::vector<TBindImageType>& images);

}  // namespace penmorph::jw
