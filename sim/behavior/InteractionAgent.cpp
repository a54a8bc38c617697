#include "sim/behavior/InteractionAgent.h"

#include "sim/behavior/BehaviorController.h"
#include "sim/behavior/Interaction.h"

cInteractionAgent::~cInteractionAgent() {
  if (mCurrent) {
    cIInteraction* ending = mCurrent;
    mCurrent = nullptr;
    ending->End();
    GetBehaviorController().QueueDelete(ending);
  }
}

bool cInteractionAgent::SetSuppressChoice(bool suppress) {
  bool previous = mSuppressChoice;
  mSuppressChoice = suppress;
  return previous;
}

bool cInteractionAgent::StartInteraction(cIInteraction* prototype, tTargetWord target) {
  EndInteraction();  // also when the same interaction is started again
  if (!prototype) return false;
  cIInteraction* instance = prototype->Instantiate(this, target);
  if (!instance) return false;
  mCurrent = instance;
  instance->Start();
  return true;
}

void cInteractionAgent::EndInteraction() {
  if (!mCurrent) return;
  // The interaction stays current while its End runs: a group interaction asks
  // the member's current interaction whether it is still running.
  cIInteraction* ending = mCurrent;
  ending->End();
  if (mCurrent == ending) mCurrent = nullptr;
  GetBehaviorController().QueueDelete(ending);
}
