// A headless stage for the fly/swim mode's tests: a flat planet (ground at
// radius 510, so the default sea of radius 540 is 30 deep), a fixed window,
// a camera aimed by hand, a hand-driven clock and a seeded generator. Nothing
// here needs a display: rays and window points come from the camera's
// stored matrices.
#pragma once

#include <gtest/gtest.h>

#include <cmath>

#include "app/GameClock.h"
#include "camera/Camera.h"
#include "camera/CameraView.h"
#include "math/Math.h"
#include "modes/dev/flyswim/FlySwimGeometry.h"
#include "modes/dev/flyswim/FlySwimUnits.h"
#include "modes/dev/flyswim/cTovansGameMode.h"
#include "platform/Sys.h"
#include "tests/support/FreshCamera.h"
#include "tests/support/TestSupport.h"
#include "tests/world/planet/PlanetTestSupport.h"
#include "world/scene/SceneManager.h"

constexpr float kGroundRadius = 510.0f;
constexpr int kWindowWidth = 800, kWindowHeight = 600;

class cFixedWindowHost : public cICameraHost {
 public:
  void GetWindowSize(int& width, int& height) override {
    width = kWindowWidth;
    height = kWindowHeight;
  }
};

class FlySwimStage : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCameraHost(&mHost);
    ResetGameClockForTest();
    StartGameClock();
    Sys_SeedRandom(1234);
    ResetState(nFlySwim::kFish);
    SetPerspective();
  }
  void TearDown() override {
    ResetState(nFlySwim::kFish);
  }

  // Empties the mode's lists and sets the mode value without switching (no camera script);
  // the spinners go back to their starting values.
  static void ResetState(int mode) {
    nFlySwim::RemoveUnits(-1);
    nFlySwim::RemoveAllPerches();
    nFlySwim::sState& s = nFlySwim::State();
    s.mode = mode;
    s.creatureSpeed = 0.0f;  // the panel's starting values: a speed factor of 0.2, a shell of 540
    s.seaLevel = 0.5f;
    s.selectionState = nFlySwim::kIdle;
    s.leftButtonDown = s.rightButtonDown = s.leftJustPressed = s.doubleClick = s.lastTargetOnPerch = false;
    s.lastPressTime = s.lastReleaseTime = 0;
    s.rtsStickySelection = 0;
    s.holdMouseToSwim = 0;
    s.dynamicHoldMouseToSwim = 1;
    s.useCandidatePick = 1;
    s.perchPickEnabled = s.perchesWanted = 0;
  }

  // gluPerspective(40, width / height, 0.1, 10000), as the frame sets it.
  static void SetPerspective() {
    const float f = 1.0f / std::tan(20.0f * 3.14159265f / 180.0f), n = 0.1f, r = 10000.0f;
    float m[16] = {};
    m[0] = f * kWindowHeight / kWindowWidth;
    m[5] = f;
    m[10] = (r + n) / (n - r);
    m[11] = -1.0f;
    m[14] = 2.0f * r * n / (n - r);
    SetCameraViewMatrix(m);
  }

  // Orbits `anchor` at `distance`, pitched down by `pitch` degrees, in the surface frame facing +z.
  static void AimCamera(const Ru::Math::Vector3& anchor, float pitch, float distance) {
    Ru::Math::Quaternion q;
    cPlanetModel::MakeSurfaceOrientation(q, anchor, Ru::Math::Vector3{0.0f, 0.0f, 1.0f});
    SetCameraAnchorFrame(&anchor.x, &q.x);
    SetCameraAngles(0.0f, pitch, distance);
    SetCameraTargetAngles(0.0f, pitch, distance);
  }

  // The window point of a world point under the present camera.
  static void CursorOn(const Ru::Math::Vector3& p) {
    float x = 0.0f, y = 0.0f;
    ASSERT_TRUE(CameraProjectToWindow(p, x, y));
    nFlySwim::State().mouseX = (int)std::lround(x);
    nFlySwim::State().mouseY = (int)std::lround(y);
  }

  cScopedPlanetHeights mPlanet{MakeHeightMap([](const Ru::Math::Vector3&) { return 10.0f; }, 64)};
  cFreshCamera mCamera;  // also takes the host back
  cFixedWindowHost mHost;
  cFakeClock mClock{5000};
};
