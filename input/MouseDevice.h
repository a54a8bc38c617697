// The per-frame mouse reading (movement since the last poll, wheel, buttons).
// Not built yet: reads no movement until the mouse device work lands.
#pragma once

class cMouseDevice {
 public:
  void Poll();
  void GetMovement(int& dx, int& dy, int& wheel) const;
  bool IsButtonDown(int button) const;

 private:
  int mDx = 0, mDy = 0, mWheel = 0;
  bool mButtons[3] = {false, false, false};
};

extern cMouseDevice gMouseDevice;
int InitDirectInputMouse();
