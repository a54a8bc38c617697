#include "modes/dev/flocktest/cFlockTestMode.h"

#include <GL/gl.h>

#include "app/AppGlobals.h"
#include "camera/Camera.h"
#include "camera/CameraControl.h"
#include "math/Math.h"
#include "modes/dev/flocktest/HerdFormation.h"
#include "modes/dev/flocktest/HerdLayout.h"
#include "platform/Sys.h"
#include "platform/glui/glui.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"
#include "world/scene/SolidShapes.h"

using namespace Ru::Math;

namespace {

constexpr float kUniformScale = 3.051851e-5f;  // 1 / 32767
constexpr float kSmallMemberChance = 0.2f;

// Selection order of the weights: "Big Jump", "Huddle", "Line Formation", "Scatter".
enum { kBigJump = 0, kHuddle, kLine, kScatter };

struct cFlockTestState {
  cSceneShapePyramid* markerShape = nullptr;
  cSceneShapePyramid* largeMemberShape = nullptr;
  cSceneShapePyramid* smallMemberShape = nullptr;
  cSceneObject* marker = nullptr;
  std::vector<cSceneObject*> herd;  // creation order; owned
  Vector3 lastAnchor{0.0f, 0.0f, 0.0f};
  tHerdFormationSelectOperator select;
  tHerdFormationOperatorRandom bigJump{15.0f, 20.0f};
  tHerdFormationOperatorHuddle huddle{4.0f, 8.0f};
  tHerdFormationOperatorLine line{4.0f, 6.0f};
  tHerdFormationOperatorRandom scatter{3.0f, 7.0f};
  tHerdFormationAggregateModOperator lineThenScatter{&line, &scatter, 0.2f};  // kept for trials; no weight selects it
  bool formationsReady = false;
  GLUI* panel = nullptr;
  // The fields start here, though the selection's own weights stay 1/6/6/1
  // until the first edit.
  cFlockTestMode::sWeightFields weights{3, 1, 1, 6};
};

cFlockTestState& State() {
  static cFlockTestState* state = new cFlockTestState();  // lives for the run: scene objects may outlast the modes
  return *state;
}

cSceneShapePyramid* MakePyramidShape(float scale) {
  auto* shape = new cSceneShapePyramid();
  shape->SetScale(Vector3{scale, scale, scale});
  return shape;
}

void AddWeightField(GLUI* panel, const char* name, int* weight) {
  panel->add_edittext(name, GLUI_EDITTEXT_INT, weight, 0, cFlockTestMode::OnWeightFieldsChanged);
}

}  // namespace

void cFlockTestMode::Init() {
  tDataModeShell::Init();
  cFlockTestState& state = State();
  if (!state.marker) {
    state.markerShape = MakePyramidShape(4.0f);
    state.largeMemberShape = MakePyramidShape(4.0f);
    state.smallMemberShape = MakePyramidShape(2.0f);
    state.marker = new cSceneObject(nullptr, state.markerShape);
    state.marker->SetColour(Vector3{1.0f, 0.0f, 0.0f});
    state.marker->SetOrientation(QuatIdentity());
  }
  if (!state.formationsReady) {
    state.formationsReady = true;
    state.select.AddOperator(1, &state.bigJump);
    state.select.AddOperator(6, &state.huddle);
    state.select.AddOperator(6, &state.line);
    state.select.AddOperator(1, &state.scatter);
  }
}

void cFlockTestMode::Enter() {
  tDataModeShell::Enter();
  cFlockTestState& state = State();
  if (state.marker) GetSceneManager().AddObject(state.marker);
  SetCameraScriptFile(".\\Data\\Scripts\\civ_camera.txt");
  SetCameraAngles(0.0f, 0.0f, 750.0f);  // current angles: the camera glides to the script's targets
  if (!state.panel) {
    state.panel = GLUI_Master.create_glui("Pel's Game Mode Control Panel", 0, -1, -1);
    state.panel->set_main_gfx_window(gMainWindow);
    AddWeightField(state.panel, "Line Formation", &state.weights.line);
    AddWeightField(state.panel, "Big Jump", &state.weights.bigJump);
    AddWeightField(state.panel, "Scatter", &state.weights.scatter);
    AddWeightField(state.panel, "Huddle", &state.weights.huddle);
  } else {
    state.panel->show();
  }
  gPlanetGridFlag = 1;
}

