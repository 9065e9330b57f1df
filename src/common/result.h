#pragma once

// Outcomes of operations that can fail: an Error says what went wrong and where, so that a
// failed file can be reported to the user with a reason instead of a bare "false".

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace penmorph {

enum class ErrorKind {
  kIo,           // the file system refused an operation
  kTruncated,    // the data ends inside a field
  kMalformed,    // bytes that do not form what the format allows
  kUnsupported,  // well-formed, but a variant this program does not convert
  kRange,        // a value that does not fit the field it has to be written into
  kScaleClash,   // the layer table moves entities into a group drawn at another scale
  kUnencodable,  // a new name holds a character the drawing's strings have no code for
  kNotADrawing,  // no file of a jw_cad format, by its name or its first bytes: passed over
};

// What the system said when it refused a file operation, sorted into the cases a user can act
// on, so that the window can word them in its own language while `message` stays English.
enum class SystemCause {
  kNone,            // not the system's refusal: the file's content (the kind tells)
  kReadOnly,        // the file, or the disk, is write-protected
  kReadOnlyFile,    // the file itself is marked read-only (by its owner, on purpose)
  kInUse,           // another program holds the file open, or has locked it
  kNotFound,        // no such file or folder
  kNoAccess,        // the user may not do this there
  kDiskFull,        // no space left, or the user's quota is used up
  kNameNotAllowed,  // the system refuses the name: too long or with characters it disallows
  kNameTaken,       // something else, a folder for instance, has the name already
  kNotAFile,        // a folder or a device where a file was expected
  kOther,           // anything else: only the system's own words tell
};

// A failure that comes from the tables, not from the file: the file was read, but what the
// tables make of it cannot be written (a number too large for its field, a move between groups of
// different scales, a name the drawing's encoding cannot hold).
constexpr bool IsTableRefusal(ErrorKind kind) {
  return kind == ErrorKind::kRange || kind == ErrorKind::kScaleClash ||
         kind == ErrorKind::kUnencodable;
}

// What a refusal names, so that the window can word it in its own language.
struct ScaleClashDetail {  // kScaleClash
  std::string from_group, from_scale, to_group, to_scale, layer;
  bool operator==(const ScaleClashDetail&) const = default;
};
struct UnencodableNameDetail {  // kUnencodable
  bool group = false;           // a group's name, else a layer's
  std::string address, name;
  bool operator==(const UnencodableNameDetail&) const = default;
};
struct PassedOverDetail {  // kNotADrawing: the judgement's reason, as its number
  int reason = 0;
  std::string subject;
  bool operator==(const PassedOverDetail&) const = default;
};
using ErrorDetail =
    std::variant<std::monostate, ScaleClashDetail, UnencodableNameDetail, PassedOverDetail>;

struct Error {
  ErrorKind kind = ErrorKind::kIo;
  std::string message;
  std::optional<std::uint64_t> offset;  // byte offset in the file, when it points somewhere
  SystemCause cause = SystemCause::kNone;
  ErrorDetail detail;

  // "message (at byte N)": the form shown to users and printed by the command line.
  std::string Describe() const;
};

Error IoError(std::string message, SystemCause cause = SystemCause::kOther);
Error MakeError(ErrorKind kind, std::string message, std::optional<std::uint64_t> offset = {});

class [[nodiscard]] Status {
 public:
  Status() = default;
  Status(Error error) : error_(std::move(error)) {}  // NOLINT: implicit by design

  static Status Ok() { return {}; }
  bool ok() const { return !error_.has_value(); }
  const Error& error() const { return *error_; }

 private:
  std::optional<Error> error_;
};

template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : data_(std::move(value)) {}      // NOLINT: implicit by design
  Result(Error error) : data_(std::move(error)) {}  // NOLINT: implicit by design

  bool ok() const { return std::holds_alternative<T>(data_); }
  T& value() & { return std::get<T>(data_); }
  const T& value() const& { return std::get<T>(data_); }
  T&& value() && { return std::get<T>(std::move(data_)); }
  const Error& error() const { return std::get<Error>(data_); }
  Status status() const { return ok() ? Status::Ok() : Status(error()); }

  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

 private:
  std::variant<T, Error> data_;
};

}  // namespace penmorph
