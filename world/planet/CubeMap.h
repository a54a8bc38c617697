// Values stored on the six faces of a cube that stands for the directions from
// the planet centre: which face and point a direction falls on, which direction
// a face point stands for, and bilinear sampling that stays continuous across
// face edges and corners.
//
// Face coordinates are (face, u, v) with u, v in 0..1; face 6 means "no face".
// Cell (face, a, b) is entry (height * face + b) * width + a.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "math/Types.h"

namespace nKoPlanet {

constexpr uint32_t kNoFace = 6;
constexpr float kDirectionEpsilon = 1.0f / 65536.0f;

struct cFaceCoordinate {
  uint32_t face = kNoFace;
  float u = 0.0f;
  float v = 0.0f;
};

struct cCellCoordinate {
  uint32_t face = kNoFace;
  uint32_t a = 0;  // column, 0..width - 1
  uint32_t b = 0;  // row, 0..height - 1
};

// ---- conversions ---------------------------------------------------------------
Ru::Math::Vector3 FaceCoordinateToDirection(uint32_t face, float u, float v);
inline Ru::Math::Vector3 FaceCoordinateToDirection(const cFaceCoordinate& c) {
  return FaceCoordinateToDirection(c.face, c.u, c.v);
}
// The unnormalised cube point (one component is +-1).
Ru::Math::Vector3 FaceCoordinateToCubePoint(uint32_t face, float u, float v);
// Face 6 when every component is below 2^-16 in magnitude or the direction is not finite.
cFaceCoordinate DirectionToFaceCoordinate(const Ru::Math::Vector3& d);
bool DirectionToFaceCoordinateOnFace(const Ru::Math::Vector3& d, uint32_t face, cFaceCoordinate& out);
inline cFaceCoordinate FaceCoordinateToCellSpace(const cFaceCoordinate& c, uint32_t width, uint32_t height) {
  return cFaceCoordinate{c.face, c.u * static_cast<float>(width) - 0.5f, c.v * static_cast<float>(height) - 0.5f};
}
cFaceCoordinate CellToFaceCoordinate(uint32_t face, uint32_t a, uint32_t b, uint32_t width, uint32_t height);
// Always a cell inside the map, even for a coordinate slightly off its face.
cCellCoordinate FaceCoordinateToCell(const cFaceCoordinate& c, uint32_t width, uint32_t height);
cCellCoordinate CellSpaceToCell(uint32_t face, float x, float y);
void WrapFaceCoordinateAcrossEdge(uint32_t& face, float& u, float& v, int axis);
// Brings a point up to a face width beyond an edge onto the right face. Bounded:
// a non-finite or far-off point ends clamped onto a face instead of looping.
cFaceCoordinate NormalizeFaceCoordinate(const cFaceCoordinate& c);
cFaceCoordinate FaceCoordinateInFrameOfFace(const cFaceCoordinate& c, uint32_t targetFace);

// One row of the edge table: where leaving a face across an edge leads.
struct cFaceEdge {
  uint32_t neighbour;
  bool swap, flipU, flipV;
};
const cFaceEdge& GetFaceEdge(uint32_t face, int axis, int side);  // side 0: above 1, side 1: below 0

// ---- the maps ------------------------------------------------------------------
class cICubeMap {
 public:
  virtual ~cICubeMap() = default;
  virtual uint32_t GetWidth() const = 0;
  virtual uint32_t GetHeight() const = 0;
};

class cCubeMapIterator {
 public:
  virtual ~cCubeMapIterator() = default;
  virtual void Next() = 0;
  virtual cCellCoordinate GetCell() const { return mCell; }
  virtual bool IsDone() const { return mDone; }
  void Reset(cICubeMap* map) {
    mMap = map;
    mCell = cCellCoordinate{0, 0, 0};
    mDone = false;
  }

