// The one planet every mode plays on: a sphere of base radius 500 displaced by
// a height cube map read from terrain.bin, with sea level at radius 504 and
// nothing terrain beyond 550. It draws the ground and answers the geometric
// questions of all modes: surface radius and projection, surface distance,
// water, slopes, ray hits, random surface points, upright frames and paths.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "math/Types.h"
#include "world/planet/CubeMap.h"
#include "world/planet/DisplacedSphere.h"

class cPlanetModel {
 public:
  using Vector3 = Ru::Math::Vector3;
  using Quaternion = Ru::Math::Quaternion;
  using Ray = Ru::Math::Ray;

  static constexpr float kBaseRadius = 500.0f;
  static constexpr float kSeaLevelRadius = 504.0f;
  static constexpr float kShellRadius = 550.0f;
  static constexpr float kLandBandLow = 504.0f;
  static constexpr float kLandBandHigh = 534.0f;
  static constexpr float kDegenerate = 1.0f / 65536.0f;
  // Random-point searches give up after this many tries (an all-ocean map has no land point).
  static constexpr int kRandomPointAttempts = 10000;

  // Decides where a path may go; the orientation stands upright and heads the way the mover goes.
  class cITravelCost {
   public:
    virtual ~cITravelCost() = default;
    virtual bool IsPassable(const Vector3& position, const Quaternion& orientation) = 0;
  };
  class cOverlandTravelCost : public cITravelCost {};

  cPlanetModel();
  ~cPlanetModel();
  cPlanetModel(const cPlanetModel&) = delete;
  cPlanetModel& operator=(const cPlanetModel&) = delete;

  // ---- set-up and drawing ----
  // Needs a GL context. Reads terrain.bin (a missing, short, long or non-finite
  // file shows "Could Not Find terrain.bin" / "File Error" and exits with code 1),
  // builds the mesh, then seeds the plants.
  void Initialize();
  void Draw();
  bool IsTerrainPickable() const { return mTerrainPickable; }
  void SetTerrainPickable(bool pickable) { mTerrainPickable = pickable; }

  // The pieces of Initialize, for tests and benchmarks.
  bool LoadTerrain(const std::string& spelled, std::string& error);   // false leaves the planet as it was
  void LoadTerrainOrExit(const std::string& spelled);                 // the start-up failure path
  void SetHeightMap(std::unique_ptr<nKoPlanet::cCubeMap<float>> map); // replaces the heights (no mesh)
  void BuildTerrainMesh();                                            // needs the height map; no GL calls
  // The planet's sphere parameters (257 x 257 vertices a face, four levels of
  // patches) over the given heights; the terrain generator measures with them too.
  static nKoPlanet::cDisplacedSphereParams TerrainSphereParams(const nKoPlanet::cCubeMap<float>* heights) {
    nKoPlanet::cDisplacedSphereParams p;
    p.gridExponent = 8;
    p.levelCount = 4;
    p.activation1 = 0.1f;
    p.activation2 = 8.0f;
    p.activation3 = 0.0f;
    p.activation4 = 1.0f;
    p.activation5 = 0.1f;
    p.skirts = 1;
    p.heightMap = heights;
    p.radius = kBaseRadius;
    p.meshOption = 1;
    return p;
  }
  void SeedPlants();                                                  // filled by the plants
  const nKoPlanet::cCubeMap<float>* GetHeightMap() const { return mHeightMap.get(); }
  nKoPlanet::cDisplacedSphere* GetSphere() { return mSphere.get(); }

  // ---- surface queries ----
  float GetSurfaceRadius(const Vector3& p) const;
  void ProjectToSurface(Vector3& out, const Vector3& p) const;
  void ProjectToSurfaceAtHeight(Vector3& out, const Vector3& p, float h) const;
  float GetSurfaceDistance(const Vector3& a, const Vector3& b) const;
  bool IsUnderWater(const Vector3& p) const;
  bool IsBelowSurface(const Vector3& p) const;
  bool IsBelowSurfaceAtHeight(const Vector3& p, float h) const;
  void IntersectRay(Vector3& out, const Ray& ray) const;               // (0, 0, 0) when nothing is hit
  void IntersectRayAtHeight(Vector3& out, const Ray& ray, float h) const;
  bool IntersectRay(const float ray[6], float hit[3]) const;           // true on a hit
  float GetSlope(const Vector3& p, const Vector3& dir) const;
  float GetForwardSlope(const Vector3& p, const Quaternion& q) const;
  void GetSlopeVector(Vector3& out, const Vector3& p) const;
  void GetDirectionAwayFromWater(Vector3& out, const Vector3& p) const;
  void GetSlideDirection(Vector3& out, const Vector3& p) const;

  // ---- random points (false when the attempts ran out; out then holds the last try) ----
  bool GetRandomSurfacePoint(Vector3& out) const;
  bool GetRandomSurfacePointBetween(Vector3& out, float rMin, float rMax) const;
  bool GetRandomLandPoint(Vector3& out) const;
  void GetRandomSurfacePointNear(Vector3& out, const Vector3& centre, float minDist, float maxDist) const;

  std::vector<Vector3> GetLatitudeRing(float polarAngle, float spacing) const;
  std::vector<Vector3> GetMeridianRing(float angle, float spacing) const;

  // ---- orientation frames: rows (right, up, forward); walkers advance along local -z ----
  static void MakeSurfaceOrientation(Quaternion& out, const Vector3& p, const Vector3& facing);
  static void AlignOrientationToSurface(Quaternion& out, const Vector3& p, const Quaternion& q);
  void AlignOrientationToTerrain(Quaternion& out, const Vector3& p, const Quaternion& q, float d) const;
  void AlignOrientationToTerrainAtSurface(Quaternion& out, const Vector3& p, const Quaternion& q, float d) const;

  // ---- paths: from start to goal; empty when the search fails ----
  std::list<Vector3> FindPath(const Vector3& start, const Vector3& goal, cITravelCost* cost) const;

 private:
  void CreateGridTexture();
  bool IsBelowRadius(const Vector3& p, float extra) const;
  void IntersectRayBelow(Vector3& out, const Ray& ray, float h) const;

  std::unique_ptr<nKoPlanet::cDisplacedSphere> mSphere;
  nKoPlanet::cDisplacedSphereParams mParams;
  std::unique_ptr<nKoPlanet::cCubeMap<float>> mHeightMap;
  bool mTerrainPickable = false;
};

// The one planet (built on first use).
cPlanetModel& GetPlanetModel();

// While non-zero the planet is drawn with the grid texture (creature and flock test modes).
extern uint32_t gPlanetGridFlag;
