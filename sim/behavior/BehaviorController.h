// The one behaviour controller: each update it steps the current interaction
// of every registered agent, or chooses one for an idle agent, and it deletes
// ended interactions late through a two-stage queue. Each mode drives it from
// its own update with the frame's milliseconds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "sim/behavior/InteractionAgent.h"
#include "sim/gamedata/RefPtr.h"

class cBehaviorController {
 public:
  cBehaviorController() = default;
  cBehaviorController(const cBehaviorController&) = delete;
  cBehaviorController& operator=(const cBehaviorController&) = delete;
  virtual ~cBehaviorController();

  // Drops every agent after ending its interaction, and sets the time back to
  // 0. Interactions already queued stay queued and go with the next two updates.
  virtual void Clear();
  // Flushes the deletion queue; with ms > 0 also steps or chooses for every
  // agent registered when the update began (one added meanwhile waits for the
  // next update, one removed meanwhile is skipped).
  virtual void Update(uint32_t ms);
  virtual bool AddAgent(cIInteractionAgent* agent);     // false when already registered
  virtual bool RemoveAgent(cIInteractionAgent* agent);  // false when absent; its interaction is left alone
  virtual bool ContainsAgent(cIInteractionAgent* agent);
  // Takes ownership: the interaction is deleted at the start of the update
  // after the next one.
  virtual void QueueDelete(cIInteraction* interaction);
  virtual uint32_t GetLastUpdateTime() { return mLastUpdateTime; }  // ms of the last non-zero update

  size_t GetAgentCount() const { return mSlots.size(); }
  // Appends every registered agent in order of addition (a mode clears its own).
  void GetAgents(std::vector<cIInteractionAgent*>& out) const;

 private:
  void FlushDeletes();
  void ChooseInteraction(cIInteractionAgent* agent);
  void StepOrChoose(cIInteractionAgent* agent);
  void CompactIfSparse();

  // In order of addition. A removed agent leaves an empty slot, so removing is
  // not a shift of the whole list; the slots are closed up, order kept, once
  // they are half the list.
  std::vector<tRefPtr<cIInteractionAgent>> mAgents;
  size_t mEmptySlots = 0;
  // Where each registered agent sits in mAgents. The two hash containers answer
  // lookups only and are never walked, so no order depends on them.
  std::unordered_map<cIInteractionAgent*, size_t> mSlots;
  std::vector<cIInteraction*> mPendingDeletes;  // queued since the last flush
  std::vector<cIInteraction*> mDeleting;        // deleted by the next flush
  std::unordered_set<uintptr_t> mQueued;        // every interaction queued and not yet deleted
  uint32_t mLastUpdateTime = 0;
  uint32_t mRemovals = 0;  // counts removals, so an update notices agents that left mid-turn
};

// The global controller, made on first use (never before main's statics need it).
cBehaviorController& GetBehaviorController();
