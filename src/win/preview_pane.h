#pragma once

// The preview panel of the Windows window: the selected file's inventory before and after the
// tables in a list view, and the drawing on both sides painted with GDI. What it shows and when
// comes from app::PreviewPanel; the canvases only paint and forward the mouse and keys.

#include <windows.h>

#include <filesystem>
#include <memory>
#include <optional>

#include "app/preview_panel.h"
#include "app/preview_view.h"
#include "win/window_base.h"

namespace penmorph::win {

class PreviewCanvas;

class PreviewPane : public WindowBase {
 public:
  static constexpr const wchar_t* kClassName = L"PenmorphPreview";

  PreviewPane(HWND parent, const FormatRegistry& formats);
  ~PreviewPane() override;

  void ShowFile(const std::optional<std::filesystem::path>& file, const ConversionTables& tables);
  void TablesChanged(const ConversionTables& tables);
  void SetFont(HFONT font);

  const app::PreviewPanel& panel() const { return panel_; }
  void SwitchSide();
  void FitToWindow();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  friend class PreviewCanvas;
  void LayOut();
  void Refresh();
  void ShowCanvases();
  void RepaintCanvases();

  app::PreviewPanel panel_;
  app::PreviewViewport viewport_;

  HWND caption_ = nullptr;
  HWND side_by_side_box_ = nullptr;
  HWND switch_button_ = nullptr;
  HWND black_box_ = nullptr;
  HWND hidden_layers_box_ = nullptr;
  HWND fit_button_ = nullptr;
  HWND table_ = nullptr;
  std::unique_ptr<PreviewCanvas> before_;
  std::unique_ptr<PreviewCanvas> after_;
};

}  // namespace penmorph::win
