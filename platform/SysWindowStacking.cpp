// Stacking, focus and full screen of the game's windows. Tool windows: a
// window names its owner (WM_TRANSIENT_FOR) and says it is a tool window
// (EWMH's utility type); a window manager keeps it above the owner, also when
// the owner is clicked and raised, and minimizes and restores it with the
// owner. Other programs' windows still cover it. Without a manager the name
// changes nothing.
#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "platform/Sys.h"
#include "platform/X11Query.h"

namespace {
// Without a manager the focus stays where it was put until it is put
// elsewhere; should the window go (unmapped), X gives it back to whatever
// window the pointer is over.
void GiveKeyboard(Display* display, Window window) {
  cQuietXErrors quiet(display);
  XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
}
}  // namespace

// A manager reads both names when the window is mapped; freeglut maps a
// window as it makes it, so they come after. xfwm4 then takes the owner in but
// leaves the window where it stands, under an owner raised before, until the
// window's type changes: the type is written after the owner, and an ordinary
// window again is typed so (normal), so that each change is a change of type.
void Sys_KeepWindowAbove(int glutWindow, int ownerGlutWindow) {
  Display* display = X11QueryDisplay();
  const Window window = GlutXWindow(glutWindow), owner = GlutXWindow(ownerGlutWindow);
  if (!display || !window) return;
  cQuietXErrors quiet(display);
  if (owner) XSetTransientForHint(display, window, owner);
  else XDeleteProperty(display, window, XA_WM_TRANSIENT_FOR);
  const Atom type = XInternAtom(display, owner ? "_NET_WM_WINDOW_TYPE_UTILITY" : "_NET_WM_WINDOW_TYPE_NORMAL", False);
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32, PropModeReplace,
                  (const unsigned char*)&type, 1);
}

// The title a window manager shows, in UTF-8 (EWMH): managers read it before
// the older WM_NAME, which freeglut set and which other programs still find
// the window by.
void Sys_SetWindowShownTitle(int glutWindow, const char* title) {
  Display* display = X11QueryDisplay();
  const Window window = GlutXWindow(glutWindow);
  if (!display || !window) return;
  cQuietXErrors quiet(display);
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                  XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace, (const unsigned char*)title,
                  (int)strlen(title));
}

std::string Sys_WindowShownTitle(int glutWindow) {
  Display* display = X11QueryDisplay();
  const Window window = GlutXWindow(glutWindow);
  if (!display || !window) return "";
  cQuietXErrors quiet(display);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string title;
  const Atom name = XInternAtom(display, "_NET_WM_NAME", False), utf8 = XInternAtom(display, "UTF8_STRING", False);
  if (XGetWindowProperty(display, window, name, 0, 1024, False, utf8, &type, &format, &count, &after, &data) ==
          Success &&
      data && format == 8)
    title.assign((const char*)data, count);
  if (data) XFree(data);
  return title;
}

bool Sys_IsWindowKeptAbove(int glutWindow, int ownerGlutWindow) {
  Display* display = X11QueryDisplay();
  const Window window = GlutXWindow(glutWindow), owner = GlutXWindow(ownerGlutWindow);
  if (!display || !window || !owner) return false;
  cQuietXErrors quiet(display);
  Window named = 0;
  return XGetTransientForHint(display, window, &named) && named == owner;
}

// A request to the window manager about one window, the standard way (EWMH):
// a client message to the root window, which the manager listens on.
void X11AskWindowManager(Display* display, Window window, const char* message, std::initializer_list<long> data) {
  cQuietXErrors quiet(display);
  XEvent request{};
  request.xclient.type = ClientMessage;
  request.xclient.window = window;
  request.xclient.message_type = XInternAtom(display, message, False);
  request.xclient.format = 32;
  int at = 0;
  for (long value : data) request.xclient.data.l[at++] = value;
  XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &request);
}

// A window manager keeps a tool window above its owner from the next time the
// owner is raised: one that became a tool window while its owner stood over
// it (just maximized) is raised at once. The manager is asked as a pager asks
// (EWMH), which it carries out whatever window is active; without one the
// window is raised directly. The keyboard stays where it is.
void Sys_RaiseWindow(int glutWindow) {
  Display* display = X11QueryDisplay();
  const Window window = GlutXWindow(glutWindow);
  if (!display || !window) return;
  if (!Sys_DesktopCanShowDialogs()) {
    cQuietXErrors quiet(display);
    XRaiseWindow(display, window);
    return;
  }
  X11AskWindowManager(display, window, "_NET_RESTACK_WINDOW", {2, None, Above});  // from a pager, above every sibling
}

// A window manager that focuses each new window leaves the last one mapped
// active. It is asked the standard way (EWMH), as a request from the
// application; it may raise the window too. Without a manager nothing moves
// the focus: X gives it to the window directly, and nothing is raised (where
// the helpers stand over the game window they stay above it). GLUT's own
// connection mapped the windows: the server has handled that first, so the
// manager hears of every map before this request.
void Sys_ActivateWindow(int glutWindow) {
  Display* display = X11QueryDisplay();
  const Window window = GlutXWindow(glutWindow);
  if (!display || !window) return;
  if (Display* glut = glXGetCurrentDisplay()) XSync(glut, False);
  if (!Sys_DesktopCanShowDialogs()) return GiveKeyboard(display, window);
  X11AskWindowManager(display, window, "_NET_ACTIVE_WINDOW", {1, CurrentTime});  // from an application
}

