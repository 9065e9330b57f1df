// penmorph-cli on Linux: the arguments are the file system's own bytes already.

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "formats/standard_formats.h"

namespace {

// The one thing a signal handler may touch; read between files.
std::atomic<bool> stop_requested{false};

void RequestStop(int) {
  stop_requested = true;
}

// Ctrl+C lets the file in hand finish; a second Ctrl+C ends the program at once (SA_RESETHAND
// puts the default action back), which the atomic output makes safe too.
void StopOnInterrupt() {
  struct sigaction action {};
  action.sa_handler = RequestStop;
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  StopOnInterrupt();
  std::vector<std::string> args(argv + 1, argv + argc);
  penmorph::FormatRegistry formats = penmorph::MakeStandardFormats();
  penmorph::CliContext context;
  context.stop = &stop_requested;
  context.progress = isatty(STDERR_FILENO) != 0;
  context.language = penmorph::UserLanguage();
  return penmorph::RunCli(args, std::cout, std::cerr, formats, context);
}
