// The controller test bench: the stand-alone creature at the north pole, its
// wing markers, the controller alive after every entry, and the frame time it
// hands on. Headless on a made-up planet, then once in the started program
// with pictures of the game window.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "app/AppGlobals.h"
#include "app/FrameLoop.h"
#include "app/GameCommands.h"
#include "math/Math.h"
#include "modes/creature/AvatarFlySwimController.h"
#include "modes/creature/CreatureCommon.h"
#include "modes/creature/cCreatureGameMode.h"
#include "modes/creature/cCreatureModeCreature.h"
#include "modes/dev/testbench/cTestGameMode.h"
#include "tests/support/CameraPicture.h"
#include "tests/support/StartedProgram.h"
#include "tests/support/TestSupport.h"
#include "tests/world/planet/PlanetTestSupport.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

namespace {

constexpr int kKeyW = 0x57;  // MOVE 1 in creature_keys.txt

Vector3 NorthPole() {
  Vector3 pole;
  GetPlanetModel().ProjectToSurface(pole, Vector3{0, 1, 0});
  return pole;
}

float DistanceFromPole() { return Vector3Length(Vector3Sub(cTestGameMode::GetCreature()->GetPosition(), NorthPole())); }

void FlyForward(cTestGameMode& bench, int frames) {
  Sys_SetKeyState(kKeyW, true);
  for (int i = 0; i < frames; ++i) bench.Update(50);
  Sys_SetKeyState(kKeyW, false);
}

struct cSecondsSpy : cICreatureController {
  std::vector<float>* seen;
  explicit cSecondsSpy(std::vector<float>* s) : seen(s) {}
  void Update(float seconds) override { seen->push_back(seconds); }
  void Activate() override {}
  void SetupCamera() override {}
  void Deactivate() override {}
};

struct TestBenchModeTest : ::testing::Test {
  cMessageCapture boxes;
  cTestGameMode bench;
  void SetUp() override {
    GetPlanetModel().SetHeightMap(MakeHeightMap([](const Vector3&) { return 10.0f; }, 64));
    Sys_ClearKeyStates();
  }
};

}  // namespace

