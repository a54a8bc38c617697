// Helpers for the scene tests: a recording shape, a counting owner, the debug
// window's text, and one shared GL window for the tests that draw.
#pragma once

#include <GL/freeglut.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "glf/DebugWindow.h"
#include "tests/support/GLTestWindow.h"
#include "tests/support/TestSupport.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneShape.h"

// Records the calls the scene makes; its ray test hits wherever it is told.
class cRecordingShape : public tShapeClass<cRecordingShape, cISceneShape> {
 public:
  explicit cRecordingShape(std::vector<std::string>* log = nullptr, const char* tag = "shape") : mLog(log), mTag(tag) {}
  void Draw(cSceneObject*) override { Note("Draw"); }
  Ru::Math::Vector3 GetScale() override { return scale; }
  void SetScale(const Ru::Math::Vector3& s) override { scale = s; }
  float GetBoundingRadius() override { return radius; }
  void BeginDraw() override { Note("BeginDraw"); }
  void EndDraw() override { Note("EndDraw"); }
  bool IntersectRay(const Ru::Math::Ray& ray, Ru::Math::Vector3& hit) override {
    lastRay = ray;
    hit = hitPoint;
    return hits;
  }
  const char* GetTypeName() override { return mTag; }

  Ru::Math::Vector3 scale{1.0f, 1.0f, 1.0f};
  float radius = 1.0f;
  bool hits = true;
  Ru::Math::Vector3 hitPoint;
  Ru::Math::Ray lastRay;

 private:
  void Note(const char* what) {
    if (mLog) mLog->push_back(std::string(mTag) + "." + what);
  }
  std::vector<std::string>* mLog;
  const char* mTag;
};

struct cOwner : Ko::cGameData {
  static inline int sDestroyed = 0;
  uint32_t typeId = 0x2A;
  ~cOwner() override { ++sDestroyed; }
  Ko::cIGameData* Create() override { return new cOwner; }
  uint32_t GetTypeId() override { return typeId; }
};

// The debug window's lines without their thread prefix, fresh for each test.
class cDebugText {
 public:
  cDebugText() {
    DestroyDebugWindowForTest();
    CreateDebugWindow();
    GetDebugWindow()->SetMirrorToStdout(false);
  }
  ~cDebugText() { DestroyDebugWindowForTest(); }
  std::vector<std::string> Lines() const {
    std::vector<std::string> out;
    for (const std::string& line : GetDebugWindow()->Lines()) out.push_back(line.substr(10));
    return out;
  }
};

// One window for every drawing test of the executable.
inline void EnsureSceneWindow(int width, int height) { ASSERT_TRUE(OpenGLTestWindow(width, height)); }

// A 24-bit bottom-up BMP of the given rows (top row first, RGB).
inline std::string Bmp(int width, int height, const std::vector<uint8_t>& rgbTopFirst) {
  const int stride = (width * 3 + 3) & ~3;
  const uint32_t size = 54 + stride * height;
  std::string b(size, '\0');
  auto put32 = [&](int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
  };
  b[0] = 'B', b[1] = 'M';
  put32(2, size), put32(10, 54), put32(14, 40), put32(18, width), put32(22, height);
  b[26] = 1, b[28] = 24;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < 3; ++c)  // stored bottom row first, BGR
        b[54 + (height - 1 - y) * stride + x * 3 + c] = static_cast<char>(rgbTopFirst[(y * width + x) * 3 + 2 - c]);
  return b;
}

// Where a world point shows in the window with the current GL matrices (GL window coordinates, y up).
inline void ProjectToWindow(const Ru::Math::Vector3& p, double& wx, double& wy) {
  GLdouble model[16], projection[16], wz;
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  gluProject(p.x, p.y, p.z, model, projection, viewport, &wx, &wy, &wz);
}

// The scene starts and ends each test empty.
struct cEmptyScene {
  cEmptyScene() { GetSceneManager().Clear(); }
  ~cEmptyScene() { GetSceneManager().Clear(); }
};
