#include "modes/civ/CivPieMenus.h"

#include <sstream>

#include "glf/Overlay2D.h"
#include "glf/PieMenu.h"
#include "modes/civ/CivAccess.h"
#include "modes/civ/CivBuilding.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivDebugFlags.h"
#include "modes/civ/CivInputController.h"
#include "modes/civ/CivPlayers.h"
#include "modes/civ/CivRoad.h"
#include "modes/civ/CivTuning.h"
#include "modes/civ/CivVehicle.h"
#include "modes/civ/CivWorld.h"
#include "platform/Sys.h"

namespace {
constexpr int kInnerRing = 8;
constexpr float kOuterRingFactor = 1.5f;
constexpr int kCityMenuRadius = 125, kMenuRadius = 75;

const cCivTuningCosts& Costs() { return *cCivTuning::GetCosts(); }
int TurretLimit() { return cCivTuning::GetGeneral()->MaxTurretsPerCity; }
int Turrets(cCivModeDecoratedCity* city) { return (int)city->GetTurrets().size(); }

bool HasRoadTo(cCivModeDecoratedCity* from, cCivModeDecoratedCity* to) {
  for (cCivModeRoad* road : from->GetRoads())
    if (road->GetEnd() == to) return true;
  return false;
}

// Another city of the owner that no road of `city` reaches yet.
bool CanBuyRoad(cCivModeDecoratedCity* city) {
  for (cCivModeDecoratedCity* other : GetCivCities())
    if (other != city && other->GetOwner() == city->GetOwner() && !HasRoadTo(city, other)) return true;
  return false;
}

// A foreign city holding a live embassy of the owner, not yet joined to `city`.
bool CanBuyTradeRoute(cCivModeDecoratedCity* city) {
  for (cCivModeDecoratedCity* other : GetCivCities())
    if (other->GetOwner() != city->GetOwner() && other->FindEmbassy(city->GetOwner()) && !HasRoadTo(city, other))
      return true;
  return false;
}

int UpgradeLevel(int player) {
  cCivPlayers* players = GetCivPlayers();
  return players ? players->GetUpgradeLevels()->Get(player) : 0;
}

void RemoveItems(cGLFPieMenu* menu, int first, int last) {
  for (int id = first; id <= last; ++id) menu->RemoveControl(id);
}

void ShowAt(cGLFPieMenu* menu, int x, int y) {
  menu->Layout((float)x, (float)y);
  menu->AutoSizeControls();
  menu->Show();
}
}  // namespace

std::string cCivPieMenus::PriceLabel(const char* text, float price) {
  std::ostringstream label;
  label << text << " ($" << price << ")";
  return label.str();
}

cCivPieMenus::cCivPieMenus(cCivInputController* controller) : mController(controller) {
  ReadCivDebugFlags();
  mMenus[0] = new cGLFPieMenu(controller, kInnerRing, kCityMenuRadius, kOuterRingFactor);
  for (int i = 1; i < 5; ++i) mMenus[i] = new cGLFPieMenu(controller, kInnerRing, kMenuRadius, kOuterRingFactor);
  GetAttackMenu()->AddItem("Attempt Conquer City", kCivItemConquer);
}

cCivPieMenus::~cCivPieMenus() {
  for (cGLFPieMenu*& menu : mMenus) {
    delete menu;
    menu = nullptr;
  }
}

