#include "modes/creature/cCreatureModeCreature.h"

#include <cfloat>

#include "math/Math.h"
#include "modes/creature/CreatureCommon.h"
#include "modes/creature/CreatureController.h"
#include "modes/creature/CreatureModeObjectManager.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

cCreatureModeCreature::cCreatureModeCreature() = default;

cCreatureModeCreature::~cCreatureModeCreature() {
  if (mController) mController->Deactivate();
  if (mNearestOther) mNearestOther->Release();
}

void cCreatureModeCreature::SetId(uint32_t id) {
  if (mCommon) mCommon->SetId(id);
}

cSceneObject* cCreatureModeCreature::GetSceneObject() const { return mCommon ? mCommon->GetSceneObject() : nullptr; }

void cCreatureModeCreature::SetPosition(const Vector3& position) {
  if (mCommon) mCommon->SetObjectPosition(position);
}
Vector3 cCreatureModeCreature::GetPosition() { return mCommon ? mCommon->GetObjectPosition() : Vector3{0, 0, 0}; }
void cCreatureModeCreature::SetOrientation(const Quaternion& orientation) {
  if (mCommon) mCommon->SetObjectOrientation(orientation);
}
Quaternion cCreatureModeCreature::GetOrientation() { return mCommon ? mCommon->GetObjectOrientation() : QuatIdentity(); }

void cCreatureModeCreature::SetController(cICreatureController* controller) {
  if (controller == mController.get()) return;
  if (mController) mController->Deactivate();
  mController.reset(controller);
  if (mController) mController->SetupCamera();
}

int cCreatureModeCreature::GetSpecies() const { return mCommon ? mCommon->GetSpecies() : 0; }

void cCreatureModeCreature::SetLoyalty(float loyalty) { mLoyalty = ClampFloat(loyalty, 0.0f, 100.0f); }

cCreatureModeCreature* cCreatureModeCreature::FindNearestOtherSpecies() {
  cCreatureModeCreature* nearest = nullptr;
  if (cCreatureModeObjectManager* manager = cCreatureModeObjectManager::GetInstance()) {
    const Vector3 here = GetPosition();
    float best = FLT_MAX;
    for (cCreatureModeCreature* other : manager->GetCreatures()) {
      if (other == this || other->GetSpecies() == GetSpecies()) continue;
      const float d = Vector3LengthSquared(Vector3Sub(other->GetPosition(), here));
      if (d < best) best = d, nearest = other;  // the first of equals wins: list order decides
    }
  }
  KeepOpponent(nearest);
  return mNearestOther;
}

void cCreatureModeCreature::KeepOpponent(cCreatureModeCreature* opponent) {
  if (opponent == mNearestOther) return;
  if (opponent) opponent->AddRef();
  if (mNearestOther) mNearestOther->Release();
  mNearestOther = opponent;
}
