#include "modes/tribe/MemberInteractions.h"

#include <algorithm>
#include <cmath>

#include "glf/Sound.h"
#include "math/Vector.h"
#include "modes/tribe/Tribe.h"
#include "modes/tribe/TribeCreature.h"
#include "modes/tribe/TribeHut.h"
#include "modes/tribe/TribeTool.h"
#include "modes/tribe/TribeObjectController.h"
#include "modes/tribe/TribeStatics.h"
#include "modes/tribe/cTribeGameMode.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"
#include "sim/tuning/TribeTuningData.h"
#include "world/planet/GamePlant.h"
#include "world/planet/PlanetModel.h"

using Ru::Math::Vector3;

namespace {

constexpr uint32_t kIdleMs = 3000;  // how long a member idles once at the idle site
const Vector3 kBlue{0.0f, 0.0f, 1.0f};

float DistanceSquared(cTribeCreature* creature, const Vector3& point) {
  return Vector3LengthSquared(Vector3Sub(creature->GetPositionVector(), point));
}

cTribeHut* HutOf(cTribeCreature* creature) {
  cTribe* tribe = creature ? creature->GetTribe() : nullptr;
  return tribe ? tribe->GetHut() : nullptr;
}

// A script's seconds or milliseconds as a whole unsigned count; nonsense
// (negative, not a number, too large) becomes 0 or the largest value.
uint32_t WholeCount(float value) {
  if (!(value > 0.0f)) return 0;
  return value >= 4294967040.0f ? UINT32_MAX : (uint32_t)value;
}

// The shared shape of the need scores: urgent below the critical level, then
// falling from `top` by up to `span` as the value nears the comfortable level.
int32_t NeedScore(float value, int criticalLevel, int comfortLevel, int32_t urgentBase, int32_t top, float span) {
  const float critical = (float)criticalLevel, comfort = (float)comfortLevel;
  if (value < critical) return (int32_t)std::trunc(critical - value) + urgentBase;
  if (value < comfort) return top - (int32_t)std::trunc(value / comfort * span);
  return 5;
}

// Milliseconds per eaten hunger point and food units per 100 points, kept
// from dividing by zero or paying the eater for eating.
float EatIntervalMs() { return (float)std::max(GetTribeTuningData().GetEatInterval(), 1); }
float EatFood() { return (float)std::max(GetTribeTuningData().GetEatFood(), 0); }

// Sets a need that is being raised and shows it on the meter; true once it
// is full (100), which also stops the work stopwatch.
using tNeedSetter = void (cTribeCreature::*)(float);
bool FillNeed(cTribeCreature* creature, tNeedSetter set, float value, cGameStopwatch& work) {
  const bool full = !(value < 100.0f);
  if (full) {
    work.Stop();
    value = 100.0f;
  }
  (creature->*set)(value);
  creature->SetHealthMeterValue(value * 0.01f);
  return full;
}

cSoundHandle& GatherSound() { return GetTribeSound(eTribeSound::GatherLoop); }

}  // namespace

// ---- idling -------------------------------------------------------------------------------

int32_t cMemberIdles::Score(cIInteractionAgent* agent, tTargetWord) {
  auto* creature = dynamic_cast<cTribeCreature*>(agent);
  if (!creature) return 0;
  const float critical = (float)GetTribeTuningData().GetCriticalEnergyLevel();
  return creature->GetCarriedFood() > 0.0f && creature->GetEnergy() > critical ? 100 : 6;
}

void cMemberIdles::Start() { LoadScript(eTribeProgram::IdleResult); }

void cMemberIdles::RunScript(float activity) {
  cRovurozovizProgram& script = Program(eTribeProgram::IdleResult);
  script.SetVariable("current_activity", activity);
  script.Run();
  ApplyDrain(script);
}

