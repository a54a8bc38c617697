#pragma once

#include "modes/ModeShell.h"

class cPelsGameMode : public tDataModeShell {
 public:
  cPelsGameMode() : tDataModeShell("Pels") {}
};
