#include "modes/dev/flyswim/FlySwimDraw.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "camera/Camera.h"
#include "glf/CulledMesh.h"
#include "glf/Overlay2D.h"
#include "glf/PreparedGeometry.h"
#include "glf/ViewVolume.h"
#include "math/Math.h"
#include "modes/dev/flyswim/FlySwimGeometry.h"
#include "modes/dev/flyswim/FlySwimUnits.h"
#include "world/planet/CubeMap.h"
#include "world/planet/PlanetModel.h"

using namespace Ru::Math;

namespace nFlySwim {

namespace {
const Vector3 kGreen{0.0f, 1.0f, 0.0f}, kBlue{0.0f, 0.0f, 1.0f}, kWhite{1.0f, 1.0f, 1.0f}, kYellow{1.0f, 1.0f, 0.0f},
    kGrey{0.6f, 0.6f, 0.6f}, kShadow{0.0f, 0.0f, 0.0f};
constexpr float kPi = 3.14159265f;

GLUquadric* Quadric() {
  if (!State().quadric) State().quadric = gluNewQuadric();
  return State().quadric;
}

void Vertex(const Vector3& p) { glVertex3f(p.x, p.y, p.z); }

// The sea: the 256 x 256 sphere made once at unit radius and scaled, so a
// sea-level change costs nothing; only the stretches of it in view are drawn.
std::unique_ptr<cCulledMesh> gWaterMesh;
}  // namespace

// One prepared unit sphere, scaled: bubbles change size every frame, and a
// sphere tessellated per call or kept per radius would cost more.
void DrawSphere(const Vector3& p, float radius) {
  const bool rescaling = glIsEnabled(GL_RESCALE_NORMAL) == GL_TRUE;
  glEnable(GL_RESCALE_NORMAL);  // the scale must not dim the lit sphere
  glPushMatrix();
  glTranslatef(p.x, p.y, p.z);
  glScalef(radius, radius, radius);
  DrawPreparedSphere(Quadric(), 1.0, 16, 16);
  glPopMatrix();
  if (!rescaling) glDisable(GL_RESCALE_NORMAL);
}

cCullingOff::cCullingOff() : mWasOn(glIsEnabled(GL_CULL_FACE) == GL_TRUE) { glDisable(GL_CULL_FACE); }
cCullingOff::~cCullingOff() {
  if (mWasOn) glEnable(GL_CULL_FACE);
}

void SetColour(const Vector3& rgb, float alpha) { glColor4f(rgb.x, rgb.y, rgb.z, alpha); }

void DrawSphereMarker(const Vector3& point, float size) {
  DrawSphere(point, size);
  SetColour(kShadow, 0.5f);
  DrawSphere(PointAtHeight(point, 0.0f), size * 0.75f);
}

void DrawScreenMarker2D(float x, float y, float radius, float lineWidth) {
  float colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  Begin2D();
  glColor4fv(colour);
  glEnable(GL_BLEND);
  int width = 1, height = 1;
  GetCameraHost().GetWindowSize(width, height);
  const float gy = (float)height - y;  // the overlay counts y upwards
  const float step = kPi / 16.0f;
  if (lineWidth > 1.0f) {
    glBegin(GL_TRIANGLE_STRIP);
    for (int i = 0; i <= 32; ++i) {
      const float a = step * (float)i, c = std::cos(a), s = std::sin(a);
      glVertex2f(x + c * (radius - lineWidth), gy + s * (radius - lineWidth));
      glVertex2f(x + c * radius, gy + s * radius);
    }
    glEnd();
  } else {
    glBegin(GL_LINE_LOOP);
    for (int i = 0; i < 32; ++i) glVertex2f(x + std::cos(step * (float)i) * radius, gy + std::sin(step * (float)i) * radius);
    glEnd();
  }
  End2D();
}

void DrawRing(const Vector3& centre, float radius, int segments) {
  const Vector3 up = Normalize(centre);
  Vector3 side = CrossProduct(up, Vector3{1.0f, 0.0f, 0.0f});
  if (Vector3Length(side) < 0.1f) side = CrossProduct(up, Vector3{0.0f, 0.0f, 1.0f});
  side = Normalize(side);
  const Vector3 other = CrossProduct(up, side);
  glBegin(GL_LINE_LOOP);
  for (int i = 0; i < segments; ++i) {
    const float a = 2.0f * kPi * (float)i / (float)segments;
    Vertex(Vector3Add(centre, Vector3Add(Vector3Scale(side, std::cos(a) * radius), Vector3Scale(other, std::sin(a) * radius))));
  }
  glEnd();
}

void DrawUnitDebug(sUnit& unit) {
  const sState& s = State();
  const bool group = Has(kGroup);
  if (!group && !(s.mode == kFish && s.hideFishMarker)) {
    const float alpha = TargetMarkerAlpha(unit);
    if (alpha > 0.0f) {
      SetColour(Vector3Lerp(kGreen, kGrey, 0.3f), alpha);
      DrawSphereMarker(TargetMarkerPoint(unit), 0.3f);
    }
  }
  if (unit.selected && group) {
    glDisable(GL_LIGHTING);
    SetColour(Vector3Lerp(kYellow, kWhite, 0.6f), 0.35f);
    DrawRing(GetUnitPosition(unit), 1.05f, 16);
    glEnable(GL_LIGHTING);
  }
  UpdateUnitFootprint(unit);
  if (s.showFootprints && group) {
    SetColour(kGreen, 0.5f);
    DrawScreenMarker2D(unit.screenX, unit.screenY, unit.screenRadius, 1.0f);
  }
  if (!group) DrawUnitBubbles(unit);
}

void DrawUnitBubbles(const sUnit& unit) {
  SetColour(kBlue, 0.2f);
  const float W = WaterShellRadius();
  for (int i = 0; i < unit.bubbleCount; ++i) {
    const Vector3& b = unit.bubbles[i];
    if (Vector3Length(b) > W || IsZeroVector(b)) continue;
    const Vector3 side = Vector3Scale(CrossProduct(Normalize(b), Vector3{1.0f, 0.0f, 0.0f}), 4.0f);
    const float t0 = (float)(i % 20) * 0.05f;
    const float w = Smoothstep(TriangleWave(t0, 2.5f));
    const float r = Smoothstep(TriangleWave(t0, 3.0f)) * 0.01f + 0.04f;
    DrawSphere(Vector3Add(b, Vector3Scale(side, w)), r);
  }
}

namespace {
// Points the driver at positions (3 floats) and colours (4 floats) only; the
// caller pops the client state after drawing.
void PushColouredArrays(const float* positions, const float* colours) {
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, positions);
  glColorPointer(4, GL_FLOAT, 0, colours);
}

// Coloured vertices gathered over a frame and handed to the driver in one
// call, instead of a begin/end pair per shape.
class cColouredArrays {
 public:
  void Clear() {
    mPositions.clear();
    mColours.clear();
  }
  void Add(const Vector3& p, const float* rgba) {
    mPositions.insert(mPositions.end(), {p.x, p.y, p.z});
    mColours.insert(mColours.end(), rgba, rgba + 4);
  }
  void Draw(GLenum primitive) const {
    if (mPositions.empty()) return;
    PushColouredArrays(mPositions.data(), mColours.data());
    glDrawArrays(primitive, 0, (GLsizei)(mPositions.size() / 3));
    glPopClientAttrib();
    // Arrays leave the current colour undefined; the next shape sets its own.
  }

