// "frames": how far the frame loop got, and what holds the game, for designers
// and for end-to-end checks that the game plays or holds.
#include <string>

#include "app/FrameLoop.h"
#include "glf/DebugWindow.h"

namespace {
class cFramesCommand : public tDebugCommand {
 public:
  cFramesCommand()
      : tDebugCommand("frames",
                      "frames (frames played and drawn since start-up; paused: the Pause box is ticked; held: another "
                      "window is active; held: the pointer is off the game window)") {}
  void Execute(const std::string&) override {
    const uint32_t holds = GetLastFrameHolds();
    std::string named;
    if (holds & kPausedByPlayer) named += ", paused: the Pause box is ticked";
    if (holds & kHeldByAnotherWindow) named += ", held: another window is active";
    if (holds & kHeldByPointer) named += ", held: the pointer is off the game window";
    DebugPrintf("Frames: %u played, %u drawn%s", GetFramesPlayed(), GetFramesDrawn(), named.c_str());
  }
};
}  // namespace

void RegisterFramesDebugCommand() {
  static cFramesCommand command;
  RegisterDebugCommand(&command);
}
