#include "modes/city/behaviours/CityBehaviorMechanics.h"

#include <vector>

#include "math/Math.h"
#include "modes/city/behaviours/CityBehaviors.h"
#include "modes/city/citizens/CityCreatures.h"
#include "modes/city/economy/CityBuildingKinds.h"
#include "modes/city/economy/CityBundleContainers.h"
#include "modes/city/economy/CityGameRoad.h"
#include "modes/city/objects/CityGameCity.h"
#include "modes/city/objects/CityObjectRegistry.h"
#include "modes/city/objects/CityNearest.h"
#include "modes/creature/CreatureCommon.h"
#include "platform/Sys.h"
#include "sim/behavior/BehaviorController.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

namespace {
constexpr float kSearchReach = 10000.0f;
}  // namespace

void WalkTowards(cCityGameCreature* creature, const Vector3& goal, float speedFactor) {
  if (cCreatureCommon* record = creature->GetCommon()) record->SetPosition(goal);
  creature->MoveTowardGoal(GetBehaviorController().GetLastUpdateTime(), speedFactor);
}

cCityGameWorldObject* FindDeliveryDestination(cCityGameBuilding* building, cCityGameCreature* creature) {
  cCityGameBundle* carried = creature ? creature->GetCarried() : nullptr;
  if (!creature || !carried) return nullptr;
  const uint32_t kind = carried->GetKind();
  const Vector3 from = creature->GetPosition();
  auto* citizen = dynamic_cast<cCityGamePlayerCreature*>(creature);
  if (building) {
    // A producer sends its product along one of its roads to a building that
    // takes it: food to the last silo in road order, else a random road.
    if (citizen) citizen->SetDestinationBuilding(kNoCityId);
    std::vector<cCityGameRoad*> roads, candidates;
    building->GetRoads(roads);
    for (cCityGameRoad* road : roads) {
      cCityGameBuilding* other = road->GetOtherEnd(building);
      if (other && other->AcceptsBundleKind(kind)) candidates.push_back(road);
    }
    cCityGameRoad* chosen = nullptr;
    if (kind == kCityFood)
      for (cCityGameRoad* road : candidates)
        if (auto* silo = dynamic_cast<cCityGameBuildingSilo*>(road->GetOtherEnd(building)))
          if (DistanceBetween(silo->GetPosition(), from) < 9999.0f) chosen = road;
    if (!chosen && !candidates.empty()) chosen = candidates[(size_t)Sys_Random() % candidates.size()];
    if (chosen) {
      if (citizen) citizen->SetDestinationBuilding(chosen->GetOtherEnd(building)->GetId());
      return chosen;
    }
  }
  if (kind == kCityFood) {
    if (auto* silo = FindNearestCityObject<cCityGameBuildingSilo>(from, kSearchReach, [](cCityGameBuildingSilo* s) { return s->GetCapacity() != 0; }))
      return silo->GetContainer(kCityFood);
  }
  if (auto* taker = FindNearestCityObject<cCityGameBuilding>(from, kSearchReach, [kind](cCityGameBuilding* b) { return b->AcceptsBundleKind(kind); }))
    return taker->GetContainer(kind);
  if (kind == kCityFood) {
    auto* city = dynamic_cast<cCityGameCity*>(creature->GetOwner());
    return city ? city->GetContainer(kCityFood) : nullptr;
  }
  // Goods nobody takes are sold to the nearest tribe once the creature is idle.
  creature->SetPendingInteraction(GetCityBehavior<cCityGameBehaviorSellBundle>()->Create());
  return nullptr;
}

int PickUpBundle(cCityGameCreature* creature, cCityGameBundle* bundle) {
  if (!creature || !bundle) return kCityStepFailed;
  if (creature->GetCarried() == bundle) return kCityStepDone;
  auto* store = dynamic_cast<cCityGameCityBundleContainer*>(bundle->GetOwner());
  if (!store || !bundle->GetSceneObject()) return kCityStepFailed;
  WalkTowards(creature, bundle->GetSceneObject()->GetPosition());
  if (!(creature->GetCommon() && creature->GetCommon()->GetDistanceToTarget() < 1.0f)) return kCityStepGoOn;
  store->RemoveBundle(bundle);
  // A creature that cannot take it (it carries another) leaves it in the store.
  if (!creature->AttachCarried(bundle)) {
    store->AddBundle(bundle);
    return kCityStepFailed;
  }
  return kCityStepDone;
}

int TakeBundleFromStore(cCityGameCreature* creature, cCityGameBundleContainer* store) {
  if (!creature || !store) return kCityStepFailed;
  if (creature->GetCarried()) return kCityStepDone;
  WalkTowards(creature, store->GetPosition());
  if (!(creature->GetCommon() && creature->GetCommon()->GetDistanceToTarget() < store->GetPileMaxDistance()))
    return kCityStepGoOn;
  cCityGameBundle* bundle = store->TakeBundle(nullptr);
  if (!bundle) return kCityStepFailed;
  creature->AttachCarried(bundle);
  return kCityStepDone;
}

int CarryToStore(cCityGameCreature* creature, cCityGameBundleContainer* store, float speedFactor) {
  if (!creature || !store) return kCityStepFailed;
  WalkTowards(creature, store->GetPosition(), speedFactor);
  if (DistanceBetween(creature->GetPosition(), store->GetPosition()) > store->GetPileMaxDistance() + 1.0f)
    return kCityStepGoOn;
  if (cCityGameBundle* bundle = creature->TakeCarried()) {
    store->DepositBundle(bundle);
    delete bundle;  // the store has counted it
  }
  return kCityStepDone;
}

cCityGameTribe* FindNearestTribe(cCityGameCreature* creature) {
  if (!creature) return nullptr;
  return FindNearestCityObject<cCityGameTribe>(creature->GetPosition(), kSearchReach, [](cCityGameTribe* t) { return t->GetMemberCount() > 0; });
}
