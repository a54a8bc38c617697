// A developer mode for trying herd formations: a red marker follows the planet
// point under the mouse; a click (or the space bar) drops a herd of ten
// pyramids there in a weighted mix of formations, and editing the four weights
// in the mode's panel lays the same herd out again at the same point.
#pragma once

#include <vector>

#include "math/Types.h"
#include "modes/ModeShell.h"

class GLUI;
class cSceneObject;
class tHerdFormationSelectOperator;

class cFlockTestMode : public tDataModeShell {
 public:
  static constexpr int kHerdSize = 10;

  cFlockTestMode() : tDataModeShell("FlockTest") {}
  void OnMouseMove(int x, int y) override;
  void OnLeftButtonDown(int x, int y) override;
  void OnRightButtonDown(int x, int y) override;
  void OnKeyPress(unsigned char key, int x, int y) override;
  void OnRender() override;
  void Enter() override;
  void Leave() override;
  void Init() override;  // shapes, marker and formations, once per run

  // The mode's state lives in its source file, shared by every instance.
  struct sWeightFields {  // the panel's live variables
    int line, bigJump, scatter, huddle;
  };
  static sWeightFields& GetWeightFields();
  static void OnWeightFieldsChanged(int id);  // the fields' one callback
  static void RebuildHerd();                   // a new herd at the marker
  static const std::vector<cSceneObject*>& GetHerd();
  static cSceneObject* GetMarker();  // null before Init
  static const Ru::Math::Vector3& GetLastAnchor();
  static tHerdFormationSelectOperator& GetFormation();
  static GLUI* GetPanel();  // null before the first Enter
};
