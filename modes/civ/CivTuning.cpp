#include "modes/civ/CivTuning.h"

#include <algorithm>
#include <cctype>
#include <deque>
#include <map>
#include <memory>
#include <cstdio>
#include <string>

#include "platform/Sys.h"
#include "sim/tuning/BoundedCount.h"

namespace {

// The rows of the file's table, a family of numbered keys ("CostOfBuildingWith0Buildings"
// ... "...With15Buildings") written once. A missing key reads 0, or the range's
// end nearest to 0 where 0 is outside it.
struct sCivKeyRow {
  const char* section;
  const char* prefix;
  double low, high;
  const char* suffix = nullptr;  // with a suffix the row stands for `count` numbered keys
  int count = 0;
};

constexpr double kIntLow = -2147483648.0, kIntHigh = 2147483647.0;

const sCivKeyRow kCivKeyRows[] = {
    {"general", "NumCities", 0, 10},  // the start places
    {"general", "NumPlayers", 2, 10},  // the relationship matrix needs a second player; the colour table has ten
    {"general", "UseSound", 0, 1},
    {"general", "HumanPlayerId", -1, 9},  // -1: chosen at random; below the players (kCivKeyBounds)
    // Far more than a city's ring holds, yet few enough that a city's set-up ends;
    // each maximum is at least its minimum (kCivKeyBounds).
    {"general", "InitNumBuildingsPlayerMin", 0, 100},
    {"general", "InitNumBuildingsPlayerMax", 0, 100},
    {"general", "InitNumBuildingsNPCMin", 0, 100},
    {"general", "InitNumBuildingsNPCMax", 0, 100},
    {"general", "MaxNumBuildings", 0, 1000},
    {"vehicles", "PercentChanceNPCBulletHitsNPCVehicle", 0, 100},
    {"vehicles", "PercentChanceNPCBulletHitsNPCCity", 0, 100},
    {"vehicles", "PercentChanceNPCBulletHitsPlayerVehicle", 0, 100},
    {"vehicles", "PercentChanceNPCBulletHitsPlayerCity", 0, 100},
    {"vehicles", "PercentChancePlayerBulletHitsNPCVehicle", 0, 100},
    {"vehicles", "PercentChancePlayerBulletHitsNPCCity", 0, 100},
    {"vehicles", "PercentChanceDieAfterShootingDiplomaticBullet", 0, 100},
    // Hundredths of a unit per second: a vehicle steps its speed times the frame, never past its waypoint.
    {"vehicles", "LandVehicleSpeed", 0, 10000},
    {"vehicles", "LandVehicleMaxSlope", 0, 1000},
    {"vehicles", "AmphibiousVehicleLandSpeed", 0, 10000},
    {"vehicles", "AmphibiousVehicleWaterSpeed", 0, 10000},
    {"vehicles", "AmphibiousVehicleMaxSlope", 0, 1000},
    {"vehicles", "AirVehicleSpeed", 0, 10000},
    {"combat", "PercentBuildingsNeededForOwnership", 0, 100},
    {"combat", "PercentChanceBulletHitsTurret", 0, 100},
    {"combat", "TimeBetweenViralConversionEventsSeconds", 0, kTuningDaySeconds},
    {"combat", "PerentChanceBuildingConvertsAnotherPlayer", 0, 100},
    {"combat", "PerentChanceBuildingConvertsAnotherNPC", 0, 100},
    {"combat", "PercentBuildingsAttackerNeedsToOwnCity", 0, 100},
    {"combat", "PercentChanceInfiltrationSucceedsVeryHappyCity", 0, 100},
    {"combat", "PercentChanceInfiltrationSucceedsHappyCity", 0, 100},
    {"combat", "PercentChanceInfiltrationSucceedsNeutralCity", 0, 100},
    {"combat", "PercentChanceInfiltrationSucceedsUnhappyCity", 0, 100},
    {"combat", "PercentChanceInfiltrationSucceedsVeryUnhappyCity", 0, 100},
    {"combat", "PercentBuildingsDestroyedBeforeSurrenderVeryHappyCity", 0, 100},
    {"combat", "PercentBuildingsDestroyedBeforeSurrenderHappyCity", 0, 100},
    {"combat", "PercentBuildingsDestroyedBeforeSurrenderNeutralCity", 0, 100},
    {"combat", "PercentBuildingsDestroyedBeforeSurrenderUnhappyCity", 0, 100},
    {"combat", "PercentBuildingsDestroyedBeforeSurrenderVeryUnhappyCity", 0, 100},
    // Prices are taken as unsigned: any integer reads, a negative one as a price near 4.29e9.
    {"costs", "CostOfBuildingWith", kIntLow, kIntHigh, "Buildings", kCivCountEntries},
    {"costs", "CostOfVehicleWith", kIntLow, kIntHigh, "Buildings", kCivCountEntries},
    {"costs", "CostMultiplierForAmphibiousVehicles", 0, 10000},
    {"costs", "CostMultiplierForAirVehicles", 0, 10000},
    {"costs", "CostOfTurretWith", kIntLow, kIntHigh, "Turrets", kCivTurretEntries},
    {"costs", "CostExpelEmbassy", kIntLow, kIntHigh},
    {"costs", "CostOfPartyPerBuilding", kIntLow, kIntHigh},
    {"costs", "CostOfInfiltrationPerBuildingInCity", -1e6, 1e6},
    {"costs", "RoadCost", kIntLow, kIntHigh},
    {"costs", "TradeRouteCost", kIntLow, kIntHigh},
    {"costs", "CostResearchAmphibious", kIntLow, kIntHigh},
    {"costs", "CostResearchAeronautics", kIntLow, kIntHigh},
    {"costs", "CostResearchAstronautics", kIntLow, kIntHigh},
    {"costs", "CostGiftAmountPerBuildingInNation", kIntLow, kIntHigh},
    {"costs", "CostGiftPercentageGivenToNPCCity", kIntLow, kIntHigh},
    {"Wealth Generation", "InitWealthPerBuilding", 0, 1e6},
    {"Wealth Generation", "WealthGenerationPerSecondWith", 0, 1e8, "Buildings", kCivCountEntries},
    {"Wealth Generation", "NPCWealthHandicapPercent", 0, 1000},
    {"Wealth Generation", "EmbassyWealthIncreasePercent", 0, 1000},
    {"Wealth Generation", "PercentWealthIncreaseTradeRouteAndEmbassy", 0, 1000},
    {"Wealth Generation", "PercentWealthIncreaseTradeRouteNoEmbassy", 0, 1000},
    {"agent", "DesiredNumTurretsWith4Buildings", 0, 100},
    {"agent", "DesiredNumVehiclesWith4Buildings", 0, 100},
    {"agent", "DesiredNumTurretsWith10Buildings", 0, 100},
    {"agent", "DesiredNumVehiclesWith10Buildings", 0, 100},
    {"agent", "PercentChanceNPCBuysUpgrade", 0, 100},
    {"agent", "BasePercentChanceNPCExpelsEmbassy", 0, 100},
    // Relationships and moods run -10..10; an effect past 100 would only ever reach an end.
    {"relationships", "EffectPillageAttack", -100, 100},
    {"relationships", "EffectAttemptEmbassy", -100, 100},
    {"relationships", "EffectEstablishEmbassy", -100, 100},
    {"relationships", "EffectEstablishTradeRoute", -100, 100},
    {"relationships", "EffectRejectOrRemoveEmbassy", -100, 100},
    {"relationships", "EffectFailedInfiltration", -100, 100},
    {"relationships", "EffectSuccessfulInfiltration", -100, 100},
    {"relationships", "EffectCulturalAbsorption", -100, 100},
    {"relationships", "PercentSecondaryEffect", 0, 100},
    {"relationships", "EffectExpelEmbassy", -100, 100},
    {"relationships", "EffectSuccessfulGiftGiven", -100, 100},
    {"happiness", "HappinessDecaySec", 0, kTuningDaySeconds},
    {"happiness", "PercentRevenueBonusVeryHappy", -100, 1000},
    {"happiness", "PercentRevenueBonusHappy", -100, 1000},
    {"happiness", "PercentRevenueBonusNeutral", -100, 1000},
    {"happiness", "PercentRevenueBonusUnhappy", -100, 1000},
    {"happiness", "PercentRevenueBonusVeryUnhappy", -100, 1000},
    {"happiness", "EffectOfPartyOnCityHappiness", -100, 100},
    {"happiness", "EffectBuildingDestroyed", -100, 100},
    {"debug", "ShowVehiclePaths", 0, 1},
    {"debug", "ShowCityPatrolPaths", 0, 1},
    {"debug", "UseNPCAI", 0, 1},
    {"debug", "PlayerCanSelectNPCObjects", 0, 1},
    {"debug", "BulletsAlwaysHit", 0, 1},
};

std::vector<sTuningKey> BuildCivKeys() {
  static std::deque<std::string> names;  // the numbered keys' names, kept for the rows
  std::vector<sTuningKey> keys;
  for (const sCivKeyRow& row : kCivKeyRows) {
    const double zero = std::clamp(0.0, row.low, row.high);
    for (int n = 0; n < std::max(row.count, 1); ++n) {
      const char* name = row.prefix;
      if (row.suffix) name = names.emplace_back(row.prefix + std::to_string(n) + row.suffix).c_str();
      sTuningKey key = TuningInt(name, zero, row.low, row.high);
      key.section = row.section;
      keys.push_back(key);
    }
  }
  return keys;
}

// Names compare as the ini rules do: without case, and without the blanks around them.
std::string Folded(const char* section, const char* name) {
  std::string s = std::string(section) + "]" + name;
  for (char& c : s) c = (char)std::tolower((unsigned char)c);
  s.erase(std::remove(s.begin(), s.end(), ' '), s.end());  // no key has a blank inside
  return s;
}

}  // namespace

