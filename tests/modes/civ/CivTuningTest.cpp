// The civ tuning file: its conversions, the lookups over the price and wealth
// tables, the bounds on values that would break play, and the shipped file
// holding every key the game asks for; every key played at the texts that break play.
#include <gtest/gtest.h>

#include <algorithm>

#include "CivTestSupport.h"
#include "modes/civ/CivDebugFlags.h"
#include "modes/civ/CivHud.h"
#include "modes/civ/CivMood.h"
#include "modes/civ/cCivGameMode.h"
#include "platform/Sys.h"
#include "tests/glf/OverlayRecorder.h"
#include "tests/sim/tuning/TuningTestSupport.h"

namespace {

// Names in odd case and blanks on every side still match.
const char* const kEveryBlock =
    "[general]\nNumCities=6\nNumPlayers=5\nUseSound=7\nHumanPlayerId=-1\nMaxNumBuildings=15\n"
    "[vehicles]\nLandVehicleSpeed=250\nLandVehicleMaxSlope=5\nPercentChanceNPCBulletHitsNPCCity=35\n"
    "[combat]\nPerentChanceBuildingConvertsAnotherNPC=12\nTimeBetweenViralConversionEventsSeconds=4\n"
    "PercentBuildingsDestroyedBeforeSurrenderNeutralCity=60\n"
    "[costs]\nCostOfBuildingWith3Buildings=250\nCostOfBuildingWith14Buildings=800\nCostOfBuildingWith15Buildings=900\nRoadCost=-1\n"
    "CostOfVehicleWith2Buildings=100\nCostOfVehicleWith15Buildings=300\n"
    "CostMultiplierForAmphibiousVehicles=150\nCostMultiplierForAirVehicles=200\n"
    "CostOfTurretWith0Turrets=80\nCostOfTurretWith7Turrets=220\nCostOfPartyPerBuilding=10\n"
    "CostOfInfiltrationPerBuildingInCity=-20\n"
    "[ wealth GENERATION ]\nWealthGenerationPerSecondWith4Buildings=400\n"
    "WealthGenerationPerSecondWith14Buildings=1400\nWealthGenerationPerSecondWith15Buildings=1500\n  npcwealthhandicappercent  = 80\n"
    "[agent]\nDesiredNumTurretsWith10Buildings=5\nPercentChanceNPCBuysUpgrade=20\nBasePercentChanceNPCExpelsEmbassy=5\n"
    "[relationships]\nEffectEstablishTradeRoute=4\nPercentSecondaryEffect=50\nEffectPillageAttack=-3\n"
    "[happiness]\nHappinessDecaySec=30\nPercentRevenueBonusVeryUnhappy=-40\nEffectOfPartyOnCityHappiness=3\n"
    "EffectBuildingDestroyed=-2\n";

TEST_F(CivRulesTest, EveryBlockReadsWithItsConversion) {
  cCivTuning t = Load(kEveryBlock);
  EXPECT_EQ(t.general.NumCities, 6);  // int
  EXPECT_TRUE(t.general.UseSound);    // bool
  EXPECT_EQ(t.general.HumanPlayerId, -1);
  EXPECT_FLOAT_EQ(t.vehicles.LandVehicleSpeed, 2.5f);  // x0.01
  EXPECT_FLOAT_EQ(t.vehicles.LandVehicleMaxSlope, 0.5f);  // x0.1
  EXPECT_FLOAT_EQ(t.combat.ChanceBuildingConvertsAnotherNPC, 0.12f);  // the key as the file spells it
  EXPECT_EQ(t.combat.TimeBetweenViralConversionEventsMs, 4000);  // x1000
  EXPECT_FLOAT_EQ(t.costs.RoadCost, 4294967295.0f);  // unsigned: -1 is about 4.29e9
  EXPECT_FLOAT_EQ(t.wealth.NPCWealthHandicap, 0.8f);
  EXPECT_FLOAT_EQ(t.agent.BuildingsDestroyedBeforeSurrender[kCivNeutral], 0.6f);
  EXPECT_FLOAT_EQ(t.agent.ChanceNPCBuysUpgrade, 0.2f);
  EXPECT_FLOAT_EQ(t.relationships.EffectEstablishTradeRoute, 4.0f);  // asked for with a trailing blank
  EXPECT_FLOAT_EQ(t.relationships.SecondaryEffect, 0.5f);
  EXPECT_FLOAT_EQ(t.happiness.DecayPeriodMs, 30000.0f);
  EXPECT_FLOAT_EQ(t.happiness.RevenueBonus[4], -0.4f);
  EXPECT_FLOAT_EQ(t.happiness.EffectBuildingDestroyed, -2.0f);  // float
  // Absent keys read 0; fixed values stay.
  EXPECT_EQ(t.general.InitNumBuildingsNPCMax, 0);
  EXPECT_EQ(t.general.ViewNearDistance, 260);
  EXPECT_EQ(t.general.MaxTurretsPerCity, 8);
  EXPECT_FLOAT_EQ(t.combat.BulletSpeed, 16.0f);
  EXPECT_EQ(t.general.ViewFarDistance, 280);
  EXPECT_FLOAT_EQ(t.combat.TurretRange, 100.0f);
  EXPECT_FLOAT_EQ(t.combat.FirePeriodSpreadMs, 2000.0f);
  EXPECT_FLOAT_EQ(t.relationships.RelationshipMin, -10.0f);
  EXPECT_FLOAT_EQ(t.happiness.MoodMax, 10.0f);
}

TEST_F(CivRulesTest, LookupsFollowTheTables) {
  cCivTuning t = Load(kEveryBlock);
  const cCivTuningCosts& c = t.costs;
  struct Row {
    float got, want;
  } rows[] = {
      {c.GetBuildingCost(3), 250.0f},        {c.GetRepairCost(3), 125.0f},
      {c.GetBuildingCost(20), 900.0f},       {c.GetBuildingCost(-1), 900.0f},  // a negative count: the last entry
      {c.GetBuildingCost(14), 800.0f},       {c.GetBuildingCost(15), 900.0f},  // the last own entry, then the shared one
      {c.GetVehicleCost(2, 0), 100.0f},      {c.GetVehicleCost(2, 1), 150.0f},
      {c.GetVehicleCost(2, 2), 200.0f},      {c.GetVehicleCost(99, 0), 300.0f},
      {c.GetTurretCost(0), 80.0f},           {c.GetTurretCost(7), 220.0f},
      {c.GetTurretCost(8), -1.0f},           {c.GetTurretCost(-1), -1.0f},
      {c.GetPartyCost(6), 60.0f},            {c.GetInfiltrationCost(3), -60.0f},
      {t.wealth.GetWealthPerSecond(4), 4.0f}, {t.wealth.GetWealthPerSecond(16), 15.0f},
      {t.wealth.GetWealthPerSecond(14), 14.0f}, {t.wealth.GetWealthPerSecond(15), 15.0f},
      {t.wealth.GetWealthPerSecond(-5), 15.0f},
  };
  for (size_t i = 0; i < std::size(rows); ++i) EXPECT_FLOAT_EQ(rows[i].got, rows[i].want) << "row " << i;
}

// Whatever the file lacks reads 0, or the end of its range nearest to 0: two
// players, so the matrix can be built. Nothing was written, so nothing is cut.
TEST_F(CivRulesTest, MissingFileGivesZerosAndTwoPlayers) {
  cCivTuning t;
  t.Load(CivIniFileReader(dir.File("absent.ini")));
  EXPECT_EQ(t.general.NumCities, 0);
  EXPECT_EQ(t.costs.GetBuildingCost(0), 0.0f);
  EXPECT_EQ(t.happiness.DecayPeriodMs, 0.0f);
  EXPECT_EQ(t.combat.FirePeriodMs, 3000.0f);
  EXPECT_EQ(t.general.NumPlayers, 2);
  EXPECT_TRUE(t.ApplyBounds().empty());
}

// Fault mended: a value past its own range and past another key's bound was
// named as cut to its range's end ("10 is cut to 9") while the players held
// the other bound. Each value is held as it is read, bounds of one key by
// another too, in one line with the file's value and the value held; values
// set after loading are held by ApplyBounds, which reports each change.
TEST_F(CivRulesTest, BoundsKeepPlayableValuesAndReportEachChange) {
  struct Row {
    const char* ini;
    const char* key;
    int32_t cCivTuningGeneral::*field;
    int32_t want;
    const char* named;  // what the key's line says; null: nothing
  } rows[] = {
      {"NumPlayers=1", "NumPlayers", &cCivTuningGeneral::NumPlayers, 2, "1 is cut to 2"},
      {"NumPlayers=11", "NumPlayers", &cCivTuningGeneral::NumPlayers, 10, "11 is cut to 10"},
      {"NumPlayers=10", "NumPlayers", &cCivTuningGeneral::NumPlayers, 10, nullptr},
      {"NumPlayers=2", "NumPlayers", &cCivTuningGeneral::NumPlayers, 2, nullptr},
      {"NumPlayers=3\nNumCities=10", "NumCities", &cCivTuningGeneral::NumCities, 10, nullptr},
      {"NumPlayers=3\nNumCities=11", "NumCities", &cCivTuningGeneral::NumCities, 10, "11 is cut to 10"},
      {"NumPlayers=3\nHumanPlayerId=2", "HumanPlayerId", &cCivTuningGeneral::HumanPlayerId, 2, nullptr},
      {"NumPlayers=3\nNumCities=14", "NumCities", &cCivTuningGeneral::NumCities, 10, "14 is cut to 10"},
      {"NumPlayers=3\nNumCities=-2", "NumCities", &cCivTuningGeneral::NumCities, 0, "-2 is cut to 0"},
      {"NumPlayers=3\nHumanPlayerId=3", "HumanPlayerId", &cCivTuningGeneral::HumanPlayerId, 2, "3 is cut to 2"},
      {"NumPlayers=3\nHumanPlayerId=-5", "HumanPlayerId", &cCivTuningGeneral::HumanPlayerId, -1, "-5 is cut to -1"},
      {"NumPlayers=3\nHumanPlayerId=10", "HumanPlayerId", &cCivTuningGeneral::HumanPlayerId, 2, "10 is cut to 2"},
      {"HumanPlayerId=10\nNumPlayers=1", "HumanPlayerId", &cCivTuningGeneral::HumanPlayerId, 1, "10 is cut to 1"},
      {"NumPlayers=3\nInitNumBuildingsNPCMin=4\nInitNumBuildingsNPCMax=2", "InitNumBuildingsNPCMax",
       &cCivTuningGeneral::InitNumBuildingsNPCMax, 4, "2 is cut to 4"},
      {"NumPlayers=3\nInitNumBuildingsPlayerMin=3\nInitNumBuildingsPlayerMax=-1", "InitNumBuildingsPlayerMax",
       &cCivTuningGeneral::InitNumBuildingsPlayerMax, 3, "-1 is cut to 3"},
      {"NumPlayers=3\nInitNumBuildingsPlayerMin=3", "InitNumBuildingsPlayerMax",
       &cCivTuningGeneral::InitNumBuildingsPlayerMax, 3, "0 is cut to 3"},  // absent: its 0 held too
      {"NumPlayers=3\nInitNumBuildingsPlayerMin=3\nInitNumBuildingsPlayerMax=x", "InitNumBuildingsPlayerMax",
       &cCivTuningGeneral::InitNumBuildingsPlayerMax, 3, "\"x\" is not a number; 3 is used"},
      {"NumPlayers=3\nInitNumBuildingsPlayerMin=-4", "InitNumBuildingsPlayerMin",
       &cCivTuningGeneral::InitNumBuildingsPlayerMin, 0, "-4 is cut to 0"},
      {"NumPlayers=3\nInitNumBuildingsNPCMin=2000000000\nInitNumBuildingsNPCMax=2000000000", "InitNumBuildingsNPCMin",
       &cCivTuningGeneral::InitNumBuildingsNPCMin, 100, "2000000000 is cut to 100"},
      {"NumPlayers=3\nInitNumBuildingsNPCMin=100\nInitNumBuildingsNPCMax=100", "InitNumBuildingsNPCMax",
       &cCivTuningGeneral::InitNumBuildingsNPCMax, 100, nullptr},
      {"NumPlayers=3\nInitNumBuildingsNPCMin=100\nInitNumBuildingsNPCMax=101", "InitNumBuildingsNPCMax",
       &cCivTuningGeneral::InitNumBuildingsNPCMax, 100, "101 is cut to 100"},
  };
  struct sRestore {
    ~sRestore() { DestroyDebugWindowForTest(), ForgetBoundedCountNoticesForTest(); }
  } restore;
  if (!GetDebugWindow()) CreateDebugWindow();
  for (const Row& row : rows) {
    ForgetBoundedCountNoticesForTest();
    const uint64_t from = GetDebugWindow()->LinesAdded();
    cCivTuning t = Load(std::string("[general]\n") + row.ini + "\n");
    EXPECT_EQ(t.general.*row.field, row.want) << row.ini;
    EXPECT_TRUE(t.ApplyBounds().empty()) << row.ini;  // nothing left to bound
    const std::vector<std::string> expected = row.named ? std::vector<std::string>{row.named} : std::vector<std::string>{};
    EXPECT_EQ(TuningNoticesSince(from, row.key), expected) << row.ini;
  }
  // Values set after loading (the test camera narrows the players) are held too.
  cCivTuning t = Load("[general]\nNumPlayers=8\nHumanPlayerId=7\nInitNumBuildingsNPCMin=2\nInitNumBuildingsNPCMax=6\n");
  t.general.NumPlayers = 3;
  t.general.InitNumBuildingsNPCMin = 9;
  EXPECT_EQ(t.ApplyBounds(), (std::vector<std::string>{"CivGameMode.ini: HumanPlayerId 7 is cut to 2",
                                                       "CivGameMode.ini: InitNumBuildingsNPCMax 6 is cut to 9"}));
  EXPECT_EQ(t.general.HumanPlayerId, 2);
  EXPECT_EQ(t.general.InitNumBuildingsNPCMax, 9);
}

// A misspelt key would silently read 0: every key the game asks for is in the shipped file.
TEST_F(CivRulesTest, ShippedFileHoldsEveryKeyAskedFor) {
  const std::string shipped = Sys_ResolvePath(kCivTuningFile);
  cRecordingIniReader recorder{CivIniFileReader(shipped), {}};
  cCivTuning t;
  t.Load(recorder.Reader());
  ReadCivDebugFlags(recorder.Reader());
  EXPECT_EQ(recorder.asked.size(), 9u + 13u + 11u + 52u + 21u + 11u + 11u + 8u + 5u);
  for (const auto& [section, key] : recorder.asked)
    EXPECT_NE(Sys_IniReadString(shipped, section, key, "\x01"), "\x01") << "[" << section << "] " << key;
  EXPECT_TRUE(t.ApplyBounds().empty());  // the shipped values need no bounding
  EXPECT_EQ(gCivUseNPCAI, 1);
  // The agent block reads its two [agent] chances before the [combat] surrender fractions.
  auto at = [&](const char* key) {
    return std::find_if(recorder.asked.begin(), recorder.asked.end(), [&](const auto& p) { return p.second == key; });
  };
  EXPECT_LT(at("BasePercentChanceNPCExpelsEmbassy"), at("PercentBuildingsDestroyedBeforeSurrenderVeryHappyCity"));
  EXPECT_FLOAT_EQ(t.agent.BuildingsDestroyedBeforeSurrender[0], 0.9f);
  EXPECT_FLOAT_EQ(t.agent.BaseChanceNPCExpelsEmbassy, 0.05f);
}

// Fault mended: a key written "1e30" read 1 and NaN or nothing read 0
// without a word, and only the players', cities' and first buildings' counts
// had a range. Each trial writes the key into the shipped file, founds the civ
// world, lets its NPCs play 3.5 game seconds and draws its HUD and labels.
struct CivTuningTrialTest : CivWorldFixture {
  cScratchDir dir;
  cOverlayRecorder overlay;
  cMessageCapture messages;
  std::string shipped;
  int32_t* const flags[5] = {&gCivShowVehiclePaths, &gCivShowCityPatrolPaths, &gCivUseNPCAI,
                             &gCivPlayerCanSelectNPCObjects, &gCivBulletsAlwaysHit};
  const int32_t saved[5] = {*flags[0], *flags[1], *flags[2], *flags[3], *flags[4]};

