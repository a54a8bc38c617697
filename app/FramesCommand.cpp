// "frames": how far the frame loop got, and whether the automatic pause holds
// it, for designers and for end-to-end checks that the game plays or holds.
#include "app/FrameLoop.h"
#include "glf/DebugWindow.h"

namespace {
class cFramesCommand : public tDebugCommand {
 public:
  cFramesCommand()
      : tDebugCommand("frames", "frames (frames played and drawn since start-up; held: another window is active)") {}
  void Execute(const std::string&) override {
    DebugPrintf("Frames: %u played, %u drawn%s", GetFramesPlayed(), GetFramesDrawn(),
                IsHeldByAutomaticPause() ? ", held: another window is active" : "");
  }
};
}  // namespace

void RegisterFramesDebugCommand() {
  static cFramesCommand command;
  RegisterDebugCommand(&command);
}
