// The fly/swim experiment mode: a developer mode for trying how creatures fly
// and swim around the planet. Its "Fly/Swim UI" panel switches five
// experiments: a saucer ("UFO"), one fish, one bird, a tribe of fish and a
// tribe of birds. All working state lives in nFlySwim::State(); the mode
// object only routes the game's calls there.
#pragma once

#include <string>

#include "math/Types.h"
#include "modes/ModeShell.h"
#include "modes/dev/flyswim/FlySwimState.h"

class cTovansGameMode : public tDataModeShell {
 public:
  cTovansGameMode();
  ~cTovansGameMode() override;

  std::string GetName() override { return "Quorvel - Tovan's Fly/Swim Experiments"; }
  void OnMouseMove(int x, int y) override;
  void OnLeftButtonUp(int x, int y) override;
  void OnLeftButtonDown(int x, int y) override;
  void OnRightButtonUp(int x, int y) override;
  void OnRightButtonDown(int x, int y) override;
  void OnMiddleButtonUp(int, int) override {}
  void OnMiddleButtonDown(int, int) override {}
  void OnKeyPress(unsigned char key, int x, int y) override;
  void OnRender() override;
  void Update(unsigned int ms) override;
  void Enter() override;
  void Leave() override;

  // The "Mode" radio group's callback (the group has written the mode value already).
  static void OnModeChanged(int value);
  // The "Sea Level" spinner's callback: the perches follow the new sea level.
  static void OnSeaLevelChanged(int id);

  // ---- target picking ----
  static bool Pick(nFlySwim::sUnit& unit, Ru::Math::Vector3& point, Ru::Math::Vector3& aim, bool& onPerch,
                   bool perchPermission);
  static bool PickNearestCandidate(nFlySwim::sUnit& unit, Ru::Math::Vector3& point, Ru::Math::Vector3& aim,
                                   bool& onPerch, bool perchPermission);
  static bool PickOnWaterShell(nFlySwim::sUnit& unit, Ru::Math::Vector3& point);
  static nFlySwim::sPerch* PickPerch(int x, int y, Ru::Math::Vector3& hit, float maxDistance);

 private:
  static void ChooseCamera();
  static void SelectAndTarget();
  void CreatePanel();
};
