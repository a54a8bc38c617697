#include "world/scene/PolyModelShape.h"

#include <GL/gl.h>

#include <cfloat>

#include "glf/DebugWindow.h"
#include "glf/DrawTally.h"
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
  CountGLDraw(mVertices.size(), primitive == GL_TRIANGLES ? mVertices.size() / 3 : 0);
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
  cKeptItem item;
  item.mesh = &GetIndexedMesh();
  item.meshVersion = mVersion;
  item.world = object->GetWorldMatrix();
  item.colour = object->GetColour();
  item.scale = mScale;
  item.ball = mHorizonBall;
  Batch().placed.push_back(item);
}

const cIndexedMesh& cSceneShapePolyModel::GetIndexedMesh() {
  if (mIndexedVersion == mVersion) return mIndexed;
  mIndexedVersion = mVersion;
  mIndexed = cIndexedMesh{};
  static_assert(sizeof(Vector3) == 3 * sizeof(float));  // the arrays are GL's vertex arrays too
  const std::vector<uint32_t> corner =
      KeepDistinctVertices(reinterpret_cast<const float*>(mVertices.data()),
                           reinterpret_cast<const float*>(mNormals.data()), mVertices.size(), mIndexed);
  // The files and the box do not keep one winding: each triangle is turned
  // to face where its normals point, so that GL's culling keeps its front.
  for (size_t k = 0; k + 2 < mVertices.size(); k += 3) {
    const Vector3 face =
        Vector3Cross(Vector3Sub(mVertices[k + 1], mVertices[k]), Vector3Sub(mVertices[k + 2], mVertices[k]));
    const Vector3 normal = Vector3Add(Vector3Add(mNormals[k], mNormals[k + 1]), mNormals[k + 2]);
    const bool turned = Vector3Dot(face, normal) < 0.0f;
    mIndexed.indices.insert(mIndexed.indices.end(),
                            {corner[k], corner[turned ? k + 2 : k + 1], corner[turned ? k + 1 : k + 2]});
  }
  return mIndexed;
}

float cSceneShapePolyModel::GetBoundingRadius() { return LargestComponent(GetScale()) * mBoundingRadius; }

// A zero scale component would make the normals infinite: such a shape draws
// object by object unless its batch is shared.
bool cSceneShapePolyModel::WillGather() const {
  return mOneBatch && (mShared || (mScale.x != 0.0f && mScale.y != 0.0f && mScale.z != 0.0f));
}

bool cSceneShapePolyModel::DrawsInKeptGroups(float horizonBall) {
  mHorizonBall = horizonBall;
  return WillGather();
}

void cSceneShapePolyModel::BeginDraw() {
  glEnable(GL_LIGHTING);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, mVertices.data());
  glNormalPointer(GL_FLOAT, 0, mNormals.data());
  if (!mVertices.empty()) nGLExt::glLockArraysEXT(0, static_cast<GLsizei>(mVertices.size()));
  mGathering = WillGather();
  cSharedBatch& batch = Batch();
  batch.placed.clear();
  if (mShared) mShared->open = mGathering;
}

void cSceneShapePolyModel::EndDraw() {
  if (!mVertices.empty()) nGLExt::glUnlockArraysEXT();
  if (!mGathering) return;
  mGathering = false;
  cSharedBatch& batch = Batch();
  batch.open = false;
  batch.groups.Draw(batch.placed, batch.closed);
  if (batch.placed.empty()) return;
  const Vector3& last = batch.placed.back().colour;
  glColor3f(last.x, last.y, last.z);  // as the last object drawn alone would leave it
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
  std::string refusal;
  FILE* f = Sys_OpenFileToRead(file, SysFileKind::Model, refusal);
  if (!f) {
    Sys_MessageBox("LoadOBJ", "Cannot load \"" + file + "\"" + (refusal.empty() ? "" : ": " + refusal));
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
