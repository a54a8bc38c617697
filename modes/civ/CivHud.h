// The civ HUD: the human's income panel (wealth, four revenue rows and every
// player's share of the world's income), the world map in the lower left
// corner, the labels and markers over the city or vehicle under the cursor,
// the event notice at the right edge, the influence cube at the cursor, and
// the pole axis and latitude and longitude lines the control panel switches on.
#pragma once

#include <cstdint>

#include "glf/BarPanel.h"
#include "math/Types.h"

class cCivMap;
class cCivModeDecoratedCity;
class cCivModeVehicle;
class cSceneObject;
class cSceneShapeCube;

// The human's revenue rows as the panel shows them (before rounding).
struct sCivIncomeRows {
  float wealth = 0.0f, buildings = 0.0f, embassies = 0.0f, trade = 0.0f, happiness = 0.0f;
};

class cCivHud : public cGLFBarPanel {
 public:
  ~cCivHud() override;

  // The camera over `city` (may be null), the markers and lines on the first
  // call, the panel rows and a new map.
  void Enter(cCivModeDecoratedCity* city);
  // Runs after the world each tick: the income shares (the NPC agent reads
  // them headless too) and, with the map shown, its markers.
  void Update(uint32_t dtMs);
  void Draw();
  void Leave();

  // The rows and the distribution bar from the world as it stands (Draw does it each frame).
  void RefreshIncomePanel();
  static sCivIncomeRows ComputeIncomeRows(int human);
  void PrintIncomeDistribution();  // key "i": the shares in the debug window

  // Labels at window point (x, y), y from the top. The diplomatic one projects
  // with the frame's 3D matrices, so it runs outside Begin2D/End2D.
  void DrawCityWealthLabel(cCivModeDecoratedCity* city, int x, int y);
  void DrawDiplomaticLabel(cCivModeDecoratedCity* city, int x, int y);
  void DrawVehicleLabel(cCivModeVehicle* vehicle, int x, int y);
  void DrawEventNotice();
  void DrawCenteredNotice(const char* text);
  // The cube at the cursor in the colour of the player dominating there.
  void UpdateInfluenceMarker(bool show);
  cSceneObject* GetInfluenceMarker() const { return mInfluenceMarker; }
  static const char* VehicleLabelText(int kind);  // "Land Vehicle", "Amphibious Vehicle", "Air Vehicle"

  // The map: whether a window point is on it, and a click there takes the camera over that place.
  bool MapHitTest(int x, int y) const;
  void MapClick(int x, int y);
  cCivMap* GetMap() const { return mMap; }

 private:
  void DrawLinesAndAxis();
  void DrawHoverLabels();

  cCivMap* mMap = nullptr;
  cSceneShapeCube* mInfluenceShape = nullptr;
  cSceneObject* mInfluenceMarker = nullptr;
  bool mInfluenceMarkerShown = false;
};
