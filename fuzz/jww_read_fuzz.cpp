// JwwRead on any bytes; what it reads must survive both writers.

#include "formats/windows/stream_converter.h"
#include "jww_expectation.h"
#include "reference/jww_file.h"
#include "stream_check.h"
#include "windows_round_trip.h"

using namespace penmorph;
using namespace penmorph::jw;

namespace {

fuzz::Bytes AsRead(JwwWorkspace& workspace, std::string_view what) {
  return fuzz::AsRead([&](ByteWriter& out) { return JwwWriteAsRead(out, workspace); }, what);
}

Status Convert(fuzz::Bytes& bytes, JwwWorkspace& workspace) {
  return fuzz::WriteInto(bytes, [&](ByteWriter& out) { return JwwWrite(out, workspace); });
}

void Check(std::span<const std::uint8_t> data, JwwWorkspace& first, JwwWorkspace& second) {
  ByteReader in = fuzz::Reader(data);
  if (!JwwRead(in, first).ok()) {
    return;
  }
  // Written as read, every value comes back.
  const fuzz::Bytes as_read = AsRead(first, "the drawing read");
  ByteReader again = fuzz::Reader(as_read);
  fuzz::ExpectRead(JwwRead(again, second), "JwwWriteAsRead's output");
  if (AsRead(second, "the drawing read again") != as_read) {
    fuzz::Finding("written as read and read again, the drawing differs");
  }
  JwwDeleteExtractedImages(second);

  // Written by the converter: the written rules explain every byte of the output, which reads
  // back as it was written. (Converting it again need not give the same bytes: a negative
  // item 21b settles only on the second pass, by the written rule.)
  JwwWorkspace expected;
  expected.header = first.header;
  expected.entities = first.entities;
  expected.block_defs = first.block_defs;
  expected.images = first.images;  // the copies stay with `first`
  testing::ApplyJwwWriteRules(expected);
  fuzz::Bytes converted;
  if (!fuzz::WriteSucceeded(Convert(converted, first), "JwwWrite")) {
    return;
  }
  if (AsRead(expected, "the expectation") != converted) {
    fuzz::Finding("JwwWrite's output differs from what the written rules give");
  }
  expected.images.clear();
  ByteReader output = fuzz::Reader(converted);
  fuzz::ExpectRead(JwwRead(output, second), "JwwWrite's output");
  if (AsRead(second, "the output read again") != converted) {
    fuzz::Finding("JwwWrite's output does not read back as written");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The workspaces keep their image folders from one input to the next.
  static JwwWorkspace first;
  static JwwWorkspace second;
  fuzz::MemoryBound bound(size);
  Check({data, size}, first, second);
  fuzz::CompareStreaming(
      {data, size},
      [](std::span<const std::uint8_t> bytes, const ConversionTables& tables, fuzz::Bytes& output) {
        JwwWorkspace& workspace = first;
        ByteReader in = fuzz::Reader(bytes);
        Status status = JwwRead(in, workspace);
        status = status.ok() ? JwwRemap(workspace, tables.jww, tables.layers) : status;
        if (status.ok()) {
          status =
              fuzz::WriteInto(output, [&](ByteWriter& out) { return JwwWrite(out, workspace); });
        }
        JwwDeleteExtractedImages(workspace);
        return status;
      },
      [](ByteReader& in, const ConversionTables& tables, ByteSink& out) {
        return ConvertJwwStream(in, tables.jww, out, tables.layers);
      });
  for (JwwWorkspace* workspace : {&first, &second}) {
    JwwDeleteExtractedImages(*workspace);
    JwwClear(*workspace);
    workspace->images.clear();
    workspace->images.shrink_to_fit();
  }
  return 0;
}
