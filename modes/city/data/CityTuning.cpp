#include "modes/city/data/CityTuning.h"

#include <algorithm>
#include <limits>

#include "sim/tuning/BoundedCount.h"

namespace {
constexpr int kNoIntLimit = std::numeric_limits<int>::max();
constexpr float kNoFloatLimit = std::numeric_limits<float>::max();

// A time the file gives in seconds, held in ms: a negative or non-finite one
// reads as the low end, and none is longer than a day, so that every stopwatch
// comparison and conversion to whole milliseconds stays in range. It is cut in
// seconds, so the debug window names the value and bound as the file has them.
constexpr float kDaySeconds = 86400.0f;
float ReadTime(cTuningData& set, const char* key, float defaultSeconds, float lowSeconds = 0.0f) {
  return CutTuningValue(key, set.GetFloat(key, defaultSeconds, ""), lowSeconds, kDaySeconds) * 1000.0f;
}

// The most of a count each of `count` holders may have when together they may have `total`.
int MostEach(int total, int count) { return count > 1 ? total / count : total; }
}  // namespace

cCityGameTuning::cCityGameTuning(const std::string& dataFolder) : cTuningData(dataFolder) {
  AddFile("CityGameGeneralTuning.xml");
  Reload();
}

float cCityGameTuning::GetUpgradeCost(int level) const {
  if (level < 1 || level > (int)upgradeCosts.size()) return 1000.0f;
  return upgradeCosts[size_t(level - 1)];
}

