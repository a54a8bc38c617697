// The influence field: a source's value at its point and its rim, counting
// against the other players, ties to the lower player, removal, and a
// shrinking player count.
#include <gtest/gtest.h>

#include "modes/civ/CivInfluence.h"

namespace {

const Ru::Math::Vector3 kHere{100.0f, 400.0f, 0.0f};

TEST(CivInfluence, SourcesCountForTheirPlayerAgainstTheOthersAndEndAtTheRim) {
  cCivInfluence field;
  field.SetNumPlayers(2);
  field.AddSource(0, kHere, 2.0f, 50.0f);
  EXPECT_NEAR(field.GetValue(0, kHere), 202.0f, 1e-3f);
  EXPECT_NEAR(field.GetValue(1, kHere), -202.0f, 1e-3f);
  EXPECT_EQ(field.GetValue(0, {150.0f, 400.0f, 0.0f}), 0.0f);  // exactly at the radius: nothing
  EXPECT_NEAR(field.GetValue(0, {149.9f, 400.0f, 0.0f}), 2.0f * 0.01f, 0.01f);
  EXPECT_EQ(field.GetDominantPlayer(kHere), 0);
  EXPECT_EQ(field.GetDominantPlayer({0.0f, -500.0f, 0.0f}), -1);  // nobody above the threshold
  field.SetThreshold(field.GetValue(0, kHere));
  EXPECT_EQ(field.GetDominantPlayer(kHere), -1);  // exactly at it is not above it
  field.SetThreshold(0.1f);

  field.AddSource(1, kHere, 2.0f, 50.0f);  // both cancel out to 0, below the threshold
  EXPECT_EQ(field.GetDominantPlayer(kHere), -1);
  field.SetNumPlayers(3);
  field.AddSource(2, kHere, -1.0f, 50.0f);  // lifts players 0 and 1 equally: the tie goes to 0
  EXPECT_EQ(field.GetDominantPlayer(kHere), 0);

  field.RemoveSource({0.0f, 0.0f, 0.0f});  // none there
  EXPECT_EQ(field.GetDominantPlayer(kHere), 0);
  field.SetNumPlayers(1);
  EXPECT_EQ(field.GetValue(1, kHere), 0.0f);  // the dropped players' layers are gone
  const float before = field.GetValue(0, kHere);
  field.RemoveSource({100.0f + 1.0f / 256.0f, 400.0f, 0.0f});  // a squared distance of exactly 2^-16: elsewhere
  EXPECT_EQ(field.GetValue(0, kHere), before);
  field.RemoveSource({100.0f + 1.0f / 512.0f, 400.0f, 0.0f});  // nearer: the same point, so the first source goes
  EXPECT_NE(field.GetValue(0, kHere), before);
  for (int i = 0; i < 3; ++i) field.RemoveSource(kHere);
  EXPECT_EQ(field.GetValue(0, kHere), 0.0f);
}

}  // namespace
