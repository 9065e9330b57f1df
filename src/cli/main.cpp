#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "convert/standard_formats.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  penmorph::FormatRegistry formats = penmorph::MakeStandardFormats();
  return penmorph::RunCli(args, std::cout, std::cerr, formats);
}
