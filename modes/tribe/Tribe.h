// The record of one tribe: its hut, members in joining order, tools in
// purchase order, food store, colour, breeding progress, nesting and raid
// counts, and the two stopwatches of its history. The object controller
// creates and owns tribes; members belong to the controller, the hut and the
// tools to the tribe.
#pragma once

#include <cstdint>
#include <list>

#include "app/GameClock.h"
#include "math/Types.h"
#include "modes/tribe/TribeSerializable.h"
#include "sim/gamedata/GameData.h"

class cTribeCreature;
class cTribeHut;
class cTribeTool;

// Tribe ids are handed out from here and never saved: each tribe takes the
// next value, the registered prototype included.
extern uint32_t gTribeIdCounter;

class cTribe : public Ko::cGameData, public cISerializableObject {
 public:
  static constexpr uint32_t kTypeId = 0x4E9E0A06;
  using tMemberList = std::list<cTribeCreature*>;  // positions stay valid while others leave
  using tToolList = std::list<cTribeTool*>;

  // Takes the next tribe id, creates its hut through the data manager (none
  // when the hut type is not registered) and starts both stopwatches.
  cTribe();
  Ko::cIGameData* Create() override { return new cTribe(); }
  uint32_t GetTypeId() override { return kTypeId; }

  cTribeHut* GetHut() const { return mHut; }
  // The loader's relink: the tribe points at the hut (the hut's own link is
  // the caller's). Does not remove a hut it had.
  void SetHut(cTribeHut* hut) { mHut = hut; }

  const Ru::Math::Vector3* GetColour() const { return &mColour; }
  // A different colour recolours the hut and every member; an equal one
  // changes nothing (a member recoloured by the selection keeps its colour).
  void SetColour(const Ru::Math::Vector3& colour);

  float GetFood() const { return mFood; }
  float AddFood(float delta);        // never below 0; returns the new food
  void SpendFood(float amount) { mFood -= amount; }  // the buyer checked the price

  uint32_t GetPopulation() const { return (uint32_t)mMembers.size(); }
  // False for a creature already listed; else sets its tribe, appends it and
  // restarts the new-member stopwatch.
  bool AddMember(cTribeCreature* creature);
  bool RemoveMember(cTribeCreature* creature);  // the creature's tribe pointer is the caller's
  tMemberList::iterator FindMember(cTribeCreature* creature);
  tMemberList::iterator MembersBegin() { return mMembers.begin(); }
  tMemberList::iterator MembersEnd() { return mMembers.end(); }
  const tMemberList& GetMembers() const { return mMembers; }

  float GetBreedProgress() const { return mBreedProgress; }
  void AddBreedProgress(float delta) { mBreedProgress += delta; }
  bool IsBreedReady() const { return mBreedProgress >= 1.0f; }
  void TakeWholeBreedProgress();  // keeps the fraction

  uint32_t GetNestingCount() const { return mNestingCount; }
  void ChangeNestingCount(bool up) { mNestingCount += up ? 1u : (uint32_t)-1; }
  uint32_t GetRaidCount() const { return mRaidCount; }
  void IncrementRaidCount() { ++mRaidCount; }

  uint32_t GetId() const { return mId; }
  double GetTimeSinceBirth() const { return (double)mBirthStopwatch.GetElapsed(); }
  double GetTimeSinceNewMember() const { return (double)mNewMemberStopwatch.GetElapsed(); }

  // A new tool through the data manager, placed and appended; null when the
  // tool type is not registered.
  cTribeTool* AddTool(uint32_t kind, uint32_t level, const Ru::Math::Vector3& position);
  // Removes every listed tool of that kind and level from the world.
  void RemoveTools(uint32_t kind, uint32_t level);
  uint32_t GetToolLevel(uint32_t kind) const;  // the first listed tool's; 0 without one
  bool GetToolPosition(uint32_t kind, Ru::Math::Vector3& out) const;
  tToolList::iterator ToolsBegin() { return mTools.begin(); }
  tToolList::iterator ToolsEnd() { return mTools.end(); }
  const tToolList& GetTools() const { return mTools; }
  // The loader's relink: appends a loaded tool (no duplicate check).
  void AppendTool(cTribeTool* tool) { mTools.push_back(tool); }

  // Takes the hut (with its nest meter and scene object) and every tool out
  // of the world; members are the object controller's and stay.
  void ReleaseObjects();

  // Food and breeding progress; files before version 2 hold neither.
  void Write(cMemoryStream& stream, uint32_t version) override;
  void Read(cMemoryStream& stream, uint32_t version) override;
  static constexpr uint32_t kOwnPartBytes = 8;
  static uint32_t OwnPartBytes(uint32_t version) { return version >= 2 ? kOwnPartBytes : 0; }

 protected:
  ~cTribe() override;

 private:
  cGameStopwatch mNewMemberStopwatch;
  cGameStopwatch mBirthStopwatch;
  cTribeHut* mHut = nullptr;
  Ru::Math::Vector3 mColour{0.7f, 0.0f, 1.0f};
  tMemberList mMembers;
  float mFood = 0.0f;
  float mBreedProgress = 0.0f;
  uint32_t mId;
  uint32_t mNestingCount = 0;
  uint32_t mRaidCount = 0;
  tToolList mTools;
};

// The tribe's hut position; the origin without a tribe or hut.
Ru::Math::Vector3 HutPositionOf(const cTribe* tribe);
