// The program's windows are made here. freeglut selects XInput 2 pointer events
// on every window it makes, claims each event's data and gives it back, except
// for a crossing reported on a window it does not know: the root window or a
// window manager's frame, which the pointer enters while a button held in one
// of ours drags it out. Each such crossing left its data behind, so memory grew
// with play. The game reads the pointer through the core events (motion,
// buttons, the wheel as buttons, entry and leave), which freeglut also selects
// and which the server sends again once a window has no XInput 2 selection: so
// each window drops that selection as soon as it is made.
//
// Each window also names the process that owns it (_NET_WM_PID, with the
// machine that is true on), as tools find a program's windows by it (xdotool
// search --pid, a task list, the end-to-end scripts on a shared display):
// freeglut names it only where a window manager says it reads it.
//
// A window kept open (the panels, the debug window) outlives its close button:
// freeglut destroys any window whose manager asks it to close (WM_DELETE_WINDOW),
// with no callback that could refuse, so that request is dropped for these
// windows as Xlib reads it, before freeglut sees it.
//
// Each window is watched for its end: another program that destroys it
// (`xdotool windowclose`) ends the game, as a window lost under it. freeglut
// selects each window's structure events (its size comes so) but ignores its
// DestroyNotify, and a window that draws nothing
// (minimized, covered, unmapped) makes no request the server could refuse: so
// the event is looked at as Xlib reads it, whoever reads (freeglut's loop in
// any frame, held or paused, or the waits of a question or a dialog). A window
// the program destroys itself is no longer watched from then on: freeglut
// calls a window's close callback before it destroys the window, whatever
// the reason (glutDestroyWindow, a manager's close request, its teardown at
// exit), and the panels, which put in a callback of their own, say so
// through Sys_KeepWindowOpen.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XInput2.h>
#include <unistd.h>

#include <X11/Xlibint.h>  // XESetWireToEvent; it also defines min and max as macros
#undef min
#undef max

#include "platform/DisplayWatch.h"
#include "platform/Sys.h"
#include "platform/X11Query.h"

namespace {
// freeglut's connection (selections are per connection) and the new window,
// which freeglut's context is current on.
bool CurrentGlutWindow(Display*& display, Window& window) {
  display = glXGetCurrentDisplay();
  window = (Window)glXGetCurrentDrawable();
  return display && window;
}
void NameOwningProcess(Display* display, Window window) {
  const long pid = (long)getpid();  // format 32 is carried in longs
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                  (const unsigned char*)&pid, 1);
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) != 0) return;
  XTextProperty machine{(unsigned char*)host, XA_STRING, 8, (unsigned long)strlen(host)};
  XSetWMClientMachine(display, window, &machine);
}

struct cWatchedWindow {
  int glutWindow;
  Window window;
  std::string title;  // as made: the window is gone when its end is said
};
struct cWindowHooks {
  std::vector<Window> keptOpen;
  std::vector<cWatchedWindow> watched;
  bool watching = true;  // until the game ends, when its windows go with it
  Atom protocols = None, deleteWindow = None;
  // Xlib's own, before ours; one connection: freeglut's, the same for every window
  Bool (*readClientMessage)(Display*, XEvent*, xEvent*) = nullptr;
  Bool (*readDestroyNotify)(Display*, XEvent*, xEvent*) = nullptr;
};
cWindowHooks& WindowHooks() {
  static cWindowHooks* hooks = new cWindowHooks();  // never freed: Xlib may read events during teardown
  return *hooks;
}

void StopWatching(int glutWindow) {
  std::erase_if(WindowHooks().watched, [glutWindow](const cWatchedWindow& w) { return w.glutWindow == glutWindow; });
}
void StopWatchingTheWindowFreeglutDestroys() { StopWatching(glutGetWindow()); }  // freeglut made it current

// Xlib's hooks that turn an event off the wire into an event; false drops the
// event from the queue.
Bool ReadClientMessage(Display* display, XEvent* event, xEvent* wire) {
  cWindowHooks& hooks = WindowHooks();
  if (!hooks.readClientMessage(display, event, wire)) return False;
  const XClientMessageEvent& message = event->xclient;
  const bool closeRequest = message.message_type == hooks.protocols && message.format == 32 &&
                            (Atom)message.data.l[0] == hooks.deleteWindow;
  return !(closeRequest && std::count(hooks.keptOpen.begin(), hooks.keptOpen.end(), message.window));
}

Bool ReadDestroyNotify(Display* display, XEvent* event, xEvent* wire) {
  cWindowHooks& hooks = WindowHooks();
  if (!hooks.readDestroyNotify(display, event, wire)) return False;
  const Window gone = event->xdestroywindow.window;
  for (const cWatchedWindow& w : hooks.watched) {
    if (w.window != gone || !hooks.watching) continue;
    Sys_Print(SysStream::Err,
              "Another program destroyed the game's window \"%s\" (0x%lx) on the X display %s: the game ends\n",
              w.title.c_str(), gone, DisplayString(display));
    Sys_RunExitSequence();
    _exit(1);
  }
  return True;
}

