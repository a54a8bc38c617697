// The simple group interactions: the player's selection sent to eat, heal,
// rest, gather, nest, defend, walk somewhere or move the hut. Each starts one
// member interaction on every member and finishes when all have left it.
//
// The group's running flag carries the members' outcome: it is cleared when a
// member starts and set again by every member that leaves having finished
// well, so once all have left it tells whether at least one did.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/GameClock.h"
#include "sim/behavior/GroupInteraction.h"

class cTribe;
class cTribeCreature;
class cTribeCreatureGroup;

// The common pattern. Phase 0 starts the member interaction on every member
// (StartParty); phase 1 waits until every member has left, then OnPartyDone
// runs and the group finishes. A group agent that is not a tribe creature
// group, or has no members, ends the group at its next step.
class cTribeGroupInteraction : public cGroupInteraction {
 public:
  uint32_t Step() override;
  // Starts the part on one member; a member that cannot start is not kept in
  // the group interaction, so the group never waits for it.
  bool StartMember(cIInteractionAgent* member, cIInteraction* prototype, tTargetWord target) override;
  uint32_t GetPhase() const { return mPhase; }

 protected:
  // The tribe creature group this runs on, or null.
  cTribeCreatureGroup* GetGroupAgent();
  // The tribe of the group agent's first member, or null.
  cTribe* GetPartyTribe();
  // The group agent's members in joining order (a copy: starting a part may change the list).
  std::vector<cTribeCreature*> GetPartyMembers();
  static cILocation* LocationOf(tTargetWord target);
  // A location handed to the group as its target is the group's to free.
  void FreeLocationTarget();
  // Phase 0. False finishes the group at once.
  virtual bool StartParty() { return StartPart(), true; }
  // The member interaction of this group, handed the member target.
  virtual cIInteraction* GetMemberPrototype() = 0;
  virtual tTargetWord GetMemberTarget() { return 0; }
  bool StartPart() { return StartMembers(GetMemberPrototype(), GetMemberTarget()); }
  virtual void OnPartyDone() {}

  uint32_t mPhase = 0;
};

// A group that deselects some of the player's party when it is done: at the
// start it notes whether the party is the player's (by its first member's tribe).
class cTribePlayerPartyGroup : public cTribeGroupInteraction {
 protected:
  bool StartParty() override;
  bool IsPlayerParty() const { return mPlayerParty; }

 private:
  bool mPlayerParty = false;
};

// Starts cMemberDefends on every member; when one cannot start, the group
// ends at once and those that did start defend on their own.
class cTribeGroupDefends : public cTribeGroupInteraction {
 public:
  cIInteraction* Create() override { return new cTribeGroupDefends(); }
  std::string GetName() override { return "Group Defends"; }

 protected:
  cIInteraction* GetMemberPrototype() override;
  bool StartParty() override { return StartPart(); }
};

class cTribeGroupEats : public cTribeGroupInteraction {
 public:
  cIInteraction* Create() override { return new cTribeGroupEats(); }
  std::string GetName() override { return "Group Eating"; }

 protected:
  cIInteraction* GetMemberPrototype() override;
};

// Every member gathers from the group's own target (a plant).
class cTribeGroupGathers : public cTribeGroupInteraction {
 public:
  cIInteraction* Create() override { return new cTribeGroupGathers(); }
  std::string GetName() override { return "Gathering"; }

 protected:
  cIInteraction* GetMemberPrototype() override;
  tTargetWord GetMemberTarget() override { return GetTarget(); }
};

// Sends every member to its own copy of the target location (which this
// group owns and frees), with the wait time and sprint the commands set
// right after the start.
class cTribeGroupGoToNewTarget : public cTribeGroupInteraction {
 public:
  cIInteraction* Create() override { return new cTribeGroupGoToNewTarget(); }
  std::string GetName() override { return "Group Go to Target"; }
  void End() override;
  // Each member gets a new location of its own at the target's position;
  // false for a target that is not a location, or at the first member that
  // cannot start.
  bool StartMembers(cIInteraction* prototype, tTargetWord target) override;
  void SetWaitTime(float seconds) { mWaitTime = seconds; }
  void SetSprint(bool sprint) { mSprint = sprint; }
  float GetWaitTime() const { return mWaitTime; }
  bool GetSprint() const { return mSprint; }
  // Hands the wait time and sprint to every member's current walk.
  void PassSettingsToMembers();

 protected:
  cIInteraction* GetMemberPrototype() override;
  tTargetWord GetMemberTarget() override { return GetTarget(); }
  bool StartParty() override;

 private:
  float mWaitTime = 0.0f;
  bool mSprint = false;
};

class cTribeGroupHeals : public cTribeGroupInteraction {
 public:
  cIInteraction* Create() override { return new cTribeGroupHeals(); }
  std::string GetName() override { return "Group Healing"; }

 protected:
  cIInteraction* GetMemberPrototype() override;
};

// The party gathers round its hut, then walks to the target location (which
// this group owns and frees) in formation, the hut and the tools following
// the party's centre; the move script sets the carriers' speed and drains.
class cTribeGroupMoveHut : public cTribeGroupInteraction {
 public:
  cIInteraction* Create() override { return new cTribeGroupMoveHut(); }
  std::string GetName() override { return "Tribe Moving Hut"; }
  void Start() override;  // loads the move script
  uint32_t Step() override;
  void End() override;
  // A member that leaves walks at its own speed again; the rest take the
  // speed of the smaller party.
  void OnMemberLeft(cIInteractionAgent* member) override;
  // While walking: the move script for the party's size sets every member's
  // speed factor and the drains.
  void BeginMove();
  void ApplyDrain(float seconds);
  // The hut moves to the party's centre and every tool moves with it.
  void FollowParty();

 protected:
  cIInteraction* GetMemberPrototype() override;

 private:
  bool StartWalkTo(cIInteractionAgent* member, const float position[3]);
  bool GatherRoundHut();
  void WalkInFormation();

  cGameStopwatch mMoveStopwatch;
  uint32_t mPreviousElapsed = 0;
  float mEnergyDrain = 0.0f;
  float mFoodDrain = 0.0f;
  float mHealthDrain = 0.0f;
};

// When the player's party is done, members that stopped nesting because of a
// critical need are deselected (they go and see to it); the others stay selected.
class cTribeGroupNests : public cTribePlayerPartyGroup {
 public:
  cIInteraction* Create() override { return new cTribeGroupNests(); }
  std::string GetName() override { return "Group Nesting"; }

 protected:
  cIInteraction* GetMemberPrototype() override;
  void OnPartyDone() override;
};

// The player's party is deselected once all of it has rested.
class cTribeGroupRests : public cTribePlayerPartyGroup {
 public:
  cIInteraction* Create() override { return new cTribeGroupRests(); }
  std::string GetName() override { return "Group Resting"; }

 protected:
  cIInteraction* GetMemberPrototype() override;
  void OnPartyDone() override;
};
