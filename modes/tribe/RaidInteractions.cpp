#include "modes/tribe/RaidInteractions.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <vector>

#include "glf/Sound.h"
#include "math/Math.h"
#include "modes/tribe/MemberInteractions.h"
#include "modes/tribe/Tribe.h"
#include "modes/tribe/TribeCreatureGroup.h"
#include "modes/tribe/TribeHut.h"
#include "modes/tribe/TribeObjectController.h"
#include "modes/tribe/TribeTool.h"
#include "modes/tribe/cTribeGameMode.h"
#include "platform/Sys.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"
#include "world/planet/PlanetModel.h"

using Ru::Math::Vector3;

namespace {

constexpr float kOwnRadius = -1.0f;           // the creature's default arrival radius
constexpr float kArrivedNearHut = 20.0f;      // an attacker this close to its goal starts the fights
constexpr float kFightRangeSquared = 900.0f;  // 30 units

Vector3 PositionOf(const float* p) { return Vector3{p[0], p[1], p[2]}; }
bool IsOrigin(const Vector3& v) { return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f; }

float LevelOf(cTribe* tribe, uint32_t kind) { return tribe ? (float)tribe->GetToolLevel(kind) : 0.0f; }
float Population(cTribe* tribe) { return tribe ? (float)tribe->GetPopulation() : 0.0f; }

// The party's target hut: the hut itself, or the peopled rival hut nearest a location.
cTribeHut* HutOfTarget(tTargetWord word) {
  cIInteractionTarget* target = TargetOfWord(word);
  if (auto* hut = dynamic_cast<cTribeHut*>(target)) return hut;
  auto* location = dynamic_cast<cILocation*>(target);
  cTribeObjectController* objects = GetTribeObjectController();
  return location && objects ? objects->FindNearestRivalHut(PositionOf(location->GetPosition())) : nullptr;
}

// The rival hut nearest the group's first member, as a target word.
tTargetWord NearestRivalHutOfGroup(cIInteractionAgent* agent) {
  auto* group = dynamic_cast<cTribeCreatureGroup*>(agent);
  cTribeObjectController* objects = GetTribeObjectController();
  if (!group || group->GetMemberCount() == 0 || !objects) return 0;
  cTribeHut* hut = objects->FindNearestRivalHut(PositionOf(group->MembersBegin()->Get()->GetPosition()));
  return hut ? TargetWordOf(hut) : 0;
}

cTribeCreature* FirstMember(cIInteractionAgent* agent) {
  auto* group = dynamic_cast<cTribeCreatureGroup*>(agent);
  return group && group->GetMemberCount() > 0 ? group->MembersBegin()->Get() : nullptr;
}

// Members of a group agent as creatures, in joining order, each held.
std::vector<tRefPtr<cTribeCreature>> MembersOf(cGroupInteraction& interaction) {
  tAgentList agents;
  interaction.GetMembers(agents);
  std::vector<tRefPtr<cTribeCreature>> creatures;
  for (tRefPtr<cIInteractionAgent>& agent : agents)
    if (auto* creature = dynamic_cast<cTribeCreature*>(agent.Get())) creatures.emplace_back(creature);
  return creatures;
}

cTribeCreature* FirstLivingMember(cTribe* tribe, cTribeObjectController* objects) {
  for (cTribeCreature* member : tribe->GetMembers())
    if (!objects->IsDying(member)) return member;
  return nullptr;
}

// Script outputs that stand for harm or cost never count below zero.
float NotBelowZero(float value) { return value > 0.0f ? value : 0.0f; }

// A script's count of creatures, clamped to 0..most and truncated.
int CountWithin(float value, int most) {
  if (!(value > 0.0f) || most <= 0) return 0;
  return (int)std::min(value, (float)most);
}

}  // namespace

// ---- a member's trip to a rival hut ---------------------------------------------------

cTribeHut* cMemberHutVisit::TargetHut() { return dynamic_cast<cTribeHut*>(TargetOfWord(GetTarget())); }

void cMemberHutVisit::SetGroupInteraction(cGroupInteraction* group) {
  if (!group) return;
  tAgentList members;
  group->GetMembers(members);
  mPartySize = (uint32_t)members.size();
}

