// The civ input controller and its pie menus, headless through the fake view.
#include "tests/modes/civ/CivTestSupport.h"
#include <functional>

#include "camera/Camera.h"
#include "math/Geometry.h"
#include "modes/civ/CivDebugVehicle.h"
#include "modes/civ/CivEventNotice.h"
#include "modes/civ/CivHud.h"
#include "modes/civ/CivHudMarkers.h"
#include "modes/civ/cCivGameMode.h"
#include "tests/glf/OverlayRecorder.h"
#include "tests/world/scene/SceneTestSupport.h"

namespace {
constexpr int kCtrl = 0x11;

struct CivInputTest : CivInputFixture {};

TEST_F(CivInputTest, ClickOrdersPaintSelectsAndCtrlOnlyToggles) {
  cCivModeVehicle* own = VehicleAt(0, 10, 10);  // bought: already selected
  ASSERT_EQ(1u, input->GetSelection().Count());
  const Ru::Math::Vector3 goal = GroundAway(City(0)->GetPosition(), 0.2f);
  // A press that wanders (4, 2) is still a click: the selection is sent.
  view.grounds[{104, 102}] = goal;
  input->OnLeftButtonDown(100, 100);
  input->OnMouseMove(104, 102);
  input->OnLeftButtonUp(104, 102);
  EXPECT_TRUE(input->GetSelection().IsEmpty());
  EXPECT_EQ(kCivVehicleGuard, own->GetState());
  EXPECT_FLOAT_EQ(goal.x, own->GetGuardPoint().x);
  EXPECT_FLOAT_EQ(goal.z, own->GetGuardPoint().z);

  // (4, 3) paints: the vehicle under the band is taken and kept at the release.
  view.grounds[{104, 103}] = own->GetPosition();
  input->OnLeftButtonDown(100, 100);
  input->OnMouseMove(104, 103);
  EXPECT_TRUE(input->IsPainting());
  input->OnLeftButtonUp(104, 103);
  EXPECT_TRUE(input->GetSelection().Contains(own));
  // A paint that adds nothing ends the selection instead of ordering it.
  input->OnLeftButtonDown(100, 100);
  input->OnMouseMove(150, 150);
  input->OnLeftButtonUp(150, 150);
  EXPECT_TRUE(input->GetSelection().IsEmpty());

  // Ctrl: toggles own vehicles, never opens a city menu, never orders.
  Sys_SetKeyState(kCtrl, true);
  Click(10, 10);
  EXPECT_TRUE(input->GetSelection().Contains(own));
  BuildingAt(0, 0, 20, 20);
  Click(20, 20);
  EXPECT_EQ(nullptr, input->GetPieMenus().GetVisibleMenu());
  Click(100, 100);
  EXPECT_TRUE(input->GetSelection().Contains(own));
  Click(10, 10);
  EXPECT_FALSE(input->GetSelection().Contains(own));
  Sys_SetKeyState(kCtrl, false);

  // NPC vehicles and cities are the human's only with the debug switch on.
  cCivModeVehicle* npc = VehicleAt(2, 30, 30);
  BuildingAt(2, 0, 40, 40);
  for (int32_t canSelect : {0, 1}) {
    gCivPlayerCanSelectNPCObjects = canSelect;
    input->GetSelection().Clear();
    Click(30, 30);
    EXPECT_EQ(canSelect != 0, input->GetSelection().Contains(npc));
    input->GetSelection().Clear();
    Click(40, 40);
    EXPECT_EQ(canSelect ? input->GetPieMenus().GetCityMenu() : input->GetPieMenus().GetNPCCityMenu(),
              input->GetPieMenus().GetVisibleMenu());
    Choose(-1);
  }
}
}  // namespace

