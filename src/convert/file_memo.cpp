#include "convert/file_memo.h"

#include "common/path_text.h"
#include "common/text.h"

namespace penmorph {

namespace {

std::optional<HeaderMemo> MemoOf(const FormatRegistry& formats, std::string_view extension,
                                 const std::filesystem::path& file, bool probe_first) {
  FileFormat* format = formats.FindByExtension(extension);
  if (format == nullptr || (probe_first && !format->Probe(file))) {
    return std::nullopt;
  }
  return format->ReadMemo(file);
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
  std::optional<HeaderMemo> memo;
  if (extension == ".JWC" || extension == ".JWK" || extension == ".JWW") {
    memo = MemoOf(formats, extension, file, false);
  } else if (extension == ".JW$") {
    memo = MemoOf(formats, ".JWW", file, false);
  } else if (extension == ".BAK" || extension.rfind(".BK", 0) == 0) {
    memo = MemoOf(formats, ".JWC", file, true);
    if (!memo) {
      memo = MemoOf(formats, ".JWW", file, true);
    }
  }
  return memo ? Cleaned(std::move(*memo)) : HeaderMemo{};
}

}  // namespace penmorph
