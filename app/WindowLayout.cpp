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
constexpr int kBottomRoom = 60;  // a task bar, where the screen has room to spare
}  // namespace

sStartupWindowLayout LayOutStartupWindows(const sWindowBox& game, const sWindowBox& panel,
                                          const sStartupScreen& screen, bool twoMonitors, const sWindowFrame& frame) {
  sStartupWindowLayout layout;
  const int sides = frame.left + frame.right, ends = frame.top + frame.bottom;
  const int right = screen.primaryWidth > 0 ? screen.primaryWidth : screen.width, bottom = screen.height;
  // The game window keeps its place; where its frame runs off the first monitor it is cut.
  layout.game = game;
  layout.game.width = std::max(std::min(game.width, right - (game.x - frame.left) - sides), 1);
  layout.game.height = std::max(std::min(game.height, bottom - (game.y - frame.top) - ends), 1);
  const sWindowBox outerGame = {game.x - frame.left, game.y - frame.top, layout.game.width + sides,
                                layout.game.height + ends};
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
  // The strip right of the game window; where the game window fills the
  // screen, the screen's right edge, over the game.
  int stripX = outerGame.x + outerGame.width + kWindowGap;
  if (right - stripX < panelWidth) stripX = std::max(right - std::max(panelWidth, column), 0);
  layout.panel = {stripX, outerGame.y, 0, 0};
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
  // ...else in the strip under the control panel, as wide as the strip and
  // down to the screen's bottom; the modes' panels keep above its newest lines.
  const int height = std::max(bottom - layout.modePanels.y - ends, kDebugViewNewestRowsHeight);
  layout.debug = {stripX, std::min(layout.modePanels.y, bottom - height - ends),
                  std::min(right - stripX - sides, kMaxDebugWidth), height};
  const int newestTop = layout.debug.y + frame.top + height - kDebugViewNewestRowsHeight;
  layout.modePanels.bottom = std::max(newestTop - kWindowGap, layout.modePanels.y);
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
  if (twoMonitors && screen.width <= screen.primaryWidth)
    DebugPrintf("-twomonitors: the screen has one monitor; the windows stay on it");
  const sStartupWindowLayout layout = LayOutStartupWindows(game, panel, screen, twoMonitors, frame);
  if (layout.game.width != game.width || layout.game.height != game.height)
    glutReshapeWindow(layout.game.width, layout.game.height);
  MoveDebugWindowView(layout.debug.x, layout.debug.y, layout.debug.width, layout.debug.height);
  gPanelX = layout.panel.x;
  gPanelY = layout.panel.y;
  glutSetWindow(gControlPanel->get_glut_window_id());
  glutPositionWindow(gPanelX, gPanelY);
  GLUI_Master.set_default_position(layout.modePanels);
  gPanelY += 100 + panel.height;
  glutSetWindow(gMainWindow);
}
