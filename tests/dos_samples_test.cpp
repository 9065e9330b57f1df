// Symbols written by jw_cad itself: each converts with all tables 0, reads back as the
// workspace it was written from, converts again to the same bytes, and differs from its
// source only where the writer's rules say it may.

#include <gtest/gtest.h>

#include <filesystem>

#include "dos_round_trip.h"
#include "formats/dos/dos_header.h"
#include "formats/dos/jwk_file.h"
#include "reference/dos_files.h"
#include "test_support.h"

namespace penmorph::jw {
namespace {

namespace fs = std::filesystem;

// Why byte `at` of the output may differ from the source; empty when nothing explains it.
std::string Explanation(const std::string& source, const std::string& output, std::size_t at,
                        const JwkWorkspace& read) {
  const auto& records = read.records;
  if (at >= 104 && at <= 198) {
    return output[at] == ' ' ? "line 0 after the memo becomes spaces" : "";
  }
  if (at >= 200 && at < 400) {
    // The numbers of line 1 are written anew: they must still say the same.
    HeaderValues before = ParseHeaderFields(source.substr(200, 200), kJwkLine1Types);
    HeaderValues after = ParseHeaderFields(output.substr(200, 200), kJwkLine1Types);
    return before == after ? "line 1 re-formatted with the same values" : "";
  }
  std::size_t offset = 400;
  offset += records.lines.size() * LineRecord::kSize;
  offset += records.arcs.size() * ArcRecord::kSize;
  offset += records.points.size() * PointRecord::kSize;
  // Pens and line types outside the known ranges become 1 even with all tables 0.
  auto out_of_range = [&](std::size_t start, std::size_t size, std::size_t count,
                          std::initializer_list<std::size_t> fields) {
    if (at < start || at >= start + size * count) {
      return false;
    }
    std::size_t field = (at - start) % size;
    return std::find(fields.begin(), fields.end(), field) != fields.end() && output[at] == 1;
  };
  std::size_t arcs = 400 + records.lines.size() * LineRecord::kSize;
  std::size_t points = arcs + records.arcs.size() * ArcRecord::kSize;
  if (out_of_range(400, LineRecord::kSize, records.lines.size(), {16, 17}) ||
      out_of_range(arcs, ArcRecord::kSize, records.arcs.size(), {26, 27}) ||
      out_of_range(points, PointRecord::kSize, records.points.size(), {9})) {
    return "a pen or line type outside the known ranges becomes 1";
  }
  if (at >= offset && at < offset + records.texts.size() * TMoji2::kSize) {
    std::size_t field = (at - offset) % TMoji2::kSize;
    const TMoji2& text = records.texts[(at - offset) / TMoji2::kSize];
    auto high = static_cast<std::uint32_t>(text.heap_address) >> 16;
    if ((field == 18 && static_cast<std::uint8_t>(output[at]) == (high & 0xFF)) ||
        (field == 19 && static_cast<std::uint8_t>(output[at]) == (high >> 8))) {
      return "bytes 18-19 of a text record hold the offset's high half";
    }
  }
  return "";
}

TEST(JwkSamples, ConvertWithAllTablesZeroChangingOnlyWhatTheRulesExplain) {
  std::vector<fs::path> samples = testing::SampleFiles(".jwk");
  if (samples.empty()) {
    GTEST_SKIP() << "no JWK samples in " << PENMORPH_SAMPLES_DIR;
  }
  for (const fs::path& sample : samples) {
    SCOPED_TRACE(sample.filename().string());
    const std::string source = testing::ReadBytes(sample);
    ASSERT_TRUE(JwkProbe(sample));
    JwkWorkspace read;
    ASSERT_TRUE(JwkRead(sample, read).ok());

    std::string output = testing::Convert<JwkWorkspace>(source);  // checks the read-back too
    EXPECT_EQ(testing::Convert<JwkWorkspace>(output), output) << "a second conversion differs";
    // jw_cad pads line 1 with the NUL, spaces and line feed the writer puts there too.
    ASSERT_EQ(output.size(), source.size());
    int unexplained = 0;
    for (std::size_t at = 0; at < source.size(); ++at) {
      if (source[at] != output[at] && Explanation(source, output, at, read).empty()) {
        ADD_FAILURE() << "byte " << at << " changed from " << int(std::uint8_t(source[at]))
                      << " to " << int(std::uint8_t(output[at])) << " without a rule for it";
        if (++unexplained == 20) {
          break;
        }
      }
    }
  }
}

}  // namespace
}  // namespace penmorph::jw
