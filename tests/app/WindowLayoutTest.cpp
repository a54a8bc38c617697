#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <initializer_list>
#include <optional>
#include <thread>
#include <vector>

#include "app/AppGlobals.h"
#include "app/WindowLayout.h"
#include "glf/BarPanel.h"
#include "glf/PieMenu.h"
#include "glf/MessageBoard.h"
#include "glf/TextPlacement.h"
#include "modes/city/cCityGameMode.h"
#include "modes/civ/cCivGameMode.h"
#include "modes/dev/space/cSpaceGameMode.h"
#include "modes/tribe/TribeInputController.h"
#include "modes/tribe/cTribeGameMode.h"
#include "platform/X11Query.h"
#include "glf/DebugWindow.h"
#include "platform/glui/DebugView.h"
#include "platform/glui/GLUITest.h"
#include "tests/glf/OverlayRecorder.h"
#include "tests/support/StartedProgram.h"

static const std::vector<GLUI_PanelBox> kCivPanels = {{0, 0, 299, 219}, {0, 0, 289, 242}};  // as their contents size them

// The window managers' frames, as they report them (_NET_FRAME_EXTENTS under
// Xvfb): their normal frames, and maximized (side edges gone). Metacity's title
// bar is 37 pixels for small windows, 42 for the game's.
struct sManagerFrames {
  const char* name;
  sWindowFrame frame, maximized;
};
static const sManagerFrames kBare = {"no window manager", {}, {}};
static const sManagerFrames kOpenbox = {"openbox", {1, 1, 20, 5}, {0, 0, 19, 0}};
static const sManagerFrames kXfwm4 = {"xfwm4", {5, 5, 29, 5}, {0, 0, 24, 0}};
static const sManagerFrames kMetacity = {"metacity", {0, 0, 42, 0}, {0, 0, 42, 0}};

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
// first frame until it was clicked. A full-screen game window covered every
// helper on screens it did not fill before (1920x1080). A game window resized
// too wide for the strip beside it, with room under it for the debug window,
// had the strip over it and the helpers not kept above it.
// At boxes the player gave the game window: the strip stood on its title bar
// and over the goal bar, and the debug window over the debug lines, where the
// strip had little room over it (900x600 at 466,25 under openbox, a window
// maximized horizontally, (W-40)x400 at 0,0, metacity's tall title bar); the
// debug window ran off the screen beside a game window moved mostly off it,
// kept its old width where a new one came out negative, or covered what showed
// of a game window low on the screen while the screen above was empty. Every
// helper was kept above the game window when any stood over it, and one the
// player had moved went back at the next change of its box. Maximized, the
// covered area began a title bar's height below the control panel's top.
//
// Every screen and box, under each manager, with each mode's panels stacked
// in their column, before any click and after one in each window: every
// window on the screen (within one monitor), no title bar, the command box
// nor (from 800x600 up) the control panel, the newest lines or half a panel
// covered, and from 800x600 up no helper over another nor over the game
// window's title bar, goal bar or debug lines; from 1280x720 up no window
// over another unless the game window leaves the strip no room beside it.
// Each helper is raised above the game window exactly where it stands over
// it, and the strip's part over it is the area menus and labels keep clear of.
// A helper the player placed stays there, moved just onto the screen.
// The game started on each screen of one monitor: every panel is a tool
// window of the game's, wherever it stands (a click in the game leaves them
// above it, and they minimize with it). The game window has the focus.
TEST(WindowLayout, EveryWindowOnTheScreenAndNoneOverTheGameThePanelOrTheNewestLines) {
  const sWindowBox panelSize = {0, 0, 144, 196};  // the control panel, as drawn
  // Each mode's panels, as their contents size them: the civ mode's two, the
  // fly/swim mode's, the flock test's and the stress mode's.
  const std::vector<std::vector<GLUI_PanelBox>> modes = {
      {}, kCivPanels, {{0, 0, 254, 254}}, {{0, 0, 212, 104}}, {{0, 0, 110, 35}}};
  enum eGameBox { kStarted, kFullScreen, kMaximized, kGiven };
  const struct {
    sScreenArea screen;
    bool twoMonitors;
    bool wideColumn;  // the screen leaves the column its whole width
    eGameBox kind = kStarted;
    sWindowBox game = {0, 0, 1024, 768};   // started: the window's size before start-up cuts it; given: its box
    const sManagerFrames* manager = nullptr;  // given boxes: under this one (else every one)
    sWindowFrame gameFrame = {};              // given boxes: the game window's own, where not the manager's
    sWindowBox placed = {};  // where the player put the debug window (its frame's top-left), if they did
    bool roomToKeepClear = true;  // the strip has room clear of the goal bar and the debug lines somewhere
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
               {{1280, 960, 1280}, false, false},
               {{1366, 768, 1366}, false, true, kFullScreen}, {{1920, 1080, 1920}, false, true, kFullScreen},
               {{3840, 1080, 1920}, true, true, kFullScreen},
               {{1366, 768, 1366}, false, true, kMaximized}, {{1920, 1080, 1920}, false, true, kMaximized},
               {{1280, 720, 1280}, false, true, kMaximized}, {{1024, 768, 1024}, false, true, kMaximized},
               // Resized by the player: too wide for the strip beside it, room for the debug window under it.
               {{1280, 1024, 1280}, false, false, kStarted, {0, 0, 1240, 600}},
               // Resized and moved by the player, as the players did.
               {{1366, 768, 1366}, false, true, kGiven, {466, 25, 900, 600}, &kOpenbox},
               {{1366, 768, 1366}, false, true, kGiven, {466, 25, 900, 500}, &kOpenbox},
               {{1366, 768, 1366}, false, true, kGiven, {466, 25, 900, 640}, &kOpenbox},
               {{1280, 720, 1280}, false, true, kGiven, {419, 105, 860, 610}, &kOpenbox},
               {{1280, 720, 1280}, false, true, kGiven, {419, 105, 860, 610}, &kXfwm4},
               {{1280, 720, 1280}, false, true, kGiven, {419, 105, 860, 610}, &kMetacity},
               // Maximized horizontally: openbox takes the side edges away.
               {{1366, 768, 1366}, false, true, kGiven, {0, 25, 1366, 300}, &kOpenbox, {0, 0, 20, 5}},
               {{1366, 768, 1366}, false, true, kGiven, {0, 0, 1326, 400}, &kBare},
               {{1920, 1080, 1920}, false, true, kGiven, {0, 0, 1880, 400}, &kBare},
               {{1366, 768, 1366}, false, true, kGiven, {1066, 100, 700, 500}, &kBare},
               {{1366, 768, 1366}, false, true, kGiven, {-300, 100, 700, 500}, &kBare},
               {{1024, 768, 1024}, false, true, kGiven, {724, 100, 700, 500}, &kBare},
               {{1024, 768, 1024}, false, true, kGiven, {-300, 100, 700, 500}, &kBare},
               {{1280, 1024, 1280}, false, true, kGiven, {980, 100, 700, 500}, &kBare},
               {{1920, 1080, 1920}, false, true, kGiven, {1620, 100, 700, 500}, &kBare},
               {{1366, 768, 1366}, false, true, kGiven, {1066, 20, 700, 500}, &kOpenbox},
               // Full screen left under openbox: 1024x768 at y=20, its bottom off the screen.
               {{1366, 768, 1366}, false, true, kGiven, {1, 20, 1024, 768}, &kOpenbox},
               {{1280, 720, 1280}, false, true, kGiven, {0, 520, 1280, 720}, &kBare},
               {{1366, 768, 1366}, false, true, kGiven, {300, 200, 700, 500}, &kOpenbox},
               // Short free space under a wide game window: the control panel, the column and the
               // debug window side by side.
               {{1280, 720, 1280}, false, true, kGiven, {0, 0, 1240, 400}, &kBare},
               {{1280, 720, 1280}, false, true, kGiven, {1, 20, 1240, 380}, &kOpenbox},
               // No room for the strip anywhere clear: over the debug lines, the debug window under the game.
               {{1024, 600, 1024}, false, true, kGiven, {0, 0, 1000, 420}, &kBare, {}, {}, false},
               // The debug window the player dragged over a restored game window, and one dragged
               // partly off the screen.
               {{1366, 768, 1366}, false, false, kStarted, {0, 0, 1024, 768}, nullptr, {}, {300, 300, 500, 300}},
               {{1366, 768, 1366}, false, false, kStarted, {0, 0, 1024, 768}, nullptr, {}, {-200, 500, 400, 300}}};
  for (const sManagerFrames* manager : {&kBare, &kOpenbox, &kXfwm4, &kMetacity}) {
    const sWindowFrame& frame = manager->frame;
    const int sides = frame.left + frame.right, ends = frame.top + frame.bottom;
    const bool managed = ends > 0;
    for (const auto& c : cases) {
      if (c.manager && c.manager != manager) continue;
      // The game window's own box and frame: the 1024x768 window as start-up
      // cuts it to the screen; maximized, the screen under its title bar.
      const int right = c.screen.primaryWidth;
      sWindowFrame gameFrame = c.kind == kMaximized ? manager->maximized : c.kind == kGiven && c.gameFrame.top > 0
                                                                               ? c.gameFrame
                                                                               : frame;
      const sWindowBox started = {frame.left, frame.top, std::min(c.game.width, c.screen.width),
                                  std::min(c.game.height, c.screen.height)};
      sWindowBox game = c.kind == kMaximized ? sWindowBox{0, gameFrame.top, right, c.screen.height - gameFrame.top}
                        : c.kind == kGiven   ? c.game
                                             : FitGameWindow(started, frame, c.screen);
      sHelperPlacementInput input;
      input.screen = c.screen;
      input.game = game;
      input.gameFrame = gameFrame;
      input.helperFrame = frame;
      input.controlPanel.box = panelSize;
      input.goalBarHeightRatio = cGLFBarPanel().GetBarHeightRatio();
      input.fullScreen = c.kind == kFullScreen;
      input.twoMonitors = c.twoMonitors;
      const bool placed = c.placed.width > 0;
      if (placed) input.debugWindow = {c.placed, true};
      const sHelperPlacement layout = LayOutHelpers(input);
      if (c.kind == kFullScreen) game = {0, 0, right, c.screen.height}, gameFrame = {};
      // What each window covers on the screen: its frame, from where it was put.
      auto framed = [&](const sWindowBox& box) {
        return sWindowBox{box.x, box.y, box.width + sides, box.height + ends};
      };
      const sWindowBox gameOuter = Framed(game, gameFrame);
      const sWindowBox panel = framed({layout.controlPanel.box.x, layout.controlPanel.box.y, panelSize.width,
                                       panelSize.height});
      const sWindowBox debug = framed(layout.debugWindow.box);
      auto bottomOf = [&](const sWindowBox& box, int height) {
        return sWindowBox{box.x, box.y + box.height - frame.bottom - height, box.width, height + frame.bottom};
      };
      const sWindowBox newest = bottomOf(debug, kDebugViewNewestRowsHeight);
      const sWindowBox commandBox = bottomOf(debug, kDebugViewCommandBoxHeight);
      // The game window's title bar, and where its own drawing puts the goal bar and the debug lines.
      const int goalBottom = (int)cGLFBarPanel().TitleBottom(kGLFHudPanelY, game.height);
      const int debugTop = DebugOverlayBox(game.width, game.height).y0;
      const sWindowBox drawn[] = {{gameOuter.x, gameOuter.y, gameOuter.width, gameFrame.top},
                                  {game.x, game.y, game.width, goalBottom + 1},
                                  {game.x, game.y + debugTop, game.width, game.height - debugTop}};
      const bool given = c.kind == kGiven || c.game.width != 1024;  // the player resized or moved it
      const bool roomy = c.screen.width >= 1280 && c.screen.height >= 720;  // more than the game window alone
      const bool usable = c.screen.width >= 800 && c.screen.height >= 600;
      auto apart = [](const sWindowBox& a, const sWindowBox& b) {
        return a.x + a.width + kWindowGap / 2 <= b.x || b.x + b.width + kWindowGap / 2 <= a.x ||
               a.y + a.height + kWindowGap / 2 <= b.y || b.y + b.height + kWindowGap / 2 <= a.y;
      };
      auto onOneMonitor = [&](const sWindowBox& box) {
        const int left = box.x < right ? 0 : right;
        const int end = box.x < right ? right : c.screen.width;
        return box.x >= left && box.x + box.width <= end && box.y >= 0 && box.y + box.height <= c.screen.height;
      };
      auto onTheScreen = [&](const sWindowBox& box) {
        return box.x >= 0 && box.x + box.width <= c.screen.width && box.y >= 0 && box.y + box.height <= c.screen.height;
      };
      const sRect2D& covered = layout.coveredArea;
      for (size_t m = 0; m < modes.size(); ++m) {
        SCOPED_TRACE(::testing::Message() << c.screen.width << "x" << c.screen.height << " of " << right
                                          << (c.twoMonitors ? " -twomonitors" : "")
                                          << (c.kind == kFullScreen ? " -fullscreen" : "")
                                          << (c.kind == kMaximized ? " maximized" : "") << ", the game window "
                                          << game.width << "x" << game.height << " at " << game.x << "," << game.y
                                          << ", " << manager->name << ", mode panel set " << m
                                          << (placed ? ", the debug window placed by the player" : ""));
        // In the order they were mapped, the lowest first.
        std::vector<sWindowBox> windows = {gameOuter, debug, panel};
        std::vector<bool> keptAbove = {false, layout.debugWindow.keptAbove, layout.controlPanel.keptAbove};
        for (const GLUI_PanelBox& box : GLUI_StackPanels(layout.modeColumn, modes[m])) {
          windows.push_back(framed({box.x, box.y, box.width, box.height}));
          keptAbove.push_back(layout.modeColumnKeptAbove);
        }
        const size_t kGame = 0, kDebug = 1, kPanel = 2, kFirstModePanel = 3;
        for (size_t i = 0; i < windows.size(); ++i) {
          // Where the player put it, it stays as far as the screen lets it.
          EXPECT_TRUE(i == kGame ? given || onOneMonitor(windows[i])
                      : placed && i == kDebug ? onTheScreen(windows[i])
                                              : onOneMonitor(windows[i]))
              << "window " << i;
          EXPECT_TRUE(i < kFirstModePanel || !Overlap(windows[i], commandBox)) << "window " << i;
          if (i == kGame) continue;
          EXPECT_EQ(keptAbove[i], Overlap(windows[i], gameOuter)) << "window " << i;
          // Over the game window, the strip stands within the covered area.
          const sRect2D over = {std::max(windows[i].x, game.x) - game.x, std::max(windows[i].y, game.y) - game.y,
                                std::min(windows[i].x + windows[i].width, game.x + game.width) - game.x,
                                std::min(windows[i].y + windows[i].height, game.y + game.height) - game.y};
          if (i >= kPanel && !over.IsEmpty()) {
            EXPECT_TRUE(over.x0 >= covered.x0 && over.x1 <= covered.x1 && over.y0 >= covered.y0 &&
                        over.y1 <= covered.y1)
                << "window " << i << " outside the covered area " << covered.x0 << "," << covered.y0 << " "
                << covered.x1 << "," << covered.y1;
          }
          if (!usable || (placed && i == kDebug)) continue;
          for (const sWindowBox& part : drawn)
            EXPECT_TRUE(!c.roomToKeepClear || !Overlap(windows[i], part)) << "window " << i;
          EXPECT_FALSE(Overlap(windows[i], drawn[0])) << "window " << i << " over the game window's title bar";
        }
        for (size_t i = 0; i < windows.size(); ++i)
          for (size_t j = i + 1; j < windows.size(); ++j) {
            // The game window may stand under the strip where it covers the strip's room.
            const bool overGame = c.kind != kStarted || given;
            const bool apartFromAll =
                !placed && (i >= kFirstModePanel || (i == kGame ? roomy && !overGame : usable));
            EXPECT_TRUE(!apartFromAll || apart(windows[i], windows[j])) << i << " and " << j;
          }
        // Below 800x600 only the layout as placed.
        for (int clicked = -1; clicked < (usable ? (int)windows.size() : 0); ++clicked) {
          SCOPED_TRACE(::testing::Message() << "after a click in window " << clicked);
          std::vector<size_t> stacking;  // lowest first
          for (size_t i = 0; i < windows.size(); ++i) stacking.push_back(i);
          if (managed && clicked >= 0) {
            std::erase(stacking, (size_t)clicked);
            stacking.push_back((size_t)clicked);
            // The helpers kept above it are tool windows of the game's; the others do not stand over it.
            if (std::find(keptAbove.begin(), keptAbove.end(), true) != keptAbove.end()) {
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
            const int titleHeight = i == kGame ? gameFrame.top : frame.top;
            const sWindowBox title = {windows[i].x, windows[i].y, windows[i].width, titleHeight};
            EXPECT_TRUE(title.height == 0 || (i == kGame && (!usable || placed)) || uncovered(i, title))
                << "window " << i;
            EXPECT_TRUE(i < kFirstModePanel || !usable || shown(i) >= 0.5) << "window " << i;
          }
          EXPECT_TRUE(uncovered(kDebug, commandBox));
          EXPECT_TRUE(!usable || (uncovered(kPanel, panel) && uncovered(kDebug, newest)));
        }
        if (m > 0) continue;  // the fixed windows' checks need no mode panels
        EXPECT_GE(layout.debugWindow.box.height, usable ? kDebugViewNewestRowsHeight : kDebugViewCommandBoxHeight);
        EXPECT_GE(layout.debugWindow.box.width, usable ? 200 : 1);  // never negative nor left at an old value
        if (placed) {
          // As the player put it where that is on the screen, else just onto it.
          const sWindowBox& box = layout.debugWindow.box;
          const int x = std::clamp(c.placed.x, 0, c.screen.width - c.placed.width - sides);
          const int y = std::clamp(c.placed.y, 0, c.screen.height - c.placed.height - ends);
          EXPECT_TRUE((box == sWindowBox{x, y, c.placed.width, c.placed.height}))
              << box.x << "," << box.y << " " << box.width << "x" << box.height;
        }
        if (!roomy || given) continue;
        EXPECT_EQ(layout.modeColumn.x, panel.x);
        EXPECT_GE(layout.modeColumn.y, panel.y + panel.height);
        if (c.wideColumn) {
          EXPECT_GE(layout.modeColumn.width, kModePanelColumnWidth + sides);
        }
      }
    }
  }
  // Every panel open once started: the control panel, the debug window and
  // the civ mode's two. Without a window manager the owner is named all the
  // same. Each start costs seconds: the screens at the limit, the largest
  // below it and the smallest.
  // "-fullscreen" as typed puts them over the game window on a screen it did not fill.
  const struct { int width, height; const char* option; } started[] = {
      {1280, 720, ""}, {1024, 768, ""}, {320, 240, ""}, {1920, 1080, "-fullscreen"}};
  for (const auto& screen : started) {
    SCOPED_TRACE(::testing::Message() << "the game started on " << screen.width << "x" << screen.height << " "
                                      << screen.option);
    RunIsolated([&screen] {
      cPrivateTestDisplay display(screen.width, screen.height);
      ASSERT_TRUE(display.Started());
      cStartedProgram program({"-noautopause", "-civmode", screen.option});
      program.Frame(16);
      int panels = 0;
      for (int window = 1; window < 100; ++window) {
        const GLUI* panel = GLUI_Master.find_glui_by_window_id(window);
        if (!panel) continue;
        ++panels;
        EXPECT_TRUE(Sys_IsWindowKeptAbove(window, gMainWindow)) << panel->get_name();
      }
      EXPECT_EQ(panels, 4);
      // Made smaller for its place, the debug window still follows its newest
      // line (the first frame at the new size, which the toolkit skips, took it
      // to the top).
      for (int i = 0; i < 20; ++i) DebugPrintf("line %d", i);
      program.Frame(4);
      GLUI_TestPumpUntilIdle(3);
      float scroll = 0, scrollMax = 0;
      ASSERT_TRUE(GLUI_TestDebugViewScroll(&scroll, &scrollMax));
      EXPECT_EQ(scroll, scrollMax) << "the debug window left its newest line";
      Sys_SetFocusProbeForTest(nullptr);  // the X server's own answer
      EXPECT_TRUE(Sys_IsMainWindowActive());
    });
  }
}

// Fault mended: over a game window filling the screen the control panel hid
// the HUDs' goal bar and the debug window the "Show Debug Info" lines. Each
// mode's frame, recorded at the game window's size on each screen: no helper
// placed there, with its frame, over anything drawn.
TEST(WindowLayout, NoHelperOverWhatTheModesDrawAtFixedPlaces) {
  RunIsolated([] {
    cPrivateTestDisplay display(2560, 1440);  // the pointer rests off the game window: no hover label
    ASSERT_TRUE(display.Started());
    cStartedProgram program({"-noautopause"});
    gShowDebugInfo = 1;
    sWindowBox panel;
    gControlPanel->get_size(&panel.width, &panel.height);
    const sWindowFrame openbox = {1, 1, 20, 5};
    const struct {
      sScreenArea screen;
      bool fullScreen;
      sWindowFrame frame;
    } screens[] = {{{1366, 768, 1366}, true, openbox}, {{1920, 1080, 1920}, true, {}},
                   {{1024, 768, 1024}, false, {}},     {{1024, 768, 1024}, false, openbox},
                   {{800, 600, 800}, false, {}}};
    for (const auto& [name, mode] : std::vector<std::pair<const char*, cIGameMode*>>{
             {"tribe", gTribeGameMode}, {"city", gCityGameMode}, {"civ", gCivGameMode}, {"space", gSpaceGameMode}}) {
      gPendingGameMode = mode;
      program.Frame(16);
      GetGLFMessageBoard().Clear();  // the game's own messages, shown for a while, are not the mode's
      for (const auto& row : screens) {
        const sWindowFrame& f = row.frame;
        SCOPED_TRACE(::testing::Message() << name << " on " << row.screen.width << "x" << row.screen.height
                                          << (row.fullScreen ? " -fullscreen" : "") << ", frame top " << f.top);
        sHelperPlacementInput input;
        input.screen = row.screen;
        input.game = row.fullScreen ? sWindowBox{0, 0, row.screen.width, row.screen.height}
                                    : FitGameWindow({f.left, f.top, 1024, 768}, f, row.screen);
        input.gameFrame = input.helperFrame = f;
        input.controlPanel.box = panel;
        input.goalBarHeightRatio = cGLFBarPanel().GetBarHeightRatio();  // the game's tuning
        input.fullScreen = row.fullScreen;
        const sHelperPlacement layout = LayOutHelpers(input);
        const sWindowBox& game = input.game;
        auto framed = [&f](int x, int y, int width, int height) {
          return sWindowBox{x, y, width + f.left + f.right, height + f.top + f.bottom};
        };
        const sWindowBox& debug = layout.debugWindow.box;
        std::vector<sWindowBox> helpers = {
            framed(layout.controlPanel.box.x, layout.controlPanel.box.y, panel.width, panel.height),
            framed(debug.x, debug.y, debug.width, debug.height)};
        const std::vector<GLUI_PanelBox> modePanels = mode == gCivGameMode ? kCivPanels : std::vector<GLUI_PanelBox>{};
        for (const GLUI_PanelBox& box : GLUI_StackPanels(layout.modeColumn, modePanels))
          helpers.push_back(framed(box.x, box.y, box.width, box.height));
        cOverlayRecorder recorder;
        recorder.width = game.width, recorder.height = game.height;
        RenderFrame();
        for (const cDrawCall& call : recorder.calls) {
          const bool text = call.kind == cDrawCall::kText;  // from its baseline's start
          const int x0 = std::min(call.x0, call.x1), y0 = text ? call.y0 - kTextAscent2D : std::min(call.y0, call.y1);
          const int x1 = text ? call.x0 + cOverlayRecorder::kCharWidth * (int)call.text.size() : std::max(call.x0, call.x1);
          const int y1 = text ? call.y0 + kTextDescent2D : std::max(call.y0, call.y1);
          const sWindowBox shown = {game.x + x0, game.y + y0, x1 - x0 + 1, y1 - y0 + 1};
          for (const sWindowBox& helper : helpers)
            EXPECT_FALSE(Overlap(helper, shown)) << (text ? call.text : "a shape") << " at " << x0 << "," << y0;
        }
      }
    }
  });
}

namespace {
// One of the display's shown top-level windows as another client sees it:
// where it stands on the screen (with the frame the window manager reports),
// whether it holds the manager's full-screen or maximized state, and its (or
// its frame's) place in the stacking order, the lowest first.
struct sSeenWindow {
  std::string title;
  sWindowBox box, framed;
  bool fullScreenState = false, maximizedState = false;
  int stacked = 0;
};

std::vector<Window> Children(Display* display, Window window) {
  Window root = 0, parent = 0, *list = nullptr;
  unsigned count = 0;
  std::vector<Window> children;
  if (XQueryTree(display, window, &root, &parent, &list, &count)) children.assign(list, list + count);
  if (list) XFree(list);
  return children;
}

// The windows directly under the root, or one level below where a window
// manager framed them. The server is grabbed meanwhile, so none goes while it
// is looked at.
std::vector<sSeenWindow> SeenWindows(Display* display) {
  const Window root = DefaultRootWindow(display);
  const Atom state = XInternAtom(display, "_NET_WM_STATE", False);
  const Atom fullScreen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
  const Atom wide = XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_HORZ", False);
  const Atom tall = XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_VERT", False);
  const Atom extents = XInternAtom(display, "_NET_FRAME_EXTENTS", False);
  std::vector<sSeenWindow> seen;
  // A property of 32-bit items (which come as longs), or none.
  auto property = [display](Window window, Atom name, Atom kind) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<long> items;
    if (XGetWindowProperty(display, window, name, 0, 32, False, kind, &type, &format, &count, &after, &data) ==
            Success && data && format == 32)
      items.assign((const long*)data, (const long*)data + count);
    if (data) XFree(data);
    return items;
  };
  auto look = [&](Window window, int stacked) {  // false: no title
    char* name = nullptr;
    if (!XFetchName(display, window, &name) || !name) return false;
    sSeenWindow shown{name, {}, {}, false, false, stacked};
    XFree(name);
    XWindowAttributes attributes{};
    Window child = 0;
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable) return true;
    XTranslateCoordinates(display, window, root, 0, 0, &shown.box.x, &shown.box.y, &child);
    shown.box.width = attributes.width, shown.box.height = attributes.height;
    const std::vector<long> states = property(window, state, XA_ATOM);
    auto holds = [&states](Atom atom) { return std::find(states.begin(), states.end(), (long)atom) != states.end(); };
    shown.fullScreenState = holds(fullScreen);
    shown.maximizedState = holds(wide) && holds(tall);
    std::vector<long> sides = property(window, extents, XA_CARDINAL);  // left, right, top, bottom
    sides.resize(4, 0);
    shown.framed = {shown.box.x - (int)sides[0], shown.box.y - (int)sides[2],
                    shown.box.width + (int)(sides[0] + sides[1]), shown.box.height + (int)(sides[2] + sides[3])};
    seen.push_back(shown);
    return true;
  };
  XGrabServer(display);
  int stacked = 0;
  for (Window top : Children(display, root)) {
    ++stacked;
    if (look(top, stacked)) continue;
    for (Window inner : Children(display, top))
      if (look(inner, stacked)) break;
  }
  XUngrabServer(display);
  XSync(display, False);
  return seen;
}

