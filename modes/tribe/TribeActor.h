// The base of everything in the tribe world that moves and perceives (tribe
// creatures and herds): named float attributes that the herd code and the
// perception read and write, and the actor's place, facing and velocity.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "math/Types.h"

class cTribeActor {
 public:
  virtual ~cTribeActor() = default;

  // The stored value, or a shared 0.0 when the name was never set; reading
  // never adds the name.
  virtual float* GetAttribute(const std::string& name);
  // Inserts or overwrites; returns the stored value.
  virtual float* SetAttribute(const std::string& name, float value);

  // Three floats x, y, z: the place of the actor's drawn model. Typed as the
  // location interface's position, which creatures and herds also implement,
  // so that one override answers both.
  virtual const float* GetPosition() = 0;
  virtual const Ru::Math::Quaternion* GetOrientation() = 0;
  virtual const Ru::Math::Vector3* GetVelocity() = 0;  // displacement per second of the last step

  Ru::Math::Vector3 GetPositionVector() {
    const float* p = GetPosition();
    return Ru::Math::Vector3{p[0], p[1], p[2]};
  }
  const std::map<std::string, float>& GetAttributes() const { return mAttributes; }

 private:
  std::map<std::string, float> mAttributes;
};

// (actor, distance) pairs in the order found: creatures first, then herds.
using tActorDistanceList = std::vector<std::pair<cTribeActor*, float>>;

// Every other actor of the tribe world (the object controller's creature list,
// then its herd list) strictly within `radius` of `actor`, with its distance.
void FindActorsInRadius(cTribeActor* actor, float radius, tActorDistanceList& out);
// The same over explicit lists, in the given order (the world's version uses it).
template <class CreatureList, class HerdList>
void FindActorsInRadiusAmong(cTribeActor* actor, float radius, const CreatureList& creatures, const HerdList& herds,
                             tActorDistanceList& out);

// True when a is a herd and b a tribe creature.
bool IsHerdAndCreature(cTribeActor* a, cTribeActor* b);

// ---- implementation of the template ----
namespace nTribeActorDetail {
void AppendIfWithin(cTribeActor* actor, cTribeActor* other, float radiusSquared, tActorDistanceList& out);
}

template <class CreatureList, class HerdList>
void FindActorsInRadiusAmong(cTribeActor* actor, float radius, const CreatureList& creatures, const HerdList& herds,
                             tActorDistanceList& out) {
  const float radiusSquared = radius * radius;
  for (auto* creature : creatures) nTribeActorDetail::AppendIfWithin(actor, creature, radiusSquared, out);
  for (auto* herd : herds) nTribeActorDetail::AppendIfWithin(actor, herd, radiusSquared, out);
}
