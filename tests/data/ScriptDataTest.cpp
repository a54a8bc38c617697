// The shipped Rovurozoviz scripts: each compiles, and run with typical inputs
// gives finite outputs within what the modes can play with.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Sys.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"
#include "tests/support/TestSupport.h"

namespace {
struct sInput {
  const char* name;
  float value;
};
struct sBound {
  const char* name;
  float lo, hi;
};
struct sScriptCase {
  const char* script;
  std::vector<sInput> inputs;
  std::vector<sBound> outputs;
};

// Points per second; a negative drain raises the need, slowly.
const sBound kEnergyDrain{"energy_drain", -1.0f, 5.0f};
const sBound kFoodDrain{"food_drain", -1.0f, 3.0f};
const sBound kHealthDrain{"health_drain", -1.0f, 8.0f};

std::unique_ptr<cRovurozovizProgram> LoadScript(const std::string& name) {
  cMessageCapture boxes;
  auto program = std::make_unique<cRovurozovizProgram>();
  EXPECT_TRUE(program->Load(".\\Data\\Scripts\\" + name)) << name;
  EXPECT_TRUE(boxes.boxes.empty()) << name << ": " << (boxes.boxes.empty() ? "" : boxes.boxes[0].text);
  return program;
}

float RunScript(cRovurozovizProgram& p, const std::vector<sInput>& inputs, const char* output) {
  for (const sInput& in : inputs) p.SetVariable(in.name, in.value);
  p.Run();
  EXPECT_FALSE(p.RunWasCutShort());
  return p.GetVariable(output);
}
}  // namespace

TEST(ScriptData, EveryScriptCompiles) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator("Data/Scripts")) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() != ".txt" || name.ends_with("_keys.txt")) continue;  // key files are not scripts
    LoadScript(name);
    ++count;
  }
  EXPECT_GE(count, 24);
}

