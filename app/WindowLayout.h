// Where the control panel and the debug window go at start-up: side by side
// with the game window, so that none covers another (a window manager left to
// itself stacks the debug window over half the panel). With "-twomonitors"
// both go to the second monitor, the debug window first.
#pragma once

struct sWindowBox {
  int x = 0, y = 0, width = 0, height = 0;  // a width or height of 0 keeps the window's own
};

struct sStartupWindowLayout {
  sWindowBox panel, debug;
};

struct sStartupScreen {
  int width = 0, height = 0;  // the whole X screen (every monitor)
  int primaryWidth = 0;       // where a second monitor begins
};

constexpr int kWindowGap = 12;  // room for the frames a window manager adds

sStartupWindowLayout LayOutStartupWindows(const sWindowBox& game, const sWindowBox& panel,
                                          const sStartupScreen& screen, bool twoMonitors);

// Moves the control panel and the debug window so, once the panel is built.
void PlaceStartupWindows(bool twoMonitors);
