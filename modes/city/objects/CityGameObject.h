// The city's game objects: everything that lives in a city game (the hall,
// buildings, roads, walls, containers, citizens, tribes, groups, disasters)
// is a reference-counted game-data object entered in the city registry under
// a small id. Objects placed on the planet are world objects: a position, an
// owner and the behaviours running on them; they are what city behaviours
// target and what the cursors pick.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "math/Types.h"
#include "sim/behavior/InteractionTarget.h"
#include "sim/gamedata/GameData.h"
#include "world/scene/SceneManager.h"

class cIInteraction;
class cIInteractionAgent;
class cICityGameCursor;
class cSceneObject;
class cCityGameObject;

inline constexpr uint32_t kNoCityId = 0xFFFFFFFFu;

class cICityGameObject {
 public:
  virtual ~cICityGameObject() = default;
  virtual uint32_t GetId() = 0;
};

// A link to another city object: the pointer and the registry id it is
// found again by. The spare word is kept for the record layout only.
struct cCityObjectHandle {
  cCityGameObject* object = nullptr;
  uint32_t id = kNoCityId;
  uint32_t spare = 0;
};

class cCityGameObject : public Ko::cGameData, public Ko::cIGameDataSerializer, public cICityGameObject {
 public:
  static constexpr uint32_t kTypeId = 0x0E9B2250;

  uint32_t GetId() override { return mId; }
  uint32_t GetTypeId() override { return kTypeId; }
  void SetRegistryId(uint32_t id) { mId = id; }  // the registry's, when it enters the object

  virtual void EndUsersInteractions() {}
  virtual void ResolveLinks() {}  // finds linked objects again from their stored ids
  virtual void OnModeEnter() {}
  virtual void OnModeLeave() {}
  virtual void Draw() {}
  virtual void Update(uint32_t /*ms*/) {}

  // City objects never reach a save file (the mode registers them with a
  // serializer that writes nothing), so they keep no record layout of their own.
  void Save(Ko::cIGameData*, cMemoryStream&, uint32_t) override {}
  void Load(Ko::cIGameData*, cMemoryStream&, uint32_t) override {}

 protected:
  ~cCityGameObject() override = default;

 private:
  friend class cCityGameObjectRegistry;
  uint32_t mId = kNoCityId;
  bool mQueuedForRemoval = false;  // the registry's: in its removal queue, so queueing again is one look
};

// The interaction-target part of every world object: the behaviours running
// with it as their target, in the order they started.
class cCityGameInteractableObject : public cIInteractionTarget {
 public:
  virtual cIInteraction* GetDefaultInteraction() { return nullptr; }
  virtual std::string GetInteractionName() { return " "; }
  virtual bool IsTargetProperty() { return false; }

  // Starts `interaction` (null: this object's default) on the agent with
  // `target` (null: this object); false when there is nothing to start. The
  // started behaviour becomes a user when it targets this object.
  bool Interact(cIInteractionAgent* agent, cIInteraction* interaction, cIInteractionTarget* target, int extra);
  void RemoveUser(cIInteraction* interaction);  // nothing once the users are kept
  int GetUserCount() const { return (int)mUsers.size(); }
  const std::vector<cIInteraction*>& GetUsers() const { return mUsers; }

 protected:
  void EndUserInteractions();  // sets the keep flag, ends every user's behaviour, empties the list

 private:
  std::vector<cIInteraction*> mUsers;
  bool mKeepUsers = false;
};

class cCityGameWorldObject : public cCityGameObject, public cCityGameInteractableObject {
 public:
  void EndUsersInteractions() override { EndUserInteractions(); }
  void ResolveLinks() override;

  virtual void Initialize(cCityGameObject* owner) { SetOwner(owner); }
  virtual float GetCost() { return 0.0f; }
  virtual void SetOwner(cCityGameObject* owner);
  virtual cCityGameObject* GetOwner() { return mOwner.object; }
  // Places the scene object at position plus the offset turned by its
  // orientation, standing upright on the planet there.
  virtual void SetPosition(const Ru::Math::Vector3& position, const Ru::Math::Vector3& offset);
  virtual Ru::Math::Vector3 GetPosition() { return mPosition; }
  virtual Ru::Math::Vector3 GetOffset() { return mOffset; }
  virtual cSceneObject* GetSceneObject() { return nullptr; }
  virtual float GetUseScore(cCityGameWorldObject* /*user*/) { return -1.0f; }
  virtual bool AcceptsUser(cCityGameWorldObject* /*user*/) { return false; }
  virtual bool IsPickable(cCityGameWorldObject* user);  // not while the current cursor works on it
  virtual void DrawLabel(bool /*show*/, int /*x*/, int /*y*/) {}
  virtual cICityGameCursor* GetSelectionCursor(int, int, cSceneObject*, const std::vector<cCityGameWorldObject*>&) {
    return nullptr;
  }
  virtual cICityGameCursor* GetCursor(int /*x*/, int /*y*/, cSceneObject* /*picked*/) { return nullptr; }
  virtual cICityGameCursor* StartDrag(int x, int y, cSceneObject* picked);  // the shared drag cursor carries it
  virtual bool IsCursorObject();
  virtual bool CanPlaceAt(const cScenePickResult& pick) { return pick.terrain; }
  virtual void OnDropped() {}

  const cCityObjectHandle& GetOwnerHandle() const { return mOwner; }

 protected:
  Ru::Math::Vector3 mPosition;
  Ru::Math::Vector3 mOffset;
  cCityObjectHandle mOwner;
};

// The prototype side every registered class needs: its type id and a factory.
template <class T, class Base, uint32_t Id>
class tCityGameClass : public Base {
 public:
  static constexpr uint32_t kTypeId = Id;
  Ko::cIGameData* Create() override { return new T(); }
  uint32_t GetTypeId() override { return Id; }
};
