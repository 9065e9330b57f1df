#include "formats/windows/archive_string.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "common/text.h"
#include "common/text_decoding.h"

namespace penmorph::jw {

namespace {

constexpr std::uint16_t kWideMarker = 0xFFFE;
constexpr std::uint16_t kLongLength = 0xFFFF;

// Whether any byte of `bytes` is below 32 or is '^', eight bytes at a time: a byte below 32
// borrows into its top bit when 32 is taken from it, and a '^' becomes a zero byte, found the
// same way. Either test may also mark a byte above a true find, never one without any.
bool HasControlOrCaret(std::string_view bytes) {
  constexpr std::uint64_t kOnes = 0x0101010101010101;
  constexpr std::uint64_t kTops = 0x8080808080808080;
  auto suspect = [](std::uint64_t word) {
    const std::uint64_t caret = word ^ (kOnes * '^');
    return (((word - kOnes * 32) & ~word) | ((caret - kOnes) & ~caret)) & kTops;
  };
  auto suspect_at = [&](std::size_t at) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes.data() + at, 8);
    return suspect(word) != 0;
  };
  if (bytes.size() < 8) {
    return std::any_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 32 || c == '^'; });
  }
  for (std::size_t at = 0; at + 8 <= bytes.size(); at += 8) {
    if (suspect_at(at)) {
      return true;
    }
  }
  // The last eight bytes, which may overlap the last word looked at.
  return suspect_at(bytes.size() - 8);
}

// The length of either kind of string: u8, then u16, then u32 forms. `marker` reports a wide
// marker in place of the u16.
std::uint64_t ReadLength(ByteReader& in, bool* marker) {
  std::uint8_t short_length = in.read_u8();
  if (short_length < 255) {
    return short_length;
  }
  std::uint16_t length = in.read_u16le();
  if (length == kWideMarker && marker != nullptr) {
    *marker = true;
    return 0;
  }
  if (length < kWideMarker) {
    return length;
  }
  if (length == kWideMarker) {
    in.Fail(ErrorKind::kMalformed, "a wide string marker inside a wide string's length");
    return 0;
  }
  return in.read_u32le();
}

// A string's length in bytes, after its length fields; whether it is wide. A wide string that
// cannot fit what is left fails here, a byte string when its bytes are read.
std::uint64_t ReadByteLength(ByteReader& in, bool& wide) {
  wide = false;
  std::uint64_t length = ReadLength(in, &wide);
  if (wide) {
    length = ReadLength(in, nullptr);
    if (length > in.remaining() / 2) {
      in.Fail(ErrorKind::kTruncated, "a wide string of " + std::to_string(length) +
                                         " units runs past the end of the file");
      return 0;
    }
    length *= 2;
  }
  return length;
}

// Lengths of 0xFFFE and 0xFFFF would read as the marker or the long form: they take the u32.
void WriteLength(ByteWriter& out, std::uint64_t length) {
  if (length < 255) {
    out.write_u8(static_cast<std::uint8_t>(length));
  } else if (length < kWideMarker) {
    out.write_u8(255);
    out.write_u16le(static_cast<std::uint16_t>(length));
  } else {
    out.write_u8(255);
    out.write_u16le(kLongLength);
    out.write_u32le(static_cast<std::uint32_t>(length));
  }
}

void AppendUnit(std::string& bytes, std::uint16_t unit) {
  bytes += static_cast<char>(unit & 0xFF);
  bytes += static_cast<char>(unit >> 8);
}