uint32_t cMemberIdles::Step() {
  cTribeCreature* creature = GetCreature();
  cTribeHut* hut = HutOf(creature);
  if (!creature || !hut) return 0;
  switch (mPhase) {
    case 0:
      creature->SetRole(0);
      if (creature->GetCarriedFood() > 0.0f) creature->EatCarriedFood();
      if (creature->GetCarriedFood() > 0.0f) {
        mPhase = 3;  // the rest goes to the tribe's store first
        creature->SetDestinationNear(*hut->GetFoodSite(), -1.0f);
      } else {
        mPhase = 1;
        creature->SetDestinationNear(*hut->GetIdleSite(), -1.0f);
      }
      StartDrainTimer();
      return 1;
    case 1:
      RunScript(0.0f);
      if (creature->HasArrived(1.0f)) {
        mPhase = 2;
        mWork.Start();
        cTribeObjectController* objects = GetTribeObjectController();
        if (objects && creature->GetTribe() == objects->GetPlayerTribe() && !objects->IsSelected(creature))
          creature->SetColour(kBlue);
      }
      return 1;
    case 3:
      RunScript(0.0f);
      if (creature->HasArrived(-1.0f)) {
        if (Vector3LengthSquared(*creature->GetDestination()) <= 1.0f) return 0;
        if (creature->GetCarriedFood() > 0.0f) {
          creature->GetTribe()->AddFood(creature->GetCarriedFood());
          creature->SetCarriedFood(0.0f);
        }
        mPhase = 1;  // idles where it stands
        mWork.Restart();
      }
      return 1;
    default:
      RunScript(1.0f);
      if (mWork.GetElapsed() < kIdleMs) return 1;
      mWork.Stop();
      return 0;
  }
}

// ---- the needs' shared part --------------------------------------------------------------

void cMemberNeed::StartFilling(cTribeCreature* creature, float value) {
  creature->ShowHealthMeter(true);
  creature->SetHealthMeterValue(value * 0.01f);
  mWork.Restart();
  mPreviousElapsed = mWork.GetElapsed();
}

void cMemberNeed::End() {
  if (cTribeCreature* creature = GetCreature()) creature->ShowHealthMeter(false);
}

// ---- resting ------------------------------------------------------------------------------

int32_t cMemberRests::Score(cIInteractionAgent* agent, tTargetWord) {
  auto* creature = dynamic_cast<cTribeCreature*>(agent);
  if (!creature) return 0;
  const cTribeTuningData& tuning = GetTribeTuningData();
  return NeedScore(creature->GetEnergy(), tuning.GetCriticalEnergyLevel(), tuning.GetRestEnergyLevel(), 51, 20, 15.0f);
}

bool cMemberRests::ShouldStop() {
  cTribeCreature* creature = GetCreature();
  if (!creature) return true;
  const cTribeTuningData& tuning = GetTribeTuningData();
  const float tribeFood = TribeFood(creature);
  const float hunger = creature->GetHunger();
  return creature->GetEnergy() >= (float)tuning.GetLowEnergyLevel() &&
         ((creature->GetHealth() < (float)tuning.GetCriticalHealthLevel() && hunger > 0.0f) ||
          (tribeFood != 0.0f && hunger < (float)tuning.GetCriticalHungerLevel()));
}

void cMemberRests::Start() {
  LoadScript(eTribeProgram::RestResult);
  LoadScript(eTribeProgram::RestsGoToResult);
  StartDrainTimer();
}

uint32_t cMemberRests::Step() {
  cTribeCreature* creature = GetCreature();
  cTribeHut* hut = HutOf(creature);
  if (!creature || !hut) return 0;
  if (mPhase == 0) {
    creature->SetDestinationNear(*hut->GetRestSite(), 1.0f);
    mPhase = 1;
    return 1;
  }
  if (mPhase == 1) {
    cRovurozovizProgram& walk = Program(eTribeProgram::RestsGoToResult);
    walk.SetVariable("sprint", 0.0f);  // every load clears it, so it is set before every run
    walk.Run();
    ApplyDrain(walk);
    if (creature->HasArrived(1.0f)) {
      if (DistanceSquared(creature, *hut->GetRestSite()) < 9.0f) {
        mPhase = 2;
        StartFilling(creature, creature->GetEnergy());
      } else {
        creature->SetDestinationNear(*hut->GetRestSite(), -1.0f);
      }
    }
    return 1;
  }
  // The rest script's drains are not applied: a resting member only regains.
  cRovurozovizProgram& rest = Program(eTribeProgram::RestResult);
  rest.SetVariable("rest_tool_level", ToolLevel(creature, kTribeToolRest));
  rest.Run();
  const float interval = rest.GetVariable("rest_interval");
  const float ms = (float)TickMs(mWork, mPreviousElapsed);
  // An interval of 0 or below (or not a number) would divide by zero or drain: rest at once.
  const float energy = interval > 0.0f ? creature->GetEnergy() + ms / (interval * 1000.0f) : 100.0f;
  return FillNeed(creature, &cTribeCreature::SetEnergy, energy, mWork) || ShouldStop() ? 0 : 1;
}

