// Where the helper windows (the control panel, the modes' panels and the debug
// window) stand round the game window, as one function of what it is told: no
// window system, no globals. app/WindowLayout.cpp gathers the input from the
// window system and applies the result.
//
// The control panel, with a column under it for the modes' panels, makes the
// strip; the debug window stands beside it. The strip goes to the first of:
//   1. the screen's free space right of the game window;
//   2. the free space left of it;
//   3. the free space under or above it (the taller first); where that is too
//      short, the control panel, the column and the debug window side by side;
//   4. over the game window at the screen's right edge, between the goal bar
//      the HUDs draw along its top and the debug lines at its bottom;
//   5. on screens too small for that, over the game window down to the
//      screen's bottom: over the debug lines, then also the goal bar, and on
//      the smallest the title bar too.
// The debug window goes beside the strip, else under the game window, else at
// the strip's bottom, else over the game window beside the strip's bottom.
// A helper the player placed stays where they put it, moved back just onto
// the screen where it runs off it. Every helper is a tool window of the game
// window, which a window manager keeps above it; those standing over it are
// also raised at once where the game window may have come up over them.
#pragma once

#include <vector>

#include "glf/TextPlacement.h"
#include "platform/glui/glui.h"

struct sWindowBox {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const sWindowBox&) const = default;
};

// What a window manager's frame adds on each side of a window (none without
// one). Asked to move a window, the manager moves its frame's top-left there.
struct sWindowFrame {
  int left = 0, right = 0, top = 0, bottom = 0;
};

struct sScreenArea {
  int width = 0, height = 0;  // the whole X screen (every monitor)
  int primaryWidth = 0;       // where a second monitor begins (0: unknown, one monitor)
};

constexpr int kWindowGap = 12;  // between two windows' frames
// As wide as the widest panel a mode opens (the civ mode's, about 300 pixels).
constexpr int kModePanelColumnWidth = 320;
constexpr int kMostModePanels = 2;  // the civ mode's two

struct sHelperInput {
  sWindowBox box;               // its own size; placed by the player, also where: its frame's top-left
  bool placedByPlayer = false;  // moved or resized by hand since the game placed it
};

struct sHelperPlacementInput {
  sScreenArea screen;
  sWindowBox game;           // the game window's own box (where GLUT says it stands)
  sWindowFrame gameFrame;    // its frame now: a maximized window loses its side edges, a full-screen one all of it
  sWindowFrame helperFrame;  // each helper's frame
  sHelperInput controlPanel;             // its size as its controls make it
  sHelperInput debugWindow;              // its size counts only where the player placed it
  std::vector<sHelperInput> modePanels;  // those the player placed; the others stack in the column
  int modeColumnWidth = kModePanelColumnWidth;
  float goalBarHeightRatio = 8.0f / 480.0f;  // the HUDs' bar height to their window's (the tuning's)
  bool fullScreen = false;   // made full screen; a game window covering the first monitor counts as that too
  bool twoMonitors = false;  // "-twomonitors"
};

struct sPlacedHelper {
  sWindowBox box;          // its frame's top-left, its own size
  bool keptAbove = false;  // it stands over the game window: raised above it after a change
};

struct sHelperPlacement {
  sPlacedHelper controlPanel, debugWindow;
  GLUI_PanelColumn modeColumn;            // where the modes' panels stack
  bool modeColumnKeptAbove = false;       // the column stands over the game window
  std::vector<sPlacedHelper> modePanels;  // the ones the player placed, in the input's order
  int controlPanelTitleRoom = 0;          // the widest the control panel may grow to show its title
  sRect2D coveredArea;  // the strip's part over the game window, in its own pixels; what menus and labels keep clear of
};

sHelperPlacement LayOutHelpers(const sHelperPlacementInput& input);

// The game window's box at start-up: where it stands, cut so that its frame
// fits the first monitor (at least 1x1).
sWindowBox FitGameWindow(const sWindowBox& game, const sWindowFrame& frame, const sScreenArea& screen);

int FirstMonitorRight(const sScreenArea& screen);  // where a second monitor begins, else the screen's width
bool BoxesOverlap(const sWindowBox& a, const sWindowBox& b);
sWindowBox Framed(const sWindowBox& box, const sWindowFrame& frame);  // the frame round a window's own box
