#include "modes/tribe/HuntInteractions.h"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <sstream>

#include "glf/Sound.h"
#include "math/Math.h"
#include "modes/tribe/MemberInteractions.h"
#include "modes/tribe/Tribe.h"
#include "modes/tribe/TribeCreature.h"
#include "modes/tribe/TribeCreatureGroup.h"
#include "modes/tribe/TribeHerd.h"
#include "modes/tribe/TribeObjectController.h"
#include "modes/tribe/TribeTool.h"
#include "modes/tribe/TribeStatics.h"
#include "modes/tribe/cTribeGameMode.h"
#include "platform/Sys.h"
#include "sim/behavior/MemberInteractionDecorator.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"
#include "sim/tuning/TribeTuningData.h"

using Ru::Math::Vector3;

namespace {

constexpr int kActivityChasing = 0, kActivitySprinting = 1, kActivityFighting = 2;
constexpr float kCatchDistance = 1.0f;
constexpr float kNearLeadSeconds = 0.1f, kFarLeadSeconds = 2.0f;

Vector3 PositionOf(const float* p) { return Vector3{p[0], p[1], p[2]}; }

cTribeHerd* HerdOfWord(tTargetWord word) { return dynamic_cast<cTribeHerd*>(TargetOfWord(word)); }

bool IsBigPrey(uint32_t type) { return type == kTribeHerdBigGame || type == kTribeHerdPredators; }

// A caught animal that was not eaten rejoins its herd, and its one-animal
// herd empties. Only once: a hunter and its party may both let go of it.
void ReturnAnimal(cTribeHerd* herd, cTribeHerd* prey) {
  if (!herd || !prey || prey == herd || prey->GetCount() <= 0) return;
  herd->SetCount(herd->GetCount() + 1);
  prey->SetCount(0);
}

void PlayOnce(eTribeSound which) { GetTribeSound(which).Play(); }

}  // namespace

// ---- the hunter ---------------------------------------------------------------------

std::string cMemberHunts::GetName() {
  switch (mHerd ? mHerd->GetType() : 0u) {
    case kTribeHerdBigGame: return "Hunting Big Game";
    case kTribeHerdRunts: return "Hunting Runts";
    case kTribeHerdPredators: return "Hunting Predators";
    default: return "Hunting ";
  }
}

bool cMemberHunts::CanPerform(cIInteractionAgent* agent, tTargetWord) { return IsTribeCreature(agent); }

int32_t cMemberHunts::Score(cIInteractionAgent* agent, tTargetWord) {
  auto* creature = dynamic_cast<cTribeCreature*>(agent);
  if (!creature) return 5;
  cTribe* tribe = creature->GetTribe();
  const bool noFood = tribe && tribe->GetFood() == 0.0f;
  return noFood && creature->GetHunger() < (float)GetTribeTuningData().GetCriticalHungerLevel() ? 100 : 5;
}

tTargetWord cMemberHunts::GetDefaultTarget() {
  cTribeCreature* hunter = GetCreature();
  cTribeObjectController* objects = GetTribeObjectController();
  if (!hunter || !objects) return 0;
  cTribeHerd* herd = objects->FindNearestHerd(PositionOf(hunter->GetPosition()));
  return herd ? TargetWordOf(herd) : 0;
}

void cMemberHunts::SetGroupInteraction(cGroupInteraction* group) { mGroup = dynamic_cast<cTribeGroupHunts*>(group); }

// The party only while the hunter still serves it: a party that finished
// first is gone, and its decorator no longer names it.
cTribeGroupHunts* cMemberHunts::Party() {
  if (!mGroup) return nullptr;
  cIInteractionAgent* agent = GetAgent();
  auto* decorator = agent ? dynamic_cast<cMemberInteractionDecorator*>(agent->GetInteraction()) : nullptr;
  if (!decorator || decorator->GetInner() != this || decorator->GetGroupInteraction() != mGroup) return nullptr;
  return mGroup;
}

