// The city's rules that designers write as formulas: seven Rovurozoviz
// scripts under ".\Data\Scripts\", each re-read when its file changes. Five
// are run through the bindings below, which set named inputs, run the script
// and read one named output; the market-profit and recruit-from-tribe scripts
// are loaded but never run. An output that is not a finite number, or lies
// beyond +-kMaxFormulaOutput, reads as 0 (no creatures, raiders or recruits).
#pragma once

#include <string>

#include "sim/rovurozoviz/RovurozovizProgram.h"

namespace nCityGameFormulas {

inline constexpr float kMaxFormulaOutput = 1.0e6f;

// A script program that reloads a changed file before its inputs are set.
class cCityFormula : public cRovurozovizProgramAutoUpdate {
 protected:
  // The scripts are loaded on first use, then a changed file is re-read. A
  // pass that runs one formula for each of many creatures asks the disk at
  // its first run only (`checkFile` false after it): a file cannot be seen to
  // change between runs a few microseconds apart, and asking costs more than the run.
  void BeginRun(bool checkFile = true);
  float RunAndRead(const char* output);  // the run, then the output as above
};

// Citizens owed: "Add_Creatures" per frame, paid out one citizen at a time.
class cCreaturePop : public cCityFormula {
 public:
  // 1 when a citizen is due, -1 when one is owed back, else 0.
  int Evaluate(float averageHappiness, float ms, float population);
  float accumulator = 0.0f;  // fractional citizens owed; lasts the whole run
};

class cMarketProfit : public cCityFormula {};
class cRecruitFromTribe : public cCityFormula {};

class cTribeChanceToRecruit : public cCityFormula {
 public:
  float Evaluate(float relationship, int tribeSize, float timeSinceLastRun);
};

class cChancePlayerRecruitSuccessful : public cCityFormula {
 public:
  float Evaluate(int recruitersSent, int potentialRecruitees, float relationship, bool playerHasTemple,
                 float tribeHappiness, float playerCityHappiness);
};

class cTribeChanceToRaid : public cCityFormula {
 public:
  float Evaluate(int tribeSize, float relationship, int foodInPlayerCity, int foodInTribe, int timeSinceLastRun);
};

class cChancePlayerRaidSuccessful : public cCityFormula {
 public:
  float Evaluate(int tribeSize, bool playerHasMilitaryBase, float relationship, bool checkFile = true);
};

// The one program of each script, built on first use.
cCreaturePop& CreaturePop();
cMarketProfit& MarketProfit();
cRecruitFromTribe& RecruitFromTribe();
cTribeChanceToRecruit& TribeChanceToRecruit();
cChancePlayerRecruitSuccessful& ChancePlayerRecruitSuccessful();
cTribeChanceToRaid& TribeChanceToRaid();
cChancePlayerRaidSuccessful& ChancePlayerRaidSuccessful();

}  // namespace nCityGameFormulas

// Loads the seven scripts in order; each that fails shows a "Script Error"
// box naming it, and loading goes on. The second form loads only the first
// time it is called (the mode's start-up and its first use both ask).
void LoadCityFormulas();
void LoadCityFormulasOnce();
// Tests: scripts found in this folder are loaded instead of the game's own;
// nullptr or "" restores.
void SetCityScriptOverrideForTest(const char* folder);
