// The city's constants, from three tuning files that designers edit while the
// game runs: "CityGameGeneralTuning.xml" (prices, timings, radii, chances and
// limits), "CityGameMotiveTuning.xml" (citizens' motives) and
// "CityGameBuildingTuning.xml" (the building kinds). Readers use the fields.
// Durations given in seconds are held in milliseconds, percentages as
// fractions, tribe food requirements as food (bundles x "Food Bundle Amount").
// Each numeric key's type, default and range stand in one table per file
// (CityTuning.cpp); a value the file writes outside it, or no number, is cut or
// read as the default as the tables say (sim/tuning/TuningKeys.h), and so is
// one that would break play with the others (the tribes' members and food
// together, a maximum motive below the minimum); each cut is named in one line
// of the debug window, as the file wrote it, with the value held.
#pragma once

#include <string>
#include <vector>

#include "sim/tuning/TuningData.h"
#include "sim/tuning/TuningKeys.h"

class cCityGameTuning : public cTuningData {
 public:
  static constexpr int kMaxCityUpgradeLevel = 100;  // each level is one more key to read
  // What the counts make together: every tribe member is updated and drawn in
  // every frame, and every bundle of a tribe's food lies as a cube in its pile.
  static constexpr int kMostTribeMembers = 1000;  // all tribes', founded or born
  static constexpr int kMostTribeBundles = 10000;  // all tribes' food at founding

  explicit cCityGameTuning(const std::string& dataFolder = kTuningDataFolder);
  void ApplyConstants() override;
  static std::vector<sTuningKey> Keys();  // the file's numeric keys with their ranges
  double Held(const std::string& name) const;  // what it holds for a key, in the file's unit (NaN: none)

  // The price of upgrade `level` (1 for the first); 1000 past the list.
  float GetUpgradeCost(int level) const;

