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
// A fixed frame step (for pictures and runs that must come out alike on any
// machine): every played frame is that many ms of game time, whatever the
// real clock did; 0, the default, follows the real clock.
void SetFixedFrameStep(uint32_t ms);
uint32_t GetFixedFrameStep();
void StepGameClock();  // the frame loop, once per played frame: the fixed step's game time
// The text of QUORVEL_FRAME_STEP_MS: 1 to 500 ms, digits only; false for anything else.
bool ParseFrameStep(const char* text, uint32_t& ms);

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
