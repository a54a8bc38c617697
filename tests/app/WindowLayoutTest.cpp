#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/WindowLayout.h"

// Faults mended: with a window manager the debug window covered half the
// control panel, each panel's title bar covered the bottom of the one above,
// and the modes' panels, wider than the control panel, opened over the debug
// window's text; on screens from 1280x720 to 1600x900 the debug window went
// under a game window that left no room there, off the screen's bottom, the
// civ panels ran past the right edge of a 1280 pixels wide screen (a window
// manager pulled them back over the game window), and a framed game window as
// tall as the screen ran past its bottom; "-twomonitors" with one monitor put
// the debug window and the panels past the screen's right edge.
//
// Every screen, without a window manager and with frames, with each mode's
// panels stacked in their column: every window on the screen (within one
// monitor), the game window and the control panel never covered, the debug
// window's newest lines and command box on the screen and uncovered, and
// where the screen holds them all apart, none covering another.
TEST(WindowLayout, EveryWindowOnTheScreenAndNoneOverTheGameThePanelOrTheNewestLines) {
  const sWindowBox panelSize = {0, 0, 144, 196};  // the control panel, as drawn
  // Each mode's panels, as their contents size them: the civ mode's two, the
  // fly/swim mode's, the flock test's and the stress mode's.
  const std::vector<std::vector<GLUI_PanelBox>> modes = {
      {}, {{0, 0, 299, 219}, {0, 0, 289, 242}}, {{0, 0, 254, 254}}, {{0, 0, 212, 104}}, {{0, 0, 110, 35}}};
  const struct {
    sStartupScreen screen;
    bool twoMonitors;
    bool apart;  // the screen holds every window apart
  } cases[] = {{{1280, 720, 1280}, false, false},  {{1280, 800, 1280}, false, false},
               {{1366, 768, 1366}, false, false},  {{1440, 900, 1440}, false, false},
               {{1536, 864, 1536}, false, false},  {{1600, 900, 1600}, false, false},
               {{1280, 1024, 1280}, false, false}, {{1680, 1050, 1680}, false, false},
               {{1920, 1080, 1920}, false, true},  {{2560, 1440, 2560}, false, true},
               {{3840, 2160, 3840}, false, true},  {{3840, 1080, 1920}, true, true},
               {{3840, 1080, 1920}, false, true},  {{2560, 1024, 1280}, true, true},
               {{3286, 1080, 1366}, true, true},   {{1024, 768, 1024}, false, false},
               {{800, 600, 800}, false, false},    {{1366, 768, 1366}, true, false}};
  // Without a window manager, and with ones whose frames add a title bar (as
  // openbox's do): the game window then stands inside its frame at the top left.
  for (const sWindowFrame frame : {sWindowFrame{}, sWindowFrame{1, 1, 20, 5}, sWindowFrame{4, 4, 30, 4}}) {
    const int sides = frame.left + frame.right, ends = frame.top + frame.bottom;
    for (const auto& c : cases) {
      // The game's 1024x768 window as start-up cuts it to the screen.
      const sWindowBox game = {frame.left, frame.top, std::min(1024, c.screen.width), std::min(768, c.screen.height)};
      const sStartupWindowLayout layout = LayOutStartupWindows(game, panelSize, c.screen, c.twoMonitors, frame);
      // What each window covers on the screen: its frame, from where it was put.
      auto framed = [&](int x, int y, int width, int height) { return sWindowBox{x, y, width + sides, height + ends}; };
      const sWindowBox gameFrame = framed(0, 0, layout.game.width, layout.game.height);
      const sWindowBox panel = framed(layout.panel.x, layout.panel.y, panelSize.width, panelSize.height);
      const sWindowBox debug = framed(layout.debug.x, layout.debug.y, layout.debug.width, layout.debug.height);
      const sWindowBox newest = {debug.x, debug.y + debug.height - frame.bottom - kDebugViewNewestRowsHeight,
                                 debug.width, kDebugViewNewestRowsHeight + frame.bottom};
      const bool roomy = c.screen.width >= 1280 && c.screen.height >= 720;  // more than the game window alone
      auto apart = [](const sWindowBox& a, const sWindowBox& b) {
        return a.x + a.width + kWindowGap / 2 <= b.x || b.x + b.width + kWindowGap / 2 <= a.x ||
               a.y + a.height + kWindowGap / 2 <= b.y || b.y + b.height + kWindowGap / 2 <= a.y;
      };
      auto onOneMonitor = [&](const sWindowBox& box) {
        const int left = box.x < c.screen.primaryWidth ? 0 : c.screen.primaryWidth;
        const int right = box.x < c.screen.primaryWidth ? c.screen.primaryWidth : c.screen.width;
        return box.x >= left && box.x + box.width <= right && box.y >= 0 && box.y + box.height <= c.screen.height;
      };
      for (size_t m = 0; m < modes.size(); ++m) {
        SCOPED_TRACE(::testing::Message() << c.screen.width << "x" << c.screen.height << " of "
                                          << c.screen.primaryWidth << (c.twoMonitors ? " -twomonitors" : "")
                                          << ", frame top " << frame.top << ", mode panel set " << m);
        std::vector<sWindowBox> modePanels;
        for (const GLUI_PanelBox& box : GLUI_StackPanels(layout.modePanels, modes[m]))
          modePanels.push_back(framed(box.x, box.y, box.width, box.height));
        for (const sWindowBox& box : modePanels) {
          EXPECT_TRUE(onOneMonitor(box));
          if (!roomy) continue;
          EXPECT_TRUE(apart(box, gameFrame) && apart(box, panel) && apart(box, newest));
          if (c.apart) {
            EXPECT_TRUE(apart(box, debug));
          }
          for (const sWindowBox& other : modePanels) EXPECT_TRUE(&other == &box || apart(box, other));
        }
        if (m > 0) continue;  // the fixed windows' checks need no mode panels
        for (const sWindowBox& box : {gameFrame, panel, debug}) EXPECT_TRUE(onOneMonitor(box));
        EXPECT_GE(layout.debug.height, kDebugViewNewestRowsHeight);
        if (!roomy) continue;
        EXPECT_TRUE(apart(gameFrame, panel) && apart(gameFrame, debug) && apart(panel, debug));
        EXPECT_EQ(layout.modePanels.x, panel.x);
        EXPECT_GE(layout.modePanels.y, panel.y + panel.height);
        if (c.apart) {
          EXPECT_GE(layout.modePanels.width, kModePanelColumnWidth + sides);
        }
      }
    }
  }
}
