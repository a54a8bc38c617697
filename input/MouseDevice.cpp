#include "input/MouseDevice.h"

#include "platform/Sys.h"

cMouseDevice gMouseDevice;

namespace {
int Sign(int value) { return value > 0 ? 1 : value < 0 ? -1 : 0; }
}  // namespace

int InitDirectInputMouse() { return Sys_OpenMouse() ? 0 : -1; }
void ShutdownDirectInputMouse() { Sys_CloseMouse(); }

void cMouseDevice::Poll() {
  // One reading holds movement and buttons; a failed one keeps the buttons as they were.
  SysMouseReading reading;
  if (Sys_ReadMouse(reading)) {
    mMoveX = reading.dx;
    mMoveY = reading.dy;
    mWheel = Sign(reading.wheel);
    for (int i = 0; i < 3; ++i) mButtons[i] = reading.buttons[i];
  } else {
    mMoveX = mMoveY = mWheel = 0;
  }
  mSumX += mMoveX;
  mSumY += mMoveY;
  mSumWheel += mWheel;
}

void cMouseDevice::GetMovement(int& dx, int& dy, int& wheel) const {
  dx = mMoveX;
  dy = mMoveY;
  wheel = mWheel;
}

void cMouseDevice::GetAccumulatedMovement(int& dx, int& dy, int& wheel) const {
  dx = mSumX;
  dy = mSumY;
  wheel = mSumWheel;
}

void cMouseDevice::ClearAccumulatedMovement() { mSumX = mSumY = mSumWheel = 0; }

bool cMouseDevice::IsButtonDown(int button) const { return button >= 0 && button < 3 && mButtons[button]; }

void GetCursorClientPos(int& x, int& y) { Sys_MouseWindowPosition(x, y); }
