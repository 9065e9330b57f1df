// Ctrl+C during a batch of `penmorph-cli convert`: the program ends the file in hand, prints the
// summary and exits with 130; every output is complete or untouched, and nothing is left over.

#include <gtest/gtest.h>

#include <chrono>

#include "child_process.h"
#include "common/file_system.h"
#include "common/path_text.h"
#include "dos_test_files.h"
#include "test_support.h"

namespace penmorph {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::Snapshot;
using testing::WriteBytes;

class CliInterrupt : public ::testing::TestWithParam<int> {};

TEST_P(CliInterrupt, StopsAfterTheFilesInHandWithTheSummaryAndStatus130) {
  ScratchFolder scratch;
  fs::create_directory(scratch / "src");
  fs::create_directory(scratch / "dst");
  testing::JwcFile drawing;
  drawing.lines = testing::LinesOfEveryPenAndLineType();
  const std::string bytes = drawing.Bytes();
  // Enough files that the run is still going when Ctrl+C arrives (and, on Windows, few enough
  // for the 32,767 characters a command line may have).
#ifdef _WIN32
  constexpr int kFiles = 400;
#else
  constexpr int kFiles = 3000;
#endif
  // In English whatever the user's language, for the message that the run was stopped.
  std::vector<std::string> args = {PENMORPH_CLI_PATH,
                                   "convert",
                                   "--lang",
                                   "en",
                                   "-j",
                                   std::to_string(GetParam()),
                                   "--dest",
                                   PathToUtf8(scratch / "dst")};
  const std::string first_file = PathToUtf8(scratch / "src" / "d0.jwc");
  for (int i = 0; i < kFiles; ++i) {
    const fs::path file = scratch / "src" / ("d" + std::to_string(i) + ".jwc");
    WriteBytes(file, bytes);
    args.push_back(PathToUtf8(file));
  }
  // What a conversion makes of the file, to compare the outputs with.
  fs::create_directory(scratch / "reference");
  ASSERT_EQ(testing::RunProgram({PENMORPH_CLI_PATH, "convert", "--dest",
                                 PathToUtf8(scratch / "reference"), first_file}),
            0);
  const std::string converted_bytes = ReadBytes(scratch / "reference" / "d0.jwc");
  const fs::path report = scratch / "report.txt";
  testing::ChildProcess child(args, report);
  // Strikes once the first file is through, so that the run is under way.
  auto printed_so_far = [&] { return fs::exists(report) ? ReadBytes(report) : std::string(); };
  for (int wait = 0; printed_so_far().find('\n') == std::string::npos && wait < 60000; ++wait) {
    testing::SleepFor(std::chrono::milliseconds(1));
  }
  child.Interrupt();
  ASSERT_EQ(child.Wait(), 130) << ReadBytes(report).substr(0, 400);

  const std::string printed = ReadBytes(report);
  int converted = 0;
  for (std::size_t at = 0; (at = printed.find("converted ", at)) != std::string::npos; ++at) {
    converted += printed.compare(at, 10, "converted ") == 0 && (at == 0 || printed[at - 1] == '\n');
  }
  EXPECT_GT(converted, 0);
  EXPECT_LT(converted, kFiles);
  EXPECT_NE(printed.find("\n" + std::to_string(converted) + " converted, 0 skipped, 0 failed\n"),
            std::string::npos)
      << printed.substr(printed.size() > 300 ? printed.size() - 300 : 0);
  EXPECT_NE(printed.find("stopped"), std::string::npos);
  // What was written is whole; what was not reached is not there; nothing else is.
  const auto outputs = Snapshot(scratch / "dst");
  EXPECT_EQ(outputs.size(), static_cast<std::size_t>(converted));
  for (const auto& [name, content] : outputs) {
    EXPECT_FALSE(name.starts_with(kTemporaryPrefix)) << name;
    EXPECT_EQ(content, converted_bytes) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(Workers, CliInterrupt, ::testing::Values(1, 4));

}  // namespace
}  // namespace penmorph
