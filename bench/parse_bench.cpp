// The conversion's own cost, without the file system: every JWW and JWS file of a folder is
// held in memory and converted into memory, round after round, against a plain copy of the same
// bytes in the same round. As in the program, where a file is read into memory of its own or
// copied by the system, the conversion reads that copy and may change records in it as it goes.
// Prints the median ratio and the time per round.
//
//   penmorph-bench-parse FOLDER SETTINGS [ROUNDS]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "common/byte_reader.h"
#include "common/byte_sink.h"
#include "common/path_text.h"
#include "formats/standard_formats.h"
#include "settings/settings_store.h"

namespace fs = std::filesystem;

namespace {

struct Held {
  const penmorph::FileFormat* format = nullptr;
  std::vector<std::uint8_t> bytes;
};

// Where the product's file sink would call the system: the writer fills a lent buffer, as it
// does for a file, and the bytes are only counted.
class CountingSink : public penmorph::ByteSink {
 public:
  penmorph::Status Write(std::span<const std::uint8_t> bytes) override {
    written_ += bytes.size();
    return penmorph::Status::Ok();
  }
  std::span<std::uint8_t> LentBuffer() override { return buffer_; }

 private:
  std::vector<std::uint8_t> buffer_ = std::vector<std::uint8_t>(1 << 20);
  std::size_t written_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: penmorph-bench-parse FOLDER SETTINGS [ROUNDS]\n";
    return 2;
  }
  const int rounds = argc > 3 ? std::stoi(argv[3]) : 20;
  penmorph::ConversionTables tables;
  if (!penmorph::OpenSettingsFile(penmorph::PathFromUtf8(argv[2]), tables).ok()) {
    std::cerr << "penmorph-bench-parse: the settings file cannot be read\n";
    return 1;
  }
  const penmorph::FormatRegistry formats = penmorph::MakeStandardFormats();
  std::vector<Held> files;
  std::size_t total = 0;
  for (const auto& entry : fs::directory_iterator(penmorph::PathFromUtf8(argv[1]))) {
    const penmorph::FileFormat* format =
        formats.FindForFile(penmorph::PathToUtf8(entry.path().filename()));
    if (!entry.is_regular_file() || format == nullptr || !format->Traits().patches_in_place) {
      continue;
    }
    std::ifstream in(entry.path(), std::ios::binary);
    Held held{format, {std::istreambuf_iterator<char>(in), {}}};
    total += held.bytes.size();
    files.push_back(std::move(held));
  }
  CountingSink sink;
  std::vector<std::uint8_t> copy(total);
  std::vector<double> ratios, took;
  std::size_t failed = 0;
  for (int round = 0; round < rounds; ++round) {
    auto start = std::chrono::steady_clock::now();
    std::size_t at = 0;
    for (const Held& held : files) {
      std::memcpy(copy.data() + at, held.bytes.data(), held.bytes.size());
      at += held.bytes.size();
    }
    const std::chrono::duration<double> copied = std::chrono::steady_clock::now() - start;
    start = std::chrono::steady_clock::now();
    at = 0;
    for (const Held& held : files) {
      penmorph::ByteReader in =
          penmorph::ByteReader::FromWritableMemory({copy.data() + at, held.bytes.size()});
      at += held.bytes.size();
      failed += held.format->Convert(in, tables, sink).ok() ? 0 : 1;
    }
    const std::chrono::duration<double> converted = std::chrono::steady_clock::now() - start;
    ratios.push_back(converted.count() / copied.count());
    took.push_back(converted.count());
  }
  std::sort(ratios.begin(), ratios.end());
  std::sort(took.begin(), took.end());
  std::printf(
      "parse: %zu files, %zu bytes, %d rounds: %.3f ms per round, %.1f times a copy "
      "(medians)%s\n",
      files.size(), total, rounds, took[took.size() / 2] * 1e3, ratios[ratios.size() / 2],
      failed != 0 ? ", some failed" : "");
  return failed != 0 ? 1 : 0;
}
