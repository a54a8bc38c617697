#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "camera/Camera.h"
#include "camera/CameraControl.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"
#include "tests/support/TestSupport.h"

namespace {

// The shipped scripts, run from the repository root as the game runs them.
class CameraScriptsTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override { GetCameraState() = cCameraState{}; }
  static std::string Path(const char* name) { return std::string(".\\Data\\Scripts\\") + name; }
  static void Wheel(int direction, int times) {
    for (int i = 0; i < times; ++i) UpdateCamera(0, 0, direction, 0.016f);
  }
  cMessageCapture messages;
};

// Every script compiles, sets a default distance and pitch inside its limits,
// and zooms on the wheel both ways between limits.
TEST_P(CameraScriptsTest, CompilesAndZoomsWithinLimits) {
  ASSERT_TRUE(GetCameraProgram().Load(Path(GetParam()).c_str())) << GetParam();
  SetCameraScriptFile(Path(GetParam()).c_str());
  EXPECT_EQ(messages.boxes.size(), 0u);
  const cCameraState& s = GetCameraState();
  const float start = s.targetDistance;
  EXPECT_GT(start, 0.0f);
  UpdateCamera(0, 0, 0, 0.016f);
  EXPECT_LE(s.minPitch, s.maxPitch);

  Wheel(1, 60);
  const float nearest = s.targetDistance;
  EXPECT_LT(nearest, start);
  Wheel(1, 1);
  EXPECT_EQ(s.targetDistance, nearest);  // held at the near limit
  Wheel(-1, 60);
  const float farthest = s.targetDistance;
  EXPECT_GT(farthest, start);
  Wheel(-1, 1);
  EXPECT_EQ(s.targetDistance, farthest);
  EXPECT_GE(s.targetPitch, s.minPitch);
  EXPECT_LE(s.targetPitch, s.maxPitch);
}

INSTANTIATE_TEST_SUITE_P(EveryMode, CameraScriptsTest,
                         ::testing::Values("creature_camera.txt", "tribe_camera.txt", "city_camera.txt",
                                           "civ_camera.txt", "civ_camera_experiment.txt", "space_camera.txt",
                                           "flight_camera.txt", "pels_camera.txt"));

// The civ mode switches to the world view beyond 280 and to a city's
// close-up below 260.
TEST(CivCameraScripts, WorldViewSitsBeyond280AndTheWheelReachesBelow260) {
  for (const char* name : {"civ_camera.txt", "civ_camera_experiment.txt"}) {
    GetCameraState() = cCameraState{};
    SetCameraScriptFile((std::string(".\\Data\\Scripts\\") + name).c_str());
    EXPECT_GT(GetCameraState().targetDistance, 280.0f) << name;
    for (int i = 0; i < 30; ++i) UpdateCamera(0, 0, 1, 0.016f);
    EXPECT_LT(GetCameraState().targetDistance, 260.0f) << name;
  }
}

// Fault mended: a folder, a pipe or a device in place of a camera script
// kept the script in force without a word; the pipe must not block either.
TEST(CameraScriptFiles, AFolderPipeOrDeviceInPlaceOfTheScriptShowsRovurozovizError) {
  cScratchDir dir;
  ASSERT_EQ(mkdir(dir.File("folder").c_str(), 0755) | mkfifo(dir.File("pipe").c_str(), 0600), 0);
  for (const std::string& path : {dir.File("folder"), dir.File("pipe"), std::string("/dev/zero"), dir.File("missing")}) {
    cMessageCapture messages;
    SetCameraScriptFile(path.c_str());
    EXPECT_EQ(messages.Count("Rovurozoviz Error"), path == dir.File("missing") ? 0 : 1) << path;  // missing: silent
  }
}

}  // namespace
