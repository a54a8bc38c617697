// The player's hands on the tribe: mouse and keys become selections of tribe
// members and orders to them. A left drag paints the selection, a click sends
// it (a double click sends it running), presses on members, huts, plants,
// herds and the food pile open the command pie menus (or run their single
// item), a long press on the ground opens the ground menu, and the right
// button drags or moves the camera. It also keeps the hover texts and the
// cursor marker. The tribe mode makes it on Enter and deletes it on Leave;
// the menus live in TribePieMenus.cpp, the hover texts in TribeHoverText.cpp.
#pragma once

#include <cstdint>
#include <string>

#include "app/GameClock.h"
#include "glf/PieMenu.h"
#include "math/Types.h"
#include "sim/behavior/InteractionTarget.h"
#include "world/scene/MultiSelector.h"

namespace Ko {
class cIGameData;
}
class cCursorMarker;
class cFoodPile;
class cGamePlant;
class cIInteraction;
class cLocation;
class cSceneObject;
class cTribe;
class cTribeCreature;
class cTribeGameMode;
class cTribeHerd;
class cTribeHut;
class cTribeObjectController;
class cTribeTool;
struct cScenePickResult;

// What the input controller asks of the window and the camera: picks and
// ground points under window pixels, the band selector, and the camera moves.
// The game's answers come from the scene, the planet and the camera (this
// class); tests put a view of their own with fixed answers in its place.
class cTribeInputView {
 public:
  virtual ~cTribeInputView() = default;
  virtual void Pick(cScenePickResult& result, int x, int y);
  virtual Ru::Math::Vector3 GroundPoint(int x, int y);  // (0, 0, 0) off the planet
  virtual cMultiSelector* MakeMultiSelector(cIMultiSelectClient* client);
  virtual void ClearMouseMovement();                    // a camera drag begins
  virtual void DragCamera();                            // the drag's movement so far to the camera
  virtual void MoveCameraTo(int x, int y);              // to the ground under the point
  virtual void CenterCameraOn(const Ru::Math::Vector3& point);
  virtual Ru::Math::Quaternion GetCameraBaseOrientation();
};

class cTribeInputController : public cIMultiSelectClient, public cIGLFPieMenuSelection {
 public:
  static constexpr uint32_t kDoubleClickMs = 500;   // a release this soon after the last is a double click
  static constexpr uint32_t kLongPressMs = 300;     // a press held longer opens the ground menu
  static constexpr uint32_t kCameraClickMs = 500;   // a shorter right press moves the camera
  static constexpr int kDragDeadZoneSquared = 20;   // squared pixels a click may wander
  static constexpr float kCursorLift = 0.4f;
  static constexpr float kToolLift = 1.0f;
  static constexpr float kOrderWaitSeconds = 5.0f;  // what a sent group waits for stragglers
  static constexpr float kMenuRingRadius = 75.0f;

  // Item ids of the command menus; 300 to 320 are the tool purchases.
  enum eMenuItem {
    kItemRest = 3,
    kItemHeal = 4,
    kItemNest = 5,
    kItemDefend = 7,
    kItemBuyTool = 200,
    kItemMoveHut = 201,
    kItemFirstPurchase = 300,
    kItemLastPurchase = 320,
    kItemGatherHere = 400,
    kItemHuntHere = 401,
    kItemGoHere = 402,
    kItemGatherThese = 500,
    kItemHuntThese = 600,
    kItemRecruitThese = 700,
    kItemRaidThis = 701,
    kItemDebugRaidMe = 702,
    kItemEatFood = 800,
  };

  explicit cTribeInputController(cTribeGameMode* mode);
  ~cTribeInputController() override;
  cTribeInputController(const cTribeInputController&) = delete;
  cTribeInputController& operator=(const cTribeInputController&) = delete;

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

  // Something left the world: every hover, click or placing pointer to it is forgotten.
  void ObjectRemoved(Ko::cIGameData* object);