void cCityGameTuning::ApplyConstants() {
  creatureSpeed = GetFloat("Creature Speed", 0.0f, "");
  creatureTurnRate = GetFloat("Creature Turn Rate", 0.0f, "");
  roadPipDistance = GetFloat("Road Pip Distance", 0.01f, "");
  roadPipDistance = CutTuningValue("Road Pip Distance", roadPipDistance, 0.001f, kNoFloatLimit);
  initialWealth = GetInt("Initial Wealth", 100, "");
  initialFood = GetInt("Initial Food", 100, "");
  initialFood = CutTuningValue("Initial Food", initialFood, 0, 10000);
  initialCreatures = GetInt("Initial Creatures", 5, "");
  initialCreatures = CutTuningValue("Initial Creatures", initialCreatures, 0, 200);
  initialTribeCreatures = GetInt("Initial Tribe Creatures", 5, "");
  initialTribes = GetInt("Initial Tribes", 8, "");
  initialTribes = CutTuningValue("Initial Tribes", initialTribes, 0, 200);
  // Cut once the tribes are known: each of them at most 200, all of them at most what a frame carries.
  initialTribeCreatures = CutTuningValue("Initial Tribe Creatures", initialTribeCreatures, 0,
                                         std::min(200, MostEach(kMostTribeMembers, initialTribes)));
  cityHallMoney = GetFloat("City Hall Money", 0.01f, "");
  cityHallMoneyTime = ReadTime(*this, "City Hall Money Time", 5.0f);
  cityPopulationGoal = GetInt("City Population Goal", 20, "");
  buyFoodAtTribeCost = GetFloat("Buy Food At Tribe Cost", 4.0f, "");
  radiusFromCityHall = GetFloat("Radius From City Hall", 5.0f, "");
  angleForProtestGroup = GetFloat("Angle For Protest Group", 0.0f, "");
  angleForSleepingGroup = GetFloat("Angle For Sleeping Group", 120.0f, "");
  angleForIdleGroup = GetFloat("Angle For Idle Group", 240.0f, "");
  idleMotiveThreshold = GetFloat("Idle Motive Threshold", 30.0f, "");
  idleAtCityHallChance = GetInt("Idle At City Hall Chance", 250, "");
  idleAtCityHallMinDistance = GetInt("Idle At City Hall Min Distance", 5, "");
  idleAtCityHallMaxDistance = GetInt("Idle At City Hall Max Distance", 15, "");
  idleAtCityHallDuration = ReadTime(*this, "Idle At City Hall Duration", 4.0f);
  refundFraction = GetFloat("Refund Fraction", 0.6f, "");
  callToPointCost = GetFloat("Call to Point Cost", 0.0f, "");
  roadCost = GetInt("Road Cost", 5, "");
  roadRefundFraction = GetFloat("Road Refund Fraction", 0.9f, "");
  roadSpeedMultiplier = GetFloat("Road Speed Multiplier", 1.5f, "");
  groupJoinCheckFrequency = ReadTime(*this, "Group Join Check Frequency", 1.0f);
  fightMotiveLevel = GetFloat("Fight Motive Level", 20.0f, "");
  fightCheckFrequency = ReadTime(*this, "Fight Check Frequency", 1.0f);
  fightStartRadius = GetFloat("Fight Start Radius", 2.0f, "");
  fightStartChance = GetFloat("Fight Start Chance", 0.01f, "");
  fightAttractionRadius = GetFloat("Fight Attraction Radius", 2.0f, "");
  fightAttractedChance = GetFloat("Fight Attracted Chance", 0.01f, "");
  fightDuration = ReadTime(*this, "Fight Duration", 10.0f);
  protestRadius = GetFloat("Protest Radius", 7.0f, "");
  protestDuration = ReadTime(*this, "Protest Duration", 20.0f);
  chanceToLeaveCity = GetFloat("Chance To Leave City", 30.0f, "");
  singMotiveLevel = GetFloat("Sing Motive Level", 40.0f, "");
  singCheckFrequency = ReadTime(*this, "Sing Check Frequency", 1.0f);
  singStartRadius = GetFloat("Sing Start Radius", 2.0f, "");
  singStartChance = GetFloat("Sing Start Chance", 0.01f, "");
  singAttractionRadius = GetFloat("Sing Attraction Radius", 2.0f, "");
  singAttractedChance = GetFloat("Sing Attracted Chance", 0.01f, "");
  singDuration = ReadTime(*this, "Sing Duration", 10.0f);
  partySupplyTime = ReadTime(*this, "Party Supply Time", 1.0f);
  smallPartyAttractedChance = GetFloat("Small Party Attracted Chance", 0.1f, "");
  smallPartyAttractionRadius = GetFloat("Small Party Attraction Radius", 5.0f, "");
  smallPartyHungerInSupply = GetFloat("Small Party Hunger In Supply", 0.006f, "");
  smallPartyEnergyInSupply = GetFloat("Small Party Energy In Supply", 0.006f, "");
  smallPartyCost = GetInt("Small Party Cost", 25, "");
  smallPartyCapacity = GetInt("Small Party Capacity", 20, "");
  smallPartySupplies = GetInt("Small Party Supplies", 50000, "");
  smallPartySupplies = CutTuningValue("Small Party Supplies", smallPartySupplies, 1, kNoIntLimit);
  partyBonusHappiness = GetFloat("Party Bonus Happiness", 20.0f, "");
  partyBonusDuration = ReadTime(*this, "Party Bonus Duration", 15.0f, 0.001f);
  minRecruitChance = GetFloat("Min Recruit Chance", 0.0f, "") * 0.01f;
  maxRecruitChance = GetFloat("Max Recruit Chance", 35.0f, "") * 0.01f;
  gatherTimePerBundle = ReadTime(*this, "Gather Time Per Bundle", 3.0f);
  gatherFruitPerBundle = GetFloat("Gather Fruit Per Bundle", 1.0f, "");
  raidDefenseStartRadius = GetFloat("Raid Defense Start Radius", 2.0f, "");
  raidDefenseStartChance = GetFloat("Raid Defense Start Chance", 1.0f, "") * 0.01f;
  tribeRaidDefenseRadius = GetFloat("Tribe Raid Defense Radius", 10.0f, "");
  raidDefenseDuration = ReadTime(*this, "Raid Defense Duration", 1.0f);
  raidDefenseMaxDuration = ReadTime(*this, "Raid Defense Max Duration", 60.0f);
  raidInteractionSpeedMultiplier = GetFloat("Raid Interaction Speed Multiplier", 1.3f, "");
  raidDefenseHungerDelta = GetFloat("Raid Defense Hunger Delta", -0.0006f, "");
  raidDefenseEnergyDelta = GetFloat("Raid Defense Energy Delta", -0.0006f, "");
  recruitDisasterDuration = ReadTime(*this, "Recruit Disaster Duration", 10.0f);
  recruitDisasterBaseRadius = GetFloat("Recruit Disaster Base Radius", 10.0f, "");
  recruitDisasterRadiusPer = GetFloat("Recruit Disaster Radius Per", 5.0f, "");
  recruitDisasterMinRecruitChance = GetFloat("Recruit Disaster Min Recruit Chance", 0.1f, "") * 0.01f;
  recruitDisasterMaxRecruitChance = GetFloat("Recruit Disaster Max Recruit Chance", 0.1f, "") * 0.01f;
  foodBundleAmount = GetFloat("Food Bundle Amount", 5.0f, "");
  foodBundleAmount = CutTuningValue("Food Bundle Amount", foodBundleAmount, 0.01f, kNoFloatLimit);
  foodBundleSellValue = GetFloat("Food Bundle Sell Value", 2.0f, "");
  foodBundleBuyValue = GetFloat("Food Bundle Buy Value", 3.0f, "");
  goodsBundleAmount = GetFloat("Goods Bundle Amount", 5.0f, "");
  goodsBundleSellValue = GetFloat("Goods Bundle Sell Value", 5.0f, "");
  wallFieldPotential = GetFloat("Wall Field Potential", 250000.0f, "");
  wallFieldExponent = GetFloat("Wall Field Exponent", 4.0f, "");
  wallCenterPointValue = GetFloat("Wall Center Point Value", 10.0f, "");
  maxCityUpgradeLevel = GetInt("Max City Upgrade Level", 0, "");
  maxCityUpgradeLevel = CutTuningValue("Max City Upgrade Level", maxCityUpgradeLevel, 0, kMaxCityUpgradeLevel);
  upgradeCosts.clear();
  for (int level = 1; level <= maxCityUpgradeLevel; ++level)
    upgradeCosts.push_back(GetFloat(("City Upgrade " + std::to_string(level)).c_str(), 1000.0f, ""));
  raidRelationshipEffect = GetFloat("Raid Relationship Effect", 10.0f, "");
  tradeRelationshipEffect = GetFloat("Trade Relationship Effect", 10.0f, "");
  recruitingRelationshipEffect = GetFloat("Recruiting Relationship Effect", 10.0f, "");
  giftRelationshipEffect = GetFloat("Gift Relationship Effect", 10.0f, "");
  happinessTotalCalculationTime = ReadTime(*this, "Happiness Total Calculation Time", 30.0f);
  happinessUnitCalculationTime = ReadTime(*this, "Happiness Unit Calculation Time", 2.0f, 0.001f);
  happinessBarRange = GetFloat("Happiness Bar Range", 50.0f, "");
  tribeIdleDuration = ReadTime(*this, "Tribe Idle Duration", 10.0f);
  tribeInitialFood = GetInt("Tribe Initial Food", 5, "");
  // Every bundle of a tribe's store lies as a cube in its pile.
  tribeInitialFood =
      CutTuningValue("Tribe Initial Food", tribeInitialFood, 0, MostEach(kMostTribeBundles, initialTribes));
  minDistanceBetweenTribes = GetFloat("Min Distance Between Tribes", 0.0f, "");
  tribeRaidDefenseChance = GetFloat("Tribe Raid Defense Chance", 50.0f, "") * 0.01f;
  tribeRaidDefenseCheckFrequency = ReadTime(*this, "Tribe Raid Defense Check Frequency", 5.0f);
  tribeIdleChance = GetFloat("Tribe Idle Chance", 10.0f, "");
  tribeRecruitChance = GetFloat("Tribe Recruit Chance", 10.0f, "");
  tribeRaidChance = GetFloat("Tribe Raid Chance", 10.0f, "");
  tribeMinRaiders = GetInt("Tribe Min Raiders", 2, "");
  tribeMaxRaiders = GetInt("Tribe Max Raiders", 4, "");
  tribeMinRecruiters = GetInt("Tribe Min Recruiters", 2, "");
  tribeMaxRecruiters = GetInt("Tribe Max Recruiters", 4, "");
  minTribeBirthAndDeathRate = ReadTime(*this, "Min Tribe Birth And Death Rate", 30.0f);
  maxTribeBirthAndDeathRate = ReadTime(*this, "Max Tribe Birth And Death Rate", 30.0f);
  maxTribePopulation = GetInt("Max Tribe Population", 20, "");
  // Births stop at it: more than the founding bounds would let the tribes outgrow what a frame can carry.
  maxTribePopulation = CutTuningValue("Max Tribe Population", maxTribePopulation, 1,
                                      std::min(200, MostEach(kMostTribeMembers, initialTribes)));
  maxTribePopulationFoodRequirement = (float)GetInt("Max Tribe Population Food Requirement", 20, "") * foodBundleAmount;
  minTribePopulationFoodRequirement = (float)GetInt("Min Tribe Population Food Requirement", 0, "") * foodBundleAmount;
  tribeExcessFoodCap = (float)GetInt("Tribe Excess Food Cap", 25, "") * foodBundleAmount;
  tribeExcessFoodDecayRate = ReadTime(*this, "Tribe Excess Food Decay Rate", 10.0f);
  tribePilgrimageConversionChance = GetFloat("Tribe Pilgrimage Conversion Chance", 100.0f, "") * 0.01f;
  tribePilgrimageChance = GetFloat("Tribe Pilgrimage Chance", 100.0f, "") * 0.01f;
  tribePilgrimageCheckFrequency = ReadTime(*this, "Tribe Pilgrimage Check Frequency", 10.0f);
  tribePilgrimageTime = ReadTime(*this, "Tribe Pilgrimage Time", 5.0f);
  tribeTradeChance = GetFloat("Tribe Trade Chance", 10.0f, "") * 0.01f;
  tribeTradeCheckFrequency = ReadTime(*this, "Tribe Trade Check Frequency", 10.0f);
  warReward = GetFloat("War Reward", 100.0f, "");
  tribeActivityWeights[0] = tribeIdleChance;
  tribeActivityWeights[1] = tribeRecruitChance;
  tribeActivityWeights[2] = tribeRaidChance;
  tribeActivityWeightSum = tribeIdleChance + tribeRecruitChance + tribeRaidChance;
}

