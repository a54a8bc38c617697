// What the scene asks of the application and the creature mode, installed by
// them at start-up: the scene library sits below both, so it reaches them
// through these hooks instead of linking them. Until installed (and in tests)
// the defaults answer: real milliseconds, no mode that picks plant triangles,
// no creature-mode creatures.
#pragma once

#include <cstdint>

#include "app/GameClock.h"  // the stopwatch template only

namespace Ko {
class cGameData;
}

// The creature shape's questions about its object's owner.
class cICreatureShapeQueries {
 public:
  virtual ~cICreatureShapeQueries() = default;
  // False when the owner is not a creature-mode creature. Otherwise inGroup
  // says it belongs to a group, and ring that it follows a leader, is the
  // avatar's combat opponent, or shares the avatar's species with some loyalty.
  virtual bool Describe(Ko::cGameData* owner, bool& inGroup, bool& ring) = 0;
};

struct cSceneServices {
  uint32_t (*gameTime)() = nullptr;                   // the pausable game clock (ms)
  bool (*plantTrianglesPickable)() = nullptr;         // true while the tribe or city mode plays
  cICreatureShapeQueries* creatures = nullptr;
};

cSceneServices& GetSceneServices();
uint32_t GetSceneGameTime();  // the installed game clock, else Sys_Milliseconds

// A stopwatch on the game clock as the scene sees it (stands still while paused).
using cSceneStopwatch = tStopwatch<GetSceneGameTime>;

// The GLU quadric the spheres, fruit and eyes share, made at the first draw.
struct GLUquadric;
GLUquadric* GetSceneQuadric();
