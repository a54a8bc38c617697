// The member interactions of needs and chores: eating, healing, resting,
// idling, gathering, nesting, walking to a spot and standing guard. The first
// four (with hunting) are every tribe creature's own candidates; the rest run
// when a group interaction or a command starts them.
//
// The need classes share one shape: walk to a hut site, then raise one need
// over time, ending at 100 or when another need becomes pressing.
#pragma once

#include <cstdint>
#include <string>

#include "math/Types.h"
#include "modes/tribe/TribeMemberInteraction.h"
#include "sim/gamedata/RefPtr.h"
#include "world/planet/GamePlant.h"


// Idles at the hut's idle site for three seconds, first delivering any food
// it carries to the tribe.
class cMemberIdles : public cTribeMemberInteraction {
 public:
  cIInteraction* Create() override { return new cMemberIdles(); }
  std::string GetName() override { return "Idling"; }
  bool CanPerform(cIInteractionAgent* agent, tTargetWord) override { return IsTribeCreature(agent); }
  int32_t Score(cIInteractionAgent* agent, tTargetWord) override;
  void Start() override;
  uint32_t Step() override;

 private:
  void RunScript(float activity);
  uint32_t mPhase = 0;
  cGameStopwatch mWork;
};

// What the need classes share: the phase, the work stopwatch that times the
// raising of the need and the health meter that shows it meanwhile.
class cMemberNeed : public cTribeMemberInteraction {
 public:
  bool CanPerform(cIInteractionAgent* agent, tTargetWord) override { return IsTribeCreature(agent); }
  void End() override;  // hides the meter

 protected:
  // At the site: the meter shows the need's value and the work stopwatch starts.
  void StartFilling(cTribeCreature* creature, float value);

  uint32_t mPhase = 0;
  cGameStopwatch mWork;
  uint32_t mPreviousElapsed = 0;
};

// Walks to the rest site and regains energy up to 100.
class cMemberRests : public cMemberNeed {
 public:
  cIInteraction* Create() override { return new cMemberRests(); }
  std::string GetName() override { return "Rests"; }
  int32_t Score(cIInteractionAgent* agent, tTargetWord) override;
  void Start() override;
  uint32_t Step() override;
  bool ShouldStop();  // another need has become pressing
};

// Walks to the heal site and regains health up to 100.
class cMemberHeals : public cMemberNeed {
 public:
  cIInteraction* Create() override { return new cMemberHeals(); }
  std::string GetName() override { return "Healing"; }
  int32_t Score(cIInteractionAgent* agent, tTargetWord) override;
  void Start() override;
  uint32_t Step() override;
  bool ShouldStop();

 private:
  void RunScript(float activity);
};

// Eats what it carries, or walks to the food site and eats from the tribe's
// store (one hunger point costs "eatfood" / 100 units of food).
class cMemberEats : public cMemberNeed {
 public:
  cIInteraction* Create() override { return new cMemberEats(); }
  std::string GetName() override { return "Eating"; }
  int32_t Score(cIInteractionAgent* agent, tTargetWord) override;
  void Start() override;
  uint32_t Step() override;
  bool ShouldStop();
};

// Gathers fruit from a plant (its target), carries it to the food site, and
// goes on to the next plant while its needs allow.
class cMemberGathers : public cTribeMemberInteraction {
 public:
  cIInteraction* Create() override { return new cMemberGathers(); }
  std::string GetName() override { return "Gathering"; }
  int32_t Score(cIInteractionAgent* agent, tTargetWord) override;
  tTargetWord GetDefaultTarget() override;  // the nearest fruit plant
  void Start() override;
  uint32_t Step() override;
  void End() override;
  bool IsInLowNeed();

 private:
  void RunScript(float activity);
  cGamePlant* Plant();  // the target plant, or null
  void AimAtPlant();
  void GoToFoodSite();
  void StartGathering();
  bool PlantHasFruit();
  void TakeFruit();
  uint32_t StepGathering();
  uint32_t StepDelivering();
  uint32_t StepEating();

  uint32_t mPhase = 0;
  cGameStopwatch mWork;
  uint32_t mFoodPerGathering = 0;
  uint32_t mGatherTime = 0;  // ms
  uint32_t mPreviousElapsed = 0;
  tRefPtr<cGamePlant> mPlant;  // kept alive while targeted, even if the planet drops it
};

// Nests at the hut and adds to the tribe's breeding progress.
class cMemberNests : public cTribeMemberInteraction {
 public:
  ~cMemberNests() override;
  cIInteraction* Create() override { return new cMemberNests(); }
  std::string GetName() override { return "Nesting"; }
  void Start() override;
  uint32_t Step() override;
  void End() override;

 private:
  void LeaveNest();  // out of the tribe's nesting count when counted in
  uint32_t mPhase = 0;
  cGameStopwatch mWork;
  cTribe* mCountedIn = nullptr;  // the tribe whose nesting count holds this nester
};

// Walks (or sprints) to a location it owns and waits there.
class cMemberGoToTarget : public cTribeMemberInteraction {
 public:
  cIInteraction* Create() override { return new cMemberGoToTarget(); }
  std::string GetName() override { return "Go to location"; }
  void Start() override;
  uint32_t Step() override;
  void End() override;  // frees the location it was given
  void SetWaitTime(float seconds) { mWaitTime = seconds; }
  void SetSprint(bool sprint) { mSprint = sprint; }
  float GetWaitTime() const { return mWaitTime; }
  bool GetSprint() const { return mSprint; }

 private:
  void RunScript();
  uint32_t mPhase = 0;
  float mWaitTime = 0.0f;
  cGameStopwatch mWait;
  bool mSprint = false;
};

// Stands guard around the hut until a critical need (or its group) ends it.
class cMemberDefends : public cTribeMemberInteraction {
 public:
  cIInteraction* Create() override { return new cMemberDefends(); }
  std::string GetName() override { return "Defending"; }
  void Start() override;
  uint32_t Step() override;
  void GoToGuardPoint();

 private:
  uint32_t mPhase = 0;
};
