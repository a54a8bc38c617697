// The NPC players' production agents. NOT BUILT YET: the player agent plans
// nothing and a city's agent keeps the goal it is given; no NPC buys anything.
#pragma once

#include <cstdint>
#include <vector>

class cCivModeDecoratedCity;

enum eCivGoal {
  kCivGoalTurret = 0, kCivGoalVehicle, kCivGoalNewBuilding, kCivGoalRepairBuilding, kCivGoalRoad,
  kCivGoalTradeRoute, kCivGoalWealth, kCivGoalUpgradeAmphibious, kCivGoalUpgradeAeronautics,
};

class cCivCityAgent {
 public:
  void SetGoal(int goal, cCivModeDecoratedCity* /*target*/) { mGoal = goal; }
  int GetGoal() const { return mGoal; }
  void Update(uint32_t /*dtMs*/) {}  // pursues nothing yet

 private:
  int mGoal = kCivGoalWealth;
};

class cCivPlayerAgent {
 public:
  void Update(const std::vector<cCivModeDecoratedCity*>& /*cities*/) {}  // plans nothing yet
};