void cMemberHutVisit::Start() {
  const sScripts& scripts = Scripts();
  cTribeCreature* creature = GetCreature();
  cTribeHut* hut = TargetHut();
  LoadTribeProgram(scripts.result);
  cRovurozovizProgram& program = GetTribeProgram(scripts.result);
  SetResultInputs(program, creature ? creature->GetTribe() : nullptr, hut ? hut->GetTribe() : nullptr);
  program.Run();
  const float seconds = std::clamp(program.GetVariable(scripts.workTime), 0.0f, 4.0e6f);  // fits the u32 of ms
  mWorkTimeMs = (uint32_t)(seconds * 1000.0f);
  mEnergyCost = program.GetVariable(scripts.energyCost);
  LoadTribeProgram(scripts.motivation);
}

// The motivation program is shared by every visitor: all its inputs go in before each run.
void cMemberHutVisit::RunMotivation(int activity) {
  const sScripts& scripts = Scripts();
  cRovurozovizProgram& program = GetTribeProgram(scripts.motivation);
  program.SetVariable("current_activity", (float)activity);
  program.SetVariable(scripts.durationInput, (float)mWorkTimeMs * 0.001f);
  program.SetVariable(scripts.energyCostInput, mEnergyCost);
  program.Run();
  ApplyDrain(program);
}

uint32_t cMemberHutVisit::Step() {
  cTribeCreature* creature = GetCreature();
  if (!creature || IsAnyCritical(creature)) return 0;
  cTribeHut* hut = TargetHut();
  if (!hut) return 0;
  switch (mPhase) {
    case kStarting:
      creature->SetRole(4);
      creature->SetDestinationNear(hut->GetPositionVector(), kOwnRadius);
      mPhase = kWalking;
      StartDrainTimer();
      return 1;
    case kWalking:
      RunMotivation(0);
      if (creature->HasArrived(kOwnRadius)) {
        mPhase = kWorking;
        mWorkStopwatch.Restart();
        if (Scripts().loopSound) GetTribeSound(eTribeSound::RecruitLoop).PlayLooped();
      }
      return 1;
    default:
      break;
  }
  RunMotivation(1);
  const uint32_t elapsed = mWorkStopwatch.GetElapsed();
  if (elapsed < mWorkTimeMs) {
    hut->ShowNestMeter(true);
    hut->SetNestMeterValue((float)elapsed / (float)mWorkTimeMs);
    return 1;
  }
  if (Scripts().loopSound) GetTribeSound(eTribeSound::RecruitLoop).Stop();
  mWorkStopwatch.Stop();
  hut->ShowNestMeter(false);
  SetRunning(true);  // done: the party counts this member as returned
  cTribe* own = creature->GetTribe();
  if (cTribeHut* home = own ? own->GetHut() : nullptr) {
    Vector3 near;
    GetPlanetModel().GetRandomSurfacePointNear(near, home->GetPositionVector(), 2.0f, 3.0f);
    creature->SetDestinationNear(near, kOwnRadius);
  }
  return 0;
}

void cMemberHutVisit::End() {
  if (Scripts().loopSound) GetTribeSound(eTribeSound::RecruitLoop).Stop();
  if (cTribeHut* hut = TargetHut()) hut->ShowNestMeter(false);
}

const cMemberHutVisit::sScripts& cMemberRaids::Scripts() const {
  static const sScripts scripts{eTribeProgram::RaidResult, eTribeProgram::RaidMotivation, "raid_time", "my_energy_cost",
                                "raid_duration", "energy_cost_of_raid", false};
  return scripts;
}

void cMemberRaids::SetResultInputs(cRovurozovizProgram& program, cTribe* mine, cTribe* theirs) {
  program.SetVariable("my_party_size", (float)GetPartySize());
  program.SetVariable("my_attack_level", LevelOf(mine, kTribeToolWeapon));
  program.SetVariable("my_defense_level", LevelOf(mine, kTribeToolDefense));
  program.SetVariable("my_recruit_level", LevelOf(mine, kTribeToolRecruit));
  program.SetVariable("other_size", Population(theirs));
  program.SetVariable("other_attack_level", LevelOf(theirs, kTribeToolWeapon));
  program.SetVariable("other_defense_level", LevelOf(theirs, kTribeToolDefense));
}

