// Helpers for the stress-mode tests: the global planet made a smooth sphere
// of radius 510 for a test (or the generated terrain), an empty scene, a fixed seed.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "math/Math.h"
#include "modes/dev/stresstest/StressCrowd.h"
#include "platform/Sys.h"
#include "tests/world/planet/PlanetTestSupport.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"

class cStressWorldTest : public ::testing::Test {
 public:
  static constexpr float kGround = 510.0f;

 protected:
  void SetUp() override {
    GetPlanetModel().SetHeightMap(MakeHeightMap([](const Ru::Math::Vector3&) { return kGround - 500.0f; }, 32));
    GetSceneManager().Clear();
    Sys_SeedRandom(39);
  }
  void TearDown() override {
    DeleteStressWalkers();
    GetSceneManager().Clear();
    GetPlanetModel().SetHeightMap(nullptr);
  }
  static void UseGeneratedTerrain() {
    std::string error;
    ASSERT_TRUE(GetPlanetModel().LoadTerrain("./Data/Terrain/terrain.bin", error)) << error;
  }
};

inline Ru::Math::Vector3 AxisOf(const Ru::Math::Quaternion& q, int row) {
  const Ru::Math::Matrix3 m = Ru::Math::QuatToMatrix3(q);
  return Ru::Math::Vector3{m.At(row, 0), m.At(row, 1), m.At(row, 2)};
}
inline float DegreesBetween(const Ru::Math::Vector3& a, const Ru::Math::Vector3& b) {
  using namespace Ru::Math;
  const float c = Vector3Dot(a, b) / (Vector3Length(a) * Vector3Length(b));
  return RadToDeg(std::acos(std::fmax(-1.0f, std::fmin(1.0f, c))));
}
