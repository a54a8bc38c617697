// What a citizen does next when nobody tells it: the fixed order of its
// frame's decision, the choice of a building and the idle walk by the hall.
#include <cmath>
#include <vector>

#include "math/Math.h"
#include "modes/city/behaviours/CityBehaviors.h"
#include "modes/city/citizens/CityCreatures.h"
#include "modes/city/data/CityTuning.h"
#include "modes/city/economy/CityBuildingKinds.h"
#include "modes/city/groups/CityGroups.h"
#include "modes/city/objects/CityGameCity.h"
#include "modes/city/objects/CityObjectRegistry.h"
#include "modes/creature/CreatureCommon.h"
#include "platform/Sys.h"
#include "sim/behavior/Interaction.h"
#include "world/planet/PlanetModel.h"

using namespace Ru::Math;

namespace {
constexpr float kDegreesToRadians = 0.017453292f;
constexpr uint32_t kSlowDownMs = 1000;

// True once a check period has passed; the stopwatch then starts again.
bool PeriodDue(cGameStopwatch& watch, float periodMs) {
  if (watch.GetElapsed() <= (uint32_t)(int32_t)periodMs) return false;
  watch.Restart();
  return true;
}
}  // namespace

bool cCityGamePlayerCreature::CheckFight(uint32_t) {
  return PeriodDue(mFightCheckTimer, GetCityGameTuning().fightCheckFrequency) && TryStartFight(this);
}
bool cCityGamePlayerCreature::CheckSing(uint32_t) {
  return PeriodDue(mSingCheckTimer, GetCityGameTuning().singCheckFrequency) && TryStartSing(this);
}
bool cCityGamePlayerCreature::CheckJoinGroup(uint32_t) {
  return PeriodDue(mGroupCheckTimer, GetCityGameTuning().groupJoinCheckFrequency) && TryJoinNearbyGroup(this);
}

cCityGameWorldObject* cCityGamePlayerCreature::ChooseTarget() {
  auto* city = dynamic_cast<cCityGameCity*>(GetOwner());
  const float low = GetCityGameMotiveTuning().lowMotive;
  if (city && city->GetProtestGroup()) {
    const bool starving = mMotive[0] <= low && GetCityFood() <= 5.0f &&
                          GetCityObjectRegistry().CountObjectsOfClass<cCityGameBuildingFarm>() == 0;
    if (starving || (mMotive[1] <= low && !mHasHome)) return city->GetProtestGroup();
  }
  std::vector<cCityGameWorldObject*> objects;  // in id order
  GetCityObjectRegistry().CollectObjectsOfClass(objects);
  cCityGameWorldObject* best = nullptr;
  float bestScore = 0.0f;
  for (cCityGameWorldObject* object : objects) {
    const float score = object->GetUseScore(this);
    if (score > bestScore) {  // strictly: the earlier id keeps a tie
      best = object;
      bestScore = score;
    }
  }
  return best;
}

void cCityGamePlayerCreature::FindHome() {
  auto* city = dynamic_cast<cCityGameCity*>(GetOwner());
  if (mHasHome || !city || city->GetHousingCapacity() < city->GetPopulation()) return;
  std::vector<cCityGameBuildingHouse*> houses;
  GetCityObjectRegistry().CollectObjectsOfClass(houses);
  for (cCityGameBuildingHouse* house : houses)
    if (house->TakeRoom()) return SetHome(house->GetId());
}

