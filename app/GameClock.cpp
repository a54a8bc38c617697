#include "app/GameClock.h"

#include "app/AppGlobals.h"
#include "app/GameMode.h"
#include "platform/Sys.h"

namespace {
struct GameClockState {
  uint32_t accumulated = 0;
  uint32_t resumeTime = 0;
  bool running = false;
} gClock;
uint32_t gFixedFrameStep = 0;  // ms of game time a played frame; 0: the real clock's
}  // namespace

void SetFixedFrameStep(uint32_t ms) { gFixedFrameStep = ms; }
uint32_t GetFixedFrameStep() { return gFixedFrameStep; }

void StepGameClock() {
  if (gFixedFrameStep && gClock.running) gClock.accumulated += gFixedFrameStep;
}

bool ParseFrameStep(const char* text, uint32_t& ms) {
  if (!text || !*text) return false;
  uint32_t value = 0;
  for (const char* c = text; *c; ++c) {
    if (*c < '0' || *c > '9' || value > 500) return false;
    value = value * 10 + (uint32_t)(*c - '0');
  }
  if (value < 1 || value > 500) return false;
  ms = value;
  return true;
}

uint32_t GetGameTime() {
  if (!gClock.running || gFixedFrameStep) return gClock.accumulated;
  return gClock.accumulated + (Sys_Milliseconds() - gClock.resumeTime);
}

void StartGameClock() {
  if (gClock.running) return;
  gClock.resumeTime = Sys_Milliseconds();
  gClock.running = true;
}

bool IsGameClockRunning() { return gClock.running; }
void ResetGameClockForTest() {
  gClock = GameClockState();
  gFixedFrameStep = 0;
}

void ApplyPause() {
  Sys_RequestRedraw();  // the paused picture is drawn once more
  if (gPaused && gClock.running) {
    if (!gFixedFrameStep) gClock.accumulated += Sys_Milliseconds() - gClock.resumeTime;
    gClock.running = false;
  } else if (!gPaused && !gClock.running) {
    gClock.resumeTime = Sys_Milliseconds();
    gClock.running = true;
  }
  // Every mode hears it, current or not, even when nothing changed.
  cIGameMode* const* modes = AllGameModes();
  for (int i = 0; i < kGameModeCount; ++i)
    if (modes[i]) modes[i]->OnPauseChanged(gPaused != 0);
}

static int32_t EffectivePause(int32_t mouseInWindow) {
  return (gUserPause || (!mouseInWindow && gAutoPause)) ? 1 : 0;
}

void OnPauseCheckbox(int) {
  gPaused = EffectivePause(gMouseInWindow);
  ApplyPause();
}

void OnEntry(int state) {
  int32_t inside = state != 0;
  if (inside == gMouseInWindow) return;
  gPaused = EffectivePause(inside);
  gMouseInWindow = inside;
  ApplyPause();
}

