// A sphere made of the six faces of a cube, each a grid of (n + 1) x (n + 1)
// vertices with its own texture. Vertex (row r, column c) of a face is at
// index r * (n + 1) + c. The geometry needs no OpenGL; textures are made when
// first loaded or drawn.
#pragma once

#include <GL/gl.h>

#include <string>
#include <vector>

#include "math/Types.h"

class cSixFaceMesh {
 public:
  struct cFace {
    std::vector<float> positions;  // 3 per vertex
    std::vector<float> texCoords;  // 2 per vertex
    std::vector<float> normals;    // 3 per vertex
  };

  cSixFaceMesh(int resolution, float radius);
  ~cSixFaceMesh();
  cSixFaceMesh(const cSixFaceMesh&) = delete;
  cSixFaceMesh& operator=(const cSixFaceMesh&) = delete;

  void DrawTextured();
  void DrawUntextured();
  void Blend(const cSixFaceMesh& other, float t);  // positions and normals: (1 - t) own + t other
  // Scales each position by 1 - d + d k, d = unit position . unit direction (|d| when absolute).
  void Shade(const Ru::Math::Vector3& direction, float k, bool absolute);
  void ComputeNormals();  // from the grid, equal on both sides of every cube edge, unit length
  bool LoadTexture(int face, const std::string& file);
  void Destroy();

  int GetResolution() const { return mResolution; }
  const cFace& GetFace(int face) const { return mFaces[face]; }
  Ru::Math::Vector3 GetPosition(int face, int row, int column) const;
  Ru::Math::Vector3 GetNormal(int face, int row, int column) const;

 private:
  void EnsureTextures();
  void DrawFace(int face);

  int mResolution;
  cFace mFaces[6];
  std::vector<int> mLattice[6];  // per vertex: its cube lattice point, shared by every face touching it
  GLuint mTextures[6] = {};
  bool mHasTextures = false;
};
