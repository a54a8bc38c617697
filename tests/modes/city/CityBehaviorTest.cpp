// City behaviours: the catalogue's names and ids, never chosen by scoring,
// the users of their targets as they start, replace each other and end, and
// the shared errands: where a carried bundle goes, picking one up from the
// global store and carrying it into a store.
#include <gtest/gtest.h>

#include "modes/city/behaviours/CityBehaviorMechanics.h"
#include "modes/city/behaviours/CityBehaviors.h"
#include "modes/city/economy/CityBuildingKinds.h"
#include "modes/city/economy/CityBundleContainers.h"
#include "modes/city/economy/CityGameRoad.h"
#include "world/scene/SceneObject.h"
#include "tests/modes/city/CityTestSupport.h"

namespace {

using Ru::Math::Vector3;

class CityBehaviorTest : public cCityWorldTest {
 protected:
  void SetUp() override {
    cCityWorldTest::SetUp();
    Registry().CollectObjectsOfClass(citizens);
    ASSERT_FALSE(citizens.empty());
    for (cCityGamePlayerCreature* c : citizens) c->SetOwnChoices(false);  // one behaviour watched at a time
    citizen = citizens[0];
  }
  // Steps the helper at 50 ms frames until it is no longer going on (at most `frames`).
  int StepUntilSettled(const std::function<int()>& step, int frames = 2000) {
    for (int i = 0; i < frames; ++i) {
      GetBehaviorController().Update(kFrameMs);
      if (int code = step(); code != kCityStepGoOn) return code;
    }
    return kCityStepGoOn;
  }
  template <class T>
  T* NewBuilding(int x) {
    return NewBuildingAt<T>(cFakeCityView::Ground(x, 500));
  }
  // Hands the citizen a new bundle of the kind (any carried one is dropped)
  // and asks where it goes from the building.
  cCityGameWorldObject* CarryFrom(cCityGameBuilding* building, uint32_t kind) {
    delete citizen->TakeCarried();
    auto* bundle = new cCityGameBundle;
    bundle->Initialize(City(), kind, 5.0f);
    EXPECT_TRUE(citizen->AttachCarried(bundle));
    return FindDeliveryDestination(building, citizen);
  }
  // Frames the citizen's behaviour until it ends, calling `each` after every frame it goes on.
  void RunToEnd(const std::function<void()>& each = [] {}) {
    for (int i = 0; i < 20000 && citizen->HasInteraction(); ++i) {
      Pump(1);
      if (citizen->HasInteraction()) each();
    }
    ASSERT_FALSE(citizen->HasInteraction());
  }
  std::vector<cCityGamePlayerCreature*> citizens;
  cCityGamePlayerCreature* citizen = nullptr;
};

TEST_F(CityBehaviorTest, TheCatalogueNamesItsBehavioursAndNoneIsEverChosen) {
  struct sCase {
    cIInteraction* prototype;
    const char* name;
    uint32_t id;
  } cases[] = {
      {GetCityBehavior<cCityGameBehaviorWalk>(), "Walking", 0x0FC53E0C},
      {GetCityBehavior<cCityGameBehaviorSleepOnGround>(), "Sleeping", 0x2FE7F0BC},
      {GetCityBehavior<cCityCreatureGatherInteraction>(), "Gathering Fruit", 0xCFBA76EE},
      {GetCityBehavior<cCityGameBehaviorRaidTribe>(), "Raiding a tribe", 0xEF74C559},
      {GetCityBehavior<cCityGameBehaviorAttackTribe>(), "Attacking a tribe", 0xEF74C559},
      {GetCityBehavior<cCityGameBehaviorEatFromCityHall>(), "Eat from City Hall", 0},
      {GetCityBehavior<cCityGameBehaviorLeaveCity>(), "Leaving", 0},
  };
  for (const sCase& c : cases) {
    EXPECT_EQ(c.prototype->GetName(), c.name);
    EXPECT_EQ(c.prototype->GetInteractionId(), c.id) << c.name;
    EXPECT_FALSE(c.prototype->CanPerform(citizen, 0)) << c.name;
  }
  EXPECT_EQ(City()->GetDefaultInteraction(), GetCityBehavior<cCityGameBehaviorEatFromCityHall>());
  EXPECT_EQ(GetGlobalCityContainer(kCityFood)->GetDefaultInteraction(), GetCityBehavior<cCityGameBehaviorSaveBundle>());
  Pump(20);
  for (cCityGamePlayerCreature* c : citizens) EXPECT_FALSE(c->HasInteraction());
}

TEST_F(CityBehaviorTest, TargetsKnowTheirUsersAsBehavioursStartReplaceAndEnd) {
  cCityGameCityBundleContainer* global = GetGlobalCityContainer(kCityFood);
  ASSERT_TRUE(City()->Interact(citizen, nullptr, nullptr, 1));  // the hall's own: eating
  EXPECT_EQ(citizen->GetInteraction()->GetName(), "Eat from City Hall");
  EXPECT_EQ(citizen->GetStartMode(), 1u);
  EXPECT_EQ(City()->GetUserCount(), 1);
  ASSERT_TRUE(global->Interact(citizen, nullptr, nullptr, 0));  // replaces it
  EXPECT_EQ(City()->GetUserCount(), 0);
  EXPECT_EQ(global->GetUserCount(), 1);
  EXPECT_EQ(citizen->GetStartMode(), 0u);
  Pump(1);  // its first step ends it
  EXPECT_FALSE(citizen->HasInteraction());
  EXPECT_EQ(global->GetUserCount(), 0);
}

// Where a carried bundle goes: food to the silo nearest the carrier, else the
// hall's store; goods nobody takes are queued for sale to a tribe.
TEST_F(CityBehaviorTest, ACarriedBundleGoesToTheNearestSiloTheHallOrIsQueuedForSale) {
  citizen->SetPosition(cFakeCityView::Ground(500, 500), Vector3{});
  auto carry = [&](uint32_t kind) { return CarryFrom(nullptr, kind); };
  EXPECT_EQ(carry(kCityFood), City()->GetContainer(kCityFood));  // no silo yet
  auto silo = [&](int x) {
    auto* s = CreateRegisteredCityObject<cCityGameBuildingSilo>();
    s->Initialize(City());
    s->SetPosition(cFakeCityView::Ground(x, 500), Vector3{});
    GetDataManager()->CommitPending();
    return s;
  };
  cCityGameBuildingSilo* far = silo(620);
  cCityGameBuildingSilo* near = silo(450);
  EXPECT_EQ(carry(kCityFood), near->GetContainer(kCityFood));
  citizen->SetPosition(cFakeCityView::Ground(610, 500), Vector3{});
  EXPECT_EQ(carry(kCityFood), far->GetContainer(kCityFood));  // nearest to the carrier, not first built

  EXPECT_EQ(carry(kCityGoods), nullptr);  // nobody takes goods yet
  ASSERT_NE(citizen->GetPendingInteraction(), nullptr);
  EXPECT_EQ(citizen->GetPendingInteraction()->GetName(), "Sell Bundle");
  cCityGameTribe* buyer = FindNearestTribe(citizen);  // the goods go to the nearest tribe with members
  ASSERT_NE(buyer, nullptr);
  EXPECT_GT(buyer->GetMemberCount(), 0);
}

// From a producer, food leaves by the last road (in road order, either end)
// to a silo, naming that silo as the destination; with no such road it goes
// the loose bundle's way and the destination is cleared.
TEST_F(CityBehaviorTest, AProducersFoodLeavesByItsLastRoadToASilo) {
  auto* farm = NewBuilding<cCityGameBuildingFarm>(400);
  auto* near = NewBuilding<cCityGameBuildingSilo>(560);
  auto* far = NewBuilding<cCityGameBuildingSilo>(700);
  NewRoad(farm, NewBuilding<cCityGameBuildingHouse>(300));
  citizen->SetPosition(cFakeCityView::Ground(400, 500), Vector3{});
  citizen->SetDestinationBuilding(far->GetId());
  EXPECT_EQ(CarryFrom(farm, kCityFood), near->GetContainer(kCityFood));
  EXPECT_FALSE(citizen->HasDestinationBuilding());
  NewRoad(farm, near);
  cCityGameRoad* last = NewRoad(far, farm);
  EXPECT_EQ(CarryFrom(farm, kCityFood), last);
  EXPECT_EQ(citizen->GetDestinationBuildingId(), far->GetId());
  EXPECT_EQ(CarryFrom(farm, kCityGoods), nullptr);  // no road's far end takes goods
}

TEST_F(CityBehaviorTest, ALooseBundleIsPickedUpAndCarriedIntoTheHallsStore) {
  cCityGameCityBundleContainer* global = GetGlobalCityContainer(kCityFood);
  auto* loose = new cCityGameBundle;
  loose->Initialize(City(), kCityFood, 2.0f);
  loose->GetSceneObject()->SetPosition(cFakeCityView::Ground(560, 500));
  global->AddBundle(loose);
  EXPECT_EQ(PickUpBundle(citizen, loose), kCityStepGoOn);
  EXPECT_EQ(StepUntilSettled([&] { return PickUpBundle(citizen, loose); }), kCityStepDone);
  EXPECT_EQ(citizen->GetCarried(), loose);
  EXPECT_EQ(global->GetBundleCount(), 0);
  cCityGameBundleContainer* store = City()->GetContainer(kCityFood);
  const float before = store->GetTotalAmount();
  EXPECT_EQ(StepUntilSettled([&] { return CarryToStore(citizen, store); }), kCityStepDone);
  EXPECT_EQ(citizen->GetCarried(), nullptr);
  EXPECT_FLOAT_EQ(store->GetTotalAmount(), before + 2.0f);  // piled with its own amount (the hall keeps none inside)
  EXPECT_EQ(TakeBundleFromStore(citizens[1], nullptr), kCityStepFailed);
  // The reaches, standing still at an exact gap (the store or the bundle off the ground): carried in
  // within the pile's far edge plus one (8.5 at the hall's), taken out and picked up only nearer than
  // the far edge (7.5) and 1.0.
  GetCityGameTuning().creatureSpeed = 0.0f;
  enum eErrand { kCarryIn, kTakeOut, kPickUp };
  struct sCase {
    eErrand errand;
    float gap;
    int answer;
  } reaches[] = {{kCarryIn, 8.5f, kCityStepDone}, {kCarryIn, 8.51f, kCityStepGoOn}, {kTakeOut, 7.49f, kCityStepDone},
                 {kTakeOut, 7.5f, kCityStepGoOn},  {kPickUp, 0.99f, kCityStepDone}, {kPickUp, 1.0f, kCityStepGoOn}};
  for (const sCase& c : reaches) {
    delete citizen->TakeCarried();
    citizen->SetPosition(Vector3{110.0f, 0.0f, 0.0f}, Vector3{});
    const Vector3 gapped{510.0f, 0.0f, c.gap};
    store->SetPosition(gapped, Vector3{});
    int answer = kCityStepFailed;
    if (c.errand == kCarryIn) {
      auto* bundle = new cCityGameBundle;
      bundle->Initialize(City(), kCityFood, 5.0f);
      citizen->AttachCarried(bundle);
      answer = CarryToStore(citizen, store);
    }
    if (c.errand == kTakeOut) answer = TakeBundleFromStore(citizen, store);
    if (c.errand == kPickUp) {
      auto* bundle = new cCityGameBundle;
      bundle->Initialize(City(), kCityFood, 5.0f);
      bundle->GetSceneObject()->SetPosition(gapped);
      global->AddBundle(bundle);
      answer = PickUpBundle(citizen, bundle);
    }
    EXPECT_EQ(answer, c.answer) << c.errand << " from " << c.gap;
  }
}

// Fault mended: a pick-up took the bundle out of the global store even when
// the creature could not take it (it carried another): the bundle was lost.
TEST_F(CityBehaviorTest, ABundleThatCannotBeTakenStaysInTheGlobalStore) {
  cCityGameCityBundleContainer* global = GetGlobalCityContainer(kCityFood);
  auto* loose = new cCityGameBundle;
  loose->Initialize(City(), kCityFood, 5.0f);
  loose->GetSceneObject()->SetPosition(citizen->GetPosition());
  global->AddBundle(loose);
  auto* held = new cCityGameBundle;
  held->Initialize(City(), kCityGoods, 5.0f);
  ASSERT_TRUE(citizen->AttachCarried(held));
  GetBehaviorController().Update(kFrameMs);
  EXPECT_EQ(PickUpBundle(citizen, loose), kCityStepFailed);
  EXPECT_EQ(global->GetBundleCount(), 1);
  EXPECT_EQ(loose->GetOwner(), global);
}

}  // namespace

