#include "modes/tribe/ToolPurchaseMenu.h"

#include "glf/PieMenu.h"

const cToolPurchaseMenu::sItem cToolPurchaseMenu::kItems[kItemCount] = {};

int cToolPurchaseMenu::GetToolCost(int, int) { return 0; }
int cToolPurchaseMenu::GetItemId(int kind, int level) { return kFirstItemId + 3 * kind + (level - 1); }
bool cToolPurchaseMenu::IsItemId(int id) { return id >= kFirstItemId && id <= kLastItemId; }
std::string cToolPurchaseMenu::GetLabel(int, int) { return std::string(); }
cGLFPieMenu* cToolPurchaseMenu::MakeBuyMenu(cIGLFPieMenuSelection* listener, const cTribe*) {
  return new cGLFPieMenu(listener, kRingSize, kRadius, kOuterRingFactor);
}
void cToolPurchaseMenu::BuildBuyMenu(cGLFPieMenu&, const cTribe*) {}
cTribeTool* cToolPurchaseMenu::OnBuyMenuSelection(int, cGLFPieMenu&, const Ru::Math::Vector3&) { return nullptr; }
cTribeTool* cToolPurchaseMenu::BuyTool(cGLFPieMenu&, const Ru::Math::Vector3&, float, int, int, int, const char*, int) {
  return nullptr;
}