// A click-to-focus window manager gives a window the keyboard when it is
// clicked. Without one, X would leave the keyboard where start-up put it (the
// game window), so the game's own windows take it themselves.
void Sys_TakeKeyboardOnClick(int glutWindow) {
  const Window window = GlutXWindow(glutWindow);
  if (!window || Sys_DesktopCanShowDialogs()) return;
  if (Display* display = X11QueryDisplay()) GiveKeyboard(display, window);
}

// The focus may rest on a child of the window (a manager's or toolkit's own);
// the walk goes up to the root.
static bool QueryX11WindowHasKeyboard(int glutWindow) {
  Display* display = X11QueryDisplay();
  const Window window = GlutXWindow(glutWindow);
  if (!display || !window) return false;
  cQuietXErrors quiet(display);
  Window focus = 0, root = 0, parent = 0, *children = nullptr;
  int revert = 0;
  unsigned count = 0;
  XGetInputFocus(display, &focus, &revert);
  for (int depth = 0; depth < 16 && focus != None && focus != PointerRoot; ++depth) {
    if (focus == window) return true;
    if (!XQueryTree(display, focus, &root, &parent, &children, &count)) return false;
    if (children) XFree(children);
    if (focus == root) return false;
    focus = parent;
  }
  return false;
}

static bool (*gKeyboardProbe)(int) = QueryX11WindowHasKeyboard;
bool Sys_WindowHasKeyboard(int glutWindow) { return gKeyboardProbe(glutWindow); }
void Sys_SetKeyboardProbeForTest(bool (*probe)(int)) { gKeyboardProbe = probe ? probe : QueryX11WindowHasKeyboard; }

// Does the running window manager list the hint among those it supports?
bool X11ManagerSupports(Display* display, Atom hint) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  bool listed = false;
  cQuietXErrors quiet(display);
  if (XGetWindowProperty(display, DefaultRootWindow(display), XInternAtom(display, "_NET_SUPPORTED", False), 0,
                         4096, False, XA_ATOM, &type, &format, &count, &after, &data) == Success &&
      data && format == 32)
    for (unsigned long i = 0; i < count && !listed; ++i) listed = ((const Atom*)data)[i] == hint;  // format 32 comes as longs
  if (data) XFree(data);
  return listed;
}

// freeglut's glutFullScreen only queues the request as work of the current
// window; its event loop sends it later for whichever window is current then
// (the debug window, a panel), not for the one it was queued on. Here the
// window is named. A window manager that offers full-screen windows is asked
// the standard way (EWMH), to add the state (asked again, the window stays
// full-screen); without one the window is moved and sized to cover the whole
// screen, as freeglut does then. GLUT's own connection mapped the window: the
// server has handled that first, so the manager manages it before the request.
// A manager gives the window back the box it had when full screen is left: it
// is given the size asked for first, on the same connection, so the manager
// hears of the size before the request.
void Sys_MakeWindowFullScreen(int glutWindow, int leftWidth, int leftHeight) {
  Display* display = X11QueryDisplay();
  Display* glut = nullptr;
  const Window window = GlutXWindow(glutWindow, &glut);
  if (!display || !glut || !window) return;
  const Atom fullScreen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
  const bool manager = Sys_DesktopCanShowDialogs() && X11ManagerSupports(display, fullScreen);
  if (manager && leftWidth > 0 && leftHeight > 0) XResizeWindow(glut, window, (unsigned)leftWidth, (unsigned)leftHeight);
  XSync(glut, False);
  if (!manager) {
    const int screen = DefaultScreen(glut);
    XMoveResizeWindow(glut, window, 0, 0, (unsigned)DisplayWidth(glut, screen), (unsigned)DisplayHeight(glut, screen));
    XFlush(glut);
    return;
  }
  X11AskWindowManager(display, window, "_NET_WM_STATE", {1, (long)fullScreen, 0, 1});  // add it, from an application
}

// freeglut sends a move and a resize asked for together as two requests, the
// move first. metacity fits a window moved on the screen at the size it has
// then: a window moved where only its new, smaller size fits went back by its
// old size (the debug window over the middle of the game window at 1280x720).
// One request carries both. freeglut is told the same, so that a move or a
// resize it still holds for the window changes nothing when it sends it.
static void TellGlut(int glutWindow, const int* x, const int* y, int width, int height) {
  const int previous = glutGetWindow();
  glutSetWindow(glutWindow);
  if (x && y) glutPositionWindow(*x, *y);
  glutReshapeWindow(width, height);
  if (previous > 0) glutSetWindow(previous);
}

void Sys_MoveAndResizeWindow(int glutWindow, int x, int y, int width, int height) {
  Display* glut = nullptr;
  const Window window = GlutXWindow(glutWindow, &glut);
  if (!glut || !window || width <= 0 || height <= 0) return;
  XMoveResizeWindow(glut, window, x, y, (unsigned)width, (unsigned)height);
  XFlush(glut);
  TellGlut(glutWindow, &x, &y, width, height);
}

void Sys_ResizeWindow(int glutWindow, int width, int height) {
  Display* glut = nullptr;
  const Window window = GlutXWindow(glutWindow, &glut);
  if (!glut || !window || width <= 0 || height <= 0) return;
  XResizeWindow(glut, window, (unsigned)width, (unsigned)height);
  XFlush(glut);
  TellGlut(glutWindow, nullptr, nullptr, width, height);
}
