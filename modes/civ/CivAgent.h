// The NPC players' production agents. A city's agent pursues one goal at a
// time, acting every 2 to 4 s of game time; it also decides whether its city
// surrenders. The player agent chooses the goals every 3 s of game time;
// each NPC vehicle's agent picks what it does every 4 to 6 s.
#pragma once

#include <cstdint>
#include <vector>

#include "app/GameClock.h"

class cCivModeDecoratedCity;
class cCivModeVehicle;

enum eCivGoal {
  kCivGoalTurret = 0, kCivGoalVehicle, kCivGoalNewBuilding, kCivGoalRepairBuilding, kCivGoalRoad,
  kCivGoalTradeRoute, kCivGoalWealth, kCivGoalUpgradeAmphibious, kCivGoalUpgradeAeronautics,
};
// The goal as the city's info text names it ("Turret" ... "Upgrade Aeronautics"); "" for no goal.
const char* CivGoalName(int goal);

class cCivCityAgent {
 public:
  explicit cCivCityAgent(cCivModeDecoratedCity* city = nullptr);
  // True once the destroyed share of the city's buildings reaches its mood's
  // threshold; a city with no buildings left counts as wholly destroyed.
  bool ShouldSurrender() const;
  // Leaving a research goal rolls the research under way back; the target
  // is kept only for the Road and Trade Route goals.
  void SetGoal(int goal, cCivModeDecoratedCity* target);
  int GetGoal() const { return mGoal; }
  cCivModeDecoratedCity* GetTarget() const { return mTarget; }
  uint32_t GetPeriod();  // 2 to 4 s, drawn once
  // Once per period (the stopwatch decides, not `dtMs`): buys what the goal
  // names when the city can afford it, then saves; then the turret rule.
  void Update(uint32_t dtMs);
  int CountOwnerVehicles() const;
  int GetDesiredTurrets() const;
  int GetDesiredVehicles() const;
  bool HasDamagedBuilding() const;

 private:
  void Pursue();
  bool Buy(float price);  // pays when the city can; a negative price is never for sale

  cGameStopwatch mStopwatch;
  uint32_t mPeriod = 0;  // not drawn yet
  cCivModeDecoratedCity* mCity;  // the city that owns this agent
  cCivModeDecoratedCity* mTarget = nullptr;
  int mGoal = kCivGoalTurret;
};

// One group of a player's cities joined by plain roads, in the order reached.
struct cCivAgentPlan {
  bool connect = false;  // handled by the connect step this run
  std::vector<cCivModeDecoratedCity*> cities;
};

struct cCivAgentPlanSet {
  std::vector<cCivAgentPlan> plans;            // in the order they were built
  std::vector<cCivModeDecoratedCity*> others;  // the other players' cities
};

class cCivPlayerAgent {
 public:
  cCivPlayerAgent() { mTimer.Start(); }
  // Plans only once 3000 ms of game time have passed since the last plan.
  void Update(const std::vector<cCivModeDecoratedCity*>& cities);
  static cCivAgentPlanSet BuildPlanSet(const std::vector<cCivModeDecoratedCity*>& cities, int player);
  static void ApplyPlanSet(cCivAgentPlanSet& set);
  static void SetSupportGoal(cCivModeDecoratedCity* city);
  static void SetMainGoal(cCivModeDecoratedCity* city);

 private:
  cGameStopwatch mTimer;
};

class cCivVehicleAgent {
 public:
  explicit cCivVehicleAgent(cCivModeVehicle* vehicle) : mVehicle(vehicle) { mStopwatch.Start(); }
  uint32_t GetPeriod();  // 4 to 6 s, drawn once
  // An idle vehicle hunts a vehicle in sight, else goes for a city by its
  // owner's strategy, else guards; one that has not fired for 5010 ms
  // switches to an enemy vehicle in sight.
  void Update(uint32_t dtMs);

 private:
  cGameStopwatch mStopwatch;
  uint32_t mPeriod = 0;  // not drawn yet
  cCivModeVehicle* mVehicle;
};
