#include <gtest/gtest.h>

#include "app/WindowLayout.h"

// Faults mended: with a window manager the debug window covered half the
// control panel, and the modes' panels, wider than the control panel, opened
// over the debug window's text. Game, panel column (the control panel with the
// modes' panels under it) and debug window stand apart on the first monitor
// (the debug window under the game where there is no room beside), or with
// "-twomonitors" the helpers on the second.
TEST(WindowLayout, TheGamePanelColumnAndDebugWindowStandApart) {
  const sWindowBox game = {0, 0, 1024, 768}, panelSize = {0, 0, 144, 196};
  const struct {
    sStartupScreen screen;
    bool twoMonitors;
    int left, right;  // the monitor the helpers keep to
  } cases[] = {{{1920, 1080, 1920}, false, 0, 1920}, {{3840, 1080, 1920}, true, 1920, 3840},
               {{3840, 1080, 1920}, false, 0, 1920}, {{1400, 1050, 1400}, false, 0, 1400},
               {{1280, 1024, 1280}, false, 0, 1280}, {{2560, 1024, 1280}, true, 1280, 2560}};
  auto apart = [](const sWindowBox& a, const sWindowBox& b) {
    return a.x + a.width + kWindowGap / 2 <= b.x || b.x + b.width + kWindowGap / 2 <= a.x ||
           a.y + a.height + kWindowGap / 2 <= b.y || b.y + b.height + kWindowGap / 2 <= a.y;
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.screen.width * 10 + c.twoMonitors);
    const sStartupWindowLayout layout = LayOutStartupWindows(game, panelSize, c.screen, c.twoMonitors);
    const sWindowBox panel = {layout.panel.x, layout.panel.y, panelSize.width, panelSize.height};
    const sWindowBox &debug = layout.debug, &column = layout.modePanels;
    EXPECT_LE(debug.y + debug.height, c.screen.height);
    for (const sWindowBox& box : {panel, debug}) EXPECT_TRUE(box.x >= c.left && box.x + box.width <= c.right);
    EXPECT_EQ(column.x, panel.x);
    EXPECT_GE(column.width, kModePanelColumnWidth);
    EXPECT_GE(column.y, panel.y + panel.height);
    EXPECT_TRUE(apart(panel, debug) && apart(game, debug) && apart(game, panel));
    EXPECT_TRUE(apart(column, debug) && apart(column, game) && apart(column, panel));
  }
}
