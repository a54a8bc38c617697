#pragma once

#include "modes/ModeShell.h"

class cTribeGameMode : public tModeShell<cGameMode>, public Ko::cIGameDataClient {
 public:
  cTribeGameMode() : tModeShell<cGameMode>("Tribe") {}
};