void cMemberHunts::Start() {
  static bool soundsLoaded = false;
  if (!soundsLoaded) {
    soundsLoaded = true;
    LoadTribeStabSounds();
    LoadTribeSound(eTribeSound::HuntWoohoo);
    LoadTribeSound(eTribeSound::HuntWawawah);
  }
  mHerd = HerdOfWord(GetTarget());
  if (cTribeCreature* hunter = GetCreature()) hunter->SetRole(1);
  RunHuntResult();
  StartDrainTimer();
  mTickStopwatch.Restart();
}

void cMemberHunts::RunHuntResult() {
  cTribeCreature* hunter = GetCreature();
  LoadTribeProgram(eTribeProgram::HuntResult);
  cRovurozovizProgram& program = GetTribeProgram(eTribeProgram::HuntResult);
  const uint32_t type = mHerd ? mHerd->GetType() : 0u;
  uint32_t partySize = 1;
  if (cTribeGroupHunts* party = Party(); party && type != kTribeHerdRunts) {
    tAgentList members;
    party->GetMembers(members);
    partySize = std::max<uint32_t>(1, (uint32_t)members.size());
  }
  program.SetVariable("hunt_tool_level", ToolLevel(hunter, kTribeToolWeapon));
  program.SetVariable("defense_tool_level", ToolLevel(hunter, kTribeToolDefense));
  program.SetVariable("gather_tool_level", ToolLevel(hunter, kTribeToolGather));
  program.SetVariable("prey_type", (float)type);
  program.SetVariable("party_health", hunter ? hunter->GetHealth() : 0.0f);
  program.SetVariable("party_size", (float)partySize);
  program.SetVariable("carried_food", hunter ? hunter->GetCarriedFood() : 0.0f);
  program.Run();
  // Held back from the int range so the truncation stays defined for any script.
  mHuntTime = (int32_t)std::clamp(program.GetVariable("hunt_time"), -1.0e6f, 1.0e6f);
  mHuntEnergyCost = program.GetVariable("hunt_energy_cost");
  mTotalDamage = program.GetVariable("total_damage");
  mTotalCatch = program.GetVariable("total_catch");
  mSprintDistance = program.GetVariable("creature_sprint_distance");
  mSprintMultiplier = program.GetVariable("creature_sprint_multiplier");
  mKeepHunting = program.GetVariable("keep_hunting") != 0.0f;
  LoadTribeProgram(eTribeProgram::HuntMotivation);
}

// Every hunter shares the motivation program, so this hunter's own duration
// and cost go in before every run, not once at the start.
void cMemberHunts::RunMotivation(int activity) {
  cRovurozovizProgram& program = GetTribeProgram(eTribeProgram::HuntMotivation);
  program.SetVariable("hunt_duration", (float)mHuntTime);
  program.SetVariable("energy_cost_of_hunt", mHuntEnergyCost);
  program.SetVariable("current_activity", (float)activity);
  program.Run();
  ApplyDrain(program);
}

uint32_t cMemberHunts::Step() {
  cTribeCreature* hunter = GetCreature();
  if (!hunter || !mHerd || mHerd->GetCount() < 1) return 0;
  const uint32_t ms = mTickStopwatch.GetElapsed();
  mTickStopwatch.Restart();

  // A starving hunter with food in hand eats this step instead of hunting.
  const cTribeTuningData& tuning = GetTribeTuningData();
  if (hunter->GetCarriedFood() > 0.0f && hunter->GetHunger() < (float)tuning.GetCriticalHungerLevel()) {
    const float perPoint = (float)tuning.GetEatFood() * 0.01f;
    const float interval = (float)std::max(1, tuning.GetEatInterval());
    const float points = std::min(100.0f - hunter->GetHunger(), (float)ms * 0.001f * 1000.0f / interval);
    if (perPoint > 0.0f) {
      const float food = std::min(points * perPoint, hunter->GetCarriedFood());
      hunter->SetCarriedFood(hunter->GetCarriedFood() - food);
      hunter->SetHunger(hunter->GetHunger() + food / perPoint);
    } else {
      hunter->SetHunger(hunter->GetHunger() + points);  // free food: the points cost nothing
    }
    return 1;
  }

  // Hunger counts only while there is food at home: a hunt is how a starving
  // tribe without food eats, so starving cannot be a reason to stop it (the
  // hunt would end at every first step and its hunter stand still for ever).
  if (IsInCriticalNeed(hunter)) {
    SetRunning(false);
    return 0;
  }

  if (mPhase == kFighting) {
    RunMotivation(kActivityFighting);
    if (!UpdateHuntTimer()) return 1;
    const bool goOn = mHerd && mHerd->GetType() == kTribeHerdRunts && mKeepHunting &&
                      hunter->GetHealth() > (float)tuning.GetLowHealthLevel() &&
                      hunter->GetEnergy() > (float)tuning.GetLowEnergyLevel();
    if (!goOn) return 0;
    mPhase = kChasing;  // off after the next runt
    return 1;
  }

  mGaveUp = false;
  Chase(hunter);
  return mGaveUp ? 2 : 1;
}

