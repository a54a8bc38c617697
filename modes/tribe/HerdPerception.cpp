#include "modes/tribe/HerdPerception.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "math/Math.h"
#include "modes/tribe/TribeActor.h"
#include "modes/tribe/TribeCreature.h"
#include "modes/tribe/TribeHerd.h"
#include "modes/tribe/TribeStatics.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"

using namespace Ru::Math;

namespace {
constexpr float kPi = 3.14159265f;
constexpr float kStealth = 2.0f;    // tribe members are never stealthy
constexpr float kTreeCover = 0.0f;  // nor hidden by trees
constexpr float kSeenFactor = 10.0f;
constexpr float kShortestHalfLife = 0.1f;
}  // namespace

cHerdPerception& cHerdPerception::Get() {
  static cHerdPerception perception;
  return perception;
}

cHerdPerception::cHerdPerception() {
  LoadTribeProgram(eTribeProgram::PerceptionHerdLocation);
  LoadTribeProgram(eTribeProgram::CreatureLoudness);
}

float cHerdPerception::GetLoudness(float speed) {
  cRovurozovizProgram& script = GetTribeProgram(eTribeProgram::CreatureLoudness);
  script.SetVariable("speed", speed);
  script.SetVariable("stealth", kStealth);
  script.SetVariable("tree_cover", kTreeCover);
  script.Run();
  return std::min(script.GetVariable("loudness"), 1.0f);
}

float cHerdPerception::Hearing(float distance, float middle, float outer) {
  if (!(outer > middle)) return distance < outer ? 1.0f : 0.0f;
  return std::clamp(1.0f - (distance - middle) / (outer - middle), 0.0f, 1.0f);
}

float cHerdPerception::Stimulus(bool seen, float hearing, float loudness, float distance) {
  return (seen ? kSeenFactor : 1.0f) * hearing * loudness * 0.1f / (distance * 0.05f + 1.0f);
}

float cHerdPerception::Decay(float anxiety, float halfLife, float seconds) {
  return anxiety * std::pow(0.5f, seconds / std::max(halfLife, kShortestHalfLife));
}

void cHerdPerception::Perceive(cTribeHerd* herd, float seconds) {
  if (!herd) return;
  auto attribute = [herd](const char* name) { return *herd->GetAttribute(name); };
  if (attribute("navigationInitialized") == 0.0f) herd->SetAttribute("navigationInitialized", 1.0f);

  const float outer = attribute("outerPerceptionRadius");
  const float middle = attribute("middlePerceptionRadius");
  const float calm = attribute("calmThreshold");
  const float fieldOfVision = attribute("fieldOfVision") * (kPi / 180.0f);
  // Equal thresholds count as the attack threshold; only the smaller matters here.
  const float threatThreshold = std::min(attribute("fleeThreshold"), attribute("attackThreshold"));

  tActorDistanceList candidates;
  FindActorsInRadius(herd, outer, candidates);

  float anxiety = Decay(attribute("anxiety"), attribute("anxietyHalfLife"), seconds);
  const Vector3 here = herd->GetPositionVector();
  const Vector3 forward = QuatRotateVector(*herd->GetOrientation(), Vector3{0.0f, 0.0f, -1.0f});
  float nearest = FLT_MAX;
  cTribeCreature* threat = nullptr;

  for (const auto& [actor, distance] : candidates) {
    if (!(distance < outer) || !IsHerdAndCreature(herd, actor)) continue;
    auto* creature = static_cast<cTribeCreature*>(actor);
    const float loudness = GetLoudness(Vector3Length(*creature->GetVelocity()));
    const float inner = anxiety < calm ? attribute("innerPerceptionRadiusCalm") : attribute("innerPerceptionRadiusAlert");
    const float hearing = Hearing(distance, middle, outer);
    bool seen = distance < inner;
    if (!seen && distance > 0.0f) {
      const Vector3 towards = Vector3Scale(Vector3Sub(creature->GetPositionVector(), here), 1.0f / distance);
      seen = std::acos(std::clamp(Vector3Dot(forward, towards), -1.0f, 1.0f)) < fieldOfVision;
    }
    const float stimulus = Stimulus(seen, hearing, loudness, distance);
    if (stimulus > threatThreshold && distance < nearest) {
      threat = creature;
      nearest = distance;
    }
    if (stimulus > anxiety) anxiety += (stimulus - anxiety) * seconds;
    anxiety = std::clamp(anxiety, 0.0f, 1.0f);
  }

  if (threat) herd->SetThreat(threat);
  herd->SetAttribute("anxiety", std::clamp(anxiety, 0.0f, 1.0f));
}
