// Citizens' errands with bundles and tribes: eating, saving, delivering,
// gathering fruit, selling to a tribe, buying, gifts, raids and attacks.
#include <vector>

#include "glf/Sound.h"
#include "math/Math.h"
#include "modes/city/behaviours/CityBehaviorMechanics.h"
#include "modes/city/behaviours/CityBehaviors.h"
#include "modes/city/citizens/CityCreatures.h"
#include "modes/city/data/CityTuning.h"
#include "modes/city/economy/CityBundleContainers.h"
#include "modes/city/objects/CityGameCity.h"
#include "modes/city/objects/CityObjectRegistry.h"
#include "modes/city/objects/CityScene.h"
#include "modes/creature/CreatureCommon.h"
#include "sim/behavior/BehaviorController.h"
#include "world/planet/GamePlant.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

namespace {
constexpr float kTribeReach = 3.0f;  // at a tribe, a tree, a buyer
constexpr float kEatReach = 2.0f;
constexpr float kHallStoreReach = 6.0f;
constexpr float kBackAtCity = 5.0f;
constexpr float kGiftPrice = 2.0f;


cCityGameCreature* CreatureOf(cIInteraction* interaction) {
  return dynamic_cast<cCityGameCreature*>(interaction->GetAgent());
}

template <class T>
T* TargetAs(cIInteraction* interaction) {
  return dynamic_cast<T*>(TargetOfWord(interaction->GetTarget()));
}

float Remaining(cCityGameCreature* creature) {
  return creature->GetCommon() ? creature->GetCommon()->GetDistanceToTarget() : 0.0f;
}

cCityGameCity* CityOf(cCityGameCreature* creature) { return dynamic_cast<cCityGameCity*>(creature->GetOwner()); }

cCityGameBundleContainer* CityFoodStore(cCityGameCreature* creature) {
  cCityGameCity* city = CityOf(creature);
  return city ? city->GetContainer(kCityFood) : nullptr;
}

// The store a carried bundle goes to; the city's food store when none takes it.
cCityGameBundleContainer* StoreForCarried(cCityGameCreature* creature) {
  if (auto* store = dynamic_cast<cCityGameBundleContainer*>(FindDeliveryDestination(nullptr, creature))) return store;
  return CityFoodStore(creature);
}

void RaiseRelationship(cCityGameTribe* tribe, float by) { tribe->AddToRelationship(tribe->GetOwner(), by); }

// The bundle an eater or saver goes for: the target bundle, or the global
// store's bundle nearest the creature.
cCityGameBundle* BundleFor(cIInteraction* interaction, cCityGameCreature* creature) {
  if (auto* bundle = TargetAs<cCityGameBundle>(interaction)) return bundle;
  if (auto* store = TargetAs<cCityGameCityBundleContainer>(interaction)) {
    const Vector3 at = creature->GetPosition();
    return store->FindNearestBundle(at.x, at.y, at.z);
  }
  return nullptr;
}

cCityGameWorldObject* OriginOf(cCityGameBundle* bundle) {
  return bundle ? GetCityObjectRegistry().FindCityWorldObject(bundle->GetSourceId()) : nullptr;
}

bool MotivesHold(cCityGameCreature* creature) {
  return !(creature->GetMotive(creature->LowestMotiveIndex()) < GetCityGameMotiveTuning().lowMotive);
}

class cGatherNearestTreeFilter : public cPlanetModel::cINearestPlantFilter {
 public:
  // A hidden plant is not offered to creatures, even when it bears fruit.
  bool Accept(cGamePlant* plant) override { return plant->GetFruitCount() > 0 && !plant->IsHidden(); }
};
}  // namespace

// ---- eating, saving, delivering ----

uint32_t cCityGameBehaviorEatBundle::Step() {
  cCityGameCreature* creature = CreatureOf(this);
  cCityGameBundle* bundle = creature ? BundleFor(this, creature) : nullptr;
  if (!bundle || !bundle->GetSceneObject()) return 0;
  WalkTowards(creature, bundle->GetSceneObject()->GetPosition());
  if (!(Remaining(creature) < kEatReach)) return 1;
  creature->SetMotive(0, GetCityGameMotiveTuning().maxMotive);
  bundle->SetAmount(bundle->GetAmount() - 1.0f);
  auto* store = dynamic_cast<cCityGameCityBundleContainer*>(bundle->GetOwner());
  if (bundle->GetAmount() <= 0.0f && store) {
    // This errand ends by itself and must not look at the bundle again when
    // it does; the others walking to it are ended with it.
    bundle->RemoveUser(this);
    if (TargetOfWord(GetTarget()) == bundle) SetTarget(0);
    delete store->RemoveBundle(bundle);
  }
  return 0;
}