// A walk ends once within 1.0 of the goal set beforehand, at its first step when already there.
TEST_F(CityBehaviorTest, AWalkEndsWithinOneOfItsGoal) {
  struct sCase {
    int goalX;
    int stepsAtMost;
  } cases[] = {{500, 1}, {520, 400}};
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.goalX);
    citizen->SetPosition(cFakeCityView::Ground(500, 500), Vector3{});
    const Vector3 goal = cFakeCityView::Ground(c.goalX, 500);
    citizen->GetCommon()->SetPosition(goal);
    EXPECT_TRUE(citizen->StartInteraction(GetCityBehavior<cCityGameBehaviorWalk>(), 0));
    int steps = 0;
    while (citizen->HasInteraction() && steps < 2000) {
      Pump(1);
      ++steps;
    }
    EXPECT_LE(steps, c.stepsAtMost) << c.goalX;
    EXPECT_LT(Distance(citizen->GetPosition(), goal), 1.0f + 0.5f) << c.goalX;
  }
  GetCityGameTuning().creatureSpeed = 0.0f;  // standing exactly 1.0 from the goal walks on; nearer, it has arrived
  for (float gap : {1.0f, 0.99f}) {
    citizen->SetPosition(Vector3{110.0f, 0.0f, 0.0f}, Vector3{});
    citizen->GetCommon()->SetPosition(Vector3{510.0f, 0.0f, gap});
    ASSERT_TRUE(citizen->StartInteraction(GetCityBehavior<cCityGameBehaviorWalk>(), 0));
    Pump(1);
    EXPECT_EQ(citizen->HasInteraction(), gap >= 1.0f) << gap;
    citizen->EndInteraction();
  }
}

