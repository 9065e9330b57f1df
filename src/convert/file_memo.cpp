#include "convert/file_memo.h"

#include <initializer_list>

#include "common/path_text.h"
#include "common/text.h"
#include "convert/source_file.h"

namespace penmorph {

namespace {

// The memo of the first of `extensions`' formats that has one for the file; with `probe_first`
// the file must carry that format's signature. One open, a small buffer: the header is all.
std::optional<HeaderMemo> MemoOf(const FormatRegistry& formats,
                                 std::initializer_list<std::string_view> extensions,
                                 const std::filesystem::path& file, bool probe_first) {
  auto in = ByteReader::OpenFile(file, kHeaderBuffer);
  if (!in.ok()) {
    return std::nullopt;
  }
  for (std::string_view extension : extensions) {
    const FileFormat* format = formats.FindByExtension(extension);
    if (format == nullptr || (probe_first && !HasSignature(*format, in.value()))) {
      continue;
    }
    return format->ReadMemo(in.value());
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
  std::optional<HeaderMemo> memo;
  if (extension == ".JWC" || extension == ".JWK" || extension == ".JWW") {
    memo = MemoOf(formats, {extension}, file, false);
  } else if (extension == ".JW$") {
    memo = MemoOf(formats, {".JWW"}, file, false);
  } else if (extension == ".BAK" || extension.rfind(".BK", 0) == 0) {
    memo = MemoOf(formats, {".JWC", ".JWW"}, file, true);
  }
  return memo ? Cleaned(std::move(*memo)) : HeaderMemo{};
}

}  // namespace penmorph
