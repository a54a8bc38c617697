#include "modes/city/data/CityTuning.h"

#include <algorithm>

#include "sim/tuning/TuningKeys.h"

namespace {

using tGeneral = tTuningField<cCityGameTuning>;
using tMotive = tTuningField<cCityGameMotiveTuning>;
using tBuilding = tTuningField<cCityGameBuildingTuning>;

// The kinds of value the files give, each with the range that keeps play going
// (TuningPrice and TuningDistance besides).
constexpr sTuningKey Money(const char* name, double defaultValue) {
  return TuningFloat(name, defaultValue, 0.0, kTuningMostMoney);
}
constexpr sTuningKey Chance(const char* name, double defaultValue) { return TuningFloat(name, defaultValue, 0.0, 1.0); }
constexpr sTuningKey Percent(const char* name, double defaultValue) {
  return TuningFloat(name, defaultValue, 0.0, 100.0);
}
constexpr sTuningKey Motive(const char* name, double defaultValue) {
  return TuningFloat(name, defaultValue, 0.0, 100.0);
}
// A motive's change per ms: at most the whole scale in a tenth of a second.
constexpr sTuningKey MotivePerMs(const char* name, double defaultValue) {
  return TuningFloat(name, defaultValue, -1.0, 1.0);
}
constexpr sTuningKey Relationship(const char* name, double defaultValue) {
  return TuningFloat(name, defaultValue, -100.0, 100.0);
}
constexpr sTuningKey Capacity(const char* name, double defaultValue) {
  return TuningInt(name, defaultValue, 0.0, 1000.0);
}
// Bundles a store holds or a tribe needs: each lies as a cube in a pile.
constexpr sTuningKey Bundles(const char* name, double defaultValue) {
  return TuningInt(name, defaultValue, 0.0, 10000.0);
}
// A time the file gives in seconds: none is negative or longer than a day.
constexpr sTuningKey Seconds(const char* name, double defaultValue, double low = 0.0) {
  return TuningFloat(name, defaultValue, low, kTuningDaySeconds);
}
constexpr float kMs = 1000.0f;  // seconds held in ms
constexpr float kFraction = 0.01f;  // percent held as a fraction

// The most of a count each of `count` holders may have when together they may have `total`.
int MostEach(int total, int count) { return count > 1 ? total / count : total; }

using T = cCityGameTuning;
// What the tribes make together is held too, each tribe's share by "Initial
// Tribes" (read before): all their members at most what a frame carries,
// every bundle of their stores a cube in a pile.
sTuningKey MembersEachTribe(const T& set, const sTuningKey& key) {
  return TuningKeyWithin(key, key.low, MostEach(T::kMostTribeMembers, set.initialTribes));
}
sTuningKey BundlesEachTribe(const T& set, const sTuningKey& key) {
  return TuningKeyWithin(key, key.low, MostEach(T::kMostTribeBundles, set.initialTribes));
}

const std::vector<tGeneral>& GeneralFields() {
  static const std::vector<tGeneral> fields = {
      // A citizen's step is its speed times the frame (at most 500 ms), and never past its goal.
      {TuningFloat("Creature Speed", 0.0, 0.0, 0.1), &T::creatureSpeed},
      {TuningFloat("Creature Turn Rate", 0.0, 0.0, 10.0), &T::creatureTurnRate},
      // A road lays its length divided by the spacing in pips.
      {TuningFloat("Road Pip Distance", 0.01, 0.001, 100.0), &T::roadPipDistance},
      {TuningPrice("Initial Wealth", 100), &T::initialWealth},
      {Bundles("Initial Food", 100), &T::initialFood},
      {TuningInt("Initial Creatures", 5, 0.0, 200.0), &T::initialCreatures},
      {TuningInt("Initial Tribes", 8, 0.0, 200.0), &T::initialTribes},
      {TuningInt("Initial Tribe Creatures", 5, 0.0, 200.0), &T::initialTribeCreatures, MembersEachTribe},
      {Money("City Hall Money", 0.01), &T::cityHallMoney},
      {Seconds("City Hall Money Time", 5.0), &T::cityHallMoneyTime, kMs},
      // The goal bar's range: a goal below one citizen would show it full with nobody in the city.
      {TuningInt("City Population Goal", 20, 1.0, 10000.0), &T::cityPopulationGoal},
      {Money("Buy Food At Tribe Cost", 4.0), &T::buyFoodAtTribeCost},
      {TuningDistance("Radius From City Hall", 5.0), &T::radiusFromCityHall},
      {TuningFloat("Angle For Protest Group", 0.0, -360.0, 360.0), &T::angleForProtestGroup},
      {TuningFloat("Angle For Sleeping Group", 120.0, -360.0, 360.0), &T::angleForSleepingGroup},
      {TuningFloat("Angle For Idle Group", 240.0, -360.0, 360.0), &T::angleForIdleGroup},
      {Motive("Idle Motive Threshold", 30.0), &T::idleMotiveThreshold},
      // Out of 100 per choice: 100 and more all mean every time.
      {TuningInt("Idle At City Hall Chance", 250, 0.0, 1000.0), &T::idleAtCityHallChance},
      {TuningInt("Idle At City Hall Min Distance", 5, 0.0, kTuningMostDistance), &T::idleAtCityHallMinDistance},
      {TuningInt("Idle At City Hall Max Distance", 15, 0.0, kTuningMostDistance), &T::idleAtCityHallMaxDistance},
      {Seconds("Idle At City Hall Duration", 4.0), &T::idleAtCityHallDuration, kMs},
      {Chance("Refund Fraction", 0.6), &T::refundFraction},
      {Money("Call to Point Cost", 0.0), &T::callToPointCost},
      {TuningPrice("Road Cost", 5), &T::roadCost},
      {Chance("Road Refund Fraction", 0.9), &T::roadRefundFraction},
      {TuningFloat("Road Speed Multiplier", 1.5, 0.0, 10.0), &T::roadSpeedMultiplier},
      {Seconds("Group Join Check Frequency", 1.0), &T::groupJoinCheckFrequency, kMs},
      {Motive("Fight Motive Level", 20.0), &T::fightMotiveLevel},
      {Seconds("Fight Check Frequency", 1.0), &T::fightCheckFrequency, kMs},
      {TuningDistance("Fight Start Radius", 2.0), &T::fightStartRadius},
      {Chance("Fight Start Chance", 0.01), &T::fightStartChance},
      {TuningDistance("Fight Attraction Radius", 2.0), &T::fightAttractionRadius},
      {Chance("Fight Attracted Chance", 0.01), &T::fightAttractedChance},
      {Seconds("Fight Duration", 10.0), &T::fightDuration, kMs},
      {TuningDistance("Protest Radius", 7.0), &T::protestRadius},
      {Seconds("Protest Duration", 20.0), &T::protestDuration, kMs},
      {Percent("Chance To Leave City", 30.0), &T::chanceToLeaveCity},
      {Motive("Sing Motive Level", 40.0), &T::singMotiveLevel},
      {Seconds("Sing Check Frequency", 1.0), &T::singCheckFrequency, kMs},
      {TuningDistance("Sing Start Radius", 2.0), &T::singStartRadius},
      {Chance("Sing Start Chance", 0.01), &T::singStartChance},
      {TuningDistance("Sing Attraction Radius", 2.0), &T::singAttractionRadius},
      {Chance("Sing Attracted Chance", 0.01), &T::singAttractedChance},
      {Seconds("Sing Duration", 10.0), &T::singDuration, kMs},
      {Seconds("Party Supply Time", 1.0), &T::partySupplyTime, kMs},
      {Chance("Small Party Attracted Chance", 0.1), &T::smallPartyAttractedChance},
      {TuningDistance("Small Party Attraction Radius", 5.0), &T::smallPartyAttractionRadius},
      {Motive("Small Party Hunger In Supply", 0.006), &T::smallPartyHungerInSupply},
      {Motive("Small Party Energy In Supply", 0.006), &T::smallPartyEnergyInSupply},
      {TuningPrice("Small Party Cost", 25), &T::smallPartyCost},
      {Capacity("Small Party Capacity", 20), &T::smallPartyCapacity},
      // The party's cakes are counted out of its supplies: at least one.
      {TuningInt("Small Party Supplies", 50000, 1.0, 1e6), &T::smallPartySupplies},
      {TuningFloat("Party Bonus Happiness", 20.0, -100.0, 100.0), &T::partyBonusHappiness},
      // The bonus divides by its duration.
      {Seconds("Party Bonus Duration", 15.0, 0.001), &T::partyBonusDuration, kMs},
      {Percent("Min Recruit Chance", 0.0), &T::minRecruitChance, kFraction},
      {Percent("Max Recruit Chance", 35.0), &T::maxRecruitChance, kFraction},
      {Seconds("Gather Time Per Bundle", 3.0), &T::gatherTimePerBundle, kMs},
      {TuningFloat("Gather Fruit Per Bundle", 1.0, 0.0, 1000.0), &T::gatherFruitPerBundle},
      {TuningDistance("Raid Defense Start Radius", 2.0), &T::raidDefenseStartRadius},
      {Percent("Raid Defense Start Chance", 1.0), &T::raidDefenseStartChance, kFraction},
      {TuningFloat("Tribe Raid Defense Radius", 10.0, 0.0, kTuningMostDistance * kTuningMostDistance),
       &T::tribeRaidDefenseRadius},
      {Seconds("Raid Defense Duration", 1.0), &T::raidDefenseDuration, kMs},
      {Seconds("Raid Defense Max Duration", 60.0), &T::raidDefenseMaxDuration, kMs},
      {TuningFloat("Raid Interaction Speed Multiplier", 1.3, 0.0, 10.0), &T::raidInteractionSpeedMultiplier},
      {MotivePerMs("Raid Defense Hunger Delta", -0.0006), &T::raidDefenseHungerDelta},
      {MotivePerMs("Raid Defense Energy Delta", -0.0006), &T::raidDefenseEnergyDelta},
      {Seconds("Recruit Disaster Duration", 10.0), &T::recruitDisasterDuration, kMs},
      {TuningDistance("Recruit Disaster Base Radius", 10.0), &T::recruitDisasterBaseRadius},
      {TuningDistance("Recruit Disaster Radius Per", 5.0), &T::recruitDisasterRadiusPer},
      {Percent("Recruit Disaster Min Recruit Chance", 0.1), &T::recruitDisasterMinRecruitChance, kFraction},
      {Percent("Recruit Disaster Max Recruit Chance", 0.1), &T::recruitDisasterMaxRecruitChance, kFraction},
      // Stores count their food in bundles of this amount.
      {TuningFloat("Food Bundle Amount", 5.0, 0.01, 1000.0), &T::foodBundleAmount},
      {Money("Food Bundle Sell Value", 2.0), &T::foodBundleSellValue},
      {Money("Food Bundle Buy Value", 3.0), &T::foodBundleBuyValue},
      {TuningFloat("Goods Bundle Amount", 5.0, 0.01, 1000.0), &T::goodsBundleAmount},
      {Money("Goods Bundle Sell Value", 5.0), &T::goodsBundleSellValue},
      {TuningFloat("Wall Field Potential", 250000.0, 0.0, 1e12), &T::wallFieldPotential},
      {TuningFloat("Wall Field Exponent", 4.0, 0.0, 16.0), &T::wallFieldExponent},
      {TuningFloat("Wall Center Point Value", 10.0, 0.0, 1e12), &T::wallCenterPointValue},
      // Each level is one more key to read.
      {TuningInt("Max City Upgrade Level", 0, 0.0, cCityGameTuning::kMaxCityUpgradeLevel), &T::maxCityUpgradeLevel},
      {Relationship("Raid Relationship Effect", 10.0), &T::raidRelationshipEffect},
      {Relationship("Trade Relationship Effect", 10.0), &T::tradeRelationshipEffect},
      {Relationship("Recruiting Relationship Effect", 10.0), &T::recruitingRelationshipEffect},
      {Relationship("Gift Relationship Effect", 10.0), &T::giftRelationshipEffect},
      {Seconds("Happiness Total Calculation Time", 30.0), &T::happinessTotalCalculationTime, kMs},
      // The total divides by it.
      {Seconds("Happiness Unit Calculation Time", 2.0, 0.001), &T::happinessUnitCalculationTime, kMs},
      // The happiness bar's range: below one happiness the bar could only show its ends.
      {TuningFloat("Happiness Bar Range", 50.0, 1.0, 1000.0), &T::happinessBarRange},
      {Seconds("Tribe Idle Duration", 10.0), &T::tribeIdleDuration, kMs},
      {Bundles("Tribe Initial Food", 5), &T::tribeInitialFood, BundlesEachTribe},
      {TuningDistance("Min Distance Between Tribes", 0.0), &T::minDistanceBetweenTribes},
      {Percent("Tribe Raid Defense Chance", 50.0), &T::tribeRaidDefenseChance, kFraction},
      {Seconds("Tribe Raid Defense Check Frequency", 5.0), &T::tribeRaidDefenseCheckFrequency, kMs},
      {TuningFloat("Tribe Idle Chance", 10.0, 0.0, 1e6), &T::tribeIdleChance},
      {TuningFloat("Tribe Recruit Chance", 10.0, 0.0, 1e6), &T::tribeRecruitChance},
      {TuningFloat("Tribe Raid Chance", 10.0, 0.0, 1e6), &T::tribeRaidChance},
      {Capacity("Tribe Min Raiders", 2), &T::tribeMinRaiders},
      {Capacity("Tribe Max Raiders", 4), &T::tribeMaxRaiders},
      {Capacity("Tribe Min Recruiters", 2), &T::tribeMinRecruiters},
      {Capacity("Tribe Max Recruiters", 4), &T::tribeMaxRecruiters},
      {Seconds("Min Tribe Birth And Death Rate", 30.0), &T::minTribeBirthAndDeathRate, kMs},
      {Seconds("Max Tribe Birth And Death Rate", 30.0), &T::maxTribeBirthAndDeathRate, kMs},
      // Births stop at it, and the tribes' growth divides by it: more than the
      // founding share would let the tribes outgrow what a frame can carry.
      {TuningInt("Max Tribe Population", 20, 1.0, 200.0), &T::maxTribePopulation, MembersEachTribe},
      // Bundles here, held as food once "Food Bundle Amount" is known (below).
      {Bundles("Max Tribe Population Food Requirement", 20), &T::maxTribePopulationFoodRequirement},
      {Bundles("Min Tribe Population Food Requirement", 0), &T::minTribePopulationFoodRequirement},
      {Bundles("Tribe Excess Food Cap", 25), &T::tribeExcessFoodCap},
      {Seconds("Tribe Excess Food Decay Rate", 10.0), &T::tribeExcessFoodDecayRate, kMs},
      {Percent("Tribe Pilgrimage Conversion Chance", 100.0), &T::tribePilgrimageConversionChance, kFraction},
      {Percent("Tribe Pilgrimage Chance", 100.0), &T::tribePilgrimageChance, kFraction},
      {Seconds("Tribe Pilgrimage Check Frequency", 10.0), &T::tribePilgrimageCheckFrequency, kMs},
      {Seconds("Tribe Pilgrimage Time", 5.0), &T::tribePilgrimageTime, kMs},
      {Percent("Tribe Trade Chance", 10.0), &T::tribeTradeChance, kFraction},
      {Seconds("Tribe Trade Check Frequency", 10.0), &T::tribeTradeCheckFrequency, kMs},
      {Money("War Reward", 100.0), &T::warReward},
  };
  return fields;
}

// The tribes' food keys the file gives in bundles, held as food once "Food Bundle Amount" is known.
float T::* const kHeldAsFood[] = {&T::maxTribePopulationFoodRequirement, &T::minTribePopulationFoodRequirement,
                                  &T::tribeExcessFoodCap};

// The price of each city hall upgrade: "City Upgrade 1" up to the top level.
constexpr sTuningKey kUpgradeCost = Money("City Upgrade", 1000.0);
constexpr const char* kFirstUpgradeCost = "City Upgrade 1";

using M = cCityGameMotiveTuning;
// Motives are held between the two: a maximum below the minimum would pin every motive below it.
sTuningKey AtLeastMinMotive(const M& set, const sTuningKey& key) { return TuningKeyWithin(key, set.minMotive, key.high); }

const std::vector<tMotive>& MotiveFields() {
  static const std::vector<tMotive> fields = {
      {Motive("Min Motive", 0.0), &M::minMotive},
      {Motive("Max Motive", 100.0), &M::maxMotive, 1.0f, AtLeastMinMotive},
      {Motive("Low Motive", 40.0), &M::lowMotive},
      {Motive("Lowest Motive", 10.0), &M::lowestMotive},
      {MotivePerMs("Sleep On Ground Energy Delta", 0.001), &M::sleepOnGroundEnergyDelta},
      {Motive("Sleep On Ground Get Up", 10.0), &M::sleepOnGroundGetUp},  // above "Low Motive"
      {MotivePerMs("World Energy Delta", -0.0005), &M::worldEnergyDelta},
      {MotivePerMs("World Hunger Delta", -0.0005), &M::worldHungerDelta},
      {Motive("Starting Energy Min", 40.0), &M::startingEnergyMin},
      {Motive("Starting Energy Max", 100.0), &M::startingEnergyMax},
      {Motive("Starting Hunger Min", 40.0), &M::startingHungerMin},
      {Motive("Starting Hunger Max", 100.0), &M::startingHungerMax},
  };
  return fields;
}

using B = cCityGameBuildingTuning;
const std::vector<tBuilding>& BuildingFields() {
  static const std::vector<tBuilding> fields = {
      {MotivePerMs("Sleep Energy Delta", 0.01), &B::sleepEnergyDelta},
      {TuningPrice("Sleep Cost", 15), &B::sleepCost},
      {Capacity("Sleep Capacity", 10), &B::sleepCapacity},
      // The city's housing is every house's rooms together.
      {Capacity("Rooms Per House", 25), &B::roomsPerHouse},
      {Seconds("Sleep Minimum Stay", 1.0), &B::sleepMinimumStay, kMs},
      {Seconds("Sleep Maximum Stay", 1.0), &B::sleepMaximumStay, kMs},
      {TuningPrice("Silo Cost", 15), &B::siloCost},
      {Bundles("Silo Bundle Capacity", 20), &B::siloBundleCapacity},
      {Capacity("Silo Capacity", 10), &B::siloCapacity},
      {Bundles("Silo Bought Bundles Amount", 10), &B::siloBoughtBundlesAmount},
      {Motive("Silo Hunger Motive Cutoff", 100.0), &B::siloHungerMotiveCutoff},
      {Seconds("Silo Minimum Stay", 1.0), &B::siloMinimumStay, kMs},
      {Seconds("Silo Maximum Stay", 1.0), &B::siloMaximumStay, kMs},
      {TuningPrice("Temple Cost", 15), &B::templeCost},
      {Capacity("Temple Capacity", 10), &B::templeCapacity},
      {Seconds("Temple Minimum Stay", 1.0), &B::templeMinimumStay, kMs},
      {Seconds("Temple Maximum Stay", 1.0), &B::templeMaximumStay, kMs},
      {MotivePerMs("Factory Hunger Delta", -0.006), &B::factoryHungerDelta},
      {MotivePerMs("Factory Energy Delta", -0.006), &B::factoryEnergyDelta},
      {Money("Factory Money Delta", 5e-05), &B::factoryMoneyDelta},
      {Seconds("Factory Money Time", 1.0), &B::factoryMoneyTime, kMs},
      {TuningPrice("Factory Cost", 25), &B::factoryCost},
      {Capacity("Factory Capacity", 10), &B::factoryCapacity},
      {Seconds("Factory Minimum Stay", 1.0), &B::factoryMinimumStay, kMs},
      {Seconds("Factory Maximum Stay", 1.0), &B::factoryMaximumStay, kMs},
      {MotivePerMs("Farm Hunger Delta", -0.006), &B::farmHungerDelta},
      {MotivePerMs("Farm Energy Delta", -0.006), &B::farmEnergyDelta},
      {TuningFloat("Farm Food Delta", 0.0001, 0.0, 1.0), &B::farmFoodDelta},
      {TuningPrice("Farm Cost", 25), &B::farmCost},
      {Capacity("Farm Capacity", 10), &B::farmCapacity},
      {Seconds("Farm Minimum Stay", 1.0), &B::farmMinimumStay, kMs},
      {Seconds("Farm Maximum Stay", 1.0), &B::farmMaximumStay, kMs},
      {MotivePerMs("Market Hunger Delta", -0.006), &B::marketHungerDelta},
      {MotivePerMs("Market Energy Delta", -0.006), &B::marketEnergyDelta},
      {Bundles("Market Food Bundle Capacity", 25), &B::marketFoodBundleCapacity},
      {Bundles("Market Goods Bundle Capacity", 25), &B::marketGoodsBundleCapacity},
      {TuningPrice("Market Cost", 25), &B::marketCost},
      {Capacity("Market Capacity", 10), &B::marketCapacity},
      {Seconds("Market Minimum Stay", 1.0), &B::marketMinimumStay, kMs},
      {Seconds("Market Maximum Stay", 1.0), &B::marketMaximumStay, kMs},
      {Money("Military Cost", 25.0), &B::militaryCost},
      {Chance("Motive Effect Randomness", 0.04), &B::motiveEffectRandomness},
  };
  return fields;
}
}  // namespace