namespace {
// The road, trade route and expulsion are paid at their second click, and
// only when the money is still there then: the pool never goes negative.
TEST_F(CivInputTest, TwoClickActionsPayOnlyForAnAcceptedTargetWithTheMoneyStillThere) {
  City(2)->EstablishEmbassy(City(0));  // the human's embassy abroad: a trade partner
  City(0)->EstablishEmbassy(City(2));  // the NPC's embassy at home: one to expel
  GetDataManager()->CommitPending();
  cCivModeDecoratedBuilding* theirEmbassy = City(0)->FindEmbassy(1);
  ASSERT_NE(nullptr, theirEmbassy);
  view.objects[{50, 50}] = theirEmbassy->GetSceneObject();
  BuildingAt(0, 0, 10, 10);
  BuildingAt(1, 0, 20, 20);
  BuildingAt(2, 0, 30, 30);
  struct Row {
    int item;
    int targetX;        // the second click's pixel
    float moneyAtClick; // city 0's money when the target is clicked
    float paid;
    float moneyAtMenu = 200.0f;
    bool started = true;  // the menu took the order
  } rows[] = {
      {kCivItemBuyRoad, 20, 200.0f, 100.0f},       {kCivItemBuyRoad, 10, 200.0f, 0.0f},  // not to itself
      {kCivItemBuyRoad, 30, 200.0f, 0.0f},         {kCivItemBuyRoad, 20, 99.0f, 0.0f},   // spent meanwhile
      {kCivItemBuyTradeRoute, 30, 200.0f, 50.0f},  {kCivItemBuyTradeRoute, 20, 200.0f, 0.0f},
      {kCivItemBuyTradeRoute, 30, 49.0f, 0.0f},    {kCivItemExpelEmbassy, 10, 200.0f, 0.0f},
      {kCivItemExpelEmbassy, 50, 29.0f, 0.0f},
      {kCivItemBuyRoad, 20, 100.0f, 100.0f, 100.0f},  {kCivItemBuyTradeRoute, 30, 50.0f, 50.0f, 50.0f},  // exactly the price
      {kCivItemBuyRoad, 20, 200.0f, 0.0f, 99.0f, false}, {kCivItemBuyTradeRoute, 30, 200.0f, 0.0f, 49.0f, false},
      {kCivItemExpelEmbassy, 50, 30.0f, 0.0f, 29.0f, false}, {kCivItemExpelEmbassy, 50, 30.0f, 30.0f, 30.0f},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "item " << row.item << " to " << row.targetX << " with " << row.moneyAtMenu
                                    << " then " << row.moneyAtClick);
    for (int i = 0; i < 4; ++i) City(i)->RemoveRoadsTo(City((i + 1) % 4)), City(i)->RemoveRoadsTo(City((i + 2) % 4));
    City(0)->SetMoney(row.moneyAtMenu);
    City(1)->SetMoney(0.0f);
    Click(10, 10);
    ASSERT_EQ(City(0), input->GetMenuCity());
    Choose(row.item);
    EXPECT_EQ(row.moneyAtMenu, Wealth(0)) << "nothing is paid at the menu";
    const bool road = row.item != kCivItemExpelEmbassy;
    EXPECT_EQ(road && row.started, input->GetPendingRoad() != nullptr);
    EXPECT_EQ(!road && row.started, input->IsChoosingEmbassyToExpel());
    City(0)->SetMoney(row.moneyAtClick);
    Click(row.targetX, row.targetX);
    GetDataManager()->CommitPending();
    EXPECT_FLOAT_EQ(row.moneyAtClick - row.paid, Wealth(0));
    EXPECT_EQ(nullptr, input->GetPendingRoad());
    EXPECT_FALSE(input->IsPlacingRoad() || input->IsPlacingTradeRoute() || input->IsChoosingEmbassyToExpel());
    EXPECT_EQ(row.paid > 0.0f, road ? City(0)->GetRoads().size() == 1u : theirEmbassy->GetState() == kCivRemoved);
    Choose(-1);  // a click that named no target may have opened a menu
  }
}

TEST_F(CivInputTest, GiftGoesFromTheClickedOwnCityThatCanAffordIt) {
  cOverlayRecorder overlay;  // the notice is drawn
  BuildingAt(0, 0, 10, 10);
  BuildingAt(2, 0, 30, 30);
  struct Row {
    int providerX;
    float money;
    const char* notice;
  } rows[] = {{10, 100.0f, "Gift given"}, {10, 79.0f, "Gift transaction cancelled"}, {30, 100.0f, "Gift transaction cancelled"},
              {10, 80.0f, "Gift given"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.notice);
    City(0)->SetMoney(row.money);
    Click(30, 30);  // an NPC city: its menu holds the gift alone
    EXPECT_EQ(std::vector<int>{kCivItemGift}, OpenItems());
    EXPECT_EQ("Give Gift To City ($80)", Label(kCivItemGift));  // 8 buildings of the human's, 10 each
    Choose(kCivItemGift);
    EXPECT_EQ("Which city is providing the gift?", input->GetNoticeText());
    Click(row.providerX, row.providerX);
    EXPECT_EQ(row.notice, input->GetNoticeText());
    EXPECT_FLOAT_EQ(row.notice[5] == 'g' ? row.money - 80.0f : row.money, City(0)->GetMoney());
    clock.Advance(2000);
    input->OnRender();
    EXPECT_EQ(row.notice, input->GetNoticeText()) << "shown for 2000 ms";
    clock.Advance(1);
    input->OnRender();
    EXPECT_EQ("", input->GetNoticeText());
  }
}