// ---- healing ------------------------------------------------------------------------------

int32_t cMemberHeals::Score(cIInteractionAgent* agent, tTargetWord) {
  auto* creature = dynamic_cast<cTribeCreature*>(agent);
  if (!creature) return 0;
  if (creature->GetHunger() == 0.0f) return 0;  // a starving member cannot heal
  const cTribeTuningData& tuning = GetTribeTuningData();
  return NeedScore(creature->GetHealth(), tuning.GetCriticalHealthLevel(), tuning.GetHealHealthLevel(), 60, 50, 45.0f);
}

bool cMemberHeals::ShouldStop() {
  cTribeCreature* creature = GetCreature();
  if (!creature) return true;
  const cTribeTuningData& tuning = GetTribeTuningData();
  const float tribeFood = TribeFood(creature);
  return creature->GetHealth() >= (float)tuning.GetLowHealthLevel() &&
         (creature->GetEnergy() < (float)tuning.GetCriticalEnergyLevel() ||
          (tribeFood > 0.0f && creature->GetHunger() < (float)tuning.GetCriticalHungerLevel()));
}

void cMemberHeals::Start() { LoadScript(eTribeProgram::HealResult); }

void cMemberHeals::RunScript(float activity) {
  cRovurozovizProgram& script = Program(eTribeProgram::HealResult);
  script.SetVariable("current_activity", activity);
  script.SetVariable("heal_tool_level", ToolLevel(GetCreature(), kTribeToolHeal));
  script.Run();
  ApplyDrain(script);
}

uint32_t cMemberHeals::Step() {
  cTribeCreature* creature = GetCreature();
  cTribeHut* hut = HutOf(creature);
  if (!creature || !hut || creature->GetHunger() == 0.0f) return 0;
  if (mPhase == 0) {
    creature->SetRole(4);
    creature->SetDestinationNear(*hut->GetHealSite(), 1.0f);
    StartDrainTimer();
    mPhase = 1;
    return 1;
  }
  if (mPhase == 1) {
    RunScript(0.0f);
    if (creature->HasArrived(1.0f)) {
      mPhase = 2;
      StartFilling(creature, creature->GetHealth());
    }
    return 1;
  }
  const float seconds = (float)TickMs(mWork, mPreviousElapsed) * 0.001f;
  RunScript(1.0f);
  float interval = Program(eTribeProgram::HealResult).GetVariable("heal_interval");
  if (!(interval >= 0.1f)) interval = 0.1f;  // also catches a script's NaN
  const float health = creature->GetHealth() + seconds / interval;
  return FillNeed(creature, &cTribeCreature::SetHealth, health, mWork) || ShouldStop() ? 0 : 1;
}

// ---- eating -------------------------------------------------------------------------------

int32_t cMemberEats::Score(cIInteractionAgent* agent, tTargetWord) {
  auto* creature = dynamic_cast<cTribeCreature*>(agent);
  if (!creature) return 0;
  if (TribeFood(creature) <= 0.0f && creature->GetCarriedFood() <= 0.0f) return 0;  // nothing to eat
  const cTribeTuningData& tuning = GetTribeTuningData();
  return NeedScore(creature->GetHunger(), tuning.GetCriticalHungerLevel(), tuning.GetEatHungerLevel(), 51, 50, 30.0f);
}