cCityGameMotiveTuning::cCityGameMotiveTuning(const std::string& dataFolder) : cTuningData(dataFolder) {
  AddFile("CityGameMotiveTuning.xml");
  Reload();
}

void cCityGameMotiveTuning::ApplyConstants() {
  minMotive = GetFloat("Min Motive", 0.0f, "");
  maxMotive = GetFloat("Max Motive", 100.0f, "");
  lowMotive = GetFloat("Low Motive", 40.0f, "");
  lowestMotive = GetFloat("Lowest Motive", 10.0f, "");
  sleepOnGroundEnergyDelta = GetFloat("Sleep On Ground Energy Delta", 0.001f, "");
  sleepOnGroundGetUp = lowMotive + GetFloat("Sleep On Ground Get Up", 10.0f, "");
  worldEnergyDelta = GetFloat("World Energy Delta", -0.0005f, "");
  worldHungerDelta = GetFloat("World Hunger Delta", -0.0005f, "");
  startingEnergyMin = GetFloat("Starting Energy Min", 40.0f, "");
  startingEnergyMax = GetFloat("Starting Energy Max", 100.0f, "");
  startingHungerMin = GetFloat("Starting Hunger Min", 40.0f, "");
  startingHungerMax = GetFloat("Starting Hunger Max", 100.0f, "");
}

