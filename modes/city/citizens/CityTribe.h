// The neighbouring tribes: a camp 65 to 90 units from the hall (a coloured
// hut under a heart showing how the tribe feels about the city), a food
// store, and members who wander round the camp between errands. A tribe
// grows and shrinks with its food, sends traders and pilgrims while the
// player's treaty allows, and raids or recruits by the city's formulas.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "app/GameClock.h"
#include "modes/city/citizens/CityCreatures.h"

class cCityGameBundleContainer;
class cSceneShapeBillboard;
class cSceneShapeCube;

class cCityGameTribe : public tCityGameClass<cCityGameTribe, cCityGameWorldObject, 0x4F396A66> {
 public:
  enum eState { kNone = 0, kWar = 1, kTrade = 2, kPilgrimage = 3 };
  static constexpr float kMinDistanceFromHall = 65.0f, kMaxDistanceFromHall = 90.0f;
  static constexpr float kHeartHeight = 10.0f;
  static constexpr float kRelationshipLimit = 10.0f;

  cCityGameTribe();  // the hut shape takes the shared "hutscale"
  void Initialize(cCityGameObject* city) override;  // camp, members, food store, first rest
  void EndUsersInteractions() override;
  void ResolveLinks() override;
  void OnModeEnter() override;
  void OnModeLeave() override;
  void Update(uint32_t ms) override;
  cSceneObject* GetSceneObject() override { return mMarker; }
  void DrawLabel(bool show, int x, int y) override;
  virtual Ru::Math::Vector3 GetColour() { return mColour; }
  virtual const char* GetName() { return "Tribe"; }
  // A click with nobody selected opens the diplomacy dialog; with citizens
  // selected, their orders for the tribe (both in the tribe cursor's file).
  cICityGameCursor* GetCursor(int x, int y, cSceneObject* picked) override;
  cICityGameCursor* GetSelectionCursor(int x, int y, cSceneObject* picked,
                                       const std::vector<cCityGameWorldObject*>& selection) override;

  int GetState() const { return mState; }
  void SetState(int state);
  float GetRelationship(cCityGameObject* city) const;  // 0 without an entry
  bool HasRelationship(cCityGameObject* city) const { return mRelationships.count(city ? city->GetId() : kNoCityId) > 0; }
  void SetRelationship(cCityGameObject* city, float value);  // kept within +-10
  void AddToRelationship(cCityGameObject* city, float delta) { SetRelationship(city, GetRelationship(city) + delta); }
  // Towards the owner city, for callers that know no other.
  float GetRelationship() const { return GetRelationship(mOwner.object); }
  void SetRelationship(float value) { SetRelationship(mOwner.object, value); }

  cCityGameBundleContainer* GetFoodContainer() const;
  void AddMember(cCityGameCreature* member);
  void RemoveMember(cCityGameCreature* member);
  const std::vector<uint32_t>& GetMembers() const { return mMembers; }
  int GetMemberCount() const { return (int)mMembers.size(); }
  // The first n members in joining order walk off to become citizens.
  void StartRecruitedMembers(int n);
  void EndRecruiting();
  void EndRaid();
  bool IsRecruiting() const { return mRecruiting; }
  bool IsRaiding() const { return mRaiding; }
  bool IsResting();  // ends a rest that is over
  bool IsConquered() const { return mConquered; }
  void Conquer();  // once: the war reward, a black hut half a unit sunk, no more war
  // Up to n idle members (those with no behaviour), in joining order.
  std::vector<cCityGameTribeCreature*> TakeIdleMembers(int n);
  // Sends up to n idle members; false (and a rest begins) when none was idle.
  bool SendRaiders(int n);
  bool SendRecruiters(int n);

  // The heart a relationship shows (no entry counts as 0).
  static const char* HeartTextureFor(float relationship);
  static cSceneShapeBillboard* GetHeartShape(float relationship);
  static cSceneShapeCube* GetHutShape();

  cSceneObject* GetHeart() const { return mHeart; }
  bool IsChangePending() const { return mCycleTimer.IsRunning(); }
  bool IsGrowing() const { return mGrowing; }
  float GetIdleExtra() const { return mIdleExtra; }

 private:
  void MakeMarker();
  void RemoveMarker();
  void UpdateHeart();
  void UpdateBirthsAndDeaths();
  void UpdateVisits();
  void UpdateSending(uint32_t ms);
  void StartRest() { mIdleTimer.Restart(); }
  cCityGameTribeCreature* FindMember(uint32_t id) const;
  cCityGameTribeCreature* FirstIdleMember() const;
  void BearMember();

  bool mRecruiting = false;
  Ru::Math::Vector3 mColour;
  cSceneObject* mMarker = nullptr;  // owned
  std::vector<uint32_t> mMembers;   // registry ids in joining order
  cGameStopwatch mIdleTimer;
  bool mRaiding = false;
  cCityObjectHandle mFoodContainer;
  float mIdleExtra = 0.0f;
  std::map<uint32_t, float> mRelationships;  // by city id: ordered, so walks repeat
  cSceneObject* mHeart = nullptr;  // owned
  cGameStopwatch mCycleTimer;
  bool mGrowing = false;
  int mState = kNone;
  cGameStopwatch mPilgrimageTimer, mTradeTimer;
  bool mConquered = false;
};

class cCityGameTribeCreature : public tCityGameClass<cCityGameTribeCreature, cCityGameCreature, 0xEF3DA0D7> {
 public:
  static constexpr float kWanderMin = 5.0f, kWanderMax = 15.0f;
  static constexpr float kWanderSpeed = 0.75f;

  cCityGameTribeCreature();  // motives that never change
  void ResetRates() override { mMotiveRate[0] = mMotiveRate[1] = 0.0f; }
  void EndUsersInteractions() override;  // leaves its tribe first
  void ResolveLinks() override;
  void Update(uint32_t ms) override;  // wanders round the camp while it has no errand
  Ru::Math::Vector3 GetColour() override;

  void JoinTribe(cCityGameObject* city, cCityGameTribe* tribe);
  // Leaves the game; a new citizen of that city stands where it stood.
  cCityGamePlayerCreature* BecomeCitizenOf(cCityGameObject* city);
  cCityGameTribe* GetTribe() const;

 private:
  cCityObjectHandle mTribe;
  cGameStopwatch mDefenseCheckTimer;
};
