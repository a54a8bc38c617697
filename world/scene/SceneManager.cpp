#include "world/scene/SceneManager.h"

// Placeholders with the real names: the scene has no objects or particles yet.
void cSceneManager::Render() { GetSceneParticleManager().Draw(); }
void cSceneParticleManager::Update(float) {}
void cSceneParticleManager::Draw() {}

cSceneManager& GetSceneManager() {
  static cSceneManager* manager = new cSceneManager();
  return *manager;
}

cSceneParticleManager& GetSceneParticleManager() {
  static cSceneParticleManager* manager = new cSceneParticleManager();
  return *manager;
}

void RegisterSceneDebugCommand() {}