TEST(ScriptData, TypicalInputsGiveBoundedOutputs) {
  const std::vector<sScriptCase> cases = {
      {"tribe_creature_speed.txt", {{"slope", 0.0f}}, {{"speed", 0.9f, 1.1f}}},
      {"tribe_creature_speed.txt", {{"slope", 5.0f}}, {{"speed", 0.2f, 1.2f}}},
      {"tribe_creature_speed.txt", {{"slope", -5.0f}}, {{"speed", 0.2f, 1.2f}}},
      {"creature_loudness.txt", {{"speed", 0.0f}, {"stealth", 2.0f}, {"tree_cover", 0.0f}}, {{"loudness", 0.05f, 0.5f}}},
      {"creature_loudness.txt", {{"speed", 4.0f}, {"stealth", 2.0f}, {"tree_cover", 0.0f}}, {{"loudness", 0.5f, 1.0f}}},
      {"creature_loudness.txt", {{"speed", 40.0f}, {"stealth", 2.0f}, {"tree_cover", 0.0f}}, {{"loudness", 0.5f, 1.0f}}},
      {"tribe_attack_test.txt",
       {{"npc_tribe_size", 6}, {"player_tribe_size", 4}, {"time_since_attack", 30}, {"distance_to_hut", 100}, {"number_of_raids", 0}},
       {{"attackers", 0.0f, 0.0f}}},  // too soon after the last raid
      {"tribe_attack_test.txt",
       {{"npc_tribe_size", 8}, {"player_tribe_size", 1}, {"time_since_attack", 900}, {"distance_to_hut", 100}, {"number_of_raids", 5}},
       {{"attackers", 0.0f, 2.0f}}},
      {"tribe_idle_result.txt", {{"current_activity", 0}}, {kEnergyDrain, kFoodDrain, kHealthDrain}},
      {"tribe_idle_result.txt", {{"current_activity", 1}}, {kEnergyDrain, kFoodDrain, kHealthDrain}},
      {"tribe_rest_result.txt", {{"rest_tool_level", 0}}, {{"rest_interval", 0.05f, 2.0f}}},
      {"tribe_rest_result.txt", {{"rest_tool_level", 3}}, {{"rest_interval", 0.01f, 2.0f}}},
      {"tribe_goto_result.txt", {{"sprint", 0}}, {{"sprint_multiplier", 1.0f, 1.0f}, kEnergyDrain, kFoodDrain, kHealthDrain}},
      {"tribe_goto_result.txt", {{"sprint", 1}}, {{"sprint_multiplier", 1.5f, 4.0f}, kEnergyDrain, kFoodDrain, kHealthDrain}},
      {"tribe_heal_result.txt", {{"current_activity", 1}, {"heal_tool_level", 0}}, {{"heal_interval", 0.1f, 2.0f}, kEnergyDrain, kFoodDrain, kHealthDrain}},
      {"tribe_heal_result.txt", {{"current_activity", 0}, {"heal_tool_level", 3}}, {{"heal_interval", 0.1f, 2.0f}, kEnergyDrain, kFoodDrain, kHealthDrain}},
      {"tribe_eats_result.txt", {}, {kEnergyDrain, kFoodDrain, kHealthDrain}},
      {"tribe_defend_result.txt", {}, {kEnergyDrain, kFoodDrain, kHealthDrain}},
      {"tribe_gather_result.txt", {{"gather_tool_level", 0}, {"current_activity", 1}},
       {{"food_gathered", 1.0f, 50.0f}, {"gather_time", 500.0f, 10000.0f}, {"max_food", 5.0f, 100.0f}, kEnergyDrain, kFoodDrain, kHealthDrain}},
      {"tribe_gather_result.txt", {{"gather_tool_level", 3}, {"current_activity", 0}},
       {{"food_gathered", 1.0f, 50.0f}, {"gather_time", 500.0f, 10000.0f}, {"max_food", 5.0f, 100.0f}, kEnergyDrain, kFoodDrain, kHealthDrain}},
      {"tribe_nest_result.txt", {{"party_size", 1}}, {{"breed_time", 30.0f, 600.0f}, {"breed_progress", 0.5f, 5.0f}, kEnergyDrain, kFoodDrain, kHealthDrain}},
      {"tribe_hunt_result.txt",  // a runt hunter
       {{"hunt_tool_level", 0}, {"defense_tool_level", 0}, {"gather_tool_level", 0}, {"prey_type", 2}, {"party_health", 80}, {"party_size", 1}, {"carried_food", 0}},
       {{"hunt_time", 1.0f, 15.0f}, {"hunt_energy_cost", 1.0f, 50.0f}, {"total_damage", 0.0f, 30.0f}, {"total_catch", 0.0f, 40.0f},
        {"creature_sprint_distance", 5.0f, 40.0f}, {"creature_sprint_multiplier", 1.2f, 4.0f}, {"keep_hunting", 0.0f, 1.0f}}},
      {"tribe_hunt_result.txt",  // a big-game party
       {{"hunt_tool_level", 1}, {"defense_tool_level", 1}, {"prey_type", 1}, {"party_health", 240}, {"party_size", 3}},
       {{"total_catch", 0.0f, 200.0f}, {"damage_share", 0.0f, 50.0f}, {"total_damage", 0.0f, 240.0f}, {"success", 0.0f, 1.0f},
        {"hunt_time", 1.0f, 20.0f}}},
      {"tribe_hunt_result.txt",  // a lone, wounded predator hunter
       {{"hunt_tool_level", 0}, {"defense_tool_level", 0}, {"prey_type", 3}, {"party_health", 10}, {"party_size", 1}},
       {{"total_catch", 0.0f, 200.0f}, {"damage_share", 0.0f, 10.0f}, {"total_damage", 0.0f, 10.0f}}},
      {"tribe_hunt_motivation.txt", {{"hunt_duration", 8}, {"energy_cost_of_hunt", 15}, {"current_activity", 2}}, {kEnergyDrain, kFoodDrain, kHealthDrain}},
      {"tribe_hunt_motivation.txt", {{"hunt_duration", 0}, {"energy_cost_of_hunt", 15}, {"current_activity", 2}}, {{"energy_drain", 0.0f, 50.0f}}},
      {"tribe_hunt_motivation.txt", {{"current_activity", 1}}, {kEnergyDrain, kFoodDrain, kHealthDrain}},
      {"tribe_raid_result.txt",
       {{"my_party_size", 3}, {"my_attack_level", 1}, {"my_defense_level", 0}, {"my_recruit_level", 2}, {"other_size", 5}, {"other_attack_level", 0}, {"other_defense_level", 1}},
       {{"raid_time", 1.0f, 30.0f}, {"my_energy_cost", 1.0f, 60.0f}, {"my_damage", 0.0f, 30.0f}, {"my_total_damage", 0.0f, 100.0f},
        {"food_stolen", 1.0f, 100.0f}, {"targets_killed", 0.0f, 3.0f}, {"targets_recruited", 0.0f, 3.0f}}},
      {"tribe_raid_result.txt",  // an emptied rival tribe, a huge party: still bounded
       {{"my_party_size", 20}, {"my_attack_level", 3}, {"other_size", 0}},
       {{"food_stolen", 0.0f, 100.0f}, {"targets_killed", 0.0f, 3.0f}, {"my_damage", 0.0f, 30.0f}}},
      {"tribe_raid_motivation.txt", {{"current_activity", 1}, {"raid_duration", 0}, {"energy_cost_of_raid", 20}}, {{"energy_drain", 0.0f, 50.0f}, kFoodDrain, kHealthDrain}},
      {"tribe_raid_motivation.txt", {{"current_activity", 0}}, {kEnergyDrain, kFoodDrain, kHealthDrain}},
      {"tribe_recruit_result.txt", {{"recruit_tool_level", 1}, {"defense_tool_level", 0}, {"party_size", 3}, {"other_size", 4}},
       {{"recruit_time", 1.0f, 30.0f}, {"energy_cost", 1.0f, 60.0f}, {"damage_share", 0.0f, 20.0f}, {"total_damage", 0.0f, 60.0f},
        {"targets_recruited", 0.0f, 4.0f}}},
      {"tribe_recruit_motivation.txt", {{"current_activity", 1}, {"recruit_time", 6}, {"energy_cost_of_activity", 8}}, {kEnergyDrain, kFoodDrain, kHealthDrain}},
      {"tribe_attack_result.txt", {{"my_attack_level", 0}, {"my_defense_level", 0}, {"other_attack_level", 3}, {"other_defense_level", 3}},
       {{"fight_time", 1.0f, 15.0f}, kEnergyDrain, kFoodDrain, kHealthDrain}},
      {"tribe_loot_result.txt", {}, {{"loot_time", 500.0f, 20000.0f}, {"loot_food", 1.0f, 100.0f}}},
      {"tribe_move_hut_result.txt", {{"party_size", 1}}, {{"speed_multiplier", 0.1f, 2.0f}, kEnergyDrain, kFoodDrain, kHealthDrain}},
      {"tribe_move_hut_result.txt", {{"party_size", 30}}, {{"speed_multiplier", 0.1f, 2.0f}}},
  };
  Sys_SeedRandom(7);
  for (const sScriptCase& c : cases) {
    auto program = LoadScript(c.script);
    for (int run = 0; run < 50; ++run) {  // scripts that draw RAND must hold every time
      for (const sBound& out : c.outputs) {
        float v = RunScript(*program, c.inputs, out.name);
        ASSERT_TRUE(std::isfinite(v)) << c.script << " " << out.name;
        ASSERT_GE(v, out.lo) << c.script << " " << out.name;
        ASSERT_LE(v, out.hi) << c.script << " " << out.name;
      }
    }
  }
}