// A homeless citizen sleeps at the city's sleeping spot, gaining energy at the
// ground rate, and gets up (rate back to the world's) when rested or housed.
TEST_F(CityBehaviorTest, SleepingOnTheGroundLastsUntilRestedOrHoused) {
  const cCityGameMotiveTuning& tuning = GetCityGameMotiveTuning();
  struct sCase {
    float energy;
    bool housed;
    bool sleepsOn;
  } cases[] = {
      {tuning.sleepOnGroundGetUp, false, true},
      {tuning.sleepOnGroundGetUp + 0.5f, false, false},
      {10.0f, true, false},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "energy " << c.energy << (c.housed ? ", housed" : ""));
    if (c.housed) citizen->SetHome(City()->GetId());
    else citizen->ClearHome();
    citizen->SetMotive(1, c.energy);
    EXPECT_TRUE(citizen->StartInteraction(GetCityBehavior<cCityGameBehaviorSleepOnGround>(), 0));
    EXPECT_EQ(citizen->GetRate(1), tuning.sleepOnGroundEnergyDelta);
    Pump(1);
    EXPECT_EQ(citizen->HasInteraction(), c.sleepsOn) << c.energy;
    EXPECT_EQ(citizen->GetRate(1), c.sleepsOn ? tuning.sleepOnGroundEnergyDelta : tuning.worldEnergyDelta) << c.energy;
    citizen->EndInteraction();
  }
  // Left to sleep, it reaches the spot and wakes once rested.
  citizen->ClearHome();
  citizen->SetMotive(1, 5.0f);
  ASSERT_TRUE(citizen->StartInteraction(GetCityBehavior<cCityGameBehaviorSleepOnGround>(), 0));
  RunToEnd();
  EXPECT_LE(Distance(citizen->GetPosition(), City()->GetSleepingSpot()), 2.5f);
  EXPECT_GT(citizen->GetMotive(1), tuning.sleepOnGroundGetUp);
}

