#include "convert/file_memo.h"

#include <utility>
#include <vector>

#include "common/path_text.h"
#include "common/text.h"
#include "convert/source_file.h"

namespace penmorph {

namespace {

// A format to read a memo with, and whether the file must carry its signature first.
using MemoReader = std::pair<const FileFormat*, bool>;

// The file's own format, if it holds a memo; otherwise the formats whose copies the name is.
std::vector<MemoReader> MemoReaders(const FormatRegistry& formats, std::string_view extension) {
  if (const FileFormat* own = formats.FindByExtension(extension)) {
    if (own->Traits().has_memo) {
      return {{own, false}};
    }
    return {};
  }
  std::vector<MemoReader> readers;
  for (const auto& format : formats.formats()) {
    for (const CopyName& copy : format->Traits().copies) {
      if (MatchesWildcard(extension, copy.extension)) {
        readers.emplace_back(format.get(), copy.needs_signature);
        break;
      }
    }
  }
  return readers;
}

// The memo of the first reader that has one for the file; one that needs the signature is passed
// over without it. One open, a small buffer: the header is all.
std::optional<HeaderMemo> MemoOf(const std::vector<MemoReader>& readers,
                                 const std::filesystem::path& file) {
  if (readers.empty()) {
    return std::nullopt;
  }
  auto in = ByteReader::OpenFile(file, kHeaderBuffer);
  if (!in.ok()) {
    return std::nullopt;
  }
  for (const auto& [format, needs_signature] : readers) {
    if (!needs_signature || HasSignature(*format, in.value())) {
      return format->ReadMemo(in.value());
    }
  }
  return std::nullopt;
}

HeaderMemo Cleaned(HeaderMemo memo) {
  if (memo.utf8) {
    // UTF-8 sequences hold no byte below 0x80, so control bytes can simply go.
    std::erase_if(memo.text, [](char c) { return static_cast<unsigned char>(c) < 0x20; });
  } else {
    memo.text = StripControlChars(memo.text);
  }
  return memo;
}

}  // namespace

HeaderMemo FileMemo(const FormatRegistry& formats, const std::filesystem::path& file) {
  const std::string extension = ToUpperAscii(FileExtension(PathToUtf8(file.filename())));
  std::optional<HeaderMemo> memo = MemoOf(MemoReaders(formats, extension), file);
  return memo ? Cleaned(std::move(*memo)) : HeaderMemo{};
}

}  // namespace penmorph
