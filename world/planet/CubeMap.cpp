#include "world/planet/CubeMap.h"

#include <cmath>
#include <utility>

#include "math/Vector.h"
#include "platform/Sys.h"

namespace nKoPlanet {

namespace {

// Per face and per output axis x, y, z: which input feeds it (0 = u, 1 = v,
// 2 = the constant 1) and its sign; the component is (2 * input - 1) * sign.
struct cAxisSource {
  int source;
  float sign;
};
const cAxisSource kFaceOrientation[6][3] = {
    {{0, -1.0f}, {1, 1.0f}, {2, 1.0f}},    // 0: +z
    {{0, -1.0f}, {1, -1.0f}, {2, -1.0f}},  // 1: -z
    {{2, 1.0f}, {0, 1.0f}, {1, -1.0f}},    // 2: +x
    {{2, -1.0f}, {0, -1.0f}, {1, -1.0f}},  // 3: -x
    {{0, -1.0f}, {2, 1.0f}, {1, -1.0f}},   // 4: +y
    {{0, 1.0f}, {2, -1.0f}, {1, -1.0f}},   // 5: -y
};

// Indexed by face, axis (u, v), side (above 1, below 0).
const cFaceEdge kEdges[6][2][2] = {
    {{{3, true, true, false}, {2, true, false, true}}, {{4, false, false, false}, {5, false, true, true}}},
    {{{3, true, false, true}, {2, true, true, false}}, {{5, false, true, true}, {4, false, false, false}}},
    {{{4, false, false, false}, {5, false, false, false}}, {{1, true, false, true}, {0, true, true, false}}},
    {{{5, false, false, false}, {4, false, false, false}}, {{1, true, true, false}, {0, true, false, true}}},
    {{{3, false, false, false}, {2, false, false, false}}, {{1, false, false, false}, {0, false, false, false}}},
    {{{2, false, false, false}, {3, false, false, false}}, {{1, false, true, true}, {0, false, true, true}}},
};

struct cFaceAxes {
  int axisU, axisV, axisN;
  float signU, signV, signN;
};
cFaceAxes AxesOfFace(uint32_t face) {
  cFaceAxes f{};
  for (int axis = 0; axis < 3; ++axis) {
    const cAxisSource& s = kFaceOrientation[face][axis];
    if (s.source == 0) {
      f.axisU = axis;
      f.signU = s.sign;
    } else if (s.source == 1) {
      f.axisV = axis;
      f.signV = s.sign;
    } else {
      f.axisN = axis;
      f.signN = s.sign;
    }
  }
  return f;
}
const cFaceAxes kAxes[6] = {AxesOfFace(0), AxesOfFace(1), AxesOfFace(2), AxesOfFace(3), AxesOfFace(4), AxesOfFace(5)};

// Leaves a face across one edge: the coordinate of the axis moves by one face
// width back onto the neighbour (-1 for side 0, above 1; +1 for side 1, below 0),
// then the edge row's swap and flips apply and the face becomes the neighbour.
void StepAcrossEdge(uint32_t& face, float& u, float& v, int axis, int side) {
  float& c = axis == 0 ? u : v;
  c += side == 0 ? -1.0f : 1.0f;
  const cFaceEdge& e = kEdges[face][axis][side];
  if (e.swap) std::swap(u, v);
  if (e.flipU) u = 1.0f - u;
  if (e.flipV) v = 1.0f - v;
  face = e.neighbour;
}

inline bool OnFace(const cFaceCoordinate& c) { return c.u >= 0.0f && c.u <= 1.0f && c.v >= 0.0f && c.v <= 1.0f; }

}  // namespace

const cFaceEdge& GetFaceEdge(uint32_t face, int axis, int side) { return kEdges[face % 6][axis & 1][side & 1]; }

Ru::Math::Vector3 FaceCoordinateToCubePoint(uint32_t face, float u, float v) {
  Ru::Math::Vector3 d;
  const float inputs[3] = {u, v, 1.0f};
  for (int axis = 0; axis < 3; ++axis) {
    const cAxisSource& s = kFaceOrientation[face % 6][axis];
    d[axis] = (2.0f * inputs[s.source] - 1.0f) * s.sign;
  }
  return d;
}

Ru::Math::Vector3 FaceCoordinateToDirection(uint32_t face, float u, float v) {
  return Ru::Math::Vector3Normalized(FaceCoordinateToCubePoint(face, u, v));
}

bool DirectionToFaceCoordinateOnFace(const Ru::Math::Vector3& d, uint32_t face, cFaceCoordinate& out) {
  const cFaceAxes& f = kAxes[face];
  const float n = d[f.axisN];
  if (std::fabs(n) < kDirectionEpsilon) return false;
  const float sign = n >= 0.0f ? 1.0f : -1.0f;
  if (sign != f.signN) return false;
  const float t = 1.0f / (sign * n);
  out.face = face;
  out.u = (t * d[f.axisU] + f.signU) * f.signU * 0.5f;
  out.v = (t * d[f.axisV] + f.signV) * f.signV * 0.5f;
  return true;
}

cFaceCoordinate DirectionToFaceCoordinate(const Ru::Math::Vector3& d) {
  const float ax = std::fabs(d.x), ay = std::fabs(d.y), az = std::fabs(d.z);
  if (!(ax >= kDirectionEpsilon || ay >= kDirectionEpsilon || az >= kDirectionEpsilon)) return cFaceCoordinate{};
  if (!std::isfinite(ax) || !std::isfinite(ay) || !std::isfinite(az)) return cFaceCoordinate{};
  // Fast path: a point strictly inside the face of the largest component lies on
  // no other face, so the ordered search below would find the same answer.
  uint32_t major;
  if (az >= ax && az >= ay)
    major = d.z >= 0.0f ? 0 : 1;
  else if (ax >= ay)
    major = d.x >= 0.0f ? 2 : 3;
  else
    major = d.y >= 0.0f ? 4 : 5;
  cFaceCoordinate c;
  if (DirectionToFaceCoordinateOnFace(d, major, c) && c.u > 0.0f && c.u < 1.0f && c.v > 0.0f && c.v < 1.0f) return c;
  // On an edge or corner: the lowest-numbered face that holds the point.
  for (uint32_t face = 0; face < 6; ++face) {
    if (DirectionToFaceCoordinateOnFace(d, face, c) && OnFace(c)) return c;
  }
  // Rounding can push a point just off every face; the face of the largest
  // component holds it, clamped, so a valid direction always finds a face.
  if (DirectionToFaceCoordinateOnFace(d, major, c)) {
    c.u = detail::Clamp01(c.u);
    c.v = detail::Clamp01(c.v);
    return c;
  }
  return cFaceCoordinate{};
}

cFaceCoordinate CellToFaceCoordinate(uint32_t face, uint32_t a, uint32_t b, uint32_t width, uint32_t height) {
  const float iw = 1.0f / static_cast<float>(width), ih = 1.0f / static_cast<float>(height);
  return cFaceCoordinate{face, iw * 0.5f + static_cast<float>(a) * iw, ih * 0.5f + static_cast<float>(b) * ih};
}

cCellCoordinate FaceCoordinateToCell(const cFaceCoordinate& c, uint32_t width, uint32_t height) {
  // Clamped on both sides (NaN to 0): a cell index never leaves the map.
  const float x = std::floor(detail::Clamp01(c.u) * static_cast<float>(width));
  const float y = std::floor(detail::Clamp01(c.v) * static_cast<float>(height));
  uint32_t a = static_cast<uint32_t>(x), b = static_cast<uint32_t>(y);
  if (a >= width) a = width - 1;
  if (b >= height) b = height - 1;
  return cCellCoordinate{c.face, a, b};
}

cCellCoordinate CellSpaceToCell(uint32_t face, float x, float y) {
  return cCellCoordinate{face, static_cast<uint32_t>(static_cast<int32_t>(x)), static_cast<uint32_t>(static_cast<int32_t>(y))};
}

void WrapFaceCoordinateAcrossEdge(uint32_t& face, float& u, float& v, int axis) {
  const float c = axis == 0 ? u : v;
  StepAcrossEdge(face, u, v, axis, c > 1.0f ? 0 : 1);
}

cFaceCoordinate NormalizeFaceCoordinate(const cFaceCoordinate& in) {
  cFaceCoordinate c = in;
  if (c.face >= kNoFace) return c;
  // Two crossings suffice for anything a sampler or neighbour walk produces;
  // the bound keeps a NaN or far-off point from looping forever.
  for (int crossings = 0; crossings < 8 && !OnFace(c); ++crossings) {
    const bool uOutside = !(c.u >= 0.0f && c.u <= 1.0f);
    if (uOutside && !std::isfinite(c.u)) break;
    if (!uOutside && !std::isfinite(c.v)) break;
    WrapFaceCoordinateAcrossEdge(c.face, c.u, c.v, uOutside ? 0 : 1);
  }
  c.u = detail::Clamp01(c.u);
  c.v = detail::Clamp01(c.v);
  return c;
}

cFaceCoordinate FaceCoordinateInFrameOfFace(const cFaceCoordinate& in, uint32_t target) {
  cFaceCoordinate c = in;
  for (int hop = 0; hop < 3 && c.face < kNoFace && c.face != target; ++hop) {
    // The first row (in table order) that leads to the target; for the opposite
    // face none does: step across the first row and search again from there.
    int row = 0;
    for (int r = 0; r < 4; ++r)
      if (kEdges[c.face][r / 2][r % 2].neighbour == target) {
        row = r;
        break;
      }
    StepAcrossEdge(c.face, c.u, c.v, row / 2, row % 2);
  }
  return c;
}

void cCubeMapIterator_AllCells::Next() {
  if (mDone || !mMap) return;
  if (++mCell.b >= mMap->GetHeight()) {
    mCell.b = 0;
    if (++mCell.a >= mMap->GetWidth()) {
      mCell.a = 0;
      if (++mCell.face > 5) mDone = true;
    }
  }
}

cCubeMapIterator_Neighbors::cCubeMapIterator_Neighbors(cICubeMap* map, const cFaceCoordinate& c) {
  Reset(map);
  mCentre = FaceCoordinateToCell(c, map->GetWidth(), map->GetHeight());
  mIndex = 0;
  mCell = NeighbourInDirection(mDirections[0]);
}

cCellCoordinate cCubeMapIterator_Neighbors::NeighbourInDirection(int code) const {
  const uint32_t w = mMap->GetWidth(), h = mMap->GetHeight();
  cFaceCoordinate c = CellToFaceCoordinate(mCentre.face, mCentre.a, mCentre.b, w, h);
  switch (code) {
    case 0: c.v -= 1.0f / static_cast<float>(h); break;
    case 1: c.u += 1.0f / static_cast<float>(w); break;
    case 2: c.v += 1.0f / static_cast<float>(h); break;
    default: c.u -= 1.0f / static_cast<float>(w); break;
  }
  return FaceCoordinateToCell(NormalizeFaceCoordinate(c), w, h);
}

void cCubeMapIterator_Neighbors::Next() {
  if (mDone) return;
  if (mIndex < 4) ++mIndex;
  if (mIndex >= 4) {
    mDone = true;
    return;
  }
  mCell = NeighbourInDirection(mDirections[mIndex]);
}

bool TestCubeMapIterator() {
  auto* map = new cCubeMap<float>(2, 2, 1.0f);
  cCubeMapIterator* it = map->CreateAllCellsIterator();
  float value = 1.0f;
  cCellCoordinate last;
  for (; !it->IsDone(); it->Next()) map->SetCell(last = it->GetCell(), value++);
  delete it;
  int seen = 0;
  cCubeMapIterator_AllCells second(map);
  for (; !second.IsDone(); second.Next()) ++seen;
  // 24 cells each time, column by column (cell (0, 0, 1) came second), ending
  // at (5, 1, 1); the centre of face 0 is the mean of its four cells.
  bool good = value == 25.0f && seen == 24 && last.face == 5 && last.a == 1 && last.b == 1 &&
              map->GetCell({0, 0, 1}) == 2.0f && map->Sample(cFaceCoordinate{0, 0.5f, 0.5f}) == 2.5f;
  delete map;
  return good;
}

bool TestCubeMapDirections() {
  bool good = true;
  for (int i = 0; i < 100; ++i) {
    float x = (static_cast<float>(Sys_Random()) - 16383.5f) / 32767.0f;
    float y = (static_cast<float>(Sys_Random()) - 16383.5f) / 32767.0f;
    float z = (static_cast<float>(Sys_Random()) - 16383.5f) / 32767.0f;
    float len = std::sqrt(x * x + y * y + z * z);
    Ru::Math::Vector3 d{x / len, y / len, z / len};
    cFaceCoordinate c = DirectionToFaceCoordinate(d);
    Ru::Math::Vector3 back = FaceCoordinateToDirection(c);
    good = good && c.face < kNoFace && Ru::Math::Vector3NearEqual(back, d, 1e-5f);
  }
  return good;
}

}  // namespace nKoPlanet
