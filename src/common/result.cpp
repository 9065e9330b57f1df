#include "common/result.h"

namespace penmorph {

std::string Error::Describe() const {
  if (!offset) {
    return message;
  }
  return message + " (at byte " + std::to_string(*offset) + ")";
}

Error IoError(std::string message, SystemCause cause) {
  Error error = MakeError(ErrorKind::kIo, std::move(message));
  error.cause = cause;
  return error;
}

Error MakeError(ErrorKind kind, std::string message, std::optional<std::uint64_t> offset) {
  Error error;
  error.kind = kind;
  error.message = std::move(message);
  error.offset = offset;
  return error;
}

}  // namespace penmorph
