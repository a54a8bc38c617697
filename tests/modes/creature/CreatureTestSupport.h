// Shared by the creature tests: a clean data manager with the creature
// records registered, and bodies stood upright on the planet.
#pragma once

#include "math/Math.h"
#include "modes/creature/CommonCreatureManager.h"
#include "sim/gamedata/DataManager.h"
#include "world/planet/PlanetModel.h"

inline void ResetCreatureRecords(bool registerAgain) {
  GetDataManager()->ResetForTest();
  cCommonCreatureManager::Get()->ResetForTest();
  if (registerAgain) cCommonCreatureManager::Register();
}

// Anything with SetPosition and SetOrientation (a scene object, a creature) on
// the ground under `direction`, upright and facing as near +z as it can.
template <class T>
void StandUpright(T& thing, const Ru::Math::Vector3& direction) {
  Ru::Math::Vector3 ground;
  GetPlanetModel().ProjectToSurface(ground, direction);
  Ru::Math::Quaternion upright;
  cPlanetModel::MakeSurfaceOrientation(upright, ground, Ru::Math::Vector3{0.0f, 0.0f, 1.0f});
  thing.SetPosition(ground);
  thing.SetOrientation(upright);
}
