#include "camera/CameraControl.h"

#include <cmath>

#include "camera/Camera.h"
#include "math/Math.h"
#include "platform/Sys.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"

using namespace Ru::Math;

namespace {

// A script that divides by zero must not carry inf or NaN into the camera,
// the GL matrices and the save files: such an output keeps the old value.
void TakeOutput(const char* name, float& value) {
  const float output = GetCameraProgram().GetVariable(name);
  if (std::isfinite(output)) value = output;
}

// The inputs every run gets (the reload and the per-frame update alike).
void SetStateInputs(const cCameraState& s, float direction) {
  cRovurozovizProgram& program = GetCameraProgram();
  program.SetVariable("default_distance", s.targetDistance);
  program.SetVariable("max_pitch", s.maxPitch);
  program.SetVariable("min_pitch", s.minPitch);
  program.SetVariable("direction", direction);
  program.SetVariable("distance", s.targetDistance);
  program.SetVariable("pitch", s.targetPitch);
  program.SetVariable("yaw", s.targetYaw);
  program.SetVariable("edge_distance_x", s.edgeDistance[0]);
  program.SetVariable("edge_distance_y", s.edgeDistance[1]);
  program.SetVariable("avatar_speed", s.avatarSpeed);
  program.SetVariable("anchor_delta_x", 0.0f);
  program.SetVariable("anchor_delta_y", 0.0f);
}

// Moves the target anchor by the script's scroll speeds, sideways and
// forwards in the camera's turned frame, and keeps it on the ground.
void ScrollTargetAnchor(cCameraState& s, float deltaX, float deltaY, float dtSeconds) {
  const Quaternion base{s.baseOrientation[0], s.baseOrientation[1], s.baseOrientation[2], s.baseOrientation[3]};
  const Quaternion yaw = QuatFromAngleAxis(Vector3{0.0f, 1.0f, 0.0f}, DegToRad(-s.currentYaw));
  const Vector3 step = Vector3Scale(QuatRotateVector(QuatMultiply(base, yaw), Vector3{deltaX, 0.0f, -deltaY}),
                                    dtSeconds * 50.0f);
  if (!IsValidVector3(step)) return;
  cPlanetModel& planet = GetPlanetModel();
  Vector3 target{s.targetAnchor[0] - step.x, s.targetAnchor[1] - step.y, s.targetAnchor[2] - step.z};
  planet.ProjectToSurface(target, target);
  Quaternion frame{s.targetFrame[0], s.targetFrame[1], s.targetFrame[2], s.targetFrame[3]};
  cPlanetModel::AlignOrientationToSurface(frame, target, frame);
  SetCameraPositionOrientation(&target.x, &frame.x);
}

}  // namespace

cRovurozovizProgram& GetCameraProgram() {
  static cRovurozovizProgram* program = new cRovurozovizProgram;  // lives until exit, used by exit-time code too
  return *program;
}

void UpdateCamera(int mouseDx, int mouseDy, int wheelDirection, float dtSeconds) {
  cCameraState& s = GetCameraState();
  cICameraHost& host = GetCameraHost();
  cRovurozovizProgram& program = GetCameraProgram();
  s.targetYaw += (float)mouseDx;  // pixels taken as degrees
  s.targetPitch += (float)mouseDy;

  int width = 1, height = 1;
  host.GetWindowSize(width, height);
  SetStateInputs(s, (float)wheelDirection);
  program.SetVariable("mouse_move_x", (float)s.mouseMoveX / (float)width);
  program.SetVariable("mouse_move_y", -(float)s.mouseMoveY / (float)height);
  if (host.IsCreatureModeCurrent()) program.SetVariable("in_combat", host.IsAvatarInCombat() ? 1.0f : 0.0f);
  program.Run();

  if (wheelDirection != 0) {
    TakeOutput("distance", s.targetDistance);
    TakeOutput("pitch", s.targetPitch);
  }
  TakeOutput("max_pitch", s.maxPitch);
  TakeOutput("min_pitch", s.minPitch);
  s.targetPitch = std::fmax(std::fmin(s.targetPitch, s.maxPitch), s.minPitch);

  if (s.edgeScroll) {
    TakeOutput("yaw", s.targetYaw);
    const float deltaX = program.GetVariable("anchor_delta_x"), deltaY = program.GetVariable("anchor_delta_y");
    if (std::isfinite(deltaX) && std::isfinite(deltaY) && (deltaX != 0.0f || deltaY != 0.0f))
      ScrollTargetAnchor(s, deltaX, deltaY, dtSeconds);
  }
  s.mouseMoveX = s.mouseMoveY = 0;
  if (wheelDirection != 0 && host.IsCivTestCameraOn()) CameraFocusOnPoint(s.anchor);
}

void ReloadCameraScript() {
  cCameraState& s = GetCameraState();
  cRovurozovizProgram& program = GetCameraProgram();
  s.minPitch = 0.0f;
  s.maxPitch = 90.0f;
  // A file that cannot be read keeps the script in force; one that is there
  // but is no regular file (a folder, a pipe, a device) is reported.
  if (!program.Load(s.scriptFile.c_str()) && Sys_PathExists(s.scriptFile) && !Sys_IsRegularFile(s.scriptFile))
    Sys_MessageBox("Rovurozoviz Error", "Cannot read camera script " + s.scriptFile, SysBox::Ok);
  SetStateInputs(s, 0.0f);
  program.Run();
  TakeOutput("default_distance", s.targetDistance);
  program.SetVariable("distance", s.targetDistance);
  program.Run();
  TakeOutput("pitch", s.targetPitch);
}

void SetCameraScriptFile(const char* file) {
  GetCameraState().scriptFile = file ? file : "";
  ReloadCameraScript();
}

void SetCameraEdgeScroll(bool enabled) { GetCameraState().edgeScroll = enabled ? 1 : 0; }

void SetCameraEdgeDistance(float x, float y) {
  GetCameraState().edgeDistance[0] = x;
  GetCameraState().edgeDistance[1] = y;
}

void CameraFocusOnPoint(float x, float y, float z) {
  float longitude = 0.0f, latitude = 0.0f;
  PointToLongitudeLatitude(x, y, z, longitude, latitude);
  const float limit = GetCameraHost().CivLatitudeLimit(GetCameraState().targetDistance);
  latitude = ClampFloat(latitude, -limit, limit);
  const Vector3 direction = Vector3Normalized(LongitudeLatitudeToDirection(longitude, latitude));
  if (!IsValidVector3(direction)) return;
  const Vector3 point = Vector3Scale(direction, GetPlanetModel().GetSurfaceRadius(direction));
  Quaternion frame;
  cPlanetModel::MakeSurfaceOrientation(frame, point, Vector3{0.0f, -1.0f, 0.0f});
  SetCameraPositionOrientation(&point.x, &frame.x);
}

void MoveCameraToScreenPointEx(int x, int y, float height) {
  const Ray r = cSceneManager::ScreenPointToRay(x, y);
  Vector3 hit;
  GetPlanetModel().IntersectRayAtHeight(hit, r, height);
  if (!(Vector3LengthSquared(hit) > 1.0f)) return;  // missed the planet
  const float* base = GetCameraBaseOrientation();
  Quaternion frame;
  cPlanetModel::AlignOrientationToSurface(frame, hit, Quaternion{base[0], base[1], base[2], base[3]});
  SetCameraPositionOrientation(&hit.x, &frame.x);
}

void MoveCameraToScreenPoint(int x, int y) { MoveCameraToScreenPointEx(x, y, 0.0f); }
