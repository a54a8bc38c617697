#include "modes/dev/flocktest/HerdLayout.h"

#include "math/Math.h"
#include "modes/dev/flocktest/HerdFormation.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

bool LayOutHerd(const std::vector<cSceneObject*>& herd, const Vector3& point, tHerdFormationSelectOperator& formation) {
  if (formation.GetTotalWeight() <= 0) return false;
  Vector3 anchor = point;
  Quaternion facing;
  cPlanetModel::AlignOrientationToSurface(facing, point, QuatIdentity());
  for (cSceneObject* member : herd) {
    // Should the draw reach no operator, the member stands at the anchor rather than anywhere.
    Vector3 position = anchor;
    Quaternion orientation = facing;
    formation.Apply(anchor, facing, position, orientation, anchor, facing);
    member->SetPosition(position);
    member->SetOrientation(orientation);
  }
  SeparateHerd(herd);
  return true;
}

namespace {

bool PushFirstCrowdedPair(const std::vector<cSceneObject*>& herd) {
  const float half = kHerdSpacing / 2.0f;
  for (size_t i = 0; i < herd.size(); ++i) {
    for (size_t j = 0; j < herd.size(); ++j) {
      if (i == j) continue;
      const Vector3 d = Vector3Sub(herd[i]->GetPosition(), herd[j]->GetPosition());
      const float length = Vector3Length(d);
      if (!(length > 0.0f && length < kHerdSpacing)) continue;
      const Vector3 away = Vector3Scale(d, 1.0f / length);
      herd[i]->SetPosition(Vector3Add(herd[i]->GetPosition(), Vector3Scale(away, half)));
      herd[j]->SetPosition(Vector3Sub(herd[j]->GetPosition(), Vector3Scale(away, half)));
      return true;
    }
  }
  return false;
}

}  // namespace

int SeparateHerd(const std::vector<cSceneObject*>& herd, int maxPasses) {
  if (herd.empty()) return 0;
  int passes = 0;
  while (passes < maxPasses) {
    ++passes;
    if (!PushFirstCrowdedPair(herd)) break;
  }
  return passes;
}
