// JwcRead on any bytes.

#include "dos_round_trip.h"
#include "formats/dos/jwc_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  penmorph::fuzz::MemoryBound bound(size);
  penmorph::fuzz::CheckDosFile<penmorph::jw::JwcWorkspace>({data, size}, penmorph::jw::JwcRead,
                                                           penmorph::jw::JwcWrite, "Jwc");
  return 0;
}
