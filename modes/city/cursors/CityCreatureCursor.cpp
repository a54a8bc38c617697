#include "modes/city/cursors/CityCreatureCursor.h"

#include "modes/city/behaviours/CityBehaviors.h"
#include "modes/city/citizens/CityCreatures.h"
#include "modes/city/cursors/CityInputView.h"
#include "modes/city/objects/CityObjectRegistry.h"
#include "modes/creature/CreatureCommon.h"
#include "world/scene/SceneObject.h"

namespace {
constexpr float kMarkerSize = 5.0f;
}

cCityGameCreatureCursor& GetCityCreatureCursor() {
  static cCityGameCreatureCursor cursor;
  return cursor;
}

void cCityGameCreatureCursor::Select(cCityGamePlayerCreature* citizen) {
  if (!citizen || citizen->IsLeaving() || citizen->IsSelected()) return;
  citizen->SetSelected(true);
  citizen->AddRef();  // a citizen removed meanwhile still answers until released
  mSelection.push_back(citizen);
}

void cCityGameCreatureCursor::CallAllCitizens() {
  mCalledAll = true;
  mMarker.Destroy();
  mMarker.Create(kMarkerSize);
  std::vector<cCityGamePlayerCreature*> citizens;  // in id order
  GetCityObjectRegistry().CollectObjectsOfClass(citizens);
  for (cCityGamePlayerCreature* citizen : citizens) {
    if (citizen->IsLeaving() || citizen->IsHidden()) continue;
    Select(citizen);
    citizen->EndInteraction();
    citizen->StartWithMode(GetCityBehavior<cCityGameBehaviorWalk>(), 0, 1);
  }
}

bool cCityGameCreatureCursor::IsCursorObject(cCityGameWorldObject* object) {
  for (cCityGamePlayerCreature* citizen : mSelection)
    if (citizen == object) return true;
  return false;
}

void cCityGameCreatureCursor::ClearSelection() {
  for (cCityGamePlayerCreature* citizen : mSelection) {
    citizen->SetSelected(false);
    citizen->Release();
  }
  mSelection.clear();
  mMarker.Destroy();
}

int cCityGameCreatureCursor::OnLeftButtonUp(int x, int y) {
  cScenePickResult pick;
  GetCityInputView().Pick(pick, x, y, nullptr);
  auto* target = pick.object ? dynamic_cast<cCityGameWorldObject*>(pick.object->GetOwner()) : nullptr;
  auto* usable = dynamic_cast<cCityGameInteractableObject*>(target);
  for (cCityGamePlayerCreature* citizen : mSelection) {
    if (usable && usable->GetDefaultInteraction() && usable->Interact(citizen, nullptr, usable, 1)) continue;
    citizen->StartWithMode(GetCityBehavior<cCityGameBehaviorWalk>(), 0, 1);
    if (citizen->GetCommon()) citizen->GetCommon()->SetPosition(pick.point);
  }
  ClearSelection();
  return kDone;
}
