#include "modes/city/cursors/CityMenuCursors.h"

#include <cstdio>

#include "glf/Overlay2D.h"
#include "modes/city/cursors/CityBuildCursor.h"
#include "modes/city/cursors/CityDragCursor.h"
#include "modes/city/data/CityTuning.h"
#include "modes/city/CityWorld.h"
#include "modes/city/economy/CityBuildingKinds.h"
#include "modes/city/groups/CityGroupFamily.h"
#include "modes/city/objects/CityCreation.h"
#include "modes/city/objects/CityGameCity.h"

int ChosenPieMenuItem(cGLFPieMenu* menu, int x, int y) {
  if (!menu || !menu->IsVisible() || !menu->HandleMouse(kCityLeftButton, kCityReleased, x, y)) return kGLFNoResult;
  return menu->GetResultId();
}

void DrawPieMenu(cGLFPieMenu* menu) {
  if (!menu || !menu->IsVisible()) return;
  Begin2D();
  menu->Draw();
  End2D();
}

namespace {

void OpenAt(cGLFPieMenu* menu, int x, int y) {
  menu->Layout((float)(x - 30), (float)y);
  menu->Show();
  menu->AutoSizeControls();
}
}  // namespace

cCityGameBuildingPieMenuCursor& GetCityBuildingPieMenuCursor() {
  static auto* cursor = new cCityGameBuildingPieMenuCursor;
  return *cursor;
}

cCityGameCityCursor& GetCityCityCursor() {
  static auto* cursor = new cCityGameCityCursor;
  return *cursor;
}

// ---- a building's menu ----

void cCityGameBuildingPieMenuCursor::Open(cCityGameBuilding* building, int x, int y) {
  mMenu = std::make_unique<cGLFPieMenu>(nullptr, 8, 75, 1.5f);
  mMenu->Layout(150.0f, 200.0f);
  building->FillPieMenu(mMenu.get());
  mBuilding = building;
  OpenAt(mMenu.get(), x, y);
}

int cCityGameBuildingPieMenuCursor::OnLeftButtonDown(int x, int y) {
  if (mMenu) mMenu->HandleMouse(kCityLeftButton, kCityPressed, x, y);
  return kStay;
}

int cCityGameBuildingPieMenuCursor::OnLeftButtonUp(int x, int y) {
  const int chosen = ChosenPieMenuItem(mMenu.get(), x, y);
  tRefPtr<cCityGameBuilding> building = mBuilding;
  mBuilding.Reset();
  if (chosen != kGLFNoResult && building && !building->IsDead()) building->OnPieMenuSelection(chosen);
  return kDone;
}

void cCityGameBuildingPieMenuCursor::LetGo() {
  mBuilding.Reset();
  mMenu.reset();
}

int cCityGameBuildingPieMenuCursor::Draw(int, int) {
  DrawPieMenu(mMenu.get());
  return kStay;
}

// ---- the hall's menu ----

void cCityGameCityCursor::Open(cCityGameCity* city, int x, int y) {
  mCity = city;
  BuildMenu();
  OpenAt(mMenu.get(), x, y);
}

void cCityGameCityCursor::BuildMenu() {
  const cCityGameTuning& tuning = GetCityGameTuning();
  const cCityGameBuildingTuning& buildings = GetCityGameBuildingTuning();
  mMenu = std::make_unique<cGLFPieMenu>(nullptr, 8, 75, 2.5f);
  mMenu->Layout(150.0f, 200.0f);
  char label[128];
  auto add = [&](const std::string& name, float cost, int id) {
    std::snprintf(label, sizeof label, "Buy %s $%.0f", name.c_str(), cost);
    mMenu->AddItem(label, id);
  };
  const int level = mCity ? mCity->GetUpgradeLevel() : 0;
  if (level > 0) {
    std::snprintf(label, sizeof label, "Buy Temple $%.0f", (float)buildings.templeCost);
    mMenu->AddItem(label, kTemple);
    std::snprintf(label, sizeof label, "Buy Military Building $%.0f", buildings.militaryCost);
    mMenu->AddItem(label, kMilitary);
    add(buildings.diplomaticBuildingName, (float)buildings.marketCost, kMarket);
  }
  add("Party", (float)tuning.smallPartyCost, kParty);
  add(buildings.sleepBuildingName, (float)buildings.sleepCost, kHouse);
  add(buildings.foodBuildingName, (float)buildings.farmCost, kFarm);
  add(buildings.siloBuildingName, (float)buildings.siloCost, kSilo);
  add(buildings.moneyBuildingName, (float)buildings.factoryCost, kFactory);
  // A level at or above the top (a reload may lower the top) counts as reached.
  if (level < tuning.maxCityUpgradeLevel) {
    std::snprintf(label, sizeof label, "Upgrade City Hall $%.0f", tuning.GetUpgradeCost(level + 1));
    mMenu->AddItem(label, kUpgrade);
  } else {
    mMenu->AddItem("Upgrade to Civ Game (disabled)", kCivGame);
  }
}

