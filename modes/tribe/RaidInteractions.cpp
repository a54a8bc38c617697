#include "modes/tribe/RaidInteractions.h"

void cMemberRaids::SetGroupInteraction(cGroupInteraction*) {}
void cMemberRecruits::SetGroupInteraction(cGroupInteraction*) {}

tTargetWord cTribeGroupRaids::GetDefaultTarget() { return 0; }
void cTribeGroupRaids::BeginRaid() {}
void cTribeGroupRaids::ReturnRaider(cTribeCreature*) {}
void cTribeGroupRaids::ReportResults() {}

void cTribeGroupRecruits::BeginRecruiting() {}
void cTribeGroupRecruits::ReturnRecruiter(cTribeCreature*) {}
void cTribeGroupRecruits::ReportResults() {}

bool cTribeGroupAttacks::SendAllTo(const Ru::Math::Vector3&) { return false; }
cTribeCreature* cTribeGroupAttacks::FindArrivedMember() { return nullptr; }
void cTribeGroupAttacks::StartFights(cTribeCreature*) {}
bool cTribeGroupAttacks::IsWithinFightRange(cTribeCreature*, cTribeCreature*) { return false; }
void cTribeGroupAttacks::UnloadCarriedFood() {}