const std::vector<sTuningKey>& CivTuningKeys() {
  static const std::vector<sTuningKey> keys = BuildCivKeys();
  return keys;
}

const sTuningKey& CivTuningKey(const char* section, const char* key) {
  static const sTuningKey kAnyInt = TuningInt("?", 0, kIntLow, kIntHigh);
  static const std::map<std::string, size_t> index = [] {
    std::map<std::string, size_t> rows;
    for (size_t i = 0; i < CivTuningKeys().size(); ++i)
      rows.emplace(Folded(CivTuningKeys()[i].section, CivTuningKeys()[i].name), i);
    return rows;
  }();
  const auto found = index.find(Folded(section, key));
  return found == index.end() ? kAnyInt : CivTuningKeys()[found->second];
}

namespace {

// Keys of the first block another of its keys bounds: the human is one of the
// players, each maximum at least its minimum (ApplyBounds holds them again
// after code has set them).
struct sCivKeyBound {
  const char* key;
  const char* by;
  bool byIsLowest;  // else the highest is `by` less one
};
const sCivKeyBound kCivKeyBounds[] = {
    {"HumanPlayerId", "NumPlayers", false},
    {"InitNumBuildingsPlayerMax", "InitNumBuildingsPlayerMin", true},
    {"InitNumBuildingsNPCMax", "InitNumBuildingsNPCMin", true},
};

}  // namespace