  float creatureSpeed = 0.0f;  // "Creature Speed": world units per ms
  float creatureTurnRate = 0.0f;  // "Creature Turn Rate": radians per steering step (ms x 0.01)
  float roadPipDistance = 0.01f;  // "Road Pip Distance": spacing of road pips along the curve
  int initialWealth = 100;  // "Initial Wealth": money
  int initialFood = 100;  // "Initial Food": bundles in the hall's store
  int initialCreatures = 5;  // "Initial Creatures": citizens
  int initialTribeCreatures = 5;  // "Initial Tribe Creatures": members per tribe
  int initialTribes = 8;  // "Initial Tribes": tribes
  float cityHallMoney = 0.01f;  // "City Hall Money": money per period
  float cityHallMoneyTime = 5000.0f;  // "City Hall Money Time": ms (file: seconds)
  int cityPopulationGoal = 20;  // "City Population Goal": citizens
  float buyFoodAtTribeCost = 4.0f;  // "Buy Food At Tribe Cost": money
  float radiusFromCityHall = 5.0f;  // "Radius From City Hall": world units
  float angleForProtestGroup = 0.0f;  // "Angle For Protest Group": degrees
  float angleForSleepingGroup = 120.0f;  // "Angle For Sleeping Group": degrees
  float angleForIdleGroup = 240.0f;  // "Angle For Idle Group": degrees
  float idleMotiveThreshold = 30.0f;  // "Idle Motive Threshold": motive
  int idleAtCityHallChance = 250;  // "Idle At City Hall Chance": out of 100 per choice
  int idleAtCityHallMinDistance = 5;  // "Idle At City Hall Min Distance": world units
  int idleAtCityHallMaxDistance = 15;  // "Idle At City Hall Max Distance": world units
  float idleAtCityHallDuration = 4000.0f;  // "Idle At City Hall Duration": ms (file: seconds)
  float refundFraction = 0.6f;  // "Refund Fraction": fraction of the cost
  float callToPointCost = 0.0f;  // "Call to Point Cost": money
  int roadCost = 5;  // "Road Cost": money
  float roadRefundFraction = 0.9f;  // "Road Refund Fraction": fraction of the cost
  float roadSpeedMultiplier = 1.5f;  // "Road Speed Multiplier": times walking speed
  float groupJoinCheckFrequency = 1000.0f;  // "Group Join Check Frequency": ms (file: seconds)
  float fightMotiveLevel = 20.0f;  // "Fight Motive Level": motive
  float fightCheckFrequency = 1000.0f;  // "Fight Check Frequency": ms (file: seconds)
  float fightStartRadius = 2.0f;  // "Fight Start Radius": world units
  float fightStartChance = 0.01f;  // "Fight Start Chance": chance per check
  float fightAttractionRadius = 2.0f;  // "Fight Attraction Radius": world units
  float fightAttractedChance = 0.01f;  // "Fight Attracted Chance": chance per check
  float fightDuration = 10000.0f;  // "Fight Duration": ms (file: seconds)
  float protestRadius = 7.0f;  // "Protest Radius": world units
  float protestDuration = 20000.0f;  // "Protest Duration": ms (file: seconds)
  float chanceToLeaveCity = 30.0f;  // "Chance To Leave City": percent
  float singMotiveLevel = 40.0f;  // "Sing Motive Level": motive
  float singCheckFrequency = 1000.0f;  // "Sing Check Frequency": ms (file: seconds)
  float singStartRadius = 2.0f;  // "Sing Start Radius": world units
  float singStartChance = 0.01f;  // "Sing Start Chance": chance per check
  float singAttractionRadius = 2.0f;  // "Sing Attraction Radius": world units
  float singAttractedChance = 0.01f;  // "Sing Attracted Chance": chance per check
  float singDuration = 10000.0f;  // "Sing Duration": ms (file: seconds)
  float partySupplyTime = 1000.0f;  // "Party Supply Time": ms (file: seconds)
  float smallPartyAttractedChance = 0.1f;  // "Small Party Attracted Chance": chance per check
  float smallPartyAttractionRadius = 5.0f;  // "Small Party Attraction Radius": world units
  float smallPartyHungerInSupply = 0.006f;  // "Small Party Hunger In Supply": hunger per cake
  float smallPartyEnergyInSupply = 0.006f;  // "Small Party Energy In Supply": energy per cake
  int smallPartyCost = 25;  // "Small Party Cost": money
  int smallPartyCapacity = 20;  // "Small Party Capacity": guests
  int smallPartySupplies = 50000;  // "Small Party Supplies": supplies
  float partyBonusHappiness = 20.0f;  // "Party Bonus Happiness": happiness
  float partyBonusDuration = 15000.0f;  // "Party Bonus Duration": ms (file: seconds)
  float minRecruitChance = 0.0f;  // "Min Recruit Chance": fraction (file: percent)
  float maxRecruitChance = 0.35f;  // "Max Recruit Chance": fraction (file: percent)
  float gatherTimePerBundle = 3000.0f;  // "Gather Time Per Bundle": ms (file: seconds)
  float gatherFruitPerBundle = 1.0f;  // "Gather Fruit Per Bundle": fruit
  float raidDefenseStartRadius = 2.0f;  // "Raid Defense Start Radius": world units
  float raidDefenseStartChance = 0.01f;  // "Raid Defense Start Chance": fraction (file: percent)
  float tribeRaidDefenseRadius = 10.0f;  // "Tribe Raid Defense Radius": squared world units
  float raidDefenseDuration = 1000.0f;  // "Raid Defense Duration": ms (file: seconds)
  float raidDefenseMaxDuration = 60000.0f;  // "Raid Defense Max Duration": ms (file: seconds)
  float raidInteractionSpeedMultiplier = 1.3f;  // "Raid Interaction Speed Multiplier": times walking speed
  float raidDefenseHungerDelta = -0.0006f;  // "Raid Defense Hunger Delta": hunger per ms
  float raidDefenseEnergyDelta = -0.0006f;  // "Raid Defense Energy Delta": energy per ms
  float recruitDisasterDuration = 10000.0f;  // "Recruit Disaster Duration": ms (file: seconds)
  float recruitDisasterBaseRadius = 10.0f;  // "Recruit Disaster Base Radius": world units
  float recruitDisasterRadiusPer = 5.0f;  // "Recruit Disaster Radius Per": world units per recruiter
  float recruitDisasterMinRecruitChance = 0.001f;  // "Recruit Disaster Min Recruit Chance": fraction (file: percent)
  float recruitDisasterMaxRecruitChance = 0.001f;  // "Recruit Disaster Max Recruit Chance": fraction (file: percent)
  float foodBundleAmount = 5.0f;  // "Food Bundle Amount": food per bundle
  float foodBundleSellValue = 2.0f;  // "Food Bundle Sell Value": money
  float foodBundleBuyValue = 3.0f;  // "Food Bundle Buy Value": money
  float goodsBundleAmount = 5.0f;  // "Goods Bundle Amount": goods per bundle
  float goodsBundleSellValue = 5.0f;  // "Goods Bundle Sell Value": money
  float wallFieldPotential = 250000.0f;  // "Wall Field Potential": field value at the wall
  float wallFieldExponent = 4.0f;  // "Wall Field Exponent": power of the distance
  float wallCenterPointValue = 10.0f;  // "Wall Center Point Value": weight of the hall
  int maxCityUpgradeLevel = 0;  // "Max City Upgrade Level": upgrades
  std::vector<float> upgradeCosts;  // "City Upgrade 1" .. "City Upgrade N", N the max level
  float raidRelationshipEffect = 10.0f;  // "Raid Relationship Effect": relationship
  float tradeRelationshipEffect = 10.0f;  // "Trade Relationship Effect": relationship
  float recruitingRelationshipEffect = 10.0f;  // "Recruiting Relationship Effect": relationship
  float giftRelationshipEffect = 10.0f;  // "Gift Relationship Effect": relationship
  float happinessTotalCalculationTime = 30000.0f;  // "Happiness Total Calculation Time": ms (file: seconds)
  float happinessUnitCalculationTime = 2000.0f;  // "Happiness Unit Calculation Time": ms (file: seconds)
  float happinessBarRange = 50.0f;  // "Happiness Bar Range": happiness
  float tribeIdleDuration = 10000.0f;  // "Tribe Idle Duration": ms (file: seconds)
  int tribeInitialFood = 5;  // "Tribe Initial Food": bundles
  float minDistanceBetweenTribes = 0.0f;  // "Min Distance Between Tribes": world units
  float tribeRaidDefenseChance = 0.5f;  // "Tribe Raid Defense Chance": fraction (file: percent)
  float tribeRaidDefenseCheckFrequency = 5000.0f;  // "Tribe Raid Defense Check Frequency": ms (file: seconds)
  float tribeIdleChance = 10.0f;  // "Tribe Idle Chance": weight
  float tribeRecruitChance = 10.0f;  // "Tribe Recruit Chance": weight
  float tribeRaidChance = 10.0f;  // "Tribe Raid Chance": weight
  int tribeMinRaiders = 2;  // "Tribe Min Raiders": members
  int tribeMaxRaiders = 4;  // "Tribe Max Raiders": members
  int tribeMinRecruiters = 2;  // "Tribe Min Recruiters": members
  int tribeMaxRecruiters = 4;  // "Tribe Max Recruiters": members
  float minTribeBirthAndDeathRate = 30000.0f;  // "Min Tribe Birth And Death Rate": ms (file: seconds)
  float maxTribeBirthAndDeathRate = 30000.0f;  // "Max Tribe Birth And Death Rate": ms (file: seconds)
  int maxTribePopulation = 20;  // "Max Tribe Population": members
  float maxTribePopulationFoodRequirement = 100.0f;  // "Max Tribe Population Food Requirement": food (file: bundles)
  float minTribePopulationFoodRequirement = 0.0f;  // "Min Tribe Population Food Requirement": food (file: bundles)
  float tribeExcessFoodCap = 125.0f;  // "Tribe Excess Food Cap": food (file: bundles)
  float tribeExcessFoodDecayRate = 10000.0f;  // "Tribe Excess Food Decay Rate": ms (file: seconds)
  float tribePilgrimageConversionChance = 1.0f;  // "Tribe Pilgrimage Conversion Chance": fraction (file: percent)
  float tribePilgrimageChance = 1.0f;  // "Tribe Pilgrimage Chance": fraction (file: percent)
  float tribePilgrimageCheckFrequency = 10000.0f;  // "Tribe Pilgrimage Check Frequency": ms (file: seconds)
  float tribePilgrimageTime = 5000.0f;  // "Tribe Pilgrimage Time": ms (file: seconds)
  float tribeTradeChance = 0.1f;  // "Tribe Trade Chance": fraction (file: percent)
  float tribeTradeCheckFrequency = 10000.0f;  // "Tribe Trade Check Frequency": ms (file: seconds)
  float warReward = 100.0f;  // "War Reward": money
  // The tribe's weighted three-way choice: idle, recruit, raid, and their sum.
  float tribeActivityWeights[3] = {10.0f, 10.0f, 10.0f};
  float tribeActivityWeightSum = 30.0f;
};