TEST_F(TestBenchModeTest, EveryEntryPutsTheCreatureUprightAtThePoleAndItFliesAfterEachOne) {
  bench.Leave();  // before any Enter: nothing to take down
  ASSERT_EQ(cTestGameMode::GetPanel(), nullptr);

  const uint32_t listedBefore = GetSceneManager().GetObjectCount();
  for (int entry = 0; entry < 3; ++entry) {
    SCOPED_TRACE(entry);
    bench.Enter();
    cCreatureModeCreature* creature = cTestGameMode::GetCreature();
    ASSERT_NE(creature, nullptr);
    EXPECT_TRUE(Vector3Equal(creature->GetPosition(), NorthPole()));
    EXPECT_TRUE(QuatNearEqual(creature->GetOrientation(), QuatIdentity(), 0.0f));
    for (int i = 0; i < 2; ++i) {
      EXPECT_TRUE(Vector3Equal(cTestGameMode::GetWingMarker(i)->GetPosition(), NorthPole()));
      EXPECT_TRUE(QuatNearEqual(cTestGameMode::GetWingMarker(i)->GetOrientation(), QuatIdentity(), 0.0f));
    }
    EXPECT_EQ(GetSceneManager().GetObjectCount(), listedBefore + 3);  // body and two wings
    ASSERT_TRUE(cTestGameMode::GetController()->IsActive());

    FlyForward(bench, 20);
    EXPECT_GT(DistanceFromPole(), 5.0f);

    bench.Leave();
    EXPECT_EQ(GetSceneManager().GetObjectCount(), listedBefore);
    EXPECT_FALSE(cTestGameMode::GetController()->IsActive());
  }
  EXPECT_EQ(cTestGameMode::GetController()->GetOwnerMode(), nullptr);
  EXPECT_EQ(cTestGameMode::GetCreature()->GetSceneObject()->GetShape(), (cISceneShape*)cCreatureCommon::GetBodyShape());
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(TestBenchModeTest, WingMarkersGetTheCreatureModesWingShapesWithoutThatModeEverEntered) {
  bench.Enter();
  for (int i = 0; i < 2; ++i) {
    ASSERT_NE(cTestGameMode::GetWingMarker(i)->GetShape(), nullptr);
    EXPECT_EQ(cTestGameMode::GetWingMarker(i)->GetShape(), (cISceneShape*)cCreatureGameMode::GetWingShape(i));
  }
  bench.Leave();
}

TEST_F(TestBenchModeTest, UpdateHandsTheControllerTheFrameInSeconds) {
  bench.Enter();
  bench.Leave();
  // The spy replaces the bench's controller for good: only in a child process.
  EXPECT_EXIT(
      {
        std::vector<float> seen;
        cTestGameMode::GetCreature()->SetController(new cSecondsSpy(&seen));
        bench.Update(0);
        bench.Update(500);
        _exit(seen == std::vector<float>{0.0f, 0.5f} ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

namespace {

constexpr int kShotSize = 64;

// The middle of the game window, drawn once more into the back buffer and read there.
std::vector<unsigned char> PictureOfTheMiddle() {
  glutSetWindow(gMainWindow);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  SetupProjection();
  gCurrentGameMode->OnRender();
  glFinish();
  const int x = glutGet(GLUT_WINDOW_WIDTH) / 2 - kShotSize / 2, y = glutGet(GLUT_WINDOW_HEIGHT) / 2 - kShotSize / 2;
  std::vector<unsigned char> rgb(kShotSize * kShotSize * 3);
  glReadBuffer(GL_BACK);
  glReadPixels(x, y, kShotSize, kShotSize, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return rgb;
}

int DifferingPixels(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
  int count = 0;
  for (size_t i = 0; i < a.size(); i += 3)
    count += std::abs(a[i] - b[i]) + std::abs(a[i + 1] - b[i + 1]) + std::abs(a[i + 2] - b[i + 2]) > 30;
  return count;
}

}  // namespace

TEST(TestBenchMode, TheHarnessMakesItCurrentAndTheKeysFlyTheCreatureAlsoAfterLeavingAndComingBack) {
  RunIsolated([] {
    cStartedProgram program({"-noautopause"});
    ASSERT_EQ(program.startResult, 0);
    std::vector<std::vector<unsigned char>> shots;
    for (int stay = 0; stay < 2; ++stay) {
      SCOPED_TRACE(stay);
      gPendingGameMode = gTestGameMode;
      program.Frame(16);
      ASSERT_EQ(gCurrentGameMode, (cIGameMode*)gTestGameMode);
      for (int i = 0; i < 60; ++i) program.Frame(16);  // the camera settles on the creature
      EXPECT_LT(DistanceFromPole(), 1.0f);
      const std::vector<unsigned char> atPole = PictureOfTheMiddle();
      OnKeyboard('w', 0, 0);  // through the game window's own key callback
      for (int i = 0; i < 40; ++i) program.Frame(50);
      OnKeyboardUp('w', 0, 0);
      EXPECT_GT(DistanceFromPole(), 10.0f);
      const std::vector<unsigned char> flown = PictureOfTheMiddle();
      EXPECT_GT(DifferingPixels(atPole, flown), kShotSize * kShotSize / 20) << "the view moved with the creature";
      shots.push_back(atPole);
      gPendingGameMode = gCreatureGameMode;
      program.Frame(16);
    }
    KeepPictureIfAsked("QV_BENCH_SHOT_FIRST", shots[0], kShotSize, kShotSize);
    KeepPictureIfAsked("QV_BENCH_SHOT_AGAIN", shots[1], kShotSize, kShotSize);
    EXPECT_EQ(program.Count("Test.Enter"), 2);
    EXPECT_EQ(program.Count("Test.Leave"), 2);
  });
}
