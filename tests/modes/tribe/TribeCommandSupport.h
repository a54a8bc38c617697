// The tribe world with the player's members held still, and commands given
// to some of them as the input controller gives them: a transient group
// registered with the behaviour controller and a group interaction started on it.
#pragma once

#include <algorithm>
#include <vector>

#include "modes/tribe/TribeCreatureGroup.h"
#include "tests/modes/tribe/TribeTestSupport.h"

class cTribeCommandTest : public cTribeWorldTest {
 protected:
  void SetUp() override {
    cTribeWorldTest::SetUp();
    for (cTribeCreature* member : Members()) member->SetSuppressChoice(true);
  }

  tRefPtr<cTransientCreatureGroup> Command(const std::vector<cTribeCreature*>& members, cIInteraction* prototype,
                                           tTargetWord target = 0) {
    tRefPtr<cTransientCreatureGroup> group(new cTransientCreatureGroup());
    for (cTribeCreature* member : members) group->AddMember(member);
    GetBehaviorController().AddAgent(group.Get());
    EXPECT_TRUE(group->StartInteraction(prototype, target));
    return group;
  }
  // Frames until the group has finished (at most `seconds`); true when it did.
  bool PumpUntilDone(cTribeCreatureGroup* group, float seconds) {
    for (int frame = 0; frame < (int)(seconds * 20.0f) && group->HasInteraction(); ++frame) Pump(1);
    return !group->HasInteraction();
  }
  std::vector<cTribeCreature*> FirstMembers(size_t n) {
    std::vector<cTribeCreature*> all = Members();
    all.resize(std::min(n, all.size()));
    return all;
  }
};
