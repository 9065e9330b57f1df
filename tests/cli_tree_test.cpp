// `penmorph-cli convert` over folder trees and with several workers: the layout kept, the same
// bytes and lines as one worker, the refusals, the files a walk passes over, and the JSON.

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <map>
#include <sstream>

#include "cli/cli_app.h"
#include "cli/convert_report.h"
#include "cli/json_output.h"
#include "common/path_text.h"
#include "dos_test_files.h"
#include "formats/standard_formats.h"
#include "jw_test_bytes.h"
#include "test_support.h"

namespace penmorph {
namespace {

namespace fs = std::filesystem;
using testing::FolderSnapshot;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::WriteBytes;

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

// A path below a tree's root as text with "/" between its parts, on every platform.
std::string Below(const fs::path& path) {
  std::string text = PathToUtf8(path);
  std::replace(text.begin(), text.end(), '\\', '/');
  return text;
}

// Every file under `root`, by its path below it, with its bytes.
FolderSnapshot TreeSnapshot(const fs::path& root) {
  FolderSnapshot tree;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) {
      tree[Below(fs::relative(entry.path(), root))] = ReadBytes(entry.path());
    }
  }
  return tree;
}

class CliTreeTest : public ::testing::Test {
 protected:
  CliTreeTest() : formats_(MakeStandardFormats()) {
    fs::create_directory(Src());
    fs::create_directory(scratch_ / "out");
  }
  fs::path Src() const { return scratch_ / "src"; }

  CliRun Convert(std::vector<std::string> options, bool name_scratch = true) {
    std::vector<std::string> args = {"convert", "--dest", PathToUtf8(scratch_ / "out")};
    args.insert(args.end(), options.begin(), options.end());
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunCli(args, out, err, formats_);
    // The folder names of this run are taken out, so that two runs' lines can be compared.
    std::string text = out.str();
    for (std::size_t at;
         name_scratch && (at = text.find(PathToUtf8(scratch_.path()))) != std::string::npos;) {
      text.replace(at, PathToUtf8(scratch_.path()).size(), "<scratch>");
    }
    return {status, text, err.str()};
  }

  // A deep tree with Japanese names: drawings of every format, samples, a broken drawing and
  // files a walk passes over.
  void BuildTree() {
    const fs::path deep = Src() / fs::path(u8"平面図") / fs::path(u8"一階") / "details";
    fs::create_directories(deep);
    fs::create_directories(Src() / fs::path(u8"立面図"));
    testing::JwcFile drawing;
    drawing.lines = testing::LinesOfEveryPenAndLineType();
    WriteBytes(Src() / "top.jwc", drawing.Bytes());
    WriteBytes(Src() / fs::path(u8"平面図") / fs::path(u8"敷地図.jww"), testing::EmptyJww(700));
    WriteBytes(deep / "symbol.jws", testing::JwsWithOneLine(420));
    WriteBytes(deep / "part.jwk", testing::JwkFile().Bytes());
    WriteBytes(deep / "broken.jww", testing::EmptyJww(700).substr(0, 500));
    WriteBytes(Src() / fs::path(u8"立面図") / "image.jww", testing::JwwWithImage());
    WriteBytes(Src() / "notes.txt", "not a drawing");
    for (const fs::path& sample : testing::SampleFiles(".jww")) {
      WriteBytes(Src() / fs::path(u8"立面図") / sample.filename(), ReadBytes(sample));
    }
  }

  ScratchFolder scratch_;
  FormatRegistry formats_;
};

TEST_F(CliTreeTest, AWholeTreeKeepsItsLayoutAndManyWorkersGiveWhatOneGives) {
  BuildTree();
  const CliRun one = Convert({"-r", "-j", "1", PathToUtf8(Src())});
  EXPECT_EQ(one.status, 1) << one.out << one.err;  // the broken drawing failed
  const FolderSnapshot expected = TreeSnapshot(scratch_ / "out");
  EXPECT_TRUE(expected.count("平面図/敷地図.jww"));
  EXPECT_TRUE(expected.count("平面図/一階/details/symbol.jws"));
  EXPECT_TRUE(expected.count("top.jwc"));
  EXPECT_FALSE(expected.count("notes.txt"));  // not a jw_cad file: not taken from a tree
  EXPECT_FALSE(expected.count("平面図/一階/details/broken.jww"));
  EXPECT_NE(one.out.find("failed <scratch>"), std::string::npos);
  for (unsigned workers : {2u, 4u, 7u}) {
    fs::remove_all(scratch_ / "out");
    fs::create_directory(scratch_ / "out");
    const CliRun many = Convert({"-r", "-j", std::to_string(workers), PathToUtf8(Src())});
    EXPECT_EQ(many.status, one.status);
    EXPECT_EQ(many.out, one.out) << workers << " workers";
    EXPECT_EQ(TreeSnapshot(scratch_ / "out"), expected) << workers << " workers";
  }
}

