#include "app/WindowLayout.h"

#include <GL/freeglut.h>

#include <algorithm>

#include "app/AppGlobals.h"
#include "app/FrameLoop.h"
#include "glf/BarPanel.h"
#include "glf/DebugWindow.h"
#include "glf/TextPlacement.h"
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
                                          bool fullScreen, const sWindowFrame* gameFrame) {
  sStartupWindowLayout layout;
  const int sides = frame.left + frame.right, ends = frame.top + frame.bottom;
  const sWindowFrame& own = gameFrame ? *gameFrame : frame;
  const int right = screen.primaryWidth > 0 ? screen.primaryWidth : screen.width, bottom = screen.height;
  // The game window keeps its place; where its frame runs off the first monitor
  // it is cut. Full screen, a manager fills the monitor with it, unframed
  // (without one it covers the whole screen).
  layout.game = game;
  layout.game.width = std::max(std::min(game.width, right - (game.x - own.left) - own.left - own.right), 1);
  layout.game.height = std::max(std::min(game.height, bottom - (game.y - own.top) - own.top - own.bottom), 1);
  sWindowBox outerGame = {game.x - own.left, game.y - own.top, layout.game.width + own.left + own.right,
                          layout.game.height + own.top + own.bottom};
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
  // Wherever they stand, the helpers are kept above the game window when
  // they stand over it; the strip's part over it is what the game's menus and
  // labels keep clear of.
  sWindowBox strip;
  int stripTop = outerGame.y, stripBottom = bottom;
  auto finish = [&] {
    const sWindowBox outerDebug = {layout.debug.x, layout.debug.y, layout.debug.width + sides,
                                   layout.debug.height + ends};
    layout.keepAboveGame = Overlap(strip, outerGame) || Overlap(outerDebug, outerGame);
    const sWindowBox over = {strip.x, stripTop, strip.width, stripBottom - stripTop};
    if (Overlap(over, outerGame)) {
      const int x0 = std::max(over.x, outerGame.x), y0 = std::max(over.y, outerGame.y);
      const int x1 = std::min(over.x + over.width, outerGame.x + outerGame.width);
      const int y1 = std::min(over.y + over.height, outerGame.y + outerGame.height);
      layout.strip = {x0, y0, x1 - x0, y1 - y0};
    }
    return layout;
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
    layout.panelRoom = std::min(column, screen.width - layout.panel.x) - sides;
    strip = {layout.panel.x, 0, column, bottom};
    stripTop = 0;
    return finish();
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
  layout.panelRoom = layout.modePanels.width - sides;
  strip = {stripX, 0, right - stripX, bottom};

  // Beside the column where the first monitor has room for it...
  const int besideX = stripX + column + kWindowGap;
  const int besideWidth = right - besideX - sides - kWindowGap / 2;
  if (besideWidth >= kMinDebugWidth) {
    layout.debug = {besideX, outerGame.y, std::min(besideWidth, kMaxDebugWidth), heightDown(outerGame.y)};
    return finish();
  }
  // ...else under the game window where that shows its newest lines, left
  // of the strip where that stands over it (a game window resized wide)...
  const int belowY = outerGame.y + outerGame.height + kWindowGap;
  if (bottom - belowY - ends >= kDebugViewNewestRowsHeight) {
    const int width = std::min({layout.game.width, kMaxDebugWidth, stripX - kWindowGap - sides - outerGame.x});
    layout.debug = {outerGame.x, belowY, width, heightDown(belowY)};
    return finish();
  }
  // ...else at the strip's bottom, just tall enough for its newest rows and
  // command box: under the column where that leaves the column room for a
  // mode's panels cut as short as they go...
  const int y = std::max(stripBottom - height - ends, 0);
  const int stripWidth = std::min(right - stripX - sides, kMaxDebugWidth);
  if (columnRoom(stripTop, stripBottom) >= least) {
    layout.debug = {stripX, y, stripWidth, height};
    layout.modePanels.bottom = y - kWindowGap;
  } else if (stripX - kWindowGap - sides >= kMinNarrowDebugWidth) {
    // ...else left of the strip, over the game (a screen as short as 640x480)...
    layout.debug = {0, y, std::min(stripX - kWindowGap - sides, kMaxDebugWidth), height};
  } else {
    // ...else (a tiny screen) under the column, which stands beside the
    // control panel where it has room, as tall as the room left, down to its
    // command box alone; the control panel keeps its own width.
    const int besideX = stripX + panelWidth + kWindowGap;
    if (right - besideX >= kMinBesideColumnWidth) {
      layout.modePanels.x = besideX;
      layout.modePanels.y = layout.panel.y;
      layout.modePanels.width = std::min(column, right - besideX);
      layout.panelRoom = panel.width;
    }
    const int top = std::max(layout.modePanels.y + least + kWindowGap, bottom - height - ends);
    const int room = std::clamp(bottom - top - ends, kDebugViewCommandBoxHeight, height);
    layout.debug = {layout.modePanels.x, std::max(bottom - room - ends, 0),
                    std::min(right - layout.modePanels.x - sides, kMaxDebugWidth), room};
    layout.modePanels.bottom = layout.debug.y - kWindowGap;
  }
  return finish();
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

namespace {
// What start-up measured and placed, for placing the helpers again.
struct cHelperPlacement {
  bool known = false;
  bool twoMonitors = false;
  sWindowFrame frame;  // the helpers' frames, measured at start-up
  sWindowBox panel;    // the control panel's size for its controls
  sWindowBox game;     // the game window's box the helpers were last placed for
  sStartupWindowLayout layout;
  bool gameChanged = false, helperMoved = false;
  bool keptAbove = false;  // the helpers are tool windows of the game window
  uint32_t changedAt = 0;  // the last change heard of, on the game's clock
  uint32_t placements = 0;
};

cHelperPlacement& Placement() {
  static cHelperPlacement placement;
  return placement;
}

sWindowBox GlutWindowBox(int window) {
  const int previous = glutGetWindow();
  glutSetWindow(window);
  const sWindowBox box = {glutGet(GLUT_WINDOW_X), glutGet(GLUT_WINDOW_Y), glutGet(GLUT_WINDOW_WIDTH),
                          glutGet(GLUT_WINDOW_HEIGHT)};
  if (previous > 0) glutSetWindow(previous);
  return box;
}

sWindowBox Framed(const sWindowBox& box, const sWindowFrame& frame) {
  return {box.x - frame.left, box.y - frame.top, box.width + frame.left + frame.right,
          box.height + frame.top + frame.bottom};
}

// The game window's own frame now: a maximized window may lose its edges, a
// full-screen one all of it.
sWindowFrame GameWindowFrame() {
  sWindowFrame frame;
  if (Sys_DesktopCanShowDialogs()) Sys_MainWindowFrame(frame.left, frame.right, frame.top, frame.bottom);
  return frame;
}

// Does any shown helper, wherever it stands, stand over the game window's frame?
bool AnyHelperOver(const sWindowBox& outerGame, const sWindowFrame& frame) {
  for (GLUI* helper : GLUI_Master.shown_panels())
    if (Overlap(Framed(GlutWindowBox(helper->get_glut_window_id()), frame), outerGame)) return true;
  return false;
}

// The helpers where the layout puts them, kept above the game window when they
// stand over it; the game's menus and labels keep clear of the strip's part
// over it (in the game window's own pixels).
void PlaceHelpers(const sStartupWindowLayout& layout, const sWindowFrame& frame) {
  MoveDebugWindowView(layout.debug.x, layout.debug.y, layout.debug.width, layout.debug.height);
  glutSetWindow(gControlPanel->get_glut_window_id());
  glutPositionWindow(layout.panel.x, layout.panel.y);
  if (frame.top > 0) gControlPanel->show_title_within(layout.panelRoom);  // a manager's title bar over it
  GLUI_Master.set_default_position(layout.modePanels);
  GLUI_Master.keep_panels_above(gMainWindow);  // tool windows of the game for good: above it, minimized with it
  const sWindowBox& strip = layout.strip;
  SetCoveredArea2D(strip.width > 0 ? sRect2D{strip.x - layout.game.x, strip.y - layout.game.y,
                                             strip.x + strip.width - layout.game.x,
                                             strip.y + strip.height - layout.game.y}
                                   : sRect2D{});
  ++Placement().placements;
}

void NoteHelperMoved() {
  Placement().helperMoved = true;
  Placement().changedAt = Sys_Milliseconds();
}
}  // namespace

// gPanelX, gPanelY end as the control panel's place, and below it, for the modes that read them.
// The frame is measured before the game window is made full-screen, which takes
// its frame away: the helpers keep theirs.
void PlaceStartupWindows(bool twoMonitors, bool fullScreen) {
  GLUI_PumpFrame();  // the control panel takes its controls' size when first drawn
  const sWindowFrame frame = MeasureWindowFrame();
  glutSetWindow(gMainWindow);
  const sWindowBox game = GlutWindowBox(gMainWindow);
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
  PlaceHelpers(layout, frame);
  gPanelX = layout.panel.x;
  gPanelY = layout.panel.y + 100 + panel.height;
  cHelperPlacement& placement = Placement();
  placement.known = true;
  placement.twoMonitors = twoMonitors;
  placement.frame = frame;
  placement.panel = panel;
  placement.game = game;
  placement.layout = layout;
  placement.keptAbove = layout.keepAboveGame;
  GLUI_Master.set_panels_moved_func(NoteHelperMoved);
  // Its tool windows stay above it; leaving full screen gives back the box a start gives.
  const sWindowBox left = LayOutStartupWindows(game, panel, screen, twoMonitors, frame, false).game;
  if (fullScreen) Sys_MakeWindowFullScreen(gMainWindow, left.width, left.height);
  glutSetWindow(gMainWindow);
}

void NoteGameWindowBoxChanged() {
  Placement().gameChanged = true;
  Placement().changedAt = Sys_Milliseconds();
}

uint32_t GetHelperPlacements() { return Placement().placements; }

bool HelperPlacementSettled() {
  const cHelperPlacement& placement = Placement();
  const sWindowBox game = GlutWindowBox(gMainWindow);
  return placement.known && !placement.gameChanged && !placement.helperMoved && game.x == placement.game.x &&
         game.y == placement.game.y && game.width == placement.game.width && game.height == placement.game.height;
}

// A drag sends a change with each step: only once none came for a while is
// the game window's box looked at. A helper moved (by hand, or by a
// placement) only has the keeping above looked at again.
void FollowGameWindowBox() {
  cHelperPlacement& placement = Placement();
  if (!placement.known || !(placement.gameChanged || placement.helperMoved) ||
      Sys_Milliseconds() - placement.changedAt < kHelpersSettleMs)
    return;
  const int previous = glutGetWindow();
  const sWindowBox game = GlutWindowBox(gMainWindow);
  const sWindowFrame gameFrame = GameWindowFrame();
  const bool gameChanged = placement.gameChanged && (game.x != placement.game.x || game.y != placement.game.y ||
                                                     game.width != placement.game.width ||
                                                     game.height != placement.game.height);
  placement.gameChanged = placement.helperMoved = false;
  if (gameChanged) {
    sStartupScreen screen;
    screen.width = glutGet(GLUT_SCREEN_WIDTH);
    screen.height = glutGet(GLUT_SCREEN_HEIGHT);
    screen.primaryWidth = Sys_PrimaryMonitorWidth();
    const int right = screen.primaryWidth > 0 ? screen.primaryWidth : screen.width;
    const bool fullScreen =
        game.x <= 0 && game.y <= 0 && game.x + game.width >= right && game.y + game.height >= screen.height;
    placement.game = game;
    placement.layout = LayOutStartupWindows(game, placement.panel, screen, placement.twoMonitors, placement.frame,
                                            fullScreen, &gameFrame);
    PlaceHelpers(placement.layout, placement.frame);
  }
  const bool over = placement.layout.keepAboveGame || AnyHelperOver(Framed(game, gameFrame), placement.frame);
  // Made tool windows of a game window standing over them (it was just
  // maximized and raised), they come up over it at once, not at its next click.
  if (over && (gameChanged || !placement.keptAbove))
    for (GLUI* helper : GLUI_Master.shown_panels()) Sys_RaiseWindow(helper->get_glut_window_id());
  placement.keptAbove = over;
  if (previous > 0) glutSetWindow(previous);
}
