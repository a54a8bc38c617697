// The NPC players' production agents. The player agent plans nothing yet and
// a city's agent keeps the goal it is given; no NPC buys anything so far.
// A city's agent already decides whether its city surrenders.
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
  explicit cCivCityAgent(cCivModeDecoratedCity* city = nullptr) : mCity(city) {}
  // True once the destroyed share of the city's buildings reaches its mood's
  // threshold; a city with no buildings left counts as wholly destroyed.
  bool ShouldSurrender() const;
  void SetGoal(int goal, cCivModeDecoratedCity* /*target*/) { mGoal = goal; }
  int GetGoal() const { return mGoal; }
  void Update(uint32_t /*dtMs*/) {}  // pursues nothing yet

 private:
  cCivModeDecoratedCity* mCity;  // the city that owns this agent
  int mGoal = kCivGoalWealth;
};

class cCivPlayerAgent {
 public:
  void Update(const std::vector<cCivModeDecoratedCity*>& /*cities*/) {}  // plans nothing yet
};
