#include "modes/city/objects/CityGameObject.h"

#include <algorithm>

#include "math/Math.h"
#include "modes/city/CityWorld.h"
#include "modes/city/citizens/CityCreatures.h"
#include "modes/city/cursors/CityCursorController.h"
#include "modes/city/cursors/CityDragCursor.h"
#include "modes/city/objects/CityObjectRegistry.h"
#include "sim/behavior/Interaction.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

bool cCityGameInteractableObject::Interact(cIInteractionAgent* agent, cIInteraction* interaction,
                                           cIInteractionTarget* target, int extra) {
  if (!interaction) interaction = GetDefaultInteraction();
  if (!interaction || !agent) return false;
  if (!target) target = this;
  // A citizen remembers whether the player ordered it (extra 1) or it chose (0).
  if (auto* citizen = dynamic_cast<cCityGamePlayerCreature*>(agent))
    citizen->StartWithMode(interaction, TargetWordOf(target), (uint32_t)extra);
  else
    agent->StartInteraction(interaction, TargetWordOf(target));
  // An object whose users were ended is leaving the game: a behaviour started
  // on it now is not listed, since the list no longer hears when it ends.
  if (target == this && !mKeepUsers && agent->GetInteraction()) mUsers.push_back(agent->GetInteraction());
  return true;
}

void cCityGameInteractableObject::RemoveUser(cIInteraction* interaction) {
  if (mKeepUsers) return;
  auto found = std::find(mUsers.begin(), mUsers.end(), interaction);
  if (found != mUsers.end()) mUsers.erase(found);
}

void cCityGameInteractableObject::EndUserInteractions() {
  mKeepUsers = true;  // ending a behaviour removes it from this list: the walk must not see that
  const std::vector<cIInteraction*> users = mUsers;
  for (cIInteraction* user : users)
    if (cIInteractionAgent* agent = user->GetAgent()) agent->EndInteraction();
  mUsers.clear();
}

void cCityGameWorldObject::ResolveLinks() {
  mOwner.object = GetCityObjectRegistry().Find(mOwner.id);
}

void cCityGameWorldObject::SetOwner(cCityGameObject* owner) {
  if (owner == mOwner.object) return;
  mOwner.object = owner;
  mOwner.id = owner ? owner->GetId() : kNoCityId;
}

void cCityGameWorldObject::SetPosition(const Vector3& position, const Vector3& offset) {
  mPosition = position;
  mOffset = offset;
  cSceneObject* scene = GetSceneObject();
  if (!scene) return;
  Vector3 placed = position;
  if (!Vector3Equal(offset, Vector3{})) placed = Vector3Add(position, QuatRotateVector(scene->GetOrientation(), offset));
  scene->SetPosition(placed);
  Quaternion upright;
  cPlanetModel::AlignOrientationToSurface(upright, placed, scene->GetOrientation());
  scene->SetOrientation(upright);
}

bool cCityGameWorldObject::IsCursorObject() { return GetCityCursorController().IsCursorObject(this); }

bool cCityGameWorldObject::IsPickable(cCityGameWorldObject* /*user*/) { return !IsCursorObject(); }

cICityGameCursor* cCityGameWorldObject::StartDrag(int /*x*/, int /*y*/, cSceneObject* /*picked*/) {
  cCityGameDragCursor& drag = GetCityDragCursor();
  drag.BeginDrag(this);
  return &drag;
}
