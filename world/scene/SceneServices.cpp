#include "world/scene/SceneServices.h"

#include <GL/glu.h>

#include "platform/Sys.h"

cSceneServices& GetSceneServices() {
  static cSceneServices services;
  return services;
}

uint32_t GetSceneGameTime() {
  uint32_t (*clock)() = GetSceneServices().gameTime;
  return clock ? clock() : Sys_Milliseconds();
}

GLUquadric* GetSceneQuadric() {
  static GLUquadric* quadric = gluNewQuadric();
  return quadric;
}
