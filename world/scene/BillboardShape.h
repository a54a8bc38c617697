// A textured quad that always faces the viewer. Screen-size billboards keep
// their pixel size at any distance (scale x image size in pixels);
// world-size ones are scale units across. Pure white in the image is
// transparent. The image is read from a .bmp when the shape is made and
// becomes a texture object at its first draw (no GL until then), made again
// only when another image is loaded: uploading it at every draw made llvmpipe
// finish the frame so far each time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "world/scene/SceneShape.h"

class cSceneShapeBillboard : public tShapeClass<cSceneShapeBillboard, cISceneShape> {
 public:
  explicit cSceneShapeBillboard(bool worldSize);
  cSceneShapeBillboard(const std::string& bitmapFile, bool worldSize);
  ~cSceneShapeBillboard() override;
  void Draw(cSceneObject* object) override;
  Ru::Math::Vector3 GetScale() override { return mScale; }
  void SetScale(const Ru::Math::Vector3& scale) override { mScale = scale; }
  float GetBoundingRadius() override { return 1.0f; }
  void BeginDraw() override;
  void EndDraw() override;
  bool IntersectRay(const Ru::Math::Ray& objectRay, Ru::Math::Vector3& hit) override;
  const char* GetTypeName() override { return "Billboard"; }
  // False (and no image) when the file cannot be read or holds no pixels.
  virtual bool LoadTexture(const std::string& bitmapFile);

  bool HasImage() const { return !mPixels.empty(); }
  const std::vector<float>& GetPixels() const { return mPixels; }  // RGBA floats, bottom row first

 private:
  void BindTexture();  // made or remade first when the image changed since

  bool mWorldSize;
  unsigned int mTexture = 0;     // the texture object, once made
  bool mTextureStale = true;     // the image changed since it was uploaded
  uint32_t mTextureGeneration = 0;  // the GL context's it was made in
  Ru::Math::Vector3 mScale{1.0f, 1.0f, 1.0f};
  float mWidth = 0.0f, mHeight = 0.0f;
  std::vector<float> mPixels;
};
