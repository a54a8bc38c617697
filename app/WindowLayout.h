// Where the control panel, the modes' panels and the debug window go at
// start-up, from the screen's top left: the game window, then a strip with
// the control panel at its top and a column under it kept for the modes'
// panels (each mode's stacked there while the mode is current), then the debug
// window beside that column. Where the first monitor has no room beside the
// column, the debug window goes under the game window; where it has none there
// either, to the strip's bottom, under the column, just tall enough for its
// newest rows and command box. No window covers another, so a click, which a
// window manager answers by raising the window clicked, hides none. Where the
// game window fills the screen the strip stands over its right part (between
// the goal bar the HUDs draw along its top and the debug lines at its bottom
// where that leaves the column room), and the helpers are kept above it. On
// screens too short for that (640x480) the debug window moves left of the
// strip, over the game, and on tiny ones (320x240) the column beside the
// control panel; every window still stays on the screen. A full-screen game
// window ("-fullscreen") fills the screen, or its first monitor, and the
// helpers stand as on a screen it fills. With "-twomonitors" the debug window
// and the strip go to the second monitor, the debug window first.
#pragma once

#include <cstdint>

#include "platform/glui/DebugView.h"
#include "platform/glui/glui.h"

struct sWindowBox {
  int x = 0, y = 0, width = 0, height = 0;  // a width or height of 0 keeps the window's own
};

struct sStartupWindowLayout {
  sWindowBox game;  // where the game window stands, its size cut so that its frame fits the screen (full screen: the first monitor, unframed)
  sWindowBox panel, debug;
  GLUI_PanelColumn modePanels;  // where the modes' panels stack
  int panelRoom = 0;            // the widest the control panel may grow (its window's own width) to show its title
  bool keepAboveGame = false;   // the helpers stand over the game window and are kept above it
  sWindowBox strip;             // the part of the game window's frame the strip stands over (none: beside it)
};

// What a window manager's frame adds on each side of a window (none without
// one). Asked to move a window, the manager moves its frame's top-left there.
struct sWindowFrame {
  int left = 0, right = 0, top = 0, bottom = 0;
};

struct sStartupScreen {
  int width = 0, height = 0;  // the whole X screen (every monitor)
  int primaryWidth = 0;       // where a second monitor begins
};

constexpr int kWindowGap = 12;  // between two windows' frames
// As wide as the widest panel a mode opens (the civ mode's, about 300 pixels).
constexpr int kModePanelColumnWidth = 320;
constexpr int kMostModePanels = 2;  // the civ mode's two

// The game box is the game window's own (where GLUT says it stands); the
// other results' positions are where each frame's top-left goes, their sizes
// the windows' own. The game window's frame is the helpers' unless given (a
// maximized window loses its edges).
sStartupWindowLayout LayOutStartupWindows(const sWindowBox& game, const sWindowBox& panel,
                                          const sStartupScreen& screen, bool twoMonitors,
                                          const sWindowFrame& frame = {}, bool fullScreen = false,
                                          const sWindowFrame* gameFrame = nullptr);

// Moves the control panel and the debug window so, once the panel is built,
// and has the modes' panels open in their column; then makes the game window
// full-screen when asked.
void PlaceStartupWindows(bool twoMonitors, bool fullScreen = false);

// Whenever the game window's box changes (maximized, restored, resized,
// moved, put in or out of full screen), once it has kept still for
// kHelpersSettleMs the helpers are placed again as start-up places them for a
// game window of that box (one covering the first monitor counts as full
// screen), each one moved by hand going back to its place too. Moved by hand
// meanwhile, a helper keeps its place; wherever the helpers stand, while any
// stands over the game window they are all kept above it.
constexpr uint32_t kHelpersSettleMs = 250;
void NoteGameWindowBoxChanged();  // the game window's reshape and position callbacks
void FollowGameWindowBox();       // each frame, paused or not: places the helpers once a change settled
uint32_t GetHelperPlacements();   // how often the helpers were placed, start-up's included
bool HelperPlacementSettled();    // no change heard of waits, and the helpers were placed for the game window's box
