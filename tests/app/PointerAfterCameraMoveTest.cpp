#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "app/AppGlobals.h"
#include "app/GameMode.h"
#include "camera/Camera.h"
#include "math/Scalar.h"
#include "math/Vector.h"
#include "modes/ModeShell.h"
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

// The angle nearest `degrees` that the camera's glide, at its target, leaves
// as it is: its trip to radians and back moves most by a last digit, itself a move.
float RestingAngle(float degrees) {
  for (int i = 0; i < 8 && RadToDeg(DegToRad(degrees)) != degrees; ++i) degrees = RadToDeg(DegToRad(degrees));
  EXPECT_EQ(RadToDeg(DegToRad(degrees)), degrees) << "an angle at rest";
  return degrees;
}

// While it lives only the rows place the game's pointer: X's own crossings and
// moves (the window narrowed away from the server's pointer) are not heard.
struct cPointerOnlyFromTheRows {
  cPointerOnlyFromTheRows() { Hook(nullptr, nullptr, nullptr, nullptr); }
  ~cPointerOnlyFromTheRows() { Hook(OnMotion, OnPassiveMotion, OnMouse, OnMainWindowEntry); }
  static void Hook(void (*motion)(int, int), void (*passive)(int, int), void (*mouse)(int, int, int, int),
                   void (*entry)(int)) {
    glutSetWindow(gMainWindow);
    glutMotionFunc(motion);
    glutPassiveMotionFunc(passive);
    glutMouseFunc(mouse);
    glutEntryFunc(entry);
  }
};

// A mode that only counts the pointer moves it hears.
struct cPointerCountingMode : tModeShell<cGameMode> {
  cPointerCountingMode() : tModeShell<cGameMode>("Counting") {}
  void OnMouseMove(int, int) override { ++moves; }
  int moves = 0;
};
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
      cPrivateTestDisplay display;  // no other test's window covers the game's and stops its drawing
      ASSERT_TRUE(display.Started());
      [[maybe_unused]] cIgnoreDriverAllocations driver;
      cStartedProgram program({"-noautopause", row.option});
      cPointerOnlyFromTheRows pointer;
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

// One camera move, whichever part of the view it changes (a step back moves
// only the view's offset, a narrower window only the projection), re-sends
// the resting pointer once; the unchanged frame after it sends nothing.
TEST(PointerAfterCameraMove, OneMoveResendsThePointerOnceAndTheUnchangedFrameAfterItNot) {
  const struct {
    const char* move;
    float yaw, pitch, distance;
    bool narrower;  // the window made narrower: only the projection changes
  } rows[] = {{"a turn", 30.0f, 0.0f, 0.0f, false},
              {"a tilt", 0.0f, -5.0f, 0.0f, false},
              {"a step back", 0.0f, 0.0f, 10.0f, false},
              {"a narrower window", 0.0f, 0.0f, 0.0f, true}};
  RunIsolated([&] {
    cPrivateTestDisplay display;  // no other test's window covers the game's and holds its new size back
    ASSERT_TRUE(display.Started());
    [[maybe_unused]] cIgnoreDriverAllocations driver;
    cStartedProgram program({"-noautopause", "-tribemode"});
    cPointerOnlyFromTheRows pointer;
    Settle(program);
    int width = 0, height = 0;
    GetFrameWindowSize(width, height);
    OnPassiveMotion(width / 2, height / 2);
    cIGameMode* const playing = gCurrentGameMode;
    cPointerCountingMode counting;
    gCurrentGameMode = &counting;
    for (const auto& row : rows) {
      SCOPED_TRACE(row.move);
      // Moved at once to where it aims and rests: no glide follows.
      float yaw = 0.0f, pitch = 0.0f, distance = 0.0f;
      GetCameraAngles(&yaw, &pitch, &distance);
      SetCameraTargetAngles(RestingAngle(yaw + row.yaw), RestingAngle(pitch + row.pitch), distance + row.distance);
      GetCameraTargetAngles(&yaw, &pitch, &distance);
      SetCameraAngles(yaw, pitch, distance);
      counting.moves = 0;
      if (row.narrower) {  // drawn at the new size, the next frame has a new projection
        glutSetWindow(gMainWindow);
        glutReshapeWindow(width * 3 / 4, height);
        int nowWidth = width, nowHeight = height;
        for (int frame = 0; frame < 6000 && nowWidth == width; ++frame) {
          glutMainLoopEvent();
          GetFrameWindowSize(nowWidth, nowHeight);
          if (nowWidth == width) program.Frame(16);
        }
        ASSERT_EQ(nowWidth, width * 3 / 4) << "the window did not take its new width";
        OnPassiveMotion(nowWidth / 2, nowHeight / 2);  // the X pointer, wherever it is, may have left it
        counting.moves = 0;
      }
      program.Frame(16);
      EXPECT_EQ(counting.moves, 1);
      program.Frame(16);
      EXPECT_EQ(counting.moves, 1) << "the frame after the move changed nothing";
    }
    gCurrentGameMode = playing;
  });
}
