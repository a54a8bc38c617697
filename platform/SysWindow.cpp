#include "platform/Sys.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>

// Windows of other programs may vanish while we look at them: errors during
// our queries are expected and must not end the program (Xlib's default).
namespace {
int IgnoreXError(Display*, XErrorEvent*) { return 0; }
struct cQuietXErrors {
  explicit cQuietXErrors(Display* d) : display(d), previous(XSetErrorHandler(IgnoreXError)) {}
  ~cQuietXErrors() {
    XSync(display, False);
    XSetErrorHandler(previous);
  }
  Display* display;
  int (*previous)(Display*, XErrorEvent*);
};
}  // namespace

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
  cQuietXErrors quiet(display);
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

// Lists the named windows directly under the root (and one level below, where
// a window manager reparents them into frames).
std::vector<std::string> Sys_TopLevelWindowTitles() {
  std::vector<std::string> titles;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return titles;
  {
  cQuietXErrors quiet(display);
  Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
  unsigned count = 0;
  if (XQueryTree(display, root, &root, &parent, &children, &count)) {
    for (unsigned i = 0; i < count; ++i) {
      char* name = nullptr;
      if (XFetchName(display, children[i], &name) && name) {
        titles.push_back(name);
        XFree(name);
        continue;
      }
      Window r2 = 0, p2 = 0, *inner = nullptr;
      unsigned innerCount = 0;
      if (XQueryTree(display, children[i], &r2, &p2, &inner, &innerCount)) {
        for (unsigned j = 0; j < innerCount; ++j)
          if (XFetchName(display, inner[j], &name) && name) {
            titles.push_back(name);
            XFree(name);
          }
        if (inner) XFree(inner);
      }
    }
    if (children) XFree(children);
  }
  }
  XCloseDisplay(display);
  return titles;
}
