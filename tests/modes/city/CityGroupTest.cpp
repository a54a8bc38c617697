// City groups: fights and songs started by two citizens and ended by their
// duration, their motives or a lone member; the protest's crowd sound and
// its cycle's exits; the party's door, cake and bonus; citizens setting on a
// raider; and a seeded run in which every group's count matches its members.
#include <gtest/gtest.h>

#include "modes/city/behaviours/CityBehaviors.h"
#include "modes/city/cursors/CityMenuCursors.h"
#include "modes/city/groups/CityGroupFamily.h"
#include "modes/city/groups/CityRaidDisaster.h"
#include "tests/modes/city/CityTestSupport.h"

namespace {

using Ru::Math::Vector3;

// What a tribe member runs while raiding the city, as far as a citizen can tell.
class cRaidingForTest : public cCityGameInteraction {
 public:
  cIInteraction* Create() override { return new cRaidingForTest; }
  std::string GetName() override { return "Raiding From City"; }
  uint32_t GetInteractionId() override { return 0xEF6A244C; }
  uint32_t Step() override { return 1; }
};

class CityGroupTest : public cCityWorldTest {
 protected:
  void SetUp() override {
    cCityWorldTest::SetUp();
    Populate();
  }
  // Ten citizens held from their own choices, needs frozen, hungry enough to fight.
  void Populate() {
    citizens.clear();
    while (Count<cCityGamePlayerCreature>() < 10) CreateRegisteredCityObject<cCityGamePlayerCreature>()->Initialize(City());
    GetDataManager()->CommitPending();
    Registry().CollectObjectsOfClass(citizens);
    spot = City()->GetPosition();
    GetPlanetModel().GetRandomSurfacePointNear(spot, spot, 20.0f, 20.0f);
    for (cCityGamePlayerCreature* c : citizens) {
      c->SetOwnChoices(false);
      c->EndInteraction();
      c->SetRate(0, 0.0f);
      c->SetRate(1, 0.0f);
      c->SetMotive(0, 15.0f);  // low enough to fight, too low to sing
      c->SetMotive(1, 80.0f);
    }
  }
  template <class T>
  T* GroupOf(cCityGameCreature* c) {
    return dynamic_cast<T*>(GetCurrentGroup(c));
  }
  // Members in the group by their behaviours, to hold against its own count.
  int MembersOf(cCityGameGroup* group) {
    int n = 0;
    std::vector<cCityGameCreature*> all;
    Registry().CollectObjectsOfClass(all);
    for (cCityGameCreature* c : all) {
      auto* b = c->HasInteraction() ? dynamic_cast<cCityGameBehaviorGenericGroup*>(c->GetInteraction()) : nullptr;
      n += b && b->IsMember() && b->GetGroup() == group;
    }
    return n;
  }
  void PlaceAt(cCityGameCreature* c, const Vector3& at) { c->SetPosition(at, Vector3{}); }
  std::vector<cCityGamePlayerCreature*> citizens;
  Vector3 spot;
};

TEST_F(CityGroupTest, AFightOrSongLastsItsDurationFromTheLastJoinAndBobsOrSways) {
  struct sCase {
    bool sing;
    float hunger;
    const char* duration;
  } cases[] = {{false, 15.0f, "Fight Duration"}, {true, 90.0f, "Sing Duration"}};
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.duration);
    SetTuningFloat(GetCityGameTuning(), c.sing ? "Sing Start Chance" : "Fight Start Chance", 1.0f);
    for (int i = 0; i < 3; ++i) {
      citizens[i]->SetMotive(0, c.hunger);
      PlaceAt(citizens[i], spot);
    }
    EXPECT_TRUE(c.sing ? TryStartSing(citizens[0]) : TryStartFight(citizens[0]));
    tRefPtr<cCityGameGroup> group = GetCurrentGroup(citizens[0]);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(GetCurrentGroup(citizens[1]), group.Get()) << "the next citizen in id order is the partner";
    EXPECT_EQ(citizens[0]->GetInteraction()->GetName(), "Fight");  // the singers' label too
    Pump(100);  // 5 s, then a third joins and the clock starts again
    group->Interact(citizens[2], nullptr, nullptr, 0);
    Pump(198);
    EXPECT_EQ(group->GetMemberCount(), 3) << c.duration;
    const Vector3 offset = citizens[0]->GetOffset();
    if (c.sing) {
      EXPECT_NEAR(offset.x * offset.x + offset.z * offset.z, 1.0f, 1e-4f);
      EXPECT_EQ(offset.y, 0.0f);
    } else {
      EXPECT_TRUE(offset.x == 0.0f && offset.y >= 0.0f && offset.y <= 2.5f);
    }
    Pump(2);  // exactly 10 s after the last join: still on
    EXPECT_EQ(group->GetMemberCount(), 3) << c.duration;
    Pump(2);  // past 10 s after the last join: everyone leaves, the group goes
    EXPECT_TRUE(group->IsDead() || Registry().IsQueued(group.Get())) << c.duration;
    Pump(1);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(GetCurrentGroup(citizens[i]), nullptr);
      EXPECT_EQ(citizens[i]->GetOffset().y, 0.0f) << "the bob is gone when the member leaves";
    }
  }
}

