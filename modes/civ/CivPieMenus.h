// The civ pie menus: the city menu of the human's own cities, the attack menu
// for a foreign city while vehicles are selected, and the NPC-city menu (a
// gift only). Labels carry the prices as the menu opens; a choice re-reads
// the price and the money at that moment and acts on the controller's menu city.
#pragma once

#include <string>

class cCivInputController;
class cCivModeDecoratedCity;
class cGLFPieMenu;

enum eCivMenuItem {
  kCivItemBuyBuilding = 0,
  kCivItemBuyLandVehicle = 1,
  kCivItemBuyAmphibiousVehicle = 2,
  kCivItemBuyAirVehicle = 3,
  kCivItemBuyRoad = 4,
  kCivItemBuyTradeRoute = 5,
  kCivItemBuyTurret = 6,
  kCivItemRepairBuilding = 7,
  kCivItemResearchAmphibious = 8,
  kCivItemResearchAeronautics = 9,
  kCivItemResearchAstronautics = 10,
  kCivItemExpelEmbassy = 11,
  kCivItemBuyParty = 12,
  kCivItemConquer = 30,
  kCivItemBuildEmbassy = 31,
  kCivItemGift = 50,
};

class cCivPieMenus {
 public:
  // Reads the debug switches of the tuning file first, as the mode is built.
  explicit cCivPieMenus(cCivInputController* controller);
  ~cCivPieMenus();
  cCivPieMenus(const cCivPieMenus&) = delete;
  cCivPieMenus& operator=(const cCivPieMenus&) = delete;

  void OpenCityMenu(int x, int y);
  void OpenAttackMenu(int x, int y);
  void OpenNPCCityMenu(int x, int y);
  cGLFPieMenu* GetVisibleMenu() const;  // null when none is open
  void DrawVisibleMenu();
  void OnSelection(int itemId);
  // "Give Gift To City ($" amount ")", the gift recorded in the controller.
  std::string GiftLabel();

  cGLFPieMenu* GetCityMenu() const { return mMenus[0]; }
  cGLFPieMenu* GetAttackMenu() const { return mMenus[1]; }
  cGLFPieMenu* GetNPCCityMenu() const { return mMenus[4]; }

  // "Buy Building ($150)": the price in the stream's default float format.
  static std::string PriceLabel(const char* text, float price);

 private:
  void Pay(cCivModeDecoratedCity* city, float price) const;
  void BuyTurret(cCivModeDecoratedCity* city);

  cCivInputController* mController;
  // City, attack, two never opened, NPC city: the order the visible one is looked for in.
  cGLFPieMenu* mMenus[5] = {};
};
