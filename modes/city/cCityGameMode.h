#pragma once

#include "modes/ModeShell.h"

class cCityGameMode : public tDataModeShell {
 public:
  cCityGameMode() : tDataModeShell("City") {}
};
