#include "modes/city/groups/CityRings.h"

#include "camera/Camera.h"
#include "math/Math.h"
#include "modes/city/objects/CityScene.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/LineShapes.h"

using namespace Ru::Math;

void cCityRingPulse::Make(const Vector3& colour) {
  Remove();
  for (int i = 0; i < kRingCount; ++i) {
    mShapes[i] = new cSceneShapeCircle(kSegments);
    mShapes[i]->SetScale(Vector3{0.0f, 0.0f, 0.0f});
    mRings[i] = new cSceneObject(nullptr, mShapes[i]);
    mRings[i]->SetColour(colour);
    GetSceneManager().AddObject(mRings[i]);
  }
}

void cCityRingPulse::Remove() {
  for (int i = 0; i < kRingCount; ++i) {
    RemoveFromCityScene(mRings[i]);
    delete mShapes[i];
    mShapes[i] = nullptr;
  }
}

void cCityRingPulse::Place(const Vector3& at, float t, const float radii[kRingCount]) {
  float view[16];
  ComputeCameraView(view);
  const Matrix3 rotation =
      Matrix3Construct(view[0], view[1], view[2], view[4], view[5], view[6], view[8], view[9], view[10]);
  Quaternion aligned;
  cPlanetModel::AlignOrientationToSurface(aligned, at, QuatInverse(Matrix3ToQuat(rotation)));
  const Vector3 above = Vector3Add(at, CityUpAt(at));
  for (int i = 0; i < kRingCount; ++i) {
    if (!mRings[i]) continue;
    const float s = t * radii[i];
    mShapes[i]->SetScale(Vector3{s, s, s});
    mRings[i]->SetPosition(above);
    mRings[i]->SetOrientation(aligned);
  }
}

void cCityRingPulse::SetColour(int i, const Vector3& colour) {
  if (i >= 0 && i < kRingCount && mRings[i]) mRings[i]->SetColour(colour);
}

float cCityRingPulse::GetScale(int i) const {
  return i >= 0 && i < kRingCount && mShapes[i] ? mShapes[i]->GetScale().x : 0.0f;
}
