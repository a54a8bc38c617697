// The tribe input controller under synthetic mouse and key events: the click,
// drag, double-click, long-press and camera-click thresholds, what presses
// on each kind of object do, the keys, and pointers that must not outlive
// what they point at.
#include <gtest/gtest.h>

#include "modes/tribe/GroupInteractions.h"
#include "modes/tribe/HuntInteractions.h"
#include "modes/tribe/RaidInteractions.h"
#include "modes/tribe/TribeHerd.h"
#include "modes/tribe/TribeTool.h"
#include "sim/tuning/SharedTuningData.h"
#include "tests/modes/tribe/TribeInputSupport.h"
#include "world/planet/GamePlant.h"

using Ru::Math::Vector3;

namespace {
constexpr int kGroundX = 200, kGroundY = 300;  // empty ground west of the hut
}

// A click may wander 20 squared pixels; one more begins a drag, which clears
// the selection and paints a new one.
TEST_F(cTribeInputTest, DragBeginsOutsideTheDeadZone) {
  const struct {
    int dx, dy;
    bool drag;
  } cases[] = {{4, 2, false}, {2, 4, false}, {-4, -2, false}, {5, 2, true}, {4, 3, true}, {0, 5, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy);
    Objects()->ClearSelection();
    SelectMember(0);
    Input()->OnLeftButtonDown(kGroundX, kGroundY);
    Input()->OnMouseMove(kGroundX + c.dx, kGroundY + c.dy);
    EXPECT_EQ(Input()->IsDragging(), c.drag);
    EXPECT_EQ(SelectionSize(), c.drag ? 0u : 1u);
    Input()->OnLeftButtonUp(kGroundX + c.dx, kGroundY + c.dy);
  }
}

TEST_F(cTribeInputTest, DragPaintsMembersWhiteAndOneFromAMemberAddsToTheSelection) {
  view.Put(MemberX(0), 240, Members()[0]);
  Input()->OnLeftButtonDown(kGroundX, kGroundY);
  Input()->OnMouseMove(MemberX(0) + 1, 240);  // the brush (radius 3 = 30 pixels) covers member 0 only
  Input()->OnLeftButtonUp(MemberX(0) + 1, 240);
  ASSERT_EQ(SelectionSize(), 1u);
  EXPECT_TRUE(Objects()->IsSelected(Members()[0]));

  // A drag from an own member has no dead zone and keeps that member.
  view.Put(MemberX(1), 240, Members()[1]);
  Input()->OnLeftButtonDown(MemberX(1), 240);
  Input()->OnMouseMove(MemberX(1) + 1, 240);
  EXPECT_TRUE(Input()->IsDragging());
  Input()->OnMouseMove(MemberX(0), 240);
  Input()->OnLeftButtonUp(MemberX(0), 240);
  EXPECT_EQ(SelectionSize(), 2u);
  EXPECT_EQ(Orders().size(), 0u);
}

TEST_F(cTribeInputTest, BrushGrowsWithTheSelection) {
  SetTuningFloat("triberadiusincrement", 0.5f);
  for (int i = 0; i < 3; ++i) Input()->Select(Members()[i]);
  EXPECT_FLOAT_EQ(Input()->GetMultiSelector()->GetRadius(),
                  GetSharedTuningData().GetTribeSelectionRadius() + 1.5f);
  EXPECT_FALSE(Input()->CanSelect(Player()));  // only members of the player tribe
}

TEST_F(cTribeInputTest, ClickSendsTheSelectionAndKeepsIt) {
  SelectMember(0);
  Click(kGroundX, kGroundY);
  auto* go = LastOrderAs<cTribeGroupGoToNewTarget>();
  ASSERT_NE(go, nullptr);
  const float* target = dynamic_cast<cLocation*>(TargetOfWord(go->GetTarget()))->GetPosition();
  EXPECT_EQ((Vector3{target[0], target[1], target[2]}), view.GroundPoint(kGroundX, kGroundY));
  EXPECT_EQ(SelectionSize(), 1u);

  // Off the planet nothing is ordered.
  const size_t before = Orders().size();
  clock.Advance(1000);
  Click(-10, kGroundY);
  EXPECT_EQ(Orders().size(), before);
}