 private:
  std::vector<float> mPositions, mColours;
};

// Outlines of shapes drawn by the thousand, without line smoothing: on
// llvmpipe each smoothed line costs the main thread as much as a small
// textured quad, and on a speck or fish a few pixels wide the softer edge
// does not show. The mode's other lines stay smooth.
void DrawSharpLines(const cColouredArrays& lines) {
  const bool smooth = glIsEnabled(GL_LINE_SMOOTH) == GL_TRUE;
  glDisable(GL_LINE_SMOOTH);
  lines.Draw(GL_LINES);
  if (smooth) glEnable(GL_LINE_SMOOTH);
}
}  // namespace

void DrawSchool(const sSchoolFish* school, int count) {
  static cColouredArrays fill, outline;  // kept, so a frame does not allocate
  fill.Clear();
  outline.Clear();
  for (int index = 0; index < count; ++index) {
    const sSchoolFish& fish = school[index];
    const Vector3 up = Normalize(fish.position);
    const Vector3 side = CrossProduct(fish.direction, up);
    const float wag = Smoothstep(TriangleWave((float)index * 0.037f, 0.35f)) * std::clamp(fish.speed, 0.0f, 1.0f) * 0.2f;
    const float L = fish.size;
    const Vector3 tip = Vector3Add(fish.position, Vector3Scale(fish.direction, L));
    const Vector3 tail = Vector3Add(fish.position, Vector3Scale(side, wag));
    const Vector3 corners[3] = {tip, Vector3Add(tail, Vector3Scale(up, L * 0.5f)), Vector3Sub(tail, Vector3Scale(up, L * 0.5f))};
    const float rgba[4] = {fish.colour.x, fish.colour.y, fish.colour.z, 1.0f};
    for (int i = 0; i < 3; ++i) {
      fill.Add(corners[i], rgba);
      outline.Add(corners[i], rgba);
      outline.Add(corners[(i + 1) % 3], rgba);
    }
  }
  fill.Draw(GL_TRIANGLES);
  DrawSharpLines(outline);
}

