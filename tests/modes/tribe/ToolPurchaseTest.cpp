// The tool purchase menu: entry labels and ids, prices, and what a purchase
// does to the food, the tools and the menu.
#include <string>
#include <vector>

#include "glf/PieMenu.h"
#include "modes/tribe/ToolPurchaseMenu.h"
#include "modes/tribe/TribeCreatureGroup.h"
#include "modes/tribe/TribeTool.h"
#include "tests/modes/tribe/TribeTestSupport.h"

namespace {

using Ru::Math::Vector3;

class ToolPurchaseTest : public cTribeWorldTest {
 protected:
  void SetUp() override {
    cTribeWorldTest::SetUp();
    // Level l of kind k costs 10 x l + k, except the Weapon's 10, 25, 50.
    const char* const stems[] = {"costHuntTool", "costFoodStorage", "costRecruitTool", "costDefenseTool",
                                 "costHealTool", "costRestTool", "costGatherTool"};
    for (int kind = 0; kind < 7; ++kind)
      for (int level = 1; level <= 3; ++level)
        SetTuningInt((stems[kind] + std::to_string(level)).c_str(), 10 * level + kind);
    SetTuningInt("costHuntTool2", 25);
    SetTuningInt("costHuntTool3", 50);
    menu.reset(cToolPurchaseMenu::MakeBuyMenu(nullptr, Player()));
  }

  std::vector<std::string> Labels() const {
    std::vector<std::string> labels;
    for (int i = 0; i < menu->GetControlCount(); ++i) labels.push_back(menu->GetControl(i)->GetLabel());
    return labels;
  }
  std::vector<int> Ids() const {
    std::vector<int> ids;
    for (int i = 0; i < menu->GetControlCount(); ++i) ids.push_back(menu->GetControl(i)->GetId());
    return ids;
  }
  cTribeTool* Buy(int id) { return cToolPurchaseMenu::OnBuyMenuSelection(id, *menu, cursor); }

  Vector3 cursor{0.0f, 0.0f, 600.0f};  // above the ground on the +z side
  std::unique_ptr<cGLFPieMenu> menu;
};

TEST_F(ToolPurchaseTest, TheFirstMenuOffersEveryKindAtLevelOneInKindOrder) {
  EXPECT_EQ(Labels(), (std::vector<std::string>{"Buy Weapon 1 ($10)", "Buy Food Storage Tool 1 ($11)",
                                                "Buy Recruit Tool 1 ($12)", "Buy Defense Tool 1 ($13)",
                                                "Buy Heal Tool 1 ($14)", "Buy Rest Tool 1 ($15)",
                                                "Buy Gather Tool 1 ($16)"}));
  EXPECT_EQ(Ids(), (std::vector<int>{300, 303, 306, 309, 312, 315, 318}));
  EXPECT_EQ(cToolPurchaseMenu::GetLabel(6, 2), "Buy Gather Tool 2 ($26)");
  EXPECT_STREQ(cToolPurchaseMenu::kItems[5].name, "Food Storage Tool 3");
  EXPECT_EQ(cToolPurchaseMenu::kItems[20].id, 320);

  SetTuningInt("costHuntTool1", 0);
  EXPECT_EQ(cToolPurchaseMenu::GetLabel(0, 1), "Buy Weapon 1 ($0)");
  EXPECT_EQ(cToolPurchaseMenu::GetToolCost(7, 1), 0) << "no such kind";
  EXPECT_EQ(cToolPurchaseMenu::GetToolCost(0, 4), 0) << "no such level";
  EXPECT_EQ(cToolPurchaseMenu::GetToolCost(-1, 1), 0);
  EXPECT_EQ(cToolPurchaseMenu::OnBuyMenuSelection(299, *menu, cursor), nullptr) << "not a buy entry";
  EXPECT_EQ(menu->GetControlCount(), 7);
}

TEST_F(ToolPurchaseTest, BuyingPaysPlacesTheToolUnderTheMouseAndOffersTheNextLevelLast) {
  Player()->AddFood(10.0f);
  Objects()->SelectCreature(Members()[0]);
  cTribeTool* tool = Buy(300);
  ASSERT_NE(tool, nullptr);
  EXPECT_EQ(Player()->GetFood(), 0.0f) << "food 10.0 pays a price of 10 exactly";
  EXPECT_EQ(Player()->GetToolLevel(kTribeToolWeapon), 1u);
  EXPECT_EQ(tool->GetPosition(), (Vector3{0.0f, 0.0f, 500.0f + kLandHeight + 1.0f})) << "1.0 above the ground";
  EXPECT_EQ(Objects()->GetSelectionGroup()->GetMemberCount(), 0u) << "a purchase clears the selection";
  EXPECT_EQ(Ids(), (std::vector<int>{303, 306, 309, 312, 315, 318, 301}));
  EXPECT_EQ(Labels().back(), "Buy Weapon 2 ($25)");
  EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(ToolPurchaseTest, TooLittleFoodSaysSoAndChangesNothing) {
  Player()->AddFood(9.5f);
  EXPECT_EQ(Buy(300), nullptr);
  ASSERT_EQ(messages.boxes.size(), 1u);
  EXPECT_EQ(messages.boxes[0].caption, "Buy Tool Error");
  EXPECT_EQ(messages.boxes[0].text, "Couldn't afford tool.");
  EXPECT_EQ(Player()->GetFood(), 9.5f);
  EXPECT_EQ(Player()->GetToolLevel(kTribeToolWeapon), 0u);
  EXPECT_EQ(Ids().front(), 300) << "the entry stays and can be chosen again";

  Player()->AddFood(0.5f);
  EXPECT_NE(Buy(300), nullptr);
}

TEST_F(ToolPurchaseTest, EachLevelReplacesTheLastAndTheThirdEndsTheKind) {
  Player()->AddFood(85.0f);
  ASSERT_NE(Buy(300), nullptr);
  GetDataManager()->CommitPending();
  ASSERT_NE(Buy(301), nullptr);
  GetDataManager()->CommitPending();
  EXPECT_EQ(Player()->GetTools().size(), 1u) << "level 1 left when level 2 came";
  EXPECT_EQ(Player()->GetToolLevel(kTribeToolWeapon), 2u);
  EXPECT_EQ(Labels().back(), "Buy Weapon 3 ($50)");

  ASSERT_NE(Buy(302), nullptr);
  GetDataManager()->CommitPending();
  EXPECT_EQ(Player()->GetFood(), 0.0f);
  EXPECT_EQ(Player()->GetTools().size(), 1u);
  EXPECT_EQ(Player()->GetToolLevel(kTribeToolWeapon), 3u);
  EXPECT_EQ(Ids(), (std::vector<int>{303, 306, 309, 312, 315, 318})) << "no entry after level 3";

  // A menu rebuilt from the tribe (as on the next Enter) agrees.
  cGLFPieMenu rebuilt(nullptr, 8, 160, 1.5f);
  cToolPurchaseMenu::BuildBuyMenu(rebuilt, Player());
  EXPECT_EQ(rebuilt.GetControlCount(), 6);
  EXPECT_EQ(rebuilt.GetControl(0)->GetId(), 303);
}

}  // namespace