void cCivPieMenus::OpenCityMenu(int x, int y) {
  cCivModeDecoratedCity* city = mController->GetMenuCity();
  if (!city) return;
  cGLFPieMenu* menu = GetCityMenu();
  RemoveItems(menu, kCivItemBuyBuilding, kCivItemBuyParty);
  const cCivTuningCosts& costs = Costs();
  const int n = city->CountIntactBuildings();
  if (CanBuyRoad(city)) menu->AddItem(PriceLabel("Buy Road", costs.RoadCost), kCivItemBuyRoad);
  if (CanBuyTradeRoute(city)) menu->AddItem(PriceLabel("Buy Trade Route", costs.TradeRouteCost), kCivItemBuyTradeRoute);
  const std::string amphibious = PriceLabel("Buy Amphibious Vehicle", costs.GetVehicleCost(n, kCivAmphibiousVehicle));
  const std::string air = PriceLabel("Buy Air Vehicle", costs.GetVehicleCost(n, kCivAirVehicle));
  switch (UpgradeLevel(city->GetOwner())) {
    case 0:
      menu->AddItem(PriceLabel("Research Amphibious", costs.CostResearchAmphibious), kCivItemResearchAmphibious);
      break;
    case 2:
      menu->AddItem(PriceLabel("Research Aeronautics", costs.CostResearchAeronautics), kCivItemResearchAeronautics);
      menu->AddItem(amphibious, kCivItemBuyAmphibiousVehicle);
      break;
    case 4:
      menu->AddItem(PriceLabel("Research Astronautics", costs.CostResearchAstronautics), kCivItemResearchAstronautics);
      menu->AddItem(amphibious, kCivItemBuyAmphibiousVehicle);
      menu->AddItem(air, kCivItemBuyAirVehicle);
      break;
    case 5:
      menu->AddItem(amphibious, kCivItemBuyAmphibiousVehicle);
      menu->AddItem(air, kCivItemBuyAirVehicle);
      break;
    default:
      break;  // a research under way, or a level the game never sets
  }
  if (city->FindEmbassy(-1)) menu->AddItem(PriceLabel("Expel Embassy", costs.CostExpelEmbassy), kCivItemExpelEmbassy);
  menu->AddItem(PriceLabel("Buy Building", costs.GetBuildingCost(n)), kCivItemBuyBuilding);
  if (Turrets(city) < TurretLimit())
    menu->AddItem(PriceLabel("Buy Turret", costs.GetTurretCost(Turrets(city))), kCivItemBuyTurret);
  menu->AddItem(PriceLabel("Buy Land Vehicle", costs.GetVehicleCost(n, kCivLandVehicle)), kCivItemBuyLandVehicle);
  if (city->HasDamagedBuilding())
    menu->AddItem(PriceLabel("Repair Building", costs.GetRepairCost(n)), kCivItemRepairBuilding);
  if (costs.GetPartyCost(n) > 0.0f) menu->AddItem(PriceLabel("Buy Party", costs.GetPartyCost(n)), kCivItemBuyParty);
  ShowAt(menu, x, y);
}

void cCivPieMenus::OpenAttackMenu(int x, int y) {
  cCivModeDecoratedCity* city = mController->GetMenuCity();
  if (!city) return;
  cGLFPieMenu* menu = GetAttackMenu();
  menu->RemoveControl(kCivItemBuildEmbassy);
  menu->RemoveControl(kCivItemGift);
  menu->AddItem(GiftLabel(), kCivItemGift);
  if (!city->FindEmbassy(GetCivHumanPlayer())) menu->AddItem("Attempt Build Embassy", kCivItemBuildEmbassy);
  ShowAt(menu, x, y);
}

void cCivPieMenus::OpenNPCCityMenu(int x, int y) {
  if (!mController->GetMenuCity()) return;
  cGLFPieMenu* menu = GetNPCCityMenu();
  menu->RemoveControl(kCivItemGift);
  menu->AddItem(GiftLabel(), kCivItemGift);
  ShowAt(menu, x, y);
}

std::string cCivPieMenus::GiftLabel() {
  const float amount = (float)cCivModeDecoratedCity::CountHumanBuildings() * Costs().CostGiftAmountPerBuildingInNation;
  mController->RecordGift(mController->GetMenuCity(), amount);
  return PriceLabel("Give Gift To City", amount);
}

cGLFPieMenu* cCivPieMenus::GetVisibleMenu() const {
  for (cGLFPieMenu* menu : mMenus)
    if (menu && menu->IsVisible()) return menu;
  return nullptr;
}

