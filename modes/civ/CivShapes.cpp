#include "modes/civ/CivShapes.h"

#include "world/scene/SceneManager.h"
#include "world/scene/SolidShapes.h"

static bool sCubesBatched = true;
void CivSetCubesBatched(bool on) { sCubesBatched = on; }
bool CivCubesBatched() { return sCubesBatched; }

// Markers and bullets move or come and go all the time: a batch of their own,
// so that the buildings' groups are not made again for them.
cSceneShapeCube* CivMarkerCube() {
  static cSceneShapeCube* shape = [] {
    auto* cube = new cSceneShapeCube();
    cube->SetScale(Ru::Math::Vector3{5.0f, 5.0f, 5.0f});
    CivCullBehindPlanet(cube);
    if (sCubesBatched) {
      auto* markers = new cSceneShapePolyModel::cSharedBatch();
      markers->closed = true;
      cube->SetDrawnInOneBatch(markers);
    }
    return cube;
  }();
  return shape;
}

void CivCullBehindPlanet(cISceneShape* shape) { GetSceneManager().SetHorizonCulled(shape, kCivHorizonBall); }

void CivForgetShape(cISceneShape* shape) { GetSceneManager().ForgetShape(shape); }

void CivBatchCubes(cSceneShapePolyModel* shape) {
  if (!sCubesBatched) return;
  static auto* batch = [] {
    auto* cubes = new cSceneShapePolyModel::cSharedBatch();
    cubes->closed = true;
    return cubes;
  }();
  shape->SetDrawnInOneBatch(batch);
}

void CivBatchVehicles(cSceneShapePyramid* shape) {
  if (!sCubesBatched) return;
  static auto* batch = new cSceneShapePolyModel::cSharedBatch();  // open shapes: every face is listed
  shape->SetDrawnInOneBatch(batch);
}
