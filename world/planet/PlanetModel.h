// The one planet every mode plays on: a sphere of base radius 500 displaced by
// a height cube map read from terrain.bin, with sea level at radius 504 and
// nothing terrain beyond 550. It draws the ground and answers the geometric
// questions of all modes: surface radius and projection, surface distance,
// water, slopes, ray hits, random surface points, upright frames and paths.
#pragma once

#include <atomic>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "math/Types.h"
#include "sim/gamedata/GameData.h"
#include "sim/gamedata/RefPtr.h"
#include "world/planet/CubeMap.h"
#include "world/planet/DisplacedSphere.h"
#include "world/planet/GamePlant.h"
#include "world/scene/SceneServices.h"

// One of the 32 fixed regions the plants are filed under; a patch's plants
// are in the scene exactly while it is shown.
struct cPlantPatch {
  Ru::Math::Vector3 centre;
  std::vector<tRefPtr<cGamePlant>> plants;
  bool shown = false;
};

// The planet's stand-in among the data manager's objects: its record is the
// planet's plants, written and read by the planet itself.
class cPlanetSerializerProxy : public Ko::cGameData {
 public:
  static constexpr uint32_t kTypeId = 0xEF5D6CF5;
  Ko::cIGameData* Create() override { return new cPlanetSerializerProxy; }
  uint32_t GetTypeId() override { return kTypeId; }
};

class cPlanetModel : public Ko::cIGameDataClient, public Ko::cIGameDataSerializer {
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

  static constexpr int kPatchCount = 32;
  // The most plants the planet holds: the tuning seeds at most this many and
  // a save file keeps at most this many (the rest are skipped).
  static constexpr uint32_t kMostPlants = 20000;
  static constexpr float kPlantViewMargin = 40.0f;
  static constexpr uint32_t kPlantRecordBytes = 28;  // position and orientation, 7 floats
  // From save version 9 a plant also keeps its food, hidden flag and counter.
  static constexpr uint32_t kPlantStateVersion = 9;
  static constexpr uint32_t kPlantStateBytes = 12;
  static uint32_t PlantRecordBytes(uint32_t version) {
    return kPlantRecordBytes + (version >= kPlantStateVersion ? kPlantStateBytes : 0);
  }

  // Which plants a nearest-plant search may return.
  class cINearestPlantFilter {
   public:
    virtual bool Accept(cGamePlant* plant) = 0;
  };
  class cNearestFruitFilter : public cINearestPlantFilter {
   public:
    bool Accept(cGamePlant* plant) override { return plant->GetFruitCount() > 0; }
  };

  cPlanetModel();
  ~cPlanetModel() override;
  cPlanetModel(const cPlanetModel&) = delete;
  cPlanetModel& operator=(const cPlanetModel&) = delete;

  // ---- set-up and drawing ----
  // Needs a GL context. Reads terrain.bin (a missing, short, long or non-finite
  // file shows "Could Not Find terrain.bin" / "File Error" and exits with code 1),
  // builds the mesh, then seeds the plants. Start-up reads the file itself,
  // before the sound device opens, and passes false.
  static constexpr const char* kTerrainFile = ".\\Data\\Terrain\\terrain.bin";
  void Initialize(bool readTerrain = true);
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
  // Registers the planet record's type with the planet as its serializer,
  // creates the live placeholder and joins the data manager's clients.
  void RegisterWithDataManager();
  // A point read from a save that lies far beyond the world (more than
  // kFarSavedRadius from the centre) goes back to the ground under it; one at
  // the centre has no "under" and is left for its owner to place.
  static constexpr float kFarSavedRadius = 4.0f * kBaseRadius;
  enum class eSavedPoint { Fine, BroughtDown, AtCentre };
  eSavedPoint CheckSavedPoint(Vector3& point) const;
  const nKoPlanet::cCubeMap<float>* GetHeightMap() const { return mHeightMap.get(); }
  nKoPlanet::cDisplacedSphere* GetSphere() { return mSphere.get(); }

  // ---- surface queries ----
  float GetSurfaceRadius(const Vector3& p) const;
  // How many surface queries were made so far (every query samples the height
  // map once), so that the cost of a piece of work can be measured.
  uint64_t GetSurfaceQueryCount() const { return mSurfaceQueries.load(std::memory_order_relaxed); }
  void ProjectToSurface(Vector3& out, const Vector3& p) const;
  void ProjectToSurfaceAtHeight(Vector3& out, const Vector3& p, float h) const;
  float GetSurfaceDistance(const Vector3& a, const Vector3& b) const;
  // What the distance takes from one point: its direction and the ground's
  // radius there. One measured against many keeps these (the radius is a
  // height-map lookup); the distance from two is the one above, bit for bit.
  struct sSurfacePoint {
    Vector3 unit;
    float radius;
  };
  sSurfacePoint GetSurfacePoint(const Vector3& p) const;
  static float GetSurfaceDistance(const sSurfacePoint& a, const sSurfacePoint& b);
  // GetSurfaceDistance(a, b) < limit, the answer bit for bit the same, but
  // points plainly farther apart (the straight line between their directions
  // already too long) are turned away without the arc cosine: a grown civ
  // world measures every vehicle against every other each tick.
  static bool IsSurfaceDistanceBelow(const sSurfacePoint& a, const sSurfacePoint& b, float limit);
  // Changes whenever the heights are replaced, so a kept radius knows it is stale.
  uint32_t GetHeightsVersion() const { return mHeightsVersion; }
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