// A tired citizen goes into a house (hidden, counted, out of the scene) and
// comes out by a road to another house, never the road it came by; with only
// that road it comes out just outside with nowhere to head for.
TEST_F(CityBehaviorTest, ACitizenUsesAHouseAndComesOutByAnotherRoad) {
  auto* home = NewBuilding<cCityGameBuildingHouse>(520);
  auto* came = NewBuilding<cCityGameBuildingHouse>(420);
  auto* next = NewBuilding<cCityGameBuildingHouse>(620);
  cCityGameRoad* arrival = NewRoad(came, home);
  for (bool secondRoad : {true, false}) {
    cCityGameRoad* onward = secondRoad ? NewRoad(home, next) : nullptr;
    citizen->SetPosition(cFakeCityView::Ground(500, 500), Vector3{});
    citizen->SetMotive(1, 20.0f);
    citizen->SetArrivalRoad(arrival->GetId());
    citizen->SetPendingTarget(nullptr);
    ASSERT_TRUE(home->Interact(citizen, GetCityBehavior<cCityGameBehaviorUseBuilding>(), nullptr, 0));
    bool wasInside = false;
    RunToEnd([&] {
      const int state = static_cast<cCityGameBehaviorUseBuilding*>(citizen->GetInteraction())->GetState();
      if (state >= 1) { EXPECT_EQ(home->GetUsers(), 1); }  // counted from the door
      if (state == 2) { EXPECT_EQ(citizen->GetSceneObject()->GetSceneRefCount(), 0); }
      wasInside = wasInside || (state == 2 && citizen->IsHidden());
    });
    EXPECT_TRUE(wasInside) << secondRoad;
    EXPECT_EQ(home->GetUsers(), 0);
    EXPECT_FALSE(citizen->IsHidden());
    EXPECT_EQ(citizen->GetSceneObject()->GetSceneRefCount(), 1);
    EXPECT_FALSE(citizen->HasArrivalRoad());
    const float fromHome = Distance(citizen->GetPosition(), home->GetPosition());
    if (secondRoad) {
      EXPECT_EQ(citizen->GetPendingTargetId(), onward->GetId());
      EXPECT_EQ(citizen->GetDestinationBuildingId(), next->GetId());
      Vector3 roadEnd;  // the road starts at the house it leaves
      GetPlanetModel().ProjectToSurface(roadEnd, onward->GetPoints().front());
      EXPECT_LT(Distance(citizen->GetPosition(), roadEnd), 0.5f);
      Registry().RemoveNow(onward);
    } else {
      EXPECT_EQ(citizen->GetPendingTargetId(), kNoCityId);
      EXPECT_FALSE(citizen->HasDestinationBuilding());
      EXPECT_GE(fromHome, 1.3f * home->GetRadius() - 0.5f);
      EXPECT_LE(fromHome, 1.4f * home->GetRadius() + 0.5f);
    }
  }
}

