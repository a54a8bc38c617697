// The tool purchase menu: one entry per tool kind offering the next level at
// its price ("Buy Weapon 1 ($10)"), and the purchase an entry makes: the food
// is paid, the new tool stands where the mouse points, the lower level goes
// and the entry is replaced by the next level's. The input controller holds
// the pie menu and forwards to these; everything here works on the menu it is
// given and on the tribe mode's player tribe.
#pragma once

#include <string>

#include "math/Types.h"

class cGLFPieMenu;
class cIGLFPieMenuSelection;
class cTribe;
class cTribeTool;

class cToolPurchaseMenu {
 public:
  static constexpr int kFirstItemId = 300;  // the Weapon at level 1
  static constexpr int kLastItemId = 320;   // the Gather Tool at level 3
  static constexpr int kItemCount = kLastItemId - kFirstItemId + 1;
  static constexpr int kRingSize = 8;
  static constexpr int kRadius = 160;
  static constexpr float kOuterRingFactor = 1.5f;

  struct sItem {
    const char* name;  // "Weapon 1" ... "Gather Tool 3"
    int id;
  };
  // The 21 items in kind and level order.
  static const sItem kItems[kItemCount];

  // The price from the tribe tuning; 0 for a kind outside 0-6 or a level outside 1-3.
  static int GetToolCost(int kind, int level);
  static int GetItemId(int kind, int level);  // 300 + 3 x kind + level - 1
  static bool IsItemId(int id);               // 300 to 320
  // "Buy " + item name + " ($" + price + ")".
  static std::string GetLabel(int kind, int level);

  // A new hidden menu (not laid out) with the entries for the tribe's tool levels.
  static cGLFPieMenu* MakeBuyMenu(cIGLFPieMenuSelection* listener, const cTribe* tribe);
  // Appends to the menu, in kind order, the next level of every kind the tribe
  // (null: a tribe with no tools) holds below level 3.
  static void BuildBuyMenu(cGLFPieMenu& menu, const cTribe* tribe);

  // An entry was chosen: buys that kind and level. Returns the new tool, which
  // the caller keeps under the mouse until the next left press, or null when
  // the id is not a buy entry or the tribe cannot pay. The caller clears the
  // selection afterwards as after every menu item.
  static cTribeTool* OnBuyMenuSelection(int id, cGLFPieMenu& menu, const Ru::Math::Vector3& cursorPoint);
  // The purchase. Too little food: "Couldn't afford tool." and nothing else.
  // Otherwise the price is paid, the tool is made 1.0 above the ground under
  // the cursor point, the selection is cleared, the lower level is removed and
  // the menu loses the bought entry and gains the next one (when given) at its end.
  static cTribeTool* BuyTool(cGLFPieMenu& menu, const Ru::Math::Vector3& cursorPoint, float price, int kind,
                             int level, int boughtId, const char* nextLabel, int nextId);
};
