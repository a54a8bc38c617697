// The shared camera as a fresh process has it: no host, no frame, the default
// angles and pitch limits, the default script's name and a script that does
// nothing (an empty text does not compile) in place of any installed one.
// A fixture that moves the camera or installs a camera script (a mode's Enter
// does) holds a cFreshCamera, so that its cases start from that camera and
// hand it back to the next case, whichever runs next.
#pragma once

#include "camera/Camera.h"
#include "camera/CameraControl.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"

inline void ResetCameraToFresh() {
  SetCameraHost(nullptr);
  GetCameraState() = cCameraState();
  GetCameraProgram().Compile("unused = 0");
}

struct cFreshCamera {
  cFreshCamera() { ResetCameraToFresh(); }
  ~cFreshCamera() { ResetCameraToFresh(); }
  cFreshCamera(const cFreshCamera&) = delete;
  cFreshCamera& operator=(const cFreshCamera&) = delete;
};
