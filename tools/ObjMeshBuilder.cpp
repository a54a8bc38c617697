#include "tools/ObjMeshBuilder.h"

#include <cmath>
#include <cstdio>

namespace {
cObjVec Sub(cObjVec a, cObjVec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
cObjVec Add(cObjVec a, cObjVec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
cObjVec Scale(cObjVec a, double s) { return {a.x * s, a.y * s, a.z * s}; }
cObjVec Cross(cObjVec a, cObjVec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Dot(cObjVec a, cObjVec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
cObjVec Unit(cObjVec a) {
  double l = std::sqrt(Dot(a, a));
  return l > 0.0 ? Scale(a, 1.0 / l) : cObjVec{0.0, 0.0, 1.0};
}
std::string Key(cObjVec p) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "%.4f %.4f %.4f", p.x, p.y, p.z);
  // "-0.0000" and "0.0000" are the same point.
  std::string s = buf;
  for (size_t i = 0; (i = s.find("-0.0000", i)) != std::string::npos;) {
    if (i + 7 == s.size() || s[i + 7] == ' ') s.erase(i, 1);
    else ++i;
  }
  return s;
}
}  // namespace

int cObjMeshBuilder::VertexIndex(const cObjVec& p) {
  auto [it, added] = mVertexIds.emplace(Key(p), static_cast<int>(mVertices.size()) + 1);
  if (added) mVertices.push_back(p);
  return it->second;
}

int cObjMeshBuilder::NormalIndex(const cObjVec& n) {
  auto [it, added] = mNormalIds.emplace(Key(n), static_cast<int>(mNormals.size()) + 1);
  if (added) mNormals.push_back(n);
  return it->second;
}

void cObjMeshBuilder::AddTriangle(cObjVec a, cObjVec b, cObjVec c, cObjVec inside) {
  cObjVec n = Cross(Sub(b, a), Sub(c, a));
  if (Dot(n, n) < 1e-12) return;  // degenerate: nothing to draw
  if (Dot(n, Sub(a, inside)) < 0.0) {
    std::swap(b, c);
    n = Scale(n, -1.0);
  }
  mFaces.push_back({{VertexIndex(a), VertexIndex(b), VertexIndex(c)}, NormalIndex(Unit(n))});
}

void cObjMeshBuilder::AddBox(cObjVec lo, cObjVec hi) {
  cObjVec centre = Scale(Add(lo, hi), 0.5);
  AddTiltedBox(centre, Scale(Sub(hi, lo), 0.5), 0.0);
}

void cObjMeshBuilder::AddTiltedBox(cObjVec centre, cObjVec half, double angleDeg) {
  const double a = angleDeg * 3.14159265358979323846 / 180.0;
  const double c = std::cos(a), s = std::sin(a);
  cObjVec corner[8];
  for (int i = 0; i < 8; ++i) {
    cObjVec p{(i & 1) ? half.x : -half.x, (i & 2) ? half.y : -half.y, (i & 4) ? half.z : -half.z};
    cObjVec r{p.x * c + p.z * s, p.y, -p.x * s + p.z * c};  // about Y
    corner[i] = Add(centre, r);
  }
  // Each side as two triangles; the centre decides the outward winding.
  static const int kSides[6][4] = {{0, 1, 3, 2}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 3, 7, 5}};
  for (const auto& q : kSides) {
    AddTriangle(corner[q[0]], corner[q[1]], corner[q[2]], centre);
    AddTriangle(corner[q[0]], corner[q[2]], corner[q[3]], centre);
  }
}

namespace {
// Points of a regular ring around centre in the plane normal to axis.
std::vector<cObjVec> Ring(cObjVec centre, cObjVec axis, double radius, int sides) {
  cObjVec w = Unit(axis);
  cObjVec helper = std::fabs(w.z) < 0.9 ? cObjVec{0, 0, 1} : cObjVec{1, 0, 0};
  cObjVec u = Unit(Cross(helper, w)), v = Cross(w, u);
  std::vector<cObjVec> ring;
  for (int i = 0; i < sides; ++i) {
    double t = 2.0 * 3.14159265358979323846 * (i + 0.5) / sides;
    ring.push_back(Add(centre, Add(Scale(u, radius * std::cos(t)), Scale(v, radius * std::sin(t)))));
  }
  return ring;
}
}  // namespace

void cObjMeshBuilder::AddCone(cObjVec base, cObjVec apex, double radius, int sides) {
  std::vector<cObjVec> ring = Ring(base, Sub(apex, base), radius, sides);
  cObjVec inside = Scale(Add(Scale(base, 3.0), apex), 0.25);
  for (int i = 0; i < sides; ++i) {
    const cObjVec& a = ring[i];
    const cObjVec& b = ring[(i + 1) % sides];
    AddTriangle(a, b, apex, inside);
    AddTriangle(a, b, base, inside);
  }
}

void cObjMeshBuilder::AddSpindle(cObjVec bottom, cObjVec top, double radius, int sides) {
  cObjVec middle = Scale(Add(bottom, top), 0.5);
  std::vector<cObjVec> ring = Ring(middle, Sub(top, bottom), radius, sides);
  for (int i = 0; i < sides; ++i) {
    const cObjVec& a = ring[i];
    const cObjVec& b = ring[(i + 1) % sides];
    AddTriangle(a, b, top, middle);
    AddTriangle(a, b, bottom, middle);
  }
}

std::string cObjMeshBuilder::ToObj(const std::string& header) const {
  std::string out = header;
  char buf[128];
  for (const cObjVec& p : mVertices) {
    std::snprintf(buf, sizeof buf, "v %s\n", Key(p).c_str());
    out += buf;
  }
  for (const cObjVec& n : mNormals) {
    std::snprintf(buf, sizeof buf, "vn %s\n", Key(n).c_str());
    out += buf;
  }
  for (const sFace& f : mFaces) {
    std::snprintf(buf, sizeof buf, "f %d//%d %d//%d %d//%d\n", f.v[0], f.n, f.v[1], f.n, f.v[2], f.n);
    out += buf;
  }
  return out;
}
