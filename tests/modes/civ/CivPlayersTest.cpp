// The players: the drawn relationship matrix (symmetric, zero diagonal,
// bounded, the human's relations alternating in sign), every event's move,
// spread and expulsion check, indices outside the players, and the colours.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "modes/civ/CivPlayers.h"
#include "platform/Sys.h"

namespace {

using tPairs = std::vector<std::pair<int, int>>;

// Each event's own effect, so a mix-up between two events shows.
cCivTuningRelationships Effects() {
  cCivTuningRelationships r;
  r.EffectPillageAttack = -3.0f;
  r.EffectAttemptEmbassy = 1.0f;
  r.EffectEstablishEmbassy = 2.0f;
  r.EffectRejectOrRemoveEmbassy = -4.0f;
  r.EffectFailedInfiltration = -5.0f;
  r.EffectSuccessfulInfiltration = -1.5f;
  r.EffectCulturalAbsorption = -2.5f;
  r.EffectEstablishTradeRoute = 3.0f;
  r.EffectSuccessfulGiftGiven = 2.5f;
  r.SecondaryEffect = 0.5f;
  return r;
}

struct CivPlayersTest : ::testing::Test {
  cCivTuningRelationships effects = Effects();
  tPairs expelled;

  void ExpectConsistent(const cCivRelationshipMatrix& m) {
    for (int a = 0; a < m.GetPlayerCount(); ++a)
      for (int b = 0; b < m.GetPlayerCount(); ++b) {
        EXPECT_EQ(m.Get(a, b), m.Get(b, a)) << a << "," << b;
        EXPECT_LE(std::fabs(m.Get(a, b)), 10.0f);
        if (a == b) {
          EXPECT_EQ(m.Get(a, b), 0.0f);
        }
      }
  }
  // Every relation between two players set to one value.
  void Fill(cCivRelationshipMatrix& m, float value) {
    for (int a = 0; a < m.GetPlayerCount(); ++a)
      for (int b = a + 1; b < m.GetPlayerCount(); ++b) m.Set(a, b, value);
  }
};

TEST_F(CivPlayersTest, DrawnMatrixIsSymmetricBoundedAndAlternatesTheHumansSigns) {
  for (uint32_t seed : {1u, 7u, 12345u}) {
    Sys_SeedRandom(seed);
    cCivPlayers players(5, 2, &effects);
    cCivRelationshipMatrix& m = *players.GetRelationships();
    ExpectConsistent(m);
    bool evenGood = m.Get(2, 0) >= 0.0f;
    for (int j : {0, 4}) EXPECT_EQ(m.Get(2, j) >= 0.0f, evenGood) << "seed " << seed << " player " << j;
    for (int j : {1, 3}) EXPECT_EQ(m.Get(2, j) >= 0.0f, !evenGood) << "seed " << seed << " player " << j;
    EXPECT_EQ(players.GetCivPools(), std::vector<float>(5, 0.0f));
    for (int p = 0; p < 5; ++p) {
      EXPECT_EQ(players.GetUpgradeLevels()->Get(p), 0);
      int strategy = players.GetStrategies()->Get(p);
      EXPECT_TRUE(strategy == kCivMilitary || strategy == kCivCultural);
    }
  }
}

TEST_F(CivPlayersTest, EachEventMovesThePairSpreadsAndChecksExpulsion) {
  struct Row {
    eCivRelationshipEvent event;
    float effect;
    bool expulsionCheck;
  } rows[] = {
      {eCivRelationshipEvent::PillageAttack, -3.0f, true},
      {eCivRelationshipEvent::AttemptEmbassy, 1.0f, false},
      {eCivRelationshipEvent::EstablishEmbassy, 2.0f, false},
      {eCivRelationshipEvent::RejectOrRemoveEmbassy, -4.0f, true},
      {eCivRelationshipEvent::FailedInfiltration, -5.0f, true},
      {eCivRelationshipEvent::SuccessfulInfiltration, -1.5f, false},
      {eCivRelationshipEvent::CulturalAbsorption, -2.5f, false},
      {eCivRelationshipEvent::EstablishTradeRoute, 3.0f, false},
      {eCivRelationshipEvent::SuccessfulGiftGiven, 2.5f, false},
  };
  for (const Row& row : rows) {
    for (float start : {1.0f, -1.0f, 3.0f}) {  // a pillage from 3 ends at exactly 0: no expulsion
      SCOPED_TRACE(testing::Message() << "event " << (int)row.event << " from " << start);
      cCivRelationshipMatrix m(5, 0, &effects);
      Fill(m, start);
      m.Set(1, 2, 6.0f);   // player 2 is on good terms with the acted-upon player 1,
      m.Set(1, 3, -6.0f);  // player 3 on bad terms,
      m.Set(1, 4, 0.0f);   // player 4 on terms of exactly 0, which count as good
      expelled.clear();
      m.SetExpelEmbassiesHook([&](int a, int b) { expelled.emplace_back(a, b); });
      m.ApplyEvent(row.event, 0, 1);
      float v = start + row.effect;
      EXPECT_FLOAT_EQ(m.Get(0, 1), v);
      bool expel = row.expulsionCheck && v < 0.0f;
      EXPECT_EQ(expelled, (expel ? tPairs{{0, 1}} : tPairs{}));
      float d = row.effect * 0.5f;
      EXPECT_FLOAT_EQ(m.Get(0, 2), start + d);  // 2 is on good terms with 1: sides with it
      EXPECT_FLOAT_EQ(m.Get(0, 3), start - d);  // 3 is not: the opposite move
      EXPECT_FLOAT_EQ(m.Get(0, 4), start + d);
      EXPECT_FLOAT_EQ(m.Get(2, 3), start);      // relations without the actor stay
      ExpectConsistent(m);
    }
  }
}

// E = -4 at 50 % from -8: the pair clamps at -10, third players move by 2, each clamped.
TEST_F(CivPlayersTest, ClampedEventWithSecondaryEffect) {
  effects.EffectRejectOrRemoveEmbassy = -4.0f;
  cCivRelationshipMatrix m(4, 0, &effects);
  Fill(m, 9.0f);
  m.Set(0, 1, -8.0f);
  m.Set(1, 3, -1.0f);
  m.Set(0, 3, -9.5f);
  m.RejectOrRemoveEmbassy(0, 1);
  EXPECT_EQ(m.Get(0, 1), -10.0f);
  EXPECT_EQ(m.Get(0, 2), 7.0f);
  EXPECT_EQ(m.Get(0, 3), -7.5f);
  m.Set(0, 2, 9.0f);
  m.Set(0, 3, 9.5f);
  m.Set(1, 2, -1.0f);
  m.RejectOrRemoveEmbassy(0, 1);
  EXPECT_EQ(m.Get(0, 2), 10.0f);  // +2 from 9 clamps at the maximum
  ExpectConsistent(m);
}

TEST_F(CivPlayersTest, IndicesOutsideThePlayersChangeNothing) {
  Sys_SeedRandom(3);
  cCivPlayers players(3, 0, &effects);
  cCivRelationshipMatrix& m = *players.GetRelationships();
  m.SetExpelEmbassiesHook([&](int a, int b) { expelled.emplace_back(a, b); });
  std::vector<float> before;
  for (int a = 0; a < 3; ++a)
    for (int b = 0; b < 3; ++b) before.push_back(m.Get(a, b));
  for (auto [a, b] : {std::pair{-1, 0}, {0, 3}, {3, 3}, {1, 1}}) m.PillageAttack(a, b);
  std::vector<float> after;
  for (int a = 0; a < 3; ++a)
    for (int b = 0; b < 3; ++b) after.push_back(m.Get(a, b));
  EXPECT_EQ(after, before);
  EXPECT_TRUE(expelled.empty());
  for (cCivPlayerValues* values : {players.GetUpgradeLevels(), players.GetStrategies()}) {
    values->Set(3, 9);
    values->Set(-1, 9);
    EXPECT_EQ(values->Get(3), 0);
    EXPECT_EQ(values->Get(-1), 0);
  }
}

TEST_F(CivPlayersTest, HumanChoiceStaysAmongThePlayersAndColoursFollowTheTable) {
  cCivTuningGeneral general;
  general.NumPlayers = 4;
  general.HumanPlayerId = 9;  // above the players (the test camera narrows NumPlayers after loading)
  EXPECT_EQ(ChooseCivHumanPlayer(general), 3);
  general.HumanPlayerId = -1;
  for (uint32_t seed = 0; seed < 50; ++seed) {
    Sys_SeedRandom(seed);
    int human = ChooseCivHumanPlayer(general);
    EXPECT_TRUE(human >= 0 && human < 4) << human;
  }
  auto rgb = [](Ru::Math::Vector3 c) { return std::vector<float>{c.x, c.y, c.z}; };
  EXPECT_EQ(rgb(CivPlayerColour(3, 3)), (std::vector<float>{0.2f, 0.2f, 1.0f}));  // the human first
  EXPECT_EQ(rgb(CivPlayerColour(3, 0)), (std::vector<float>{0.6f, 0.4f, 1.0f}));
  EXPECT_EQ(rgb(CivPlayerColour(-2, 0)), (std::vector<float>{1.0f, 1.0f, 1.0f}));
  EXPECT_EQ(rgb(CivPlayerColour(-3, -1)), (std::vector<float>{0.266667f, 0.266667f, 0.266667f}));
  EXPECT_EQ(rgb(CivPlayerColour(9, 0)), (std::vector<float>{1.0f, 0.0f, 1.0f}));
  EXPECT_EQ(rgb(CivPlayerColour(10, 0)), (std::vector<float>{0.0f, 0.0f, 0.0f}));
  EXPECT_EQ(rgb(CivPlayerColour(-1, -1)), (std::vector<float>{0.0f, 0.0f, 0.0f}));
}

}  // namespace
