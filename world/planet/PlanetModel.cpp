#include "world/planet/PlanetModel.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "camera/Camera.h"
#include "math/Quaternion.h"
#include "math/Vector.h"
#include "platform/Sys.h"
#include "world/planet/TerrainFile.h"

using Ru::Math::Quaternion;
using Ru::Math::Vector3;
using namespace Ru::Math;

uint32_t gPlanetGridFlag = 0;

namespace {
GLuint gGridTexture = 0;

bool IsZero(const Vector3& p) { return p.x == 0.0f && p.y == 0.0f && p.z == 0.0f; }

// Unit vector, or (0, 0, 0) for a zero or non-finite one.
Vector3 UnitOrZero(const Vector3& v) {
  const float len = Vector3Length(v);
  if (!(len > 0.0f) || !std::isfinite(len)) return Vector3{};
  return Vector3Scale(v, 1.0f / len);
}

Quaternion QuatFromRows(const Vector3& right, const Vector3& up, const Vector3& forward) {
  Matrix3 m;
  for (int i = 0; i < 3; ++i) {
    m.At(0, i) = right[i];
    m.At(1, i) = up[i];
    m.At(2, i) = forward[i];
  }
  return Matrix3ToQuat(m);
}

float RandomUnit() { return 2.0f * static_cast<float>(Sys_Random()) / 32767.0f - 1.0f; }
}  // namespace

cPlanetModel& GetPlanetModel() {
  static cPlanetModel planet;
  return planet;
}

// The sphere parameters start at the block's defaults; BuildTerrainMesh puts in the planet's own.
cPlanetModel::cPlanetModel() = default;

cPlanetModel::~cPlanetModel() {
  // Each plant's scene object holds a reference on it: free them first.
  for (cPlantPatch& patch : mPatches) patch.plants.clear();
  while (!mPlants.empty()) DropPlant(mPlants.size() - 1);
}

// ---- set-up ------------------------------------------------------------------------------

void cPlanetModel::CreateGridTexture() {
  glGenTextures(1, &gGridTexture);
  gPlanetGridFlag = 0;
  std::vector<float> image(256 * 256 * 3, 1.0f);
  for (int row = 0; row < 256; ++row)
    for (int texel = 0; texel < 4; ++texel)
      for (int c = 0; c < 3; ++c) image[(row * 256 + texel) * 3 + c] = 0.0f;  // a dark line at each whole radius
  glBindTexture(GL_TEXTURE_2D, gGridTexture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  gluBuild2DMipmaps(GL_TEXTURE_2D, 3, 256, 256, GL_RGB, GL_FLOAT, image.data());
  glBindTexture(GL_TEXTURE_2D, 0);
}

bool cPlanetModel::LoadTerrain(const std::string& spelled, std::string& error) {
  // The file's size is known in advance: one of another size is refused before it is read.
  uint64_t size = 0;
  if (Sys_RegularFileSize(spelled, size) && !nKoPlanet::IsTerrainFileSize(size, error)) return false;
  std::vector<uint8_t> bytes;
  std::string refusal;  // grown past the size since it was looked at
  if (!Sys_ReadWholeFile(spelled, SysFileKind::Terrain, bytes, refusal)) {
    error = refusal.empty() ? "cannot open " + Sys_ResolvePath(spelled) : refusal;
    return false;
  }
  auto map = std::make_unique<nKoPlanet::cCubeMap<float>>(nKoPlanet::kTerrainCells, nKoPlanet::kTerrainCells, 0.0f);
  if (!nKoPlanet::DecodeTerrainHeights(bytes.data(), bytes.size(), *map, error)) return false;
  SetHeightMap(std::move(map));
  return true;
}

void cPlanetModel::LoadTerrainOrExit(const std::string& spelled) {
  std::string error;
  if (LoadTerrain(spelled, error)) return;
  // A bad file is refused exactly like a missing one: the planet cannot exist without it.
  Sys_Print(SysStream::Err, "terrain: %s\n", error.c_str());
  Sys_MessageBox("File Error", "Could Not Find terrain.bin");
  std::exit(1);
}

void cPlanetModel::SetHeightMap(std::unique_ptr<nKoPlanet::cCubeMap<float>> map) {
  mHeightMap = std::move(map);
  mParams.heightMap = mHeightMap.get();
  ++mHeightsVersion;
}

void cPlanetModel::BuildTerrainMesh() {
  mParams = TerrainSphereParams(mHeightMap.get());
  mSphere = std::make_unique<nKoPlanet::cDisplacedSphere>();
  Sys_Write(SysStream::Out, "Building Terrain", 16);
  mSphere->Init(mParams);
  Sys_Write(SysStream::Out, "\n\n", 2);
}

void cPlanetModel::Initialize(bool readTerrain) {
  RegisterWithDataManager();
  CreateGridTexture();
  mTerrainPickable = true;
  if (readTerrain) LoadTerrainOrExit(kTerrainFile);
  BuildTerrainMesh();
  SeedPlants();
  mPlantStopwatch.Start();
}

void cPlanetModel::Draw() {
  UpdatePlants();
  if (!mSphere) return;
  float projection[16], modelView[16];
  GetCameraViewMatrix(projection);
  ApplyCameraView(modelView);
  mSphere->UpdateLevelOfDetail(modelView, projection, 5.0f);
  if (gPlanetGridFlag) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, gGridTexture);
  }
  mSphere->Draw();
  glBindTexture(GL_TEXTURE_2D, 0);
  glDisable(GL_TEXTURE_2D);
}

