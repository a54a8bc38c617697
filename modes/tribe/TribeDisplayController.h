// The tribe HUD: a panel with the player tribe's population and food under a
// bar towards the population goal; a condition label floating above every
// member of the player tribe that is hurt, hungry or tired (the object
// controller says which); a population icon above the hut of every rival
// tribe; and the food pile, a green cube beside the player's hut that grows
// with the tribe's food. The mode makes it on Enter and deletes it on Leave.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "glf/BarPanel.h"
#include "math/Types.h"

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
  static constexpr float kLabelHeight = 4.0f;    // condition labels and population icons
  static constexpr float kHealthMeterHeight = 6.0f;
  static constexpr float kFoodPileLargest = 2.0f;

  explicit cTribeDisplayController(cTribeGameMode* mode);  // loads every shape
  virtual ~cTribeDisplayController();
  cTribeDisplayController(const cTribeDisplayController&) = delete;
  cTribeDisplayController& operator=(const cTribeDisplayController&) = delete;

  // The food pile, the icons of the rival tribes there are now, the panel rows.
  virtual void Enter();
  // Every label, icon and the food pile leave the scene.
  virtual void Leave();
  // Follows the members with their labels and meters, refreshes the icons and sizes the food pile.
  virtual void Update(uint32_t ms);
  virtual void Render();  // the 2D overlay, after the input controller's drawing
  // kind 0-5: critical health, hunger, energy; low health, hunger, energy.
  // False for a kind outside 0-5.
  virtual bool SetConditionLabel(cTribeCreature* creature, int kind);
  // Shows the icon of the tribe's population above its hut; a tribe with no
  // members shows none (and gets one again when it grows).
  virtual bool UpdatePopulationIcon(cTribe* tribe);
  virtual void RemoveConditionLabel(cTribeCreature* creature);

  // The overflow shape from 20 on; null for 0 (nothing to show).
  cSceneShapeBillboard* GetPopulationIconShape(uint32_t population);

  // The cube's size for a food store: 0.15 x food^(1/3), at most 2.0; 0 without food.
  static float FoodPileSize(float food);
  // The texture and colour of a condition kind (0-5).
  static const char* ConditionTexture(int kind);
  static Ru::Math::Vector3 ConditionColour(int kind);

  // For the HUD's users and tests.
  cSceneObject* GetConditionLabel(cTribeCreature* creature) const;
  cSceneObject* GetPopulationIcon(cTribe* tribe) const;
  cSceneShapeBillboard* GetConditionShape(int kind) const;
  cSceneObject* GetFoodPileObject() const { return mFoodPileObject; }
  cSceneShapeCube* GetFoodPileShape() const { return mFoodPileShape; }
  cGLFBarPanel& GetPanel() { return mPanel; }
  int GetConditionLabelCount() const { return (int)mConditionLabels.size(); }

 private:
  void FitFoodPile(cTribe* player);  // its size for the player's food, on the ground by the hut
  cTribe* PlayerTribe();
  void RefreshPanel();
  static void RemoveFromScene(cSceneObject*& object);

  cTribeGameMode* mMode;
  cSceneShapeBillboard* mConditionShapes[kConditionKinds] = {};
  cSceneShapeBillboard* mPopulationOverflowShape = nullptr;
  cSceneShapeBillboard* mPopulationShapes[kPopulationShapes] = {};
  // In the order they were made, so every walk over them is the same on every run.
  std::vector<std::pair<cTribeCreature*, cSceneObject*>> mConditionLabels;  // objects owned
  // Objects owned; null while the tribe has no members.
  std::vector<std::pair<cTribe*, cSceneObject*>> mPopulationIcons;
  cSceneShapeCube* mFoodPileShape = nullptr;
  cSceneObject* mFoodPileObject = nullptr;
  cGLFBarPanel mPanel;
};
