#include "settings/ini_document.h"

#include <cstdio>

#include "common/byte_reader.h"
#include "common/file_system.h"
#include "common/path_text.h"
#include "common/text.h"
#include "common/text_decoding.h"

namespace penmorph {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t npos = std::string::npos;
constexpr std::string_view kTemporaryPurpose = "ini";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'a' && x <= 'z') {
      x = static_cast<char>(x - 'a' + 'A');
    }
    if (y >= 'a' && y <= 'z') {
      y = static_cast<char>(y - 'a' + 'A');
    }
    if (x != y) {
      return false;
    }
  }
  return true;
}

bool HasLineBreakOrNul(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// Values whose outer blanks or outer quotes a reader would take off are quoted, so that every
// value reads back exactly as it was written.
std::string EncodeValue(std::string_view value) {
  bool needs_quotes =
      !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) ||
                         (value.size() >= 2 && value.front() == '"' && value.back() == '"'));
  if (!needs_quotes) {
    return std::string(value);
  }
  std::string quoted = "\"";
  quoted += value;
  quoted += '"';
  return quoted;
}

// UTF-8 as it is; otherwise Shift-JIS, as older programs and Japanese editors on Windows write
// it. A file that is neither (a byte Shift-JIS cannot start a character with) keeps its bytes:
// decoding would lose them, and a save would write the loss back.
std::string DecodedText(std::string text) {
  if (IsValidUtf8(text)) {
    return text;
  }
  std::string decoded = ShiftJisToUtf8(text);
  constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
  if (decoded.find(kReplacement) != std::string::npos) {
    return text;
  }
  return decoded;
}

}  // namespace

IniDocument::Line IniDocument::Classify(std::string text, std::string ending) {
  Line line;
  line.text = std::move(text);
  line.ending = std::move(ending);
  std::string_view view = TrimBlanks(line.text);
  if (view.empty() || view.front() == ';') {
    return line;
  }
  if (view.front() == '[') {
    auto close = view.find(']');
    if (close != std::string_view::npos) {
      line.kind = LineKind::kSection;
      line.name = std::string(TrimBlanks(view.substr(1, close - 1)));
    }
    return line;
  }
  auto equals = line.text.find('=');
  if (equals == npos) {
    return line;
  }
  std::string_view key = TrimBlanks(std::string_view(line.text).substr(0, equals));
  if (key.empty()) {
    return line;
  }
  line.kind = LineKind::kKey;
  line.name = std::string(key);
  line.value_start = equals + 1;
  return line;
}

IniDocument IniDocument::Parse(std::string_view text) {
  IniDocument document;
  std::size_t start = 0;
  while (start < text.size()) {
    auto newline = text.find('\n', start);
    std::size_t end = newline == std::string_view::npos ? text.size() : newline;
    std::size_t content_end = end;
    std::string_view ending;
    if (newline != std::string_view::npos) {
      ending = "\n";
      if (content_end > start && text[content_end - 1] == '\r') {
        --content_end;
        ending = "\r\n";
      }
    } else if (content_end > start && text[content_end - 1] == '\r') {
      // A file cut between the CR and the LF of its last line: the CR ends the line, not its value.
      --content_end;
      ending = "\r";
    }
    document.lines_.push_back(
        Classify(std::string(text.substr(start, content_end - start)), std::string(ending)));
    start = newline == std::string_view::npos ? text.size() : newline + 1;
  }
  return document;
}

Result<IniDocument> IniDocument::Load(const fs::path& path) {
  RealFileSystem files;
  if (!files.Exists(path)) {
    return IniDocument();
  }
  auto in = ByteReader::OpenFile(path);
  if (!in.ok()) {
    return in.error();
  }
  std::string text = in->read_string(in->size());
  if (!in->ok()) {
    return IoError("cannot read " + PathToUtf8(path) + ": " + in->error().message);
  }
  return Parse(DecodedText(std::move(text)));
}

std::size_t IniDocument::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == LineKind::kSection && EqualsIgnoringCase(lines_[i].name, section)) {
      return i;
    }
  }
  return npos;
}

std::size_t IniDocument::FindKey(std::size_t header, std::string_view key) const {
  for (std::size_t i = header + 1; i < lines_.size() && lines_[i].kind != LineKind::kSection; ++i) {
    if (lines_[i].kind == LineKind::kKey && EqualsIgnoringCase(lines_[i].name, key)) {
      return i;
    }
  }
  return npos;
}

std::size_t IniDocument::SectionKeyEnd(std::size_t header) const {
  std::size_t end = header + 1;
  for (std::size_t i = header + 1; i < lines_.size() && lines_[i].kind != LineKind::kSection; ++i) {
    if (lines_[i].kind == LineKind::kKey) {
      end = i + 1;
    }
  }
  return end;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
  std::size_t header = FindSection(section);
  if (header == npos) {
    return std::nullopt;
  }
  std::size_t index = FindKey(header, key);
  if (index == npos) {
    return std::nullopt;
  }
  return ValueOf(lines_[index]);
}

