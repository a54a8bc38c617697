// The herds around the player's hut: made from the herd script, they graze,
// wander within their home, flee from the creature that frightens them, tire
// while they sprint and recover while they rest.
#include <algorithm>
#include <cmath>

#include "math/Math.h"
#include "glf/DebugWindow.h"
#include "modes/tribe/HerdDebugCommand.h"
#include "modes/tribe/HerdFatigue.h"
#include "modes/tribe/HerdPerception.h"
#include "modes/tribe/Tribe.h"
#include "modes/tribe/TribeCreature.h"
#include "modes/tribe/TribeHerd.h"
#include "modes/tribe/TribeHut.h"
#include "modes/tribe/TribeObjectController.h"
#include "modes/tribe/TribeStatics.h"
#include "sim/gamedata/DataManager.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"
#include "sim/tuning/BoundedCount.h"
#include "sim/tuning/TribeTuningData.h"
#include "world/planet/PlanetModel.h"

using namespace Ru::Math;

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kArrivedSquared = 1.0f;          // closer than 1 unit to its target, a herd has arrived
constexpr float kCalmForGrazing = 0.1f;          // below this anxiety an arrived herd grazes
constexpr float kCalmForMovingHome = 0.01f;      // below this a strayed herd moves its home back
constexpr float kTinySquared = 1.0f / 65536.0f;  // 2^-16
constexpr float kLeastHeadingFactor = 0.9f;      // a herd turning round still walks at 90 %
constexpr int kFarthestHome = 100;               // homes move out at most this far looking for land
constexpr int kPlacementTries = 100;
constexpr int kUphillSteps = 64;                 // a flight point in the sea climbs at most this often
// A script can ask for anything; the world keeps at most this much.
constexpr int kMostHerdsPerType = 16;

const Vector3 kStartFacing{0.0f, 0.0f, 1.0f};

// The integer part of a script count, held in [least, most]; not a number gives least.
float Attribute(cTribeHerd* herd, const char* name) { return *herd->GetAttribute(name); }

Vector3 UnitOrZero(const Vector3& v) {
  const float length = Vector3Length(v);
  return length > 0.0f ? Vector3Scale(v, 1.0f / length) : Vector3{0.0f, 0.0f, 0.0f};
}

// The herd's heading: its orientation turns (0, 0, -1) to where it looks.
Vector3 ForwardOf(cTribeHerd* herd) { return QuatRotateVector(*herd->GetOrientation(), Vector3{0.0f, 0.0f, -1.0f}); }

// Upright at the point, its forward axis along `direction`.
Quaternion UprightFacing(const Vector3& point, const Vector3& direction) {
  Quaternion upright;
  // The surface frame's local +z takes the facing given, so the forward
  // axis (-z) takes the opposite of it.
  cPlanetModel::MakeSurfaceOrientation(upright, point, Vector3Negate(direction));
  return upright;
}

// Herd script output -> herd attribute, copied as they are.
struct sHerdParameter {
  const char* output;
  const char* attribute;
};
constexpr sHerdParameter kHerdParameters[] = {
    {"distance_from_hut", "distanceFromHut"},
    {"roaming_radius", "roamingRadius"},
    {"grazing_time", "grazingTimeLimit"},
    {"speed_normal", "normalSpeed"},
    {"speed_water", "swimSpeed"},
    {"speed_max", "sprintSpeed"},
    {"turn_rate", "turnRate"},
    {"perception_field_of_vision", "fieldOfVision"},
    {"perception_hear_barely", "outerPerceptionRadius"},
    {"perception_hear_well", "middlePerceptionRadius"},
    {"perception_behind_calm", "innerPerceptionRadiusCalm"},
    {"perception_behind_alert", "innerPerceptionRadiusAlert"},
    {"anxiety_threshold_flee", "fleeThreshold"},
    {"anxiety_threshold_calm", "calmThreshold"},
    {"anxiety_half_life", "anxietyHalfLife"},
    {"awareness_threshold_attack", "attackThreshold"},
    {"sprint_distance", "sprintDistance"},
    {"sprint_fatigue", "sprintDuration"},
    {"sprint_fatigue_recovery", "sprintRecovery"},
};

}  // namespace

