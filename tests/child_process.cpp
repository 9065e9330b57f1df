#include "child_process.h"

#include <thread>

#include "common/path_text.h"

#ifdef _WIN32
#include <windows.h>

#include "common/windows_text.h"
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#endif

namespace penmorph::testing {

namespace fs = std::filesystem;

#ifdef _WIN32

namespace {

// One argument as CommandLineToArgvW reads it back: quotes around, backslashes before a quote
// doubled.
std::wstring Quoted(const std::wstring& arg) {
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, L'\\');
  return quoted + L"\"";
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& args, const fs::path& output_file,
                           const fs::path& temporary) {
  std::wstring command;
  for (const std::string& arg : args) {
    command += (command.empty() ? L"" : L" ") + Quoted(Utf8ToWide(arg));
  }
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE output = CreateFileW(output_file.empty() ? L"NUL" : output_file.c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = output;
  startup.hStdError = output;
  // The child inherits the environment: the temporary folder is set around its start.
  std::wstring old_tmp;
  if (!temporary.empty()) {
    wchar_t buffer[32768];
    DWORD length = GetEnvironmentVariableW(L"TMP", buffer, 32768);
    old_tmp.assign(buffer, length);
    SetEnvironmentVariableW(L"TMP", temporary.c_str());
  }
  // Wine under load has been seen to refuse a start now and then: a few tries before the test
  // hears of it (as the status -1).
  for (int attempt = 0; attempt < 3 && process_ == nullptr; ++attempt) {
    PROCESS_INFORMATION information{};
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &information)) {
      CloseHandle(information.hThread);
      process_ = information.hProcess;
    } else {
      Sleep(200);
    }
  }
  if (!temporary.empty()) {
    SetEnvironmentVariableW(L"TMP", old_tmp.empty() ? nullptr : old_tmp.c_str());
  }
  CloseHandle(output);
}

ChildProcess::~ChildProcess() {
  if (process_ != nullptr) {
    if (!waited_) {
      TerminateProcess(process_, 1);
      WaitForSingleObject(process_, INFINITE);
    }
    CloseHandle(process_);
  }
}

bool ChildProcess::Kill() {
  if (process_ == nullptr) {
    return false;
  }
  // An exit code no run of the program gives tells a kill from a finished run.
  constexpr UINT kKilled = 0xDEAD;
  const bool struck =
      WaitForSingleObject(process_, 0) == WAIT_TIMEOUT && TerminateProcess(process_, kKilled);
  Wait();
  return struck && status_ == static_cast<int>(kKilled);
}

void ChildProcess::Interrupt() {
  // What the console does on Ctrl+C: a thread in the program that runs the system's control
  // routine, which calls the program's handlers. (Aimed at one program, unlike
  // GenerateConsoleCtrlEvent, which reaches a whole console and which Wine lacks.)
  auto routine = reinterpret_cast<LPTHREAD_START_ROUTINE>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernelbase.dll"), "CtrlRoutine")));
  if (routine == nullptr) {
    routine = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "CtrlRoutine")));
  }
  if (process_ != nullptr && routine != nullptr) {
    HANDLE thread = CreateRemoteThread(process_, nullptr, 0, routine,
                                       reinterpret_cast<void*>(CTRL_C_EVENT), 0, nullptr);
    if (thread != nullptr) {
      CloseHandle(thread);
    }
  }
}

int ChildProcess::Wait() {
  if (!waited_ && process_ != nullptr) {
    WaitForSingleObject(process_, INFINITE);
    DWORD code = 0;
    status_ = GetExitCodeProcess(process_, &code) ? static_cast<int>(code) : -1;
    waited_ = true;
  }
  return status_;
}

#else

ChildProcess::ChildProcess(const std::vector<std::string>& args, const fs::path& output_file,
                           const fs::path& temporary) {
  pid_ = fork();
  if (pid_ == 0) {
    if (!temporary.empty()) {
      setenv("TMPDIR", temporary.c_str(), 1);
    }
    const int output = output_file.empty()
                           ? open("/dev/null", O_WRONLY)
                           : open(output_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(output, STDOUT_FILENO);
    dup2(output, STDERR_FILENO);
    std::vector<char*> argv;
    for (const std::string& arg : args) {
      argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0 && !waited_) {
    kill(pid_, SIGKILL);
    Wait();
  }
}

bool ChildProcess::Kill() {
  if (pid_ <= 0) {
    return false;
  }
  kill(pid_, SIGKILL);
  Wait();
  return status_ == -SIGKILL;
}

void ChildProcess::Interrupt() {
  if (pid_ > 0) {
    kill(pid_, SIGINT);
  }
}

int ChildProcess::Wait() {
  if (!waited_ && pid_ > 0) {
    int status = 0;
    waitpid(pid_, &status, 0);
    // A signal shows as its negative number, so that Kill can tell it from an exit.
    status_ = WIFEXITED(status)     ? WEXITSTATUS(status)
              : WIFSIGNALED(status) ? -WTERMSIG(status)
                                    : -1;
    waited_ = true;
  }
  return status_;
}

#endif

int RunProgram(const std::vector<std::string>& args, const fs::path& output_file,
               const fs::path& temporary) {
  ChildProcess child(args, output_file, temporary);
  return child.Wait();
}

void SleepFor(std::chrono::microseconds delay) {
  std::this_thread::sleep_for(delay);
}

}  // namespace penmorph::testing