// Inside, an occupant still wanting more stays up to the maximum stay (50 ms
// frames, the entering frame counted); a house turns a citizen out as soon as
// it is rested, before the minimum stay is over.
TEST_F(CityBehaviorTest, AnOccupantStaysBetweenTheMinimumAndMaximumStay) {
  SetTuningFloat(GetCityGameBuildingTuning(), "Sleep Minimum Stay", 2.0f);
  SetTuningFloat(GetCityGameBuildingTuning(), "Sleep Maximum Stay", 5.0f);
  auto* home = NewBuilding<cCityGameBuildingHouse>(500);
  GetDataManager()->CommitPending();
  struct sCase {
    float energy;
    int insideFramesAtLeast, insideFramesAtMost;
  } cases[] = {{99.0f, 1, 5}, {0.0f, 101, 101}};
  for (const sCase& c : cases) {
    citizen->SetPosition(cFakeCityView::Ground(500, 500), Vector3{});
    citizen->SetMotive(1, c.energy);
    ASSERT_TRUE(home->Interact(citizen, GetCityBehavior<cCityGameBehaviorUseBuilding>(), nullptr, 0));
    int inside = 0;
    RunToEnd([&] { inside += static_cast<cCityGameBehaviorUseBuilding*>(citizen->GetInteraction())->GetState() == 2; });
    EXPECT_GE(inside, c.insideFramesAtLeast) << c.energy;
    EXPECT_LE(inside, c.insideFramesAtMost) << c.energy;
  }
}

