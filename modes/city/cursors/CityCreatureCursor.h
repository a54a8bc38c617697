// The cursor that commands citizens: those selected (drawn white) are given
// their order at the next left-button release. For now it holds the selection,
// calls every citizen at once and sends the selection walking to the ground
// point of the release or to the building clicked; the click and rubber-band
// selection come with the rest of the cursor's work.
#pragma once

#include <vector>

#include "modes/city/cursors/CityCursor.h"
#include "world/scene/CursorMarker.h"

class cCityGamePlayerCreature;

class cCityGameCreatureCursor : public cICityGameCursor {
 public:
  int OnLeftButtonUp(int x, int y) override;
  bool IsCursorObject(cCityGameWorldObject* object) override;

  // Every citizen not leaving nor hidden, in id order, is selected and set
  // walking by the player's order (start mode 1).
  void CallAllCitizens();
  bool HasCalledAll() const { return mCalledAll; }
  const std::vector<cCityGamePlayerCreature*>& GetSelection() const { return mSelection; }
  void ClearSelection();  // each citizen back to its own colour, the marker gone

 private:
  void Select(cCityGamePlayerCreature* citizen);

  bool mCalledAll = false;
  std::vector<cCityGamePlayerCreature*> mSelection;  // each holds a reference
  cCursorMarker mMarker;
};

cCityGameCreatureCursor& GetCityCreatureCursor();
