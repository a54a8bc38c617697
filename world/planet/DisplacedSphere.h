// The planet's ground: a sphere pushed outward by a height cube map, built once
// as a quadtree of ready-made patch meshes per cube face; each frame picks the
// patches to draw (coarse far away, fine where a patch covers much of the
// screen, none on the far side).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "math/Types.h"
#include "world/planet/CubeMap.h"

namespace nKoPlanet {

struct cDisplacedSphereParams {
  uint32_t gridExponent = 9;      // each face is a grid of 2^n + 1 vertices per side
  uint8_t levelCount = 5;         // depth of the patch tree per face; leaves are level 0
  float activation1 = 0.4f;       // error that activates a vertex at level 0
  float activation2 = 8.0f;       // error that activates a vertex at the top level
  float activation3 = 0.4f;       // extra weight of the chord length where the surface crosses radius or shore
  float activation4 = 1.0f;       // shore height above the radius
  float activation5 = 0.1f;       // error weight below the base sphere
  uint8_t skirts = 1;             // hang skirts along patch edges to hide cracks
  const cCubeMap<float>* heightMap = nullptr;  // not owned; null is a plain sphere
  float radius = 500.0f;
  uint8_t meshOption = 1;         // carried along; nothing depends on it
};

struct cColour3 {
  float r, g, b;
};

struct cTerrainPatch {
  std::vector<Ru::Math::Vector3> positions;
  std::vector<Ru::Math::Vector3> normals;  // unit length, outward from the ground
  std::vector<cColour3> colours;
  std::vector<float> texCoords;           // two per vertex
  std::vector<uint32_t> indices;          // three per triangle; 32-bit so large patches never wrap
  uint32_t face = kNoFace;
  uint32_t X = 0, Y = 0;                  // 1-based among the 2^d x 2^d patches of its depth
  uint32_t level = 0;                     // root: level count - 1; leaves 0
  float size = 0.0f;                      // edge length in face coordinates
  Ru::Math::Vector3 boundsMin, boundsMax; // box of the grid positions of the mesh
  Ru::Math::Vector3 meshMin, meshMax;     // box of every vertex drawn, skirts included
  Ru::Math::Vector3 treeMin, treeMax;     // box of every vertex drawn by it or any patch below it
  float groundInnerRadius = 0.0f;         // nearest the centre its ground triangles (not skirts) come
  cTerrainPatch* children[4] = {nullptr, nullptr, nullptr, nullptr};

  cTerrainPatch();
  ~cTerrainPatch();
  cTerrainPatch(const cTerrainPatch&) = delete;
  cTerrainPatch& operator=(const cTerrainPatch&) = delete;
};

// 256 colours indexed by height, loaded once from ".\Data\Textures\landcolor.bmp"
// (a built-in ramp, with a warning, when the image is missing or too small).
const std::vector<cColour3>& LandColourTable();
void ResetLandColourTableForTest();
// Set before the sphere is built: with the civ test camera the polar caps show the top colour.
void SetPolarCapColouring(bool on);
// The drawing reads this flag each frame (the control panel's "Wireframe").
void SetWireframeFlag(const int32_t* flag);

class cDisplacedSphere {
 public:
  virtual ~cDisplacedSphere();
  virtual bool Init(cDisplacedSphereParams params);
  virtual void Draw();
  virtual bool ReleasePatches();

  // Rebuilds the draw lists from the model-view and projection matrices (OpenGL order).
  void UpdateLevelOfDetail(const float modelView[16], const float projection[16], float splitThreshold);

  // The faces are built on threads of their own unless this is off; the
  // result is the same either way.
  void SetBuildOnThreads(bool on) { mBuildOnThreads = on; }
  const cDisplacedSphereParams& GetParams() const { return mParams; }
  const cTerrainPatch* GetRoot(uint32_t face) const { return mRoots[face]; }
  const std::vector<cTerrainPatch*>& GetDrawList(uint32_t face) const { return mDrawLists[face]; }
  // Off, patches wholly hidden behind the planet are chosen as if in view (a
  // reference for measuring what leaving them out saves).
  void SetHiddenPatchTrim(bool on) { mTrimHidden = on; }
  // Radius of the ball that every drawn ground triangle lies outside of,
  // whatever patches are chosen: what hides a patch from the eye.
  float GetOccluderRadius() const { return mOccluderRadius; }
  size_t CountDrawnTriangles() const;
  size_t LargestPatchVertexCount() const;

 private:
  void BuildPatch(cTerrainPatch* patch, const class cFaceGrid& grid, uint32_t face, uint32_t parentX, uint32_t parentY,
                  uint32_t parentLevel, int childIndex);
  // Splits drawn patches until every two that meet across a cube-face edge
  // have one level: each face's patches are chosen on their own, and a coarse
  // patch beside a finer one of the next face shows its larger error as a
  // step along the whole edge.
  void MatchLevelsAcrossFaceEdges(const Ru::Math::Vector3& view, const float combined[16]);
  void ForEachFace(const std::function<void(uint32_t)>& work);
  void Visit(cTerrainPatch* patch, const Ru::Math::Vector3& view, const float combined[16], float threshold,
             std::vector<cTerrainPatch*>& list);
  // Neither this patch nor any below it could touch a pixel: wholly behind the
  // planet from the eye or wholly outside the view.
  bool SubtreeHidden(const cTerrainPatch& patch, const float combined[16]) const;

  cDisplacedSphereParams mParams;
  cTerrainPatch* mRoots[6] = {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
  std::vector<cTerrainPatch*> mDrawLists[6];
  bool mBuildOnThreads = true;
  bool mTrimHidden = true;
  float mOccluderRadius = 0.0f;
  bool mEyeKnown = false;
  Ru::Math::Vector3 mEye;  // of the last level-of-detail update, in planet coordinates
};

// Screen area (normalised device units, the viewport is 4) of a patch, 0 when it
// faces away; exposed for tests.
float PatchScreenArea(const cTerrainPatch& patch, const Ru::Math::Vector3& view, const float combined[16]);
// True when the patch's whole mesh lies outside the view (every corner of its
// box beyond one side of it), so drawing it could not touch a pixel.
bool PatchOutsideView(const cTerrainPatch& patch, const float combined[16]);
bool BoxOutsideView(const Ru::Math::Vector3& low, const Ru::Math::Vector3& high, const float combined[16]);
// True when the segment from the eye to every point of the box passes through
// the ball of the given radius about the planet's centre. What a ball hides from
// a point is convex, so the box's eight corners decide.
bool BoxBeyondHorizon(const Ru::Math::Vector3& low, const Ru::Math::Vector3& high, const Ru::Math::Vector3& eye,
                      float radius);

}  // namespace nKoPlanet
