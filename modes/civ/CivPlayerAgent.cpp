// The player agent: every 3 s it groups each NPC player's cities by plain
// roads and sets every city's production goal. Also the world's income
// shares, which the agent reads to decide on research.
#include <algorithm>
#include <cfloat>

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
#include "world/planet/PlanetModel.h"

namespace {

constexpr int kMaxTurrets = 8;

float Distance(cCivModeDecoratedCity* a, cCivModeDecoratedCity* b) {
  return GetPlanetModel().GetSurfaceDistance(a->GetPosition(), b->GetPosition());
}

// Ties keep list order, so a seed decides every run.
cCivModeDecoratedCity* Nearest(cCivModeDecoratedCity* to, const std::vector<cCivModeDecoratedCity*>& among) {
  cCivModeDecoratedCity* best = nullptr;
  float bestDistance = FLT_MAX;
  for (cCivModeDecoratedCity* c : among) {
    float d = Distance(to, c);
    if (!best || d < bestDistance) best = c, bestDistance = d;
  }
  return best;
}

float DistanceToNearest(cCivModeDecoratedCity* c, const std::vector<cCivModeDecoratedCity*>& among) {
  cCivModeDecoratedCity* n = Nearest(c, among);
  return n ? Distance(c, n) : FLT_MAX;
}

void Grow(cCivModeDecoratedCity* city, std::vector<cCivModeDecoratedCity*>& plan) {
  plan.push_back(city);
  for (cCivModeRoad* road : city->GetRoads()) {
    cCivModeDecoratedCity* end = road->GetEnd();
    if (road->GetKind() == kCivPlainRoad && end && std::find(plan.begin(), plan.end(), end) == plan.end()) Grow(end, plan);
  }
}

bool NeedsTurretBelowDesired(cCivModeDecoratedCity* city) {
  return (int)city->GetTurrets().size() < city->GetAgent()->GetDesiredTurrets();
}

bool NeedsTurret(cCivModeDecoratedCity* city) {
  int turrets = (int)city->GetTurrets().size();
  return turrets < city->GetAgent()->GetDesiredTurrets() && turrets < kMaxTurrets;
}

// The owner's share of the world's income; 0 when no share is in its colour.
float IncomeShare(int owner) {
  cCivWorld* world = GetCivWorld();
  if (!world) return 0.0f;
  Ru::Math::Vector3 colour = CivPlayerColour(owner);
  float total = 0.0f, share = 0.0f;
  for (const auto& s : world->GetIncomeDistribution()) total += s.value;
  for (const auto& s : world->GetIncomeDistribution())
    if (s.colour.x == colour.x && s.colour.y == colour.y && s.colour.z == colour.z) share = total * s.value;
  return share;
}

cCivModeDecoratedCity* TradeRouteTarget(cCivModeDecoratedCity* city) {
  std::vector<cCivModeDecoratedCity*> candidates;
  int owner = city->GetOwner();
  for (cCivModeDecoratedCity* c : GetCivCities())
    if (c->GetOwner() != owner && c->FindEmbassy(owner) && !city->FindRoad(c, kCivTradeRoute)) candidates.push_back(c);
  return Nearest(city, candidates);
}

}  // namespace

void cCivPlayerAgent::Update(const std::vector<cCivModeDecoratedCity*>& cities) {
  if (mTimer.GetElapsed() <= 3000) return;
  mTimer.Restart();
  cCivPlayers* players = GetCivPlayers();
  if (!players) return;
  for (int p = 0; p < players->GetPlayerCount(); ++p) {
    if (p == players->GetHumanPlayer()) continue;
    cCivAgentPlanSet set = BuildPlanSet(cities, p);
    ApplyPlanSet(set);
  }
}

cCivAgentPlanSet cCivPlayerAgent::BuildPlanSet(const std::vector<cCivModeDecoratedCity*>& cities, int player) {
  cCivAgentPlanSet set;
  std::vector<cCivModeDecoratedCity*> placed;
  for (cCivModeDecoratedCity* c : cities)
    if (c->GetOwner() != player) set.others.push_back(c);
  for (cCivModeDecoratedCity* c : cities) {
    if (c->GetOwner() != player || std::find(placed.begin(), placed.end(), c) != placed.end()) continue;
    cCivAgentPlan plan;
    Grow(c, plan.cities);
    placed.insert(placed.end(), plan.cities.begin(), plan.cities.end());
    set.plans.push_back(plan);
  }
  return set;
}

