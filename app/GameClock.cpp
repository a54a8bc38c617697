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
}  // namespace

uint32_t GetGameTime() {
  if (!gClock.running) return gClock.accumulated;
  return gClock.accumulated + (Sys_Milliseconds() - gClock.resumeTime);
}

void StartGameClock() {
  if (gClock.running) return;
  gClock.resumeTime = Sys_Milliseconds();
  gClock.running = true;
}

bool IsGameClockRunning() { return gClock.running; }
void ResetGameClockForTest() { gClock = GameClockState(); }

void ApplyPause() {
  Sys_RequestRedraw();  // the paused picture is drawn once more
  if (gPaused && gClock.running) {
    gClock.accumulated += Sys_Milliseconds() - gClock.resumeTime;
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

