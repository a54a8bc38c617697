// Every end that X brings about goes through the game's one exit: a display
// lost, and a request of the game's that the server refused. Xlib's own
// handlers write their lines straight to descriptor 2, where a reader that
// stopped, or a terminal held with Ctrl+S, kept them waiting for good before
// they exited; GDK's ends the process at once on a lost display, past the exit
// sequence, and ignores errors on connections it did not open, so after the
// first desktop dialog a window destroyed by another client was dropped
// unsaid. Ours queue the line as the game's lines go and run the exit
// sequence, whose flush is bounded. They never return into Xlib, which would
// exit() and run the exit handlers and static destructors (freeglut's among
// them) that talk to the display again: the sequence already did what the end
// needs. Each runs on whichever thread made the request; the sequence runs once.
#include <X11/Xlib.h>
#include <poll.h>
#include <unistd.h>

#include <cstdio>

#include <X11/Xlibint.h>  // the extensions' names, as Xlib's own report gives them; it defines min and max
#undef min
#undef max

#include "platform/DisplayWatch.h"
#include "platform/Sys.h"
#include "platform/X11Query.h"

namespace {
Display* gToolkitDisplay = nullptr;  // GDK's connection, whose errors its own handler sees
XErrorHandler gToolkitErrors = nullptr;

int EndTheGameOnALostDisplay(Display* display) {
  Sys_Print(SysStream::Err, "The X display %s was lost: the game ends\n", display ? DisplayString(display) : "");
  Sys_RunExitSequence();
  _exit(1);
}

// "X_DestroyWindow", or an extension's "MIT-SHM X_ShmPutImage": from Xlib's
// error database, without a request to the server.
void NameTheRequest(Display* display, const XErrorEvent& error, char* name, size_t size) {
  char key[64], text[128] = "";
  if (error.request_code < 128) {
    snprintf(key, sizeof key, "%d", error.request_code);
    XGetErrorDatabaseText(display, "XRequest", key, "", text, sizeof text);
    snprintf(name, size, "%s", *text ? text : "a core request");
    return;
  }
  for (const _XExtension* extension = display->ext_procs; extension; extension = extension->next) {
    if (extension->codes.major_opcode != error.request_code || !extension->name) continue;
    snprintf(key, sizeof key, "%s.%d", extension->name, error.minor_code);
    XGetErrorDatabaseText(display, "XRequest", key, "", text, sizeof text);
    snprintf(name, size, "%s%s%s", extension->name, *text ? " " : "", text);
    return;
  }
  snprintf(name, size, "an extension's request");
}

Display* gGameDisplay = nullptr;
pid_t gGameDisplayOwner = 0;

Display* GameDisplay() { return gGameDisplayOwner == getpid() ? gGameDisplay : nullptr; }

Bool NoEvent(Display*, XEvent*, XPointer) { return False; }
}  // namespace

int X11EndTheGameOnAnXError(Display* display, XErrorEvent* error) {
  if (display == gToolkitDisplay && gToolkitErrors) return gToolkitErrors(display, error);
  char what[128] = "", request[192] = "";
  XGetErrorText(display, error->error_code, what, sizeof what);
  NameTheRequest(display, *error, request, sizeof request);
  Sys_Print(SysStream::Err,
            "The X display %s refused a request of the game's: %s, request %d.%d (%s), resource 0x%lx: the game ends\n",
            DisplayString(display), what, error->request_code, error->minor_code, request, error->resourceid);
  Sys_RunExitSequence();
  _exit(1);
}

void X11EndTheGameOnXFaults(Display* toolkitDisplay) {
  XSetIOErrorHandler(EndTheGameOnALostDisplay);
  const XErrorHandler previous = XSetErrorHandler(X11EndTheGameOnAnXError);
  if (!toolkitDisplay) return;
  gToolkitDisplay = toolkitDisplay;
  gToolkitErrors = previous != X11EndTheGameOnAnXError ? previous : nullptr;
}

void X11NoteGameConnection(Display* display) {
  if (GameDisplay() || !display) return;
  gGameDisplay = display;
  gGameDisplayOwner = getpid();
}

int GameDisplayDescriptor() {
  Display* display = GameDisplay();
  return display ? ConnectionNumber(display) : -1;
}

void EndTheGameIfItsDisplayIsLost() {
  Display* display = GameDisplay();
  if (!display) return;
  pollfd look{ConnectionNumber(display), POLLIN, 0};
  // Xlib reads only when no event waits in its queue (XEventsQueued), but
  // freeglut's queue keeps the events that came before the wait: a look for an
  // event that none matches reads whatever is there, and takes none.
  XEvent none;
  if (poll(&look, 1, 0) == 1) XCheckIfEvent(display, &none, NoEvent, nullptr);  // a lost one calls the handler above
}
