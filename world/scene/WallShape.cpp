#include "world/scene/WallShape.h"

using Ru::Math::Vector3;

cSceneShapeWall::cSceneShapeWall() : tShapeClass(false) { Rebuild(); }

void cSceneShapeWall::SetScale(const Vector3& scale) {
  cSceneShapePolyModel::SetScale(scale);
  Rebuild();
}

float cSceneShapeWall::GetBoundingRadius() {
  const Vector3 s = GetScale();
  return Ru::Math::MaxFloat((s.x + mThickness) * 1.4f, (s.z + mThickness) * 1.4f);
}

void cSceneShapeWall::AddQuad(const Vector3& c1, const Vector3& c2, const Vector3& c3, const Vector3& c4,
                              const Vector3& normal) {
  const Vector3 corners[6] = {c1, c2, c4, c1, c3, c4};
  for (const Vector3& corner : corners) AddVertex(corner, normal);
}

void cSceneShapeWall::Rebuild() {
  ClearVertices();
  const Vector3 s = GetScale();
  // A zero scale has no width to keep: the band then has no outer growth.
  const float X = 1.0f + (s.x != 0.0f ? mThickness / s.x : 0.0f);
  const float Z = 1.0f + (s.z != 0.0f ? mThickness / s.z : 0.0f);
  // Inner sides, outer sides, then the four tops.
  AddQuad({-1, 0, -1}, {-1, 0, 1}, {-1, 1, -1}, {-1, 1, 1}, {1, 0, 0});
  AddQuad({1, 0, -1}, {1, 0, 1}, {1, 1, -1}, {1, 1, 1}, {-1, 0, 0});
  AddQuad({-1, 0, -1}, {1, 0, -1}, {-1, 1, -1}, {1, 1, -1}, {0, 0, 1});
  AddQuad({-1, 0, 1}, {1, 0, 1}, {-1, 1, 1}, {1, 1, 1}, {0, 0, -1});
  AddQuad({-X, 0, -Z}, {-X, 0, Z}, {-X, 1, -Z}, {-X, 1, Z}, {-1, 0, 0});
  AddQuad({X, 0, -Z}, {X, 0, Z}, {X, 1, -Z}, {X, 1, Z}, {1, 0, 0});
  AddQuad({-X, 0, -Z}, {X, 0, -Z}, {-X, 1, -Z}, {X, 1, -Z}, {0, 0, -1});
  AddQuad({-X, 0, Z}, {X, 0, Z}, {-X, 1, Z}, {X, 1, Z}, {0, 0, 1});
  AddQuad({-1, 1, -1}, {-X, 1, -Z}, {1, 1, -1}, {X, 1, -Z}, {0, 1, 0});
  AddQuad({1, 1, -1}, {X, 1, -Z}, {1, 1, 1}, {X, 1, Z}, {0, 1, 0});
  AddQuad({-1, 1, 1}, {-X, 1, Z}, {1, 1, 1}, {X, 1, Z}, {0, 1, 0});
  AddQuad({-1, 1, -1}, {-X, 1, -Z}, {-1, 1, 1}, {-X, 1, Z}, {0, 1, 0});
}
