#include "app/ModeCommand.h"

#include "app/AppGlobals.h"
#include "glf/DebugWindow.h"

// Which of the nine modes is playing: "mode" prints it, for designers and for
// end-to-end checks of mode options and loaded games.
const char* CurrentGameModeName() {
  static const char* const names[kGameModeCount] = {"creature", "tribe",  "city",   "civ",       "space",
                                                    "test",     "pels",   "tovans", "flocktest"};
  cIGameMode* const* modes = AllGameModes();
  for (int i = 0; i < kGameModeCount; ++i)
    if (modes[i] && modes[i] == gCurrentGameMode) return names[i];
  return "none";
}

namespace {
class cModeCommand : public tDebugCommand {
 public:
  cModeCommand() : tDebugCommand("mode", "mode (prints the current game mode)") {}
  void Execute(const std::string&) override { DebugPrintf("Current mode: %s", CurrentGameModeName()); }
};
}  // namespace

void RegisterModeDebugCommand() {
  static cModeCommand command;
  RegisterDebugCommand(&command);
}
