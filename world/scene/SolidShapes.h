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
// Drawn in one batch, the spheres of a frame are turned and placed on the
// processor as GL would and handed over as one indexed list (each vertex
// shaded once, the faces turned away skipped: a closed sphere hides them).
// Only the faces turned toward the eye of spheres in the view volume are
// listed; when the eye, the view and every sphere are where they were in the
// last frame, the list the driver holds is drawn again.
// A sphere only a few pixels across is listed with fewer slices and stacks,
// as few as keep its outline within a quarter of a pixel of the round one,
// never under 10 (fewer shift the shading of its pixels visibly): the rest
// were triangles smaller than a pixel that llvmpipe set up for nothing,
// hundreds of spheres a frame in a grown civ world.
class cSceneShapeSphere : public tShapeClass<cSceneShapeSphere, cSceneShapePolyModel> {
 public:
  cSceneShapeSphere() : tShapeClass(false) {}
  void Draw(cSceneObject* object) override;
  void BeginDraw() override;
  void EndDraw() override;
  bool IsListingObjects() const override { return IsGathering() && IsPreparedGeometryEnabled(); }
  const char* GetTypeName() override { return "Spheres"; }

  // Off: every sphere of the batch keeps all its slices (the old drawing, for comparison).
  static void SetFewerSlicesWhenSmall(bool on) { sFewerSlices = on; }
  size_t GetLastTriangleCount() const { return mIndices.size() / 3; }  // listed in the last batch
  // The slices (and stacks) by the same rule for a sphere of `radius` at the
  // origin of the loaded modelview (a turret's dome).
  static int SlicesForLoadedView(float radius);

 private:
  struct cPlaced {
    Ru::Math::Matrix4 world;
    Ru::Math::Vector3 colour;
    bool operator==(const cPlaced& o) const;
  };
  struct cView {
    Ru::Math::Vector3 eye;
    float view[16], projection[16];
    int viewport[4];
    bool fewerSlices;
    bool operator==(const cView& o) const;
  };
  static cView LoadedView();
  int LevelFor(const float* centre, float radius, const cView& view) const;  // into kSlices
  static float DepthOf(const float* centre, const float* view);
  static int LevelForDepth(float depth, float radius, const float* projection, const int* viewport);
  void Gather(const cView& view);
  static constexpr int kLevels = 5;
  static constexpr int kSlices[kLevels] = {10, 12, 14, 16, 20};  // the last is the full sphere
  cIndexedSphere mMeshes[kLevels];
  float mMeshRadius = 0.0f, mGatheredRadius = -1.0f;
  cView mGatheredView{};
  static inline bool sFewerSlices = true;
  std::vector<cPlaced> mPlaced, mGathered;  // this frame's spheres; those the arrays hold
  std::vector<float> mPositions, mNormals, mColours;  // kept between frames: no allocation
  std::vector<uint32_t> mIndices;
  std::vector<uint32_t> mRenumber;  // a sphere's vertices among those its listed faces use
  static constexpr uint32_t kUnused = 0xFFFFFFFFu;
  cKeptTriangles mKept;        // the listed triangles, handed to the driver when listed anew
  Ru::Math::Vector3 mLastColour;
};

// The class-wide singletons the modes share.
cSceneShapePyramid& GetPyramidShape();
cSceneShapeSphere& GetSphereShape();
cSceneShapeTurret& GetTurretShape();