// ---- surface queries -------------------------------------------------------------------------

float cPlanetModel::GetSurfaceRadius(const Vector3& p) const {
  // Counted without a locked add (only the main thread asks): a path search asks millions of times.
  mSurfaceQueries.store(mSurfaceQueries.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
  if (IsZero(p)) return 0.0f;
  if (!mHeightMap) return kBaseRadius;
  float height;
  if (mHeightMap->SampleDirectionFast(p, height)) return height + kBaseRadius;
  // A direction on no face (tiny or NaN) samples nothing: the base radius.
  return mHeightMap->Sample(nKoPlanet::DirectionToFaceCoordinate(p)) + kBaseRadius;
}

void cPlanetModel::ProjectToSurface(Vector3& out, const Vector3& p) const {
  out = Vector3Scale(UnitOrZero(p), GetSurfaceRadius(p));
}

void cPlanetModel::ProjectToSurfaceAtHeight(Vector3& out, const Vector3& p, float h) const {
  out = Vector3Scale(UnitOrZero(p), GetSurfaceRadius(p) + h);
}

float cPlanetModel::GetSurfaceDistance(const Vector3& a, const Vector3& b) const {
  return GetSurfaceDistance(GetSurfacePoint(a), GetSurfacePoint(b));
}

cPlanetModel::sSurfacePoint cPlanetModel::GetSurfacePoint(const Vector3& p) const {
  return {UnitOrZero(p), GetSurfaceRadius(p)};
}

float cPlanetModel::GetSurfaceDistance(const sSurfacePoint& a, const sSurfacePoint& b) {
  const float c = std::clamp(Vector3Dot(a.unit, b.unit), -1.0f, 1.0f);
  return std::acos(c) * (a.radius + b.radius) * 0.5f;
}

// The angle between the directions is at least the chord between them, so
// the arc is at least the chord times the mean radius. The float arc cosine
// may come out short of the true angle: by up to 3.5e-4 where the directions
// nearly meet (the cosine rounds to 1), by far less elsewhere; so a point is
// turned away only when its chord clears the limit's angle by a tenth of a per
// cent and twice that. Anything nearer (and any NaN) is measured in full.
bool cPlanetModel::IsSurfaceDistanceBelow(const sSurfacePoint& a, const sSurfacePoint& b, float limit) {
  const float mean = (a.radius + b.radius) * 0.5f;
  if (limit > 0.0f && mean > 0.0f) {
    const float angle = limit / mean * 1.001f + 7.0e-4f;
    if (Vector3LengthSquared(Vector3Sub(a.unit, b.unit)) > angle * angle) return false;
  }
  return GetSurfaceDistance(a, b) < limit;
}

bool cPlanetModel::IsUnderWater(const Vector3& p) const { return GetSurfaceRadius(p) < kSeaLevelRadius; }

bool cPlanetModel::IsBelowRadius(const Vector3& p, float h) const {
  const float lengthSquared = Vector3LengthSquared(p);
  if (lengthSquared > kShellRadius * kShellRadius) return false;
  Vector3 surface;
  ProjectToSurfaceAtHeight(surface, p, h);
  return lengthSquared <= Vector3LengthSquared(surface);
}

bool cPlanetModel::IsBelowSurface(const Vector3& p) const { return IsBelowRadius(p, 0.0f); }
bool cPlanetModel::IsBelowSurfaceAtHeight(const Vector3& p, float h) const { return IsBelowRadius(p, h); }

void cPlanetModel::IntersectRayBelow(Vector3& out, const Ray& ray, float h) const {
  out = Vector3{};
  const Vector3& O = ray.origin;
  const Vector3& D = ray.direction;
  const float dd = Vector3Dot(D, D);
  if (!(dd > 0.0f) || !std::isfinite(dd) || !IsValidVector3(O)) return;
  // The parameter of the closest approach to the centre, in steps of D, for a D of any length.
  const float t = Vector3Dot(Vector3Negate(O), D) / dd;
  const Vector3 C = Vector3Add(O, Vector3Scale(D, t));
  if (t < 0.0f) {
    Vector3 P = O;
    for (int steps = 0; steps < 100 && !IsBelowRadius(P, h); ++steps) P = Vector3Add(P, D);
    if (IsBelowRadius(P, h)) out = P;
    return;
  }
  if (Vector3Length(C) > kShellRadius) return;
  Vector3 A = O;
  Vector3 M = Vector3Scale(Vector3Add(A, C), 0.5f);
  for (int halvings = 0; halvings < 8 && !IsBelowRadius(M, h); ++halvings) {
    A = M;
    M = Vector3Scale(Vector3Add(A, C), 0.5f);
  }
  // Two closest-approach distances reach the far side of the shell; the cap keeps
  // a tiny step from a far origin bounded.
  const double steps = std::min(2.0 * static_cast<double>(t), 4.0e6);
  const long n = static_cast<long>(steps);
  for (long i = 0; i < n; ++i) {
    if (IsBelowRadius(A, h)) {
      out = A;
      return;
    }
    A = Vector3Add(A, D);
  }
}

void cPlanetModel::IntersectRay(Vector3& out, const Ray& ray) const { IntersectRayBelow(out, ray, 0.0f); }
void cPlanetModel::IntersectRayAtHeight(Vector3& out, const Ray& ray, float h) const { IntersectRayBelow(out, ray, h); }

bool cPlanetModel::IntersectRay(const float ray[6], float hit[3]) const {
  Ray r{Vector3{ray[0], ray[1], ray[2]}, Vector3{ray[3], ray[4], ray[5]}};
  Vector3 out;
  IntersectRay(out, r);
  hit[0] = out.x;
  hit[1] = out.y;
  hit[2] = out.z;
  return Vector3LengthSquared(out) > 1.0f;
}

float cPlanetModel::GetSlope(const Vector3& p, const Vector3& dir) const {
  Vector3 ahead;
  ProjectToSurface(ahead, Vector3Add(p, UnitOrZero(dir)));
  return Vector3Length(ahead) - Vector3Length(p);
}

float cPlanetModel::GetForwardSlope(const Vector3& p, const Quaternion& q) const {
  return GetSlope(p, QuatRotateVector(q, Vector3{0.0f, 0.0f, -1.0f}));
}

void cPlanetModel::GetSlopeVector(Vector3& out, const Vector3& p) const {
  out = Vector3{};
  if (IsZero(p) || !mHeightMap) return;
  const nKoPlanet::cFaceCoordinate c = nKoPlanet::DirectionToFaceCoordinate(p);
  if (c.face >= nKoPlanet::kNoFace) return;
  auto h = [&](float u, float v) {
    return mHeightMap->Sample(nKoPlanet::NormalizeFaceCoordinate(nKoPlanet::cFaceCoordinate{c.face, u, v}));
  };
  const float gu = (h(c.u + 0.01f, c.v) - h(c.u - 0.01f, c.v)) * 100.0f;
  const float gv = (h(c.u, c.v + 0.01f) - h(c.u, c.v - 0.01f)) * 100.0f;
  const float g = std::sqrt(gu * gu + gv * gv);
  if (!(g >= kDegenerate)) return;
  const nKoPlanet::cFaceCoordinate uphill =
      nKoPlanet::NormalizeFaceCoordinate({c.face, c.u + 0.01f * gu / g, c.v + 0.01f * gv / g});
  Vector3 q;
  ProjectToSurface(q, nKoPlanet::FaceCoordinateToDirection(uphill));
  Vector3 w = Vector3Sub(q, p);
  const float len = Vector3Length(w);
  if (!(len >= kDegenerate)) return;
  w = Vector3Scale(w, 1.0f / len);
  out = Vector3Scale(w, std::fabs(GetSlope(p, w)));
}

void cPlanetModel::GetDirectionAwayFromWater(Vector3& out, const Vector3& p) const {
  Vector3 s;
  GetSlopeVector(s, p);
  out = Vector3{};
  if (IsZero(s)) return;
  const Vector3 u = UnitOrZero(s);
  Vector3 probe = p;
  for (int i = 0; i < 5; ++i) {
    if (GetSurfaceRadius(probe) < kSeaLevelRadius) {
      out = u;
      return;
    }
    probe = Vector3Sub(probe, u);
  }
}

void cPlanetModel::GetSlideDirection(Vector3& out, const Vector3& p) const {
  Vector3 s;
  GetSlopeVector(s, p);
  out = Vector3{};
  if (IsZero(s)) return;
  const Vector3 u = UnitOrZero(s);
  if (GetSlope(p, u) > 0.4f) out = Vector3Negate(u);
}

// ---- random points ------------------------------------------------------------------------

bool cPlanetModel::GetRandomSurfacePoint(Vector3& out) const {
  Vector3 v{0.0f, 1.0f, 0.0f};
  bool found = false;
  for (int attempt = 0; attempt < kRandomPointAttempts && !found; ++attempt) {
    const float y = RandomUnit();
    const float x = RandomUnit();
    const float z = RandomUnit();
    v = Vector3{x, y, z};
    const float len = Vector3Length(v);
    found = len >= 0.01f && len <= 1.0f;
  }
  if (!found) v = Vector3{0.0f, 1.0f, 0.0f};
  out = Vector3Scale(UnitOrZero(v), GetSurfaceRadius(v));
  return true;
}

bool cPlanetModel::GetRandomSurfacePointBetween(Vector3& out, float rMin, float rMax) const {
  for (int attempt = 0; attempt < kRandomPointAttempts; ++attempt) {
    GetRandomSurfacePoint(out);
    const float l2 = Vector3LengthSquared(out);
    if (rMin * rMin <= l2 && l2 <= rMax * rMax) return true;
  }
  return false;
}

bool cPlanetModel::GetRandomLandPoint(Vector3& out) const {
  return GetRandomSurfacePointBetween(out, kLandBandLow, kLandBandHigh);
}

void cPlanetModel::GetRandomSurfacePointNear(Vector3& out, const Vector3& centre, float minDist, float maxDist) const {
  if (Vector3LengthSquared(centre) <= 1.0f) {
    GetRandomSurfacePoint(out);
    return;
  }
  Vector3 offset;
  if (maxDist > 0.0f) {
    float d = minDist;
    if (maxDist > minDist) d = minDist + (maxDist - minDist) * static_cast<float>(Sys_Random()) / 32767.0f;
    const float angle = static_cast<float>(Sys_Random()) / 32767.0f * 6.2831855f;
    offset = Vector3{std::cos(angle) * d, 0.0f, std::sin(angle) * d};
  }
  Quaternion frame;
  AlignOrientationToSurface(frame, centre, QuatIdentity());
  const Vector3 turned = Vector3MulMatrix3(offset, QuatToMatrix3(frame));
  ProjectToSurface(out, Vector3Add(centre, turned));
}

namespace {
// Surface points spaced about `spacing` apart on a circle of the given length
// (measured on the base sphere): `start` turned about `axis` in equal steps.
std::vector<Vector3> SurfaceRing(const cPlanetModel& planet, const Vector3& axis, const Vector3& start,
                                 float circumference, float spacing) {
  std::vector<Vector3> ring;
  if (!(spacing > 0.0f)) return ring;
  const float count = circumference / spacing + 1.0f;
  if (!(count >= 1.0f) || count > 1.0e6f) return ring;
  const int n = static_cast<int>(count);
  for (int i = 0; i < n; ++i) {
    const Vector3 d = QuatRotateVector(QuatFromAngleAxis(axis, i * 6.2831855f / n), start);
    Vector3 p;
    planet.ProjectToSurface(p, d);
    ring.push_back(p);
  }
  return ring;
}
}  // namespace

std::vector<Vector3> cPlanetModel::GetLatitudeRing(float polarAngle, float spacing) const {
  const Vector3 tilted = QuatRotateVector(QuatFromAngleAxis(Vector3{1, 0, 0}, polarAngle), Vector3{0, 1, 0});
  return SurfaceRing(*this, Vector3{0, 1, 0}, tilted, std::sin(polarAngle) * 6.2831855f * kBaseRadius, spacing);
}

std::vector<Vector3> cPlanetModel::GetMeridianRing(float angle, float spacing) const {
  const Vector3 axis{std::sin(angle), 0.0f, std::cos(angle)};
  return SurfaceRing(*this, axis, Vector3{0, 1, 0}, 6.2831855f * kBaseRadius, spacing);
}

// ---- orientation frames ---------------------------------------------------------------------

void cPlanetModel::MakeSurfaceOrientation(Quaternion& out, const Vector3& p, const Vector3& facing) {
  out = QuatIdentity();
  if (!(Vector3LengthSquared(p) >= kDegenerate) || !(Vector3LengthSquared(facing) >= kDegenerate)) return;
  const Vector3 up = UnitOrZero(p);
  const Vector3 side = CrossProduct(up, facing);
  if (!(Vector3Length(side) >= kDegenerate)) return;
  const Vector3 right = UnitOrZero(side);
  const Vector3 ahead = CrossProduct(right, up);
  if (!(Vector3Length(ahead) >= kDegenerate)) return;
  out = QuatFromRows(right, up, UnitOrZero(ahead));
}

void cPlanetModel::AlignOrientationToSurface(Quaternion& out, const Vector3& p, const Quaternion& q) {
  const Vector3 up = UnitOrZero(p);
  const Matrix3 m = QuatToMatrix3(q);
  const Vector3 z{m.At(2, 0), m.At(2, 1), m.At(2, 2)};
  if (IsZero(up) || std::fabs(Vector3Dot(z, up)) > 0.999f) {
    out = q;
    return;
  }
  const Vector3 right = UnitOrZero(CrossProduct(up, z));
  const Vector3 forward = UnitOrZero(CrossProduct(right, up));
  out = QuatFromRows(right, up, forward);
}

// Forward along `a`, up across `a` and the sideways step `b`; a degenerate
// frame keeps the old orientation.
static void OrientAlongGround(Quaternion& out, const Vector3& a, const Vector3& b, const Quaternion& old) {
  const Vector3 up = CrossProduct(a, b);
  const Vector3 right = CrossProduct(up, a);
  if (!(Vector3LengthSquared(up) >= cPlanetModel::kDegenerate) ||
      !(Vector3LengthSquared(right) >= cPlanetModel::kDegenerate)) {
    out = old;
    return;
  }
  out = QuatFromRows(UnitOrZero(right), UnitOrZero(up), UnitOrZero(a));
}

void cPlanetModel::AlignOrientationToTerrain(Quaternion& out, const Vector3& p, const Quaternion& q, float d) const {
  const Matrix3 m = QuatToMatrix3(q);
  const Vector3 X{m.At(0, 0), m.At(0, 1), m.At(0, 2)};
  const Vector3 Z{m.At(2, 0), m.At(2, 1), m.At(2, 2)};
  Vector3 ahead;
  ProjectToSurface(ahead, Vector3Add(p, Vector3Scale(Z, d)));
  const Vector3 a = Vector3Sub(ahead, p);
  const Vector3 b = Vector3Scale(X, d);
  OrientAlongGround(out, a, b, q);
}

void cPlanetModel::AlignOrientationToTerrainAtSurface(Quaternion& out, const Vector3& p, const Quaternion& q,
                                                      float d) const {
  const Matrix3 m = QuatToMatrix3(q);
  const Vector3 X{m.At(0, 0), m.At(0, 1), m.At(0, 2)};
  const Vector3 Z{m.At(2, 0), m.At(2, 1), m.At(2, 2)};
  Vector3 s, ahead, side;
  ProjectToSurface(s, p);
  ProjectToSurface(ahead, Vector3Add(s, Vector3Scale(Z, d)));
  ProjectToSurface(side, Vector3Add(s, Vector3Scale(X, d)));
  const Vector3 a = Vector3Sub(ahead, s);
  const Vector3 b = Vector3Sub(side, s);
  OrientAlongGround(out, a, b, q);
}
