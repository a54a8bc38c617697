// The base of every city behaviour. City behaviours never offer themselves
// to the behaviour controller's choice: game code starts them on a target
// (through the target's Interact or the agent's StartInteraction), and when
// one ends it leaves its target's list of users. The behaviours themselves
// come with the citizens' and tribes' own work.
#pragma once

#include "sim/behavior/Interaction.h"

class cCityGameInteraction : public cInteraction {
 public:
  bool CanPerform(cIInteractionAgent*, tTargetWord) override { return false; }
  void End() override;  // off the target's users
};
