// The command pie menus: their items, and the group order each item starts.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "modes/tribe/GroupInteractions.h"
#include "modes/tribe/HuntInteractions.h"
#include "modes/tribe/RaidInteractions.h"
#include "tests/modes/tribe/TribeInputSupport.h"
#include "world/planet/GamePlant.h"
#include "world/scene/SceneObject.h"

namespace {
using tIsOrder = std::function<bool(cIInteraction*)>;
template <class T>
tIsOrder Is() {
  return [](cIInteraction* order) { return dynamic_cast<T*>(order) != nullptr; };
}

std::string Items(cGLFPieMenu* menu) {
  std::string items;
  for (int i = 0; i < menu->GetControlCount(); ++i)
    items += menu->GetControl(i)->GetLabel() + " " + std::to_string(menu->GetControl(i)->GetId()) + ";";
  return items;
}
}  // namespace

TEST_F(cTribeInputTest, MenusHoldTheirItemsInOrder) {
  const char* expected[cTribeInputController::kMenuCount] = {
      "Rest 3;Heal 4;Nest 5;Defend 7;",
      "Buy Tool 200;Move Hut 201;",
      nullptr,  // the buy menu: the tool purchases
      "Gather Here 400;Hunt Here 401;Go Here 402;",
      "Gather These 500;",
      "Hunt These 600;",
      "Recruit These 700;Raid This 701;*Debug: Raid Me 702;",
      "Eat Food 800;"};
  for (int i = 0; i < cTribeInputController::kMenuCount; ++i) {
    ASSERT_NE(Input()->GetMenu(i), nullptr);
    EXPECT_FALSE(Input()->GetMenu(i)->IsVisible());
    if (expected[i]) {
      EXPECT_EQ(Items(Input()->GetMenu(i)), expected[i]);
    }
  }
}

