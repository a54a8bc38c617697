// The NPC players' production agents. A city's agent pursues one goal at a
// time, acting every 2 to 4 s of game time; it also decides whether its city
// surrenders. The player agent, which chooses the goals, plans nothing yet.
#pragma once

#include <cstdint>
#include <vector>

#include "app/GameClock.h"

class cCivModeDecoratedCity;

enum eCivGoal {
  kCivGoalTurret = 0, kCivGoalVehicle, kCivGoalNewBuilding, kCivGoalRepairBuilding, kCivGoalRoad,
  kCivGoalTradeRoute, kCivGoalWealth, kCivGoalUpgradeAmphibious, kCivGoalUpgradeAeronautics,
};

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

class cCivPlayerAgent {
 public:
  void Update(const std::vector<cCivModeDecoratedCity*>& /*cities*/) {}  // plans nothing yet
};
