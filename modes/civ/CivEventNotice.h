// The clickable event notice: a city or turret of the human's under attack,
// or a surrender, leaves its point here; it shows for 5000 ms of game time.
// Game code only stores it; the HUD draws it and a click goes to the point.
#pragma once

#include "math/Types.h"

void CivShowEventNotice(const Ru::Math::Vector3& point);
// Whether the notice still shows; it hides itself once 5000 ms have passed.
bool IsCivEventNoticeShown();
const Ru::Math::Vector3& GetCivEventNoticePoint();
void HideCivEventNotice();
