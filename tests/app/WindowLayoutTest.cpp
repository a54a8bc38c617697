#include <gtest/gtest.h>

#include "app/WindowLayout.h"

// Fault mended: with a window manager the debug window covered half the
// control panel. Game, panel and debug window stand side by side on the first
// monitor (the debug window under the panel where there is no room), or with
// "-twomonitors" the two helpers on the second.
TEST(WindowLayout, TheThreeWindowsStandApart) {
  const sWindowBox game = {0, 0, 1024, 768}, panelSize = {0, 0, 144, 196};
  const struct {
    sStartupScreen screen;
    bool twoMonitors;
    int left, right;  // the monitor the helpers keep to
  } cases[] = {{{1920, 1080, 1920}, false, 1024, 1920}, {{3840, 1080, 1920}, true, 1920, 3840},
               {{3840, 1080, 1920}, false, 1024, 1920}, {{1400, 1050, 1400}, false, 1024, 1400}};
  auto apart = [](const sWindowBox& a, const sWindowBox& b) {
    return a.x + a.width + kWindowGap / 2 <= b.x || b.x + b.width + kWindowGap / 2 <= a.x ||
           a.y + a.height + kWindowGap / 2 <= b.y || b.y + b.height + kWindowGap / 2 <= a.y;
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.screen.width * 10 + c.twoMonitors);
    const sStartupWindowLayout layout = LayOutStartupWindows(game, panelSize, c.screen, c.twoMonitors);
    const sWindowBox panel = {layout.panel.x, layout.panel.y, panelSize.width, panelSize.height};
    const sWindowBox& debug = layout.debug;
    EXPECT_LE(debug.y + debug.height, c.screen.height);
    for (const sWindowBox& box : {panel, debug}) EXPECT_TRUE(box.x >= c.left && box.x + box.width <= c.right);
    EXPECT_TRUE(apart(panel, debug) && apart(game, debug) && apart(game, panel));
  }
}
