// Every number of the civ game a designer tunes: the blocks of
// ".\Data\CivGameMode.ini", read once (on first use, never before main's own
// code asks) and kept until exit. Integers are read with the ini rules (an
// absent file, section or key gives 0); percentages become fractions, speeds
// units per second, slopes tenths and seconds milliseconds. Fixed values are
// not keys. Every key's range stands in one table (CivTuning.cpp); a value
// outside it, or no integer, is cut or read as the key's default as it is read
// (sim/tuning/TuningKeys.h), the bounds of one key by another included; each
// cut is named in one line of the debug window, with the value held.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "sim/tuning/TuningKeys.h"

// Reads one integer: (section, key) -> value, the key's default when absent.
using tCivIniReader = std::function<int(const char* section, const char* key)>;
tCivIniReader CivIniFileReader(const std::string& path);  // the ini rules over one file, held to the table

// Every key of the file, numbered ones each by its name, with its range; and
// the row of one key (any integer for a key the table does not list).
const std::vector<sTuningKey>& CivTuningKeys();
const sTuningKey& CivTuningKey(const char* section, const char* key);

inline constexpr const char* kCivTuningFile = ".\\Data\\CivGameMode.ini";
inline constexpr int kCivMoodCount = 5;  // VeryHappy, Happy, Neutral, Unhappy, VeryUnhappy
inline constexpr int kCivCountEntries = 16;  // the "...With0..." to "...With15..." tables
inline constexpr int kCivTurretEntries = 8;

// The first block: first the number of cities, then of players.
struct cCivTuningGeneral {
  int32_t NumCities = 0;
  int32_t NumPlayers = 0;
  bool UseSound = false;
  int32_t HumanPlayerId = 0;  // -1: chosen at random
  int32_t ViewNearDistance = 260;
  int32_t ViewFarDistance = 280;
  int32_t InitNumBuildingsPlayerMin = 0;
  int32_t InitNumBuildingsPlayerMax = 0;
  int32_t InitNumBuildingsNPCMin = 0;
  int32_t InitNumBuildingsNPCMax = 0;
  int32_t MaxNumBuildings = 0;
  int32_t MaxTurretsPerCity = 8;
  int32_t CityReach = 150;
};

struct cCivTuningVehicles {
  float ModelScale[3] = {9.0f, 9.0f, 9.0f};
  float ChanceNPCBulletHitsNPCVehicle = 0.0f;
  float ChanceNPCBulletHitsNPCCity = 0.0f;
  float ChanceNPCBulletHitsPlayerVehicle = 0.0f;
  float ChanceNPCBulletHitsPlayerCity = 0.0f;
  float ChancePlayerBulletHitsNPCVehicle = 0.0f;
  float ChancePlayerBulletHitsNPCCity = 0.0f;
  float ChanceDieAfterShootingDiplomaticBullet = 0.0f;
  int32_t Unused45 = 45;
  int32_t VehicleSightRange = 60;
  int32_t GuardSightRange = 120;
  float LandVehicleSpeed = 0.0f;
  float LandVehicleMaxSlope = 0.0f;
  float AmphibiousVehicleLandSpeed = 0.0f;
  float AmphibiousVehicleWaterSpeed = 0.0f;
  float AmphibiousVehicleMaxSlope = 0.0f;
  float AirVehicleSpeed = 0.0f;
};

struct cCivTuningCombat {
  float BuildingsNeededForOwnership = 0.0f;
  float FirePeriodMs = 3000.0f;
  float FirePeriodSpreadMs = 2000.0f;
  float TurretRange = 100.0f;
  float ChanceBulletHitsTurret = 0.0f;
  float BulletSpeed = 16.0f;
  int32_t TimeBetweenViralConversionEventsMs = 0;
  float ChanceBuildingConvertsAnotherPlayer = 0.0f;
  float ChanceBuildingConvertsAnotherNPC = 0.0f;
  float BuildingsAttackerNeedsToOwnCity = 0.0f;
  float ChanceInfiltrationSucceeds[kCivMoodCount] = {};  // by mood category
};

struct cCivTuningCosts {
  float BuildingCost[kCivCountEntries] = {};  // by the city's building count
  float VehicleCost[kCivCountEntries] = {};
  float CostMultiplierForAmphibiousVehicles = 0.0f;
  float CostMultiplierForAirVehicles = 0.0f;
  float TurretCost[kCivTurretEntries] = {};  // by the city's turret count
  float CostExpelEmbassy = 0.0f;
  float CostOfPartyPerBuilding = 0.0f;
  int32_t CostOfInfiltrationPerBuildingInCity = 0;
  float RoadCost = 0.0f;
  float TradeRouteCost = 0.0f;
  float CostResearchAmphibious = 0.0f;
  float CostResearchAeronautics = 0.0f;
  float CostResearchAstronautics = 0.0f;
  float CostGiftAmountPerBuildingInNation = 0.0f;
  float CostGiftPercentageGivenToNPCCity = 0.0f;  // a plain number: its users scale it

