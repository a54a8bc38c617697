// What every city behaviour shares: a walking step towards a goal at the
// behaviour controller's frame time, finding the store a carried bundle goes
// to, picking a bundle up from the global store or taking one from a store,
// carrying it there, and the nearest tribe to sell to. The step helpers
// answer 0 (go on), 1 (failed) or 2 (done).
#pragma once

#include "math/Types.h"
#include "sim/behavior/InteractionTarget.h"

class cCityGameBuilding;
class cCityGameBundle;
class cCityGameBundleContainer;
class cCityGameCityBundleContainer;
class cCityGameCreature;
class cCityGameTribe;
class cCityGameWorldObject;

enum eCityStep { kCityStepGoOn = 0, kCityStepFailed = 1, kCityStepDone = 2 };

// Sets the goal on the creature's record and walks one step at the frame time.
void WalkTowards(cCityGameCreature* creature, const Ru::Math::Vector3& goal, float speedFactor = 1.0f);

// Where the creature's carried bundle goes: with a producing building, a road
// from it to a building that takes the kind; else the nearest silo (food) or
// building that takes the kind; else the city's food store (food) or, for
// goods, a sell errand queued on the creature and null.
cCityGameWorldObject* FindDeliveryDestination(cCityGameBuilding* building, cCityGameCreature* creature);

int PickUpBundle(cCityGameCreature* creature, cCityGameBundle* bundle);
int TakeBundleFromStore(cCityGameCreature* creature, cCityGameBundleContainer* store);
// One step of carrying into the store; done once the bundle is in it.
int CarryToStore(cCityGameCreature* creature, cCityGameBundleContainer* store, float speedFactor = 1.0f);
// The nearest tribe with members, nearer than 10000; null when none.
cCityGameTribe* FindNearestTribe(cCityGameCreature* creature);

namespace nBehavior {
// What the two selling behaviours sell and to whom (no buyer: the nearest tribe).
class cCityGameSellTarget : public cIInteractionTarget {
 public:
  cCityGameBundleContainer* sourceContainer = nullptr;
  cCityGameCityBundleContainer* cityContainer = nullptr;
  cCityGameTribe* buyer = nullptr;
};
}  // namespace nBehavior
