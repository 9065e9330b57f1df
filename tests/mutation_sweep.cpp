// Mutation sweep: takes files of every format (built by the test builders, and the samples when
// a folder of them is given), cuts each at many lengths and flips random bits and bytes in it,
// and converts every mutant through the batch driver into a folder that holds an earlier output
// and backup. Each case must end converted or with a reason, and leave the destination holding
// only complete files: the old ones untouched, or a new output that reads back.
//
//   penmorph-mutation-sweep [--cases N] [--seed S] [--samples DIR]
//
// Prints the cases run and how they ended; exit status 1 when any case broke a rule.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "convert/batch_converter.h"
#include "dos_test_files.h"
#include "formats/standard_formats.h"
#include "jw_test_bytes.h"

namespace fs = std::filesystem;
using namespace penmorph;

namespace {

struct Base {
  std::string name;  // the extension picks the format
  std::string bytes;
};

class SilentUi : public ConversionObserver {
 public:
  void Converting(const fs::path&, const fs::path&) override {}
};

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::vector<Base> BuiltFiles() {
  testing::JwcFile drawing;
  drawing.lines = testing::LinesOfEveryPenAndLineType();
  drawing.arcs = {testing::ArcRecordBytes(10000, 0, 360 << 16, 0, 1, 2)};
  drawing.points = {testing::PointRecordBytes(3)};
  drawing.texts = {"text", "^@BM%temp%pic.bmp,1,1"};
  testing::JwkFile symbol;
  symbol.lines = {testing::LineRecordBytes(1, 1)};
  symbol.points = {testing::PointRecordBytes(2)};
  symbol.texts = {"sym", ""};
  return {{"image.jww", testing::JwwWithImage()},
          {"empty351.jww", testing::EmptyJww(351)},
          {"line.jws", testing::JwsWithOneLine(351)},
          {"drawing.jwc", drawing.Bytes()},
          {"symbol.jwk", symbol.Bytes()}};
}

std::vector<Base> Samples(const fs::path& folder) {
  std::vector<Base> samples;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    std::string extension = entry.path().extension().string();
    for (char& c : extension) {
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (extension == ".JWW" || extension == ".JWS" || extension == ".JWC" || extension == ".JWK") {
      samples.push_back({"sample" + extension, ReadFile(entry.path())});
    }
  }
  return samples;
}

// One mutant of `bytes`: cut, bits flipped, bytes overwritten, or a piece repeated.
std::string Mutate(const std::string& bytes, std::size_t index, std::mt19937_64& random) {
  std::string mutant = bytes;
  auto offset = [&] {
    return std::uniform_int_distribution<std::size_t>(
        0, mutant.empty() ? 0 : mutant.size() - 1)(random);
  };
  switch (index % 4) {
    case 0: {  // cut: evenly spread lengths first, then random ones
      std::size_t length = index / 4 < 64 ? bytes.size() * (index / 4) / 64 : offset();
      mutant.resize(length);
      break;
    }
    case 1: {  // 1 to 8 bit flips
      int flips = std::uniform_int_distribution<int>(1, 8)(random);
      for (int i = 0; i < flips && !mutant.empty(); ++i) {
        mutant[offset()] ^= static_cast<char>(1 << (random() % 8));
      }
      break;
    }
    case 2: {  // a run of bytes set to an extreme
      static constexpr char kValues[] = {'\0', '\xFF', '\x7F', '\x80'};
      std::size_t at = offset();
      std::size_t run = std::uniform_int_distribution<std::size_t>(1, 8)(random);
      for (std::size_t i = at; i < at + run && i < mutant.size(); ++i) {
        mutant[i] = kValues[random() % 4];
      }
      break;
    }
    default: {  // a piece of the file repeated in place
      std::size_t at = offset();
      std::size_t run = std::uniform_int_distribution<std::size_t>(1, 64)(random);
      mutant.insert(at, mutant.substr(at, run));
      break;
    }
  }
  return mutant;
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t cases = 2000;
  std::uint64_t seed = std::random_device{}();
  fs::path samples;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string option = argv[i];
    if (option == "--cases") {
      cases = std::strtoull(argv[i + 1], nullptr, 10);
    } else if (option == "--seed") {
      seed = std::strtoull(argv[i + 1], nullptr, 10);
    } else if (option == "--samples") {
      samples = argv[i + 1];
    } else {
      std::cerr << "usage: penmorph-mutation-sweep [--cases N] [--seed S] [--samples DIR]\n";
      return 2;
    }
  }
  std::vector<Base> bases = BuiltFiles();
  if (!samples.empty()) {
    for (Base& sample : Samples(samples)) {
      bases.push_back(std::move(sample));
    }
  }

  const fs::path scratch = fs::temp_directory_path() / ("penmorph-sweep-" + std::to_string(seed));
  const fs::path source = scratch / "src";
  const fs::path destination = scratch / "dst";
  fs::create_directories(source);
  fs::create_directories(destination);

  FormatRegistry formats = MakeStandardFormats();
  ConversionTables tables;
  SilentUi ui;
  RealFileSystem files;
  std::mt19937_64 random(seed);
  std::map<OutcomeKind, std::size_t> ended;
  std::size_t broken = 0;
  auto fail = [&](std::size_t index, const Base& base, const std::string& what) {
    ++broken;
    std::cerr << "case " << index << " (" << base.name << ", seed " << seed << "): " << what
              << "\n";
  };

  for (std::size_t index = 0; index < cases; ++index) {
    const Base& base = bases[index % bases.size()];
    const std::string mutant = Mutate(base.bytes, index / bases.size(), random);
    const fs::path output = destination / base.name;
    const fs::path backup = BackupPath(output);
    fs::remove_all(destination);
    fs::create_directory(destination);
    WriteFile(source / base.name, mutant);
    WriteFile(output, "old output");
    WriteFile(backup, "older backup");

    BatchConverter converter(formats, tables, ui, files);
    FileOutcome outcome = converter.ConvertFile(source / base.name, output);
    ++ended[outcome.kind];
    if (outcome.kind != OutcomeKind::kConverted && outcome.why.kind == ReasonKind::kNone) {
      fail(index, base, "an outcome other than converted without a reason");
    }
    std::size_t entries = 0;
    for (const auto& entry : fs::directory_iterator(destination)) {
      (void)entry;
      ++entries;
    }
    if (entries != 2) {
      fail(index, base, "the destination holds " + std::to_string(entries) + " files, not 2");
    }
    if (outcome.kind == OutcomeKind::kConverted) {
      const FileFormat* format = formats.FindForFile(base.name);
      auto in = ByteReader::OpenFile(output);
      Status reread = in.ok() ? format->Describe(in.value()).status() : in.status();
      if (!reread.ok()) {
        fail(index, base, "the output does not read back: " + reread.error().Describe());
      }
      if (ReadFile(backup) != "old output") {
        fail(index, base, "the backup is not the previous output");
      }
    } else if (ReadFile(output) != "old output" || ReadFile(backup) != "older backup") {
      fail(index, base, "a file that did not convert changed the destination");
    }
  }
  fs::remove_all(scratch);
  std::cout << cases << " mutants of " << bases.size() << " files (seed " << seed
            << "): " << ended[OutcomeKind::kConverted] << " converted, "
            << ended[OutcomeKind::kFailed] << " failed with a reason, "
            << ended[OutcomeKind::kSkipped] << " skipped with a reason; " << broken
            << " broke a rule\n";
  return broken == 0 ? 0 : 1;
}
