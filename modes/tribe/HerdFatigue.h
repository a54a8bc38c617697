// How tired a herd is from sprinting, shared by its movement and its hover
// text so that both read a herd without sprint time the same way.
#pragma once

// "fatigue" over "sprintDuration": 0 rested, 1 spent. A herd with no sprint
// time at all counts as spent (the plain quotient would divide by zero).
inline float HerdFatigueFraction(float fatigue, float sprintDuration) {
  return sprintDuration > 0.0f ? fatigue / sprintDuration : 1.0f;
}

// The share of its sprint a herd can still give: full up to 80 % fatigue,
// then falling to nothing at 100 % (the slope is the float just above 5).
inline float HerdSprintShare(float fatigue, float sprintDuration) {
  const float used = HerdFatigueFraction(fatigue, sprintDuration);
  return used > 0.8f ? 1.0f - (used - 0.8f) * 5.0000005f : 1.0f;
}