TEST_F(CityGroupTest, AMemberRemovedOrTooTiredLeavesAtOnceAndALoneMemberEndsTheGroup) {
  SetTuningFloat(GetCityGameTuning(), "Fight Start Chance", 1.0f);
  PlaceAt(citizens[0], spot);
  PlaceAt(citizens[1], spot);
  ASSERT_TRUE(TryStartFight(citizens[0]));
  tRefPtr<cCityGameFightGroup> fight = GroupOf<cCityGameFightGroup>(citizens[0]);
  Pump(2);
  // Fault mended: a member killed in a fight must not keep its group alive.
  Registry().RemoveNow(citizens[1]);
  EXPECT_EQ(fight->GetMemberCount(), 1);
  Pump(1);
  EXPECT_EQ(Count<cCityGameFightGroup>(), 0);
  EXPECT_FALSE(citizens[0]->HasInteraction());

  // A singer whose need falls to "Low Motive" leaves; the other is then alone.
  SetTuningFloat(GetCityGameTuning(), "Sing Start Chance", 1.0f);
  for (int i : {2, 3}) {
    citizens[i]->SetMotive(0, 90.0f);
    PlaceAt(citizens[i], spot);
  }
  citizens[2]->SetMotive(0, 40.0f);  // at "Sing Motive Level" nobody sings; just above it, they do
  EXPECT_FALSE(TryStartSing(citizens[2]));
  citizens[2]->SetMotive(0, 40.1f);
  ASSERT_TRUE(TryStartSing(citizens[2]));
  Pump(2);
  citizens[3]->SetMotive(1, GetCityGameMotiveTuning().lowMotive);
  Pump(1);
  EXPECT_EQ(GetCurrentGroup(citizens[3]), nullptr);
  Pump(2);
  EXPECT_EQ(Count<cCityGameSingGroup>(), 0);
}

TEST_F(CityGroupTest, APasserByIsJudgedOnceAndOnlyWhenItMayJoin) {
  SetTuningFloat(GetCityGameTuning(), "Fight Start Chance", 1.0f);
  PlaceAt(citizens[0], spot);
  PlaceAt(citizens[1], spot);
  ASSERT_TRUE(TryStartFight(citizens[0]));
  PlaceAt(citizens[4], spot);
  PlaceAt(citizens[5], spot);
  citizens[5]->SetMotive(0, 90.0f);  // content: not judged, so not remembered
  SetTuningFloat(GetCityGameTuning(), "Fight Attracted Chance", 0.0f);
  EXPECT_FALSE(TryJoinNearbyGroup(citizens[4]));
  EXPECT_FALSE(TryJoinNearbyGroup(citizens[5]));
  SetTuningFloat(GetCityGameTuning(), "Fight Attracted Chance", 1.0f);
  EXPECT_FALSE(TryJoinNearbyGroup(citizens[4])) << "a lost roll is never rolled again";
  citizens[5]->SetMotive(0, 15.0f);
  EXPECT_TRUE(TryJoinNearbyGroup(citizens[5]));
  EXPECT_EQ(GetCurrentGroup(citizens[5]), GetCurrentGroup(citizens[0]));
  PlaceAt(citizens[8], spot);  // fights at "Fight Motive Level" (20), not just above it
  citizens[8]->SetMotive(0, 20.1f);
  EXPECT_FALSE(TryJoinNearbyGroup(citizens[8]));
  citizens[8]->SetMotive(0, 20.0f);
  EXPECT_TRUE(TryJoinNearbyGroup(citizens[8]));
  // Left to themselves, two standing together start their fight once "Fight Check Frequency" (1 s)
  // has passed, not at it.
  GetCityGameTuning().creatureSpeed = 0.0f;
  Vector3 apart;
  GetPlanetModel().GetRandomSurfacePointNear(apart, spot, 30.0f, 30.0f);
  for (int i : {6, 7}) {
    PlaceAt(citizens[i], apart);
    citizens[i]->SetOwnChoices(true);
  }
  Pump(20);  // 1000 ms since they were made
  EXPECT_EQ(GetCurrentGroup(citizens[6]), nullptr);
  Pump(1);
  EXPECT_NE(dynamic_cast<cCityGameFightGroup*>(GetCurrentGroup(citizens[6])), nullptr);
}

