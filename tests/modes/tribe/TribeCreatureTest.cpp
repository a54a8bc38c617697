// The tribe creature: need setters, arrival, movement, speed, eating what it
// carries, the role models, its candidates, its saved fields and the statics
// it is built from.
#include <gtest/gtest.h>

#include <string>

#include "math/Math.h"
#include "modes/tribe/HuntInteractions.h"
#include "modes/tribe/MemberInteractions.h"
#include "modes/tribe/RaidInteractions.h"
#include "modes/tribe/TribeStatics.h"
#include "sim/gamedata/MemoryStream.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"
#include "sim/tuning/SharedTuningData.h"
#include "sim/tuning/TribeTuningData.h"
#include "TribeCreatureSupport.h"
#include "world/scene/SceneManager.h"

using namespace Ru::Math;

namespace {

// Sets one constant of the global tribe tuning until the end of the scope.
struct cScopedTribeTuning {
  cScopedTribeTuning(const char* name, eTuningConstantType type, uTuningValue value)
      : mSlot(GetTribeTuningData().FindConstant(name, type)) {
    EXPECT_NE(mSlot, nullptr) << name;
    if (!mSlot) return;
    mOld = *mSlot;
    *mSlot = value;
    GetTribeTuningData().ApplyConstants();
  }
  ~cScopedTribeTuning() {
    if (!mSlot) return;
    *mSlot = mOld;
    GetTribeTuningData().ApplyConstants();
  }

 private:
  uTuningValue* mSlot;
  uTuningValue mOld{};
};

using TribeCreatureTest = TribeCreatureFixture;

}  // namespace

TEST_F(TribeCreatureTest, NeedSettersStoreNegativeValuesAsZeroAndKeepTheRest) {
  cTribeCreature* c = MakeCreature();
  struct Case {
    void (cTribeCreature::*set)(float);
    float (cTribeCreature::*get)() const;
    float in, stored;
  } cases[] = {
      {&cTribeCreature::SetHealth, &cTribeCreature::GetHealth, -3.0f, 0.0f},
      {&cTribeCreature::SetHealth, &cTribeCreature::GetHealth, 42.5f, 42.5f},
      {&cTribeCreature::SetEnergy, &cTribeCreature::GetEnergy, -0.5f, 0.0f},
      {&cTribeCreature::SetEnergy, &cTribeCreature::GetEnergy, 130.0f, 130.0f},
      {&cTribeCreature::SetHunger, &cTribeCreature::GetHunger, -100.0f, 0.0f},
      {&cTribeCreature::SetHunger, &cTribeCreature::GetHunger, 0.0f, 0.0f},
  };
  for (const Case& k : cases) {
    (c->*k.set)(k.in);
    EXPECT_EQ((c->*k.get)(), k.stored) << k.in;
  }
}

TEST_F(TribeCreatureTest, ArrivalIsWithinTheRadiusAndAlwaysTrueWithoutADestination) {
  cTribeCreature* c = MakeCreature();
  const Vector3 here{c->GetPosition()[0], c->GetPosition()[1], c->GetPosition()[2]};
  c->SetDestinationNear(Vector3{0, 0, 0}, 5.0f);
  EXPECT_TRUE(c->HasArrived(0.0f)) << "no destination means arrived";

  c->SetDestinationNear(Vector3Add(here, Vector3{2.0f, 0.0f, 0.0f}), 0.0f);  // projected, about 2 away
  const float d = Vector3Length(Vector3Sub(*c->GetDestination(), here));
  struct Case {
    float radius;
    bool arrived;
  } cases[] = {{-1.0f, false}, {d - 0.01f, false}, {d + 0.01f, true}, {10.0f, true}};
  for (const Case& k : cases) EXPECT_EQ(c->HasArrived(k.radius), k.arrived) << k.radius;
}

