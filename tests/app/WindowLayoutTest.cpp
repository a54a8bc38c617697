#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/AppGlobals.h"
#include "app/WindowLayout.h"
#include "tests/support/StartedProgram.h"

// Faults mended: with a window manager the debug window covered half the
// control panel, each panel's title bar covered the bottom of the one above,
// and the modes' panels, wider than the control panel, opened over the debug
// window's text; on screens from 1280x720 to 1600x900 the debug window went
// under a game window that left no room there, off the screen's bottom, the
// civ panels ran past the right edge of a 1280 pixels wide screen (a window
// manager pulled them back over the game window), and a framed game window as
// tall as the screen ran past its bottom; "-twomonitors" with one monitor put
// the debug window and the panels past the screen's right edge. A click (a
// manager raises the window clicked) put the debug window over the modes'
// panels, or the game over the helpers standing on it; at 320x240 and 640x480
// the civ panels covered each other. Without a window manager nothing gave
// the game window the focus, and the automatic pause held the game from its
// first frame until it was clicked.
//
// Every screen, without a window manager and with frames, with each mode's
// panels stacked in their column, before any click and after one in each
// window: every window on the screen (within one monitor), no title bar, the
// command box nor (from 800x600 up) the control panel, the newest lines or
// half a panel covered; from 1280x720 up no window over another. The game
// started on each screen of one monitor: below 1280x720, where the helpers
// stand over the game window, every panel is a tool window of the game's (a
// click in the game leaves them above it); from 1280x720 up none is. The game
// window has the focus.
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
               {{1366, 768, 1366}, true, false},
               // Under the game window room for the newest rows, not for them and a frame.
               {{1280, 960, 1280}, false, false}};
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
      auto onOneMonitor = [&](const sWindowBox& box) {
        const int left = box.x < c.screen.primaryWidth ? 0 : c.screen.primaryWidth;
        const int right = box.x < c.screen.primaryWidth ? c.screen.primaryWidth : c.screen.width;
        return box.x >= left && box.x + box.width <= right && box.y >= 0 && box.y + box.height <= c.screen.height;
      };
      for (size_t m = 0; m < modes.size(); ++m) {
        SCOPED_TRACE(::testing::Message() << c.screen.width << "x" << c.screen.height << " of "
                                          << c.screen.primaryWidth << (c.twoMonitors ? " -twomonitors" : "")
                                          << ", frame top " << frame.top << ", mode panel set " << m);
        // In the order they were mapped, the lowest first.
        std::vector<sWindowBox> windows = {gameFrame, debug, panel};
        for (const GLUI_PanelBox& box : GLUI_StackPanels(layout.modePanels, modes[m]))
          windows.push_back(framed(box.x, box.y, box.width, box.height));
        const size_t kGame = 0, kDebug = 1, kPanel = 2, kFirstModePanel = 3;
        for (size_t i = 0; i < windows.size(); ++i) {
          EXPECT_TRUE(onOneMonitor(windows[i])) << "window " << i;
          EXPECT_TRUE(i < kFirstModePanel || !Overlap(windows[i], commandBox)) << "window " << i;
          for (size_t j = i + 1; j < windows.size(); ++j)
            EXPECT_TRUE(!(roomy || i >= kFirstModePanel) || apart(windows[i], windows[j])) << i << " and " << j;
        }
        // Below 800x600 only the layout as placed.
        for (int clicked = -1; clicked < (usable ? (int)windows.size() : 0); ++clicked) {
          SCOPED_TRACE(::testing::Message() << "after a click in window " << clicked);
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
          auto uncovered = [&](size_t window, const sWindowBox& part) {
            for (auto over = std::find(stacking.begin(), stacking.end(), window) + 1; over != stacking.end(); ++over)
              if (Overlap(windows[*over], part)) return false;
            return true;
          };
          auto shown = [&](size_t window) {  // sampled every 2 pixels
            const sWindowBox& box = windows[window];
            int seen = 0, all = 0;
            for (int y = box.y; y < box.y + box.height; y += 2)
              for (int x = box.x; x < box.x + box.width; x += 2, ++all)
                seen += uncovered(window, sWindowBox{x, y, 1, 1});
            return all > 0 ? (double)seen / all : 1.0;
          };
          for (size_t i = 0; i < windows.size(); ++i) {
            // The game's title bar may stand under the strip where that covers the game.
            const sWindowBox title = {windows[i].x, windows[i].y, windows[i].width, frame.top};
            EXPECT_TRUE(i == kGame || frame.top == 0 || uncovered(i, title)) << "window " << i;
            EXPECT_TRUE(i < kFirstModePanel || !usable || shown(i) >= 0.5) << "window " << i;
          }
          EXPECT_TRUE(uncovered(kDebug, commandBox));
          EXPECT_TRUE(!usable || (uncovered(kPanel, panel) && uncovered(kDebug, newest)));
        }
        if (m > 0) continue;  // the fixed windows' checks need no mode panels
        EXPECT_GE(layout.debug.height, usable ? kDebugViewNewestRowsHeight : kDebugViewCommandBoxHeight);
        EXPECT_EQ(layout.keepAboveGame, Overlap(gameFrame, panel) || Overlap(gameFrame, debug));
        if (!roomy) continue;
        EXPECT_EQ(layout.modePanels.x, panel.x);
        EXPECT_GE(layout.modePanels.y, panel.y + panel.height);
        if (c.wideColumn) {
          EXPECT_GE(layout.modePanels.width, kModePanelColumnWidth + sides);
        }
      }
    }
  }
  // Every panel open once started: the control panel, the debug window and
  // the civ mode's two. Without a window manager the owner is named all the
  // same. Each start costs seconds: the screens at the limit, the largest
  // below it and the smallest.
  const struct { int width, height; } started[] = {{1280, 720}, {1024, 768}, {320, 240}};
  for (const auto& screen : started) {
    SCOPED_TRACE(::testing::Message() << "the game started on " << screen.width << "x" << screen.height);
    RunIsolated([&screen] {
      cPrivateTestDisplay display(screen.width, screen.height);
      ASSERT_TRUE(display.Started());
      cStartedProgram program({"-noautopause", "-civmode"});
      program.Frame(16);
      const bool over = screen.width < 1280 || screen.height < 720;
      int panels = 0;
      for (int window = 1; window < 100; ++window) {
        const GLUI* panel = GLUI_Master.find_glui_by_window_id(window);
        if (!panel) continue;
        ++panels;
        EXPECT_EQ(Sys_IsWindowKeptAbove(window, gMainWindow), over) << panel->get_name();
      }
      EXPECT_EQ(panels, 4);
      Sys_SetFocusProbeForTest(nullptr);  // the X server's own answer
      EXPECT_TRUE(Sys_IsMainWindowActive());
    });
  }
}
