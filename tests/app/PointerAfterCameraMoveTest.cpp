#include <gtest/gtest.h>

#include "app/AppGlobals.h"
#include "camera/Camera.h"
#include "math/Vector.h"
#include "modes/city/CityWorld.h"
#include "modes/city/cursors/CityCursorController.h"
#include "modes/civ/CivInputController.h"
#include "modes/civ/cCivGameMode.h"
#include "modes/tribe/TribeInputController.h"
#include "modes/tribe/cTribeGameMode.h"
#include "tests/support/GLTestWindow.h"
#include "tests/support/StartedProgram.h"

using namespace Ru::Math;

namespace {
// Any glide to its end, the camera then put exactly where it glided to.
void Settle(cStartedProgram& program) {
  for (int i = 0; i < 200; ++i) program.Frame(16);
  const cCameraState& camera = GetCameraState();
  SetCameraAngles(camera.targetYaw, camera.targetPitch, camera.targetDistance);
  SetCameraAnchorFrame(camera.targetAnchor, camera.targetFrame);
  for (int i = 0; i < 3; ++i) program.Frame(16);
}
void LookAQuarterRoundThePlanet() {
  const Vector3 anchor{GetCameraAnchor()[0], GetCameraAnchor()[1], GetCameraAnchor()[2]};
  Vector3 side = Vector3Cross(anchor, Vector3{0.0f, 1.0f, 0.0f});
  if (Vector3Length(side) < 1e-3f * Vector3Length(anchor)) side = Vector3Cross(anchor, Vector3{1.0f, 0.0f, 0.0f});
  const Vector3 away = Vector3Scale(Vector3Normalized(side), Vector3Length(anchor));
  CenterCameraOn(&away.x);
}
}  // namespace

// Fault mended: a hover text stayed on what a camera move turned away from
// under the resting pointer, and what it brought there got none.
TEST(PointerAfterCameraMove, HoverFollowsWhatTheCameraBringsUnderTheRestingPointer) {
  const struct {
    const char* option;
    const void* (*hovered)();
  } rows[] = {
      {"-tribemode", [] { return (const void*)gTribeGameMode->GetInputController()->GetHoveredPlant(); }},
      {"-citymode", [] { return (const void*)GetCityCursorController().GetHoverObject(); }},
      {"-civmode", [] { return (const void*)gCivGameMode->GetInput()->GetHoveredCity(); }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.option);
    RunIsolated([&] {
      [[maybe_unused]] cIgnoreDriverAllocations driver;
      cStartedProgram program({"-noautopause", row.option});
      Settle(program);
      int width = 0, height = 0;  // the pointer rests on one well inside the window
      GetFrameWindowSize(width, height);
      const void* object = nullptr;
      for (int y = 100; y < height - 100 && !object; y += 8)
        for (int x = 100; x < width - 100 && !object; x += 8) {
          OnPassiveMotion(x, y);
          object = row.hovered();
        }
      ASSERT_NE(object, nullptr) << "nothing to hover in view";
      float position[3], orientation[4];
      GetCameraPositionOrientation(position, orientation);
      LookAQuarterRoundThePlanet();
      Settle(program);
      EXPECT_NE(row.hovered(), object) << "taken away from under the pointer";
      SetCameraPositionOrientation(position, orientation);
      Settle(program);
      EXPECT_EQ(row.hovered(), object) << "brought back under the pointer";
    });
  }
}
