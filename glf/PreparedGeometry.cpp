#include "glf/PreparedGeometry.h"

#include <GL/glu.h>

#include <map>
#include <memory>
#include <tuple>

static bool gPreparedGeometryEnabled = true;

void SetPreparedGeometryEnabled(bool enabled) { gPreparedGeometryEnabled = enabled; }
bool IsPreparedGeometryEnabled() { return gPreparedGeometryEnabled; }

cPreparedList::~cPreparedList() {
  if (mList) glDeleteLists(mList, 1);
}

bool cPreparedList::BeginReplay() {
  if (!gPreparedGeometryEnabled) return false;
  GLint compiling = 0;
  glGetIntegerv(GL_LIST_INDEX, &compiling);
  if (compiling != 0) return false;  // lists cannot be compiled inside one another
  if (mList && !glIsList(mList)) {
    // A name the current context never compiled (a list is reserved as a
    // name until its first compilation): ours only if we never compiled it.
    if (mCompiled) mList = 0;
  }
  if (!mList) {
    mList = glGenLists(1);
    mCompiled = false;
    if (!mList) return false;  // no context or out of names: draw immediately
  }
  return true;
}

namespace {
// A cap on the distinct spheres kept: shapes whose scale changes every frame
// must not fill the driver with lists.
constexpr size_t kMaxPreparedSpheres = 64;
std::map<std::tuple<double, int, int>, std::unique_ptr<cPreparedList>>& PreparedSpheres() {
  static auto* spheres = new std::map<std::tuple<double, int, int>, std::unique_ptr<cPreparedList>>();
  return *spheres;
}
}  // namespace

void DrawPreparedSphere(GLUquadric* quadric, double radius, int slices, int stacks) {
  auto emit = [&] { gluSphere(quadric, radius, slices, stacks); };
  if (!gPreparedGeometryEnabled) return emit();
  auto& spheres = PreparedSpheres();
  const auto key = std::make_tuple(radius, slices, stacks);
  auto found = spheres.find(key);
  if (found == spheres.end()) {
    if (spheres.size() >= kMaxPreparedSpheres) return emit();
    found = spheres.emplace(key, std::make_unique<cPreparedList>()).first;
  }
  found->second->Draw(emit);
}

int PreparedSphereCount() { return static_cast<int>(PreparedSpheres().size()); }
