// Images embedded in version-700 drawings: which ones a conversion keeps, how their bytes travel
// through the private image folder, and what a broken image section does.

#include <gtest/gtest.h>

#include "jw_test_bytes.h"
#include "test_support.h"

namespace penmorph::jw {
namespace {

using testing::IsOk;

namespace fs = std::filesystem;
using testing::ByteBuilder;
using testing::ReadJwwBytes;
using testing::WriteJwwBytes;

struct Image {
  std::string name;
  std::int32_t size;
  std::string data;  // written when name and size are not empty
};

EntityBase TextBase() {
  return {0, 1, 1, 0, 0, 0, 0};
}

// A drawing with the given texts in the main list, one text in a block definition and one
// dimension text, then the images.
std::string Drawing(const std::vector<std::string>& texts, const std::string& member_text,
                    const std::string& dimension_text, const std::vector<Image>& images) {
  const int v = 700;
  ByteBuilder out;
  AppendJwwHeader(out, v);
  auto text_body = [&](const std::string& text) {
    out.base(v, TextBase()).pattern(68).str("font").str(text);  // 4 f64, i32, 4 f64
  };
  out.u16(static_cast<int>(texts.size()) + 1);
  // Record index: class 1 CDataMoji, then the texts; the dimension class follows.
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (i == 0) {
      out.new_class("CDataMoji", v);
    } else {
      out.u16(0x8001);
    }
    text_body(texts[i]);
  }
  out.new_class("CDataSunpou", v).base(v, TextBase());
  out.base(v, TextBase()).pattern(32);
  text_body(dimension_text);
  out.u16(0);
  for (int i = 0; i < 2; ++i) {
    out.base(v, TextBase()).pattern(32);
  }
  for (int i = 0; i < 4; ++i) {
    out.base(v, TextBase()).pattern(20);
  }
  out.u16(1).new_class("CDataList", v).base(v, TextBase()).i32(0).i32(0).i32(1).str("d").u16(1);
  out.u16(0x8001);
  text_body(member_text);
  out.i32(static_cast<std::int32_t>(images.size()));
  for (const Image& image : images) {
    out.str(image.name).i32(image.size);
    if (!image.name.empty() && image.size != 0) {
      out.raw(image.data);
    }
  }
  return out.bytes();
}

std::vector<std::string> ImageNames(JwwWorkspace& workspace) {
  std::vector<std::string> names;
  for (const WorkspaceImage& image : workspace.images) {
    names.push_back(image.name.bytes);
  }
  return names;
}

// The images a conversion writes, read back from its output.
std::vector<std::string> KeptImages(const std::string& bytes,
                                    std::vector<std::string>* data = nullptr) {
  JwwWorkspace workspace;
  EXPECT_TRUE(IsOk(ReadJwwBytes(bytes, workspace)));
  std::string written = WriteJwwBytes(workspace);
  JwwWorkspace again;
  again.switches.extract_images = true;
  EXPECT_TRUE(IsOk(ReadJwwBytes(written, again))) << written.substr(0, 40);
  if (data != nullptr) {
    for (const WorkspaceImage& image : again.images) {
      data->push_back(image.extracted.empty() ? "" : testing::ReadBytes(image.extracted));
    }
  }
  return ImageNames(again);
}

TEST(JwwImages, KeepsWhatTextsReferToAndDropsTheRest) {
  const std::string photo(5000, 'p');
  std::vector<std::string> data;
  auto kept =
      KeptImages(Drawing({"^@BM%temp%PHOTO.JPG,100,200", "plain text", "^@BM%temp%plan"},
                         "^@BM%temp%logo.bmp,1", "^@BM%temp%dim.bmp,1",
                         {{"unused.bmp", 3, "abc"},
                          {"photo.jpg", 5000, photo},
                          {"photo.jpg", 4, "copy"},  // the first of a name is the one flagged
                          {"logo.bmp", 2, "LG"},
                          {"dim.bmp", 2, "DM"},  // only a dimension text names it
                          {"plan", 2, "PL"},     // its text has no comma
                          {"", 5, ""},
                          {"empty.bmp", 0, ""}}),
                 &data);
  EXPECT_EQ(kept, (std::vector<std::string>{"photo.jpg", "logo.bmp"}));
  EXPECT_EQ(data, (std::vector<std::string>{photo, "LG"}));
}

TEST(JwwImages, ReferenceMatchesTheStartOfAName) {
  auto kept = KeptImages(
      Drawing({"^@BM%temp%pic,1"}, "x", "x", {{"other.bmp", 1, "o"}, {"Picture.BMP", 1, "P"}}));
  EXPECT_EQ(kept, (std::vector<std::string>{"Picture.BMP"}));
}

TEST(JwwImages, ExtractedFilesAreNamedByTheProgramInItsOwnFolder) {
  JwwWorkspace workspace;
  ASSERT_TRUE(ReadJwwBytes(Drawing({"x"}, "x", "x",
                                   {{"../../escape.bmp", 3, "abc"}, {"/etc/passwd", 2, "ab"}}),
                           workspace)
                  .ok());
  fs::path folder = workspace.image_folder.path();
  ASSERT_FALSE(folder.empty());
  for (const WorkspaceImage& image : workspace.images) {
    EXPECT_EQ(image.extracted.parent_path(), folder);
    EXPECT_EQ(image.extracted.filename().string().find("escape"), std::string::npos);
    EXPECT_TRUE(fs::exists(image.extracted));
  }
#ifndef _WIN32
  // On Windows the user's temporary folder is private already; Linux shares /tmp.
  EXPECT_EQ(fs::status(folder).permissions() & (fs::perms::group_all | fs::perms::others_all),
            fs::perms::none);
#endif
  JwwDeleteExtractedImages(workspace);
  EXPECT_TRUE(fs::is_empty(folder));
  fs::path kept = folder;
  {
    JwwWorkspace scoped;
    ASSERT_TRUE(IsOk(ReadJwwBytes(Drawing({"x"}, "x", "x", {{"a", 1, "a"}}), scoped)));
    kept = scoped.image_folder.path();
    EXPECT_TRUE(fs::exists(kept));
  }
  EXPECT_FALSE(fs::exists(kept));  // the folder goes with its workspace
}

TEST(JwwImages, WithoutExtractionNoImageIsWritten) {
  JwwWorkspace workspace;
  workspace.switches.extract_images = false;
  ASSERT_TRUE(IsOk(ReadJwwBytes(Drawing({"^@BM%temp%a,1"}, "x", "x", {{"a", 1, "a"}}), workspace)));
  EXPECT_EQ(workspace.images.size(), 1u);
  EXPECT_TRUE(workspace.images[0].extracted.empty());
  std::string written = WriteJwwBytes(workspace);
  EXPECT_EQ(testing::I32At(written, written.size() - 4), 0);
}

TEST(JwwImages, AnExtractedCopyThatVanishedIsDropped) {
  JwwWorkspace workspace;
  ASSERT_TRUE(IsOk(ReadJwwBytes(Drawing({"^@BM%temp%a,1"}, "x", "x", {{"a", 1, "a"}}), workspace)));
  fs::remove(workspace.images[0].extracted);
  std::string written = WriteJwwBytes(workspace);
  EXPECT_EQ(testing::I32At(written, written.size() - 4), 0);
}

TEST(JwwImages, Version699HasNoImageSection) {
  JwwWorkspace workspace;
  ASSERT_TRUE(IsOk(ReadJwwBytes(Drawing({"^@BM%temp%a,1"}, "x", "x", {{"a", 1, "a"}}), workspace)));
  workspace.header.version = 699;
  std::string written = WriteJwwBytes(workspace);
  JwwWorkspace again;
  ASSERT_TRUE(IsOk(ReadJwwBytes(written, again)));
  EXPECT_TRUE(again.images.empty());
  // Bytes after the block definitions of a 699 file are not read.
  EXPECT_TRUE(IsOk(ReadJwwBytes(written + "trailing", again)));
}

TEST(JwwImages, BrokenImageSectionsFailTheRead) {
  struct Case {
    std::string what;
    std::string bytes;
    ErrorKind kind;
  };
  std::string good = Drawing({"x"}, "x", "x", {{"a.bmp", 4, "abcd"}});
  std::string negative_count = Drawing({"x"}, "x", "x", {});
  negative_count.replace(negative_count.size() - 4, 4, "\xFF\xFF\xFF\xFF");
  std::string huge_count = Drawing({"x"}, "x", "x", {});
  huge_count.replace(huge_count.size() - 4, 4, std::string("\xE8\x03\x00\x00", 4));
  const Case cases[] = {
      {"image cut short", good.substr(0, good.size() - 1), ErrorKind::kTruncated},
      {"negative size", Drawing({"x"}, "x", "x", {{"a.bmp", -4, ""}}), ErrorKind::kMalformed},
      {"negative count", negative_count, ErrorKind::kMalformed},
      {"count beyond the file", huge_count, ErrorKind::kMalformed},
  };
  for (const Case& c : cases) {
    JwwWorkspace workspace;
    Status status = ReadJwwBytes(c.bytes, workspace);
    ASSERT_FALSE(status.ok()) << c.what;
    EXPECT_EQ(status.error().kind, c.kind) << c.what;
    // Whatever was extracted before the failure goes with the clean-up.
    JwwDeleteExtractedImages(workspace);
    if (!workspace.image_folder.path().empty()) {
      EXPECT_TRUE(fs::is_empty(workspace.image_folder.path())) << c.what;
    }
  }
}

TEST(JwwImages, WideReferencesMatchWideNames) {
  auto wide = [](const std::string& ascii) { return FromAscii(ascii, true); };
  JwwWorkspace workspace;
  ASSERT_TRUE(IsOk(ReadJwwBytes(Drawing({"placeholder"}, "x", "x", {{"x", 1, "x"}}), workspace)));
  workspace.entities.texts[0].text = wide("^@BM%temp%wide.png,1,2");
  workspace.images[0].name = wide("WIDE.PNG");
  std::string written = WriteJwwBytes(workspace);
  JwwWorkspace again;
  ASSERT_TRUE(IsOk(ReadJwwBytes(written, again)));
  ASSERT_EQ(again.images.size(), 1u);
  EXPECT_EQ(again.images[0].name, wide("WIDE.PNG"));
}

}  // namespace
}  // namespace penmorph::jw