void cMemberHunts::Chase(cTribeCreature* hunter) {
  cTribeGroupHunts* party = Party();
  cTribeHerd* quarry = party && party->GetPrey() ? party->GetPrey() : mHerd.Get();
  const Vector3 at = PositionOf(quarry->GetPosition());
  const Vector3 velocity = *quarry->GetVelocity();
  const float distance = Vector3Length(Vector3Sub(at, PositionOf(hunter->GetPosition())));
  float lead = distance < mSprintDistance ? kNearLeadSeconds : kFarLeadSeconds;
  const float speed = hunter->GetSpeed();
  if (speed > 0.0f) lead = std::min(lead, distance / speed);
  hunter->SetDestinationNear(Vector3Add(at, Vector3Scale(velocity, lead)), 0.0f);
  hunter->SetSpeedFactor(1.0f);
  int activity = kActivityChasing;

  if (distance < kCatchDistance) {
    Catch(hunter);
    if (mGaveUp) return;
  } else if (!quarry->IsHunted() &&
             (distance < mSprintDistance || Vector3Length(velocity) > GetTribeTuningData().GetCreatureSpeed())) {
    hunter->SetSpeedFactor(mSprintMultiplier);
    activity = kActivitySprinting;
  }
  RunMotivation(activity);
}

void cMemberHunts::Catch(cTribeCreature* hunter) {
  mPhase = kFighting;
  mHuntElapsed = 0.0f;
  mHuntStopwatch.Restart();
  RunHuntResult();  // now for the fight
  cTribeObjectController* objects = GetTribeObjectController();
  const uint32_t type = mHerd->GetType();
  auto splitOff = [&]() -> cTribeHerd* {
    cTribeHerd* one = objects && mHerd->GetCount() > 1 ? objects->SplitHerd(mHerd.Get()) : nullptr;
    return one ? one : mHerd.Get();
  };
  if (IsBigPrey(type)) {
    cTribeGroupHunts* party = Party();
    if (party && party->GetPrey()) {
      mPrey = party->GetPrey();
    } else {
      mPrey = splitOff();
      if (party) party->SetPrey(mPrey.Get());
    }
    SetTarget(TargetWordOf(mPrey.Get()));
  } else if (type == kTribeHerdRunts && !mPrey) {
    if (mHerd->GetCount() > 1) {
      mPrey = splitOff();
      SetTarget(TargetWordOf(mPrey.Get()));
    } else if (mHerd->IsHunted()) {
      // The last runt is someone else's already: idle instead.
      SetRunning(false);
      mGaveUp = true;
      hunter->StartInteraction(GetTribePrototype<cMemberIdles>(), 0);
      return;
    } else {
      mPrey = mHerd;
    }
  }
  if (mPrey) mPrey->SetHunted(true);
}

