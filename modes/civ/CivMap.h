// The civ HUD's world map: an equal-area cylindrical picture of the planet in
// the lower left corner of the window, a square per city in its owner's
// colour, one for the camera, and an image of who dominates each place that
// is refreshed one column a frame (so the cost of the influence queries is
// spread out). Map pixels count from the map's lower left corner, y upward.
#pragma once

#include <vector>

#include "math/Types.h"

class cCivInfluence;

class cCivMap {
 public:
  static constexpr float kScaleX = 0.8660254f;  // cos 30 degrees: the latitude the map is true at
  static constexpr float kScaleY = 1.1547005f;  // 1 / kScaleX, so areas keep their size
  static constexpr float kRadius = 75.0f;       // map pixels per radian at the equator
  static int Width();   // 410
  static int Height();  // 174
  static float CentreX() { return (float)Width() / 2.0f; }
  static float CentreY() { return (float)Height() / 2.0f; }

  struct sMarker {
    float x, y;
    int owner;  // -2: the camera
  };

  // A world point to map pixels, clamped to the map.
  static void Project(const Ru::Math::Vector3& point, float& x, float& y);
  // Map pixels back to longitude (clamped to +-pi) and latitude, in radians.
  static void Unproject(float x, float y, float& longitude, float& latitude);
  // The surface point under a map pixel.
  static Ru::Math::Vector3 SurfacePointAt(float x, float y);

  void ClearMarkers() { mMarkers.clear(); }
  void AddMarker(const Ru::Math::Vector3& point, int owner);
  const std::vector<sMarker>& GetMarkers() const { return mMarkers; }

  // The next column of the influence image (wrapping): every other pixel, in
  // a checkerboard, gets the colour of the player dominating there.
  void RefreshInfluenceColumn(const cCivInfluence& influence);
  int GetInfluenceColumn() const { return mColumn; }
  // RGB floats, (Width - 2) x (Height - 2), bottom row first; empty until first refreshed.
  const std::vector<float>& GetInfluenceImage() const { return mImage; }

  // The frame, the grid and the markers (and the influence image when shown),
  // in the 2D overlay; windowHeight places the map at the bottom.
  void Draw(bool showInfluence, int windowHeight) const;

 private:
  std::vector<sMarker> mMarkers;
  std::vector<float> mImage;
  int mColumn = 0;
};