void cCivPlayerAgent::ApplyPlanSet(cCivAgentPlanSet& set) {
  if (set.plans.size() >= 2) {
    // The group farthest from any enemy reaches out to the nearest other group.
    cCivModeDecoratedCity* far = nullptr;
    cCivAgentPlan* farPlan = nullptr;
    float farDistance = 0.0f;
    for (cCivAgentPlan& plan : set.plans)
      for (cCivModeDecoratedCity* c : plan.cities) {
        float d = DistanceToNearest(c, set.others);
        if (!far || d > farDistance) far = c, farPlan = &plan, farDistance = d;
      }
    farPlan->connect = true;
    std::vector<cCivModeDecoratedCity*> elsewhere;
    for (cCivAgentPlan& plan : set.plans)
      if (!plan.connect) elsewhere.insert(elsewhere.end(), plan.cities.begin(), plan.cities.end());
    for (cCivModeDecoratedCity* c : farPlan->cities) {
      if (c != far) SetSupportGoal(c);
      else if (NeedsTurretBelowDesired(c)) c->GetAgent()->SetGoal(kCivGoalTurret, nullptr);
      else c->GetAgent()->SetGoal(kCivGoalRoad, Nearest(c, elsewhere));
    }
  }
  for (cCivAgentPlan& plan : set.plans) {
    if (plan.connect) continue;
    cCivModeDecoratedCity* lead = nullptr;
    float leadDistance = FLT_MAX;
    for (cCivModeDecoratedCity* c : plan.cities) {
      float d = DistanceToNearest(c, set.others);
      if (!lead || d < leadDistance) lead = c, leadDistance = d;
    }
    for (cCivModeDecoratedCity* c : plan.cities) c == lead ? SetMainGoal(c) : SetSupportGoal(c);
  }
}

void cCivPlayerAgent::SetSupportGoal(cCivModeDecoratedCity* city) {
  int goal = NeedsTurret(city) ? kCivGoalTurret : city->HasDamagedBuilding() ? kCivGoalRepairBuilding : kCivGoalWealth;
  city->GetAgent()->SetGoal(goal, nullptr);
}

void cCivPlayerAgent::SetMainGoal(cCivModeDecoratedCity* city) {
  cCivCityAgent* agent = city->GetAgent();
  if (NeedsTurret(city)) return agent->SetGoal(kCivGoalTurret, nullptr);
  if (city->HasDamagedBuilding()) return agent->SetGoal(kCivGoalRepairBuilding, nullptr);
  if (agent->GetGoal() != kCivGoalWealth) return;  // a purchase under way goes on
  int owner = city->GetOwner();
  cCivPlayers* players = GetCivPlayers();
  if (players) {
    cCivPlayerValues* levels = players->GetUpgradeLevels();
    int level = levels->Get(owner);
    if (IncomeShare(owner) > 0.21f && (level == 0 || level == 2) &&
        (float)Sys_Random() / 32767.0f < cCivTuning::GetAgent()->ChanceNPCBuysUpgrade) {
      levels->Set(owner, level + 1);
      return agent->SetGoal(level == 0 ? kCivGoalUpgradeAmphibious : kCivGoalUpgradeAeronautics, nullptr);
    }
    if (players->GetStrategies()->Get(owner) == kCivCultural)
      if (cCivModeDecoratedCity* target = TradeRouteTarget(city)) return agent->SetGoal(kCivGoalTradeRoute, target);
  }
  agent->SetGoal(agent->CountOwnerVehicles() < agent->GetDesiredVehicles() ? kCivGoalVehicle : kCivGoalNewBuilding, nullptr);
}

// ---- the NPC vehicles' agents ----

// Drawn on the first update, not at construction: the data manager also
// constructs vehicles it never plays (its prototypes).
uint32_t cCivVehicleAgent::GetPeriod() {
  if (mPeriod == 0) {
    int jitter = (int)((float)Sys_Random() * 1000.0f / 32767.0f);
    mPeriod = Sys_Random() < 16383 ? 5000 + jitter : 5000 - jitter;
  }
  return mPeriod;
}