 protected:
  cICubeMap* mMap = nullptr;
  cCellCoordinate mCell;
  bool mDone = true;
};

// Face 0 first; within a face column a = 0 first; within a column every row b:
// the order of the heights in the terrain file.
class cCubeMapIterator_AllCells : public cCubeMapIterator {
 public:
  explicit cCubeMapIterator_AllCells(cICubeMap* map) { Reset(map); }
  void Next() override;
};

// The four cells next to one cell, across face edges where needed, in the
// order lower v, lower u, higher v, higher u.
class cCubeMapIterator_Neighbors : public cCubeMapIterator {
 public:
  cCubeMapIterator_Neighbors(cICubeMap* map, const cFaceCoordinate& c);
  void Next() override;

 private:
  cCellCoordinate NeighbourInDirection(int code) const;
  cCellCoordinate mCentre;
  uint32_t mIndex = 0;
  int mDirections[4] = {0, 3, 2, 1};
};

// Cell arithmetic per cell type: float and Vector3 in float, int with integer differences.
namespace detail {
inline float Bilinear(float c00, float c10, float c01, float c11, float fx, float fy) {
  return c00 + (c10 - c00) * fx + (c01 - c00) * fy + (c00 + c11 - c01 - c10) * fx * fy;
}
inline int Bilinear(int c00, int c10, int c01, int c11, float fx, float fy) {
  int d10 = c10 - c00, d01 = c01 - c00, d11 = c00 + c11 - c01 - c10;
  return static_cast<int>(static_cast<float>(c00) + static_cast<float>(d10) * fx + static_cast<float>(d01) * fy +
                          static_cast<float>(d11) * fx * fy);
}
inline Ru::Math::Vector3 Bilinear(const Ru::Math::Vector3& c00, const Ru::Math::Vector3& c10,
                                  const Ru::Math::Vector3& c01, const Ru::Math::Vector3& c11, float fx, float fy) {
  return Ru::Math::Vector3{Bilinear(c00.x, c10.x, c01.x, c11.x, fx, fy), Bilinear(c00.y, c10.y, c01.y, c11.y, fx, fy),
                           Bilinear(c00.z, c10.z, c01.z, c11.z, fx, fy)};
}
inline float MeanOfOthers(float s0, float s1, float s2, float s3, float sj) { return (s0 + s1 + s2 + s3 - sj) * 0.33333334f; }
inline int MeanOfOthers(int s0, int s1, int s2, int s3, int sj) { return (s0 + s1 + s2 + s3 - sj) / 3; }
inline Ru::Math::Vector3 MeanOfOthers(const Ru::Math::Vector3& s0, const Ru::Math::Vector3& s1,
                                      const Ru::Math::Vector3& s2, const Ru::Math::Vector3& s3,
                                      const Ru::Math::Vector3& sj) {
  return Ru::Math::Vector3{MeanOfOthers(s0.x, s1.x, s2.x, s3.x, sj.x), MeanOfOthers(s0.y, s1.y, s2.y, s3.y, sj.y),
                           MeanOfOthers(s0.z, s1.z, s2.z, s3.z, sj.z)};
}
inline float Clamp01(float f) { return f >= 0.0f ? (f <= 1.0f ? f : 1.0f) : 0.0f; }  // NaN gives 0
}  // namespace detail

template <typename T>
class cCubeMap : public cICubeMap {
 public:
  cCubeMap() = default;
  cCubeMap(uint32_t width, uint32_t height, const T& initial)
      : mWidth(width), mHeight(height), mCells(static_cast<size_t>(6) * width * height, initial) {}

  uint32_t GetWidth() const override { return mWidth; }
  uint32_t GetHeight() const override { return mHeight; }

  size_t IndexOf(uint32_t face, uint32_t a, uint32_t b) const {
    return (static_cast<size_t>(mHeight) * face + b) * mWidth + a;
  }
  T GetCell(const cCellCoordinate& c) const { return mCells[IndexOf(c.face, c.a, c.b)]; }
  void SetCell(const cCellCoordinate& c, const T& value) { mCells[IndexOf(c.face, c.a, c.b)] = value; }
  void SetAt(const cFaceCoordinate& c, const T& value) { SetCell(FaceCoordinateToCell(c, mWidth, mHeight), value); }
  T* GetFaceData(uint32_t face) { return &mCells[IndexOf(face, 0, 0)]; }
  const T* GetFaceData(uint32_t face) const { return &mCells[IndexOf(face, 0, 0)]; }
  std::vector<T>& Cells() { return mCells; }
  const std::vector<T>& Cells() const { return mCells; }

