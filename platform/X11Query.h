// What the platform files share about X: one display connection of our own for
// queries (GLUT and GTK keep theirs). Game code never includes this.
#pragma once

#include <X11/Xlib.h>

#include <initializer_list>

// Opened on first use in each process, never before main; null when there is no X server.
Display* X11QueryDisplay();

// A display lost under any connection of the process, and a request of the
// game's that the server refused (another client destroyed one of its
// windows), end the game through its exit sequence, with status 1. Xlib keeps
// one handler of each kind for the whole process, and GDK puts in its own as
// it starts: set again then, naming GDK's connection, whose errors still go to
// the handler GDK put in (its error traps rely on it).
void X11EndTheGameOnXFaults(Display* toolkitDisplay = nullptr);
int X11EndTheGameOnAnXError(Display* display, XErrorEvent* error);  // the handler, for hooks that let some errors through
// freeglut's connection, the game's own, noted as its first window is made:
// the waits outside the frame loop watch it (see DisplayWatch.h).
void X11NoteGameConnection(Display* display);

// A request to the window manager about one window, the standard way (EWMH),
// sent and synced: the data's source indication says who asks (1 an
// application, 2 a pager, which a manager obeys whatever window is active).
void X11AskWindowManager(Display* display, Window window, const char* message, std::initializer_list<long> data);

// Does the running window manager list the hint (an atom of EWMH's) in
// _NET_SUPPORTED? False without one.
bool X11ManagerSupports(Display* display, Atom hint);

// A freeglut window's X id (0: none), and freeglut's own connection when asked
// (Xlib hooks and event reads are per connection).
Window GlutXWindow(int glutWindow, Display** glutDisplay = nullptr);

// Windows of other programs may vanish while we look at them: errors during
// our queries are expected and must not end the program (Xlib's default).
class cQuietXErrors {
 public:
  explicit cQuietXErrors(Display* display) : mDisplay(display), mPrevious(XSetErrorHandler(Ignore)) {}
  ~cQuietXErrors() {
    XSync(mDisplay, False);
    XSetErrorHandler(mPrevious);
  }
  cQuietXErrors(const cQuietXErrors&) = delete;
  cQuietXErrors& operator=(const cQuietXErrors&) = delete;

 private:
  static int Ignore(Display*, XErrorEvent*) { return 0; }
  Display* mDisplay;
  int (*mPrevious)(Display*, XErrorEvent*);
};
