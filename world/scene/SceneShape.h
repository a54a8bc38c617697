// The interface every drawable shape meets: scene objects supply the world
// transform and colour, the shape draws in object space (applying its own
// scale) and tests rays in object space. Shapes are shared by many objects;
// each concrete class has one enabled flag for all its instances.
#pragma once

#include "math/Types.h"

class cSceneObject;

class cISceneShape {
 public:
  virtual ~cISceneShape() = default;
  virtual void Draw(cSceneObject* object) = 0;  // world matrix and glColor3f are already set
  virtual Ru::Math::Vector3 GetScale() = 0;
  virtual void SetScale(const Ru::Math::Vector3& scale) = 0;
  virtual float GetBoundingRadius() = 0;  // 0 makes the shape unpickable
  virtual void BeginDraw() = 0;           // shared GL state, once before all objects of the shape
  virtual void EndDraw() = 0;
  virtual bool IntersectRay(const Ru::Math::Ray& objectRay, Ru::Math::Vector3& hit) = 0;
  virtual const char* GetTypeName() = 0;
  virtual bool IsEnabled() = 0;
  virtual void SetEnabled(bool enabled) = 0;
  // Shapes giving the same non-null group have their objects drawn together,
  // between the BeginDraw and EndDraw of the first of them the scene meets.
  virtual const void* GetBatchGroup() { return nullptr; }
  // True while the shape only lists the objects it is handed, to draw them
  // all at its EndDraw: the object's matrix and colour need not be loaded.
  virtual bool IsListingObjects() const { return false; }
  // Asked once a frame before the shape's objects are handed over. True: this
  // frame the shape files them into kept groups that it culls itself, against
  // the view and the ball of `horizonBall` about the origin (0: none); the
  // scene then hands it every object, so that a moving eye changes no group.
  virtual bool DrawsInKeptGroups(float horizonBall) {
    (void)horizonBall;
    return false;
  }
};

// Gives a concrete shape class its own class-wide enabled flag, so that
// switching one class off (the "scene disable" command) leaves its base and
// sibling classes drawn: a turret goes dark while walls stay.
template <class Derived, class Base>
class tShapeClass : public Base {
 public:
  using Base::Base;
  bool IsEnabled() override { return sEnabled; }
  void SetEnabled(bool enabled) override { sEnabled = enabled; }

 private:
  static inline bool sEnabled = true;
};

// Small vector helpers shared by the shapes.
namespace nSceneMath {
// True when the point lies on the ray's forward side: hits behind the eye never count.
inline bool IsAhead(const Ru::Math::Ray& ray, const Ru::Math::Vector3& point) {
  const Ru::Math::Vector3& o = ray.origin;
  const Ru::Math::Vector3& d = ray.direction;
  return (point.x - o.x) * d.x + (point.y - o.y) * d.y + (point.z - o.z) * d.z >= 0.0f;
}
// Scales v to unit length unless it is zero or not finite (then false, v untouched).
// Unlike the library's safe normaliser it keeps tiny vectors (small models' normals).
inline bool NormalizeNonZero(Ru::Math::Vector3& v) {
  const float length = __builtin_sqrtf(v.x * v.x + v.y * v.y + v.z * v.z);
  if (!(length > 0.0f) || !(length < 3.0e38f)) return false;
  v = Ru::Math::Vector3{v.x / length, v.y / length, v.z / length};
  return true;
}
}  // namespace nSceneMath
