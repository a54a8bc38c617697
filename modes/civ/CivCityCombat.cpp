// The city's turrets, and its side as a bullet target: hits, surrender and
// capture, the end of the human's game, embassies founded and expelled.
#include <algorithm>
#include <limits>

#include "math/Vector.h"
#include "modes/civ/CivAccess.h"
#include "modes/civ/CivBuilding.h"
#include "modes/civ/CivDebugFlags.h"
#include "modes/civ/CivEventNotice.h"
#include "modes/civ/CivPlayers.h"
#include "modes/civ/CivRoad.h"
#include "modes/civ/CivSounds.h"
#include "modes/civ/CivWorld.h"
#include "platform/Sys.h"
#include "world/planet/PlanetModel.h"

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

// The centre, lifted onto the ground where the start place lies below it: a
// bullet is kept above the ground and could never reach a buried centre.
const Ru::Math::Vector3* cCivModeDecoratedCity::GetVictimPosition() {
  mVictimPosition = GetPosition();
  float ground = GetPlanetModel().GetSurfaceRadius(mVictimPosition);
  float length = Ru::Math::Vector3Length(mVictimPosition);
  if (length > 0.0f && ground > length)
    mVictimPosition = Ru::Math::Vector3Scale(mVictimPosition, ground / length);
  return &mVictimPosition;
}

using Ru::Math::Vector3;

namespace {

bool RollHit(float chance) { return gCivBulletsAlwaysHit || (float)Sys_Random() < chance * 32767.0f; }

float Relationship(int a, int b) {
  cCivPlayers* players = GetCivPlayers();
  return players ? players->GetRelationships()->Get(a, b) : 0.0f;
}

// The under-attack sounds ring once per 10 s of quiet, however long the attack
// (the quiet is the time since the last hit, modulo 2^32 across the clock's wrap).
void Alarm(cCivModeDecoratedCity* city, eCivSound sound) {
  if (!cCivTuning::GetGeneral()->UseSound || Sys_Milliseconds() - city->GetLastHitTime() <= 10000) return;
  PlayCivSound(sound);
  CivShowEventNotice(city->GetPosition());
}

// The ground 50 units outward of `p` from the city centre, where a shot lands beside it.
Vector3 OutwardAim(const Vector3& p, const Vector3& centre) {
  Vector3 out = Vector3Sub(p, centre);
  float length = Vector3Length(out);
  Vector3 aim = length > 0.0f ? Vector3Add(p, Vector3Scale(out, 50.0f / length)) : p;
  Vector3 ground;
  GetPlanetModel().ProjectToSurface(ground, aim);
  return ground;
}

}  // namespace

bool cCivCityAgent::ShouldSurrender() const {
  if (!mCity) return false;
  int count = mCity->GetBuildingCount();
  // Nothing left standing to defend: the same as wholly destroyed (0/0 before).
  float destroyed = count > 0 ? (float)(count - mCity->CountIntactBuildings()) / (float)count : 1.0f;
  int category = mCity->GetMood()->GetCategory();
  return destroyed >= cCivTuning::GetAgent()->BuildingsDestroyedBeforeSurrender[category];
}

void cCivModeDecoratedCity::OnHit(int attacker) {
  const cCivTuningVehicles* tuning = cCivTuning::GetVehicles();
  if (!mIsNPC) {
    Alarm(this, eCivSound::UnderAttack);
    if (RollHit(tuning->ChanceNPCBulletHitsPlayerCity)) {
      DestroyBuilding();
      if (CountIntactBuildings() == 0) ChangeOwner(attacker);
    }
  } else {
    float chance = attacker == GetCivHumanPlayer() ? tuning->ChancePlayerBulletHitsNPCCity : tuning->ChanceNPCBulletHitsNPCCity;
    if (RollHit(chance)) {
      mAgent->SetGoal(kCivGoalTurret, nullptr);
      DestroyBuilding();
      if (mAgent->ShouldSurrender()) ChangeOwner(attacker);
    }
  }
  mLastHitTime = Sys_Milliseconds();
}