bool cMemberEats::ShouldStop() {
  cTribeCreature* creature = GetCreature();
  if (!creature) return true;
  const cTribeTuningData& tuning = GetTribeTuningData();
  return creature->GetHunger() >= (float)tuning.GetLowHungerLevel() &&
         (creature->GetHealth() < (float)tuning.GetCriticalHealthLevel() ||
          creature->GetEnergy() < (float)tuning.GetCriticalEnergyLevel());
}

void cMemberEats::Start() {
  LoadScript(eTribeProgram::EatsResult);
  LoadScript(eTribeProgram::EatsGoToResult);
}

uint32_t cMemberEats::Step() {
  cTribeCreature* creature = GetCreature();
  cTribeHut* hut = HutOf(creature);
  if (!creature || !hut) return 0;
  cTribe* tribe = creature->GetTribe();
  if (mPhase == 0) {
    if (creature->GetCarriedFood() > 0.0f) {  // a meal from the pouch, no walk
      creature->EatCarriedFood();
      return 0;
    }
    StartDrainTimer();
    creature->SetRole(8);
    creature->SetDestinationNear(*hut->GetFoodSite(), -1.0f);
    mPhase = 1;
    return 1;
  }
  if (mPhase == 1) {
    cRovurozovizProgram& walk = Program(eTribeProgram::EatsGoToResult);
    walk.SetVariable("sprint", 0.0f);  // every load clears it, so it is set before every run
    walk.Run();
    ApplyDrain(walk);
    if (!creature->HasArrived(1.0f)) return 1;
    if (DistanceSquared(creature, *hut->GetFoodSite()) > 3.0f) {
      creature->SetDestinationNear(*hut->GetFoodSite(), -1.0f);
      return 1;
    }
    if (tribe->GetFood() <= 0.0f) return 0;
    mPhase = 2;
    StartFilling(creature, creature->GetHunger());
    return 1;
  }
  cRovurozovizProgram& meal = Program(eTribeProgram::EatsResult);
  meal.Run();
  ApplyDrain(meal);
  if (tribe->GetFood() <= 0.0f) {
    mWork.Stop();
    return 0;
  }
  const float hunger = creature->GetHunger();
  const float ms = (float)TickMs(mWork, mPreviousElapsed);
  const float eatFood = EatFood();
  float points = std::min(ms / EatIntervalMs(), 100.0f - hunger);
  float food = eatFood * points * 0.01f;
  if (tribe->GetFood() < food) {  // never more than the store holds
    food = tribe->GetFood();
    points = food * 100.0f / eatFood;
  }
  tribe->AddFood(-food);
  return FillNeed(creature, &cTribeCreature::SetHunger, hunger + points, mWork) || ShouldStop() ? 0 : 1;
}

// ---- gathering ----------------------------------------------------------------------------

int32_t cMemberGathers::Score(cIInteractionAgent* agent, tTargetWord) {
  auto* creature = dynamic_cast<cTribeCreature*>(agent);
  if (!creature) return 0;
  const float tribeFood = TribeFood(creature);
  return tribeFood <= 0.0f && creature->GetHunger() < (float)GetTribeTuningData().GetCriticalHungerLevel() ? 100 : 5;
}

tTargetWord cMemberGathers::GetDefaultTarget() {
  cTribeCreature* creature = GetCreature();
  if (!creature) return 0;
  cGamePlant* plant = GetPlanetModel().FindNearestFruitPlant(creature->GetPositionVector());
  return plant ? TargetWordOf(plant) : 0;
}

bool cMemberGathers::IsInLowNeed() {
  cTribeCreature* creature = GetCreature();
  if (!creature) return true;
  const cTribeTuningData& tuning = GetTribeTuningData();
  const float tribeFood = TribeFood(creature);
  return creature->GetHealth() < (float)tuning.GetLowHealthLevel() ||
         creature->GetEnergy() < (float)tuning.GetLowEnergyLevel() ||
         (creature->GetHunger() < (float)tuning.GetLowHungerLevel() && tribeFood > 0.0f);
}

