// A road between two buildings: one link per end (the building and a point on
// its disc), a smooth curve over the planet between them drawn as a low white
// ribbon, a grey cube on each attached end and small pyramids (pips) along the
// curve. It rebuilds every frame, so it follows buildings that move, and
// removes itself the frame after either building has gone. Laying and
// following roads (the walking behaviour) build on this; the road cursor lays
// and re-lays them.
#pragma once

#include <vector>

#include "math/Types.h"
#include "modes/city/objects/CityGameObject.h"

class cCityGameBuilding;

class cCityGameRoad : public tCityGameClass<cCityGameRoad, cCityGameWorldObject, 0x4EC15858> {
 public:
  static constexpr int kCurvePoints = 25;
  static constexpr float kTangentDistanceScale = 15.0f;  // tangents shrink for ends closer than this
  static constexpr float kAnchorTangentFactor = 6.0f;
  static constexpr float kRibbonHeight = 0.8f;
  static constexpr int kSparePips = 5;

  cCityGameRoad();
  ~cCityGameRoad() override;

  void EndUsersInteractions() override;
  void ResolveLinks() override;
  void OnModeEnter() override { Rebuild(); }
  void OnModeLeave() override;
  void Draw() override { DrawPath(mPoints); }
  void Update(uint32_t ms) override;
  float GetCost() override;
  cIInteraction* GetDefaultInteraction() override;
  bool IsTargetProperty() override { return true; }
  // A drag of an end marker re-lays that end; the other end stays.
  cICityGameCursor* StartDrag(int x, int y, cSceneObject* picked) override;

  void Connect(cCityGameObject* owner, cCityGameBuilding* a, const Ru::Math::Vector3& pointA, cCityGameBuilding* b,
               const Ru::Math::Vector3& pointB);
  bool HasEnd(cCityGameBuilding* building) const;
  cCityGameBuilding* GetOtherEnd(cCityGameBuilding* building) const;
  cCityGameBuilding* GetEnd(int end) const;
  // The frame of an attachment point on a building's disc: where it lies and
  // the outward tangent through it.
  static void GetEndFrame(cCityGameBuilding* building, const Ru::Math::Vector3& local, Ru::Math::Vector3& position,
                          Ru::Math::Vector3& tangent);
  void BuildCurve(const Ru::Math::Vector3& pA, const Ru::Math::Vector3& tA, const Ru::Math::Vector3& pB,
                  const Ru::Math::Vector3& tB);
  // n unit directions along the Hermite curve; both tangents point outward from their own end.
  static void SampleHermite(const Ru::Math::Vector3& p0, const Ru::Math::Vector3& m0, const Ru::Math::Vector3& p1,
                            const Ru::Math::Vector3& m1, int n, std::vector<Ru::Math::Vector3>& out);
  static float GetPathLength(const std::vector<Ru::Math::Vector3>& points);
  void Rebuild();
  void DrawPath(std::vector<Ru::Math::Vector3> points);

  // The sampled curve as unit directions from the planet's centre, first at end A.
  const std::vector<Ru::Math::Vector3>& GetPoints() const { return mPoints; }
  int GetPipPoolSize() const { return (int)mPips.size(); }
  int GetPipsInScene() const;
  bool IsMarkerShown(int end) const { return mMarkerShown[end]; }
  void SetEnd(int end, cCityGameBuilding* building);  // one end's link alone, as while a road is laid

 private:
  struct sPip {
    cSceneObject* object = nullptr;
    bool inScene = false;
  };
  cSceneObject* CreateEndMarker();
  cSceneObject* AddPip();
  void ShowMarker(int end, const Ru::Math::Vector3& at);
  void HideMarker(int end);

  cCityObjectHandle mEnd[2];
  Ru::Math::Vector3 mPoint[2];
  cSceneObject* mMarker[2] = {nullptr, nullptr};
  bool mMarkerShown[2] = {false, false};
  std::vector<sPip> mPips;  // a pool: grows to the most a rebuild needed, never shrinks
  std::vector<Ru::Math::Vector3> mPoints;
};
