#include "modes/city/cursors/CityContainerMenus.h"

#include <cstdio>
#include <string>

#include "modes/city/behaviours/CityBehaviorMechanics.h"
#include "modes/city/behaviours/CityBehaviors.h"
#include "modes/city/citizens/CityCreatures.h"
#include "modes/city/cursors/CityMenuCursors.h"
#include "modes/city/economy/CityBundleContainers.h"
#include "modes/city/objects/CityObjectRegistry.h"

namespace {
std::string SellLabel(float value) {
  char label[48];
  std::snprintf(label, sizeof label, "Sell $%.0f", (double)value);
  return label;
}

template <class T>
T* FindById(uint32_t id) {
  return dynamic_cast<T*>(GetCityObjectRegistry().Find(id));
}
}  // namespace

cCityGameContainerPieMenuCursor& GetCityContainerPieMenuCursor() {
  static auto* cursor = new cCityGameContainerPieMenuCursor;
  return *cursor;
}

cCityGameGlobalFoodBundlePieMenuCursor& GetCityGlobalFoodPieMenuCursor() {
  static auto* cursor = new cCityGameGlobalFoodBundlePieMenuCursor;
  return *cursor;
}

// ---- the base menu ----

cCityGameLeftClickPieMenuCursor::~cCityGameLeftClickPieMenuCursor() = default;

void cCityGameLeftClickPieMenuCursor::Open(int x, int y, const std::vector<cCityGameWorldObject*>& creatures) {
  mSelected.clear();
  for (cCityGameWorldObject* object : creatures)
    if (auto* citizen = dynamic_cast<cCityGamePlayerCreature*>(object)) mSelected.push_back(citizen);
  mMenu = std::make_unique<cGLFPieMenu>(nullptr, 8, 75, 1.5f);
  mMenu->Layout(150.0f, 200.0f);
  FillMenu(mMenu.get());
  mMenu->Layout((float)(x - 30), (float)y);
  mMenu->Show();
  mMenu->AutoSizeControls();
}

void cCityGameLeftClickPieMenuCursor::SetSelected(const std::vector<tRefPtr<cCityGamePlayerCreature>>& citizens) {
  mSelected = citizens;
  for (auto& citizen : mSelected) citizen->SetSelected(true);
}

void cCityGameLeftClickPieMenuCursor::DeselectAll() {
  for (auto& citizen : mSelected) citizen->SetSelected(false);
}

int cCityGameLeftClickPieMenuCursor::OnLeftButtonDown(int x, int y) {
  if (mMenu) mMenu->HandleMouse(kCityLeftButton, kCityPressed, x, y);
  return kStay;
}

int cCityGameLeftClickPieMenuCursor::OnLeftButtonUp(int x, int y) {
  if (!mMenu) return kDone;
  const int chosen = ChosenPieMenuItem(mMenu.get(), x, y);
  if (chosen != kGLFNoResult) OnSelection(chosen);
  else DeselectAll();
  mSelected.clear();
  mMenu.reset();
  return kDone;
}

int cCityGameLeftClickPieMenuCursor::Draw(int, int) {
  DrawPieMenu(mMenu.get());
  return kStay;
}

void cCityGameLeftClickPieMenuCursor::LetGo() {
  DeselectAll();
  mSelected.clear();
  mMenu.reset();
}

bool cCityGameLeftClickPieMenuCursor::IsCursorObject(cCityGameWorldObject* object) {
  for (auto& citizen : mSelected)
    if (citizen.Get() == object) return true;
  return false;
}

// ---- the tribe menu ----

int cCityGameSellingPieMenuCursor::OnLeftButtonDown(int x, int y) {
  cCityGameLeftClickPieMenuCursor::OnLeftButtonDown(x, y);
  if (mSellMenu) mSellMenu->HandleMouse(kCityLeftButton, kCityPressed, x, y);
  return kStay;
}

int cCityGameSellingPieMenuCursor::OnLeftButtonUp(int x, int y) {
  const std::vector<tRefPtr<cCityGamePlayerCreature>> kept = mSelected;
  const int code = cCityGameLeftClickPieMenuCursor::OnLeftButtonUp(x, y);
  if (!mSellMenu) return code;
  SetSelected(kept);  // highlighted while the tribes are offered
  if (!mSellMenu->IsVisible()) return code;
  if (mSellMenuJustOpened) {
    mSellMenuJustOpened = false;
    return kStay;  // the release that chose "Sell" is used up
  }
  const int chosen = ChosenPieMenuItem(mSellMenu.get(), x, y);
  if (chosen != kGLFNoResult) OnSelection(chosen);
  else DeselectAll();
  mSelected.clear();
  ResetSellMenu();
  return kDone;
}

int cCityGameSellingPieMenuCursor::Draw(int, int) {
  DrawPieMenu(mMenu.get());
  DrawPieMenu(mSellMenu.get());
  return kStay;
}

void cCityGameSellingPieMenuCursor::LetGo() {
  cCityGameLeftClickPieMenuCursor::LetGo();
  ResetSellMenu();
}

