// Writes the seed corpora of the fuzz targets: files made by the project's own builders (the
// test-file builders and the example drawings), one folder per target, and, when a folder of
// sample drawings is given, the samples of each target's format beside them.
//
//   penmorph-fuzz-seeds OUT [SAMPLES]

#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "dos_test_files.h"
#include "example_jww.h"
#include "jw_test_bytes.h"
#include "preview_test_files.h"

namespace fs = std::filesystem;
using namespace penmorph::testing;

namespace {

using Corpus = std::vector<std::string>;

Corpus JwwSeeds() {
  Corpus seeds;
  for (int version : {220, 223, 225, 230, 300, 351, 420, 600, 700}) {
    seeds.push_back(EmptyJww(version));
  }
  seeds.push_back(JwwWithImage());
  seeds.push_back(penmorph::examples::ExampleJwwDrawing());
  return seeds;
}

Corpus JwsSeeds() {
  return {penmorph::examples::ExampleJwsSymbol(), JwsWithOneLine(230), JwsWithOneLine(351),
          JwsWithOneLine(600)};
}

Corpus JwcSeeds() {
  JwcFile plain;
  JwcFile full;
  full.lines = LinesOfEveryPenAndLineType();
  full.arcs = {ArcRecordBytes(10000, 0, 360 << 16, 0, 1, 2)};
  full.points = {PointRecordBytes(3)};
  full.texts = {"text", "", "^@BM%temp%pic.bmp,1,1"};
  JwcFile float_groups;
  float_groups.magic = "jw_cad(c)data.........f";
  float_groups.texts = {"a"};
  return {plain.Bytes(), full.Bytes(), float_groups.Bytes()};
}

Corpus JwkSeeds() {
  JwkFile plain;
  JwkFile full;
  full.lines = {LineRecordBytes(1, 1), LineRecordBytes(2, 6)};
  full.arcs = {ArcRecordBytes(10000, 0, 90 << 16, 0, 3, 4)};
  full.points = {PointRecordBytes(5)};
  full.texts = {"symbol", ""};
  return {plain.Bytes(), full.Bytes()};
}

Corpus IniSeeds() {
  return {
      "[JWW]\nC1=2\nC2=0\nL1=3\n[JWC]\nP1=2\nCT=1\n",
      "Set|FLD1|/home/user/drawings\n[Set]\nFLD1=/drawings\nFLD2=\"  spaced  \"\nFTYP=2\n",
      "[Form]\r\nF1_X=10\r\nF1_W=junk\r\n[Comp]\r\nF1S0=80\r\n;comment\r\n",
  };
}

bool WriteCorpus(const fs::path& folder, const Corpus& seeds) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  for (std::size_t i = 0; i < seeds.size(); ++i) {
    if (seeds[i].empty()) {
      std::cerr << "a builder gave no bytes for " << folder.string() << "\n";
      return false;
    }
    std::ofstream out(folder / ("seed-" + std::to_string(i)), std::ios::binary);
    out << seeds[i];
    if (!out) {
      return false;
    }
  }
  return true;
}

// Samples are linked, not copied: they belong to the samples folder.
void LinkSamples(const fs::path& folder, const fs::path& samples,
                 const std::vector<std::string>& extensions) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(samples, ec)) {
    std::string extension = entry.path().extension().string();
    for (char& c : extension) {
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    for (const std::string& wanted : extensions) {
      if (extension == wanted) {
        fs::create_symlink(fs::absolute(entry.path()),
                           folder / ("sample-" + entry.path().filename().string()), ec);
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::cerr << "usage: penmorph-fuzz-seeds OUT [SAMPLES]\n";
    return 2;
  }
  const fs::path out(argv[1]);
  struct Target {
    const char* name;
    Corpus seeds;
    std::vector<std::string> extensions;
  };
  const Corpus jww = JwwSeeds();
  const Corpus jwc = JwcSeeds();
  const Corpus jwk = JwkSeeds();
  // Every format and a drawing of every kind, with blocks, for the preview.
  Corpus all = jww;
  all.push_back(JwwOfEveryKind());
  for (const Corpus* more : {&jwc, &jwk}) {
    all.insert(all.end(), more->begin(), more->end());
  }
  const Corpus jws = JwsSeeds();
  all.insert(all.end(), jws.begin(), jws.end());
  const std::vector<Target> targets = {
      {"jww_read", jww, {".JWW"}},
      {"jww_header", jww, {".JWW"}},
      {"jws_read", JwsSeeds(), {".JWS"}},
      {"jwc_read", jwc, {".JWC"}},
      {"jwc_header", jwc, {".JWC"}},
      {"jwk_read", jwk, {".JWK"}},
      {"jwk_header", jwk, {".JWK"}},
      {"ini", IniSeeds(), {".INI", ".SET"}},
      {"preview", all, {".JWW", ".JWS", ".JWC", ".JWK"}},
  };
  for (const Target& target : targets) {
    if (!WriteCorpus(out / target.name, target.seeds)) {
      std::cerr << "cannot write the seeds of " << target.name << "\n";
      return 1;
    }
    if (argc == 3) {
      LinkSamples(out / target.name, argv[2], target.extensions);
    }
  }
  return 0;
}
