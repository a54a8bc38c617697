#include <gtest/gtest.h>

#include <functional>

#include "sim/tuning/SharedTuningData.h"
#include "sim/tuning/TribeTuningData.h"
#include "tests/sim/tuning/TuningTestSupport.h"
#include "tests/support/TestSupport.h"

// The keys, types and defaults typed here from the design tables, apart from
// the code, so a mistyped key string or a swapped member shows up.
struct sKeyRow {
  const char* key;
  bool isFloat;
  double defaultValue;
};

struct sVec { float x, y, z; };

static const sKeyRow kSharedKeys[] = {
    {"RandomNumberSeed", false, 0},       {"defaultuibarheight", true, 8},       {"defaultuibarwidth", true, 120},
    {"windowstartheight", true, 480},     {"windowstartwidth", true, 640},       {"plantscale", true, 1},
    {"creaturescaledefault", true, 1},    {"creaturescaleposse", true, 1},       {"creaturescaleprey", true, 1},
    {"creaturescalepredator", true, 1},   {"hutscale", true, 3},                 {"buildingscale", true, 5},
    {"buildingcivscale", true, 8},        {"hutvisibility", true, 28},           {"tribeselectionradius", true, 3},
    {"triberadiusincrement", true, 0},    {"cityselectionradius", true, 3},      {"cityradiusincrement", true, 1},
    {"civselectionradius", true, 12},     {"civradiusincrement", true, 0},       {"NumberOfPlants", false, 1200},
    {"PlantClumpSize", false, 10},        {"PlantClumpRadius", true, 40},        {"PlantGrowthRate", true, 10},
    {"scale-rubble-civ-building-x", true, 1}, {"scale-rubble-civ-building-y", true, 1},
    {"scale-rubble-civ-building-z", true, 1}, {"scale-rubble-city-building-x", true, 1},
    {"scale-rubble-city-building-y", true, 1}, {"scale-rubble-city-building-z", true, 1},
};

// What each shared key's getter answers, in the order of kSharedKeys.
static std::vector<double> ReadShared(const cSharedTuningData& s) {
  sVec civ{}, city{};
  s.GetCivBuildingRubbleScale(&civ);
  s.GetCityBuildingRubbleScale(&city);
  return {(double)s.GetRandomNumberSeed(), s.GetDefaultUIBarHeight(), s.GetDefaultUIBarWidth(),
          s.GetWindowStartHeight(), s.GetWindowStartWidth(), s.GetPlantScale(), s.GetCreatureScale(0),
          s.GetCreatureScale(1), s.GetCreatureScale(2), s.GetCreatureScale(3), s.GetHutScale(), s.GetBuildingScale(),
          s.GetBuildingCivScale(), s.GetHutVisibility(), s.GetTribeSelectionRadius(), s.GetTribeRadiusIncrement(),
          s.GetCitySelectionRadius(), s.GetCityRadiusIncrement(), s.GetCivSelectionRadius(), s.GetCivRadiusIncrement(),
          (double)s.GetNumberOfPlants(), (double)s.GetPlantClumpSize(), s.GetPlantClumpRadius(), s.GetPlantGrowthRate(),
          civ.x, civ.y, civ.z, city.x, city.y, city.z};
}

static const sKeyRow kTribeKeys[] = {
    {"creatureSpeed", true, 1},           {"eatinterval", false, 1000},        {"eatfood", false, 5},
    {"fruitValue", true, 400},            {"energyincreaserate", false, 500},  {"healthdecreaserate", false, 500},
    {"criticalhealthlevel", false, 0},    {"lowhealthlevel", false, 0},        {"healhealthlevel", false, 0},
    {"criticalhungerlevel", false, 0},    {"lowhungerlevel", false, 0},        {"eathungerlevel", false, 0},
    {"criticalenergylevel", false, 0},    {"lowenergylevel", false, 0},        {"restenergylevel", false, 0},
    {"tribecreaturetooltipduration", false, 3000}, {"tribePopulationStart", false, 2},
    {"tribePopulationGoal", false, 20},   {"costHuntTool1", false, 0},        {"costHuntTool2", false, 0},
    {"costHuntTool3", false, 0},          {"costFoodStorage1", false, 0},     {"costFoodStorage2", false, 0},
    {"costFoodStorage3", false, 0},       {"costRecruitTool1", false, 0},     {"costRecruitTool2", false, 0},
    {"costRecruitTool3", false, 0},       {"costDefenseTool1", false, 0},     {"costDefenseTool2", false, 0},
    {"costDefenseTool3", false, 0},       {"costHealTool1", false, 0},        {"costHealTool2", false, 0},
    {"costHealTool3", false, 0},          {"costRestTool1", false, 0},        {"costRestTool2", false, 0},
    {"costRestTool3", false, 0},          {"costGatherTool1", false, 0},      {"costGatherTool2", false, 0},
    {"costGatherTool3", false, 0},
};

