// Laying a herd of scene objects out at a point with a formation, and pushing
// its members apart so that no two stand closer than the herd's spacing.
#pragma once

#include <vector>

#include "math/Types.h"

class cSceneObject;
class tHerdFormationSelectOperator;

constexpr float kHerdSpacing = 4.0f;
// Each pass stops at its first push, so a pass count is a push count; ten
// members settle in a few dozen. The cap keeps a pathological herd finite.
constexpr int kMaxHerdSeparationPasses = 1000;

// Chains the formation from member to member, starting upright on the planet
// at `point`, then separates the herd. Members stand on the anchor's tangent
// plane (not projected back onto the ground). False, and nothing moves, while
// the formation's weights add up to nothing.
bool LayOutHerd(const std::vector<cSceneObject*>& herd, const Ru::Math::Vector3& point,
                tHerdFormationSelectOperator& formation);

// Passes over the pairs (i outer, j inner, creation order), each ending at the
// first pair closer than the spacing, which moves half the spacing apart each
// way; until a pass moves nothing or the cap. Members sharing one point exactly
// are left together. Returns the number of passes made.
int SeparateHerd(const std::vector<cSceneObject*>& herd, int maxPasses = kMaxHerdSeparationPasses);
