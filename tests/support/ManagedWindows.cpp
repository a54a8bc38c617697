#include "tests/support/ManagedWindows.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>

namespace {
std::vector<Window> Children(Display* display, Window window) {
  Window root = 0, parent = 0, *list = nullptr;
  unsigned count = 0;
  std::vector<Window> children;
  if (XQueryTree(display, window, &root, &parent, &list, &count)) children.assign(list, list + count);
  if (list) XFree(list);
  return children;
}

// A property of 32-bit items (which come as longs), or none.
std::vector<long> Property(Display* display, Window window, const char* name, Atom kind) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<long> items;
  if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 32, False, kind, &type, &format,
                         &count, &after, &data) == Success &&
      data && format == 32)
    items.assign((const long*)data, (const long*)data + count);
  if (data) XFree(data);
  return items;
}

bool Look(Display* display, Window window, int stacked, std::vector<sManagedWindow>& seen) {
  char* name = nullptr;
  if (!XFetchName(display, window, &name) || !name) return false;
  sManagedWindow shown;
  shown.title = name;
  XFree(name);
  shown.window = window;
  shown.stacked = stacked;
  XWindowAttributes attributes{};
  Window child = 0;
  if (XGetWindowAttributes(display, window, &attributes)) {
    shown.shown = attributes.map_state == IsViewable;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &shown.box.x, &shown.box.y, &child);
    shown.box.width = attributes.width, shown.box.height = attributes.height;
  }
  const Atom wmState = XInternAtom(display, "WM_STATE", False);
  const std::vector<long> state = Property(display, window, "WM_STATE", wmState);
  shown.minimized = !state.empty() && state[0] == IconicState;
  const std::vector<long> states = Property(display, window, "_NET_WM_STATE", XA_ATOM);
  auto holds = [&](const char* atom) {
    return std::find(states.begin(), states.end(), (long)XInternAtom(display, atom, False)) != states.end();
  };
  shown.fullScreen = holds("_NET_WM_STATE_FULLSCREEN");
  shown.maximized = holds("_NET_WM_STATE_MAXIMIZED_HORZ") && holds("_NET_WM_STATE_MAXIMIZED_VERT");
  shown.demandsAttention = holds("_NET_WM_STATE_DEMANDS_ATTENTION");
  const std::vector<long> pid = Property(display, window, "_NET_WM_PID", XA_CARDINAL);
  if (!pid.empty()) shown.pid = pid[0];
  std::vector<long> sides = Property(display, window, "_NET_FRAME_EXTENTS", XA_CARDINAL);  // left, right, top, bottom
  sides.resize(4, 0);
  shown.framed = {shown.box.x - (int)sides[0], shown.box.y - (int)sides[2],
                  shown.box.width + (int)(sides[0] + sides[1]), shown.box.height + (int)(sides[2] + sides[3])};
  seen.push_back(shown);
  return true;
}

void Press(Display* display, bool down) {
  XTestFakeButtonEvent(display, 1, down, CurrentTime);
  XSync(display, False);
}
}  // namespace

std::vector<sManagedWindow> ManagedWindows(Display* display) {
  std::vector<sManagedWindow> seen;
  XGrabServer(display);
  int stacked = 0;
  for (Window top : Children(display, DefaultRootWindow(display))) {
    ++stacked;
    if (Look(display, top, stacked, seen)) continue;
    for (Window inner : Children(display, top))
      if (Look(display, inner, stacked, seen)) break;
  }
  XUngrabServer(display);
  XSync(display, False);
  return seen;
}

const sManagedWindow* FindManagedWindow(const std::vector<sManagedWindow>& windows, const std::string& title) {
  for (const sManagedWindow& window : windows)
    if (window.title == title) return &window;
  return nullptr;
}

Window ActiveManagedWindow(Display* display) {
  const std::vector<long> active =
      Property(display, DefaultRootWindow(display), "_NET_ACTIVE_WINDOW", XA_WINDOW);
  return active.empty() ? None : (Window)active[0];
}

void PointerClick(Display* display, int x, int y) {
  XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
  XSync(display, False);
  Press(display, true);
  Press(display, false);
}
