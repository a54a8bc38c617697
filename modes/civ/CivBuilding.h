// A civ building: it ties a shared building record (place and scene object)
// to an owner, a home city and a state (intact, rubble, removed), with its own
// cube whose size and colour follow that state. Intact buildings project
// their owner's influence. Five kinds can be bought; only the embassy has
// data of its own (the player it speaks for).
#pragma once

#include <cstdint>

#include "math/Types.h"
#include "sim/gamedata/GameData.h"

class cBuildingCommon;
class cCivModeDecoratedCity;
class cSceneObject;
class cSceneShapeCube;
class cCivModeEmbassyBuilding;

enum eCivBuildingState { kCivIntact = 0, kCivRubble = 1, kCivRemoved = 2 };

class cCivModeDecoratedBuilding : public Ko::cGameData {
 public:
  static constexpr uint32_t kTypeId = 0x8E94CB2B;
  static constexpr float kInfluenceStrength = 1000.0f;
  static constexpr float kInfluenceRadius = 200.0f;

  cCivModeDecoratedBuilding();
  Ko::cIGameData* Create() override { return new cCivModeDecoratedBuilding(); }
  uint32_t GetTypeId() override { return kTypeId; }
  virtual void SetHighlighted(bool on);
  virtual void SetState(int state, int style);  // stores both, then sizes and colours the cube
  // The building as an embassy, or null: the income and the agents ask this
  // of every building of every city each tick, thousands in a grown world.
  virtual cCivModeEmbassyBuilding* AsEmbassy() { return nullptr; }

  int GetOwner() const { return mOwner; }
  int GetState() const { return mState; }
  int GetStyle() const { return mStyle; }
  bool IsHighlighted() const { return mHighlighted; }
  cCivModeDecoratedCity* GetCity() const { return mCity; }
  cBuildingCommon* GetRecord() const { return mRecord; }
  void SetRecord(cBuildingCommon* record);  // holds a reference: the record outlives the building
  cSceneShapeCube* GetShape() const { return mShape; }
  cSceneObject* GetSceneObject() const;  // the record's; null without one

  const Ru::Math::Vector3* GetPosition() const;
  const Ru::Math::Quaternion* GetOrientation() const;
  void SetOrientation(const Ru::Math::Quaternion& orientation);
  void SetColour(float r, float g, float b);
  void SetPosition(const Ru::Math::Vector3& p);  // the influence moves with it
  void SetPositionOnSurface(const Ru::Math::Vector3& p);
  void SetOwner(int owner, cCivModeDecoratedCity* city);
  void SetState(int state);
  void SetStyle(int style);
  bool IsInfluenceRegistered() const { return mInfluenceRegistered; }

  // Gives the building a scene object of its cube, stored in its record and
  // added to the scene. The building owns it from then on.
  void MakeSceneObject();
  // Takes the scene object out of the scene and frees it (the record forgets it).
  void DropSceneObject();

 protected:
  ~cCivModeDecoratedBuilding() override;
  virtual Ru::Math::Vector3 StateColour() const;  // an intact building's colour after a change of state
  virtual int HighlightOwner() const { return mOwner; }  // whose colours a highlight shows and clears to

 private:
  void InfluenceOn();
  void InfluenceOff();

  bool mHighlighted = false;
  int mState = kCivIntact;
  int mStyle = 0;
  cSceneShapeCube* mShape = nullptr;
  cBuildingCommon* mRecord = nullptr;
  int mOwner = -1;
  cCivModeDecoratedCity* mCity = nullptr;
  bool mInfluenceRegistered = false;
  cSceneObject* mSceneObject = nullptr;  // owned; also the record's
};

// The kinds sold by the pie menus: they differ from the base in type id only.
template <uint32_t TypeId, class Self>
class tCivBuildingKind : public cCivModeDecoratedBuilding {
 public:
  static constexpr uint32_t kTypeId = TypeId;
  Ko::cIGameData* Create() override { return new Self(); }
  uint32_t GetTypeId() override { return TypeId; }
};
class cCivModeHappinessBuilding : public tCivBuildingKind<0x0FD6F90A, cCivModeHappinessBuilding> {};
class cCivModeMilitaryBaseBuilding : public tCivBuildingKind<0x4FD6F920, cCivModeMilitaryBaseBuilding> {};
class cCivModeTempleBuilding : public tCivBuildingKind<0x0FD6F8CA, cCivModeTempleBuilding> {};
class cCivModeConsulateBuilding : public tCivBuildingKind<0x8FD6F8F1, cCivModeConsulateBuilding> {};

// Speaks for another player's city: coloured as that city's owner, it keeps
// the player it was opened for when the source city changes hands.
class cCivModeEmbassyBuilding : public tCivBuildingKind<0xCFD6F931, cCivModeEmbassyBuilding> {
 public:
  cCivModeEmbassyBuilding* AsEmbassy() override { return this; }
  void SetSource(cCivModeDecoratedCity* source);
  cCivModeDecoratedCity* GetSource() const { return mSource; }
  int GetEmbassyOwner() const { return mEmbassyOwner; }

 protected:
  Ru::Math::Vector3 StateColour() const override;
  int HighlightOwner() const override { return mEmbassyOwner; }

 private:
  int mEmbassyOwner = -1;
  cCivModeDecoratedCity* mSource = nullptr;
};
