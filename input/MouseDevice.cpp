#include "input/MouseDevice.h"

cMouseDevice gMouseDevice;

// Placeholders: no device is read yet, so every poll reports no movement.
int InitDirectInputMouse() { return 0; }
void cMouseDevice::Poll() { mDx = mDy = mWheel = 0; }
void cMouseDevice::GetMovement(int& dx, int& dy, int& wheel) const {
  dx = mDx;
  dy = mDy;
  wheel = mWheel;
}
bool cMouseDevice::IsButtonDown(int button) const { return button >= 0 && button < 3 && mButtons[button]; }
