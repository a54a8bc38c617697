#include "modes/civ/CivShapes.h"

#include "world/scene/SolidShapes.h"

cSceneShapeCube* CivMarkerCube() {
  static cSceneShapeCube* shape = [] {
    auto* cube = new cSceneShapeCube();
    cube->SetScale(Ru::Math::Vector3{5.0f, 5.0f, 5.0f});
    return cube;
  }();
  return shape;
}
