// Where the control panel, the modes' panels and the debug window go at
// start-up, so that none covers another or the game window: the control panel
// right of the game window with a column under it kept for the modes' panels
// (each mode's stacked at its top while the mode is current), and the debug
// window beside that column, or under the game window where the first monitor
// has no room beside it. With "-twomonitors" the debug window and the column
// go to the second monitor, the debug window first.
#pragma once

struct sWindowBox {
  int x = 0, y = 0, width = 0, height = 0;  // a width or height of 0 keeps the window's own
};

struct sStartupWindowLayout {
  sWindowBox panel, debug;
  sWindowBox modePanels;  // the column kept free for the modes' panels, down to the screen's bottom
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

// The game box is the game window's own (where GLUT says it stands); the
// results' positions are where each frame's top-left goes, their sizes the
// windows' own.
sStartupWindowLayout LayOutStartupWindows(const sWindowBox& game, const sWindowBox& panel,
                                          const sStartupScreen& screen, bool twoMonitors,
                                          const sWindowFrame& frame = {});

// Moves the control panel and the debug window so, once the panel is built,
// and has the modes' panels open at the top of their column.
void PlaceStartupWindows(bool twoMonitors);
