// What a folder's entries say about themselves on each platform: which are hidden, read-only or
// marked for archiving, and that the listing leaves out the hidden ones.

#include "common/folder_entries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "app/file_browser.h"
#include "app/path_text.h"
#include "app_fakes.h"
#include "common/path_text.h"
#include "test_support.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace penmorph::app {
namespace {

namespace fs = std::filesystem;
using penmorph::testing::FakePrompts;
using penmorph::testing::ScratchFolder;
using penmorph::testing::WriteBytes;

std::map<std::string, FolderEntry> Entries(const fs::path& folder) {
  std::map<std::string, FolderEntry> entries;
  EXPECT_TRUE(ForEachEntry(folder, [&](const FolderEntry& entry) {
    entries[PathToUtf8(entry.name)] = entry;
    return true;
  }));
  return entries;
}

std::vector<std::string> ListedNames(const fs::path& folder) {
  FormatRegistry formats;
  FakePrompts prompts;
  FileBrowser browser(formats, prompts);
  EXPECT_TRUE(browser.BuildFolderTree(folder, {}));
  browser.ShowFolder(FolderTree::kRoot, {0, 64}, {});
  std::vector<std::string> names;
  for (const FileRow& row : browser.list().rows()) {
    names.push_back(row.cells[kNameColumn]);
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(FolderEntries, SizeTimeAndKindOfEachEntry) {
  ScratchFolder folder;
  WriteBytes(folder / "plan.jww", std::string(1234, 'x'));
  WriteBytes(folder / fs::path(u8"平面図.jwc"), "jwc");
  fs::create_directories(folder / "sub");
  const auto entries = Entries(folder.path());
  ASSERT_EQ(entries.size(), 3u);
  const FolderEntry& plan = entries.at("plan.jww");
  EXPECT_TRUE(plan.is_file);
  EXPECT_FALSE(plan.is_folder);
  EXPECT_EQ(plan.size, 1234u);
  ASSERT_TRUE(plan.modified);
  // The same moment as the standard library reads it, to the second the list shows.
  EXPECT_EQ(ModifiedText(*plan.modified), ModifiedText(fs::last_write_time(folder / "plan.jww")));
  EXPECT_EQ(entries.at("平面図.jwc").size, 3u);
  EXPECT_TRUE(entries.at("sub").is_folder);
  EXPECT_FALSE(entries.at("sub").is_file);
  EXPECT_FALSE(ForEachEntry(folder / "missing", [](const FolderEntry&) { return true; }));
}

#ifdef _WIN32

void SetAttributes(const fs::path& path, DWORD attributes) {
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), attributes)) << PathToUtf8(path);
}

TEST(FolderEntries, WindowsAttributesDecideHiddenReadOnlyAndArchive) {
  ScratchFolder folder;
  for (const char* name : {"hidden.jww", "system.jww", "locked.jww", "archived.jww", "plain.jww"}) {
    WriteBytes(folder / name, "x");
  }
  fs::create_directories(folder / "hidden folder" / "inner");
  SetAttributes(folder / "hidden.jww", FILE_ATTRIBUTE_HIDDEN);
  SetAttributes(folder / "system.jww", FILE_ATTRIBUTE_SYSTEM);
  SetAttributes(folder / "locked.jww", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
  SetAttributes(folder / "archived.jww", FILE_ATTRIBUTE_ARCHIVE);
  SetAttributes(folder / "plain.jww", FILE_ATTRIBUTE_NORMAL);
  SetAttributes(folder / "hidden folder", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);

  const auto entries = Entries(folder.path());
  EXPECT_TRUE(entries.at("hidden.jww").hidden);
  EXPECT_TRUE(entries.at("system.jww").hidden);
  EXPECT_TRUE(entries.at("hidden folder").hidden);
  EXPECT_FALSE(entries.at("locked.jww").hidden);
  EXPECT_TRUE(entries.at("locked.jww").read_only);
  EXPECT_TRUE(entries.at("locked.jww").archive);
  EXPECT_FALSE(entries.at("archived.jww").read_only);
  EXPECT_TRUE(entries.at("archived.jww").archive);
  // Wine keeps the archive attribute of every file; Windows clears it as asked.
  const bool plain_archived =
      (GetFileAttributesW((folder / "plain.jww").c_str()) & FILE_ATTRIBUTE_ARCHIVE) != 0;
  EXPECT_EQ(entries.at("plain.jww").archive, plain_archived);
  EXPECT_FALSE(entries.at("plain.jww").read_only);

  // Hidden and system files are not listed, and a hidden folder is not in the tree; the
  // attribute column says "A " and "R ".
  EXPECT_EQ(ListedNames(folder.path()),
            (std::vector<std::string>{"archived.jww", "locked.jww", "plain.jww"}));
  TreeBuild build = BuildFolderTree(folder.path(), {});
  EXPECT_TRUE(build.tree.node(FolderTree::kRoot).children.empty());
  EXPECT_EQ(AttributeText(true, true), "A R ");
  SetAttributes(folder / "locked.jww", FILE_ATTRIBUTE_NORMAL);  // so that it can be removed
}

#else

TEST(FolderEntries, DotNamesAreHiddenAndUnwritableFilesReadOnly) {
  ScratchFolder folder;
  WriteBytes(folder / ".hidden.jww", "x");
  WriteBytes(folder / "locked.jww", "x");
  WriteBytes(folder / "open.jww", "x");
  fs::create_directories(folder / ".git");
  fs::permissions(folder / "locked.jww", fs::perms::owner_read);
  const auto entries = Entries(folder.path());
  EXPECT_TRUE(entries.at(".hidden.jww").hidden);
  EXPECT_TRUE(entries.at(".git").hidden);
  EXPECT_TRUE(entries.at("locked.jww").read_only);
  EXPECT_FALSE(entries.at("open.jww").read_only);
  for (const auto& [name, entry] : entries) {
    EXPECT_FALSE(entry.archive) << name;  // no such flag on Linux
  }
  EXPECT_EQ(ListedNames(folder.path()), (std::vector<std::string>{"locked.jww", "open.jww"}));
}

#endif

}  // namespace
}  // namespace penmorph::app
