#include "modes/dev/flyswim/cTovansGameMode.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "app/AppGlobals.h"
#include "app/GameClock.h"
#include "camera/Camera.h"
#include "camera/CameraControl.h"
#include "glf/Overlay2D.h"
#include "input/MouseDevice.h"
#include "math/Math.h"
#include "modes/dev/flyswim/FlySwimDraw.h"
#include "modes/dev/flyswim/FlySwimGeometry.h"
#include "modes/dev/flyswim/FlySwimUnits.h"
#include "modes/dev/flyswim/cFlySwimSaucer.h"
#include "platform/glui/glui.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;
using namespace nFlySwim;

namespace {
const Vector3 kWhite{1.0f, 1.0f, 1.0f}, kRed{1.0f, 0.0f, 0.0f}, kBlue{0.0f, 0.0f, 1.0f},
    kGrey{0.95f, 0.95f, 0.95f};
constexpr float kFogStart = 20.0f, kFogEnd = 100.0f;  // under the sea

Vector3 CameraAnchor() {
  const float* a = GetCameraAnchor();
  return Vector3{a[0], a[1], a[2]};
}

// The GL state the mode changes, as it was when the mode was entered: leaving
// puts it back, so the next mode draws as it did before the visit.
struct sSavedGLState {
  GLboolean lineSmooth = GL_FALSE, blend = GL_FALSE, fog = GL_FALSE;
  GLint blendSource = GL_ONE, blendDestination = GL_ZERO;
  GLfloat clearColour[4] = {0.0f, 0.0f, 0.0f, 0.0f};
} gSavedGL;

void SaveGLState() {
  gSavedGL.lineSmooth = glIsEnabled(GL_LINE_SMOOTH);
  gSavedGL.blend = glIsEnabled(GL_BLEND);
  gSavedGL.fog = glIsEnabled(GL_FOG);
  glGetIntegerv(GL_BLEND_SRC, &gSavedGL.blendSource);
  glGetIntegerv(GL_BLEND_DST, &gSavedGL.blendDestination);
  glGetFloatv(GL_COLOR_CLEAR_VALUE, gSavedGL.clearColour);
}

void SetEnabled(GLenum capability, GLboolean on) {
  if (on) glEnable(capability);
  else glDisable(capability);
}

void RestoreGLState() {
  SetEnabled(GL_LINE_SMOOTH, gSavedGL.lineSmooth);
  SetEnabled(GL_BLEND, gSavedGL.blend);
  SetEnabled(GL_FOG, gSavedGL.fog);
  glBlendFunc((GLenum)gSavedGL.blendSource, (GLenum)gSavedGL.blendDestination);
  const GLfloat* c = gSavedGL.clearColour;
  glClearColor(c[0], c[1], c[2], c[3]);
}

void KeepBaseOrientation() {
  const float* q = GetCameraBaseOrientation();
  State().referenceOrientation = Quaternion{q[0], q[1], q[2], q[3]};
}
}  // namespace

cTovansGameMode::cTovansGameMode() : tDataModeShell("Tovans") {}

cTovansGameMode::~cTovansGameMode() {
  RemoveUnits(-1);
  RemoveAllPerches();
}

// ---- entering, leaving, switching experiments ----

void cTovansGameMode::Enter() {
  tDataModeShell::Enter();
  SaveGLState();
  glEnable(GL_LINE_SMOOTH);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  ChooseCamera();
  if (!State().panel) CreatePanel();
  else State().panel->show();
  OnModeChanged(State().mode);
  if (State().perchesWanted) AddPerches(50);
}

void cTovansGameMode::CreatePanel() {
  sState& s = State();
  glutInitWindowPosition(gPanelX, gPanelY);
  s.panel = GLUI_Master.create_glui("Fly/Swim UI", 0, -1, -1);
  s.panel->set_main_gfx_window(gMainWindow);
  GLUI_RadioGroup* group = s.panel->add_radiogroup(&s.mode, -1, OnModeChanged);
  s.panel->add_radiobutton_to_group(group, "UFO", kUfo);
  s.panel->add_radiobutton_to_group(group, "Fish", kFish);
  s.panel->add_radiobutton_to_group(group, "Bird", kBird);
  s.panel->add_radiobutton_to_group(group, "Fish Tribe", kFishTribe);
  s.panel->add_radiobutton_to_group(group, "Bird Tribe", kBirdTribe);
  group->set_int_val(s.mode);
  s.panel->add_separator();
  s.panel->add_spinner("Creature Speed", GLUI_SPINNER_FLOAT, &s.creatureSpeed)
      ->set_float_limits(kMinCreatureSpeed, kMaxCreatureSpeed, GLUI_LIMIT_CLAMP);
  s.panel->add_spinner("Sea Level", GLUI_SPINNER_FLOAT, &s.seaLevel, -1, OnSeaLevelChanged)
      ->set_float_limits(kMinSeaLevel, kMaxSeaLevel, GLUI_LIMIT_CLAMP);
  s.panel->add_separator();
  s.panel->add_checkbox("Hold Mouse to Swim (Creature)", &s.holdMouseToSwim);
  s.panel->add_checkbox("Dynamic Hold Mouse To Swim", &s.dynamicHoldMouseToSwim);
  s.panel->add_separator();
  s.panel->add_checkbox("RTS Sticky Selection", &s.rtsStickySelection);
}

