#include "win/preview_pane.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <vector>

#include "app/preview_texts.h"
#include "win/control_ids.h"
#include "win/controls.h"
#include "win/ui_font.h"
#include "win/win_text.h"

namespace penmorph::win {

namespace {

namespace texts = app::preview_texts;

constexpr UINT kDeliver = WM_APP + 20;  // from the panel's worker

POINT Pixel(app::ScreenPoint p) {
  return {static_cast<LONG>(std::lround(p.x)), static_cast<LONG>(std::lround(p.y))};
}

// app::PreviewPainter with GDI, into a memory bitmap; pens and fonts are made once per paint.
class GdiPainter final : public app::PreviewPainter {
 public:
  explicit GdiPainter(HDC dc) : dc_(dc) {
    SetBkMode(dc_, TRANSPARENT);
    SetGraphicsMode(dc_, GM_ADVANCED);  // turned texts
    SetTextAlign(dc_, TA_BASELINE | TA_LEFT);
  }
  ~GdiPainter() override {
    SelectObject(dc_, GetStockObject(BLACK_PEN));
    for (auto& [key, pen] : pens_) {
      DeleteObject(pen);
    }
  }

  void Polyline(std::span<const app::ScreenPoint> points, const preview::Pen& pen) override {
    if (&pen != last_pen_) {  // neighbours mostly share a pen: look it up once for them
      SelectObject(dc_, PenFor(pen));
      last_pen_ = &pen;
    }
    // One call for the whole line, so that its dashes run on round its corners.
    corners_.clear();
    for (const app::ScreenPoint& p : points) {
      corners_.push_back(Pixel(p));
    }
    ::Polyline(dc_, corners_.data(), static_cast<int>(corners_.size()));
  }

  void FilledPolygon(std::span<const app::ScreenPoint> points, std::uint32_t rgb) override {
    std::vector<POINT> corners;
    for (const app::ScreenPoint& p : points) {
      corners.push_back(Pixel(p));
    }
    HBRUSH brush = CreateSolidBrush(ColorOf(rgb));
    HGDIOBJ old_brush = SelectObject(dc_, brush);
    HGDIOBJ old_pen = SelectObject(dc_, GetStockObject(NULL_PEN));
    ::Polygon(dc_, corners.data(), static_cast<int>(corners.size()));
    SelectObject(dc_, old_pen);
    last_pen_ = nullptr;
    SelectObject(dc_, old_brush);
    DeleteObject(brush);
  }

  void Text(app::ScreenPoint origin, double height, double width, double degrees,
            const std::string& utf8, std::uint32_t rgb) override {
    const std::wstring text = Wide(utf8);
    LOGFONTW font{};
    font.lfHeight = -std::max(1L, std::lround(height));
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = ANTIALIASED_QUALITY;
    lstrcpynW(font.lfFaceName, JapaneseUiFontFace().c_str(), LF_FACESIZE);
    // Measured upright first, then squeezed or stretched to fill its baseline.
    HFONT upright = CreateFontIndirectW(&font);
    HGDIOBJ old = SelectObject(dc_, upright);
    SIZE natural{};
    TEXTMETRICW metrics{};
    GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &natural);
    GetTextMetricsW(dc_, &metrics);
    SelectObject(dc_, old);
    DeleteObject(upright);
    if (natural.cx > 0 && width > 0) {
      font.lfWidth = std::max(1L, std::lround(metrics.tmAveCharWidth * width / natural.cx));
    }
    font.lfEscapement = font.lfOrientation = std::lround(degrees * 10);
    HFONT turned = CreateFontIndirectW(&font);
    old = SelectObject(dc_, turned);
    SetTextColor(dc_, ColorOf(rgb));
    const POINT at = Pixel(origin);
    TextOutW(dc_, at.x, at.y, text.c_str(), static_cast<int>(text.size()));
    SelectObject(dc_, old);
    DeleteObject(turned);
  }

  void Dot(app::ScreenPoint at, std::uint32_t rgb) override {
    const POINT p = Pixel(at);
    HBRUSH brush = CreateSolidBrush(ColorOf(rgb));
    const RECT r{p.x - 1, p.y - 1, p.x + 2, p.y + 2};
    FillRect(dc_, &r, brush);
    DeleteObject(brush);
  }

