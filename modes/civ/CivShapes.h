// Shapes the civ objects share, built on first use and kept until exit.
#pragma once

class cSceneShapeCube;

// The 5-unit cube of patrol markers, vehicle path markers and pillage bullets.
cSceneShapeCube* CivMarkerCube();

class cISceneShape;
// Civ objects stand on the ground, so the far side of the planet hides them:
// their shapes skip what lies behind a ball inside the lowest ground (the
// margin covers shapes that give no bounding radius, such as spheres).
constexpr float kCivHorizonBall = 430.0f;
void CivCullBehindPlanet(cISceneShape* shape);
// A shape freed with its object leaves the scene's lists too, so the lists
// (walked every frame) hold only the shapes of live objects.
void CivForgetShape(cISceneShape* shape);
// Each building, road and turret has a shape of its own (its own scale); they
// are all drawn in one shared batch, a thousand boxes a few calls.
class cSceneShapePolyModel;
void CivBatchCubes(cSceneShapePolyModel* shape);
// Each vehicle has a pyramid of its own (its own scale while it dies); they
// are all drawn in one shared batch too, 150 pyramids in one call.
class cSceneShapePyramid;
void CivBatchVehicles(cSceneShapePyramid* shape);
// Off: boxes, vehicles, bullets and guns made or drawn from now on are drawn
// one by one, as they were (for comparison).
void CivSetCubesBatched(bool on);
bool CivCubesBatched();
