#include "formats/dos/dos_heap.h"

#include <algorithm>
#include <utility>

#include "formats/dos/dos_kinds.h"

namespace penmorph::jw {

std::string OutputText(std::string_view held) {
  if (held.substr(0, kImageRefPrefix.size()) == kImageRefPrefix) {
    return "^@BM" + std::string(held.substr(kImageRefPrefix.size()));
  }
  return std::string(held);
}

Result<std::uint64_t> OutputHeapSize(const std::vector<TMoji2>& texts) {
  std::uint64_t size = 0;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    std::size_t length = OutputText(texts[i].text).size();
    if (length > kMaxTextLength) {
      return MakeError(ErrorKind::kRange, RecordName(kDosTexts.name, i, texts.size()) +
                                              ": its string is " + std::to_string(length) +
                                              " bytes long, more than the 255 a text may hold");
    }
    size += length + 1;
  }
  return size;
}

Status ResolveTexts(std::string_view heap, std::int64_t base, std::vector<TMoji2>& texts,
                    std::uint64_t first_record_offset) {
  // Where each string ends is looked up in the list of the heap's NULs, so that many texts
  // pointing into one long string cost no scan each.
  std::vector<std::size_t> nuls;
  for (std::size_t at = heap.find('\0'); at != std::string_view::npos;
       at = heap.find('\0', at + 1)) {
    nuls.push_back(at);
  }
  std::vector<std::pair<std::size_t, std::size_t>> spans(texts.size());
  // Texts may share a string, but their strings together cannot be longer than the heap plus
  // what texts of the longest writable string would hold: beyond that, they overlap in a way no
  // writer makes, and holding them would take memory out of all proportion to the file.
  const std::uint64_t limit = heap.size() + (kMaxTextLength + 1) * std::uint64_t{texts.size()};
  std::uint64_t total = 0;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    std::int64_t position = std::int64_t{texts[i].heap_address} - base;
    if (position < 0 || position >= static_cast<std::int64_t>(heap.size())) {
      return MakeError(ErrorKind::kMalformed,
                       RecordName(kDosTexts.name, i, texts.size()) + " points at heap position " +
                           std::to_string(position) + ", outside the " +
                           std::to_string(heap.size()) + "-byte text heap",
                       first_record_offset + i * TMoji2::kSize);
    }
    const auto from = static_cast<std::size_t>(position);
    auto nul = std::lower_bound(nuls.begin(), nuls.end(), from);
    const std::size_t to = nul == nuls.end() ? heap.size() : *nul;
    spans[i] = {from, to - from};
    total += to - from;
    if (total > limit) {
      return MakeError(ErrorKind::kMalformed,
                       "the texts' strings overlap in the heap: up to " +
                           RecordName(kDosTexts.name, i, texts.size()) + " they add up to " +
                           std::to_string(total) + " bytes, from a heap of " +
                           std::to_string(heap.size()),
                       first_record_offset + i * TMoji2::kSize);
    }
  }
  for (std::size_t i = 0; i < texts.size(); ++i) {
    texts[i].text = std::string(heap.substr(spans[i].first, spans[i].second));
  }
  return Status::Ok();
}

Status ReadHeap(ByteReader& in, std::int64_t size, std::int64_t base, std::vector<TMoji2>& texts,
                std::uint64_t first_record_offset) {
  if (size < 1) {
    return Status::Ok();
  }
  std::string heap = in.read_string(static_cast<std::uint64_t>(size));
  if (!in.ok()) {
    return WithContext("the text heap", in.error());
  }
  return ResolveTexts(heap, base, texts, first_record_offset);
}

void WriteHeap(ByteWriter& out, const std::vector<TMoji2>& texts) {
  for (const TMoji2& text : texts) {
    out.write_bytes(text.text);
    out.write_u8(0);
  }
}

}  // namespace penmorph::jw
