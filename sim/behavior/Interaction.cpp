#include "sim/behavior/Interaction.h"

cIInteraction* cInteraction::Instantiate(cIInteractionAgent* agent, tTargetWord target) {
  cIInteraction* made = Create();
  cInteraction* instance = dynamic_cast<cInteraction*>(made);
  if (!instance) {
    delete made;  // not one of ours: it cannot be bound, and nobody else holds it
    return nullptr;
  }
  instance->mAgent = agent;
  instance->mTarget = target != 0 ? target : instance->GetDefaultTarget();
  return instance;
}
