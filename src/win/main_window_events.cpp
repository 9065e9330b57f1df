#include "win/main_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "app/path_text.h"
#include "app/screen_fit.h"
#include "app/window_texts.h"
#include "win/control_ids.h"
#include "win/controls.h"
#include "win/preview_pane.h"
#include "win/settings_dialogs.h"
#include "win/win_text.h"

// What the window's messages and notifications become.

namespace penmorph::win {

namespace fs = std::filesystem;

// --- events ---

// Selected rows keep the highlight colours when the list loses the focus: the default grey is
// hard to see, and the selection is what "変換" converts.
LRESULT TForm1::DrawListItem(NMLVCUSTOMDRAW& draw) {
  if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) {
    return CDRF_NOTIFYITEMDRAW;
  }
  if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT && GetFocus() != list_ &&
      SendMessageW(list_, LVM_GETITEMSTATE, draw.nmcd.dwItemSpec, LVIS_SELECTED) != 0) {
    draw.nmcd.uItemState &= ~CDIS_SELECTED;
    draw.clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    draw.clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
  }
  return CDRF_DODEFAULT;
}

bool TForm1::Notify(const NMHDR& header, LRESULT& result) {
  result = 0;
  if (header.hwndFrom == tree_) {
    if (header.code == TVN_SELCHANGEDW && !showing_) {
      ShowFolder();  // the keyboard lists a folder as a click does
    } else if (header.code == TVN_ITEMEXPANDEDW && !showing_) {
      const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
      model_.SetExpanded(static_cast<app::FolderTree::NodeId>(change.itemNew.lParam),
                         (change.action & TVE_EXPAND) != 0);
      return true;
    } else if (header.code == NM_CLICK) {
      // A click on the highlighted node lists it again; one on another node moves the
      // highlight, which lists it.
      TVHITTESTINFO hit{};
      GetCursorPos(&hit.pt);
      ScreenToClient(tree_, &hit.pt);
      auto item = reinterpret_cast<HTREEITEM>(
          SendMessageW(tree_, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
      const auto current =
          reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_CARET, 0));
      if ((item != nullptr && (hit.flags & TVHT_ONITEM) != 0 && item == current) ||
          !model_.browser().tree_ready()) {
        ShowFolder();
      }
    }
    return header.code == TVN_SELCHANGEDW || header.code == NM_CLICK;
  }
  if (header.hwndFrom == list_) {
    switch (header.code) {
      case LVN_COLUMNCLICK:
        model_.PressHeader(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
        return true;
      case LVN_ITEMCHANGED:
        if (!showing_ && !selection_pending_ &&
            (reinterpret_cast<const NMLISTVIEW&>(header).uChanged & LVIF_STATE) != 0) {
          selection_pending_ = true;
          PostMessageW(hwnd(), kApplySelection, 0, 0);
        }
        return true;
      case LVN_KEYDOWN:
        // The list view has no Ctrl+A of its own.
        if (reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == 'A' &&
            (GetKeyState(VK_CONTROL) & 0x8000) != 0) {
          model_.SelectAll();
        }
        return true;
      case NM_DBLCLK:
        OpenFile();
        return true;
      case NM_CUSTOMDRAW:
        result = DrawListItem(*reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header)));
        return true;
    }
    return false;
  }
  // The list's header: the "Bytes" column at a new width shows its sizes padded anew, and the
  // names take what another column gave up or took.
  if (header.code == HDN_ITEMCHANGEDW || header.code == HDN_ENDTRACKW) {
    const auto& change = reinterpret_cast<const NMHEADERW&>(header);
    if (GetParent(header.hwndFrom) == list_) {
      if (change.iItem == app::kSizeColumn) {
        RepadSizes();
      }
      if (change.iItem != app::kNameColumn) {
        FillNameColumn();
      }
    }
  }
  return false;
}

LRESULT CALLBACK TForm1::SearchFieldProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                         UINT_PTR, DWORD_PTR self_data) {
  if (message == WM_LBUTTONUP) {
    auto* self = reinterpret_cast<TForm1*>(self_data);
    PostMessageW(self->hwnd(), WM_COMMAND, ids::kMenuSearchFolder, 0);
  } else if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, SearchFieldProc, kSearchFieldSubclass);
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

void TForm1::HandedOver(const COPYDATASTRUCT& data) {
  if (data.dwData != kHandOverTag) {
    return;
  }
  if (IsIconic(hwnd())) {
    ShowWindow(hwnd(), SW_RESTORE);
  }
  SetForegroundWindow(hwnd());
  const std::wstring path(static_cast<const wchar_t*>(data.lpData), data.cbData / sizeof(wchar_t));
  if (!path.empty()) {
    model_.OpenPaths({fs::path(path)});
  }
}

