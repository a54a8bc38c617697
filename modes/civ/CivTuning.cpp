#include "modes/civ/CivTuning.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/Sys.h"

tCivIniReader CivIniFileReader(const std::string& path) {
  return [path](const char* section, const char* key) { return Sys_IniReadInt(path, section, key, 0); };
}

namespace {

// The conversions of the file: every entry is an integer.
struct cBlockReader {
  const tCivIniReader& read;
  const char* section;

  int Int(const char* key) const { return read(section, key); }
  bool Bool(const char* key) const { return Int(key) != 0; }
  float Hundredths(const char* key) const { return (float)Int(key) * 0.01f; }
  float Tenths(const char* key) const { return (float)Int(key) * 0.1f; }
  float Float(const char* key) const { return (float)Int(key); }
  float Unsigned(const char* key) const { return (float)(uint32_t)Int(key); }  // -1 reads about 4.29e9
  // Seconds to milliseconds without overflowing the integer.
  int64_t Milliseconds(const char* key) const { return (int64_t)Int(key) * 1000; }
};

// "<prefix><n><suffix>" for n = 0 .. count - 1, in order.
template <class Convert>
void ReadNumbered(const char* prefix, const char* suffix, int count, float* out, Convert convert) {
  for (int n = 0; n < count; ++n) out[n] = convert((prefix + std::to_string(n) + suffix).c_str());
}

const char* const kMoodKeyNames[kCivMoodCount] = {"VeryHappy", "Happy", "Neutral", "Unhappy", "VeryUnhappy"};

void LoadGeneral(const tCivIniReader& read, cCivTuningGeneral& g) {
  cBlockReader r{read, "general"};
  g.NumCities = r.Int("NumCities");
  g.NumPlayers = r.Int("NumPlayers");
  g.UseSound = r.Bool("UseSound");
  g.HumanPlayerId = r.Int("HumanPlayerId");
  g.InitNumBuildingsPlayerMin = r.Int("InitNumBuildingsPlayerMin");
  g.InitNumBuildingsPlayerMax = r.Int("InitNumBuildingsPlayerMax");
  g.InitNumBuildingsNPCMin = r.Int("InitNumBuildingsNPCMin");
  g.InitNumBuildingsNPCMax = r.Int("InitNumBuildingsNPCMax");
  g.MaxNumBuildings = r.Int("MaxNumBuildings");
}

void LoadVehicles(const tCivIniReader& read, cCivTuningVehicles& v) {
  cBlockReader r{read, "vehicles"};
  v.ChanceNPCBulletHitsNPCVehicle = r.Hundredths("PercentChanceNPCBulletHitsNPCVehicle");
  v.ChanceNPCBulletHitsNPCCity = r.Hundredths("PercentChanceNPCBulletHitsNPCCity");
  v.ChanceNPCBulletHitsPlayerVehicle = r.Hundredths("PercentChanceNPCBulletHitsPlayerVehicle");
  v.ChanceNPCBulletHitsPlayerCity = r.Hundredths("PercentChanceNPCBulletHitsPlayerCity");
  v.ChancePlayerBulletHitsNPCVehicle = r.Hundredths("PercentChancePlayerBulletHitsNPCVehicle");
  v.ChancePlayerBulletHitsNPCCity = r.Hundredths("PercentChancePlayerBulletHitsNPCCity");
  v.ChanceDieAfterShootingDiplomaticBullet = r.Hundredths("PercentChanceDieAfterShootingDiplomaticBullet");
  v.LandVehicleSpeed = r.Hundredths("LandVehicleSpeed");
  v.LandVehicleMaxSlope = r.Tenths("LandVehicleMaxSlope");
  v.AmphibiousVehicleLandSpeed = r.Hundredths("AmphibiousVehicleLandSpeed");
  v.AmphibiousVehicleWaterSpeed = r.Hundredths("AmphibiousVehicleWaterSpeed");
  v.AmphibiousVehicleMaxSlope = r.Tenths("AmphibiousVehicleMaxSlope");
  v.AirVehicleSpeed = r.Hundredths("AirVehicleSpeed");
}

void LoadCombat(const tCivIniReader& read, cCivTuningCombat& c) {
  cBlockReader r{read, "combat"};
  c.BuildingsNeededForOwnership = r.Hundredths("PercentBuildingsNeededForOwnership");
  c.ChanceBulletHitsTurret = r.Hundredths("PercentChanceBulletHitsTurret");
  // Stored as an int of milliseconds; nothing reads it yet, so saturate rather than wrap.
  c.TimeBetweenViralConversionEventsMs =
      (int32_t)std::clamp<int64_t>(r.Milliseconds("TimeBetweenViralConversionEventsSeconds"), INT32_MIN, INT32_MAX);
  c.ChanceBuildingConvertsAnotherPlayer = r.Hundredths("PerentChanceBuildingConvertsAnotherPlayer");
  c.ChanceBuildingConvertsAnotherNPC = r.Hundredths("PerentChanceBuildingConvertsAnotherNPC");
  c.BuildingsAttackerNeedsToOwnCity = r.Hundredths("PercentBuildingsAttackerNeedsToOwnCity");
  for (int m = 0; m < kCivMoodCount; ++m)
    c.ChanceInfiltrationSucceeds[m] =
        r.Hundredths(("PercentChanceInfiltrationSucceeds" + std::string(kMoodKeyNames[m]) + "City").c_str());
}

void LoadCosts(const tCivIniReader& read, cCivTuningCosts& c) {
  cBlockReader r{read, "costs"};
  auto asUnsigned = [&](const char* key) { return r.Unsigned(key); };
  ReadNumbered("CostOfBuildingWith", "Buildings", kCivCountEntries, c.BuildingCost, asUnsigned);
  ReadNumbered("CostOfVehicleWith", "Buildings", kCivCountEntries, c.VehicleCost, asUnsigned);
  c.CostMultiplierForAmphibiousVehicles = r.Hundredths("CostMultiplierForAmphibiousVehicles");
  c.CostMultiplierForAirVehicles = r.Hundredths("CostMultiplierForAirVehicles");
  ReadNumbered("CostOfTurretWith", "Turrets", kCivTurretEntries, c.TurretCost, asUnsigned);
  c.CostExpelEmbassy = r.Unsigned("CostExpelEmbassy");
  c.CostOfPartyPerBuilding = r.Unsigned("CostOfPartyPerBuilding");
  c.CostOfInfiltrationPerBuildingInCity = r.Int("CostOfInfiltrationPerBuildingInCity");
  c.RoadCost = r.Unsigned("RoadCost");
  c.TradeRouteCost = r.Unsigned("TradeRouteCost");
  c.CostResearchAmphibious = r.Unsigned("CostResearchAmphibious");
  c.CostResearchAeronautics = r.Unsigned("CostResearchAeronautics");
  c.CostResearchAstronautics = r.Unsigned("CostResearchAstronautics");
  c.CostGiftAmountPerBuildingInNation = r.Unsigned("CostGiftAmountPerBuildingInNation");
  c.CostGiftPercentageGivenToNPCCity = r.Unsigned("CostGiftPercentageGivenToNPCCity");
}

void LoadWealth(const tCivIniReader& read, cCivTuningWealth& w) {
  cBlockReader r{read, "Wealth Generation"};
  w.InitWealthPerBuilding = r.Int("InitWealthPerBuilding");
  ReadNumbered("WealthGenerationPerSecondWith", "Buildings", kCivCountEntries, w.WealthPerSecond,
               [&](const char* key) { return r.Hundredths(key); });
  w.NPCWealthHandicap = r.Hundredths("NPCWealthHandicapPercent");
  w.EmbassyWealthIncrease = r.Hundredths("EmbassyWealthIncreasePercent");
  w.WealthIncreaseTradeRouteAndEmbassy = r.Hundredths("PercentWealthIncreaseTradeRouteAndEmbassy");
  w.WealthIncreaseTradeRouteNoEmbassy = r.Hundredths("PercentWealthIncreaseTradeRouteNoEmbassy");
}

void LoadAgent(const tCivIniReader& read, cCivTuningAgent& a) {
  cBlockReader r{read, "agent"};
  a.DesiredNumTurretsWith4Buildings = r.Int("DesiredNumTurretsWith4Buildings");
  a.DesiredNumVehiclesWith4Buildings = r.Int("DesiredNumVehiclesWith4Buildings");
  a.DesiredNumTurretsWith10Buildings = r.Int("DesiredNumTurretsWith10Buildings");
  a.DesiredNumVehiclesWith10Buildings = r.Int("DesiredNumVehiclesWith10Buildings");
  // These two are read before the surrender fractions but stored after them.
  a.ChanceNPCBuysUpgrade = r.Hundredths("PercentChanceNPCBuysUpgrade");
  a.BaseChanceNPCExpelsEmbassy = r.Hundredths("BasePercentChanceNPCExpelsEmbassy");
  cBlockReader combat{read, "combat"};
  for (int m = 0; m < kCivMoodCount; ++m)
    a.BuildingsDestroyedBeforeSurrender[m] = combat.Hundredths(
        ("PercentBuildingsDestroyedBeforeSurrender" + std::string(kMoodKeyNames[m]) + "City").c_str());
}

void LoadRelationships(const tCivIniReader& read, cCivTuningRelationships& e) {
  cBlockReader r{read, "relationships"};
  e.EffectPillageAttack = r.Float("EffectPillageAttack");
  e.EffectAttemptEmbassy = r.Float("EffectAttemptEmbassy");
  e.EffectEstablishEmbassy = r.Float("EffectEstablishEmbassy");
  e.EffectEstablishTradeRoute = r.Float("EffectEstablishTradeRoute ");  // the key's name ends with a blank
  e.EffectRejectOrRemoveEmbassy = r.Float("EffectRejectOrRemoveEmbassy");
  e.EffectFailedInfiltration = r.Float("EffectFailedInfiltration");
  e.EffectSuccessfulInfiltration = r.Float("EffectSuccessfulInfiltration");
  e.EffectCulturalAbsorption = r.Float("EffectCulturalAbsorption");
  e.SecondaryEffect = r.Hundredths("PercentSecondaryEffect");
  e.EffectExpelEmbassy = r.Float("EffectExpelEmbassy");
  e.EffectSuccessfulGiftGiven = r.Float("EffectSuccessfulGiftGiven");
}

void LoadHappiness(const tCivIniReader& read, cCivTuningHappiness& h) {
  cBlockReader r{read, "happiness"};
  h.DecayPeriodMs = (float)r.Milliseconds("HappinessDecaySec");
  for (int m = 0; m < kCivMoodCount; ++m)
    h.RevenueBonus[m] = r.Hundredths(("PercentRevenueBonus" + std::string(kMoodKeyNames[m])).c_str());
  h.EffectOfPartyOnCityHappiness = r.Int("EffectOfPartyOnCityHappiness");
  h.EffectBuildingDestroyed = r.Float("EffectBuildingDestroyed");
}

// Bounds one value; when it moves, a line naming it joins the report.
void Bound(std::vector<std::string>& report, const char* key, int32_t& value, int32_t lowest, int32_t highest) {
  int32_t bounded = std::clamp(value, lowest, highest);
  if (bounded == value) return;
  report.push_back(std::string("CivGameMode.ini: ") + key + " " + std::to_string(value) + " is out of range " +
                   std::to_string(lowest) + ".." + std::to_string(highest) + "; using " + std::to_string(bounded));
  value = bounded;
}

// Far more than a city's ring holds, yet small enough that a city's set-up ends.
constexpr int32_t kMostInitialBuildings = 100;
// The relationship matrix needs a second player; the colour table has ten.
constexpr int32_t kFewestPlayers = 2, kMostPlayers = 10;
constexpr int32_t kMostCities = 10;  // the start places

}  // namespace

