#include "app/GameMode.h"

#include <GL/gl.h>

#if __has_include("world/planet/PlanetModel.h")
#include "world/planet/PlanetModel.h"
#define QV_HAVE_PLANET 1
#endif
#include "world/scene/SceneManager.h"

std::string cGameMode::GetName() { return "Quorvel"; }

void RenderPlanetAndScene() {
  glEnable(GL_LIGHTING);
#ifdef QV_HAVE_PLANET
  GetPlanetModel().Draw();
#endif
  glDisable(GL_LIGHTING);
  GetSceneManager().Render();
}

void cGameMode::OnRender() { RenderPlanetAndScene(); }

void cGameMode::OnPauseChanged(bool) {}
void cGameMode::Init() {}
