// JwkRead on any bytes.

#include "dos_round_trip.h"
#include "formats/dos/jwk_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  penmorph::fuzz::MemoryBound bound(size);
  penmorph::fuzz::CheckDosFile<penmorph::jw::JwkWorkspace>({data, size}, penmorph::jw::JwkRead,
                                                           penmorph::jw::JwkWrite, "Jwk");
  return 0;
}
