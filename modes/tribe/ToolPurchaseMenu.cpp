#include "modes/tribe/ToolPurchaseMenu.h"

#include <string>

#include "glf/PieMenu.h"
#include "math/Math.h"
#include "modes/tribe/Tribe.h"
#include "modes/tribe/TribeHut.h"
#include "modes/tribe/TribeObjectController.h"
#include "modes/tribe/TribeTool.h"
#include "modes/tribe/cTribeGameMode.h"
#include "platform/Sys.h"
#include "sim/tuning/TribeTuningData.h"
#include "world/planet/PlanetModel.h"

using Ru::Math::Vector3;

const cToolPurchaseMenu::sItem cToolPurchaseMenu::kItems[kItemCount] = {
    {"Weapon 1", 300},       {"Weapon 2", 301},       {"Weapon 3", 302},
    {"Food Storage Tool 1", 303}, {"Food Storage Tool 2", 304}, {"Food Storage Tool 3", 305},
    {"Recruit Tool 1", 306}, {"Recruit Tool 2", 307}, {"Recruit Tool 3", 308},
    {"Defense Tool 1", 309}, {"Defense Tool 2", 310}, {"Defense Tool 3", 311},
    {"Heal Tool 1", 312},    {"Heal Tool 2", 313},    {"Heal Tool 3", 314},
    {"Rest Tool 1", 315},    {"Rest Tool 2", 316},    {"Rest Tool 3", 317},
    {"Gather Tool 1", 318},  {"Gather Tool 2", 319},  {"Gather Tool 3", 320},
};

static bool IsKnownTool(int kind, int level) {
  return kind >= 0 && kind < (int)kTribeToolKindCount && level >= 1 && level <= (int)cTribeTool::kMaxLevel;
}

int cToolPurchaseMenu::GetToolCost(int kind, int level) {
  if (!IsKnownTool(kind, level)) return 0;
  using tGetter = int (cTribeTuningData::*)() const;
  static const tGetter kPrices[kTribeToolKindCount][3] = {
      {&cTribeTuningData::GetCostHuntTool1, &cTribeTuningData::GetCostHuntTool2, &cTribeTuningData::GetCostHuntTool3},
      {&cTribeTuningData::GetCostFoodStorage1, &cTribeTuningData::GetCostFoodStorage2,
       &cTribeTuningData::GetCostFoodStorage3},
      {&cTribeTuningData::GetCostRecruitTool1, &cTribeTuningData::GetCostRecruitTool2,
       &cTribeTuningData::GetCostRecruitTool3},
      {&cTribeTuningData::GetCostDefenseTool1, &cTribeTuningData::GetCostDefenseTool2,
       &cTribeTuningData::GetCostDefenseTool3},
      {&cTribeTuningData::GetCostHealTool1, &cTribeTuningData::GetCostHealTool2, &cTribeTuningData::GetCostHealTool3},
      {&cTribeTuningData::GetCostRestTool1, &cTribeTuningData::GetCostRestTool2, &cTribeTuningData::GetCostRestTool3},
      {&cTribeTuningData::GetCostGatherTool1, &cTribeTuningData::GetCostGatherTool2,
       &cTribeTuningData::GetCostGatherTool3},
  };
  return (GetTribeTuningData().*kPrices[kind][level - 1])();
}

int cToolPurchaseMenu::GetItemId(int kind, int level) { return kFirstItemId + 3 * kind + (level - 1); }

bool cToolPurchaseMenu::IsItemId(int id) { return id >= kFirstItemId && id <= kLastItemId; }

std::string cToolPurchaseMenu::GetLabel(int kind, int level) {
  if (!IsKnownTool(kind, level)) return std::string();
  return std::string("Buy ") + kItems[GetItemId(kind, level) - kFirstItemId].name + " ($" +
         std::to_string(GetToolCost(kind, level)) + ")";
}

cGLFPieMenu* cToolPurchaseMenu::MakeBuyMenu(cIGLFPieMenuSelection* listener, const cTribe* tribe) {
  auto* menu = new cGLFPieMenu(listener, kRingSize, kRadius, kOuterRingFactor);
  BuildBuyMenu(*menu, tribe);
  return menu;
}

void cToolPurchaseMenu::BuildBuyMenu(cGLFPieMenu& menu, const cTribe* tribe) {
  for (int kind = 0; kind < (int)kTribeToolKindCount; ++kind) {
    const int level = tribe ? (int)tribe->GetToolLevel((uint32_t)kind) : 0;
    if (level < (int)cTribeTool::kMaxLevel) menu.AddItem(GetLabel(kind, level + 1), GetItemId(kind, level + 1));
  }
}

cTribeTool* cToolPurchaseMenu::OnBuyMenuSelection(int id, cGLFPieMenu& menu, const Vector3& cursorPoint) {
  if (!IsItemId(id)) return nullptr;
  const int kind = (id - kFirstItemId) / 3;
  const int level = (id - kFirstItemId) % 3 + 1;
  std::string next;
  int nextId = 0;
  if (level < (int)cTribeTool::kMaxLevel) {
    next = GetLabel(kind, level + 1);
    nextId = id + 1;
  }
  return BuyTool(menu, cursorPoint, (float)GetToolCost(kind, level), kind, level, id,
                 nextId ? next.c_str() : nullptr, nextId);
}

cTribeTool* cToolPurchaseMenu::BuyTool(cGLFPieMenu& menu, const Vector3& cursorPoint, float price, int kind,
                                       int level, int boughtId, const char* nextLabel, int nextId) {
  cTribeObjectController* world = GetTribeObjectController();
  cTribe* tribe = world ? world->GetPlayerTribe() : nullptr;
  if (!tribe) return nullptr;
  if (tribe->GetFood() < price) {
    Sys_MessageBox("Buy Tool Error", "Couldn't afford tool.");
    return nullptr;
  }
  tribe->SpendFood(price);

  // 1.0 above the ground under the mouse. Before the mouse has touched the
  // ground the cursor point is the planet centre: the hut stands in for it.
  Vector3 under = cursorPoint;
  if (Ru::Math::Vector3LengthSquared(under) == 0.0f && tribe->GetHut()) under = tribe->GetHut()->GetPositionVector();
  Vector3 place;
  GetPlanetModel().ProjectToSurfaceAtHeight(place, under, 1.0f);
  cTribeTool* tool = tribe->AddTool((uint32_t)kind, (uint32_t)level, place);

  world->ClearSelection();
  if (level >= 2) tribe->RemoveTools((uint32_t)kind, (uint32_t)(level - 1));
  menu.RemoveControl(boughtId);
  if (nextLabel) menu.AddItem(nextLabel, nextId);
  return tool;
}
