// Lays a road by a drag from one building's disc to another's, and re-lays a
// road by a drag of one of its end markers. While the button is held the road
// runs live from the fixed end to the mouse; over another building's disc the
// free end snaps to it and the building sinks into the ground. The release
// connects the road (a new one is paid for, when the city can) or deletes it
// (a re-laid one refunds "Road Refund Fraction" of its cost).
#pragma once

#include "math/Types.h"
#include "modes/city/cursors/CityCursor.h"
#include "sim/gamedata/RefPtr.h"
#include "world/scene/SceneManager.h"

class cCityGameBuilding;
class cCityGameObject;
class cCityGameRoad;

class cCityGameRoadCursor : public cICityGameCursor, public cIScenePickTest {
 public:
  int OnLeftButtonUp(int x, int y) override;
  int OnLeftButtonDown(int /*x*/, int /*y*/) override { return kStay; }
  int Draw(int x, int y) override;
  int Update(unsigned int ms, int x, int y) override;
  bool IsCursorObject(cCityGameWorldObject* object) override;
  bool Accept(cSceneObject* object) override;  // parts of buildings only

  // freeEnd 1: end A stays at the building and end B follows the mouse; else the reverse.
  void SetAnchor(cCityGameBuilding* building, int freeEnd);
  void BeginNewRoad(cCityGameBuilding* building, const cScenePickResult& pick, int freeEnd);
  void BeginRelay(cCityGameBuilding* building, const Ru::Math::Vector3& anchorPoint, int freeEnd, cCityGameRoad* road);
  // A point in the disc's ground plane, in its frame, no farther out than its radius.
  static Ru::Math::Vector3 ClampToAnchor(cSceneObject* anchor, const Ru::Math::Vector3& point);
  static cCityGameBuilding* GetRoadTarget(const cScenePickResult& pick);

  cCityGameRoad* GetRoad() const { return mRoad.Get(); }
  cCityGameBuilding* GetSnapped() const { return mSnapped.Get(); }
  void LetGo() override;  // as a release over nothing: a new road goes, a relaid one is refunded and goes
  void ResetForTest();

 private:
  void Snap(cCityGameBuilding* target);
  void Unsnap();
  void DeleteRoad();

  cCityGameObject* mOwner = nullptr;
  tRefPtr<cCityGameBuilding> mAnchor;
  tRefPtr<cCityGameBuilding> mSnapped;
  tRefPtr<cCityGameRoad> mRoad;
  Ru::Math::Vector3 mAnchorPoint;
  int mFreeEnd = 0;
  bool mRelaying = false;
};

cCityGameRoadCursor& GetCityRoadCursor();  // built on first use
