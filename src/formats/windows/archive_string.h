#pragma once

// Length-prefixed strings of the Windows formats. jw_cad writes them as byte strings (normally
// Shift-JIS) or, in its Unicode builds, as "wide" strings of UTF-16LE code units behind a
// marker. Both are kept exactly as stored: `bytes` holds the raw bytes of either kind.
//
//   u8 n < 255                       n bytes
//   255, u16 n < 0xFFFE              n bytes
//   255, u16 0xFFFF, u32 n           n bytes
//   255, u16 0xFFFE, then a length in one of the forms above counted in UTF-16 units,
//                                    then that many UTF-16LE units

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/byte_reader.h"
#include "common/byte_writer.h"

namespace penmorph::jw {

struct ArchiveString {
  std::string bytes;  // wide: two bytes per UTF-16 code unit, low byte first
  bool wide = false;

  bool empty() const { return bytes.empty(); }
  // Length in the string's own units: bytes, or UTF-16 code units.
  std::size_t length() const { return wide ? bytes.size() / 2 : bytes.size(); }
  bool operator==(const ArchiveString&) const = default;
};

ArchiveString ReadArchiveString(ByteReader& in);
// The same into `text`, whose storage is reused.
void ReadArchiveString(ByteReader& in, ArchiveString& text);
void WriteArchiveString(ByteWriter& out, const ArchiveString& text);
// Passes over a string, reading only its length.
void SkipArchiveString(ByteReader& in);

// Drops control characters and the pair "^m" outside double-byte characters (Shift-JIS lead
// bytes, or UTF-16 surrogate pairs, keep their partner); a result that comes out empty from a
// non-empty string becomes one space.
ArchiveString CleanName(const ArchiveString& text);
// True when CleanName would return the string unchanged (checked without copying it).
bool IsClean(const ArchiveString& text);
// Writes CleanName(text) without making a copy when the text is clean already.
void WriteCleanName(ByteWriter& out, const ArchiveString& text);

// The code unit at `index`: a byte, or a UTF-16 unit of a wide string.
inline std::uint16_t UnitAt(const ArchiveString& text, std::size_t index) {
  if (!text.wide) {
    return static_cast<unsigned char>(text.bytes[index]);
  }
  return static_cast<std::uint16_t>(static_cast<unsigned char>(text.bytes[2 * index]) |
                                    (static_cast<unsigned char>(text.bytes[2 * index + 1]) << 8));
}

// True when the string starts with the ASCII text `prefix` (compared unit by unit).
bool StartsWithAscii(const ArchiveString& text, std::string_view prefix);

// A part of the string, in units.
ArchiveString Substring(const ArchiveString& text, std::size_t from, std::size_t count);

// ASCII text as an archive string of the given kind.
ArchiveString FromAscii(std::string_view ascii, bool wide);

// UTF-16LE bytes to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16LeToUtf8(std::string_view utf16le);

// A name for the reader: a wide string from UTF-16, a byte string from Shift-JIS.
std::string NameText(const ArchiveString& text);

// UTF-8 to UTF-16LE bytes; nullopt for text that is not UTF-8.
std::optional<std::string> Utf8ToUtf16Le(std::string_view utf8);
// The reverse of NameText: a UTF-8 name as a string of the kind given, Shift-JIS bytes or
// UTF-16; nullopt when the name is not UTF-8 or Shift-JIS has no code for one of its characters.
std::optional<ArchiveString> EncodeName(std::string_view utf8, bool wide);

}  // namespace penmorph::jw
