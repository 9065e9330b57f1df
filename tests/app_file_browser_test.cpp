// The folder tree, the file list's rows, its order and selection, and what the window's clicks
// lead to - all without a window.

#include "app/file_browser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

#include "app/path_text.h"
#include "app_fakes.h"
#include "fakes.h"
#include "test_support.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace penmorph::app {
namespace {

namespace fs = std::filesystem;
using penmorph::testing::FakeDrawing;
using penmorph::testing::FakeFormat;
using penmorph::testing::FakePrompts;
using penmorph::testing::ReadBytes;
using penmorph::testing::ScratchFolder;
using penmorph::testing::WriteBytes;

// "平面図" in Shift-JIS, as old drawings store memos and old archives store names.
const std::string kPlan = "\x95\xbd\x96\xca\x90\x7d";
// A folder named "平面図": on Linux in the Shift-JIS bytes of an old Windows archive, whose text
// the layer decodes; on Windows names are Unicode and no such bytes can be a name.
#ifdef _WIN32
const fs::path kPlanFolder = fs::path(u8"平面図");
#else
const fs::path kPlanFolder = kPlan;
#endif

std::vector<std::string> ChildTexts(const FolderTree& tree, FolderTree::NodeId node) {
  std::vector<std::string> texts;
  for (FolderTree::NodeId child : tree.node(node).children) {
    texts.push_back(tree.node(child).text);
  }
  return texts;
}

// --- the folder tree ---

TEST(FolderTree, HoldsEveryVisibleFolderSortedWithoutRegardToCase) {
  ScratchFolder root;
  fs::create_directories(root / "beta" / "deep" / "deeper");
  fs::create_directories(root / "Alpha" / "one");
  fs::create_directories(root / "gamma");
  fs::create_directories(root / ".git" / "objects");
  if (testing::SymlinksAvailable()) {
    fs::create_directory_symlink(root.path(), root / "beta" / "loop");  // a link back up
  }
  WriteBytes(root / "beta" / "file.jww", "not a folder");
  fs::create_directories(root / kPlanFolder);

  TreeBuild build = BuildFolderTree(root.path(), {});
  const FolderTree& tree = build.tree;
  EXPECT_FALSE(build.interrupted);
  EXPECT_EQ(tree.node(FolderTree::kRoot).text, PathText(FolderPath(root.path())));
  EXPECT_EQ(ChildTexts(tree, FolderTree::kRoot),
            (std::vector<std::string>{"Alpha", "beta", "gamma", "平面図"}));
  auto deeper = tree.Find({"beta", "deep", "deeper"});
  ASSERT_TRUE(deeper);
  EXPECT_EQ(tree.NodePath(*deeper), root / "beta" / "deep" / "deeper" / "");
  if (testing::SymlinksAvailable()) {
    auto loop = tree.Find({"beta", "loop"});
    ASSERT_TRUE(loop);
    EXPECT_TRUE(tree.node(*loop).children.empty());
    EXPECT_EQ(ChildTexts(tree, *tree.Find({"beta"})), (std::vector<std::string>{"deep", "loop"}));
  }
  // The folder keeps its own bytes; only its text is decoded.
  EXPECT_EQ(tree.NodePath(*tree.Find({"平面図"})), root / kPlanFolder / "");
  EXPECT_FALSE(tree.Find({"beta", "file.jww"}));
}

TEST(FolderTree, StopEndsTheWalkWhereItIsAndKeepsAUsableSortedTree) {
  ScratchFolder root;
  for (int i = 0; i < 6; ++i) {
    fs::create_directories(root / std::string("f").append(std::to_string(5 - i)) / "inner");
  }
  int asked = 0;
  TreeBuild build = BuildFolderTree(root.path(), [&asked] { return ++asked == 4; });
  EXPECT_TRUE(build.interrupted);
  EXPECT_EQ(asked, 4);  // never asked again once it said stop
  const std::vector<std::string> first = ChildTexts(build.tree, FolderTree::kRoot);
  EXPECT_LT(first.size(), 6u);
  EXPECT_TRUE(std::is_sorted(first.begin(), first.end()));

  asked = 0;
  TreeBuild whole = BuildFolderTree(root.path(), [&asked] { return ++asked > 1000; });
  EXPECT_FALSE(whole.interrupted);
  EXPECT_EQ(whole.tree.size(), 13u);
  EXPECT_GE(asked, 6);  // before each folder at least
}

// --- the rows of a folder ---

class BrowserTest : public ::testing::Test {
 protected:
  BrowserTest() {
    for (const char* name : {"JWW", "JWS", "JWC", "JWK"}) {
      auto format = std::make_unique<FakeFormat>(name, log_);
      formats_[name] = format.get();
      registry_.Add(std::move(format));
    }
  }