cCityGameBuildingTuning::cCityGameBuildingTuning(const std::string& dataFolder) : cTuningData(dataFolder) {
  AddFile("CityGameBuildingTuning.xml");
  Reload();
}

void cCityGameBuildingTuning::ApplyConstants() {
  sleepEnergyDelta = GetFloat("Sleep Energy Delta", 0.01f, "");
  sleepCost = GetInt("Sleep Cost", 15, "");
  sleepCapacity = GetInt("Sleep Capacity", 10, "");
  roomsPerHouse = GetInt("Rooms Per House", 25, "");
  sleepMinimumStay = ReadTime(*this, "Sleep Minimum Stay", 1.0f);
  sleepMaximumStay = ReadTime(*this, "Sleep Maximum Stay", 1.0f);
  GetString(sleepBuildingName, "Sleep Building Name", "Sleep Building", "");
  siloCost = GetInt("Silo Cost", 15, "");
  siloBundleCapacity = GetInt("Silo Bundle Capacity", 20, "");
  siloCapacity = GetInt("Silo Capacity", 10, "");
  siloBoughtBundlesAmount = GetInt("Silo Bought Bundles Amount", 10, "");
  siloHungerMotiveCutoff = GetFloat("Silo Hunger Motive Cutoff", 100.0f, "");
  siloMinimumStay = ReadTime(*this, "Silo Minimum Stay", 1.0f);
  siloMaximumStay = ReadTime(*this, "Silo Maximum Stay", 1.0f);
  GetString(siloBuildingName, "Silo Building Name", "Food Storage Building", "");
  templeCost = GetInt("Temple Cost", 15, "");
  templeCapacity = GetInt("Temple Capacity", 10, "");
  templeMinimumStay = ReadTime(*this, "Temple Minimum Stay", 1.0f);
  templeMaximumStay = ReadTime(*this, "Temple Maximum Stay", 1.0f);
  GetString(culturalBuildingName, "Cultural Building Name", "Cultural Building", "");
  factoryHungerDelta = GetFloat("Factory Hunger Delta", -0.006f, "");
  factoryEnergyDelta = GetFloat("Factory Energy Delta", -0.006f, "");
  factoryMoneyDelta = GetFloat("Factory Money Delta", 5e-05f, "");
  factoryMoneyTime = ReadTime(*this, "Factory Money Time", 1.0f);
  factoryCost = GetInt("Factory Cost", 25, "");
  factoryCapacity = GetInt("Factory Capacity", 10, "");
  factoryMinimumStay = ReadTime(*this, "Factory Minimum Stay", 1.0f);
  factoryMaximumStay = ReadTime(*this, "Factory Maximum Stay", 1.0f);
  GetString(moneyBuildingName, "Money Building Name", "Money Generating Building", "");
  farmHungerDelta = GetFloat("Farm Hunger Delta", -0.006f, "");
  farmEnergyDelta = GetFloat("Farm Energy Delta", -0.006f, "");
  farmFoodDelta = GetFloat("Farm Food Delta", 0.0001f, "");
  farmCost = GetInt("Farm Cost", 25, "");
  farmCapacity = GetInt("Farm Capacity", 10, "");
  farmMinimumStay = ReadTime(*this, "Farm Minimum Stay", 1.0f);
  farmMaximumStay = ReadTime(*this, "Farm Maximum Stay", 1.0f);
  GetString(foodBuildingName, "Food Building Name", "Food Generating Building", "");
  marketHungerDelta = GetFloat("Market Hunger Delta", -0.006f, "");
  marketEnergyDelta = GetFloat("Market Energy Delta", -0.006f, "");
  marketFoodBundleCapacity = GetInt("Market Food Bundle Capacity", 25, "");
  marketGoodsBundleCapacity = GetInt("Market Goods Bundle Capacity", 25, "");
  marketCost = GetInt("Market Cost", 25, "");
  marketCapacity = GetInt("Market Capacity", 10, "");
  marketMinimumStay = ReadTime(*this, "Market Minimum Stay", 1.0f);
  marketMaximumStay = ReadTime(*this, "Market Maximum Stay", 1.0f);
  GetString(diplomaticBuildingName, "Diplomatic Building Name", "Diplomatic Building", "");
  militaryCost = GetFloat("Military Cost", 25.0f, "");
  GetString(militaryBuildingName, "Military Building Name", "Military Building", "");
  motiveEffectRandomness = GetFloat("Motive Effect Randomness", 0.04f, "");
}

// Each built on first use and never destroyed, so a reader at exit finds it whole.
cCityGameTuning& GetCityGameTuning() {
  static auto* set = new cCityGameTuning;
  return *set;
}

cCityGameMotiveTuning& GetCityGameMotiveTuning() {
  static auto* set = new cCityGameMotiveTuning;
  return *set;
}

cCityGameBuildingTuning& GetCityGameBuildingTuning() {
  static auto* set = new cCityGameBuildingTuning;
  return *set;
}
