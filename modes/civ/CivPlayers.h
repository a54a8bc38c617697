// What belongs to the civ players rather than to their cities: how every two
// players feel about each other, each player's upgrade level, NPC strategy
// and pool of money. Player indices run from 0 to NumPlayers - 1; any other
// index (-1 is "no owner") reads 0 and changes nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "math/Types.h"
#include "modes/civ/CivTuning.h"

enum eCivStrategy { kCivMilitary = 0, kCivCultural = 1 };

enum class eCivRelationshipEvent {
  PillageAttack,
  AttemptEmbassy,
  EstablishEmbassy,
  RejectOrRemoveEmbassy,
  FailedInfiltration,
  SuccessfulInfiltration,
  CulturalAbsorption,
  EstablishTradeRoute,
  SuccessfulGiftGiven,
};

// One int per player.
class cCivPlayerValues {
 public:
  explicit cCivPlayerValues(int players) : mValues(players > 0 ? players : 0, 0) {}
  int Get(int player) const { return Has(player) ? mValues[player] : 0; }
  void Set(int player, int value) {
    if (Has(player)) mValues[player] = value;
  }
  int Count() const { return (int)mValues.size(); }

 private:
  bool Has(int player) const { return player >= 0 && player < (int)mValues.size(); }
  std::vector<int32_t> mValues;
};

// A symmetric matrix with a zero diagonal, every value kept within the
// relationships block's minimum and maximum. Events move a pair and spread a
// share of the change to every third player.
class cCivRelationshipMatrix {
 public:
  // Draws every pair at random, then makes the human's relations alternate in sign.
  cCivRelationshipMatrix(int players, int human, const cCivTuningRelationships* tuning);

  float Get(int a, int b) const;  // 0 for an index outside the players
  void Set(int a, int b, float value);  // both directions, clamped; the diagonal stays 0
  int GetPlayerCount() const { return mPlayers; }

  void ApplyEvent(eCivRelationshipEvent event, int actor, int actedUpon);
  void PillageAttack(int a, int b) { ApplyEvent(eCivRelationshipEvent::PillageAttack, a, b); }
  void AttemptEmbassy(int a, int b) { ApplyEvent(eCivRelationshipEvent::AttemptEmbassy, a, b); }
  void EstablishEmbassy(int a, int b) { ApplyEvent(eCivRelationshipEvent::EstablishEmbassy, a, b); }
  void RejectOrRemoveEmbassy(int a, int b) { ApplyEvent(eCivRelationshipEvent::RejectOrRemoveEmbassy, a, b); }
  void FailedInfiltration(int a, int b) { ApplyEvent(eCivRelationshipEvent::FailedInfiltration, a, b); }
  void SuccessfulInfiltration(int a, int b) { ApplyEvent(eCivRelationshipEvent::SuccessfulInfiltration, a, b); }
  void CulturalAbsorption(int a, int b) { ApplyEvent(eCivRelationshipEvent::CulturalAbsorption, a, b); }
  void EstablishTradeRoute(int a, int b) { ApplyEvent(eCivRelationshipEvent::EstablishTradeRoute, a, b); }
  void SuccessfulGiftGiven(int a, int b) { ApplyEvent(eCivRelationshipEvent::SuccessfulGiftGiven, a, b); }

  // Called when a pillage, a rejected or removed embassy or a failed
  // infiltration leaves a pair below 0: the civ world's embassy expulsion.
  void SetExpelEmbassiesHook(std::function<void(int a, int b)> hook) { mExpelEmbassies = std::move(hook); }

 private:
  bool Has(int player) const { return player >= 0 && player < mPlayers; }
  float Clamp(float value) const;
  float& At(int a, int b) { return mRows[a][b]; }
  void SpreadSecondaryEffect(int a, int b, float effect);

  int mPlayers;
  const cCivTuningRelationships* mTuning;
  std::vector<std::vector<float>> mRows;
  std::function<void(int, int)> mExpelEmbassies;
};

class cCivPlayers {
 public:
  cCivPlayers(int players, int human, const cCivTuningRelationships* tuning = cCivTuning::GetRelationships());

  cCivRelationshipMatrix* GetRelationships() { return &mRelationships; }
  cCivPlayerValues* GetUpgradeLevels() { return &mUpgradeLevels; }
  cCivPlayerValues* GetStrategies() { return &mStrategies; }
  std::vector<float>& GetCivPools() { return mCivPools; }  // changed in place by player index
  int GetPlayerCount() const { return mUpgradeLevels.Count(); }
  int GetHumanPlayer() const { return mHuman; }

 private:
  // Declared in the order they are built: the strategies draw before the matrix.
  int mHuman;
  std::vector<float> mCivPools;
  cCivPlayerValues mUpgradeLevels;
  cCivPlayerValues mStrategies;
  cCivRelationshipMatrix mRelationships;
};

// The human's player index: "HumanPlayerId", or a random player when it is -1;
// always within 0 .. NumPlayers - 1.
int ChooseCivHumanPlayer(const cCivTuningGeneral& general);

// A player's colour: the human's first, -2 and -3 the selection colours, one
// per index 0 to 9, black for any other.
Ru::Math::Vector3 CivPlayerColour(int index, int humanPlayer);
Ru::Math::Vector3 CivPlayerColour(int index);  // with the running civ mode's human
