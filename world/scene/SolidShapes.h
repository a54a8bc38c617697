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

// The meshes a sphere of one radius is drawn from in a batch, by its size on
// screen. A sphere only a few pixels across is drawn from a geodesic mesh, the
// coarsest whose outline stays within a quarter of a pixel of the round one,
// and never coarser than the icosahedron's faces cut in four (the icosahedron
// itself shows its facets in the shading). A geodesic mesh's corners stand a
// little outside the sphere, as far as the middles of its flattest faces fall
// inside, so that its outline strays half as far as one drawn on the sphere;
// and it keeps an outline as close as gluSphere's of fourteen slices with
// half the triangles: the rest were triangles of a pixel or less that
// llvmpipe set up one by one, hundreds of spheres a frame in a grown civ
// world. Near the eye, from a radius of fourteen pixels on, where the shading
// of another mesh could be told apart, a sphere is gluSphere's own of twenty
// slices.
class cSphereDetail {
 public:
  // The mesh for a sphere of `radius` whose centre lies `depth` ahead of the
  // eye, under the loaded projection and viewport given.
  const cIndexedMesh& MeshFor(float radius, float depth, const float* projection, const int* viewport);
  uint64_t GetVersion() const { return mVersion; }  // new whenever the meshes are made again
  // Off: every sphere is gluSphere's full one (the old drawing, for comparison).
  static void SetFewerSlicesWhenSmall(bool on) { sFewerSlices = on; }
  static bool IsFewerSlicesWhenSmall() { return sFewerSlices; }
  // The sphere's radius on screen in pixels at its depth (the outline's
  // distance from the axis widens it by at most a few per cent at the
  // window's edge); unbounded near the eye or behind it.
  static float RadiusInPixels(float depth, float radius, const float* projection, const int* viewport);
  static constexpr int kFullSlices = 20;

 private:
  static constexpr int kLevels = 3;  // geodesic of frequency 2 and 3; the full gluSphere
  static constexpr int kCoarsestFrequency = 2;
  cIndexedMesh mMeshes[kLevels];
  static constexpr float kFullFromPixels = 14.0f;  // radius on screen from which a sphere is gluSphere's
  float mStray[kLevels] = {};  // how far each mesh's outline strays from the round one, as a share of the radius
  float mRadius = -1.0f;
  uint64_t mVersion = 0;
  static inline bool sFewerSlices = true;
};

// A box with a ball on top. It calls itself "Wall" in the shape list. In a
// batch its box and its ball are listed as two objects, the ball's mesh by
// its size on screen.
class cSceneShapeTurret : public tShapeClass<cSceneShapeTurret, cSceneShapePolyModel> {
 public:
  cSceneShapeTurret();
  void Draw(cSceneObject* object) override;
  const char* GetTypeName() override { return "Wall"; }

 private:
  cSphereDetail mDome;
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
// the mesh its size on screen needs (see cSphereDetail), and the driver keeps
// each group's triangles until one of its spheres moves, changes or needs
// another mesh; GL culls the far half of each.
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

  static void SetFewerSlicesWhenSmall(bool on) { cSphereDetail::SetFewerSlicesWhenSmall(on); }
  size_t GetLastTriangleCount() const { return mLastTriangles; }  // handed to GL by the last batch
  // The slices (and stacks) a gluSphere of `radius` at the origin of the
  // loaded modelview needs for an outline within a quarter of a pixel (a
  // turret's dome drawn alone).
  static int SlicesForLoadedView(float radius);

 private:
  cSphereDetail mDetail;
  size_t mLastTriangles = 0;
};

// The class-wide singletons the modes share.
cSceneShapePyramid& GetPyramidShape();
cSceneShapeSphere& GetSphereShape();
cSceneShapeTurret& GetTurretShape();