void cCivTuning::Load(const tCivIniReader& read) {
  LoadGeneral(read, general);
  LoadVehicles(read, vehicles);
  LoadCombat(read, combat);
  LoadCosts(read, costs);
  LoadWealth(read, wealth);
  LoadAgent(read, agent);
  LoadRelationships(read, relationships);
  LoadHappiness(read, happiness);
}

std::vector<std::string> cCivTuning::ApplyBounds() {
  std::vector<std::string> report;
  cCivTuningGeneral& g = general;
  Bound(report, "NumPlayers", g.NumPlayers, kFewestPlayers, kMostPlayers);
  Bound(report, "NumCities", g.NumCities, 0, kMostCities);
  Bound(report, "HumanPlayerId", g.HumanPlayerId, -1, g.NumPlayers - 1);
  // A city draws min + (a random number modulo max - min + 1) buildings: max below min divides by zero.
  Bound(report, "InitNumBuildingsPlayerMin", g.InitNumBuildingsPlayerMin, 0, kMostInitialBuildings);
  Bound(report, "InitNumBuildingsPlayerMax", g.InitNumBuildingsPlayerMax, g.InitNumBuildingsPlayerMin, kMostInitialBuildings);
  Bound(report, "InitNumBuildingsNPCMin", g.InitNumBuildingsNPCMin, 0, kMostInitialBuildings);
  Bound(report, "InitNumBuildingsNPCMax", g.InitNumBuildingsNPCMax, g.InitNumBuildingsNPCMin, kMostInitialBuildings);
  return report;
}