static std::vector<double> ReadTribe(const cTribeTuningData& t) {
  return {t.GetCreatureSpeed(), (double)t.GetEatInterval(), (double)t.GetEatFood(), t.GetFruitValue(),
          (double)t.GetEnergyIncreaseRate(), (double)t.GetHealthDecreaseRate(), (double)t.GetCriticalHealthLevel(),
          (double)t.GetLowHealthLevel(), (double)t.GetHealHealthLevel(), (double)t.GetCriticalHungerLevel(),
          (double)t.GetLowHungerLevel(), (double)t.GetEatHungerLevel(), (double)t.GetCriticalEnergyLevel(),
          (double)t.GetLowEnergyLevel(), (double)t.GetRestEnergyLevel(), (double)t.GetTribeCreatureTooltipDuration(),
          (double)t.GetTribePopulationStart(), (double)t.GetTribePopulationGoal(), (double)t.GetCostHuntTool1(),
          (double)t.GetCostHuntTool2(), (double)t.GetCostHuntTool3(), (double)t.GetCostFoodStorage1(),
          (double)t.GetCostFoodStorage2(), (double)t.GetCostFoodStorage3(), (double)t.GetCostRecruitTool1(),
          (double)t.GetCostRecruitTool2(), (double)t.GetCostRecruitTool3(), (double)t.GetCostDefenseTool1(),
          (double)t.GetCostDefenseTool2(), (double)t.GetCostDefenseTool3(), (double)t.GetCostHealTool1(),
          (double)t.GetCostHealTool2(), (double)t.GetCostHealTool3(), (double)t.GetCostRestTool1(),
          (double)t.GetCostRestTool2(), (double)t.GetCostRestTool3(), (double)t.GetCostGatherTool1(),
          (double)t.GetCostGatherTool2(), (double)t.GetCostGatherTool3()};
}

// Every key gets a value no other key has and no default equals.
template <size_t N>
static std::string DistinctValuesXml(const sKeyRow (&rows)[N], std::vector<double>& expected) {
  std::string body;
  for (size_t i = 0; i < N; ++i) {
    double value = rows[i].isFloat ? 1.5 + (double)i : 1.0 + (double)i;  // within every key's range
    expected.push_back(value);
    body += std::string("<") + (rows[i].isFloat ? "float" : "int") + " name=\"" + rows[i].key + "\" data=\"" +
            std::to_string(value) + "\"/>\n";
  }
  return TuningXml(body);
}

template <size_t N>
static void ExpectRows(const sKeyRow (&rows)[N], const std::vector<double>& got, const std::vector<double>& want) {
  ASSERT_EQ(got.size(), N);
  ASSERT_EQ(want.size(), N);
  for (size_t i = 0; i < N; ++i) EXPECT_FLOAT_EQ((float)got[i], (float)want[i]) << rows[i].key;
}

template <size_t N>
static std::vector<double> Defaults(const sKeyRow (&rows)[N]) {
  std::vector<double> out;
  for (const sKeyRow& row : rows) out.push_back(row.defaultValue);
  return out;
}

TEST(TuningSets, WithoutFilesEveryGetterReturnsItsDefault) {
  cScratchDir dir;
  cMessageCapture capture;
  cCapturedOutput captured(cCapturedOutput::Stream::Stderr);
  cSharedTuningData shared(dir.Path() + "/");
  cTribeTuningData tribe(dir.Path() + "/");
  EXPECT_EQ(captured.End(), "");
  EXPECT_TRUE(capture.boxes.empty());
  ExpectRows(kSharedKeys, ReadShared(shared), Defaults(kSharedKeys));
  ExpectRows(kTribeKeys, ReadTribe(tribe), Defaults(kTribeKeys));
  EXPECT_EQ(shared.GetCreatureScale(4), shared.GetCreatureScale(0));
}