TEST_F(TribeCreatureTest, DestinationsNearAPointStayWithinTheRadiusOrItsDefault) {
  cTribeCreature* c = MakeCreature();
  const Vector3 point{0.0f, 520.0f, 0.0f};
  for (float radius : {3.0f, -1.0f}) {
    const float limit = radius > 0 ? radius : 2.0f * GetSharedTuningData().GetTribeSelectionRadius();
    for (int i = 0; i < 20; ++i) {
      c->SetDestinationNear(point, radius);
      const Vector3 dest = *c->GetDestination();
      EXPECT_NEAR(Vector3Length(dest), GetPlanetModel().GetSurfaceRadius(dest), 1e-2f);
      EXPECT_LT(GetPlanetModel().GetSurfaceDistance(dest, point), limit + 0.5f) << radius;
    }
  }
}

TEST_F(TribeCreatureTest, MovingSetsTheVelocityAndZeroSecondsLeaveItAlone) {
  cTribeCreature* c = MakeCreature();
  c->MoveForward(0.5f, 2.0f);
  const Vector3 v = *c->GetVelocity();
  EXPECT_NEAR(Vector3Length(v), 2.0f, 0.05f) << "one unit in half a second";
  c->MoveForward(0.0f, 9.0f);
  c->MoveForward(-1.0f, 9.0f);
  EXPECT_TRUE(Vector3Equal(*c->GetVelocity(), v));
}

TEST_F(TribeCreatureTest, SpeedIsTheTunedSpeedTimesTheFactor) {
  uTuningValue speed;
  speed.asFloat = 1.5f;
  cScopedTribeTuning tuning("creatureSpeed", kTuningFloat, speed);
  cTribeCreature* c = MakeCreature();
  c->SetSpeedFactor(2.0f);
  EXPECT_FLOAT_EQ(c->GetSpeed(), 3.0f);
}

// Regression: the cost used to be taken whole even beyond what was carried
// (negative food) and added to hunger as food units.
TEST_F(TribeCreatureTest, EatingCarriedFoodBuysHungerPointsWithinWhatIsCarried) {
  uTuningValue eatFood;
  eatFood.asInt = 5;  // one hunger point costs 0.05 food
  cScopedTribeTuning tuning("eatfood", kTuningInt, eatFood);
  cTribeCreature* c = MakeCreature();
  struct Case {
    float carried, hunger, carriedAfter, hungerAfter;
  } cases[] = {
      {3.0f, 0.0f, 0.0f, 60.0f},    // all food eaten, 60 points bought
      {10.0f, 50.0f, 7.5f, 100.0f}, // full after 2.5 food
      {0.0f, 20.0f, 0.0f, 20.0f},   // nothing carried: nothing happens
      {1.0f, 100.0f, 1.0f, 100.0f}, // already full
  };
  for (const Case& k : cases) {
    c->SetCarriedFood(k.carried);
    c->SetHunger(k.hunger);
    c->EatCarriedFood();
    EXPECT_FLOAT_EQ(c->GetCarriedFood(), k.carriedAfter) << k.carried << " " << k.hunger;
    EXPECT_FLOAT_EQ(c->GetHunger(), k.hungerAfter) << k.carried << " " << k.hunger;
  }
}

// Regression: roles 2 and 5 and a role never set (100, kept by loaded
// creatures) had no model, and the body was given a null shape.
TEST_F(TribeCreatureTest, EveryRoleDrawsARealModelAndRolesWithoutOneFallBackToNoRole) {
  cTribeCreature* c = MakeCreature();
  cISceneShape* noRole = cTribeCreature::GetRoleModel(0);
  ASSERT_NE(noRole, nullptr);
  EXPECT_EQ(cTribeCreature::GetRoleModel(1), cTribeCreature::GetRoleModel(9)) << "hunters and defenders share a shape";
  struct Case {
    uint32_t role;
    bool ownModel;
  } cases[] = {{1, true}, {2, false}, {3, true}, {4, true}, {5, false}, {6, true},
               {7, true}, {8, true},  {9, true}, {0, true}, {cTribeCreature::kNoRole, false}, {12345, false}};
  for (const Case& k : cases) {
    c->SetRole(k.role);
    cSceneObject* body = c->GetCommon()->GetSceneObject();
    ASSERT_NE(body, nullptr);
    ASSERT_NE(body->GetShape(), nullptr) << k.role;
    EXPECT_EQ(body->GetShape() == noRole, !k.ownModel || k.role == 0) << k.role;
    EXPECT_EQ(body->GetOwner(), c);
  }
  // A creature loaded with its role never set gets the NoRole look on its refresh.
  tRefPtr<cCreatureCommon> record(new cCreatureCommon());
  tRefPtr<cTribeCreature> loaded(new cTribeCreature());
  creatures.push_back(loaded);
  loaded->SetCommon(record.Get());
  record->SetSceneObject(new cSceneObject(nullptr, cTribeCreature::GetRoleModel(3)));
  loaded->RefreshRoleModel();
  EXPECT_EQ(record->GetSceneObject()->GetShape(), noRole);
  EXPECT_EQ(loaded->GetRole(), cTribeCreature::kNoRole);
}

