// Not built yet: the base of the tribe member interactions, with the drain
// stopwatch and the step that turns a script's energy, food and health drains
// into losses of the creature's needs; does nothing for now.
#pragma once

#include <string>

#include "app/GameClock.h"
#include "sim/behavior/Interaction.h"

class cRovurozovizProgram;
class cTribeCreature;

class cTribeMemberInteraction : public cInteraction {
 public:
  // Member interactions that do nothing yet are never chosen and finish at once.
  bool CanPerform(cIInteractionAgent* agent, tTargetWord target) override { return false; }
  uint32_t Step() override { return 0; }

  void StartDrainTimer();
  void ApplyDrain(cRovurozovizProgram& program);

 protected:
  cGameStopwatch mDrainStopwatch;
};