void cMemberRecruits::Start() {
  LoadTribeSoundsOnce({eTribeSound::RecruitLoop});
  cMemberHutVisit::Start();
}

const cMemberHutVisit::sScripts& cMemberRecruits::Scripts() const {
  static const sScripts scripts{eTribeProgram::RecruitResult, eTribeProgram::RecruitMotivation, "recruit_time",
                                "energy_cost", "recruit_time", "energy_cost_of_activity", true};
  return scripts;
}

void cMemberRecruits::SetResultInputs(cRovurozovizProgram& program, cTribe* mine, cTribe*) {
  program.SetVariable("recruit_tool_level", LevelOf(mine, kTribeToolRecruit));
  program.SetVariable("defense_tool_level", LevelOf(mine, kTribeToolDefense));
  program.SetVariable("party_size", (float)GetPartySize());
}

// ---- fighting and looting -------------------------------------------------------------

void cMemberFights::Start() {
  auto* fighter = dynamic_cast<cTribeCreature*>(GetAgent());
  mOpponent = dynamic_cast<cTribeCreature*>(TargetOfWord(GetTarget()));
  LoadTribeProgram(eTribeProgram::AttackResult, "Script Error", "Couldn't load program tribe_attack_result.txt");
  cRovurozovizProgram& program = GetTribeProgram(eTribeProgram::AttackResult);
  cTribe* mine = fighter ? fighter->GetTribe() : nullptr;
  cTribe* theirs = mOpponent ? mOpponent->GetTribe() : nullptr;
  program.SetVariable("my_attack_level", LevelOf(mine, kTribeToolWeapon));
  program.SetVariable("my_defense_level", LevelOf(mine, kTribeToolDefense));
  program.SetVariable("other_attack_level", LevelOf(theirs, kTribeToolWeapon));
  program.SetVariable("other_defense_level", LevelOf(theirs, kTribeToolDefense));
  program.Run();
  mFightTime = program.GetVariable("fight_time");
  mEnergyDrain = program.GetVariable("energy_drain");
  mFoodDrain = program.GetVariable("food_drain");
  mHealthDrain = program.GetVariable("health_drain");
}

uint32_t cMemberFights::Step() {
  auto* fighter = dynamic_cast<cTribeCreature*>(GetAgent());
  if (!fighter || !mOpponent) return 0;
  if (mPhase == 0) {
    fighter->SetRole(9);
    const Vector3 middle =
        Vector3Scale(Vector3Add(PositionOf(fighter->GetPosition()), PositionOf(mOpponent->GetPosition())), 0.5f);
    fighter->SetDestinationNear(middle, kOwnRadius);
    mPhase = 1;
    return 1;
  }
  if (mPhase == 1) {
    if (fighter->HasArrived(kOwnRadius)) {
      mFightStopwatch.Restart();
      mPreviousElapsed = 0;
      mPhase = 2;
    }
    return 1;
  }
  const uint32_t elapsed = mFightStopwatch.GetElapsed();
  if (!((float)elapsed < mFightTime * 1000.0f)) return 0;
  const float seconds = (float)(uint32_t)(elapsed - mPreviousElapsed) * 0.001f;  // unsigned: a wrap stays positive
  mPreviousElapsed = elapsed;
  fighter->SetEnergy(fighter->GetEnergy() - seconds * mEnergyDrain);
  fighter->SetHunger(fighter->GetHunger() - seconds * mFoodDrain);
  fighter->SetHealth(fighter->GetHealth() - seconds * mHealthDrain);
  return 1;
}

void cMemberLoots::Start() {
  RunLoot();
  cTribeMemberInteraction::Start();  // the framework's: running from the beginning
}

void cMemberLoots::RunLoot() {
  LoadTribeProgram(eTribeProgram::LootResult, "Rovurozoviz Error", "Cannot load tribe_loot_result.txt script");
  cRovurozovizProgram& program = GetTribeProgram(eTribeProgram::LootResult);
  program.Run();
  mLootTimeMs = (int32_t)std::clamp(program.GetVariable("loot_time"), -1.0e9f, 1.0e9f);
  mLootFood = program.GetVariable("loot_food");
}

