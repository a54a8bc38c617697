// The pausable game clock, the effective pause, and the two stopwatch kinds.
#pragma once

#include <cstdint>

uint32_t GetGameTime();               // stops while the game is paused; wraps at 2^32
void StartGameClock();                // start-up: run the clock if it is not running
bool IsGameClockRunning();
void ApplyPause();                    // bring the clock in line with gPaused, then tell every mode
void OnPauseCheckbox(int id);         // recompute gPaused from the check box and the automatic pause
void OnEntry(int state);              // GLUT entry callback: the mouse entered or left the main window
void ResetGameClockForTest();

// Counts game time: stands still while the game is paused.
class cGameStopwatch {
 public:
  void Start();
  void Restart();
  uint32_t Stop();
  uint32_t GetElapsed() const;
  bool IsRunning() const { return running; }

  uint32_t accumulated = 0;
  uint32_t start = 0;
  bool running = false;
};

// Counts real time, for the frame rate and anything that must not pause.
class cStopwatch {
 public:
  void Start();
  void Restart();
  uint32_t Stop();
  uint32_t GetElapsed() const;
  bool IsRunning() const { return running; }

  uint32_t accumulated = 0;
  uint32_t start = 0;
  bool running = false;
};
