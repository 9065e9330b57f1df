#pragma once

// The conversion while reading against the workspace (read whole, remap, write): for every input
// and a few tables, the same bytes, or both fail. The stream is read from memory and from a file
// through the smallest buffer, so that records cross refills and long ones outgrow the buffer,
// and written over a copy of the input, changed in place, unless the layouts part.

#include <algorithm>
#include <filesystem>
#include <span>
#include <vector>

#include "common/byte_reader.h"
#include "common/conversion_status.h"
#include "common/file_system.h"
#include "common/patch_sink.h"
#include "fuzz_support.h"
#include "settings/conv_settings.h"

namespace penmorph::fuzz {

// No conversion; every standard colour and line type moved, every option on; that with half
// the layers moved within their groups, a layer renamed and one moved into another group
// (which fails wherever the two groups' scales differ); and with pen 3 made the own colour.
inline std::vector<ConversionTables> StreamTables() {
  JwwConvSettings every;
  for (int entry = 1; entry <= 9; ++entry) {
    every.SetEntry(entry, entry % 9 + 1);
  }
  for (int entry = 266; entry <= 274; ++entry) {
    every.SetEntry(entry, (entry - 265) % 9 + 1);
  }
  for (int option = 315; option <= 321; ++option) {
    every.SetEntry(option, 1);
  }
  ConversionTables layers;
  layers.jww = every;
  for (int index = 0; index < kLayerCount; index += 2) {
    layers.layers.SetTarget(index, LayerAddress::FromIndex(index ^ 0x0F));
  }
  layers.layers.SetTarget(LayerAddress{1, 1}.Index(), LayerAddress{2, 1});
  layers.layers.SetLayerName(LayerAddress{0, 1}.Index(), "\xE5\xA3\x81");  // 壁
  ConversionTables colors;
  colors.jww = every;
  // A pen turned into the own-colour code: solids of it gain a colour the file does not hold.
  ConversionTables own_color = colors;
  own_color.jww.SetEntry(3, 10);
  return {ConversionTables{}, colors, layers, own_color};
}

// `workspace(data, tables, bytes)` gives the workspace's status and output; `stream(reader,
// tables, sink)` converts while reading.
template <class WorkspacePath, class StreamPath>
void CompareStreaming(std::span<const std::uint8_t> data, WorkspacePath workspace,
                      StreamPath stream) {
  static const std::filesystem::path file = [] {
    auto folder = TemporaryFolder();
    return (folder.ok() ? folder.value() : std::filesystem::path(".")) /
           ("penmorph-fuzz-stream-" + std::to_string(CurrentProcessId()));
  }();
  if (std::FILE* out = OpenFile(file, "wb")) {
    std::fwrite(data.data(), 1, data.size(), out);
    std::fclose(out);
  }
  for (const ConversionTables& table : StreamTables()) {
    std::vector<std::uint8_t> expected;
    const Status whole = workspace(data, table, expected);
    auto check = [&](ByteReader& in, std::string_view how) {
      VectorSink sink;
      const ConversionStatus streamed = stream(in, table, sink);
      if (whole.ok() != streamed.ok()) {
        Finding(std::string("the conversion while reading ") + std::string(how) +
                    (whole.ok() ? " failed where the workspace did not"
                                : " succeeded where the workspace failed"),
                whole.ok() ? streamed.error() : whole.error());
      }
      if (whole.ok() && sink.bytes() != expected) {
        Finding(std::string("the conversion while reading ") + std::string(how) +
                " gives other bytes than the workspace");
      }
    };
    ByteReader memory = ByteReader::FromMemory(data);
    check(memory, "from memory");
    std::vector<std::uint8_t> own(data.begin(), data.end());
    ByteReader writable = ByteReader::FromWritableMemory(own);
    check(writable, "from memory it may change");
    std::vector<std::uint8_t> copy(data.begin(), data.end());
    ByteReader image = ByteReader::FromMemory(copy);
    PatchSink patched(copy, image);
    const ConversionStatus in_place = stream(image, table, patched);
    if (!patched.diverged()) {
      if (whole.ok() != in_place.ok()) {
        Finding(whole.ok() ? "the conversion over a copy failed where the workspace did not"
                           : "the conversion over a copy succeeded where the workspace failed",
                whole.ok() ? in_place.error() : whole.error());
      }
      if (whole.ok() && (patched.length() != expected.size() ||
                         !std::equal(expected.begin(), expected.end(), copy.begin()))) {
        Finding("the conversion over a copy gives other bytes than the workspace");
      }
    }
    auto from_file = ByteReader::OpenFile(file, 0);  // the smallest buffer there is
    if (from_file.ok()) {
      check(from_file.value(), "from a file");
    }
  }
}

}  // namespace penmorph::fuzz
