#include "modes/civ/CivHud.h"

#include <GL/freeglut.h>

#include <cmath>
#include <cstdio>

#include "app/AppGlobals.h"
#include "camera/Camera.h"
#include "camera/CameraControl.h"
#include "glf/Overlay2D.h"
#include "glf/TextPlacement.h"
#include "math/Geometry.h"
#include "math/Math.h"
#include "modes/civ/CivAccess.h"
#include "modes/civ/CivBuilding.h"
#include "modes/civ/CivCity.h"
#include "glf/DebugWindow.h"
#include "modes/civ/CivDebugFlags.h"
#include "modes/civ/CivEventNotice.h"
#include "modes/civ/CivHudMarkers.h"
#include "modes/civ/CivHudView.h"
#include "modes/civ/CivInfluence.h"
#include "modes/civ/CivMap.h"
#include "modes/civ/CivPlayers.h"
#include "modes/civ/CivRecords.h"
#include "modes/civ/CivRoad.h"
#include "modes/civ/CivTuning.h"
#include "modes/civ/CivVehicle.h"
#include "modes/civ/CivWorld.h"
#include "modes/civ/cCivGameMode.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"
#include "world/scene/SolidShapes.h"

using namespace Ru::Math;

namespace {
constexpr float kPi = 3.14159265358979f;
const char* const kWealth = "Wealth:";
const char* const kBuildings = "Revenue From Buildings:";
const char* const kEmbassies = "Revenue From Embassies:";
const char* const kTrade = "Revenue From Trade:";
const char* const kHappiness = "Revenue From Happiness:";
const char* const kDistribution = "Income Distribution:";

// Latitude rings and meridians, pushed a little off the ground so they stay in view.
struct sGridLines {
  std::vector<Vector3> rings[16];
  std::vector<Vector3> meridians[18];
  bool built = false;
};
sGridLines& GridLines() {
  static sGridLines* lines = new sGridLines();
  return *lines;
}
void BuildGridLines() {
  sGridLines& lines = GridLines();
  if (lines.built) return;
  lines.built = true;
  auto lift = [](std::vector<Vector3> points) {
    for (Vector3& p : points) p = Vector3Scale(Vector3Normalized(p), Vector3Length(p) * 1.1f);
    return points;
  };
  cPlanetModel& planet = GetPlanetModel();
  for (int i = 0; i < 5; ++i) lines.rings[i] = lift(planet.GetLatitudeRing((30.0f + 30.0f * i) * kPi / 180.0f, 5.0f));
  for (int i = 0; i < 6; ++i) lines.meridians[i] = lift(planet.GetMeridianRing(30.0f * i * kPi / 180.0f, 5.0f));
}

std::vector<int> EmbassyOwners(const cCivModeDecoratedCity* city) {
  std::vector<int> owners;
  for (cCivModeDecoratedBuilding* building : city->GetBuildings())
    if (auto* embassy = building->AsEmbassy()) owners.push_back(embassy->GetEmbassyOwner());
  return owners;
}

// The trade bonus of a city's routes: more where the far city holds the owner's embassy.
float TradeFactor(const cCivModeDecoratedCity* city) {
  const cCivTuningWealth& wealth = *cCivTuning::GetWealthGeneration();
  float factor = 0.0f;
  for (cCivModeRoad* road : city->GetRoads())
    if (road->GetKind() == kCivTradeRoute && road->GetEnd())
      factor += road->GetEnd()->FindEmbassy(city->GetOwner()) ? wealth.WealthIncreaseTradeRouteAndEmbassy
                                                               : wealth.WealthIncreaseTradeRouteNoEmbassy;
  return factor;
}

float Hundredths(float v) { return std::round(v * 100.0f) * 0.01f; }

Vector3 Above(const Vector3& point, float height) {
  return Vector3Scale(Vector3Normalized(point), Vector3Length(point) + height);
}
}  // namespace

cCivHud::~cCivHud() {
  delete mMap;
  if (mInfluenceMarker) {
    if (mInfluenceMarkerShown) GetSceneManager().RemoveObject(mInfluenceMarker);
    delete mInfluenceMarker;
    GetSceneManager().ForgetShape(mInfluenceShape);
    delete mInfluenceShape;
  }
}