uint32_t cMemberLoots::Step() {
  auto* hut = dynamic_cast<cTribeHut*>(TargetOfWord(GetTarget()));
  cTribeCreature* looter = GetCreature();
  if (!hut || !looter) return 0;
  cRovurozovizProgram& program = GetTribeProgram(eTribeProgram::LootResult);
  if (mPhase == 0) {
    looter->SetRole(8);
    looter->SetDestinationNear(*hut->GetFoodSite(), kOwnRadius);
    mPhase = 1;
    StartDrainTimer();
    return 1;
  }
  program.Run();
  ApplyDrain(program);
  if (mPhase == 1) {
    if (looter->HasArrived(kOwnRadius)) {
      mPhase = 2;
      mWorkStopwatch.Restart();
    }
    return 1;
  }
  if ((int64_t)mWorkStopwatch.GetElapsed() < (int64_t)mLootTimeMs) return 1;
  cTribe* raided = hut->GetTribe();
  const float amount = raided ? std::clamp(mLootFood, 0.0f, raided->GetFood()) : 0.0f;
  looter->SetCarriedFood(amount);
  if (raided) raided->AddFood(-amount);
  return 0;
}

// ---- moving members between tribes ----------------------------------------------------

int TransferRecruits(cTribe* from, int count) {
  cTribeObjectController* objects = GetTribeObjectController();
  cTribe* player = objects ? objects->GetPlayerTribe() : nullptr;
  if (!from || !player) return 0;
  const Vector3 where = HutPositionOf(from);
  int moved = 0;
  for (int i = 0; i < count; ++i) {
    cTribeCreature* leaving = FirstLivingMember(from, objects);
    if (!leaving) break;
    objects->KillCreature(leaving);
    if (cTribeCreature* joined = objects->AddNewMember(player, false)) {
      joined->SetPosition(where);
      joined->SetColour(*from->GetColour());
      ++moved;
    }
  }
  return moved;
}

// ---- the player's raid ----------------------------------------------------------------

// ---- a party at a rival hut ------------------------------------------------------------

tTargetWord cRivalHutParty::GetDefaultTarget() { return NearestRivalHutOfGroup(GetAgent()); }

void cRivalHutParty::StartParty(cIInteraction* memberPrototype) {
  if (StartMembers(memberPrototype, TargetWordOf(mHut))) {
    mPhase = 1;
  } else {
    SetRunning(false);
    mPhase = 2;
  }
}

uint32_t cRivalHutParty::Step() {
  auto* group = dynamic_cast<cTribeCreatureGroup*>(GetAgent());
  if (!mHut || !group || group->GetMemberCount() == 0) return 0;
  if (mPhase == 0) {
    Begin();
    return 1;
  }
  if (mPhase == 1) {
    if (HasNoMembers()) mPhase = 2;
    return 1;
  }
  Report();
  return 0;
}

bool cRivalHutParty::RemoveMember(cIInteractionAgent* member) {
  cIInteraction* part = member ? member->GetInteraction() : nullptr;
  auto* returning = dynamic_cast<cTribeCreature*>(member);
  if (returning && part && part->IsRunning()) OnReturned(returning);
  return cGroupInteraction::RemoveMember(member);
}

// All seven inputs on every run: two raids at once share this program.
void cTribeGroupRaids::RunResult(uint32_t partySize) {
  cRovurozovizProgram& program = GetTribeProgram(eTribeProgram::GroupRaidResult);
  program.SetVariable("my_party_size", (float)partySize);
  program.SetVariable("my_attack_level", LevelOf(mRaiders, kTribeToolWeapon));
  program.SetVariable("my_defense_level", LevelOf(mRaiders, kTribeToolDefense));
  program.SetVariable("my_recruit_level", LevelOf(mRaiders, kTribeToolRecruit));
  program.SetVariable("other_size", Population(mRaided));
  program.SetVariable("other_attack_level", LevelOf(mRaided, kTribeToolWeapon));
  program.SetVariable("other_defense_level", LevelOf(mRaided, kTribeToolDefense));
  program.Run();
}