Window ActiveWindow(Display* display) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  Window active = None;
  if (XGetWindowProperty(display, DefaultRootWindow(display), XInternAtom(display, "_NET_ACTIVE_WINDOW", False), 0,
                         1, False, XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
      data && format == 32 && count == 1)
    active = (Window)((const long*)data)[0];
  if (data) XFree(data);
  return active;
}
}  // namespace

// Faults mended: "-fullscreen" made whichever window freeglut's next event
// pass found current full-screen (under openbox at 1366x768 the debug window,
// over everything and holding the keyboard, the game left at its size under
// it), and at 1920x1080 the full-screen game covered every helper. The
// program started, the option is applied and the windows placed as start-up
// does it, then freeglut's next pass runs with the debug window current: the
// game window, and only it, fills the screen (with a window manager, in its
// full-screen state), and every helper stands above it, a tool window of the
// game's (which a manager keeps above it also when it is clicked).
// Maximized under openbox (as a double-click on its title bar asks), the game
// window covered every helper, which the next click in it buried again, and
// the control panel stood over "Population Goal:" once raised. Maximized, then
// restored, each followed by a click in the game (the manager raises and
// activates it): no helper over the game window stands under it, none covers
// the goal bar the HUDs draw along its top nor the "Show Debug Info" lines at
// its bottom, and restored they stand beside it again. The control panel was
// 144 pixels wide, and openbox showed its title as "Q... el": it shows it
// whole where the panel has room for it, else cut at its end. A ground menu
// opened beside the strip (at 1010,610 of the tribe's game window filling
// 1366x768) had its third item under the debug window: it moves in from the
// strip's edge. Maximized, the civ mode's panels stayed where they stood
// beside the restored window, over the game view: every helper over it stands
// in the strip. A helper the player dragged over the restored game window was
// buried by the next click in it, and went back to its place when the game
// window was next moved; the game window dragged by its title (same size) left
// the helpers where it came to cover them.
TEST(WindowLayout, FullScreenOrMaximizedTheGameWindowHasEveryHelperAboveIt) {
  enum eLiveChange { kFullScreenOption, kMaximizeAndRestore, kDragDebugWindowThenMoveGame };
  const struct {
    const char* name;
    int width, height;
    bool manager;
    const char* mode;
    eLiveChange change;
    bool titleWholeBeside;  // the control panel's title, its panel beside the game window
  } rows[] = {{"-fullscreen, openbox at 1366x768", 1366, 768, true, "-civmode", kFullScreenOption, true},
              {"-fullscreen, openbox at 1920x1080", 1920, 1080, true, "-civmode", kFullScreenOption, true},
              {"-fullscreen, no window manager at 1366x768", 1366, 768, false, "-civmode", kFullScreenOption, true},
              {"maximized, openbox at 1366x768, tribe", 1366, 768, true, "-tribemode", kMaximizeAndRestore, true},
              {"maximized, openbox at 1920x1080, civ", 1920, 1080, true, "-civmode", kMaximizeAndRestore, true},
              {"maximized, openbox at 1280x720, city", 1280, 720, true, "-citymode", kMaximizeAndRestore, false},
              {"the debug window dragged, openbox at 1366x768, civ", 1366, 768, true, "-civmode",
               kDragDebugWindowThenMoveGame, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    RunIsolated([&row] {
      cPrivateTestDisplay display(row.width, row.height);
      ASSERT_TRUE(display.Started());
      std::optional<cTestWindowManager> manager;
      if (row.manager) {
        manager.emplace();
        ASSERT_TRUE(manager->Started());
      }
      cStartedProgram program({"-noautopause", row.mode});  // the civ mode's two panels open too
      // What start-up left for freeglut is handled first, so that nothing
      // handled in the pass below makes another window current.
      glutSetWindow(gMainWindow);
      Display* glut = glXGetCurrentDisplay();
      const Window gameWindow = glXGetCurrentDrawable();
      ASSERT_NE(glut, nullptr);
      auto pending = [glut] {
        XSync(glut, False);
        return XPending(glut) > 0;
      };
      const auto quietBy = std::chrono::steady_clock::now() + std::chrono::seconds(120);
      do glutMainLoopEvent();
      while (pending() && std::chrono::steady_clock::now() < quietBy);

      Display* looker = XOpenDisplay(nullptr);
      ASSERT_NE(looker, nullptr);
      std::vector<sSeenWindow> windows;
      auto game = [&windows]() -> const sSeenWindow* {
        for (const sSeenWindow& window : windows)
          if (window.title == "QuorvelGL") return &window;
        return nullptr;
      };
      // Frames the game plays (the helpers placed as it goes), each with what
      // the panels draw, until the condition holds or the deadline passed.
      auto playUntil = [&](const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!done() && std::chrono::steady_clock::now() < deadline) {
          program.clock.Advance(16);
          GLUI_Master.run_idle_once();
          glutMainLoopEvent();
          std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
      };
      if (row.change == kFullScreenOption) {
        glutSetWindow(gMainWindow);  // as start-up applies the options
        cStartupOptions seen;
        char* argv[] = {(char*)"quorvel", (char*)"-fullscreen", nullptr};
        ApplyCommandLineOptions(2, argv, "", seen);
        PlaceStartupWindows(seen.twoMonitors, seen.fullScreen);
        ASSERT_NE(GLUI_GetDebugView(), nullptr);
        glutSetWindow(GLUI_GetDebugView()->get_glut_window_id());
        glutMainLoopEvent();
        auto screenSized = [&row](const sWindowBox& box) { return box.width >= row.width && box.height >= row.height; };
        auto fills = [&](const sWindowBox& box) { return box.x == 0 && box.y == 0 && screenSized(box); };
        auto settled = [&] {
          windows = SeenWindows(looker);
          const sSeenWindow* shown = game();
          if (!shown || !fills(shown->box) || shown->fullScreenState != row.manager) return false;
          for (const sSeenWindow& window : windows)
            if (&window != shown && window.stacked <= shown->stacked) return false;
          return true;
        };
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (!settled() && std::chrono::steady_clock::now() < deadline)
          std::this_thread::sleep_for(std::chrono::milliseconds(20));

        const sSeenWindow* shown = game();
        ASSERT_NE(shown, nullptr);
        EXPECT_TRUE(fills(shown->box)) << shown->box.x << "," << shown->box.y << " " << shown->box.width << "x"
                                       << shown->box.height;
        EXPECT_EQ(shown->fullScreenState, row.manager);
        EXPECT_EQ(windows.size(), 5u);  // with the control panel, the debug window and the civ mode's two panels
        for (const sSeenWindow& window : windows) {
          if (&window == shown) continue;
          EXPECT_FALSE(window.fullScreenState) << window.title;
          EXPECT_FALSE(screenSized(window.box)) << window.title;
          EXPECT_GT(window.stacked, shown->stacked) << window.title << " is under the game window";
        }
        for (int window = 1; window < 100; ++window) {
          if (const GLUI* panel = GLUI_Master.find_glui_by_window_id(window)) {
            EXPECT_TRUE(Sys_IsWindowKeptAbove(window, gMainWindow)) << panel->get_name();
          }
        }
        XCloseDisplay(looker);
        return;
      }

      // No helper over the game window under it, over its goal bar or its
      // debug lines (where the game's drawing puts them), or, restored, over
      // it at all; the control panel's title whole where its panel has room.
      const int controlPanel = gControlPanel->get_glut_window_id();
      auto faults = [&](bool maximized) {
        std::vector<std::string> found;
        const sSeenWindow* shown = game();
        if (!shown) return std::vector<std::string>{"no game window"};
        const sWindowBox& box = shown->box;
        const int goalBottom = (int)cGLFBarPanel().TitleBottom(kGLFHudPanelY, box.height);
        const int debugTop = DebugOverlayBox(box.width, box.height).y0;
        const sWindowBox goalBar = {box.x, box.y, box.width, goalBottom + 1};
        const sWindowBox debugLines = {box.x, box.y + debugTop, box.width, box.height - debugTop};
        for (const sSeenWindow& window : windows) {
          if (&window == shown) continue;
          if (Overlap(window.box, box) && window.stacked < shown->stacked) found.push_back(window.title + " under it");
          if (Overlap(window.framed, goalBar)) found.push_back(window.title + " over the goal bar");
          if (Overlap(window.framed, debugLines)) found.push_back(window.title + " over the debug lines");
          if (!maximized && Overlap(window.framed, shown->framed)) found.push_back(window.title + " over it, restored");
          // Over it, every helper stands in the strip at its right edge.
          if (maximized && Overlap(window.framed, shown->framed) && window.framed.x < ScreenBox(controlPanel).x - 1)
            found.push_back(window.title + " over it left of the strip");
        }
        const bool whole = maximized || row.titleWholeBeside;
        const std::string title = Sys_WindowShownTitle(controlPanel);
        const bool cutAtItsEnd = title.rfind("Quorvel Control", 0) == 0 && title.size() >= 3 &&
                                 title.compare(title.size() - 3, 3, "\xE2\x80\xA6") == 0;  // an ellipsis
        if (whole ? title != "Quorvel Control Panel" : !cutAtItsEnd)
          found.push_back("the control panel's title shown as \"" + title + "\"");
        // Openbox shows this title whole from 250 pixels (its theme's bold 8-point sans).
        if (whole && ScreenBox(controlPanel).width < 250) found.push_back("the control panel too narrow for its title");
        return found;
      };
      // Restored, the player drags the debug window over the game window: it
      // is kept above it, and clicks in the game leave it there. Then the
      // player drags the game window by its title (the same size) over where
      // the strip stood: the others follow it, and the debug window stays
      // where the player put it.
      if (row.change == kDragDebugWindowThenMoveGame) {
        const int debugWindow = GLUI_GetDebugView()->get_glut_window_id();
        glutSetWindow(debugWindow);
        const Window debugX = glXGetCurrentDrawable();
        auto settledAfter = [&](uint32_t placed) {
          return [&, placed] {
            windows = SeenWindows(looker);
            return GetHelperPlacements() >= placed && HelperPlacementSettled();
          };
        };
        playUntil(settledAfter(1));  // start-up's moves carried out
        XMoveWindow(looker, debugX, 200, 300);  // as a drag ends: the manager moves its frame there
        XSync(looker, False);
        playUntil([&] { return Sys_IsWindowKeptAbove(debugWindow, gMainWindow) && settledAfter(0)(); });
        Sys_ClickWindowForTest(gMainWindow, 40, 300);
        X11AskWindowManager(looker, gameWindow, "_NET_ACTIVE_WINDOW", {2, CurrentTime, 0});
        playUntil([&] { return ActiveWindow(looker) == gameWindow && settledAfter(0)(); });
        const sWindowBox dragged = ScreenBox(debugWindow);
        EXPECT_TRUE(Sys_IsWindowKeptAbove(debugWindow, gMainWindow));
        const sSeenWindow* shown = game();
        ASSERT_NE(shown, nullptr);
        for (const sSeenWindow& window : windows)
          if (window.title == "Debug Window") EXPECT_GT(window.stacked, shown->stacked) << "buried by a click";

        const uint32_t placed = GetHelperPlacements();
        XMoveWindow(looker, gameWindow, 300, 60);
        XSync(looker, False);
        playUntil([&] {
          return settledAfter(placed + 1)() && game() && game()->box.x > 200 && faults(false).size() <= 1;
        });
        const std::vector<std::string> found = faults(false);
        for (const std::string& fault : found)
          EXPECT_EQ(fault, "Debug Window over it, restored") << "after the game window was moved";
        EXPECT_EQ(GetHelperPlacements(), placed + 1);
        const sWindowBox now = ScreenBox(debugWindow);
        EXPECT_TRUE(now == dragged) << now.x << "," << now.y << " " << now.width << "x" << now.height;
        EXPECT_TRUE(Sys_IsWindowKeptAbove(debugWindow, gMainWindow));
        XCloseDisplay(looker);
        return;
      }
      for (const bool maximize : {true, false}) {
        SCOPED_TRACE(maximize ? "maximized, then a click in the game" : "restored, then a click in the game");
        const uint32_t placed = GetHelperPlacements();
        const Atom wide = XInternAtom(looker, "_NET_WM_STATE_MAXIMIZED_HORZ", False);
        const Atom tall = XInternAtom(looker, "_NET_WM_STATE_MAXIMIZED_VERT", False);
        X11AskWindowManager(looker, gameWindow, "_NET_WM_STATE", {maximize ? 1 : 0, (long)wide, (long)tall, 2});
        playUntil([&] {
          windows = SeenWindows(looker);
          const sSeenWindow* shown = game();
          return shown && shown->maximizedState == maximize && GetHelperPlacements() > placed &&
                 HelperPlacementSettled();
        });
        // The helpers come up over a game window just maximized (and raised) at once, before any click.
        playUntil([&] {
          windows = SeenWindows(looker);
          return faults(maximize).empty();
        });
        for (const std::string& fault : faults(maximize)) ADD_FAILURE() << fault << ", before the click";
        // The click: the manager raises the game window and activates it, and the game hears it.
        Sys_ClickWindowForTest(gMainWindow, 40, 300);
        X11AskWindowManager(looker, gameWindow, "_NET_ACTIVE_WINDOW", {2, CurrentTime, 0});
        playUntil([&] {
          windows = SeenWindows(looker);
          return ActiveWindow(looker) == gameWindow && faults(maximize).empty();
        });
        EXPECT_EQ(ActiveWindow(looker), gameWindow);
        EXPECT_EQ(windows.size(), std::string(row.mode) == "-civmode" ? 5u : 3u);
        for (const std::string& fault : faults(maximize)) ADD_FAILURE() << fault;
        const sSeenWindow* shown = game();
        if (!maximize || !shown || std::string(row.mode) != "-tribemode") continue;
        // The ground menu, opened beside the strip.
        cGLFPieMenu* menu = gTribeGameMode->GetInputController()->GetMenu(3);
        glutSetWindow(gMainWindow);
        menu->Show();
        program.clock.Advance(cGLFPieMenu::kOpeningMs);
        menu->Layout(1010.0f, 610.0f);
        for (int i = 0; i < menu->GetControlCount(); ++i) {
          const cGLFDialogControl* item = menu->GetItem(i);
          const sWindowBox onScreen = {shown->box.x + (int)item->X0(), shown->box.y + (int)item->Y0(),
                                       (int)(item->X1() - item->X0()) + 1, (int)(item->Y1() - item->Y0()) + 1};
          for (const sSeenWindow& window : windows)
            EXPECT_TRUE(&window == shown || !Overlap(onScreen, window.framed))
                << "\"" << item->GetLabel() << "\" under " << window.title;
        }
        menu->Hide();
      }
      XCloseDisplay(looker);
    });
  }
}
