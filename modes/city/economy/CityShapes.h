// The shapes every city building shares: the building cube (sized by the
// shared tuning's "buildingscale"), the ground disc that roads start from and
// the ring shown over a full building. Built on first use.
#pragma once

class cSceneShapeBuilding;
class cSceneShapePolyModel;

cSceneShapeBuilding* GetCityBuildingShape();
cSceneShapePolyModel* GetCityDiscShape();  // ".\Data\models\disc.obj", picked by its triangles
cSceneShapePolyModel* GetCityRingShape();  // ".\Data\models\ring.obj"
void ScaleCityBuildingMarkers();           // the disc and the ring take the building's scale
