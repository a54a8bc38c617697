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
                                          const sStartupScreen& screen, bool twoMonitors) {
  sStartupWindowLayout layout;
  const int height = std::clamp(screen.height - kBottomRoom, kMinDebugHeight, kMaxDebugHeight);
  const int column = std::max(panel.width, kModePanelColumnWidth);
  auto modePanelsUnder = [&](const sWindowBox& at) {
    const int top = at.y + panel.height + kWindowGap;
    return sWindowBox{at.x, top, column, std::max(screen.height - top, 0)};
  };
  if (twoMonitors) {
    // A screen no wider than its first monitor has no second one: the windows
    // go where one would be, as asked.
    const int secondWidth =
        screen.width > screen.primaryWidth ? screen.width - screen.primaryWidth : screen.primaryWidth;
    const int width = std::clamp(secondWidth - column - 3 * kWindowGap, kMinDebugWidth, kMaxDebugWidth);
    layout.debug = {screen.primaryWidth, 0, width, height};
    layout.panel = {screen.primaryWidth + width + kWindowGap, 0, 0, 0};
    layout.modePanels = modePanelsUnder(layout.panel);
    return layout;
  }
  // Game, panel column, debug window from left to right on the first monitor;
  // where the debug window has no room there, it goes under the game window.
  const int right = screen.primaryWidth > 0 ? screen.primaryWidth : screen.width;
  layout.panel = {game.x + game.width + kWindowGap, game.y, 0, 0};
  layout.modePanels = modePanelsUnder(layout.panel);
  const int besideX = layout.panel.x + column + kWindowGap;
  const int besideWidth = right - besideX - kWindowGap / 2;
  if (besideWidth >= kMinDebugWidth) {
    layout.debug = {besideX, game.y, std::min(besideWidth, kMaxDebugWidth), height};
    return layout;
  }
  // Under the game window; where even that has no room it runs off the
  // screen's bottom rather than over another window.
  const int belowY = game.y + game.height + kWindowGap;
  layout.debug = {game.x, belowY, std::clamp(game.width, kMinDebugWidth, kMaxDebugWidth),
                  std::clamp(screen.height - belowY - kBottomRoom, kMinDebugHeightUnderGame, kMaxDebugHeight)};
  return layout;
}

// gPanelX, gPanelY end as the control panel's place, and below it, for the modes that read them.
void PlaceStartupWindows(bool twoMonitors) {
  glutSetWindow(gMainWindow);
  const sWindowBox game = {glutGet(GLUT_WINDOW_X), glutGet(GLUT_WINDOW_Y), glutGet(GLUT_WINDOW_WIDTH),
                           glutGet(GLUT_WINDOW_HEIGHT)};
  GLUI_PumpFrame();  // the control panel takes its controls' size when first drawn
  sWindowBox panel;
  gControlPanel->get_size(&panel.width, &panel.height);
  sStartupScreen screen;
  screen.width = glutGet(GLUT_SCREEN_WIDTH);
  screen.height = glutGet(GLUT_SCREEN_HEIGHT);
  screen.primaryWidth = Sys_PrimaryMonitorWidth();
  const sStartupWindowLayout layout = LayOutStartupWindows(game, panel, screen, twoMonitors);
  MoveDebugWindowView(layout.debug.x, layout.debug.y, layout.debug.width, layout.debug.height);
  gPanelX = layout.panel.x;
  gPanelY = layout.panel.y;
  glutSetWindow(gControlPanel->get_glut_window_id());
  glutPositionWindow(gPanelX, gPanelY);
  GLUI_Master.set_default_position(layout.modePanels.x, layout.modePanels.y);  // the modes' panels open there
  gPanelY += 100 + panel.height;
  glutSetWindow(gMainWindow);
}
