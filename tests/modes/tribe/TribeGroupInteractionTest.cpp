// Group interactions on the player's members: the running flag after each
// outcome, the end of a group without members, the selection after resting
// and nesting, and the walk's own locations and settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "modes/tribe/GroupInteractions.h"
#include "modes/tribe/MemberInteractions.h"
#include "modes/tribe/TribeStatics.h"
#include "sim/behavior/MemberInteractionDecorator.h"
#include "tests/modes/tribe/TribeTestSupport.h"

using namespace Ru::Math;

namespace {

// A member's part that finishes on its first step, well or not as the test says.
class cOutcomePart : public cInteraction {
 public:
  static inline std::vector<cIInteractionAgent*> failing;
  static inline std::vector<cIInteractionAgent*> refusing;  // cannot start at all
  cIInteraction* Create() override { return new cOutcomePart(); }
  cIInteraction* Instantiate(cIInteractionAgent* agent, tTargetWord target) override {
    if (std::find(refusing.begin(), refusing.end(), agent) != refusing.end()) return nullptr;
    return cInteraction::Instantiate(agent, target);
  }
  std::string GetName() override { return "Outcome"; }
  uint32_t Step() override {
    SetRunning(std::find(failing.begin(), failing.end(), GetAgent()) == failing.end());
    return 0;
  }
};

// The common group pattern around that part; it notes the outcome when the party is done.
class cOutcomeGroup : public cTribeGroupInteraction {
 public:
  static inline int outcome = -1;  // -1: never done
  cIInteraction* Create() override { return new cOutcomeGroup(); }
  std::string GetName() override { return "Outcome Group"; }

