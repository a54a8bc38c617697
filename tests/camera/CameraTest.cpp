#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "camera/Camera.h"
#include "camera/CameraControl.h"
#include "math/Math.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"
#include "tests/support/TestSupport.h"

using namespace Ru::Math;

namespace {

// A host the test sets by hand: an 800 x 600 window, no mode current unless asked.
struct cFakeHost : cICameraHost {
  bool civ = false, creature = false, inCombat = false, civTestCamera = false;
  float latitudeLimit = 1.0f;
  bool IsCivModeCurrent() override { return civ; }
  bool IsCreatureModeCurrent() override { return creature; }
  bool IsAvatarInCombat() override { return inCombat; }
  float CivLatitudeLimit(float) override { return latitudeLimit; }
  bool IsCivTestCameraOn() override { return civTestCamera; }
  void GetWindowSize(int& w, int& h) override { w = 800, h = 600; }
};

// A fresh camera over the planet (radius 500 without terrain) with the script given.
class CameraTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GetCameraState() = cCameraState{};
    SetCameraHost(&host);
    const float anchor[3] = {0.0f, 500.0f, 0.0f}, identity[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    SetCameraAnchorFrame(anchor, identity);
    Script("x = 0");
  }
  void TearDown() override { SetCameraHost(nullptr); }
  static void Script(const char* text) { ASSERT_TRUE(GetCameraProgram().Compile(text)) << text; }
  static cCameraState& State() { return GetCameraState(); }

  cFakeHost host;
  cMessageCapture messages;
};

constexpr float kInf = std::numeric_limits<float>::infinity();

