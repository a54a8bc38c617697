#include <gtest/gtest.h>

#include "app/WindowLayout.h"

// Faults mended: with a window manager the debug window covered half the
// control panel, each panel's title bar covered the bottom of the one above,
// and the modes' panels, wider than the control panel, opened over the debug
// window's text. Game, panel column (the control panel with the
// modes' panels under it) and debug window stand apart on the first monitor
// (the debug window under the game where there is no room beside), or with
// "-twomonitors" the helpers on the second.
TEST(WindowLayout, TheGamePanelColumnAndDebugWindowStandApart) {
  const sWindowBox panelSize = {0, 0, 144, 196};
  const struct {
    sStartupScreen screen;
    bool twoMonitors;
    int left, right;  // the monitor the helpers keep to
  } cases[] = {{{1920, 1080, 1920}, false, 0, 1920}, {{3840, 1080, 1920}, true, 1920, 3840},
               {{3840, 1080, 1920}, false, 0, 1920}, {{1400, 1050, 1400}, false, 0, 1400},
               {{1280, 1024, 1280}, false, 0, 1280}, {{2560, 1024, 1280}, true, 1280, 2560}};
  // Without a window manager, and with one whose frames add a title bar (as
  // openbox's do): the game window then stands inside its frame at the top left.
  for (const sWindowFrame frame : {sWindowFrame{}, sWindowFrame{1, 1, 20, 5}}) {
    const sWindowBox game = {frame.left, frame.top, 1024, 768};
    // What each window covers on the screen: its frame, from where it was put.
    auto framed = [&](int x, int y, int width, int height) {
      return sWindowBox{x, y, width + frame.left + frame.right, height + frame.top + frame.bottom};
    };
    auto apart = [](const sWindowBox& a, const sWindowBox& b) {
      return a.x + a.width + kWindowGap / 2 <= b.x || b.x + b.width + kWindowGap / 2 <= a.x ||
             a.y + a.height + kWindowGap / 2 <= b.y || b.y + b.height + kWindowGap / 2 <= a.y;
    };
    for (const auto& c : cases) {
      SCOPED_TRACE(c.screen.width * 10 + c.twoMonitors + frame.top * 100000);
      const sStartupWindowLayout layout = LayOutStartupWindows(game, panelSize, c.screen, c.twoMonitors, frame);
      const sWindowBox gameFrame = framed(0, 0, game.width, game.height);
      const sWindowBox panel = framed(layout.panel.x, layout.panel.y, panelSize.width, panelSize.height);
      const sWindowBox debug = framed(layout.debug.x, layout.debug.y, layout.debug.width, layout.debug.height);
      const sWindowBox& column = layout.modePanels;
      EXPECT_LE(debug.y + debug.height, c.screen.height);
      for (const sWindowBox& box : {panel, debug}) EXPECT_TRUE(box.x >= c.left && box.x + box.width <= c.right);
      EXPECT_EQ(column.x, panel.x);
      EXPECT_GE(column.width, kModePanelColumnWidth + frame.left + frame.right);
      EXPECT_GE(column.y, panel.y + panel.height);
      EXPECT_TRUE(apart(panel, debug) && apart(gameFrame, debug) && apart(gameFrame, panel));
      EXPECT_TRUE(apart(column, debug) && apart(column, gameFrame) && apart(column, panel));
    }
  }
}
