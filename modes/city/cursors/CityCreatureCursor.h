// The cursor that commands citizens. It becomes current when a citizen is
// clicked or dragged, when the left button is pressed on open ground (a
// rubber band whose ring grows with every citizen it takes) or when every
// citizen is called. Selected citizens are drawn white and a marker follows
// the mouse over the ground; the next release gives each its order: use the
// building or store clicked, gather from a plant, idle by the hall for a
// military building, else walk to the point clicked. What the mouse hovers
// over that could be ordered is tinted orange.
#pragma once

#include <memory>
#include <vector>

#include "math/Types.h"
#include "modes/city/cursors/CityCursor.h"
#include "sim/gamedata/GameData.h"
#include "sim/gamedata/RefPtr.h"
#include "world/scene/CursorMarker.h"
#include "world/scene/MultiSelector.h"

class cCityGameObject;
class cCityGamePlayerCreature;
class cSceneObject;

class cCityGameCreatureCursor : public cICityGameCursor, public cIMultiSelectClient {
 public:
  static constexpr float kMarkerSize = 5.0f;
  static constexpr float kMarkerLift = 0.4f;

  cCityGameCreatureCursor();
  ~cCityGameCreatureCursor() override;

  int OnLeftButtonUp(int x, int y) override;
  int OnMouseMove(int x, int y) override;
  int Draw(int x, int y) override;
  int Update(unsigned int ms, int x, int y) override;
  bool IsCursorObject(cCityGameWorldObject* object) override;
  cICityGameCursor* GetNextCursor() override { return mNextCursor; }

  // A selection begins: with a rubber band while dragging, else with the
  // marker shown; the citizen given is selected at once.
  void Begin(bool dragging, cCityGameObject* owner, cCityGamePlayerCreature* citizen);
  // Every citizen not leaving nor hidden, in id order, is selected and set
  // walking by the player's order (start mode 1).
  void CallAllCitizens();

  bool CanSelect(Ko::cGameData* object) override;  // a citizen not leaving
  void Select(Ko::cGameData* object) override;     // and the ring grows for it

  bool HasCalledAll() const { return mCalledAll; }
  bool IsDragging() const { return mDragging; }
  float GetSelectionRadius() const { return mSelectionRadius; }
  const std::vector<cCityGamePlayerCreature*>& GetSelection() const { return mSelection; }
  const cCursorMarker& GetMarker() const { return mMarker; }
  cSceneObject* GetHighlight() const { return mHoverScene; }
  void ClearSelection();  // each citizen back to its own colour, the marker gone
  void LetGo() override;  // the selection is cleared
  void ResetForTest() { LetGo(); }

 private:
  void SetHighlight(Ko::cGameData* owner, cSceneObject* sceneObject);
  void ClearHighlight();
  void UpdateMarkerPoint(int x, int y);

  std::unique_ptr<cMultiSelector> mSelector;
  float mSelectionRadius = 0.0f;
  bool mDragging = false;
  bool mCalledAll = false;
  cICityGameCursor* mNextCursor = nullptr;
  // The highlighted scene object and the object that shows it, held so that
  // the owner can be asked whether the scene object is still its own.
  tRefPtr<Ko::cGameData> mHoverOwner;
  cSceneObject* mHoverScene = nullptr;
  Ru::Math::Vector3 mHoverColour{1.0f, 1.0f, 1.0f};
  std::vector<cCityGamePlayerCreature*> mSelection;  // each holds a reference
  cCursorMarker mMarker;
  Ru::Math::Quaternion mMarkerOrientation{0.0f, 0.0f, 0.0f, 1.0f};
  Ru::Math::Vector3 mMarkerPoint{0.0f, 0.0f, 0.0f};
};

cCityGameCreatureCursor& GetCityCreatureCursor();
