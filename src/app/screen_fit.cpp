#include "app/screen_fit.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace penmorph::app {

namespace {

std::int64_t OverlapArea(const ScreenRect& a, const ScreenRect& b) {
  const std::int64_t left = std::max(a.left, b.left);
  const std::int64_t top = std::max(a.top, b.top);
  const std::int64_t right =
      std::min<std::int64_t>(std::int64_t{a.left} + a.width, std::int64_t{b.left} + b.width);
  const std::int64_t bottom =
      std::min<std::int64_t>(std::int64_t{a.top} + a.height, std::int64_t{b.top} + b.height);
  return right > left && bottom > top ? (right - left) * (bottom - top) : 0;
}

// How far apart two rectangles are (0 when they touch or overlap), squared.
std::int64_t GapSquared(const ScreenRect& a, const ScreenRect& b) {
  auto gap = [](std::int64_t start_a, std::int64_t size_a, std::int64_t start_b,
                std::int64_t size_b) -> std::int64_t {
    if (start_a + size_a < start_b) {
      return start_b - (start_a + size_a);
    }
    if (start_b + size_b < start_a) {
      return start_a - (start_b + size_b);
    }
    return 0;
  };
  const std::int64_t dx = gap(a.left, a.width, b.left, b.width);
  const std::int64_t dy = gap(a.top, a.height, b.top, b.height);
  return dx * dx + dy * dy;
}

}  // namespace

ScreenRect FitOnScreens(const ScreenRect& window, const std::vector<ScreenRect>& screens) {
  if (screens.empty()) {
    return window;
  }
  const std::int64_t area = std::int64_t{std::max(window.width, 0)} * std::max(window.height, 0);
  std::int64_t shown = 0;
  const ScreenRect* target = nullptr;
  std::int64_t best_overlap = 0;
  for (const ScreenRect& screen : screens) {
    const std::int64_t overlap = OverlapArea(window, screen);
    shown += overlap;
    if (overlap > best_overlap) {
      best_overlap = overlap;
      target = &screen;
    }
  }
  // Screens do not overlap one another, so what they show of the window adds up.
  if (area > 0 && shown >= area) {
    return window;
  }
  if (target == nullptr) {
    std::int64_t nearest = std::numeric_limits<std::int64_t>::max();
    for (const ScreenRect& screen : screens) {
      if (const std::int64_t gap = GapSquared(window, screen); gap < nearest) {
        nearest = gap;
        target = &screen;
      }
    }
  }
  ScreenRect fitted = window;
  fitted.width = std::clamp(window.width, 1, std::max(1, target->width));
  fitted.height = std::clamp(window.height, 1, std::max(1, target->height));
  fitted.left = std::clamp(window.left, target->left, target->left + target->width - fitted.width);
  fitted.top = std::clamp(window.top, target->top, target->top + target->height - fitted.height);
  return fitted;
}

}  // namespace penmorph::app
