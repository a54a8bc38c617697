// The scene of drawable objects and the particle system.
// Not built yet: the render pass and the particles are empty until the scene
// arrives; start-up and the frame loop already call them in their places.
#pragma once

class cSceneManager {
 public:
  virtual ~cSceneManager() = default;
  void Render();  // draws every scene object shape by shape, then the particles
};

class cSceneParticleManager {
 public:
  virtual void Update(float seconds);
  virtual void Draw();
};

cSceneManager& GetSceneManager();
cSceneParticleManager& GetSceneParticleManager();
void RegisterSceneDebugCommand();  // the "scene" console command
