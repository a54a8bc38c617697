// Hunting: a lone starving creature or a party sent by the player chases a
// herd, catches an animal, fights it and brings the catch home as food. Runts
// are resolved per hunter; big game and predators once for the whole party,
// when its last hunter is back, with a "Hunt Results" box.
#pragma once

#include <cstdint>
#include <string>

#include "app/GameClock.h"
#include "modes/tribe/TribeHerd.h"
#include "modes/tribe/TribeMemberInteraction.h"
#include "sim/behavior/GroupInteraction.h"
#include "sim/gamedata/RefPtr.h"

class cTribeCreature;
class cTribeGroupHunts;

class cMemberHunts : public cTribeMemberInteraction, public cIMemberInteraction {
 public:
  enum ePhase : uint32_t { kChasing = 0, kFighting = 1 };

  cIInteraction* Create() override { return new cMemberHunts(); }
  std::string GetName() override;  // "Hunting " + "Big Game", "Runts" or "Predators"
  uint32_t Step() override;
  bool CanPerform(cIInteractionAgent* agent, tTargetWord target) override;
  int32_t Score(cIInteractionAgent* agent, tTargetWord target) override;
  void Start() override;
  void End() override { EndHunt(); }
  tTargetWord GetDefaultTarget() override;  // the nearest herd
  void SetGroupInteraction(cGroupInteraction* group) override;

  void RunHuntResult();
  bool UpdateHuntTimer();  // true when the fight is over
  void ResolveRuntCatch();
  void EndHunt();

  uint32_t GetPhase() const { return mPhase; }
  cTribeHerd* GetHerd() const { return mHerd.Get(); }
  cTribeHerd* GetPrey() const { return mPrey.Get(); }

 private:
  cTribeGroupHunts* Party();  // the party, while it still runs this hunt
  void Chase(cTribeCreature* hunter);
  void Catch(cTribeCreature* hunter);  // false when the hunter gave up (and started idling)
  void RunMotivation(int activity);
  void PutPreyBack();

  cTribeGroupHunts* mGroup = nullptr;
  uint32_t mPhase = kChasing;
  cGameStopwatch mTickStopwatch;
  cGameStopwatch mHuntStopwatch;
  float mHuntElapsed = 0.0f;
  int32_t mHuntTime = 0;
  float mHuntEnergyCost = 0.0f;
  float mTotalDamage = 0.0f;
  float mTotalCatch = 0.0f;
  float mSprintDistance = 0.0f;
  float mSprintMultiplier = 0.0f;
  bool mKeepHunting = false;
  bool mGaveUp = false;  // a caught-runt step that started idling instead
  tRefPtr<cTribeHerd> mHerd;
  tRefPtr<cTribeHerd> mPrey;
};

class cTribeGroupHunts : public cGroupInteraction {
 public:
  cIInteraction* Create() override { return new cTribeGroupHunts(); }
  std::string GetName() override { return "Group Hunting"; }
  bool CanPerform(cIInteractionAgent*, tTargetWord) override { return false; }
  void Start() override;  // leaves the running flag clear: it tells whether a hunter finished well
  uint32_t Step() override;
  void End() override;
  bool RemoveMember(cIInteractionAgent* member) override;

  void SetPrey(cTribeHerd* prey);
  cTribeHerd* GetPrey();
  cTribeHerd* GetHerd() { return mHerd.Get(); }
  size_t GetReturnedCount() const { return mReturned.size(); }

  // The party's share-out, apart for the tests: catch per hunter, then each
  // hunter in turn takes the damage share until the total is used up; a
  // hunter whose health does not exceed its damage dies.
  struct sShareOut {
    int survivors = 0;
    int dead = 0;
  };
  static sShareOut ShareOut(const tAgentList& hunters, float catchPerHunter, float damageShare, float totalDamage);
  static std::string ResultText(const sShareOut& outcome, float catchPerHunter);

 private:
  void ReportResult();
  void PutPreyBack();

  uint32_t mPhase = 0;
  tRefPtr<cTribeHerd> mHerd;
  tRefPtr<cTribeHerd> mPrey;
  tAgentList mReturned;  // hunters that finished well, in order of return
};