void cTribeObjectController::ApplyHerdParameters(cTribeHerd* herd) {
  cRovurozovizProgram& script = GetTribeProgram(eTribeProgram::HerdLocation);
  for (const sHerdParameter& parameter : kHerdParameters)
    herd->SetAttribute(parameter.attribute, script.GetVariable(parameter.output));
}

void cTribeObjectController::PopulateHerds() {
  // Homes are placed around the player's hut; without one there is nowhere to put herds.
  if (!mPlayerTribe || !mPlayerTribe->GetHut()) return;
  int counts[kTribeHerdTypeCount] = {};
  for (cTribeHerd* herd : mHerds)
    if (herd->GetType() < kTribeHerdTypeCount) ++counts[herd->GetType()];

  cRovurozovizProgram& script = GetTribeProgram(eTribeProgram::HerdLocation);
  cPlanetModel& planet = GetPlanetModel();
  for (uint32_t type = kTribeHerdBigGame; type <= kTribeHerdPredators; ++type) {
    // Every input before every run: a reload clears the script's variables.
    script.SetVariable("tribe_size", (float)mPlayerTribe->GetPopulation());
    script.SetVariable("herd_type", (float)type);
    script.SetVariable("times_hunted_type", (float)cTribeHerd::GetHuntCount(type));
    script.Run();
    const int wanted = BoundedCount("number_of_herds", script.GetVariable("number_of_herds"), 0, kMostHerdsPerType);
    // An empty herd would be removed as soon as it was made, and made again.
    const int size = BoundedCount("herd_size", script.GetVariable("herd_size"), 1, cTribeHerd::kMostAnimals);
    const float roaming = script.GetVariable("roaming_radius");

    for (cTribeHerd* herd : mHerds)
      if (herd->GetType() == type) ApplyHerdParameters(herd);

    // Herds are never taken away here: fewer wanted only stops new ones.
    while (counts[type] < wanted) {
      cTribeHerd* herd = GetDataManager()->CreateObject<cTribeHerd>();
      if (!herd) return;
      AppendHerd(herd);
      herd->SetType(type);
      herd->SetSize((uint32_t)size);
      herd->SetAttribute("anxiety", 0.0f);
      herd->SetAttribute("fatigue", 0.0f);
      herd->SetAttribute("grazingTime", 0.0f);
      ApplyHerdParameters(herd);
      const Vector3 home = PickHerdHome(herd);
      // Somewhere dry in its home ground, looking a little farther out after each wet try.
      Vector3 place;
      planet.GetRandomSurfacePointNear(place, home, 0.0f, roaming);
      for (int tries = 1; tries <= kPlacementTries && planet.IsUnderWater(place); ++tries)
        planet.GetRandomSurfacePointNear(place, home, 0.0f, roaming + (float)tries);
      herd->SetPosition(place);
      herd->SetHome(home, roaming);
      Vector3 target;
      planet.GetRandomSurfacePointNear(target, home, 0.0f, roaming);
      herd->SetTarget(target);
      Quaternion upright;
      cPlanetModel::MakeSurfaceOrientation(upright, place, kStartFacing);
      herd->SetOrientation(upright);
      ++counts[type];
    }
  }
}