void cTribeGroupRaids::Start() {
  cGroupInteraction::Start();
  LoadTribeSoundsOnce({eTribeSound::RaidDrumLoop, eTribeSound::RaidWoohoo, eTribeSound::RaidWawawah});
  mHut = HutOfTarget(GetTarget());
  mRaided = mHut ? mHut->GetTribe() : nullptr;
  cTribeCreature* first = FirstMember(GetAgent());
  mRaiders = first ? first->GetTribe() : nullptr;
  LoadTribeProgram(eTribeProgram::GroupRaidResult);
  tAgentList members;
  GetMembers(members);
  RunResult((uint32_t)members.size());
  cRovurozovizProgram& program = GetTribeProgram(eTribeProgram::GroupRaidResult);
  mMyDamage = NotBelowZero(program.GetVariable("my_damage"));
  mMyTotalDamage = NotBelowZero(program.GetVariable("my_total_damage"));
  mMyEnergyCost = NotBelowZero(program.GetVariable("my_energy_cost"));
}

void cTribeGroupRaids::BeginRaid() {
  cTribeCreature* first = FirstMember(GetAgent());
  mRaiders = first ? first->GetTribe() : nullptr;
  cTribeObjectController* objects = GetTribeObjectController();
  mPlayerRaids = objects && mRaiders && mRaiders == objects->GetPlayerTribe();
  StartParty(GetTribePrototype<cMemberRaids>());
  GetTribeSound(eTribeSound::RaidDrumLoop).PlayLooped();
}

void cTribeGroupRaids::End() { GetTribeSound(eTribeSound::RaidDrumLoop).Stop(); }

void cTribeGroupRaids::ReturnRaider(cTribeCreature* raider) {
  if (mReturned == 0) {
    tAgentList members;
    GetMembers(members);
    const uint32_t count = std::max<uint32_t>(1, (uint32_t)members.size());
    RunResult(count);
    // Never more than the raided tribe has (nor less than nothing).
    const float available = mRaided ? mRaided->GetFood() : 0.0f;
    const float stolen = std::clamp(GetTribeProgram(eTribeProgram::GroupRaidResult).GetVariable("food_stolen"), 0.0f,
                                    available);
    if (mRaided) mRaided->AddFood(-stolen);
    mFoodShare = stolen / (float)count;
  }
  ++mReturned;
  const float damage = std::min(mMyDamage, mMyTotalDamage);
  mMyTotalDamage -= damage;
  raider->SetHealth(raider->GetHealth() - damage);
  raider->SetCarriedFood(raider->GetCarriedFood() + mFoodShare);
}

std::string cTribeGroupRaids::ResultText(int killed, int recruited, float stolenFood) {
  auto piece = [](const char* format, int value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return std::string(text);
  };
  // NPC stores hold about 1.7e38: clamped first, as converting such a float to int is undefined.
  const int stolen = (int)std::clamp((double)stolenFood, 0.0, (double)INT_MAX);
  std::string text = "You ";
  if (killed > 0) text += piece("killed %d creatures, ", killed);
  if (recruited > 0) text += piece("recruited %d creatures, ", recruited);
  if (stolenFood > 0.0f) text += piece("stole %d food, ", stolen);
  return text + "and will celebrate at the hut tonight!";
}

void cTribeGroupRaids::ReportResults() {
  GetTribeSound(eTribeSound::RaidDrumLoop).Stop();
  cTribeObjectController* objects = GetTribeObjectController();
  if (mReturned == 0 || !mRaided || !objects) return;
  mRaided->IncrementRaidCount();
  const int population = (int)mRaided->GetPopulation();
  RunResult(mReturned);
  cRovurozovizProgram& program = GetTribeProgram(eTribeProgram::GroupRaidResult);
  const int killed = CountWithin(program.GetVariable("targets_killed"), population);
  const int recruited = CountWithin(program.GetVariable("targets_recruited"), population - killed);
  if (recruited <= 0 && killed <= 0 && mFoodShare <= 0.0f) {
    GetTribeSound(eTribeSound::RaidWawawah).Play();
    return;
  }
  const float stolen = mFoodShare > 0.0f ? (float)mReturned * mFoodShare : 0.0f;
  Sys_MessageBox("Raid Results", ResultText(killed, recruited, stolen));
  GetTribeSound(eTribeSound::RaidWoohoo).Play();
  TransferRecruits(mRaided, recruited);
  for (int i = 0; i < killed; ++i) {
    cTribeCreature* victim = FirstLivingMember(mRaided, objects);
    if (!victim) break;
    objects->KillCreature(victim);
  }
}

