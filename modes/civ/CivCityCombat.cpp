// The city's turrets, and its side as a bullet target. Hits, capture and
// embassies are not built yet: those operations do nothing.
#include <algorithm>

#include "modes/civ/CivAgent.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivLists.h"
#include "modes/civ/CivTuning.h"
#include "sim/gamedata/DataManager.h"
#include "modes/civ/CivTurret.h"
#include "modes/civ/CivVehicle.h"

// At the patrol point of its slot (the lowest free of eight), evenly round the city.
void cCivModeDecoratedCity::AddTurret() {
  int limit = std::min<int>(cCivTuning::GetGeneral()->MaxTurretsPerCity, kCivTurretEntries);
  if ((int)mTurrets.size() >= limit || mPatrolPath.empty()) return;
  int slot = 0;
  auto taken = [&](int s) {
    return std::any_of(mTurrets.begin(), mTurrets.end(), [&](cCivModeTurret* t) { return t->GetSlot() == s; });
  };
  while (taken(slot)) ++slot;
  size_t index = mPatrolPath.size() * (size_t)slot / (size_t)kCivTurretEntries;
  auto* turret = GetDataManager()->CreateObject<cCivModeTurret>();
  if (!turret) return;
  turret->AddRef();
  turret->Init(mOwner, mPatrolPath[index], slot, this);
  mTurrets.push_back(turret);
  RefreshLayout();
}

int cCivModeDecoratedCity::RemoveTurrets() { return RemoveAllFromGame(mTurrets); }

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