  void SetUp() override {
    CivWorldFixture::SetUp();
    shipped = FileContents(kCivTuningFile);
    ASSERT_FALSE(shipped.empty());
    GetDataManager()->AddClient(&bridgeClient);
  }
  void TearDown() override {
    CivWorldFixture::TearDown();
    for (int i = 0; i < 5; ++i) *flags[i] = saved[i];
  }
  // The shipped file with the key written first in its section.
  std::string Writing(const sTuningKey& key, const std::string& text) const {
    const std::string header = std::string("[") + key.section + "]", line = std::string(key.name) + "=" + text + "\n";
    auto same = [](char a, char b) { return std::tolower((unsigned char)a) == std::tolower((unsigned char)b); };
    const auto at = std::search(shipped.begin(), shipped.end(), header.begin(), header.end(), same);
    if (at == shipped.end()) return shipped + "\n" + header + "\n" + line;
    const size_t after = shipped.find('\n', at - shipped.begin()) + 1;
    return shipped.substr(0, after) + line + shipped.substr(after);
  }
};

TEST_F(CivTuningTrialTest, EveryKeyFoundsAndPlaysAtEveryTrialText) {
  // The human is one of the players; each maximum is at least its minimum.
  const std::vector<std::string> boundByAnother = {"HumanPlayerId", "InitNumBuildingsPlayerMax", "InitNumBuildingsNPCMax"};
  // A chance is a percent, a period at most a day; the human is a player.
  const std::vector<sTuningLaw> laws = {{"Chance", 0, 100},     {"PercentBuildings", 0, 100}, {"EventsSeconds", 0, kTuningDaySeconds},
                                        {"DecaySec", 0, kTuningDaySeconds}, {"Speed", 0}, {"Slope", 0},
                                        {"NumPlayers", 1},      {"NumBuildings", 0},  {"NumCities", 0},
                                        {"Wealth", 0},          {"CostMultiplier", 0}, {"Desired", 0}};
  TryEveryKeyAtEveryText(CivTuningKeys(), laws, [] {}, [&](const sTuningKey& key, const std::string& text, const std::string& where) {
    dir.Write("CivGameMode.ini", Writing(key, text));
    double held = std::nan("");  // the key as the file's reader gives it, which holds the ranges
    const tCivIniReader read = [&, file = CivIniFileReader(dir.File("CivGameMode.ini"))](const char* section, const char* name) {
      const int value = file(section, name);
      if (&CivTuningKey(section, name) == &key) held = value;
      return value;
    };
    cCivTuning::Get() = cCivTuning();
    cCivTuning::Get().Load(read);
    cCivTuning::Get().ApplyBounds();
    // A key another bounds: what the players are founded with once every bound is applied.
    const std::pair<const char*, int32_t cCivTuningGeneral::*> bound[] = {
        {"HumanPlayerId", &cCivTuningGeneral::HumanPlayerId},
        {"InitNumBuildingsPlayerMax", &cCivTuningGeneral::InitNumBuildingsPlayerMax},
        {"InitNumBuildingsNPCMax", &cCivTuningGeneral::InitNumBuildingsNPCMax}};
    for (const auto& [name, field] : bound)
      if (std::string(key.name) == name) held = cCivTuning::Get().general.*field;
    ReadCivDebugFlags(read);
    Sys_SeedRandom(2026);
    cCivGameMode mode;
    mode.GetWorld()->Enter();
    for (int frame = 0; frame <= 35; ++frame) {
      const uint32_t ms = frame < 35 ? 100 : 500;  // the last the longest frame the loop passes on
      clock.Advance(ms);
      mode.Update(ms);
      GetDataManager()->CommitPending();
    }
    cCivHud& hud = *GetCivHud();
    hud.Enter(nullptr);
    hud.RefreshIncomePanel();
    hud.Draw();
    for (cCivModeDecoratedCity* city : Cities()) hud.DrawCityWealthLabel(city, 50, 60), hud.DrawDiplomaticLabel(city, 50, 80);
    for (cCivModeVehicle* vehicle : mode.GetWorld()->GetVehicles()) hud.DrawVehicleLabel(vehicle, 50, 100);
    hud.Leave();
    EXPECT_EQ(FirstBrokenRule(*mode.GetWorld()), "") << where;
    bridge.BeforeLoad();
    return held;
  }, boundByAnother);
}

}  // namespace