TEST(ScriptData, HerdsAlwaysMakeWorkableParameters) {
  auto herds = LoadScript("tribe_herd_location.txt");
  for (int type = 1; type <= 3; ++type)
    for (int hunted : {0, 3, 30})
      for (int tribe : {1, 5, 20}) {
        const std::vector<sInput> in = {{"tribe_size", float(tribe)}, {"herd_type", float(type)}, {"times_hunted_type", float(hunted)}};
        SCOPED_TRACE(testing::Message() << "type " << type << " hunted " << hunted << " tribe " << tribe);
        RunScript(*herds, in, "herd_size");
        auto out = [&](const char* name) { return herds->GetVariable(name); };
        EXPECT_GE(out("number_of_herds"), 1.0f);
        EXPECT_GE(out("herd_size"), 1.0f);
        // Hearing divides by the band between the two radii; fatigue divides by the sprint time.
        EXPECT_LT(out("perception_hear_well"), out("perception_hear_barely"));
        EXPECT_GT(out("sprint_fatigue"), 0.0f);
        EXPECT_GT(out("anxiety_half_life"), 0.0f);
        EXPECT_LT(out("anxiety_threshold_calm"), out("anxiety_threshold_flee"));
        EXPECT_GE(out("distance_from_hut"), 20.0f);
        EXPECT_LE(out("distance_from_hut"), 100.0f);  // the home search gives up beyond 100
        EXPECT_GT(out("speed_normal"), 0.0f);
        EXPECT_GT(out("speed_max"), out("speed_normal"));
        EXPECT_GT(out("turn_rate"), 0.0f);
      }
}

