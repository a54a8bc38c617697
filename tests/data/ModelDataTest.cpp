// The tribe members' role models: well-formed OBJ text with a unit normal on
// every face corner, outward and consistent winding, and the size and stance
// the game expects (Z up, about 1.5 units tall, standing on z = 0).
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/Sys.h"

namespace {
struct sVec {
  double x, y, z;
};
struct sObj {
  std::vector<sVec> v, vn;
  std::vector<std::vector<std::pair<int, int>>> faces;  // (vertex, normal), 0-based
  std::string error;
};

// A strict reader for the subset the generator writes: v, vn and f a//b lines.
sObj ReadObj(const std::string& text) {
  sObj obj;
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    std::istringstream in(line);
    std::string tag;
    if (!(in >> tag) || tag[0] == '#') continue;
    auto fail = [&](const std::string& why) { obj.error = "line " + std::to_string(number) + ": " + why; };
    if (tag == "v" || tag == "vn") {
      sVec p;
      if (!(in >> p.x >> p.y >> p.z)) return fail("three numbers expected"), obj;
      (tag == "v" ? obj.v : obj.vn).push_back(p);
    } else if (tag == "f") {
      std::vector<std::pair<int, int>> face;
      std::string corner;
      while (in >> corner) {
        size_t slashes = corner.find("//");
        if (slashes == std::string::npos) return fail("corner without a normal: " + corner), obj;
        int a = std::stoi(corner.substr(0, slashes)), b = std::stoi(corner.substr(slashes + 2));
        if (a < 1 || a > int(obj.v.size()) || b < 1 || b > int(obj.vn.size())) return fail("index out of range: " + corner), obj;
        face.push_back({a - 1, b - 1});
      }
      if (face.size() < 3) return fail("face of fewer than 3 corners"), obj;
      obj.faces.push_back(face);
    } else {
      return fail("unexpected " + tag), obj;
    }
  }
  return obj;
}

sVec Sub(sVec a, sVec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
sVec Cross(sVec a, sVec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Dot(sVec a, sVec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

const char* const kRoleModels[] = {"TribalGame_NoRole.obj", "TribalGame_Hunter.obj", "TribalGame_Breeder.obj",
                                   "TribalGame_Recruiter.obj", "TribalGame_Rester.obj", "TribalGame_Healer.obj",
                                   "TribalGame_Eater.obj"};
}  // namespace

TEST(ModelData, ReaderRefusesBrokenText) {
  EXPECT_FALSE(ReadObj("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n").error.empty());                // no normals
  EXPECT_FALSE(ReadObj("v 0 0 0\nvn 0 0 1\nf 1//1 2//1 4//1\n").error.empty());              // missing vertex
  EXPECT_TRUE(ReadObj("# x\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 1\nf 1//1 2//1 3//1\n").error.empty());
}

TEST(ModelData, RoleModelsAreClosedOutwardAndUpright) {
  std::vector<std::pair<std::string, std::set<std::tuple<double, double, double>>>> seen;
  for (const char* name : kRoleModels) {
    SCOPED_TRACE(name);
    std::vector<uint8_t> bytes;
    std::string refusal;
    EXPECT_TRUE(Sys_ReadWholeFile(std::string(".\\Data\\models\\") + name, SysFileKind::Model, bytes, refusal));
    sObj obj = ReadObj(std::string(bytes.begin(), bytes.end()));
    ASSERT_TRUE(obj.error.empty()) << obj.error;
    ASSERT_GE(obj.faces.size(), 12u);
    EXPECT_LE(obj.faces.size(), 400u);  // low-poly
    for (const sVec& n : obj.vn) EXPECT_NEAR(std::sqrt(Dot(n, n)), 1.0, 1e-3);
    // Every directed edge has its reverse: the surface is closed and wound one way throughout.
    std::map<std::pair<int, int>, int> edges;
    for (const auto& f : obj.faces) {
      const sVec& a = obj.v[size_t(f[0].first)];
      const sVec winding = Cross(Sub(obj.v[size_t(f[1].first)], a), Sub(obj.v[size_t(f[2].first)], a));
      for (const auto& corner : f) EXPECT_GT(Dot(winding, obj.vn[size_t(corner.second)]), 0.0);  // normal agrees with winding
      for (size_t i = 0; i < f.size(); ++i) ++edges[{f[i].first, f[(i + 1) % f.size()].first}];
    }
    for (const auto& [edge, count] : edges) {
      auto back = edges.find({edge.second, edge.first});
      EXPECT_EQ(back == edges.end() ? 0 : back->second, count) << edge.first << "->" << edge.second;
    }
    sVec lo = obj.v[0], hi = obj.v[0];
    for (const sVec& p : obj.v) {
      lo = {std::fmin(lo.x, p.x), std::fmin(lo.y, p.y), std::fmin(lo.z, p.z)};
      hi = {std::fmax(hi.x, p.x), std::fmax(hi.y, p.y), std::fmax(hi.z, p.z)};
    }
    EXPECT_NEAR(lo.z, 0.0, 1e-3);  // feet on the ground
    EXPECT_GE(hi.z, 1.3);
    EXPECT_LE(hi.z, 1.9);
    EXPECT_LT(hi.x - lo.x, hi.z);  // taller than wide: Z is up
    EXPECT_LT(hi.y - lo.y, hi.z);
    // Each role looks different: its prop adds points no other model has.
    std::set<std::tuple<double, double, double>> points;
    for (const sVec& p : obj.v) points.insert({p.x, p.y, p.z});
    for (const auto& other : seen) {
      size_t own = 0;
      for (const auto& p : points) own += !other.second.count(p);
      EXPECT_GE(own, 4u) << "no prop of its own against " << other.first;
    }
    seen.emplace_back(name, points);
  }
}
