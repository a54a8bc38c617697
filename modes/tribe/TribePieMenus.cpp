// The tribe's command pie menus: what each holds, when it opens, and the
// group order each item starts on the selected members.
#include "math/Vector.h"
#include "modes/tribe/GroupInteractions.h"
#include "modes/tribe/HuntInteractions.h"
#include "modes/tribe/RaidInteractions.h"
#include "modes/tribe/Tribe.h"
#include "modes/tribe/ToolPurchaseMenu.h"
#include "modes/tribe/TribeController.h"
#include "modes/tribe/TribeCreature.h"
#include "modes/tribe/TribeCreatureGroup.h"
#include "modes/tribe/TribeHerd.h"
#include "modes/tribe/TribeHut.h"
#include "modes/tribe/TribeInputController.h"
#include "modes/tribe/TribeObjectController.h"
#include "modes/tribe/TribeStatics.h"
#include "modes/tribe/cTribeGameMode.h"
#include "sim/behavior/BehaviorController.h"
#include "world/planet/GamePlant.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"
#include "world/scene/SolidShapes.h"

using Ru::Math::Vector3;

namespace {
constexpr int kItemsOnInnerRing = 8;
constexpr float kOuterRingFactor = 1.5f;
const Vector3 kHutGhostColour{0.5f, 0.5f, 1.0f};

cGLFPieMenu* MakeMenu(cIGLFPieMenuSelection* listener, float radius,
                      std::initializer_list<std::pair<const char*, int>> items) {
  auto* menu = new cGLFPieMenu(listener, kItemsOnInnerRing, (int)radius, kOuterRingFactor);
  for (const auto& item : items) menu->AddItem(item.first, item.second);
  return menu;
}
}  // namespace

void cTribeInputController::BuildPieMenus() {
  for (cGLFPieMenu** menu : mMenus) delete *menu;
  mMemberMenu = MakeMenu(this, kMenuRingRadius,
                         {{"Rest", kItemRest}, {"Heal", kItemHeal}, {"Nest", kItemNest}, {"Defend", kItemDefend}});
  mHutMenu = MakeMenu(this, kMenuRingRadius, {{"Buy Tool", kItemBuyTool}, {"Move Hut", kItemMoveHut}});
  mBuyMenu = cToolPurchaseMenu::MakeBuyMenu(this, PlayerTribe());  // built again once the world stands
  mGroundMenu = MakeMenu(this, kMenuRingRadius,
                         {{"Gather Here", kItemGatherHere}, {"Hunt Here", kItemHuntHere}, {"Go Here", kItemGoHere}});
  mGatherMenu = MakeMenu(this, kMenuRingRadius, {{"Gather These", kItemGatherThese}});
  mHerdMenu = MakeMenu(this, kMenuRingRadius, {{"Hunt These", kItemHuntThese}});
  mRivalHutMenu = MakeMenu(this, kMenuRingRadius,
                           {{"Recruit These", kItemRecruitThese},
                            {"Raid This", kItemRaidThis},
                            {"*Debug: Raid Me", kItemDebugRaidMe}});
  mFoodMenu = MakeMenu(this, kMenuRingRadius, {{"Eat Food", kItemEatFood}});
  // Every menu is laid out where it opens. Laying them out here as well would
  // measure their labels, which needs the window's fonts, and the mode may be
  // entered without a window (the sniff test).
}

cGLFPieMenu* cTribeInputController::GetOpenPieMenu() const {
  for (cGLFPieMenu** menu : mMenus)
    if (*menu && (*menu)->IsVisible()) return *menu;
  return nullptr;
}

void cTribeInputController::OpenMenu(cGLFPieMenu* menu, int x, int y) {
  if (!menu) return;
  menu->Layout((float)x, (float)y);
  menu->Show();
  menu->AutoSizeControls();
}

void cTribeInputController::RunOrOpenMenu(cGLFPieMenu* menu, int x, int y) {
  if (!menu) return;
  const int single = menu->GetSingleControlId();
  if (single != -1)
    OnPieMenuSelection(single);
  else
    OpenMenu(menu, x, y);
}