TEST_F(TribeCreatureTest, ANewRoleSwapsTheBodyInPlaceAndTheSameRoleTouchesNothing) {
  cTribeCreature* c = MakeCreature(Vector3{0.3f, 1.0f, 0.2f});
  c->SetColour(Vector3{1, 1, 1});
  c->SetRole(4);
  cSceneObject* body = c->GetCommon()->GetSceneObject();
  const Vector3 where = body->GetPosition();
  c->SetRole(4);
  EXPECT_EQ(c->GetCommon()->GetSceneObject(), body) << "same role: same body";
  c->SetRole(8);
  cSceneObject* swapped = c->GetCommon()->GetSceneObject();
  EXPECT_NE(swapped, body);
  EXPECT_TRUE(Vector3Equal(swapped->GetPosition(), where));
  EXPECT_TRUE(Vector3Equal(swapped->GetColour(), Vector3{1, 1, 1})) << "keeps its colour (selection, tribe)";
  EXPECT_EQ(swapped->GetShape(), cTribeCreature::GetRoleModel(8));
}

TEST_F(TribeCreatureTest, CandidatesAreTheFiveNeedInteractionsInTieBreakOrderBuiltOnce) {
  cTribeCreature* a = MakeCreature();
  cTribeCreature* b = MakeCreature();
  ASSERT_TRUE(cTribeCreature::AreClassDataBuilt());
  tCandidateList* list = a->GetCandidates();
  EXPECT_EQ(list, b->GetCandidates());
  const std::vector<cIInteraction*> expected = {GetTribePrototype<cMemberIdles>(), GetTribePrototype<cMemberRests>(),
                                                GetTribePrototype<cMemberHeals>(), GetTribePrototype<cMemberEats>(),
                                                GetTribePrototype<cMemberHunts>()};
  EXPECT_EQ(*list, expected);
  std::vector<std::string> names;
  for (cIInteraction* i : *list) names.push_back(i->GetName());
  EXPECT_EQ(names, (std::vector<std::string>{"Idling", "Rests", "Healing", "Eating", "Hunting "}));
}

// A creature without a tribe has no hut to go to: what it picks it gives up
// at its first step.
TEST_F(TribeCreatureTest, ACreatureWithoutATribeGivesUpWhatItChoosesAtOnce) {
  tRefPtr<cTribeCreature> c(dynamic_cast<cTribeCreature*>(MakeCreature()->Create()));
  ASSERT_TRUE(c);
  creatures.push_back(c);
  EXPECT_TRUE(GetBehaviorController().ContainsAgent(c.Get())) << "Create registers the agent";
  GetBehaviorController().Update(16);
  ASSERT_TRUE(c->HasInteraction());
  GetBehaviorController().Update(16);
  EXPECT_FALSE(c->HasInteraction());
}

TEST_F(TribeCreatureTest, CastAnswersOnlyTheAgentInterface) {
  cTribeCreature* c = MakeCreature();
  EXPECT_EQ(c->Cast(cTribeCreature::kAgentInterfaceId), static_cast<void*>(c));
  EXPECT_EQ(c->Cast(0x4E8B5ABE), nullptr);
}

