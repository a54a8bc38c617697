// The pie menus that command selected citizens at a store: at the hall's or
// a silo's store "Eat" there or "Sell $n" its bundles to a tribe; at the
// city's loose food "Eat", "Save" or "Sell $n" a bundle. "Sell $n" opens a
// second menu of the tribes ("Sell to Tribe 1", ...) while the citizens stay
// highlighted; the next release sends each of them with its own sell target.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "glf/PieMenu.h"
#include "modes/city/cursors/CityCursor.h"
#include "sim/gamedata/RefPtr.h"

class cCityGameBundleContainer;
class cCityGameCityBundleContainer;
class cCityGamePlayerCreature;
class cCityGameTribe;
class cCityGameWorldObject;

class cCityGameLeftClickPieMenuCursor : public cICityGameCursor {
 public:
  static constexpr int kSellItem = 1;

  ~cCityGameLeftClickPieMenuCursor() override;
  int OnLeftButtonDown(int x, int y) override;
  int OnLeftButtonUp(int x, int y) override;
  int Draw(int mouseX, int mouseY) override;
  bool IsCursorObject(cCityGameWorldObject* object) override;
  void LetGo() override;  // the menu closes; the citizens are deselected

  virtual void FillMenu(cGLFPieMenu* menu) = 0;
  virtual void OnSelection(int id) = 0;
  // Opens at the mouse for these citizens; each is held (counted) until the menu closes.
  void Open(int x, int y, const std::vector<cCityGameWorldObject*>& creatures);

  cGLFPieMenu* GetMenu() const { return mMenu.get(); }
  int GetSelectedCount() const { return (int)mSelected.size(); }

 protected:
  void SetSelected(const std::vector<tRefPtr<cCityGamePlayerCreature>>& citizens);
  void DeselectAll();
  void ForgetSelection() { mSelected.clear(); }

  std::unique_ptr<cGLFPieMenu> mMenu;
  std::vector<tRefPtr<cCityGamePlayerCreature>> mSelected;  // counted: a citizen may be removed meanwhile
};

// What the two store menus share: the tribe menu after "Sell $n".
class cCityGameSellingPieMenuCursor : public cCityGameLeftClickPieMenuCursor {
 public:
  int OnLeftButtonDown(int x, int y) override;
  int OnLeftButtonUp(int x, int y) override;
  int Draw(int mouseX, int mouseY) override;
  cGLFPieMenu* GetSellMenu() const { return mSellMenu.get(); }
  cCityGameTribe* GetTribeForItem(int id) const;
  void LetGo() override;

 protected:
  // The tribes in registry order, as items from `firstId` on.
  void OpenSellMenu(int firstId);
  void ResetSellMenu();

  std::unique_ptr<cGLFPieMenu> mSellMenu;
  std::map<int, uint32_t> mTribeByItem;  // tribe ids: a tribe gone meanwhile starts nothing
  bool mSellMenuJustOpened = false;
};

class cCityGameContainerPieMenuCursor : public cCityGameSellingPieMenuCursor {
 public:
  static constexpr int kUseItem = 0, kFirstTribeItem = 2;
  void OpenFor(cCityGameBundleContainer* container, int x, int y, const std::vector<cCityGameWorldObject*>& creatures);
  void FillMenu(cGLFPieMenu* menu) override;
  void OnSelection(int id) override;

 private:
  uint32_t mContainerId = 0xFFFFFFFFu;
};

class cCityGameGlobalFoodBundlePieMenuCursor : public cCityGameSellingPieMenuCursor {
 public:
  static constexpr int kEatItem = 0, kSaveItem = 2, kFirstTribeItem = 3;
  void OpenFor(cCityGameCityBundleContainer* container, int x, int y,
               const std::vector<cCityGameWorldObject*>& creatures);
  void FillMenu(cGLFPieMenu* menu) override;
  void OnSelection(int id) override;

 private:
  uint32_t mContainerId = 0xFFFFFFFFu;
};

cCityGameContainerPieMenuCursor& GetCityContainerPieMenuCursor();
cCityGameGlobalFoodBundlePieMenuCursor& GetCityGlobalFoodPieMenuCursor();