// Releases under 500 ms apart make the second a double click, which sends the
// selection running; every sent group waits 5 seconds for its stragglers.
TEST_F(cTribeInputTest, DoubleClickWithin500MsSendsTheSelectionRunning) {
  for (uint32_t gap : {499u, 500u}) {
    SCOPED_TRACE(gap);
    SelectMember(0);
    clock.Advance(1000);
    Click(kGroundX, kGroundY);
    clock.Advance(gap);
    Click(kGroundX, kGroundY);
    auto* go = LastOrderAs<cTribeGroupGoToNewTarget>();
    ASSERT_NE(go, nullptr);
    EXPECT_EQ(go->GetSprint(), gap < 500);
    EXPECT_FLOAT_EQ(go->GetWaitTime(), 5.0f);
  }
}

TEST_F(cTribeInputTest, LongPressOnGroundOpensTheGroundMenuAfter300Ms) {
  SelectMember(0);
  Input()->OnLeftButtonDown(kGroundX, kGroundY);
  clock.Advance(300);
  Input()->Update(0);
  EXPECT_EQ(Input()->GetOpenPieMenu(), nullptr);
  clock.Advance(1);
  Input()->Update(0);
  EXPECT_EQ(Input()->GetOpenPieMenu(), Input()->GetMenu(3));

  // A release stops the timer: a short click never opens it.
  Input()->GetMenu(3)->Hide();
  Input()->OnLeftButtonDown(kGroundX, kGroundY);
  clock.Advance(100);
  Input()->OnLeftButtonUp(kGroundX, kGroundY);
  clock.Advance(1000);
  Input()->Update(0);
  EXPECT_EQ(Input()->GetOpenPieMenu(), nullptr);
}

TEST_F(cTribeInputTest, ShortRightClickMovesTheCameraAndALongOneOnlyDrags) {
  for (uint32_t held : {499u, 500u}) {
    view.cameraMoves.clear();
    Input()->OnRightButtonDown(10, 20);
    clock.Advance(held);
    Input()->Update(0);
    Input()->OnRightButtonUp(10, 20);
    EXPECT_EQ(view.cameraMoves.size(), held < 500 ? 1u : 0u) << held;
  }
  EXPECT_EQ(view.dragStarts, 2);
  EXPECT_EQ(view.dragFrames, 2);
}

TEST_F(cTribeInputTest, PressOnAMemberSelectsItAloneThenOpensItsMenu) {
  SelectMember(1);
  view.Put(MemberX(0), 240, Members()[0]);
  Input()->OnLeftButtonDown(MemberX(0), 240);
  Input()->OnLeftButtonUp(MemberX(0), 240);
  EXPECT_EQ(SelectionSize(), 1u);
  EXPECT_TRUE(Objects()->IsSelected(Members()[0]));
  EXPECT_EQ(Orders().size(), 0u);  // a press on an own member sends nobody

  Input()->OnLeftButtonDown(MemberX(0), 240);
  EXPECT_EQ(Input()->GetOpenPieMenu(), Input()->GetMenu(0));
  // A press beside its items closes it.
  Input()->OnLeftButtonUp(MemberX(0), 240);
  Input()->OnLeftButtonDown(5, 5);
  EXPECT_EQ(Input()->GetOpenPieMenu(), nullptr);
}

// Fault mended: an open menu never got the pointer's moves, so a pressed item
// stayed lit after the pointer left it.
TEST_F(cTribeInputTest, AnOpenMenusPressedItemLightsOnlyUnderThePointer) {
  SelectMember(0);
  view.Put(MemberX(0), 240, Members()[0]);
  Input()->OnLeftButtonDown(MemberX(0), 240);
  // Still opening, the items lie on one another: the one drawn on top takes the press.
  cGLFPieMenu* menu = Input()->GetMenu(0);
  cGLFDialogControl* item = menu->GetControl(menu->GetControlCount() - 1);
  const int x = (int)((item->X0() + item->X1()) / 2), y = (int)((item->Y0() + item->Y1()) / 2);
  Input()->OnLeftButtonDown(x, y);
  Input()->OnMouseMove(x + 300, y + 300);
  EXPECT_FALSE(item->IsPressed());
  Input()->OnMouseMove(x, y);
  EXPECT_TRUE(item->IsPressed());
}

