#include "modes/city/cursors/CityInputView.h"

#include <GL/freeglut.h>

#include "camera/CameraControl.h"
#include "camera/CameraView.h"
#include "math/Math.h"
#include "input/MouseDevice.h"
#include "world/planet/PlanetModel.h"

// Mouse callbacks and updates pick between frames, when GL's matrices may be
// anyone's: the ray comes from the camera's own copy of the frame's view,
// projection and window size, and the scene picks along it.
void cCityInputView::Pick(cScenePickResult& result, int x, int y, cIScenePickTest* filter) {
  result = cScenePickResult();
  const Ru::Math::Ray ray = CameraScreenPointToRay(x, y);
  if (Ru::Math::Vector3Length(ray.direction) <= 0.0f) return;  // the stored view cannot be inverted
  GetSceneManager().PickAlongRay(result, ray, filter);
}

Ru::Math::Vector3 cCityInputView::GroundPoint(int x, int y) {
  Ru::Math::Vector3 ground;
  const Ru::Math::Ray ray = CameraScreenPointToRay(x, y);
  if (Ru::Math::Vector3Length(ray.direction) > 0.0f) GetPlanetModel().IntersectRay(ground, ray);
  return ground;
}

bool cCityInputView::ProjectToWindow(const Ru::Math::Vector3& point, int& x, int& y) {
  GLdouble model[16], projection[16], wx = 0, wy = 0, wz = 0;
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  if (!gluProject(point.x, point.y, point.z, model, projection, viewport, &wx, &wy, &wz)) return false;
  if (wz < 0.0 || wz > 1.0) return false;
  x = SaturatedInt(wx);  // a point near the eye's plane projects far outside any window
  y = SaturatedInt(viewport[3] - std::trunc(wy));  // window rows count from the top
  return true;
}

bool cCityInputView::IsCtrlHeld() { return (glutGetModifiers() & GLUT_ACTIVE_CTRL) != 0; }
void cCityInputView::ClearMouseMovement() { gMouseDevice.ClearAccumulatedMovement(); }

void cCityInputView::GetMouseMovement(int& dx, int& dy) {
  int wheel = 0;
  gMouseDevice.GetAccumulatedMovement(dx, dy, wheel);
}

void cCityInputView::MoveCameraTo(int x, int y) { MoveCameraToScreenPoint(x, y); }

namespace {
cCityInputView* gTestView = nullptr;
}

void SetCityInputViewForTest(cCityInputView* view) { gTestView = view; }

cCityInputView& GetCityInputView() {
  static auto* game = new cCityInputView;  // built on first use
  return gTestView ? *gTestView : *game;
}