void cMemberGathers::Start() {
  LoadTribeSoundsOnce({eTribeSound::GatherLoop});  // on the first gathering of the run
  LoadScript(eTribeProgram::GatherResult);
  mPlant = dynamic_cast<cGamePlant*>(TargetOfWord(GetTarget()));
  RunScript(0.0f);
  cRovurozovizProgram& script = Program(eTribeProgram::GatherResult);
  mFoodPerGathering = WholeCount(script.GetVariable("food_gathered"));
  mGatherTime = WholeCount(script.GetVariable("gather_time"));
  StartDrainTimer();
}

void cMemberGathers::End() { GatherSound().Stop(); }

void cMemberGathers::RunScript(float activity) {
  cRovurozovizProgram& script = Program(eTribeProgram::GatherResult);
  script.SetVariable("gather_tool_level", ToolLevel(GetCreature(), kTribeToolGather));
  script.SetVariable("current_activity", activity);
  script.Run();
}

cGamePlant* cMemberGathers::Plant() { return mPlant.Get(); }

void cMemberGathers::AimAtPlant() {
  const float* p = static_cast<cILocation*>(Plant())->GetPosition();
  Vector3 spot;
  GetPlanetModel().GetRandomSurfacePointNear(spot, Vector3{p[0], p[1], p[2]}, 1.0f, 2.0f);
  GetCreature()->SetDestinationNear(spot, -1.0f);
}

void cMemberGathers::GoToFoodSite() {
  mPhase = 3;
  GatherSound().Stop();
  GetCreature()->SetDestinationNear(*HutOf(GetCreature())->GetFoodSite(), -1.0f);
}

void cMemberGathers::StartGathering() {
  mPhase = 2;
  GatherSound().PlayLooped();
  mWork.Restart();
  mPreviousElapsed = 0;
}

bool cMemberGathers::PlantHasFruit() { return Plant() && Plant()->GetFruitCount() > 0; }

// Fruit becomes tribe food: one unit of food takes k of the plant's food value.
void cMemberGathers::TakeFruit() {
  cTribeCreature* creature = GetCreature();
  const cTribeTuningData& tuning = GetTribeTuningData();
  const float worth = (float)tuning.GetEatFood() * tuning.GetFruitValue() * 0.01f;
  if (!(worth > 0.0f)) return;  // fruit worth nothing: nothing to take
  const float k = 100.0f / worth;
  const float maxFood = Program(eTribeProgram::GatherResult).GetVariable("max_food");
  const float room = std::max(maxFood - creature->GetCarriedFood(), 0.0f);
  const float amount = std::min({(float)mFoodPerGathering, Plant()->GetFoodValue() / k, room});
  Plant()->SetFoodValue(Plant()->GetFoodValue() - amount * k);
  creature->SetCarriedFood(creature->GetCarriedFood() + amount);
}

uint32_t cMemberGathers::Step() {
  cTribeCreature* creature = GetCreature();
  if (!creature || !HutOf(creature) || IsInCriticalNeed(creature)) return 0;
  if (mPhase != 3) {
    RunScript(mPhase == 2 ? 1.0f : 0.0f);
    if (creature->GetCarriedFood() >= Program(eTribeProgram::GatherResult).GetVariable("max_food")) GoToFoodSite();
  }
  switch (mPhase) {
    case 0:
      if (!Plant()) return 0;
      AimAtPlant();
      mPhase = 1;
      return 1;
    case 1: {
      RunScript(0.0f);
      ApplyDrain(Program(eTribeProgram::GatherResult));
      if (!creature->HasArrived(4.0f)) return 1;
      const float* p = static_cast<cILocation*>(Plant())->GetPosition();
      if (DistanceSquared(creature, Vector3{p[0], p[1], p[2]}) <= 4.0f)
        StartGathering();
      else
        AimAtPlant();
      return 1;
    }
    case 2:
      return StepGathering();
    case 3:
      return StepDelivering();
    default:
      return StepEating();
  }
}