uint32_t cCityGameBehaviorEatFromCityHall::Step() {
  cCityGameCreature* creature = CreatureOf(this);
  auto* city = TargetAs<cCityGameCity>(this);
  cCityGameBundleContainer* store = city ? city->GetContainer(kCityFood) : nullptr;
  if (!creature || !store) return 0;
  WalkTowards(creature, store->GetPosition());
  if (!(Remaining(creature) < kHallStoreReach)) return 1;
  if (store->HasAmount(1.0f)) {
    creature->SetMotive(0, GetCityGameMotiveTuning().maxMotive);
    store->AddAmount(-1.0f);
  }
  return 0;
}

uint32_t cCityGameBehaviorSaveBundle::Step() {
  auto* citizen = dynamic_cast<cCityGamePlayerCreature*>(CreatureOf(this));
  cCityGameBundle* bundle = citizen ? (citizen->GetCarried() ? citizen->GetCarried() : BundleFor(this, citizen)) : nullptr;
  const int result = PickUpBundle(citizen, bundle);
  if (result == kCityStepGoOn) return 1;
  if (result == kCityStepDone)
    if (cCityGameWorldObject* next = FindDeliveryDestination(nullptr, citizen)) citizen->SetPendingTarget(next);
  return 0;
}

uint32_t cCityGameBehaviorDeliverBundle::Step() {
  cCityGameCreature* creature = CreatureOf(this);
  auto* store = TargetAs<cCityGameBundleContainer>(this);
  if (!creature || !store) return 0;
  WalkTowards(creature, store->GetPosition());
  if (Remaining(creature) >= store->GetPileMaxDistance()) return 1;
  if (cCityGameBundle* bundle = creature->GetCarried()) {
    store->DepositBundle(bundle);
    if (cCityGameWorldObject* origin = OriginOf(bundle)) creature->SetPendingTarget(origin);
    delete creature->TakeCarried();
  }
  return 0;
}

// ---- carrying errands ----

void cCityCarryingErrand::End() {
  cCityGameInteraction::End();
  if (cCityGameCreature* creature = CreatureOf(this)) creature->DropCarried();
}

cCityGameBundleContainer* cCityCarryingErrand::GetDestination() const {
  return dynamic_cast<cCityGameBundleContainer*>(GetCityObjectRegistry().Find(mDestinationId));
}

void cCityCarryingErrand::SetDestination(cCityGameBundleContainer* store) {
  mDestinationId = store ? store->GetId() : kNoCityId;
}

void cCityCreatureGatherInteraction::Start() {
  cCityCarryingErrand::Start();
  mStopwatch = cGameStopwatch();
  GetSharedSound(kPickSound);  // one sound for every gatherer: loading it per errand would leak voices
}

uint32_t cCityCreatureGatherInteraction::Step() {
  auto* citizen = dynamic_cast<cCityGamePlayerCreature*>(CreatureOf(this));
  auto* plant = TargetAs<cGamePlant>(this);
  if (!citizen || !plant) return 0;
  const cCityGameTuning& tuning = GetCityGameTuning();
  if (mState == 0) {
    const int fruit = plant->GetFruitCount();
    if (fruit > 0 && DistanceBetween(citizen->GetPosition(), plant->GetPosition()) <= kTribeReach) {
      mStopwatch.Restart();
      mState = 1;
      return 1;
    }
    if (fruit <= 0) {
      cGatherNearestTreeFilter filter;
      if (cGamePlant* other = GetPlanetModel().FindNearestPlant(citizen->GetPosition(), &filter)) {
        SetTarget(TargetWordOf(other));
        return 1;
      }
      SetDestination(CityFoodStore(citizen));
      return 1;  // nothing to pick anywhere: it waits and looks again
    }
    WalkTowards(citizen, plant->GetPosition());
    return 1;
  }
  if (plant->GetFruitCount() <= 0) {
    if (!GetDestination()) SetDestination(CityFoodStore(citizen));
  } else if ((float)mStopwatch.GetElapsed() < tuning.gatherTimePerBundle) {
    return 1;
  } else if (!citizen->GetCarried()) {
    const float food = plant->GetFoodValue();
    plant->SetFoodValue(food - food * (tuning.gatherFruitPerBundle / (float)plant->GetFruitCount()));
    auto* bundle = new cCityGameBundle;
    bundle->Initialize(nullptr, kCityFood, tuning.foodBundleAmount);
    GetSharedSound(kPickSound).Play();
    citizen->AttachCarried(bundle);
    SetDestination(StoreForCarried(citizen));
  }
  return CarryToStore(citizen, GetDestination()) == kCityStepGoOn ? 1 : 0;
}

