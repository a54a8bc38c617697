// The pie menus of the city: the hall's menu that buys buildings and upgrades
// the hall, and a building's menu that sells it or switches it. Each is one
// cursor that builds a new menu every time it opens; the choice is read from
// the menu after the release, and any release ends the cursor.
#pragma once

#include <memory>

#include "glf/PieMenu.h"
#include "modes/city/cursors/CityCursor.h"
#include "sim/gamedata/RefPtr.h"

// What every city pie-menu cursor shares: the mouse codes its menus take, the
// item a release chose (kGLFNoResult for none) and drawing a shown menu.
inline constexpr int kCityLeftButton = 0, kCityPressed = 0, kCityReleased = 1;
int ChosenPieMenuItem(cGLFPieMenu* menu, int x, int y);
void DrawPieMenu(cGLFPieMenu* menu);

class cCityGameBuilding;
class cCityGameCity;
class cCityGameWorldObject;

class cCityGameBuildingPieMenuCursor : public cICityGameCursor {
 public:
  void Open(cCityGameBuilding* building, int x, int y);
  int OnLeftButtonDown(int x, int y) override;
  int OnLeftButtonUp(int x, int y) override;  // the chosen item to the building; done
  int Draw(int mouseX, int mouseY) override;
  void LetGo() override;
  cGLFPieMenu* GetMenu() const { return mMenu.get(); }

 private:
  tRefPtr<cCityGameBuilding> mBuilding;
  std::unique_ptr<cGLFPieMenu> mMenu;
};

class cCityGameCityCursor : public cICityGameCursor {
 public:
  enum eItem {
    kFarm = 0, kFactory = 2, kMarket = 3, kHouse = 4, kSilo = 5, kTemple = 6, kMilitary = 7,
    kParty = 8,
    kUpgrade = 11, kCivGame = 12,
  };
  void Open(cCityGameCity* city, int x, int y);
  void BuildMenu();
  int OnLeftButtonDown(int x, int y) override;
  // Buys the chosen item when the money covers it (the building then goes to
  // the build cursor), or upgrades the hall; done.
  int OnLeftButtonUp(int x, int y) override;
  int Draw(int mouseX, int mouseY) override;
  cICityGameCursor* GetNextCursor() override;  // a bought building is placed next
  void LetGo() override;
  cGLFPieMenu* GetMenu() const { return mMenu.get(); }
  cCityGameWorldObject* GetPurchase() const { return mPurchase.Get(); }
  void Choose(int id);  // what a release on that item does

 private:
  tRefPtr<cCityGameCity> mCity;
  std::unique_ptr<cGLFPieMenu> mMenu;
  tRefPtr<cCityGameWorldObject> mPurchase;
};

cCityGameBuildingPieMenuCursor& GetCityBuildingPieMenuCursor();
cCityGameCityCursor& GetCityCityCursor();
