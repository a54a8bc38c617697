#pragma once

#include "modes/ModeShell.h"

class cTestGameMode : public tDataModeShell {
 public:
  cTestGameMode() : tDataModeShell("Test") {}
};