Vector3 cTribeObjectController::PickHerdHome(cTribeHerd* herd) {
  if (!mPlayerTribe || !mPlayerTribe->GetHut()) return herd->GetPositionVector();
  const Vector3 hut = mPlayerTribe->GetHut()->GetPositionVector();
  const float wanted = Attribute(herd, "distanceFromHut");
  cPlanetModel& planet = GetPlanetModel();
  // Whole units outwards from the wanted distance until the home is dry; far
  // out in a sea the wanted distance is taken wherever it falls.
  float distance = std::trunc(wanted);
  Vector3 home;
  planet.GetRandomSurfacePointNear(home, hut, distance, distance);
  while (planet.IsUnderWater(home)) {
    distance += 1.0f;
    if (!(distance <= (float)kFarthestHome)) {
      planet.GetRandomSurfacePointNear(home, hut, wanted, wanted);
      break;
    }
    planet.GetRandomSurfacePointNear(home, hut, distance, distance);
  }
  return home;
}

cTribeHerd* cTribeObjectController::SplitHerd(cTribeHerd* herd) {
  if (!herd) return nullptr;
  herd->SetCount(herd->GetCount() - 1);
  herd->SetAttribute("anxiety", 1.0f);
  herd->SetAttribute("grazingTime", 0.0f);
  cTribeHerd* split = GetDataManager()->CreateObject<cTribeHerd>();
  if (!split) return nullptr;
  AppendHerd(split);
  split->SetSize(herd->GetSize());
  split->SetType(herd->GetType());
  split->SetTimesHunted(herd->GetTimesHunted());
  split->SetAttribute("anxiety", 1.0f);
  Vector3 home;
  float radius;
  herd->GetHome(home, radius);
  split->SetHome(home, radius);
  split->SetPosition(herd->GetPositionVector());
  split->SetOrientation(*herd->GetOrientation());
  split->SetTarget(*herd->GetTarget());
  split->SetCount(1);
  return split;
}

