#pragma once

// Receives named key-binding actions ("MOVE", "PAUSE", ...) with a value, each frame the key is held.
class cIInputEventHandler {
 public:
  virtual ~cIInputEventHandler() = default;
  virtual void HandleInputEvent(const char* action, float value, unsigned int framesHeld) = 0;
};
