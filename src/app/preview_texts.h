#pragma once

// Every text the preview pane shows around its two canvases - the bar's controls, the
// inventory's column heads and the canvases' own captions - exactly as the user sees it, UTF-8.
// Both windows read them from here; the caption line and the inventory's rows come from
// PreviewPanel.

#include <array>
#include <string_view>

namespace penmorph::app::preview_texts {

inline constexpr std::string_view kSideBySide = "並べて表示";
inline constexpr std::string_view kBlackBackground = "黒背景";
inline constexpr std::string_view kShowHiddenLayers = "非表示レイヤも表示";
inline constexpr std::string_view kFitButton = "全体表示";
inline constexpr std::string_view kSwitchTip = "スペースキーで切り替え";
inline constexpr std::array<std::string_view, 4> kInventoryHeads = {
    "区分",
    "変換前",
    "変換後",
    "内訳",
};
// The canvases' captions.
inline constexpr std::string_view kBefore = "変換前";
inline constexpr std::string_view kAfter = "変換後";

// The switch button names the side shown while only one is.
constexpr std::string_view SwitchCaption(bool showing_after) {
  return showing_after ? "変換後を表示中" : "変換前を表示中";
}

}  // namespace penmorph::app::preview_texts
