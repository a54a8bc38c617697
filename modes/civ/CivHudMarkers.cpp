#include "modes/civ/CivHudMarkers.h"

#include "world/scene/BillboardShape.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"

using Ru::Math::Vector3;

namespace {
const char* const kMarkerTextures[] = {
    "HalfSizeHeartPlusPlus", "HalfSizeHeartPlus", "HalfSizeHeart", "HalfSizeHeartMinus", "HalfSizeHeartMinusMinus",
    "happyDouble", "happySingle", "neutralSingle", "sadSingle", "sadDouble", "northicon", "southicon"};
constexpr int kNorth = kCivLabelMarkers, kSouth = kCivLabelMarkers + 1;
// The label markers wait at the planet's centre, where nothing shows them,
// until a label places them: the scene skips them there, as it skips a marker
// deep behind the planet. The ball lies well inside the lowest ground, so
// that a marker a few dozen units across is skipped only where it is hidden.
constexpr float kMarkerHiddenBall = 200.0f;

struct sMarkers {
  std::vector<cSceneObject*> label;  // empty until the first Enter
  cSceneObject* poles[2] = {nullptr, nullptr};
  bool polesShown = false;
};
sMarkers& Markers() {
  static sMarkers* markers = new sMarkers();  // scene objects outlive every mode
  return *markers;
}
}  // namespace

int CivHeartBand(float relationship) {
  if (relationship > 7.0f) return 0;
  if (relationship > 3.0f) return 1;
  if (relationship > -3.0f) return 2;
  if (relationship > -7.0f) return 3;
  return 4;
}

const std::vector<cSceneShapeBillboard*>& GetCivMarkerShapes() {
  static const std::vector<cSceneShapeBillboard*>* shapes = [] {
    auto* list = new std::vector<cSceneShapeBillboard*>();
    for (const char* name : kMarkerTextures)
      list->push_back(new cSceneShapeBillboard(std::string(".\\Data\\Textures\\") + name + ".bmp", false));
    for (int i = 0; i < kCivLabelMarkers; ++i) GetSceneManager().SetHorizonCulled((*list)[i], kMarkerHiddenBall);
    return list;
  }();
  return *shapes;
}

void CreateCivHudMarkers() {
  sMarkers& m = Markers();
  if (!m.label.empty()) return;
  const std::vector<cSceneShapeBillboard*>& shapes = GetCivMarkerShapes();
  for (int i = 0; i < kCivLabelMarkers; ++i) m.label.push_back(new cSceneObject(nullptr, shapes[i]));
  ResetLabelMarkers();
  m.poles[0] = new cSceneObject(nullptr, shapes[kNorth]);
  m.poles[0]->SetPosition(Vector3{0.0f, 600.0f, 0.0f});
  m.poles[1] = new cSceneObject(nullptr, shapes[kSouth]);
  m.poles[1]->SetPosition(Vector3{0.0f, -600.0f, 0.0f});
}

bool CivHudMarkersExist() { return !Markers().label.empty(); }

void ResetLabelMarkers() {
  cSceneManager& scene = GetSceneManager();
  for (cSceneObject* marker : Markers().label) {
    scene.RemoveObject(marker);  // listed once, however often this runs
    scene.AddObject(marker);
    marker->SetPosition(Vector3{0.0f, 0.0f, 0.0f});
  }
}

void RemoveLabelMarkers() {
  for (cSceneObject* marker : Markers().label) GetSceneManager().RemoveObject(marker);
}

void PlaceHeartMarker(int band, const Vector3& at) {
  if (cSceneObject* marker = GetCivLabelMarker(band)) marker->SetPosition(at);
}

void PlaceMoodMarker(int category, const Vector3& at) {
  if (category < 0 || category >= kCivMoodMarkers) return;
  if (cSceneObject* marker = GetCivLabelMarker(kCivHeartMarkers + category)) marker->SetPosition(at);
}

cSceneObject* GetCivLabelMarker(int index) {
  const std::vector<cSceneObject*>& label = Markers().label;
  return index >= 0 && index < (int)label.size() ? label[index] : nullptr;
}

void ShowCivPoleMarkers(bool shown) {
  sMarkers& m = Markers();
  if (!m.poles[0] || shown == m.polesShown) return;
  for (cSceneObject* pole : m.poles) {
    if (shown) GetSceneManager().AddObject(pole);
    else GetSceneManager().RemoveObject(pole);
  }
  m.polesShown = shown;
}

bool CivPoleMarkersShown() { return Markers().polesShown; }