TEST_F(CivInputTest, CityMenuItemsFollowConditionsAndUpgradeLevel) {
  BuildingAt(0, 0, 10, 10);
  struct Row {
    int level;
    int turrets;
    bool damaged;
    float partyPerBuilding;
    std::vector<int> items;
  } rows[] = {
      {0, 0, false, 3.125f, {4, 8, 0, 6, 1, 12}},
      {1, 0, false, 3.125f, {4, 0, 6, 1, 12}},
      {2, 0, false, 3.125f, {4, 9, 2, 0, 6, 1, 12}},
      {3, 0, false, 3.125f, {4, 0, 6, 1, 12}},
      {4, 0, false, 3.125f, {4, 10, 2, 3, 0, 6, 1, 12}},
      {5, 0, false, 3.125f, {4, 2, 3, 0, 6, 1, 12}},
      {6, 0, false, 3.125f, {4, 0, 6, 1, 12}},  // no level above 5 offers anything
      {1, 7, false, 3.125f, {4, 0, 6, 1, 12}},  // one below the turret limit
      {1, 8, true, 0.0f, {4, 0, 1, 7}},  // the turret limit, a ruin, a party at price 0
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "level " << row.level);
    players->GetUpgradeLevels()->Set(0, row.level);
    for (int k = (int)City(0)->GetTurrets().size(); k < row.turrets; ++k) City(0)->AddTurret();
    EXPECT_EQ(row.turrets, (int)City(0)->GetTurrets().size());
    if (row.damaged) City(0)->DestroyBuilding();
    cCivTuning::GetCosts()->CostOfPartyPerBuilding = row.partyPerBuilding;
    Click(10, 10);
    EXPECT_EQ(row.items, OpenItems());
    if (row.level == 0) {
      EXPECT_EQ("Buy Building ($150)", Label(kCivItemBuyBuilding));
      EXPECT_EQ("Buy Party ($12.5)", Label(kCivItemBuyParty));
    }
    Choose(-1);
  }
  // The road item goes once every own city is joined.
  City(1)->SetMoney(0.0f);
  City(0)->SetMoney(100.0f);
  BuildingAt(1, 0, 20, 20);
  Click(10, 10);
  Choose(kCivItemBuyRoad);
  Click(20, 20);
  Click(10, 10);
  const std::vector<int> items = OpenItems();
  EXPECT_EQ(items.end(), std::find(items.begin(), items.end(), (int)kCivItemBuyRoad));
}