TEST_F(cTribeInputTest, PressOnAPlantOrAHerdRunsItsSingleItemAtOnce) {
  cGamePlant* plant = GetPlanetModel().CreatePlant(view.GroundPoint(100, 100));
  view.Put(100, 100, plant);
  SelectMember(0);
  Input()->OnLeftButtonDown(100, 100);
  auto* gather = LastOrderAs<cTribeGroupGathers>();
  ASSERT_NE(gather, nullptr);
  EXPECT_EQ(gather->GetTarget(), TargetWordOf(plant));
  EXPECT_EQ(Input()->GetOpenPieMenu(), nullptr);
  EXPECT_EQ(SelectionSize(), 0u);

  auto* herd = GetDataManager()->CreateObject<cTribeHerd>();
  GetDataManager()->CommitPending();
  view.Put(120, 100, herd);
  SelectMember(0);
  herd->SetHunted(1);  // a herd being hunted takes no second party
  Input()->OnLeftButtonDown(120, 100);
  EXPECT_EQ(LastOrderAs<cTribeGroupHunts>(), nullptr);
  herd->SetHunted(0);
  Input()->OnLeftButtonDown(120, 100);
  auto* hunt = LastOrderAs<cTribeGroupHunts>();
  ASSERT_NE(hunt, nullptr);
  EXPECT_EQ(hunt->GetTarget(), TargetWordOf(herd));
  GetDataManager()->Remove(herd);
  herd->ReleaseSceneObjects();
}

TEST_F(cTribeInputTest, RivalHutOpensItsMenuOnlyWithASelectionAndPeople) {
  cTribe* rivals = Objects()->CreateNpcTribe(view.GroundPoint(600, 100));
  GetDataManager()->CommitPending();
  view.Put(600, 100, rivals->GetHut());
  Input()->OnLeftButtonDown(600, 100);
  EXPECT_EQ(Input()->GetOpenPieMenu(), nullptr);
  EXPECT_EQ(Input()->GetClickedHut(), rivals->GetHut());
  SelectMember(0);
  Input()->OnLeftButtonDown(600, 100);
  EXPECT_EQ(Input()->GetOpenPieMenu(), Input()->GetMenu(6));
}

TEST_F(cTribeInputTest, APressedToolFollowsTheMouseUntilTheNextPress) {
  cTribeTool* tool = Player()->AddTool(kTribeToolWeapon, 1, view.GroundPoint(300, 300));
  GetDataManager()->CommitPending();
  view.Put(300, 300, tool);
  SelectMember(0);
  Input()->OnLeftButtonDown(300, 300);
  EXPECT_EQ(Input()->GetToolBeingPlaced(), tool);
  EXPECT_EQ(SelectionSize(), 0u);
  Input()->OnLeftButtonUp(300, 300);
  Input()->OnMouseMove(350, 260);
  const Vector3 ground = view.GroundPoint(350, 260);
  // 1.0 over the lowest ground of its footprint: never higher over the ground under the mouse.
  EXPECT_LE(Ru::Math::Vector3Length(tool->GetPosition()), Ru::Math::Vector3Length(ground) + 1.0f + 1e-3f);
  EXPECT_GT(Ru::Math::Vector3Length(tool->GetPosition()), Ru::Math::Vector3Length(ground) - 1.0f);
  Input()->OnLeftButtonDown(350, 260);
  EXPECT_EQ(Input()->GetToolBeingPlaced(), nullptr);
}

// ---- keys ----

