#include "world/scene/Particles.h"

#include <GL/gl.h>

#include "math/Quaternion.h"
#include "platform/Sys.h"
#include "world/planet/PlanetModel.h"

using namespace Ru::Math;

cSceneParticleManager& GetSceneParticleManager() {
  static cSceneParticleManager* manager = new cSceneParticleManager();
  return *manager;
}

void cSceneParticleManager::AddParticle(cISceneParticle* particle) { mParticles.push_back(particle); }

void cSceneParticleManager::Update(float seconds) {
  seconds = MinFloat(seconds, kMaxStepSeconds);
  for (auto it = mParticles.begin(); it != mParticles.end();) {
    cISceneParticle* particle = *it;
    cIParticleUpdateStrategy* strategy = particle->GetUpdateStrategy();
    if (!particle->IsFinished()) {
      if (strategy) strategy->UpdateParticle(particle, seconds);
      else particle->Update(seconds);
      ++it;
      continue;
    }
    if (strategy) strategy->Destroy();
    delete particle;
    it = mParticles.erase(it);
  }
}

void cSceneParticleManager::Draw() {
  glLineWidth(3.0f);
  glDisable(GL_LIGHTING);
  glBegin(GL_LINES);
  for (cISceneParticle* particle : mParticles) particle->Draw();
  glEnd();
  glEnable(GL_LIGHTING);
  glLineWidth(1.0f);
}

void cSceneParticleManager::DeleteAllForTest() {
  for (cISceneParticle* particle : mParticles) delete particle;
  mParticles.clear();
}

cSceneBurstParticle::cSceneBurstParticle(uint32_t lifetimeMs, const Vector3& start, const Vector3& velocity,
                                         const Vector3& colour, cIParticleUpdateStrategy* strategy)
    : cSceneParticle(strategy), mLifetime(lifetimeMs), mVelocity(velocity), mPrevious(start), mColour(colour) {
  SetPosition(start);
  if (Vector3LengthSquared(start) > 1.0f) mGravity = Vector3Negate(Vector3Normalized(start));
  mAge.Start();
}

void cSceneBurstParticle::Update(float seconds) {
  const Vector3 position = GetPosition();
  if (Vector3Length(position) < GetPlanetModel().GetSurfaceRadius(position)) return;  // sunk in: rests
  mPrevious = position;
  mVelocity = Vector3Add(mVelocity, Vector3Scale(mGravity, seconds));
  SetPosition(Vector3Add(position, Vector3Scale(mVelocity, seconds)));
}

void cSceneBurstParticle::Draw() {
  const Vector3& position = GetPosition();
  glColor3f(mColour.x, mColour.y, mColour.z);
  glVertex3f(position.x, position.y, position.z);
  glVertex3f(mPrevious.x, mPrevious.y, mPrevious.z);
}

cSceneBurstParticleFountain::cSceneBurstParticleFountain(const Vector3& position, const Vector3& direction,
                                                         const Quaternion& spin, uint32_t lifetimeMs,
                                                         const Vector3& colour, cIParticleUpdateStrategy* strategy)
    : cSceneParticle(strategy), mDirection(direction), mSpin(spin), mLifetime(lifetimeMs), mColour(colour) {
  SetPosition(position);
  mAge.Start();
}

void cSceneBurstParticleFountain::Update(float) {
  const Vector3 position = GetPosition();
  if (Vector3LengthSquared(position) < 1.0f) return;
  mDirection = QuatRotateVector(mSpin, mDirection);
  Vector3 unit;
  if (Vector3NormalizeSafe(mDirection, unit) == 0.0f) unit = Vector3{};
  const int count = Sys_Random() % 5 + 3;
  for (int i = 0; i < count; ++i) {
    const float speed = static_cast<float>(Sys_Random()) * (1.0f / 32767.0f) * 2.0f + 1.0f;
    GetSceneParticleManager().AddParticle(
        new cSceneBurstParticle(kBurstLifetimeMs, position, Vector3Scale(unit, speed), mColour, nullptr));
  }
}