// A road is walked point by point toward the destination, backwards from its
// second end, and at the end the citizen goes on to use that building, having
// arrived by this road.
TEST_F(CityBehaviorTest, ARoadIsWalkedTowardItsDestinationEnd) {
  cCityGameBuilding* ends[2] = {NewBuilding<cCityGameBuildingHouse>(420), NewBuilding<cCityGameBuildingHouse>(620)};
  cCityGameRoad* road = NewRoad(ends[0], ends[1]);
  const int last = (int)road->GetPoints().size() - 1;
  struct sCase {
    int destination, firstIndex, step;
  } cases[] = {{0, last, -1}, {1, 0, 1}};
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.destination);
    cCityGameBuilding* from = ends[1 - c.destination];
    citizen->SetPosition(from->GetPosition(), Vector3{});
    for (int m = 0; m < 3; ++m) citizen->SetMotive(m, 100.0f);
    citizen->SetDestinationBuilding(ends[c.destination]->GetId());
    citizen->SetArrivalRoad(kNoCityId);
    EXPECT_TRUE(road->Interact(citizen, GetCityBehavior<cCityGameBehaviorFollowRoad>(), nullptr, 0));
    auto* follow = dynamic_cast<cCityGameBehaviorFollowRoad*>(citizen->GetInteraction());
    ASSERT_NE(follow, nullptr);
    EXPECT_EQ(follow->GetPointIndex(), c.firstIndex);
    int previous = c.firstIndex;
    RunToEnd([&] {
      EXPECT_GE((follow->GetPointIndex() - previous) * c.step, 0) << c.destination;
      previous = follow->GetPointIndex();
    });
    EXPECT_LT(Distance(citizen->GetPosition(), ends[c.destination]->GetPosition()), 1.6f * ends[c.destination]->GetRadius() + 0.5f);
    EXPECT_EQ(citizen->GetPendingTargetId(), ends[c.destination]->GetId());
    EXPECT_EQ(citizen->GetArrivalRoadId(), road->GetId());
  }
  // A destination that is not one of the road's ends ends the walk at once.
  citizen->SetDestinationBuilding(City()->GetId());
  citizen->SetPendingTarget(nullptr);
  ASSERT_TRUE(road->Interact(citizen, GetCityBehavior<cCityGameBehaviorFollowRoad>(), nullptr, 0));
  Pump(1);
  EXPECT_FALSE(citizen->HasInteraction());
  EXPECT_EQ(citizen->GetPendingTargetId(), kNoCityId);
  // Fault mended: a hungry citizen heading for a house left the road with no
  // errand; it now goes for what it needs, though the house would take it.
  citizen->SetDestinationBuilding(ends[1]->GetId());
  citizen->SetMotive(0, 20.0f);
  citizen->SetMotive(1, 50.0f);
  ASSERT_TRUE(ends[1]->IsPickable(citizen));
  ASSERT_TRUE(road->Interact(citizen, GetCityBehavior<cCityGameBehaviorFollowRoad>(), nullptr, 0));
  Pump(1);
  EXPECT_FALSE(citizen->HasInteraction());
  ASSERT_NE(citizen->ChooseTarget(), nullptr);
  EXPECT_EQ(citizen->GetPendingTargetId(), citizen->ChooseTarget()->GetId());
}

// A farm's finished product goes to the first empty-handed citizen at its
// door, who carries it off instead of going in; one already carrying goes in.
TEST_F(CityBehaviorTest, AFinishedProductGoesToTheFirstEmptyHandedCitizenAtTheDoor) {
  auto* farm = NewBuilding<cCityGameBuildingFarm>(560);
  GetDataManager()->CommitPending();
  struct sCase {
    bool carrying, takesProduct;
  } cases[] = {{false, true}, {true, false}};
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.carrying ? "carrying" : "empty-handed");
    delete citizen->TakeCarried();
    if (c.carrying) {
      auto* held = new cCityGameBundle;
      held->Initialize(City(), kCityGoods, 5.0f);
      EXPECT_TRUE(citizen->AttachCarried(held));
    }
    for (int m = 0; m < 3; ++m) citizen->SetMotive(m, 100.0f);
    citizen->SetPosition(cFakeCityView::Ground(500, 500), Vector3{});
    farm->AddProduced(1.0f);
    ASSERT_TRUE(farm->Interact(citizen, GetCityBehavior<cCityGameBehaviorUseProductionBuilding>(), nullptr, 0));
    bool wentToDoor = false;
    RunToEnd([&] { wentToDoor = wentToDoor || static_cast<cCityGameBehaviorUseBuilding*>(citizen->GetInteraction())->GetState() >= 1; });
    EXPECT_EQ(wentToDoor, !c.takesProduct) << c.carrying;
    EXPECT_EQ(farm->GetProductCount(), c.takesProduct ? 0 : 1) << c.carrying;
    ASSERT_NE(citizen->GetCarried(), nullptr);
    EXPECT_EQ(citizen->GetCarried()->GetKind(), c.takesProduct ? kCityFood : kCityGoods) << c.carrying;
    if (c.takesProduct) { EXPECT_NE(citizen->GetPendingTargetId(), kNoCityId); }
  }
}
