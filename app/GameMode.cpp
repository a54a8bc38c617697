#include "app/GameMode.h"

#include <GL/gl.h>

#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"

std::string cGameMode::GetName() { return "Quorvel"; }

void RenderPlanetAndScene() {
  glEnable(GL_LIGHTING);
  GetPlanetModel().Draw();
  glFlush();  // the renderer's threads fill the planet's pixels while the scene is set up
  glDisable(GL_LIGHTING);
  GetSceneManager().Render();
}

void cGameMode::OnRender() { RenderPlanetAndScene(); }

void cGameMode::OnPauseChanged(bool) {}
void cGameMode::Init() {}