uint32_t cCityGameBehaviorBuyFood::Step() {
  auto* citizen = dynamic_cast<cCityGamePlayerCreature*>(CreatureOf(this));
  auto* tribe = TargetAs<cCityGameTribe>(this);
  cCityGameCity* city = citizen ? CityOf(citizen) : nullptr;
  if (!citizen || !tribe || !city) return 0;
  if (mState == 0) {
    if (DistanceBetween(citizen->GetPosition(), tribe->GetPosition()) > kTribeReach) {
      WalkTowards(citizen, tribe->GetPosition());
      return 1;
    }
    const float cost = GetCityGameTuning().buyFoodAtTribeCost;
    cCityGameBundleContainer* theirs = tribe->GetFoodContainer();
    if (city->GetMoney() >= cost && theirs)
      if (cCityGameBundle* bundle = theirs->TakeBundle(nullptr)) {
        city->AddMoney(-cost);
        citizen->AttachCarried(bundle);
        SetDestination(dynamic_cast<cCityGameBundleContainer*>(FindDeliveryDestination(nullptr, citizen)));
      }
    if (!GetDestination()) SetDestination(CityFoodStore(citizen));
    mState = 1;
    return 1;
  }
  return CarryToStore(citizen, GetDestination()) == kCityStepGoOn ? 1 : 0;
}

namespace {
// Raiders and attackers take a bundle from the tribe's store and head home
// with it; without one they head for the city's food store empty-handed.
// Answers whether a bundle was taken.
bool TakeFromTribe(cCityGameCreature* citizen, cCityGameTribe* tribe, cCityGameBundleContainer*& destination) {
  cCityGameBundleContainer* theirs = tribe->GetFoodContainer();
  cCityGameBundle* bundle = theirs ? theirs->TakeBundle(nullptr) : nullptr;
  if (bundle && citizen->AttachCarried(bundle)) {
    destination = StoreForCarried(citizen);
    return true;
  }
  if (bundle) theirs->DepositBundle(bundle), delete bundle;  // hands full: it stays theirs
  destination = CityFoodStore(citizen);
  return false;
}
}  // namespace

void cCityGameBehaviorRaidTribe::Start() {
  cCityCarryingErrand::Start();
  GetSharedSound(kHorn).Play();
  if (auto* tribe = TargetAs<cCityGameTribe>(this)) RaiseRelationship(tribe, GetCityGameTuning().raidRelationshipEffect);
}

uint32_t cCityGameBehaviorRaidTribe::Step() {
  auto* citizen = dynamic_cast<cCityGamePlayerCreature*>(CreatureOf(this));
  auto* tribe = TargetAs<cCityGameTribe>(this);
  if (!citizen || !tribe || !MotivesHold(citizen)) return 0;
  const float speed = GetCityGameTuning().raidInteractionSpeedMultiplier;
  if (mState == 0) {
    if (DistanceBetween(citizen->GetPosition(), tribe->GetPosition()) > kTribeReach) {
      WalkTowards(citizen, tribe->GetPosition(), speed);
      return 1;
    }
    cCityGameBundleContainer* destination = nullptr;
    TakeFromTribe(citizen, tribe, destination);
    SetDestination(destination);
    mState = 1;
    return 1;
  }
  return CarryToStore(citizen, GetDestination(), speed) == kCityStepGoOn ? 1 : 0;
}

void cCityGameBehaviorAttackTribe::Start() {
  cCityCarryingErrand::Start();
  if (auto* tribe = TargetAs<cCityGameTribe>(this)) RaiseRelationship(tribe, GetCityGameTuning().raidRelationshipEffect);
}

uint32_t cCityGameBehaviorAttackTribe::Step() {
  auto* citizen = dynamic_cast<cCityGamePlayerCreature*>(CreatureOf(this));
  auto* tribe = TargetAs<cCityGameTribe>(this);
  if (!citizen || !tribe) return 0;
  if (mState == 0) {
    if (DistanceBetween(citizen->GetPosition(), tribe->GetPosition()) > kTribeReach) {
      WalkTowards(citizen, tribe->GetPosition());
      return 1;
    }
    cCityGameBundleContainer* destination = nullptr;
    if (!TakeFromTribe(citizen, tribe, destination)) {
      // Nothing left to take: one of its members falls, and the last one's fall conquers it.
      std::vector<cCityGameTribeCreature*> members;
      GetCityObjectRegistry().CollectObjectsOfClass(members);
      for (cCityGameTribeCreature* member : members) {
        if (member->GetTribe() != tribe || GetCityObjectRegistry().IsQueued(member)) continue;
        tribe->RemoveMember(member);
        GetCityObjectRegistry().QueueRemoval(member);
        break;
      }
      if (tribe->GetMemberCount() == 0) tribe->Conquer();
    }
    SetDestination(destination);
    mState = 1;
    return 1;
  }
  return CarryToStore(citizen, GetDestination()) == kCityStepGoOn ? 1 : 0;
}

