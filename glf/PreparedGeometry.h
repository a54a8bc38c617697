// Geometry that does not change from frame to frame, compiled once into an
// OpenGL display list and replayed each frame: the driver keeps the vertices,
// so a frame no longer re-issues (or re-tessellates) them. The list records
// exactly the calls the immediate path makes, so the picture is the same.
//
// Switched off (SetPreparedGeometryEnabled(false)) everything is issued
// immediately again: the reference the picture comparisons draw against.
#pragma once

#include <GL/gl.h>

struct GLUquadric;

void SetPreparedGeometryEnabled(bool enabled);
bool IsPreparedGeometryEnabled();

// One display list, compiled from what `emit` issues on first use and again
// after Invalidate. A list the current context does not know (a new context)
// is compiled anew. Inside another list's compilation it just emits.
class cPreparedList {
 public:
  cPreparedList() = default;
  // A copy is a list of its own, compiled on its first draw.
  cPreparedList(const cPreparedList&) {}
  cPreparedList& operator=(const cPreparedList&) {
    Invalidate();
    return *this;
  }
  ~cPreparedList();

  template <class Emit>
  void Draw(Emit&& emit) {
    if (!BeginReplay()) {
      emit();
      return;
    }
    if (!mCompiled) {
      glNewList(mList, GL_COMPILE);
      emit();
      glEndList();
      mCompiled = true;
    }
    glCallList(mList);
  }
  void Invalidate() { mCompiled = false; }  // the geometry changed: compile again on the next draw
  bool IsCompiled() const { return mCompiled; }

 private:
  bool BeginReplay();  // false: draw immediately; true: mList names a list (maybe not yet compiled)
  GLuint mList = 0;
  bool mCompiled = false;
};

// gluSphere(quadric, radius, slices, stacks) for the scene's default quadric,
// replayed from a list kept per radius, slices and stacks.
void DrawPreparedSphere(GLUquadric* quadric, double radius, int slices, int stacks);
// How many distinct spheres have lists (bounded: beyond the cap they draw immediately).
int PreparedSphereCount();
