// Saves the two documents of the save-kill test in turn, to the file named on the command line,
// until it is killed. Before the first save it creates the file READY, so that the test can
// strike while saves run rather than while the program starts.

#include <cstdio>

#include "common/file_system.h"
#include "common/path_text.h"
#include "ini_kill_documents.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: penmorph-save-loop FILE READY\n");
    return 2;
  }
  const auto file = penmorph::PathFromUtf8(argv[1]);
  const penmorph::IniDocument first = penmorph::testing::IniKillDocument(1);
  const penmorph::IniDocument second = penmorph::testing::IniKillDocument(2);
  if (std::FILE* ready = penmorph::OpenFile(penmorph::PathFromUtf8(argv[2]), "wb")) {
    std::fclose(ready);
  }
  for (;;) {
    (void)second.Save(file);
    (void)first.Save(file);
  }
}