void cCivVehicleAgent::Update(uint32_t /*dtMs*/) {
  if (mStopwatch.GetElapsed() <= GetPeriod()) return;
  mStopwatch.Restart();
  cCivModeVehicle* v = mVehicle;
  if (!v || v->GetState() == kCivVehicleDying || v->GetState() == kCivVehicleDead) return;
  cCivWorld* world = GetCivWorld();
  cCivPlayers* players = GetCivPlayers();
  if (!world || !players) return;
  const Ru::Math::Vector3 at = v->GetPosition();
  int owner = v->GetOwner();
  if (!v->GetTargetCity() && !v->GetTargetVehicle()) {
    if (cCivModeVehicle* enemy = world->FindVehicleTarget(v)) {
      v->SetState(kCivVehicleCombat, at, enemy, nullptr, kCivMissionPillage);
    } else {
      int strategy = players->GetStrategies()->Get(owner);
      if (strategy == kCivMilitary || strategy == kCivCultural) {
        cCivModeDecoratedCity* target = nullptr;
        float best = 0.0f;
        for (cCivModeDecoratedCity* c : GetCivCities()) {
          if (c->GetOwner() == owner) continue;
          bool wanted = strategy == kCivMilitary ? players->GetRelationships()->Get(c->GetOwner(), owner) < 0.0f
                                                 : !c->FindEmbassy(owner);
          float d = GetPlanetModel().GetSurfaceDistance(at, c->GetPosition());
          if (wanted && (!target || d < best)) target = c, best = d;
        }
        int mission = strategy == kCivMilitary ? kCivMissionPillage : kCivMissionEmbassy;
        if (target) v->SetState(kCivVehicleCombat, at, nullptr, target, mission);
        else v->SetState(kCivVehicleGuard, at, nullptr, nullptr, kCivMissionPillage);
      }
    }
  }
  // A vehicle that has not fired for a while drops its errand for an enemy in
  // sight (the time since, taken modulo 2^32, holds across the clock's wrap).
  if (Sys_Milliseconds() - v->GetLastFireTime() >= 5010)
    if (cCivModeVehicle* enemy = world->FindVehicleTarget(v)) v->SetState(kCivVehicleCombat, at, enemy, nullptr, kCivMissionPillage);
}

// Running sums over the world's city order: a player's later cities earn on
// the embassies and trade of its earlier ones.
void cCivWorld::UpdateIncomeDistribution() {
  mIncome.clear();
  cCivPlayers* players = GetCivPlayers();
  if (!players) return;
  const cCivTuningWealth& wealth = *cCivTuning::GetWealthGeneration();
  const std::vector<cCivModeDecoratedCity*>& cities = GetCivCities();
  float total = 0.0f;
  for (int p = 0; p < players->GetPlayerCount(); ++p) {
    float b = 0, e = 0, t = 0, f = 0;
    for (cCivModeDecoratedCity* c : cities) {
      std::vector<int> embassyOwners;
      for (cCivModeDecoratedBuilding* building : c->GetBuildings())
        if (auto* embassy = building->AsEmbassy())
          embassyOwners.push_back(embassy->GetEmbassyOwner());
      float emb = (float)embassyOwners.size() * wealth.EmbassyWealthIncrease;
      if (c->GetOwner() != p) {
        for (int owner : embassyOwners)
          if (owner == p) f += emb * c->GetBaseWealthRate();
        continue;
      }
      float trade = 0.0f;
      for (cCivModeRoad* road : c->GetRoads())
        if (road->GetKind() == kCivTradeRoute && road->GetEnd())
          trade += road->GetEnd()->FindEmbassy(p) ? wealth.WealthIncreaseTradeRouteAndEmbassy
                                                  : wealth.WealthIncreaseTradeRouteNoEmbassy;
      b += c->GetBaseWealthRate();
      e += emb * b;
      t += (e + b) * trade;
    }
    mIncome.push_back({t + f + e + b, CivPlayerColour(p)});
    total += t + f + e + b;
  }
  if (total > 0.0f)
    for (sIncomeShare& s : mIncome) s.value /= total;
  std::stable_sort(mIncome.begin(), mIncome.end(), [](const sIncomeShare& a, const sIncomeShare& b) { return a.value > b.value; });
}
