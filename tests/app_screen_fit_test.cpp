// Saved window places against the screens of today.

#include "app/screen_fit.h"

#include <gtest/gtest.h>

namespace penmorph::app {
namespace {

const ScreenRect kLeft{0, 0, 1920, 1040};      // a task bar below
const ScreenRect kRight{1920, 0, 1280, 1024};  // a smaller second monitor

TEST(ScreenFit, AWindowWhollyOnTheScreensStaysEvenAcrossTwo) {
  for (const ScreenRect& window :
       {ScreenRect{190, 109, 696, 478}, ScreenRect{1700, 100, 600, 400},
        ScreenRect{0, 0, 1920, 1040}, ScreenRect{1920, 624, 1280, 400}}) {
    EXPECT_EQ(FitOnScreens(window, {kLeft, kRight}), window);
  }
  // A monitor to the left of the main one has negative coordinates.
  const ScreenRect left_of_main{-1280, 0, 1280, 1024};
  EXPECT_EQ(FitOnScreens({-1000, 50, 800, 600}, {kLeft, left_of_main}),
            (ScreenRect{-1000, 50, 800, 600}));
  EXPECT_EQ(FitOnScreens({5000, 5000, 10, 10}, {}), (ScreenRect{5000, 5000, 10, 10}));
}

TEST(ScreenFit, AWindowOnAnUnpluggedMonitorComesToTheNearestScreen) {
  // Saved on the right monitor, which is gone.
  EXPECT_EQ(FitOnScreens({2100, 200, 800, 500}, {kLeft}), (ScreenRect{1120, 200, 800, 500}));
  // Far above and to the left of everything.
  EXPECT_EQ(FitOnScreens({-3000, -2000, 800, 500}, {kLeft, kRight}), (ScreenRect{0, 0, 800, 500}));
  // Below the right monitor: it is the nearest one.
  EXPECT_EQ(FitOnScreens({2500, 1500, 400, 300}, {kLeft, kRight}),
            (ScreenRect{2500, 724, 400, 300}));
}

TEST(ScreenFit, APartlyHiddenWindowMovesOntoTheScreenShowingMostOfIt) {
  // Half off the bottom of the left screen.
  EXPECT_EQ(FitOnScreens({100, 900, 696, 478}, {kLeft, kRight}), (ScreenRect{100, 562, 696, 478}));
  // Mostly on the right monitor, off its right edge.
  EXPECT_EQ(FitOnScreens({2900, 100, 600, 400}, {kLeft, kRight}),
            (ScreenRect{2600, 100, 600, 400}));
}

TEST(ScreenFit, AWindowLargerThanItsScreenIsShrunkOntoIt) {
  EXPECT_EQ(FitOnScreens({-50, -50, 2600, 1600}, {kLeft}), (ScreenRect{0, 0, 1920, 1040}));
  EXPECT_EQ(FitOnScreens({2000, 10, 1400, 1200}, {kLeft, kRight}),
            (ScreenRect{1920, 0, 1280, 1024}));
}

}  // namespace
}  // namespace penmorph::app
