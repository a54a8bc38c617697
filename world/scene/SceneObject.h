// A thing shown in the world: position, orientation, colour, a shared shape
// that draws it and an optional owner in the game-data model. Modes create
// scene objects, add them to the scene manager to be seen and remove them
// before they delete them (an object deleted while still listed takes itself
// out of the scene first).
#pragma once

#include <cstddef>

#include "math/Types.h"
#include "sim/gamedata/GameData.h"

class cISceneShape;

class cISceneNode {
 public:
  virtual ~cISceneNode() = default;
  virtual Ko::cGameData* GetOwner() = 0;
  virtual void Draw() = 0;
  virtual void SetColour(const Ru::Math::Vector3& colour) = 0;
  virtual const Ru::Math::Vector3& GetColour() = 0;
  virtual Ru::Math::Vector3 GetScale() = 0;
  virtual void BeginBatch() = 0;
  virtual void EndBatch() = 0;
  virtual cISceneShape* GetShape() = 0;
  virtual void AddSceneRef() = 0;
  virtual void ReleaseSceneRef() = 0;
  virtual int GetSceneRefCount() = 0;
  virtual void SetPosition(const Ru::Math::Vector3& position) = 0;
  virtual const Ru::Math::Vector3& GetPosition() = 0;
  virtual void SetOrientation(const Ru::Math::Quaternion& orientation) = 0;
  virtual const Ru::Math::Quaternion& GetOrientation() = 0;
  virtual bool IntersectRay(const Ru::Math::Ray& ray, Ru::Math::Vector3& hit) = 0;  // world space
  virtual bool IsVisible() = 0;  // read by ray tests only; drawing ignores it
  virtual void SetVisible(bool visible) = 0;
  virtual Ru::Math::Matrix4 GetWorldMatrix() = 0;
};

// The owner of scene objects made without one; its type id is 0.
class cNullGameDataObject : public Ko::cGameData {
 public:
  Ko::cIGameData* Create() override { return new cNullGameDataObject(); }
  uint32_t GetTypeId() override { return 0; }
  static cNullGameDataObject* GetInstance();  // the one global instance; never reference-counted
};

class cSceneObject : public cISceneNode {
 public:
  // A null owner becomes the global null object (no reference taken); a real
  // owner gets an owner reference held by this object.
  cSceneObject(Ko::cGameData* owner, cISceneShape* shape);
  ~cSceneObject() override;
  cSceneObject(const cSceneObject&) = delete;
  cSceneObject& operator=(const cSceneObject&) = delete;

  Ko::cGameData* GetOwner() override { return mOwner; }
  void Draw() override;
  void SetColour(const Ru::Math::Vector3& colour) override { mColour = colour; }
  const Ru::Math::Vector3& GetColour() override { return mColour; }
  Ru::Math::Vector3 GetScale() override;
  void BeginBatch() override;
  void EndBatch() override;
  cISceneShape* GetShape() override { return mShape; }
  void AddSceneRef() override { ++mSceneRefs; }
  void ReleaseSceneRef() override { --mSceneRefs; }
  int GetSceneRefCount() override { return mSceneRefs; }
  void SetPosition(const Ru::Math::Vector3& position) override { mPosition = position; }
  const Ru::Math::Vector3& GetPosition() override { return mPosition; }
  void SetOrientation(const Ru::Math::Quaternion& orientation) override { mOrientation = orientation; }
  const Ru::Math::Quaternion& GetOrientation() override { return mOrientation; }
  bool IntersectRay(const Ru::Math::Ray& ray, Ru::Math::Vector3& hit) override;
  bool IsVisible() override { return mVisible; }
  void SetVisible(bool visible) override { mVisible = visible; }
  Ru::Math::Matrix4 GetWorldMatrix() override;
  // The ray test with the shape's bounding radius already known (a pick asks
  // each shape once, not once per object).
  bool IntersectRayWithin(const Ru::Math::Ray& ray, float boundingRadius, Ru::Math::Vector3& hit);
  // A null owner stays null here (it is not replaced by the global null object).
  virtual void SetOwner(Ko::cGameData* owner);

 private:
  friend class cSceneManager;
  static constexpr size_t kNoSceneSlot = ~size_t{0};

  Ru::Math::Vector3 mPosition;
  Ru::Math::Quaternion mOrientation;
  Ko::cGameData* mOwner;
  cISceneShape* mShape;
  Ru::Math::Vector3 mColour{1.0f, 0.0f, 0.0f};
  bool mVisible = true;
  int mSceneRefs = 0;
  size_t mSceneSlot = kNoSceneSlot;  // where the scene manager listed it first (a hint it checks)
};
