// Times the preview of drawings: the display list (reading the file, placing the blocks,
// resolving the pens of both sides) and, for comparison, the inventory.
//
//   penmorph-bench-preview FILE...
//
// Each file is done five times; the best time is printed, so that a busy machine disturbs the
// figures less.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>

#include "common/path_text.h"
#include "convert/file_preview.h"
#include "formats/standard_formats.h"
#include "preview/display_list.h"

using namespace penmorph;

namespace {

template <class F>
double BestMilliseconds(F f) {
  double best = 1e300;
  for (int i = 0; i < 5; ++i) {
    const auto start = std::chrono::steady_clock::now();
    if (!f()) {
      return -1;
    }
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: penmorph-bench-preview FILE...\n";
    return 2;
  }
  const FormatRegistry formats = MakeStandardFormats();
  ConversionTables tables;
  tables.jww.SetEntry(2, 5);
  tables.jwc.SetEntry(1, 2);
  for (int i = 1; i < argc; ++i) {
    const auto file = PathFromUtf8(argv[i]);
    std::size_t primitives = 0;
    const double display_list = BestMilliseconds([&] {
      auto drawing = DrawFile(formats, file);
      if (!drawing.ok()) {
        std::cerr << argv[i] << ": " << drawing.error().Describe() << "\n";
        return false;
      }
      const preview::DisplayList before = preview::MakeDisplayList(
          drawing.value(), tables, preview::Side::kBefore, preview::Background::kWhite);
      const preview::DisplayList after = preview::MakeDisplayList(
          drawing.value(), tables, preview::Side::kAfter, preview::Background::kWhite);
      primitives = before.drawing->PrimitiveCount();
      return after.pens.size() == after.drawing->styles.size();
    });
    const double inventory =
        BestMilliseconds([&] { return InventoryOfFile(formats, file, tables).ok(); });
    if (display_list < 0 || inventory < 0) {
      return 1;
    }
    std::printf("%s: display list (both sides) %.1f ms for %zu primitives; inventory %.1f ms\n",
                argv[i], display_list, primitives, inventory);
  }
  return 0;
}