void Watch(Display* display, int glutWindow, Window window, const char* title) {
  cWindowHooks& hooks = WindowHooks();
  if (!hooks.readClientMessage) {
    hooks.protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    hooks.deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    hooks.readClientMessage = XESetWireToEvent(display, ClientMessage, ReadClientMessage);
    hooks.readDestroyNotify = XESetWireToEvent(display, DestroyNotify, ReadDestroyNotify);
  }
  StopWatching(glutWindow);  // freeglut may give a destroyed window's number again
  hooks.watched.push_back({glutWindow, window, title});
  glutCloseFunc(StopWatchingTheWindowFreeglutDestroys);
}
}  // namespace

void StopWatchingTheGamesWindows() { WindowHooks().watching = false; }

// freeglut gives no window's X id; its context is made current on the window
// itself, so the current drawable is that window.
Window GlutXWindow(int glutWindow, Display** glutDisplay) {
  if (glutWindow <= 0) return 0;
  const int previous = glutGetWindow();
  glutSetWindow(glutWindow);
  Display* display = nullptr;
  Window window = 0;
  CurrentGlutWindow(display, window);
  if (previous > 0 && previous != glutWindow) glutSetWindow(previous);
  if (glutDisplay) *glutDisplay = display;
  return window;
}

void Sys_KeepWindowOpen(int glutWindow, bool open) {
  if (!open) StopWatching(glutWindow);  // the game closes it now, or lets its close button do so
  Display* display = nullptr;
  const Window window = GlutXWindow(glutWindow, &display);
  if (!window || !display) return;
  cWindowHooks& hooks = WindowHooks();
  std::erase(hooks.keptOpen, window);
  if (open) hooks.keptOpen.push_back(window);
}

int Sys_CreateGlutWindow(const char* title) {
  const int glutWindow = glutCreateWindow(title);
  Display* display = nullptr;
  Window window = 0;
  if (glutWindow > 0 && CurrentGlutWindow(display, window)) {
    unsigned char none[XIMaskLen(XI_LASTEVENT)] = {};
    XIEventMask mask = {XIAllMasterDevices, (int)sizeof none, none};
    XISelectEvents(display, window, &mask, 1);
    NameOwningProcess(display, window);
    X11NoteGameConnection(display);
    Watch(display, glutWindow, window, title);
  }
  return glutWindow;
}

bool Sys_WindowSelectsXInput2ForTest(int glutWindow) {
  Display* display = nullptr;
  const Window window = GlutXWindow(glutWindow, &display);
  bool selects = false;
  if (window && display) {
    int count = 0;
    XIEventMask* masks = XIGetSelectedEvents(display, window, &count);
    for (int i = 0; i < count && masks; ++i)
      for (int byte = 0; byte < masks[i].mask_len; ++byte) selects = selects || masks[i].mask[byte] != 0;
    if (masks) XFree(masks);
  }
  return selects;
}

namespace {
// Sends the event to the window from a connection of its own, as the server or
// a window manager would, and has freeglut read and handle it.
void DeliverToGlutWindow(int glutWindow, XEvent& event, long mask) {
  Display* sender = X11QueryDisplay();
  Display* glut = nullptr;
  const Window window = GlutXWindow(glutWindow, &glut);
  if (!sender || !window || !glut) return;
  const int previous = glutGetWindow();
  event.xany.window = window;
  XSendEvent(sender, window, False, mask, &event);
  XSync(sender, False);
  XSync(glut, False);  // what the server sent before its answer is in freeglut's queue now
  glutMainLoopEvent();
  if (previous > 0) glutSetWindow(previous);
}
}  // namespace

void Sys_ClickWindowForTest(int glutWindow, int x, int y, unsigned button) {
  for (int type : {ButtonPress, ButtonRelease}) {
    XEvent click{};
    click.xbutton.type = type;
    click.xbutton.button = button;
    click.xbutton.x = x, click.xbutton.y = y;
    click.xbutton.same_screen = True;
    DeliverToGlutWindow(glutWindow, click, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask);
  }
}

void Sys_CloseWindowAsAManagerForTest(int glutWindow) {
  Display* display = X11QueryDisplay();
  if (!display) return;
  XEvent close{};
  close.xclient.type = ClientMessage;
  close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  close.xclient.format = 32;
  close.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
  close.xclient.data.l[1] = CurrentTime;
  DeliverToGlutWindow(glutWindow, close, NoEventMask);
}
