// Mouse picking: the ray under a window point (six floats, origin then direction).
#pragma once

void ScreenPointToRay(int x, int y, float ray[6]);