cCityGameTuning::cCityGameTuning(const std::string& dataFolder) : cTuningData(dataFolder) {
  AddFile("CityGameGeneralTuning.xml");
  Reload();
}

std::vector<sTuningKey> cCityGameTuning::Keys() {
  std::vector<sTuningKey> keys = TuningKeysOf(GeneralFields());
  sTuningKey first = kUpgradeCost;
  first.name = kFirstUpgradeCost;  // and so on, up to "Max City Upgrade Level"
  keys.push_back(first);
  return keys;
}

double cCityGameTuning::Held(const std::string& name) const {
  if (name == kFirstUpgradeCost) return upgradeCosts.empty() ? std::nan("") : upgradeCosts[0];
  for (const tGeneral& field : GeneralFields())
    if (name == field.key.name && std::count(std::begin(kHeldAsFood), std::end(kHeldAsFood), field.asFloat))
      return this->*field.asFloat / (double)foodBundleAmount;
  return HeldTuningField(*this, GeneralFields(), name);
}

float cCityGameTuning::GetUpgradeCost(int level) const {
  if (level < 1 || level > (int)upgradeCosts.size()) return 1000.0f;
  return upgradeCosts[size_t(level - 1)];
}

void cCityGameTuning::ApplyConstants() {
  ReadTuningFields(*this, GeneralFields());
  for (float T::*food : kHeldAsFood) this->*food *= foodBundleAmount;
  upgradeCosts.clear();
  for (int level = 1; level <= maxCityUpgradeLevel; ++level) {
    const std::string name = "City Upgrade " + std::to_string(level);
    sTuningKey key = kUpgradeCost;
    key.name = name.c_str();
    upgradeCosts.push_back((float)Read(key));
  }
  tribeActivityWeights[0] = tribeIdleChance;
  tribeActivityWeights[1] = tribeRecruitChance;
  tribeActivityWeights[2] = tribeRaidChance;
  tribeActivityWeightSum = tribeIdleChance + tribeRecruitChance + tribeRaidChance;
}

