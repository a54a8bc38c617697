#include "world/scene/PolyModelShape.h"

#include <GL/gl.h>

#include <algorithm>
#include <cfloat>
#include <cstring>

#include "glf/DebugWindow.h"
#include "glf/GLExtensions.h"
#include "math/Geometry.h"
#include "math/Quaternion.h"
#include "platform/Sys.h"
#include "world/scene/ObjReader.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

cSceneShapePolyModel::cSceneShapePolyModel(bool spherePick) : mSpherePick(spherePick) {}

cSceneShapePolyModel::cSceneShapePolyModel(const std::string& objFile, bool spherePick) : mSpherePick(spherePick) {
  LoadOBJ(objFile);
}

static bool IsUnitScale(const Vector3& s) { return s.x == 1.0f && s.y == 1.0f && s.z == 1.0f; }
static float LargestComponent(const Vector3& s) { return MaxFloat(MaxFloat(s.x, s.y), s.z); }

void cSceneShapePolyModel::DrawArrays(unsigned int primitive) {
  const GLsizei count = static_cast<GLsizei>(mVertices.size());
  const Vector3 scale = GetScale();
  if (IsUnitScale(scale)) {
    glDrawArrays(primitive, 0, count);
    return;
  }
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glScalef(scale.x, scale.y, scale.z);
  glDrawArrays(primitive, 0, count);
  glPopMatrix();
}

void cSceneShapePolyModel::Draw(cSceneObject* object) {
  if (!IsGathering() || !object) return DrawArrays(GL_TRIANGLES);
  Batch().placed.push_back(cPlacedModel{this, mVersion, object->GetWorldMatrix(), object->GetColour(), mScale});
}

bool cSceneShapePolyModel::cPlacedModel::operator==(const cPlacedModel& o) const {
  return shape == o.shape && version == o.version && std::equal(world.m, world.m + 16, o.world.m) &&
         colour.x == o.colour.x && colour.y == o.colour.y && colour.z == o.colour.z && scale.x == o.scale.x &&
         scale.y == o.scale.y && scale.z == o.scale.z;
}

// Each vertex of the model once, however many triangles share it (the same
// position and normal, bit for bit): a box's face is two triangles over four
// corners, not six.
const cSceneShapePolyModel::cCorners& cSceneShapePolyModel::Corners() {
  if (mCorners.version == mVersion) return mCorners;
  mCorners.version = mVersion;
  mCorners.of.assign(mVertices.size(), 0);
  mCorners.first.clear();
  auto same = [](const Vector3& a, const Vector3& b) { return std::memcmp(&a, &b, sizeof a) == 0; };
  for (size_t k = 0; k < mVertices.size(); ++k) {
    size_t c = 0;
    while (c < mCorners.first.size() &&
           !(same(mVertices[mCorners.first[c]], mVertices[k]) && same(mNormals[mCorners.first[c]], mNormals[k])))
      ++c;
    if (c == mCorners.first.size()) mCorners.first.push_back(static_cast<uint32_t>(k));
    mCorners.of[k] = static_cast<uint32_t>(c);
  }
  return mCorners;
}

