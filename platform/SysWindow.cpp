#include "platform/Sys.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>

// The automatic pause asks whether the window holding the input focus is the
// one titled "QuorvelGL". The focus window may be a child of the titled one,
// so the walk goes up to the first ancestor with a name.
static bool QueryX11FocusIsMainWindow() {
  static Display* display = nullptr;
  static bool triedOpen = false;
  if (!triedOpen) {
    triedOpen = true;
    display = XOpenDisplay(nullptr);
  }
  if (!display) return false;
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(display, &focus, &revert);
  if (focus == None || focus == PointerRoot) return false;
  for (int depth = 0; depth < 16 && focus; ++depth) {
    char* name = nullptr;
    if (XFetchName(display, focus, &name) && name) {
      bool match = strcmp(name, "QuorvelGL") == 0;
      XFree(name);
      return match;
    }
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, focus, &root, &parent, &children, &count)) return false;
    if (children) XFree(children);
    if (parent == root) return false;
    focus = parent;
  }
  return false;
}

static bool (*gFocusProbe)() = QueryX11FocusIsMainWindow;

bool Sys_IsMainWindowActive() { return gFocusProbe(); }
void Sys_SetFocusProbeForTest(bool (*probe)()) { gFocusProbe = probe ? probe : QueryX11FocusIsMainWindow; }

uint32_t Sys_ThreadId() { return (uint32_t)syscall(SYS_gettid); }
