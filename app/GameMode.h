// The game-mode interface every mode implements, and the common base with defaults.
#pragma once

#include <string>

class cIGameMode {
 public:
  virtual ~cIGameMode() = default;
  virtual std::string GetName() = 0;
  virtual void OnMouseMove(int x, int y) = 0;
  virtual void OnLeftButtonUp(int x, int y) = 0;
  virtual void OnLeftButtonDown(int x, int y) = 0;
  virtual void OnMiddleButtonUp(int x, int y) = 0;
  virtual void OnMiddleButtonDown(int x, int y) = 0;
  virtual void OnRightButtonUp(int x, int y) = 0;
  virtual void OnRightButtonDown(int x, int y) = 0;
  virtual void OnKeyPress(unsigned char key, int x, int y) = 0;
  virtual void OnRender() = 0;
  virtual void Update(unsigned int ms) = 0;  // real frame time, clamped to 500
  virtual void Enter() = 0;
  virtual void Leave() = 0;
  virtual void OnPauseChanged(bool paused) = 0;
  virtual void PreSniffTest() = 0;
  virtual bool SniffTest() = 0;
  virtual void PostSniffTest() = 0;
  virtual void Init() = 0;
};

// The default picture of every mode: the lit planet, then the scene.
void RenderPlanetAndScene();

// Defaults: named "Quorvel", draws the lit planet and then the scene, ignores
// pause changes and one-time initialisation. Everything else stays pure.
class cGameMode : public cIGameMode {
 public:
  std::string GetName() override;
  void OnRender() override;
  void OnPauseChanged(bool paused) override;
  void Init() override;
};
