#include "win/ui_font.h"

#include <array>

namespace penmorph::win {

namespace {

int CALLBACK NoteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool Installed(const wchar_t* face) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &wanted, NoteFound, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

}  // namespace

const std::wstring& JapaneseUiFontFace() {
  static const std::wstring face = [] {
    constexpr std::array<const wchar_t*, 3> kFaces = {L"Yu Gothic UI", L"Meiryo UI",
                                                      L"MS UI Gothic"};
    for (const wchar_t* face : kFaces) {
      if (Installed(face)) {
        return std::wstring(face);
      }
    }
    return std::wstring(kFaces.back());
  }();
  return face;
}

UINT WindowDpi(HWND window) {
  const UINT dpi = window != nullptr ? GetDpiForWindow(window) : 0;
  return dpi != 0 ? dpi : 96;
}

UiFont::UiFont(int pixels, UINT dpi, bool bold) {
  LOGFONTW font{};
  font.lfHeight = -Scale(pixels, dpi);
  font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  font.lfCharSet = SHIFTJIS_CHARSET;
  font.lfQuality = CLEARTYPE_QUALITY;
  lstrcpynW(font.lfFaceName, JapaneseUiFontFace().c_str(), LF_FACESIZE);
  handle_ = CreateFontIndirectW(&font);
}

UiFont::~UiFont() {
  if (handle_ != nullptr) {
    DeleteObject(handle_);
  }
}

UiFont& UiFont::operator=(UiFont&& other) noexcept {
  if (this != &other) {
    if (handle_ != nullptr) {
      DeleteObject(handle_);
    }
    handle_ = other.handle_;
    other.handle_ = nullptr;
  }
  return *this;
}

void SetFontOfChildren(HWND parent, HFONT font) {
  SendMessageW(parent, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM font) -> BOOL {
        SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(font));
}

}  // namespace penmorph::win
