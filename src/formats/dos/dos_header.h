#pragma once

// The text header lines that open JWC drawings and JWK symbols: 200 bytes each. Line 0 holds
// the signature and the two halves of the drawing memo; the lines after it hold
// comma-separated numbers whose types a layout string gives, one character per field:
// 'i' integer, 'f' float, 'a' segment address (held as an integer).

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "common/byte_reader.h"
#include "common/result.h"

namespace penmorph::jw {

inline constexpr std::size_t kHeaderLineSize = 200;

using HeaderValue = std::variant<std::int32_t, float>;
using HeaderValues = std::vector<HeaderValue>;

// One zero of the right type per field.
HeaderValues ZeroHeaderValues(std::string_view types);

// Splits a line into as many fields as `types` has and reads each by its type.
HeaderValues ParseHeaderFields(std::string_view line, std::string_view types);

// Appends fields [first, types.size()) formatted by type: separated by commas, or with a comma
// after every field (the last one too). Fails when a float is not finite; 'a' fields are the
// caller's to write. When the numbers, after what `out` holds and a closing NUL, would not fit
// in a header line, floats are written in their shortest form that reads back the same.
Status AppendHeaderFields(std::string& out, const HeaderValues& values, std::string_view types,
                          std::size_t first, bool comma_after_each, std::string_view line_name);

// Sets a count field from the size of a record array; fails when it does not fit an i32.
Status SetCountField(HeaderValues& values, std::size_t field, std::size_t count);

// Line 0: bytes 0-39 the signature field, 40-71 and 72-103 the memo halves, the rest unused.
// The fields are held without their trailing NULs, which the writer puts back, so that the
// bytes come back as they were.
struct HeaderLine0 {
  std::string magic;   // up to 40 bytes
  std::string memo_a;  // up to 32
  std::string memo_b;  // up to 32

  // The file list's memo: both halves with a space between.
  std::string Memo() const { return memo_a + " " + memo_b; }
  bool operator==(const HeaderLine0&) const = default;
};

HeaderLine0 ParseHeaderLine0(std::string_view line);
// The 104 bytes of the fields, each padded with NULs; fails when one is too long for its field.
Result<std::string> BuildHeaderLine0(const HeaderLine0& fields);

// Pads a line's text with spaces to 199 bytes and ends it with a line feed. A text that does
// not fit in 199 bytes fails: cut to 200 bytes it would lose numbers (and the reader would
// take wrong values for the cut ones).
Result<std::string> CompleteHeaderLine(std::string text, std::string_view line_name);

// Reads the header lines, 200 bytes each; a failure names the line.
Status ReadHeaderLines(ByteReader& in, std::span<std::string> lines);

}  // namespace penmorph::jw