// The space key walks through the tribe starting with the second member. When
// deaths shrink the tribe below the counter it starts again at the first
// member instead of running past the end of the list.
TEST_F(cTribeInputTest, SpaceCycleWrapsWhenDeathsLeaveTheCounterPastThePopulation) {
  const std::vector<cTribeCreature*> members = Members();
  ASSERT_GE(members.size(), 4u);
  Input()->OnKeyPress(' ', 0, 0);
  EXPECT_TRUE(Objects()->IsSelected(members[1]));
  EXPECT_EQ(SelectionSize(), 1u);
  EXPECT_EQ(view.centred.size(), 1u);
  Input()->OnKeyPress(' ', 0, 0);
  Input()->OnKeyPress(' ', 0, 0);  // the counter is now 3
  Objects()->ClearSelection();
  for (size_t i = 1; i < members.size(); ++i) Objects()->KillCreature(members[i]);
  Pump(1);
  ASSERT_EQ(Player()->GetPopulation(), 1u);
  Input()->OnKeyPress(' ', 0, 0);
  EXPECT_TRUE(Objects()->IsSelected(members[0]));
}

TEST_F(cTribeInputTest, KeysActOnTheSelection) {
  SelectMember(0);
  cTribeCreature* member = Members()[0];
  member->SetHunger(50.0f), member->SetEnergy(50.0f), member->SetHealth(50.0f);
  for (unsigned char key : {'1', '2', '3'}) Input()->OnKeyPress(key, 0, 0);
  EXPECT_FLOAT_EQ(member->GetHunger(), 30.0f);
  EXPECT_FLOAT_EQ(member->GetEnergy(), 30.0f);
  EXPECT_FLOAT_EQ(member->GetHealth(), 30.0f);

  Input()->OnKeyPress('H', 0, 0);  // upper case does nothing
  EXPECT_EQ(Orders().size(), 0u);
  Input()->OnKeyPress('h', 0, 0);
  EXPECT_NE(LastOrderAs<cTribeGroupHeals>(), nullptr);
  EXPECT_EQ(SelectionSize(), 1u);  // keys keep the selection

  const float food = Player()->GetFood();
  Input()->OnKeyPress('F', 0, 0);
  EXPECT_FLOAT_EQ(Player()->GetFood(), food + 10.0f);
  const uint32_t population = Player()->GetPopulation();
  Input()->OnKeyPress('n', 0, 0);
  EXPECT_EQ(Player()->GetPopulation(), population + 1);
  Input()->OnKeyPress('`', 0, 0);
  EXPECT_EQ(view.centred.back(), HutPosition());
  Input()->OnKeyPress(27, 0, 0);
  EXPECT_EQ(SelectionSize(), 0u);
}

// ---- pointers into the world ----

// A bought level replaces the hovered tool; the tribe's herd code removes a
// finished herd. Neither may leave the controller holding a freed object.
TEST_F(cTribeInputTest, RemovedToolOrHerdIsForgottenByHoverAndClick) {
  cTribeTool* tool = Player()->AddTool(kTribeToolWeapon, 1, view.GroundPoint(300, 300));
  GetDataManager()->CommitPending();
  view.Put(300, 300, tool);
  Input()->OnMouseMove(300, 300);
  ASSERT_EQ(Input()->GetHoveredTool(), tool);
  Player()->RemoveTools(kTribeToolWeapon, 1);
  EXPECT_EQ(Input()->GetHoveredTool(), nullptr);

  auto* herd = GetDataManager()->CreateObject<cTribeHerd>();
  GetDataManager()->CommitPending();
  view.Put(120, 100, herd);
  Input()->OnMouseMove(120, 100);
  Input()->OnLeftButtonDown(120, 100);
  Input()->OnLeftButtonUp(120, 100);
  ASSERT_EQ(Input()->GetHoveredHerd(), herd);
  ASSERT_EQ(Input()->GetClickedHerd(), herd);
  GetDataManager()->Remove(herd);
  herd->ReleaseSceneObjects();
  EXPECT_EQ(Input()->GetHoveredHerd(), nullptr);
  EXPECT_EQ(Input()->GetClickedHerd(), nullptr);
  view.Clear();  // the fake's pick objects held the last references
  overlay.calls.clear();
  Input()->Render();
  EXPECT_TRUE(overlay.Of(cDrawCall::kText).empty());
}
