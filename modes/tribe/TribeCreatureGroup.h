// A group of tribe creatures is an agent of its own: group interactions run
// on it and its members take part through their member interactions. The
// lasting kind is the player's selection; a transient group is made for one
// command and leaves the behaviour controller when its last member goes.
// Groups are not game data and are never saved.
#pragma once

#include <cstdint>
#include <vector>

#include "math/Types.h"
#include "sim/behavior/GroupInteraction.h"
#include "sim/behavior/InteractionAgent.h"
#include "sim/gamedata/RefPtr.h"

class cTribeCreature;

class cTribeCreatureGroup : public cInteractionAgent, public cIGroupAgent {
 public:
  using tMemberList = std::vector<tRefPtr<cTribeCreature>>;

  cTribeCreatureGroup() = default;
  // Releases every member entry; the agent part then ends a current interaction.
  ~cTribeCreatureGroup() override;

  // Groups keep their own count (a new group starts at 0; its first holder adds one).
  void* Cast(uint32_t) override { return nullptr; }
  int AddRef() override { return int(++mRefCount); }
  int Release() override;  // deletes the group at 0

  // A group never chooses by itself: game code starts its interactions.
  tCandidateList* GetCandidates() override;

  // Appends an entry holding one reference; the same creature may stand twice.
  // The creature's own group link is left to the group interactions.
  virtual void AddMember(cTribeCreature* creature);
  // Removes every entry of the creature; false when it had none.
  virtual bool RemoveMember(cTribeCreature* creature);
  bool Contains(cTribeCreature* creature) const;
  size_t GetMemberCount() const { return mMembers.size(); }
  // Spreads the members around the point: the first within twice the
  // selection radius, the others at one to two creature scales from it.
  void SendMembersTo(Ru::Math::Vector3 position);
  // Each member walks to its own fixed copy of where the target is now; a
  // target without a place is ignored.
  void StartGoToTarget(cIInteractionTarget* target);
  void Clear();  // drops every entry (the behaviour controller is not told)
  tMemberList::const_iterator MembersBegin() const { return mMembers.begin(); }
  tMemberList::const_iterator MembersEnd() const { return mMembers.end(); }

  // cIGroupAgent: the members' agent parts, in joining order; removing an
  // agent that is a tribe creature removes that creature.
  void GetMembers(tAgentList& members) override;
  void RemoveMember(cIInteractionAgent* member) override;
  bool RemoveAgent(cIInteractionAgent* agent);  // false for an agent that is not a tribe creature

 private:
  uint32_t mRefCount = 0;
  tMemberList mMembers;  // joining order
};

// A group made for one command (from the selection, or an NPC raid party).
// Its creator registers it with the behaviour controller; it unregisters
// itself when its last member leaves or when an interaction is started on it
// while it is empty.
class cTransientCreatureGroup : public cTribeCreatureGroup {
 public:
  cTransientCreatureGroup() = default;
  explicit cTransientCreatureGroup(const cTribeCreatureGroup& from);  // copies the entries (a reference each)

  bool StartInteraction(cIInteraction* prototype, tTargetWord target) override;
  bool RemoveMember(cTribeCreature* creature) override;
  using cTribeCreatureGroup::RemoveMember;
};