uint32_t cMemberGathers::StepGathering() {
  cTribeCreature* creature = GetCreature();
  RunScript(1.0f);
  ApplyDrain(Program(eTribeProgram::GatherResult));
  mPreviousElapsed = mWork.GetElapsed();
  if (mPreviousElapsed < mGatherTime && PlantHasFruit()) return 1;
  mWork.Stop();
  if (PlantHasFruit()) TakeFruit();
  if (creature->GetHunger() < (float)GetTribeTuningData().GetLowHungerLevel()) {
    mWork.Restart();  // a bite from the pouch before going on
    mPreviousElapsed = 0;
    mPhase = 4;
    GatherSound().Stop();
  } else if (!IsInLowNeed()) {
    if (!PlantHasFruit()) {
      creature->StartInteraction(GetTribePrototype<cMemberGathers>(), 0);  // on to the nearest fruit plant
      return 2;
    }
    mWork.Restart();
    mPreviousElapsed = 0;
  } else if (creature->GetCarriedFood() > 0.0f) {
    GoToFoodSite();
  } else {
    return 0;
  }
  return 1;
}

uint32_t cMemberGathers::StepDelivering() {
  cTribeCreature* creature = GetCreature();
  RunScript(0.0f);
  ApplyDrain(Program(eTribeProgram::GatherResult));
  if (!creature->HasArrived(4.0f)) return 1;
  const Vector3& foodSite = *HutOf(creature)->GetFoodSite();
  if (DistanceSquared(creature, foodSite) > 4.0f) {
    creature->SetDestinationNear(foodSite, -1.0f);
    return 1;
  }
  creature->GetTribe()->AddFood(creature->GetCarriedFood());
  creature->SetCarriedFood(0.0f);
  if (IsInLowNeed()) return 0;
  if (!PlantHasFruit()) {
    cGamePlant* next = nullptr;
    if (Plant()) {
      const float* p = static_cast<cILocation*>(Plant())->GetPosition();
      next = GetPlanetModel().FindNearestFruitPlant(Vector3{p[0], p[1], p[2]});
    }
    if (!next) return 0;
    mPlant = next;
    SetTarget(TargetWordOf(next));
  }
  mPhase = 0;
  return 1;
}

uint32_t cMemberGathers::StepEating() {
  cTribeCreature* creature = GetCreature();
  RunScript(1.0f);
  ApplyDrain(Program(eTribeProgram::GatherResult));
  const float ms = (float)TickMs(mWork, mPreviousElapsed);
  const float carried = creature->GetCarriedFood();
  const float hunger = creature->GetHunger();
  if (hunger < (float)GetTribeTuningData().GetEatHungerLevel() && carried > 0.0f) {
    const float eatFood = EatFood();
    float points = std::min(100.0f - hunger, ms / EatIntervalMs());
    float food = eatFood * points * 0.01f;
    if (carried < food) {
      food = carried;
      points = carried * 100.0f / eatFood;
    }
    creature->SetHunger(hunger + points);
    creature->SetCarriedFood(carried - food);
    return 1;
  }
  StartGathering();
  return 1;
}

// ---- nesting ------------------------------------------------------------------------------

cMemberNests::~cMemberNests() { LeaveNest(); }

void cMemberNests::Start() { LoadScript(eTribeProgram::NestResult); }

void cMemberNests::End() {
  LeaveNest();
  mPhase = 0;
}

void cMemberNests::LeaveNest() {
  if (!mCountedIn) return;
  mCountedIn->ChangeNestingCount(false);
  mCountedIn = nullptr;
}

