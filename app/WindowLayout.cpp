#include "app/WindowLayout.h"

#include <GL/freeglut.h>

#include <algorithm>

#include "app/AppGlobals.h"
#include "glf/DebugWindow.h"
#include "platform/Sys.h"
#include "platform/glui/glui.h"

namespace {
constexpr int kMinDebugWidth = 320, kMaxDebugWidth = 1000;
constexpr int kMinDebugHeight = 200, kMaxDebugHeight = 900;
constexpr int kMinDebugHeightUnderGame = 120;  // six lines and the command box
constexpr int kBottomRoom = 60;                // a title bar and a task bar
}  // namespace

sStartupWindowLayout LayOutStartupWindows(const sWindowBox& game, const sWindowBox& panel,
                                          const sStartupScreen& screen, bool twoMonitors, const sWindowFrame& frame) {
  sStartupWindowLayout layout;
  const int sides = frame.left + frame.right, ends = frame.top + frame.bottom;
  const sWindowBox outerGame = {game.x - frame.left, game.y - frame.top, game.width + sides, game.height + ends};
  const int height = std::clamp(screen.height - kBottomRoom, kMinDebugHeight, kMaxDebugHeight);
  const int column = std::max(panel.width, kModePanelColumnWidth) + sides;
  auto modePanelsUnder = [&](const sWindowBox& at) {
    const int top = at.y + panel.height + ends + kWindowGap;
    return sWindowBox{at.x, top, column, std::max(screen.height - top, 0)};
  };
  if (twoMonitors) {
    // A screen no wider than its first monitor has no second one: the windows
    // go where one would be, as asked.
    const int secondWidth =
        screen.width > screen.primaryWidth ? screen.width - screen.primaryWidth : screen.primaryWidth;
    const int width =
        std::clamp(secondWidth - column - sides - 3 * kWindowGap, kMinDebugWidth, kMaxDebugWidth);
    layout.debug = {screen.primaryWidth, 0, width, height};
    layout.panel = {screen.primaryWidth + width + sides + kWindowGap, 0, 0, 0};
    layout.modePanels = modePanelsUnder(layout.panel);
    return layout;
  }
  // Game, panel column, debug window from left to right on the first monitor;
  // where the debug window has no room there, it goes under the game window.
  const int right = screen.primaryWidth > 0 ? screen.primaryWidth : screen.width;
  layout.panel = {outerGame.x + outerGame.width + kWindowGap, outerGame.y, 0, 0};
  layout.modePanels = modePanelsUnder(layout.panel);
  const int besideX = layout.panel.x + column + kWindowGap;
  const int besideWidth = right - besideX - sides - kWindowGap / 2;
  if (besideWidth >= kMinDebugWidth) {
    layout.debug = {besideX, outerGame.y, std::min(besideWidth, kMaxDebugWidth), height};
    return layout;
  }
  // Under the game window; where even that has no room it runs off the
  // screen's bottom rather than over another window.
  const int belowY = outerGame.y + outerGame.height + kWindowGap;
  layout.debug = {outerGame.x, belowY, std::clamp(game.width, kMinDebugWidth, kMaxDebugWidth),
                  std::clamp(screen.height - belowY - kBottomRoom, kMinDebugHeightUnderGame, kMaxDebugHeight)};
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
void PlaceStartupWindows(bool twoMonitors) {
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
  const sStartupWindowLayout layout = LayOutStartupWindows(game, panel, screen, twoMonitors, frame);
  MoveDebugWindowView(layout.debug.x, layout.debug.y, layout.debug.width, layout.debug.height);
  gPanelX = layout.panel.x;
  gPanelY = layout.panel.y;
  glutSetWindow(gControlPanel->get_glut_window_id());
  glutPositionWindow(gPanelX, gPanelY);
  // the modes' panels open there, each frame under the one above
  GLUI_Master.set_default_position(layout.modePanels.x, layout.modePanels.y, nullptr, frame.top + frame.bottom);
  gPanelY += 100 + panel.height;
  glutSetWindow(gMainWindow);
}
