// Ten minutes of tribe life on the shipped scripts at a fixed frame time:
// everything stays in bounds, and two runs from the same seed are the same
// run (a digest of positions, needs and counts, taken every second).
#include <cmath>

#include "modes/tribe/MemberInteractions.h"
#include "modes/tribe/TribeHerd.h"
#include "modes/tribe/TribeStatics.h"
#include "tests/modes/tribe/TribeTestSupport.h"

namespace {

constexpr int kFramesPerSecond = 1000 / (int)cTribeWorldTest::kFrameMs;
constexpr int kSeconds = 600;
constexpr uint32_t kMostMembers = 40;  // far above what ten minutes can breed

struct sLifeRun {
  sRunDigest digest;  // of what the run did
  uint32_t mostMembers = 0;
  uint32_t births = 0;
  float foodGathered = 0.0f;
  int meals = 0;
  std::vector<std::string> faults;  // the first few, with their second
};

class TribeLifeRunTest : public cTribeWorldTest {
 protected:
  static void Check(sLifeRun& run, bool holds, int second, const std::string& what) {
    if (!holds && run.faults.size() < 5) run.faults.push_back(std::to_string(second) + " s: " + what);
  }

  // The player's standing orders, as the commands would give them: two
  // gatherers whenever they have gone idle, and a nester now and then.
  void GiveOrders(int second) {
    std::vector<cTribeCreature*> members = Members();
    for (size_t i = 0; i < members.size() && i < 2; ++i) {
      cIInteraction* doing = members[i]->GetInteraction();
      if (!doing || doing->GetName() == "Idling") members[i]->StartInteraction(GetTribePrototype<cMemberGathers>(), 0);
    }
    if (second % 120 == 60 && members.size() > 2) members[2]->StartInteraction(GetTribePrototype<cMemberNests>(), 0);
  }

  sLifeRun Live() {
    sLifeRun run;
    uint32_t population = Player()->GetPopulation();
    for (int second = 0; second < kSeconds; ++second) {
      GiveOrders(second);
      const float foodBefore = Player()->GetFood();
      Pump(kFramesPerSecond);
      if (Player()->GetFood() > foodBefore) run.foodGathered += Player()->GetFood() - foodBefore;

      const uint32_t now = Player()->GetPopulation();
      if (now > population) run.births += now - population;
      population = now;
      run.mostMembers = std::max(run.mostMembers, now);
      Check(run, now <= kMostMembers, second, "runaway population");
      Check(run, Player()->GetFood() >= 0.0f, second, "negative tribe food");
      run.digest.Mix(now);
      run.digest.Mix(Player()->GetFood());
      run.digest.Mix(Player()->GetBreedProgress());
      for (cTribeCreature* creature : Objects()->GetCreatures()) {
        const Ru::Math::Vector3 p = PositionOf(creature);
        const float radius = Ru::Math::Vector3Length(p);
        Check(run, std::isfinite(radius) && radius > 400.0f && radius < 600.0f, second, "position off the planet");
        for (float need : {creature->GetEnergy(), creature->GetHunger(), creature->GetHealth()})
          Check(run, need >= 0.0f && need <= 100.0f, second, "need out of 0..100");
        Check(run, creature->GetCarriedFood() >= 0.0f, second, "negative carried food");
        if (creature->GetInteraction() && creature->GetInteraction()->GetName() == "Eating") ++run.meals;
        for (float value : {p.x, p.y, p.z, creature->GetEnergy(), creature->GetHunger(), creature->GetHealth(),
                            creature->GetCarriedFood()})
          run.digest.Mix(value);
      }
      for (cTribeHerd* herd : Objects()->GetHerds()) {
        const float* p = herd->GetPosition();
        Check(run, std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]), second, "herd position NaN");
        for (int axis = 0; axis < 3; ++axis) run.digest.Mix(p[axis]);
        run.digest.Mix((uint32_t)herd->GetCount());
      }
    }
    return run;
  }
};

TEST_F(TribeLifeRunTest, TenMinutesStayInBoundsAndTheSameSeedGivesTheSameRun) {
  const sLifeRun first = Live();
  for (const std::string& fault : first.faults) ADD_FAILURE() << fault;
  // The loop lives: food comes in, members eat it, and the nest breeds.
  EXPECT_GT(first.foodGathered, 0.0f);
  EXPECT_GT(first.meals, 0);
  EXPECT_GE(first.births, 1u);

  ReenterWithNewPlants();
  const sLifeRun second = Live();
  EXPECT_EQ(second.digest.value, first.digest.value);
  EXPECT_EQ(second.births, first.births);
  EXPECT_EQ(second.mostMembers, first.mostMembers);
}

}  // namespace
