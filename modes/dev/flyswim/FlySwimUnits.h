// The fly/swim mode's creatures and scenery: the units' physics, their rig of
// scene objects, selection, the perches and the underwater models, the follow
// camera, and the ambient school of fish and floating specks.
#pragma once

#include "math/Types.h"
#include "modes/dev/flyswim/FlySwimState.h"

class cSceneShapePolyModel;

namespace nFlySwim {

// ---- physics ----
void UpdateUnitPhysics(sUnit& unit);
Ru::Math::Vector3 GetUnitPosition(const sUnit& unit);
void SyncUnitPosition(sUnit& unit);  // the unit stops where it is
void AddUnitFlapImpulse(sUnit& unit);
void AddUnitBubble(sUnit& unit, const Ru::Math::Vector3& point);
void RiseUnitBubbles(sUnit& unit);

// ---- units and selection ----
sUnit* ConstructUnit();
void DestroyUnit(sUnit* unit);  // takes its objects out of the scene, then frees them and its own shapes
void SetUnitCount();
void AddUnits(int n);
void RemoveUnits(int n);  // the last n; -1 removes all
void ReseatUnits();
void SeparateUnits();
int CountSelectedUnits();
void SetAllSelected(bool selected);
sUnit* UnitUnderCursor(int x, int y, bool loose);
void SelectUnitsInCircle(int x, int y, float radius, bool value);
float SelectionCircleRadius();  // min(selected x 1.5, 48) + 16 pixels
void UpdateUnitFootprint(sUnit& unit);  // window position and radius, from the camera's matrices

// ---- perches and the underwater models ----
cSceneShapePolyModel* GetPerchModelShape(int index);
void ReseatPerch(sPerch& perch);
void AddPerches(int n);
void RemoveAllPerches();
void RecyclePerches(bool anywhere);
void ReseatAllPerches();
void SetPerchPosition(sPerch& perch, const Ru::Math::Vector3& point);

// ---- follow camera and ambient life ----
void StartFollowCamera();
void UpdateFollowCamera(float dt);
void CreateSchool();
void InitSchoolFish(sSchoolFish& fish);
void StepSchool();
void CreateSpecks(const Ru::Math::Vector3& centre);
void StepSpecks(const Ru::Math::Vector3& centre);
void SetSpeckAnchor(sSpeck* specks, int index);
void ResetLightRays(sLightRay* rays);
void UpdateLightRays(sLightRay* rays);
void RespawnLightRay(sLightRay& ray);

}  // namespace nFlySwim