TEST_F(CityGroupTest, TheCrowdSoundSwellsWithTheProtestersPresent) {
  cCityGameProtestGroup* protest = City()->GetProtestGroup();
  struct sCase {
    int arrivals, level;
  } cases[] = {{0, -1}, {1, 0}, {3, 0}, {4, 1}, {8, 1}, {9, 2}};
  int joined = 0;
  for (const sCase& c : cases) {
    for (; joined < c.arrivals; ++joined) {
      PlaceAt(citizens[joined], protest->GetPosition());
      protest->Interact(citizens[joined], nullptr, nullptr, 0);
    }
    Pump(1);
    EXPECT_EQ(protest->GetArrivedCount(), c.arrivals);
    EXPECT_EQ(protest->GetSoundLevel(), c.level) << c.arrivals << " arrivals";
  }
  for (cCityGamePlayerCreature* c : citizens) c->EndInteraction();
  Pump(1);
  EXPECT_EQ(protest->GetSoundLevel(), cCityGameProtestGroup::kSilent);
}

TEST_F(CityGroupTest, AProtestCycleEndsInAnErrandASleepOrLeavingTheCity) {
  SetTuningFloat(GetCityGameTuning(), "Protest Duration", 1.0f);  // 1000 ms
  SetTuningFloat(GetCityGameTuning(), "Chance To Leave City", 100.0f);
  cCityGameProtestGroup* protest = City()->GetProtestGroup();
  struct sCase {
    float hunger, energy;
    bool errand, sleeps, leaves;
  } cases[] = {
      {5.0f, 50.0f, true, false, false},  // hungry with food in the city: eat at the hall
      {50.0f, 5.0f, false, true, false},  // worn out and homeless: lie down
      {5.0f, 30.0f, false, false, true},  // tired, homeless and starved: leave
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "hunger " << c.hunger << ", energy " << c.energy);
    cCityGamePlayerCreature* citizen = citizens[&c - cases];
    citizen->SetMotive(0, c.hunger);
    citizen->SetMotive(1, c.energy);
    PlaceAt(citizen, protest->GetPosition());
    protest->Interact(citizen, nullptr, nullptr, 0);
    Pump(19);  // still inside the first cycle
    EXPECT_EQ(GetCurrentGroup(citizen), protest) << "nobody leaves before the cycle ends";
    Pump(2);
    EXPECT_EQ(GetCurrentGroup(citizen), nullptr);
    EXPECT_EQ(citizen->GetPendingTargetId() == City()->GetId(), c.errand);
    EXPECT_EQ(dynamic_cast<cCityGameBehaviorSleepOnGround*>(citizen->GetPendingInteraction()) != nullptr, c.sleeps);
    EXPECT_EQ(citizen->IsLeaving(), c.leaves);
  }
}

