#include "modes/civ/CivPlayers.h"

#include <algorithm>

#include "modes/civ/CivAccess.h"
#include "platform/Sys.h"

namespace {
float RandomFraction() { return (float)Sys_Random() * (1.0f / 32767.0f); }

cCivPlayerValues DrawStrategies(int players) {
  cCivPlayerValues strategies(players);
  for (int p = 0; p < strategies.Count(); ++p) strategies.Set(p, RandomFraction() >= 0.5f ? kCivCultural : kCivMilitary);
  return strategies;
}
}  // namespace

// ---- the relationship matrix ----

cCivRelationshipMatrix::cCivRelationshipMatrix(int players, int human, const cCivTuningRelationships* tuning)
    : mPlayers(std::max(players, 0)), mTuning(tuning), mRows(mPlayers, std::vector<float>(mPlayers, 0.0f)) {
  // Every pair is drawn twice, (a, b) then (b, a); the second draw stays.
  for (int a = 0; a < mPlayers; ++a)
    for (int b = 0; b < mPlayers; ++b) {
      if (a == b) continue;
      float r = RandomFraction() * 20.0f - 10.0f;
      At(b, a) = r;
      At(a, b) = r;
    }
  // The human's relations alternate in sign, starting from the drawn sign
  // towards its first other player.
  int first = human == 0 ? 1 : 0;
  if (!Has(human) || !Has(first)) return;
  bool startsGood = At(human, first) >= 0.0f;
  for (int j = 0; j < mPlayers; ++j) {
    bool wantGood = (j % 2 == 0) == startsGood;
    bool isGood = At(human, j) >= 0.0f;
    if (isGood == wantGood || j == human) continue;
    At(human, j) = -At(human, j);
    At(j, human) = -At(j, human);
  }
}

float cCivRelationshipMatrix::Get(int a, int b) const { return Has(a) && Has(b) ? mRows[a][b] : 0.0f; }

float cCivRelationshipMatrix::Clamp(float value) const {
  if (value < mTuning->RelationshipMin) return mTuning->RelationshipMin;
  if (value > mTuning->RelationshipMax) return mTuning->RelationshipMax;
  return value;
}

void cCivRelationshipMatrix::Set(int a, int b, float value) {
  if (!Has(a) || !Has(b) || a == b) return;
  At(a, b) = At(b, a) = Clamp(value);
}

void cCivRelationshipMatrix::ApplyEvent(eCivRelationshipEvent event, int a, int b) {
  // A player acting on itself (a trade route between two of its own cities)
  // would move the diagonal and push every third relation to an extreme.
  if (!Has(a) || !Has(b) || a == b) return;
  float effect = 0.0f;
  bool expulsionCheck = false;
  switch (event) {
    case eCivRelationshipEvent::PillageAttack: effect = mTuning->EffectPillageAttack; expulsionCheck = true; break;
    case eCivRelationshipEvent::AttemptEmbassy: effect = mTuning->EffectAttemptEmbassy; break;
    case eCivRelationshipEvent::EstablishEmbassy: effect = mTuning->EffectEstablishEmbassy; break;
    case eCivRelationshipEvent::RejectOrRemoveEmbassy:
      effect = mTuning->EffectRejectOrRemoveEmbassy;
      expulsionCheck = true;
      break;
    case eCivRelationshipEvent::FailedInfiltration:
      effect = mTuning->EffectFailedInfiltration;
      expulsionCheck = true;
      break;
    case eCivRelationshipEvent::SuccessfulInfiltration: effect = mTuning->EffectSuccessfulInfiltration; break;
    case eCivRelationshipEvent::CulturalAbsorption: effect = mTuning->EffectCulturalAbsorption; break;
    case eCivRelationshipEvent::EstablishTradeRoute: effect = mTuning->EffectEstablishTradeRoute; break;
    case eCivRelationshipEvent::SuccessfulGiftGiven: effect = mTuning->EffectSuccessfulGiftGiven; break;
  }
  float v = Clamp(At(a, b) + effect);
  At(a, b) = v;
  At(b, a) = v;
  if (expulsionCheck && v < 0.0f && mExpelEmbassies) mExpelEmbassies(a, b);
  SpreadSecondaryEffect(a, b, effect);
}

// Third players on good terms with b side with b against a; the others take a's side.
void cCivRelationshipMatrix::SpreadSecondaryEffect(int a, int b, float effect) {
  float d = effect * mTuning->SecondaryEffect;
  for (int c = 0; c < mPlayers; ++c) {
    if (c == a || c == b) continue;
    float change = At(b, c) >= 0.0f ? d : -d;
    At(a, c) = Clamp(At(a, c) + change);
    At(c, a) = Clamp(At(c, a) + change);
  }
}

// ---- the players ----

cCivPlayers::cCivPlayers(int players, int human, const cCivTuningRelationships* tuning)
    : mHuman(human),
      mCivPools(std::max(players, 0), 0.0f),
      mUpgradeLevels(players),
      mStrategies(DrawStrategies(players)),
      mRelationships(players, human, tuning) {}

int ChooseCivHumanPlayer(const cCivTuningGeneral& general) {
  int players = std::max(general.NumPlayers, 1);
  int human = general.HumanPlayerId;
  // The random pick reaches NumPlayers itself when the generator gives its maximum.
  if (human == -1) human = (int)(RandomFraction() * (float)players);
  return std::clamp(human, 0, players - 1);
}

namespace {
cCivPlayers* gCivPlayersInPlay = nullptr;
}
cCivPlayers* GetCivPlayers() { return gCivPlayersInPlay; }
void SetCivPlayers(cCivPlayers* players) { gCivPlayersInPlay = players; }

// ---- colours ----

Ru::Math::Vector3 CivPlayerColour(int index, int humanPlayer) {
  static const Ru::Math::Vector3 kPlayerColours[10] = {
      {0.8f, 0.4f, 0.0f},      {0.0f, 1.0f, 1.0f},      {1.0f, 0.8f, 1.0f},      {0.6f, 0.4f, 1.0f},
      {0.4f, 0.2f, 0.0f},      {1.0f, 1.0f, 0.0f},      {0.407843f, 0.4f, 0.0f}, {0.0f, 0.333333f, 0.0f},
      {0.4f, 0.0f, 0.998043f}, {1.0f, 0.0f, 1.0f},
  };
  if (index == humanPlayer && index >= 0) return {0.2f, 0.2f, 1.0f};
  if (index == -3) return {0.266667f, 0.266667f, 0.266667f};
  if (index == -2) return {1.0f, 1.0f, 1.0f};
  if (index >= 0 && index < 10) return kPlayerColours[index];
  return {0.0f, 0.0f, 0.0f};
}

Ru::Math::Vector3 CivPlayerColour(int index) { return CivPlayerColour(index, GetCivHumanPlayer()); }
