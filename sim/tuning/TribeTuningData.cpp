#include "sim/tuning/TribeTuningData.h"

#include <iostream>  // the stream objects must exist before the set below reports a bad file


cTribeTuningData::cTribeTuningData(const std::string& dataFolder) : cTuningData(dataFolder) {
  AddFile("tribetuning.xml");
  Reload();
}

namespace {
constexpr double kDayMs = 86400000.0;  // the longest period in milliseconds
constexpr double kMostPrice = 1e6;
constexpr sTuningKey Level(const char* name) { return TuningInt(name, 0, 0.0, 100.0); }  // needs run 0 to 100
constexpr sTuningKey Price(const char* name) { return TuningInt(name, 0, 0.0, kMostPrice); }
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
      {Price("costHuntTool1"), &T::mCostHuntTool1},
      {Price("costHuntTool2"), &T::mCostHuntTool2},
      {Price("costHuntTool3"), &T::mCostHuntTool3},
      {Price("costFoodStorage1"), &T::mCostFoodStorage1},
      {Price("costFoodStorage2"), &T::mCostFoodStorage2},
      {Price("costFoodStorage3"), &T::mCostFoodStorage3},
      {Price("costRecruitTool1"), &T::mCostRecruitTool1},
      {Price("costRecruitTool2"), &T::mCostRecruitTool2},
      {Price("costRecruitTool3"), &T::mCostRecruitTool3},
      {Price("costDefenseTool1"), &T::mCostDefenseTool1},
      {Price("costDefenseTool2"), &T::mCostDefenseTool2},
      {Price("costDefenseTool3"), &T::mCostDefenseTool3},
      {Price("costHealTool1"), &T::mCostHealTool1},
      {Price("costHealTool2"), &T::mCostHealTool2},
      {Price("costHealTool3"), &T::mCostHealTool3},
      {Price("costRestTool1"), &T::mCostRestTool1},
      {Price("costRestTool2"), &T::mCostRestTool2},
      {Price("costRestTool3"), &T::mCostRestTool3},
      {Price("costGatherTool1"), &T::mCostGatherTool1},
      {Price("costGatherTool2"), &T::mCostGatherTool2},
      {Price("costGatherTool3"), &T::mCostGatherTool3},
  };
  return fields;
}

std::vector<sTuningKey> cTribeTuningData::Keys() { return TuningKeysOf(Fields()); }

void cTribeTuningData::ApplyConstants() { ReadTuningFields(*this, Fields()); }

// Built on first use, so a static initialiser elsewhere may ask for it safely.
cTribeTuningData& GetTribeTuningData() {
  static cTribeTuningData set;
  return set;
}

// ...and built before main even when nobody asks early, so the file is read at start-up.
static cTribeTuningData& gTribeTuningDataAtStartup = GetTribeTuningData();