 private:
  HPEN PenFor(const preview::Pen& pen) {
    auto key = std::make_tuple(pen.rgb, pen.width, pen.dash);
    if (auto found = pens_.find(key); found != pens_.end()) {
      return found->second;
    }
    const DWORD width = static_cast<DWORD>(std::max(1L, std::lround(pen.width)));
    HPEN made = nullptr;
    if (pen.dash.empty()) {
      made = CreatePen(PS_SOLID, static_cast<int>(width), ColorOf(pen.rgb));
    } else {
      std::vector<DWORD> styles;
      for (double length : pen.dash) {
        styles.push_back(static_cast<DWORD>(std::max(1L, std::lround(length))));
      }
      if (styles.size() % 2 == 1) {
        styles.push_back(styles.back());
      }
      LOGBRUSH brush{BS_SOLID, ColorOf(pen.rgb), 0};
      made = ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_FLAT, width, &brush,
                          static_cast<DWORD>(styles.size()), styles.data());
    }
    pens_.emplace(key, made);
    return made;
  }

  HDC dc_;
  std::vector<POINT> corners_;  // a line's, kept from line to line
  std::map<std::tuple<std::uint32_t, double, std::vector<double>>, HPEN> pens_;
  const preview::Pen* last_pen_ = nullptr;
};

}  // namespace

// One side of the preview, painting into a bitmap first so that nothing flickers.
class PreviewCanvas : public WindowBase {
 public:
  static constexpr const wchar_t* kClassName = L"PenmorphCanvas";

