// The mode in the started program: entering "Fish" through the pending
// switch, switching experiments as the "Mode" radio group does, the saucer's
// wheel, and leaving. Each case runs in a child process of its own.
#include <GL/freeglut.h>

#include "app/AppGlobals.h"
#include "camera/Camera.h"
#include "camera/CameraView.h"
#include "math/Math.h"
#include "modes/dev/flyswim/cFlySwimSaucer.h"
#include "modes/creature/cCreatureGameMode.h"
#include "modes/dev/flyswim/FlySwimGeometry.h"
#include "modes/dev/flyswim/FlySwimUnits.h"
#include "modes/dev/flyswim/cTovansGameMode.h"
#include "platform/glui/glui.h"
#include "tests/support/StartedProgram.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"

using namespace Ru::Math;
using namespace nFlySwim;

namespace {
void StartInFish(cStartedProgram& program) {
  gPendingGameMode = gTovansGameMode;
  program.Frame(16);
  program.Frame(16);
}

void Switch(cStartedProgram& program, int mode) {
  State().mode = mode;  // what the radio group writes before its callback
  cTovansGameMode::OnModeChanged(mode);
  program.Frame(16);
}
}  // namespace

TEST(FlySwimMode, ExperimentsBuildTheirUnitsPerchesAndAmbientLife) {
  RunIsolated([] {
    cStartedProgram program({"-noautopause"});
    StartInFish(program);
    ASSERT_EQ(gCurrentGameMode, static_cast<cIGameMode*>(gTovansGameMode));
    GLUI* panel = State().panel;
    ASSERT_NE(panel, nullptr);
    EXPECT_STREQ(panel->get_name(), "Fly/Swim UI");
    for (const char* name : {"Creature Speed", "Sea Level", "Hold Mouse to Swim (Creature)",
                             "Dynamic Hold Mouse To Swim", "RTS Sticky Selection"})
      EXPECT_NE(panel->find_control(name), nullptr) << name;

    struct sStep {
      int mode;
      size_t units, perches;
      bool sea;
      float distance;  // the camera's, as the switch sets it
    } steps[] = {
        {kFish, 1, 100, true, 3.0f},  // a fresh entry: 50 from the switch, 50 from Enter
        {kFishTribe, 20, 0, true, 120.0f},  // there were perches: all go
        {kBird, 1, 0, false, 30.0f},
        {kFish, 1, 50, true, 3.0f},
        {kBirdTribe, 20, 0, false, 120.0f},
        {kUfo, 0, 0, false, 480.0f},
    };
    for (const sStep& step : steps) {
      const bool fresh = step.mode == kFish && State().perches.size() == 100;
      if (!fresh) {
        State().mode = step.mode;  // what the radio group writes before its callback
        cTovansGameMode::OnModeChanged(step.mode);
      }
      float distance = 0.0f;
      GetCameraTargetAngles(nullptr, nullptr, &distance);
      EXPECT_FLOAT_EQ(distance, step.distance) << std::hex << step.mode;
      if (!fresh) program.Frame(16);
      EXPECT_EQ(State().units.size(), step.units) << std::hex << step.mode;
      EXPECT_EQ(State().perches.size(), step.perches) << std::hex << step.mode;
      EXPECT_EQ(State().school != nullptr, step.sea);
      EXPECT_EQ(State().lightRays != nullptr, step.sea);
      EXPECT_EQ(State().saucer != nullptr, step.mode == kUfo);
      for (int frame = 0; frame < 3; ++frame) program.Frame(16);
      EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR) << std::hex << step.mode;
    }
  });
}