bool cMemberHunts::UpdateHuntTimer() {
  const float seconds = (float)mHuntStopwatch.GetElapsed() * 0.001f;
  mHuntElapsed = seconds;
  if (seconds < (float)mHuntTime) {
    if (mPrey) {
      mPrey->ShowMeter(true);
      mPrey->SetMeterValue(seconds / (float)mHuntTime);
    }
    return false;
  }
  mHuntStopwatch.Stop();
  if (mPrey) mPrey->ShowMeter(false);
  SetRunning(true);  // the fight is done: the party counts this hunter
  // A party settles big game for all; a hunter on its own settles its own
  // catch, or the animal would stay caught and the hunter go hungry.
  if (mHerd && (mHerd->GetType() == kTribeHerdRunts || !Party())) ResolveRuntCatch();
  return true;
}

void cMemberHunts::ResolveRuntCatch() {
  cTribeCreature* hunter = GetCreature();
  if (hunter) {
    hunter->SetHealth(hunter->GetHealth() - mTotalDamage);
    hunter->SetCarriedFood(hunter->GetCarriedFood() + mTotalCatch);
  }
  if (mTotalCatch > 0.0f) {
    GetTribeStabSound(Sys_Random() % kTribeStabSoundCount).Play();
    PlayOnce(eTribeSound::HuntWoohoo);
    if (mPrey) mPrey->OnHunted();
  } else {
    PlayOnce(eTribeSound::HuntWawawah);
    ReturnAnimal(mHerd.Get(), mPrey.Get());
    if (mPrey == mHerd) mHerd->SetHunted(0);  // it got away: others may try
  }
  mPrey.Reset();
}

void cMemberHunts::PutPreyBack() {
  if (!mPrey) return;
  mPrey->SetHunted(0);
  mPrey->ShowMeter(false);
  ReturnAnimal(mHerd.Get(), mPrey.Get());
  mPrey.Reset();
}

void cMemberHunts::EndHunt() {
  const uint32_t type = mHerd ? mHerd->GetType() : 0u;
  // A party settles its big prey itself; a lone hunter who did not finish
  // lets its animal go back like a runt.
  if (type == kTribeHerdRunts || (IsBigPrey(type) && !Party()))
    PutPreyBack();
  else
    mPrey.Reset();
  mHerd.Reset();
  if (cTribeCreature* hunter = GetCreature()) hunter->SetSpeedFactor(1.0f);
}

// ---- the party ------------------------------------------------------------------------

void cTribeGroupHunts::SetPrey(cTribeHerd* prey) { mPrey = prey; }
cTribeHerd* cTribeGroupHunts::GetPrey() { return mPrey.Get(); }

void cTribeGroupHunts::Start() {
  LoadTribeSoundsOnce({eTribeSound::HuntDrumLoop, eTribeSound::GroupHuntWoohoo, eTribeSound::GroupHuntWawawah});
  LoadTribeProgram(eTribeProgram::GroupHuntResult);
  mHerd = HerdOfWord(GetTarget());
  if (!mHerd) {
    auto* location = dynamic_cast<cILocation*>(TargetOfWord(GetTarget()));
    cTribeObjectController* objects = GetTribeObjectController();
    if (location && objects) mHerd = objects->FindNearestHerd(PositionOf(location->GetPosition()));
  }
}

bool cTribeGroupHunts::RemoveMember(cIInteractionAgent* member) {
  tRefPtr<cIInteractionAgent> held(member);
  cIInteraction* part = member ? member->GetInteraction() : nullptr;
  const bool finishedWell = part && part->IsRunning();
  const bool removed = cGroupInteraction::RemoveMember(member);
  if (removed && finishedWell) mReturned.push_back(held);
  return removed;
}

uint32_t cTribeGroupHunts::Step() {
  auto* group = dynamic_cast<cTribeCreatureGroup*>(GetAgent());
  if (!group || group->GetMemberCount() == 0 || !mHerd || mHerd->GetCount() <= 0) return 0;
  if (mPhase == 0) {
    if (!StartMembers(GetTribePrototype<cMemberHunts>(), TargetWordOf(mHerd.Get()))) SetRunning(false);
    mPhase = 1;
    GetTribeSound(eTribeSound::HuntDrumLoop).PlayLooped();
    return 1;
  }
  if (!HasNoMembers()) return 1;
  GetTribeSound(eTribeSound::HuntDrumLoop).Stop();
  if (IsRunning() && IsBigPrey(mHerd->GetType()) && !mReturned.empty()) ReportResult();
  return 0;
}