void cCityGamePlayerCreature::Update(uint32_t ms) {
  cCityGameCreature::Update(ms);
  if (!mOwnChoices) return;
  // Won over or gone, it leaves the game after this update: it must not
  // take a room (never given back) or start anything on its way out.
  if (GetCityObjectRegistry().IsQueued(this)) return;
  if (mLeaving && HasInteraction()) return;
  if (mSlowed && mSlowTimer.GetElapsed() > kSlowDownMs) {
    mSlowTimer = cGameStopwatch{};
    mSlowed = false;
  }
  FindHome();
  if (!mHasHome && HasInteraction() &&
      GetInteraction()->GetInteractionId() == cCityGameBehaviorSleepOnGround::kInteractionId)
    return;  // sleeps on until rested or housed
  const bool atWar = IsAtWar(dynamic_cast<cCityGameCity*>(GetOwner()));
  if (mMustered && HasInteraction() &&
      GetInteraction()->GetInteractionId() != cCityGameBehaviorWalk::kInteractionId && mStartMode != 1)
    mMustered = false;
  if (CheckJoinGroup(ms) || CheckFight(ms) || CheckSing(ms) || TryStartRaidDefense(this)) return;
  if (HasInteraction()) return;

  const cCityGameTuning& tuning = GetCityGameTuning();
  bool idle;
  if (mIdleTimer != 0) mIdleTimer = mIdleTimer > (int32_t)ms ? mIdleTimer - (int32_t)ms : 0;
  if (mIdleTimer != 0) {
    idle = true;
  } else {
    idle = mMotive[LowestMotiveIndex()] >= tuning.idleMotiveThreshold &&
           (int)(Sys_Random() % 100) < tuning.idleAtCityHallChance;
  }
  if (idle && !mCarried) {
    mPendingTargetId = kNoCityId;
    SetPendingInteraction(nullptr);
    return WalkToIdleSpot(atWar);
  }
  if (mPendingTargetId != kNoCityId) {
    cCityGameWorldObject* target = GetCityObjectRegistry().FindCityWorldObject(mPendingTargetId);
    mPendingTargetId = kNoCityId;
    if (target) {
      if (auto* interactable = dynamic_cast<cCityGameInteractableObject*>(target))
        interactable->Interact(this, mPendingInteraction, interactable, 0);
      SetPendingInteraction(nullptr);
      return;
    }
  } else if (mPendingInteraction) {
    StartWithMode(mPendingInteraction, tTargetWord{}, 0);
    SetPendingInteraction(nullptr);
    return;
  }
  if (cCityGameWorldObject* target = ChooseTarget()) {
    auto* interactable = dynamic_cast<cCityGameInteractableObject*>(target);
    if (interactable && interactable->Interact(this, nullptr, interactable, 0)) return;
  }
  WalkToIdleSpot(atWar);
}

void cCityGamePlayerCreature::WalkToIdleSpot(bool atWar) {
  const cCityGameTuning& tuning = GetCityGameTuning();
  cPlanetModel& planet = GetPlanetModel();
  Vector3 centre = GetOwner() ? static_cast<cCityGameWorldObject*>(GetOwner())->GetPosition() : mPosition;
  const float a = tuning.angleForIdleGroup * kDegreesToRadians, r = tuning.radiusFromCityHall;
  Vector3 spot = Vector3Add(centre, Vector3{std::cos(a) * r, 0.0f, std::sin(a) * r});
  Vector3 up{0.0f, 1.0f, 0.0f};
  Vector3NormalizeSafe(spot, up);
  planet.ProjectToSurface(spot, up);
  if (atWar) {
    std::vector<cCityGameBuildingMilitary*> military;
    GetCityObjectRegistry().CollectObjectsOfClass(military);
    cCityGameBuildingMilitary* nearest = nullptr;
    float nearestDistance = 0.0f;
    for (cCityGameBuildingMilitary* m : military) {
      const float d = Vector3Length(Vector3Sub(m->GetPosition(), mPosition));
      if (!nearest || d < nearestDistance) nearest = m, nearestDistance = d;
    }
    if (nearest && nearestDistance < (float)tuning.idleAtCityHallMaxDistance) mMustered = true;
  }
  Vector3 goal;
  planet.GetRandomSurfacePointNear(goal, spot, (float)tuning.idleAtCityHallMinDistance,
                                   (float)tuning.idleAtCityHallMaxDistance);
  if (mCommon) mCommon->SetPosition(goal);
  StartWithMode(GetCityBehavior<cCityGameBehaviorWalk>(), tTargetWord{}, 0);
  if (mIdleTimer != 0) mIdleTimer = (int32_t)tuning.idleAtCityHallDuration;
}