void cTovansGameMode::ChooseCamera() {
  const int mode = State().mode;
  if (mode & kSingle) {
    SetCameraScriptFile(".\\Data\\Scripts\\creature_camera.txt");
    SetCameraEdgeScroll(!(mode & kSwims));
  } else if (mode == kUfo) {
    SetCameraScriptFile(".\\Data\\Scripts\\space_camera.txt");
    SetCameraEdgeScroll(true);
  } else if (mode & kGroup) {
    SetCameraScriptFile(".\\Data\\Scripts\\tribe_camera.txt");
    SetCameraEdgeScroll(true);
  } else {
    SetCameraEdgeScroll(true);
  }
  float distance = 30.0f * ((mode & kGroup) ? 4.0f : 1.0f);
  if (mode == kUfo) distance *= 16.0f;
  else if (mode == kFish) distance = 3.0f;
  SetCameraAngles(0.0f, 0.0f, distance);
  UpdateCamera(0, 0, 1, 0.0f);
  // The script's own zoom (its default distance, the wheel step just run, its
  // limits) would set the target the camera glides to: the experiment's
  // distance stands after it.
  SetCameraDistance(distance);
}

void cTovansGameMode::OnModeChanged(int) {
  sState& s = State();
  s.perchPickEnabled = s.perchesWanted = s.mode & kSwims;
  if ((s.mode & kSwims) && s.perches.empty()) AddPerches(50);
  else if (!s.perches.empty()) RemoveAllPerches();
  ReseatAllPerches();
  SetUnitCount();
  ReseatUnits();
  ChooseCamera();
  StartFollowCamera();
  if (s.mode == kUfo && !s.saucer) s.saucer = CreateSaucer();
  if (s.mode != kUfo) {
    delete s.saucer;
    s.saucer = nullptr;
  }
  if (s.mode & kSwims) {
    if (!s.school) CreateSchool();
    if (!s.lightRays) {
      s.lightRays = new sLightRay[kLightRayCount];
      ResetLightRays(s.lightRays);
    }
    if (!s.specks && !s.units.empty()) CreateSpecks(CameraAnchor());
  } else {
    delete[] s.school;
    s.school = nullptr;
    delete[] s.lightRays;
    s.lightRays = nullptr;
    delete[] s.specks;
    s.specks = nullptr;
  }
}

void cTovansGameMode::OnSeaLevelChanged(int) { ReseatAllPerches(); }

void cTovansGameMode::Leave() {
  tDataModeShell::Leave();
  if (State().panel) State().panel->hide();
  RemoveUnits(-1);
  RemoveAllPerches();
  RestoreGLState();  // line smoothing, blending, fog and the clear colour as they were
}

// ---- the frame ----

void cTovansGameMode::Update(unsigned int ms) {
  tDataModeShell::Update(ms);
  sState& s = State();
  const float dt = (float)ms * 0.001f;
  RecyclePerches(false);
  if (s.saucer) StepSaucer(*s.saucer, gMouseDevice.GetWheel());  // the wheel never reaches the button calls
  if (s.school) StepSchool();
  if (s.lightRays) UpdateLightRays(s.lightRays);
  if (s.specks) StepSpecks(CameraAnchor());
  SeparateUnits();
  for (sUnit* unit : s.units) UpdateUnitPhysics(*unit);
  if (!(s.mode & kGroup)) {
    if (s.saucer) SteerSaucerCamera(*s.saucer);
    else UpdateFollowCamera(dt);
  } else if (s.rightButtonDown) {
    int dx = 0, dy = 0, wheel = 0;
    gMouseDevice.GetAccumulatedMovement(dx, dy, wheel);
    SetCameraMouseMove(dx, dy);
  }
  // Held more than 0.35 s: the release came after the press, by more than that
  // (each taken as the time since, so the clock's wrap between them is no matter).
  const uint32_t now = GetGameTime(), sincePress = now - s.lastPressTime, sinceRelease = now - s.lastReleaseTime;
  const bool holdStops = s.holdMouseToSwim || (s.dynamicHoldMouseToSwim && sinceRelease < sincePress &&
                                                sincePress - sinceRelease > 350);
  if (holdStops && !(s.mode & kGroup) && (s.mode & kSwims) && !s.units.empty() && !s.units.front()->targetLock &&
      !s.leftButtonDown)
    SyncUnitPosition(*s.units.front());
  if (s.rightButtonDown) {
    int dx = 0, dy = 0, wheel = 0;
    gMouseDevice.GetMovement(dx, dy, wheel);
    UpdateCamera(dx, dy, wheel, dt);
  }
  if (s.leftButtonDown) SelectAndTarget();
  s.leftJustPressed = false;
}

