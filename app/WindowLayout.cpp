#include "app/WindowLayout.h"

#include <GL/freeglut.h>

#include <algorithm>

#include "app/AppGlobals.h"
#include "app/FrameLoop.h"
#include "glf/BarPanel.h"
#include "glf/DebugWindow.h"
#include "platform/Sys.h"
#include "platform/glui/glui.h"

namespace {
constexpr int kMinDebugWidth = 320, kMaxDebugWidth = 1000;
constexpr int kMinDebugHeight = 200, kMaxDebugHeight = 900;
constexpr int kBottomRoom = 60;  // a task bar, where the screen has room to spare
constexpr int kMinNarrowDebugWidth = 240;   // as narrow as the strip leaves it on a screen 1280 pixels wide
constexpr int kMinBesideColumnWidth = 120;  // a panel narrower shows too little of its labels

bool Overlap(const sWindowBox& a, const sWindowBox& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}
}  // namespace

sStartupWindowLayout LayOutStartupWindows(const sWindowBox& game, const sWindowBox& panel,
                                          const sStartupScreen& screen, bool twoMonitors, const sWindowFrame& frame,
                                          bool fullScreen) {
  sStartupWindowLayout layout;
  const int sides = frame.left + frame.right, ends = frame.top + frame.bottom;
  const int right = screen.primaryWidth > 0 ? screen.primaryWidth : screen.width, bottom = screen.height;
  // The game window keeps its place; where its frame runs off the first monitor
  // it is cut. Full screen, a manager fills the monitor with it, unframed
  // (without one it covers the whole screen).
  layout.game = game;
  layout.game.width = std::max(std::min(game.width, right - (game.x - frame.left) - sides), 1);
  layout.game.height = std::max(std::min(game.height, bottom - (game.y - frame.top) - ends), 1);
  sWindowBox outerGame = {game.x - frame.left, game.y - frame.top, layout.game.width + sides,
                          layout.game.height + ends};
  if (fullScreen) layout.game = outerGame = {0, 0, right, bottom};
  const int panelWidth = panel.width + sides, panelHeight = panel.height + ends;
  const int column = std::max(panel.width, kModePanelColumnWidth) + sides;
  // A debug window from `top` down, short of the screen's bottom where there is room to spare.
  auto heightDown = [&](int top) {
    const int room = bottom - top - ends;
    return std::min(std::clamp(room - kBottomRoom, kMinDebugHeight, kMaxDebugHeight), room);
  };
  auto columnUnder = [&](const sWindowBox& at, int width) {
    GLUI_PanelColumn modePanels;
    modePanels.x = at.x;
    modePanels.y = at.y + panelHeight + kWindowGap;
    modePanels.width = width;
    modePanels.bottom = bottom;
    modePanels.frameWidth = sides;
    modePanels.frameHeight = ends;
    return modePanels;
  };
  // A screen no wider than its first monitor has no second one: the windows
  // stay on the first, as without the option, rather than off the screen.
  if (twoMonitors && screen.width > screen.primaryWidth) {
    const int secondWidth = screen.width - screen.primaryWidth;
    const int width =
        std::clamp(secondWidth - column - sides - 3 * kWindowGap, kMinDebugWidth, kMaxDebugWidth);
    layout.debug = {screen.primaryWidth, 0, width, heightDown(0)};
    layout.panel = {screen.primaryWidth + width + sides + kWindowGap, 0, 0, 0};
    layout.modePanels = columnUnder(layout.panel, column);
    return layout;
  }
  // The room a debug window at the bottom of a strip from `top` to `end`, just
  // tall enough for its newest rows and command box, leaves the column between
  // it and the control panel.
  const int height = kDebugViewNewestRowsHeight;
  const int least = GLUI_LeastColumnHeight(kMostModePanels, ends);
  auto columnRoom = [&](int top, int end) {
    return end - height - ends - kWindowGap - (top + panelHeight + kWindowGap);
  };
  // The strip right of the game window; where the game window fills the
  // screen, the screen's right edge, over the game: between the goal bar and
  // the debug lines the game draws there where that leaves the column room
  // for a mode's panels cut as short as they go (from 1024x768, and 800x600
  // without frames), else as tall as the screen.
  int stripX = outerGame.x + outerGame.width + kWindowGap;
  int stripTop = outerGame.y, stripBottom = bottom;
  if (right - stripX < panelWidth) {
    stripX = std::max(right - std::max(panelWidth, column), 0);
    // Where the game's own drawing puts them, for a window of its size.
    const int goalBottom = (int)cGLFBarPanel().TitleBottom(kGLFHudPanelY, layout.game.height);
    const int debugTop = DebugOverlayBox(layout.game.width, layout.game.height).y0;
    const int top = layout.game.y + goalBottom + 1 + kWindowGap / 2;
    const int end = std::min(layout.game.y + debugTop - kWindowGap / 2, bottom);
    if (columnRoom(top, end) >= least) stripTop = top, stripBottom = end;
  }
  layout.panel = {stripX, stripTop, 0, 0};
  layout.modePanels = columnUnder(layout.panel, std::min(column, right - stripX));

  // Beside the column where the first monitor has room for it...
  const int besideX = stripX + column + kWindowGap;
  const int besideWidth = right - besideX - sides - kWindowGap / 2;
  if (besideWidth >= kMinDebugWidth) {
    layout.debug = {besideX, outerGame.y, std::min(besideWidth, kMaxDebugWidth), heightDown(outerGame.y)};
    return layout;
  }
  // ...else under the game window where that shows its newest lines...
  const int belowY = outerGame.y + outerGame.height + kWindowGap;
  if (bottom - belowY - ends >= kDebugViewNewestRowsHeight) {
    layout.debug = {outerGame.x, belowY, std::min(layout.game.width, kMaxDebugWidth), heightDown(belowY)};
    return layout;
  }
  // ...else at the strip's bottom, just tall enough for its newest rows and
  // command box: under the column where that leaves the column room for a
  // mode's panels cut as short as they go...
  const int y = std::max(stripBottom - height - ends, 0);
  const int stripWidth = std::min(right - stripX - sides, kMaxDebugWidth);
  const sWindowBox strip = {stripX, 0, right - stripX, bottom};
  if (columnRoom(stripTop, stripBottom) >= least) {
    layout.debug = {stripX, y, stripWidth, height};
    layout.modePanels.bottom = y - kWindowGap;
  } else if (stripX - kWindowGap - sides >= kMinNarrowDebugWidth) {
    // ...else left of the strip, over the game (a screen as short as 640x480)...
    layout.debug = {0, y, std::min(stripX - kWindowGap - sides, kMaxDebugWidth), height};
  } else {
    // ...else (a tiny screen) under the column, which stands beside the
    // control panel where it has room, as tall as the room left, down to its
    // command box alone.
    const int besideX = stripX + panelWidth + kWindowGap;
    if (right - besideX >= kMinBesideColumnWidth) {
      layout.modePanels.x = besideX;
      layout.modePanels.y = layout.panel.y;
      layout.modePanels.width = std::min(column, right - besideX);
    }
    const int top = std::max(layout.modePanels.y + least + kWindowGap, bottom - height - ends);
    const int room = std::clamp(bottom - top - ends, kDebugViewCommandBoxHeight, height);
    layout.debug = {layout.modePanels.x, std::max(bottom - room - ends, 0),
                    std::min(right - layout.modePanels.x - sides, kMaxDebugWidth), room};
    layout.modePanels.bottom = layout.debug.y - kWindowGap;
  }
  const sWindowBox outerDebug = {layout.debug.x, layout.debug.y, layout.debug.width + sides,
                                 layout.debug.height + ends};
  layout.keepAboveGame = Overlap(strip, outerGame) || Overlap(outerDebug, outerGame);
  return layout;
}

