#include <gtest/gtest.h>

#include <vector>

#include "config/ProgramPreferences.h"

namespace vireon {
namespace {

TEST(WindowPlace, ReachableKeepsAWindowWhoseTopEdgeIsOnAScreenAndBringsBackOneThatIsNot) {
  const WindowPlace desktop{0, 27, 1280, 997};  // below a top panel
  const WindowPlace right_screen{1280, 0, 1920, 1080};
  struct Case {
    const char* what;
    WindowPlace window;
    std::vector<WindowPlace> screens;
    WindowPlace expected;
  };
  const Case cases[] = {
      {"on the screen", {100, 200, 600, 400}, {desktop}, {100, 200, 600, 400}},
      {"partly off at the right, grip on", {1100, 200, 600, 400}, {desktop}, {1100, 200, 600, 400}},
      {"on the second screen",
       {2000, 100, 600, 400},
       {desktop, right_screen},
       {2000, 100, 600, 400}},
      {"under the top panel", {0, 0, 369, 245}, {desktop}, {0, 27, 369, 245}},
      {"kept on a screen no longer there", {2000, 100, 600, 400}, {desktop}, {680, 100, 600, 400}},
      {"far below", {300, 5000, 600, 400}, {desktop}, {300, 624, 600, 400}},
      {"off to the top left", {-900, -700, 600, 400}, {desktop}, {0, 27, 600, 400}},
      {"grip only 60 px on", {1220, 300, 600, 400}, {desktop}, {680, 300, 600, 400}},
      {"larger than the screen", {3000, 3000, 1600, 1200}, {desktop}, {0, 27, 1600, 1200}},
      {"no screens", {-5000, 0, 100, 100}, {}, {-5000, 0, 100, 100}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Reachable(c.window, c.screens), c.expected) << c.what;
  }
}

// A configuration written from the defaults opens the windows side by side.
TEST(WindowPlace, DefaultLayoutKeepsTheWindowsApart) {
  const ProgramPreferences defaults;
  const WindowPlace& plot = defaults.primary_plot;
  EXPECT_TRUE(plot.Stored());
  for (const WindowPlace& corner : {defaults.main_form, defaults.acquisition_window}) {
    const bool beside = corner.left >= plot.left + plot.width;
    const bool below = corner.top >= plot.top + plot.height;
    EXPECT_TRUE(beside || below) << corner.left << ", " << corner.top;
  }
  EXPECT_GT(plot.left, defaults.audio_window.left);
  EXPECT_GT(defaults.stimulus_window.top, defaults.audio_window.top);
}

}  // namespace
}  // namespace vireon
