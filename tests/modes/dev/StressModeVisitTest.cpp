// The stress mode made current through the start-up harness: its walkers,
// shape, panel and camera over repeated visits.
#include <cmath>

#include "app/AppGlobals.h"
#include "app/SniffTest.h"
#include "camera/Camera.h"
#include "modes/dev/stresstest/StressCrowd.h"
#include "modes/creature/cCreatureGameMode.h"
#include "modes/dev/stresstest/cPelsGameMode.h"
#include "platform/glui/GLUITest.h"
#include "tests/support/StartedProgram.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SolidShapes.h"

namespace {
float AnchorMoved(cStartedProgram& program) {
  const float* p = GetCameraPosition();
  const float before[3] = {p[0], p[1], p[2]};
  program.Frame(16);
  p = GetCameraPosition();
  return std::sqrt((p[0] - before[0]) * (p[0] - before[0]) + (p[1] - before[1]) * (p[1] - before[1]) +
                   (p[2] - before[2]) * (p[2] - before[2]));
}
}  // namespace

TEST(StressModeVisit, EveryVisitHasThreeThousandWalkersOnOneShapeAndLeavingTakesThemAway) {
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
      if (visit > 1) {
        EXPECT_EQ(scene.GetShapeCount(), shapesBefore) << "a visit made a new shape";
      }
      gPendingGameMode = gCreatureGameMode;
      program.Frame(16);
      EXPECT_TRUE(GetStressWalkers().empty());
      EXPECT_EQ(scene.GetObjectCount(&GetStressPyramidShape()), 0u);
    }
    GLUI* panel = cPelsGameMode::GetControlPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_STREQ(panel->get_name(), "Pel's Game Mode Control Panel");
    EXPECT_TRUE(panel->is_visible()) << "the panel stays open after leaving";
  });
}

TEST(StressModeVisit, TheCameraStartsAndStaysAt750AndGlidesUntilAutoCameraIsUnticked) {
  RunIsolated([] {
    cStartedProgram program({"-noautopause"});
    gPendingGameMode = gPelsGameMode;
    program.Frame(16);
    float yaw, pitch, distance, targetDistance;
    GetCameraAngles(&yaw, &pitch, &distance);
    GetCameraTargetAngles(nullptr, nullptr, &targetDistance);
    EXPECT_EQ(distance, 750.0f);
    EXPECT_EQ(targetDistance, 750.0f) << "pels_camera.txt's default distance";
    EXPECT_NEAR(AnchorMoved(program), 2.5f, 0.5f);
    EXPECT_EQ(GetCameraDistance(), 750.0f);
    ASSERT_TRUE(GLUI_TestClick(cPelsGameMode::GetControlPanel(), "Auto Camera"));
    EXPECT_EQ(GetStressAutoCameraFlag(), 0);
    EXPECT_EQ(AnchorMoved(program), 0.0f);
  });
}

TEST(StressModeVisit, TheSniffTestPassesWithTheStressModeCurrentAndGivesItsWalkersBack) {
  RunIsolated([] {
    cStartedProgram program({"-noautopause"});
    gPendingGameMode = gPelsGameMode;
    program.Frame(16);
    cScratchDir dir;
    EXPECT_TRUE(RunSniffTestIn(dir.Path()));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(Sys_ReadWholeFile(dir.File("Quorvel Sniff Test Report.txt"), bytes));
    const std::string report(bytes.begin(), bytes.end());
    int cycles = 0;
    for (size_t at = report.find("passed!"); at != std::string::npos; at = report.find("passed!", at + 1)) ++cycles;
    EXPECT_EQ(cycles, 5) << report;
    EXPECT_NE(report.find("Sniff Test Round 1Pass!"), std::string::npos) << report;
    EXPECT_EQ(GetSceneManager().GetObjectCount(&GetStressPyramidShape()), 3000u);
    program.Frame(16);
    EXPECT_EQ(GetStressWalkers().size(), 3000u);
  });
}