// ---- the player's recruiting drive ----------------------------------------------------

void cTribeGroupRecruits::RunResult(uint32_t partySize, uint32_t otherSize) {
  cTribeCreature* first = FirstMember(GetAgent());
  cTribe* mine = first ? first->GetTribe() : nullptr;
  cRovurozovizProgram& program = GetTribeProgram(eTribeProgram::GroupRecruitResult);
  program.SetVariable("recruit_tool_level", LevelOf(mine, kTribeToolRecruit));
  program.SetVariable("defense_tool_level", LevelOf(mine, kTribeToolDefense));
  program.SetVariable("party_size", (float)partySize);
  program.SetVariable("other_size", (float)otherSize);
  program.Run();
}

void cTribeGroupRecruits::Start() {
  cGroupInteraction::Start();
  LoadTribeSoundsOnce({eTribeSound::RecruitWoohoo, eTribeSound::RecruitWawawah});
  mHut = HutOfTarget(GetTarget());
  LoadTribeProgram(eTribeProgram::GroupRecruitResult);
  tAgentList members;
  GetMembers(members);
  cTribe* theirs = mHut ? mHut->GetTribe() : nullptr;
  RunResult((uint32_t)members.size(), theirs ? theirs->GetPopulation() : 0u);
  cRovurozovizProgram& program = GetTribeProgram(eTribeProgram::GroupRecruitResult);
  mDamageShare = NotBelowZero(program.GetVariable("damage_share"));
  mTotalDamage = NotBelowZero(program.GetVariable("total_damage"));
  mEnergyCost = NotBelowZero(program.GetVariable("energy_cost"));
}

void cTribeGroupRecruits::BeginRecruiting() {
  cTribeCreature* first = FirstMember(GetAgent());
  cTribeObjectController* objects = GetTribeObjectController();
  mPlayerRecruits = first && objects && first->GetTribe() == objects->GetPlayerTribe();
  StartParty(GetTribePrototype<cMemberRecruits>());
}

void cTribeGroupRecruits::ReturnRecruiter(cTribeCreature* recruiter) {
  ++mReturned;
  const float damage = std::min(mDamageShare, mTotalDamage);
  mTotalDamage -= damage;
  recruiter->SetHealth(recruiter->GetHealth() - damage);
}

std::string cTribeGroupRecruits::ResultText(int recruited) {
  if (recruited <= 0) return "Recruiting Failed.  Perhaps more tribe members or better recruiting tools would help.";
  return "Recruiting Successful!\nYou impressed " + std::to_string(recruited) + " new creatures.";
}

void cTribeGroupRecruits::ReportResults() {
  cTribe* theirs = mHut ? mHut->GetTribe() : nullptr;
  SetRunning(mReturned > 0);
  if (mReturned == 0 || !theirs) return;
  const int population = (int)theirs->GetPopulation();
  RunResult(mReturned, (uint32_t)population);
  const int recruited =
      CountWithin(GetTribeProgram(eTribeProgram::GroupRecruitResult).GetVariable("targets_recruited"), population);
  GetTribeSound(recruited > 0 ? eTribeSound::RecruitWoohoo : eTribeSound::RecruitWawawah).Play();
  Sys_MessageBox("Recruiting Results", ResultText(recruited));
  TransferRecruits(theirs, recruited);
}

// ---- an NPC tribe's attack on the player's hut ----------------------------------------

cTribeHut* cTribeGroupAttacks::TargetHut() { return dynamic_cast<cTribeHut*>(TargetOfWord(GetTarget())); }

// A member still busy with this group's earlier part ends it first: ending it
// later, inside the new start, would take the member off this group's list
// again right after it joined.
bool cTribeGroupAttacks::Restart(cTribeCreature* member, cIInteraction* prototype, tTargetWord target) {
  member->EndInteraction();
  return StartMember(member, prototype, target);
}

bool cTribeGroupAttacks::SendTo(cTribeCreature* member, const Vector3& position) {
  // The walk owns its location and frees it; one that never started is ours to free.
  auto* location = new cLocation(position.x, position.y, position.z);
  if (Restart(member, GetTribePrototype<cMemberGoToTarget>(), TargetWordOf(location))) return true;
  delete location;
  return false;
}

