// Places a building the player has just bought: the drag cursor carrying it,
// with the walls' red trial ring showing where they would grow. A drop where
// the building may stand hides the plants there and grows the walls round it;
// a refused drop, or "CANCEL_BUY", gives the whole price back and the
// building goes.
#pragma once

#include "modes/city/cursors/CityDragCursor.h"

class cCityGameBuilding;

class cCityGameBuildingBuildCursor : public cCityGameDragCursor {
 public:
  static constexpr float kPlantClearRadius = 25.0f;

  void SetBuilding(cCityGameBuilding* building);
  int OnMouseMove(int x, int y) override;
  int Draw(int mouseX, int mouseY) override;
  int OnAction(const char* action, float value, int framesHeld) override;
  void CancelDrop() override;
  void CompleteDrop() override;
  void LetGo() override;  // a building still carried is refunded and goes
  cCityGameBuilding* GetBuilding() const { return mBuilding; }
  void ResetForTest() {
    cCityGameDragCursor::ResetForTest();
    mBuilding = nullptr;
  }

 private:
  cCityGameBuilding* mBuilding = nullptr;  // the carried object, counted by the drag cursor
};

cCityGameBuildingBuildCursor& GetCityBuildCursor();
