// Two runs of `penmorph-cli convert` into one folder at the same moment, again and again: each
// run's start-up recovery leaves alone what the other is writing, so no file fails and every
// output is a complete conversion, with its backup.

#include <gtest/gtest.h>

#include "child_process.h"
#include "common/file_system.h"
#include "common/path_text.h"
#include "dos_test_files.h"
#include "jw_test_bytes.h"
#include "test_support.h"

namespace penmorph {
namespace {

namespace fs = std::filesystem;
using testing::ChildProcess;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::Snapshot;
using testing::WriteBytes;

TEST(ConcurrentRuns, TwoRunsIntoOneFolderLoseNothingAndFailNothing) {
  ScratchFolder scratch;
  fs::create_directory(scratch / "src");
  fs::create_directory(scratch / "dst");
  fs::create_directory(scratch / "reference");
  std::vector<std::string> args = {PENMORPH_CLI_PATH,          "convert", "-j", "2", "--dest",
                                   PathToUtf8(scratch / "dst")};
  testing::JwcFile drawing;
  drawing.lines = testing::LinesOfEveryPenAndLineType();
  for (int i = 0; i < 60; ++i) {
    const fs::path file = scratch / "src" / ("d" + std::to_string(i) + (i % 2 ? ".jwc" : ".jww"));
    WriteBytes(file, i % 2 ? drawing.Bytes() : testing::JwwWithImage());
    args.push_back(PathToUtf8(file));
  }
  std::vector<std::string> reference_args = args;
  reference_args[5] = PathToUtf8(scratch / "reference");
  ASSERT_EQ(testing::RunProgram(reference_args), 0);
  const testing::FolderSnapshot converted = Snapshot(scratch / "reference");

  for (int attempt = 0; attempt < 10; ++attempt) {
    ChildProcess first(args, scratch / "first.txt");
    ChildProcess second(args, scratch / "second.txt");
    EXPECT_EQ(first.Wait(), 0) << ReadBytes(scratch / "first.txt");
    EXPECT_EQ(second.Wait(), 0) << ReadBytes(scratch / "second.txt");
    // Each output converted; each backup a converted output too (the other run's, or the last
    // attempt's); nothing else.
    for (const auto& [name, bytes] : Snapshot(scratch / "dst")) {
      ASSERT_FALSE(name.starts_with(kTemporaryPrefix)) << "attempt " << attempt << ": " << name;
      const fs::path file(name);
      const std::string stem = file.stem().string();
      const std::string drawing_name = file.extension() != ".BAK"       ? name
                                       : converted.count(stem + ".jww") ? stem + ".jww"
                                                                        : stem + ".jwc";
      ASSERT_TRUE(converted.count(drawing_name)) << name;
      EXPECT_EQ(bytes, converted.at(drawing_name)) << "attempt " << attempt << ": " << name;
    }
    EXPECT_EQ(Snapshot(scratch / "dst").size(), 120u);  // 60 outputs, 60 backups
  }
}

}  // namespace
}  // namespace penmorph
