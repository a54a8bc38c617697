#include "modes/tribe/TribeMemberInteraction.h"

void cTribeMemberInteraction::StartDrainTimer() {}

void cTribeMemberInteraction::ApplyDrain(cRovurozovizProgram&) {}