TEST_F(TribeCreatureTest, RoleAndCarriedFoodRoundTripFromVersionTwoAndShortRecordsChangeNothing) {
  cTribeCreature* from = MakeCreature();
  from->SetRole(7);
  from->SetCarriedFood(12.25f);
  cMemoryStream written;
  from->Write(written, 8);
  EXPECT_EQ(written.GetSize(), 8u);
  cMemoryStream stream;
  stream.InitFromBytes(written.GetData(), written.GetSize());

  cTribeCreature* to = MakeCreature();
  to->Read(stream, 1);  // version 1 holds neither field
  EXPECT_EQ(to->GetRole(), cTribeCreature::kNoRole);
  to->Read(stream, 8);
  EXPECT_EQ(to->GetRole(), 7u);
  EXPECT_EQ(to->GetCarriedFood(), 12.25f);

  cMemoryStream shortStream;
  shortStream.WriteUInt32Value(3);
  cTribeCreature* untouched = MakeCreature();
  untouched->Read(shortStream, 8);
  EXPECT_EQ(untouched->GetRole(), cTribeCreature::kNoRole);
  EXPECT_EQ(untouched->GetCarriedFood(), 0.0f);
}

TEST_F(TribeCreatureTest, MetersJoinAndLeaveTheSceneAndTheStatusMeterFloatsTwoUnitsUp) {
  cTribeCreature* c = MakeCreature();
  c->ShowHealthMeter(true);
  cSceneObject* meter = c->GetHealthMeter();
  ASSERT_NE(meter, nullptr);
  c->ShowHealthMeter(true);
  EXPECT_EQ(c->GetHealthMeter(), meter) << "showing twice keeps one meter";
  c->ShowHealthMeter(false);
  EXPECT_EQ(c->GetHealthMeter(), nullptr);

  c->ShowStatusMeter(true);
  ASSERT_NE(c->GetStatusMeter(), nullptr);
  const Vector3 body{c->GetPosition()[0], c->GetPosition()[1], c->GetPosition()[2]};
  const Vector3 above = c->GetStatusMeter()->GetPosition();
  EXPECT_NEAR(Vector3Length(above) - Vector3Length(body), 2.0f, 1e-3f);
  c->ShowStatusMeter(false);
  EXPECT_EQ(c->GetStatusMeter(), nullptr);
}

// Regression: the looting prototype loaded its script in its constructor,
// which ran during static initialisation, before main.
// First use means first in the process: the case runs in a fresh one.
TEST_F(TribeCreatureTest, StaticsAreBuiltOnFirstUseAndBuildingThemLoadsNoScript) {
  RunInFreshProcess([] {
    cMessageCapture boxes;
    cMemberLoots* loots = GetTribePrototype<cMemberLoots>();
    EXPECT_EQ(loots, GetTribePrototype<cMemberLoots>());
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(GetTribeProgram(eTribeProgram::LootResult).Code().empty()) << "no load until a loot starts";
    EXPECT_EQ(&GetTribeProgram(eTribeProgram::RaidResult), &GetTribeProgram(eTribeProgram::RaidResult));
    EXPECT_NE(&GetTribeProgram(eTribeProgram::RaidResult), &GetTribeProgram(eTribeProgram::GroupRaidResult));
  });
}

TEST_F(TribeCreatureTest, AScriptThatCannotBeLoadedIsReportedByNameAndKeepsTheProgram) {
  cScratchDir empty;
  cMessageCapture boxes;
  {
    cScopedWorkingDir inside(empty.Path());
    ASSERT_TRUE(inside.Entered());
    EXPECT_FALSE(LoadTribeProgram(eTribeProgram::IdleResult));
    EXPECT_FALSE(LoadTribeProgram(eTribeProgram::MoveHutResult, "Script Error",
                                  "Couldn't load program tribe_move_hut_result.txt"));
  }
  ASSERT_EQ(boxes.boxes.size(), 2u);
  EXPECT_EQ(boxes.boxes[0].caption, "Script Error");
  EXPECT_EQ(boxes.boxes[0].text, "Failed to load tribe_idle_result.txt");
  EXPECT_EQ(boxes.boxes[1].text, "Couldn't load program tribe_move_hut_result.txt");
  EXPECT_TRUE(LoadTribeProgram(eTribeProgram::IdleResult)) << "the authored script loads";
  EXPECT_FALSE(GetTribeProgram(eTribeProgram::IdleResult).Code().empty());
}