  std::vector<std::string> Column(int column) const {
    std::vector<std::string> texts;
    for (const FileRow& row : browser_.list().rows()) {
      texts.push_back(row.cells[column]);
    }
    return texts;
  }
  std::vector<std::string> SortedNames() const {
    std::vector<std::string> names = Column(kNameColumn);
    std::sort(names.begin(), names.end());
    return names;
  }
  const FileRow& Row(const std::string& name) const {
    for (const FileRow& row : browser_.list().rows()) {
      if (row.name == name) {
        return row;
      }
    }
    throw std::runtime_error("not listed: " + name);
  }
  void ListRoot(int file_type = 0) {
    ASSERT_TRUE(browser_.BuildFolderTree(scratch_.path(), {}));
    prompts_.Take();
    browser_.ShowFolder(FolderTree::kRoot, {file_type, 64}, {});
  }

  ScratchFolder scratch_;
  penmorph::testing::CallLog log_;
  FormatRegistry registry_;
  std::map<std::string, FakeFormat*> formats_;
  FakePrompts prompts_;
  RealFileSystem files_;
  FileBrowser browser_{registry_, prompts_};
};

TEST_F(BrowserTest, ListsPlainVisibleFilesWithTheirColumns) {
  WriteBytes(scratch_ / "plan.jww", FakeDrawing("JWW", kPlan + "\x01"));
  WriteBytes(scratch_ / "old.bak", FakeDrawing("JWC", "backup"));
  WriteBytes(scratch_ / "chair.jws", FakeDrawing("JWS", "symbol"));
  WriteBytes(scratch_ / "readme.txt", std::string(1234, 'x'));
  WriteBytes(scratch_ / ".hidden.jww", FakeDrawing("JWW", "hidden"));
#ifdef _WIN32
  // Windows hides by the attribute, not by the dot.
  SetFileAttributesW((scratch_ / ".hidden.jww").c_str(), FILE_ATTRIBUTE_HIDDEN);
#endif
  WriteBytes(scratch_ / "locked.jwk", FakeDrawing("JWK", "locked"));
  fs::permissions(scratch_ / "locked.jwk", fs::perms::owner_read);
  fs::create_directories(scratch_ / "sub.jww");
  ListRoot();

  EXPECT_EQ(SortedNames(), (std::vector<std::string>{"chair.jws", "locked.jwk", "old.bak",
                                                     "plan.jww", "readme.txt"}));
  EXPECT_TRUE(browser_.list_ready());
  EXPECT_EQ(
      prompts_.events,
      (std::vector<std::string>{
          "status:フォルダ「" + PathText(FolderPath(scratch_.path())) + "」を検索中(ESC:中断)",
          "status:5 Files  パス名「" + PathText(FolderPath(scratch_.path())) + "」"}));
  EXPECT_EQ(Row("plan.jww").cells[kMemoColumn], "平面図");  // control bytes dropped
  EXPECT_EQ(Row("old.bak").cells[kMemoColumn], "backup");
  EXPECT_EQ(Row("chair.jws").cells[kMemoColumn], "");
  EXPECT_EQ(Row("readme.txt").cells[kSizeColumn], "    1234");  // 64 pixels: 8 characters
  EXPECT_EQ(Row("readme.txt").cells[kTypeColumn], ".TXT");
#ifdef _WIN32
  // A new file is marked for archiving.
  EXPECT_EQ(Row("locked.jwk").cells[kAttributeColumn], "A R ");
  EXPECT_EQ(Row("plan.jww").cells[kAttributeColumn], "A ");
#else
  EXPECT_EQ(Row("locked.jwk").cells[kAttributeColumn], "R ");
  EXPECT_EQ(Row("plan.jww").cells[kAttributeColumn], "");
#endif
  EXPECT_EQ(Row("plan.jww").cells[kTimeColumn],
            ModifiedText(fs::last_write_time(scratch_ / "plan.jww")));
  EXPECT_EQ(Row("plan.jww").cells[kTimeColumn].size(), 19u);
  // Nothing is selected after a listing: a conversion takes only the files the user picks.
  EXPECT_TRUE(browser_.list().selected_rows().empty());
}

// `penmorph FILE`: the file's folder is searched and listed and the file selected; a folder is
// listed as it is; a path that does not exist leaves the window as it would start.
TEST_F(BrowserTest, AStartPathListsItsFolderAndSelectsTheFile) {
  const fs::path folder = scratch_ / fs::path(u8"図面");
  fs::create_directories(folder / "sub");
  for (const char* name : {"a.jww", "b.jww", "c.jwc"}) {
    WriteBytes(folder / name, FakeDrawing("JWW", name));
  }
  std::optional<StartPath> start = StartPathOf(folder / "b.jww");
  ASSERT_TRUE(start);
  EXPECT_EQ(start->folder, folder);
  EXPECT_EQ(start->file, fs::path("b.jww"));
  ASSERT_TRUE(browser_.OpenStartPath(*start, {0, 64}, {}));
  EXPECT_EQ(browser_.shown_node(), FolderTree::kRoot);
  EXPECT_EQ(browser_.tree().NodePath(FolderTree::kRoot), folder / "");
  EXPECT_EQ(browser_.list().SelectedNames(), (std::vector<fs::path>{"b.jww"}));

  // A file the chosen type does not list selects nothing rather than another file.
  ASSERT_TRUE(browser_.OpenStartPath(*StartPathOf(folder / "c.jwc"), {2, 64}, {}));  // *.jww
  EXPECT_TRUE(browser_.list().SelectedNames().empty());

  WriteBytes(folder / "sub" / "x.jww", FakeDrawing("JWW", "x"));
  WriteBytes(folder / "sub" / "y.jww", FakeDrawing("JWW", "y"));
  start = StartPathOf(folder / "sub");
  ASSERT_TRUE(start);
  EXPECT_EQ(start->folder, folder / "sub");
  EXPECT_FALSE(start->file);
  ASSERT_TRUE(browser_.OpenStartPath(*start, {0, 64}, {}));
  EXPECT_TRUE(browser_.list().SelectedNames().empty());  // a folder: nothing picked in it

  EXPECT_FALSE(StartPathOf(folder / "gone.jww"));
  EXPECT_FALSE(StartPathOf(""));
}

TEST_F(BrowserTest, FileTypesFilterWithoutRegardToCase) {
  for (const char* name : {"DESK.JWK", "small.jwk", "a.jww", "b.jwc", "noextension", "c.jw"}) {
    WriteBytes(scratch_ / name, "x");
  }
  ListRoot(5);
  EXPECT_EQ(SortedNames(), (std::vector<std::string>{"DESK.JWK", "small.jwk"}));
  browser_.FileTypeChanged({1, 64}, {});
  EXPECT_EQ(SortedNames(), (std::vector<std::string>{"DESK.JWK", "a.jww", "b.jwc", "small.jwk"}));
  browser_.FileTypeChanged({0, 64}, {});
  EXPECT_EQ(SortedNames().size(), 6u);
  browser_.FileTypeChanged({-1, 64}, {});  // no type selected: every file
  EXPECT_EQ(SortedNames().size(), 6u);
  EXPECT_EQ(ValidFileType(registry_, 6), -1);
  EXPECT_EQ(ValidFileType(registry_, 4), 4);

  browser_.FileTypeChanged({3, 64}, {});
  EXPECT_TRUE(browser_.list().rows().empty());
  EXPECT_FALSE(browser_.list_ready());
  EXPECT_EQ(prompts_.events.back(),
            "status:0 Files  パス名「" + PathText(FolderPath(scratch_.path())) + "」");
}

TEST_F(BrowserTest, StopDuringAListingSaysSoAndLeavesNoList) {
  WriteBytes(scratch_ / "a.jww", "x");
  ASSERT_TRUE(browser_.BuildFolderTree(scratch_.path(), {}));
  browser_.ShowFolder(FolderTree::kRoot, {}, [] { return true; });
  EXPECT_EQ(prompts_.events.back(), "status:検索を中断しました。");
  EXPECT_FALSE(browser_.list_ready());
}

TEST_F(BrowserTest, SizesArePaddedToTheColumnAndRepaddedWhenItChanges) {
  WriteBytes(scratch_ / "a.jww", std::string(1234, 'x'));
  ASSERT_TRUE(browser_.BuildFolderTree(scratch_.path(), {}));
  browser_.ShowFolder(FolderTree::kRoot, {0, 17}, {});  // at least 3 characters
  EXPECT_EQ(Row("a.jww").cells[kSizeColumn], "1234");
  browser_.RepadSizes(200, 7);  // 28 characters
  EXPECT_EQ(Row("a.jww").cells[kSizeColumn], std::string(24, ' ') + "1234");
  browser_.RepadSizes(200, 1);  // a digit is taken as at least 3 pixels wide
  EXPECT_EQ(Row("a.jww").cells[kSizeColumn].size(), 66u);
  EXPECT_EQ(PaddedSize(3'000'000'000ULL, 4), "3000000000");
}

// Names take the room the other columns leave, whatever width the name column had.
TEST(NameColumnWidth, TakesTheRoomTheOtherColumnsLeave) {
  const std::array<int, kFileColumnCount> widths{50, 80, 40, 150, 120, 40};  // others: 430
  EXPECT_EQ(NameColumnWidth(1000, widths, 100), 570);
  EXPECT_EQ(NameColumnWidth(480, widths, 100), 100);  // a narrow list scrolls instead
}

// --- the order of the rows ---

FileRow KeyedRow(const std::string& name, const std::string& key) {
  FileRow row;
  row.name = name;
  row.cells[kNameColumn] = name;
  row.keys[kNameColumn] = name;
  row.keys[kTypeColumn] = key;
  return row;
}

std::vector<std::string> Names(const FileList& list) {
  std::vector<std::string> names;
  for (const FileRow& row : list.rows()) {
    names.push_back(row.name.string());
  }
  return names;
}

TEST(FileList, SortsBySwappingWholeRowsOnlyForAStrictlyBetterKey) {
  FileList list;
  for (auto [name, key] : {std::pair{"x1", ".B"}, {"x2", ".A"}, {"x3", ".B"}, {"x4", ".A"}}) {
    list.Add(KeyedRow(name, key));
  }
  list.Sort(kTypeColumn, false);
  // A selection sort moves x1 past x3: equal keys do not keep their order.
  EXPECT_EQ(Names(list), (std::vector<std::string>{"x2", "x4", "x3", "x1"}));
  list.Sort(kTypeColumn, true);
  EXPECT_EQ(Names(list), (std::vector<std::string>{"x3", "x1", "x2", "x4"}));
}

TEST(FileList, TheSelectionIsAnySetOfFilesAndFollowsThemThroughASort) {
  FileList list;
  for (const char* name : {"c", "a", "d", "b"}) {
    list.Add(KeyedRow(name, name));
  }
  list.SelectRows({2, 1, 2});     // d and a, picked apart with Ctrl
  list.Sort(kNameColumn, false);  // a b c d
  EXPECT_EQ(list.selected_rows(), (std::vector<std::size_t>{0, 3}));
  EXPECT_EQ(list.SelectedNames(), (std::vector<fs::path>{"a", "d"}));

  list.Select(1, 0);             // a, b
  list.Sort(kNameColumn, true);  // d c b a
  EXPECT_EQ(list.selected_rows(), (std::vector<std::size_t>{2, 3}));
  EXPECT_EQ(list.SelectedNames(), (std::vector<fs::path>{"b", "a"}));

  list.Select(3, 9);  // cut off at the last row
  EXPECT_EQ(list.selected_rows(), (std::vector<std::size_t>{3}));
  list.Select(7, 9);
  EXPECT_TRUE(list.selected_rows().empty());
  list.SelectRows({9, 1});
  EXPECT_EQ(list.selected_rows(), (std::vector<std::size_t>{1}));
  list.SelectNames({"a", "gone"});  // a file no longer listed is left out, never replaced
  EXPECT_EQ(list.SelectedNames(), (std::vector<fs::path>{"a"}));
}

TEST_F(BrowserTest, HeaderPressesAlternateAndAttributesRestoreTheListingWithItsSelection) {
  for (const char* name : {"b.jww", "C.jww", "a.jww", "d.jww"}) {
    WriteBytes(scratch_ / name, name);
  }
  ListRoot();
  const std::vector<std::string> listing = Column(kNameColumn);
  browser_.PressHeader(kNameColumn, {}, {});
  EXPECT_EQ(Column(kNameColumn), (std::vector<std::string>{"a.jww", "b.jww", "C.jww", "d.jww"}));
  browser_.PressHeader(kTypeColumn, {}, {});  // descending, whichever column is pressed
  EXPECT_FALSE(browser_.sort_descending());
  // b.jww and C.jww; in the file system's order they may be apart.
  browser_.list().Select(1, 2);
  std::vector<std::string> chosen;
  for (const fs::path& name : browser_.list().SelectedNames()) {
    chosen.push_back(name.string());
  }
  std::vector<std::size_t> places;
  for (const std::string& name : chosen) {
    places.push_back(std::find(listing.begin(), listing.end(), name) - listing.begin());
  }
  std::sort(places.begin(), places.end());
  browser_.PressHeader(kAttributeColumn, {}, {});
  EXPECT_EQ(Column(kNameColumn), listing);
  EXPECT_FALSE(browser_.sort_descending());  // "属性" leaves the direction alone
  EXPECT_EQ(browser_.list().selected_rows(), places);
  browser_.PressHeader(kNameColumn, {}, {});
  EXPECT_EQ(Column(kNameColumn), (std::vector<std::string>{"a.jww", "b.jww", "C.jww", "d.jww"}));

  // The order chosen stays for the next folder listed, and the header can show it.
  ASSERT_TRUE(browser_.shown_sort());
  EXPECT_EQ(*browser_.shown_sort(), (FileBrowser::ShownSort{kNameColumn, false}));
  browser_.PressHeader(kNameColumn, {}, {});  // descending
  fs::create_directories(scratch_ / "next");
  for (const char* name : {"y.jww", "z.jww", "x.jww"}) {
    WriteBytes(scratch_ / "next" / name, name);
  }
  ASSERT_TRUE(browser_.BuildFolderTree(scratch_.path(), {}));
  browser_.ShowFolder(browser_.NodeOf(scratch_ / "next"), {}, {});
  EXPECT_EQ(Column(kNameColumn), (std::vector<std::string>{"z.jww", "y.jww", "x.jww"}));
  EXPECT_EQ(*browser_.shown_sort(), (FileBrowser::ShownSort{kNameColumn, true}));
  browser_.PressHeader(kAttributeColumn, {}, {});
  EXPECT_FALSE(browser_.shown_sort());
}

// After a sort "変換" asks for the files the user chose, never others.
TEST_F(BrowserTest, TheRequestTakesTheSelectedFilesOfTheListedFolder) {
  fs::create_directories(scratch_ / "in");
  // Sizes in the order c a b d.
  const std::map<std::string, std::string> bodies = {
      {"c.jww", "c"}, {"a.jww", "aa"}, {"d.jww", "dddd"}, {"b.jww", "bbb"}};
  for (const auto& [name, body] : bodies) {
    WriteBytes(scratch_ / "in" / name, FakeDrawing("JWW", body));
  }
  ASSERT_TRUE(browser_.BuildFolderTree(scratch_.path(), {}));
  browser_.ShowFolder(browser_.tree().Find({"in"}), {}, {});
  browser_.PressHeader(kNameColumn, {}, {});  // a b c d
  browser_.list().SelectRows({0, 3});         // a d
  browser_.PressHeader(kSizeColumn, {}, {});  // descending now: d b a c
  ConversionRequest request = browser_.MakeRequest("/out/", false, {});
  EXPECT_EQ(request.file_names, (std::vector<fs::path>{"d.jww", "a.jww"}));
  EXPECT_EQ(request.source_folder, scratch_ / "in" / "");
  EXPECT_FALSE(request.whole_tree);
  // A tree takes no rows: the whole folder is meant.
  request = browser_.MakeRequest("/out/", true, {2, 64});
  EXPECT_TRUE(request.file_names.empty());
  EXPECT_EQ(request.file_pattern, "*.jww");
}

// --- what clicks lead to ---

TEST_F(BrowserTest, WithoutATreeClicksAreRefusedAndAVanishedFolderKeepsTheOldTree) {
  browser_.Start();
  EXPECT_EQ(prompts_.Take(), (std::vector<std::string>{"status:検索フォルダを指定して下さい。"}));
  const std::vector<std::string> no_tree = {"beep", "error:検索フォルダを指定して下さい。",
                                            "status:検索フォルダを指定して下さい。"};
  browser_.ShowFolder(std::nullopt, {}, {});
  EXPECT_EQ(prompts_.Take(), no_tree);
  EXPECT_FALSE(browser_.FileToOpen(0));
  EXPECT_EQ(prompts_.Take(), no_tree);

  WriteBytes(scratch_ / "a.jww", "x");
  ASSERT_TRUE(browser_.BuildFolderTree(scratch_.path(), {}));
  EXPECT_EQ(prompts_.Take(),
            (std::vector<std::string>{"status:フォルダ検索中です。（ESC:中断）", "status:"}));
  EXPECT_FALSE(browser_.FileToOpen(0));
  EXPECT_EQ(prompts_.Take(), (std::vector<std::string>{
                                 "beep", "status:図面の格納されているフォルダを指定して下さい。"}));
  browser_.ShowFolder(std::nullopt, {}, {});  // no node highlighted: nothing listed
  EXPECT_TRUE(prompts_.Take().empty());
  browser_.ShowFolder(FolderTree::kRoot, {}, {});
  const auto opened = browser_.FileToOpen(0);
  ASSERT_TRUE(opened);
  EXPECT_EQ(*opened, scratch_ / "a.jww");
  EXPECT_FALSE(browser_.FileToOpen(1));

  prompts_.Take();
  EXPECT_FALSE(browser_.BuildFolderTree(scratch_ / "gone", {}));
  EXPECT_EQ(prompts_.Take(),
            (std::vector<std::string>{"status:フォルダ検索中です。（ESC:中断）", "beep",
                                      "information:検索フォルダのディスクドライブの準備が出来て"
                                      "いません。",
                                      "status:検索フォルダを指定して下さい。"}));
  EXPECT_TRUE(browser_.tree_ready());
  EXPECT_TRUE(browser_.list_ready());
}

TEST(PathText, ShowsUtf8AsItIsAndOtherNamesAsShiftJis) {
  EXPECT_EQ(PathText(fs::path(u8"/d/配置図.jww")), "/d/配置図.jww");
  EXPECT_EQ(PathFromText("d/配置図.jww"), fs::path(u8"d/配置図.jww").make_preferred());
#ifndef _WIN32
  EXPECT_EQ(PathText("/d/" + kPlan + ".jww"), "/d/平面図.jww");
#endif
  EXPECT_EQ(FolderPath("/d/e"), fs::path("/d/e") / "");
  EXPECT_EQ(FolderPath("/d/e/"), fs::path("/d/e/"));
}

}  // namespace
}  // namespace penmorph::app
