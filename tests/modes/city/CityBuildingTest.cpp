// Buying, placing and selling buildings: the hall's menu and what it offers,
// buying at exactly the price, the build cursor's drop inside the walls, a
// refused farm and "CANCEL_BUY" both refunding in full, the building's own
// menu selling for the refund fraction, and the kinds' prices and names.
#include <gtest/gtest.h>

#include "modes/city/cursors/CityBuildCursor.h"
#include "modes/city/cursors/CityDragCursor.h"
#include "modes/city/cursors/CityMenuCursors.h"
#include "modes/city/economy/CityBuildingKinds.h"
#include "modes/city/economy/CityBundleContainers.h"
#include "tests/modes/city/CityTestSupport.h"

namespace {

using Ru::Math::Vector3;

class CityBuildingTest : public cCityWorldTest {
 protected:
  static std::vector<std::string> Labels(cGLFPieMenu* menu) {
    std::vector<std::string> labels;
    for (int i = 0; i < menu->GetControlCount(); ++i) labels.push_back(menu->GetItem(i)->GetLabel());
    return labels;
  }
  // Buys the item through the hall's menu as a click on the hall would; the
  // controller then holds the build cursor when the money covered it.
  void Buy(int item) {
    cCityGameCityCursor& menu = GetCityCityCursor();
    menu.Open(City(), 400, 300);
    Controller().SetCurrentCursor(&menu);
    menu.Choose(item);
    Controller().HandleCursorResult(cICityGameCursor::kDone);
  }
  // Carries the bought building to the window point and lets go there.
  void PlaceAt(int x, int y) {
    Controller().OnMouseMove(x, y);
    Controller().OnLeftButtonDown(x, y);
    Controller().OnLeftButtonUp(x, y);
  }
  cCityGameCursorController& Controller() { return GetCityCursorController(); }
};

TEST_F(CityBuildingTest, TheHallsMenuOffersTheBuildingsAndLaterTheUpgradedOnes) {
  GetCityCityCursor().Open(City(), 400, 300);
  EXPECT_EQ(Labels(GetCityCityCursor().GetMenu()),
            (std::vector<std::string>{"Buy Party $25", "Buy Sleep Building $15", "Buy Food Generating Building $25",
                                      "Buy Food Storage Building $15", "Buy Money Generating Building $25",
                                      "Upgrade City Hall $50"}));
  City()->UpgradeCityHall();
  City()->UpgradeCityHall();
  City()->AddMoneySilently(1000.0f);
  City()->UpgradeCityHall();
  GetCityCityCursor().Open(City(), 400, 300);
  const std::vector<std::string> labels = Labels(GetCityCityCursor().GetMenu());
  ASSERT_EQ(labels.size(), 9u);
  EXPECT_EQ(labels[0], "Buy Temple $15");
  EXPECT_EQ(labels[1], "Buy Military Building $25");
  EXPECT_EQ(labels[2], "Buy Diplomatic Building $25");
  EXPECT_EQ(labels.back(), "Upgrade to Civ Game (disabled)");  // the top level is 2
  // Fault mended: a reload that lowered the top level below the level bought
  // made the menu read a price past the end of the list.
  SetTuningInt(GetCityGameTuning(), "Max City Upgrade Level", 1);
  GetCityCityCursor().Open(City(), 400, 300);
  EXPECT_EQ(Labels(GetCityCityCursor().GetMenu()).back(), "Upgrade to Civ Game (disabled)");
}

TEST_F(CityBuildingTest, AHouseBoughtAtExactlyItsPriceIsPlacedInsideTheWalls) {
  City()->AddMoneySilently(15.0f - City()->GetMoney());
  Buy(cCityGameCityCursor::kHouse);
  ASSERT_EQ(Controller().GetCurrentCursor(), (cICityGameCursor*)&GetCityBuildCursor());
  cCityGameBuilding* house = GetCityBuildCursor().GetBuilding();
  ASSERT_NE(dynamic_cast<cCityGameBuildingHouse*>(house), nullptr);
  EXPECT_FLOAT_EQ(City()->GetMoney(), 0.0f);
  const size_t sources = City()->GetWalls()->GetPoints().size();
  PlaceAt(620, 500);  // 12 units from the hall: well inside the walls
  EXPECT_EQ(Controller().GetCurrentCursor(), nullptr);
  EXPECT_TRUE(Ru::Math::Vector3Equal(house->GetPosition(), cFakeCityView::Ground(620, 500)));
  EXPECT_EQ(City()->GetWalls()->GetPoints().size(), sources + 1);
  EXPECT_EQ(GetCityBuildCursor().GetBonkCount(), 0);
  Buy(cCityGameCityCursor::kHouse);  // no money left: nothing is bought
  EXPECT_EQ(Controller().GetCurrentCursor(), nullptr);
  EXPECT_EQ(Count<cCityGameBuildingHouse>(), 1);
}

TEST_F(CityBuildingTest, ARefusedPlaceOrCancelBuyRefundsTheWholePrice) {
  Buy(cCityGameCityCursor::kFarm);  // farms stand outside the walls
  EXPECT_FLOAT_EQ(City()->GetMoney(), 75.0f);
  PlaceAt(620, 500);
  EXPECT_EQ(GetCityBuildCursor().GetBonkCount(), 1);
  EXPECT_FLOAT_EQ(City()->GetMoney(), 100.0f);
  EXPECT_EQ(Count<cCityGameBuildingFarm>(), 0);
  Buy(cCityGameCityCursor::kFactory);
  Controller().OnMouseMove(620, 500);
  Controller().HandleInputEvent("CANCEL_BUY", 0.0f, 1);
  EXPECT_EQ(Controller().GetCurrentCursor(), nullptr);
  EXPECT_FLOAT_EQ(City()->GetMoney(), 100.0f);
  EXPECT_EQ(Count<cCityGameBuildingFactory>(), 0);
  Buy(cCityGameCityCursor::kFarm);
  PlaceAt(500, 1200);  // 70 units out
  EXPECT_EQ(Count<cCityGameBuildingFarm>(), 1);
  EXPECT_FLOAT_EQ(City()->GetMoney(), 75.0f);
}

TEST_F(CityBuildingTest, ABuildingsMenuSellsItForTheRefundFraction) {
  Buy(cCityGameCityCursor::kFactory);
  cCityGameBuilding* factory = GetCityBuildCursor().GetBuilding();
  PlaceAt(620, 500);
  GetDataManager()->CommitPending();
  cCityGameBuildingPieMenuCursor& menu = GetCityBuildingPieMenuCursor();
  EXPECT_EQ(factory->GetCursor(1, 1, factory->GetDisc()), nullptr);  // the disc is for roads
  ASSERT_EQ(factory->GetCursor(400, 300, factory->GetSceneObject()), (cICityGameCursor*)&menu);
  EXPECT_EQ(Labels(menu.GetMenu()), (std::vector<std::string>{"Sell Building for: $15.00", "Turn Building Off"}));
  factory->OnPieMenuSelection(cCityGameBuilding::kSwitchItem);
  EXPECT_FALSE(factory->IsOn());
  cBuildingCommon* record = factory->GetRecord();
  record->AddRef();
  factory->OnPieMenuSelection(cCityGameBuilding::kSellItem);
  EXPECT_FLOAT_EQ(City()->GetMoney(), 75.0f + 15.0f);
  EXPECT_EQ(Count<cCityGameBuildingFactory>(), 0);
  EXPECT_TRUE(record->IsDead());  // its shared record went with it
  EXPECT_EQ(record->GetSceneObject(), nullptr);
  record->Release();
}

TEST_F(CityBuildingTest, EachKindHasItsPriceCapacityNameAndColour) {
  struct sCase {
    cCityGameBuilding* building;
    float cost;
    int capacity;
    const char* name;
    Vector3 colour;
  } cases[] = {
      {CreateCityObject<cCityGameBuildingHouse>(), 15.0f, 10, "Sleep Building", {0.8f, 0.8f, 0.0f}},
      {CreateCityObject<cCityGameBuildingSilo>(), 15.0f, 10, "Food Storage Building", {0.2f, 0.9f, 0.2f}},
      {CreateCityObject<cCityGameBuildingTemple>(), 15.0f, 10, "Cultural Building", {1.0f, 0.0f, 1.0f}},
      {CreateCityObject<cCityGameBuildingFactory>(), 25.0f, 10, "Money Generating Building", {0.4f, 0.4f, 0.4f}},
      {CreateCityObject<cCityGameBuildingFarm>(), 25.0f, 10, "Food Generating Building", {0.6f, 0.95f, 0.6f}},
      {CreateCityObject<cCityGameBuildingMarket>(), 25.0f, 10, "Diplomatic Building", {0.8f, 0.8f, 0.8f}},
      {CreateCityObject<cCityGameBuildingMilitary>(), 25.0f, 0, "Military Building", {0.6f, 1.0f, 1.0f}},
  };
  for (const sCase& c : cases) {
    EXPECT_FLOAT_EQ(c.building->GetCost(), c.cost) << c.name;
    EXPECT_EQ(c.building->GetCapacity(), c.capacity) << c.name;
    EXPECT_EQ(c.building->GetBuildingName(), c.name);
    EXPECT_TRUE(Ru::Math::Vector3Equal(c.building->GetColour(), c.colour)) << c.name;
  }
  EXPECT_EQ(cases[0].building->GetServedMotives(), 2u);
  EXPECT_EQ(cases[1].building->GetServedMotives(), 1u);
  EXPECT_FLOAT_EQ(cases[4].building->GetWallFieldWeight(), -1.0f);
}

class CityBuildingUseTest : public CityBuildingTest {
 protected:
  template <class T>
  T* Standing() {
    auto* building = CreateRegisteredCityObject<T>();
    building->Initialize(City());
    GetDataManager()->CommitPending();
    return building;
  }
  std::vector<cCityGamePlayerCreature*> Citizens() {
    std::vector<cCityGamePlayerCreature*> all;
    Registry().CollectObjectsOfClass(all);
    return all;
  }
  // A citizen sent to the house by the player, as a pie-menu order does.
  static void Send(cCityGamePlayerCreature* citizen, cCityGameBuildingHouse* house) {
    citizen->StartWithMode(nullptr, 0, 1);
    house->IsPickable(citizen);
  }
};

TEST_F(CityBuildingUseTest, AFullHouseEvictsItsEarliestTenantForANewOne) {
  SetTuningInt(GetCityGameBuildingTuning(), "Rooms Per House", 2);
  auto* house = Standing<cCityGameBuildingHouse>();
  auto* other = Standing<cCityGameBuildingHouse>();
  std::vector<cCityGamePlayerCreature*> c = Citizens();
  Send(c[0], house);
  Send(c[1], house);
  EXPECT_EQ(house->GetFreeRooms(), 0);
  Send(c[2], house);  // no room: the earliest tenant goes
  EXPECT_FALSE(c[0]->HasHome());
  EXPECT_EQ(c[1]->GetHomeId(), house->GetId());
  EXPECT_EQ(c[2]->GetHomeId(), house->GetId());
  EXPECT_EQ(house->GetFreeRooms(), 0);
  Send(c[1], other);  // moving out frees a room
  EXPECT_EQ(house->GetFreeRooms(), 1);
  EXPECT_FALSE(house->AcceptsUser(c[1]));  // it lives elsewhere now
  Registry().RemoveNow(other);
  EXPECT_FALSE(c[1]->HasHome());  // a removed house leaves its tenants homeless
}

// Fault mended: a silo took a meal from its store whenever someone came in,
// so a second eater after the last meal drove the store below zero.
TEST_F(CityBuildingUseTest, AnEmptySiloTurnsEatersAwayAndNeverGoesBelowZero) {
  auto* silo = Standing<cCityGameBuildingSilo>();
  cCityGameBundleContainer* store = silo->GetContainer(kCityFood);
  ASSERT_NE(store, nullptr);
  store->AddAmount(1.5f);
  cCityGamePlayerCreature* eater = Citizens()[0];
  eater->SetMotive(0, 5.0f);
  EXPECT_TRUE(silo->IsPickable(eater));
  EXPECT_TRUE(silo->Enter(eater));
  EXPECT_FLOAT_EQ(store->GetTotalAmount(), 0.5f);
  EXPECT_FALSE(silo->IsPickable(eater));
  EXPECT_FALSE(silo->Enter(eater));
  EXPECT_FLOAT_EQ(store->GetTotalAmount(), 0.5f);
  EXPECT_FALSE(silo->UpdateOccupant(eater, 50));  // fed full inside
  EXPECT_FLOAT_EQ(eater->GetMotive(0), 100.0f);
}

TEST_F(CityBuildingUseTest, AFactoryPaysItsStaffEachPeriodCarryingTheOvershoot) {
  auto* factory = Standing<cCityGameBuildingFactory>();
  cCityGamePlayerCreature* worker = Citizens()[0];
  factory->UpdateOccupant(worker, 0);  // nobody inside: the pay clock stands
  EXPECT_FALSE(factory->GetPayTimer().IsRunning());
  factory->AddOccupant(worker);
  factory->AddOccupant(Citizens()[1]);
  EXPECT_TRUE(worker->IsHidden());
  const float before = City()->GetMoney();
  factory->UpdateOccupant(worker, 0);
  clock.Advance(1030);
  factory->UpdateOccupant(worker, 1030);
  EXPECT_FLOAT_EQ(City()->GetMoney(), before + 2.0f * 5e-05f);
  EXPECT_EQ(factory->GetPayTimer().GetElapsed(), 30u);
  clock.Advance(970);  // exactly one period on: paid, nothing carried
  factory->UpdateOccupant(worker, 970);
  EXPECT_FLOAT_EQ(City()->GetMoney(), before + 4.0f * 5e-05f);
  EXPECT_EQ(factory->GetPayTimer().GetElapsed(), 0u);
  factory->RemoveOccupant(worker);
  factory->RemoveOccupant(Citizens()[1]);
  clock.Advance(500);
  factory->UpdateOccupant(worker, 500);  // the staff left: the clock keeps what it had
  EXPECT_FALSE(factory->GetPayTimer().IsRunning());
  EXPECT_EQ(factory->GetPayTimer().GetElapsed(), 500u);
}

TEST_F(CityBuildingUseTest, TheFullRingShowsExactlyAtCapacity) {
  SetTuningInt(GetCityGameBuildingTuning(), "Factory Capacity", 2);
  auto* factory = Standing<cCityGameBuildingFactory>();
  std::vector<cCityGamePlayerCreature*> c = Citizens();
  factory->AddOccupant(c[0]);
  factory->Update(16);
  EXPECT_EQ(factory->GetRing()->GetSceneRefCount(), 0);
  factory->AddOccupant(c[1]);
  factory->Update(16);
  EXPECT_EQ(factory->GetRing()->GetSceneRefCount(), 1);
  EXPECT_FALSE(factory->IsPickable(c[2]));
  factory->RemoveOccupant(c[1]);
  factory->Update(16);
  EXPECT_EQ(factory->GetRing()->GetSceneRefCount(), 0);
  auto* military = Standing<cCityGameBuildingMilitary>();
  military->Update(16);  // capacity 0: never full
  EXPECT_EQ(military->GetRing()->GetSceneRefCount(), 0);
}

TEST_F(CityBuildingUseTest, TheOccupancyMeterAndTheLabelsTellHowFullABuildingIs) {
  auto* factory = Standing<cCityGameBuildingFactory>();
  factory->AddOccupant(Citizens()[0]);
  overlay.calls.clear();
  factory->Draw();
  const std::vector<cDrawCall> fills = overlay.Of(cDrawCall::kFill);
  ASSERT_EQ(fills.size(), 2u);  // the view puts the building at (320, 200): a 40 x 6 bar 15 above
  EXPECT_EQ(fills[0].x0, 300);
  EXPECT_EQ(fills[0].x1, 304);  // one of ten places taken
  EXPECT_EQ(fills[0].y0, 185);
  EXPECT_TRUE(SameColour(fills[0].colour, 0.0f, 0.0f, 0.8f));
  EXPECT_TRUE(SameColour(fills[1].colour, 0.0f, 0.0f, 0.0f));
  EXPECT_EQ(fills[1].x1, 340);
  auto* military = Standing<cCityGameBuildingMilitary>();
  overlay.calls.clear();
  military->Draw();
  EXPECT_TRUE(overlay.calls.empty());  // no places: no meter
  auto* silo = Standing<cCityGameBuildingSilo>();
  silo->GetContainer(kCityFood)->AddAmount(12.0f);
  silo->DrawLabel(true, 50, 60);
  EXPECT_NE(overlay.FindText("Food Storage Building"), nullptr);
  EXPECT_NE(overlay.FindText("Food: 12/100"), nullptr);
  auto* house = Standing<cCityGameBuildingHouse>();
  Send(Citizens()[1], house);
  EXPECT_EQ(house->GetLabelDetail(), " Rented Rooms: 1/25");
}

TEST_F(CityBuildingUseTest, ADroppedBuildingPushesTheCreaturesInItOutAndFarmsTakeTheHungryOnlyWithoutFood) {
  auto* house = Standing<cCityGameBuildingHouse>();
  const Vector3 at = house->GetPosition();
  std::vector<cCityGamePlayerCreature*> c = Citizens();
  const float r = house->GetRadius();
  const Vector3 side = Ru::Math::Vector3Normalized(Ru::Math::Vector3Cross(at, Vector3{1.0f, 0.0f, 0.0f}));
  c[0]->SetPosition(Ru::Math::Vector3Add(at, Ru::Math::Vector3Scale(side, 0.5f * r)), Vector3{});
  c[1]->SetPosition(Ru::Math::Vector3Add(at, Ru::Math::Vector3Scale(side, 1.6f * r)), Vector3{});
  const Vector3 outside = c[1]->GetPosition();
  PushCreaturesOutOfBuilding(house);
  const float d = Ru::Math::Vector3Length(Ru::Math::Vector3Sub(c[0]->GetPosition(), at));
  EXPECT_GE(d, 1.4f * r - 0.2f);
  EXPECT_LE(d, 1.5f * r + 0.2f);
  EXPECT_TRUE(Ru::Math::Vector3Equal(c[1]->GetPosition(), outside));

  auto* farm = Standing<cCityGameBuildingFarm>();
  c[2]->SetMotive(0, 20.0f);  // hungry
  c[2]->SetMotive(1, 90.0f);
  EXPECT_FALSE(farm->AcceptsUser(c[2]));  // the hall still has food
  City()->GetContainer(kCityFood)->RemoveAmount(500.0f);
  EXPECT_TRUE(farm->AcceptsUser(c[2]));
  farm->OnPieMenuSelection(cCityGameBuilding::kSwitchItem);
  EXPECT_FALSE(farm->AcceptsUser(c[2]));  // switched off
}

TEST_F(CityBuildingUseTest, TheNearestMilitaryBuildingTiesToTheLowerId) {
  auto* first = Standing<cCityGameBuildingMilitary>();
  auto* second = Standing<cCityGameBuildingMilitary>();
  const Vector3 centre = City()->GetPosition();
  first->SetPosition(cFakeCityView::Ground(560, 500), Vector3{});
  second->SetPosition(cFakeCityView::Ground(440, 500), Vector3{});
  EXPECT_EQ(FindNearestMilitaryBuilding(centre), first);
  EXPECT_EQ(FindNearestMilitaryBuilding(cFakeCityView::Ground(430, 500)), second);
}

}  // namespace
