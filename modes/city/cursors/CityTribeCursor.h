// Dealing with a neighbouring tribe. With citizens selected, a pie menu of
// four orders for them (recruit, raid, buy food, give a gift); with nobody
// selected, the "Diplomatic Powers:" dialog, in which the player declares
// war, provides pilgrimage or opens trade when the city has the building for
// it. An option takes effect the moment it is clicked; "OK" keeps it and
// "Cancel" puts back the state the tribe had when the dialog opened.
#pragma once

#include <memory>
#include <vector>

#include "glf/Dialog.h"
#include "glf/PieMenu.h"
#include "modes/city/cursors/CityCursor.h"
#include "sim/gamedata/RefPtr.h"

class cCityGamePlayerCreature;
class cCityGameTribe;

// The diplomacy dialog. The base's controls are the drawn ones (it owns them,
// in drawing order); the clickable ones are a second list over some of them.
class cCityGameDialogSuperPowers : public cGLFDialog {
 public:
  enum eId { kOk = 1, kCancel = 2, kDeclareWar = 3, kProvidePilgrimage = 4, kOpenTrade = 5 };

  void Build(cCityGameTribe* tribe, int x, int y);
  bool HandleMouse(int button, int state, int x, int y) override;  // presses the first clickable control hit
  void Draw() override;
  // Acts on the clickable control pressed and released on; every press is
  // then cleared. True when the release hit a clickable control.
  virtual bool OnMouseUp(int x, int y);
  void OnButton(int id);
  void RefreshHighlight();  // the option of the tribe's current state is lit

  int GetOpeningState() const { return mOpeningState; }
  const std::vector<cGLFDialogButton*>& GetClickable() const { return mClickable; }
  cGLFDialogButton* FindClickable(int id) const;

 private:
  cGLFDialogButton* Add(int id, float x0, float y0, float x1, float y1, const char* label, bool clickable);

  std::vector<cGLFDialogButton*> mClickable;  // owned by the base's list
  cCityGameTribe* mTribe = nullptr;  // the cursor holds the tribe while the dialog is open
  int mOpeningState = 0;
};

class cCityGameCursorTribe : public cICityGameCursor {
 public:
  // The order menu for the creatures, or with none the diplomacy dialog.
  void Open(cCityGameTribe* tribe, int x, int y, const std::vector<cCityGamePlayerCreature*>& creatures);
  int OnLeftButtonDown(int x, int y) override;
  int OnLeftButtonUp(int x, int y) override;
  int Draw(int mouseX, int mouseY) override;
  bool IsCursorObject(cCityGameWorldObject* object) override;

  cGLFPieMenu* GetMenu() const { return mMenu.get(); }
  cCityGameDialogSuperPowers* GetDialog() const { return mDialog.get(); }
  void LetGo() override;  // the menu or dialog closes; the citizens are deselected
  void ResetForTest() { LetGo(); }

 private:
  tRefPtr<cCityGameTribe> mTribe;
  std::unique_ptr<cGLFPieMenu> mMenu;
  std::unique_ptr<cCityGameDialogSuperPowers> mDialog;
  std::vector<tRefPtr<cCityGamePlayerCreature>> mCreatures;
};

cCityGameCursorTribe& GetCityTribeCursor();  // built on first use
