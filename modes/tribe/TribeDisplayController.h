// Not built yet: the tribe HUD (population, food and the goal bar), condition
// labels over hurt, hungry or tired members, population icons over rival huts
// and the food pile beside the player's hut; does nothing for now.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "glf/BarPanel.h"

class cSceneObject;
class cSceneShapeBillboard;
class cSceneShapeCube;
class cTribe;
class cTribeCreature;
class cTribeGameMode;

class cTribeDisplayController {
 public:
  static constexpr int kConditionKinds = 6;      // red health, hunger, energy; then yellow
  static constexpr int kPopulationShapes = 20;   // 1 to 19 (0 shows none); 20 and above the overflow

  explicit cTribeDisplayController(cTribeGameMode* mode);
  virtual ~cTribeDisplayController();

  virtual void Enter();
  virtual void Leave();
  virtual void Update(uint32_t ms);
  virtual void Render();  // the 2D overlay, after the input controller's drawing
  // kind 0-5: critical health, hunger, energy; low health, hunger, energy.
  virtual bool SetConditionLabel(cTribeCreature* creature, int kind);
  virtual bool UpdatePopulationIcon(cTribe* tribe);
  virtual void RemoveConditionLabel(cTribeCreature* creature);

  cSceneShapeBillboard* GetPopulationIconShape(uint32_t population);

 private:
  cTribeGameMode* mMode;
  cSceneShapeBillboard* mConditionShapes[kConditionKinds] = {};
  cSceneShapeBillboard* mPopulationOverflowShape = nullptr;
  cSceneShapeBillboard* mPopulationShapes[kPopulationShapes] = {};
  // In the order they were made, so every walk over them is the same on every run.
  std::vector<std::pair<cTribeCreature*, cSceneObject*>> mConditionLabels;  // objects owned
  std::vector<std::pair<cTribe*, cSceneObject*>> mPopulationIcons;          // objects owned
  cSceneShapeCube* mFoodPileShape = nullptr;
  cSceneObject* mFoodPileObject = nullptr;
  cGLFBarPanel mPanel;
};
