#include "modes/civ/CivInfluence.h"

#include <algorithm>

#include "math/Math.h"

using namespace Ru::Math;

float cCivInfluence::Falloff(float t) { return 1.0f / (100.0f * t + 0.01f) + t * t * t - t * t - t + 1.0f; }

void cCivInfluence::SetNumPlayers(int players) {
  players = std::max(players, 0);
  if ((int)mLayers.size() == players) return;
  mLayers.resize(players);
  SetThreshold(mThreshold);
}

void cCivInfluence::SetThreshold(float value) {
  mThreshold = value;
  for (cLayer& layer : mLayers) layer.base = value;
  mDirty = true;
}

void cCivInfluence::AddSource(int player, const Vector3& position, float strength, float radius) {
  mDirty = true;
  for (int p = 0; p < (int)mLayers.size(); ++p)
    mLayers[p].sources.push_back({position, p == player ? strength : -strength, radius * radius});
}

void cCivInfluence::RemoveSource(const Vector3& position) {
  mDirty = true;
  const float kSamePoint = 1.0f / 65536.0f;  // squared distance
  for (cLayer& layer : mLayers) {
    auto at = std::find_if(layer.sources.begin(), layer.sources.end(), [&](const cSource& s) {
      return Vector3LengthSquared(Vector3Sub(s.position, position)) < kSamePoint;
    });
    if (at != layer.sources.end()) layer.sources.erase(at);
  }
}

float cCivInfluence::GetValue(int player, const Vector3& point) const {
  if (player < 0 || player >= (int)mLayers.size()) return 0.0f;
  float value = 0.0f;
  for (const cSource& s : mLayers[player].sources) {
    float d2 = Vector3LengthSquared(Vector3Sub(s.position, point));
    if (d2 < s.radiusSquared) value += s.strength * Falloff(d2 / s.radiusSquared);
  }
  return value;
}

int cCivInfluence::GetDominantPlayer(const Vector3& point) const {
  float best = mThreshold;
  int result = -1;
  for (int p = 0; p < (int)mLayers.size(); ++p) {
    float value = GetValue(p, point);
    if (value > best) {
      best = value;
      result = p;
    }
  }
  return result;
}
