// The stress mode made current through the start-up harness: walkers, shape,
// panel and sniff test over ten visits; the camera and "Auto Camera".
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

TEST(StressModeVisit, EveryVisitHasThreeThousandWalkersOnOneShapeAndTheSniffTestPassesFromIt) {
  RunIsolated([] {
    cStartedProgram program({"-noautopause"});
    cSceneManager& scene = GetSceneManager();
    for (int visit = 1; visit <= 10; ++visit) {
      SCOPED_TRACE(visit);
      program.Frame(16);
      const uint32_t shapesBefore = scene.GetShapeCount();
      gPendingGameMode = gPelsGameMode;
      program.Frame(16);
      ASSERT_EQ(GetStressWalkers().size(), 3000u);
      EXPECT_EQ(scene.GetObjectCount(&GetStressPyramidShape()), 3000u);
      EXPECT_TRUE(visit == 1 || scene.GetShapeCount() == shapesBefore) << "a visit made a new shape";
      gPendingGameMode = gCreatureGameMode;
      program.Frame(16);
      EXPECT_EQ(scene.GetObjectCount(&GetStressPyramidShape()), 0u);
    }
    EXPECT_TRUE(cPelsGameMode::GetControlPanel()->is_visible()) << "the panel stays open after leaving";
    gPendingGameMode = gPelsGameMode;
    program.Frame(16);
    cScratchDir dir;
    EXPECT_TRUE(RunSniffTestIn(dir.Path()));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(Sys_ReadWholeFile(dir.File("Quorvel Sniff Test Report.txt"), bytes));
    const std::string report(bytes.begin(), bytes.end());
    size_t passes = 0;
    for (size_t at = 0; (at = report.find("passed!", at)) != std::string::npos; ++at) ++passes;
    EXPECT_EQ(passes, 5u) << report;
    EXPECT_NE(report.find("Round 1Pass!"), std::string::npos) << report;
    EXPECT_EQ(scene.GetObjectCount(&GetStressPyramidShape()), 3000u);
  });
}

TEST(StressModeVisit, TheCameraStartsAndStaysAt750AndGlidesUntilAutoCameraIsUnticked) {
  RunIsolated([] {
    cStartedProgram program({"-noautopause"});
    gPendingGameMode = gPelsGameMode;
    program.Frame(16);
    float targetDistance;
    GetCameraTargetAngles(nullptr, nullptr, &targetDistance);
    EXPECT_EQ(targetDistance, 750.0f) << "pels_camera.txt's default distance";
    auto glide = [&program] {
      const float* p = GetCameraPosition();
      const float before[3] = {p[0], p[1], p[2]};
      program.Frame(16);
      return std::hypot(p[0] - before[0], p[1] - before[1], p[2] - before[2]);
    };
    EXPECT_NEAR(glide(), 2.5f, 0.5f);
    EXPECT_EQ(GetCameraDistance(), 750.0f);
    ASSERT_TRUE(GLUI_TestClick(cPelsGameMode::GetControlPanel(), "Auto Camera"));
    EXPECT_EQ(glide(), 0.0f);
  });
}
