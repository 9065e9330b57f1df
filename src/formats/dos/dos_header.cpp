#include "formats/dos/dos_header.h"

#include <cmath>
#include <limits>

#include "formats/dos/dos_numbers.h"
#include "formats/dos/dos_records.h"

namespace penmorph::jw {

namespace {

std::string WithoutTrailingNuls(std::string_view bytes) {
  auto last = bytes.find_last_not_of('\0');
  return std::string(last == std::string_view::npos ? std::string_view()
                                                    : bytes.substr(0, last + 1));
}

std::string_view Slice(std::string_view line, std::size_t from, std::size_t length) {
  return from < line.size() ? line.substr(from, length) : std::string_view();
}

}  // namespace

HeaderValues ZeroHeaderValues(std::string_view types) {
  HeaderValues values;
  values.reserve(types.size());
  for (char type : types) {
    values.push_back(type == 'f' ? HeaderValue(0.0f) : HeaderValue(std::int32_t{0}));
  }
  return values;
}

HeaderValues ParseHeaderFields(std::string_view line, std::string_view types) {
  std::vector<std::string_view> fields = SplitFields(line, types.size());
  HeaderValues values;
  values.reserve(types.size());
  for (std::size_t i = 0; i < types.size(); ++i) {
    switch (types[i]) {
      case 'f':
        values.push_back(ParseFloatField(fields[i]));
        break;
      case 'a':
        values.push_back(ParseSegmentAddress(fields[i]));
        break;
      default:
        values.push_back(ParseIntegerField(fields[i]));
        break;
    }
  }
  return values;
}

namespace {

Status FormatHeaderFields(std::string& out, const HeaderValues& values, std::string_view types,
                          std::size_t first, bool comma_after_each, std::string_view line_name,
                          bool shortest) {
  for (std::size_t i = first; i < types.size(); ++i) {
    if (i > first && !comma_after_each) {
      out += ',';
    }
    if (const float* real = std::get_if<float>(&values[i])) {
      if (!std::isfinite(*real)) {
        return MakeError(ErrorKind::kRange, std::string(line_name) + " field " + std::to_string(i) +
                                                " is not a finite number");
      }
      out += shortest ? FormatFloatShortest(*real) : FormatFloat(*real);
    } else {
      out += FormatInteger(std::get<std::int32_t>(values[i]));
    }
    if (comma_after_each) {
      out += ',';
    }
  }
  return Status::Ok();
}

}  // namespace

Status AppendHeaderFields(std::string& out, const HeaderValues& values, std::string_view types,
                          std::size_t first, bool comma_after_each, std::string_view line_name) {
  std::string fields;
  if (Status s =
          FormatHeaderFields(fields, values, types, first, comma_after_each, line_name, false);
      !s.ok()) {
    return s;
  }
  // The line's text and its NUL must fit before the padding; when the 15-digit numbers would
  // not, the floats take their shortest exact form instead of being cut off.
  if (out.size() + fields.size() + 1 > kHeaderLineSize - 1) {
    fields.clear();
    (void)FormatHeaderFields(fields, values, types, first, comma_after_each, line_name, true);
  }
  out += fields;
  return Status::Ok();
}

Status SetCountField(HeaderValues& values, std::size_t field, std::size_t count) {
  if (count > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    return MakeError(ErrorKind::kRange, "header line 1 field " + std::to_string(field) + ": " +
                                            std::to_string(count) + " records do not fit");
  }
  values[field] = static_cast<std::int32_t>(count);
  return Status::Ok();
}

HeaderLine0 ParseHeaderLine0(std::string_view line) {
  HeaderLine0 fields;
  fields.magic = WithoutTrailingNuls(Slice(line, 0, 40));
  fields.memo_a = WithoutTrailingNuls(Slice(line, 40, 32));
  fields.memo_b = WithoutTrailingNuls(Slice(line, 72, 32));
  return fields;
}

Result<std::string> BuildHeaderLine0(const HeaderLine0& fields) {
  std::string line;
  for (auto [text, size, name] : {std::tuple{&fields.magic, 40u, "signature field"},
                                  std::tuple{&fields.memo_a, 32u, "first memo half"},
                                  std::tuple{&fields.memo_b, 32u, "second memo half"}}) {
    if (text->size() > size) {
      return MakeError(ErrorKind::kRange, std::string("the ") + name + " holds " +
                                              std::to_string(text->size()) +
                                              " bytes, more than its " + std::to_string(size));
    }
    line += *text;
    line.append(size - text->size(), '\0');
  }
  return line;
}

Result<std::string> CompleteHeaderLine(std::string text, std::string_view line_name) {
  constexpr std::size_t kTextRoom = kHeaderLineSize - 1;
  if (text.size() > kTextRoom) {
    return MakeError(ErrorKind::kRange, std::string(line_name) + " needs " +
                                            std::to_string(text.size()) +
                                            " bytes for its numbers, more than the " +
                                            std::to_string(kTextRoom) + " a header line holds");
  }
  text.append(kTextRoom - text.size(), ' ');
  text += '\n';
  return text;
}

Status ReadHeaderLines(ByteReader& in, std::span<std::string> lines) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    lines[i] = in.read_string(kHeaderLineSize);
    if (!in.ok()) {
      return WithContext("header line " + std::to_string(i), in.error());
    }
  }
  return Status::Ok();
}

}  // namespace penmorph::jw