cCityGameMotiveTuning::cCityGameMotiveTuning(const std::string& dataFolder) : cTuningData(dataFolder) {
  AddFile("CityGameMotiveTuning.xml");
  Reload();
}

std::vector<sTuningKey> cCityGameMotiveTuning::Keys() { return TuningKeysOf(MotiveFields()); }

double cCityGameMotiveTuning::Held(const std::string& name) const {
  const double held = HeldTuningField(*this, MotiveFields(), name);
  return name == "Sleep On Ground Get Up" ? held - lowMotive : held;  // held above "Low Motive"
}

void cCityGameMotiveTuning::ApplyConstants() {
  ReadTuningFields(*this, MotiveFields());
  sleepOnGroundGetUp += lowMotive;
}

cCityGameBuildingTuning::cCityGameBuildingTuning(const std::string& dataFolder) : cTuningData(dataFolder) {
  AddFile("CityGameBuildingTuning.xml");
  Reload();
}

std::vector<sTuningKey> cCityGameBuildingTuning::Keys() { return TuningKeysOf(BuildingFields()); }

double cCityGameBuildingTuning::Held(const std::string& name) const { return HeldTuningField(*this, BuildingFields(), name); }

void cCityGameBuildingTuning::ApplyConstants() {
  ReadTuningFields(*this, BuildingFields());
  GetString(sleepBuildingName, "Sleep Building Name", "Sleep Building", "");
  GetString(siloBuildingName, "Silo Building Name", "Food Storage Building", "");
  GetString(culturalBuildingName, "Cultural Building Name", "Cultural Building", "");
  GetString(moneyBuildingName, "Money Building Name", "Money Generating Building", "");
  GetString(foodBuildingName, "Food Building Name", "Food Generating Building", "");
  GetString(diplomaticBuildingName, "Diplomatic Building Name", "Diplomatic Building", "");
  GetString(militaryBuildingName, "Military Building Name", "Military Building", "");
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
