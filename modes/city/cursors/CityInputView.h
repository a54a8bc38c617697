// What the city's cursors and objects ask of the window and the camera: the
// pick under a window point, a world point's place in the window, the Ctrl
// key at a click, the right-drag's mouse movement and the camera's jump to a
// window point. The game's answers come from the scene, GL and the camera;
// tests put a view of their own with fixed answers in its place.
#pragma once

#include "math/Types.h"
#include "world/scene/SceneManager.h"

class cCityInputView {
 public:
  virtual ~cCityInputView() = default;
  virtual void Pick(cScenePickResult& result, int x, int y, cIScenePickTest* filter);
  // The terrain point under a window point; the origin when the planet is missed.
  virtual Ru::Math::Vector3 GroundPoint(int x, int y);
  // False when the point is not in front of the camera (or there is no view).
  virtual bool ProjectToWindow(const Ru::Math::Vector3& point, int& x, int& y);
  virtual bool IsCtrlHeld();              // read inside a mouse callback
  virtual void ClearMouseMovement();      // a right drag begins
  virtual void GetMouseMovement(int& dx, int& dy);  // summed since the drag began
  virtual void MoveCameraTo(int x, int y);          // to the planet point under the window point
};

cCityInputView& GetCityInputView();
void SetCityInputViewForTest(cCityInputView* view);  // null restores the game's
