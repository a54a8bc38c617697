// Fights, songs, the protest by the hall and raid defences: what each does
// with a member at every step, and when each ends.
#include <algorithm>
#include <cmath>
#include <vector>

#include "modes/city/citizens/CityCreatures.h"
#include "modes/city/data/CityTuning.h"
#include "modes/city/groups/CityGroupFamily.h"
#include "modes/city/objects/CityObjectRegistry.h"
#include "modes/creature/CreatureCommon.h"
#include "platform/Sys.h"

using namespace Ru::Math;

namespace {
constexpr float kSwayRate = 0.0013333333f;  // radians a millisecond: one swing in 750 ms
constexpr uint32_t kBobPeriodMs = 750;
constexpr float kBobHeight = 2.5f;
constexpr float kStabChancePerMs = 0.000125f;
constexpr float kProtestTurnPerMs = 0.002f;

// Up and down on the group's clock, with now and then a stab.
void Bob(cCityGameCreature* creature, uint32_t elapsed, uint32_t ms) {
  const float height = std::fabs(std::sin((float)(elapsed % kBobPeriodMs) * kSwayRate)) * kBobHeight;
  creature->SetPosition(creature->GetPosition(), Vector3{0.0f, height, 0.0f});
  if (RollGroupChance() <= (float)ms * kStabChancePerMs) PlayStabSound();
}

uint32_t Whole(float ms) { return (uint32_t)(int32_t)ms; }  // tuning durations are compared whole
}  // namespace

// ---- fights and songs ----

bool cCityGameGatheringGroup::AddMember(cCityGameCreature* creature) {
  cCityGameGroup::AddMember(creature);
  mGroupStopwatch.Restart();  // the duration counts from the latest join
  return true;
}

bool cCityGameGatheringGroup::TryAttract(cCityGameCreature* creature) {
  if (mConsideredCreatures.Has(creature) || !CanJoin(creature)) return false;
  mConsideredCreatures.Add(creature);  // judged once: a lost roll is never rolled again
  return RollGroupChance() < GetAttractedChance();
}

void cCityGameGatheringGroup::Update(uint32_t) {
  if (mMemberCount < 2) GetCityObjectRegistry().QueueRemoval(this);
}

float cCityGameFightGroup::GetAttractionRadius() { return GetCityGameTuning().fightAttractionRadius; }
bool cCityGameFightGroup::CanJoin(cCityGameCreature* creature) { return CanFight(creature); }
float cCityGameFightGroup::GetAttractedChance() { return GetCityGameTuning().fightAttractedChance; }

bool cCityGameFightGroup::StepMember(cCityGameCreature* creature, uint32_t ms, cGameStopwatch&) {
  if (mMemberCount < 2) return false;
  const cCityGameTuning& tuning = GetCityGameTuning();
  if (creature->IsAnyMotiveAtOrBelow(GetCityGameMotiveTuning().minMotive)) return false;
  const uint32_t elapsed = mGroupStopwatch.GetElapsed();
  if (elapsed > Whole(tuning.fightDuration)) return false;
  Bob(creature, elapsed, ms);
  return true;
}

void cCityGameFightGroup::Draw() { DrawMarker(1.0f, 0.0f, 0.0f); }

float cCityGameSingGroup::GetAttractionRadius() { return GetCityGameTuning().singAttractionRadius; }
bool cCityGameSingGroup::CanJoin(cCityGameCreature* creature) { return CanSing(creature); }
float cCityGameSingGroup::GetAttractedChance() { return GetCityGameTuning().singAttractedChance; }

bool cCityGameSingGroup::StepMember(cCityGameCreature* creature, uint32_t, cGameStopwatch&) {
  if (mMemberCount < 2) return false;
  if (creature->IsAnyMotiveAtOrBelow(GetCityGameMotiveTuning().lowMotive)) return false;
  const uint32_t elapsed = mGroupStopwatch.GetElapsed();
  if (elapsed > Whole(GetCityGameTuning().singDuration)) return false;
  const float e = (float)elapsed * kSwayRate;
  creature->SetPosition(creature->GetPosition(), Vector3{std::sin(e), 0.0f, std::cos(e)});
  return true;
}

void cCityGameSingGroup::Draw() { DrawMarker(1.0f, 1.0f, 1.0f); }

// ---- the protest ----

const char* const cCityGameProtestGroup::kCrowdSounds[3] = {
    ".\\Data\\Sounds\\City\\Au_Crowd_Boo_L1.wav",
    ".\\Data\\Sounds\\City\\Au_Crowd_Riot_L1.wav",
    ".\\Data\\Sounds\\City\\Au_Crowd_Strike_L1.wav",
};

void cCityGameProtestGroup::Initialize(cCityGameObject* owner) {
  for (int i = 0; i < 3; ++i) mCrowdSounds[i].Load(kCrowdSounds[i]);
  SetOwner(owner);
}

float cCityGameProtestGroup::GetMemberRadius() { return GetCityGameTuning().protestRadius; }

bool cCityGameProtestGroup::AddMember(cCityGameCreature* creature) {
  mMemberStopwatches[creature->GetId()] = cGameStopwatch{};  // stopped at zero until it arrives
  ++mMemberCount;
  return true;
}

void cCityGameProtestGroup::OnMemberArrived(cCityGameCreature* creature) {
  mMemberStopwatches[creature->GetId()].Restart();
  ++mArrivedCount;
}

