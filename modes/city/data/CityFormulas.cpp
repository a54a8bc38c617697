#include "modes/city/data/CityFormulas.h"

#include <cmath>

#include "platform/Sys.h"

namespace nCityGameFormulas {

void cCityFormula::BeginRun(bool checkFile) {
  LoadCityFormulasOnce();
  if (checkFile) ReloadIfChanged();
}

float cCityFormula::RunAndRead(const char* output) {
  cRovurozovizProgram::Run();  // the file was checked before the inputs were set
  const float value = GetVariable(output);
  if (!std::isfinite(value) || std::fabs(value) > kMaxFormulaOutput) return 0.0f;
  return value;
}

int cCreaturePop::Evaluate(float averageHappiness, float ms, float population) {
  BeginRun();
  SetVariable("Average_Happiness", averageHappiness);
  SetVariable("Creature_Population", population);
  SetVariable("Time_Since_Last_Execution_In_Seconds", ms * 0.001f);
  accumulator += RunAndRead("Add_Creatures");
  if (!std::isfinite(accumulator)) accumulator = 0.0f;  // one bad frame must not stop births for the whole run
  if (accumulator >= 1.0f) {
    accumulator -= 1.0f;
    return 1;
  }
  if (accumulator <= -1.0f) {
    accumulator += 1.0f;
    return -1;
  }
  return 0;
}

float cTribeChanceToRecruit::Evaluate(float relationship, int tribeSize, float timeSinceLastRun) {
  BeginRun();
  SetVariable("Tribe_Relationship_To_You", relationship);
  SetVariable("Size_Of_Tribe", (float)tribeSize);
  SetVariable("Time_Since_This_Script_Last_Ran", timeSinceLastRun);
  return RunAndRead("Size_Of_Party_To_Send_Now");
}

float cChancePlayerRecruitSuccessful::Evaluate(int recruitersSent, int potentialRecruitees, float relationship,
                                               bool playerHasTemple, float tribeHappiness, float playerCityHappiness) {
  BeginRun();
  SetVariable("Number_Of_Recruiters_I_Sent", (float)recruitersSent);
  SetVariable("Number_Of_Potencial_Recruitees", (float)potentialRecruitees);
  SetVariable("Relationship_Of_Tribe_Towards_Player", relationship);
  SetVariable("Player_Has_Temple", playerHasTemple ? 1.0f : 0.0f);
  SetVariable("Tribe_Happiness", tribeHappiness);
  SetVariable("Player_City_Happiness", playerCityHappiness);
  return RunAndRead("Number_Of_Recruitees");
}

float cTribeChanceToRaid::Evaluate(int tribeSize, float relationship, int foodInPlayerCity, int foodInTribe,
                                   int timeSinceLastRun) {
  BeginRun();
  SetVariable("Size_Of_Tribe", (float)tribeSize);
  SetVariable("Time_Since_This_Script_Last_Ran", (float)timeSinceLastRun);
  SetVariable("Relationship_Of_Tribe_Towards_Player", relationship);
  SetVariable("Food_In_Player_City", (float)foodInPlayerCity);
  SetVariable("Food_In_Tribe", (float)foodInTribe);
  return RunAndRead("Number_Of_Raiders_To_Send");
}

float cChancePlayerRaidSuccessful::Evaluate(int tribeSize, bool playerHasMilitaryBase, float relationship,
                                            bool checkFile) {
  BeginRun(checkFile);
  SetVariable("Number_Of_Raiders", 0.0f);
  SetVariable("Size_Of_Tribe", (float)tribeSize);
  SetVariable("Player_Has_Turret", 0.0f);
  SetVariable("Player_Has_Military_Base", playerHasMilitaryBase ? 1.0f : 0.0f);
  SetVariable("Relationship_Of_Tribe_Towards_Player", relationship);
  SetVariable("Tribe_Happiness", 0.0f);
  SetVariable("Tribe_Military_Level", 0.0f);
  SetVariable("City_Military_Level", 0.0f);
  return RunAndRead("Tribe_To_Raider_Multiplier");
}

// Made on first use and never destroyed.
template <class T>
static T& One() {
  static auto* program = new T;
  return *program;
}
cCreaturePop& CreaturePop() { return One<cCreaturePop>(); }
cMarketProfit& MarketProfit() { return One<cMarketProfit>(); }
cRecruitFromTribe& RecruitFromTribe() { return One<cRecruitFromTribe>(); }
cTribeChanceToRecruit& TribeChanceToRecruit() { return One<cTribeChanceToRecruit>(); }
cChancePlayerRecruitSuccessful& ChancePlayerRecruitSuccessful() { return One<cChancePlayerRecruitSuccessful>(); }
cTribeChanceToRaid& TribeChanceToRaid() { return One<cTribeChanceToRaid>(); }
cChancePlayerRaidSuccessful& ChancePlayerRaidSuccessful() { return One<cChancePlayerRaidSuccessful>(); }

}  // namespace nCityGameFormulas

namespace {
std::string& ScriptOverrideFolder() {
  static auto* folder = new std::string;
  return *folder;
}
bool gFormulasLoaded = false;
}  // namespace

void SetCityScriptOverrideForTest(const char* folder) { ScriptOverrideFolder() = folder ? folder : ""; }

void LoadCityFormulas() {
  using namespace nCityGameFormulas;
  struct sScript {
    cRovurozovizProgram* program;
    const char* file;
    const char* failure;
  };
  // The recruiters' message keeps its old spelling: designers search the log for it.
  const sScript scripts[] = {
      {&CreaturePop(), "CityGame_CreaturePopulation.txt", "Failed to load CityGame_CreaturePopulation.txt"},
      {&MarketProfit(), "CityGame_MarketProfit.txt", "Failed to load CityGame_MarketProfit.txt"},
      {&RecruitFromTribe(), "CityGame_RecruitFromTribe.txt", "Failed to load CityGame_RecruitFromTribe.txt"},
      {&TribeChanceToRecruit(), "CityGame_TribeSendingRecruiters.txt",
       "Failed to load CityGame_TribeSendingRecuiters.txt"},
      {&ChancePlayerRecruitSuccessful(), "CityGame_PlayerRecruitingTribeMembers.txt",
       "Failed to load CityGame_PlayerRecruitingTribeMembers.txt"},
      {&TribeChanceToRaid(), "CityGame_TribeSendingRaiders.txt", "Failed to load CityGame_TribeSendingRaiders.txt"},
      {&ChancePlayerRaidSuccessful(), "CityGame_PlayerRaidSuccess.txt",
       "Failed to load CityGame_PlayerRaidSuccess.txt"},
  };
  for (const sScript& script : scripts) {
    std::string path = std::string(".\\Data\\Scripts\\") + script.file;
    if (!ScriptOverrideFolder().empty()) {
      const std::string replacement = ScriptOverrideFolder() + "/" + script.file;
      if (Sys_IsRegularFile(replacement)) path = replacement;
    }
    if (!script.program->Load(path)) Sys_MessageBox("Script Error", script.failure);
  }
  gFormulasLoaded = true;
}

void LoadCityFormulasOnce() {
  if (!gFormulasLoaded) LoadCityFormulas();
}