  // ---- the command pie menus (TribePieMenus.cpp) ----
  void BuildPieMenus();
  void OnPieMenuSelection(int itemId) override;
  // Rebuilds the tool purchase menu from the player tribe's tool levels.
  void BuildBuyMenu();
  cGLFPieMenu* GetOpenPieMenu() const;  // the first visible one; null when none
  // The menus in drawing order: member, hut, buy, ground, gather, herd, rival hut, food.
  static constexpr int kMenuCount = 8;
  cGLFPieMenu* GetMenu(int index) const { return *mMenus[index]; }

  // ---- the hover texts (TribeHoverText.cpp) ----
  static std::string FormatCreatureText(cTribeCreature* creature);
  static std::string FormatHerdText(cTribeHerd* herd);  // "" when none is shown
  static std::string FormatToolText(cTribeTool* tool);
  std::string FormatPlantText(cGamePlant* plant);

  void DragSelect(int x, int y);
  void UpdateCursorPoint(int x, int y);

  // What the tests look at.
  cTribeCreature* GetHoveredCreature() const { return mHoveredCreature; }
  cTribeTool* GetHoveredTool() const { return mHoveredTool; }
  cTribeHerd* GetHoveredHerd() const { return mHoveredHerd; }
  cGamePlant* GetHoveredPlant() const { return mHoveredPlant; }
  cFoodPile* GetHoveredFoodPile() const { return mHoveredFoodPile; }
  cTribeHerd* GetClickedHerd() const { return mClickedHerd; }
  cTribeHut* GetClickedHut() const { return mClickedHut; }
  cTribeTool* GetToolBeingPlaced() const { return mToolBeingPlaced; }
  cSceneObject* GetHutGhost() const { return mHutGhost; }
  cMultiSelector* GetMultiSelector() const { return mMultiSelector; }
  bool IsDragging() const { return mLeftButtonHeld && mPressX == -1 && mPressY == -1; }

  // The window and camera the controller works with; null restores the game's.
  static void SetViewForTest(cTribeInputView* view);
  static void ResetMemberCycleForTest() { sMemberCycle = 0; }

 private:
  cTribeObjectController* Objects() const;
  cTribe* PlayerTribe() const;
  static cTribeInputView& View();
  bool HasSelection() const;
  void OpenMenu(cGLFPieMenu* menu, int x, int y);
  // Runs the menu's item at once when it holds just one; opens it otherwise.
  void RunOrOpenMenu(cGLFPieMenu* menu, int x, int y);
  void PressOnObject(Ko::cGameData* owner, int x, int y);
  void SendSelectionTo(const Ru::Math::Vector3& ground, bool run);
  // A temporary copy of the selection, registered and started on the
  // prototype; a location target that no interaction took is freed here.
  // Returns the group's current interaction (null when nothing started).
  cIInteraction* StartGroupOrder(cIInteraction* prototype, cIInteractionTarget* target,
                                 cLocation* ownedLocation = nullptr);
  void StartHutMove();
  void OnBuyMenuSelection(int id);  // 300 to 320: a tool purchase
  void OnKeyCommand(unsigned char key);
  void CycleSelectedMember();
  void SelectFirstIdler();
  void SelectOnly(cTribeCreature* creature, bool centre);
  void ChangeSelectedNeeds(int which, float delta);  // 0 hunger, 1 energy, 2 health

  // ---- hover (TribeHoverText.cpp) ----
  void TakeHoverTarget(const cScenePickResult& pick, int x, int y);
  void DropHoveredCreature();
  void ClearHoverTargets();  // every pointer, no meter touched
  void DropHoverTargets();   // the same, hiding a hovered member's meter
  void ResetHoverFade();
  void UpdateHover();
  void DrawHoverTexts();
  bool HoverExpired() const;

  static uint32_t sMemberCycle;  // the space key's place in the tribe, for the whole run

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
  cGLFPieMenu** mMenus[kMenuCount] = {&mMemberMenu, &mHutMenu,  &mBuyMenu,      &mGroundMenu,
                                       &mGatherMenu, &mHerdMenu, &mRivalHutMenu, &mFoodMenu};
  cTribeTool* mToolBeingPlaced = nullptr;
  cSceneObject* mHutGhost = nullptr;  // owned
};
