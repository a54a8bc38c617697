// The catalogue of city behaviours, one prototype each (made on first use).
// Each answers its name and interaction id; the errands with bundles and
// tribes and the tribe members' visits have their own header (included at
// the end); a behaviour still without steps ends at its first step.
#pragma once

#include <cstdint>
#include <string>

#include "modes/city/behaviours/CityGameInteraction.h"

class cCityGameBuilding;
class cCityGameCreature;

template <class T, uint32_t Id>
class tCityBehavior : public cCityGameInteraction {
 public:
  static constexpr uint32_t kInteractionId = Id;
  cIInteraction* Create() override { return new T; }
  uint32_t GetInteractionId() override { return Id; }
  uint32_t Step() override { return 0; }
};

// Goes to a building's door, inside (hidden), stays between the building's
// minimum and maximum stay, and comes out at one of its roads toward another
// building (never the one it came by while another will do).
class cCityGameBehaviorUseBuilding : public tCityBehavior<cCityGameBehaviorUseBuilding, 0> {
 public:
  std::string GetName() override { return "Building"; }
  uint32_t Step() override;
  void End() override;
  int GetState() const { return mState; }  // 0 approaching, 1 at the door, 2 inside

 protected:
  // The steps both kinds of building use share; each answers the step's answer.
  uint32_t ReachDoor(cCityGameCreature* creature, cCityGameBuilding* building);
  uint32_t GoInside(cCityGameCreature* creature, cCityGameBuilding* building);
  uint32_t StayInside(cCityGameCreature* creature, cCityGameBuilding* building, uint32_t ms);

  int mState = 0;
  float mInsideMs = 0.0f;
};

// The same for a building that makes bundles, except that a finished product
// goes to the first empty-handed citizen at the door, who carries it off
// instead of going in.
class cCityGameBehaviorUseProductionBuilding : public cCityGameBehaviorUseBuilding {
 public:
  cIInteraction* Create() override { return new cCityGameBehaviorUseProductionBuilding; }
  std::string GetName() override { return "Production Building"; }
  uint32_t Step() override;
};

// Walks a road point by point (backwards when heading for its first end) at
// the road speed, to the building the citizen is heading for; there it drops
// off what it carries or goes on to use that building.
class cCityGameBehaviorFollowRoad : public tCityBehavior<cCityGameBehaviorFollowRoad, 0> {
 public:
  std::string GetName() override { return "Following the Road"; }
  void Start() override;
  uint32_t Step() override;
  void End() override;
  int GetPointIndex() const { return mPointIndex; }

 private:
  int mPointIndex = 0;
  bool mLeftInNeed = false;
};

// Walks to the goal the caller set on the creature's record; done within 1.0.
class cCityGameBehaviorWalk : public tCityBehavior<cCityGameBehaviorWalk, 0x0FC53E0C> {
 public:
  std::string GetName() override { return "Walking"; }
  uint32_t Step() override;
};

// A homeless, tired citizen walks to its city's sleeping spot and lies there
// gaining energy until rested or housed.
class cCityGameBehaviorSleepOnGround : public tCityBehavior<cCityGameBehaviorSleepOnGround, 0x2FE7F0BC> {
 public:
  std::string GetName() override { return "Sleeping"; }
  void Start() override;
  uint32_t Step() override;
  void End() override;
};

// The one prototype of a behaviour class, for starting it on a creature.
template <class T>
T* GetCityBehavior() {
  static T* prototype = new T;  // lives for the whole run
  return prototype;
}

#include "modes/city/behaviours/CityErrandBehaviors.h"
