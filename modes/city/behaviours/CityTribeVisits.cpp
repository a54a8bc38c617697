// Tribe members' visits to the city (trading at a market, a pilgrimage to a
// temple that may make a citizen of the pilgrim) and any creature leaving
// the city for good.
#include <vector>

#include "math/Math.h"
#include "math/Random.h"
#include "modes/city/behaviours/CityBehaviorMechanics.h"
#include "modes/city/behaviours/CityBehaviors.h"
#include "modes/city/citizens/CityCreatures.h"
#include "modes/city/data/CityTuning.h"
#include "modes/city/economy/CityBuildingKinds.h"
#include "modes/city/economy/CityBundleContainers.h"
#include "modes/city/objects/CityCreation.h"
#include "modes/city/objects/CityGameCity.h"
#include "modes/city/objects/CityObjectRegistry.h"
#include "modes/city/objects/CityNearest.h"
#include "modes/creature/CreatureCommon.h"
#include "sim/behavior/BehaviorController.h"
#include "world/planet/PlanetModel.h"

using namespace Ru::Math;

namespace {
constexpr float kHomeReach = 5.0f;
constexpr float kPilgrimReach = 15.0f;
constexpr float kLeftTheCity = 5.0f;
}  // namespace

uint32_t cCityGameBehaviorNPCTrade::Step() {
  auto* member = dynamic_cast<cCityGameTribeCreature*>(GetAgent());
  cCityGameTribe* tribe = member ? member->GetTribe() : nullptr;
  if (!member || !tribe) return 0;
  if (cCityGameBundle* bought = member->GetCarried()) {
    if (DistanceBetween(member->GetPosition(), tribe->GetPosition()) > kHomeReach) {
      WalkTowards(member, tribe->GetPosition());
      return 1;
    }
    if (bought->GetKind() == kCityFood && tribe->GetFoodContainer()) tribe->GetFoodContainer()->DepositBundle(bought);
    delete member->TakeCarried();
    return 0;
  }
  auto* market = dynamic_cast<cCityGameBuildingMarket*>(GetCityObjectRegistry().Find(mMarketId));
  if (!market) market = FindNearestCityObject<cCityGameBuildingMarket>(member->GetPosition());
  if (!market) return 0;
  mMarketId = market->GetId();
  if (DistanceBetween(member->GetPosition(), market->GetPosition()) > market->GetRadius()) {
    WalkTowards(member, market->GetPosition());
    return 1;
  }
  // The tribe pays the city what the food sells for, and takes it home.
  auto* bundle = new cCityGameBundle;
  bundle->Initialize(nullptr, kCityFood, GetCityGameTuning().foodBundleAmount);
  if (!member->AttachCarried(bundle)) {
    delete bundle;
    return 0;
  }
  if (auto* city = dynamic_cast<cCityGameCity*>(member->GetOwner())) city->AddMoney(bundle->GetSellValue());
  return 1;
}

void cCityGameBehaviorNPCPilgrimage::Start() {
  cCityGameInteraction::Start();
  mStopwatch = cGameStopwatch();
  auto* member = dynamic_cast<cCityGameTribeCreature*>(GetAgent());
  cCityGameBuildingTemple* temple = member ? FindNearestCityObject<cCityGameBuildingTemple>(member->GetPosition()) : nullptr;
  mTempleId = temple ? temple->GetId() : kNoCityId;
}

uint32_t cCityGameBehaviorNPCPilgrimage::Step() {
  auto* member = dynamic_cast<cCityGameTribeCreature*>(GetAgent());
  cCreatureCommon* record = member ? member->GetCommon() : nullptr;
  if (!record || mState == kConverted) return 0;
  auto* tribe = dynamic_cast<cCityGameTribe*>(TargetOfWord(GetTarget()));
  if (!tribe) tribe = member->GetTribe();
  auto* temple = dynamic_cast<cCityGameBuildingTemple*>(GetCityObjectRegistry().Find(mTempleId));
  auto* city = dynamic_cast<cCityGameWorldObject*>(member->GetOwner());
  if (mState == kGoing) {
    if (temple) record->SetPosition(temple->GetPosition());
    else if (city) record->SetPosition(city->GetPosition());
  } else if (tribe) {
    record->SetPosition(tribe->GetPosition());
  }
  if (record->GetDistanceToTarget() < kPilgrimReach) {
    record->SetPosition(member->GetPosition());  // there: it stops
    if (mState == kGoing) {
      mStopwatch.Start();
      if ((float)mStopwatch.GetElapsed() >= GetCityGameTuning().tribePilgrimageTime) {
        if (RandomFloat(0.0f, 1.0f) <= GetCityGameTuning().tribePilgrimageConversionChance) {
          mState = kConverted;
          return 0;
        }
        mStopwatch.Stop();
        mState = kGoingHome;
      }
    }
  }
  if (!mStopwatch.IsRunning()) member->MoveTowardGoal(GetBehaviorController().GetLastUpdateTime(), 1.0f);
  return 1;
}

void cCityGameBehaviorNPCPilgrimage::End() {
  cCityGameInteraction::End();
  auto* member = dynamic_cast<cCityGameTribeCreature*>(GetAgent());
  auto* tribe = dynamic_cast<cCityGameTribe*>(TargetOfWord(GetTarget()));
  if (mState != kConverted || !member || !tribe || GetCityObjectRegistry().IsQueued(member)) return;
  member->BecomeCitizenOf(tribe->GetOwner());
}

uint32_t cCityGameBehaviorLeaveCity::Step() {
  auto* creature = dynamic_cast<cCityGameCreature*>(GetAgent());
  auto* city = creature ? dynamic_cast<cCityGameWorldObject*>(creature->GetOwner()) : nullptr;
  cCreatureCommon* record = creature ? creature->GetCommon() : nullptr;
  if (!record) return 0;
  if (!mGoalSet && city) {
    Vector3 away{0.0f, 1.0f, 0.0f}, goal;
    Vector3NormalizeSafe(Vector3Sub(creature->GetPosition(), city->GetPosition()), away);
    GetPlanetModel().ProjectToSurface(goal, Vector3Add(city->GetPosition(), Vector3Scale(away, kLeaveDistance)));
    record->SetPosition(goal);
    mGoalSet = true;
  }
  creature->MoveTowardGoal(GetBehaviorController().GetLastUpdateTime(), 1.0f);
  return record->GetDistanceToTarget() >= kLeftTheCity ? 1 : 0;
}

void cCityGameBehaviorLeaveCity::End() {
  cCityGameInteraction::End();
  auto* creature = dynamic_cast<cCityGameCreature*>(GetAgent());
  if (!creature || GetCityObjectRegistry().IsQueued(creature)) return;
  if (auto* citizen = dynamic_cast<cCityGamePlayerCreature*>(creature); citizen && citizen->HasHome()) {
    if (auto* house = dynamic_cast<cCityGameBuildingHouse*>(GetCityObjectRegistry().Find(citizen->GetHomeId())))
      house->FreeRoom();
    citizen->ClearHome();
  }
  GetCityObjectRegistry().QueueRemoval(creature);
}
