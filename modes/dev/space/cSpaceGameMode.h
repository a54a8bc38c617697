// The placeholder of a space stage: one line of text on black, the space
// camera, and one flying saucer in the data manager while the mode is current.
#pragma once

#include "modes/ModeShell.h"

class cUFO;

class cSpaceGameMode : public tDataModeShell {
 public:
  cSpaceGameMode();  // registers the saucer's type, with this mode as its (silent) serializer
  void Enter() override;
  void Leave() override;
  void OnRender() override;

  cUFO* GetSaucer() const { return mSaucer; }

 private:
  cUFO* mSaucer = nullptr;  // the data manager owns it
};
