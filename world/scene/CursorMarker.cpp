#include "world/scene/CursorMarker.h"

#include <GL/gl.h>

#include "world/scene/SceneManager.h"

using Ru::Math::Vector3;

void cCursorShape::Draw(cSceneObject*) {
  glBegin(GL_LINES);
  glVertex3f(0.0f, 0.0f, 0.0f);
  glVertex3f(0.0f, 2.0f * mScale.y, 0.0f);
  glEnd();
}

void cCursorMarker::Create(float size) {
  Destroy();  // a second Create replaces the marker instead of leaking the first
  mShape = new cCursorShape();
  mShape->SetScale(Vector3{size, size, size});
  mObject = new cSceneObject(nullptr, mShape);
  mObject->SetColour(Vector3{0.0f, 1.0f, 0.0f});
  GetSceneManager().AddObject(mObject);
}

void cCursorMarker::Destroy() {
  if (mObject) GetSceneManager().RemoveObject(mObject);
  delete mObject;
  mObject = nullptr;
  delete mShape;
  mShape = nullptr;
}

Vector3 cCursorMarker::GetPosition() const { return mObject ? mObject->GetPosition() : Vector3{}; }
Ru::Math::Quaternion cCursorMarker::GetOrientation() const {
  return mObject ? mObject->GetOrientation() : Ru::Math::Quaternion{};
}
void cCursorMarker::SetPosition(const Vector3& position) {
  if (mObject) mObject->SetPosition(position);
}
void cCursorMarker::SetOrientation(const Ru::Math::Quaternion& orientation) {
  if (mObject) mObject->SetOrientation(orientation);
}
