// How citizens get around: walking to a set goal and sleeping in the open.
#include "math/Math.h"
#include "modes/city/behaviours/CityBehaviorMechanics.h"
#include "modes/city/behaviours/CityBehaviors.h"
#include "modes/city/citizens/CityCreatures.h"
#include "modes/city/data/CityTuning.h"
#include "modes/city/objects/CityGameCity.h"
#include "modes/creature/CreatureCommon.h"
#include "sim/behavior/BehaviorController.h"

using namespace Ru::Math;

namespace {
constexpr float kWalkArrival = 1.0f;
constexpr float kSleepSpotReach = 2.0f;  // near enough the spot to lie down

cCityGameCreature* CreatureOf(cIInteraction* interaction) {
  return dynamic_cast<cCityGameCreature*>(interaction->GetAgent());
}
}  // namespace

uint32_t cCityGameBehaviorWalk::Step() {
  cCityGameCreature* creature = CreatureOf(this);
  cCreatureCommon* record = creature ? creature->GetCommon() : nullptr;
  if (!record) return 0;
  creature->MoveTowardGoal(GetBehaviorController().GetLastUpdateTime(), 1.0f);
  return record->GetDistanceToTarget() >= kWalkArrival ? 1 : 0;
}

void cCityGameBehaviorSleepOnGround::Start() {
  cCityGameInteraction::Start();
  cCityGameCreature* creature = CreatureOf(this);
  if (!creature) return;
  if (auto* city = dynamic_cast<cCityGameCity*>(creature->GetOwner()))
    if (cCreatureCommon* record = creature->GetCommon()) record->SetPosition(city->GetSleepingSpot());
  creature->SetRate(1, GetCityGameMotiveTuning().sleepOnGroundEnergyDelta);
}

uint32_t cCityGameBehaviorSleepOnGround::Step() {
  auto* citizen = dynamic_cast<cCityGamePlayerCreature*>(CreatureOf(this));
  cCreatureCommon* record = citizen ? citizen->GetCommon() : nullptr;
  // The get-up level already has the low-motive mark added by the tuning.
  if (!record || citizen->HasHome() || citizen->GetMotive(1) > GetCityGameMotiveTuning().sleepOnGroundGetUp) return 0;
  if (record->GetDistanceToTarget() > kSleepSpotReach)
    citizen->MoveTowardGoal(GetBehaviorController().GetLastUpdateTime(), 1.0f);
  return 1;
}

void cCityGameBehaviorSleepOnGround::End() {
  cCityGameInteraction::End();
  if (cCityGameCreature* creature = CreatureOf(this)) creature->SetRate(1, GetCityGameMotiveTuning().worldEnergyDelta);
}
