// A city's production agent: what the city buys next, and when.
#include <algorithm>

#include "modes/civ/CivAccess.h"
#include "modes/civ/CivAgent.h"
#include "modes/civ/CivBuilding.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivPlayers.h"
#include "modes/civ/CivRoad.h"
#include "modes/civ/CivTuning.h"
#include "modes/civ/CivVehicle.h"
#include "modes/civ/CivWorld.h"
#include "platform/Sys.h"

const char* CivGoalName(int goal) {
  static const char* const kNames[] = {"Turret", "Vehicle", "New Building", "Repair Building", "Road",
                                       "Trade Route", "Wealth", "Upgrade Amphibious", "Upgrade Aeronautics"};
  return goal >= 0 && goal < (int)(sizeof kNames / sizeof kNames[0]) ? kNames[goal] : "";
}

namespace {

cCivPlayerValues* UpgradeLevels() {
  cCivPlayers* players = GetCivPlayers();
  return players ? players->GetUpgradeLevels() : nullptr;
}

// From 4 buildings up to 10 the wish grows evenly; truncating like the rest of the counts.
int Desired(int with4, int with10, int buildings) { return with4 + (with10 - with4) * std::max(0, buildings - 4) / 6; }

}  // namespace

cCivCityAgent::cCivCityAgent(cCivModeDecoratedCity* city) : mCity(city) { mStopwatch.Start(); }

// Drawn on the first update, not at construction: the data manager also
// constructs cities it never plays (its prototypes), and their draws would
// shift a seeded run.
uint32_t cCivCityAgent::GetPeriod() {
  if (mPeriod == 0) {
    int jitter = (int)((float)Sys_Random() * 1000.0f / 32767.0f);
    mPeriod = Sys_Random() < 16383 ? 3000 + jitter : 3000 - jitter;
  }
  return mPeriod;
}

void cCivCityAgent::SetGoal(int goal, cCivModeDecoratedCity* target) {
  if ((mGoal == kCivGoalUpgradeAmphibious || mGoal == kCivGoalUpgradeAeronautics) && mCity) {
    if (cCivPlayerValues* levels = UpgradeLevels()) {
      int level = levels->Get(mCity->GetOwner());
      if (level == 1 || level == 3) levels->Set(mCity->GetOwner(), level - 1);
    }
  }
  mGoal = goal;
  if (goal == kCivGoalRoad || goal == kCivGoalTradeRoute) mTarget = target;
}

int cCivCityAgent::CountOwnerVehicles() const {
  cCivWorld* world = GetCivWorld();
  if (!world || !mCity) return 0;
  const auto& vehicles = world->GetVehicles();
  int owner = mCity->GetOwner();
  return (int)std::count_if(vehicles.begin(), vehicles.end(), [owner](cCivModeVehicle* v) { return v->GetOwner() == owner; });
}

int cCivCityAgent::GetDesiredTurrets() const {
  if (!mCity) return 0;
  const auto& buildings = mCity->GetBuildings();
  int owner = mCity->GetOwner();
  int n = (int)std::count_if(buildings.begin(), buildings.end(),
                             [owner](cCivModeDecoratedBuilding* b) { return b->GetOwner() == owner; });
  const cCivTuningAgent& t = *cCivTuning::GetAgent();
  return Desired(t.DesiredNumTurretsWith4Buildings, t.DesiredNumTurretsWith10Buildings, n);
}

int cCivCityAgent::GetDesiredVehicles() const {
  if (!mCity) return 0;
  const cCivTuningAgent& t = *cCivTuning::GetAgent();
  return Desired(t.DesiredNumVehiclesWith4Buildings, t.DesiredNumVehiclesWith10Buildings, mCity->CountIntactBuildings());
}

bool cCivCityAgent::HasDamagedBuilding() const { return mCity && mCity->HasDamagedBuilding(); }

void cCivCityAgent::Update(uint32_t) {
  if (!mCity || mStopwatch.GetElapsed() <= GetPeriod()) return;
  mStopwatch.Restart();
  Pursue();
  int desired = GetDesiredTurrets();
  if ((int)mCity->GetTurrets().size() < desired && desired < cCivTuning::GetGeneral()->MaxTurretsPerCity)
    mGoal = kCivGoalTurret;
}

bool cCivCityAgent::Buy(float price) {
  if (price < 0.0f || price > mCity->GetAvailableWealth()) return false;
  mCity->Pay(price);
  return true;
}

void cCivCityAgent::Pursue() {
  const cCivTuningCosts& costs = *cCivTuning::GetCosts();
  cCivPlayerValues* levels = UpgradeLevels();
  int owner = mCity->GetOwner();
  int level = levels ? levels->Get(owner) : 0;
  auto lay = [&](int kind) {
    cCivWorld* world = GetCivWorld();
    if (!world) return;
    cCivModeRoad* road = world->CreateRoad();
    if (!road) return;
    road->SetStart(mCity);
    road->SetEnd(mTarget);
    road->SetKind(kind);
    world->PlaceRoad(road);
  };
  switch (mGoal) {
    case kCivGoalTurret: {
      float price = costs.GetTurretCost((int)mCity->GetTurrets().size());
      // At the turret limit there is no price (-1): paying it made money from nothing.
      if (price < 0.0f) {
        mGoal = kCivGoalWealth;
      } else if (Buy(price)) {
        mCity->AddTurret();
        mGoal = kCivGoalWealth;
      }
      break;
    }
    case kCivGoalVehicle: {
      // Research under way is charged at the air price, built as the level before.
      int priceKind = level == 0 ? 0 : level == 2 ? 1 : 2;
      if (Buy(costs.GetVehicleCost(mCity->CountIntactBuildings(), priceKind))) {
        int kind = level < 2 ? kCivLandVehicle : level < 4 ? kCivAmphibiousVehicle : kCivAirVehicle;
        if (cCivWorld* world = GetCivWorld()) world->CreateVehicle(mCity, kind);
        mGoal = kCivGoalWealth;
      }
      break;
    }
    case kCivGoalNewBuilding:
      if (Buy(costs.GetBuildingCost(mCity->CountIntactBuildings()))) {
        mCity->AddBuilding(1);
        mGoal = kCivGoalWealth;
      }
      break;
    case kCivGoalRepairBuilding:
      if (mCity->HasDamagedBuilding() && Buy(costs.GetRepairCost(mCity->CountIntactBuildings()))) {
        mCity->RepairBuilding();
        mGoal = kCivGoalWealth;
      }
      break;
    case kCivGoalRoad:
      if (!mTarget || mTarget->GetOwner() != owner) {
        mGoal = kCivGoalWealth;
      } else if (Buy(costs.RoadCost)) {
        lay(kCivPlainRoad);
        mGoal = kCivGoalWealth;
      }
      break;
    case kCivGoalTradeRoute:
      if (!mTarget || mTarget->GetOwner() == owner || !mTarget->FindEmbassy(owner)) {
        mGoal = kCivGoalWealth;
      } else if (Buy(costs.TradeRouteCost)) {
        lay(kCivTradeRoute);
        mGoal = kCivGoalWealth;
      }
      break;
    case kCivGoalUpgradeAmphibious:
    case kCivGoalUpgradeAeronautics: {
      bool amphibious = mGoal == kCivGoalUpgradeAmphibious;
      if (Buy(amphibious ? costs.CostResearchAmphibious : costs.CostResearchAeronautics)) {
        if (levels) levels->Set(owner, amphibious ? 2 : 4);
        mGoal = kCivGoalWealth;
      }
      break;
    }
    default:
      break;
  }
}