TEST_F(CivInputTest, PurchasesChargeTheLivePriceAndStopAtTheirLimits) {
  BuildingAt(0, 0, 10, 10);
  players->GetUpgradeLevels()->Set(0, 5);
  cCivTuning::GetCosts()->CostResearchAmphibious = 60.0f;
  struct Row {
    int item;
    float money;
    float paid;
  } rows[] = {
      {kCivItemBuyParty, 20.0f, 12.5f}, {kCivItemBuyBuilding, 150.0f, 150.0f}, {kCivItemBuyBuilding, 149.0f, 0.0f}, {kCivItemBuyLandVehicle, 100.0f, 100.0f},
      {kCivItemBuyAirVehicle, 199.0f, 0.0f}, {kCivItemBuyAirVehicle, 200.0f, 200.0f}, {kCivItemBuyTurret, 79.0f, 0.0f},
      {kCivItemBuyTurret, 80.0f, 80.0f},
      {kCivItemResearchAmphibious, 60.0f, 60.0f},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "item " << row.item << " with " << row.money);
    City(0)->SetMoney(row.money);
    const int buildings = City(0)->GetBuildingCount(), turrets = (int)City(0)->GetTurrets().size();
    const size_t vehicles = world->GetVehicles().size();
    input->GetSelection().Clear();
    Click(10, 10);
    Choose(row.item);
    GetDataManager()->CommitPending();
    EXPECT_FLOAT_EQ(row.money - row.paid, City(0)->GetMoney());
    const bool bought = row.paid > 0.0f;
    if (row.item == kCivItemBuyBuilding) {
      EXPECT_EQ(buildings + (bought ? 1 : 0), City(0)->GetBuildingCount());
    }
    if (row.item == kCivItemBuyTurret) {
      EXPECT_EQ(turrets + (bought ? 1 : 0), (int)City(0)->GetTurrets().size());
    }
    if (row.item == kCivItemResearchAmphibious) {
      EXPECT_EQ(2, players->GetUpgradeLevels()->Get(0));
    }
    if (row.item == kCivItemBuyLandVehicle || row.item == kCivItemBuyAirVehicle) {
      ASSERT_EQ(vehicles + (bought ? 1 : 0), world->GetVehicles().size());
      EXPECT_TRUE(!bought || input->GetSelection().Contains(world->GetVehicles().back())) << "a bought vehicle starts selected";
    }
  }
  // At the turret limit the purchase is refused aloud and costs nothing.
  for (int k = (int)City(0)->GetTurrets().size(); k < 8; ++k) City(0)->AddTurret();
  ASSERT_EQ(8u, City(0)->GetTurrets().size());
  City(0)->SetMoney(500.0f);
  cMessageCapture messages;
  input->SelectCity(City(0));
  input->OnPieMenuSelection(kCivItemBuyTurret);
  ASSERT_EQ(1u, messages.boxes.size());
  EXPECT_EQ("Cannot Purchase Turret", messages.boxes[0].caption);
  EXPECT_EQ("You may not have more than 8 turrets in a city.", messages.boxes[0].text);
  EXPECT_EQ(500.0f, City(0)->GetMoney());

  // The building limit counts every building of the city, rubble too.
  struct Limit { int room; bool rubble, bought; } limits[] = {{1, false, true}, {0, false, false}, {0, true, false}, {1, true, true}};
  for (const Limit& l : limits) {
    SCOPED_TRACE(testing::Message() << "room " << l.room << (l.rubble ? " with rubble" : ""));
    City(0)->SetMoney(500.0f);
    for (int i = 0; i < 50 && City(0)->HasDamagedBuilding(); ++i) City(0)->RepairBuilding();
    if (l.rubble) City(0)->DestroyBuilding();
    const int buildings = City(0)->GetBuildingCount();
    cCivTuning::GetGeneral()->MaxNumBuildings = buildings + l.room;
    input->GetSelection().Clear();
    Click(10, 10);
    Choose(kCivItemBuyBuilding);
    EXPECT_EQ(buildings + (l.bought ? 1 : 0), City(0)->GetBuildingCount());
    EXPECT_EQ(l.bought ? 350.0f : 500.0f, City(0)->GetMoney());
  }
}

TEST_F(CivInputTest, SelectedVehiclesAttackForeignCitiesOnly) {
  cCivModeVehicle* own = VehicleAt(0, 10, 10);
  BuildingAt(1, 0, 20, 20);
  BuildingAt(2, 0, 30, 30);
  Click(20, 20);  // the human's own city: no attack menu, the selection drives there
  EXPECT_EQ(nullptr, input->GetPieMenus().GetVisibleMenu());
  EXPECT_TRUE(input->GetSelection().IsEmpty());
  input->AddToSelection(own);
  Click(30, 30);
  EXPECT_EQ((std::vector<int>{kCivItemConquer, kCivItemGift, kCivItemBuildEmbassy}), OpenItems());
  Choose(kCivItemConquer);
  EXPECT_TRUE(input->GetSelection().IsEmpty());
  EXPECT_EQ(kCivVehicleCombat, own->GetState());
  EXPECT_EQ(City(2), own->GetTargetCity());
  EXPECT_EQ(kCivMissionPillage, own->GetMission());
  // Clicking an NPC vehicle with a selection sends the selection at it.
  cCivModeVehicle* npc = VehicleAt(2, 40, 40);
  input->AddToSelection(own);
  Click(40, 40);
  EXPECT_EQ(npc, own->GetTargetVehicle());
}
}  // namespace

