#pragma once

#include "modes/ModeShell.h"

class cTovansGameMode : public tDataModeShell {
 public:
  cTovansGameMode() : tDataModeShell("Tovans") {}
};
