// The member interactions of needs and chores: eating, healing, resting,
// idling, gathering, nesting, walking to a spot and standing guard. The first
// four (with hunting) are every tribe creature's own candidates.
#pragma once

#include <string>

#include "modes/tribe/TribeMemberInteraction.h"

// Not built yet: idles at the hut's idle site, first delivering carried food; does nothing for now.
class cMemberIdles : public cTribeMemberInteraction {
 public:
  cIInteraction* Create() override { return new cMemberIdles(); }
  std::string GetName() override { return "Idling"; }
};

// Not built yet: walks to the rest site and regains energy up to 100; does nothing for now.
class cMemberRests : public cTribeMemberInteraction {
 public:
  cIInteraction* Create() override { return new cMemberRests(); }
  std::string GetName() override { return "Rests"; }
  bool ShouldStop();  // another need has become pressing
};

// Not built yet: walks to the heal site and regains health up to 100; does nothing for now.
class cMemberHeals : public cTribeMemberInteraction {
 public:
  cIInteraction* Create() override { return new cMemberHeals(); }
  std::string GetName() override { return "Healing"; }
  bool ShouldStop();
};

// Not built yet: eats what it carries, or walks to the food site and eats from the tribe's store; does nothing for now.
class cMemberEats : public cTribeMemberInteraction {
 public:
  cIInteraction* Create() override { return new cMemberEats(); }
  std::string GetName() override { return "Eating"; }
  bool ShouldStop();
};

// Not built yet: gathers fruit from a plant and carries it to the food site; does nothing for now.
class cMemberGathers : public cTribeMemberInteraction {
 public:
  cIInteraction* Create() override { return new cMemberGathers(); }
  std::string GetName() override { return "Gathering"; }
  tTargetWord GetDefaultTarget() override;  // the nearest fruit plant
  bool IsInLowNeed();
};

// Not built yet: nests at the hut and adds to the tribe's breeding progress; does nothing for now.
class cMemberNests : public cTribeMemberInteraction {
 public:
  cIInteraction* Create() override { return new cMemberNests(); }
  std::string GetName() override { return "Nesting"; }
};

// Not built yet: walks (or sprints) to a location it owns and waits there; does nothing for now.
class cMemberGoToTarget : public cTribeMemberInteraction {
 public:
  cIInteraction* Create() override { return new cMemberGoToTarget(); }
  std::string GetName() override { return "Go to location"; }
  void End() override;  // frees the location it was given
  void SetWaitTime(float seconds) { mWaitTime = seconds; }
  void SetSprint(bool sprint) { mSprint = sprint; }
  float GetWaitTime() const { return mWaitTime; }
  bool GetSprint() const { return mSprint; }

 private:
  float mWaitTime = 0.0f;
  bool mSprint = false;
};

// Not built yet: stands guard around the hut until a critical need; does nothing for now.
class cMemberDefends : public cTribeMemberInteraction {
 public:
  cIInteraction* Create() override { return new cMemberDefends(); }
  std::string GetName() override { return "Defending"; }
  void GoToGuardPoint();
};
