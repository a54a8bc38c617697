// The tribe simulation's constants, from "tribetuning.xml": speeds, rates,
// need thresholds, population goals and tool prices. Each key's type, default
// and range stand in one table (Fields, in the .cpp).
#pragma once

#include <vector>

#include "sim/tuning/TuningData.h"
#include "sim/tuning/TuningKeys.h"

class cTribeTuningData : public cTuningData {
 public:
  explicit cTribeTuningData(const std::string& dataFolder = kTuningDataFolder);
  void ApplyConstants() override;
  static std::vector<sTuningKey> Keys();  // the file's keys with their ranges
  double Held(const std::string& name) const;  // what it holds for a key, in the file's unit (NaN: none)

  float GetCreatureSpeed() const { return mCreatureSpeed; }
  int GetEatInterval() const { return mEatInterval; }
  int GetEatFood() const { return mEatFood; }
  float GetFruitValue() const { return mFruitValue; }
  int GetEnergyIncreaseRate() const { return mEnergyIncreaseRate; }
  int GetHealthDecreaseRate() const { return mHealthDecreaseRate; }
  int GetCriticalHealthLevel() const { return mCriticalHealthLevel; }
  int GetLowHealthLevel() const { return mLowHealthLevel; }
  int GetHealHealthLevel() const { return mHealHealthLevel; }
  int GetCriticalHungerLevel() const { return mCriticalHungerLevel; }
  int GetLowHungerLevel() const { return mLowHungerLevel; }
  int GetEatHungerLevel() const { return mEatHungerLevel; }
  int GetCriticalEnergyLevel() const { return mCriticalEnergyLevel; }
  int GetLowEnergyLevel() const { return mLowEnergyLevel; }
  int GetRestEnergyLevel() const { return mRestEnergyLevel; }
  int GetTribeCreatureTooltipDuration() const { return mTribeCreatureTooltipDuration; }
  int GetTribePopulationStart() const { return mTribePopulationStart; }
  int GetTribePopulationGoal() const { return mTribePopulationGoal; }
  int GetCostHuntTool1() const { return mCostHuntTool1; }
  int GetCostHuntTool2() const { return mCostHuntTool2; }
  int GetCostHuntTool3() const { return mCostHuntTool3; }
  int GetCostFoodStorage1() const { return mCostFoodStorage1; }
  int GetCostFoodStorage2() const { return mCostFoodStorage2; }
  int GetCostFoodStorage3() const { return mCostFoodStorage3; }
  int GetCostRecruitTool1() const { return mCostRecruitTool1; }
  int GetCostRecruitTool2() const { return mCostRecruitTool2; }
  int GetCostRecruitTool3() const { return mCostRecruitTool3; }
  int GetCostDefenseTool1() const { return mCostDefenseTool1; }
  int GetCostDefenseTool2() const { return mCostDefenseTool2; }
  int GetCostDefenseTool3() const { return mCostDefenseTool3; }
  int GetCostHealTool1() const { return mCostHealTool1; }
  int GetCostHealTool2() const { return mCostHealTool2; }
  int GetCostHealTool3() const { return mCostHealTool3; }
  int GetCostRestTool1() const { return mCostRestTool1; }
  int GetCostRestTool2() const { return mCostRestTool2; }
  int GetCostRestTool3() const { return mCostRestTool3; }
  int GetCostGatherTool1() const { return mCostGatherTool1; }
  int GetCostGatherTool2() const { return mCostGatherTool2; }
  int GetCostGatherTool3() const { return mCostGatherTool3; }

 private:
  static const std::vector<tTuningField<cTribeTuningData>>& Fields();

  float mCreatureSpeed = 1.0f;
  int mEatInterval = 1000;
  int mEatFood = 5;
  float mFruitValue = 400.0f;
  int mEnergyIncreaseRate = 500;
  int mHealthDecreaseRate = 500;
  int mCriticalHealthLevel = 0;
  int mLowHealthLevel = 0;
  int mHealHealthLevel = 0;
  int mCriticalHungerLevel = 0;
  int mLowHungerLevel = 0;
  int mEatHungerLevel = 0;
  int mCriticalEnergyLevel = 0;
  int mLowEnergyLevel = 0;
  int mRestEnergyLevel = 0;
  int mTribeCreatureTooltipDuration = 3000;
  int mTribePopulationStart = 2;
  int mTribePopulationGoal = 20;
  int mCostHuntTool1 = 0;
  int mCostHuntTool2 = 0;
  int mCostHuntTool3 = 0;
  int mCostFoodStorage1 = 0;
  int mCostFoodStorage2 = 0;
  int mCostFoodStorage3 = 0;
  int mCostRecruitTool1 = 0;
  int mCostRecruitTool2 = 0;
  int mCostRecruitTool3 = 0;
  int mCostDefenseTool1 = 0;
  int mCostDefenseTool2 = 0;
  int mCostDefenseTool3 = 0;
  int mCostHealTool1 = 0;
  int mCostHealTool2 = 0;
  int mCostHealTool3 = 0;
  int mCostRestTool1 = 0;
  int mCostRestTool2 = 0;
  int mCostRestTool3 = 0;
  int mCostGatherTool1 = 0;
  int mCostGatherTool2 = 0;
  int mCostGatherTool3 = 0;
};

// The one tribe set, read from "./data/tribetuning.xml" before main runs and
// safe to call from any static initialiser. The tribe mode calls its
// ReloadIfChanged every 10 seconds.
cTribeTuningData& GetTribeTuningData();
