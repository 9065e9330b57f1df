#pragma once

// Saved window places meet the screens of today: a monitor may have been unplugged or replaced
// by a smaller one since the ini file was written.

#include <vector>

namespace penmorph::app {

struct ScreenRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const ScreenRect&) const = default;
};

// A window wholly on the screens (across several, too) stays where it is. Otherwise it goes onto
// the screen that shows most of it (with none, the nearest one): shrunk to that screen's size
// where it is larger, and moved just far enough to lie wholly on it. `screens` are the usable
// areas (without task bars); with none the window stays.
ScreenRect FitOnScreens(const ScreenRect& window, const std::vector<ScreenRect>& screens);

}  // namespace penmorph::app
