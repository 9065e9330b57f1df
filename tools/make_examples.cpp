// Writes a small folder of example files for trying the converter: files of every kind the
// converter meets in a drawings folder. Every drawing here is built by this program itself.
//
//   penmorph-make-examples FOLDER

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "example_jww.h"

namespace fs = std::filesystem;

namespace {

bool WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: penmorph-make-examples FOLDER\n";
    return 2;
  }
  fs::path folder(argv[1]);
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
  if (!ok) {
    std::cerr << "cannot write the example files into " << folder.string() << "\n";
    return 1;
  }
  std::cout << "example files written to " << folder.string() << "\n";
  return 0;
}