namespace {
// Whatever the data manager removes, the controller lets go of: a load
// empties the world under the hover, the close-up, a pending expulsion and a
// gift; an expelled embassy leaves its city mid-drag; a debug vehicle goes.
TEST_F(CivInputTest, PointersLetGoOfWhatTheDataManagerRemoves) {
  City(0)->EstablishEmbassy(City(2));
  GetDataManager()->CommitPending();
  cCivModeDecoratedBuilding* embassy = City(0)->FindEmbassy(1);
  view.objects[{50, 50}] = embassy->GetSceneObject();
  // Zoom into city 0 and grab its foreign embassy.
  view.distance = 200.0f;
  view.cursorX = view.cursorY = 50;
  input->Update();
  ASSERT_EQ(kCivViewCloseUp, input->GetViewState());
  ASSERT_EQ(City(0), input->GetZoomedCity());
  input->OnLeftButtonDown(50, 50);
  ASSERT_EQ(embassy, input->GetGrabbedBuilding());
  City(0)->ExpelEmbassy(embassy);
  City(0)->Update(16);  // drops the expelled building
  EXPECT_EQ(nullptr, input->GetGrabbedBuilding());
  input->OnMouseMove(51, 51);
  input->OnLeftButtonUp(51, 51);

  // The panel's debug vehicle: the first click puts it down, the second hands it to the world.
  GetCivDebugVehicle().vehicle = GetDataManager()->CreateObject<cCivModeVehicle>();
  GetCivDebugVehicle().vehicle->Init(City(2), kCivLandVehicle);
  GetCivDebugVehicle().vehicle->AddRef();  // the panel holds one until the world takes it
  GetCivDebugVehicle().state = 1;
  cCivModeVehicle* placed = GetCivDebugVehicle().vehicle;
  const size_t vehicles = world->GetVehicles().size();
  Click(60, 60);
  EXPECT_EQ(2, GetCivDebugVehicle().state);
  EXPECT_FLOAT_EQ(view.defaultGround.x, placed->GetPosition().x);
  Click(60, 60);
  EXPECT_EQ(0, GetCivDebugVehicle().state);
  EXPECT_EQ(nullptr, GetCivDebugVehicle().vehicle);
  ASSERT_EQ(vehicles + 1, world->GetVehicles().size());
  EXPECT_EQ(placed, world->GetVehicles().back());

  // A debug vehicle removed on its way to the ground.
  GetCivDebugVehicle().vehicle = GetDataManager()->CreateObject<cCivModeVehicle>();
  GetCivDebugVehicle().vehicle->Init(City(0), kCivLandVehicle);
  GetCivDebugVehicle().vehicle->AddRef();  // the panel holds one until the world takes it
  GetCivDebugVehicle().state = 2;
  GetDataManager()->CommitPending();
  GetDataManager()->Remove(GetCivDebugVehicle().vehicle);
  EXPECT_EQ(nullptr, GetCivDebugVehicle().vehicle);
  EXPECT_EQ(0, GetCivDebugVehicle().state);

  // Back in the world: hover an NPC city, start an expulsion and a gift, then load.
  view.distance = 300.0f;
  input->Update();
  ASSERT_EQ(kCivViewWorld, input->GetViewState());
  BuildingAt(2, 0, 30, 30);
  input->OnMouseMove(30, 30);
  ASSERT_EQ(City(2), input->GetHoveredCity());
  input->BeginExpelEmbassy(City(0));
  input->RecordGift(City(2), 80.0f);
  view.distance = 200.0f;
  view.cursorX = view.cursorY = 30;
  input->Update();
  ASSERT_EQ(City(2), input->GetZoomedCity());
  bridge.BeforeLoad();  // every city leaves through the data manager
  EXPECT_EQ(nullptr, input->GetHoveredCity());
  EXPECT_EQ(nullptr, input->GetMenuCity());
  EXPECT_EQ(nullptr, input->GetZoomedCity());
  EXPECT_EQ(kCivViewWorld, input->GetViewState()) << "the close-up ends with its city";
  EXPECT_EQ(nullptr, input->GetEmbassyCity());
  EXPECT_EQ(nullptr, input->GetGiftTargetCity());
  EXPECT_FALSE(input->IsChoosingEmbassyToExpel());
}

TEST_F(CivInputTest, CloseUpBandCameraClickAndKeys) {
  for (int at : {10, 1600, 1601}) BuildingAt(0, 0, at, at);
  const struct {
    float distance;
    int state;
    int cursor = 10;  // no pick beyond 1600
  } steps[] = {{270.0f, kCivViewWorld}, {260.0f, kCivViewWorld}, {259.0f, kCivViewWorld, 1601},
               {259.0f, kCivViewCloseUp, 1600}, {280.0f, kCivViewCloseUp}, {281.0f, kCivViewWorld}};
  for (const auto& step : steps) {
    view.distance = step.distance;
    view.cursorX = view.cursorY = step.cursor;
    input->Update();
    EXPECT_EQ(step.state, input->GetViewState()) << step.distance << " at " << step.cursor;
  }
  // A camera press shorter than 500 ms moves the camera; a longer one only drags.
  for (uint32_t held : {499u, 500u}) {
    const int moves = view.moves;
    input->OnCameraButtonDown(5, 5);
    clock.Advance(held);
    input->OnCameraButtonUp(5, 5);
    EXPECT_EQ(held < 500 ? moves + 1 : moves, view.moves) << held;
  }
  // The camera keys step the camera every frame; D also toggles the debug text.
  const int focuses = view.focuses;
  Sys_SetKeyState('D', true);
  input->Update();
  input->Update();
  Sys_SetKeyState('D', false);
  EXPECT_EQ(focuses + 2, view.focuses);
  const int32_t debugText = gCivShowDebugText;
  input->OnKeyPress('D');
  EXPECT_NE(debugText, gCivShowDebugText);
  input->OnKeyPress('D');

  // The texts of P and h go to the debug window, as every line does (i is the HUD's, below).
  City(0)->GetMood()->Set(2.5f);
  cDebugText text;
  input->OnKeyPress('p');
  input->OnKeyPress('h');
  const std::vector<std::string> lines = text.Lines();
  ASSERT_EQ(12u, lines.size());  // two lines for each of four cities, then one each
  EXPECT_EQ("City 0", lines[0]);
  EXPECT_EQ(0u, lines[1].rfind("   ", 0)) << lines[1];
  EXPECT_EQ("0: 2.5", lines[8]);
  // Space walks the human's cities; a left press restarts the walk.
  input->OnKeyPress(' ');
  EXPECT_EQ(1, gCivFocusCycleOn);
  input->OnLeftButtonDown(200, 200);
  input->OnLeftButtonUp(200, 200);
  EXPECT_EQ(0, gCivFocusCycleOn);
}

// M opens the placement view: a click on a building takes its city, each move
// carries it (and its ring) to the ground under the cursor, the next click
// lets it go; M again returns to the world.
TEST_F(CivInputTest, PlacementViewCarriesTheClickedCityUntilTheNextClick) {
  using namespace Ru::Math;
  BuildingAt(1, 0, 10, 10);
  const Vector3 start = City(1)->GetPosition();
  view.grounds[{50, 50}] = GroundAway(start, 0.3f);
  view.grounds[{60, 60}] = GroundAway(start, 0.5f);
  view.grounds[{70, 70}] = Vector3{0, 0, 0};  // off the planet
  input->OnKeyPress('M');
  ASSERT_EQ(kCivViewPlacement, input->GetViewState());
  struct Step { int clickAt, moveTo; bool carried; } steps[] = {{0, 50, false}, {10, 50, true}, {0, 70, false}, {50, 60, false}};
  Vector3 expected = start;
  for (const Step& s : steps) {
    SCOPED_TRACE(testing::Message() << "click " << s.clickAt << " move " << s.moveTo);
    if (s.clickAt) Click(s.clickAt, s.clickAt);
    input->OnMouseMove(s.moveTo, s.moveTo);
    if (s.carried) expected = view.grounds[{s.moveTo, s.moveTo}];
    EXPECT_TRUE(Vector3Equal(expected, City(1)->GetPosition()));
  }
  const float ring = GetPlanetModel().GetSurfaceDistance(*City(1)->GetBuildings()[0]->GetPosition(), City(1)->GetPosition());
  EXPECT_GT(ring, 20.0f);
  EXPECT_LT(ring, 60.0f) << "the buildings came along";
  EXPECT_EQ(nullptr, input->GetMenuCity());
  input->OnKeyPress('m');
  EXPECT_EQ(kCivViewWorld, input->GetViewState());
}

// The hover label stands at the cursor each frame while its object is under
// it, and goes once the object is not, in a close-up too; it once stayed at
// its old spot after the camera moved or a close-up ended.
TEST_F(CivInputTest, HoverLabelFollowsItsObjectEveryFrameOrGoes) {
  cCivModeVehicle* own = VehicleAt(0, 10, 10);
  input->GetSelection().Clear();
  BuildingAt(2, 0, 40, 40);
  struct Row {
    int mouseX;     // the cursor, moved there when it changes (a move in a close-up hovers nothing)
    int objectAt;   // the pixel the hovered object lies under now
    float distance; // of the camera
    bool hovered;
    int view;
  } rows[] = {
      {40, 40, 1000.0f, true, kCivViewWorld}, {40, 40, 200.0f, true, kCivViewCloseUp},
      {42, 42, 200.0f, true, kCivViewCloseUp}, {42, 60, 200.0f, false, kCivViewCloseUp},
      {42, 60, 300.0f, false, kCivViewWorld},  {10, 10, 1000.0f, true, kCivViewWorld},
      {10, 20, 1000.0f, false, kCivViewWorld},
  };
  cSceneObject* object = view.objects[{40, 40}];
  int cursor = -1;
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "cursor " << row.mouseX << " object " << row.objectAt << " at " << row.distance);
    if (row.mouseX == 10) object = own->GetSceneObject();
    view.objects.clear();
    view.objects[{row.objectAt, row.objectAt}] = object;
    view.distance = row.distance;
    view.cursorX = view.cursorY = row.mouseX;
    if (row.mouseX != cursor) input->OnMouseMove(row.mouseX, row.mouseX);
    cursor = row.mouseX;
    input->Update();  // the frame: only the camera or the object moved since
    EXPECT_EQ(row.view, input->GetViewState());
    const bool hovered = row.mouseX == 10 ? input->GetHoveredVehicle() == own : input->GetHoveredCity() == City(2);
    EXPECT_EQ(row.hovered, hovered);
    EXPECT_EQ(row.hovered, input->GetHoveredCity() != nullptr || input->GetHoveredVehicle() != nullptr);
    int x = 0, y = 0;
    input->GetLabelPoint(x, y);
    if (row.hovered) { EXPECT_EQ(row.mouseX * 1000 + row.mouseX, x * 1000 + y); }
  }
  const Ru::Math::Vector3 colour = own->GetSceneObject()->GetColour(), owners = CivPlayerColour(0);
  EXPECT_TRUE(colour.x == owners.x && colour.y == owners.y && colour.z == owners.z) << "its hover mark goes with its label";
}

