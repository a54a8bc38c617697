#include "modes/tribe/MemberInteractions.h"

bool cMemberRests::ShouldStop() { return false; }
bool cMemberHeals::ShouldStop() { return false; }
bool cMemberEats::ShouldStop() { return false; }

tTargetWord cMemberGathers::GetDefaultTarget() { return 0; }
bool cMemberGathers::IsInLowNeed() { return false; }

void cMemberDefends::GoToGuardPoint() {}

void cMemberGoToTarget::End() {
  cIInteractionTarget* target = TargetOfWord(GetTarget());
  SetTarget(0);
  if (dynamic_cast<cLocation*>(target)) delete target;
}
