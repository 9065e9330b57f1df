#pragma once

// The text heap of JWC drawings and JWK symbols: the texts' strings, each ended by a NUL. On
// reading, each text takes its string from where its record points; on writing, the heap is
// rebuilt from the strings in record order, each once, with nothing between them.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/byte_reader.h"
#include "common/byte_writer.h"
#include "common/result.h"
#include "formats/dos/dos_records.h"
#include "formats/image_reference.h"

namespace penmorph::jw {

inline constexpr std::size_t kMaxTextLength = 255;

// The string a text is written with: "^@BM%temp%..." loses its "%temp%".
std::string OutputText(std::string_view held);

// The heap the writer will build: the sum of the output strings' lengths plus one NUL each.
// Fails, naming the text, when an output string is longer than a text may be.
Result<std::uint64_t> OutputHeapSize(const std::vector<TMoji2>& texts);

// Gives every text the bytes from heap position (heap_address - base) to the first NUL, or to
// the end of the heap when there is none. A text pointing outside the heap fails the read;
// `first_record_offset` is the file offset of the first text record, for the reason.
Status ResolveTexts(std::string_view heap, std::int64_t base, std::vector<TMoji2>& texts,
                    std::uint64_t first_record_offset);

// Reads a heap of `size` bytes and resolves the texts from it (as above); a heap of 0 bytes or
// less is absent, and every text keeps an empty string.
Status ReadHeap(ByteReader& in, std::int64_t size, std::int64_t base, std::vector<TMoji2>& texts,
                std::uint64_t first_record_offset);

// Each text's string and a NUL, in record order.
void WriteHeap(ByteWriter& out, const std::vector<TMoji2>& texts);

}  // namespace penmorph::jw
