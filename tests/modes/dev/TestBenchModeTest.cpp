// The controller test bench: the creature back upright at the north pole and
// flying under its keys after every entry, its wing markers, the frame time it
// hands on; then in the started program, under the game window's keys.
#include <gtest/gtest.h>

#include <vector>

#include "app/AppGlobals.h"
#include "app/FrameLoop.h"
#include "app/GameCommands.h"
#include "math/Math.h"
#include "modes/creature/AvatarFlySwimController.h"
#include "modes/creature/cCreatureGameMode.h"
#include "modes/creature/cCreatureModeCreature.h"
#include "modes/dev/testbench/cTestGameMode.h"
#include "tests/support/FreshCamera.h"
#include "tests/support/StartedProgram.h"
#include "tests/world/planet/PlanetTestSupport.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

namespace {

float DistanceFromPole() {
  Vector3 pole;
  GetPlanetModel().ProjectToSurface(pole, Vector3{0, 1, 0});
  return Vector3Length(Vector3Sub(cTestGameMode::GetCreature()->GetPosition(), pole));
}

struct cSecondsSpy : cICreatureController {
  std::vector<float> seen;
  void Update(float seconds) override { seen.push_back(seconds); }
  void Activate() override {}
  void SetupCamera() override {}
  void Deactivate() override {}
};

}  // namespace

TEST(TestBenchMode, EveryEntryPutsTheCreatureUprightAtThePoleWithWingsAndItFliesAfterEachOne) {
  cMessageCapture boxes;
  cScopedPlanetHeights planet(MakeHeightMap([](const Vector3&) { return 10.0f; }, 64));
  cFreshCamera camera;  // Enter installs the creature's camera script
  cTestGameMode bench;
  bench.Leave();  // before any Enter: nothing to take down
  const uint32_t listed = GetSceneManager().GetObjectCount();
  for (int entry = 0; entry < 3; ++entry) {
    SCOPED_TRACE(entry);
    bench.Enter();
    EXPECT_EQ(DistanceFromPole(), 0.0f);
    EXPECT_TRUE(QuatNearEqual(cTestGameMode::GetCreature()->GetOrientation(), QuatIdentity(), 0.0f));
    for (int i = 0; i < 2; ++i)  // the creature mode was never entered: its wing shapes are made on demand
      EXPECT_EQ(cTestGameMode::GetWingMarker(i)->GetShape(), (cISceneShape*)cCreatureGameMode::GetWingShape(i));
    EXPECT_EQ(GetSceneManager().GetObjectCount(), listed + 3);  // the body and two wings
    Sys_SetKeyState(0x57, true);  // W: MOVE 1
    for (int i = 0; i < 20; ++i) bench.Update(50);
    Sys_SetKeyState(0x57, false);
    EXPECT_GT(DistanceFromPole(), 5.0f);
    bench.Leave();
    EXPECT_EQ(GetSceneManager().GetObjectCount(), listed);
    EXPECT_FALSE(cTestGameMode::GetController()->IsActive());
  }
  EXPECT_TRUE(boxes.boxes.empty());

  // The spy takes the controller's place for good: only in a child process.
  EXPECT_EXIT(
      {
        auto* spy = new cSecondsSpy();
        cTestGameMode::GetCreature()->SetController(spy);
        bench.Update(0);
        bench.Update(500);
        _exit(spy->seen == std::vector<float>{0.0f, 0.5f} ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(TestBenchMode, MadeCurrentByTheHarnessItFliesUnderTheGameWindowsKeysAlsoAfterLeavingAndComingBack) {
  RunIsolated([] {
    cStartedProgram program({"-noautopause"});
    for (int stay = 0; stay < 2; ++stay) {
      gPendingGameMode = gTestGameMode;
      program.Frame(16);
      EXPECT_LT(DistanceFromPole(), 1.0f);
      OnKeyboard('w', 0, 0);  // through the game window's own key callback
      for (int i = 0; i < 40; ++i) program.Frame(50);
      OnKeyboardUp('w', 0, 0);
      EXPECT_GT(DistanceFromPole(), 10.0f) << stay;
      gPendingGameMode = gCreatureGameMode;
      program.Frame(16);
    }
  });
}