tCivIniReader CivIniFileReader(const std::string& path) {
  // The file is read once for all the keys asked of it; an unreadable one has none.
  auto entries = std::make_shared<const std::vector<sSysIniEntry>>(Sys_IniFileEntries(path));
  return [entries](const char* section, const char* key) {
    const std::string missing = "\x01";
    auto text = [&](const char* s, const char* k, std::string& value) {
      value = Sys_IniFind(*entries, s, k, missing);
      return value == missing ? nullptr : value.c_str();
    };
    // A key another bounds is held within that bound as it is read, so that
    // its one line gives the file's value and the value play goes on with.
    sTuningKey row = CivTuningKey(section, key);
    for (const sCivKeyBound& bound : kCivKeyBounds) {
      if (Folded(section, key) != Folded("general", bound.key)) continue;
      std::string byText;
      const double by = TuningTextValue(CivTuningKey("general", bound.by), text("general", bound.by, byText));
      row = bound.byIsLowest ? TuningKeyWithin(row, by, row.high) : TuningKeyWithin(row, row.low, by - 1.0);
    }
    std::string value;
    return (int)HoldTuningText(row, text(section, key, value));
  };
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

// Bounds one value by another; when it moves, it is named and a line joins the report.
void Bound(std::vector<std::string>& report, const char* key, int32_t& value, int32_t lowest, int32_t highest) {
  int32_t bounded = std::clamp(value, lowest, highest);
  if (bounded == value) return;
  const std::string what = std::to_string(value) + " is cut to " + std::to_string(bounded);
  NameTuningValue(key, what);
  report.push_back(std::string("CivGameMode.ini: ") + key + " " + what);
  value = bounded;
}

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
  // Each held to its own range as it was read (or set since: the test camera narrows them).
  auto own = [&](const char* key, int32_t& value) {
    const sTuningKey& row = CivTuningKey("general", key);
    Bound(report, key, value, (int32_t)row.low, (int32_t)row.high);
  };
  own("NumPlayers", g.NumPlayers);
  own("NumCities", g.NumCities);
  own("InitNumBuildingsPlayerMin", g.InitNumBuildingsPlayerMin);
  own("InitNumBuildingsNPCMin", g.InitNumBuildingsNPCMin);
  own("InitNumBuildingsPlayerMax", g.InitNumBuildingsPlayerMax);
  own("InitNumBuildingsNPCMax", g.InitNumBuildingsNPCMax);
  Bound(report, "HumanPlayerId", g.HumanPlayerId, -1, g.NumPlayers - 1);
  // A city draws min + (a random number modulo max - min + 1) buildings: max below min divides by zero.
  Bound(report, "InitNumBuildingsPlayerMax", g.InitNumBuildingsPlayerMax, g.InitNumBuildingsPlayerMin,
        std::max(g.InitNumBuildingsPlayerMin, g.InitNumBuildingsPlayerMax));
  Bound(report, "InitNumBuildingsNPCMax", g.InitNumBuildingsNPCMax, g.InitNumBuildingsNPCMin,
        std::max(g.InitNumBuildingsNPCMin, g.InitNumBuildingsNPCMax));
  return report;
}

namespace {
struct cLoadedTuning {
  cCivTuning tuning;
  cLoadedTuning() {
    tuning.Load(CivIniFileReader(kCivTuningFile));
    tuning.ApplyBounds();  // each cut is named in the debug window
  }
};
cLoadedTuning& LoadedTuning() {
  static cLoadedTuning* loaded = new cLoadedTuning();  // lives for the whole run
  return *loaded;
}
}  // namespace

cCivTuning& cCivTuning::Get() { return LoadedTuning().tuning; }

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