void cTovansGameMode::SelectAndTarget() {
  sState& s = State();
  const bool group = s.mode & kGroup;
  if (s.saucer) {
    Vector3 point;
    if (PickSaucerTarget(*s.saucer, point)) {
      SetSaucerTarget(*s.saucer, point);
      CommitCameraYaw();
      KeepBaseOrientation();
    }
    return;
  }
  if (s.selectionState == kSelectingMultiple) {
    SelectUnitsInCircle(s.mouseX, s.mouseY, SelectionCircleRadius(), true);
    return;
  }
  if (group && s.selectionState == kIdle && CountSelectedUnits() == 0) {
    s.selectionState = kSelecting;
    return;
  }
  if (s.selectionState == kSelecting) {
    if (group) {
      const float dx = (float)s.mouseX - s.pressX, dy = (float)s.mouseY - s.pressY;
      if (std::sqrt(dx * dx + dy * dy) > 8.0f) s.selectionState = kSelectingMultiple;
    }
    return;
  }
  if (s.selectionState != kTargeting && group) return;
  s.selectionState = kTargeting;
  if (s.lastTargetOnPerch) return;
  for (sUnit* unit : s.units) {
    if (s.units.size() > 1 && !unit->selected) continue;
    Vector3 point, aim;
    bool onPerch = false;
    if (Pick(*unit, point, aim, onPerch, s.leftJustPressed)) {
      unit->speedMultiplier = s.doubleClick ? 3.0f : 1.0f;
      unit->target = point;
      unit->targetLock = onPerch || s.doubleClick;
      AddUnitFlapImpulse(*unit);
    }
    s.lastTargetOnPerch = onPerch;
  }
}

// ---- input ----

void cTovansGameMode::OnMouseMove(int x, int y) {
  State().mouseX = x;
  State().mouseY = y;
}

void cTovansGameMode::OnLeftButtonDown(int x, int y) {
  tDataModeShell::OnLeftButtonDown(x, y);
  sState& s = State();
  s.pressX = (float)x;
  s.pressY = (float)y;
  s.mouseX = x;
  s.mouseY = y;
  s.leftButtonDown = s.leftJustPressed = true;
  const uint32_t now = GetGameTime();
  s.doubleClick = now - s.lastPressTime < 500;
  s.lastPressTime = now;
  if (s.mode & kGroup) {
    sUnit* under = UnitUnderCursor(x, y, false);
    if (!under && s.selectionState == kIdle) {
      s.selectionState = kSelectingMultiple;
    } else {
      if (!under && CountSelectedUnits() > 0) under = UnitUnderCursor(x, y, true);
      if (under) {
        const bool wasSelected = under->selected;
        if (s.selectionState == kTargeting) SetAllSelected(false);
        if (!wasSelected) under->selected = true;
        s.selectionState = under->selected ? kSelecting : kDeselecting;
      }
    }
  }
  CommitCameraYaw();
  KeepBaseOrientation();
}

void cTovansGameMode::OnLeftButtonUp(int x, int y) {
  tDataModeShell::OnLeftButtonUp(x, y);
  sState& s = State();
  s.mouseX = x;
  s.mouseY = y;
  s.leftButtonDown = false;
  s.lastTargetOnPerch = false;
  s.lastReleaseTime = GetGameTime();
  if (s.selectionState == kTargeting && s.rtsStickySelection) {
    s.selectionState = CountSelectedUnits() > 0 ? kTargeting : kIdle;
    return;
  }
  if (s.selectionState == kTargeting) {
    SetAllSelected(false);
    s.selectionState = kIdle;
    return;
  }
  const bool gathering = s.selectionState == kSelecting || s.selectionState == kSelectingMultiple;
  s.selectionState = gathering && CountSelectedUnits() > 0 ? kTargeting : kIdle;
}

