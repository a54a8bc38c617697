#include "app/WindowLayout.h"

#include <GL/freeglut.h>

#include <map>

#include "app/AppGlobals.h"
#include "app/FrameLoop.h"
#include "glf/BarPanel.h"
#include "glf/DebugWindow.h"
#include "glf/TextPlacement.h"
#include "platform/Sys.h"
#include "platform/glui/DebugView.h"
#include "platform/glui/glui.h"

namespace {
// A move the game asked for that the window manager has not carried out by
// then is taken as done where the window stands.
constexpr uint32_t kMoveCarriedOutMs = 2000;

// One helper window as the game last left it, to tell a move of the player's
// from its own.
struct sHelperSeen {
  bool known = false;       // looked at since it was last shown
  sWindowBox asked;         // where the game last put it: its frame's top-left, its own size (0: its own)
  sWindowBox settled;       // its box as GLUT sees it once that move was carried out
  bool settling = false;    // a move asked for is not seen carried out yet
  uint32_t askedAt = 0;
  bool placedByPlayer = false;
  sWindowBox playerBox;     // where the player put it: its frame's top-left, its own size
  bool keptAbove = false;
};

// What start-up measured and placed, for placing the helpers again.
struct cHelperPlacement {
  bool known = false;
  bool twoMonitors = false;
  sWindowFrame frame;    // the helpers' frames, measured at start-up
  sWindowBox panelSize;  // the control panel's size for its controls
  sWindowBox game;       // the game window's box the helpers were last placed for
  sHelperPlacement layout;
  std::map<int, sHelperSeen> seen;  // by GLUT window
  bool gameChanged = false, helperMoved = false;
  uint32_t changedAt = 0;  // the last change heard of, or move asked for, on the game's clock
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

sScreenArea MeasureScreen() {
  return {glutGet(GLUT_SCREEN_WIDTH), glutGet(GLUT_SCREEN_HEIGHT), Sys_PrimaryMonitorWidth()};
}

// A window manager frames the game window soon after it is shown; start-up
// waits a moment for that (never without a manager) so the frames are known.
sWindowFrame MeasureWindowFrame() {
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

// The game window's own frame now: a maximized window may lose its edges, a
// full-screen one all of it.
sWindowFrame GameWindowFrame() {
  sWindowFrame frame;
  if (Sys_DesktopCanShowDialogs()) Sys_MainWindowFrame(frame.left, frame.right, frame.top, frame.bottom);
  return frame;
}

int DebugWindowId() { return GLUI_GetDebugView() ? GLUI_GetDebugView()->get_glut_window_id() : 0; }

bool IsModePanel(const GLUI* helper) {
  return helper != gControlPanel && helper->get_glut_window_id() != DebugWindowId();
}

// Which shown helpers the player moved (or, the debug window, resized) since
// the game last placed them: each one's box is held against the one it took
// once the game's own last move of it was carried out.
void LookAtHelpers(cHelperPlacement& placement) {
  const uint32_t now = Sys_Milliseconds();
  const sWindowFrame& frame = placement.frame;
  std::map<int, bool> shown;
  for (GLUI* helper : GLUI_Master.shown_panels()) {
    const int window = helper->get_glut_window_id();
    shown[window] = true;
    sHelperSeen& seen = placement.seen[window];
    int x = 0, y = 0;
    if (IsModePanel(helper) && helper->column_place(&x, &y) && (x != seen.asked.x || y != seen.asked.y)) {
      seen.asked = {x, y, 0, 0};  // the column moved it
      seen.settling = true, seen.askedAt = now;
    }
    const sWindowBox box = GlutWindowBox(window);
    const bool sized = window == DebugWindowId();  // the panels take their contents' size
    auto same = [sized](const sWindowBox& a, const sWindowBox& b) {
      return a.x == b.x && a.y == b.y && (!sized || (a.width == b.width && a.height == b.height));
    };
    if (!seen.known) {
      seen.known = true, seen.settled = box;
    } else if (seen.settling) {
      const sWindowBox asked = {seen.asked.x + frame.left, seen.asked.y + frame.top,
                                seen.asked.width > 0 ? seen.asked.width : box.width,
                                seen.asked.height > 0 ? seen.asked.height : box.height};
      if (same(box, asked) || !same(box, seen.settled) || now - seen.askedAt >= kMoveCarriedOutMs) {
        seen.settled = box;
        seen.settling = false;
      }
    } else if (!same(box, seen.settled)) {
      seen.settled = box;
      seen.placedByPlayer = true;
      seen.playerBox = {box.x - frame.left, box.y - frame.top, box.width, box.height};
      if (IsModePanel(helper)) helper->leave_column();
    }
  }
  // A helper shown again is looked at afresh: a window manager may place it anew.
  for (auto& [window, seen] : placement.seen)
    if (!shown.count(window)) seen.known = false;
}

bool AnyHelperSettling() {
  for (const auto& [window, seen] : Placement().seen)
    if (seen.known && seen.settling) return true;
  return false;
}

sHelperPlacementInput GatherInput(const cHelperPlacement& placement, const sWindowBox& game,
                                  const sWindowFrame& gameFrame, std::vector<GLUI*>* playerPlacedModePanels) {
  sHelperPlacementInput input;
  input.screen = MeasureScreen();
  input.game = game;
  input.gameFrame = gameFrame;
  input.helperFrame = placement.frame;
  input.controlPanel.box = placement.panelSize;
  input.goalBarHeightRatio = cGLFBarPanel().GetBarHeightRatio();
  input.twoMonitors = placement.twoMonitors;
  for (GLUI* helper : GLUI_Master.shown_panels()) {
    const auto seen = placement.seen.find(helper->get_glut_window_id());
    if (seen == placement.seen.end() || !seen->second.placedByPlayer) continue;
    const sHelperInput placed = {seen->second.playerBox, true};
    if (helper == gControlPanel) input.controlPanel = placed;
    else if (!IsModePanel(helper)) input.debugWindow = placed;
    else {
      input.modePanels.push_back(placed);
      playerPlacedModePanels->push_back(helper);
    }
  }
  return input;
}

// Each helper where the layout puts it (moved only where that changed). All
// are tool windows of the game window for good (above it, minimized with it);
// those standing over it are raised at once where the game window just came
// up over them. The game's menus and labels keep clear of the strip's part over it.
void ApplyLayout(cHelperPlacement& placement, const sHelperPlacement& layout,
                 const std::vector<GLUI*>& playerPlacedModePanels, bool raise) {
  const uint32_t now = Sys_Milliseconds();
  const bool first = placement.placements == 0;
  auto place = [&](int window, const sPlacedHelper& helper, bool sized) {
    sHelperSeen& seen = placement.seen[window];
    const sWindowBox& was = seen.placedByPlayer ? seen.playerBox : seen.asked;
    const bool moved = helper.box.x != was.x || helper.box.y != was.y ||
                       (sized && (helper.box.width != was.width || helper.box.height != was.height));
    if (moved || first) {
      seen.known = true, seen.settled = GlutWindowBox(window);
      if (sized) {
        MoveDebugWindowView(helper.box.x, helper.box.y, helper.box.width, helper.box.height);
      } else {
        glutSetWindow(window);
        glutPositionWindow(helper.box.x, helper.box.y);
      }
      seen.asked = sized ? helper.box : sWindowBox{helper.box.x, helper.box.y, 0, 0};
      if (seen.placedByPlayer) seen.playerBox = helper.box;
      seen.settling = true, seen.askedAt = now;
      placement.changedAt = now;
    }
    // Made tool windows of a game window standing over them (it was just
    // maximized and raised), they come up over it at once, not at its next click.
    if (helper.keptAbove && (raise || !seen.keptAbove)) Sys_RaiseWindow(window);
    seen.keptAbove = helper.keptAbove;
  };
  // Its width within its new room before it moves there: a manager may fit a move on the screen at the old width.
  if (placement.frame.top > 0) gControlPanel->show_title_within(layout.controlPanelTitleRoom);  // a manager's title bar
  place(gControlPanel->get_glut_window_id(), layout.controlPanel, false);
  if (DebugWindowId() > 0) place(DebugWindowId(), layout.debugWindow, true);
  for (size_t i = 0; i < playerPlacedModePanels.size(); ++i)
    place(playerPlacedModePanels[i]->get_glut_window_id(), layout.modePanels[i], false);
  if (first || !(layout.modeColumn == placement.layout.modeColumn)) GLUI_Master.set_default_position(layout.modeColumn);
  GLUI_Master.keep_panels_above(gMainWindow);  // tool windows of the game for good: above it, minimized with it
  if (layout.modeColumnKeptAbove && (raise || !placement.layout.modeColumnKeptAbove))
    for (GLUI* helper : GLUI_Master.shown_panels())
      if (IsModePanel(helper) && !placement.seen[helper->get_glut_window_id()].placedByPlayer)
        Sys_RaiseWindow(helper->get_glut_window_id());
  SetCoveredArea2D(layout.coveredArea);
  placement.layout = layout;
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
  cHelperPlacement& placement = Placement();
  placement.frame = MeasureWindowFrame();
  placement.twoMonitors = twoMonitors;
  gControlPanel->get_size(&placement.panelSize.width, &placement.panelSize.height);
  glutSetWindow(gMainWindow);
  const sScreenArea screen = MeasureScreen();
  if (twoMonitors && screen.width <= screen.primaryWidth)
    DebugPrintf("-twomonitors: the screen has one monitor; the windows stay on it");
  // The game window keeps its place; where its frame runs off the first monitor it is cut.
  const sWindowBox game = GlutWindowBox(gMainWindow);
  const sWindowBox fitted = FitGameWindow(game, placement.frame, screen);
  if (!fullScreen && !(fitted == game)) glutReshapeWindow(fitted.width, fitted.height);
  std::vector<GLUI*> none;
  sHelperPlacementInput input = GatherInput(placement, fitted, placement.frame, &none);
  input.fullScreen = fullScreen;
  const sHelperPlacement layout = LayOutHelpers(input);
  ApplyLayout(placement, layout, none, false);
  ++placement.placements;
  gPanelX = layout.controlPanel.box.x;
  gPanelY = layout.controlPanel.box.y + 100 + placement.panelSize.height;
  placement.known = true;
  placement.game = fitted;
  GLUI_Master.set_panels_moved_func(NoteHelperMoved);
  // Its tool windows stay above it; leaving full screen gives back the box a start gives.
  if (fullScreen) Sys_MakeWindowFullScreen(gMainWindow, fitted.width, fitted.height);
  glutSetWindow(gMainWindow);
}

void NoteGameWindowBoxChanged() {
  Placement().gameChanged = true;
  Placement().changedAt = Sys_Milliseconds();
}

uint32_t GetHelperPlacements() { return Placement().placements; }

bool HelperPlacementSettled() {
  const cHelperPlacement& placement = Placement();
  return placement.known && !placement.gameChanged && !placement.helperMoved && !AnyHelperSettling() &&
         GlutWindowBox(gMainWindow) == placement.game;
}

// A drag sends a change with each step: only once none came for a while is
// the game window's box looked at, and the helpers. A helper moved (by hand,
// or by a placement) has only where it stands looked at again.
void FollowGameWindowBox() {
  cHelperPlacement& placement = Placement();
  if (!placement.known || !(placement.gameChanged || placement.helperMoved || AnyHelperSettling()) ||
      Sys_Milliseconds() - placement.changedAt < kHelpersSettleMs)
    return;
  const int previous = glutGetWindow();
  const sWindowBox game = GlutWindowBox(gMainWindow);
  const bool gameChanged = placement.gameChanged && !(game == placement.game);
  placement.gameChanged = placement.helperMoved = false;
  LookAtHelpers(placement);
  placement.game = game;
  std::vector<GLUI*> playerPlacedModePanels;
  const sHelperPlacementInput input = GatherInput(placement, game, GameWindowFrame(), &playerPlacedModePanels);
  ApplyLayout(placement, LayOutHelpers(input), playerPlacedModePanels, gameChanged);
  if (gameChanged) ++placement.placements;
  if (previous > 0) glutSetWindow(previous);
}