namespace {
struct cLoadedTuning {
  cCivTuning tuning;
  std::vector<std::string> report;
  cLoadedTuning() {
    tuning.Load(CivIniFileReader(kCivTuningFile));
    report = tuning.ApplyBounds();
    for (const std::string& line : report) fprintf(stderr, "%s\n", line.c_str());
  }
};
cLoadedTuning& LoadedTuning() {
  static cLoadedTuning* loaded = new cLoadedTuning();  // lives for the whole run
  return *loaded;
}
}  // namespace

cCivTuning& cCivTuning::Get() { return LoadedTuning().tuning; }
const std::vector<std::string>& cCivTuning::GetBoundReport() { return LoadedTuning().report; }

// ---- lookups ----

namespace {
// A count taken as unsigned: anything past the table, negative counts included, reads its last entry.
int TableIndex(int count, int entries) { return (uint32_t)count < (uint32_t)(entries - 1) ? count : entries - 1; }
}  // namespace

float cCivTuningCosts::GetBuildingCost(int count) const { return BuildingCost[TableIndex(count, kCivCountEntries)]; }

float cCivTuningCosts::GetVehicleCost(int buildings, int kind) const {
  float cost = VehicleCost[TableIndex(buildings, kCivCountEntries)];
  if (kind == 1) return cost * CostMultiplierForAmphibiousVehicles;
  if (kind == 2) return cost * CostMultiplierForAirVehicles;
  return cost;
}

float cCivTuningCosts::GetTurretCost(int turrets) const {
  return (uint32_t)turrets < (uint32_t)kCivTurretEntries ? TurretCost[turrets] : -1.0f;
}

float cCivTuningCosts::GetPartyCost(int buildings) const { return (float)buildings * CostOfPartyPerBuilding; }

float cCivTuningCosts::GetInfiltrationCost(int buildings) const {
  return (float)CostOfInfiltrationPerBuildingInCity * (float)buildings;
}

float cCivTuningCosts::GetRepairCost(int count) const { return GetBuildingCost(count) * 0.5f; }

float cCivTuningWealth::GetWealthPerSecond(int buildings) const {
  return WealthPerSecond[TableIndex(buildings, kCivCountEntries)];
}