int cCityGameCityCursor::OnLeftButtonDown(int x, int y) {
  if (mMenu) mMenu->HandleMouse(kCityLeftButton, kCityPressed, x, y);
  return kStay;
}

void cCityGameCityCursor::Choose(int id) {
  mPurchase.Reset();
  if (!mCity || mCity->IsDead()) return;
  const cCityGameBuildingTuning& buildings = GetCityGameBuildingTuning();
  const float money = mCity->GetMoney();
  // The price asked is the menu's; the price charged is the building's own.
  auto buy = [&](auto* tag, float cost) {
    using tKind = std::remove_pointer_t<decltype(tag)>;
    if (money >= cost) mPurchase = CreateRegisteredCityObject<tKind>();
  };
  switch (id) {
    case kHouse: buy((cCityGameBuildingHouse*)nullptr, (float)buildings.sleepCost); break;
    case kFarm: buy((cCityGameBuildingFarm*)nullptr, (float)buildings.farmCost); break;
    case kSilo: buy((cCityGameBuildingSilo*)nullptr, (float)buildings.siloCost); break;
    case kFactory: buy((cCityGameBuildingFactory*)nullptr, (float)buildings.factoryCost); break;
    case kMarket:
      mCity->AddFeature(cCityGameCity::kMarketFeature);  // chosen, whether or not it is bought
      buy((cCityGameBuildingMarket*)nullptr, (float)buildings.marketCost);
      break;
    case kTemple:
      mCity->AddFeature(cCityGameCity::kTempleFeature);
      buy((cCityGameBuildingTemple*)nullptr, (float)buildings.templeCost);
      break;
    case kMilitary:
      mCity->AddFeature(cCityGameCity::kMilitaryFeature);
      buy((cCityGameBuildingMilitary*)nullptr, buildings.militaryCost);
      break;
    case kParty:
      buy((cCityGameParty*)nullptr, (float)GetCityGameTuning().smallPartyCost);
      if (auto* party = dynamic_cast<cCityGameParty*>(mPurchase.Get())) party->SetSupplies(GetCityGameTuning().smallPartySupplies);
      break;
    case kUpgrade: mCity->UpgradeCityHall(); break;
    default: break;
  }
  if (!mPurchase) return;
  mPurchase->Initialize(mCity.Get());
  mCity->AddMoney(-mPurchase->GetCost());
  if (mMenu) mMenu->Hide();
}

int cCityGameCityCursor::OnLeftButtonUp(int x, int y) {
  Choose(ChosenPieMenuItem(mMenu.get(), x, y));
  return kDone;
}

int cCityGameCityCursor::Draw(int, int) {
  DrawPieMenu(mMenu.get());
  return kStay;
}

void cCityGameCityCursor::LetGo() {
  mCity.Reset();
  mMenu.reset();
  mPurchase.Reset();
}

cICityGameCursor* cCityGameCityCursor::GetNextCursor() {
  tRefPtr<cCityGameWorldObject> purchase = mPurchase;
  mPurchase.Reset();
  if (!purchase || purchase->IsDead()) return nullptr;
  auto* building = dynamic_cast<cCityGameBuilding*>(purchase.Get());
  if (!building) {  // a party is carried to where the player lets it go
    cCityGameDragCursor& drag = GetCityDragCursor();
    drag.BeginDrag(purchase.Get());
    return &drag;
  }
  cCityGameBuildingBuildCursor& build = GetCityBuildCursor();
  build.SetBuilding(building);
  return &build;
}