void cTribeGroupHunts::ReportResult() {
  auto* first = dynamic_cast<cTribeCreature*>(mReturned.front().Get());
  cTribe* tribe = first ? first->GetTribe() : nullptr;
  cRovurozovizProgram& program = GetTribeProgram(eTribeProgram::GroupHuntResult);
  float health = 0.0f;
  for (const tRefPtr<cIInteractionAgent>& hunter : mReturned)
    if (auto* creature = dynamic_cast<cTribeCreature*>(hunter.Get())) health += creature->GetHealth();
  const float partySize = (float)mReturned.size();
  program.SetVariable("hunt_tool_level", tribe ? (float)tribe->GetToolLevel(kTribeToolWeapon) : 0.0f);
  program.SetVariable("defense_tool_level", tribe ? (float)tribe->GetToolLevel(kTribeToolDefense) : 0.0f);
  program.SetVariable("party_health", health);
  program.SetVariable("party_size", partySize);
  program.SetVariable("prey_type", (float)mHerd->GetType());
  program.Run();
  const float catchPerHunter = program.GetVariable("total_catch") / partySize;

  if (catchPerHunter > 0.0f) {
    PlayOnce(eTribeSound::GroupHuntWoohoo);
    if (mPrey) mPrey->OnHunted();
    if (mPrey) mPrey->SetHunted(0);
    mPrey.Reset();
  } else {
    PlayOnce(eTribeSound::GroupHuntWawawah);
    PutPreyBack();
  }
  const sShareOut outcome =
      ShareOut(mReturned, catchPerHunter, program.GetVariable("damage_share"), program.GetVariable("total_damage"));
  Sys_MessageBox("Hunt Results", ResultText(outcome, catchPerHunter));
}

cTribeGroupHunts::sShareOut cTribeGroupHunts::ShareOut(const tAgentList& hunters, float catchPerHunter,
                                                       float damageShare, float totalDamage) {
  sShareOut outcome;
  float damageLeft = totalDamage;
  for (const tRefPtr<cIInteractionAgent>& agent : hunters) {
    auto* hunter = dynamic_cast<cTribeCreature*>(agent.Get());
    if (!hunter) continue;
    const float damage = std::max(0.0f, std::min(damageShare, damageLeft));  // a negative script share heals nobody
    damageLeft -= damage;
    hunter->SetCarriedFood(hunter->GetCarriedFood() + catchPerHunter);
    if (hunter->GetHealth() <= damage) {
      hunter->SetHealth(0.0f);
      ++outcome.dead;
    } else {
      hunter->SetHealth(hunter->GetHealth() - damage);
      hunter->EatCarriedFood();
      ++outcome.survivors;
    }
  }
  return outcome;
}

// Fixed notation: the default notation at two significant digits printed 150 as "1.5e+02".
std::string cTribeGroupHunts::ResultText(const sShareOut& outcome, float catchPerHunter) {
  if (outcome.survivors == 0 && outcome.dead > 0) return "Everyone died in a big game hunt.";
  if (!(catchPerHunter > 0.0f)) return "Big game hunt was unsuccessful";
  std::ostringstream text;
  text << "Big Game Hunt Successful!\nYour hunters will bring home " << std::fixed << std::setprecision(0)
       << (double)outcome.survivors * (double)catchPerHunter << " food.";
  return text.str();
}

void cTribeGroupHunts::PutPreyBack() {
  if (!mPrey) return;
  mPrey->ShowMeter(false);
  mPrey->SetHunted(0);
  ReturnAnimal(mHerd.Get(), mPrey.Get());
  mPrey.Reset();
}

void cTribeGroupHunts::End() {
  PutPreyBack();
  mHerd.Reset();
  GetTribeSound(eTribeSound::HuntDrumLoop).Stop();
}