// Each listed object's matrix and its shape's scale applied to its corners
// here, as GL would; a normal goes by the inverse scale, and GL_NORMALIZE
// makes it unit again (a flat shape, in a shared batch, keeps the flat
// component as it is). Its triangles are listed by their corners.
void cSceneShapePolyModel::MakeBatchTriangles(cSharedBatch& batch) {
  batch.positions.clear();
  batch.normals.clear();
  batch.colours.clear();
  batch.indices.clear();
  for (const cPlacedModel& placed : batch.placed) {
    const Matrix4& m = placed.world;
    const Vector3& colour = placed.colour;
    const Vector3& scale = placed.scale;
    const std::vector<Vector3>& vertices = placed.shape->mVertices;
    const std::vector<Vector3>& normals = placed.shape->mNormals;
    const cCorners& corners = placed.shape->Corners();
    const Vector3 inverse{scale.x != 0.0f ? 1.0f / scale.x : 1.0f, scale.y != 0.0f ? 1.0f / scale.y : 1.0f,
                          scale.z != 0.0f ? 1.0f / scale.z : 1.0f};
    const uint32_t base = static_cast<uint32_t>(batch.positions.size() / 3);
    for (const uint32_t k : corners.first) {
      const Vector3& w = vertices[k];
      const Vector3 v{w.x * scale.x, w.y * scale.y, w.z * scale.z};
      const Vector3 n{normals[k].x * inverse.x, normals[k].y * inverse.y, normals[k].z * inverse.z};
      for (int r = 0; r < 3; ++r) {
        batch.positions.push_back(m.m[r] * v.x + m.m[4 + r] * v.y + m.m[8 + r] * v.z + m.m[12 + r]);
        batch.normals.push_back(m.m[r] * n.x + m.m[4 + r] * n.y + m.m[8 + r] * n.z);
      }
      batch.colours.insert(batch.colours.end(), {colour.x, colour.y, colour.z});
    }
    for (size_t k = 0; k + 2 < vertices.size(); k += 3) {
      const uint32_t a = base + corners.of[k];
      if (batch.closed) {  // by the face's own normal (the winding is not kept); faces seen edge on stay
        const float* p = &batch.positions[3 * a];
        const float* q = &batch.normals[3 * a];
        const Vector3 face{q[0], q[1], q[2]}, toEye = Vector3Sub(batch.eye, Vector3{p[0], p[1], p[2]});
        if (Vector3Dot(face, toEye) < -1.0e-4f * Vector3Length(face) * Vector3Length(toEye)) continue;
      }
      batch.indices.insert(batch.indices.end(), {a, base + corners.of[k + 1], base + corners.of[k + 2]});
    }
  }
  batch.made = batch.placed;
  batch.madeEye = batch.eye;
  batch.madeOnce = true;
  ++batch.makes;
  batch.kept.Keep(batch.positions.data(), batch.normals.data(), batch.colours.data(), batch.positions.size() / 3,
                  batch.indices.data(), batch.indices.size());
}

float cSceneShapePolyModel::GetBoundingRadius() { return LargestComponent(GetScale()) * mBoundingRadius; }

void cSceneShapePolyModel::BeginDraw() {
  glEnable(GL_LIGHTING);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, mVertices.data());
  glNormalPointer(GL_FLOAT, 0, mNormals.data());
  if (!mVertices.empty()) nGLExt::glLockArraysEXT(0, static_cast<GLsizei>(mVertices.size()));
  // A zero scale component would make the normals infinite: such a shape
  // draws object by object unless its batch is shared.
  mGathering = mOneBatch && (mShared || (mScale.x != 0.0f && mScale.y != 0.0f && mScale.z != 0.0f));
  cSharedBatch& batch = Batch();
  batch.placed.clear();
  if (mShared) mShared->open = mGathering;
  if (mGathering && batch.closed) batch.eye = EyeOfLoadedView();
}

void cSceneShapePolyModel::EndDraw() {
  if (!mVertices.empty()) nGLExt::glUnlockArraysEXT();
  if (!mGathering) return;
  mGathering = false;
  cSharedBatch& batch = Batch();
  batch.open = false;
  const bool eyeMoved = batch.closed && !(batch.eye.x == batch.madeEye.x && batch.eye.y == batch.madeEye.y &&
                                          batch.eye.z == batch.madeEye.z);
  if (!batch.madeOnce || eyeMoved || !(batch.placed == batch.made)) MakeBatchTriangles(batch);
  if (batch.indices.empty()) return;
  batch.kept.Draw();
  const float* last = &batch.colours[batch.colours.size() - 3];
  glColor3f(last[0], last[1], last[2]);  // as the last object drawn alone would leave it
}

bool cSceneShapePolyModel::IntersectTriangles(const Ray& ray, Vector3& hit) {
  const Vector3 scale = GetScale();
  auto scaled = [&](const Vector3& v) { return Vector3{v.x * scale.x, v.y * scale.y, v.z * scale.z}; };
  float best = FLT_MAX;
  bool found = false;
  for (size_t k = 0; k + 2 < mVertices.size(); k += 3) {
    Vector3 point;
    if (!RayIntersectsTriangle(scaled(mVertices[k]), scaled(mVertices[k + 1]), scaled(mVertices[k + 2]), ray, point))
      continue;
    if (!nSceneMath::IsAhead(ray, point)) continue;
    const float d = Vector3LengthSquared(Vector3Sub(point, ray.origin));
    if (d < best) {
      best = d;
      hit = point;
      found = true;
    }
  }
  return found;
}