  // ---- plants (returned pointers are not counted references) ----
  void BuildPlantPatches();  // the 32 fixed patches, empty
  void SeedPlants();         // the patches and the tuned number of plants in clumps on land
  // Growth over the game time since the last call, then patch visibility
  // around the camera anchor; Draw calls it each frame.
  void UpdatePlants();
  void GrowPlants(float seconds);
  void UpdatePlantVisibility(const Vector3& anchor);
  cGamePlant* CreatePlant(const Vector3& p);
  void AddPlantToNearestPatch(cGamePlant* plant);
  bool RemovePlant(cGamePlant* plant);
  void RemovePlantsInRadius(const Vector3& p, float radius);
  void HidePlantsInRadius(float x, float y, float z, float radius);
  cPlantPatch* FindNearestPatch(const Vector3& p);
  cGamePlant* GetRandomPlantNear(const Vector3& p);
  cGamePlant* FindNearestPlant(const Vector3& p, cINearestPlantFilter* filter = nullptr);
  cGamePlant* FindNearestFruitPlant(const Vector3& p);
  const std::vector<tRefPtr<cGamePlant>>& GetPlants() const { return mPlants; }
  const std::vector<cPlantPatch>& GetPlantPatches() const { return mPatches; }
  float GetPlantViewDistance() const { return mPlantViewDistance; }
  uint32_t CountShownPlants() const;  // the non-hidden plants of the shown patches
  void ClearPlantsForTest();          // drops every plant and patch

  // ---- the planet record: plant count, then each plant's position and orientation ----
  void Save(Ko::cIGameData* object, cMemoryStream& stream, uint32_t version) override;
  // A count the record cannot hold or a non-finite value fails the stream and
  // changes no plant. Plants past kMostPlants are skipped and counted in the
  // load's report. Loaded plants are shown, unhidden, with full food.
  void Load(Ko::cIGameData* object, cMemoryStream& stream, uint32_t version) override;
  void BeforeLoad() override;
  void AfterLoad() override;
  static cPlanetSerializerProxy* GetSerializerProxy();

  // ---- paths: from start to goal; empty when the search fails ----
  std::list<Vector3> FindPath(const Vector3& start, const Vector3& goal, cITravelCost* cost) const;
  // The same search giving up after `maxRounds` rounds (at most the usual 10000).
  std::list<Vector3> FindPath(const Vector3& start, const Vector3& goal, cITravelCost* cost, int maxRounds) const;
  // The same search taken some rounds at a time, so a caller may spread one
  // over several frames; once Advance says it has finished, Result is what
  // FindPath gives. The travel cost must outlive the search.
  class cPathSearch {
   public:
    cPathSearch(const Vector3& start, const Vector3& goal, cITravelCost* cost, int maxRounds = 10000);
    ~cPathSearch();
    bool Advance(const cPlanetModel& planet, int rounds);  // true once finished
    int GetRounds() const;                                 // run so far
    std::list<Vector3> Result() const;

   private:
    struct cState;
    std::unique_ptr<cState> mState;
  };

 private:
  mutable std::atomic<uint64_t> mSurfaceQueries{0};
  uint32_t mHeightsVersion = 0;
  void CreateGridTexture();
  bool IsBelowRadius(const Vector3& p, float extra) const;
  void IntersectRayBelow(Vector3& out, const Ray& ray, float h) const;

  cGamePlant* MakePlantWithSceneObject();
  void ShowPlant(cGamePlant* plant, bool shown);  // puts its scene object in or out of the scene, once
  void DropPlant(size_t index);                   // out of the all-plants vector; frees its scene object
  void RemoveFromPatches(cGamePlant* plant);

  std::unique_ptr<nKoPlanet::cDisplacedSphere> mSphere;
  nKoPlanet::cDisplacedSphereParams mParams;
  std::unique_ptr<nKoPlanet::cCubeMap<float>> mHeightMap;
  bool mTerrainPickable = false;
  std::vector<cPlantPatch> mPatches;
  std::vector<tRefPtr<cGamePlant>> mPlants;  // every plant once, in creation (and save) order
  float mPlantViewDistance = 0.0f;
  cSceneStopwatch mPlantStopwatch;           // on the game clock: no growth while paused
};

// The one planet (built on first use).
cPlanetModel& GetPlanetModel();

// While non-zero the planet is drawn with the grid texture (creature and flock test modes).
extern uint32_t gPlanetGridFlag;