  PreviewCanvas(PreviewPane& pane, int id) : pane_(pane) {
    RegisterClassOnce(kClassName);
    CreateWindowOf(kClassName, L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 0, 0, 0, 0, 0, pane.hwnd(),
                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
  }
  void SetList(const preview::DisplayList* list, const wchar_t* label) {
    list_ = list;
    label_ = label;
    InvalidateRect(hwnd(), nullptr, FALSE);
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override {
    switch (message) {
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT:
        Paint();
        return 0;
      case WM_MOUSEWHEEL: {
        POINT at{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        ScreenToClient(hwnd(), &at);
        const double steps = GET_WHEEL_DELTA_WPARAM(wparam) / 120.0;
        pane_.viewport_.ZoomAt(std::pow(1.25, steps), {double(at.x), double(at.y)});
        pane_.RepaintCanvases();
        return 0;
      }
      case WM_LBUTTONDOWN:
      case WM_MBUTTONDOWN:
        SetFocus(hwnd());
        SetCapture(hwnd());
        dragged_from_ = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        return 0;
      case WM_MOUSEMOVE:
        if (GetCapture() == hwnd()) {
          const POINT now{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
          pane_.viewport_.PanBy(now.x - dragged_from_.x, now.y - dragged_from_.y);
          dragged_from_ = now;
          pane_.RepaintCanvases();
        }
        return 0;
      case WM_LBUTTONUP:
      case WM_MBUTTONUP:
        ReleaseCapture();
        return 0;
      case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_WANTARROWS;
      case WM_KEYDOWN:
        if (wparam == VK_SPACE) {
          pane_.SwitchSide();
          return 0;
        }
        if (wparam == VK_HOME) {
          pane_.FitToWindow();
          return 0;
        }
        break;
      default:
        break;
    }
    return WindowBase::HandleMessage(message, wparam, lparam);
  }

 private:
  void Paint() {
    PAINTSTRUCT paint;
    HDC screen = BeginPaint(hwnd(), &paint);
    RECT client{};
    GetClientRect(hwnd(), &client);
    const int width = std::max(1, static_cast<int>(client.right));
    const int height = std::max(1, static_cast<int>(client.bottom));
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old_bitmap = SelectObject(dc, bitmap);
    const bool black = list_ != nullptr && list_->background == preview::Background::kBlack;
    HBRUSH background = CreateSolidBrush(black ? RGB(0, 0, 0) : RGB(255, 255, 255));
    FillRect(dc, &client, background);
    DeleteObject(background);
    if (list_ != nullptr) {
      pane_.viewport_.Resize(width, height);
      GdiPainter painter(dc);
      app::PaintDisplayList(*list_, pane_.viewport_, painter);
    }
    SetGraphicsMode(dc, GM_COMPATIBLE);
    SetTextAlign(dc, TA_TOP | TA_LEFT);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, black ? RGB(255, 255, 255) : RGB(96, 96, 96));
    HGDIOBJ old_font =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(pane_.hwnd(), WM_GETFONT, 0, 0)));
    // Wrapped: the after side's label may carry a refusal of the tables, given whole.
    RECT text_area{6, 4, std::max(6, width - 6), std::max(4, height - 4)};
    DrawTextW(dc, label_.c_str(), static_cast<int>(label_.size()), &text_area,
              DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old_font);
    BitBlt(screen, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    SelectObject(dc, old_bitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    EndPaint(hwnd(), &paint);
  }

  PreviewPane& pane_;
  const preview::DisplayList* list_ = nullptr;
  std::wstring label_;
  POINT dragged_from_{};
};

PreviewPane::PreviewPane(HWND parent, const FormatRegistry& formats)
    : panel_(formats, [this] { PostMessageW(hwnd(), kDeliver, 0, 0); }) {
  RegisterClassOnce(kClassName, GetSysColorBrush(COLOR_BTNFACE));
  CreateWindowOf(kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, 0, parent,
                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(ids::kPreviewPane)));
  caption_ = AddControl(hwnd(), L"STATIC", "", SS_LEFT | SS_ENDELLIPSIS, ids::kPreviewCaption);
  side_by_side_box_ = AddControl(hwnd(), L"BUTTON", texts::kSideBySide,
                                 BS_AUTOCHECKBOX | WS_TABSTOP, ids::kPreviewSideBySide);
  Button_SetCheck(side_by_side_box_, BST_CHECKED);
  switch_button_ = AddControl(hwnd(), L"BUTTON", texts::SwitchCaption(true),
                              BS_PUSHBUTTON | WS_TABSTOP, ids::kPreviewSwitch);
  black_box_ = AddControl(hwnd(), L"BUTTON", texts::kBlackBackground, BS_AUTOCHECKBOX | WS_TABSTOP,
                          ids::kPreviewBlack);
  hidden_layers_box_ = AddControl(hwnd(), L"BUTTON", texts::kShowHiddenLayers,
                                  BS_AUTOCHECKBOX | WS_TABSTOP, ids::kPreviewHiddenLayers);
  fit_button_ = AddControl(hwnd(), L"BUTTON", texts::kFitButton, BS_PUSHBUTTON | WS_TABSTOP,
                           ids::kPreviewFit);
  table_ = AddControl(hwnd(), WC_LISTVIEWW, "",
                      LVS_REPORT | LVS_NOSORTHEADER | LVS_SINGLESEL | WS_BORDER | WS_TABSTOP,
                      ids::kPreviewInventory);
  ListView_SetExtendedListViewStyle(table_,
                                    LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER);
  const int widths[] = {110, 56, 56, 200};
  for (int c = 0; c < 4; ++c) {
    std::wstring head = Wide(texts::kInventoryHeads[c]);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = c == 1 || c == 2 ? LVCFMT_RIGHT : LVCFMT_LEFT;
    column.cx = widths[c];
    column.pszText = head.data();
    ListView_InsertColumn(table_, c, &column);
  }
  before_ = std::make_unique<PreviewCanvas>(*this, ids::kPreviewBefore);
  after_ = std::make_unique<PreviewCanvas>(*this, ids::kPreviewAfter);
  Refresh();
}

PreviewPane::~PreviewPane() = default;

void PreviewPane::SetFont(HFONT font) {
  SetFontOfChildren(hwnd(), font);
  SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void PreviewPane::ShowFile(const std::optional<std::filesystem::path>& file,
                           const ConversionTables& tables) {
  panel_.Show(file, tables);
  Refresh();
}

void PreviewPane::TablesChanged(const ConversionTables& tables) {
  panel_.TablesChanged(tables);
  Refresh();
}

void PreviewPane::SwitchSide() {
  panel_.SwitchSide();
  ShowCanvases();
}

void PreviewPane::FitToWindow() {
  if (const preview::DisplayList* list = panel_.before()) {
    viewport_.FitWhenSized(list->drawing->extents);  // the next paint knows the size
    panel_.Fitted();
  }
  RepaintCanvases();
}

void PreviewPane::RepaintCanvases() {
  InvalidateRect(before_->hwnd(), nullptr, FALSE);
  InvalidateRect(after_->hwnd(), nullptr, FALSE);
}

void PreviewPane::ShowCanvases() {
  ShowWindow(before_->hwnd(), panel_.ShowsBefore() ? SW_SHOW : SW_HIDE);
  ShowWindow(after_->hwnd(), panel_.ShowsAfter() ? SW_SHOW : SW_HIDE);
  SetWindowTextUtf8(switch_button_, panel_.SwitchCaption());
  EnableWindow(switch_button_, panel_.switch_enabled());
  LayOut();
}

void PreviewPane::Refresh() {
  SetWindowTextUtf8(caption_, panel_.Caption());
  const std::vector<app::InventoryRow> rows = panel_.Rows();
  SendMessageW(table_, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(table_);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const app::InventoryRow& row = rows[r];
    const std::string cells[] = {row.changes ? "* " + row.what : row.what, row.before, row.after,
                                 row.detail};
    for (int c = 0; c < 4; ++c) {
      std::wstring text = Wide(cells[c]);
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(r);
      item.iSubItem = c;
      item.pszText = text.data();
      if (c == 0) {
        ListView_InsertItem(table_, &item);
      } else {
        ListView_SetItem(table_, &item);
      }
    }
  }
  SendMessageW(table_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(table_, nullptr, TRUE);
  before_->SetList(panel_.before(), Wide(texts::kBefore).c_str());
  after_->SetList(panel_.after(), Wide(panel_.AfterLabel()).c_str());
  ShowCanvases();
  if (panel_.NeedsFit()) {
    FitToWindow();  // a drawing that has just arrived is shown whole
  }
}

void PreviewPane::LayOut() {
  // Windows sends WM_SIZE while the pane's own window is being made, before the canvases exist;
  // the constructor lays everything out once they do.
  if (!before_ || !after_) {
    return;
  }
  RECT client{};
  GetClientRect(hwnd(), &client);
  const UINT dpi = WindowDpi(hwnd());
  auto s = [dpi](int pixels) { return Scale(pixels, dpi); };
  const int width = client.right;
  const int bar = s(26);
  int x = width;
  auto place_right = [&](HWND control, int w) {
    x -= w + s(4);
    MoveWindow(control, x, s(2), w, s(22), TRUE);
  };
  place_right(fit_button_, s(72));
  place_right(hidden_layers_box_, s(130));
  place_right(black_box_, s(64));
  place_right(switch_button_, s(104));
  place_right(side_by_side_box_, s(90));
  MoveWindow(caption_, 0, s(5), std::max(0, x - s(4)), s(18), TRUE);
  const int table_width = std::min(s(330), width / 3);
  const int area = std::max(0, static_cast<int>(client.bottom) - bar);
  MoveWindow(table_, 0, bar, table_width, area, TRUE);
  const int left = table_width + s(4);
  const int canvas_width = std::max(0, width - left);
  const bool both = panel_.side_by_side();
  const int half = both ? (canvas_width - s(2)) / 2 : canvas_width;
  if (both) {
    MoveWindow(before_->hwnd(), left, bar, half, area, TRUE);
    MoveWindow(after_->hwnd(), left + half + s(2), bar, half, area, TRUE);
  } else {
    MoveWindow(before_->hwnd(), left, bar, half, area, TRUE);
    MoveWindow(after_->hwnd(), left, bar, half, area, TRUE);
  }
}

LRESULT PreviewPane::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case kDeliver:
      if (panel_.Deliver()) {
        Refresh();
      }
      return 0;
    case WM_SIZE:
      LayOut();
      if (panel_.before() != nullptr) {
        FitToWindow();
      }
      return 0;
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case ids::kPreviewSideBySide:
          panel_.SetSideBySide(Button_GetCheck(side_by_side_box_) == BST_CHECKED);
          ShowCanvases();
          FitToWindow();
          return 0;
        case ids::kPreviewSwitch:
          SwitchSide();
          return 0;
        case ids::kPreviewBlack:
          panel_.SetBackground(Button_GetCheck(black_box_) == BST_CHECKED
                                   ? preview::Background::kBlack
                                   : preview::Background::kWhite);
          Refresh();
          return 0;
        case ids::kPreviewHiddenLayers:
          panel_.SetShowHiddenLayers(Button_GetCheck(hidden_layers_box_) == BST_CHECKED);
          Refresh();
          return 0;
        case ids::kPreviewFit:
          FitToWindow();
          return 0;
        default:
          break;
      }
      break;
    case WM_SETFONT:
      return 0;
    default:
      break;
  }
  return WindowBase::HandleMessage(message, wparam, lparam);
}

}  // namespace penmorph::win
