// Writes a small folder of example files for trying the converter: files of every kind the
// converter meets in a drawings folder. Every drawing here is built by this program itself.
//
//   penmorph-make-examples [--layers] FOLDER
//
// --layers adds layers.jww, a plan with hidden layers, for pictures of the preview.

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "common/byte_sink.h"
#include "example_jww.h"
#include "formats/dos/jwc_file.h"
#include "formats/dos/jwk_file.h"

namespace fs = std::filesystem;
using namespace penmorph;
using namespace penmorph::jw;

namespace {

bool WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  return static_cast<bool>(out);
}

LineRecord Line(std::uint8_t line_type, std::uint8_t pen) {
  LineRecord line;
  line.bytes[16] = line_type;
  line.bytes[17] = pen;
  return line;
}

// A drawing of two lines (pens 1 and 2, line types 1 and 2), a circle, a point and a text: the
// example settings swap the pens and turn line type 2 into 3.
DosRecords ExampleRecords(std::string text) {
  DosRecords records;
  records.lines = {Line(1, 1), Line(2, 2)};
  ArcRecord circle;
  circle.scaled = 1.0f;
  circle.fixed = {0.0f, 360.0f, 0.0f};
  circle.line_type = 1;
  circle.pen = 2;
  records.arcs = {circle};
  PointRecord point;
  point.bytes[9] = 1;
  records.points = {point};
  TMoji2 label;
  label.text = std::move(text);
  records.texts = {label};
  return records;
}

template <class Workspace, class Write>
bool WriteExample(const fs::path& path, Workspace& workspace, Write write) {
  VectorSink sink;
  ByteWriter out(sink);
  if (Status written = write(out, workspace); !written.ok()) {
    std::cerr << path.string() << ": " << written.error().Describe() << "\n";
    return false;
  }
  return WriteFile(path, std::string(sink.bytes().begin(), sink.bytes().end()));
}

bool WriteDosExamples(const fs::path& folder) {
  JwcWorkspace drawing;
  drawing.header.line0 = {std::string(kJwcMagic), "Penmorph example", "JWC drawing"};
  drawing.header.line3[JwcHeader::kHeapStart] = 0x60000;
  drawing.records = ExampleRecords("\x97\xe1\x90\x7d");  // "例図" in Shift-JIS
  drawing.layers[0].name = "layer 0";
  drawing.groups[0].name = "group 0";
  JwkWorkspace symbol;
  symbol.header.line0 = {std::string(kJwkMagic), "Penmorph example", "JWK symbol"};
  symbol.records = ExampleRecords("symbol");
  return WriteExample(folder / "example.jwc", drawing, JwcWrite) &&
         WriteExample(folder / "example.jwk", symbol, JwkWrite);
}

}  // namespace

int main(int argc, char** argv) {
  const bool layers = argc == 3 && std::string(argv[1]) == "--layers";
  if (argc != 2 && !layers) {
    std::cerr << "usage: penmorph-make-examples [--layers] FOLDER\n";
    return 2;
  }
  fs::path folder(argv[argc - 1]);
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) {
    std::cerr << "cannot create " << folder.string() << ": " << ec.message() << "\n";
    return 1;
  }
  bool ok = true;
  // Files that sit in drawing folders but are not drawings: the converter passes them over.
  ok &= WriteFile(folder / "readme.txt", "Example drawings for Penmorph.\n");
  ok &= WriteFile(folder / "not-a-drawing.jww", "This file only carries a drawing's extension.\n");
  // Drawings of each format, built by the converter's own code.
  std::string room = penmorph::examples::ExampleJwwDrawing();
  ok &= !room.empty() && WriteFile(folder / "room.jww", room);
  std::string chair = penmorph::examples::ExampleJwsSymbol();
  ok &= !chair.empty() && WriteFile(folder / "chair.jws", chair);
  ok &= WriteDosExamples(folder);
  if (layers) {
    std::string plan = penmorph::examples::ExampleLayeredDrawing();
    ok &= !plan.empty() && WriteFile(folder / "layers.jww", plan);
  }
  if (!ok) {
    std::cerr << "cannot write the example files into " << folder.string() << "\n";
    return 1;
  }
  std::cout << "example files written to " << folder.string() << "\n";
  return 0;
}