TEST_F(CityGroupTest, APartyBoughtAndDroppedStartsTheBonusAndFeedsItsGuestsTillTheCakeIsGone) {
  const float money = City()->GetMoney();
  cCityGameCityCursor& menu = GetCityCityCursor();
  menu.Open(City(), 400, 300);
  menu.Choose(cCityGameCityCursor::kParty);
  tRefPtr<cCityGameParty> party = dynamic_cast<cCityGameParty*>(menu.GetPurchase());
  ASSERT_NE(party, nullptr);
  EXPECT_FLOAT_EQ(City()->GetMoney(), money - 25.0f);
  EXPECT_EQ(party->GetCakes(), GetCityGameTuning().smallPartySupplies);
  EXPECT_TRUE(Vector3Equal(party->GetSceneObject()->GetColour(), Vector3{1.0f, 0.0f, 1.0f}));
  ASSERT_EQ(menu.GetNextCursor(), &GetCityDragCursor());
  GetCityDragCursor().CompleteDrop();
  EXPECT_TRUE(party->IsBonusStarted());
  // Capacity 2: a party exactly full still draws a third in and lets it join,
  // one past it draws and takes nobody.
  SetTuningInt(GetCityGameTuning(), "Small Party Capacity", 2);
  party->SetSupplies(1);
  const struct {
    int members;
    bool accepted;
  } guests[] = {{0, true}, {1, true}, {2, true}, {3, false}};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(::testing::Message() << "guest " << i << " to a party of " << guests[i].members);
    PlaceAt(citizens[i], party->GetPosition());
    ASSERT_EQ(party->GetMemberCount(), guests[i].members);
    EXPECT_EQ(party->CanAccept(citizens[i]), guests[i].accepted);
    EXPECT_EQ(party->GetUseScore(citizens[i]) > 0.0f, guests[i].accepted);
    party->Interact(citizens[i], nullptr, nullptr, 0);
  }
  EXPECT_EQ(party->GetMemberCount(), 3);
  ASSERT_TRUE(Sys_OpenSoundLoopbackForTest(22050, 2));
  const int voices = Sys_VoiceCount();
  Pump(1);
  EXPECT_EQ(Sys_VoiceCount(), voices) << "the guests dance to no music";
  Sys_CloseSoundDevice();
  EXPECT_FALSE(citizens[3]->HasInteraction());
  EXPECT_EQ(party->GetMemberCount(), 3) << "the guest turned away never counted, so never leaves";
  EXPECT_EQ(party->GetArrivedCount(), 3);
  Pump(19);  // 1000 ms, exactly "Party Supply Time": nothing is handed out yet
  EXPECT_EQ(party->GetCakes(), 1);
  Pump(2);  // past the supply time: the first guest to step has the one cake
  // The others leave at once on an empty pile and drain a frame longer than the fed one.
  const float fedMore = GetCityGameTuning().smallPartyHungerInSupply - kFrameMs * GetCityGameMotiveTuning().worldHungerDelta;
  EXPECT_NEAR(citizens[0]->GetMotive(0) - citizens[1]->GetMotive(0), fedMore, 1e-4f);
  EXPECT_EQ(citizens[1]->GetMotive(0), citizens[2]->GetMotive(0));
  EXPECT_EQ(Registry().Find(party->GetId()), nullptr);
  EXPECT_EQ(party->GetSceneObject(), nullptr) << "the cake pile goes with the party";
  EXPECT_EQ(MembersOf(party.Get()), 0);
  Pump(20);  // the hall's next happiness sample carries the bonus
  EXPECT_GT(City()->GetPartyBonus(), 10.0f);
  Pump(300);  // "Party Bonus Duration" (15 s) has passed: the bonus is gone, not below nothing
  EXPECT_FLOAT_EQ(City()->GetPartyBonus(), 0.0f);
}

TEST_F(CityGroupTest, ACitizenSetsOnARaiderInReachAndTheFirstCitizenOutEndsTheDefence) {
  auto* raider = CreateRegisteredCityObject<cCityGameTribeCreature>();
  raider->Initialize(City());
  raider->SetRate(0, 0.0f);
  raider->SetRate(1, 0.0f);
  GetDataManager()->CommitPending();
  cRaidingForTest raiding;
  raider->StartInteraction(&raiding, 0);
  CreateRegisteredCityObject<cCityGameRaidDisaster>();  // raiders raid while their raid stands
  PlaceAt(raider, spot);
  SetTuningFloat(GetCityGameTuning(), "Raid Defense Start Chance", 100.0f);  // percent in the file
  Vector3 outOfReach;
  GetPlanetModel().GetRandomSurfacePointNear(outOfReach, spot, 2.5f, 2.5f);
  PlaceAt(citizens[1], outOfReach);
  EXPECT_FALSE(TryStartRaidDefense(citizens[1])) << "2.5 units is out of the 2.0 reach";
  PlaceAt(citizens[0], spot);
  ASSERT_TRUE(TryStartRaidDefense(citizens[0]));
  tRefPtr<cCityGameRaidDefenseGroup> defence = GroupOf<cCityGameRaidDefenseGroup>(citizens[0]);
  ASSERT_NE(defence, nullptr);
  EXPECT_EQ(GetCurrentGroup(raider), defence.Get());
  EXPECT_FLOAT_EQ(citizens[0]->GetRate(0), GetCityGameTuning().raidDefenseHungerDelta);
  citizens[0]->EndInteraction();
  EXPECT_FLOAT_EQ(citizens[0]->GetRate(0), GetCityGameMotiveTuning().worldHungerDelta);
  EXPECT_FALSE(defence->HasCitizen());
  for (int i = 0; i < 400 && GetCurrentGroup(raider); ++i) Pump(1);  // its next step at the group ends it
  EXPECT_EQ(GetCurrentGroup(raider), nullptr);
  Pump(1);
  EXPECT_EQ(Registry().Find(defence->GetId()), nullptr);
}

