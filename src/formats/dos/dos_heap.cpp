#include "formats/dos/dos_heap.h"

namespace penmorph {

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
      return MakeError(ErrorKind::kRange, RecordName("text record", i, texts.size()) +
                                              ": its string is " + std::to_string(length) +
                                              " bytes long, more than the 255 a text may hold");
    }
    size += length + 1;
  }
  return size;
}

Status ResolveTexts(std::string_view heap, std::int64_t base, std::vector<TMoji2>& texts,
                    std::uint64_t first_record_offset) {
  for (std::size_t i = 0; i < texts.size(); ++i) {
    std::int64_t position = std::int64_t{texts[i].heap_address} - base;
    if (position < 0 || position >= static_cast<std::int64_t>(heap.size())) {
      return MakeError(ErrorKind::kMalformed,
                       RecordName("text record", i, texts.size()) + " points at heap position " +
                           std::to_string(position) + ", outside the " +
                           std::to_string(heap.size()) + "-byte text heap",
                       first_record_offset + i * TMoji2::kSize);
    }
    std::string_view rest = heap.substr(static_cast<std::size_t>(position));
    texts[i].text = std::string(rest.substr(0, rest.find('\0')));
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

}  // namespace penmorph
