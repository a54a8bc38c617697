// The simple group interactions: the player's selection sent to eat, heal,
// rest, gather, nest, defend, walk somewhere or move the hut. Each starts one
// member interaction on every member and finishes when all have left it.
#pragma once

#include <string>

#include "sim/behavior/GroupInteraction.h"

// Not built yet: starts cMemberDefends on every member; does nothing for now.
class cTribeGroupDefends : public cGroupInteraction {
 public:
  cIInteraction* Create() override { return new cTribeGroupDefends(); }
  std::string GetName() override { return "Group Defends"; }
  bool CanPerform(cIInteractionAgent*, tTargetWord) override { return false; }
  uint32_t Step() override { return 0; }
};

// Not built yet: starts cMemberEats on every member; does nothing for now.
class cTribeGroupEats : public cGroupInteraction {
 public:
  cIInteraction* Create() override { return new cTribeGroupEats(); }
  std::string GetName() override { return "Group Eating"; }
  bool CanPerform(cIInteractionAgent*, tTargetWord) override { return false; }
  uint32_t Step() override { return 0; }
};

// Not built yet: starts cMemberGathers on every member with the group's plant; does nothing for now.
class cTribeGroupGathers : public cGroupInteraction {
 public:
  cIInteraction* Create() override { return new cTribeGroupGathers(); }
  std::string GetName() override { return "Gathering"; }
  bool CanPerform(cIInteractionAgent*, tTargetWord) override { return false; }
  uint32_t Step() override { return 0; }
};

// Not built yet: sends every member to its own copy of the target location, with the wait time and sprint; does nothing for now.
class cTribeGroupGoToNewTarget : public cGroupInteraction {
 public:
  cIInteraction* Create() override { return new cTribeGroupGoToNewTarget(); }
  std::string GetName() override { return "Group Go to Target"; }
  bool CanPerform(cIInteractionAgent*, tTargetWord) override { return false; }
  uint32_t Step() override { return 0; }
  void SetWaitTime(float seconds) { mWaitTime = seconds; }
  void SetSprint(bool sprint) { mSprint = sprint; }
  void PassSettingsToMembers();

 private:
  float mWaitTime = 0.0f;
  bool mSprint = false;
};

// Not built yet: starts cMemberHeals on every member; does nothing for now.
class cTribeGroupHeals : public cGroupInteraction {
 public:
  cIInteraction* Create() override { return new cTribeGroupHeals(); }
  std::string GetName() override { return "Group Healing"; }
  bool CanPerform(cIInteractionAgent*, tTargetWord) override { return false; }
  uint32_t Step() override { return 0; }
};

// Not built yet: the party gathers at the hut and walks it, with its tools, to a new place; does nothing for now.
class cTribeGroupMoveHut : public cGroupInteraction {
 public:
  cIInteraction* Create() override { return new cTribeGroupMoveHut(); }
  std::string GetName() override { return "Tribe Moving Hut"; }
  bool CanPerform(cIInteractionAgent*, tTargetWord) override { return false; }
  uint32_t Step() override { return 0; }
  void OnMemberLeft(cIInteractionAgent* member) override;
  void BeginMove();
  void ApplyDrain(float seconds);
  void FollowParty();
};

// Not built yet: starts cMemberNests on every member; does nothing for now.
class cTribeGroupNests : public cGroupInteraction {
 public:
  cIInteraction* Create() override { return new cTribeGroupNests(); }
  std::string GetName() override { return "Group Nesting"; }
  bool CanPerform(cIInteractionAgent*, tTargetWord) override { return false; }
  uint32_t Step() override { return 0; }
};

// Not built yet: starts cMemberRests on every member; does nothing for now.
class cTribeGroupRests : public cGroupInteraction {
 public:
  cIInteraction* Create() override { return new cTribeGroupRests(); }
  std::string GetName() override { return "Group Resting"; }
  bool CanPerform(cIInteractionAgent*, tTargetWord) override { return false; }
  uint32_t Step() override { return 0; }
};
