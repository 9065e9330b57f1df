#include "cli/windows_console.h"

#include "common/windows_text.h"

namespace penmorph {

namespace {

constexpr std::size_t kFlushAt = 4096;

// How many bytes at the end of `text` open a UTF-8 character that is not complete yet.
std::size_t IncompleteTail(const std::string& text) {
  std::size_t back = 0;
  while (back < text.size() && back < 4) {
    const auto byte = static_cast<unsigned char>(text[text.size() - 1 - back]);
    if ((byte & 0xC0) != 0x80) {
      const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
      return length > back + 1 ? back + 1 : 0;
    }
    ++back;
  }
  return 0;
}

}  // namespace

ConsoleBuffer::ConsoleBuffer(HANDLE handle) : handle_(handle) {
  DWORD mode = 0;
  is_console_ =
      handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr && GetConsoleMode(handle_, &mode) != 0;
}

ConsoleBuffer::~ConsoleBuffer() {
  Flush();
}

ConsoleBuffer::int_type ConsoleBuffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) {
    return traits_type::not_eof(c);
  }
  pending_ += traits_type::to_char_type(c);
  if (pending_.size() >= kFlushAt && !Flush()) {
    return traits_type::eof();
  }
  return c;
}

std::streamsize ConsoleBuffer::xsputn(const char* text, std::streamsize count) {
  pending_.append(text, static_cast<std::size_t>(count));
  if (pending_.size() >= kFlushAt && !Flush()) {
    return 0;
  }
  return count;
}

int ConsoleBuffer::sync() {
  return Flush() ? 0 : -1;
}

bool ConsoleBuffer::Flush() {
  if (pending_.empty() || handle_ == INVALID_HANDLE_VALUE || handle_ == nullptr) {
    pending_.clear();
    return true;
  }
  const std::size_t keep = IncompleteTail(pending_);
  const std::string whole = pending_.substr(0, pending_.size() - keep);
  pending_.erase(0, pending_.size() - keep);
  if (whole.empty()) {
    return true;
  }
  if (is_console_) {
    const std::wstring wide = Utf8ToWide(whole);
    DWORD written = 0;
    return WriteConsoleW(handle_, wide.data(), static_cast<DWORD>(wide.size()), &written,
                         nullptr) != 0;
  }
  for (std::size_t at = 0; at < whole.size();) {
    DWORD written = 0;
    if (!WriteFile(handle_, whole.data() + at, static_cast<DWORD>(whole.size() - at), &written,
                   nullptr) ||
        written == 0) {
      return false;
    }
    at += written;
  }
  return true;
}

}  // namespace penmorph
