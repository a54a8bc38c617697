// The seeded plants of the real planet drawn in a test window: near a clump
// they stand on land and show in the picture, and the scene lists exactly the
// plants of the patches shown around the camera as it moves.
#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "camera/Camera.h"
#include "glf/GLExtensions.h"
#include "tests/support/GLTestWindow.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

namespace {
constexpr int kWidth = 320, kHeight = 240;

std::vector<unsigned char> Render(bool withScene) {
  glViewport(0, 0, kWidth, kHeight);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(40.0, static_cast<double>(kWidth) / kHeight, 1.0, 10000.0);
  float projection[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  SetCameraViewMatrix(projection);
  UpdateCameraFrame();
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHT0);
  glEnable(GL_NORMALIZE);
  glEnable(GL_COLOR_MATERIAL);
  glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
  float view[16];
  ApplyCameraView(view);
  const float* anchor = GetCameraAnchor();
  const float light[4] = {anchor[0], anchor[1], anchor[2], 0.0f};
  glLightfv(GL_LIGHT0, GL_POSITION, light);
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
  testing::internal::CaptureStdout();
  GetPlanetModel().Initialize();
  testing::internal::GetCapturedStdout();
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
    // QV_PLANT_SHOT=file.ppm keeps the close-up for a look by eye.
    if (const char* shot = std::getenv("QV_PLANT_SHOT"))
      if (FILE* f = std::fopen(shot, "wb")) {
        std::fprintf(f, "P6\n%d %d\n255\n", kWidth, kHeight);
        for (int y = kHeight - 1; y >= 0; --y) std::fwrite(&picture[y * kWidth * 3], 1, kWidth * 3, f);
        std::fclose(f);
      }
    const std::vector<unsigned char> bare = Render(false);
    int changed = 0;
    for (size_t p = 0; p < picture.size(); p += 3)
      if (std::abs(picture[p] - bare[p]) + std::abs(picture[p + 1] - bare[p + 1]) + std::abs(picture[p + 2] - bare[p + 2]) > 30)
        ++changed;
    EXPECT_GT(changed, 200) << "the clump under the camera shows";
  }
}
