// Half an hour of the tribe mode, headless, with the game's own scripts:
// rival tribes settle, grow and raid, the player sends hunting and raiding
// parties, lone members hunt when starving. The world must stay sane the
// whole time, and a second run with the same seed must match the first.
#include <cmath>
#include <cstdio>

#include "modes/tribe/HuntInteractions.h"
#include "modes/tribe/RaidInteractions.h"
#include "modes/tribe/TribeCreatureGroup.h"
#include "modes/tribe/TribeHerd.h"
#include "tests/modes/tribe/TribeTestSupport.h"

namespace {

constexpr uint32_t kFrame = 16;  // the game's frame at 60 per second
constexpr int kRunFrames = 30 * 60 * 1000 / kFrame;
constexpr int kDigestEvery = 10 * 1000 / kFrame;  // ten seconds
constexpr int kHuntEvery = 45 * 1000 / kFrame;
constexpr int kRaidEvery = 4 * 60 * 1000 / kFrame;
constexpr uint32_t kMostRivalMembers = 8;   // the size script's cap
constexpr uint32_t kMostPlayerMembers = 40;

class TribeLongRunTest : public cTribeWorldTest {
 protected:
  TribeLongRunTest() { enterOnSetUp = false; }

  // The game's own placement script instead of the fixture's empty one.
  void EnterTheGamesWorld() {
    std::remove(scripts.File("tribe_npc_location.txt").c_str());
    for (int i = 0; i < 50; ++i) messages.answers.push_back(SysAnswer::Cancel);  // keep playing at the city stage
    Enter();
  }

  // Up to `count` free, fit members of the player's tribe as one party.
  bool SendParty(cIInteraction* prototype, tTargetWord target, size_t count) {
    if (!target) return false;
    tRefPtr<cTransientCreatureGroup> party(new cTransientCreatureGroup());
    for (cTribeCreature* member : Members()) {
      if (party->GetMemberCount() >= count) break;
      if (!member->HasGroup() && member->GetEnergy() > 50.0f && member->GetHealth() > 50.0f && member->GetHunger() > 50.0f)
        party->AddMember(member);
    }
    if (party->GetMemberCount() == 0) return false;
    GetBehaviorController().AddAgent(party.Get());
    return party->StartInteraction(prototype, target);
  }

  uint64_t Digest() {
    sRunDigest hash;
    for (cTribeCreature* creature : Objects()->GetCreatures()) {
      const float* p = creature->GetPosition();
      for (float v : {p[0], p[1], p[2], creature->GetEnergy(), creature->GetHealth(), creature->GetHunger(),
                      creature->GetCarriedFood()})
        hash.Mix(v);
    }
    for (cTribe* tribe : Objects()->GetTribes()) {
      hash.Mix(tribe->GetFood());
      hash.Mix((float)tribe->GetPopulation());
    }
    for (cTribeHerd* herd : Objects()->GetHerds()) {
      const float* p = herd->GetPosition();
      for (float v : {p[0], p[1], p[2], (float)herd->GetCount()}) hash.Mix(v);
    }
    return hash.value;
  }

  // Every creature, tribe and herd within bounds; false (with a failure) on the first that is not.
  bool Sane(int frame) {
    const int failuresBefore = ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
    for (cTribeCreature* creature : Objects()->GetCreatures()) {
      const float* p = creature->GetPosition();
      for (float v : {p[0], p[1], p[2]}) EXPECT_TRUE(std::isfinite(v)) << "frame " << frame;
      for (float need : {creature->GetEnergy(), creature->GetHealth(), creature->GetHunger(), creature->GetCarriedFood()})
        EXPECT_TRUE(std::isfinite(need) && need >= 0.0f) << "frame " << frame << " need " << need;
      EXPECT_GT(Ru::Math::Vector3Length(Ru::Math::Vector3{p[0], p[1], p[2]}), 400.0f) << "frame " << frame;
    }
    for (cTribe* tribe : Objects()->GetTribes()) {
      EXPECT_TRUE(std::isfinite(tribe->GetFood()) && tribe->GetFood() >= 0.0f) << "frame " << frame;
      EXPECT_LE(tribe->GetPopulation(), tribe == Player() ? kMostPlayerMembers : kMostRivalMembers) << "frame " << frame;
    }
    for (cTribeHerd* herd : Objects()->GetHerds()) {
      const float* p = herd->GetPosition();
      for (float v : {p[0], p[1], p[2]}) EXPECT_TRUE(std::isfinite(v)) << "frame " << frame;
    }
    return ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count() == failuresBefore;
  }

  struct sRun {
    std::vector<uint64_t> digests;
    int rivalRaids = 0;  // frames on which a rival's raid set out
  };

  sRun Run() {
    sRun run;
    EnterTheGamesWorld();
    bool raiding = false;
    for (int frame = 1; frame <= kRunFrames; ++frame) {
      Pump(1, kFrame);
      if (frame % kHuntEvery == 0) {
        cTribeHerd* game = Objects()->FindNearestHerdOfType(kTribeHerdBigGame);
        SendParty(GetTribePrototype<cTribeGroupHunts>(), game ? TargetWordOf(game) : 0, 3);
      }
      if (frame % kRaidEvery == 0) {
        cTribeHut* rival = Objects()->FindNearestRivalHut(HutPosition());
        SendParty(GetTribePrototype<cTribeGroupRaids>(), rival ? TargetWordOf(rival) : 0, 3);
      }
      bool rivalsOut = false;
      for (cTribe* tribe : Objects()->GetTribes())
        for (cTribeCreature* member : tribe->GetMembers()) rivalsOut = rivalsOut || (tribe != Player() && member->HasGroup());
      run.rivalRaids += rivalsOut && !raiding ? 1 : 0;
      raiding = rivalsOut;
      if (frame % kDigestEvery == 0) {
        run.digests.push_back(Digest());
        if (!Sane(frame)) break;
      }
    }
    return run;
  }
};

TEST_F(TribeLongRunTest, HalfAnHourOfRivalsHuntsAndRaidsStaysSaneAndRepeatsWithTheSameSeed) {
  const sRun first = Run();
  ASSERT_FALSE(HasFailure());
  EXPECT_GE(Objects()->GetTribes().size(), 3u) << "two or three rivals settled";
  EXPECT_GT(messages.Count("Hunt Results"), 0);
  EXPECT_GT(messages.Count("Raid Results"), 0);
  EXPECT_GT(first.rivalRaids, 0);

  TearDown();
  SetUp();
  const sRun second = Run();
  EXPECT_EQ(second.digests, first.digests);
  EXPECT_EQ(second.rivalRaids, first.rivalRaids);
}

}  // namespace
