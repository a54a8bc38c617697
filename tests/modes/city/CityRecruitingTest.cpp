// Recruiting both ways: a tribe's drive that wins citizens in its reach by
// chance, the player's drive that wins the formula's count of members, and
// creatures that leave the game while walking over changing nobody.
#include <gtest/gtest.h>

#include "modes/city/groups/CityRecruiting.h"
#include "tests/modes/city/CityTestSupport.h"

namespace {

using Ru::Math::Vector3;

class CityRecruitingTest : public cCityTribeWorldTest {
 protected:
  void SetUp() override {
    cCityTribeWorldTest::SetUp();
    GetCityGameTuning().recruitDisasterDuration = 500.0f;
    tribe = tribes[5];
  }
  template <class T>
  T* Drive() {
    std::vector<T*> drives;
    Registry().CollectObjectsOfClass(drives);
    return drives.empty() ? nullptr : drives[0];
  }
  // Frames until no drive of that kind is left; false when one stays.
  template <class T>
  bool RunUntilGone(int frames = 5000) {
    for (int i = 0; i < frames && Drive<T>(); ++i) Pump(1);
    return Drive<T>() == nullptr;
  }
  cCityGameTribe* tribe = nullptr;
};

// The chance runs from "Max" in an unhappy city to "Min" in a happy one.
TEST_F(CityRecruitingTest, ATribesDriveWinsTheCitizensInItsReachByChanceAndEnds) {
  struct sCase {
    float min, max, happiness;
    bool won;
    float gap = 0.0f;  // of the citizen from the drive; the reach is 15 (one recruiter)
  } cases[] = {{1.0f, 1.0f, 50.0f, true}, {0.0f, 0.0f, 50.0f, false}, {0.0f, 1.0f, 0.0f, true},
               {0.0f, 1.0f, 100.0f, false}, {1.0f, 0.0f, 100.0f, true},
               {1.0f, 1.0f, 50.0f, false, 15.0f}, {1.0f, 1.0f, 50.0f, true, 14.99f}};
  for (const sCase& k : cases) {
    SCOPED_TRACE(testing::Message() << k.min << "-" << k.max << " at " << k.happiness << ", " << k.gap << " off");
    TearDown();
    SetUp();
    UseScript("CityGame_TribeSendingRecruiters.txt", "Size_Of_Party_To_Send_Now = 0\n");
    UseScript("CityGame_TribeSendingRaiders.txt", "Number_Of_Raiders_To_Send = 0\n");
    UseScript("CityGame_CreaturePopulation.txt", "Add_Creatures = 0\n");  // a happy city grows no one meanwhile
    for (cCityGamePlayerCreature* c : Citizens())  // a citizen's happiness is the mean of its hunger and energy
      for (int motive : {0, 1}) c->SetMotive(motive, k.happiness), c->SetRate(motive, 0.0f);
    Pump(16, 2000);  // every sample of the city's happiness taken anew
    EXPECT_NEAR(City()->GetHappiness(), k.happiness, 1.0f);
    GetCityGameTuning().recruitDisasterMinRecruitChance = k.min;
    GetCityGameTuning().recruitDisasterMaxRecruitChance = k.max;
    EXPECT_TRUE(tribe->SendRecruiters(1));
    auto* drive = Drive<cCityGameRecruitDisaster>();
    ASSERT_NE(drive, nullptr);
    PlaceAt(MembersOf(tribe)[0], drive->GetPosition());
    cCityGamePlayerCreature* near = Citizens()[0];
    PlaceAt(near, drive->GetPosition());
    if (k.gap > 0.0f) {  // the citizen at the pole, the drive off the ground that far from it, the rest far off
      for (cCityGamePlayerCreature* c : Citizens()) PlaceAt(c, Vector3{110.0f, 0.0f, 0.0f});
      PlaceAt(near, Vector3{0.0f, 110.0f, 0.0f});
      drive->SetPosition(Vector3{0.0f, near->GetPosition().y, k.gap}, Vector3{});
      PlaceAt(MembersOf(tribe)[0], drive->GetPosition());
    }
    const size_t citizens = Citizens().size();
    const int members = tribe->GetMemberCount();
    Pump(2);
    EXPECT_TRUE(drive->HasGathered());
    EXPECT_TRUE(drive->HasMusicStarted());
    EXPECT_FLOAT_EQ(drive->GetReach(), 15.0f);  // one recruiter: the base radius and one step
    EXPECT_EQ(near->IsSlowed(), k.gap < 15.0f) << k.gap;
    EXPECT_TRUE(RunUntilGone<cCityGameRecruitDisaster>());
    EXPECT_FALSE(tribe->IsRecruiting());
    EXPECT_EQ(near->IsLeaving(), k.won) << k.min << "-" << k.max << " at " << k.happiness;  // walks off to the tribe
    if (!k.won) continue;
    const uint32_t nearId = near->GetId();
    for (int i = 0; i < 2000 && Registry().Find(nearId); ++i) Pump(1);  // the won-over walks to the tribe
    EXPECT_EQ(Citizens().size(), citizens - 1);
    EXPECT_EQ(tribe->GetMemberCount(), members + 1);
  }
}

TEST_F(CityRecruitingTest, ThePlayersDriveWinsTheFormulasCountOfMembersWhoBecomeCitizens) {
  UseScript("CityGame_PlayerRecruitingTribeMembers.txt", "Number_Of_Recruitees = 2\n");
  auto* manager = CreateRegisteredCityObject<cCityGameRecruitManager>();
  manager->Start(City(), tribe);
  manager->SetPosition(tribe->GetPosition(), Vector3{});
  cCityGamePlayerCreature* recruiter = Citizens()[0];
  manager->Interact(recruiter, nullptr, nullptr, 1);
  manager->SetRecruitCount(1);
  PlaceAt(recruiter, manager->GetPosition());
  const size_t citizens = Citizens().size();
  const int members = tribe->GetMemberCount();
  ASSERT_TRUE(RunUntilGone<cCityGameRecruitManager>());
  for (int i = 0; i < 100; ++i) Pump(1);  // the won-over stand within 15 of their tribe already
  EXPECT_EQ(tribe->GetMemberCount(), members - 2);
  EXPECT_EQ(Citizens().size(), citizens + 2);
}

// Fault mended: the won-over changed sides whenever their part ended, also
// when the creature itself was being removed or the city cleared for a load.
TEST_F(CityRecruitingTest, ACreatureLeavingTheGameWhileWonOverChangesNobody) {
  std::vector<cCityGameTribeCreature*> members = MembersOf(tribe);
  tribe->StartRecruitedMembers(2);
  const size_t citizens = Citizens().size();
  Registry().RemoveNow(members[0]);
  EXPECT_EQ(Citizens().size(), citizens);
  tribe->Interact(Citizens()[0], GetCityBehavior<cCityRecruitedCityMemberInteraction>(), nullptr, 0);
  Registry().Clear();  // a load: the citizen walking over ends with everything else
  GetDataManager()->CommitPending();
  EXPECT_EQ(Registry().GetCount(), 0u);
  EXPECT_TRUE(GetDataManager()->GetObjectsOfType(cCityGameTribeCreature::kTypeId).empty());
}

}  // namespace
