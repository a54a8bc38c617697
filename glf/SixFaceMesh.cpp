#include "glf/SixFaceMesh.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <tuple>

#include "math/Vector.h"
#include "platform/Sys.h"

using Ru::Math::Vector3;

namespace {

// Each face: its outward axis and the directions of its columns and rows,
// chosen so that the row strips wind counter-clockwise seen from outside.
struct cFaceFrame {
  int normal[3], column[3], row[3];
};
constexpr cFaceFrame kFrames[6] = {
    {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}},  {{-1, 0, 0}, {0, 0, -1}, {0, 1, 0}}, {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}},
    {{0, -1, 0}, {1, 0, 0}, {0, 0, -1}}, {{0, 0, 1}, {-1, 0, 0}, {0, 1, 0}}, {{0, 0, -1}, {1, 0, 0}, {0, 1, 0}},
};

Vector3 At(const std::vector<float>& values, int index) {
  return Vector3{values[3 * index], values[3 * index + 1], values[3 * index + 2]};
}

void Put(std::vector<float>& values, int index, const Vector3& v) {
  values[3 * index] = v.x, values[3 * index + 1] = v.y, values[3 * index + 2] = v.z;
}

}  // namespace

cSixFaceMesh::cSixFaceMesh(int resolution, float radius) : mResolution(resolution < 1 ? 1 : resolution) {
  const int n = mResolution, side = n + 1;
  for (int f = 0; f < 6; ++f) {
    const cFaceFrame& frame = kFrames[f];
    cFace& face = mFaces[f];
    face.positions.resize(3 * side * side);
    face.texCoords.resize(2 * side * side);
    face.normals.assign(3 * side * side, 0.0f);
    mLattice[f].resize(3 * side * side);
    for (int r = 0; r < side; ++r)
      for (int c = 0; c < side; ++c) {
        const int index = r * side + c;
        // Integer lattice coordinates first, so that vertices shared by two or
        // three faces get bit-identical positions and one key.
        float cube[3];
        for (int a = 0; a < 3; ++a) {
          int k = 0;
          if (frame.normal[a]) k = frame.normal[a] > 0 ? n : 0;
          if (frame.column[a]) k = frame.column[a] > 0 ? c : n - c;
          if (frame.row[a]) k = frame.row[a] > 0 ? r : n - r;
          mLattice[f][3 * index + a] = k;
          cube[a] = -1.0f + 2.0f * (float)k / (float)n;
        }
        Put(face.positions, index, Ru::Math::Vector3Scale(Ru::Math::Vector3Normalized(Vector3{cube[0], cube[1], cube[2]}), radius));
        face.texCoords[2 * index] = (float)c / (float)n;
        face.texCoords[2 * index + 1] = (float)r / (float)n;
      }
  }
}

cSixFaceMesh::~cSixFaceMesh() { Destroy(); }

Vector3 cSixFaceMesh::GetPosition(int face, int row, int column) const {
  return At(mFaces[face].positions, row * (mResolution + 1) + column);
}

Vector3 cSixFaceMesh::GetNormal(int face, int row, int column) const {
  return At(mFaces[face].normals, row * (mResolution + 1) + column);
}

void cSixFaceMesh::Blend(const cSixFaceMesh& other, float t) {
  for (int f = 0; f < 6; ++f) {
    cFace& own = mFaces[f];
    const cFace& theirs = other.mFaces[f];
    if (theirs.positions.size() != own.positions.size()) return;  // meshes of different resolutions do not blend
    for (size_t i = 0; i < own.positions.size(); ++i) {
      own.positions[i] = (1.0f - t) * own.positions[i] + t * theirs.positions[i];
      own.normals[i] = (1.0f - t) * own.normals[i] + t * theirs.normals[i];
    }
  }
}

void cSixFaceMesh::Shade(const Vector3& direction, float k, bool absolute) {
  const Vector3 unitDirection = Ru::Math::Vector3Normalized(direction);
  for (cFace& face : mFaces)
    for (size_t i = 0; i < face.positions.size() / 3; ++i) {
      const Vector3 p = At(face.positions, (int)i);
      const float length = Ru::Math::Vector3Length(p);
      if (length == 0.0f) continue;  // a vertex shaded down to the centre has no direction left
      float d = Ru::Math::Vector3Dot(Ru::Math::Vector3Scale(p, 1.0f / length), unitDirection);
      if (absolute) d = std::fabs(d);
      Put(face.positions, (int)i, Ru::Math::Vector3Scale(p, 1.0f - d + d * k));
    }
}

