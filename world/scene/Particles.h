// Short-lived effects: points that move for a while and are drawn as short
// coloured segments along their last step. One manager owns every live
// particle, advances them once per unpaused frame and draws them all in one
// line batch after the scene objects. A particle may hand its motion to an
// update strategy (the creature mode brings one).
#pragma once

#include <cstdint>
#include <cstddef>
#include <list>

#include "math/Types.h"
#include "world/scene/SceneServices.h"

class cISceneParticle;

class cIParticleUpdateStrategy {
 public:
  virtual ~cIParticleUpdateStrategy() = default;
  virtual void UpdateParticle(cISceneParticle* particle, float seconds) = 0;
  virtual void Destroy() = 0;  // once, when the particle it served is removed
};

class cISceneParticle {
 public:
  virtual ~cISceneParticle() = default;
  virtual void Update(float seconds) = 0;
  virtual bool IsFinished() = 0;
  virtual void Draw() = 0;  // emits vertex pairs inside the manager's GL_LINES batch
  virtual const Ru::Math::Vector3& GetPosition() = 0;
  virtual void SetPosition(const Ru::Math::Vector3& position) = 0;
  virtual cIParticleUpdateStrategy* GetUpdateStrategy() = 0;
};

class cSceneParticle : public cISceneParticle {
 public:
  explicit cSceneParticle(cIParticleUpdateStrategy* strategy) : mStrategy(strategy) {}
  void Update(float) override {}
  bool IsFinished() override { return false; }
  const Ru::Math::Vector3& GetPosition() override { return mPosition; }
  void SetPosition(const Ru::Math::Vector3& position) override { mPosition = position; }
  cIParticleUpdateStrategy* GetUpdateStrategy() override { return mStrategy; }

 private:
  Ru::Math::Vector3 mPosition;
  cIParticleUpdateStrategy* mStrategy;  // not owned
};

// Falls toward the planet centre and rests once below the surface.
class cSceneBurstParticle : public cSceneParticle {
 public:
  cSceneBurstParticle(uint32_t lifetimeMs, const Ru::Math::Vector3& start, const Ru::Math::Vector3& velocity,
                      const Ru::Math::Vector3& colour, cIParticleUpdateStrategy* strategy);
  void Update(float seconds) override;
  bool IsFinished() override { return mAge.GetElapsed() > mLifetime; }
  void Draw() override;
  const Ru::Math::Vector3& GetVelocity() const { return mVelocity; }

 private:
  cSceneStopwatch mAge;
  uint32_t mLifetime;
  Ru::Math::Vector3 mVelocity;
  Ru::Math::Vector3 mGravity;
  Ru::Math::Vector3 mPrevious;
  Ru::Math::Vector3 mColour;
};

// Invisible; turns a little every update and sprays 3 to 7 burst particles.
class cSceneBurstParticleFountain : public cSceneParticle {
 public:
  static constexpr uint32_t kBurstLifetimeMs = 2500;
  cSceneBurstParticleFountain(const Ru::Math::Vector3& position, const Ru::Math::Vector3& direction,
                              const Ru::Math::Quaternion& spin, uint32_t lifetimeMs, const Ru::Math::Vector3& colour,
                              cIParticleUpdateStrategy* strategy);
  void Update(float seconds) override;
  bool IsFinished() override { return mAge.GetElapsed() > mLifetime; }
  void Draw() override {}
  const Ru::Math::Vector3& GetDirection() const { return mDirection; }

 private:
  Ru::Math::Vector3 mDirection;
  Ru::Math::Quaternion mSpin;
  uint32_t mLifetime;
  cSceneStopwatch mAge;
  Ru::Math::Vector3 mColour;
};

class cSceneParticleManager {
 public:
  // Frames longer than this (a stall, a dialog) move particles as if this long.
  static constexpr float kMaxStepSeconds = 0.5f;
  virtual void AddParticle(cISceneParticle* particle);  // the manager owns it from now on
  virtual void Update(float seconds);
  virtual void Draw();
  size_t GetParticleCount() const { return mParticles.size(); }
  const std::list<cISceneParticle*>& GetParticles() const { return mParticles; }
  void DeleteAllForTest();

 private:
  // A list: fountains append while the update walks it.
  std::list<cISceneParticle*> mParticles;
};

cSceneParticleManager& GetSceneParticleManager();
