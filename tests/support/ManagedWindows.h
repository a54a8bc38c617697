// What a window manager shows of the named top-level windows, looked at on a
// connection of the test's own, and the pointer moved as a player moves it:
// through the XTest extension the server sends the manager and the game what
// a real mouse would (a click that the manager answers by raising the window).
#pragma once

#include <X11/Xlib.h>

#include <string>
#include <vector>

#include "app/WindowLayout.h"

struct sManagedWindow {
  std::string title;
  Window window = 0;
  sWindowBox box;          // the window itself, on the screen
  sWindowBox framed;       // with the frame the manager says it drew (_NET_FRAME_EXTENTS)
  int stacked = 0;         // its top-level window's place in the stacking order, from the bottom
  bool shown = false;      // viewable
  bool minimized = false;  // in the iconic state (WM_STATE)
  bool maximized = false, fullScreen = false, demandsAttention = false;
  long pid = 0;  // the process that made it (_NET_WM_PID)
};

// In stacking order, the lowest first; the server is grabbed meanwhile.
std::vector<sManagedWindow> ManagedWindows(Display* display);
const sManagedWindow* FindManagedWindow(const std::vector<sManagedWindow>& windows, const std::string& title);
Window ActiveManagedWindow(Display* display);  // _NET_ACTIVE_WINDOW; None without one

// A click of the left button at (x, y) on the root window.
void PointerClick(Display* display, int x, int y);
