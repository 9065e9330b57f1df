// The memo column's cost: the memo of every file of a folder, read as the file list reads it,
// round after round with the files in the page cache; prints the time per file.
//
//   penmorph-bench-memo FOLDER [ROUNDS]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "common/path_text.h"
#include "convert/file_memo.h"
#include "formats/standard_formats.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: penmorph-bench-memo FOLDER [ROUNDS]\n";
    return 2;
  }
  const fs::path folder = penmorph::PathFromUtf8(argv[1]);
  const int rounds = argc > 2 ? std::stoi(argv[2]) : 20;
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      files.push_back(entry.path());
    }
  }
  const penmorph::FormatRegistry formats = penmorph::MakeStandardFormats();
  std::size_t shown = 0;
  for (const fs::path& file : files) {  // warms the page cache
    shown += penmorph::FileMemo(formats, file).text.empty() ? 0 : 1;
  }
  std::vector<double> per_file;
  for (int round = 0; round < rounds; ++round) {
    const auto start = std::chrono::steady_clock::now();
    for (const fs::path& file : files) {
      (void)penmorph::FileMemo(formats, file);
    }
    const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
    per_file.push_back(took.count() / static_cast<double>(files.size()));
  }
  std::sort(per_file.begin(), per_file.end());
  std::printf(
      "memo: %zu files (%zu with a memo), %d rounds: %.2f us per file (median; %.2f-%.2f)\n",
      files.size(), shown, rounds, per_file[per_file.size() / 2], per_file.front(),
      per_file.back());
  return 0;
}
