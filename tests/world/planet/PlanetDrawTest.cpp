// The real planet drawn in a test window: it fills the expected disc, shows
// water and land colours, and the wireframe setting draws it as lines.
#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "camera/Camera.h"
#include "tests/support/CameraPicture.h"
#include "tests/support/GLTestWindow.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WholePlanetView.h"
#include "glf/GLExtensions.h"
#include "world/planet/PlanetModel.h"


namespace {

constexpr int kWidth = 320, kHeight = 240;

struct cPixelCounts {
  int covered = 0, water = 0, land = 0;
};

void SetUpWindowOnce() { ASSERT_TRUE(OpenGLTestWindow(kWidth, kHeight)); }

cPixelCounts RenderAndCount() {
  LoadCameraProjection(kWidth, kHeight, 10.0);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_NORMALIZE);
  glEnable(GL_COLOR_MATERIAL);
  glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  const float light[4] = {0.3f, 0.5f, 1.0f, 0.0f};  // from over the viewer's shoulder
  glLightfv(GL_LIGHT0, GL_POSITION, light);
  GetPlanetModel().Draw();
  const std::vector<unsigned char> pixels = ReadBackBuffer(kWidth, kHeight);
  // QV_PLANET_SHOT=file.ppm keeps the picture for a look by eye.
  static bool shotTaken = false;
  if (const char* shot = std::getenv("QV_PLANET_SHOT"); shot && !shotTaken) {
    shotTaken = true;
    if (FILE* f = std::fopen(shot, "wb")) {
      std::fprintf(f, "P6\n%d %d\n255\n", kWidth, kHeight);
      for (int y = kHeight - 1; y >= 0; --y) std::fwrite(&pixels[y * kWidth * 3], 1, kWidth * 3, f);
      std::fclose(f);
    }
  }
  cPixelCounts counts;
  for (int i = 0; i < kWidth * kHeight; ++i) {
    const int r = pixels[i * 3], g = pixels[i * 3 + 1], b = pixels[i * 3 + 2];
    if (r + g + b < 12) continue;
    ++counts.covered;
    if (b > r + 20 && b > g) ++counts.water;
    if (g > b + 10 && g >= r) ++counts.land;
  }
  return counts;
}

}  // namespace

TEST(PlanetDraw, LitPlanetFillsItsDiscWithWaterAndLand) {
  [[maybe_unused]] cIgnoreDriverAllocations driver;
  SetUpWindowOnce();
  LoadGLEntryPoints(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)));  // either way the drawing must work
  cCapturedOutput captured;
  GetPlanetModel().Initialize();
  const std::string out = captured.End();
  EXPECT_EQ(out.rfind("Building Terrain", 0), 0u);
  EXPECT_TRUE(GetPlanetModel().IsTerrainPickable());
  ViewWholePlanet();

  const cPixelCounts counts = RenderAndCount();
  const double share = static_cast<double>(counts.covered) / (kWidth * kHeight);
  // A planet of radius about 505 seen from 1800 with a 40-degree view fills a
  // disc of about 38 % of this window.
  EXPECT_GT(share, 0.30) << counts.covered;
  EXPECT_LT(share, 0.46) << counts.covered;
  EXPECT_GT(counts.water, counts.covered / 5) << "water " << counts.water;
  EXPECT_GT(counts.land, counts.covered / 10) << "land " << counts.land;
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  int32_t wireframe = 1;
  nKoPlanet::SetWireframeFlag(&wireframe);
  const cPixelCounts lines = RenderAndCount();
  nKoPlanet::SetWireframeFlag(nullptr);
  EXPECT_GT(lines.covered, 100);
  EXPECT_LT(lines.covered, counts.covered * 9 / 10);  // lines leave gaps
  GLint mode[2];
  glGetIntegerv(GL_POLYGON_MODE, mode);
  EXPECT_EQ(mode[0], GL_FILL);  // filled again afterwards
}