// The wheel reaches the saucer through the mouse device, never as a button;
// from level 7 the camera settles straight down under the space camera script,
// and a right click moves it over the clicked ground.
TEST(FlySwimMode, TheWheelStepsTheSaucerAndLevelSevenLooksStraightDown) {
  RunIsolated([] {
    cStartedProgram program({"-noautopause"});
    StartInFish(program);
    Switch(program, kUfo);
    ASSERT_NE(State().saucer, nullptr);
    for (int notch = 0; notch < 7; ++notch) {  // GLUT's button 4: a notch towards the user
      OnMouse(4, 0, 400, 300);
      OnMouse(4, 1, 400, 300);
      program.Frame(16);
    }
    EXPECT_EQ(State().saucer->level, 7);
    for (int frame = 0; frame < 120; ++frame) program.Frame(16);
    float pitch = 0.0f, distance = 0.0f;
    GetCameraAngles(nullptr, &pitch, &distance);
    EXPECT_NEAR(pitch, 90.0f, 0.01f);
    EXPECT_NEAR(distance, 300.0f, 0.5f);
    EXPECT_EQ(program.Count("Tovans.OnLeftButtonDown") + program.Count("Tovans.OnRightButtonDown"), 0);

    // One notch more, then a right click off the middle: the top-down view
    // moves over the clicked ground and stays there.
    OnMouse(4, 0, 400, 300);
    OnMouse(4, 1, 400, 300);
    for (int frame = 0; frame < 120; ++frame) program.Frame(16);
    ASSERT_EQ(State().saucer->level, 8);
    int width = 0, height = 0;
    ASSERT_TRUE(GetFrameWindowSize(width, height));
    const int x = width / 4, y = height / 4;
    Vector3 clicked;
    GetPlanetModel().IntersectRay(clicked, CameraScreenPointToRay(x, y));
    ASSERT_GT(Vector3Length(clicked), 1.0f);
    const float* anchor = GetCameraAnchor();
    ASSERT_GT(Distance(Vector3{anchor[0], anchor[1], anchor[2]}, clicked), 50.0f);
    OnMouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, x, y);
    program.Frame(16);
    OnMouse(GLUT_RIGHT_BUTTON, GLUT_UP, x, y);
    for (int frame = 0; frame < 120; ++frame) program.Frame(16);
    anchor = GetCameraAnchor();
    EXPECT_LT(Distance(Vector3{anchor[0], anchor[1], anchor[2]}, clicked), 1.0f);
    GetCameraAngles(nullptr, &pitch, &distance);
    EXPECT_NEAR(pitch, 90.0f, 0.01f);
  });
}

TEST(FlySwimMode, LeavingRestoresTheGLStateAndHidesThePanel) {
  RunIsolated([] {
    cStartedProgram program({"-noautopause"});
    program.Frame(16);
    // Whatever the mode before had, the visit must hand back.
    glEnable(GL_FOG);
    glClearColor(0.25f, 0.0f, 0.0f, 1.0f);
    StartInFish(program);
    const uint32_t shapesInside = GetSceneManager().GetShapeCount();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_LINE_SMOOTH));
    gPendingGameMode = gCreatureGameMode;
    program.Frame(16);
    ASSERT_EQ(gCurrentGameMode, static_cast<cIGameMode*>(gCreatureGameMode));
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLfloat clear[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[0], 0.25f);
    EXPECT_FLOAT_EQ(clear[3], 1.0f);
    EXPECT_FALSE(State().panel->is_visible());
    EXPECT_TRUE(State().units.empty());
    EXPECT_TRUE(State().perches.empty());
    EXPECT_LT(GetSceneManager().GetShapeCount(), shapesInside);  // the units' and perches' own shapes went with them
  });
}

// Every unit and perch makes shapes of its own: switching for a long time must
// not pile them up in the scene's draw and pick lists (nor in memory).
TEST(FlySwimMode, SwitchingExperimentsForLongKeepsTheSceneFlat) {
  RunIsolated([] {
    cStartedProgram program({"-noautopause"});
    StartInFish(program);
    const int cycle[] = {kFish, kBird, kFishTribe, kBirdTribe, kUfo};
    for (int mode : cycle) Switch(program, mode);
    const uint32_t shapes = GetSceneManager().GetShapeCount();
    for (int round = 0; round < 20; ++round)
      for (int mode : cycle) Switch(program, mode);
    EXPECT_EQ(GetSceneManager().GetShapeCount(), shapes);
  });
}