// A click that opens a menu where the hover label stands: the label, wider
// than the ring's radius, once ran over the first item; it now stands above
// the items' row, clear of every item, for an own and an NPC city alike.
TEST_F(CivInputTest, HoverLabelStandsClearOfTheMenuItOpened) {
  cOverlayRecorder overlay;  // a 640 x 480 window, so the items are sized to their labels
  BuildingAt(0, 0, 320, 320);
  BuildingAt(2, 0, 330, 330);
  City(0)->SetMoney(1000.0f);
  const int kLabelWidth = 280, kLabelHeight = 18;  // "Diplomatic Wealth Available: 1000" in 18-point Helvetica
  for (int at : {320, 330}) {
    SCOPED_TRACE(at);
    view.cursorX = view.cursorY = at;
    input->OnMouseMove(at, at);
    Click(at, at);
    cGLFPieMenu* menu = input->GetPieMenus().GetVisibleMenu();
    ASSERT_NE(nullptr, menu);
    clock.Advance(cGLFPieMenu::kOpeningMs);
    input->OnRender();  // the menu drawn fully open
    input->Update();
    ASSERT_NE(nullptr, input->GetHoveredCity()) << "the label stays while the menu is open";
    int x = 0, y = 0;
    input->GetLabelPoint(x, y);
    for (int i = 0; i < menu->GetControlCount(); ++i) {
      const cGLFDialogControl* item = menu->GetControl(i);
      const bool meets = item->X0() < x + kLabelWidth && x < item->X1() && item->Y0() < y && y - kLabelHeight < item->Y1();
      EXPECT_FALSE(meets) << item->GetLabel() << " at " << item->X0() << ", " << item->Y0() << "; label at " << x << ", " << y;
    }
    Click(600, 20);  // off the menu, on nothing: it closes
    input->OnMouseMove(600, 20);
    EXPECT_EQ(nullptr, input->GetPieMenus().GetVisibleMenu());
  }
}

