// The tribe world with herds under the test's control: a herd script of known
// values (how many herds of each type come from the variables wanted1 to
// wanted3, which the test sets), and lone herds made by hand far from the
// hut, stepped one call at a time.
#pragma once

#include <cmath>

#include "modes/tribe/HerdPerception.h"
#include "modes/tribe/TribeHerd.h"
#include "modes/tribe/TribeStatics.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"
#include "tests/modes/tribe/TribeTestSupport.h"

class cTribeHerdTest : public cTribeWorldTest {
 public:
  static Ru::Math::Vector3 Forward(cTribeHerd* herd) {
    return Ru::Math::QuatRotateVector(*herd->GetOrientation(), Ru::Math::Vector3{0.0f, 0.0f, -1.0f});
  }

 protected:
  static constexpr float kStep = 0.05f;
  static constexpr float kNormal = 0.5f, kSwim = 0.25f, kSprint = 2.0f;  // the script's speeds

  void SetUp() override {
    cTribeWorldTest::SetUp();
    // The perception loads this once per run; a test run elsewhere may have left it empty.
    ASSERT_TRUE(LoadTribeProgram(eTribeProgram::CreatureLoudness));
    ASSERT_TRUE(HerdScript().Compile(kHerdScript));
    HerdScript().SetVariable("wanted1", 1.0f);
    HerdScript().SetVariable("wanted2", 2.0f);
    HerdScript().SetVariable("wanted3", 1.0f);
  }

  static cRovurozovizProgram& HerdScript() { return GetTribeProgram(eTribeProgram::HerdLocation); }

  // A herd with the script's values for its type, far from the hut (which
  // stands at the north pole), facing along `facing`.
  cTribeHerd* MakeLoneHerd(uint32_t type, const Ru::Math::Vector3& direction = {1.0f, 0.4f, 0.0f},
                           const Ru::Math::Vector3& facing = {0.0f, 0.0f, 1.0f}) {
    auto* herd = GetDataManager()->CreateObject<cTribeHerd>();
    Objects()->AppendHerd(herd);
    herd->SetType(type);
    herd->SetSize(5);
    HerdScript().SetVariable("herd_type", (float)type);
    HerdScript().Run();
    Objects()->ApplyHerdParameters(herd);
    herd->SetAttribute("anxiety", 0.0f);
    herd->SetAttribute("fatigue", 0.0f);
    herd->SetAttribute("grazingTime", 0.0f);
    const Ru::Math::Vector3 place = Ground(direction);
    herd->SetPosition(place);
    herd->SetHome(place, 10.0f);
    herd->SetTarget(place);
    Ru::Math::Quaternion upright;
    // The frame's +z takes the facing given; the herd looks along -z.
    cPlanetModel::MakeSurfaceOrientation(upright, place, Ru::Math::Vector3Negate(facing));
    herd->SetOrientation(upright);
    return herd;
  }

  static Ru::Math::Vector3 HerdPosition(cTribeHerd* herd) { return herd->GetPositionVector(); }
  // The ground `distance` ahead of the herd (behind for a negative one).
  static Ru::Math::Vector3 Ahead(cTribeHerd* herd, float distance) {
    return Ground(Ru::Math::Vector3Add(HerdPosition(herd), Ru::Math::Vector3Scale(Forward(herd), distance)));
  }
  static float Attribute(cTribeHerd* herd, const char* name) { return *herd->GetAttribute(name); }
  struct sHome {
    Ru::Math::Vector3 centre;
    float radius;
  };
  static sHome HomeOf(cTribeHerd* herd) {
    sHome home;
    herd->GetHome(home.centre, home.radius);
    return home;
  }

  // A member of the player tribe standing still at a point.
  cTribeCreature* MemberAt(int index, const Ru::Math::Vector3& point) {
    cTribeCreature* member = Members()[(size_t)index];
    member->SetSuppressChoice(true);  // no interaction of its own moves it
    member->SetPosition(point);
    member->SetDestinationNear(point, 0.0f);
    return member;
  }

  static constexpr const char* kHerdScript = R"(
number_of_herds = 0
if (herd_type == 1) number_of_herds = wanted1 endif
if (herd_type == 2) number_of_herds = wanted2 endif
if (herd_type == 3) number_of_herds = wanted3 endif
herd_size = 5
distance_from_hut = 40
roaming_radius = 10
grazing_time = 5
speed_normal = 0.5
speed_water = 0.25
speed_max = 2
turn_rate = 90
perception_field_of_vision = 60
perception_hear_barely = 30
perception_hear_well = 10
perception_behind_calm = 3
perception_behind_alert = 8
anxiety_threshold_flee = 0.2
anxiety_threshold_calm = 0.05
anxiety_half_life = 4
awareness_threshold_attack = 0.6
sprint_distance = 20
sprint_fatigue = 10
sprint_fatigue_recovery = 0.5
)";
};