// A window manager frames the game window soon after it is shown; start-up
// waits a moment for that (never without a manager) so the frames are known.
static sWindowFrame MeasureWindowFrame() {
  sWindowFrame frame;
  if (!Sys_DesktopCanShowDialogs()) return frame;
  const uint32_t start = Sys_Milliseconds();
  while (!Sys_MainWindowFrame(frame.left, frame.right, frame.top, frame.bottom) &&
         Sys_Milliseconds() - start < 1000) {
    GLUI_PumpFrame();
    Sys_SleepMs(10);
  }
  return frame;
}

// gPanelX, gPanelY end as the control panel's place, and below it, for the modes that read them.
// The frame is measured before the game window is made full-screen, which takes
// its frame away: the helpers keep theirs.
void PlaceStartupWindows(bool twoMonitors, bool fullScreen) {
  GLUI_PumpFrame();  // the control panel takes its controls' size when first drawn
  const sWindowFrame frame = MeasureWindowFrame();
  glutSetWindow(gMainWindow);
  const sWindowBox game = {glutGet(GLUT_WINDOW_X), glutGet(GLUT_WINDOW_Y), glutGet(GLUT_WINDOW_WIDTH),
                           glutGet(GLUT_WINDOW_HEIGHT)};
  sWindowBox panel;
  gControlPanel->get_size(&panel.width, &panel.height);
  sStartupScreen screen;
  screen.width = glutGet(GLUT_SCREEN_WIDTH);
  screen.height = glutGet(GLUT_SCREEN_HEIGHT);
  screen.primaryWidth = Sys_PrimaryMonitorWidth();
  if (twoMonitors && screen.width <= screen.primaryWidth)
    DebugPrintf("-twomonitors: the screen has one monitor; the windows stay on it");
  const sStartupWindowLayout layout = LayOutStartupWindows(game, panel, screen, twoMonitors, frame, fullScreen);
  if (!fullScreen && (layout.game.width != game.width || layout.game.height != game.height))
    glutReshapeWindow(layout.game.width, layout.game.height);
  MoveDebugWindowView(layout.debug.x, layout.debug.y, layout.debug.width, layout.debug.height);
  gPanelX = layout.panel.x;
  gPanelY = layout.panel.y;
  glutSetWindow(gControlPanel->get_glut_window_id());
  glutPositionWindow(gPanelX, gPanelY);
  GLUI_Master.set_default_position(layout.modePanels);
  if (layout.keepAboveGame) GLUI_Master.keep_panels_above(gMainWindow);
  gPanelY += 100 + panel.height;
  if (fullScreen) Sys_MakeWindowFullScreen(gMainWindow);  // its tool windows stay above it
  glutSetWindow(gMainWindow);
}
