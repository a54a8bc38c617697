#pragma once

#include "modes/ModeShell.h"

class cFlockTestMode : public tDataModeShell {
 public:
  cFlockTestMode() : tDataModeShell("FlockTest") {}
};
