// Group interactions, member agents and the member decorator.
#include <gtest/gtest.h>

#include "tests/sim/behavior/BehaviorFakes.h"

namespace {

class GroupTest : public BehaviorTest {
 protected:
  void SetUp() override {
    BehaviorTest::SetUp();
    fixturePrototypes = 2;  // hunt and part
  }
  void TearDown() override {
    group = nullptr;
    members.clear();
    BehaviorTest::TearDown();
  }
  // A group agent and its members, all registered so that Clear ends whatever they run.
  void MakeGroup(int memberCount) {
    group = new cFakeGroupAgent;
    controller.AddAgent(group.Get());
    for (int i = 0; i < memberCount; ++i) {
      tRefPtr<cFakeMember> member(new cFakeMember);
      controller.AddAgent(member.Get());
      group->members.emplace_back(member.Get());
      members.push_back(member);
    }
  }
  cGroupInteraction* StartHunt() {
    if (!group->StartInteraction(&hunt, 0)) return nullptr;
    return dynamic_cast<cGroupInteraction*>(group->GetInteraction());
  }

  cFakeGroupInteraction hunt{"hunt"};
  cFakeInteraction part{"part", 0, 1000};
  tRefPtr<cFakeGroupAgent> group;
  std::vector<tRefPtr<cFakeMember>> members;
};

TEST_F(GroupTest, InstantiateNeedsAGroupAgentWithMembersAndLeavesNothingBehind) {
  const int before = FakeCounts::interactions;
  tRefPtr<cFakeAgent> loner(new cFakeAgent);
  tRefPtr<cFakeGroupAgent> empty(new cFakeGroupAgent);
  EXPECT_EQ(hunt.Instantiate(loner.Get(), 0), nullptr);
  EXPECT_EQ(hunt.Instantiate(empty.Get(), 0), nullptr);
  EXPECT_FALSE(empty->StartInteraction(&hunt, 0));
  EXPECT_EQ(FakeCounts::interactions, before);
  EXPECT_EQ(loner->refs, 1);
  EXPECT_EQ(empty->refs, 1);
}

TEST_F(GroupTest, InstantiateSuppressesAndPointsMembersAndDetachingFreesThem) {
  MakeGroup(2);
  tRefPtr<cFakeAgent> plain(new cFakeAgent);  // a member that is no member agent
  group->members.emplace_back(plain.Get());
  cGroupInteraction* instance = StartHunt();
  ASSERT_NE(instance, nullptr);
  for (auto& member : members) {
    EXPECT_TRUE(member->IsChoiceSuppressed());
    EXPECT_EQ(member->GetGroup(), instance);
  }
  EXPECT_TRUE(plain->IsChoiceSuppressed());
  EXPECT_TRUE(instance->HasNoMembers());  // pointing is not joining

  group->EndInteraction();  // queued: members still pointing at it leave
  for (auto& member : members) {
    EXPECT_FALSE(member->IsChoiceSuppressed());
    EXPECT_FALSE(member->HasGroup());
  }
  EXPECT_EQ(group->removeCalls, 2);
  EXPECT_EQ(dynamic_cast<cFakeGroupInteraction*>(instance)->membersLeft, 2);
  plain->SetSuppressChoice(false);
}

TEST_F(GroupTest, ControllerChoosesForMembersAgainOnceTheGroupInteractionEnds) {
  MakeGroup(1);
  cFakeInteraction graze("graze", 1, 1000);
  members[0]->candidates = {&graze};
  ASSERT_NE(StartHunt(), nullptr);
  controller.Update(16);
  EXPECT_FALSE(members[0]->HasInteraction());  // the group decides for it

  dynamic_cast<cFakeGroupInteraction*>(group->GetInteraction())->finished = true;
  controller.Update(16);
  controller.Update(16);
  ASSERT_TRUE(members[0]->HasInteraction());
  EXPECT_EQ(members[0]->GetInteraction()->GetName(), "graze");
}

TEST_F(GroupTest, JoiningTwiceFailsAndHoldsOneReference) {
  MakeGroup(1);
  cGroupInteraction* instance = StartHunt();
  ASSERT_NE(instance, nullptr);
  cFakeMember* member = members[0].Get();
  const int refs = member->refs;
  EXPECT_TRUE(instance->AddMember(member));
  EXPECT_FALSE(instance->AddMember(member));
  EXPECT_EQ(member->refs, refs + 1);
  EXPECT_EQ(instance->GetJoinedCount(), 1u);
  EXPECT_TRUE(instance->RemoveMember(member));
  EXPECT_FALSE(instance->RemoveMember(member));
  EXPECT_EQ(member->refs, refs);
}

TEST_F(GroupTest, MemberLeavingWithItsPartRunningHandsTheWorkBack) {
  MakeGroup(2);
  cGroupInteraction* instance = StartHunt();
  ASSERT_NE(instance, nullptr);
  ASSERT_TRUE(instance->StartMember(members[0].Get(), &part, 0));
  EXPECT_FALSE(instance->IsRunning());  // waits for its members
  instance->AddMember(members[1].Get());  // joined, but running nothing

  EXPECT_TRUE(instance->RemoveMember(members[1].Get()));
  EXPECT_FALSE(instance->IsRunning());
  EXPECT_TRUE(instance->RemoveMember(members[0].Get()));
  EXPECT_TRUE(instance->IsRunning());
}

TEST_F(GroupTest, StartMembersStopsAtTheFirstFailure) {
  MakeGroup(3);
  members[1]->refuseStarts = true;
  cGroupInteraction* instance = StartHunt();
  ASSERT_NE(instance, nullptr);
  EXPECT_FALSE(instance->StartMembers(&part, 0));
  ASSERT_TRUE(members[0]->HasInteraction());
  EXPECT_EQ(members[0]->GetInteraction()->GetName(), "part");
  EXPECT_FALSE(members[1]->HasInteraction());
  EXPECT_FALSE(members[2]->HasInteraction());  // never tried
  EXPECT_EQ(instance->GetJoinedCount(), 2u);   // the failing one joined before its start failed

  group->members.clear();
  EXPECT_FALSE(instance->StartMembers(&part, 0));  // nobody to start
}

TEST_F(GroupTest, SettingTheSameGroupAgainChangesNothing) {
  MakeGroup(1);
  cGroupInteraction* instance = StartHunt();
  ASSERT_NE(instance, nullptr);
  EXPECT_FALSE(members[0]->SetGroup(instance));
  EXPECT_EQ(group->removeCalls, 0);
  EXPECT_TRUE(members[0]->IsChoiceSuppressed());
  EXPECT_EQ(members[0]->GetGroup(), instance);
}

TEST_F(GroupTest, EndingADecoratedPartLeavesTheJoinedListButNotTheGroup) {
  MakeGroup(1);
  cGroupInteraction* instance = StartHunt();
  ASSERT_NE(instance, nullptr);
  ASSERT_TRUE(instance->StartMember(members[0].Get(), &part, 0));
  EXPECT_EQ(instance->GetJoinedCount(), 1u);
  members[0]->EndInteraction();
  EXPECT_TRUE(instance->HasNoMembers());
  EXPECT_TRUE(members[0]->IsChoiceSuppressed());
  EXPECT_EQ(members[0]->GetGroup(), instance);
}

TEST_F(GroupTest, DecoratorForwardsScoreStartsEnabledAndIntroducesTheGroup) {
  cFakeMemberPart inner("inner", 42);
  inner.canPerform = false;
  cMemberInteractionDecorator decorator(inner.Create(), &hunt);
  tRefPtr<cFakeMember> member(new cFakeMember);
  EXPECT_EQ(decorator.Score(member.Get(), 0), 42);
  EXPECT_FALSE(decorator.CanPerform(member.Get(), 0));
  EXPECT_TRUE(decorator.IsEnabled());
  decorator.SetEnabled(false);
  EXPECT_FALSE(decorator.IsEnabled());
  EXPECT_TRUE(decorator.GetInner()->IsEnabled());
  EXPECT_EQ(dynamic_cast<cFakeMemberPart*>(decorator.GetInner())->told, &hunt);
  EXPECT_EQ(decorator.GetName(), "inner");
}

// A member dropped from its group agent without leaving still points at the
// group interaction; deleting the interaction must not leave that pointer dangling.
TEST_F(GroupTest, DeletedGroupInteractionLeavesNoDanglingGroupPointer) {
  MakeGroup(1);
  ASSERT_NE(StartHunt(), nullptr);
  group->members.clear();
  group->EndInteraction();  // detaching finds nobody
  EXPECT_TRUE(members[0]->HasGroup());
  controller.Update(0);
  controller.Update(0);
  EXPECT_FALSE(members[0]->HasGroup());
  EXPECT_FALSE(members[0]->IsChoiceSuppressed());
  members[0]->LeaveGroup();
}

TEST_F(GroupTest, DecoratedPartMayOutliveItsGroupInteraction) {
  MakeGroup(1);
  cGroupInteraction* instance = StartHunt();
  ASSERT_NE(instance, nullptr);
  ASSERT_TRUE(instance->StartMember(members[0].Get(), &part, 0));
  group->EndInteraction();
  controller.Update(0);
  controller.Update(0);  // the group interaction is gone
  auto* decorator = dynamic_cast<cMemberInteractionDecorator*>(members[0]->GetInteraction());
  ASSERT_NE(decorator, nullptr);
  EXPECT_EQ(decorator->GetGroupInteraction(), nullptr);
  members[0]->EndInteraction();  // would report to freed memory
}

TEST_F(GroupTest, MovingToAnotherGroupKeepsTheMemberSuppressed) {
  MakeGroup(1);
  ASSERT_NE(StartHunt(), nullptr);
  tRefPtr<cFakeGroupAgent> herd(new cFakeGroupAgent);
  controller.AddAgent(herd.Get());
  herd->members.emplace_back(members[0].Get());
  ASSERT_TRUE(herd->StartInteraction(&hunt, 0));
  EXPECT_EQ(members[0]->GetGroup(), herd->GetInteraction());
  EXPECT_EQ(group->removeCalls, 1);  // the old group heard of it
  EXPECT_TRUE(members[0]->IsChoiceSuppressed());
}

TEST_F(GroupTest, ChoosingForItselfTakesAMemberOutOfItsGroup) {
  MakeGroup(1);
  cFakeInteraction graze("graze", 1, 1000);
  members[0]->candidates = {&graze};
  cGroupInteraction* instance = StartHunt();
  ASSERT_NE(instance, nullptr);
  members[0]->SetSuppressChoice(false);
  controller.Update(16);
  ASSERT_TRUE(members[0]->HasInteraction());
  EXPECT_FALSE(members[0]->HasGroup());
  EXPECT_EQ(group->removeCalls, 1);
  EXPECT_EQ(dynamic_cast<cFakeGroupInteraction*>(instance)->membersLeft, 1);
}

TEST_F(GroupTest, StartingAnInteractionTellsTheOldGroupAgentOnlyWhenTheGroupChanged) {
  MakeGroup(1);
  ASSERT_NE(StartHunt(), nullptr);
  cFakeMember* member = members[0].Get();
  cFakeInteraction stay("stay", 0, 1000);
  ASSERT_TRUE(member->StartInteraction(&stay, 0));  // started by game code: stays in its group
  EXPECT_EQ(group->removeCalls, 0);
  EXPECT_TRUE(member->HasGroup());

  tRefPtr<cFakeGroupAgent> herd(new cFakeGroupAgent);
  controller.AddAgent(herd.Get());
  herd->members.emplace_back(new cFakeMember);  // the herd needs someone to instantiate for
  controller.AddAgent(herd->members.back().Get());
  ASSERT_TRUE(herd->StartInteraction(&hunt, 0));
  cFakeInteraction defect("defect", 0, 1000);
  defect.onStart = [&](cFakeInteraction*) { member->SetGroup(herd->GetInteraction()); };
  ASSERT_TRUE(member->StartInteraction(&defect, 0));
  EXPECT_EQ(member->GetGroup(), herd->GetInteraction());
  EXPECT_EQ(group->removeCalls, 2);  // once on leaving, once more for the changed group agent
  EXPECT_EQ(herd->removeCalls, 0);
}

}  // namespace
