#include "modes/tribe/GroupInteractions.h"

void cTribeGroupGoToNewTarget::PassSettingsToMembers() {}

void cTribeGroupMoveHut::OnMemberLeft(cIInteractionAgent*) {}
void cTribeGroupMoveHut::BeginMove() {}
void cTribeGroupMoveHut::ApplyDrain(float) {}
void cTribeGroupMoveHut::FollowParty() {}
