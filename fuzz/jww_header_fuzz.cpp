// JwwReadHeaderInfo on any bytes: the header it reads, written again, reads back the same, and
// a drawing that reads whole shows the same memo.

#include "reference/jww_file.h"
#include "windows_round_trip.h"

using namespace penmorph;
using namespace penmorph::jw;

namespace {

fuzz::Bytes HeaderAsRead(const THeader& header) {
  return fuzz::AsRead(
      [&](ByteWriter& out) {
        WriteJwwHeader(out, header);
        return out.Finish();
      },
      "the header");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::MemoryBound bound(size);
  JwwWorkspace info;
  ByteReader in = fuzz::Reader({data, size});
  if (!JwwReadHeaderInfo(in, info).ok()) {
    return 0;
  }
  const fuzz::Bytes bytes = HeaderAsRead(info.header);
  JwwWorkspace again;
  ByteReader reread = fuzz::Reader(bytes);
  fuzz::ExpectRead(JwwReadHeaderInfo(reread, again), "the written header");
  if (HeaderAsRead(again.header) != bytes) {
    fuzz::Finding("the header written as read and read again differs");
  }

  JwwWorkspace whole;
  whole.switches.extract_images = false;
  ByteReader all = fuzz::Reader({data, size});
  if (JwwRead(all, whole).ok() &&
      (!(whole.header.memo == info.header.memo) || whole.header.version != info.header.version)) {
    fuzz::Finding("JwwReadHeaderInfo and JwwRead disagree on the header");
  }
  return 0;
}