bool HandOverToRunningWindow(const fs::path& path) {
  HWND running = FindWindowW(TForm1::kClassName, nullptr);
  if (running == nullptr) {
    return false;
  }
  const std::wstring& text = path.native();
  COPYDATASTRUCT data{TForm1::kHandOverTag, static_cast<DWORD>(text.size() * sizeof(wchar_t)),
                      const_cast<wchar_t*>(text.c_str())};
  DWORD_PTR answer = 0;
  // The running window may take a moment (a folder walk); a hung one does not hold this start.
  return SendMessageTimeoutW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                             SMTO_ABORTIFHUNG, 10000, &answer) != 0 &&
         answer == TRUE;
}

bool TForm1::Command(WPARAM wparam) {
  const int id = LOWORD(wparam);
  if (id >= ids::kMenuSearchFolder && id <= ids::kMenuLast) {
    model_.Do(static_cast<app::Command>((id - ids::kMenuSearchFolder) / 16),
              (id - ids::kMenuSearchFolder) % 16);
    return true;
  }
  switch (id) {
    case IDCANCEL:  // Escape, as the dialog manager hands it on
      model_.StopLoading();
      return true;
    case ids::kBrowseButton:
      model_.ChooseDestination();
      return true;
    case ids::kJwwSettingsButton:
      model_.EditSettings(app::SettingsDialog::kJww);
      return true;
    case ids::kJwcSettingsButton:
      model_.EditSettings(app::SettingsDialog::kJwc);
      return true;
    case ids::kLayerSettingsButton:
      model_.EditSettings(app::SettingsDialog::kLayers);
      return true;
    case ids::kConvertButton:
      model_.Convert();
      return true;
    case ids::kStopButton:
      model_.Stop();
      return true;
    case ids::kSubfoldersCheckBox:
      model_.SetWholeTree(SendMessageW(subfolders_, BM_GETCHECK, 0, 0) == BST_CHECKED);
      return true;
    case ids::kFileTypeCombo:
      if (HIWORD(wparam) == CBN_SELCHANGE) {
        model_.SelectFileType(static_cast<int>(SendMessageW(file_type_, CB_GETCURSEL, 0, 0)));
      }
      return true;
  }
  return false;
}

bool TForm1::SplitterMouse(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  const UINT dpi = WindowDpi(hwnd());
  auto on_splitter = [&](int x) { return x >= pane_width_ && x < pane_width_ + Scale(6, dpi); };
  result = 0;
  switch (message) {
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wparam) == hwnd() && LOWORD(lparam) == HTCLIENT) {
        POINT at{};
        GetCursorPos(&at);
        ScreenToClient(hwnd(), &at);
        if (on_splitter(at.x)) {
          SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
          result = TRUE;
          return true;
        }
      }
      return false;
    case WM_LBUTTONDOWN:
      if (on_splitter(GET_X_LPARAM(lparam))) {
        dragging_splitter_ = true;
        SetCapture(hwnd());
      }
      return true;
    case WM_MOUSEMOVE:
      if (dragging_splitter_) {
        RECT client{};
        GetClientRect(hwnd(), &client);
        // The same limits as the layout's, at this window's DPI.
        pane_width_ = std::clamp(static_cast<int>(GET_X_LPARAM(lparam)), Scale(40, dpi),
                                 std::max(Scale(40, dpi), int(client.right) - Scale(200, dpi)));
        LayOut();
      }
      return true;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (dragging_splitter_) {
        dragging_splitter_ = false;
        if (message == WM_LBUTTONUP) {
          ReleaseCapture();
        }
        model_.LayoutChanged();
      }
      return true;
  }
  return false;
}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  LRESULT result = 0;
  switch (message) {
    case WM_COMMAND:
      if (Command(wparam)) {
        return 0;
      }
      break;
    case WM_NOTIFY:
      if (Notify(*reinterpret_cast<const NMHDR*>(lparam), result)) {
        return result;
      }
      break;
    case WM_SETCURSOR:
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (SplitterMouse(message, wparam, lparam, result)) {
        return result;
      }
      break;
    case WM_COPYDATA:
      HandedOver(*reinterpret_cast<const COPYDATASTRUCT*>(lparam));
      return TRUE;
    case WM_DROPFILES:
      DropFiles(reinterpret_cast<HDROP>(wparam));
      return 0;
    case kShown:
      model_.Shown(start_path_);
      return 0;
    case kRunProgress:
      model_.News();
      return 0;
    case kApplySelection:
      if (selection_pending_) {
        TakeSelection();
      }
      return 0;
    case WM_SIZE:
      if (list_ != nullptr) {
        LayOut();
      }
      return 0;
    case WM_GETMINMAXINFO: {
      auto* limits = reinterpret_cast<MINMAXINFO*>(lparam);
      const UINT dpi = WindowDpi(hwnd());
      limits->ptMinTrackSize = {Scale(480, dpi), Scale(300, dpi)};
      return 0;
    }
    case WM_DPICHANGED: {
      ApplyFonts(HIWORD(wparam));
      const auto* suggested = reinterpret_cast<const RECT*>(lparam);
      SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      LayOut();
      return 0;
    }
    case WM_CLOSE:
      Close();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return WindowBase::HandleMessage(message, wparam, lparam);
}

}  // namespace penmorph::win