TEST_F(CameraTest, MouseTurnsTheTargetAndTheCurrentValuesGlideAtTheModesRate) {
  UpdateCamera(10, 0, 0, 0.016f);
  EXPECT_FLOAT_EQ(State().targetYaw, 10.0f);  // pixels are degrees
  UpdateCameraFrame();
  EXPECT_NEAR(State().currentYaw, 1.0f, 1e-4f);  // 10 % of the gap
  UpdateCameraFrame();
  EXPECT_NEAR(State().currentYaw, 1.9f, 1e-4f);

  host.civ = true;  // the civ mode glides at 6 %
  State().targetDistance = 100.0f;
  State().currentDistance = 0.0f;
  UpdateCameraFrame();
  EXPECT_NEAR(State().currentDistance, 6.0f, 1e-4f);

  // A jump glides nowhere; with no lag allowed the anchor follows at once.
  const float there[3] = {300.0f, 400.0f, 0.0f}, frame[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  SetCameraAnchorFrame(there, frame);
  UpdateCameraFrame();
  EXPECT_EQ(State().anchor[0], 300.0f);
  const float far[3] = {0.0f, 0.0f, 500.0f};
  SetCameraMaxDistance(0.0f);
  SetCameraPositionOrientation(far, frame);
  UpdateCameraFrame();
  EXPECT_NEAR(State().anchor[2], 500.0f, 1e-3f);
}

TEST_F(CameraTest, ScriptDistanceAndPitchCountOnlyWhenTheWheelMovesButLimitsAlways) {
  Script("distance = distance * 0.5 pitch = 25 min_pitch = 10 max_pitch = 35");
  State().targetDistance = 100.0f;
  State().targetPitch = 60.0f;
  UpdateCamera(0, 0, 0, 0.016f);
  EXPECT_EQ(State().targetDistance, 100.0f);
  EXPECT_EQ(State().targetPitch, 35.0f);  // clamped by this frame's limits
  UpdateCamera(0, 0, 1, 0.016f);
  EXPECT_EQ(State().targetDistance, 50.0f);
  EXPECT_EQ(State().targetPitch, 25.0f);
  UpdateCamera(0, -40, 0, 0.016f);  // a drag cannot push the pitch past the limits
  EXPECT_EQ(State().targetPitch, 10.0f);
}

TEST_F(CameraTest, ReloadReadsDefaultDistanceAndPitchAndAMissingOrEmptyScriptKeepsTheCamera) {
  cScratchDir dir;
  dir.Write("cam.txt", "default_distance = 80 pitch = 20 + distance * 0.25 min_pitch = 5");
  SetCameraScriptFile(dir.File("cam.txt").c_str());
  EXPECT_EQ(State().targetDistance, 80.0f);
  EXPECT_EQ(State().targetPitch, 40.0f);  // the second run sees the new distance
  EXPECT_EQ(State().minPitch, 0.0f);      // limits wait for the first update
  UpdateCamera(0, 0, 0, 0.0f);
  EXPECT_EQ(State().minPitch, 5.0f);

  Script("x = 0");  // a script that sets nothing
  State().maxPitch = 50.0f;
  SetCameraScriptFile(dir.File("missing.txt").c_str());
  EXPECT_EQ(State().targetDistance, 80.0f);
  EXPECT_EQ(State().targetPitch, 40.0f);
  EXPECT_EQ(State().minPitch, 0.0f);
  EXPECT_EQ(State().maxPitch, 90.0f);
}

// Fault mended: a script dividing by zero carried inf and NaN into the
// distance, the angles, the anchor and from there into GL and save files.
TEST_F(CameraTest, NonFiniteScriptOutputsLeaveThePreviousValues) {
  Script("distance = 1/0 pitch = 0/0 min_pitch = 0-1/0 max_pitch = 0/0 yaw = 1/0 anchor_delta_x = 0/0 "
         "default_distance = 1/0");
  SetCameraEdgeScroll(true);
  State().scriptFile = "no such script.txt";
  State().targetDistance = 70.0f;
  State().targetPitch = 30.0f;
  const cCameraState before = State();
  UpdateCamera(0, 0, 1, 0.016f);
  ReloadCameraScript();  // the file is missing; the compiled text stays and runs
  EXPECT_EQ(State().targetDistance, 70.0f);
  EXPECT_EQ(State().targetPitch, 30.0f);
  EXPECT_EQ(State().targetYaw, before.targetYaw);
  EXPECT_EQ(State().minPitch, 0.0f);
  EXPECT_EQ(State().maxPitch, 90.0f);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(State().targetAnchor[i], before.targetAnchor[i]);
}

TEST_F(CameraTest, EdgeScrollingMovesTheAnchorOverTheGroundAndAppliesTheYaw) {
  Script("anchor_delta_x = 1 yaw = yaw + 5");
  UpdateCamera(0, 0, 0, 0.1f);  // edge scrolling off: neither applies
  EXPECT_EQ(State().targetAnchor[0], 0.0f);
  EXPECT_EQ(State().targetYaw, 0.0f);

  SetCameraEdgeScroll(true);
  UpdateCamera(0, 0, 0, 0.1f);
  EXPECT_EQ(State().targetYaw, 5.0f);
  EXPECT_NEAR(State().targetAnchor[0], -5.0f, 0.05f);  // 1 x 0.1 s x 50 to the left
  EXPECT_NEAR(Vector3Length(Vector3{State().targetAnchor[0], State().targetAnchor[1], State().targetAnchor[2]}),
              500.0f, 1e-3f);  // still on the ground

  Script("yaw = yaw + 5");  // no scroll speed: the anchor stays, the yaw still turns
  const float x = State().targetAnchor[0];
  UpdateCamera(0, 0, 0, 0.1f);
  EXPECT_EQ(State().targetAnchor[0], x);
  EXPECT_EQ(State().targetYaw, 10.0f);
}

TEST_F(CameraTest, ScriptHearsTheMouseAsWindowFractionsAndCombatOnlyInTheCreatureMode) {
  Script("seen_x = mouse_move_x seen_y = mouse_move_y seen_combat = in_combat");
  cRovurozovizProgram& program = GetCameraProgram();
  program.SetVariable("in_combat", 7.0f);
  SetCameraMouseMove(400, 150);
  UpdateCamera(0, 0, 0, 0.0f);
  EXPECT_EQ(program.GetVariable("seen_x"), 0.5f);
  EXPECT_EQ(program.GetVariable("seen_y"), -0.25f);  // y upwards
  EXPECT_EQ(program.GetVariable("seen_combat"), 7.0f);  // not set outside the creature mode
  UpdateCamera(0, 0, 0, 0.0f);
  EXPECT_EQ(program.GetVariable("seen_x"), 0.0f);  // the movement is used once

  host.creature = true;
  host.inCombat = true;
  UpdateCamera(0, 0, 0, 0.0f);
  EXPECT_EQ(program.GetVariable("seen_combat"), 1.0f);
}

TEST_F(CameraTest, FocusPutsTheTargetOnTheSurfaceBelowThePointWithinTheLatitudeLimit) {
  CameraFocusOnPoint(0.0f, 0.0f, 900.0f);  // on the equator
  EXPECT_NEAR(GetCameraPosition()[2], 500.0f, 1e-2f);
  EXPECT_NEAR(GetCameraPosition()[1], 0.0f, 1e-2f);

  host.latitudeLimit = 0.5f;
  CameraFocusOnPoint(0.0f, 900.0f, 10.0f);  // near the pole
  float longitude, latitude;
  PointToLongitudeLatitude(GetCameraPosition()[0], GetCameraPosition()[1], GetCameraPosition()[2], longitude, latitude);
  EXPECT_NEAR(std::fabs(latitude), 0.5f, 1e-4f);

  const float before = GetCameraPosition()[2];
  CameraFocusOnPoint(std::nanf(""), 0.0f, 0.0f);  // no direction: nothing changes
  EXPECT_EQ(GetCameraPosition()[2], before);
}

TEST_F(CameraTest, CentringTurnsTheFrameUpOntoThePointAndOntoTheAntipodeByAHalfTurn) {
  const float side[3] = {500.0f, 0.0f, 0.0f};
  CenterCameraOn(side);
  const float* q = GetCameraOrientation();
  const Matrix3 m = QuatToMatrix3(Quaternion{q[0], q[1], q[2], q[3]});
  EXPECT_NEAR(m.At(1, 0), 1.0f, 1e-5f);  // the frame's up is the point's up
  EXPECT_EQ(GetCameraPosition()[0], 500.0f);

  GetCameraState() = cCameraState{};
  const float anchor[3] = {0.0f, 500.0f, 0.0f}, identity[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  SetCameraAnchorFrame(anchor, identity);
  SetCameraAngles(0.0f, 30.0f, 100.0f);
  const float antipode[3] = {0.0f, -500.0f, 0.0f};
  CenterCameraOn(antipode);
  EXPECT_NEAR(GetCameraOrientation()[3], 0.0f, 1e-6f);  // a half turn
  EXPECT_EQ(GetCameraPosition()[1], -500.0f);
  // The glide over the top stays finite and arrives.
  for (int frame = 0; frame < 400; ++frame) UpdateCameraFrame();
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(GetCameraAnchor()[i], antipode[i], 0.5f);
}

// Fault mended: the interpolation added turns in a loop that never ended for
// an infinite difference, or one too large for a turn to change it.
TEST(InterpolateAngle, GoesTheShortWayAndReturnsOnHugeOrNonFiniteInput) {
  const float from = DegToRad(350.0f), to = DegToRad(10.0f);
  EXPECT_NEAR(RadToDeg(InterpolateAngle(from, to, 0.5f)), 360.0f, 1e-3f);  // through 0, not back through 180
  EXPECT_NEAR(RadToDeg(InterpolateAngle(to, from, 1.0f)), -10.0f, 1e-3f);
  const float huge = InterpolateAngle(0.0f, 1e30f, 0.1f);
  EXPECT_TRUE(std::isfinite(huge));
  EXPECT_LE(std::fabs(huge), 0.32f);
  EXPECT_EQ(InterpolateAngle(1.0f, kInf, 0.5f), 1.0f);
  EXPECT_EQ(InterpolateAngle(1.0f, std::nanf(""), 0.5f), 1.0f);
}

TEST_F(CameraTest, ViewLooksDownAtTheAnchorFromTheDistanceAndTurnsWithTheFrame) {
  SetCameraAngles(0.0f, 90.0f, 100.0f);
  float m[16];
  ComputeCameraView(m);
  auto toView = [&](float x, float y, float z, int row) { return m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row]; };
  EXPECT_NEAR(toView(0, 600, 0, 2), 0.0f, 1e-3f);  // the eye is straight above the anchor
  EXPECT_NEAR(toView(0, 500, 0, 2), -100.0f, 1e-3f);

  // A frame turned 90 degrees about x turns the view by 90 degrees, not 90 radians.
  const float s = std::sqrt(0.5f), turned[4] = {s, 0.0f, 0.0f, s}, origin[3] = {0.0f, 0.0f, 0.0f};
  SetCameraAnchorFrame(origin, turned);
  SetCameraAngles(0.0f, 0.0f, 0.0f);
  ComputeCameraView(m);
  EXPECT_NEAR(toView(0, 1, 0, 1), 0.0f, 1e-5f);  // the frame's up turned onto the view's -z
  EXPECT_NEAR(toView(0, 1, 0, 2), -1.0f, 1e-5f);
}

TEST_F(CameraTest, CommittingTheYawKeepsTheView) {
  const float frame[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  SetCameraAnchorFrame(GetCameraAnchor(), frame);
  SetCameraAngles(40.0f, 30.0f, 100.0f);
  SetCameraTargetAngles(40.0f, 30.0f, 100.0f);
  float before[16], after[16];
  ComputeCameraView(before);
  CommitCameraYaw();
  ComputeCameraView(after);
  EXPECT_EQ(State().currentYaw, 0.0f);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(after[i], before[i], 1e-3f) << i;
}

}  // namespace
