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
// the debug window and the panels past the screen's right edge. A click in
// the debug window's command box raised it over the modes' panels standing in
// it (1280x720 to 1600x900), and a click in the game raised it over the
// control panel and the debug window standing over it (below 1280x720). At
// 320x240 the civ panels ran off the screen's bottom over each other and the
// command box; at 640x480 one covered the other's title bar.
//
// Every screen, without a window manager and with frames, with each mode's
// panels stacked in their column, before any click and after a click in each
// window (a manager raises the window clicked, keeping tool windows above
// their owner; without one nothing moves): every window on the screen (within
// one monitor), no helper over another's title bar, the command box and each
// panel uncovered by the other panels; from 800x600 up the control panel and
// the debug window's newest rows uncovered and every panel at least half in
// view; from 1280x720 up no window over another.
TEST(WindowLayout, EveryWindowOnTheScreenAndNoneOverTheGameThePanelOrTheNewestLines) {
  const sWindowBox panelSize = {0, 0, 144, 196};  // the control panel, as drawn
  // Each mode's panels, as their contents size them: the civ mode's two, the
  // fly/swim mode's, the flock test's and the stress mode's.
  const std::vector<std::vector<GLUI_PanelBox>> modes = {
      {}, {{0, 0, 299, 219}, {0, 0, 289, 242}}, {{0, 0, 254, 254}}, {{0, 0, 212, 104}}, {{0, 0, 110, 35}}};
  const struct {
    sStartupScreen screen;
    bool twoMonitors;
    bool wideColumn;  // the screen leaves the column its whole width
  } cases[] = {{{1280, 720, 1280}, false, false},  {{1280, 800, 1280}, false, false},
               {{1366, 768, 1366}, false, false},   {{1440, 900, 1440}, false, true},
               {{1536, 864, 1536}, false, true},   {{1600, 900, 1600}, false, true},
               {{1280, 1024, 1280}, false, false}, {{1680, 1050, 1680}, false, true},
               {{1920, 1080, 1920}, false, true},  {{2560, 1440, 2560}, false, true},
               {{3840, 2160, 3840}, false, true},  {{3840, 1080, 1920}, true, true},
               {{3840, 1080, 1920}, false, true},  {{2560, 1024, 1280}, true, true},
               {{3286, 1080, 1366}, true, true},   {{1024, 768, 1024}, false, true},
               {{1024, 600, 1024}, false, true},   {{800, 600, 800}, false, true},
               {{640, 480, 640}, false, true},     {{320, 240, 320}, false, false},
               {{1366, 768, 1366}, true, false}};
  // Without a window manager, and with ones whose frames add a title bar (as
  // openbox's do): the game window then stands inside its frame at the top left.
  for (const sWindowFrame frame : {sWindowFrame{}, sWindowFrame{1, 1, 20, 5}, sWindowFrame{4, 4, 30, 4}}) {
    const int sides = frame.left + frame.right, ends = frame.top + frame.bottom;
    const bool manager = ends > 0;
    for (const auto& c : cases) {
      // The game's 1024x768 window as start-up cuts it to the screen.
      const sWindowBox game = {frame.left, frame.top, std::min(1024, c.screen.width), std::min(768, c.screen.height)};
      const sStartupWindowLayout layout = LayOutStartupWindows(game, panelSize, c.screen, c.twoMonitors, frame);
      // What each window covers on the screen: its frame, from where it was put.
      auto framed = [&](int x, int y, int width, int height) { return sWindowBox{x, y, width + sides, height + ends}; };
      const sWindowBox gameFrame = framed(0, 0, layout.game.width, layout.game.height);
      const sWindowBox panel = framed(layout.panel.x, layout.panel.y, panelSize.width, panelSize.height);
      const sWindowBox debug = framed(layout.debug.x, layout.debug.y, layout.debug.width, layout.debug.height);
      auto bottomOf = [&](const sWindowBox& box, int height) {
        return sWindowBox{box.x, box.y + box.height - frame.bottom - height, box.width, height + frame.bottom};
      };
      const sWindowBox newest = bottomOf(debug, kDebugViewNewestRowsHeight);
      const sWindowBox commandBox = bottomOf(debug, kDebugViewCommandBoxHeight);
      const bool roomy = c.screen.width >= 1280 && c.screen.height >= 720;  // more than the game window alone
      const bool usable = c.screen.width >= 800 && c.screen.height >= 600;
      auto apart = [](const sWindowBox& a, const sWindowBox& b) {
        return a.x + a.width + kWindowGap / 2 <= b.x || b.x + b.width + kWindowGap / 2 <= a.x ||
               a.y + a.height + kWindowGap / 2 <= b.y || b.y + b.height + kWindowGap / 2 <= a.y;
      };
      auto overlap = [](const sWindowBox& a, const sWindowBox& b) {
        return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
      };
      auto onOneMonitor = [&](const sWindowBox& box) {
        const int left = box.x < c.screen.primaryWidth ? 0 : c.screen.primaryWidth;
        const int right = box.x < c.screen.primaryWidth ? c.screen.primaryWidth : c.screen.width;
        return box.x >= left && box.x + box.width <= right && box.y >= 0 && box.y + box.height <= c.screen.height;
      };
      for (size_t m = 0; m < modes.size(); ++m) {
        // In the order they were mapped, the first lowest: the game, the debug
        // window, the control panel, the mode's panels.
        std::vector<sWindowBox> windows = {gameFrame, debug, panel};
        for (const GLUI_PanelBox& box : GLUI_StackPanels(layout.modePanels, modes[m]))
          windows.push_back(framed(box.x, box.y, box.width, box.height));
        const size_t kGame = 0, kDebug = 1, kPanel = 2, kFirstModePanel = 3;
        for (int clicked = -1; clicked < (int)windows.size(); ++clicked) {
          SCOPED_TRACE(::testing::Message() << c.screen.width << "x" << c.screen.height << " of "
                                            << c.screen.primaryWidth << (c.twoMonitors ? " -twomonitors" : "")
                                            << ", frame top " << frame.top << ", mode panel set " << m
                                            << ", after a click in window " << clicked);
          std::vector<size_t> stacking;  // lowest first
          for (size_t i = 0; i < windows.size(); ++i) stacking.push_back(i);
          if (manager && clicked >= 0) {
            std::erase(stacking, (size_t)clicked);
            stacking.push_back((size_t)clicked);
            if (layout.keepAboveGame) {  // every helper is a tool window of the game's
              std::erase(stacking, kGame);
              stacking.insert(stacking.begin(), kGame);
            }
          }
          auto above = [&](size_t window) {
            std::vector<size_t> over(std::find(stacking.begin(), stacking.end(), window) + 1, stacking.end());
            return over;
          };
          auto uncovered = [&](size_t window, const sWindowBox& part) {
            for (size_t other : above(window))
              if (overlap(windows[other], part)) return false;
            return true;
          };
          // How much of a window no window above covers, sampled every 2 pixels.
          auto shown = [&](size_t window) {
            const sWindowBox& box = windows[window];
            int seen = 0, all = 0;
            for (int y = box.y; y < box.y + box.height; y += 2)
              for (int x = box.x; x < box.x + box.width; x += 2, ++all)
                seen += uncovered(window, sWindowBox{x, y, 1, 1});
            return all > 0 ? (double)seen / all : 1.0;
          };
          for (size_t i = 0; i < windows.size(); ++i) {
            EXPECT_TRUE(onOneMonitor(windows[i])) << "window " << i;
            // Below 800x600 the layout as placed; from there up after any click.
            if (!usable && clicked >= 0) continue;
            // No helper over a title bar (the game's stands under the strip where that covers the game).
            const sWindowBox title = {windows[i].x, windows[i].y, windows[i].width, frame.top};
            if (i != kGame && frame.top > 0) {
              EXPECT_TRUE(uncovered(i, title)) << "window " << i;
            }
            if (i < kFirstModePanel) continue;
            for (size_t j = kFirstModePanel; j < windows.size(); ++j)
              EXPECT_TRUE(j == i || apart(windows[i], windows[j])) << "panels " << i << " and " << j;
            EXPECT_FALSE(overlap(windows[i], commandBox)) << "window " << i;
            if (usable) {
              EXPECT_GE(shown(i), 0.5) << "window " << i;
            }
          }
          if (usable || clicked < 0) {
            EXPECT_TRUE(uncovered(kDebug, commandBox));
          }
          if (usable) {
            EXPECT_TRUE(uncovered(kPanel, panel));
            EXPECT_TRUE(uncovered(kDebug, newest));
          }
          if (roomy) {
            for (size_t i = 0; i < windows.size(); ++i)
              for (size_t j = i + 1; j < windows.size(); ++j)
                EXPECT_TRUE(apart(windows[i], windows[j])) << "windows " << i << " and " << j;
          }
        }
        if (m > 0) continue;  // the fixed windows' checks need no mode panels
        EXPECT_GE(layout.debug.height, usable ? kDebugViewNewestRowsHeight : kDebugViewCommandBoxHeight);
        EXPECT_EQ(layout.keepAboveGame, overlap(gameFrame, panel) || overlap(gameFrame, debug));
        if (!roomy) continue;
        EXPECT_EQ(layout.modePanels.x, panel.x);
        EXPECT_GE(layout.modePanels.y, panel.y + panel.height);
        if (c.wideColumn) {
          EXPECT_GE(layout.modePanels.width, kModePanelColumnWidth + sides);
        }
      }
    }
  }
}
