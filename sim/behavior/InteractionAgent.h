// An interaction agent is anything that carries out interactions: a creature,
// a tribe, a group. It runs at most one interaction at a time (its current
// one) and offers a list of candidate prototypes for the chooser.
#pragma once

#include <vector>

#include "sim/behavior/InteractionTarget.h"
#include "sim/gamedata/RefCount.h"

class cIInteraction;

using tCandidateList = std::vector<cIInteraction*>;  // prototypes, in order of preference on equal scores

// Concrete agents are game-data objects of the modes: their Cast answers
// interface ids and their AddRef/Release are those of their game-data part.
class cIInteractionAgent : public Ru::COM::IUnknown32RefCount {
 public:
  virtual ~cIInteractionAgent() = default;
  virtual bool SetSuppressChoice(bool suppress) = 0;  // returns the previous value
  virtual bool IsChoiceSuppressed() = 0;
  virtual bool HasInteraction() = 0;
  virtual cIInteraction* GetInteraction() = 0;
  virtual bool StartInteraction(cIInteraction* prototype, tTargetWord target) = 0;
  virtual void EndInteraction() = 0;
  virtual tCandidateList* GetCandidates() = 0;
};

// Base of all agents. Ended interactions are not deleted here but handed to
// the behaviour controller, which deletes them two updates later, so code that
// still holds one during the current update stays safe.
//
// Mode authors: the running interaction holds a reference to its agent, so a
// busy agent is kept alive by its own interaction. End the interaction before
// letting go of an agent for good (the controller's Clear does so).
class cInteractionAgent : public cIInteractionAgent {
 public:
  cInteractionAgent() = default;
  cInteractionAgent(const cInteractionAgent&) = delete;
  cInteractionAgent& operator=(const cInteractionAgent&) = delete;
  ~cInteractionAgent() override;

  bool SetSuppressChoice(bool suppress) override;
  bool IsChoiceSuppressed() override { return mSuppressChoice; }
  bool HasInteraction() override { return mCurrent != nullptr; }
  cIInteraction* GetInteraction() override { return mCurrent; }
  bool StartInteraction(cIInteraction* prototype, tTargetWord target) override;
  void EndInteraction() override;

 private:
  cIInteraction* mCurrent = nullptr;  // owned until ended, then the controller's
  bool mSuppressChoice = false;
};
