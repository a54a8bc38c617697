// Creature groups: membership in joining order with a reference per entry,
// the transient group's copy and its leaving the behaviour controller, and
// the two commands a group gives its members.
#include <gtest/gtest.h>

#include "math/Math.h"
#include "modes/tribe/MemberInteractions.h"
#include "modes/tribe/TribeCreatureGroup.h"
#include "modes/tribe/TribeStatics.h"
#include "sim/tuning/SharedTuningData.h"
#include "TribeCreatureSupport.h"

using namespace Ru::Math;

namespace {

struct TribeGroupTest : TribeCreatureFixture {
  template <class Group>
  tRefPtr<Group> MakeGroup(bool registered) {
    tRefPtr<Group> group(new Group());
    if (registered) GetBehaviorController().AddAgent(group.Get());
    return group;
  }
  static std::vector<cTribeCreature*> Members(cTribeCreatureGroup& g) {
    std::vector<cTribeCreature*> out;
    for (auto it = g.MembersBegin(); it != g.MembersEnd(); ++it) out.push_back(it->Get());
    return out;
  }
};

// A plain agent that is not a tribe creature.
struct cOtherAgent : cInteractionAgent {
  void* Cast(uint32_t) override { return nullptr; }
  int AddRef() override { return ++count; }
  int Release() override { return --count; }
  tCandidateList* GetCandidates() override { return nullptr; }
  int count = 1;
};

}  // namespace

TEST_F(TribeGroupTest, MembersKeepJoiningOrderAndOneRemovalTakesEveryEntryOfACreature) {
  auto group = MakeGroup<cTribeCreatureGroup>(false);
  cTribeCreature* a = MakeCreature();
  cTribeCreature* b = MakeCreature();
  const int before = a->GetRefCount();
  group->AddMember(a);
  group->AddMember(b);
  group->AddMember(a);
  EXPECT_EQ(Members(*group), (std::vector<cTribeCreature*>{a, b, a}));
  EXPECT_EQ(a->GetRefCount(), before + 2) << "one reference per entry";

  tAgentList agents;
  group->GetMembers(agents);
  ASSERT_EQ(agents.size(), 3u);
  EXPECT_EQ(agents[1].Get(), static_cast<cIInteractionAgent*>(b));

  EXPECT_TRUE(group->RemoveMember(a));
  EXPECT_EQ(Members(*group), (std::vector<cTribeCreature*>{b}));
  EXPECT_FALSE(group->Contains(a));
  EXPECT_FALSE(group->RemoveMember(a));
  agents.clear();
  EXPECT_EQ(a->GetRefCount(), before);
}

TEST_F(TribeGroupTest, RemovingAnAgentWorksOnlyForTribeCreatures) {
  auto group = MakeGroup<cTribeCreatureGroup>(false);
  cTribeCreature* a = MakeCreature();
  group->AddMember(a);
  cOtherAgent other;
  EXPECT_FALSE(group->RemoveAgent(&other));
  EXPECT_EQ(group->GetMemberCount(), 1u);
  EXPECT_TRUE(group->RemoveAgent(a));
  EXPECT_EQ(group->GetMemberCount(), 0u);
}

TEST_F(TribeGroupTest, OnlyATransientGroupLeavesTheControllerWithItsLastMember) {
  auto selection = MakeGroup<cTribeCreatureGroup>(true);
  auto command = MakeGroup<cTransientCreatureGroup>(true);
  cTribeCreature* a = MakeCreature();
  cTribeCreature* b = MakeCreature();
  for (cTribeCreatureGroup* g : {static_cast<cTribeCreatureGroup*>(selection.Get()),
                                 static_cast<cTribeCreatureGroup*>(command.Get())}) {
    g->AddMember(a);
    g->AddMember(b);
    g->RemoveMember(a);
    EXPECT_TRUE(GetBehaviorController().ContainsAgent(g)) << "a member is left";
    static_cast<cIGroupAgent*>(g)->RemoveMember(static_cast<cIInteractionAgent*>(b));  // as a leaving member does
  }
  EXPECT_TRUE(GetBehaviorController().ContainsAgent(selection.Get()));
  EXPECT_FALSE(GetBehaviorController().ContainsAgent(command.Get()));
}

