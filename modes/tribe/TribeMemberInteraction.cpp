#include "modes/tribe/TribeMemberInteraction.h"

#include <algorithm>

#include "modes/tribe/Tribe.h"
#include "modes/tribe/TribeCreature.h"
#include "modes/tribe/TribeStatics.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"
#include "sim/tuning/TribeTuningData.h"

void cTribeMemberInteraction::StartDrainTimer() { mDrainStopwatch.Start(); }

void cTribeMemberInteraction::ApplyDrain(cRovurozovizProgram& program) {
  StartDrainTimer();
  cTribeCreature* creature = GetCreature();
  if (!creature) return;
  // A creature catching its breath (the movement step's rest) loses no energy.
  const float energyDrain = creature->GetRestTime() > 0.0f ? 0.0f : program.GetVariable("energy_drain");
  const float foodDrain = program.GetVariable("food_drain");
  const float healthDrain = program.GetVariable("health_drain");
  const float seconds = (float)mDrainStopwatch.GetElapsed() * 0.001f;
  creature->SetEnergy(std::min(creature->GetEnergy() - seconds * energyDrain, 100.0f));
  creature->SetHunger(std::min(creature->GetHunger() - seconds * foodDrain, 100.0f));
  creature->SetHealth(std::min(creature->GetHealth() - seconds * healthDrain, 100.0f));
  mDrainStopwatch.Restart();
}

bool cTribeMemberInteraction::IsInCriticalNeed(cTribeCreature* creature) {
  const cTribeTuningData& tuning = GetTribeTuningData();
  const float tribeFood = TribeFood(creature);
  return creature->GetHealth() < (float)tuning.GetCriticalHealthLevel() ||
         (creature->GetHunger() < (float)tuning.GetCriticalHungerLevel() && tribeFood > 0.0f) ||
         creature->GetEnergy() < (float)tuning.GetCriticalEnergyLevel();
}

bool cTribeMemberInteraction::IsAnyCritical(cTribeCreature* creature) {
  const cTribeTuningData& tuning = GetTribeTuningData();
  return creature->GetEnergy() < (float)tuning.GetCriticalEnergyLevel() ||
         creature->GetHealth() < (float)tuning.GetCriticalHealthLevel() ||
         creature->GetHunger() < (float)tuning.GetCriticalHungerLevel();
}

cTribeCreature* cTribeMemberInteraction::GetCreature() { return dynamic_cast<cTribeCreature*>(GetAgent()); }

bool cTribeMemberInteraction::IsTribeCreature(cIInteractionAgent* agent) {
  return dynamic_cast<cTribeCreature*>(agent) != nullptr;
}

cTribe* cTribeMemberInteraction::TribeOf(cTribeCreature* creature) { return creature ? creature->GetTribe() : nullptr; }

float cTribeMemberInteraction::TribeFood(cTribeCreature* creature) {
  cTribe* tribe = TribeOf(creature);
  return tribe ? tribe->GetFood() : 0.0f;
}

float cTribeMemberInteraction::ToolLevel(cTribeCreature* creature, uint32_t kind) {
  cTribe* tribe = TribeOf(creature);
  return tribe ? (float)tribe->GetToolLevel(kind) : 0.0f;
}

void cTribeMemberInteraction::LoadScript(eTribeProgram which) { LoadTribeProgram(which); }

cRovurozovizProgram& cTribeMemberInteraction::Program(eTribeProgram which) { return GetTribeProgram(which); }

uint32_t cTribeMemberInteraction::TickMs(const cGameStopwatch& work, uint32_t& previousElapsed) {
  const uint32_t elapsed = work.GetElapsed();
  const uint32_t ms = elapsed - previousElapsed;  // unsigned: a wrap still gives the tick's length
  previousElapsed = elapsed;
  return ms;
}
