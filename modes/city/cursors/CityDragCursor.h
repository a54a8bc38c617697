// Carries a city world object under the mouse: it follows the ground point,
// tinted white where it may be dropped and red where it may not; the release
// drops it (pushing creatures out of a dropped building) or puts it back with
// a bonk. The building build cursor derives from it.
#pragma once

#include "glf/Sound.h"
#include "math/Types.h"
#include "modes/city/cursors/CityCursor.h"
#include "sim/gamedata/RefPtr.h"
#include "world/scene/SceneManager.h"

class cCityGameBuilding;
class cCityGameBuildingMilitary;
class cCityGameWorldObject;

class cCityGameDragCursor : public cICityGameCursor, public cIScenePickTest {
 public:
  static constexpr const char* kBonkSound = ".\\Data\\Sounds\\City\\BONK.wav";

  int OnLeftButtonUp(int x, int y) override;
  int OnMouseMove(int x, int y) override;
  bool IsCursorObject(cCityGameWorldObject* object) override;
  bool Accept(cSceneObject* object) override;  // any owned object but the carried one

  virtual void BeginDrag(cCityGameWorldObject* object);
  virtual void CancelDrop();
  virtual void CompleteDrop();

  cCityGameWorldObject* GetDraggedObject() const { return mDragged.Get(); }
  int GetBonkCount() const { return mBonks; }  // refused drops, for tests (the sound may be muted)
  void LetGo() { mDragged.Reset(); }  // the drag ends without a drop
  void ResetForTest() {
    LetGo();
    mBonks = 0;
  }

 private:
  bool Carrying() const;

  tRefPtr<cCityGameWorldObject> mDragged;
  Ru::Math::Vector3 mSavedColour{1.0f, 1.0f, 1.0f};
  Ru::Math::Vector3 mStartPosition;
  Ru::Math::Quaternion mStartOrientation;
  cSoundHandle mBonk;
  bool mSoundLoaded = false;
  int mBonks = 0;
};

// Moves every city creature closer than 1.4 radii to the building to a random
// point 1.4 to 1.5 radii out.
void PushCreaturesOutOfBuilding(cCityGameBuilding* building);
// The military building nearest the point (ties to the lowest id); null when none.
cCityGameBuildingMilitary* FindNearestMilitaryBuilding(const Ru::Math::Vector3& point);
