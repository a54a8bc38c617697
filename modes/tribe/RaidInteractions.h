// Tribes as enemies: the player's raid and recruiting parties at a rival hut,
// and an NPC party attacking the player's hut, fighting its defenders one to
// one, looting its food store and carrying the loot home.
#pragma once

#include <cstdint>
#include <string>

#include "app/GameClock.h"
#include "math/Types.h"
#include "modes/tribe/TribeCreature.h"
#include "modes/tribe/TribeMemberInteraction.h"
#include "modes/tribe/TribeStatics.h"
#include "sim/behavior/GroupInteraction.h"
#include "sim/gamedata/RefPtr.h"

class cTribe;
class cTribeHut;

// A member's trip to a rival hut: walk there, work at it for a scripted time
// while the hut's meter fills, then head home. Raiding and recruiting differ
// only in their scripts, variable names and the recruiters' sound loop.
class cMemberHutVisit : public cTribeMemberInteraction, public cIMemberInteraction {
 public:
  enum ePhase : uint32_t { kStarting = 0, kWalking = 1, kWorking = 2 };

  uint32_t Step() override;
  void Start() override;
  void End() override;
  void SetGroupInteraction(cGroupInteraction* group) override;  // the party's size

  uint32_t GetPhase() const { return mPhase; }
  uint32_t GetPartySize() const { return mPartySize; }

 protected:
  struct sScripts {
    eTribeProgram result, motivation;
    const char* workTime;        // result output, seconds
    const char* energyCost;      // result output
    const char* durationInput;   // motivation input, seconds
    const char* energyCostInput; // motivation input
    bool loopSound;              // the recruiters' loop while at the hut
  };
  virtual const sScripts& Scripts() const = 0;
  virtual void SetResultInputs(cRovurozovizProgram& program, cTribe* mine, cTribe* theirs) = 0;

  cTribeHut* TargetHut();

 private:
  void RunMotivation(int activity);

  uint32_t mPhase = kStarting;
  cGameStopwatch mWorkStopwatch;
  uint32_t mWorkTimeMs = 1;
  uint32_t mPartySize = 1;
  float mEnergyCost = 1.0f;
};

class cMemberRaids : public cMemberHutVisit {
 public:
  cIInteraction* Create() override { return new cMemberRaids(); }
  std::string GetName() override { return "Raiding"; }

 protected:
  const sScripts& Scripts() const override;
  void SetResultInputs(cRovurozovizProgram& program, cTribe* mine, cTribe* theirs) override;
};

class cMemberRecruits : public cMemberHutVisit {
 public:
  cIInteraction* Create() override { return new cMemberRecruits(); }
  std::string GetName() override { return "Recruiting"; }
  void Start() override;  // also loads the recruiters' loop, once per run

 protected:
  const sScripts& Scripts() const override;
  void SetResultInputs(cRovurozovizProgram& program, cTribe* mine, cTribe* theirs) override;
};

// One creature fighting another (its target) for a scripted time, both
// losing energy, hunger and health as it goes.
class cMemberFights : public cInteraction {
 public:
  cIInteraction* Create() override { return new cMemberFights(); }
  std::string GetName() override { return "Fighting"; }
  void Start() override;
  uint32_t Step() override;


 private:
  uint32_t mPhase = 0;
  cGameStopwatch mFightStopwatch;
  uint32_t mPreviousElapsed = 0;
  float mFightTime = 0.0f;
  float mEnergyDrain = 0.0f, mFoodDrain = 0.0f, mHealthDrain = 0.0f;
  tRefPtr<cTribeCreature> mOpponent;  // held: the opponent may die first
};

// Takes food from a raided hut's store into the looter's hands. Its script is
// loaded when it starts, never by the constructor (the prototype is built
// before any script may be read).
class cMemberLoots : public cTribeMemberInteraction {
 public:
  cIInteraction* Create() override { return new cMemberLoots(); }
  std::string GetName() override { return "Looting"; }
  void Start() override;  // the framework's start: running from the beginning
  uint32_t Step() override;

 private:
  void RunLoot();

  uint32_t mPhase = 0;
  cGameStopwatch mWorkStopwatch;
  int32_t mLootTimeMs = 0;
  float mLootFood = 0.0f;
};