  // The interpolated value at a point of a face. A point on no face (face 6,
  // from a zero or non-finite direction) gives the default value of T.
  T Sample(const cFaceCoordinate& c) const {
    if (c.face >= kNoFace || mCells.empty()) return T{};
    const cFaceCoordinate p = FaceCoordinateToCellSpace(c, mWidth, mHeight);
    const float x = p.u, y = p.v;
    const int flags = (x < 0.0f) + (x > static_cast<float>(mWidth - 1)) + (y < 0.0f) + (y > static_cast<float>(mHeight - 1));
    // Anything else that is not inside 0..1 (NaN) must not be used as an index.
    if (!(c.u >= 0.0f && c.u <= 1.0f && c.v >= 0.0f && c.v <= 1.0f)) return Sample(NormalizeFaceCoordinate(c));
    if (flags == 0) return cCubeMap::SampleInterior(c);
    if (flags & 1) return cCubeMap::SampleAcrossEdge(c);
    return cCubeMap::SampleAtCorner(c);
  }

  virtual T SampleInterior(const cFaceCoordinate& c) const {
    const cFaceCoordinate p = FaceCoordinateToCellSpace(c, mWidth, mHeight);
    return InterpolateInFace(p.face, p.u, p.v);
  }

  virtual T SampleAcrossEdge(const cFaceCoordinate& c) const {
    const cFaceCoordinate p = FaceCoordinateToCellSpace(c, mWidth, mHeight);
    const float x = p.u, y = p.v;
    const float du = 0.5f / static_cast<float>(mWidth), dv = 0.5f / static_cast<float>(mHeight);
    const cFaceCoordinate points[4] = {{c.face, c.u - du, c.v - dv},
                                       {c.face, c.u + du, c.v - dv},
                                       {c.face, c.u - du, c.v + dv},
                                       {c.face, c.u + du, c.v + dv}};
    cCellCoordinate cells[4];
    T values[4];
    for (int i = 0; i < 4; ++i) {
      cells[i] = FaceCoordinateToCell(NormalizeFaceCoordinate(points[i]), mWidth, mHeight);
      values[i] = GetCell(cells[i]);
    }
    float fx, fy;
    if (cells[3].face == c.face) {
      fx = x - static_cast<float>(cells[3].a) + 1.0f;
      fy = y - static_cast<float>(cells[3].b) + 1.0f;
    } else {
      fx = x - static_cast<float>(cells[0].a);
      fy = y - static_cast<float>(cells[0].b);
    }
    return detail::Bilinear(values[0], values[1], values[2], values[3], detail::Clamp01(fx), detail::Clamp01(fy));
  }

  virtual T SampleAtCorner(const cFaceCoordinate& c) const {
    const cFaceCoordinate p = FaceCoordinateToCellSpace(c, mWidth, mHeight);
    const float x = p.u, y = p.v;
    const float w = static_cast<float>(mWidth), h = static_cast<float>(mHeight);
    const float du = 0.5f / w + 0.01f / w, dv = 0.5f / h + 0.01f / w;
    const cFaceCoordinate points[4] = {{c.face, c.u - du, c.v - dv},
                                       {c.face, c.u + du, c.v - dv},
                                       {c.face, c.u + du, c.v + dv},
                                       {c.face, c.u - du, c.v + dv}};
    cCellCoordinate cells[4];
    T s[4];
    int k = 0;
    for (int i = 0; i < 4; ++i) {
      cells[i] = FaceCoordinateToCell(NormalizeFaceCoordinate(points[i]), mWidth, mHeight);
      s[i] = GetCell(cells[i]);
      if (cells[i].face == c.face) k = i;
    }
    const int j = (k + 2 > 3) ? k - 2 : k + 2;
    s[j] = detail::MeanOfOthers(s[0], s[1], s[2], s[3], s[j]);
    float fx = x - static_cast<float>(cells[k].a);
    float fy = y - static_cast<float>(cells[k].b);
    if (k == 1 || k == 2) fx += 1.0f;
    if (k == 2 || k == 3) fy += 1.0f;
    return detail::Bilinear(s[0], s[1], s[3], s[2], detail::Clamp01(fx), detail::Clamp01(fy));
  }