// One city is highlighted at a time: a menu closed on the ground keeps its
// city until the pointer leaves for nothing, and a click on another city then
// takes the highlight with the selection; the first once stayed white.
TEST_F(CivInputTest, ClickingAnotherCityTakesTheHighlightFromTheMenuCity) {
  BuildingAt(0, 0, 20, 20);
  BuildingAt(2, 0, 40, 40);
  input->OnMouseMove(20, 20);
  Click(20, 20);
  ASSERT_EQ(input->GetPieMenus().GetCityMenu(), input->GetPieMenus().GetVisibleMenu());
  Click(300, 300);  // on the ground: the menu closes
  EXPECT_EQ(nullptr, input->GetPieMenus().GetVisibleMenu());
  EXPECT_TRUE(City(0)->IsHighlighted());
  Click(40, 40);
  EXPECT_EQ(input->GetPieMenus().GetNPCCityMenu(), input->GetPieMenus().GetVisibleMenu());
  EXPECT_EQ(City(2), input->GetMenuCity());
  EXPECT_TRUE(City(2)->IsHighlighted());
  EXPECT_FALSE(City(0)->IsHighlighted());
  Choose(-1);
  input->OnMouseMove(300, 300);  // over nothing: the menu city goes
  EXPECT_EQ(nullptr, input->GetMenuCity());
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(City(i)->IsHighlighted()) << i;
}