class cCityGameMotiveTuning : public cTuningData {
 public:
  explicit cCityGameMotiveTuning(const std::string& dataFolder = kTuningDataFolder);
  void ApplyConstants() override;
  static std::vector<sTuningKey> Keys();  // the file's numeric keys with their ranges
  double Held(const std::string& name) const;  // what it holds for a key, in the file's unit (NaN: none)

  float minMotive = 0.0f;  // "Min Motive"
  float maxMotive = 100.0f;  // "Max Motive"
  float lowMotive = 40.0f;  // "Low Motive"
  float lowestMotive = 10.0f;  // "Lowest Motive"
  float sleepOnGroundEnergyDelta = 0.001f;  // "Sleep On Ground Energy Delta": energy per ms
  float sleepOnGroundGetUp = 50.0f;  // "Sleep On Ground Get Up": Low Motive + the file's value
  float worldEnergyDelta = -0.0005f;  // "World Energy Delta": energy per ms
  float worldHungerDelta = -0.0005f;  // "World Hunger Delta": hunger per ms
  float startingEnergyMin = 40.0f;  // "Starting Energy Min"
  float startingEnergyMax = 100.0f;  // "Starting Energy Max"
  float startingHungerMin = 40.0f;  // "Starting Hunger Min"
  float startingHungerMax = 100.0f;  // "Starting Hunger Max"
};