TEST_F(CliTreeTest, AFolderNeedsDashRAndTheDestinationMayNotLieInsideTheTree) {
  BuildTree();
  CliRun run = Convert({PathToUtf8(Src())});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("is a folder: add -r"), std::string::npos) << run.err;
  std::ostringstream out;
  std::ostringstream err;
  const fs::path inside = Src() / fs::path(u8"平面図");
  EXPECT_EQ(RunCli({"convert", "-r", "--dest", PathToUtf8(inside), PathToUtf8(Src())}, out, err,
                   formats_),
            2);
  EXPECT_NE(err.str().find("lies inside"), std::string::npos) << err.str();
  EXPECT_EQ(
      RunCli({"convert", "-r", "--dest", PathToUtf8(Src()), PathToUtf8(Src())}, out, err, formats_),
      2);
  EXPECT_TRUE(TreeSnapshot(scratch_ / "out").empty());
}

// The commands that only read take trees as convert does, and write nothing.
TEST_F(CliTreeTest, InventoryAndDryRunTakeTreesWithDashR) {
  BuildTree();
  auto run = [&](std::vector<std::string> args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunCli(args, out, err, formats_);
    return CliRun{status, out.str(), err.str()};
  };
  const CliRun inventory = run({"inventory", "-r", "--json", PathToUtf8(Src())});
  EXPECT_EQ(inventory.status, 1) << inventory.err;  // the broken drawing
  for (const char* name : {"敷地図.jww", "symbol.jws", "part.jwk", "top.jwc"}) {
    EXPECT_NE(inventory.out.find(name), std::string::npos) << name;
  }
  EXPECT_EQ(inventory.out.find("notes.txt"), std::string::npos);
  EXPECT_NE(inventory.out.find("\"failed\":[{\"file\":"), std::string::npos);

  const CliRun no_r = run({"inventory", PathToUtf8(Src())});
  EXPECT_EQ(no_r.status, 2);
  EXPECT_NE(no_r.err.find("is a folder: add -r"), std::string::npos) << no_r.err;

  const CliRun dry = run({"convert", "--dry-run", "-r", "--type", "jwc", PathToUtf8(Src())});
  EXPECT_EQ(dry.status, 0) << dry.out << dry.err;
  EXPECT_NE(dry.out.find("top.jwc"), std::string::npos) << dry.out;
  EXPECT_EQ(dry.out.find(".jww"), std::string::npos) << dry.out;
  EXPECT_NE(dry.out.find("1 read, 0 skipped, 0 failed"), std::string::npos) << dry.out;
  const CliRun dry_all = run({"convert", "--dry-run", "--recursive", PathToUtf8(Src())});
  EXPECT_EQ(dry_all.status, 1);
  EXPECT_NE(dry_all.out.find("1 failed"), std::string::npos) << dry_all.out;
  EXPECT_TRUE(TreeSnapshot(scratch_ / "out").empty());
}

TEST_F(CliTreeTest, HiddenEntriesAndLinksToFoldersArePassedOver) {
  fs::create_directories(Src() / "plans");
  WriteBytes(Src() / "plans" / "a.jww", testing::EmptyJww(600));
#ifdef _WIN32
  // Hidden on Windows is an attribute, not a name.
  WriteBytes(Src() / "hidden.jww", testing::EmptyJww(600));
  SetFileAttributesW((Src() / "hidden.jww").c_str(), FILE_ATTRIBUTE_HIDDEN);
#else
  fs::create_directories(Src() / ".cache");
  WriteBytes(Src() / ".cache" / "b.jww", testing::EmptyJww(600));
  WriteBytes(Src() / ".hidden.jww", testing::EmptyJww(600));
  fs::create_directory_symlink(Src(), Src() / "plans" / "back-up");  // a loop
  fs::create_directory_symlink(scratch_ / "out", Src() / "elsewhere");
#endif
  const CliRun run = Convert({"-r", PathToUtf8(Src())});
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_EQ(TreeSnapshot(scratch_ / "out"),
            (FolderSnapshot{{"plans/a.jww", testing::EmptyJww(600)}}));
}

