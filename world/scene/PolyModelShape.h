// The poly-model shape: a triangle soup with one normal per vertex, held in
// vertex arrays and drawn lit with one glDrawArrays per object, optionally
// read from a Wavefront OBJ file. Most solid shapes derive from it. Building
// one touches no GL; the arrays are bound in BeginDraw, once per frame for
// all objects of the shape, and locked when the driver offers compiled
// vertex arrays.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "glf/PreparedGeometry.h"
#include "world/scene/KeptGroups.h"
#include "math/Types.h"
#include "world/scene/SceneShape.h"

class cSceneShapePolyModel : public cISceneShape {
 public:
  explicit cSceneShapePolyModel(bool spherePick = false);
  // ".\Data\models\x.obj" style names resolve onto Data/.
  cSceneShapePolyModel(const std::string& objFile, bool spherePick);

  void Draw(cSceneObject* object) override;
  Ru::Math::Vector3 GetScale() override { return mScale; }
  void SetScale(const Ru::Math::Vector3& scale) override { mScale = scale; }
  float GetBoundingRadius() override;  // largest scale component x the unscaled radius
  void BeginDraw() override;
  void EndDraw() override;
  bool IntersectRay(const Ru::Math::Ray& objectRay, Ru::Math::Vector3& hit) override;
  const char* GetTypeName() override { return "Polygon shape"; }
  bool IsEnabled() override { return sEnabled; }
  void SetEnabled(bool enabled) override { sEnabled = enabled; }

  // Appends the file's triangles. A file that cannot be opened shows "Cannot
  // load "<name>"" (caption "LoadOBJ") and leaves the model as it was; faces
  // that had to be skipped or given flat normals are reported once per file.
  virtual void LoadOBJ(const std::string& file);
  // Turns vertices, normals and the bounding-sphere centre by q alike.
  virtual void RotateVertices(const Ru::Math::Quaternion& q);
  // Scales the vertices component-wise; normals follow (scaled by 1 / s and
  // renormalised) and the bounding radius and sphere are measured anew.
  virtual void ScaleVertices(const Ru::Math::Vector3& s);
  virtual void ClearVertices();  // empty model: zero bounding radius and sphere
  virtual void AddVertex(const Ru::Math::Vector3& vertex, const Ru::Math::Vector3& normal);

  // For crowds of objects: the objects this shape draws itself are handed
  // between BeginDraw and EndDraw to kept groups (see KeptGroups.h), drawn a
  // group to a call instead of one call (and a matrix) each.
  void SetDrawnInOneBatch(bool on) {
    mOneBatch = on;
    mShared = nullptr;
  }
  // Shapes of one model at different scales (each building its own cube) may
  // share one batch: the scene draws the objects of them all between the
  // first one's BeginDraw and EndDraw, filed into the shared groups.
  // A batch of closed shapes (boxes) is drawn with the faces turned away from
  // the eye culled by GL.
  struct cSharedBatch {
    std::vector<cKeptItem> placed;  // this frame's objects, in drawing order
    bool open = false;              // between that BeginDraw and EndDraw
    bool closed = false;
    cKeptGroups groups;
  };
  void SetDrawnInOneBatch(cSharedBatch* shared) {
    mOneBatch = shared != nullptr;
    mShared = shared;
  }
  const void* GetBatchGroup() override { return mShared; }
  bool IsListingObjects() const override { return IsGathering(); }
  bool DrawsInKeptGroups(float horizonBall) override;
  // The model as triangles over its distinct corners (a vertex repeated with
  // the same position and normal, bit for bit, is kept once: a box face is
  // two triangles over four corners), each wound counter-clockwise seen from
  // the side its normals point to.
  const cIndexedMesh& GetIndexedMesh();

  const std::vector<Ru::Math::Vector3>& GetVertices() const { return mVertices; }
  const std::vector<Ru::Math::Vector3>& GetNormals() const { return mNormals; }
  float GetUnscaledRadius() const { return mBoundingRadius; }
  const Ru::Math::Vector3& GetSphereCentre() const { return mSphereCentre; }
  float GetSphereRadius() const { return mSphereRadius; }

 protected:
  // The arrays drawn with the given primitive, under the shape's scale.
  void DrawArrays(unsigned int primitive);
  bool IntersectTriangles(const Ru::Math::Ray& objectRay, Ru::Math::Vector3& hit);
  // Between BeginDraw and EndDraw of a one-batch shape, or of the first shape of its shared batch.
  bool IsGathering() const { return mShared ? mShared->open : mGathering; }
  // For shapes whose pick radius is a fixed figure rather than the farthest vertex.
  void SetUnscaledRadius(float radius) { mBoundingRadius = radius; }
  cSharedBatch& Batch() { return mShared ? *mShared : mOwnBatch; }
  float GetHorizonBall() const { return mHorizonBall; }
  bool WillGather() const;

 private:
  float mBoundingRadius = 0.0f;
  Ru::Math::Vector3 mScale{1.0f, 1.0f, 1.0f};
  std::vector<Ru::Math::Vector3> mVertices;
  std::vector<Ru::Math::Vector3> mNormals;
  bool mSpherePick;
  Ru::Math::Vector3 mSphereCentre;
  float mSphereRadius = 0.0f;
  bool mOneBatch = false, mGathering = false;
  float mHorizonBall = 0.0f;  // as the scene gave it for this frame
  cSharedBatch mOwnBatch;
  cSharedBatch* mShared = nullptr;
  static inline bool sEnabled = true;
  uint64_t mVersion = NextVersion();
  static uint64_t NextVersion() {
    static uint64_t next = 0;
    return ++next;  // unique over every shape, so a shape freed and another made at its address differ
  }
  cIndexedMesh mIndexed;
  uint64_t mIndexedVersion = 0;  // of the vertices it was made of
};

// Draws a model's vertices as one thick line loop over everything, on top of
// the scene (no depth test). The creature mode makes one per use.
class cSceneShapePolyModelWireframe : public tShapeClass<cSceneShapePolyModelWireframe, cSceneShapePolyModel> {
 public:
  cSceneShapePolyModelWireframe() : tShapeClass(false) {}
  void Draw(cSceneObject* object) override;
};
