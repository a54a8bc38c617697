#include "world/scene/HealthMeterShape.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include "glf/Overlay2D.h"
#include "math/Scalar.h"

namespace {
struct cWindowProjection {
  GLdouble model[16], projection[16];
  GLint viewport[4];
  double depth;
  // A window pixel (y up) at the object's depth, back in object space.
  void Vertex(double x, double y) const {
    GLdouble ox, oy, oz;
    if (gluUnProject(x, y, depth, model, projection, viewport, &ox, &oy, &oz))
      glVertex3d(ox, oy, oz);
  }
  void Rect(GLenum mode, double x0, double y0, double x1, double y1) const {
    glBegin(mode);
    Vertex(x0, y0);
    Vertex(x1, y0);
    Vertex(x1, y1);
    Vertex(x0, y1);
    glEnd();
  }
};

// Helvetica 10 in the 2D overlay, right-aligned to end at x; (x, y) is a
// window pixel with y up, the overlay's y runs down.
void DrawLabelEndingAt(const std::string& text, double x, double y) {
  Begin2D();
  int width = 0, height = 0;
  GetWindowSize2D(&width, &height);
  SetColour2D(1.0f, 1.0f, 1.0f);
  const int textWidth = MeasureTextWidth(GLUT_BITMAP_HELVETICA_10, text.c_str());
  DrawText2D(SaturatedInt(std::trunc(x) - textWidth), SaturatedInt(height - std::trunc(y)), GLUT_BITMAP_HELVETICA_10,
             text.c_str());
  End2D();
}
}  // namespace

void cSceneShapeHealthMeter::BeginDraw() { glDisable(GL_LIGHTING); }
void cSceneShapeHealthMeter::EndDraw() { glEnable(GL_LIGHTING); }

void cSceneShapeHealthMeter::Draw(cSceneObject*) {
  cWindowProjection w;
  glGetDoublev(GL_MODELVIEW_MATRIX, w.model);
  glGetDoublev(GL_PROJECTION_MATRIX, w.projection);
  glGetIntegerv(GL_VIEWPORT, w.viewport);
  double wx, wy;
  if (!gluProject(0.0, 0.0, 0.0, w.model, w.projection, w.viewport, &wx, &wy, &w.depth)) return;
  for (int i = 0; i < mBarCount && i < static_cast<int>(mValues.size()); ++i) {
    const float v = mValues[i];
    double x0, y0, x1, y1, fillX1, fillY1, labelX, labelY;
    if (mSize == 0.0f) {
      x0 = wx - 16, x1 = wx + 16, y0 = wy + 9 * i, y1 = y0 + 8;
      fillX1 = x0 + 32 * v, fillY1 = y1;
      labelX = wx - 17, labelY = y0;
    } else {
      x0 = wx + 9 * i - 4, x1 = wx + 9 * i + 4, y0 = wy, y1 = wy + 32;
      fillX1 = x1, fillY1 = y0 + 32 * v;
      labelX = x0, labelY = wy;
    }
    glColor3f(1.0f, 1.0f, 1.0f);
    w.Rect(GL_LINE_LOOP, x0, y0, x1, y1);
    if (v >= 0.6f) glColor3f(0.0f, 1.0f, 0.0f);
    else if (v >= 0.3f) glColor3f(1.0f, 1.0f, 0.0f);
    else glColor3f(1.0f, 0.0f, 0.0f);
    w.Rect(GL_QUADS, x0, y0, fillX1, fillY1);
    if (i < static_cast<int>(mLabels.size()) && !mLabels[i].empty()) DrawLabelEndingAt(mLabels[i], labelX, labelY);
  }
}