TEST_F(CliTreeTest, TypesLimitWhatATreeGives) {
  BuildTree();
  const CliRun run = Convert({"-r", "--type", "jwk,JWS", PathToUtf8(Src())});
  EXPECT_EQ(run.status, 0) << run.out;
  FolderSnapshot converted = TreeSnapshot(scratch_ / "out");
  ASSERT_EQ(converted.size(), 2u);
  EXPECT_TRUE(converted.count("平面図/一階/details/part.jwk"));
  EXPECT_EQ(Convert({"-r", "--type", "dxf", PathToUtf8(Src())}).status, 2);
  EXPECT_EQ(Convert({"-j", "0", PathToUtf8(Src())}).status, 2);
}

TEST_F(CliTreeTest, JsonGivesAnObjectPerFileAndTheSummary) {
#ifdef _WIN32
  const fs::path odd = Src() / fs::path(u8"図面 \u2460.jww");  // no quote in a Windows name
  const std::string odd_json = "図面 \u2460.jww";
#else
  const fs::path odd = Src() / "say \"hi\"\\.jww";
  const std::string odd_json = "say \\\"hi\\\"\\\\.jww";
#endif
  WriteBytes(Src() / "a.jww", testing::EmptyJww(600));
  WriteBytes(odd, "not a drawing\n");
  WriteBytes(Src() / "notes.txt", "n");
  const CliRun run = Convert(
      {"--json", PathToUtf8(Src() / "a.jww"), PathToUtf8(odd), PathToUtf8(Src() / "notes.txt")},
      false);
  EXPECT_EQ(run.status, 0);
  std::istringstream lines(run.out);
  std::vector<std::string> objects;
  for (std::string line; std::getline(lines, line);) {
    objects.push_back(line);
  }
  ASSERT_EQ(objects.size(), 4u) << run.out;
  EXPECT_EQ(objects[0].rfind(
                "{\"source\":" + Json(PathToUtf8(Src() / "a.jww")).dump() +
                    ",\"destination\":" + Json(PathToUtf8(scratch_ / "out" / "a.jww")).dump() + ",",
                0),
            0u)
      << objects[0];
  EXPECT_NE(objects[0].find("\"outcome\":\"converted\",\"reason\":\"\",\"bytes\":" +
                            std::to_string(testing::EmptyJww(600).size())),
            std::string::npos)
      << objects[0];
  EXPECT_NE(objects[0].find("\"milliseconds\":"), std::string::npos);
  EXPECT_NE(objects[1].find(odd_json + "\",\"destination\""), std::string::npos) << objects[1];
  EXPECT_NE(objects[1].find("\"outcome\":\"skipped\",\"reason\":\"not a JWW file (no JWW "
                            "signature)\",\"bytes\":0"),
            std::string::npos)
      << objects[1];
  EXPECT_EQ(objects[3].rfind("{\"summary\":{\"converted\":1,\"skipped\":2,\"failed\":0,"
                             "\"not_done\":0,\"seconds\":",
                             0),
            0u)
      << objects[3];
  EXPECT_NE(objects[3].find("\"stopped\":false}}"), std::string::npos);
  EXPECT_NE(objects[0].find(",\"backup\":null}"), std::string::npos) << objects[0];

  // Converted again: the earlier output's backup is named.
  const CliRun again = Convert({"--json", PathToUtf8(Src() / "a.jww")}, false);
  EXPECT_NE(
      again.out.find(",\"backup\":" + Json(PathToUtf8(scratch_ / "out" / "a.BAK")).dump() + "}\n"),
      std::string::npos)
      << again.out;
}

