#include "modes/dev/stresstest/StressCrowd.h"

#include "camera/Camera.h"
#include "camera/CameraControl.h"
#include "math/Math.h"
#include "platform/Sys.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SolidShapes.h"

using namespace Ru::Math;

namespace {

struct cWalkerGroup {
  Vector3 colour;
  Vector3 signs;  // which octant the group starts on
};

float Uniform() { return static_cast<float>(Sys_Random()) * 3.051851e-5f; }

}  // namespace

std::vector<cStressWalker>& GetStressWalkers() {
  static std::vector<cStressWalker>* walkers = new std::vector<cStressWalker>();
  return *walkers;
}

cSceneShapePyramid& GetStressPyramidShape() {
  static cSceneShapePyramid* shape = [] {
    auto* pyramid = new cSceneShapePyramid();
    pyramid->SetScale(Vector3{20.0f, 20.0f, 20.0f});
    pyramid->SetDrawnInOneBatch(true);  // 3,000 of them move every frame
    return pyramid;
  }();
  return *shape;
}

int& GetStressAutoCameraFlag() {
  static int autoCamera = 1;
  return autoCamera;
}

void StartStressVisit() {
  SetCameraScriptFile(".\\Data\\Scripts\\pels_camera.txt");
  SetCameraAngles(0.0f, 0.0f, 750.0f);
  CreateStressWalkers();
}

void CreateStressWalkers() {
  static const cWalkerGroup groups[] = {
      {{1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f}},
      {{0.0f, 0.0f, 1.0f}, {1.0f, -1.0f, 1.0f}},
      {{1.0f, 0.0f, 0.0f}, {-1.0f, 1.0f, 1.0f}},
  };
  std::vector<cStressWalker>& walkers = GetStressWalkers();
  cSceneShapePyramid& shape = GetStressPyramidShape();
  walkers.reserve(walkers.size() + 3 * kStressWalkersPerGroup);
  for (const cWalkerGroup& group : groups) {
    for (int i = 0; i < kStressWalkersPerGroup; ++i) {
      cStressWalker walker;
      walker.object = std::make_unique<cSceneObject>(nullptr, &shape);
      walker.object->SetColour(group.colour);
      const float x = Uniform() * group.signs.x;  // one draw per axis, in order
      const float y = Uniform() * group.signs.y;
      const float z = Uniform() * group.signs.z;
      walker.target = SnapToStressSurface(Vector3Normalized(Vector3{x, y, z}));
      walker.object->SetPosition(walker.target);
      Quaternion orientation;
      cPlanetModel::MakeSurfaceOrientation(orientation, walker.target, Vector3{1.0f, 0.0f, 0.0f});
      walker.object->SetOrientation(orientation);
      GetSceneManager().AddObject(walker.object.get());
      walkers.push_back(std::move(walker));
    }
  }
}

void DeleteStressWalkers() {
  std::vector<cStressWalker>& walkers = GetStressWalkers();
  for (cStressWalker& walker : walkers) GetSceneManager().RemoveObject(walker.object.get());
  walkers.clear();
}

void StepStressWalkers() {
  for (cStressWalker& walker : GetStressWalkers()) walker.Step();
}

void TurnStressWalkers() {
  for (cStressWalker& walker : GetStressWalkers()) walker.PickNewTarget();
}

void StepStressAutoCamera() {
  const float* p = GetCameraPosition();
  const float* q = GetCameraOrientation();
  const Quaternion frame{q[0], q[1], q[2], q[3]};
  const Matrix3 axes = QuatToMatrix3(frame);
  const Vector3 ahead{p[0] + 2.5f * axes.At(2, 0), p[1] + 2.5f * axes.At(2, 1), p[2] + 2.5f * axes.At(2, 2)};
  const Vector3 ground = SnapToStressSurface(ahead);
  Quaternion aligned;
  cPlanetModel::AlignOrientationToSurface(aligned, ground, frame);
  SetCameraPositionOrientation(&ground.x, &aligned.x);
  float yaw, pitch, distance;
  GetCameraAngles(&yaw, &pitch, &distance);
  SetCameraAngles(yaw + 0.25f, pitch, distance);
}
