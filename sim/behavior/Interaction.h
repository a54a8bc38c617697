// An interaction is one thing an agent does (eat, walk to, rest ...): it is
// stepped once per update until it reports that it has finished. Every
// concrete class keeps one prototype that answers the chooser's questions and
// makes the instances that actually run (Instantiate).
#pragma once

#include <cstdint>
#include <string>

#include "sim/behavior/InteractionAgent.h"
#include "sim/behavior/InteractionTarget.h"
#include "sim/gamedata/RefPtr.h"

class cIInteraction {
 public:
  virtual ~cIInteraction() = default;
  // A new, unbound object of the same concrete class (it may copy its own
  // configuration from this one).
  virtual cIInteraction* Create() = 0;
  virtual std::string GetName() = 0;
  virtual uint32_t Step() = 0;  // 0: finished; anything else: go on
  virtual bool CanPerform(cIInteractionAgent* agent, tTargetWord target) = 0;
  virtual int32_t Score(cIInteractionAgent* agent, tTargetWord target) = 0;
  virtual void Start() = 0;
  virtual void End() = 0;
  virtual tTargetWord GetDefaultTarget() = 0;
  virtual uint32_t GetInteractionId() = 0;  // a fixed constant per class
  virtual cIInteractionAgent* GetAgentInterface() = 0;
  virtual cIInteractionAgent* GetAgent() = 0;
  virtual tTargetWord GetTarget() = 0;
  virtual tTargetWord GetTargetData() = 0;
  virtual bool IsRunning() = 0;
  virtual bool SetEnabled(bool enabled) = 0;  // returns the value set
  virtual bool IsEnabled() = 0;
  // The running instance of this prototype for an agent; null when none can be made.
  virtual cIInteraction* Instantiate(cIInteractionAgent* agent, tTargetWord target) = 0;
};

// Base of every concrete interaction. Create, GetName and Step stay for the
// subclass; the rest has the plain behaviour below.
class cInteraction : public cIInteraction {
 public:
  bool CanPerform(cIInteractionAgent* agent, tTargetWord target) override { return true; }
  int32_t Score(cIInteractionAgent* agent, tTargetWord target) override { return 0; }
  void Start() override { SetRunning(true); }
  void End() override {}
  tTargetWord GetDefaultTarget() override { return 0; }
  uint32_t GetInteractionId() override { return 0; }
  cIInteractionAgent* GetAgentInterface() override { return mAgent.Get(); }
  cIInteractionAgent* GetAgent() override { return mAgent.Get(); }
  tTargetWord GetTarget() override { return mTarget; }
  tTargetWord GetTargetData() override { return mTarget; }
  bool IsRunning() override { return mRunning; }
  bool SetEnabled(bool enabled) override { return mEnabled = enabled; }
  bool IsEnabled() override { return mEnabled; }
  cIInteraction* Instantiate(cIInteractionAgent* agent, tTargetWord target) override;

  virtual bool SetRunning(bool running) { return mRunning = running; }
  void SetTarget(tTargetWord target) { mTarget = target; }

 private:
  tRefPtr<cIInteractionAgent> mAgent;  // the instance keeps its agent alive
  tTargetWord mTarget = 0;
  bool mRunning = false;
  bool mEnabled = true;
};
