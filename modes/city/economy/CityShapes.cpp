#include "modes/city/economy/CityShapes.h"

#include "world/scene/PolyModelShape.h"
#include "world/scene/SolidShapes.h"

cSceneShapeBuilding* GetCityBuildingShape() {
  static auto* shape = new cSceneShapeBuilding;
  return shape;
}

cSceneShapePolyModel* GetCityDiscShape() {
  // Triangle picking: a sphere pick would report the disc's centre for every hit.
  static auto* shape = new cSceneShapePolyModel(".\\Data\\models\\disc.obj", false);
  return shape;
}

cSceneShapePolyModel* GetCityRingShape() {
  static auto* shape = new cSceneShapePolyModel(".\\Data\\models\\ring.obj", false);
  return shape;
}

void ScaleCityBuildingMarkers() {
  const Ru::Math::Vector3 scale = GetCityBuildingShape()->GetScale();
  GetCityDiscShape()->SetScale(scale);
  GetCityRingShape()->SetScale(scale);
}
