// The city's turrets and its side as a bullet target. Hits, capture and
// embassies are not built yet: those operations do nothing.
#include <algorithm>

#include "modes/civ/CivAgent.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivTurret.h"
#include "modes/civ/CivVehicle.h"

void cCivModeDecoratedCity::AddTurret() {}

void cCivModeDecoratedCity::ForgetObject(Ko::cIGameData* object) {
  if (!object || object->GetTypeId() != cCivModeVehicle::kTypeId) return;
  for (cCivModeTurret* turret : mTurrets) turret->ForgetTarget(static_cast<cCivModeVehicle*>(object));
}

const Ru::Math::Vector3* cCivModeDecoratedCity::GetVictimPosition() {
  mVictimPosition = GetPosition();
  return &mVictimPosition;
}

void cCivModeDecoratedCity::OnHit(int) {}
void cCivModeDecoratedCity::OnDiplomaticHit(cCivModeDecoratedCity*, cCivModeVehicle*) {}
void cCivModeDecoratedCity::ConsiderExpellingEmbassy(int) {}