void cCivModeDecoratedCity::OnDiplomaticHit(cCivModeDecoratedCity* source, cCivModeVehicle* vehicle) {
  if (!source) {
    mLastHitTime = Sys_Milliseconds();
    return;
  }
  int sender = source->GetOwner();
  if (FindEmbassy(sender)) return;
  const cCivTuningVehicles* tuning = cCivTuning::GetVehicles();
  float base;
  if (mIsNPC) {
    base = sender == GetCivHumanPlayer() ? tuning->ChancePlayerBulletHitsNPCCity : tuning->ChanceNPCBulletHitsNPCCity;
  } else {
    base = tuning->ChanceNPCBulletHitsPlayerCity;
    Alarm(this, eCivSound::Negotiations);
  }
  float c = base * 32767.0f;
  float rel = Relationship(mOwner, sender);
  if (rel >= 5.0f) c *= 3.0f;
  else if (rel >= 0.0f) c *= 2.0f;
  if (gCivBulletsAlwaysHit || (float)Sys_Random() < c) {
    EstablishEmbassy(source);
    // The mission ends with the vehicle; an NPC city's success is no loss to mourn aloud.
    if (vehicle)
      vehicle->SetState(kCivVehicleDying, mIsNPC ? Vector3{-1, -1, -1} : Vector3{0, 0, 0}, nullptr, nullptr,
                        kCivMissionPillage);
  }
  mLastHitTime = Sys_Milliseconds();
}

void cCivModeDecoratedCity::GetAttackTarget(const Vector3& from, Vector3& aimPoint, cICivModeVictim*& victim) {
  victim = nullptr;
  Vector3 centre = GetPosition();
  if (mBuildings.empty()) {
    aimPoint = centre;
    return;
  }
  const cPlanetModel& planet = GetPlanetModel();
  // Strictly nearer wins, so ties keep list order. A dying or dead turret is
  // about to leave the city: never a target.
  cCivModeTurret* nearestTurret = nullptr;
  float best = std::numeric_limits<float>::max();
  for (cCivModeTurret* turret : mTurrets) {
    if (turret->GetState() == kCivTurretDying || turret->GetState() == kCivTurretDead) continue;
    float d = planet.GetSurfaceDistance(from, *turret->GetVictimPosition());
    if (d < best) best = d, nearestTurret = turret;
  }
  if (nearestTurret) {
    victim = nearestTurret;
    aimPoint = OutwardAim(*nearestTurret->GetVictimPosition(), centre);
    return;
  }
  cCivModeDecoratedBuilding* nearest = nullptr;
  best = std::numeric_limits<float>::max();
  for (cCivModeDecoratedBuilding* building : mBuildings) {
    float d = planet.GetSurfaceDistance(from, *building->GetPosition());
    if (d < best) best = d, nearest = building;
  }
  aimPoint = OutwardAim(*nearest->GetPosition(), centre);
}

void cCivModeDecoratedCity::EstablishEmbassy(cCivModeDecoratedCity* source) {
  auto* embassy = static_cast<cCivModeEmbassyBuilding*>(AddBuilding(5));
  if (embassy) embassy->SetSource(source);
  if (cCivPlayers* players = GetCivPlayers()) players->GetRelationships()->EstablishEmbassy(mOwner, source->GetOwner());
  int human = GetCivHumanPlayer();
  if (mOwner == human || source->GetOwner() == human) PlayCivSound(eCivSound::EmbassyComplete);
}

void cCivModeDecoratedCity::ExpelEmbassy(cCivModeDecoratedBuilding* building) {
  if (!building || building->GetTypeId() != cCivModeEmbassyBuilding::kTypeId) return;
  if (std::find(mBuildings.begin(), mBuildings.end(), building) == mBuildings.end()) return;
  auto* embassy = static_cast<cCivModeEmbassyBuilding*>(building);
  int player = embassy->GetEmbassyOwner();
  embassy->SetState(2);
  if (cCivPlayers* players = GetCivPlayers()) players->GetRelationships()->RejectOrRemoveEmbassy(mOwner, player);
  if (FindEmbassy(player)) return;
  std::vector<cCivModeDecoratedCity*>& cities = GetCivCities();
  cCivModeDecoratedCity* theirs = player >= 0 && player < (int)cities.size() ? cities[player] : nullptr;
  if (theirs && theirs->FindEmbassy(mOwner)) return;
  if (cCivModeDecoratedCity* source = embassy->GetSource()) {
    RemoveRoadsTo(source);
    source->RemoveRoadsTo(this);
  }
}

