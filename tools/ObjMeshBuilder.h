// A tiny builder for flat-shaded, low-poly OBJ meshes made of convex pieces
// (boxes, pyramids, cones, double cones). Every triangle gets its face normal
// and is wound counter-clockwise seen from outside its piece.
#pragma once

#include <map>
#include <string>
#include <vector>

struct cObjVec {
  double x = 0.0, y = 0.0, z = 0.0;
};

class cObjMeshBuilder {
 public:
  // An axis-aligned box between two corners.
  void AddBox(cObjVec lo, cObjVec hi);
  // A box of the given half sizes turned by angleDeg about the Y axis (leaning sideways) around its centre.
  void AddTiltedBox(cObjVec centre, cObjVec half, double angleDeg);
  // A pyramid or cone: a regular base of n sides around base (radius r, in the plane
  // normal to the axis base->apex) closed by the apex. n = 4 gives a pyramid.
  void AddCone(cObjVec base, cObjVec apex, double radius, int sides);
  // Two cones sharing a base ring: a spindle (egg, gem, fruit).
  void AddSpindle(cObjVec bottom, cObjVec top, double radius, int sides);

  // The OBJ text: "v", "vn" and "f v//vn" lines, the header first.
  std::string ToObj(const std::string& header) const;
  size_t TriangleCount() const { return mFaces.size(); }

 private:
  // Adds the triangle, flipping it when its normal points towards the piece's inside point.
  void AddTriangle(cObjVec a, cObjVec b, cObjVec c, cObjVec inside);
  int VertexIndex(const cObjVec& p);
  int NormalIndex(const cObjVec& n);

  std::vector<cObjVec> mVertices, mNormals;
  std::map<std::string, int> mVertexIds, mNormalIds;
  struct sFace {
    int v[3];
    int n;
  };
  std::vector<sFace> mFaces;
};
