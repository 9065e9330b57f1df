// The survey of an archive: its totals are the inventory's summed over the same files, layer
// names are counted once per file whatever their blanks and widths, and a file that cannot be
// read is named with its reason.

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "cli/cli_app.h"
#include "cli/preview_commands.h"
#include "cli/survey_command.h"
#include "formats/standard_formats.h"
#include "jw_test_bytes.h"
#include "layer_test_files.h"
#include "test_support.h"

namespace penmorph {
namespace {

namespace fs = std::filesystem;

// An archive: the samples when they are here, a drawing with named layers, a symbol and a
// drawing cut short.
struct Archive {
  testing::ScratchFolder scratch;
  Archive() {
    fs::create_directories(scratch / "平面図" / "旧");
    for (const char* extension : {".jww", ".jws", ".jwk", ".jwc"}) {
      for (const fs::path& sample : testing::SampleFiles(extension)) {
        fs::copy_file(sample, scratch / "平面図" / sample.filename());
      }
    }
    testing::WriteBytes(scratch / "平面図" / "layers.jww", testing::JwwOnLayers());
    testing::WriteBytes(scratch / "平面図" / "旧" / "layers.jww", testing::JwwOnLayers());
    testing::WriteBytes(scratch / "symbol.jws", testing::JwsWithOneLine(600));
    const std::string whole = testing::JwwOnLayers();
    testing::WriteBytes(scratch / "cut.jww", whole.substr(0, whole.size() / 2));
  }
};

nlohmann::json JsonOf(const fs::path& folder, bool survey) {
  const FormatRegistry formats = MakeStandardFormats();
  SourceSelection selection;
  selection.recursive = true;
  const std::vector<std::string> named = {folder.string()};  // the cursor keeps a reference
  SourceCursor files(named, selection, formats);
  std::ostringstream out;
  if (survey) {
    PrintSurvey(files, SurveyForm::kJson, out, formats);
  } else {
    PrintInventories(files, ConversionTables{}, true, out, formats);
  }
  return nlohmann::json::parse(out.str());
}

TEST(Survey, TotalsAreTheInventoriesSummedAndNamesCountOncePerFile) {
  Archive archive;
  const nlohmann::json survey = JsonOf(archive.scratch.path(), true);
  const nlohmann::json inventories = JsonOf(archive.scratch.path(), false);

  // Per family and label: parts, and the files that use it.
  using Totals = std::map<std::string, std::pair<std::uint64_t, std::uint64_t>>;
  for (const char* codes : {"colors", "line_types"}) {
    SCOPED_TRACE(codes);
    Totals expected;
    for (const auto& file : inventories["files"]) {
      const std::string format = file["format"];
      const std::string family = format == "JWC" || format == "JWK" ? "JWC/JWK" : "JWW/JWS";
      for (const auto& row : file["before"][codes]) {
        auto& [parts, files] = expected[family + " " + row["label"].get<std::string>()];
        parts += row["total"].get<std::uint64_t>();
        ++files;
      }
    }
    Totals surveyed;
    for (const auto& row : survey[codes]) {
      surveyed[row["family"].get<std::string>() + " " + row["label"].get<std::string>()] = {
          row["entities"], row["files"]};
    }
    EXPECT_EQ(surveyed, expected);
  }
  EXPECT_EQ(survey["files"], inventories["files"].size());

  // Every layer of the two built drawings is named "L": one name, in two files, at 256 layers.
  const auto& layers = survey["layers"];
  const auto named_l = std::find_if(layers.begin(), layers.end(),
                                    [](const auto& row) { return row["name"] == "L"; });
  ASSERT_NE(named_l, layers.end());
  EXPECT_EQ((*named_l)["files"], 2);
  EXPECT_EQ((*named_l)["addresses"].size(), 256u);
  EXPECT_EQ((*named_l)["entities"], 2 * 13);  // 0-1: 2, 0-2: 8, 0-3: 2, 0-6: 1 in each

  ASSERT_EQ(survey["unreadable"].size(), 1u);
  EXPECT_NE(survey["unreadable"][0]["file"].get<std::string>().find("cut.jww"), std::string::npos);
  EXPECT_FALSE(survey["unreadable"][0]["reason"].get<std::string>().empty());
}

TEST(Survey, LinesAndCsvSayTheSame) {
  Archive archive;
  const FormatRegistry formats = MakeStandardFormats();
  SourceSelection selection;
  selection.recursive = true;
  const std::vector<std::string> named = {archive.scratch.path().string()};
  auto print = [&](SurveyForm form) {
    SourceCursor files(named, selection, formats);
    std::ostringstream out;
    EXPECT_EQ(PrintSurvey(files, form, out, formats), kExitFileFailed);  // cut.jww
    return out.str();
  };
  const std::string lines = print(SurveyForm::kLines);
  EXPECT_NE(lines.find("  \"L\": 26 in 2, at 0-0, 0-1, "), std::string::npos) << lines;
  EXPECT_NE(lines.find("failed "), std::string::npos);
  const std::string csv = print(SurveyForm::kCsv);
  EXPECT_EQ(csv.substr(0, csv.find("\r\n")),
            "section,family,code,label,name,entities,files,layers");
  EXPECT_NE(csv.find("\r\nlayer name,,,,L,26,2,0-0 0-1 "), std::string::npos) << csv;
  EXPECT_NE(csv.find("\r\nformat,,,JWS,,,"), std::string::npos);
  EXPECT_NE(csv.find("\r\nunreadable,,,,"), std::string::npos);
}

}  // namespace
}  // namespace penmorph
