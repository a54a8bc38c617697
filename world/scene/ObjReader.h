// The Wavefront OBJ subset the poly-model shapes read: "v", "vn" and "vt"
// records and triangle or quad faces ("f v/vt/vn" x3 or x4, "f v//vn",
// "f v/vt/", "f v//"). Everything else is ignored. Faces whose corners name
// a position or normal that the file does not have (out of range, zero,
// negative) are skipped; faces without normal indices get a flat normal.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "math/Types.h"

struct cObjTriangles {
  std::vector<Ru::Math::Vector3> vertices;  // three per triangle
  std::vector<Ru::Math::Vector3> normals;   // one per vertex
  int skippedFaces = 0;                     // faces with an index outside the lists
  int flatFaces = 0;                        // faces that named no normals
};

// Reads an open file to its end (text mode; CRLF line ends are fine). Lines
// longer than the 1024-byte line buffer are read as one line: only their
// start is classified.
void ReadObjTriangles(FILE* file, cObjTriangles& out);