uint32_t cMemberNests::Step() {
  cTribeCreature* creature = GetCreature();
  cTribeHut* hut = HutOf(creature);
  if (!creature || !hut) return 0;
  if (IsAnyCritical(creature)) {
    LeaveNest();
    mPhase = 0;
    return 0;
  }
  cTribe* tribe = creature->GetTribe();
  if (mPhase == 0) {
    creature->SetRole(3);
    creature->SetDestinationNear(*hut->GetNestSite(), -1.0f);
    mPhase = 2;
    StartDrainTimer();
    return 1;
  }
  if (mPhase == 2) {
    if (creature->HasArrived(1.0f)) {
      mWork.Restart();
      mPhase = 3;
      tribe->ChangeNestingCount(true);
      mCountedIn = tribe;
    }
    return 1;
  }
  const float ms = (float)mWork.GetElapsed();
  mWork.Restart();
  const uint32_t nesters = tribe->GetNestingCount();
  cRovurozovizProgram& script = Program(eTribeProgram::NestResult);
  script.SetVariable("party_size", (float)nesters);
  script.Run();
  const float breedMs = script.GetVariable("breed_time") * 1000.0f;
  const float progress = script.GetVariable("breed_progress") / (float)nesters / breedMs * ms;
  // A breed time of 0 or a count of 0 would divide by zero and breed without end.
  if (nesters > 0 && breedMs > 0.0f && std::isfinite(progress)) tribe->AddBreedProgress(progress);
  ApplyDrain(script);
  return 1;
}

// ---- walking to a spot --------------------------------------------------------------------

void cMemberGoToTarget::Start() { LoadScript(eTribeProgram::GoToTargetResult); }

void cMemberGoToTarget::RunScript() {
  cRovurozovizProgram& script = Program(eTribeProgram::GoToTargetResult);
  // Set before every run: every load clears the script's variables, and a run
  // without it would give a sprinter the walking multiplier.
  script.SetVariable("sprint", mSprint ? 1.0f : 0.0f);
  script.Run();
}

uint32_t cMemberGoToTarget::Step() {
  cTribeCreature* creature = GetCreature();
  if (!creature) return 0;
  if (mPhase == 0) {
    mPhase = 1;
    auto* location = dynamic_cast<cILocation*>(TargetOfWord(GetTarget()));
    if (!location) return 0;
    StartDrainTimer();
    creature->SetRole(0);
    const float* p = location->GetPosition();
    creature->SetDestinationNear(Vector3{p[0], p[1], p[2]}, -1.0f);
    if (mSprint) {
      RunScript();
      const float multiplier = Program(eTribeProgram::GoToTargetResult).GetVariable("sprint_multiplier");
      creature->SetSpeedFactor(multiplier > 0.0f ? multiplier : 1.0f);  // 0 would leave it standing
    }
    return 1;
  }
  if (mPhase == 1) {
    RunScript();
    ApplyDrain(Program(eTribeProgram::GoToTargetResult));
    if (creature->HasArrived(-1.0f)) {
      mPhase = 2;
      mWait.Start();
    }
    return 1;
  }
  return (float)mWait.GetElapsed() * 0.001f < mWaitTime ? 1 : 0;
}

void cMemberGoToTarget::End() {
  if (cTribeCreature* creature = GetCreature()) creature->SetSpeedFactor(1.0f);
  cIInteractionTarget* target = TargetOfWord(GetTarget());
  SetTarget(0);
  if (dynamic_cast<cLocation*>(target)) delete target;
}

// ---- standing guard -----------------------------------------------------------------------

void cMemberDefends::Start() { LoadScript(eTribeProgram::DefendResult); }

void cMemberDefends::GoToGuardPoint() {
  cTribeCreature* creature = GetCreature();
  cTribeHut* hut = HutOf(creature);
  if (!hut) return;
  Vector3 point;
  GetPlanetModel().GetRandomSurfacePointNear(point, hut->GetPositionVector(), 2.0f, 5.0f);
  creature->SetDestinationNear(point, -1.0f);
}

uint32_t cMemberDefends::Step() {
  cTribeCreature* creature = GetCreature();
  if (!creature || !HutOf(creature) || IsInCriticalNeed(creature)) return 0;
  if (mPhase == 0) {
    GoToGuardPoint();
    creature->SetRole(9);
    mPhase = 1;
    StartDrainTimer();
    return 1;
  }
  if (creature->HasArrived(-1.0f)) {
    GoToGuardPoint();
    cRovurozovizProgram& script = Program(eTribeProgram::DefendResult);
    script.Run();
    ApplyDrain(script);
  }
  return 1;
}