  // Counts are taken as unsigned, so a negative count reads the last entry.
  float GetBuildingCost(int count) const;
  float GetVehicleCost(int buildings, int kind) const;  // kind 0 land, 1 amphibious, 2 air
  float GetTurretCost(int turrets) const;               // -1.0: no further turret
  float GetPartyCost(int buildings) const;
  float GetInfiltrationCost(int buildings) const;
  float GetRepairCost(int count) const;
};

struct cCivTuningWealth {
  int32_t InitWealthPerBuilding = 0;
  float WealthPerSecond[kCivCountEntries] = {};  // by the city's building count
  float NPCWealthHandicap = 0.0f;
  float EmbassyWealthIncrease = 0.0f;
  float WealthIncreaseTradeRouteAndEmbassy = 0.0f;
  float WealthIncreaseTradeRouteNoEmbassy = 0.0f;

  float GetWealthPerSecond(int buildings) const;
};

struct cCivTuningAgent {
  int32_t DesiredNumTurretsWith4Buildings = 0;
  int32_t DesiredNumVehiclesWith4Buildings = 0;
  int32_t DesiredNumTurretsWith10Buildings = 0;
  int32_t DesiredNumVehiclesWith10Buildings = 0;
  float BuildingsDestroyedBeforeSurrender[kCivMoodCount] = {};  // by mood category, from [combat]
  float ChanceNPCBuysUpgrade = 0.0f;
  float BaseChanceNPCExpelsEmbassy = 0.0f;
};

struct cCivTuningRelationships {
  float EffectPillageAttack = 0.0f;
  float EffectAttemptEmbassy = 0.0f;
  float EffectEstablishEmbassy = 0.0f;
  float EffectEstablishTradeRoute = 0.0f;
  float EffectRejectOrRemoveEmbassy = 0.0f;
  float EffectFailedInfiltration = 0.0f;
  float EffectSuccessfulInfiltration = 0.0f;
  float EffectCulturalAbsorption = 0.0f;
  float SecondaryEffect = 0.0f;  // fraction of an event's effect that reaches third players
  float EffectExpelEmbassy = 0.0f;
  float EffectSuccessfulGiftGiven = 0.0f;
  float RelationshipMin = -10.0f;
  float RelationshipMax = 10.0f;
};

struct cCivTuningHappiness {
  float DecayPeriodMs = 0.0f;
  float MoodMax = 10.0f;
  float MoodMin = -10.0f;
  float RevenueBonus[kCivMoodCount] = {};  // by mood category
  int32_t EffectOfPartyOnCityHappiness = 0;
  float EffectBuildingDestroyed = 0.0f;
};

class cCivTuning {
 public:
  // Fills every block from the reader, in the file's block order.
  void Load(const tCivIniReader& read);
  // Bounds the values that would crash or hang the mode later, as set since
  // loading (the file's are held as they are read). Returns one line per value
  // changed, naming the key, what it was and what is used.
  std::vector<std::string> ApplyBounds();

  cCivTuningGeneral general;
  cCivTuningVehicles vehicles;
  cCivTuningCombat combat;
  cCivTuningCosts costs;
  cCivTuningWealth wealth;
  cCivTuningAgent agent;
  cCivTuningRelationships relationships;
  cCivTuningHappiness happiness;

  // The program's tuning, loaded and bounded on the first call; its cuts are
  // named in the debug window. Blocks are writable (the start-up option
  // "-usecivtestcamera" narrows the general block).
  static cCivTuning& Get();
  static cCivTuningGeneral* GetGeneral() { return &Get().general; }
  static cCivTuningVehicles* GetVehicles() { return &Get().vehicles; }
  static cCivTuningCombat* GetCombat() { return &Get().combat; }
  static cCivTuningCosts* GetCosts() { return &Get().costs; }
  static cCivTuningWealth* GetWealthGeneration() { return &Get().wealth; }
  static cCivTuningAgent* GetAgent() { return &Get().agent; }
  static cCivTuningRelationships* GetRelationships() { return &Get().relationships; }
  static cCivTuningHappiness* GetHappiness() { return &Get().happiness; }
};
