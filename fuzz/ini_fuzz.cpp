// The ini layer on any text: parsing keeps every byte, a value set reads back as set, and the
// settings read from a file survive being stored and read again.

#include "fuzz_support.h"
#include "settings/ini_document.h"
#include "settings/settings_store.h"

using namespace penmorph;

namespace {

// The input's first line, split at '|', names a section, a key and a value to set.
void CheckSet(IniDocument document, std::string_view text) {
  std::string_view first = text.substr(0, text.find('\n'));
  auto bar = first.find('|');
  auto bar2 = bar == std::string_view::npos ? bar : first.find('|', bar + 1);
  if (bar2 == std::string_view::npos) {
    return;
  }
  std::string_view section = first.substr(0, bar);
  std::string_view key = first.substr(bar + 1, bar2 - bar - 1);
  std::string_view value = first.substr(bar2 + 1);
  const std::string before = document.Serialize();
  if (!document.Set(section, key, value)) {
    if (document.Serialize() != before) {
      fuzz::Finding("a refused Set changed the document");
    }
    return;
  }
  if (document.Get(section, key) != std::string(value)) {
    fuzz::Finding("a value set does not read back as set");
  }
  IniDocument reparsed = IniDocument::Parse(document.Serialize());
  if (reparsed.Get(section, key) != std::string(value)) {
    fuzz::Finding("a value set does not read back from the saved text");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::MemoryBound bound(size);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  IniDocument document = IniDocument::Parse(text);
  if (document.Serialize() != text) {
    fuzz::Finding("parsing and serialising changed the text");
  }
  CheckSet(document, text);

  AppSettings settings;
  ApplyAppSettings(document, settings);
  IniDocument stored = document;
  StoreAppSettings(stored, settings);
  AppSettings again;
  ApplyAppSettings(IniDocument::Parse(stored.Serialize()), again);
  if (!(again == settings)) {
    fuzz::Finding("settings stored and read again differ");
  }
  return 0;
}
