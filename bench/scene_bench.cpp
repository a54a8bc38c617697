// Scene benchmarks, each beside its reference in the same run (they need a
// display: run under xvfb-run; without one they are skipped):
//  - one PickAtScreenPoint among 2,000 objects and the terrain, against a
//    plain loop over the same objects and the same terrain ray;
//  - drawing 3,000 objects of one shape through the scene, against the same
//    GL calls issued bare. Both finish the frame (glFinish).
#include <GL/freeglut.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "glf/GLExtensions.h"
#include "math/Quaternion.h"
#include "math/Vector.h"
#include "platform/Sys.h"
#include "tests/support/CameraPicture.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SolidShapes.h"

using namespace Ru::Math;

namespace {
constexpr int kSize = 512;

bool HaveWindow() {
  static const bool ok = [] {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return false;
    int argc = 1;
    char name[] = "scene_bench";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA | GLUT_DEPTH);
    glutInitWindowSize(kSize, kSize);
    glutCreateWindow("QuorvelGL");
    LoadGLEntryPoints(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)));
    return true;
  }();
  return ok;
}

// The generated planet, seen from 150 units above a point, looking at the centre.
Vector3 SetUpView() {
  static const Vector3 ground = [] {
    std::string error;
    GetPlanetModel().LoadTerrain("./Data/Terrain/terrain.bin", error);
    GetPlanetModel().SetTerrainPickable(true);
    Vector3 g;
    GetPlanetModel().ProjectToSurface(g, Vector3Normalized(Vector3{0.3f, 0.8f, 0.5f}));
    return g;
  }();
  const Vector3 eye = Vector3Scale(ground, 1.3f);
  const float eyeAt[3] = {eye.x, eye.y, eye.z}, up[3] = {0, 0, 1};
  LookAtCentreFrom(kSize, eyeAt, up);
  return ground;
}

// n cubes standing on the ground within `spread` units of the point.
struct cField {
  cSceneShapeCube cube;
  std::vector<std::unique_ptr<cSceneObject>> objects;
  cField(const Vector3& centre, int n, float spread) {
    Sys_SeedRandom(11);
    GetSceneManager().Clear();
    for (int i = 0; i < n; ++i) {
      const float x = (Sys_Random() / 32767.0f * 2.0f - 1.0f) * spread;
      const float y = (Sys_Random() / 32767.0f * 2.0f - 1.0f) * spread;
      const float z = (Sys_Random() / 32767.0f * 2.0f - 1.0f) * spread;
      Vector3 p;
      GetPlanetModel().ProjectToSurfaceAtHeight(p, Vector3Add(centre, Vector3{x, y, z}), 1.0f);
      objects.push_back(std::make_unique<cSceneObject>(nullptr, &cube));
      objects.back()->SetPosition(p);
      GetSceneManager().AddObject(objects.back().get());
    }
  }
  ~cField() { GetSceneManager().Clear(); }
};

void BM_PickAtScreenPoint_2000Objects(benchmark::State& state) {
  if (!HaveWindow()) return state.SkipWithError("needs a display");
  cField field(SetUpView(), 2000, 120.0f);
  int hits = 0;
  for (auto _ : state) {
    cScenePickResult result;
    GetSceneManager().PickAtScreenPoint(result, kSize / 2, kSize / 2, nullptr);
    hits += result.object != nullptr || result.terrain;
  }
  state.counters["hit"] = hits > 0;
}
BENCHMARK(BM_PickAtScreenPoint_2000Objects)->Unit(benchmark::kMicrosecond);

// Reference: the ray, every object's own ray test and the terrain, nothing else.
void BM_PickBruteForceLoop_2000Objects(benchmark::State& state) {
  if (!HaveWindow()) return state.SkipWithError("needs a display");
  cField field(SetUpView(), 2000, 120.0f);
  int hits = 0;
  for (auto _ : state) {
    const Ray ray = cSceneManager::ScreenPointToRay(kSize / 2, kSize / 2);
    cSceneObject* best = nullptr;
    float bestDistance = 1e21f;
    for (auto& object : field.objects) {
      Vector3 hit;
      if (!object->IntersectRay(ray, hit)) continue;
      const float d = Vector3LengthSquared(Vector3Sub(hit, ray.origin));
      if (d < bestDistance) bestDistance = d, best = object.get();
    }
    Vector3 ground;
    GetPlanetModel().IntersectRay(ground, ray);
    hits += best != nullptr || Vector3LengthSquared(ground) > 0.0f;
  }
  state.counters["hit"] = hits > 0;
}
BENCHMARK(BM_PickBruteForceLoop_2000Objects)->Unit(benchmark::kMicrosecond);

void BM_DrawScene_3000Cubes(benchmark::State& state) {
  if (!HaveWindow()) return state.SkipWithError("needs a display");
  cField field(SetUpView(), 3000, 150.0f);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHT0);
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    GetSceneManager().Render();
    glFinish();
  }
}
BENCHMARK(BM_DrawScene_3000Cubes)->Unit(benchmark::kMillisecond);

// Reference: the same arrays, matrices, colours and draw calls, issued bare.
void BM_DrawBare_3000Cubes(benchmark::State& state) {
  if (!HaveWindow()) return state.SkipWithError("needs a display");
  cField field(SetUpView(), 3000, 150.0f);
  std::vector<Matrix4> matrices;
  for (auto& object : field.objects) matrices.push_back(object->GetWorldMatrix());
  const auto& vertices = field.cube.GetVertices();
  const auto& normals = field.cube.GetNormals();
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHT0);
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_LIGHTING);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, vertices.data());
    glNormalPointer(GL_FLOAT, 0, normals.data());
    nGLExt::glLockArraysEXT(0, static_cast<GLsizei>(vertices.size()));
    for (const Matrix4& m : matrices) {
      glPushMatrix();
      glMultMatrixf(m.m);
      glColor3f(1.0f, 0.0f, 0.0f);
      glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(vertices.size()));
      glPopMatrix();
    }
    nGLExt::glUnlockArraysEXT();
    glBegin(GL_LINES);  // the scene's (empty) particle batch
    glEnd();
    glFinish();
  }
}
BENCHMARK(BM_DrawBare_3000Cubes)->Unit(benchmark::kMillisecond);

}  // namespace
