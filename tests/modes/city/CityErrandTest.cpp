// Citizens' errands with bundles and tribes, and the store menus that send
// them: gifts, eating a shared bundle, gathering fruit, and "Sell $n" to a
// tribe from the hall's pile through to the money.
#include <gtest/gtest.h>

#include "modes/city/behaviours/CityBehaviors.h"
#include "modes/city/cursors/CityContainerMenus.h"
#include "modes/city/economy/CityBuildingKinds.h"
#include "modes/city/economy/CityBundleContainers.h"
#include "world/planet/GamePlant.h"
#include "world/scene/SceneObject.h"
#include "tests/modes/city/CityTestSupport.h"

namespace {

using Ru::Math::Vector3;

class CityErrandTest : public cCityTribeWorldTest {
 protected:
  static std::vector<std::string> Labels(cGLFPieMenu* menu) {
    std::vector<std::string> labels;
    for (int i = 0; i < menu->GetControlCount(); ++i) labels.push_back(menu->GetItem(i)->GetLabel());
    return labels;
  }
  // Presses and releases on the menu's item as the mouse would, once it has opened.
  static std::string SellLabel() {
    char sell[32];
    std::snprintf(sell, sizeof sell, "Sell $%.0f", (double)GetCityGameTuning().foodBundleSellValue);
    return sell;
  }
  std::vector<cCityGameWorldObject*> Selected(int n) {
    std::vector<cCityGameWorldObject*> chosen;
    for (cCityGamePlayerCreature* c : Citizens())
      if ((int)chosen.size() < n) c->SetSelected(true), chosen.push_back(c);
    return chosen;
  }
};

TEST_F(CityErrandTest, AGiftIsGivenFromThreeUnitsOutAndTheGiverWalksBack) {
  for (float gap : {3.0f, 3.01f}) {
    TearDown();
    SetUp();
    cCityGameTribe* tribe = tribes[3];
    tribe->SetRelationship(City(), 0.0f);
    cCityGamePlayerCreature* giver = Citizens()[0];
    PlaceAt(giver, Vector3{110.0f, 0.0f, 0.0f});
    const Vector3 at = giver->GetPosition();
    tribe->SetPosition(Vector3{at.x, at.y, at.z + gap}, Vector3{});  // off the ground, for an exact gap
    const float money = City()->GetMoney();
    tribe->Interact(giver, GetCityBehavior<cCityGameBehaviorGiftTribe>(), nullptr, 1);
    auto* gift = dynamic_cast<cCityGameBehaviorGiftTribe*>(giver->GetInteraction());
    ASSERT_NE(gift, nullptr);
    EXPECT_EQ(gift->Step(), 1u);
    const bool given = gap <= 3.0f;
    EXPECT_EQ(gift->GetState(), given ? 1 : 0) << gap;
    EXPECT_FLOAT_EQ(City()->GetMoney(), money - (given ? 2.0f : 0.0f)) << gap;
    EXPECT_FLOAT_EQ(tribe->GetRelationship(City()), given ? GetCityGameTuning().giftRelationshipEffect : 0.0f);
  }
}

TEST_F(CityErrandTest, EatingTheLastUnitOfABundleRemovesItAndStopsTheOthersWalkingToIt) {
  cCityGameCityBundleContainer* loose = GetGlobalCityContainer(kCityFood);
  auto* bundle = new cCityGameBundle;
  bundle->Initialize(nullptr, kCityFood, 1.0f);
  loose->AddBundle(bundle);
  std::vector<cCityGamePlayerCreature*> eaters = Citizens();
  PlaceAt(eaters[0], cFakeCityView::Ground(520, 500));
  bundle->GetSceneObject()->SetPosition(eaters[0]->GetPosition());
  eaters[0]->SetMotive(0, 50.0f);
  for (int i = 0; i < 3; ++i) bundle->Interact(eaters[size_t(i)], GetCityBehavior<cCityGameBehaviorEatBundle>(), nullptr, 1);
  EXPECT_EQ(eaters[0]->GetInteraction()->Step(), 0u);
  EXPECT_EQ(loose->GetBundleCount(), 0);
  EXPECT_FLOAT_EQ(eaters[0]->GetMotive(0), GetCityGameMotiveTuning().maxMotive);
  EXPECT_FALSE(eaters[1]->HasInteraction());
  EXPECT_FALSE(eaters[2]->HasInteraction());
  // The hall's store feeds only while it holds a whole unit.
  cCityGameBundleContainer* hall = City()->GetContainer(kCityFood);
  for (float left : {0.99f, 1.0f}) {
    hall->RemoveAmount(hall->GetTotalAmount());
    hall->AddAmount(left);
    eaters[1]->SetMotive(0, 50.0f);
    PlaceAt(eaters[1], hall->GetPosition());
    City()->Interact(eaters[1], nullptr, nullptr, 1);
    ASSERT_TRUE(RunUntilIdle(eaters[1]));
    EXPECT_EQ(eaters[1]->GetMotive(0) > 99.0f, left >= 1.0f) << left;
    EXPECT_NEAR(hall->GetTotalAmount(), left >= 1.0f ? 0.0f : left, 1e-5f) << left;
  }
  GetCityGameTuning().creatureSpeed = 0.0f;  // a bundle exactly 2.0 off is not yet reached; nearer, it is eaten
  for (float gap : {2.0f, 1.99f}) {
    auto* meal = new cCityGameBundle;
    meal->Initialize(nullptr, kCityFood, 5.0f);
    loose->AddBundle(meal);
    PlaceAt(eaters[0], Vector3{110.0f, 0.0f, 0.0f});
    meal->GetSceneObject()->SetPosition(Vector3{510.0f, 0.0f, gap});
    meal->Interact(eaters[0], GetCityBehavior<cCityGameBehaviorEatBundle>(), nullptr, 1);
    EXPECT_EQ(eaters[0]->GetInteraction()->Step(), gap >= 2.0f ? 1u : 0u) << gap;
    eaters[0]->EndInteraction();
  }
}

TEST_F(CityErrandTest, AGathererSkipsHiddenTreesAndBringsOneBundleToTheStore) {
  cGamePlant* hidden = GetPlanetModel().CreatePlant(cFakeCityView::Ground(530, 500));
  cGamePlant* bare = GetPlanetModel().CreatePlant(cFakeCityView::Ground(540, 500));
  cGamePlant* laden = GetPlanetModel().CreatePlant(cFakeCityView::Ground(600, 500));
  hidden->SetFoodValue(100.0f);
  hidden->SetHidden(true);
  bare->SetFoodValue(0.0f);
  laden->SetFoodValue(100.0f);
  cCityGamePlayerCreature* gatherer = Citizens()[0];
  PlaceAt(gatherer, cFakeCityView::Ground(545, 500));
  cCityGameBundleContainer* hall = City()->GetContainer(kCityFood);
  const float food = hall->GetTotalAmount();
  gatherer->StartInteraction(GetCityBehavior<cCityCreatureGatherInteraction>(), TargetWordOf(bare));
  Pump(1);
  EXPECT_EQ(gatherer->GetInteraction()->GetTarget(), TargetWordOf(laden));  // the hidden one is nearer
  ASSERT_TRUE(RunUntilIdle(gatherer));
  EXPECT_LT(laden->GetFoodValue(), 100.0f);
  EXPECT_FLOAT_EQ(hall->GetTotalAmount() - food, GetCityGameTuning().foodBundleAmount);
}

TEST_F(CityErrandTest, SellingFromTheHallsPileToAChosenTribeEarnsMoneyAndFeedsTheTribe) {
  EXPECT_EQ(tribes[0]->GetFoodContainer()->GetSelectionCursor(0, 0, nullptr, {}), nullptr);  // never at a tribe's store
  auto* silo = CreateRegisteredCityObject<cCityGameBuildingSilo>();
  silo->Initialize(City());
  EXPECT_EQ(silo->GetSelectionCursor(0, 0, nullptr, {}), &GetCityContainerPieMenuCursor());  // a silo hands out its store's
  cCityGameBundleContainer* hall = City()->GetContainer(kCityFood);
  std::vector<cCityGameWorldObject*> sellers = Selected(2);
  auto* cursor = dynamic_cast<cCityGameContainerPieMenuCursor*>(hall->GetSelectionCursor(400, 300, nullptr, sellers));
  ASSERT_NE(cursor, nullptr);
  const float price = GetCityGameTuning().foodBundleSellValue;
  EXPECT_EQ(Labels(cursor->GetMenu()), (std::vector<std::string>{"Eat", SellLabel()}));
  EXPECT_TRUE(cursor->IsCursorObject(sellers[0]));

  EXPECT_EQ(Click(*cursor, cursor->GetMenu(), 1), cICityGameCursor::kStay);  // the tribes are offered next
  ASSERT_NE(cursor->GetSellMenu(), nullptr);
  const std::vector<std::string> tribeItems = Labels(cursor->GetSellMenu());
  ASSERT_EQ(tribeItems.size(), 8u);
  EXPECT_EQ(tribeItems.front(), "Sell to Tribe 1");
  EXPECT_EQ(tribeItems.back(), "Sell to Tribe 8");
  EXPECT_EQ(cursor->GetSellMenu()->GetItem(0)->GetId(), cCityGameContainerPieMenuCursor::kFirstTribeItem);
  for (cCityGameWorldObject* s : sellers) EXPECT_TRUE(static_cast<cCityGamePlayerCreature*>(s)->IsSelected());

  cCityGameTribe* buyer = tribes[4];
  GetCityGameTuning().cityHallMoney = 0.0f;  // only the sale changes the money
  const float money = City()->GetMoney(), relationship = buyer->GetRelationship(City());
  const int pile = buyer->GetFoodContainer()->GetPileCount();
  EXPECT_EQ(Click(*cursor, cursor->GetSellMenu(), 4), cICityGameCursor::kDone);
  for (cCityGameWorldObject* s : sellers) {
    auto* seller = static_cast<cCityGamePlayerCreature*>(s);
    EXPECT_FALSE(seller->IsSelected());
    ASSERT_TRUE(RunUntilIdle(seller));
  }
  EXPECT_FLOAT_EQ(City()->GetMoney() - money, 2.0f * price);
  EXPECT_EQ(buyer->GetFoodContainer()->GetPileCount(), pile + 2);
  EXPECT_GT(buyer->GetRelationship(City()), relationship);
}

// Fault mended: the store menus kept their citizens as plain pointers, so a
// citizen removed while the menu was open was touched after it was freed.
TEST_F(CityErrandTest, ACitizenRemovedWhileTheMenuIsOpenIsStillSafeToLetGo) {
  cCityGameCityBundleContainer* loose = GetGlobalCityContainer(kCityFood);
  auto* bundle = new cCityGameBundle;
  bundle->Initialize(nullptr, kCityFood, 5.0f);
  loose->AddBundle(bundle);
  std::vector<cCityGameWorldObject*> chosen = Selected(1);
  auto* cursor = dynamic_cast<cCityGameGlobalFoodBundlePieMenuCursor*>(loose->GetSelectionCursor(400, 300, nullptr, chosen));
  ASSERT_NE(cursor, nullptr);
  EXPECT_EQ(Labels(cursor->GetMenu()), (std::vector<std::string>{"Eat", "Save", SellLabel()}));
  Registry().RemoveNow(static_cast<cCityGameObject*>(chosen[0]));
  GetDataManager()->CommitPending();
  EXPECT_TRUE(cursor->IsCursorObject(chosen[0]));
  EXPECT_EQ(cursor->OnLeftButtonUp(10, 10), cICityGameCursor::kDone);  // outside every item
  EXPECT_EQ(cursor->GetSelectedCount(), 0);
}

}  // namespace
