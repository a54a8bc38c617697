// The relative mouse that stands for DirectInput's: the main window's GLUT mouse
// callbacks feed it with positions (turned into movement), buttons and the
// wheel, and the game reads what gathered once per frame. Buttons are counted
// the device's way: 0 left, 1 right, 2 middle (GLUT: 0 left, 1 middle, 2 right,
// and the wheel as buttons 3 away and 4 towards the user).
#include <GL/freeglut.h>

#include "platform/Sys.h"
#include "platform/X11Query.h"

namespace {
struct cMouseSource {
  bool open = false;
  bool havePosition = false;  // the next position is only a starting point
  int x = 0, y = 0;
  int dx = 0, dy = 0, wheel = 0;
  bool buttons[3] = {false, false, false};
} gMouse;

int DeviceButtonOfGlutButton(int button) {
  switch (button) {
    case GLUT_LEFT_BUTTON: return 0;
    case GLUT_RIGHT_BUTTON: return 1;
    case GLUT_MIDDLE_BUTTON: return 2;
    default: return -1;
  }
}
}  // namespace

bool Sys_OpenMouse() {
  gMouse = cMouseSource();
  gMouse.open = X11QueryDisplay() != nullptr;  // no X server, no pointer to read
  return gMouse.open;
}

void Sys_CloseMouse() { gMouse = cMouseSource(); }

bool Sys_ReadMouse(SysMouseReading& reading) {
  if (!gMouse.open) return false;
  reading.dx = gMouse.dx;
  reading.dy = gMouse.dy;
  reading.wheel = gMouse.wheel;
  for (int i = 0; i < 3; ++i) reading.buttons[i] = gMouse.buttons[i];
  gMouse.dx = gMouse.dy = gMouse.wheel = 0;
  return true;
}

void Sys_NoteMouseMotion(int x, int y) {
  if (gMouse.havePosition) {
    gMouse.dx += x - gMouse.x;
    gMouse.dy += y - gMouse.y;
  }
  gMouse.x = x;
  gMouse.y = y;
  gMouse.havePosition = true;
}

// The pointer left the window: where it comes back in is no movement.
void Sys_NoteMouseLeft() { gMouse.havePosition = false; }

void Sys_NoteMouseButton(int glutButton, bool down, int x, int y) {
  gMouse.x = x;
  gMouse.y = y;
  gMouse.havePosition = true;
  if (glutButton == 3 || glutButton == 4) {
    if (down) gMouse.wheel += glutButton == 3 ? 1 : -1;
    return;
  }
  int button = DeviceButtonOfGlutButton(glutButton);
  if (button < 0) return;
  gMouse.buttons[button] = down;
  // The key state knows the buttons as LBUTTON 0x01, RBUTTON 0x02 and MBUTTON
  // 0x04 by the physical button, as Windows does; X hands over logical ones.
  int code = button == 0 ? 0x01 : button == 1 ? 0x02 : 0x04;
  if (code != 0x04 && Sys_MouseButtonsSwapped()) code ^= 0x03;
  Sys_SetKeyState(code, down);
}

bool Sys_MouseWindowPosition(int& x, int& y) {
  x = gMouse.x;
  y = gMouse.y;
  return gMouse.havePosition;
}
