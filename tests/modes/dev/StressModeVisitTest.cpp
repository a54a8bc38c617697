// The stress mode made current through the start-up harness, ten times: its
// walkers, its one shape, its panel and camera, and the sniff test from it.
#include <cmath>

#include "app/AppGlobals.h"
#include "app/SniffTest.h"
#include "camera/Camera.h"
#include "modes/creature/cCreatureGameMode.h"
#include "modes/dev/stresstest/StressCrowd.h"
#include "modes/dev/stresstest/cPelsGameMode.h"
#include "platform/glui/GLUITest.h"
#include "tests/support/StartedProgram.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SolidShapes.h"

TEST(StressModeVisit, EveryVisitHasThreeThousandWalkersOnOneShapeUnderAGlidingCameraAt750) {
  RunIsolated([] {
    cStartedProgram program({"-noautopause"});
    cSceneManager& scene = GetSceneManager();
    auto glide = [&program] {  // how far one frame moves the camera
      const float* p = GetCameraPosition();
      const float before[3] = {p[0], p[1], p[2]};
      program.Frame(16);
      return std::hypot(p[0] - before[0], p[1] - before[1], p[2] - before[2]);
    };
    for (int visit = 1; visit <= 10; ++visit) {
      SCOPED_TRACE(visit);
      const uint32_t shapesBefore = scene.GetShapeCount();
      gPendingGameMode = gPelsGameMode;
      program.Frame(16);
      EXPECT_EQ(scene.GetObjectCount(&GetStressPyramidShape()), 3000u);
      EXPECT_TRUE(visit == 1 || scene.GetShapeCount() == shapesBefore) << "a visit made a new shape";
      EXPECT_NEAR(glide(), 2.5f, 0.5f);
      EXPECT_EQ(GetCameraDistance(), 750.0f) << "pels_camera.txt keeps the distance Enter starts at";
      gPendingGameMode = gCreatureGameMode;
      program.Frame(16);
      EXPECT_EQ(scene.GetObjectCount(&GetStressPyramidShape()), 0u);
    }
    GLUI* panel = cPelsGameMode::GetControlPanel();
    EXPECT_FALSE(panel->is_visible()) << "hidden with the mode";
    gPendingGameMode = gPelsGameMode;
    program.Frame(16);
    ASSERT_TRUE(GLUI_TestClick(panel, "Auto Camera")) << "shown again on entry";
    EXPECT_EQ(glide(), 0.0f) << "unticked";
    cScratchDir dir;
    EXPECT_TRUE(RunSniffTestIn(dir.Path())) << "every save-load cycle passed";
    EXPECT_EQ(scene.GetObjectCount(&GetStressPyramidShape()), 3000u) << "the sniff test gives the walkers back";
  });
}