TEST(ScriptData, TreeStandsAndRivalHutsLieAroundTheHut) {
  auto trees = LoadScript("tribe_tree_location.txt");
  const int stands = int(RunScript(*trees, {}, "number_of_stands"));
  EXPECT_GE(stands, 2);
  EXPECT_LT(trees->GetVariable("clear_cut_radius"), 20.0f);
  for (int k = 1; k <= stands; ++k) {
    const std::string n = std::to_string(k);
    EXPECT_GE(trees->GetVariable("distance" + n), 20.0f) << k;
    EXPECT_LE(trees->GetVariable("distance" + n), 60.0f) << k;
    EXPECT_GE(trees->GetVariable("radius" + n), 2.0f) << k;
    EXPECT_GE(trees->GetVariable("count" + n), 1.0f) << k;
  }
  auto rivals = LoadScript("tribe_npc_location.txt");
  for (float age : {0.0f, 600000.0f}) {
    const int tribes = int(RunScript(*rivals, {{"tribe_size1", 2}, {"time_since_birth1", age}, {"tribe_size2", 2}, {"time_since_birth2", age}}, "number_of_tribes"));
    EXPECT_GE(tribes, 2);
    EXPECT_LE(tribes, 3);
    for (int k = 1; k <= tribes; ++k) {
      EXPECT_GE(rivals->GetVariable("distance" + std::to_string(k)), 80.0f) << k;
      EXPECT_LE(rivals->GetVariable("distance" + std::to_string(k)), 120.0f) << k;
    }
  }
}

// Rival tribes never run out of food, so only the size script keeps them small.
TEST(ScriptData, RivalTribesGrowSlowlyAndStayCapped) {
  auto size = LoadScript("tribe_npc_size.txt");
  float population = 2.0f, sinceNewMember = 0.0f, firstAtFive = -1.0f;
  for (float t = 0.0f; t < 7200.0f; t += 5.51f) {  // the growth pass's period, for two hours
    int target = int(RunScript(*size, {{"tribe_size", population}, {"time_since_birth", t}, {"time_since_new_member", sinceNewMember}}, "tribe_size"));
    if (target > population) {
      population = float(target);
      sinceNewMember = 0.0f;
    } else {
      sinceNewMember += 5.51f;
    }
    if (population >= 5.0f && firstAtFive < 0.0f) firstAtFive = t;
    ASSERT_LE(population, 8.0f) << t;
  }
  EXPECT_EQ(population, 8.0f);
  EXPECT_GT(firstAtFive, 120.0f);  // not at once
  EXPECT_LT(firstAtFive, 900.0f);  // but within minutes
}

// The pace of a tribe's life: meals every minute or two, a birth every few minutes, and
// hunts that are neither certain nor hopeless.
TEST(ScriptData, TribeLifeHasAPlayablePace) {
  auto idle = LoadScript("tribe_idle_result.txt");
  for (float activity : {0.0f, 1.0f}) {
    float drain = RunScript(*idle, {{"current_activity", activity}}, "food_drain");
    ASSERT_GT(drain, 0.0f);
    float secondsToHungry = 60.0f / drain;  // from full (100) to hungry (40)
    EXPECT_GE(secondsToHungry, 45.0f);
    EXPECT_LE(secondsToHungry, 150.0f);
  }
  auto nest = LoadScript("tribe_nest_result.txt");
  for (float nesters : {1.0f, 2.0f, 4.0f}) {
    float breedTime = RunScript(*nest, {{"party_size", nesters}}, "breed_time");
    float secondsPerBirth = breedTime / nest->GetVariable("breed_progress");  // all nesters together
    EXPECT_GE(secondsPerBirth, 45.0f) << nesters;
    EXPECT_LE(secondsPerBirth, 300.0f) << nesters;
  }
  Sys_SeedRandom(11);
  auto hunt = LoadScript("tribe_hunt_result.txt");
  const std::vector<sInput> party = {{"hunt_tool_level", 0}, {"defense_tool_level", 0}, {"prey_type", 1}, {"party_health", 240}, {"party_size", 3}};
  const std::vector<sInput> runt = {{"hunt_tool_level", 0}, {"defense_tool_level", 0}, {"gather_tool_level", 0}, {"prey_type", 2}, {"party_health", 80}, {"party_size", 1}, {"carried_food", 0}};
  int partyWins = 0, runtWins = 0;
  for (int i = 0; i < 400; ++i) {
    partyWins += RunScript(*hunt, party, "total_catch") > 0.0f;
    runtWins += RunScript(*hunt, runt, "total_catch") > 0.0f;
  }
  EXPECT_GT(partyWins, 80);
  EXPECT_LT(partyWins, 320);
  EXPECT_GT(runtWins, 80);
  EXPECT_LT(runtWins, 320);
}
