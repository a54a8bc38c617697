#include "modes/city/groups/CityRaidDisaster.h"

#include <cfloat>

#include "glf/Sound.h"
#include "math/Math.h"
#include "modes/city/citizens/CityTribe.h"
#include "modes/city/economy/CityBundleContainers.h"
#include "modes/city/objects/CityGameCity.h"
#include "modes/city/objects/CityObjectRegistry.h"
#include "modes/city/objects/CityScene.h"
#include "modes/creature/CreatureCommon.h"
#include "sim/behavior/BehaviorController.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

namespace {
constexpr float kRingFactors[cCityRingPulse::kRingCount] = {4.0f, 3.6f, 3.0f, 2.0f};
constexpr float kCycleScale = 0.00066666666f;  // one ripple grows from 0 to 1 in 1.5 s
constexpr float kHomeReach = 5.0f;
constexpr float kLooseReach = 1.0f;


cCityGameTribe* FindTribe(uint32_t id) { return dynamic_cast<cCityGameTribe*>(GetCityObjectRegistry().Find(id)); }
}  // namespace

cIInteraction* cCityGameRaidDisaster::GetDefaultInteraction() {
  return GetCityBehavior<cCityGameRaidingTribeInteraction>();
}

void cCityGameRaidDisaster::Start(cCityGameCity* city, cCityGameTribe* tribe) {
  SetOwner(city);
  mTribeId = tribe ? tribe->GetId() : kNoCityId;
  GetSharedSound(kWarCry);  // loaded once for every raid, ready before the first arrival
  mSoundPlayed = false;
  mRippleStopwatch.Restart();
  mRings.Make(Vector3{1.0f, 0.0f, 0.0f});
}

void cCityGameRaidDisaster::AddRaider(cCityGameTribeCreature* raider) {
  ++mRaiderCount;
  if (raider) mRaiders.push_back(raider->GetId());
}

cCityGameTribeCreature* cCityGameRaidDisaster::GetLeadRaider() const {
  return dynamic_cast<cCityGameTribeCreature*>(GetCityObjectRegistry().Find(mLeadRaiderId));
}

void cCityGameRaidDisaster::Update(uint32_t) {
  cCityGameTribeCreature* lead = GetLeadRaider();
  if (!lead && mLeadRaiderId == kNoCityId) {
    auto* city = dynamic_cast<cCityGameWorldObject*>(mOwner.object);
    for (uint32_t id : mRaiders) {
      auto* raider = dynamic_cast<cCityGameTribeCreature*>(GetCityObjectRegistry().Find(id));
      if (raider && city && DistanceBetween(raider->GetPosition(), city->GetPosition()) <= kArrivalReach) {
        lead = raider;
        mLeadRaiderId = id;
        mRippleStopwatch.Restart();
        mLeadStopwatch.Restart();
        break;
      }
    }
  }
  if (lead) {
    if (mRippleStopwatch.GetElapsed() >= kRippleMs) {
      mRippleStopwatch.Restart();  // the rings hold their size this frame
    } else {
      const float t = mLeadStopwatch.GetElapsed() < kRingsLastMs ? (float)mRippleStopwatch.GetElapsed() * kCycleScale : 0.0f;
      mRings.Place(lead->GetPosition(), t, kRingFactors);
    }
  }
  if (mRaiderCount < 1) {
    GetCityObjectRegistry().QueueRemoval(this);
  } else if (!mSoundPlayed && mLeadRaiderId != kNoCityId) {
    GetSharedSound(kWarCry).Play();
    mSoundPlayed = true;
  }
}

void cCityGameRaidDisaster::EndUsersInteractions() {
  cCityGameWorldObject::EndUsersInteractions();  // the raiders' parts end first and drop their loot
  if (!mTribeTold)
    if (cCityGameTribe* tribe = FindTribe(mTribeId)) tribe->EndRaid();
  mTribeTold = true;
  mRings.Remove();
  mRaiders.clear();
}

// ---- a raider ----