void cCivPieMenus::DrawVisibleMenu() {
  cGLFPieMenu* menu = GetVisibleMenu();
  if (!menu) return;
  Begin2D();
  menu->Draw();
  End2D();
}

void cCivPieMenus::Pay(cCivModeDecoratedCity* city, float price) const { city->Pay(price); }

void cCivPieMenus::BuyTurret(cCivModeDecoratedCity* city) {
  if (Turrets(city) >= TurretLimit()) {
    Sys_MessageBox("Cannot Purchase Turret", "You may not have more than 8 turrets in a city.");
    return;
  }
  const float price = Costs().GetTurretCost(Turrets(city));
  if (price < 0.0f || city->GetAvailableWealth() < price) return;
  Pay(city, price);
  city->AddTurret();
}

void cCivPieMenus::OnSelection(int itemId) {
  cCivModeDecoratedCity* city = mController->GetMenuCity();
  if (!city) return;
  const cCivTuningCosts& costs = Costs();
  const int n = city->CountIntactBuildings();
  const float money = city->GetAvailableWealth();
  cCivWorld* world = GetCivWorld();
  // Buys at `price` when the money is there; false (nothing paid) otherwise.
  auto buy = [&](float price) {
    if (money < price) return false;
    Pay(city, price);
    return true;
  };
  switch (itemId) {
    case kCivItemBuyBuilding:
      if (city->GetBuildingCount() < cCivTuning::GetGeneral()->MaxNumBuildings && buy(costs.GetBuildingCost(n)))
        city->AddBuilding(1);
      return;
    case kCivItemBuyLandVehicle:
    case kCivItemBuyAmphibiousVehicle:
    case kCivItemBuyAirVehicle: {
      const int kind = itemId - kCivItemBuyLandVehicle;
      if (world && buy(costs.GetVehicleCost(n, kind))) world->CreateVehicle(city, kind);
      return;
    }
    case kCivItemBuyRoad:
    case kCivItemBuyTradeRoute: {
      const bool trade = itemId == kCivItemBuyTradeRoute;
      if (!world || money < (trade ? costs.TradeRouteCost : costs.RoadCost)) return;
      // Paid only when the destination is accepted.
      cCivModeRoad* road = world->CreateRoad();
      if (!road) return;
      road->SetKind(trade ? kCivTradeRoute : kCivPlainRoad);
      road->SetStart(city);
      mController->BeginRoad(road);
      return;
    }
    case kCivItemBuyTurret:
      BuyTurret(city);
      return;
    case kCivItemRepairBuilding:
      if (buy(costs.GetRepairCost(n))) city->RepairBuilding();
      return;
    case kCivItemResearchAmphibious:
    case kCivItemResearchAeronautics:
    case kCivItemResearchAstronautics: {
      const float researchCost[] = {costs.CostResearchAmphibious, costs.CostResearchAeronautics,
                                    costs.CostResearchAstronautics};
      static const int kLevelAfter[] = {2, 4, 5};
      const int which = itemId - kCivItemResearchAmphibious;
      cCivPlayers* players = GetCivPlayers();
      if (players && buy(researchCost[which])) players->GetUpgradeLevels()->Set(city->GetOwner(), kLevelAfter[which]);
      return;
    }
    case kCivItemExpelEmbassy:
      if (money >= costs.CostExpelEmbassy) mController->BeginExpelEmbassy(city);  // paid at the embassy's click
      return;
    case kCivItemBuyParty:
      if (buy(costs.GetPartyCost(n))) city->ThrowParty();
      return;
    case kCivItemConquer:
    case kCivItemBuildEmbassy:
      mController->GetSelection().OrderAttackCity(city, itemId == kCivItemConquer ? kCivMissionPillage : kCivMissionEmbassy);
      return;
    case kCivItemGift:
      mController->BeginChooseGiftProvider();  // the gift was recorded with the label
      return;
    default:
      return;
  }
}
