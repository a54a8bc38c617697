// The city's formula scripts: the population formula paid out one citizen
// per frame, every binding's inputs and output, bad outputs reading as 0, an
// edited script seeing the inputs of its first run, and the load failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/modes/city/CityTestSupport.h"

namespace {

using namespace nCityGameFormulas;

class CityFormulaTest : public cCityWorldTest {};

TEST_F(CityFormulaTest, AQuarterCitizenAFrameGivesOneEveryFourthFrame) {
  UseScript("CityGame_CreaturePopulation.txt", "Add_Creatures = 0.25\n");
  std::vector<int> born;
  int citizens = Count<cCityGamePlayerCreature>();
  for (int frame = 1; frame <= 12; ++frame) {
    Pump(1);
    if (Count<cCityGamePlayerCreature>() > citizens) born.push_back(frame);
    citizens = Count<cCityGamePlayerCreature>();
  }
  EXPECT_EQ(born, (std::vector<int>{4, 8, 12}));
}

TEST_F(CityFormulaTest, TheAccumulatorPaysOutOneAtATimeBothWays) {
  UseScript("CityGame_CreaturePopulation.txt", "Add_Creatures = give\n");
  cCreaturePop& pop = CreaturePop();
  pop.accumulator = 0.0f;
  struct sStep {
    float give;
    int result;
    float left;
  } steps[] = {{3.0f, 1, 2.0f}, {0.0f, 1, 1.0f}, {0.0f, 1, 0.0f}, {0.0f, 0, 0.0f}, {0.99f, 0, 0.99f},
               {-0.99f, 0, 0.0f}, {-1.5f, -1, -0.5f}, {-0.5f, -1, 0.0f} /* exactly -1.0 pays out */,
               {-0.5f, 0, -0.5f},
               // Fault mended: a NaN or runaway output read as 0 instead of poisoning the accumulator for the run.
               {std::nanf(""), 0, -0.5f}, {1.0e30f, 0, -0.5f}, {2.0e6f, 0, -0.5f}};
  for (const sStep& step : steps) {
    pop.SetVariable("give", step.give);
    EXPECT_EQ(pop.Evaluate(60.0f, 50.0f, 5.0f), step.result) << step.give;
    EXPECT_FLOAT_EQ(pop.accumulator, step.left) << step.give;
  }
  EXPECT_FLOAT_EQ(pop.GetVariable("Time_Since_Last_Execution_In_Seconds"), 0.05f);
  pop.accumulator = std::nanf("");  // however it got there, a non-finite debt starts again from 0
  pop.SetVariable("give", 0.5f);
  EXPECT_EQ(pop.Evaluate(60.0f, 50.0f, 5.0f), 0);
  EXPECT_FLOAT_EQ(pop.accumulator, 0.0f);
}

TEST_F(CityFormulaTest, EachBindingPassesItsInputsAndReadsItsOutput) {
  UseScript("CityGame_TribeSendingRecruiters.txt",
            "Size_Of_Party_To_Send_Now = Tribe_Relationship_To_You * 100 + Size_Of_Tribe * 10 + "
            "Time_Since_This_Script_Last_Ran\n");
  UseScript("CityGame_PlayerRecruitingTribeMembers.txt",
            "Number_Of_Recruitees = Number_Of_Recruiters_I_Sent * 100000 + Number_Of_Potencial_Recruitees * 10000 + "
            "Relationship_Of_Tribe_Towards_Player * 1000 + Player_Has_Temple * 100 + Tribe_Happiness * 10 + "
            "Player_City_Happiness\n");
  UseScript("CityGame_TribeSendingRaiders.txt",
            "Number_Of_Raiders_To_Send = Size_Of_Tribe * 10000 + Time_Since_This_Script_Last_Ran * 1000 + "
            "Relationship_Of_Tribe_Towards_Player * 100 + Food_In_Player_City * 10 + Food_In_Tribe\n");
  UseScript("CityGame_PlayerRaidSuccess.txt",
            "Tribe_To_Raider_Multiplier = Size_Of_Tribe * 100 + Player_Has_Military_Base * 10 + "
            "Relationship_Of_Tribe_Towards_Player + Number_Of_Raiders + Player_Has_Turret + Tribe_Happiness\n");
  EXPECT_FLOAT_EQ(TribeChanceToRecruit().Evaluate(2.0f, 3, 4.0f), 234.0f);
  EXPECT_FLOAT_EQ(ChancePlayerRecruitSuccessful().Evaluate(1, 2, 3.0f, true, 4.0f, 5.0f), 123145.0f);
  EXPECT_FLOAT_EQ(TribeChanceToRaid().Evaluate(1, 3.0f, 4, 5, 2), 12345.0f);
  EXPECT_FLOAT_EQ(ChancePlayerRaidSuccessful().Evaluate(4, true, 5.0f), 415.0f);
  EXPECT_FLOAT_EQ(ChancePlayerRaidSuccessful().Evaluate(4, false, -2.0f), 398.0f);
}

// Fault mended: an edited file was recompiled inside the run, after the
// binding had set its inputs, so the first run after an edit could miss them.
TEST_F(CityFormulaTest, AnEditedScriptIsReloadedBeforeItsInputsAreSet) {
  UseScript("CityGame_TribeSendingRecruiters.txt", "Size_Of_Party_To_Send_Now = 1\n");
  EXPECT_FLOAT_EQ(TribeChanceToRecruit().Evaluate(0.0f, 7, 0.0f), 1.0f);
  const std::filesystem::path file = scripts.File("CityGame_TribeSendingRecruiters.txt");
  std::ofstream(file) << "Size_Of_Party_To_Send_Now = Size_Of_Tribe\n";
  std::filesystem::last_write_time(file, std::filesystem::last_write_time(file) + std::chrono::seconds(5));
  EXPECT_FLOAT_EQ(TribeChanceToRecruit().Evaluate(0.0f, 9, 0.0f), 9.0f);
}

TEST_F(CityFormulaTest, ScriptsThatCannotBeLoadedAreEachNamedOnce) {
  cScratchDir empty;
  SetCityScriptOverrideForTest(nullptr);
  {
    cScopedWorkingDir nowhere(empty.Path());
    messages.boxes.clear();
    LoadCityFormulas();
  }
  std::vector<std::string> texts;
  for (const cMessageCapture::Box& box : messages.boxes)
    if (box.caption == "Script Error") texts.push_back(box.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"Failed to load CityGame_CreaturePopulation.txt",
                                             "Failed to load CityGame_MarketProfit.txt",
                                             "Failed to load CityGame_RecruitFromTribe.txt",
                                             "Failed to load CityGame_TribeSendingRecuiters.txt",
                                             "Failed to load CityGame_PlayerRecruitingTribeMembers.txt",
                                             "Failed to load CityGame_TribeSendingRaiders.txt",
                                             "Failed to load CityGame_PlayerRaidSuccess.txt"}));
}

TEST_F(CityFormulaTest, TheGamesOwnScriptsLoadAndGrowOnlyAHappyCity) {
  SetCityScriptOverrideForTest(nullptr);
  messages.boxes.clear();
  LoadCityFormulas();
  EXPECT_TRUE(messages.boxes.empty());
  cCreaturePop& pop = CreaturePop();
  pop.accumulator = 0.0f;
  int happy = 0, unhappy = 0;
  for (int frame = 0; frame < 410; ++frame) {
    happy += pop.Evaluate(60.0f, 100.0f, 5.0f) == 1;
    unhappy += pop.Evaluate(40.0f, 100.0f, 5.0f) == 1;
  }
  EXPECT_EQ(happy, 2);  // 41 seconds at one citizen per 20 seconds
  EXPECT_EQ(unhappy, 0);
}

}  // namespace