bool cCityGameProtestGroup::StepMember(cCityGameCreature* creature, uint32_t ms, cGameStopwatch&) {
  if (cCreatureCommon* record = creature->GetCommon()) record->TurnAboutUp((float)ms * kProtestTurnPerMs);
  const cCityGameTuning& tuning = GetCityGameTuning();
  const cCityGameMotiveTuning& motives = GetCityGameMotiveTuning();
  cGameStopwatch& watch = mMemberStopwatches[creature->GetId()];
  if (watch.GetElapsed() < Whole(tuning.protestDuration)) return true;
  // The cycle is over: something better to do, a place to lie down, or away.
  if (auto* citizen = dynamic_cast<cCityGamePlayerCreature*>(creature)) {
    cCityGameWorldObject* better = citizen->ChooseTarget();
    if (better && better != this) {
      creature->SetPendingTarget(better);
      mMemberStopwatches.erase(creature->GetId());
      return false;
    }
  }
  if (creature->GetMotive(1) <= motives.lowestMotive) {
    mMemberStopwatches.erase(creature->GetId());
    creature->SetPendingInteraction(GetCityBehavior<cCityGameBehaviorSleepOnGround>()->Create());
    return false;
  }
  const float percent = RollGroupChance() * 100.0f;
  if (creature->GetMotive(creature->LowestMotiveIndex()) <= motives.lowestMotive && percent <= tuning.chanceToLeaveCity) {
    mMemberStopwatches.erase(creature->GetId());
    creature->SetPendingInteraction(GetCityBehavior<cCityGameBehaviorLeaveCity>()->Create());
    creature->SetLeaving(true);
    return false;
  }
  watch.Restart();
  return true;
}

int cCityGameProtestGroup::LevelFor(int arrived) {
  if (arrived <= 0) return kSilent;
  return arrived <= 3 ? kBoo : arrived <= 8 ? kRiot : kStrike;
}

void cCityGameProtestGroup::Update(uint32_t) {
  mArrivedCount = std::min(mArrivedCount, mMemberCount);
  const int level = LevelFor(mArrivedCount);
  if (level == mSoundLevel) return;
  if (mSoundLevel != kSilent) mCrowdSounds[mSoundLevel].Stop();
  if (level != kSilent) mCrowdSounds[level].PlayLooped();
  mSoundLevel = level;
}

void cCityGameProtestGroup::OnModeLeave() {
  if (mSoundLevel != kSilent) mCrowdSounds[mSoundLevel].Stop();
  mSoundLevel = kSilent;
}

void cCityGameProtestGroup::EndUsersInteractions() {
  OnModeLeave();
  cCityGameGroup::EndUsersInteractions();
}

// ---- raid defence ----

bool cCityGameRaidDefenseGroup::AddMember(cCityGameCreature* creature) {
  const cCityGameTuning& tuning = GetCityGameTuning();
  if (dynamic_cast<cCityGamePlayerCreature*>(creature)) mHasCitizen = true;
  creature->SetRate(0, tuning.raidDefenseHungerDelta);
  creature->SetRate(1, tuning.raidDefenseEnergyDelta);
  mDurationStopwatch.Restart();
  mMaxDurationStopwatch.Restart();
  ++mMemberCount;
  return true;
}

void cCityGameRaidDefenseGroup::RemoveMember(cCityGameCreature* creature) {
  if (dynamic_cast<cCityGamePlayerCreature*>(creature)) mHasCitizen = false;  // the first citizen out ends it
  --mMemberCount;
}

bool cCityGameRaidDefenseGroup::TryAttract(cCityGameCreature* creature) {
  if (mConsideredCreatures.Has(creature) || !CanDefendRaid(creature)) return false;
  mConsideredCreatures.Add(creature);
  return true;
}

bool cCityGameRaidDefenseGroup::StepMember(cCityGameCreature* creature, uint32_t ms, cGameStopwatch&) {
  if (mMemberCount < 2 || !mHasCitizen) return false;
  const cCityGameTuning& tuning = GetCityGameTuning();
  if (dynamic_cast<cCityGameTribeCreature*>(creature)) {
    // While a citizen still attacks the tribe empty-handed, the defence holds.
    std::vector<cCityGamePlayerCreature*> citizens;
    GetCityObjectRegistry().CollectObjectsOfClass(citizens);
    for (cCityGamePlayerCreature* citizen : citizens)
      if (citizen->HasInteraction() && dynamic_cast<cCityGameBehaviorAttackTribe*>(citizen->GetInteraction()) &&
          !citizen->GetCarried()) {
        mDurationStopwatch.Restart();
        break;
      }
  } else if (dynamic_cast<cCityGamePlayerCreature*>(creature) &&
             creature->GetMotive(creature->LowestMotiveIndex()) < GetCityGameMotiveTuning().lowMotive) {
    return false;
  }
  if (mDurationStopwatch.GetElapsed() > Whole(tuning.raidDefenseDuration) ||
      mMaxDurationStopwatch.GetElapsed() > Whole(tuning.raidDefenseMaxDuration))
    return false;
  Bob(creature, mDurationStopwatch.GetElapsed(), ms);
  return true;
}

void cCityGameRaidDefenseGroup::Update(uint32_t) {
  if (mMemberCount < 2) GetCityObjectRegistry().QueueRemoval(this);
}

void cCityGameRaidDefenseGroup::Draw() { DrawMarker(1.0f, 0.0f, 0.0f); }
