#include "modes/tribe/HuntInteractions.h"

tTargetWord cMemberHunts::GetDefaultTarget() { return 0; }
void cMemberHunts::SetGroupInteraction(cGroupInteraction*) {}
void cMemberHunts::RunHuntResult() {}
bool cMemberHunts::UpdateHuntTimer() { return true; }
void cMemberHunts::ResolveRuntCatch() {}
void cMemberHunts::EndHunt() {}

void cTribeGroupHunts::SetPrey(cTribeHerd*) {}
cTribeHerd* cTribeGroupHunts::GetPrey() { return nullptr; }