void cCivModeDecoratedCity::ConsiderExpellingEmbassy(int player) {
  float rel = Relationship(mOwner, player);
  if (rel >= 0.0f) return;
  cCivModeEmbassyBuilding* embassy = FindEmbassy(player);
  if (!embassy) return;
  if ((float)Sys_Random() * (1.0f / 32767.0f) < -rel * cCivTuning::GetAgent()->BaseChanceNPCExpelsEmbassy)
    ExpelEmbassy(embassy);
}

void cCivModeDecoratedCity::RemoveRoadsTo(cCivModeDecoratedCity* other) {
  RemoveFromGame(mRoads, [other](cCivModeRoad* road) { return road->GetEnd() == other; });
}

void cCivModeDecoratedCity::ChangeOwner(int newOwner) {
  int human = GetCivHumanPlayer();
  int oldOwner = mOwner;
  cCivPlayers* players = GetCivPlayers();
  if (oldOwner != human && players &&
      (mAgent->GetGoal() == kCivGoalUpgradeAmphibious || mAgent->GetGoal() == kCivGoalUpgradeAeronautics)) {
    // Research half done is lost with the city that paid for it.
    cCivPlayerValues* levels = players->GetUpgradeLevels();
    int level = levels->Get(oldOwner);
    if (level == 1 || level == 3) levels->Set(oldOwner, level - 1);
  }
  auto count = [](auto pred) { return std::count_if(GetCivCities().begin(), GetCivCities().end(), pred); };
  if (newOwner == human) {
    if (count([&](cCivModeDecoratedCity* c) { return c->GetOwner() != human; }) == 1) {
      PlayCivSound(eCivSound::GameWon);
      Sys_MessageBox("Player Wins Civ Game", "Congratulations, you have won the Civ game!");
    } else {
      PlayCivSound(eCivSound::Capture);
      if (cCivTuning::GetGeneral()->UseSound) CivShowEventNotice(GetPosition());
    }
  } else if (oldOwner == human) {
    if (count([&](cCivModeDecoratedCity* c) { return c->GetOwner() == human; }) == 1) {
      PlayCivSound(eCivSound::GameLost);
      Sys_MessageBox("Player Loses Civ Game", "You have lost the Civ game!");
    } else {
      PlayCivSound(eCivSound::CityLost);
      if (cCivTuning::GetGeneral()->UseSound) CivShowEventNotice(GetPosition());
    }
  }
  SetOwner(newOwner);
  SetMoney(0.0f);
  for (size_t i = 0; i < mBuildings.size(); ++i) {
    cCivModeDecoratedBuilding* building = mBuildings[i];
    if (building->GetTypeId() == cCivModeEmbassyBuilding::kTypeId &&
        Relationship(newOwner, static_cast<cCivModeEmbassyBuilding*>(building)->GetEmbassyOwner()) < 0.0f)
      ExpelEmbassy(building);
    building->SetOwner(newOwner, this);
  }
  for (cCivModeTurret* turret : mTurrets) turret->SetOwner(newOwner);
  // The roads leave the game both ways; merely emptying the list left them live,
  // drawn and adding influence for the old owner.
  std::vector<cCivModeDecoratedCity*> far;
  for (cCivModeRoad* road : mRoads) far.push_back(road->GetEnd());
  for (cCivModeDecoratedCity* city : far)
    if (city && city != this) city->RemoveRoadsTo(this);
  RemoveAllFromGame(mRoads);
  if (cCivWorld* world = GetCivWorld()) world->KillVehiclesOfCity(this);
}
