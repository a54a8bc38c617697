// The clickable event notice: a city or turret of the human's is under attack
// (or a city surrendered). The point is kept for the input controller, which
// takes the camera there on a click; the HUD draws the notice while it shows.
#pragma once

#include "app/GameClock.h"
#include "math/Types.h"

struct sCivEventNotice {
  static constexpr uint32_t kShowMs = 5000;
  Ru::Math::Vector3 point{0, 0, 0};
  bool shown = false;
  cGameStopwatch stopwatch;  // since the notice was last shown
};

sCivEventNotice& GetCivEventNotice();
// Stores the point, shows the notice and restarts its 5000 ms.
void CivShowEventNotice(const Ru::Math::Vector3& point);
// Whether the notice shows now; it hides itself once its time is up.
bool CivEventNoticeShowing();
