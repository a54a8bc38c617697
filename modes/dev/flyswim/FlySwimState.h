// The fly/swim experiment mode's working state: one static record with the
// panel's live variables, the mouse, the selection state and the lists of
// units, perches and ambient life. The mode object keeps nothing of its own,
// so the geometry, picking and physics can run (and be tested) without it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "math/Types.h"

class cISceneShape;
class cSceneObject;
class cCreatureWingShape;
class cFlySwimSaucer;
class GLUI;
struct GLUquadric;

namespace nFlySwim {

// Bits of the mode value.
constexpr int kFlies = 0x40, kGroup = 0x80, kSwims = 0x100, kSingle = 0x400;
// The five experiments, in the order of the panel's buttons.
constexpr int kUfo = 0, kFish = 0x501, kBird = 0x442, kFishTribe = 0x183, kBirdTribe = 0xC4;

constexpr float kPlanetRadius = 500.0f;
constexpr float kSeaLevelScale = 80.0f;
// The spinners' bounds: "Creature Speed" (speed factor 0.2 to 8.2 a frame)
// and "Sea Level" (a water shell of radius 500 to 660).
constexpr float kMinCreatureSpeed = 0.0f, kMaxCreatureSpeed = 10.0f;
constexpr float kMinSeaLevel = 0.0f, kMaxSeaLevel = 2.0f;
constexpr float kMinPickDistance = 4.0f;   // picks nearer the eye than this are refused
constexpr float kGroupPickHeight = 4.0f;
constexpr float kSwimPickHeight = 3.0f;
constexpr int kBubbleCount = 25;
constexpr int kSchoolSize = 200;
constexpr int kSpeckCount = 2000;
constexpr int kLightRayCount = 36;
constexpr int kUnderwaterModelCount = 7;

enum eSelectionState { kIdle = 0, kSelecting, kSelectingMultiple, kTargeting, kDeselecting };
const char* SelectionStateName(int state);

struct sUnit {
  cSceneObject* body = nullptr;
  cSceneObject* second = nullptr;  // kept just under the ground below the body
  Ru::Math::Vector3 target;
  Ru::Math::Vector3 velocity;
  float altitude = 0.0f;           // flyers: above the ground; swimmers: below the water shell
  bool selected = false;
  cCreatureWingShape* wingShape = nullptr;
  cCreatureWingShape* shadowWingShape = nullptr;
  cSceneObject* wing = nullptr;
  cSceneObject* wingShadow = nullptr;
  float flapPhase = 0.0f, flapSpeed = 0.0f;
  uint32_t lastFlapTime = 0;  // game ms of the last kick
  Ru::Math::Quaternion orientation;
  Ru::Math::Quaternion displayOrientation;
  Ru::Math::Vector3 heading;
  float pitch = 0.0f;
  float speedMultiplier = 1.0f;
  bool targetLock = false;
  float screenX = 0.0f, screenY = 0.0f, bodyScreenX = 0.0f, bodyScreenY = 0.0f, screenRadius = 0.0f;
  Ru::Math::Vector3 bubbles[kBubbleCount];
  int bubbleCount = 0, nextBubble = 0;
  // Shapes made for this unit alone, freed with it once the scene no longer lists its objects.
  std::vector<cISceneShape*> ownShapes;
};

struct sPerch {
  cSceneObject* body = nullptr;
  cSceneObject* shadow = nullptr;
  float heightFraction = 0.0f;
  bool modelPerch = false;
  bool perchable = false;
  std::vector<cISceneShape*> ownShapes;  // the pillar's cube and the shadow's cube; models are shared
};

struct sSchoolFish {
  Ru::Math::Vector3 position, direction;
  float speed = 0.7f, size = 1.0f;
  int neighbour = 0;
  Ru::Math::Vector3 colour;
};

struct sSpeck {
  Ru::Math::Vector3 position, anchor;
  int side = 0;  // -1 on the ground, 0 floating, +1 on the water shell
  float fade = 0.0f;
};

struct sLightRay {
  Ru::Math::Vector3 direction;
  float intensity = 0.0f, length = 0.0f, target = 0.0f;
};

struct sState {
  int mode = kFish;
  float creatureSpeed = 0.0f;
  float seaLevel = 0.5f;
  int holdMouseToSwim = 0;
  int dynamicHoldMouseToSwim = 1;
  int rtsStickySelection = 0;
  int useCandidatePick = 1;
  int perchPickEnabled = 0, perchesWanted = 0;
  int showFootprints = 0;      // draws each unit's screen footprint in group experiments
  int hideFishMarker = 1;      // "Fish" shows no target marker
  GLUI* panel = nullptr;
  GLUquadric* quadric = nullptr;
  int mouseX = 0, mouseY = 0;
  float pressX = 0.0f, pressY = 0.0f;
  bool leftButtonDown = false, rightButtonDown = false, leftJustPressed = false, doubleClick = false;
  uint32_t lastPressTime = 0, lastReleaseTime = 0;  // game ms
  bool lastTargetOnPerch = false;
  int selectionState = kIdle;
  Ru::Math::Quaternion referenceOrientation{0.0f, 0.0f, 0.0f, 0.0f};
  std::string debugText;
  bool collectDebugText = false;
  bool showDebugText = false;
  std::vector<sUnit*> units;
  std::vector<sPerch*> perches;
  cFlySwimSaucer* saucer = nullptr;
  sSchoolFish* school = nullptr;
  sSpeck* specks = nullptr;
  sLightRay* lightRays = nullptr;
  // The follow camera's own state.
  Ru::Math::Vector3 followPosition, followVelocity, followOffsetDirection;
  float followOffsetLength = 0.0f;
  bool followStarted = false;
};

sState& State();  // built on first use
inline bool Has(int bits) { return (State().mode & bits) != 0; }

// "Now" for every timer of the mode: the game clock in seconds.
float Now();
// A spinner's live value held to [least, most] (a value that is not a number
// takes the least), written back, and the first cut named once in the debug window.
float BoundedPanelValue(const char* name, float& value, float least, float most);
// The speed factor every unit moves by: creature speed x 0.8 + 0.2.
float SpeedFactor();
// The water shell radius: 500, or 500 + sea level x 80 in swimming experiments.
float WaterShellRadius();
bool IsUnderWater(const Ru::Math::Vector3& p, float margin);
void AppendDebugText(const char* text);

}  // namespace nFlySwim