void DrawSpecks(const sSpeck* specks) {
  cCullingOff cullingOff;
  glDisable(GL_LIGHTING);
  const Vector3 view = GetViewDirection();
  Vector3 across = CrossProduct(view, Vector3{0.0f, 1.0f, 0.0f});
  if (Vector3Length(across) < 0.1f) across = CrossProduct(view, Vector3{1.0f, 0.0f, 0.0f});
  across = Vector3Scale(Normalize(across), 0.04f);
  const Vector3 upward = Vector3Scale(Normalize(CrossProduct(across, view)), 0.04f);
  const float drift1 = Smoothstep(TriangleWave(0.0f, 7.0f)), drift2 = Smoothstep(TriangleWave(3.0f, 9.0f));
  // Each speck's four corners once, in two index lists: its fill (two
  // triangles) and its outline (four lines), so the driver transforms a
  // corner once for both instead of once per use.
  static std::vector<float> corners, colours;  // kept, so a frame does not allocate
  static std::vector<GLuint> fillOrder, outlineOrder;
  if (fillOrder.empty())
    for (GLuint k = 0; k < (GLuint)kSpeckCount; ++k) {
      for (GLuint i : {0u, 1u, 2u, 0u, 2u, 3u}) fillOrder.push_back(4 * k + i);
      for (GLuint i : {0u, 1u, 1u, 2u, 2u, 3u, 3u, 0u}) outlineOrder.push_back(4 * k + i);
    }
  corners.clear();
  colours.clear();
  // Specks fill a cube around the camera: those behind it or beside the view are left out.
  float modelView[16], projection[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  const cViewVolume volume(modelView, projection);
  const float reach = 0.06f;  // a speck's corners lie within 0.04 x sqrt 2 of its point
  for (int k = 0; k < kSpeckCount; ++k) {
    const sSpeck& speck = specks[k];
    Vector3 colour, p = speck.anchor;
    float factor = 1.0f;
    if (speck.side == -1) {
      colour = Vector3{0.5f, 0.25f, 0.0625f};
    } else if (speck.side == 0) {
      colour = kWhite;
      factor = 0.5f;
      p = Vector3Add(p, Vector3{drift1 * 0.25f, drift2 * 0.25f, 0.0f});
    } else if (speck.side == 1) {
      colour = kYellow;
      factor = TriangleWave((float)(k % 10) * 0.1f, 2.0f) * 0.3f + 0.7f;
    }
    if (volume.SphereOutside(p, reach)) continue;
    const float rgba[4] = {colour.x, colour.y, colour.z, factor * speck.fade * 0.5f};
    for (const Vector3& c : {Vector3Add(p, across), Vector3Add(p, upward), Vector3Sub(p, across), Vector3Sub(p, upward)}) {
      corners.insert(corners.end(), {c.x, c.y, c.z});
      colours.insert(colours.end(), rgba, rgba + 4);
    }
  }
  // Every fill goes before every outline; a speck's own pixels blend as before.
  const GLsizei drawn = (GLsizei)(corners.size() / 12);
  if (drawn > 0) {
    PushColouredArrays(corners.data(), colours.data());
    glDrawElements(GL_TRIANGLES, drawn * 6, GL_UNSIGNED_INT, fillOrder.data());
    const bool smooth = glIsEnabled(GL_LINE_SMOOTH) == GL_TRUE;  // sharp outlines, as the school's
    glDisable(GL_LINE_SMOOTH);
    glDrawElements(GL_LINES, drawn * 8, GL_UNSIGNED_INT, outlineOrder.data());
    if (smooth) glEnable(GL_LINE_SMOOTH);
    glPopClientAttrib();
  }
  glEnable(GL_LIGHTING);
}

void DrawLightRays(const sLightRay* rays) {
  cCullingOff cullingOff;
  glDisable(GL_LIGHTING);
  const Vector3 v = GetViewDirection();
  const float W = WaterShellRadius();
  const float p = CyclePhase(0.0f, 2.0f);
  const float flicker = 0.15f * std::clamp(2.0f * std::min(p, 1.0f - p), 0.0f, 1.0f);
  for (int i = 0; i < kLightRayCount; ++i) {
    const sLightRay& ray = rays[i];
    if (IsZeroVector(ray.direction)) continue;  // not spawned yet
    const Vector3 d = ray.direction;
    const Vector3 top = Vector3Scale(d, W);
    const Vector3 w = Normalize(Vector3Add(Vector3Negate(d), Vector3{0.3f, 0.0f, 0.0f}));
    const Vector3 c = CrossProduct(v, d);
    const Vector3 side = Vector3Scale(c, 0.2f), farSide = Vector3Scale(c, 0.5f);
    const Vector3 mid = Vector3Add(top, Vector3Scale(w, 0.4f)), end = Vector3Add(top, Vector3Scale(w, ray.length));
    const float alpha = std::clamp(flicker + ray.intensity, 0.0f, 1.0f);
    glBegin(GL_TRIANGLE_STRIP);
    SetColour(kYellow, 0.0f);
    Vertex(Vector3Add(top, side));
    Vertex(Vector3Sub(top, side));
    SetColour(kYellow, alpha);
    Vertex(Vector3Add(mid, side));
    Vertex(Vector3Sub(mid, side));
    SetColour(kYellow, 0.0f);
    Vertex(Vector3Add(end, farSide));
    Vertex(Vector3Sub(end, farSide));
    glEnd();
  }
  glEnable(GL_LIGHTING);
}

// A radius the drawn ground never dips below, anywhere: the lowest height
// cell, less what a coarse patch's flat triangles may sag under its corners.
// Kept until the planet's heights change.
static bool gSeaCulling = true;
void SetSeaCullingEnabled(bool enabled) { gSeaCulling = enabled; }

static float LowestGroundRadius() {
  static const void* measured = nullptr;
  static float lowest = 0.0f;
  const nKoPlanet::cCubeMap<float>* map = GetPlanetModel().GetHeightMap();
  if (map != measured || !map) {
    measured = map;
    float height = 0.0f;
    bool any = false;
    if (map)
      for (uint32_t face = 0; face < 6; ++face)
        for (uint32_t b = 0; b < map->GetHeight(); ++b)
          for (uint32_t a = 0; a < map->GetWidth(); ++a) {
            const float h = map->GetCell(nKoPlanet::cCellCoordinate{face, a, b});
            if (std::isfinite(h) && (!any || h < height)) height = h;
            any = any || std::isfinite(h);
          }
    lowest = std::max(0.0f, (cPlanetModel::kBaseRadius + height) * 0.97f);
  }
  return lowest;
}

void DrawWaterSphere(float radius, float fogEnd) {
  if (!gWaterMesh) {
    cIndexedMesh sphere = BuildIndexedSphere(1.0, 256, 256);
    gWaterMesh = std::make_unique<cCulledMesh>(std::move(sphere.positions), std::move(sphere.indices), 16);
  }
  float modelView[16], projection[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  cViewVolume volume(modelView, projection);
  if (gSeaCulling) {
    // The sea behind the planet cannot show: the ground is drawn first.
    const float* m = modelView;  // a rigid view: the eye is minus the translation turned back
    const Vector3 eye{-(m[0] * m[12] + m[1] * m[13] + m[2] * m[14]), -(m[4] * m[12] + m[5] * m[13] + m[6] * m[14]),
                      -(m[8] * m[12] + m[9] * m[13] + m[10] * m[14])};
    volume.HideBehindBall(eye, LowestGroundRadius());
  }
  // Under a fog the sea past its end is the fog's colour over the same colour
  // cleared behind it (nothing lies beyond the shell): leaving it out changes
  // no pixel, and from under the sea it is nearly all of the sphere in view.
  if (fogEnd > 0.0f && gSeaCulling) volume.LimitDepth(fogEnd);
  gWaterMesh->Draw(volume, radius);
}

void FreeWaterSphere() { gWaterMesh.reset(); }

}  // namespace nFlySwim
