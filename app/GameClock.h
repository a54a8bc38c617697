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

// A stopwatch on a millisecond clock; all differences are modulo 2^32.
template <uint32_t (*Now)()>
class tStopwatch {
 public:
  void Start() {
    if (running) return;
    start = Now();
    running = true;
  }
  void Restart() {
    accumulated = 0;
    start = Now();
    running = true;
  }
  uint32_t Stop() {  // the time since the last start; 0 when not running
    if (!running) return 0;
    uint32_t elapsed = Now() - start;
    accumulated += elapsed;
    running = false;
    return elapsed;
  }
  uint32_t GetElapsed() const { return running ? accumulated + (Now() - start) : accumulated; }
  bool IsRunning() const { return running; }

  uint32_t accumulated = 0;
  uint32_t start = 0;
  bool running = false;
};

uint32_t Sys_Milliseconds();
using cGameStopwatch = tStopwatch<GetGameTime>;  // stands still while the game is paused
using cStopwatch = tStopwatch<Sys_Milliseconds>;  // real time: the frame rate and whatever must not pause