// Every item starts its group order on a copy of the selection and clears the
// selection, except "Go Here", which keeps it for the next order.
TEST_F(cTribeInputTest, MenuItemsStartTheirGroupOrders) {
  const struct {
    int id;
    tIsOrder is;
    bool keepsSelection;
  } cases[] = {{3, Is<cTribeGroupRests>(), false},     {4, Is<cTribeGroupHeals>(), false},
               {5, Is<cTribeGroupNests>(), false},     {7, Is<cTribeGroupDefends>(), false},
               {401, Is<cTribeGroupHunts>(), false},   {402, Is<cTribeGroupGoToNewTarget>(), true},
               {600, Is<cTribeGroupHunts>(), false},   {700, Is<cTribeGroupRecruits>(), false},
               {701, Is<cTribeGroupRaids>(), false},   {800, Is<cTribeGroupEats>(), false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    Objects()->ClearSelection();
    SelectMember(0);
    SelectMember(1);
    cIInteraction* previous = Orders().empty() ? nullptr : Orders().back();
    Input()->OnPieMenuSelection(c.id);
    ASSERT_FALSE(Orders().empty());
    EXPECT_NE(Orders().back(), previous);  // the members left the last order's group for this one
    EXPECT_TRUE(c.is(Orders().back()));
    EXPECT_EQ(LastOrderGroup()->GetMemberCount(), 2u);
    EXPECT_EQ(SelectionSize(), c.keepsSelection ? 2u : 0u);
  }
}

TEST_F(cTribeInputTest, HuntTheseWithNoHerdRememberedStillHunts) {
  SelectMember(0);
  Input()->OnPieMenuSelection(600);
  ASSERT_NE(LastOrderAs<cTribeGroupHunts>(), nullptr);
  EXPECT_EQ(LastOrderAs<cTribeGroupHunts>()->GetTarget(), 0u);
}

TEST_F(cTribeInputTest, GatherHereFarFromFruitStartsNothingButClearsTheSelection) {
  SelectMember(0);
  Input()->OnLeftButtonDown(100, 100);  // remembers the ground
  Input()->OnLeftButtonUp(100, 100);
  const size_t before = Orders().size();
  Input()->OnPieMenuSelection(400);
  EXPECT_EQ(Orders().size(), before);
  EXPECT_EQ(SelectionSize(), 0u);

  cGamePlant* plant = GetPlanetModel().CreatePlant(view.GroundPoint(110, 100));
  plant->SetFoodValue(100.0f);
  SelectMember(0);
  Input()->OnPieMenuSelection(400);
  ASSERT_NE(LastOrderAs<cTribeGroupGathers>(), nullptr);
  EXPECT_EQ(LastOrderAs<cTribeGroupGathers>()->GetTarget(), TargetWordOf(plant));
}

// The hut menu's "Buy Tool" opens the buy menu in its place; "Move Hut" makes
// a ghost that follows the mouse, and the next release sends the whole tribe.
TEST_F(cTribeInputTest, HutMenuBuysAndMovesTheHut) {
  // Near the window's centre the buy menu's wider labels fit on both sides
  // too: neither menu has to move to fit, so they share the centre exactly.
  view.Put(316, 240, Player()->GetHut());
  Input()->OnMouseMove(316, 200);
  Input()->OnLeftButtonDown(316, 240);
  ASSERT_EQ(Input()->GetOpenPieMenu(), Input()->GetMenu(1));
  Input()->OnLeftButtonUp(316, 240);  // to the menu, off its items
  Input()->OnPieMenuSelection(200);
  Input()->GetMenu(1)->Hide();  // as the menu does after its listener
  float hutX, hutY, buyX, buyY;
  Input()->GetMenu(1)->GetCentre(&hutX, &hutY);
  Input()->GetMenu(2)->GetCentre(&buyX, &buyY);
  EXPECT_TRUE(Input()->GetMenu(2)->IsVisible());
  EXPECT_EQ(buyX, hutX);
  EXPECT_EQ(buyY, hutY);
  Input()->GetMenu(2)->Hide();

  Input()->OnPieMenuSelection(201);
  ASSERT_NE(Input()->GetHutGhost(), nullptr);
  EXPECT_EQ(Input()->GetHutGhost()->GetOwner()->GetTypeId(), 0u);
  Input()->OnMouseMove(100, 300);
  EXPECT_EQ(Input()->GetHutGhost()->GetPosition(), view.GroundPoint(100, 300));
  Input()->OnLeftButtonDown(100, 300);
  Input()->OnLeftButtonUp(100, 300);
  EXPECT_EQ(Input()->GetHutGhost(), nullptr);
  ASSERT_NE(LastOrderAs<cTribeGroupMoveHut>(), nullptr);
  EXPECT_EQ(LastOrderGroup()->GetMemberCount(), Player()->GetPopulation());
}

// Members given a new order leave the old order's group; that group leaves the
// behaviour controller and must end its interaction, or the two would hold
// each other and never be freed.
TEST_F(cTribeInputTest, ASupersededOrderEndsWithItsGroup) {
  SelectMember(0);
  Input()->OnPieMenuSelection(cTribeInputController::kItemRest);
  tRefPtr<cIInteractionAgent> first(LastOrderGroup());
  ASSERT_NE(first.Get(), nullptr);
  ASSERT_NE(first->GetInteraction(), nullptr);
  SelectMember(0);
  Input()->OnPieMenuSelection(cTribeInputController::kItemHeal);
  EXPECT_NE(LastOrderGroup(), first.Get());
  EXPECT_FALSE(GetBehaviorController().ContainsAgent(first.Get()));
  EXPECT_EQ(first->GetInteraction(), nullptr);
}

// "*Debug: Raid Me" sends all but one of the clicked hut's tribe against the player.
TEST_F(cTribeInputTest, DebugRaidMeSendsAllButOneRival) {
  cTribe* rivals = Objects()->CreateNpcTribe(view.GroundPoint(600, 100));
  GetDataManager()->CommitPending();
  view.Put(600, 100, rivals->GetHut());
  while (rivals->GetPopulation() > 1) Objects()->KillCreature(rivals->GetMembers().back()), Pump(1);
  for (uint32_t population : {1u, 3u}) {
    SCOPED_TRACE(population);
    while (rivals->GetPopulation() < population) Objects()->AddNewMember(rivals, false);
    SelectMember(0);
    Input()->OnLeftButtonDown(600, 100);
    EXPECT_EQ(Input()->GetOpenPieMenu(), Input()->GetMenu(6));
    Input()->OnPieMenuSelection(cTribeInputController::kItemDebugRaidMe);
    Input()->GetMenu(6)->Hide();  // as the menu does after its listener
    auto* attack = LastOrderAs<cTribeGroupAttacks>();
    EXPECT_EQ(attack != nullptr, population == 3);
    if (attack) {
      EXPECT_EQ(LastOrderGroup()->GetMemberCount(), 2u);
    }
  }
}
