// JwsRead on any bytes; what it reads must survive both writers.

#include "formats/windows/stream_converter.h"
#include "reference/jws_file.h"
#include "stream_check.h"
#include "windows_round_trip.h"

using namespace penmorph;
using namespace penmorph::jw;

namespace {

fuzz::Bytes AsRead(const JwsWorkspace& workspace, std::string_view what) {
  return fuzz::AsRead([&](ByteWriter& out) { return JwsWriteAsRead(out, workspace); }, what);
}

Status Convert(fuzz::Bytes& bytes, const JwsWorkspace& workspace) {
  return fuzz::WriteInto(bytes, [&](ByteWriter& out) { return JwsWrite(out, workspace); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::MemoryBound bound(size);
  fuzz::CompareStreaming(
      {data, size},
      [](std::span<const std::uint8_t> bytes, const ConversionTables& tables, fuzz::Bytes& output) {
        JwsWorkspace workspace;
        ByteReader in = fuzz::Reader(bytes);
        Status status = JwsRead(in, workspace);
        status = status.ok() ? JwsRemap(workspace, tables.jww, tables.layers) : status;
        if (status.ok()) {
          status =
              fuzz::WriteInto(output, [&](ByteWriter& out) { return JwsWrite(out, workspace); });
        }
        return status;
      },
      [](ByteReader& in, const ConversionTables& tables, ByteSink& out) {
        return ConvertJwsStream(in, tables.jww, out, tables.layers);
      });
  JwsWorkspace first;
  ByteReader in = fuzz::Reader({data, size});
  if (!JwsRead(in, first).ok()) {
    return 0;
  }
  const fuzz::Bytes as_read = AsRead(first, "the symbol read");
  JwsWorkspace second;
  ByteReader again = fuzz::Reader(as_read);
  fuzz::ExpectRead(JwsRead(again, second), "JwsWriteAsRead's output");
  if (AsRead(second, "the symbol read again") != as_read) {
    fuzz::Finding("written as read and read again, the symbol differs");
  }

  fuzz::Bytes converted;
  if (!fuzz::WriteSucceeded(Convert(converted, first), "JwsWrite")) {
    return 0;
  }
  ByteReader output = fuzz::Reader(converted);
  fuzz::ExpectRead(JwsRead(output, second), "JwsWrite's output");
  if (AsRead(second, "the output read again") != converted) {
    fuzz::Finding("JwsWrite's output does not read back as written");
  }
  fuzz::Bytes twice;
  fuzz::WriteSucceeded(Convert(twice, second), "JwsWrite of its own output");
  if (twice != converted) {
    fuzz::Finding("converting JwsWrite's output again changes it");
  }
  return 0;
}