// Members of the raided tribe won over by a party: each leaves its tribe and
// a new member of the player's tribe appears at the raided hut in the raided
// tribe's colour. Stops when the raided tribe has nobody left; returns how
// many came over.
int TransferRecruits(cTribe* from, int count);

// A player's party at a rival hut: every member starts its part at the hut,
// the party waits until all have left it, then reports. Members whose part
// finished well are handed to the class as they come back.
class cRivalHutParty : public cGroupInteraction {
 public:
  bool CanPerform(cIInteractionAgent*, tTargetWord) override { return false; }
  uint32_t Step() override;
  tTargetWord GetDefaultTarget() override;  // the rival hut nearest the first member
  bool RemoveMember(cIInteractionAgent* member) override;

 protected:
  virtual void Begin() = 0;
  virtual void OnReturned(cTribeCreature* member) = 0;
  virtual void Report() = 0;
  // Starts the members' part at the hut; a party not all of whose members
  // could start goes straight to its report.
  void StartParty(cIInteraction* memberPrototype);

  uint32_t mPhase = 0;
  cTribeHut* mHut = nullptr;
};

class cTribeGroupRaids : public cRivalHutParty {
 public:
  cIInteraction* Create() override { return new cTribeGroupRaids(); }
  std::string GetName() override { return "Group Raiding"; }
  void Start() override;
  void End() override;

  void BeginRaid();
  void ReturnRaider(cTribeCreature* raider);
  void ReportResults();

  // "You killed 2 creatures, stole 12 food, and will celebrate ..."; the food
  // is clamped into the int range before it is printed.
  static std::string ResultText(int killed, int recruited, float stolenFood);
  uint32_t GetReturnedCount() const { return mReturned; }

 protected:
  void Begin() override { BeginRaid(); }
  void OnReturned(cTribeCreature* member) override { ReturnRaider(member); }
  void Report() override { ReportResults(); }

 private:
  void RunResult(uint32_t partySize);

  cTribe* mRaiders = nullptr;
  cTribe* mRaided = nullptr;
  bool mPlayerRaids = false;
  uint32_t mReturned = 0;
  float mMyDamage = 0.0f;
  float mMyTotalDamage = 0.0f;
  float mMyEnergyCost = 0.0f;
  float mFoodShare = 0.0f;
};

class cTribeGroupRecruits : public cRivalHutParty {
 public:
  cIInteraction* Create() override { return new cTribeGroupRecruits(); }
  std::string GetName() override { return "Group Recruiting"; }
  void Start() override;

  void BeginRecruiting();
  void ReturnRecruiter(cTribeCreature* recruiter);
  void ReportResults();

  static std::string ResultText(int recruited);

 protected:
  void Begin() override { BeginRecruiting(); }
  void OnReturned(cTribeCreature* member) override { ReturnRecruiter(member); }
  void Report() override { ReportResults(); }

 private:
  void RunResult(uint32_t partySize, uint32_t otherSize);

  bool mPlayerRecruits = false;
  float mDamageShare = 0.0f;
  float mTotalDamage = 0.0f;
  float mEnergyCost = 0.0f;
  uint32_t mReturned = 0;
};

class cTribeGroupAttacks : public cGroupInteraction {
 public:
  enum ePhase : uint32_t { kWalking = 0, kApproaching = 1, kFighting = 2, kGoingHome = 3 };

  cIInteraction* Create() override { return new cTribeGroupAttacks(); }
  std::string GetName() override { return "Group Attacking"; }
  bool CanPerform(cIInteractionAgent*, tTargetWord) override { return false; }
  uint32_t Step() override;

  bool SendAllTo(const Ru::Math::Vector3& position);  // false when a member could not start
  cTribeCreature* FindArrivedMember();
  void StartFights(cTribeCreature* attacker);
  static bool IsWithinFightRange(cTribeCreature* a, cTribeCreature* b);
  void UnloadCarriedFood();

  uint32_t GetPhase() const { return mPhase; }

 private:
  bool Restart(cTribeCreature* member, cIInteraction* prototype, tTargetWord target);
  bool SendTo(cTribeCreature* member, const Ru::Math::Vector3& position);
  cTribeHut* TargetHut();

  uint32_t mPhase = kWalking;
};