void cTribeObjectController::UpdateHerd(cTribeHerd* herd, float seconds) {
  if (herd->IsHunted()) {
    herd->SetAttribute("anxiety", 1.0f);
    return;
  }
  // The threat is a plain pointer; a creature that has died since is no threat.
  if (cTribeCreature* threat = herd->GetThreat())
    if (std::find(mCreatures.begin(), mCreatures.end(), threat) == mCreatures.end()) herd->SetThreat(nullptr);

  cTribeCreature* threatBefore = herd->GetThreat();
  cHerdPerception::Get().Perceive(herd, seconds);
  // Only the start of a flight is worth a line: with several members about,
  // the nearest one (the threat) can change on every tick.
  if (herd->GetThreat() && !threatBefore)
    DebugPrintf("%s: a member %.1f away frightens it", DescribeHerd(this, herd).c_str(),
                Vector3Length(Vector3Sub(herd->GetThreat()->GetPositionVector(), herd->GetPositionVector())));
  const float anxiety = Attribute(herd, "anxiety");
  cPlanetModel& planet = GetPlanetModel();
  const Vector3 here = herd->GetPositionVector();

  if (!herd->GetThreat()) {
    herd->SetAttribute("fatigue", std::max(0.0f, Attribute(herd, "fatigue") - seconds * Attribute(herd, "sprintRecovery")));
    const float grazing = Attribute(herd, "grazingTime");
    if (grazing > 0.0f) {
      if (grazing <= Attribute(herd, "grazingTimeLimit")) {
        herd->SetAttribute("grazingTime", grazing + seconds);
        return;  // standing and grazing
      }
      herd->SetAttribute("grazingTime", 0.0f);
    }
  } else if (anxiety <= Attribute(herd, "calmThreshold")) {
    // Calm again: it settles where its flight ended.
    herd->SetThreat(nullptr);
    Vector3 home;
    float radius;
    herd->GetHome(home, radius);
    herd->SetHome(*herd->GetTarget(), radius);
    DebugPrintf("%s: calm again, settles here", DescribeHerd(this, herd).c_str());
  } else {
    const float sprintDistance = Attribute(herd, "sprintDistance");
    Vector3 away = UnitOrZero(Vector3Sub(here, herd->GetThreat()->GetPositionVector()));
    if (Vector3LengthSquared(away) == 0.0f) away = ForwardOf(herd);  // the threat stands on it: run the way it faces
    Vector3 flight = Vector3Add(here, Vector3Scale(away, sprintDistance));
    if (Attribute(herd, "swimSpeed") < Attribute(herd, "sprintSpeed")) {
      // Poor swimmers climb out of the sea; a flat sea floor ends the climb.
      for (int step = 0; step < kUphillSteps && planet.IsUnderWater(flight); ++step) {
        Vector3 uphill;
        planet.GetSlopeVector(uphill, flight);
        if (Vector3LengthSquared(uphill) < kTinySquared * kTinySquared) break;
        flight = Vector3Add(flight, Vector3Scale(uphill, sprintDistance));
      }
    }
    Vector3 ground;
    planet.ProjectToSurface(ground, flight);
    herd->SetTarget(ground);
  }

  const Vector3 offset = Vector3Sub(*herd->GetTarget(), here);
  const float offsetSquared = Vector3LengthSquared(offset);
  if (offsetSquared < kArrivedSquared) {
    if (anxiety < kCalmForGrazing) herd->SetAttribute("grazingTime", seconds);
    Vector3 home;
    float radius;
    herd->GetHome(home, radius);
    if (anxiety < kCalmForMovingHome && mPlayerTribe && mPlayerTribe->GetHut()) {
      const float fromHut = Vector3Length(Vector3Sub(here, mPlayerTribe->GetHut()->GetPositionVector()));
      if (fromHut > Attribute(herd, "distanceFromHut") + Attribute(herd, "roamingRadius")) {
        radius = Attribute(herd, "roamingRadius");
        home = PickHerdHome(herd);
        herd->SetHome(home, radius);
      }
    }
    Vector3 next;
    planet.GetRandomSurfacePointNear(next, home, 1.0f, radius);
    herd->SetTarget(next);
    return;
  }

  // Turn part of the way towards the target and walk.
  const Vector3 toward = Vector3Scale(offset, 1.0f / std::sqrt(offsetSquared));
  const float c = std::clamp(Vector3Dot(ForwardOf(herd), toward), -1.0f, 1.0f);
  const float angle = std::acos(c);
  const float turn = angle > 0.0f ? std::min(1.0f, Attribute(herd, "turnRate") * (kPi / 180.0f) * seconds / angle) : 1.0f;

  const bool swimming = planet.IsUnderWater(here);
  const float base = swimming ? Attribute(herd, "swimSpeed") : Attribute(herd, "normalSpeed");
  const float top = swimming ? Attribute(herd, "swimSpeed") : Attribute(herd, "sprintSpeed");
  const float sprintDuration = Attribute(herd, "sprintDuration");
  const float fatigue = Attribute(herd, "fatigue");
  const float share = (herd->GetThreat() ? 1.0f : anxiety) * HerdSprintShare(fatigue, sprintDuration);
  const float speed = base + (top - base) * share;
  if (herd->GetThreat()) herd->SetAttribute("fatigue", std::min(fatigue + share * seconds, std::max(sprintDuration, 0.0f)));
  const float heading = std::max(c, kLeastHeadingFactor);
  const float finalSpeed =
      GetSlopeSpeed(here, *herd->GetOrientation()) * GetTribeTuningData().GetCreatureSpeed() * heading * speed;

  const Vector3 velocity = Vector3Scale(toward, finalSpeed);
  Vector3 moved;
  planet.ProjectToSurface(moved, Vector3Add(here, Vector3Scale(velocity, seconds)));
  herd->SetPosition(moved);
  herd->SetVelocity(velocity);

  const Quaternion turned = QuatSlerpNear(*herd->GetOrientation(), UprightFacing(moved, toward), turn);
  Quaternion aligned;
  planet.AlignOrientationToTerrain(aligned, moved, turned, 1.0f);
  herd->SetOrientation(aligned);
}
