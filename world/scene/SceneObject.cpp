#include "world/scene/SceneObject.h"

#include <GL/gl.h>

#include "math/Quaternion.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneShape.h"

using namespace Ru::Math;

cNullGameDataObject* cNullGameDataObject::GetInstance() {
  static cNullGameDataObject* instance = new cNullGameDataObject();
  return instance;
}

static bool HoldsReference(Ko::cGameData* owner) {
  return owner != nullptr && owner != cNullGameDataObject::GetInstance();
}

cSceneObject::cSceneObject(Ko::cGameData* owner, cISceneShape* shape)
    : mOwner(owner ? owner : cNullGameDataObject::GetInstance()), mShape(shape) {
  if (HoldsReference(mOwner)) mOwner->AddOwnerRef(this);
}

cSceneObject::~cSceneObject() {
  // A listed object would leave a dangling pointer for the next frame to draw.
  while (mSceneRefs > 0 && GetSceneManager().RemoveObject(this)) {
  }
  if (HoldsReference(mOwner)) mOwner->ReleaseOwnerRef(this);
}

void cSceneObject::SetOwner(Ko::cGameData* owner) {
  if (owner == mOwner) return;
  Ko::cGameData* old = mOwner;
  mOwner = owner;
  if (HoldsReference(owner)) owner->AddOwnerRef(this);
  if (HoldsReference(old)) old->ReleaseOwnerRef(this);  // may delete the old owner
}

void cSceneObject::Draw() {
  if (!mShape) return;
  if (mShape->IsListingObjects()) return mShape->Draw(this);  // the batch places it itself
  const Matrix4 world = GetWorldMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glMultMatrixf(world.m);
  glColor3f(mColour.x, mColour.y, mColour.z);
  mShape->Draw(this);
  glPopMatrix();
}

Vector3 cSceneObject::GetScale() { return mShape ? mShape->GetScale() : Vector3{1.0f, 1.0f, 1.0f}; }

void cSceneObject::BeginBatch() {
  if (mShape) mShape->BeginDraw();
}

void cSceneObject::EndBatch() {
  if (mShape) mShape->EndDraw();
}

Matrix4 cSceneObject::GetWorldMatrix() { return QuatToMatrix4(mOrientation, mPosition); }

bool cSceneObject::IntersectRay(const Ray& ray, Vector3& hit) {
  if (!mVisible || !mShape) return false;
  return IntersectRayWithin(ray, mShape->GetBoundingRadius(), hit);
}

bool cSceneObject::IntersectRayWithin(const Ray& ray, float radius, Vector3& hit) {
  if (!mVisible || !mShape) return false;
  // Cheap rejection first: the distance of the position from the ray's line
  // (squared, so no root) against the shape's bounding radius.
  const Vector3 toObject = Vector3Sub(mPosition, ray.origin);
  if (!(Vector3LengthSquared(Vector3Cross(ray.direction, toObject)) < radius * radius) || !(radius > 0.0f))
    return false;
  const Quaternion inverse{mOrientation.x, mOrientation.y, mOrientation.z, -mOrientation.w};
  const Vector3 origin = QuatRotateVector(inverse, Vector3Negate(toObject));
  const Vector3 tip = QuatRotateVector(inverse, Vector3Sub(Vector3Add(ray.origin, ray.direction), mPosition));
  const Ray local{origin, Vector3Sub(tip, origin)};
  Vector3 localHit;
  if (!mShape->IntersectRay(local, localHit)) return false;
  hit = Vector3Add(QuatRotateVector(mOrientation, localHit), mPosition);
  return true;
}