bool cSceneShapePolyModel::IntersectRay(const Ray& ray, Vector3& hit) {
  if (!mSpherePick) return IntersectTriangles(ray, hit);
  const float radius = LargestComponent(GetScale()) * mSphereRadius;
  if (!nSceneMath::IsAhead(ray, mSphereCentre) || !(RayPointArcDistance(ray, mSphereCentre) < radius)) return false;
  hit = Vector3{};
  return true;
}

void cSceneShapePolyModel::AddVertex(const Vector3& vertex, const Vector3& normal) {
  mVersion = NextVersion();
  mBoundingRadius = MaxFloat(mBoundingRadius, Vector3Length(vertex));
  mVertices.push_back(vertex);
  mNormals.push_back(normal);
}

void cSceneShapePolyModel::ClearVertices() {
  mVersion = NextVersion();
  mVertices.clear();
  mNormals.clear();
  mVertices.shrink_to_fit();
  mNormals.shrink_to_fit();
  mBoundingRadius = 0.0f;
  mSphereCentre = Vector3{};
  mSphereRadius = 0.0f;
}

void cSceneShapePolyModel::LoadOBJ(const std::string& file) {
  FILE* f = Sys_OpenFile(file, "r");
  if (!f) {
    char text[1200];
    std::snprintf(text, sizeof text, "Cannot load \"%s\"", file.c_str());
    Sys_MessageBox("LoadOBJ", text);
    return;
  }
  cObjTriangles read;
  ReadObjTriangles(f, read);
  std::fclose(f);
  if (read.skippedFaces || read.flatFaces)
    DebugPrintf("LoadOBJ: \"%s\": %d faces skipped (index outside the lists), %d faces without normals given flat ones",
                file.c_str(), read.skippedFaces, read.flatFaces);
  if (read.vertices.empty()) return;  // nothing appended: the bounding sphere stays as it was
  Vector3 sum;
  for (size_t i = 0; i < read.vertices.size(); ++i) {
    AddVertex(read.vertices[i], read.normals[i]);
    sum = Vector3Add(sum, read.vertices[i]);
  }
  mSphereCentre = Vector3Scale(sum, 1.0f / static_cast<float>(read.vertices.size()));
  for (const Vector3& v : read.vertices)
    mSphereRadius = MaxFloat(mSphereRadius, Vector3Length(Vector3Sub(v, mSphereCentre)));
}

void cSceneShapePolyModel::RotateVertices(const Quaternion& q) {
  mVersion = NextVersion();
  for (Vector3& v : mVertices) v = QuatRotateVector(q, v);
  for (Vector3& n : mNormals) n = QuatRotateVector(q, n);
  mSphereCentre = QuatRotateVector(q, mSphereCentre);
}

void cSceneShapePolyModel::ScaleVertices(const Vector3& s) {
  mVersion = NextVersion();
  mBoundingRadius = 0.0f;
  for (Vector3& v : mVertices) {
    v = Vector3{v.x * s.x, v.y * s.y, v.z * s.z};
    mBoundingRadius = MaxFloat(mBoundingRadius, Vector3Length(v));
  }
  // A normal transforms by the inverse transpose: 1 / s for a scale.
  for (Vector3& n : mNormals) {
    Vector3 turned{s.x != 0.0f ? n.x / s.x : 0.0f, s.y != 0.0f ? n.y / s.y : 0.0f, s.z != 0.0f ? n.z / s.z : 0.0f};
    if (nSceneMath::NormalizeNonZero(turned)) n = turned;
  }
  mSphereCentre = Vector3{mSphereCentre.x * s.x, mSphereCentre.y * s.y, mSphereCentre.z * s.z};
  if (mSphereRadius > 0.0f || !mVertices.empty()) {
    mSphereRadius = 0.0f;
    for (const Vector3& v : mVertices) mSphereRadius = MaxFloat(mSphereRadius, Vector3Length(Vector3Sub(v, mSphereCentre)));
  }
}

void cSceneShapePolyModelWireframe::Draw(cSceneObject*) {
  glLineWidth(5.0f);
  glDisable(GL_DEPTH_TEST);
  DrawArrays(GL_LINE_LOOP);
  glEnable(GL_DEPTH_TEST);
  glLineWidth(1.0f);
}