// Files 1 and 2 write one output, and both end while file 0 is still in hand: each line waits
// for file 0, and by then file 2 has replaced file 1's output. Each line gives the size its own
// file had when it ended.
TEST(ConvertReportTest, ALineWaitingForItsTurnGivesTheSizeOfItsOwnOutput) {
  ScratchFolder folder;
  const fs::path shared = folder / "a.jww";
  const BatchJob first{folder / "in0.jww", folder / "b.jww", {}};
  const BatchJob second{folder / "in1.jww", shared, {}};
  const BatchJob third{folder / "in2" / "a.jww", shared, {}};
  FileOutcome converted;
  converted.kind = OutcomeKind::kConverted;
  std::ostringstream out;
  std::ostringstream err;
  ConvertReport report(out, err, /*json=*/true, /*progress=*/false, 3);
  WriteBytes(shared, std::string(10, 'x'));
  report.Finished(1, second, converted);
  WriteBytes(shared, std::string(25, 'y'));
  report.Finished(2, third, converted);
  EXPECT_EQ(out.str(), "");
  WriteBytes(folder / "b.jww", std::string(4, 'z'));
  report.Finished(0, first, converted);
  std::istringstream lines(out.str());
  std::vector<std::uint64_t> sizes;
  for (std::string line; std::getline(lines, line);) {
    sizes.push_back(Json::parse(line)["bytes"].get<std::uint64_t>());
  }
  EXPECT_EQ(sizes, (std::vector<std::uint64_t>{4, 10, 25}));
}

#ifndef _WIN32
// Archives unpacked from Windows keep Shift-JIS names on Linux. Both JSON outputs read them as
// Shift-JIS, part by part (the UTF-8 folder above stays as it is), and a name that neither
// reads still leads a script to its file through its bytes.
TEST_F(CliTreeTest, JsonReadsShiftJisNamesAndGivesTheBytesOfUnreadableOnes) {
  const fs::path folder = Src() / fs::path(u8"平面図");
  fs::create_directory(folder);
  const std::string plan = "\x90\x7D\x96\xCA.jww";  // 図面.jww
  const std::string unreadable = "\x82\xFF.jww";    // a lead byte and a byte of neither
  WriteBytes(folder / plan, testing::EmptyJww(600));
  WriteBytes(folder / unreadable, testing::EmptyJww(600));
  const std::string in = PathToUtf8(folder) + "/";
  const std::string out = PathToUtf8(scratch_ / "out") + "/";
  auto hex = [](const std::string& bytes) {
    std::string text;
    for (unsigned char byte : bytes) {
      text += "0123456789abcdef"[byte >> 4];
      text += "0123456789abcdef"[byte & 15];
    }
    return text;
  };
  const std::string read_plan = "図面.jww";
  const std::string read_unreadable = "\uFFFD\uFFFD.jww";

  const CliRun convert = Convert({"--json", in + plan, in + unreadable}, false);
  EXPECT_EQ(convert.status, 0) << convert.out << convert.err;
  std::istringstream lines(convert.out);
  std::vector<Json> objects;
  for (std::string line; std::getline(lines, line);) {
    objects.push_back(Json::parse(line));  // throws on bytes that are not UTF-8
  }
  ASSERT_EQ(objects.size(), 3u) << convert.out;
  EXPECT_EQ(objects[0]["source"], in + read_plan);
  EXPECT_EQ(objects[0]["destination"], out + read_plan);
  EXPECT_FALSE(objects[0].contains("source_bytes"));
  EXPECT_EQ(objects[1]["source"], in + read_unreadable);
  EXPECT_EQ(objects[1]["source_bytes"], hex(in + unreadable));
  EXPECT_EQ(objects[1]["destination_bytes"], hex(out + unreadable));
  EXPECT_EQ(objects[1]["outcome"], "converted");

  std::ostringstream inventory_out;
  std::ostringstream inventory_err;
  EXPECT_EQ(RunCli({"inventory", "-r", "--json", PathToUtf8(Src())}, inventory_out, inventory_err,
                   formats_),
            0)
      << inventory_err.str();
  const Json inventory = Json::parse(inventory_out.str());
  std::map<std::string, Json> files;
  for (const Json& file : inventory["files"]) {
    files[file["file"].get<std::string>()] = file;
  }
  ASSERT_EQ(files.count(in + read_plan), 1u) << inventory_out.str();
  ASSERT_EQ(files.count(in + read_unreadable), 1u) << inventory_out.str();
  EXPECT_FALSE(files[in + read_plan].contains("file_bytes"));
  EXPECT_EQ(files[in + read_unreadable]["file_bytes"], hex(in + unreadable));
}
#endif

}  // namespace
}  // namespace penmorph
