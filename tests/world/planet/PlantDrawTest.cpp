// The seeded plants of the real planet drawn in a test window: near a clump
// they stand on land and show in the picture, and the scene lists exactly the
// plants of the patches shown around the camera as it moves.
#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "camera/Camera.h"
#include "glf/GLExtensions.h"
#include "platform/Sys.h"
#include "tests/support/CameraPicture.h"
#include "tests/support/GLTestWindow.h"
#include "tests/support/TestSupport.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

namespace {
constexpr int kWidth = 320, kHeight = 240;

std::vector<unsigned char> Render(bool withScene) {
  BeginCameraPicture(kWidth, kHeight, GetCameraAnchor());  // light from above the anchor
  glEnable(GL_LIGHTING);
  GetPlanetModel().Draw();  // also files the plants of the near patches into the scene
  if (withScene) GetSceneManager().Render();
  glDisable(GL_LIGHTING);
  return ReadBackBuffer(kWidth, kHeight);
}

void LookAt(const Vector3& p, float distance) {
  Quaternion frame;
  cPlanetModel::MakeSurfaceOrientation(frame, p, Vector3{0, 1, 0});
  SetCameraAnchorFrame(&p.x, &frame.x);
  SetCameraAngles(0.0f, 40.0f, distance);
  SetCameraTargetAngles(0.0f, 40.0f, distance);
}
}  // namespace

TEST(PlantDraw, PlantsStandInClumpsOnLandAndTheSceneFollowsTheCamera) {
  [[maybe_unused]] cIgnoreDriverAllocations driver;
  ASSERT_TRUE(OpenGLTestWindow(kWidth, kHeight));
  LoadGLEntryPoints(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)));
  Sys_SeedRandom(1);  // the plants grow where a fresh process puts them, whatever ran before
  cCapturedOutput captured;
  GetPlanetModel().Initialize();
  captured.End();
  cPlanetModel& planet = GetPlanetModel();
  ASSERT_FALSE(planet.GetPlants().empty());
  for (const auto& plant : planet.GetPlants()) ASSERT_FALSE(planet.IsUnderWater(plant->GetPosition()));

  const uint32_t plantCount = static_cast<uint32_t>(planet.GetPlants().size());
  const uint32_t step = plantCount / 7 > 0 ? plantCount / 7 : 1;
  for (uint32_t i = 0; i < plantCount; i += step) {
    LookAt(planet.GetPlants()[i]->GetPosition(), i == 0 ? 90.0f : 400.0f);
    const std::vector<unsigned char> picture = Render(true);
    const uint32_t listed = GetSceneManager().GetObjectCount(&GetPlantShape());
    EXPECT_EQ(listed, planet.CountShownPlants());
    EXPECT_GT(listed, 0u);
    EXPECT_LT(listed, plantCount);  // far patches are hidden
    if (i != 0) continue;
    KeepPictureIfAsked("QV_PLANT_SHOT", picture, kWidth, kHeight);  // the close-up, for a look by eye
    const std::vector<unsigned char> bare = Render(false);
    int changed = 0;
    for (size_t p = 0; p < picture.size(); p += 3)
      if (std::abs(picture[p] - bare[p]) + std::abs(picture[p + 1] - bare[p + 1]) + std::abs(picture[p + 2] - bare[p + 2]) > 30)
        ++changed;
    EXPECT_GT(changed, 200) << "the clump under the camera shows";
  }
}
