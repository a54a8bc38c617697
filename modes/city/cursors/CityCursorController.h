// The one receiver of the city's mouse events and key actions. It works out
// what the mouse points at, tints it orange, shows its label after 200 ms of
// hovering, opens an object's cursor when it is clicked (Ctrl-click shows its
// id instead), starts a drag when the mouse moves more than a pixel with the
// button held on it, pans and re-centres the camera from the "PAN_LEFT",
// "PAN_FORWARD" and "FOCUS_CITY" actions, and otherwise hands every event to
// the current cursor (see CityCursor.h for the result codes).
#pragma once

#include <cstdint>

#include "app/GameClock.h"
#include "input/InputEventHandler.h"
#include "input/KeyBindings.h"
#include "math/Types.h"
#include "sim/gamedata/RefPtr.h"
#include "world/scene/SceneManager.h"

class cCityGameCity;
class cCityGameWorldObject;
class cICityGameCursor;
class cSceneObject;

class cCityGameCursorController : public cIScenePickTest, public cIInputEventHandler {
 public:
  static constexpr int kClickTolerance = 1;      // pixels a click may wander in x or in y
  static constexpr uint32_t kLabelDelayMs = 200;
  static constexpr float kPanFactor = 0.0005f;
  static constexpr unsigned int kPanRampFrames = 10;
  static constexpr const char* kKeyFile = ".\\Data\\Scripts\\CityGame_keys.txt";

  cCityGameCursorController();  // registers the four actions, then reads the key file
  ~cCityGameCursorController() override;
  cCityGameCursorController(const cCityGameCursorController&) = delete;
  cCityGameCursorController& operator=(const cCityGameCursorController&) = delete;

  bool Accept(cSceneObject* object) override;  // only scene objects of city world objects
  virtual void OnMouseMove(int x, int y);
  virtual void OnLeftButtonUp(int x, int y);
  virtual void OnLeftButtonDown(int x, int y);
  virtual void OnRightButtonUp(int /*x*/, int /*y*/) {}
  virtual void OnRightButtonDown(int /*x*/, int /*y*/) {}
  // Applies a cursor's result code; true when the event goes on to the controller.
  virtual bool HandleCursorResult(int code);
  void HandleInputEvent(const char* action, float value, unsigned int framesHeld) override;

  void Update(uint32_t ms);
  void Draw();
  void SetCity(cCityGameCity* city) { mCity = city; }
  bool IsCursorObject(cCityGameWorldObject* object);
  // A load, Leave or the city's removal: every cursor, menu and dialog lets
  // go of what it holds and none stays current.
  void LetGoOfAll();

  // What the tests look at and set up.
  cICityGameCursor* GetCurrentCursor() const { return mCursor; }
  void SetCurrentCursor(cICityGameCursor* cursor) { mCursor = cursor; }
  cCityGameWorldObject* GetHoverObject() const { return mHover.Get(); }
  cCityGameWorldObject* GetInspectedObject();  // null once it has left the game
  int GetLabelObjectId() const { return mLabelObjectId; }
  cKeyBindings& GetKeyBindings() { return mKeys; }
  // Back to the state of a new controller (key bindings kept), for tests.
  void ResetForTest();

 private:
  cCityGameWorldObject* PickWorldObject(int x, int y, cSceneObject** sceneObject);
  void SetHoverObject(cCityGameWorldObject* object, cSceneObject* sceneObject);
  void Pan(const Ru::Math::Vector3& axis, float value, unsigned int framesHeld);

  cKeyBindings mKeys;
  cICityGameCursor* mCursor = nullptr;
  int mMouseX = 0, mMouseY = 0;
  uint32_t mFrameMs = 0;
  cGameStopwatch mLabelStopwatch;
  int mLabelObjectId = -1;
  bool mLeftDown = false;
  int mPressX = 0, mPressY = 0;
  tRefPtr<cCityGameWorldObject> mPressed;
  cSceneObject* mPressedScene = nullptr;
  cCityGameCity* mCity = nullptr;
  tRefPtr<cCityGameWorldObject> mHover;
  cSceneObject* mHighlight = nullptr;
  Ru::Math::Vector3 mSavedColour{1.0f, 1.0f, 1.0f};
  // The last Ctrl-clicked object, counted so that it is never read after it is freed.
  tRefPtr<cCityGameWorldObject> mInspected;
};
