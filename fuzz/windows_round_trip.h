#pragma once

// The checks of the Windows formats' targets. Workspaces are compared through what their
// as-read writer makes of them: it writes every value the reader kept, so equal bytes mean
// equal values bit for bit (a NaN read from a file included, which == would call different).

#include <cstdint>
#include <string>
#include <vector>

#include "common/byte_writer.h"
#include "fuzz_support.h"

namespace penmorph::fuzz {

using Bytes = std::vector<std::uint8_t>;

template <class Write>
Status WriteInto(Bytes& bytes, Write write) {
  VectorSink sink;
  ByteWriter out(sink);
  Status written = write(out);
  bytes = sink.bytes();
  return written;
}

// The as-read bytes of a workspace, which must be writable.
template <class WriteAsRead>
Bytes AsRead(WriteAsRead write_as_read, std::string_view what) {
  Bytes bytes;
  Status written = WriteInto(bytes, write_as_read);
  if (!written.ok()) {
    Finding(std::string(what) + ": writing as read failed", written.error());
  }
  return bytes;
}

}  // namespace penmorph::fuzz
