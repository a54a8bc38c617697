#include "modes/civ/CivMap.h"

#include <GL/gl.h>

#include <cmath>

#include "glf/Overlay2D.h"
#include "math/Geometry.h"
#include "math/Math.h"
#include "modes/civ/CivInfluence.h"
#include "modes/civ/CivPlayers.h"
#include "world/planet/PlanetModel.h"

using Ru::Math::Vector3;
using Ru::Math::LongitudeLatitudeToDirection;

namespace {
constexpr float kPi = 3.14159265358979f;
float Clamp(float v, float lo, float hi) { return v < lo ? lo : v > hi ? hi : v; }
}  // namespace

int cCivMap::Width() {
  static const int width = 2 * (int)std::ceil(kScaleX * kRadius * kPi);
  return width;
}

int cCivMap::Height() {
  static const int height = 2 * (int)std::ceil(kScaleY * kRadius);
  return height;
}

void cCivMap::Project(const Vector3& point, float& x, float& y) {
  const float length = Ru::Math::Vector3Length(point);
  const float longitude = std::atan2(point.z, point.x);
  // The centre of the planet has no latitude: it shows on the equator.
  const float latitude = length > 0.0f ? std::asin(Clamp(point.y / length, -1.0f, 1.0f)) : 0.0f;
  x = Clamp(CentreX() - kScaleX * longitude * kRadius, 0.0f, (float)Width());
  y = Clamp(CentreY() + std::sin(latitude) * kScaleY * kRadius, 0.0f, (float)Height());
}

void cCivMap::Unproject(float x, float y, float& longitude, float& latitude) {
  longitude = Clamp((CentreX() - x) * kScaleY / kRadius, -kPi, kPi);
  latitude = std::asin(Clamp((y - CentreY()) * kScaleX / kRadius, -1.0f, 1.0f));
}

Vector3 cCivMap::SurfacePointAt(float x, float y) {
  float longitude, latitude;
  Unproject(x, y, longitude, latitude);
  Vector3 direction = LongitudeLatitudeToDirection(longitude, latitude);
  return Ru::Math::Vector3Scale(direction, GetPlanetModel().GetSurfaceRadius(direction));
}

void cCivMap::AddMarker(const Vector3& point, int owner) {
  sMarker marker{0.0f, 0.0f, owner};
  Project(point, marker.x, marker.y);
  mMarkers.push_back(marker);
}

void cCivMap::RefreshInfluenceColumn(const cCivInfluence& influence) {
  const int width = Width() - 2, height = Height() - 2;
  if (mImage.empty()) mImage.assign((size_t)width * height * 3, 0.0f);
  mColumn = (mColumn + 1) % width;
  for (int row = (mColumn & 1); row < height; row += 2) {
    // The image sits one pixel inside the map's frame.
    int owner = influence.GetDominantPlayer(SurfacePointAt((float)(mColumn + 1), (float)(row + 1)));
    Vector3 colour = owner >= 0 ? CivPlayerColour(owner) : Vector3{0.1f, 0.1f, 0.1f};
    float* pixel = &mImage[((size_t)row * width + mColumn) * 3];
    pixel[0] = colour.x, pixel[1] = colour.y, pixel[2] = colour.z;
  }
}

void cCivMap::Draw(bool showInfluence, int windowHeight) const {
  const int width = Width(), height = Height();
  // Map pixels (y up from the map's bottom) to overlay pixels (y down from the window's top).
  auto top = [windowHeight](float y) { return windowHeight - (int)y; };
  SetColour2D(1.0f, 1.0f, 1.0f);
  DrawFilledRect(0, top((float)height), width, top(0.0f));
  SetColour2D(0.1f, 0.1f, 0.1f);
  DrawFilledRect(1, top((float)height - 1.0f), width - 1, top(1.0f));
  if (showInfluence && !mImage.empty() && GLFOverlayDrawsWithOpenGL()) {
    glRasterPos2i(1, 1);  // OpenGL's overlay projection counts y up from the bottom
    glDrawPixels(width - 2, height - 2, GL_RGB, GL_FLOAT, mImage.data());
  }
  SetColour2D(0.1f, 0.5f, 0.5f);
  for (int degrees = -150; degrees <= 150; degrees += 30) {
    float x, y;
    Project(LongitudeLatitudeToDirection(degrees * kPi / 180.0f, 0.0f), x, y);
    DrawLine2D((int)x, top(0.0f), (int)x, top((float)height));
  }
  for (int degrees = -60; degrees <= 60; degrees += 30) {
    float x, y;
    Project(LongitudeLatitudeToDirection(0.0f, degrees * kPi / 180.0f), x, y);
    DrawLine2D(0, top(y), width, top(y));
  }
  for (const sMarker& marker : mMarkers) {
    Vector3 colour = CivPlayerColour(marker.owner);
    SetColour2D(colour.x, colour.y, colour.z);
    DrawFilledRect((int)marker.x - 4, top(marker.y + 4.0f), (int)marker.x + 4, top(marker.y - 4.0f));
  }
}