void cCivHud::Enter(cCivModeDecoratedCity* city) {
  SetCameraScriptFile(gUseCivTestCamera ? ".\\Data\\Scripts\\civ_camera_experiment.txt" : ".\\Data\\Scripts\\civ_camera.txt");
  if (!CivHudMarkersExist()) {
    CreateCivHudMarkers();
    BuildGridLines();
  }
  ShowCivPoleMarkers(gCivShowPoleMarkers != 0);
  if (city) {
    Vector3 position = city->GetPosition();
    if (gUseCivTestCamera) {
      CameraFocusOnPoint(position.x, position.y, position.z);
    } else if (city->GetRecord()) {
      Quaternion orientation = city->GetRecord()->GetOrientation();
      SetCameraAnchorFrame(&position.x, &orientation.x);
    }
  }
  for (const char* label : {kWealth, kBuildings, kEmbassies, kTrade, kHappiness}) {
    AddBar(label, kGLFBarStyleNumber, 0.0f, 2);
    SetValue(label, 0.0f);
  }
  AddBar(kDistribution, kGLFBarStyleSegmented, 1.0f, 2);
  SetValue(kDistribution, 1.0f);
  delete mMap;
  mMap = new cCivMap();
  for (cCivModeDecoratedCity* c : GetCivCities()) mMap->AddMarker(c->GetPosition(), c->GetOwner());
}

void cCivHud::Update(uint32_t /*dtMs*/) {
  if (cCivWorld* world = GetCivWorld()) world->UpdateIncomeDistribution();
  if (!mMap || !gCivShowMap) return;
  mMap->ClearMarkers();
  for (cCivModeDecoratedCity* c : GetCivCities()) mMap->AddMarker(c->GetPosition(), c->GetOwner());
  const float* anchor = GetCameraAnchor();
  mMap->AddMarker(Vector3{anchor[0], anchor[1], anchor[2]}, -2);
}

void cCivHud::Leave() {
  if (CivHudMarkersExist()) RemoveLabelMarkers();
  ShowCivPoleMarkers(false);
  UpdateInfluenceMarker(false);
  delete mMap;
  mMap = nullptr;
}

sCivIncomeRows cCivHud::ComputeIncomeRows(int human) {
  sCivIncomeRows rows;
  const float embassyBonus = cCivTuning::GetWealthGeneration()->EmbassyWealthIncrease;
  for (cCivModeDecoratedCity* c : GetCivCities()) {
    const std::vector<int> embassies = EmbassyOwners(c);
    const float base = c->GetBaseWealthRate();
    const float emb = (float)embassies.size() * embassyBonus;
    if (c->GetOwner() != human) {
      for (int owner : embassies)
        if (owner == human) rows.embassies += emb * base;
      continue;
    }
    const float hap = c->GetMood()->GetRevenueBonus();
    rows.wealth += c->GetMoney();
    rows.buildings += base;
    rows.embassies += emb * base;
    rows.happiness += hap * base;
    rows.trade += (emb * base + hap * base + base) * TradeFactor(c);
  }
  return rows;
}

void cCivHud::RefreshIncomePanel() {
  const int human = GetCivHumanPlayer();
  if (human < 0) return;
  const sCivIncomeRows rows = ComputeIncomeRows(human);
  SetValue(kBuildings, Hundredths(rows.buildings));
  SetValue(kTrade, Hundredths(rows.trade));
  SetValue(kHappiness, Hundredths(rows.happiness));
  SetValue(kEmbassies, Hundredths(rows.embassies));
  SetValue(kWealth, std::floor(rows.wealth));
  // The shares are fractions of the world's income already, one for every
  // player (0 for one earning nothing); a world earning nothing has no shares
  // to show, and its bar stays empty.
  std::vector<cGLFBarSegment> segments;
  if (cCivWorld* world = GetCivWorld()) {
    float total = 0.0f;
    for (const cCivWorld::sIncomeShare& share : world->GetIncomeDistribution()) total += share.value;
    if (total > 0.0f)
      for (const cCivWorld::sIncomeShare& share : world->GetIncomeDistribution())
        segments.push_back({share.value, share.colour.x, share.colour.y, share.colour.z});
  }
  SetSegments(kDistribution, segments);
}

void cCivHud::PrintIncomeDistribution() {
  DebugPrintf("income distributions");
  const std::vector<cGLFBarSegment>& segments = GetSegments(kDistribution);
  for (size_t i = 0; i < segments.size(); ++i) DebugPrintf("%zu %g", i, segments[i].fraction);
}

void cCivHud::Draw() {
  DrawLinesAndAxis();
  DrawHoverLabels();
  const sCivHudView& view = GetCivHudView();
  UpdateInfluenceMarker(gCivShowInfluence && view.hasGroundPoint);
  Begin2D();
  int width, height;
  GetWindowSize2D(&width, &height);
  if (gCivShowMap && mMap) {
    if (gCivShowInfluence)
      if (cCivInfluence* influence = GetCivInfluence()) mMap->RefreshInfluenceColumn(*influence);
    mMap->Draw(gCivShowInfluence != 0, height);
  }
  if (GetCivHumanPlayer() >= 0) {
    RefreshIncomePanel();
    cGLFBarPanel::Draw(kGLFHudPanelX, kGLFHudPanelY);
  }
  if (IsCivEventNoticeShown()) DrawEventNotice();
  End2D();
}

