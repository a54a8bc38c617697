#include "sim/tuning/TribeTuningData.h"

#include <iostream>  // the stream objects must exist before the set below reports a bad file
#include <limits>

#include "sim/tuning/BoundedCount.h"

cTribeTuningData::cTribeTuningData(const std::string& dataFolder) : cTuningData(dataFolder) {
  AddFile("tribetuning.xml");
  Reload();
}

void cTribeTuningData::ApplyConstants() {
  // A negative speed would walk members backwards; stand still instead.
  mCreatureSpeed = CutTuningValue("creatureSpeed",
                                  GetFloat("creatureSpeed", 1.0f, "walking speed of tribe members; below 0 reads as 0"),
                                  0.0f, std::numeric_limits<float>::max());
  mEatInterval = GetInt("eatinterval", 1000, "milliseconds between bites while eating");
  mEatFood = GetInt("eatfood", 5, "food eaten to fill an empty stomach");
  mFruitValue = GetFloat("fruitValue", 400.0f, "food one fruit gives");
  mEnergyIncreaseRate = GetInt("energyincreaserate", 500, "milliseconds per energy point regained while resting");
  mHealthDecreaseRate = GetInt("healthdecreaserate", 500, "milliseconds per health point lost while starving");
  mCriticalHealthLevel = GetInt("criticalhealthlevel", 0, "health below which healing overrides everything");
  mLowHealthLevel = GetInt("lowhealthlevel", 0, "health below which a member wants healing");
  mHealHealthLevel = GetInt("healhealthlevel", 0, "health up to which a member keeps healing");
  mCriticalHungerLevel = GetInt("criticalhungerlevel", 0, "fullness below which eating overrides everything");
  mLowHungerLevel = GetInt("lowhungerlevel", 0, "fullness below which a member wants food");
  mEatHungerLevel = GetInt("eathungerlevel", 0, "fullness below which a member eats carried food");
  mCriticalEnergyLevel = GetInt("criticalenergylevel", 0, "energy below which resting overrides everything");
  mLowEnergyLevel = GetInt("lowenergylevel", 0, "energy below which a member wants rest");
  mRestEnergyLevel = GetInt("restenergylevel", 0, "energy up to which a member keeps resting");
  mTribeCreatureTooltipDuration = GetInt("tribecreaturetooltipduration", 3000, "milliseconds a hover text stays");
  mTribePopulationStart = GetInt("tribePopulationStart", 2, "members a new tribe starts with");
  mTribePopulationGoal = GetInt("tribePopulationGoal", 20, "members that unlock the city stage");
  mCostHuntTool1 = GetInt("costHuntTool1", 0, "price of a level 1 HuntTool");
  mCostHuntTool2 = GetInt("costHuntTool2", 0, "price of a level 2 HuntTool");
  mCostHuntTool3 = GetInt("costHuntTool3", 0, "price of a level 3 HuntTool");
  mCostFoodStorage1 = GetInt("costFoodStorage1", 0, "price of a level 1 FoodStorage");
  mCostFoodStorage2 = GetInt("costFoodStorage2", 0, "price of a level 2 FoodStorage");
  mCostFoodStorage3 = GetInt("costFoodStorage3", 0, "price of a level 3 FoodStorage");
  mCostRecruitTool1 = GetInt("costRecruitTool1", 0, "price of a level 1 RecruitTool");
  mCostRecruitTool2 = GetInt("costRecruitTool2", 0, "price of a level 2 RecruitTool");
  mCostRecruitTool3 = GetInt("costRecruitTool3", 0, "price of a level 3 RecruitTool");
  mCostDefenseTool1 = GetInt("costDefenseTool1", 0, "price of a level 1 DefenseTool");
  mCostDefenseTool2 = GetInt("costDefenseTool2", 0, "price of a level 2 DefenseTool");
  mCostDefenseTool3 = GetInt("costDefenseTool3", 0, "price of a level 3 DefenseTool");
  mCostHealTool1 = GetInt("costHealTool1", 0, "price of a level 1 HealTool");
  mCostHealTool2 = GetInt("costHealTool2", 0, "price of a level 2 HealTool");
  mCostHealTool3 = GetInt("costHealTool3", 0, "price of a level 3 HealTool");
  mCostRestTool1 = GetInt("costRestTool1", 0, "price of a level 1 RestTool");
  mCostRestTool2 = GetInt("costRestTool2", 0, "price of a level 2 RestTool");
  mCostRestTool3 = GetInt("costRestTool3", 0, "price of a level 3 RestTool");
  mCostGatherTool1 = GetInt("costGatherTool1", 0, "price of a level 1 GatherTool");
  mCostGatherTool2 = GetInt("costGatherTool2", 0, "price of a level 2 GatherTool");
  mCostGatherTool3 = GetInt("costGatherTool3", 0, "price of a level 3 GatherTool");
}

// Built on first use, so a static initialiser elsewhere may ask for it safely.
cTribeTuningData& GetTribeTuningData() {
  static cTribeTuningData set;
  return set;
}

// ...and built before main even when nobody asks early, so the file is read at start-up.
static cTribeTuningData& gTribeTuningDataAtStartup = GetTribeTuningData();