TEST_F(TribeGroupTest, StartingOnAnEmptyTransientGroupFailsAndUnregistersIt) {
  auto command = MakeGroup<cTransientCreatureGroup>(true);
  EXPECT_FALSE(command->StartInteraction(GetTribePrototype<cMemberIdles>(), 0));
  EXPECT_FALSE(GetBehaviorController().ContainsAgent(command.Get()));
}

TEST_F(TribeGroupTest, ATransientCopyTakesItsOwnReferencesAndOutlivesTheSelection) {
  auto selection = MakeGroup<cTribeCreatureGroup>(false);
  cTribeCreature* a = MakeCreature();
  cTribeCreature* b = MakeCreature();
  selection->AddMember(a);
  selection->AddMember(b);
  const int before = a->GetRefCount();
  tRefPtr<cTransientCreatureGroup> copy(new cTransientCreatureGroup(*selection));
  EXPECT_EQ(Members(*copy), (std::vector<cTribeCreature*>{a, b}));
  EXPECT_EQ(a->GetRefCount(), before + 1);
  selection->Clear();
  EXPECT_EQ(Members(*copy), (std::vector<cTribeCreature*>{a, b})) << "the copy is its own list";
  EXPECT_TRUE(copy->GetCandidates()->empty()) << "groups never choose for themselves";
}

TEST_F(TribeGroupTest, SendingSpreadsMembersAroundThePointAndAnEmptyGroupDoesNothing) {
  auto group = MakeGroup<cTribeCreatureGroup>(false);
  const Vector3 point{0.0f, 510.0f, 0.0f};
  group->SendMembersTo(point);  // nothing to move

  std::vector<cTribeCreature*> members;
  for (int i = 0; i < 6; ++i) members.push_back(MakeCreature(Vector3{0.1f * i, 1.0f, 0.0f}));
  for (cTribeCreature* m : members) group->AddMember(m);
  group->SendMembersTo(point);
  const float selection = GetSharedTuningData().GetTribeSelectionRadius();
  const float scale = GetSharedTuningData().GetCreatureScale(0);
  EXPECT_LT(GetPlanetModel().GetSurfaceDistance(*members[0]->GetDestination(), point), 2.0f * selection + 0.1f);
  for (size_t i = 1; i < members.size(); ++i) {
    // A point one to two scales out, then anywhere within the default radius of it.
    EXPECT_LT(GetPlanetModel().GetSurfaceDistance(*members[i]->GetDestination(), point),
              2.0f * scale + 2.0f * selection + 0.1f)
        << i;
    EXPECT_FALSE(Vector3Equal(*members[i]->GetDestination(), Vector3{})) << i;
  }
}

TEST_F(TribeGroupTest, GoToTargetGivesEveryMemberItsOwnCopyOfWhereTheTargetIs) {
  auto group = MakeGroup<cTribeCreatureGroup>(false);
  cTribeCreature* a = MakeCreature();
  cTribeCreature* b = MakeCreature();
  group->AddMember(a);
  group->AddMember(b);

  struct cPlainTarget : cIInteractionTarget {} notAPlace;
  group->StartGoToTarget(&notAPlace);
  EXPECT_FALSE(a->HasInteraction());

  cLocation target(1.0f, 2.0f, 3.0f);
  group->StartGoToTarget(&target);
  cIInteractionTarget* seen[2] = {};
  int i = 0;
  for (cTribeCreature* m : {a, b}) {
    ASSERT_TRUE(m->HasInteraction());
    EXPECT_EQ(m->GetInteraction()->GetName(), "Go to location");
    seen[i] = TargetOfWord(m->GetInteraction()->GetTarget());
    auto* place = dynamic_cast<cILocation*>(seen[i]);
    ASSERT_NE(place, nullptr);
    EXPECT_EQ(place->GetPosition()[1], 2.0f);
    ++i;
  }
  EXPECT_NE(seen[0], seen[1]);
  EXPECT_NE(seen[0], static_cast<cIInteractionTarget*>(&target));
  a->EndInteraction();  // the walks free their own locations
  b->EndInteraction();
}
