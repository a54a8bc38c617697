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
constexpr int kBottomRoom = 60;  // a title bar and a task bar
}  // namespace

sStartupWindowLayout LayOutStartupWindows(const sWindowBox& game, const sWindowBox& panel,
                                          const sStartupScreen& screen, bool twoMonitors) {
  sStartupWindowLayout layout;
  const int height = std::clamp(screen.height - kBottomRoom, kMinDebugHeight, kMaxDebugHeight);
  if (twoMonitors) {
    // A screen no wider than its first monitor has no second one: the windows
    // go where one would be, as asked.
    const int secondWidth =
        screen.width > screen.primaryWidth ? screen.width - screen.primaryWidth : screen.primaryWidth;
    const int width = std::clamp(secondWidth - panel.width - 3 * kWindowGap, kMinDebugWidth, kMaxDebugWidth);
    layout.debug = {screen.primaryWidth, 0, width, height};
    layout.panel = {screen.primaryWidth + width + kWindowGap, 0, 0, 0};
    return layout;
  }
  // Game, panel, debug window from left to right on the first monitor; where
  // the debug window has no room there, it goes under the panel.
  const int right = screen.primaryWidth > 0 ? screen.primaryWidth : screen.width;
  layout.panel = {game.x + game.width + kWindowGap, game.y, 0, 0};
  const int besideX = layout.panel.x + panel.width + kWindowGap;
  const int besideWidth = right - besideX - kWindowGap / 2;
  if (besideWidth >= kMinDebugWidth) {
    layout.debug = {besideX, game.y, std::min(besideWidth, kMaxDebugWidth), height};
    return layout;
  }
  const int belowY = game.y + panel.height + 3 * kWindowGap;
  layout.debug = {layout.panel.x, belowY,
                  std::clamp(right - layout.panel.x - kWindowGap / 2, kMinDebugWidth, kMaxDebugWidth),
                  std::clamp(screen.height - belowY - kBottomRoom, kMinDebugHeight, kMaxDebugHeight)};
  return layout;
}

// The modes' own panels open under the control panel, at gPanelX, gPanelY.
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
  GLUI_Master.set_default_position(gPanelX, gPanelY, gControlPanel);  // the modes' panels open under it
  gPanelY += 100 + panel.height;
  glutSetWindow(gMainWindow);
}
