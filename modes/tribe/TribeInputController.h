// Not built yet: turns the player's mouse and keys into selections of tribe
// members and commands to them (pie menus, hover texts, the cursor marker);
// does nothing for now.
#pragma once

#include <cstdint>

#include "app/GameClock.h"
#include "glf/PieMenu.h"
#include "math/Types.h"
#include "world/scene/MultiSelector.h"

class cCursorMarker;
class cFoodPile;
class cGamePlant;
class cLocation;
class cSceneObject;
class cTribe;
class cTribeCreature;
class cTribeGameMode;
class cTribeHerd;
class cTribeHut;
class cTribeTool;

class cTribeInputController : public cIMultiSelectClient, public cIGLFPieMenuSelection {
 public:
  static constexpr uint32_t kDoubleClickMs = 500;
  static constexpr uint32_t kLongPressMs = 300;
  static constexpr uint32_t kCameraClickMs = 500;
  static constexpr int kDragDeadZoneSquared = 20;  // squared pixels

  explicit cTribeInputController(cTribeGameMode* mode);
  ~cTribeInputController() override;

  bool CanSelect(Ko::cGameData* owner) override;  // a member of the player tribe
  void Select(Ko::cGameData* owner) override;
  virtual void Enter();
  virtual void Leave();
  virtual void Update(uint32_t ms);
  virtual void OnLeftButtonDown(int x, int y);
  virtual void OnLeftButtonUp(int x, int y);
  virtual void OnRightButtonDown(int x, int y);
  virtual void OnRightButtonUp(int x, int y);
  virtual void OnMouseMove(int x, int y);
  virtual void OnKeyPress(unsigned char key, int x, int y);
  virtual void Render();  // after the 3D scene
  // The ground point under the mouse, lifted 0.4 above the surface; (0, 0, 0) at first.
  virtual Ru::Math::Vector3 GetCursorPoint() { return mCursorPoint; }

  void OnPieMenuSelection(int itemId) override;
  // Rebuilds the tool purchase menu from the player tribe's tool levels.
  void BuildBuyMenu();
  void DragSelect(int x, int y);
  void UpdateCursorPoint(int x, int y);

 private:
  bool mRightButtonHeld = false;
  bool mLeftButtonHeld = false;
  int mLastDragX = 0, mLastDragY = 0;
  int mPressX = 0, mPressY = 0;
  bool mPressedOnOwnCreature = false;
  cTribe* mHoveredTribe = nullptr;
  cTribeCreature* mHoveredCreature = nullptr;
  cTribeTool* mHoveredTool = nullptr;
  cTribeHerd* mHoveredHerd = nullptr;
  cGamePlant* mHoveredPlant = nullptr;
  cFoodPile* mHoveredFoodPile = nullptr;
  cGamePlant* mClickedPlant = nullptr;
  cTribeHerd* mClickedHerd = nullptr;
  cTribeHut* mClickedHut = nullptr;
  cLocation* mClickedGround = nullptr;  // owned
  int mHoverTextX = 0, mHoverTextY = 0;
  cGameStopwatch mHoverFadeTimer;
  cGameStopwatch mRightPressTimer;
  cGameStopwatch mLongPressTimer;
  cGameStopwatch mClickTimer;
  Ru::Math::Vector3 mCursorPoint{0.0f, 0.0f, 0.0f};
  cTribeGameMode* mMode;
  cMultiSelector* mMultiSelector = nullptr;  // owned
  cCursorMarker* mCursorMarker = nullptr;    // owned
  cGLFPieMenu* mMemberMenu = nullptr;        // the eight menus are owned
  cGLFPieMenu* mHutMenu = nullptr;
  cGLFPieMenu* mBuyMenu = nullptr;
  cGLFPieMenu* mGroundMenu = nullptr;
  cGLFPieMenu* mGatherMenu = nullptr;
  cGLFPieMenu* mHerdMenu = nullptr;
  cGLFPieMenu* mRivalHutMenu = nullptr;
  cGLFPieMenu* mFoodMenu = nullptr;
  cTribeTool* mToolBeingPlaced = nullptr;
  cSceneObject* mHutGhost = nullptr;  // owned
};
