// The civ world's influence field: one layer per player, each a list of point
// sources whose strength falls off smoothly to nothing at their radius. A
// source added for one player counts for it and against every other player.
// Buildings and roads add and remove sources; the cursor asks who dominates.
#pragma once

#include <vector>

#include "math/Types.h"

class cCivInfluence {
 public:
  virtual ~cCivInfluence() = default;

  void SetNumPlayers(int players);  // layers added empty or dropped at the end
  void SetThreshold(float value);
  void AddSource(int player, const Ru::Math::Vector3& position, float strength, float radius);
  void RemoveSource(const Ru::Math::Vector3& position);  // the first source at that point, in every layer
  float GetValue(int player, const Ru::Math::Vector3& point) const;  // 0 for a player without a layer
  // The player with the greatest value above the threshold (the lower index on a tie); -1 for none.
  int GetDominantPlayer(const Ru::Math::Vector3& point) const;
  int GetNumPlayers() const { return (int)mLayers.size(); }
  bool IsDirty() const { return mDirty; }
  void ClearDirty() { mDirty = false; }

  // 101 at a source, falling to about 0.01 at t = 1 (t: squared distance over squared radius).
  static float Falloff(float t);

 private:
  struct cSource {
    Ru::Math::Vector3 position;
    float strength;
    float radiusSquared;
  };
  struct cLayer {
    float base = 0.1f;
    std::vector<cSource> sources;
  };

  float mThreshold = 0.1f;
  bool mDirty = false;
  std::vector<cLayer> mLayers;
};