bool IsHighSurrogate(std::uint16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(std::uint16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendUtf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace

ArchiveString ReadArchiveString(ByteReader& in) {
  ArchiveString text;
  ReadArchiveString(in, text);
  return text;
}

void ReadArchiveString(ByteReader& in, ArchiveString& text) {
  // Nearly every string is a short byte string whose bytes the reader holds already.
  if (const std::span<const std::uint8_t> held = in.Held();
      !held.empty() && held[0] < 255 && held[0] < held.size()) {
    text.wide = false;
    text.bytes.assign(reinterpret_cast<const char*>(held.data() + 1), held[0]);
    in.Consume(std::size_t{1} + held[0]);
    return;
  }
  text.bytes.clear();
  const std::uint64_t length = ReadByteLength(in, text.wide);
  if (!in.ok()) {
    return;
  }
  if (length > in.remaining()) {
    in.read_string(length);  // fails with the reason, allocating nothing
    return;
  }
  text.bytes.resize(static_cast<std::size_t>(length));
  in.read_bytes({reinterpret_cast<std::uint8_t*>(text.bytes.data()), text.bytes.size()});
  if (!in.ok()) {
    text.bytes.clear();
  }
}

void SkipArchiveString(ByteReader& in) {
  bool wide = false;
  in.skip(ReadByteLength(in, wide));
}

void WriteArchiveString(ByteWriter& out, const ArchiveString& text) {
  if (text.wide) {
    out.write_u8(255);
    out.write_u16le(kWideMarker);
  }
  WriteLength(out, text.length());
  out.write_bytes(text.bytes);
}

ArchiveString CleanName(const ArchiveString& text) {
  ArchiveString result;
  result.wide = text.wide;
  if (text.empty()) {
    return result;
  }
  const std::size_t length = text.length();
  auto keep = [&](std::size_t index) {
    if (text.wide) {
      AppendUnit(result.bytes, UnitAt(text, index));
    } else {
      result.bytes += text.bytes[index];
    }
  };
  for (std::size_t i = 0; i < length;) {
    std::uint16_t unit = UnitAt(text, i);
    bool pair_start =
        text.wide ? IsHighSurrogate(unit) : IsShiftJisLeadByte(static_cast<unsigned char>(unit));
    if (pair_start) {
      keep(i);
      if (i + 1 < length) {
        keep(i + 1);
      }
      i += 2;
    } else if (unit == '^' && i + 1 < length && UnitAt(text, i + 1) == 'm') {
      i += 2;
    } else {
      if (unit >= 32) {
        keep(i);
      }
      ++i;
    }
  }
  if (result.empty()) {
    result = FromAscii(" ", text.wide);
  }
  return result;
}

bool IsClean(const ArchiveString& text) {
  if (text.empty()) {
    return true;
  }
  // Nearly every name and text holds no control character and no '^': then nothing would be
  // dropped, whatever its double-byte characters are, and one plain scan says so.
  if (!text.wide && !HasControlOrCaret(text.bytes)) {
    return true;
  }
  const std::size_t length = text.length();
  for (std::size_t i = 0; i < length; ++i) {
    std::uint16_t unit = UnitAt(text, i);
    bool pair_start =
        text.wide ? IsHighSurrogate(unit) : IsShiftJisLeadByte(static_cast<unsigned char>(unit));
    if (pair_start) {
      ++i;
    } else if (unit < 32 || (unit == '^' && i + 1 < length && UnitAt(text, i + 1) == 'm')) {
      return false;
    }
  }
  return true;
}

void WriteCleanName(ByteWriter& out, const ArchiveString& text) {
  if (IsClean(text)) {
    WriteArchiveString(out, text);
  } else {
    WriteArchiveString(out, CleanName(text));
  }
}

bool StartsWithAscii(const ArchiveString& text, std::string_view prefix) {
  if (text.length() < prefix.size()) {
    return false;
  }
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (UnitAt(text, i) != static_cast<unsigned char>(prefix[i])) {
      return false;
    }
  }
  return true;
}

ArchiveString Substring(const ArchiveString& text, std::size_t from, std::size_t count) {
  ArchiveString part;
  part.wide = text.wide;
  std::size_t unit = text.wide ? 2 : 1;
  if (from < text.length()) {
    part.bytes = text.bytes.substr(from * unit, count == std::string::npos ? count : count * unit);
  }
  return part;
}

ArchiveString FromAscii(std::string_view ascii, bool wide) {
  ArchiveString text;
  text.wide = wide;
  for (char c : ascii) {
    if (wide) {
      AppendUnit(text.bytes, static_cast<unsigned char>(c));
    } else {
      text.bytes += c;
    }
  }
  return text;
}

std::string Utf16LeToUtf8(std::string_view utf16le) {
  std::string out;
  const std::size_t units = utf16le.size() / 2;
  auto unit_at = [&](std::size_t i) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(utf16le[2 * i]) |
                                      (static_cast<unsigned char>(utf16le[2 * i + 1]) << 8));
  };
  for (std::size_t i = 0; i < units; ++i) {
    std::uint16_t unit = unit_at(i);
    if (IsHighSurrogate(unit) && i + 1 < units && IsLowSurrogate(unit_at(i + 1))) {
      std::uint32_t code = 0x10000 + ((unit - 0xD800u) << 10) + (unit_at(i + 1) - 0xDC00u);
      AppendUtf8(out, code);
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      AppendUtf8(out, 0xFFFD);
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

std::string NameText(const ArchiveString& text) {
  return text.wide ? Utf16LeToUtf8(text.bytes) : ShiftJisToUtf8(text.bytes);
}

std::optional<std::string> Utf8ToUtf16Le(std::string_view utf8) {
  if (!IsValidUtf8(utf8)) {
    return std::nullopt;
  }
  std::string out;
  out.reserve(utf8.size() * 2);
  auto append_unit = [&](std::uint32_t unit) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
  };
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    std::uint32_t code = length == 1 ? lead : lead & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k) {
      code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      append_unit(0xD800 + (code >> 10));
      append_unit(0xDC00 + (code & 0x3FF));
    } else {
      append_unit(code);
    }
    i += length;
  }
  return out;
}

std::optional<ArchiveString> EncodeName(std::string_view utf8, bool wide) {
  std::optional<std::string> bytes = wide ? Utf8ToUtf16Le(utf8) : Utf8ToShiftJis(utf8);
  if (!bytes) {
    return std::nullopt;
  }
  return ArchiveString{std::move(*bytes), wide};
}

}  // namespace penmorph::jw