void cFlockTestMode::Leave() {
  tDataModeShell::Leave();
  // The herd stays in the scene; the panel goes with the mode, or it would
  // cover the next mode's panels (the sniff test enters and leaves this mode).
  if (State().marker) GetSceneManager().RemoveObject(State().marker);
  if (State().panel) State().panel->hide();
  gPlanetGridFlag = 0;
}

void cFlockTestMode::OnRender() {
  glEnable(GL_LIGHTING);
  GetPlanetModel().Draw();
  GetSceneManager().Render();
}

void cFlockTestMode::OnMouseMove(int x, int y) {
  cSceneObject* marker = State().marker;
  if (!marker) return;
  Vector3 hit;
  GetPlanetModel().IntersectRay(hit, cSceneManager::ScreenPointToRay(x, y));
  if (!(Vector3Length(hit) > 0.0f)) return;  // a miss leaves the marker where it was
  Quaternion upright;
  cPlanetModel::AlignOrientationToSurface(upright, hit, marker->GetOrientation());
  marker->SetPosition(hit);
  marker->SetOrientation(upright);
}

void cFlockTestMode::OnLeftButtonDown(int x, int y) {
  tDataModeShell::OnLeftButtonDown(x, y);
  RebuildHerd();
}

void cFlockTestMode::OnRightButtonDown(int x, int y) {
  tDataModeShell::OnRightButtonDown(x, y);
  MoveCameraToScreenPoint(x, y);
}

void cFlockTestMode::OnKeyPress(unsigned char key, int x, int y) {
  tDataModeShell::OnKeyPress(key, x, y);
  if (key == ' ') RebuildHerd();
}

void cFlockTestMode::RebuildHerd() {
  cFlockTestState& state = State();
  if (!state.marker) return;
  cSceneManager& scene = GetSceneManager();
  while (!state.herd.empty()) {
    cSceneObject* member = state.herd.back();
    scene.RemoveObject(member);
    delete member;
    state.herd.pop_back();
  }
  for (int i = 0; i < kHerdSize; ++i) {
    const bool small = (float)Sys_Random() * kUniformScale < kSmallMemberChance;
    auto* member = new cSceneObject(nullptr, small ? state.smallMemberShape : state.largeMemberShape);
    state.herd.push_back(member);
    scene.AddObject(member);
  }
  state.lastAnchor = state.marker->GetPosition();
  LayOutHerd(state.herd, state.lastAnchor, state.select);
}

void cFlockTestMode::OnWeightFieldsChanged(int) {
  cFlockTestState& state = State();
  sWeightFields& w = state.weights;
  // A negative weight would let a draw reach no formation; the panel shows the clamped value.
  for (int* weight : {&w.line, &w.bigJump, &w.scatter, &w.huddle})
    if (*weight < 0) *weight = 0;
  state.select.SetWeight(kBigJump, w.bigJump);
  state.select.SetWeight(kHuddle, w.huddle);
  state.select.SetWeight(kLine, w.line);
  state.select.SetWeight(kScatter, w.scatter);
  if (!state.herd.empty()) LayOutHerd(state.herd, state.lastAnchor, state.select);
}

cFlockTestMode::sWeightFields& cFlockTestMode::GetWeightFields() { return State().weights; }
const std::vector<cSceneObject*>& cFlockTestMode::GetHerd() { return State().herd; }
cSceneObject* cFlockTestMode::GetMarker() { return State().marker; }
const Vector3& cFlockTestMode::GetLastAnchor() { return State().lastAnchor; }
tHerdFormationSelectOperator& cFlockTestMode::GetFormation() { return State().select; }
GLUI* cFlockTestMode::GetPanel() { return State().panel; }
