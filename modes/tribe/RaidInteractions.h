// Tribes as enemies: the player's raid and recruiting parties at a rival hut,
// and an NPC party attacking the player's hut, fighting its defenders and
// looting its food.
#pragma once

#include <string>

#include "math/Types.h"
#include "modes/tribe/TribeMemberInteraction.h"
#include "sim/behavior/GroupInteraction.h"

class cTribeCreature;

// Not built yet: walks to a rival hut, raids it for a scripted time and comes home; does nothing for now.
class cMemberRaids : public cTribeMemberInteraction, public cIMemberInteraction {
 public:
  cIInteraction* Create() override { return new cMemberRaids(); }
  std::string GetName() override { return "Raiding"; }
  void SetGroupInteraction(cGroupInteraction* group) override;
};

// Not built yet: walks to a rival hut and impresses its members for a scripted time; does nothing for now.
class cMemberRecruits : public cTribeMemberInteraction, public cIMemberInteraction {
 public:
  cIInteraction* Create() override { return new cMemberRecruits(); }
  std::string GetName() override { return "Recruiting"; }
  void SetGroupInteraction(cGroupInteraction* group) override;
};

// Not built yet: fights one opponent creature for a scripted time; does nothing for now.
class cMemberFights : public cInteraction {
 public:
  cIInteraction* Create() override { return new cMemberFights(); }
  std::string GetName() override { return "Fighting"; }
  bool CanPerform(cIInteractionAgent*, tTargetWord) override { return false; }
  uint32_t Step() override { return 0; }
};

// Not built yet: takes food from a raided hut's store; does nothing for now.
// Its script is loaded when it starts, never by the constructor (the
// prototype is built before any script may be read).
class cMemberLoots : public cTribeMemberInteraction {
 public:
  cIInteraction* Create() override { return new cMemberLoots(); }
  std::string GetName() override { return "Looting"; }
};

// Not built yet: the player's raid party, with the "Raid Results" report; does nothing for now.
class cTribeGroupRaids : public cGroupInteraction {
 public:
  cIInteraction* Create() override { return new cTribeGroupRaids(); }
  std::string GetName() override { return "Group Raiding"; }
  bool CanPerform(cIInteractionAgent*, tTargetWord) override { return false; }
  uint32_t Step() override { return 0; }
  tTargetWord GetDefaultTarget() override;  // the rival hut nearest the first member
  bool RemoveMember(cIInteractionAgent* member) override { return cGroupInteraction::RemoveMember(member); }

  void BeginRaid();
  void ReturnRaider(cTribeCreature* raider);
  void ReportResults();
};

// Not built yet: the player's recruiting party, with the "Recruiting Results" report; does nothing for now.
class cTribeGroupRecruits : public cGroupInteraction {
 public:
  cIInteraction* Create() override { return new cTribeGroupRecruits(); }
  std::string GetName() override { return "Group Recruiting"; }
  bool CanPerform(cIInteractionAgent*, tTargetWord) override { return false; }
  uint32_t Step() override { return 0; }
  bool RemoveMember(cIInteractionAgent* member) override { return cGroupInteraction::RemoveMember(member); }

  void BeginRecruiting();
  void ReturnRecruiter(cTribeCreature* recruiter);
  void ReportResults();
};

// Not built yet: an NPC party walks to the player's hut, fights its defenders, loots and walks home; does nothing for now.
class cTribeGroupAttacks : public cGroupInteraction {
 public:
  cIInteraction* Create() override { return new cTribeGroupAttacks(); }
  std::string GetName() override { return "Group Attacking"; }
  bool CanPerform(cIInteractionAgent*, tTargetWord) override { return false; }
  uint32_t Step() override { return 0; }

  bool SendAllTo(const Ru::Math::Vector3& position);  // false when a member could not start
  cTribeCreature* FindArrivedMember();
  void StartFights(cTribeCreature* attacker);
  static bool IsWithinFightRange(cTribeCreature* a, cTribeCreature* b);
  void UnloadCarriedFood();
};
