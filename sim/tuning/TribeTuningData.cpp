#include "sim/tuning/TribeTuningData.h"

#include <iostream>  // the stream objects must exist before the set below reports a bad file

cTribeTuningData::cTribeTuningData(const std::string& dataFolder) : cTuningData(dataFolder) {
  AddFile("tribetuning.xml");
  Reload();
}

namespace {
constexpr double kDayMs = kTuningDaySeconds * 1000.0;  // the longest period in milliseconds
constexpr sTuningKey Level(const char* name) { return TuningInt(name, 0, 0.0, 100.0); }  // needs run 0 to 100
}  // namespace

const std::vector<tTuningField<cTribeTuningData>>& cTribeTuningData::Fields() {
  using T = cTribeTuningData;
  static const std::vector<tTuningField<T>> fields = {
      // Units per second; a step is the speed times the frame (at most half a second).
      {TuningFloat("creatureSpeed", 1.0, 0.0, 20.0), &T::mCreatureSpeed},
      {TuningInt("eatinterval", 1000, 1.0, kDayMs), &T::mEatInterval},
      {TuningInt("eatfood", 5, 0.0, 100.0), &T::mEatFood},
      {TuningFloat("fruitValue", 400.0, 0.0, 1e6), &T::mFruitValue},
      {TuningInt("energyincreaserate", 500, 1.0, kDayMs), &T::mEnergyIncreaseRate},
      {TuningInt("healthdecreaserate", 500, 1.0, kDayMs), &T::mHealthDecreaseRate},
      {Level("criticalhealthlevel"), &T::mCriticalHealthLevel},
      {Level("lowhealthlevel"), &T::mLowHealthLevel},
      {Level("healhealthlevel"), &T::mHealHealthLevel},
      {Level("criticalhungerlevel"), &T::mCriticalHungerLevel},
      {Level("lowhungerlevel"), &T::mLowHungerLevel},
      {Level("eathungerlevel"), &T::mEatHungerLevel},
      {Level("criticalenergylevel"), &T::mCriticalEnergyLevel},
      {Level("lowenergylevel"), &T::mLowEnergyLevel},
      {Level("restenergylevel"), &T::mRestEnergyLevel},
      {TuningInt("tribecreaturetooltipduration", 3000, 0.0, kDayMs), &T::mTribeCreatureTooltipDuration},
      // Every member is made, updated and drawn.
      {TuningInt("tribePopulationStart", 2, 0.0, 256.0), &T::mTribePopulationStart},
      // The goal bar's range, and the population that unlocks the city.
      {TuningInt("tribePopulationGoal", 20, 1.0, 10000.0), &T::mTribePopulationGoal},
      {TuningPrice("costHuntTool1", 0), &T::mCostHuntTool1},
      {TuningPrice("costHuntTool2", 0), &T::mCostHuntTool2},
      {TuningPrice("costHuntTool3", 0), &T::mCostHuntTool3},
      {TuningPrice("costFoodStorage1", 0), &T::mCostFoodStorage1},
      {TuningPrice("costFoodStorage2", 0), &T::mCostFoodStorage2},
      {TuningPrice("costFoodStorage3", 0), &T::mCostFoodStorage3},
      {TuningPrice("costRecruitTool1", 0), &T::mCostRecruitTool1},
      {TuningPrice("costRecruitTool2", 0), &T::mCostRecruitTool2},
      {TuningPrice("costRecruitTool3", 0), &T::mCostRecruitTool3},
      {TuningPrice("costDefenseTool1", 0), &T::mCostDefenseTool1},
      {TuningPrice("costDefenseTool2", 0), &T::mCostDefenseTool2},
      {TuningPrice("costDefenseTool3", 0), &T::mCostDefenseTool3},
      {TuningPrice("costHealTool1", 0), &T::mCostHealTool1},
      {TuningPrice("costHealTool2", 0), &T::mCostHealTool2},
      {TuningPrice("costHealTool3", 0), &T::mCostHealTool3},
      {TuningPrice("costRestTool1", 0), &T::mCostRestTool1},
      {TuningPrice("costRestTool2", 0), &T::mCostRestTool2},
      {TuningPrice("costRestTool3", 0), &T::mCostRestTool3},
      {TuningPrice("costGatherTool1", 0), &T::mCostGatherTool1},
      {TuningPrice("costGatherTool2", 0), &T::mCostGatherTool2},
      {TuningPrice("costGatherTool3", 0), &T::mCostGatherTool3},
  };
  return fields;
}

std::vector<sTuningKey> cTribeTuningData::Keys() { return TuningKeysOf(Fields()); }

double cTribeTuningData::Held(const std::string& name) const { return HeldTuningField(*this, Fields(), name); }

void cTribeTuningData::ApplyConstants() { ReadTuningFields(*this, Fields()); }

// Built on first use, so a static initialiser elsewhere may ask for it safely.
cTribeTuningData& GetTribeTuningData() {
  static cTribeTuningData set;
  return set;
}

// ...and built before main even when nobody asks early, so the file is read at start-up.
static cTribeTuningData& gTribeTuningDataAtStartup = GetTribeTuningData();