// What the controller hands the HUD: presses on the map and the event notice
// move the camera and nothing else, a hover resets the label markers, and key
// "i" prints the HUD's bar.
TEST_F(CivInputTest, MapNoticeLabelMarkersAndKeyIGoThroughTheHud) {
  using namespace Ru::Math;
  cOverlayRecorder overlay;  // a 640 x 480 window
  cCivHud hud;
  hud.Enter(nullptr);
  SetCivHud(&hud);
  const int32_t showMap = gCivShowMap;
  cCivModeVehicle* own = VehicleAt(0, 10, 10);
  const Vector3 north{0.0f, 500.0f, 0.0f};
  const Quaternion upright{0, 0, 0, 1};
  for (int32_t shown : {1, 0}) {
    gCivShowMap = shown;
    SetCameraPositionOrientation(&north.x, &upright.x);
    Click(205, 480 - 87);  // the map's centre: longitude 0 on the equator
    const Vector3 camera = Vector3Normalized(Vector3{GetCameraPosition()[0], GetCameraPosition()[1], GetCameraPosition()[2]});
    EXPECT_EQ(shown != 0, Vector3Length(Vector3Sub(camera, LongitudeLatitudeToDirection(0.0f, 0.0f))) < 0.01f) << shown;
    EXPECT_EQ(shown != 0, input->GetSelection().Contains(own)) << "a map click orders nothing";
    input->GetSelection().Add(own);
  }
  gCivShowMap = showMap;

  // The notice's box at the right edge, 100 < y < 300, takes the camera to its point.
  CivShowEventNotice(City(2)->GetPosition());
  for (auto [dx, y] : {std::pair{-50, 100}, {-50, 101}, {-50, 299}, {-50, 300}, {-100, 200}, {-99, 200}}) {
    const bool inside = dx > -100 && y > 100 && y < 300;
    const int focuses = view.focuses;
    input->GetSelection().Add(own);
    Click(view.WindowWidth() + dx, y);
    EXPECT_EQ(inside ? focuses + 1 : focuses, view.focuses) << dx << ", " << y;
    EXPECT_EQ(inside, input->GetSelection().Contains(own)) << dx << ", " << y;
  }
  HideCivEventNotice();

  // Hovering an NPC city, its 2000 ms label timer and leaving it reset the label markers.
  input->GetSelection().Clear();
  BuildingAt(2, 0, 40, 40);
  auto resetAfter = [&](const std::function<void()>& step) {
    PlaceHeartMarker(0, Vector3{0.0f, 900.0f, 0.0f});
    step();
    return Vector3Length(GetCivLabelMarker(0)->GetPosition()) == 0.0f;
  };
  EXPECT_TRUE(resetAfter([&] { input->OnMouseMove(40, 40); }));
  ASSERT_EQ(City(2), input->GetHoveredCity());
  EXPECT_FALSE(resetAfter([&] { clock.Advance(2000), input->OnRender(); }));
  EXPECT_TRUE(resetAfter([&] { clock.Advance(1), input->OnRender(); }));
  EXPECT_TRUE(resetAfter([&] { input->OnMouseMove(300, 300); }));  // off every object
  EXPECT_EQ(nullptr, input->GetHoveredCity());

  world->UpdateIncomeDistribution();
  hud.RefreshIncomePanel();
  cDebugText text;
  input->OnKeyPress('i');
  ASSERT_GE(text.Lines().size(), 2u);
  EXPECT_EQ("income distributions", text.Lines()[0]);
  EXPECT_EQ(0u, text.Lines()[1].rfind("0 ", 0)) << text.Lines()[1];
  SetCivHud(nullptr);
  hud.Leave();
}
}  // namespace
