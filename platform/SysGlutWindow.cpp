// The program's windows are made here. freeglut selects XInput 2 pointer events
// on every window it makes, claims each event's data and gives it back, except
// for a crossing reported on a window it does not know: the root window or a
// window manager's frame, which the pointer enters while a button held in one
// of ours drags it out. Each such crossing left its data behind, so memory grew
// with play. The game reads the pointer through the core events (motion,
// buttons, the wheel as buttons, entry and leave), which freeglut also selects
// and which the server sends again once a window has no XInput 2 selection: so
// each window drops that selection as soon as it is made.
#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/extensions/XInput2.h>

#include "platform/Sys.h"

namespace {
// freeglut's connection (selections are per connection) and the new window,
// which freeglut's context is current on.
bool CurrentGlutWindow(Display*& display, Window& window) {
  display = glXGetCurrentDisplay();
  window = (Window)glXGetCurrentDrawable();
  return display && window;
}
}  // namespace

int Sys_CreateGlutWindow(const char* title) {
  const int glutWindow = glutCreateWindow(title);
  Display* display = nullptr;
  Window window = 0;
  if (glutWindow > 0 && CurrentGlutWindow(display, window)) {
    unsigned char none[XIMaskLen(XI_LASTEVENT)] = {};
    XIEventMask mask = {XIAllMasterDevices, (int)sizeof none, none};
    XISelectEvents(display, window, &mask, 1);
  }
  return glutWindow;
}

bool Sys_WindowSelectsXInput2ForTest(int glutWindow) {
  if (glutWindow <= 0) return false;
  const int previous = glutGetWindow();
  glutSetWindow(glutWindow);
  Display* display = nullptr;
  Window window = 0;
  bool selects = false;
  if (CurrentGlutWindow(display, window)) {
    int count = 0;
    XIEventMask* masks = XIGetSelectedEvents(display, window, &count);
    for (int i = 0; i < count && masks; ++i)
      for (int byte = 0; byte < masks[i].mask_len; ++byte) selects = selects || masks[i].mask[byte] != 0;
    if (masks) XFree(masks);
  }
  if (previous > 0) glutSetWindow(previous);
  return selects;
}