void cCityGameSellingPieMenuCursor::ResetSellMenu() {
  mSellMenu.reset();
  mTribeByItem.clear();
  mSellMenuJustOpened = false;
}

void cCityGameSellingPieMenuCursor::OpenSellMenu(int firstId) {
  ResetSellMenu();
  mSellMenu = std::make_unique<cGLFPieMenu>(nullptr, 8, 75, 1.5f);
  float x = 0.0f, y = 0.0f;
  if (mMenu) mMenu->GetCentre(&x, &y);
  mSellMenu->Layout(x, y);
  std::vector<cCityGameTribe*> tribes;  // numbered from 1 in registry order
  GetCityObjectRegistry().CollectObjectsOfClass(tribes);
  for (size_t n = 0; n < tribes.size(); ++n) {
    const int id = firstId + (int)n;
    mSellMenu->AddItem("Sell to Tribe " + std::to_string(n + 1), id);
    mTribeByItem[id] = tribes[n]->GetId();
  }
  mSellMenu->Show();
  mSellMenu->AutoSizeControls();
  mSellMenuJustOpened = true;
}

cCityGameTribe* cCityGameSellingPieMenuCursor::GetTribeForItem(int id) const {
  auto found = mTribeByItem.find(id);
  return found == mTribeByItem.end() ? nullptr : FindById<cCityGameTribe>(found->second);
}

// ---- a holder's store ----

void cCityGameContainerPieMenuCursor::OpenFor(cCityGameBundleContainer* container, int x, int y,
                                              const std::vector<cCityGameWorldObject*>& creatures) {
  ResetSellMenu();
  mContainerId = container ? container->GetId() : kNoCityId;
  Open(x, y, creatures);
}

void cCityGameContainerPieMenuCursor::FillMenu(cGLFPieMenu* menu) {
  auto* container = FindById<cCityGameBundleContainer>(mContainerId);
  auto* holder = container ? dynamic_cast<cCityGameInteractableObject*>(container->GetHolder()) : nullptr;
  menu->AddItem(holder ? holder->GetInteractionName() : std::string("Eat"), kUseItem);
  menu->AddItem(SellLabel(container ? GetBundleSellValue(container->GetKind()) : 0.0f), kSellItem);
}

void cCityGameContainerPieMenuCursor::OnSelection(int id) {
  if (id == kSellItem) return OpenSellMenu(kFirstTribeItem);
  auto* container = FindById<cCityGameBundleContainer>(mContainerId);
  cCityGameTribe* tribe = GetTribeForItem(id);
  for (auto& citizen : mSelected) {
    citizen->SetSelected(false);
    if (!container) continue;
    if (id == kUseItem) {
      if (auto* holder = dynamic_cast<cCityGameInteractableObject*>(container->GetHolder()))
        holder->Interact(citizen.Get(), nullptr, nullptr, 1);
    } else if (tribe) {
      auto* target = new nBehavior::cCityGameSellTarget;
      target->sourceContainer = container;
      target->buyer = tribe;
      if (!container->Interact(citizen.Get(), GetCityBehavior<cCityGameBehaviorSellFromContainer>(), target, 1))
        delete target;
    }
  }
}

// ---- the city's loose food ----

void cCityGameGlobalFoodBundlePieMenuCursor::OpenFor(cCityGameCityBundleContainer* container, int x, int y,
                                                     const std::vector<cCityGameWorldObject*>& creatures) {
  ResetSellMenu();
  mContainerId = container ? container->GetId() : kNoCityId;
  Open(x, y, creatures);
}

void cCityGameGlobalFoodBundlePieMenuCursor::FillMenu(cGLFPieMenu* menu) {
  auto* container = FindById<cCityGameCityBundleContainer>(mContainerId);
  menu->AddItem("Eat", kEatItem);
  menu->AddItem("Save", kSaveItem);
  menu->AddItem(SellLabel(container ? container->GetSellValue() : 0.0f), kSellItem);
}

void cCityGameGlobalFoodBundlePieMenuCursor::OnSelection(int id) {
  if (id == kSellItem) return OpenSellMenu(kFirstTribeItem);
  auto* container = FindById<cCityGameCityBundleContainer>(mContainerId);
  cCityGameTribe* tribe = GetTribeForItem(id);
  for (auto& citizen : mSelected) {
    citizen->SetSelected(false);
    // A citizen low on a need, or one more than there are bundles, is sent nowhere.
    if (!container || !container->IsPickable(citizen.Get())) continue;
    if (id >= kFirstTribeItem && tribe) {
      auto* target = new nBehavior::cCityGameSellTarget;
      target->cityContainer = container;
      target->buyer = tribe;
      if (!container->Interact(citizen.Get(), GetCityBehavior<cCityGameBehaviorSellBundle>(), target, 1)) delete target;
    } else if (id == kSaveItem) {
      container->Interact(citizen.Get(), GetCityBehavior<cCityGameBehaviorSaveBundle>(), nullptr, 1);
    } else if (id == kEatItem) {
      container->Interact(citizen.Get(), GetCityBehavior<cCityGameBehaviorEatBundle>(), nullptr, 1);
    }
  }
}
