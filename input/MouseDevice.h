// The per-frame mouse reading: relative movement, wheel direction and the three
// buttons, read once per frame by the frame loop (Poll) and used by the camera
// and the modes. Buttons are numbered 0 left, 1 right, 2 middle.
#pragma once

class cMouseDevice {
 public:
  void Poll();  // this frame's movement, added to the sums
  void GetMovement(int& dx, int& dy, int& wheel) const;
  void GetAccumulatedMovement(int& dx, int& dy, int& wheel) const;
  void ClearAccumulatedMovement();  // the modes clear when a drag begins
  int GetMoveX() const { return mMoveX; }
  int GetMoveY() const { return mMoveY; }
  int GetWheel() const { return mWheel; }  // -1, 0 or +1 (away from the user)
  bool IsButtonDown(int button) const;     // as of the last poll that read the device
  void SetWheelForTest(int wheel) { mWheel = wheel; }  // headless runs have no device to poll

 private:
  int mMoveX = 0, mMoveY = 0, mWheel = 0;
  int mSumX = 0, mSumY = 0, mSumWheel = 0;
  bool mButtons[3] = {false, false, false};
};

extern cMouseDevice gMouseDevice;

int InitDirectInputMouse();  // 0 when the mouse can be read; nonzero otherwise (polls then read zeros)
void ShutdownDirectInputMouse();
void GetCursorClientPos(int& x, int& y);  // the pointer in the main window's pixels
