// JwcReadHeaderInfo on any bytes.

#include "dos_round_trip.h"
#include "formats/dos/jwc_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  penmorph::fuzz::MemoryBound bound(size);
  penmorph::fuzz::CheckDosHeader<penmorph::JwcWorkspace>({data, size}, penmorph::JwcReadHeaderInfo,
                                                         penmorph::JwcBuildHeaderLines,
                                                         penmorph::JwcRead, "Jwc");
  return 0;
}
