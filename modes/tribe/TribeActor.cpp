#include "modes/tribe/TribeActor.h"

#include <cmath>

#include "modes/tribe/TribeCreature.h"
#include "modes/tribe/TribeHerd.h"
#include "modes/tribe/TribeObjectController.h"
#include "modes/tribe/cTribeGameMode.h"

float* cTribeActor::GetAttribute(const std::string& name) {
  auto found = mAttributes.find(name);
  if (found != mAttributes.end()) return &found->second;
  // One shared zero for every absent name. It is reset on each miss so that
  // a caller who wrote through an earlier miss's pointer cannot leak its
  // value into the next absent attribute.
  static float absent = 0.0f;
  absent = 0.0f;
  return &absent;
}

float* cTribeActor::SetAttribute(const std::string& name, float value) {
  float& stored = mAttributes[name];
  stored = value;
  return &stored;
}

void nTribeActorDetail::AppendIfWithin(cTribeActor* actor, cTribeActor* other, float radiusSquared,
                                       tActorDistanceList& out) {
  if (!other || other == actor) return;
  const float* a = actor->GetPosition();
  const float* b = other->GetPosition();
  const float dx = b[0] - a[0], dy = b[1] - a[1], dz = b[2] - a[2];
  const float distanceSquared = dx * dx + dy * dy + dz * dz;
  if (distanceSquared < radiusSquared) out.emplace_back(other, std::sqrt(distanceSquared));
}

void FindActorsInRadius(cTribeActor* actor, float radius, tActorDistanceList& out) {
  cTribeObjectController* world = GetTribeObjectController();
  if (!actor || !world) return;
  FindActorsInRadiusAmong(actor, radius, world->GetCreatures(), world->GetHerds(), out);
}

bool IsHerdAndCreature(cTribeActor* a, cTribeActor* b) {
  return dynamic_cast<cTribeHerd*>(a) != nullptr && dynamic_cast<cTribeCreature*>(b) != nullptr;
}
