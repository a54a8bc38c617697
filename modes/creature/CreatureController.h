// What moves a creature-mode creature: the player's avatar controllers and,
// in time, others. The creature owns its one controller.
#pragma once

class cICreatureController {
 public:
  virtual ~cICreatureController() = default;
  virtual void Update(float seconds) = 0;
  virtual void Activate() = 0;     // registers its input actions and reads its files
  virtual void SetupCamera() = 0;  // installs its camera script and puts the camera on the creature
  virtual void Deactivate() = 0;
};