TEST(TuningSets, EveryKeyReachesItsOwnGetter) {
  cScratchDir dir;
  std::vector<double> sharedWant, tribeWant;
  dir.Write("tuning.xml", DistinctValuesXml(kSharedKeys, sharedWant));
  dir.Write("tribetuning.xml", DistinctValuesXml(kTribeKeys, tribeWant));
  cMessageCapture capture;
  cCapturedOutput captured(cCapturedOutput::Stream::Stderr);
  cSharedTuningData shared(dir.Path() + "/");
  cTribeTuningData tribe(dir.Path() + "/");
  EXPECT_EQ(captured.End(), "");  // no key was read with the wrong type
  EXPECT_TRUE(capture.boxes.empty());
  ExpectRows(kSharedKeys, ReadShared(shared), sharedWant);
  ExpectRows(kTribeKeys, ReadTribe(tribe), tribeWant);
  EXPECT_EQ(shared.GetCreatureScale(-1), shared.GetCreatureScale(0));
  EXPECT_EQ(shared.GetCreatureScale(4), shared.GetCreatureScale(0));
  EXPECT_EQ(shared.Constants().size(), 30u);  // nothing read under a second spelling
  EXPECT_EQ(tribe.Constants().size(), 39u);
}

TEST(TuningSets, NegativeCreatureSpeedReadsAsZero) {
  cScratchDir dir;
  dir.Write("tribetuning.xml", TuningXml(R"(<float name="creatureSpeed" data="-2.5"/>)"));
  cTribeTuningData tribe(dir.Path() + "/");
  EXPECT_EQ(tribe.GetCreatureSpeed(), 0.0f);
  dir.Write("tribetuning.xml", TuningXml(R"(<float name="creatureSpeed" data="0"/>)"));
  SetWriteTimeSeconds(dir.File("tribetuning.xml"), 5000);
  tribe.ReloadIfChanged();
  EXPECT_EQ(tribe.GetCreatureSpeed(), 0.0f);
  dir.Write("tribetuning.xml", TuningXml(R"(<float name="creatureSpeed" data="1.75"/>)"));
  SetWriteTimeSeconds(dir.File("tribetuning.xml"), 6000);
  tribe.ReloadIfChanged();
  EXPECT_EQ(tribe.GetCreatureSpeed(), 1.75f);
}

// The game starts from the repository root, where ./data/ resolves into Data/.
TEST(TuningSets, CommittedFilesLoadQuietlyWithEveryKeyTyped) {
  cMessageCapture capture;
  cCapturedOutput captured(cCapturedOutput::Stream::Stderr);
  cSharedTuningData shared;
  cTribeTuningData tribe;
  EXPECT_EQ(captured.End(), "");
  EXPECT_TRUE(capture.boxes.empty());
  EXPECT_NE(shared.Files()[0].writeTime, 0u) << "Data/tuning.xml not found from " << Sys_CurrentDirectory();
  EXPECT_NE(tribe.Files()[0].writeTime, 0u);
  // Every key came from the file with its table type (a getter default would
  // have added no new constant, a clash would have printed).
  size_t fromShared = 0, fromTribe = 0;
  for (const sTuningConstant& c : shared.Constants()) fromShared += !c.comment.empty();
  for (const sTuningConstant& c : tribe.Constants()) fromTribe += !c.comment.empty();
  EXPECT_EQ(fromShared, 30u);
  EXPECT_EQ(fromTribe, 39u);
  // Tribe members must be able to feel their needs: thresholds ordered and above 0.
  EXPECT_GT(tribe.GetCriticalHungerLevel(), 0);
  EXPECT_LT(tribe.GetCriticalHungerLevel(), tribe.GetLowHungerLevel());
  EXPECT_LT(tribe.GetLowHungerLevel(), tribe.GetEatHungerLevel());
  EXPECT_LT(tribe.GetCriticalHealthLevel(), tribe.GetLowHealthLevel());
  EXPECT_LT(tribe.GetLowHealthLevel(), tribe.GetHealHealthLevel());
  EXPECT_LT(tribe.GetCriticalEnergyLevel(), tribe.GetLowEnergyLevel());
  EXPECT_LT(tribe.GetLowEnergyLevel(), tribe.GetRestEnergyLevel());
  EXPECT_GT(tribe.GetCreatureSpeed(), 0.0f);
  EXPECT_GT(shared.GetWindowStartWidth(), 0.0f);
  // The static sets read the same files before main.
  EXPECT_EQ(GetSharedTuningData().GetWindowStartWidth(), shared.GetWindowStartWidth());
  EXPECT_EQ(GetTribeTuningData().GetLowHungerLevel(), tribe.GetLowHungerLevel());
}