  // The hot path of every height query: a direction whose point lies inside the
  // interior sampling region of a face, sampled without the general case
  // analysis. Returns false (value untouched) for anything else, which the
  // caller hands to DirectionToFaceCoordinate and Sample; both give the same value.
  bool SampleDirectionFast(const Ru::Math::Vector3& d, T& value) const {
    const float ax = std::fabs(d.x), ay = std::fabs(d.y), az = std::fabs(d.z);
    uint32_t face;
    float u, v;
    if (az >= ax && az >= ay) {
      if (!(az >= kDirectionEpsilon)) return false;
      const float t = 1.0f / az;
      if (d.z >= 0.0f) {
        face = 0, u = (t * d.x - 1.0f) * -1.0f * 0.5f, v = (t * d.y + 1.0f) * 0.5f;
      } else {
        face = 1, u = (t * d.x - 1.0f) * -1.0f * 0.5f, v = (t * d.y - 1.0f) * -1.0f * 0.5f;
      }
    } else if (ax >= ay) {
      if (!(ax >= kDirectionEpsilon)) return false;
      const float t = 1.0f / ax;
      if (d.x >= 0.0f) {
        face = 2, u = (t * d.y + 1.0f) * 0.5f, v = (t * d.z - 1.0f) * -1.0f * 0.5f;
      } else {
        face = 3, u = (t * d.y - 1.0f) * -1.0f * 0.5f, v = (t * d.z - 1.0f) * -1.0f * 0.5f;
      }
    } else {
      if (!(ay >= kDirectionEpsilon)) return false;
      const float t = 1.0f / ay;
      if (d.y >= 0.0f) {
        face = 4, u = (t * d.x - 1.0f) * -1.0f * 0.5f, v = (t * d.z - 1.0f) * -1.0f * 0.5f;
      } else {
        face = 5, u = (t * d.x + 1.0f) * 0.5f, v = (t * d.z - 1.0f) * -1.0f * 0.5f;
      }
    }
    const cFaceCoordinate p = FaceCoordinateToCellSpace(cFaceCoordinate{face, u, v}, mWidth, mHeight);
    const float x = p.u, y = p.v;
    // Strictly inside the face (so no lower-numbered face shares the point) and
    // inside the interior region (no neighbouring face's cells needed).
    if (!(u > 0.0f && u < 1.0f && v > 0.0f && v < 1.0f && x >= 0.0f && y >= 0.0f &&
          x <= static_cast<float>(mWidth - 1) && y <= static_cast<float>(mHeight - 1)))
      return false;
    value = InterpolateInFace(face, x, y);
    return true;
  }

  cCubeMapIterator* CreateAllCellsIterator() { return new cCubeMapIterator_AllCells(this); }

 private:
  // The bilinear value at cell-space point (x, y) of a face inside the interior
  // region (0..width - 1, 0..height - 1): x and y are not negative, so truncation
  // is the floor (and no libm call); a point exactly on the last column or row
  // reads no cell beyond it.
  T InterpolateInFace(uint32_t face, float x, float y) const {
    const uint32_t x0 = static_cast<uint32_t>(x), y0 = static_cast<uint32_t>(y);
    const float fx = x - static_cast<float>(x0), fy = y - static_cast<float>(y0);
    const uint32_t dx = fx > 0.0f ? 1 : 0;
    const size_t dy = fy > 0.0f ? mWidth : 0;
    const T* row = &mCells[IndexOf(face, x0, y0)];
    return detail::Bilinear(row[0], row[dx], row[dy], row[dy + dx], fx, fy);
  }

  uint32_t mWidth = 0;
  uint32_t mHeight = 0;
  std::vector<T> mCells;
};

// Start-up self tests: true when the walk, the sampling and the direction
// round trip give what they must.
bool TestCubeMapIterator();
bool TestCubeMapDirections();

}  // namespace nKoPlanet