namespace {
struct sRaidParts {
  cCityGameTribeCreature* raider = nullptr;
  cCityGameRaidDisaster* raid = nullptr;
};

sRaidParts PartsOf(cIInteraction* interaction) {
  sRaidParts parts;
  parts.raider = dynamic_cast<cCityGameTribeCreature*>(interaction->GetAgent());
  parts.raid = dynamic_cast<cCityGameRaidDisaster*>(TargetOfWord(interaction->GetTarget()));
  return parts;
}
}  // namespace

void cCityGameRaidingTribeInteraction::Start() {
  cCityGameInteraction::Start();
  mWalking = false;
  sRaidParts parts = PartsOf(this);
  if (parts.raider && parts.raid) parts.raid->AddRaider(parts.raider);
}

void cCityGameRaidingTribeInteraction::End() {
  cCityGameInteraction::End();
  sRaidParts parts = PartsOf(this);
  if (!parts.raider || !parts.raid) return;
  parts.raider->DropCarried();
  parts.raid->RemoveRaider();
}

void cCityGameRaidingTribeInteraction::LookForLoot(cCityGameTribeCreature* raider) {
  mWalking = false;
  cCreatureCommon* record = raider->GetCommon();
  const Vector3 at = raider->GetPosition();
  float best = FLT_MAX;
  bool found = false;
  Vector3 goal;
  if (cCityGameCityBundleContainer* loose = GetGlobalCityContainer(kCityFood)) {
    cCityGameBundle* bundle = loose->FindNearestBundle(at.x, at.y, at.z);
    if (bundle && bundle->GetSceneObject()) {
      const Vector3 where = bundle->GetSceneObject()->GetPosition();
      const float d = DistanceBetween(where, at);
      if (d <= kLooseReach) {
        raider->AttachCarried(loose->RemoveBundle(bundle));
        return;
      }
      found = true;
      best = d;
      goal = where;
      mArrivalRadius = kLooseReach;
    }
  }
  std::vector<cCityGameBundleContainer*> stores;  // in id order
  GetCityObjectRegistry().CollectObjectsOfClass(stores);
  for (cCityGameBundleContainer* store : stores) {
    if (dynamic_cast<cCityGameTribe*>(store->GetHolder())) continue;
    const float d = DistanceBetween(store->GetPosition(), at);
    if (found && !(d < best)) continue;
    if (store->GetPileCount() <= 0) continue;  // only piled bundles: stored ones are safe
    if (d <= store->GetPileMaxDistance() + 1.0f) {
      raider->AttachCarried(store->TakeBundle(nullptr));
      return;
    }
    found = true;
    best = d;
    goal = store->GetPosition();
    mArrivalRadius = store->GetPileMaxDistance() + 1.0f;
  }
  if (!found) return;
  mWalking = true;
  if (record) record->SetPosition(goal);
}

uint32_t cCityGameRaidingTribeInteraction::Step() {
  sRaidParts parts = PartsOf(this);
  if (!parts.raider || !parts.raid) return 0;
  cCityGameTribeCreature* raider = parts.raider;
  cCreatureCommon* record = raider->GetCommon();
  if (mWalking && record && DistanceBetween(raider->GetPosition(), record->GetPosition()) > mArrivalRadius) {
    raider->MoveTowardGoal(GetBehaviorController().GetLastUpdateTime(), 1.0f);
    return 1;
  }
  if (!raider->GetCarried()) {
    LookForLoot(raider);
    return mWalking || raider->GetCarried() ? 1 : 0;
  }
  mArrivalRadius = kHomeReach;
  cCityGameTribe* tribe = raider->GetTribe();
  if (tribe && DistanceBetween(raider->GetPosition(), tribe->GetPosition()) > kHomeReach) {
    mWalking = true;
    if (record) record->SetPosition(tribe->GetPosition());
    return 1;
  }
  cCityGameBundle* loot = raider->TakeCarried();
  if (tribe && tribe->GetFoodContainer()) tribe->GetFoodContainer()->DepositBundle(loot);
  delete loot;
  return 0;
}
