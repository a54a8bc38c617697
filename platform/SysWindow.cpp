#include "platform/Sys.h"

#include <GL/freeglut.h>
#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xproto.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/X11Query.h"

namespace {
constexpr const char* kMainWindowTitle = "QuorvelGL";

std::string WindowName(Display* display, Window window) {
  char* name = nullptr;
  if (!XFetchName(display, window, &name) || !name) return "";
  std::string text = name;
  XFree(name);
  return text;
}

// The children of a window and its parent; false when it is gone.
bool WindowTree(Display* display, Window window, std::vector<Window>& children, Window& parent) {
  Window root = 0, *list = nullptr;
  unsigned count = 0;
  children.clear();
  if (!XQueryTree(display, window, &root, &parent, &list, &count)) return false;
  children.assign(list, list + count);
  if (list) XFree(list);
  if (parent == root) parent = 0;
  return true;
}

// Calls visit(frame, window, title) for each named top-level window: those
// directly under the root (frame 0), and one level below where a window
// manager has reparented them into frames. Stops when visit returns true.
template <typename Visit>
void ForEachTopLevelWindow(Display* display, Visit visit) {
  std::vector<Window> top, inner;
  Window parent = 0;
  if (!WindowTree(display, DefaultRootWindow(display), top, parent)) return;
  for (Window window : top) {
    const std::string name = WindowName(display, window);
    if (!name.empty()) {
      if (visit(Window(0), window, name)) return;
      continue;
    }
    if (!WindowTree(display, window, inner, parent)) continue;
    for (Window child : inner) {
      const std::string childName = WindowName(display, child);
      if (!childName.empty() && visit(window, child, childName)) return;
    }
  }
}
}  // namespace

Display* X11QueryDisplay() {
  // A forked child (a test case run in a process of its own) opens its own
  // connection: requests from two processes on one connection put the
  // server's sequence out of step and it drops the connection for both.
  static Display* display = nullptr;
  static pid_t opener = 0;
  if (opener != getpid()) {
    opener = getpid();
    display = XOpenDisplay(nullptr);  // the parent's stays open for the parent
  }
  return display;
}