void cTovansGameMode::OnRightButtonDown(int x, int y) {
  tDataModeShell::OnRightButtonDown(x, y);
  sState& s = State();
  s.mouseX = x;
  s.mouseY = y;
  s.rightButtonDown = true;
  if (!(s.mode & kGroup) && s.mode != kUfo) return;
  gMouseDevice.ClearAccumulatedMovement();
  if ((s.mode & kGroup) && (s.mode & kSwims)) MoveCameraToScreenPointEx(x, y, 4.0f);
  else MoveCameraToScreenPoint(x, y);
  if (s.saucer) {
    // The right button calls the saucer to the camera: under the eye of the
    // camera as just moved over the clicked ground (the left button sends it
    // where the cursor points). The eye of the view still on screen would
    // give the top-down camera back the ground it already looks at, and its
    // follow would undo the move on the next step.
    Vector3 eye;
    GetCameraEyeAndDirection(eye, nullptr);
    SetSaucerTarget(*s.saucer, eye);
    CommitCameraYaw();
    KeepBaseOrientation();
  }
}

void cTovansGameMode::OnRightButtonUp(int x, int y) {
  tDataModeShell::OnRightButtonUp(x, y);
  State().mouseX = x;
  State().mouseY = y;
  State().rightButtonDown = false;
}

void cTovansGameMode::OnKeyPress(unsigned char key, int x, int y) {
  tDataModeShell::OnKeyPress(key, x, y);
  sState& s = State();
  if (key == ' ') {
    if (!s.units.empty()) {
      const Vector3 p = GetUnitPosition(*s.units.front());
      float position[3], q[4];
      GetCameraPositionOrientation(position, q);
      SetCameraPositionOrientation(&p.x, q);
    }
  } else if (key == 'o') {
    s.useCandidatePick = 0;
  } else if (key == '3') {
    s.useCandidatePick = 1;
  } else {
    s.showDebugText = !s.showDebugText;
  }
}

// ---- drawing ----

void cTovansGameMode::OnRender() {
  sState& s = State();
  const float radius = WaterShellRadius();
  const bool underWater = Vector3Length(GetViewEyePosition()) < radius;
  if (underWater) {
    const Vector3 c = Vector3Lerp(kBlue, kWhite, 0.5f);
    glClearColor(c.x, c.y, c.z, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const float fogColour[4] = {c.x, c.y, c.z, 1.0f};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, kFogStart);
    glFogf(GL_FOG_END, kFogEnd);
    glFogfv(GL_FOG_COLOR, fogColour);
    glEnable(GL_FOG);
  } else {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glDisable(GL_FOG);
  }
  glEnable(GL_LIGHTING);
  GetPlanetModel().Draw();
  GetSceneManager().Render();
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  for (sUnit* unit : s.units) DrawUnitDebug(*unit);

  if (s.saucer) {
    DrawSaucerTargetMarker(*s.saucer);
  } else {
    s.debugText.clear();
    s.collectDebugText = true;
    bool hit = false;
    Vector3 point, aim;
    if (!s.units.empty()) {
      bool onPerch = false;
      hit = Pick(*s.units.front(), point, aim, onPerch, !s.leftButtonDown);
    }
    s.collectDebugText = false;
    bool marker = true;
    if ((s.mode & kGroup) || s.leftButtonDown) {
      if (s.selectionState == kSelectingMultiple) {
        const float outer = std::min((float)CountSelectedUnits() * 1.5f, 48.0f);
        SetColour(kWhite, 0.5f);
        DrawScreenMarker2D((float)s.mouseX, (float)s.mouseY, outer + 17.0f, 5.0f);
        SetColour(Vector3Lerp(kBlue, kWhite, 0.8f), 1.0f);
        DrawScreenMarker2D((float)s.mouseX, (float)s.mouseY, outer + 16.0f, 3.0f);
        marker = false;
      } else if (s.selectionState != kTargeting || CountSelectedUnits() == 0) {
        marker = false;
      }
    }
    if (marker && hit && s.mode != kFish) {
      SetColour(Vector3Lerp(kRed, kWhite, 0.5f), 0.9f);
      DrawSphereMarker(point, 0.4f);
    }
  }

  if (s.saucer) DrawSaucer(*s.saucer);
  if (s.school) {
    cCullingOff cullingOff;
    glDisable(GL_LIGHTING);
    DrawSchool(s.school, kSchoolSize);
  }
  if (s.specks) DrawSpecks(s.specks);
  if (s.lightRays) DrawLightRays(s.lightRays);

  {
    cCullingOff cullingOff;
    glDisable(GL_LIGHTING);  // the sea is one flat translucent colour
    SetColour(Vector3Lerp(kBlue, kGrey, 0.5f), 0.6f);
    glPushMatrix();
    DrawWaterSphere(radius, underWater ? kFogEnd : 0.0f);
    glPopMatrix();
  }

  if (s.showDebugText) {
    Begin2D();
    SetColour2D(1.0f, 1.0f, 1.0f, 1.0f);
    if (!s.debugText.empty()) DrawText2D(10, 10, GLUT_BITMAP_8_BY_13, s.debugText.c_str());
    DrawText2D(10, 32, GLUT_BITMAP_8_BY_13, SelectionStateName(s.selectionState));
    End2D();
  }
}
