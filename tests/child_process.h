#pragma once

// Starting, killing and waiting for programs in tests, the same way on Linux (fork and exec,
// SIGKILL) and Windows (CreateProcess, TerminateProcess).

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace penmorph::testing {

class ChildProcess {
 public:
  // Starts args[0] with the rest as its arguments (UTF-8), its output written to
  // `output_file` or thrown away, and the system's temporary folder set to `temporary` when
  // one is given (a killed run cannot remove the folder of images it made).
  ChildProcess(const std::vector<std::string>& args, const std::filesystem::path& output_file = {},
               const std::filesystem::path& temporary = {});
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Ends the program at once, as a power cut or the task manager would; true when that ended
  // it, false when it had finished already.
  bool Kill();
  // Ctrl+C: SIGINT on Linux; on Windows the console's Ctrl+C event.
  void Interrupt();
  // Its exit status, once it has ended; -1 when it did not end normally or did not start.
  int Wait();

 private:
#ifdef _WIN32
  void* process_ = nullptr;
#else
  int pid_ = -1;
#endif
  bool waited_ = false;
  int status_ = -1;
};

// Runs a program to its end; its exit status.
int RunProgram(const std::vector<std::string>& args, const std::filesystem::path& output_file = {},
               const std::filesystem::path& temporary = {});

void SleepFor(std::chrono::microseconds delay);

}  // namespace penmorph::testing
