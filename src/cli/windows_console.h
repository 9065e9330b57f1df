#pragma once

// Text output on Windows: the program writes UTF-8; a console gets it as UTF-16 through
// WriteConsoleW, so that Japanese names show whatever the console's code page, and a file or
// pipe gets the UTF-8 bytes as they are.

#include <windows.h>

#include <streambuf>
#include <string>

namespace penmorph {

class ConsoleBuffer : public std::streambuf {
 public:
  explicit ConsoleBuffer(HANDLE handle);
  ~ConsoleBuffer() override;

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int sync() override;

 private:
  // Writes what is pending up to the last whole UTF-8 character.
  bool Flush();

  HANDLE handle_;
  bool is_console_ = false;
  std::string pending_;
};

}  // namespace penmorph
