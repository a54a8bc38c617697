// The city mode as the application sees it. It registers the city's game
// object classes, founds the player's city at the north pole the first time
// it is entered, hands mouse input to the city cursor controller, turns a
// right drag into camera movement and a short right click into a camera
// jump, runs tuning, cursor, behaviours and every city object once a frame,
// and draws the scene, the city objects, the cursor and the HUD (housing,
// population, happiness, money and food under the "Population Goal:" bar).
// City objects are never saved: a load discards the city and the next Enter
// founds a new one.
#pragma once

#include <cstdint>

#include "app/GameClock.h"
#include "glf/BarPanel.h"
#include "modes/ModeShell.h"
#include "sim/gamedata/GameData.h"

class cCityGameCity;

class cCityGameMode : public tModeShell<cGameMode>, public Ko::cIGameDataSerializer, public Ko::cIGameDataClient {
 public:
  static constexpr uint32_t kCameraClickMs = 500;  // a shorter right press jumps the camera

  cCityGameMode();  // safe to build anywhere: the city's types are registered once per data manager
  ~cCityGameMode() override;

  std::string GetName() override { return cGameMode::GetName(); }
  void OnMouseMove(int x, int y) override;
  void OnLeftButtonUp(int x, int y) override;
  void OnLeftButtonDown(int x, int y) override;
  void OnRightButtonUp(int x, int y) override;
  void OnRightButtonDown(int x, int y) override;
  void OnRender() override;
  void Update(unsigned int ms) override;
  void Enter() override;
  void Leave() override;
  void Init() override;  // loads the city's formulas (once)

  void Load(Ko::cIGameData*, cMemoryStream&, uint32_t) override {}
  void Save(Ko::cIGameData*, cMemoryStream&, uint32_t) override {}
  void ObjectRemoved(Ko::cIGameData* object) override;  // the city's own record takes the city with it
  void BeforeLoad() override;                           // every city object goes
  void AfterLoad() override;

  cCityGameCity* GetCity() const { return mCity; }
  bool IsRunning() const { return mRunning; }
  bool IsRightDragging() const { return mRightDragging; }
  cGLFBarPanel& GetHud() { return mHud; }
  void RefreshHud();  // the HUD values from the city, as drawing does

 private:
  cGLFBarPanel mHud;
  cCityGameCity* mCity = nullptr;
  bool mRunning = false;
  bool mRightDragging = false;
  cGameStopwatch mRightPressTimer;
};

// Registers the 23 city classes with the data manager (each once; the city
// and building records of the civ side too). The mode's constructor calls it.
void RegisterCityGameTypes();
