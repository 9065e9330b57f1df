// JwcReadHeaderInfo on any bytes.

#include "dos_round_trip.h"
#include "formats/dos/jwc_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  penmorph::fuzz::MemoryBound bound(size);
  penmorph::fuzz::CheckDosHeader<penmorph::jw::JwcWorkspace>(
      {data, size}, penmorph::jw::JwcReadHeaderInfo, penmorph::jw::JwcBuildHeaderLines,
      penmorph::jw::JwcRead, "Jwc");
  return 0;
}
