// Every JWW drawing written by jw_cad that the samples folder holds: converted with empty
// tables, each byte of the output must be explained by the written rules, reading the output
// must give back what was written, and a second conversion must change nothing.

#include <gtest/gtest.h>

#include <filesystem>

#include "cli/reason_text.h"
#include "convert/batch_converter.h"
#include "fakes.h"
#include "formats/standard_formats.h"
#include "jw_test_bytes.h"
#include "jww_expectation.h"
#include "test_support.h"

namespace penmorph::jw {
namespace {

namespace fs = std::filesystem;
using testing::FirstDifference;
using testing::IsOk;
using testing::ReadBytes;

std::string Converted(JwwWorkspace& workspace) {
  EXPECT_TRUE(IsOk(JwwRemap(workspace, JwwConvSettings{})));
  return testing::WriteJwwBytes(workspace);
}

TEST(JwwSamples, EveryByteOfTheOutputIsExplained) {
  std::vector<fs::path> samples = testing::SampleFiles(".jww");
  if (samples.empty()) {
    GTEST_SKIP() << "no samples folder at " << PENMORPH_SAMPLES_DIR;
  }
  for (const fs::path& file : samples) {
    SCOPED_TRACE(file.filename().string());
    const std::string source = ReadBytes(file);

    // The read keeps every byte: written as read, the file comes back whole.
    JwwWorkspace as_read;
    auto in = ByteReader::OpenFile(file);
    ASSERT_TRUE(IsOk(in));
    ASSERT_TRUE(IsOk(JwwRead(in.value(), as_read)));
    EXPECT_TRUE(in->at_end()) << in->remaining() << " bytes after the last section";
    EXPECT_EQ(FirstDifference(source, testing::WriteJwwBytesAsRead(as_read)), "");

    // The conversion's output is exactly the source with the rules applied to its fields.
    JwwWorkspace converted;
    ASSERT_TRUE(IsOk(JwwRead(file, converted)));
    const std::string output = Converted(converted);
    ASSERT_EQ(output.rfind("write failed", 0), std::string::npos) << output;
    ASSERT_TRUE(IsOk(JwwRemap(as_read, JwwConvSettings{})));
    testing::ApplyJwwWriteRules(as_read);
    EXPECT_EQ(FirstDifference(testing::WriteJwwBytesAsRead(as_read), output), "");

    // Read back, the output holds field by field what was written.
    JwwWorkspace again;
    ASSERT_TRUE(IsOk(testing::ReadJwwBytes(output, again)));
    EXPECT_TRUE(again.header == as_read.header);
    EXPECT_TRUE(again.entities == as_read.entities);
    EXPECT_TRUE(again.block_defs == as_read.block_defs);
    EXPECT_EQ(again.images, as_read.images);

    // Converting the output again gives the same bytes.
    EXPECT_EQ(FirstDifference(output, Converted(again)), "");
  }
}

TEST(JwwSamples, ConvertThroughTheBatchDriver) {
  std::vector<fs::path> samples = testing::SampleFiles(".jww");
  if (samples.empty()) {
    GTEST_SKIP() << "no samples folder at " << PENMORPH_SAMPLES_DIR;
  }
  testing::ScratchFolder out;
  FormatRegistry formats = MakeStandardFormats();
  ConversionTables tables;
  testing::FakeUi ui;
  RealFileSystem files;
  BatchConverter converter(formats, tables, ui, files);
  for (const fs::path& file : samples) {
    FileOutcome outcome = converter.ConvertFile(file, out / file.filename().string());
    EXPECT_EQ(outcome.kind, OutcomeKind::kConverted) << file << ": " << EnglishReason(outcome.why);
  }
  EXPECT_EQ(testing::Snapshot(out.path()).size(), samples.size());
}

TEST(JwwSamples, ACutSampleFailsCleanlyAtEveryLength) {
  fs::path file = fs::path(PENMORPH_SAMPLES_DIR) / "JwwHelperSample__template.jww";
  if (!fs::exists(file)) {
    GTEST_SKIP() << "sample not found: " << file;
  }
  const std::string bytes = ReadBytes(file);
  JwwWorkspace workspace;
  for (std::size_t length = 0; length < bytes.size(); ++length) {
    Status status = testing::ReadJwwBytes(bytes.substr(0, length), workspace);
    ASSERT_FALSE(status.ok()) << "cut at " << length;
  }
}

}  // namespace
}  // namespace penmorph::jw
