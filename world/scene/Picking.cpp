#include "world/scene/Picking.h"

#include <GL/glu.h>

// Unprojects the window point at the near and far planes with the matrices of
// the last drawn frame; the direction is normalised.
void ScreenPointToRay(int x, int y, float ray[6]) {
  GLdouble model[16], projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  double wy = (double)viewport[3] - (double)y - 1.0;
  double nx, ny, nz, fx, fy, fz;
  if (!gluUnProject(x, wy, 0.0, model, projection, viewport, &nx, &ny, &nz) ||
      !gluUnProject(x, wy, 1.0, model, projection, viewport, &fx, &fy, &fz)) {
    for (int i = 0; i < 6; ++i) ray[i] = 0.0f;
    return;
  }
  double dx = fx - nx, dy = fy - ny, dz = fz - nz;
  double length = __builtin_sqrt(dx * dx + dy * dy + dz * dz);
  if (length <= 0.0) length = 1.0;
  ray[0] = (float)nx; ray[1] = (float)ny; ray[2] = (float)nz;
  ray[3] = (float)(dx / length); ray[4] = (float)(dy / length); ray[5] = (float)(dz / length);
}
