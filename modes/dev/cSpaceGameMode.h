#pragma once

#include "modes/ModeShell.h"

class cSpaceGameMode : public tDataModeShell {
 public:
  cSpaceGameMode() : tDataModeShell("Space") {}
};
