#include "world/scene/ObjReader.h"

#include <cstring>

#include "math/Vector.h"
#include "world/scene/SceneShape.h"

using namespace Ru::Math;

namespace {

struct cFace {
  int corners = 3;           // 3, or 4 for a quad
  int position[4] = {};      // 0-based; -1 when missing
  int normal[4] = {-1, -1, -1, -1};
  bool hasNormals = true;    // false for the forms that name no normals
};

// The face forms, tried in order; the first that converts all its fields wins.
bool ParseFace(const char* line, cFace& face) {
  int v[4], t[4], n[4];
  if (sscanf(line, "f %d/%d/%d %d/%d/%d %d/%d/%d %d/%d/%d", &v[0], &t[0], &n[0], &v[1], &t[1], &n[1], &v[2], &t[2],
             &n[2], &v[3], &t[3], &n[3]) == 12) {
    face.corners = 4;
  } else if (sscanf(line, "f %d/%d/%d %d/%d/%d %d/%d/%d", &v[0], &t[0], &n[0], &v[1], &t[1], &n[1], &v[2], &t[2],
                    &n[2]) == 9) {
  } else if (sscanf(line, "f %d//%d %d//%d %d//%d", &v[0], &n[0], &v[1], &n[1], &v[2], &n[2]) == 6) {
  } else if (sscanf(line, "f %d/%d/ %d/%d/ %d/%d/", &v[0], &t[0], &v[1], &t[1], &v[2], &t[2]) == 6) {
    face.hasNormals = false;
  } else if (sscanf(line, "f %d// %d// %d//", &v[0], &v[1], &v[2]) == 3) {
    face.hasNormals = false;
  } else {
    return false;
  }
  // File indices are 1-based; zero and the negative (relative) indices this
  // reader does not support become -1, which no list holds.
  for (int i = 0; i < face.corners; ++i) {
    face.position[i] = v[i] > 0 ? v[i] - 1 : -1;
    if (face.hasNormals) face.normal[i] = n[i] > 0 ? n[i] - 1 : -1;
  }
  return true;
}

bool InRange(int index, size_t size) { return index >= 0 && static_cast<size_t>(index) < size; }

// Reads one line into buffer; an over-long line is consumed whole.
bool ReadLine(FILE* file, char* buffer, int size) {
  if (!fgets(buffer, size, file)) return false;
  if (!std::strchr(buffer, '\n')) {
    int c;
    while ((c = fgetc(file)) != EOF && c != '\n') {
    }
  }
  return true;
}

}  // namespace

void ReadObjTriangles(FILE* file, cObjTriangles& out) {
  std::vector<Vector3> positions, normals;
  std::vector<cFace> faces;
  char line[1024];
  while (ReadLine(file, line, sizeof line)) {
    Vector3 p;
    float u, v;
    if (sscanf(line, "v %f %f %f", &p.x, &p.y, &p.z) == 3) {
      positions.push_back(p);
    } else if (sscanf(line, "vn %f %f %f", &p.x, &p.y, &p.z) == 3) {
      normals.push_back(p);
    } else if (sscanf(line, "vt %f %f", &u, &v) == 2) {
      // Texture coordinates are read but have no effect on drawing.
    } else if (line[0] == 'f' && line[1] == ' ') {
      cFace face;
      if (ParseFace(line, face)) faces.push_back(face);
    }
  }

  for (const cFace& face : faces) {
    for (int first = 1; first + 1 < face.corners; ++first) {
      const int corner[3] = {0, first, first + 1};  // (1, 2, 3), then (1, 3, 4) for a quad
      const bool flat = !face.hasNormals;
      bool bad = false;
      for (int c : corner) {
        if (!InRange(face.position[c], positions.size())) bad = true;
        if (!flat && !InRange(face.normal[c], normals.size())) bad = true;
      }
      if (bad) {
        ++out.skippedFaces;
        continue;
      }
      const Vector3 a = positions[face.position[corner[0]]];
      const Vector3 b = positions[face.position[corner[1]]];
      const Vector3 c = positions[face.position[corner[2]]];
      Vector3 faceNormal{0.0f, 1.0f, 0.0f};  // a degenerate triangle faces up
      if (flat) {
        ++out.flatFaces;
        Vector3 cross = Vector3Cross(Vector3Sub(b, a), Vector3Sub(c, a));
        if (nSceneMath::NormalizeNonZero(cross)) faceNormal = cross;
      }
      const Vector3 points[3] = {a, b, c};
      for (int k = 0; k < 3; ++k) {
        out.vertices.push_back(points[k]);
        out.normals.push_back(flat ? faceNormal : normals[face.normal[corner[k]]]);
      }
    }
  }
}