void cTribeInputController::OnPieMenuSelection(int id) {
  cTribeObjectController* objects = Objects();
  switch (id) {
    case kItemRest:
      StartGroupOrder(GetTribePrototype<cTribeGroupRests>(), nullptr);
      break;
    case kItemHeal:
      StartGroupOrder(GetTribePrototype<cTribeGroupHeals>(), nullptr);
      break;
    case kItemNest:
      StartGroupOrder(GetTribePrototype<cTribeGroupNests>(), nullptr);
      break;
    case kItemDefend:
      StartGroupOrder(GetTribePrototype<cTribeGroupDefends>(), nullptr);
      break;
    case kItemBuyTool: {
      // The buy menu takes the hut menu's place.
      float x = 0.0f, y = 0.0f;
      mHutMenu->GetCentre(&x, &y);
      mBuyMenu->Layout(x, y);
      mBuyMenu->Show();
      break;
    }
    case kItemMoveHut:
      if (!mHutGhost && objects->GetHutShape()) {
        mHutGhost = new cSceneObject(nullptr, objects->GetHutShape());
        mHutGhost->SetColour(kHutGhostColour);
        mHutGhost->SetPosition(mCursorPoint);
        GetSceneManager().AddObject(mHutGhost);
      }
      break;
    case kItemGatherHere: {
      cGamePlant* plant = nullptr;
      if (mClickedGround) {
        const float* p = mClickedGround->GetPosition();
        plant = GetPlanetModel().FindNearestFruitPlant(Vector3{p[0], p[1], p[2]});
      }
      if (plant) StartGroupOrder(GetTribePrototype<cTribeGroupGathers>(), plant);
      break;
    }
    case kItemHuntHere: {
      cLocation* place = nullptr;
      if (mClickedGround) {
        const float* p = mClickedGround->GetPosition();
        place = new cLocation(p[0], p[1], p[2]);
      }
      StartGroupOrder(GetTribePrototype<cTribeGroupHunts>(), nullptr, place);
      break;
    }
    case kItemGoHere: {
      const Vector3 ground = View().GroundPoint(mPressX, mPressY);
      cIInteraction* started = StartGroupOrder(GetTribePrototype<cTribeGroupGoToNewTarget>(), nullptr,
                                               new cLocation(ground.x, ground.y, ground.z));
      if (auto* go = dynamic_cast<cTribeGroupGoToNewTarget*>(started)) go->SetWaitTime(kOrderWaitSeconds);
      return;  // the same members may be sent on at once
    }
    case kItemGatherThese:
      StartGroupOrder(GetTribePrototype<cTribeGroupGathers>(), mClickedPlant);
      mClickedPlant = nullptr;
      break;
    case kItemHuntThese:
      StartGroupOrder(GetTribePrototype<cTribeGroupHunts>(), mClickedHerd);
      break;
    case kItemRecruitThese:
      StartGroupOrder(GetTribePrototype<cTribeGroupRecruits>(), mClickedHut);
      break;
    case kItemRaidThis:
      StartGroupOrder(GetTribePrototype<cTribeGroupRaids>(), mClickedHut);
      break;
    case kItemDebugRaidMe:
      if (mClickedHut && mClickedHut->GetTribe() && mMode->GetTribeController()) {
        cTribe* rivals = mClickedHut->GetTribe();
        const int attackers = (int)rivals->GetPopulation() - 1;
        if (attackers > 0) mMode->GetTribeController()->StartRaid(rivals, attackers);
      }
      break;
    case kItemEatFood:
      StartGroupOrder(GetTribePrototype<cTribeGroupEats>(), nullptr);
      break;
    default:
      if (id >= kItemFirstPurchase && id <= kItemLastPurchase) OnBuyMenuSelection(id);
      break;
  }
  objects->ClearSelection();
}

// The whole tribe, selected or not, carries the hut to where the ghost stands.
void cTribeInputController::StartHutMove() {
  const Vector3 place = mHutGhost->GetPosition();
  auto* target = new cLocation(place.x, place.y, place.z);
  delete mHutGhost;  // which also takes it out of the scene
  mHutGhost = nullptr;
  auto* group = new cTransientCreatureGroup();
  group->AddRef();
  GetBehaviorController().AddAgent(group);
  if (cTribe* player = PlayerTribe())
    for (auto member = player->MembersBegin(); member != player->MembersEnd(); ++member) group->AddMember(*member);
  if (!group->StartInteraction(GetTribePrototype<cTribeGroupMoveHut>(), TargetWordOf(target))) delete target;
  group->Release();
}

// The purchases themselves are the tool purchase menu's; this controller holds
// the menu and carries the bought tool.
void cTribeInputController::BuildBuyMenu() {
  delete mBuyMenu;
  mBuyMenu = cToolPurchaseMenu::MakeBuyMenu(this, PlayerTribe());
}

void cTribeInputController::OnBuyMenuSelection(int id) {
  if (cTribeTool* bought = cToolPurchaseMenu::OnBuyMenuSelection(id, *mBuyMenu, mCursorPoint)) mToolBeingPlaced = bought;
}
