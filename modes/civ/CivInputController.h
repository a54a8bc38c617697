// The human player's hands in the civ mode: mouse and keys become selections
// of own vehicles (click, Ctrl-click, painting), move and attack orders, the
// city, attack and NPC-city pie menus (CivPieMenus.cpp), the two-click
// actions some menu items start (road, trade route, gift, expulsion), camera
// moves, and the close-up of one city in which its buildings can be dragged.
// The civ mode owns one for its whole life and forwards its input to it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/GameClock.h"
#include "glf/PieMenu.h"
#include "math/Types.h"
#include "modes/civ/CivVehicleSelection.h"
#include "world/scene/MultiSelector.h"

namespace Ko {
class cIGameData;
}
class cCivGameMode;
class cCivModeDecoratedBuilding;
class cCivModeDecoratedCity;
class cCivModeRoad;
class cCivModeTurret;
class cCivModeVehicle;
class cCivPieMenus;
class cCursorMarker;
class cIScenePickTest;
class cSceneObject;
struct cScenePickResult;

// What the controller asks of the window and the camera. The game's answers
// come from the scene, the planet and the camera (this class); tests put a
// view with fixed answers in its place.
class cCivInputView {
 public:
  virtual ~cCivInputView() = default;
  virtual void Pick(cScenePickResult& result, int x, int y, cIScenePickTest* filter);
  virtual Ru::Math::Vector3 GroundPoint(int x, int y);  // (0, 0, 0) off the planet
  virtual void MarkBand(cMultiSelector* band, int x, int y);  // where the painting band is drawn
  virtual void ClearMouseMovement();
  virtual void DragCamera();  // the mouse movement since the press to the camera script
  virtual void MoveCameraTo(int x, int y);
  virtual void FocusOn(const Ru::Math::Vector3& point);  // the test camera's focus, else a glide there
  virtual float CameraDistance();
  virtual Ru::Math::Vector3 CameraAnchor();
  virtual Ru::Math::Quaternion CameraBaseOrientation();
  virtual void CommitCameraYaw();
  virtual void CursorClientPos(int& x, int& y);
  virtual int WindowWidth();
};

// The civ view states: the close-up of one city, the world, and moving a city.
enum eCivViewState { kCivViewCloseUp = 0, kCivViewWorld = 1, kCivViewPlacement = 2 };

class cCivInputController : public cIMultiSelectClient, public cIGLFPieMenuSelection {
 public:
  static constexpr int kDragDeadZoneSquared = 20;  // squared pixels a click may wander
  static constexpr uint32_t kCameraClickMs = 500;  // a shorter camera press moves the camera
  static constexpr uint32_t kNoticeMs = 2000;      // how long a gift notice stays
  static constexpr float kCameraKeyStep = 80.0f;   // per frame, not scaled by time
  static constexpr int kCursorPickLimit = 1600;    // no close-up test beyond this client point

  explicit cCivInputController(cCivGameMode* mode);
  ~cCivInputController() override;
  cCivInputController(const cCivInputController&) = delete;
  cCivInputController& operator=(const cCivInputController&) = delete;

  bool CanSelect(Ko::cGameData* owner) override;  // a vehicle
  void Select(Ko::cGameData* owner) override;     // a selectable vehicle not yet selected
  virtual void OnLeftButtonDown(int x, int y);
  virtual void OnLeftButtonUp(int x, int y);
  virtual void OnCameraButtonDown(int x, int y);
  virtual void OnCameraButtonUp(int x, int y);
  virtual void OnMouseMove(int x, int y);
  virtual void OnKeyPress(unsigned char key);
  virtual void OnRender();
  virtual void Update();
  virtual void Enter();
  virtual void Leave();
  const Ru::Math::Vector3& GetCursorGroundPoint() const { return mCursorGroundPoint; }
  cCivGameMode* GetMode() const { return mMode; }
  void OnPieMenuSelection(int itemId) override;

  void SelectCity(cCivModeDecoratedCity* city);  // the menu city, highlighted; null lets it go
  void AddToSelection(cCivModeVehicle* vehicle);
  // Before a load: every pointer into the world and every pending action goes.
  void ResetBeforeLoad();
  // The data manager removes `object`: each pointer to it is cleared; the
  // close-up ends when its city goes.
  void OnObjectRemoved(Ko::cIGameData* object);

  // ---- what the menus (CivPieMenus.cpp) set and the next click carries out ----
  cCivModeDecoratedCity* GetMenuCity() const { return mMenuCity; }
  cCivVehicleSelection& GetSelection() { return *mSelection; }
  cCivPieMenus& GetPieMenus() { return *mPieMenus; }
  void BeginRoad(cCivModeRoad* road);  // placing a road or a trade route by its kind
  void BeginExpelEmbassy(cCivModeDecoratedCity* city);
  void BeginChooseGiftProvider() { mChoosingGiftProvider = true; }
  void RecordGift(cCivModeDecoratedCity* target, float amount);

