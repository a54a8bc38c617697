// Fuzzes the OBJ model reader: any text gives whole triangles with one normal
// per vertex, every one read from inside the file's own lists, or nothing.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "world/scene/ObjReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "r");
  if (!file) return 0;
  cObjTriangles read;
  ReadObjTriangles(file, read);
  std::fclose(file);
  if (read.vertices.size() != read.normals.size() || read.vertices.size() % 3 != 0) __builtin_trap();
  return 0;
}