void cSixFaceMesh::ComputeNormals() {
  const int side = mResolution + 1;
  for (int f = 0; f < 6; ++f) {
    cFace& face = mFaces[f];
    for (int r = 0; r < side; ++r)
      for (int c = 0; c < side; ++c) {
        const auto P = [&](int rr, int cc) { return At(face.positions, rr * side + cc); };
        const Vector3 alongColumns = Ru::Math::Vector3Sub(P(r, c < side - 1 ? c + 1 : c), P(r, c > 0 ? c - 1 : c));
        const Vector3 alongRows = Ru::Math::Vector3Sub(P(r < side - 1 ? r + 1 : r, c), P(r > 0 ? r - 1 : r, c));
        Put(face.normals, r * side + c, Ru::Math::Vector3Cross(alongRows, alongColumns));
      }
  }
  // A vertex on a cube edge or corner belongs to two or three faces: each gets the sum.
  std::map<std::tuple<int, int, int>, Vector3> shared;
  const auto key = [&](int f, int i) {
    return std::make_tuple(mLattice[f][3 * i], mLattice[f][3 * i + 1], mLattice[f][3 * i + 2]);
  };
  const auto onBorder = [&](int i) {
    const int r = i / side, c = i % side;
    return r == 0 || c == 0 || r == side - 1 || c == side - 1;
  };
  for (int f = 0; f < 6; ++f)
    for (int i = 0; i < side * side; ++i)
      if (onBorder(i)) {
        Vector3& sum = shared[key(f, i)];
        sum = Ru::Math::Vector3Add(sum, At(mFaces[f].normals, i));
      }
  for (int f = 0; f < 6; ++f)
    for (int i = 0; i < side * side; ++i) {
      const Vector3 normal = onBorder(i) ? shared[key(f, i)] : At(mFaces[f].normals, i);
      Put(mFaces[f].normals, i, Ru::Math::Vector3Normalized(normal));
    }
}

void cSixFaceMesh::EnsureTextures() {
  if (mHasTextures) return;
  glGenTextures(6, mTextures);
  mHasTextures = true;
}

bool cSixFaceMesh::LoadTexture(int face, const std::string& file) {
  int width, height;
  std::vector<uint8_t> rgb;
  std::string refusal;
  if (face < 0 || face >= 6 || !Sys_LoadImageRGB(file, width, height, rgb, refusal)) {
    Sys_Print(SysStream::Out, "Could not load texture file %s%s%s\n", file.c_str(), refusal.empty() ? "" : ": ",
              refusal.c_str());
    return false;
  }
  EnsureTextures();
  // Our loader hands rows top first, which is already the order the faces' texture coordinates expect.
  glBindTexture(GL_TEXTURE_2D, mTextures[face]);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, 3, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return true;
}

void cSixFaceMesh::DrawFace(int f) {
  const int side = mResolution + 1;
  std::vector<GLuint> strip(2 * side);
  for (int r = 0; r < mResolution; ++r) {
    for (int c = 0; c < side; ++c) {
      strip[2 * c] = (GLuint)(r * side + c);
      strip[2 * c + 1] = (GLuint)((r + 1) * side + c);
    }
    glDrawElements(GL_TRIANGLE_STRIP, (GLsizei)strip.size(), GL_UNSIGNED_INT, strip.data());
  }
}

void cSixFaceMesh::DrawTextured() {
  EnsureTextures();
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_INDEX_ARRAY);
  for (int f = 0; f < 6; ++f) {
    glBindTexture(GL_TEXTURE_2D, mTextures[f]);
    glVertexPointer(3, GL_FLOAT, 0, mFaces[f].positions.data());
    glNormalPointer(GL_FLOAT, 0, mFaces[f].normals.data());
    glTexCoordPointer(2, GL_FLOAT, 0, mFaces[f].texCoords.data());
    DrawFace(f);
  }
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

void cSixFaceMesh::DrawUntextured() {
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_INDEX_ARRAY);
  for (int f = 0; f < 6; ++f) {
    glVertexPointer(3, GL_FLOAT, 0, mFaces[f].positions.data());
    glNormalPointer(GL_FLOAT, 0, mFaces[f].normals.data());
    DrawFace(f);
  }
}

void cSixFaceMesh::Destroy() {
  if (mHasTextures) glDeleteTextures(6, mTextures);
  mHasTextures = false;
  for (int f = 0; f < 6; ++f) {
    mFaces[f] = cFace{};
    mLattice[f].clear();
  }
}