uint32_t cCityGameBehaviorGiftTribe::Step() {
  auto* citizen = dynamic_cast<cCityGamePlayerCreature*>(CreatureOf(this));
  auto* tribe = TargetAs<cCityGameTribe>(this);
  cCityGameCity* city = citizen ? CityOf(citizen) : nullptr;
  if (!citizen || !tribe || !city || !MotivesHold(citizen)) return 0;
  if (mState == 0) {
    if (DistanceBetween(citizen->GetPosition(), tribe->GetPosition()) > kTribeReach) {
      WalkTowards(citizen, tribe->GetPosition());
      return 1;
    }
    city->AddMoney(-kGiftPrice);  // a fixed price, paid whatever the city holds
    RaiseRelationship(tribe, GetCityGameTuning().giftRelationshipEffect);
    mState = 1;
    return 1;
  }
  if (DistanceBetween(citizen->GetPosition(), city->GetPosition()) <= kBackAtCity) return 0;
  WalkTowards(citizen, city->GetPosition());
  return 1;
}

// ---- selling ----

void cCitySellingErrand::Start() {
  cCityGameInteraction::Start();
  if (auto* target = TargetAs<nBehavior::cCityGameSellTarget>(this)) {
    if (target->sourceContainer) mSourceId = target->sourceContainer->GetId();
    if (target->buyer) mNamedBuyerId = target->buyer->GetId();
  }
}

void cCitySellingErrand::End() {
  cCityGameInteraction::End();
  if (cCityGameCreature* creature = CreatureOf(this)) creature->DropCarried();
  if (!mTargetFreed) delete TargetAs<nBehavior::cCityGameSellTarget>(this);
  mTargetFreed = true;
}

cCityGameTribe* cCitySellingErrand::GetBuyer() const {
  return dynamic_cast<cCityGameTribe*>(GetCityObjectRegistry().Find(mBuyerId));
}

bool cCitySellingErrand::ChooseBuyer(cCityGameCreature* creature) {
  cCityGameTribe* buyer = dynamic_cast<cCityGameTribe*>(GetCityObjectRegistry().Find(mNamedBuyerId));
  if (!buyer) buyer = FindNearestTribe(creature);
  mBuyerId = buyer ? buyer->GetId() : kNoCityId;
  return buyer != nullptr;
}

uint32_t cCitySellingErrand::AfterTaking(int result, cCityGameCreature* creature) {
  if (result == kCityStepGoOn) return 1;
  if (result == kCityStepFailed) return 0;
  return ChooseBuyer(creature) ? 1 : 0;
}

uint32_t cCitySellingErrand::SellTo(cCityGameCreature* creature, bool chainOrigin) {
  cCityGameTribe* buyer = GetBuyer();
  cCityGameBundle* bundle = creature->GetCarried();
  if (!buyer || !bundle) return 0;
  WalkTowards(creature, buyer->GetPosition());
  if (!(Remaining(creature) < kTribeReach)) return 1;
  if (cCityGameCity* city = CityOf(creature)) city->AddMoney(bundle->GetSellValue());
  if (chainOrigin)
    if (cCityGameWorldObject* origin = OriginOf(bundle)) creature->SetPendingTarget(origin);
  if (bundle->GetKind() == kCityFood && buyer->GetFoodContainer()) buyer->GetFoodContainer()->DepositBundle(bundle);
  delete creature->TakeCarried();
  RaiseRelationship(buyer, GetCityGameTuning().tradeRelationshipEffect);
  return 0;
}

uint32_t cCityGameBehaviorSellBundle::Step() {
  cCityGameCreature* creature = CreatureOf(this);
  if (!creature) return 0;
  if (mBuyerId == kNoCityId) {
    cCityGameBundle* bundle = creature->GetCarried();
    auto* target = TargetAs<nBehavior::cCityGameSellTarget>(this);
    if (!bundle && target && target->cityContainer) {
      const Vector3 at = creature->GetPosition();
      bundle = target->cityContainer->FindNearestBundle(at.x, at.y, at.z);
    }
    if (!bundle) return 0;
    return AfterTaking(PickUpBundle(creature, bundle), creature);
  }
  return SellTo(creature, true);
}

uint32_t cCityGameBehaviorSellFromContainer::Step() {
  cCityGameCreature* creature = CreatureOf(this);
  auto* source = dynamic_cast<cCityGameBundleContainer*>(GetCityObjectRegistry().Find(mSourceId));
  if (!creature) return 0;
  if (mBuyerId == kNoCityId) {
    if (!source) return 0;
    return AfterTaking(TakeBundleFromStore(creature, source), creature);
  }
  return SellTo(creature, false);
}