  // ---- what the HUD draws and the tests look at ----
  int GetViewState() const { return mViewState; }
  cCivModeDecoratedCity* GetHoveredCity() const { return mHoveredCity; }
  cCivModeVehicle* GetHoveredVehicle() const { return mHoveredVehicle; }
  cCivModeDecoratedCity* GetZoomedCity() const { return mZoomedCity; }
  cCivModeDecoratedBuilding* GetGrabbedBuilding() const { return mGrabbedBuilding; }
  cCivModeDecoratedCity* GetEmbassyCity() const { return mEmbassyCity; }
  cCivModeDecoratedCity* GetGiftTargetCity() const { return mGiftTargetCity; }
  float GetGiftAmount() const { return mGiftAmount; }
  cCivModeRoad* GetPendingRoad() const { return mPendingRoad; }
  bool IsPlacingRoad() const { return mPlacingRoad; }
  bool IsPlacingTradeRoute() const { return mPlacingTradeRoute; }
  bool IsChoosingEmbassyToExpel() const { return mChoosingEmbassyToExpel; }
  bool IsChoosingGiftProvider() const { return mChoosingGiftProvider; }
  bool IsPainting() const { return mLeftButtonHeld && mPressX == -1 && mPressY == -1; }
  void GetLabelPoint(int& x, int& y) const { x = mLabelX, y = mLabelY; }
  // The green line under the notices ("" when none shows).
  std::string GetNoticeText() const;
  // The HUD's influence marker may show: button up, nothing selected, hovered or in a menu.
  bool IsInfluenceMarkerAllowed() const;
  cMultiSelector* GetMultiSelector() const { return mMultiSelector; }

  // The window and camera the controller works with; null restores the game's.
  static void SetViewForTest(cCivInputView* view);

 private:
  static cCivInputView& View();
  bool CtrlHeld() const;
  bool IsSelectable(cCivModeVehicle* vehicle) const;
  // What a pick hit, found through the world (civ scene objects carry no owner).
  struct sHit {
    cSceneObject* object = nullptr;
    cCivModeVehicle* vehicle = nullptr;
    cCivModeDecoratedBuilding* building = nullptr;
    cCivModeTurret* turret = nullptr;
    cCivModeDecoratedCity* city = nullptr;  // of the building or turret
  };
  sHit PickAt(int x, int y, bool skipCities);
  bool PressPendingAction(const sHit& hit);  // steps 8 to 11; true when one was pending
  void PressWithEmptySelection(const sHit& hit, int x, int y);
  void PressWithSelection(const sHit& hit, int x, int y);
  void PlaceDebugVehicle();
  void HoverAt(int x, int y);
  void FollowHover(const sHit& hit, int x, int y);  // each frame, with what lies under the cursor
  void EndHoveredVehicle();  // its hover mark goes, unless it is selected
  void EndHover();           // the label goes with the hovered city or vehicle
  bool NoticeUnder(int x, int y);  // the shown event notice's box holds window point (x, y)
  void PaintAt(int x, int y);
  void UpdateCursorGroundPoint(int x, int y);
  void EndPendingRoad();  // removes the unplaced road record
  void LeaveCloseUp();
  void StepCameraByKeys();

  bool mPlacingRoad = false;
  bool mPlacingTradeRoute = false;
  bool mChoosingEmbassyToExpel = false;
  bool mChoosingGiftProvider = false;
  bool mGiftGivenNotice = false;
  bool mGiftCancelledNotice = false;
  bool mDragged = false;
  bool mAddedThisPress = false;
  cCivModeRoad* mPendingRoad = nullptr;
  bool mCameraButtonHeld = false;
  float mPressSurfaceRadius = 0.0f;
  bool mLeftButtonHeld = false;
  int mLastPaintX = 0, mLastPaintY = 0;
  int mPressX = 0, mPressY = 0;
  cCivGameMode* mMode;
  cMultiSelector* mMultiSelector = nullptr;  // owned
  cCursorMarker* mCursorMarker = nullptr;    // owned, between Enter and Leave
  Ru::Math::Vector3 mCursorGroundPoint{0, 0, 0};
  Ru::Math::Quaternion mCursorOrientation{0, 0, 0, 1};
  cCivModeVehicle* mHoveredVehicle = nullptr;
  cCivModeDecoratedCity* mHoveredCity = nullptr;
  cCivModeDecoratedCity* mMenuCity = nullptr;
  cCivModeDecoratedCity* mZoomedCity = nullptr;
  cCivModeDecoratedBuilding* mGrabbedBuilding = nullptr;
  cCivVehicleSelection* mSelection = nullptr;  // owned
  int mLabelX = 0, mLabelY = 0;
  cGameStopwatch mHoverTimer;
  cGameStopwatch mNoticeTimer;
  cCivPieMenus* mPieMenus = nullptr;  // owned
  cCivModeDecoratedCity* mEmbassyCity = nullptr;
  cCivModeDecoratedCity* mGiftTargetCity = nullptr;
  float mGiftAmount = 0.0f;
  int mViewState = kCivViewWorld;
};

// Shared with the HUD and the panels: the camera button is down, and Space's
// cycle over the human's cities goes on.
extern int32_t gCivCameraButtonDown;
extern int32_t gCivFocusCycleOn;