class cCityGameBuildingTuning : public cTuningData {
 public:
  explicit cCityGameBuildingTuning(const std::string& dataFolder = kTuningDataFolder);
  void ApplyConstants() override;
  static std::vector<sTuningKey> Keys();  // the file's numeric keys with their ranges
  double Held(const std::string& name) const;  // what it holds for a key, in the file's unit (NaN: none)

  float sleepEnergyDelta = 0.01f;  // "Sleep Energy Delta": energy per ms
  int sleepCost = 15;  // "Sleep Cost": money
  int sleepCapacity = 10;  // "Sleep Capacity": citizens
  int roomsPerHouse = 25;  // "Rooms Per House": citizens housed
  float sleepMinimumStay = 1000.0f;  // "Sleep Minimum Stay": ms (file: seconds)
  float sleepMaximumStay = 1000.0f;  // "Sleep Maximum Stay": ms (file: seconds)
  std::string sleepBuildingName = "Sleep Building";  // "Sleep Building Name"
  int siloCost = 15;  // "Silo Cost": money
  int siloBundleCapacity = 20;  // "Silo Bundle Capacity": bundles
  int siloCapacity = 10;  // "Silo Capacity": citizens
  int siloBoughtBundlesAmount = 10;  // "Silo Bought Bundles Amount": bundles
  float siloHungerMotiveCutoff = 100.0f;  // "Silo Hunger Motive Cutoff": motive
  float siloMinimumStay = 1000.0f;  // "Silo Minimum Stay": ms (file: seconds)
  float siloMaximumStay = 1000.0f;  // "Silo Maximum Stay": ms (file: seconds)
  std::string siloBuildingName = "Food Storage Building";  // "Silo Building Name"
  int templeCost = 15;  // "Temple Cost": money
  int templeCapacity = 10;  // "Temple Capacity": citizens
  float templeMinimumStay = 1000.0f;  // "Temple Minimum Stay": ms (file: seconds)
  float templeMaximumStay = 1000.0f;  // "Temple Maximum Stay": ms (file: seconds)
  std::string culturalBuildingName = "Cultural Building";  // "Cultural Building Name"
  float factoryHungerDelta = -0.006f;  // "Factory Hunger Delta": hunger per ms
  float factoryEnergyDelta = -0.006f;  // "Factory Energy Delta": energy per ms
  float factoryMoneyDelta = 5e-05f;  // "Factory Money Delta": money per worker inside, each pay period
  float factoryMoneyTime = 1000.0f;  // "Factory Money Time": ms (file: seconds)
  int factoryCost = 25;  // "Factory Cost": money
  int factoryCapacity = 10;  // "Factory Capacity": citizens
  float factoryMinimumStay = 1000.0f;  // "Factory Minimum Stay": ms (file: seconds)
  float factoryMaximumStay = 1000.0f;  // "Factory Maximum Stay": ms (file: seconds)
  std::string moneyBuildingName = "Money Generating Building";  // "Money Building Name"
  float farmHungerDelta = -0.006f;  // "Farm Hunger Delta": hunger per ms
  float farmEnergyDelta = -0.006f;  // "Farm Energy Delta": energy per ms
  float farmFoodDelta = 0.0001f;  // "Farm Food Delta": food per ms
  int farmCost = 25;  // "Farm Cost": money
  int farmCapacity = 10;  // "Farm Capacity": citizens
  float farmMinimumStay = 1000.0f;  // "Farm Minimum Stay": ms (file: seconds)
  float farmMaximumStay = 1000.0f;  // "Farm Maximum Stay": ms (file: seconds)
  std::string foodBuildingName = "Food Generating Building";  // "Food Building Name"
  float marketHungerDelta = -0.006f;  // "Market Hunger Delta": hunger per ms
  float marketEnergyDelta = -0.006f;  // "Market Energy Delta": energy per ms
  int marketFoodBundleCapacity = 25;  // "Market Food Bundle Capacity": bundles
  int marketGoodsBundleCapacity = 25;  // "Market Goods Bundle Capacity": bundles
  int marketCost = 25;  // "Market Cost": money
  int marketCapacity = 10;  // "Market Capacity": citizens
  float marketMinimumStay = 1000.0f;  // "Market Minimum Stay": ms (file: seconds)
  float marketMaximumStay = 1000.0f;  // "Market Maximum Stay": ms (file: seconds)
  std::string diplomaticBuildingName = "Diplomatic Building";  // "Diplomatic Building Name"
  float militaryCost = 25.0f;  // "Military Cost": money
  std::string militaryBuildingName = "Military Building";  // "Military Building Name"
  float motiveEffectRandomness = 0.04f;  // "Motive Effect Randomness": fraction
};

// The three sets, each read when first asked for (start-up names them) and
// again whenever its file changes.
cCityGameTuning& GetCityGameTuning();
cCityGameMotiveTuning& GetCityGameMotiveTuning();
cCityGameBuildingTuning& GetCityGameBuildingTuning();