TEST_F(CityGroupTest, TribeMembersComeOutAgainstCitizensWithinTheSquaredRadiusWhileTheFightIsSmall) {
  UseScript("CityGame_PlayerRaidSuccess.txt", "Tribe_To_Raider_Multiplier = 2\n");
  SetTuningFloat(GetCityGameTuning(), "Tribe Raid Defense Radius", 10.0f);
  auto* tribe = CreateRegisteredCityObject<cCityGameTribe>();
  tribe->Initialize(City());
  GetDataManager()->CommitPending();
  std::vector<cCityGameTribeCreature*> members;
  for (uint32_t id : tribe->GetMembers()) members.push_back(dynamic_cast<cCityGameTribeCreature*>(Registry().Find(id)));
  ASSERT_GE(members.size(), 3u);
  for (cCityGameTribeCreature* m : members) m->EndInteraction();
  cCityGamePlayerCreature* attacker = citizens[0];
  tribe->Interact(attacker, GetCityBehavior<cCityGameBehaviorAttackTribe>(), nullptr, 0);
  struct sCase {
    float distance;  // of the attacker from the village
    bool starts, joins;
  } cases[] = {
      {3.2f, false, false},  // "Tribe Raid Defense Radius" 10 is a squared reach: about 3.16 units
      {3.1f, true, false},   // the first member comes out and a defence starts
      {3.1f, false, true},   // the second joins the attacker's fight: 2 < 2 + 1
      {3.1f, false, false},  // the third finds it full
  };
  cCityGameGroup* defence = nullptr;
  for (size_t i = 0; i < 4; ++i) {
    const sCase& c = cases[i];
    Vector3 at;
    GetPlanetModel().GetRandomSurfacePointNear(at, tribe->GetPosition(), c.distance, c.distance);
    PlaceAt(attacker, at);
    cCityGameTribeCreature* member = members[i == 0 ? 0 : i - 1];
    EXPECT_EQ(TryStartRaidDefense(member), c.starts) << "case " << i;
    if (c.starts) defence = GetCurrentGroup(member);
    EXPECT_EQ(GetCurrentGroup(member) != nullptr, c.starts || c.joins) << "case " << i;
    if (c.joins) { EXPECT_EQ(GetCurrentGroup(member), defence); }
  }
  ASSERT_NE(defence, nullptr);
  EXPECT_EQ(defence->GetMemberCount(), 3);
  Registry().RemoveNow(members[0]);  // fallen in the fight: out of it at once
  EXPECT_EQ(defence->GetMemberCount(), 2);

  // Fault mended: a huge answer let every member in; it counts as at most the
  // tribe's members (now 4), so with a second citizen in, the fight is full.
  UseScript("CityGame_PlayerRaidSuccess.txt", "Tribe_To_Raider_Multiplier = 100000\n");
  defence->Interact(citizens[1], nullptr, nullptr, 0);
  defence->Interact(citizens[2], nullptr, nullptr, 0);
  defence->Interact(citizens[3], nullptr, nullptr, 0);
  ASSERT_EQ(defence->GetMemberCount(), 5);
  EXPECT_FALSE(TryStartRaidDefense(members[3]));
  EXPECT_EQ(GetCurrentGroup(members[3]), nullptr);
}

}  // namespace
