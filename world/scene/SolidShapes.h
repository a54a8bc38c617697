// The simple solid shapes, all poly models: the box (cube, building, turret),
// the pyramid and the sphere.
#pragma once

#include <cstdint>
#include <vector>

#include "glf/PreparedGeometry.h"
#include "math/Scalar.h"
#include "world/scene/PolyModelShape.h"

namespace nSceneGeometry {
// The unit box of corners (+-0.577, ...): twelve triangles, one normal per face.
void AddBox(cSceneShapePolyModel& model);
}  // namespace nSceneGeometry

class cSceneShapeCube : public tShapeClass<cSceneShapeCube, cSceneShapePolyModel> {
 public:
  cSceneShapeCube();
  const char* GetTypeName() override { return "Cube"; }
};

// A cube at the "buildingscale" tuning value, read on every call.
class cSceneShapeBuilding : public tShapeClass<cSceneShapeBuilding, cSceneShapeCube> {
 public:
  Ru::Math::Vector3 GetScale() override;
  const char* GetTypeName() override { return "Building"; }
};

// A box with a ball on top. It calls itself "Wall" in the shape list.
class cSceneShapeTurret : public tShapeClass<cSceneShapeTurret, cSceneShapePolyModel> {
 public:
  cSceneShapeTurret();
  void Draw(cSceneObject* object) override;
  const char* GetTypeName() override { return "Wall"; }
};

// Three sloping triangles over a triangular footprint, tip up.
class cSceneShapePyramid : public tShapeClass<cSceneShapePyramid, cSceneShapePolyModel> {
 public:
  cSceneShapePyramid();
  const char* GetTypeName() override { return "Pyramid"; }
};

// A GLU sphere of the smallest scale component; an empty model, so never picked.
// Drawn in one batch, the spheres of a frame go to kept groups (see
// KeptGroups.h): each is turned and placed on the processor as GL would, from
// a mesh of the slices its size on screen needs, and the driver keeps each
// group's triangles until one of its spheres moves, changes or needs other
// slices; GL culls the far half of each.
// A sphere only a few pixels across is listed with fewer slices and stacks,
// as few as keep its outline within a quarter of a pixel of the round one,
// never under 10 (fewer shift the shading of its pixels visibly, however small
// it is): the rest were triangles smaller than a pixel that llvmpipe set up
// for nothing, hundreds of spheres a frame in a grown civ world.
class cSceneShapeSphere : public tShapeClass<cSceneShapeSphere, cSceneShapePolyModel> {
 public:
  cSceneShapeSphere() : tShapeClass(false) { Batch().closed = true; }
  void Draw(cSceneObject* object) override;
  void EndDraw() override;
  bool IsListingObjects() const override { return IsGathering() && IsPreparedGeometryEnabled(); }
  bool DrawsInKeptGroups(float horizonBall) override {
    return cSceneShapePolyModel::DrawsInKeptGroups(horizonBall) && IsPreparedGeometryEnabled();
  }
  const char* GetTypeName() override { return "Spheres"; }

  // Off: every sphere of the batch keeps all its slices (the old drawing, for comparison).
  static void SetFewerSlicesWhenSmall(bool on) { sFewerSlices = on; }
  size_t GetLastTriangleCount() const { return mLastTriangles; }  // handed to GL by the last batch
  // The slices (and stacks) by the same rule for a sphere of `radius` at the
  // origin of the loaded modelview (a turret's dome).
  static int SlicesForLoadedView(float radius);

 private:
  static float DepthOf(const float* centre, const float* view);
  static int LevelForDepth(float depth, float radius, const float* projection, const int* viewport);  // into kSlices
  static constexpr int kLevels = 5;
  static constexpr int kSlices[kLevels] = {10, 12, 14, 16, 20};  // the last is the full sphere
  cIndexedMesh mMeshes[kLevels];
  float mMeshRadius = 0.0f;
  uint64_t mMeshVersion = 0;  // new whenever the meshes are made again
  static inline bool sFewerSlices = true;
  size_t mLastTriangles = 0;
};

// The class-wide singletons the modes share.
cSceneShapePyramid& GetPyramidShape();
cSceneShapeSphere& GetSphereShape();
cSceneShapeTurret& GetTurretShape();