// The automatic pause asks whether the window holding the input focus is the
// one titled "QuorvelGL". The focus window may be a child of the titled one,
// so the walk goes up to the first ancestor with a name.
static bool QueryX11FocusIsMainWindow() {
  Display* display = X11QueryDisplay();
  if (!display) return false;
  cQuietXErrors quiet(display);
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(display, &focus, &revert);
  if (focus == None || focus == PointerRoot) return false;
  std::vector<Window> children;
  for (int depth = 0; depth < 16 && focus; ++depth) {
    std::string name = WindowName(display, focus);
    if (!name.empty()) return name == kMainWindowTitle;
    if (!WindowTree(display, focus, children, focus)) return false;
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
  Display* display = X11QueryDisplay();
  if (!display) return titles;
  cQuietXErrors quiet(display);
  ForEachTopLevelWindow(display, [&](Window, Window, const std::string& name) {
    titles.push_back(name);
    return false;
  });
  return titles;
}

// The width of the primary monitor: with several monitors side by side, the
// X screen spans them all, and the second one starts where the primary ends.
// Without RandR monitors (or with no primary) the first monitor stands in,
// then the whole screen.
int Sys_PrimaryMonitorWidth() {
  Display* display = X11QueryDisplay();
  if (!display) return 0;
  cQuietXErrors quiet(display);
  int screenWidth = DisplayWidth(display, DefaultScreen(display));
  int eventBase = 0, errorBase = 0, major = 0, minor = 0;
  if (!XRRQueryExtension(display, &eventBase, &errorBase) || !XRRQueryVersion(display, &major, &minor) ||
      (major == 1 && minor < 5))
    return screenWidth;
  int count = 0;
  XRRMonitorInfo* monitors = XRRGetMonitors(display, DefaultRootWindow(display), True, &count);
  if (!monitors) return screenWidth;
  int width = count > 0 ? monitors[0].width : screenWidth;
  for (int i = 0; i < count; ++i)
    if (monitors[i].primary) width = monitors[i].width;
  XRRFreeMonitors(monitors);
  return width > 0 ? width : screenWidth;
}

// A window manager puts each top-level window in a frame of its own and moves
// the frame, not the window, to where the program asks; the layout leaves room
// for it. "_NET_FRAME_EXTENTS" says how wide its sides are; a manager without
// it still shows them as the distance between the window and its frame.
bool Sys_MainWindowFrame(int& left, int& right, int& top, int& bottom) {
  left = right = top = bottom = 0;
  Display* display = X11QueryDisplay();
  if (!display) return false;
  cQuietXErrors quiet(display);
  Window game = 0, frame = 0;
  ForEachTopLevelWindow(display, [&](Window outer, Window window, const std::string& name) {
    if (name != kMainWindowTitle) return false;
    game = window, frame = outer;
    return true;
  });
  if (!game || !frame) return false;  // not there yet, or unframed
  Atom extents = XInternAtom(display, "_NET_FRAME_EXTENTS", True);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (extents != None &&
      XGetWindowProperty(display, game, extents, 0, 4, False, XA_CARDINAL, &type, &format, &count, &after, &data) ==
          Success &&
      data && format == 32 && count == 4) {
    const long* sides = reinterpret_cast<const long*>(data);  // format 32 comes as longs
    left = (int)sides[0], right = (int)sides[1], top = (int)sides[2], bottom = (int)sides[3];
    XFree(data);
    return true;
  }
  if (data) XFree(data);
  // A manager that sets the extents sets them just after it framed the
  // window (openbox, metacity): till then they are not known. Its frame may
  // be larger than what it draws (metacity's borders for resizing, 26 pixels
  // at the sides), so the distance is measured only under one that sets none.
  if (extents != None && X11ManagerSupports(display, extents)) return false;
  XWindowAttributes outer{}, client{};
  int x = 0, y = 0;
  Window child = 0;
  if (!XGetWindowAttributes(display, frame, &outer) || !XGetWindowAttributes(display, game, &client) ||
      !XTranslateCoordinates(display, game, frame, 0, 0, &x, &y, &child))
    return false;
  left = x, top = y;
  right = outer.width - client.width - x;
  bottom = outer.height - client.height - y;
  return true;
}

// A window manager that quit without clearing "_NET_SUPPORTING_WM_CHECK"
// leaves the root window naming a window that is gone. glutInit looks for a
// manager there, and reading the gone window's properties fails with BadWindow,
// which the game's handler makes fatal and, once let through, freeglut
// reports as fatal too. Both are let through for that read alone: it only
// means that no manager runs, and freeglut goes on as without one. Every other
// error ends the game, as after start-up.
namespace {
int gGonePropertyReads = 0;  // let through by X, not yet reported by freeglut
const char* gGlutProgramName = "";
constexpr size_t kShownNameBytes = 255;  // of the program's name in freeglut's reports

int LetGonePropertyReadsThrough(Display* display, XErrorEvent* error) {
  if (error->error_code == BadWindow && error->request_code == X_GetProperty) {
    ++gGonePropertyReads;
    return 0;
  }
  return X11EndTheGameOnAnXError(display, error);
}

// freeglut's words for a property read that failed: an internal error naming
// "XGetWindowProperty failled" (the fixed spelling is taken too).
bool IsPropertyReadReport(const char* format, va_list args) {
  char message[512];
  va_list copy;
  va_copy(copy, args);
  vsnprintf(message, sizeof message, format, copy);
  va_end(copy);
  return strstr(message, "XGetWindowProperty fail") != nullptr;
}

// Only freeglut's report of a read let through is ignored. freeglut cannot go
// on after its other errors: they end the program with freeglut's own words,
// as they did without this hook.
void GlutErrorDuringInit(const char* format, va_list args) {
  if (gGonePropertyReads > 0 && IsPropertyReadReport(format, args)) {
    --gGonePropertyReads;
    return;
  }
  // Whole up to the bound of a printed line, which cuts between characters;
  // the program's name is shortened so a long one leaves room for the reason.
  char report[4096 + 4];
  vsnprintf(report, sizeof report, format, args);
  const size_t name = strlen(gGlutProgramName), shown = Sys_Utf8CutLength(gGlutProgramName, name, kShownNameBytes);
  Sys_Print(SysStream::Err, "freeglut (%.*s%s): %s\n", (int)shown, gGlutProgramName, shown < name ? "..." : "", report);
  exit(1);
}

void ReportGlutErrorDuringInit(const char* format, ...) {
  va_list args;
  va_start(args, format);
  GlutErrorDuringInit(format, args);
  va_end(args);
}
}  // namespace

void Sys_GlutInitErrorsForTest(int goneReads, const char* report, const char* programName) {
  gGlutProgramName = programName;
  gGonePropertyReads = 0;
  XErrorEvent read{};
  read.error_code = BadWindow;
  read.request_code = X_GetProperty;
  for (int i = 0; i < goneReads; ++i) LetGonePropertyReadsThrough(nullptr, &read);
  ReportGlutErrorDuringInit("%s", report);
  gGonePropertyReads = 0;
}

void Sys_InitGlut(int* argc, char** argv) {
  gGlutProgramName = *argc > 0 && argv[0] ? argv[0] : "";
  gGonePropertyReads = 0;
  X11EndTheGameOnXFaults();  // already for glutInit's own requests: a display lost there ends the game as later
  XSetErrorHandler(LetGonePropertyReadsThrough);
  glutInitErrorFunc(GlutErrorDuringInit);
  glutInit(argc, argv);
  glutInitErrorFunc(nullptr);  // freeglut's own report again
  X11EndTheGameOnXFaults();  // in place of Xlib's own handlers, which end the game past its exit sequence
}
