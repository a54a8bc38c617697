// Recruiting drives: a tribe's recruiters (cCityGameRecruitDisaster) or the
// player's citizens (cCityGameRecruitManager) gather at a point between the
// tribe and the city; once all have arrived the music plays, rings pulse
// (blinking the last two seconds) and after "Recruit Disaster Duration" the
// other side's creatures in reach are won over: they walk to the tribe and
// change sides. A drive removes itself when its recruiters are gone and
// tells its tribe (found by id) at removal.
#pragma once

#include <cstdint>

#include "app/GameClock.h"
#include "modes/city/behaviours/CityBehaviors.h"
#include "modes/city/groups/CityRings.h"
#include "modes/city/objects/CityGameObject.h"

class cCityGameCity;
class cCityGameTribe;

class cCityRecruitDrive : public cCityGameWorldObject {
 public:
  static constexpr const char* kMusic = ".\\Data\\Sounds\\icecream_music.wav";
  static constexpr uint32_t kRippleMs = 1500, kBlinkMs = 2000;

  virtual void Start(cCityGameCity* city, cCityGameTribe* tribe);
  void SetRecruitCount(int count) { mExpectedCount = count; }
  int GetRecruitCount() const { return mExpectedCount; }
  void Update(uint32_t ms) override;
  void EndUsersInteractions() override;  // tells the tribe, found by id; the rings go

  void Arrive() { ++mArrivedCount; }
  void Leave(bool arrived);  // a recruiter's part ended
  bool IsFinished() const { return mFinished; }
  bool HasGathered() const { return mGathered; }
  bool HasMusicStarted() const { return mMusicStarted; }
  int GetArrivedCount() const { return mArrivedCount; }
  float GetReach() const;  // grows with every recruiter present
  float GetRingScale(int i) const { return mRings.GetScale(i); }
  cCityGameTribe* GetTribe() const;

 protected:
  virtual void Recruit() = 0;  // once, when the countdown is over
  virtual bool SlowsCitizens() const = 0;
  virtual Ru::Math::Vector3 GetDriveColour() = 0;

  uint32_t mTribeId = kNoCityId;

 private:
  cGameStopwatch mRippleStopwatch;
  cCityRingPulse mRings;
  bool mGathered = false;
  int mArrivedCount = 0;
  cGameStopwatch mRecruitStopwatch;
  int mExpectedCount = 0;
  bool mMusicStarted = false;
  bool mFinished = false;
  bool mTribeTold = false;
};

class cCityGameRecruitDisaster : public tCityGameClass<cCityGameRecruitDisaster, cCityRecruitDrive, 0x4F4C0E21> {
 public:
  virtual const char* GetName() { return "Recruit Disaster"; }
  cIInteraction* GetDefaultInteraction() override;

 protected:
  void Recruit() override;  // every citizen in reach rolls against the happiness-based chance
  bool SlowsCitizens() const override { return true; }
  Ru::Math::Vector3 GetDriveColour() override;
};

class cCityGameRecruitManager : public tCityGameClass<cCityGameRecruitManager, cCityRecruitDrive, 0x6F958B42> {
 public:
  virtual const char* GetName() { return "Recruit Manager"; }
  cIInteraction* GetDefaultInteraction() override;

 protected:
  void Recruit() override;  // the formula's count of the tribe's members
  bool SlowsCitizens() const override { return false; }
  Ru::Math::Vector3 GetDriveColour() override { return Ru::Math::Vector3{0.0f, 0.0f, 1.0f}; }
};

// A recruiter walks to its drive and stands there until the drive is done.
class cCityRecruiterPart : public cCityGameInteraction {
 public:
  uint32_t Step() override;
  void End() override;  // off the drive's counts

 protected:
  virtual bool IsRecruiter(cIInteractionAgent* agent) = 0;
  virtual bool Holds(cIInteractionAgent* agent) { return agent != nullptr; }
  bool mArrived = false;
};

class cCityGameRecruitingTribeInteraction : public cCityRecruiterPart {
 public:
  static constexpr uint32_t kInteractionId = 0x8F8DF67C;
  cIInteraction* Create() override { return new cCityGameRecruitingTribeInteraction; }
  uint32_t GetInteractionId() override { return kInteractionId; }
  std::string GetName() override { return "Recruiting From City"; }

 protected:
  bool IsRecruiter(cIInteractionAgent* agent) override;
};

class cCityGameRecruitingInteraction : public cCityRecruiterPart {
 public:
  static constexpr uint32_t kInteractionId = 0x8F958B72;
  cIInteraction* Create() override { return new cCityGameRecruitingInteraction; }
  uint32_t GetInteractionId() override { return kInteractionId; }
  std::string GetName() override { return "Recruiting From Tribe"; }

 protected:
  bool IsRecruiter(cIInteractionAgent* agent) override;
  bool Holds(cIInteractionAgent* agent) override;  // a citizen in need leaves the drive
};

// A won-over creature walks to within 15 of the tribe and changes sides when
// its part ends; not when it ends because the creature itself is leaving the
// game (removed, or the city cleared for a load).
class cCityRecruitedPart : public cCityGameInteraction {
 public:
  static constexpr float kArrival = 15.0f;
  std::string GetName() override { return "Been Recruited"; }
  uint32_t Step() override;
  void End() override;

 protected:
  virtual bool IsRecruited(cIInteractionAgent* agent) = 0;
  virtual void ChangeSides(cCityGameTribe* tribe) = 0;
};

class cCityRecruitedCityMemberInteraction : public cCityRecruitedPart {
 public:
  cIInteraction* Create() override { return new cCityRecruitedCityMemberInteraction; }
  void Start() override;  // the citizen is leaving

 protected:
  bool IsRecruited(cIInteractionAgent* agent) override;
  void ChangeSides(cCityGameTribe* tribe) override;
};

class cCityRecruitedTribeMemberInteraction : public cCityRecruitedPart {
 public:
  cIInteraction* Create() override { return new cCityRecruitedTribeMemberInteraction; }

 protected:
  bool IsRecruited(cIInteractionAgent* agent) override;
  void ChangeSides(cCityGameTribe* tribe) override;
};
