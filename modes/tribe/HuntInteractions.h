// Hunting: a lone starving creature or a party sent by the player chases a
// herd, catches an animal, fights it and brings the catch home as food.
#pragma once

#include <string>

#include "modes/tribe/TribeMemberInteraction.h"
#include "sim/behavior/GroupInteraction.h"

class cTribeHerd;

// Not built yet: chases a herd, fights the caught animal and carries the catch home; does nothing for now.
class cMemberHunts : public cTribeMemberInteraction, public cIMemberInteraction {
 public:
  cIInteraction* Create() override { return new cMemberHunts(); }
  std::string GetName() override { return "Hunting "; }  // + "Big Game", "Runts" or "Predators" once it knows its herd
  tTargetWord GetDefaultTarget() override;  // the nearest herd
  void End() override { EndHunt(); }
  void SetGroupInteraction(cGroupInteraction* group) override;

  void RunHuntResult();
  bool UpdateHuntTimer();  // true when the fight is over
  void ResolveRuntCatch();
  void EndHunt();
};

// Not built yet: starts cMemberHunts on every member and resolves big game for the whole party; does nothing for now.
class cTribeGroupHunts : public cGroupInteraction {
 public:
  cIInteraction* Create() override { return new cTribeGroupHunts(); }
  std::string GetName() override { return "Group Hunting"; }
  bool CanPerform(cIInteractionAgent*, tTargetWord) override { return false; }
  uint32_t Step() override { return 0; }
  bool RemoveMember(cIInteractionAgent* member) override { return cGroupInteraction::RemoveMember(member); }

  void SetPrey(cTribeHerd* prey);
  cTribeHerd* GetPrey();
};
