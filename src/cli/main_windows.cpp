// penmorph-cli on Windows: the arguments arrive as UTF-16 and are passed on as UTF-8; what it
// prints goes to the console as UTF-16 or into a file or pipe as UTF-8.

#include <windows.h>

#include <atomic>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "cli/windows_console.h"
#include "common/windows_text.h"
#include "formats/standard_formats.h"

namespace {

// Set by the console's control handler, which runs on a thread of its own; read between files.
std::atomic<bool> stop_requested{false};

// Ctrl+C or Ctrl+Break lets the file in hand finish; pressed again, the default handler ends
// the program at once, which the atomic output makes safe too.
BOOL WINAPI RequestStop(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
    return FALSE;
  }
  return stop_requested.exchange(true) ? FALSE : TRUE;
}

penmorph::CliContext Context() {
  penmorph::CliContext context;
  context.stop = &stop_requested;
  DWORD mode = 0;
  context.progress = GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
  context.language = penmorph::UserLanguage();
  return context;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  SetConsoleCtrlHandler(RequestStop, TRUE);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    args.push_back(penmorph::WideToUtf8(argv[i]));
  }
  penmorph::ConsoleBuffer out_buffer(GetStdHandle(STD_OUTPUT_HANDLE));
  penmorph::ConsoleBuffer err_buffer(GetStdHandle(STD_ERROR_HANDLE));
  std::ostream out(&out_buffer);
  std::ostream err(&err_buffer);
  penmorph::FormatRegistry formats = penmorph::MakeStandardFormats();
  const int status = penmorph::RunCli(args, out, err, formats, Context());
  out.flush();
  err.flush();
  return status;
}
