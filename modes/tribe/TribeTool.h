// A tool a tribe bought with food: kind, level and a white cube beside the hut.
#pragma once

#include <cstdint>

#include "math/Types.h"
#include "modes/tribe/TribeSerializable.h"
#include "sim/gamedata/GameData.h"

class cSceneObject;
class cSceneShapeCube;

// Tool ids: each new tool takes the next value; loaded ids raise it.
extern uint32_t gTribeToolIdCounter;

enum eTribeToolKind : uint32_t {
  kTribeToolWeapon = 0,
  kTribeToolFoodStorage = 1,
  kTribeToolRecruit = 2,
  kTribeToolDefense = 3,
  kTribeToolHeal = 4,
  kTribeToolRest = 5,
  kTribeToolGather = 6,
  kTribeToolKindCount = 7
};

class cTribeTool : public Ko::cGameData, public cISerializableObject {
 public:
  static constexpr uint32_t kTypeId = 0x0F0A1CB1;
  static constexpr uint32_t kMaxLevel = 3;
  static constexpr float kCubeScale = 2.0f;

  cTribeTool();  // takes the next tool id; no scene object
  // The factory: a tool with its scene object in the scene.
  Ko::cIGameData* Create() override;
  uint32_t GetTypeId() override { return kTypeId; }

  uint32_t GetId() const { return mId; }
  void SetId(uint32_t id);  // raises the tool id counter to it

  uint32_t GetKind() const { return mKind; }
  uint32_t GetLevel() const { return mLevel; }
  void SetKind(uint32_t kind) { mKind = kind; }
  void SetLevel(uint32_t level) { mLevel = level; }
  // "Weapon" ... "Gather Tool"; "" for an unknown kind.
  const char* GetKindName() const { return KindName(mKind); }
  // "Level 1" to "Level 3"; "" otherwise.
  const char* GetLevelName() const { return LevelName(mLevel); }
  static const char* KindName(uint32_t kind);
  static const char* LevelName(uint32_t level);

  // Forwarded to the scene object (the tool's own copy while it has none).
  const Ru::Math::Vector3& GetPosition() const;
  const Ru::Math::Quaternion& GetOrientation() const;
  void SetPosition(const Ru::Math::Vector3& position);
  void SetOrientation(const Ru::Math::Quaternion& orientation);

  // A white cube of scale 2 owned by the tool, upright where the tool stands, in the scene.
  void CreateSceneObject();
  cSceneObject* GetSceneObject() const { return mSceneObject; }
  // Takes the cube out of the scene and deletes it (it holds a reference on
  // the tool, so a removed tool goes only after this).
  void ReleaseSceneObject();

  // Kind, level, position, orientation.
  void Write(cMemoryStream& stream, uint32_t version) override;
  void Read(cMemoryStream& stream, uint32_t version) override;
  static constexpr uint32_t kOwnPartBytes = 4 + 4 + 12 + 16;

  static uint32_t PeekNextId() { return gTribeToolIdCounter + 1; }
  static void ResetIdCounterForTest(uint32_t last = 0) { gTribeToolIdCounter = last; }

 protected:
  ~cTribeTool() override;

 private:
  uint32_t mId;
  uint32_t mKind = 0;
  uint32_t mLevel = 0;
  cSceneObject* mSceneObject = nullptr;
  cSceneShapeCube* mShape = nullptr;
  Ru::Math::Vector3 mPosition;
  Ru::Math::Quaternion mOrientation;
};