 protected:
  cIInteraction* GetMemberPrototype() override {
    static cOutcomePart part;
    return &part;
  }
  void OnPartyDone() override { outcome = IsRunning() ? 1 : 0; }
};

class TribeGroupInteractionTest : public cTribeCommandTest {
 protected:
  void SetUp() override {
    cTribeCommandTest::SetUp();
    cOutcomePart::failing.clear();
    cOutcomePart::refusing.clear();
    cOutcomeGroup::outcome = -1;
  }
};

TEST_F(TribeGroupInteractionTest, TheRunningFlagTellsWhetherAnyMemberFinishedWell) {
  struct Case {
    const char* what;
    size_t failures;  // of three members, the first this many fail
    int outcome;
  } cases[] = {{"all well", 0, 1}, {"one of three well", 2, 1}, {"none well", 3, 0}};
  for (const Case& c : cases) {
    std::vector<cTribeCreature*> party = FirstMembers(3);
    cOutcomePart::failing.assign(party.begin(), party.begin() + (ptrdiff_t)c.failures);
    cOutcomeGroup::outcome = -1;
    cOutcomeGroup prototype;
    tRefPtr<cTransientCreatureGroup> group = Command(party, &prototype);
    cIInteraction* running = group->GetInteraction();
    EXPECT_TRUE(running->IsRunning()) << c.what << ": set at the start";
    Pump(1);  // the members start: the flag is cleared
    EXPECT_FALSE(running->IsRunning()) << c.what;
    ASSERT_TRUE(PumpUntilDone(group.Get(), 1.0f)) << c.what;
    EXPECT_EQ(cOutcomeGroup::outcome, c.outcome) << c.what;
    // Every member is free to choose again.
    for (cTribeCreature* member : party) {
      EXPECT_FALSE(member->HasGroup()) << c.what;
      EXPECT_FALSE(member->IsChoiceSuppressed()) << c.what;
      member->SetSuppressChoice(true);
    }
  }
}

TEST_F(TribeGroupInteractionTest, AMemberThatCannotStartIsNotWaitedFor) {
  // It once stayed in the group's list with nothing to report back, and the group never ended.
  std::vector<cTribeCreature*> party = FirstMembers(3);
  cOutcomePart::refusing = {party[1]};
  cOutcomeGroup prototype;
  tRefPtr<cTransientCreatureGroup> group = Command(party, &prototype);
  ASSERT_TRUE(PumpUntilDone(group.Get(), 1.0f));
  EXPECT_EQ(cOutcomeGroup::outcome, 1);
}

TEST_F(TribeGroupInteractionTest, AGroupWhoseMembersAllLeftEndsAtItsNextStepWithoutAResult) {
  cOutcomeGroup prototype;
  tRefPtr<cTribeCreatureGroup> group(new cTribeCreatureGroup());
  group->AddMember(Members()[0]);
  ASSERT_TRUE(group->StartInteraction(&prototype, 0));
  group->Clear();
  EXPECT_EQ(group->GetInteraction()->Step(), 0u);
  EXPECT_EQ(cOutcomeGroup::outcome, -1);
  group->EndInteraction();
}

TEST_F(TribeGroupInteractionTest, ARestedPlayerPartyIsDeselected) {
  std::vector<cTribeCreature*> party = FirstMembers(2);
  for (cTribeCreature* member : party) Objects()->SelectCreature(member);
  tRefPtr<cTransientCreatureGroup> group =
      Command(party, GetTribePrototype<cTribeGroupRests>());
  EXPECT_EQ(group->GetInteraction()->GetName(), "Group Resting");
  ASSERT_TRUE(PumpUntilDone(group.Get(), 120.0f));
  for (cTribeCreature* member : party) {
    EXPECT_FALSE(Objects()->IsSelected(member));
    EXPECT_TRUE(Vector3Equal(member->GetCommon()->GetSceneObject()->GetColour(), *Player()->GetColour()));
  }
}

TEST_F(TribeGroupInteractionTest, NestersStoppedByACriticalNeedAreDeselectedTheOthersStaySelected) {
  std::vector<cTribeCreature*> party = FirstMembers(2);
  for (cTribeCreature* member : party) Objects()->SelectCreature(member);
  party[1]->SetHunger((float)GetTribeTuningData().GetCriticalHungerLevel() - 5.0f);
  tRefPtr<cTransientCreatureGroup> group = Command(party, GetTribePrototype<cTribeGroupNests>());
  Pump(3);
  party[0]->EndInteraction();  // stops nesting of its own accord
  ASSERT_TRUE(PumpUntilDone(group.Get(), 10.0f));
  EXPECT_TRUE(Objects()->IsSelected(party[0]));
  EXPECT_FALSE(Objects()->IsSelected(party[1]));
}

TEST_F(TribeGroupInteractionTest, GatherersAllGoToTheGroupsPlant) {
  cGamePlant* plant = GetPlanetModel().CreatePlant(Vector3Add(HutPosition(), Vector3{8.0f, 0.0f, 3.0f}));
  std::vector<cTribeCreature*> party = FirstMembers(2);
  tRefPtr<cTransientCreatureGroup> group =
      Command(party, GetTribePrototype<cTribeGroupGathers>(), TargetWordOf(static_cast<cIInteractionTarget*>(plant)));
  Pump(1);
  for (cTribeCreature* member : party) {
    auto* decorator = dynamic_cast<cMemberInteractionDecorator*>(member->GetInteraction());
    ASSERT_NE(decorator, nullptr);
    EXPECT_EQ(decorator->GetInner()->GetName(), "Gathering");
    EXPECT_EQ(decorator->GetTarget(), TargetWordOf(static_cast<cIInteractionTarget*>(plant)));
  }
}

TEST_F(TribeGroupInteractionTest, AWalkGivesEveryMemberItsOwnCopyOfThePlaceWithTheWaitAndSprint) {
  std::vector<cTribeCreature*> party = FirstMembers(3);
  const Vector3 place = Vector3Add(HutPosition(), Vector3{12.0f, 0.0f, 0.0f});
  tRefPtr<cTransientCreatureGroup> group = Command(
      party, GetTribePrototype<cTribeGroupGoToNewTarget>(), TargetWordOf(new cLocation(place.x, place.y, place.z)));
  auto* walk = dynamic_cast<cTribeGroupGoToNewTarget*>(group->GetInteraction());
  ASSERT_NE(walk, nullptr);
  walk->SetWaitTime(5.0f);
  walk->SetSprint(true);
  Pump(1);
  std::vector<tTargetWord> targets;
  for (cTribeCreature* member : party) {
    auto* decorator = dynamic_cast<cMemberInteractionDecorator*>(member->GetInteraction());
    ASSERT_NE(decorator, nullptr);
    auto* own = dynamic_cast<cMemberGoToTarget*>(decorator->GetInner());
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->GetWaitTime(), 5.0f);
    EXPECT_TRUE(own->GetSprint());
    auto* location = dynamic_cast<cILocation*>(TargetOfWord(own->GetTarget()));
    ASSERT_NE(location, nullptr);
    EXPECT_EQ((Vector3{location->GetPosition()[0], location->GetPosition()[1], location->GetPosition()[2]}), place);
    EXPECT_NE(own->GetTarget(), walk->GetTarget());
    targets.push_back(own->GetTarget());
  }
  std::sort(targets.begin(), targets.end());
  EXPECT_EQ(std::unique(targets.begin(), targets.end()), targets.end());
  // A target that is no place starts nobody.
  tRefPtr<cTransientCreatureGroup> lost(new cTransientCreatureGroup());
  lost->AddMember(Members()[3]);
  GetBehaviorController().AddAgent(lost.Get());
  lost->StartInteraction(GetTribePrototype<cTribeGroupGoToNewTarget>(), 0);
  Pump(1);
  EXPECT_EQ(Members()[3]->GetInteraction(), nullptr);
}

}  // namespace