bool cTribeGroupAttacks::SendAllTo(const Vector3& position) {
  for (tRefPtr<cTribeCreature>& member : MembersOf(*this))
    if (!SendTo(member.Get(), position)) return false;
  return true;
}

cTribeCreature* cTribeGroupAttacks::FindArrivedMember() {
  for (tRefPtr<cTribeCreature>& member : MembersOf(*this))
    if (member->HasArrived(kArrivedNearHut)) return member.Get();
  return nullptr;
}

bool cTribeGroupAttacks::IsWithinFightRange(cTribeCreature* a, cTribeCreature* b) {
  const Vector3 apart = Vector3Sub(PositionOf(a->GetPosition()), PositionOf(b->GetPosition()));
  return Vector3LengthSquared(apart) < kFightRangeSquared;
}

void cTribeGroupAttacks::StartFights(cTribeCreature* attacker) {
  cTribeHut* hut = TargetHut();
  cTribe* raided = hut ? hut->GetTribe() : nullptr;
  if (!raided) return;
  // Defenders first, then whoever else stands near, each in member-list order.
  std::vector<tRefPtr<cTribeCreature>> defenders, others;
  for (cTribeCreature* member : raided->GetMembers()) {
    if (!IsWithinFightRange(attacker, member)) continue;
    cIInteraction* doing = member->GetInteraction();
    (doing && doing->GetName() == "Defending" ? defenders : others).emplace_back(member);
  }
  defenders.insert(defenders.end(), others.begin(), others.end());

  size_t next = 0;
  for (tRefPtr<cTribeCreature>& raider : MembersOf(*this)) {
    if (next < defenders.size()) {
      cTribeCreature* defender = defenders[next++].Get();
      defender->StartInteraction(GetTribePrototype<cMemberFights>(), TargetWordOf(raider.Get()));
      Restart(raider.Get(), GetTribePrototype<cMemberFights>(), TargetWordOf(defender));
    } else {
      Restart(raider.Get(), GetTribePrototype<cMemberLoots>(), TargetWordOf(hut));
    }
  }
}

// The loot reaches the attackers' tribe only now, when the party is home.
// Their movement target is cleared; putting them at the planet's centre (as
// once done) made later unit vectors of the zero vector NaN positions.
void cTribeGroupAttacks::UnloadCarriedFood() {
  for (tRefPtr<cTribeCreature>& member : MembersOf(*this)) {
    if (cTribe* tribe = member->GetTribe()) tribe->AddFood(member->GetCarriedFood());
    member->SetCarriedFood(0.0f);
    member->SetDestinationNear(Vector3{0.0f, 0.0f, 0.0f}, kOwnRadius);
  }
}

uint32_t cTribeGroupAttacks::Step() {
  auto* group = dynamic_cast<cTribeCreatureGroup*>(GetAgent());
  cTribeHut* hut = TargetHut();
  if (!group || group->GetMemberCount() == 0 || !hut) return 0;
  cTribeCreature* first = group->MembersBegin()->Get();
  cTribe* attackers = first->GetTribe();
  switch (mPhase) {
    case kWalking:
      if (!SendAllTo(hut->GetPositionVector())) return 0;
      mPhase = kApproaching;
      return 1;
    case kApproaching: {
      cTribeCreature* arrived = FindArrivedMember();
      if (!arrived) return 1;
      if (IsOrigin(*arrived->GetDestination())) return SendTo(arrived, hut->GetPositionVector()) ? 1 : 0;
      StartFights(arrived);
      cTribeObjectController* objects = GetTribeObjectController();
      if (!objects || attackers != objects->GetPlayerTribe()) GetTribeSound(eTribeSound::PlayerTribeRaided).Play();
      mPhase = kFighting;
      return 1;
    }
    case kFighting:
      if (!HasNoMembers()) return 1;
      if (cTribeHut* home = attackers ? attackers->GetHut() : nullptr) {
        const Vector3 homePosition = home->GetPositionVector();
        for (tRefPtr<cTribeCreature>& member : MembersOf(*this)) SendTo(member.Get(), homePosition);
      }
      mPhase = kGoingHome;
      return 1;
    default:
      if (!HasNoMembers()) return 1;
      UnloadCarriedFood();
      return 0;
  }
}