void cCivHud::DrawLinesAndAxis() {
  if (!GLFOverlayDrawsWithOpenGL()) return;  // a recorder stands in: no 3D to draw
  if (gCivShowPoleMarkers) {
    glDisable(GL_LIGHTING);
    glColor3f(1.0f, 1.0f, 1.0f);
    glLineWidth(4.0f);
    glBegin(GL_LINES);
    glVertex3f(0.0f, 600.0f, 0.0f);
    glVertex3f(0.0f, -600.0f, 0.0f);
    glEnd();
    glLineWidth(1.0f);
    glEnable(GL_LIGHTING);
  }
  auto loops = [](const std::vector<Vector3>* lists, int count) {
    glDisable(GL_LIGHTING);
    glColor3f(0.5f, 1.0f, 0.0f);
    for (int i = 0; i < count; ++i) {
      if (lists[i].empty()) continue;
      glBegin(GL_LINE_LOOP);
      for (const Vector3& p : lists[i]) glVertex3f(p.x, p.y, p.z);
      glEnd();
    }
    glEnable(GL_LIGHTING);
  };
  if (gCivShowLatitudeLines) loops(GridLines().rings, 16);
  if (gCivShowLongitudeLines) loops(GridLines().meridians, 18);
}

void cCivHud::DrawHoverLabels() {
  const sCivHudView& view = GetCivHudView();
  if (view.hoveredVehicle) {
    DrawVehicleLabel(view.hoveredVehicle, view.labelX, view.labelY);
  } else if (cCivModeDecoratedCity* city = view.hoveredCity) {
    if (city->IsNPC()) DrawDiplomaticLabel(city, view.labelX, view.labelY);
    else DrawCityWealthLabel(city, view.labelX, view.labelY);
  }
}

void cCivHud::DrawCityWealthLabel(cCivModeDecoratedCity* city, int x, int y) {
  char text[64];
  snprintf(text, sizeof text, "Wealth Available: %d", (int)std::floor(city->GetAvailableWealth()));
  Begin2D();
  SetColour2D(0.7f, 0.0f, 0.7f);
  DrawTextLines2D(x, y, GLUT_BITMAP_HELVETICA_18, {{0, 0, text}});
  End2D();
  PlaceMoodMarker(city->GetMood()->GetCategory(), Above(city->GetPosition(), 16.0f));
}

void cCivHud::DrawDiplomaticLabel(cCivModeDecoratedCity* city, int x, int y) {
  const int human = GetCivHumanPlayer();
  cCivPlayers* players = GetCivPlayers();
  if (!players) return;
  // The heart goes over the city and the face 64 pixels to its right, at the same depth.
  const Vector3 over = Above(city->GetPosition(), 50.0f);
  bool placed = false;
  Vector3 heartAt{0, 0, 0}, faceAt{0, 0, 0};
  if (GLFOverlayDrawsWithOpenGL() && Get2DNesting() == 0) {
    GLdouble model[16], projection[16], wx, wy, wz, fx, fy, fz;
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (gluProject(over.x, over.y, over.z, model, projection, viewport, &wx, &wy, &wz) &&
        gluUnProject(wx + 64.0, wy, wz, model, projection, viewport, &fx, &fy, &fz)) {
      heartAt = over;
      faceAt = Vector3{(float)fx, (float)fy, (float)fz};
      placed = true;
    }
  }
  cCivModeEmbassyBuilding* embassy = city->FindEmbassy(human);
  if (embassy && embassy->GetState() != kCivRemoved) {
    const std::vector<float>& pools = players->GetCivPools();
    const float pool = human >= 0 && human < (int)pools.size() ? pools[human] : 0.0f;
    char text[64];
    snprintf(text, sizeof text, "Diplomatic Wealth Available: %d", (int)std::floor(pool));
    Begin2D();
    SetColour2D(0.7f, 0.0f, 0.7f);
    DrawTextLines2D(x, y, GLUT_BITMAP_HELVETICA_18, {{0, 0, text}});
    End2D();
  }
  if (placed) {
    PlaceHeartMarker(CivHeartBand(players->GetRelationships()->Get(city->GetOwner(), human)), heartAt);
    PlaceMoodMarker(city->GetMood()->GetCategory(), faceAt);
  }
}

