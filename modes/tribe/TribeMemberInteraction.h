// The base of the tribe member interactions: a drain stopwatch and the step
// that turns a script's energy_drain, food_drain and health_drain outputs
// (points per second) into losses of the creature's needs, plus the helpers
// every member class shares (script loading, need tests, tick milliseconds).
#pragma once

#include <cstdint>
#include <string>

#include "app/GameClock.h"
#include "sim/behavior/Interaction.h"

class cRovurozovizProgram;
class cTribe;
class cTribeCreature;
enum class eTribeProgram;

class cTribeMemberInteraction : public cInteraction {
 public:
  // A class without a body of its own yet finishes at once.
  uint32_t Step() override { return 0; }

  // Starts the drain stopwatch unless it already runs.
  void StartDrainTimer();
  // Drains the creature by the program's rates over the time since the last
  // drain (the caller ran the program this tick), then restarts the stopwatch.
  void ApplyDrain(cRovurozovizProgram& program);

  // The two need tests several classes share (thresholds read anew each time).
  // Critical need: a critical health or energy, or a critical hunger while the
  // tribe has food to eat.
  static bool IsInCriticalNeed(cTribeCreature* creature);
  // Any critical: the same without regard to the tribe's food.
  static bool IsAnyCritical(cTribeCreature* creature);

 protected:
  cTribeCreature* GetCreature();  // the agent as a tribe creature, or null
  static bool IsTribeCreature(cIInteractionAgent* agent);
  static cTribe* TribeOf(cTribeCreature* creature);
  static float TribeFood(cTribeCreature* creature);  // the tribe's store; 0 without a tribe
  static float ToolLevel(cTribeCreature* creature, uint32_t kind);  // 0 without a tribe or tool
  // Loads the class's script (".\Data\Scripts\<file>"), reporting a failure in
  // a "Script Error" box; an edited script takes effect at the next start.
  static void LoadScript(eTribeProgram which);
  static cRovurozovizProgram& Program(eTribeProgram which);
  // Milliseconds since the previous tick of a work stopwatch, modulo 2^32.
  static uint32_t TickMs(const cGameStopwatch& work, uint32_t& previousElapsed);

  cGameStopwatch mDrainStopwatch;
};
