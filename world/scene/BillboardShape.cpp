#include "world/scene/BillboardShape.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "glf/GLExtensions.h"
#include "math/Geometry.h"
#include "platform/Sys.h"

using Ru::Math::Vector3;

cSceneShapeBillboard::cSceneShapeBillboard(bool worldSize) : mWorldSize(worldSize) {}

cSceneShapeBillboard::cSceneShapeBillboard(const std::string& bitmapFile, bool worldSize) : mWorldSize(worldSize) {
  LoadTexture(bitmapFile);
}

cSceneShapeBillboard::~cSceneShapeBillboard() {
  if (mTexture != 0 && mTextureGeneration == GetGLContextGeneration()) glDeleteTextures(1, &mTexture);
}

bool cSceneShapeBillboard::LoadTexture(const std::string& bitmapFile) {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  mPixels.clear();
  mWidth = mHeight = 0.0f;
  mTextureStale = true;
  std::string refusal;
  if (!Sys_LoadImageRGB(bitmapFile, width, height, rgb, refusal) || width <= 0 || height <= 0) {
    if (!refusal.empty()) Sys_Note("Data File", refusal + ": the picture is not shown");
    return false;
  }
  mWidth = static_cast<float>(width);
  mHeight = static_cast<float>(height);
  mPixels.resize(static_cast<size_t>(width) * height * 4);
  // Texture rows go bottom row first, so the image stands upright on the quad.
  for (int row = 0; row < height; ++row) {
    const uint8_t* from = &rgb[static_cast<size_t>(height - 1 - row) * width * 3];
    float* to = &mPixels[static_cast<size_t>(row) * width * 4];
    for (int x = 0; x < width; ++x, from += 3, to += 4) {
      const float r = from[0] / 256.0f, g = from[1] / 256.0f, b = from[2] / 256.0f;
      to[0] = r, to[1] = g, to[2] = b;
      to[3] = (r >= 0.996f && g >= 0.996f && b >= 0.996f) ? 0.0f : 1.0f;  // only 255 255 255 is see-through
    }
  }
  return true;
}

void cSceneShapeBillboard::BeginDraw() {
  glDisable(GL_LIGHTING);
  glEnable(GL_ALPHA_TEST);
  glAlphaFunc(GL_EQUAL, 1.0f);
}

void cSceneShapeBillboard::EndDraw() {
  glAlphaFunc(GL_ALWAYS, 0.0f);
  glDisable(GL_ALPHA_TEST);
  glEnable(GL_LIGHTING);
}

bool cSceneShapeBillboard::IntersectRay(const Ru::Math::Ray& ray, Vector3& hit) {
  const Vector3 origin{};
  if (!mWorldSize || !nSceneMath::IsAhead(ray, origin) || !(Ru::Math::RayPointArcDistance(ray, origin) < 2.0f))
    return false;
  hit = origin;
  return true;
}

void cSceneShapeBillboard::Draw(cSceneObject*) {
  if (!HasImage()) return;  // without an image there is nothing to show, not a white square
  GLdouble model[16], projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  Vector3 corners[4];
  if (mWorldSize) {
    const Vector3 right{static_cast<float>(model[0]) * mScale.x, static_cast<float>(model[4]) * mScale.x,
                        static_cast<float>(model[8]) * mScale.x};
    const Vector3 up{static_cast<float>(model[1]) * mScale.y, static_cast<float>(model[5]) * mScale.y,
                     static_cast<float>(model[9]) * mScale.y};
    using namespace Ru::Math;
    corners[0] = Vector3Sub(right, up);
    corners[1] = Vector3Sub(Vector3Negate(right), up);
    corners[2] = Vector3Sub(up, right);
    corners[3] = Vector3Add(right, up);
  } else {
    GLdouble wx, wy, wz;
    if (!gluProject(0.0, 0.0, 0.0, model, projection, viewport, &wx, &wy, &wz)) return;
    const double hw = mScale.x * mWidth * 0.5, hh = mScale.y * mHeight * 0.5;
    const double window[4][2] = {{wx + hw, wy - hh}, {wx - hw, wy - hh}, {wx - hw, wy + hh}, {wx + hw, wy + hh}};
    for (int i = 0; i < 4; ++i) {
      GLdouble x, y, z;
      if (!gluUnProject(window[i][0], window[i][1], wz, model, projection, viewport, &x, &y, &z)) return;
      corners[i] = Vector3{static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
    }
  }
  glEnable(GL_TEXTURE_2D);
  BindTexture();
  glColor3f(1.0f, 1.0f, 1.0f);
  const float texture[4][2] = {{1, 0}, {0, 0}, {0, 1}, {1, 1}};
  glBegin(GL_QUADS);
  for (int i = 0; i < 4; ++i) {
    glTexCoord2f(texture[i][0], texture[i][1]);
    glVertex3f(corners[i].x, corners[i].y, corners[i].z);
  }
  glEnd();
  glBindTexture(GL_TEXTURE_2D, 0);
  glDisable(GL_TEXTURE_2D);
}

void cSceneShapeBillboard::BindTexture() {
  if (mTextureGeneration != GetGLContextGeneration()) {  // the name was the last context's: forgotten
    mTexture = 0;
    mTextureGeneration = GetGLContextGeneration();
  }
  if (mTexture == 0) {
    glGenTextures(1, &mTexture);
    mTextureStale = true;
  }
  glBindTexture(GL_TEXTURE_2D, mTexture);
  if (!mTextureStale) return;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, static_cast<GLsizei>(mWidth), static_cast<GLsizei>(mHeight), 0, GL_RGBA,
               GL_FLOAT, mPixels.data());
  mTextureStale = false;
}
