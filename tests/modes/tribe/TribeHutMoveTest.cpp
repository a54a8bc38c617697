// The tribe carrying its hut: the hut and its tools follow the party's centre,
// the carriers walk at the move script's speed for the party's size, and a
// carrier who leaves walks at its own speed again.
#include <gtest/gtest.h>

#include "math/Math.h"
#include "modes/tribe/GroupInteractions.h"
#include "modes/tribe/TribeStatics.h"
#include "modes/tribe/TribeTool.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"
#include "tests/modes/tribe/TribeTestSupport.h"

using namespace Ru::Math;

namespace {

using TribeHutMoveTest = cTribeCommandTest;

float CarrierSpeed(int partySize) {
  cRovurozovizProgram& script = GetTribeProgram(eTribeProgram::MoveHutResult);
  script.SetVariable("party_size", (float)partySize);
  script.Run();
  return script.GetVariable("speed_multiplier");
}

tTargetWord NewPlace(const Vector3& p) { return TargetWordOf(new cLocation(p.x, p.y, p.z)); }

TEST_F(TribeHutMoveTest, ThePartyCarriesHutAndToolsToTheNewPlaceAndASmallerPartyWalksAtItsOwnSpeed) {
  cTribeTool* tool = Player()->AddTool(kTribeToolRest, 1, Vector3Add(HutPosition(), Vector3{-3.0f, 0.0f, 0.0f}));
  ASSERT_NE(tool, nullptr);
  const Vector3 start = HutPosition();
  const Vector3 place = Ground(Vector3Add(start, Vector3{30.0f, 0.0f, 0.0f}));
  std::vector<cTribeCreature*> party = FirstMembers(3);
  tRefPtr<cTransientCreatureGroup> group = Command(party, GetTribePrototype<cTribeGroupMoveHut>(), NewPlace(place));
  auto* move = dynamic_cast<cTribeGroupMoveHut*>(group->GetInteraction());
  ASSERT_NE(move, nullptr);

  // Gathered round the hut, the party sets off at the speed for three.
  for (int frame = 0; frame < 20 * 60 && move->GetPhase() < 2; ++frame) Pump(1);
  ASSERT_EQ(move->GetPhase(), 2u);
  for (cTribeCreature* member : party) EXPECT_FLOAT_EQ(member->GetSpeedFactor(), CarrierSpeed(3));
  Pump(20);
  EXPECT_GT(Distance(HutPosition(), start), 1.0f);
  const float hungerOfCarrier = party[0]->GetHunger();
  EXPECT_LT(hungerOfCarrier, 100.0f);

  // One walks off: it is back to its own pace, the other two carry at the speed for two.
  party[2]->LeaveGroup();
  EXPECT_EQ(party[2]->GetSpeedFactor(), 1.0f);
  EXPECT_FLOAT_EQ(party[0]->GetSpeedFactor(), CarrierSpeed(2));
  EXPECT_FLOAT_EQ(party[1]->GetSpeedFactor(), CarrierSpeed(2));

  ASSERT_TRUE(PumpUntilDone(group.Get(), 120.0f));
  // Where the two carriers stopped, the hut stands (each walked to a spot near
  // its own place in the formation), and the tool kept its place beside it.
  const Vector3 centre = Ground(Vector3Scale(Vector3Add(party[0]->GetPositionVector(), party[1]->GetPositionVector()), 0.5f));
  EXPECT_LT(Distance(HutPosition(), centre), 1.5f);
  EXPECT_LT(Distance(HutPosition(), place), 12.0f);
  EXPECT_NEAR(Distance(tool->GetPosition(), HutPosition()), 3.0f, 0.5f);
  for (cTribeCreature* member : party) EXPECT_EQ(member->GetSpeedFactor(), 1.0f);
}

}  // namespace
