#include "glf/Overlay2D.h"

#include <GL/freeglut.h>

// Nestable: only the outermost Begin2D/End2D pair changes GL state.
static int gDepth2D = 0;

void Begin2D() {
  if (gDepth2D++ > 0) return;
  int w = glutGet(GLUT_WINDOW_WIDTH), h = glutGet(GLUT_WINDOW_HEIGHT);
  glPushAttrib(GL_ENABLE_BIT);
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, w > 0 ? w : 1, h > 0 ? h : 1, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
}

void End2D() {
  if (gDepth2D == 0 || --gDepth2D > 0) return;
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glPopAttrib();
}

void cGLFTextList::Clear() {
  mStream.str("");
  mStream.clear();
}
cGLFTextList& cGLFTextList::EndLine() {
  mStream << '\n';
  return *this;
}

// Placeholder: the text list's drawing comes with the overlay work.
void cGLFTextList::Draw(float, float, float, float, float) {}