const char* cCivHud::VehicleLabelText(int kind) {
  switch (kind) {
    case kCivLandVehicle: return "Land Vehicle";
    case kCivAmphibiousVehicle: return "Amphibious Vehicle";
    case kCivAirVehicle: return "Air Vehicle";
    default: return " Vehicle";
  }
}

void cCivHud::DrawVehicleLabel(cCivModeVehicle* vehicle, int x, int y) {
  Begin2D();
  SetColour2D(0.0f, 0.0f, 0.0f);
  DrawTextLines2D(x, y, GLFDefaultFont(), {{0, 0, VehicleLabelText(vehicle->GetKind())}});
  End2D();
}

void cCivHud::DrawEventNotice() {
  int w, h;
  GetWindowSize2D(&w, &h);
  Begin2D();
  SetBlending2D(true);
  SetColour2D(1.0f, 1.0f, 1.0f, 0.6f);
  DrawFilledRect(w - 100, 100, w, 300);
  SetBlending2D(false);
  // The exclamation mark: a stroke narrowing from 50 to 20 pixels down to y 225, then the dot.
  SetColour2D(0.0f, 0.0f, 0.0f);
  for (int top = 125; top < 225; top += 5) {
    const int half = 25 - (top - 125) * 15 / 100;
    DrawFilledRect(w - 50 - half, top, w - 50 + half, top + 5);
  }
  DrawFilledRect(w - 60, 240, w - 40, 265);
  End2D();
}

void cCivHud::DrawCenteredNotice(const char* text) {
  int w, h;
  GetWindowSize2D(&w, &h);
  Begin2D();
  SetColour2D(0.0f, 1.0f, 0.0f);
  DrawText2D(w - 200, 100, GLFDefaultFont(), text);
  End2D();
}

void cCivHud::UpdateInfluenceMarker(bool show) {
  if (!mInfluenceMarker) {
    mInfluenceShape = new cSceneShapeCube();  // its own: the shape carries the scale
    mInfluenceMarker = new cSceneObject(nullptr, mInfluenceShape);
  }
  const sCivHudView& view = GetCivHudView();
  cCivInfluence* influence = GetCivInfluence();
  int owner = -1;
  Vector3 ground{0, 0, 0};
  if (show && view.hasGroundPoint && influence) {
    GetPlanetModel().ProjectToSurface(ground, view.groundPoint);
    owner = influence->GetDominantPlayer(ground);
  }
  if (owner >= 0) {
    const float strength = influence->GetValue(owner, ground);
    const float scale = std::fmin(std::pow(std::fmax(strength, 0.0f), 0.333333f) * 0.3f, 10.0f);
    mInfluenceMarker->SetColour(CivPlayerColour(owner));
    mInfluenceMarker->SetPosition(ground);
    Quaternion orientation;
    GetPlanetModel().MakeSurfaceOrientation(orientation, ground, Vector3{0.0f, 1.0f, 0.0f});
    mInfluenceMarker->SetOrientation(orientation);
    mInfluenceShape->SetScale(Vector3{scale, scale, scale});
    if (!mInfluenceMarkerShown) GetSceneManager().AddObject(mInfluenceMarker);
    mInfluenceMarkerShown = true;
  } else if (mInfluenceMarkerShown) {
    GetSceneManager().RemoveObject(mInfluenceMarker);
    mInfluenceMarkerShown = false;
  }
}

bool cCivHud::MapHitTest(int x, int y) const {
  int w, h;
  GetWindowSize2D(&w, &h);
  return x < cCivMap::Width() && h - y < cCivMap::Height();
}

void cCivHud::MapClick(int x, int y) {
  int w, h;
  GetWindowSize2D(&w, &h);
  Vector3 point = cCivMap::SurfacePointAt((float)x, (float)(h - y));
  CameraFocusOnPoint(point.x, point.y, point.z);
}

namespace {
cCivHud* gCivHud = nullptr;
}
cCivHud* GetCivHud() { return gCivHud; }
void SetCivHud(cCivHud* hud) { gCivHud = hud; }

// ---- what the HUD reads of the input controller ----

sCivHudView& GetCivHudView() {
  static sCivHudView view;
  return view;
}

void ForgetCivHudObject(Ko::cIGameData* object) {
  sCivHudView& view = GetCivHudView();
  if ((Ko::cIGameData*)view.hoveredCity == object) view.hoveredCity = nullptr;
  if ((Ko::cIGameData*)view.hoveredVehicle == object) view.hoveredVehicle = nullptr;
}