std::string IniDocument::ValueOf(const Line& line) {
  std::string_view value = TrimBlanks(std::string_view(line.text).substr(line.value_start));
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

std::vector<std::pair<std::string, std::string>> IniDocument::Entries(
    std::string_view section) const {
  std::vector<std::pair<std::string, std::string>> entries;
  const std::size_t header = FindSection(section);
  for (std::size_t i = header + 1; header != npos && i < lines_.size(); ++i) {
    if (lines_[i].kind == LineKind::kSection) {
      break;
    }
    if (lines_[i].kind == LineKind::kKey) {
      entries.emplace_back(lines_[i].name, ValueOf(lines_[i]));
    }
  }
  return entries;
}

bool IniDocument::SetEntries(std::string_view section,
                             const std::vector<std::pair<std::string, std::string>>& entries) {
  const std::string ending = NewLineEnding();
  std::size_t header = FindSection(section);
  if (header == npos && entries.empty()) {
    return true;  // nothing to hold: no section added
  }
  if (header == npos) {
    header = SectionHeader(section, ending);
  }
  for (std::size_t i = header + 1; i < lines_.size() && lines_[i].kind != LineKind::kSection;) {
    if (lines_[i].kind == LineKind::kKey) {
      lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
  bool all_held = true;
  std::size_t at = header + 1;
  for (const auto& [key, value] : entries) {
    if (!CanHold(key, value)) {
      all_held = false;
      continue;
    }
    if (at == lines_.size()) {
      EndLastLine(ending);
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at++),
                  Classify(key + "=" + EncodeValue(value), ending));
  }
  return all_held;
}

bool IniDocument::CanHoldKey(std::string_view key) {
  return !key.empty() && TrimBlanks(key) == key && !HasLineBreakOrNul(key) &&
         key.find('=') == std::string_view::npos && key.front() != '[' && key.front() != ';';
}

bool IniDocument::CanHold(std::string_view key, std::string_view value) {
  return CanHoldKey(key) && !HasLineBreakOrNul(value);
}

std::size_t IniDocument::SectionHeader(std::string_view section, const std::string& ending) {
  if (const std::size_t header = FindSection(section); header != npos) {
    return header;
  }
  if (!lines_.empty()) {
    EndLastLine(ending);  // the old last line gets the end it lacked
    if (!TrimBlanks(lines_.back().text).empty()) {
      lines_.push_back(Classify("", ending));
    }
  }
  lines_.push_back(Classify("[" + std::string(section) + "]", ending));
  return lines_.size() - 1;
}

std::string IniDocument::NewLineEnding() const {
  for (const Line& line : lines_) {
    if (line.ending.find('\n') != std::string::npos) {
      return line.ending;
    }
  }
  return "\n";
}

void IniDocument::EndLastLine(const std::string& ending) {
  if (lines_.empty()) {
    return;
  }
  std::string& last = lines_.back().ending;
  if (last.empty()) {
    last = ending;
  } else if (last == "\r") {
    last = "\r\n";  // a CR alone would not part it from the line that follows
  }
}

bool IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  bool bad_section = section.empty() || TrimBlanks(section) != section ||
                     HasLineBreakOrNul(section) || section.find(']') != std::string_view::npos;
  if (bad_section || !CanHold(key, value)) {
    return false;
  }
  std::string ending = NewLineEnding();
  const std::size_t header = SectionHeader(section, ending);
  std::string encoded = EncodeValue(value);
  std::size_t index = FindKey(header, key);
  if (index != npos) {
    // Keep the key as it is spelled in the file; only the value changes.
    Line& line = lines_[index];
    line.text = line.text.substr(0, line.value_start) + encoded;
    return true;
  }
  std::size_t at = SectionKeyEnd(header);
  if (at == lines_.size()) {
    EndLastLine(ending);
  }
  Line line = Classify(std::string(key) + "=" + encoded, ending);
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
  return true;
}

void IniDocument::Remove(std::string_view section, std::string_view key) {
  const std::size_t header = FindSection(section);
  if (header == npos) {
    return;
  }
  for (std::size_t index = FindKey(header, key); index != npos; index = FindKey(header, key)) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
  }
}

std::string IniDocument::Serialize() const {
  std::string text;
  for (const Line& line : lines_) {
    text += line.text;
    text += line.ending;
  }
  return text;
}

namespace {

// The file a save replaces: where a link at `path` leads, so that the link stays a link.
fs::path SaveTarget(const fs::path& path) {
#ifdef _WIN32
  return path;  // links need privileges there; a settings file is not one
#else
  std::error_code ec;
  if (fs::is_symlink(path, ec)) {
    fs::path linked = fs::read_symlink(path, ec);
    if (!ec) {
      return linked.is_absolute() ? linked : path.parent_path() / linked;
    }
  }
  return path;
#endif
}

// Gives the new file the permissions of the one it replaces.
void KeepPermissions(const fs::path& replaced, const fs::path& replacement) {
#ifndef _WIN32
  std::error_code ec;
  auto old_status = fs::status(replaced, ec);
  if (!ec && fs::exists(old_status)) {
    fs::permissions(replacement, old_status.permissions(), ec);
  }
#else
  (void)replaced;
  (void)replacement;
#endif
}

}  // namespace

Status IniDocument::Save(const fs::path& path) const {
  const fs::path target = SaveTarget(path);
  fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  RealFileSystem files;
  Result<std::unique_ptr<FileSink>> sink = IoError("not created");
  fs::path temporary;
  {
    // Under the folder's lock: another save's clean-up cannot take the new file for a leftover
    // in the moment before the file is locked itself.
    const std::unique_ptr<FolderLock> folder_lock = files.LockFolder(folder);
    // A save that was killed left its temporary file; the target itself was never touched.
    RemoveLeftoverTemporaries(folder, kTemporaryPurpose);
    temporary = UniqueTemporaryName(folder, kTemporaryPurpose);
    sink = FileSink::CreateExclusive(temporary);
  }
  if (!sink.ok()) {
    return sink.error();
  }
  std::string text = Serialize();
  Status written =
      sink.value()->Write({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
  Status closed = sink.value()->Close();
  if (written.ok() && closed.ok()) {
    KeepPermissions(target, temporary);
    Status replaced = files.Rename(temporary, target);
    if (replaced.ok()) {
      return Status::Ok();
    }
    (void)files.Remove(temporary);
    return replaced;
  }
  (void)files.Remove(temporary);
  return written.ok() ? closed : written;
}

}  // namespace penmorph
