#include "modes/city/cCityGameMode.h"

#include "camera/Camera.h"
#include "camera/CameraControl.h"
#include "modes/city/CityWorld.h"
#include "modes/city/cursors/CityCursorController.h"
#include "modes/city/cursors/CityInputView.h"
#include "modes/city/data/CityFormulas.h"
#include "modes/city/data/CityTuning.h"
#include "modes/city/objects/CityCreation.h"
#include "modes/city/objects/CityGameCity.h"
#include "modes/civ/CivRecords.h"
#include "sim/behavior/BehaviorController.h"
#include "sim/tuning/TuningData.h"

cCityGameMode::cCityGameMode() : tModeShell<cGameMode>("City") { RegisterCityGameTypes(); }

cCityGameMode::~cCityGameMode() = default;

void cCityGameMode::Init() {
  tModeShell<cGameMode>::Init();
  LoadCityFormulasOnce();
}

void cCityGameMode::OnMouseMove(int x, int y) { GetCityCursorController().OnMouseMove(x, y); }

void cCityGameMode::OnLeftButtonUp(int x, int y) {
  tModeShell<cGameMode>::OnLeftButtonUp(x, y);
  GetCityCursorController().OnLeftButtonUp(x, y);
}

void cCityGameMode::OnLeftButtonDown(int x, int y) {
  tModeShell<cGameMode>::OnLeftButtonDown(x, y);
  GetCityCursorController().OnLeftButtonDown(x, y);
}

void cCityGameMode::OnRightButtonDown(int x, int y) {
  tModeShell<cGameMode>::OnRightButtonDown(x, y);
  GetCityCursorController().OnRightButtonDown(x, y);
  GetCityInputView().ClearMouseMovement();
  mRightDragging = true;
  mRightPressTimer.Restart();
}

void cCityGameMode::OnRightButtonUp(int x, int y) {
  tModeShell<cGameMode>::OnRightButtonUp(x, y);
  GetCityCursorController().OnRightButtonUp(x, y);
  mRightDragging = false;
  if (mRightPressTimer.GetElapsed() < kCameraClickMs) GetCityInputView().MoveCameraTo(x, y);
  mRightPressTimer.Stop();
}

void cCityGameMode::Update(unsigned int ms) {
  tModeShell<cGameMode>::Update(ms);
  ReloadChangedTuningData();
  GetCityCursorController().Update(ms);
  if (mRightDragging) {
    // The sums are cleared at the press only: every frame passes the whole movement since then.
    int dx = 0, dy = 0;
    GetCityInputView().GetMouseMovement(dx, dy);
    SetCameraMouseMove(dx, dy);
  }
  GetBehaviorController().Update(ms);
  if (mRunning) GetCityObjectRegistry().UpdateAll(ms);
}

void cCityGameMode::Enter() {
  tModeShell<cGameMode>::Enter();
  SetCameraScriptFile(".\\Data\\Scripts\\city_camera.txt");
  LoadCityFormulasOnce();
  if (!mCity) {
    mCity = CreateRegisteredCityObject<cCityGameCity>();
    if (mCity) mCity->Setup();
    GetCityCursorController().SetCity(mCity);
  }
  if (mCity && mCity->GetCommon()) {
    const Ru::Math::Vector3 home = mCity->GetCommon()->GetPosition();
    CenterCameraOn(&home.x);
  }
  GetCityObjectRegistry().EnterAll();
  mRunning = true;
  const cCityGameTuning& tuning = GetCityGameTuning();
  mHud.AddBar("Population:", kGLFBarStyleNumber, 0.0f, 2);
  mHud.AddBar("Happiness:", kGLFBarStyleSigned, tuning.happinessBarRange, 2);
  mHud.AddBar("Money:", kGLFBarStyleNumber, 0.0f, 2);
  mHud.AddBar("Food:", kGLFBarStyleNumber, 0.0f, 2);
  mHud.AddBar("Housing:", kGLFBarStyleSigned, 0.0f, 2);
  mHud.SetValue("Population:", 0.0f);
  mHud.SetValue("Happiness:", mCity ? mCity->GetHappiness() - 50.0f : 0.0f);
  mHud.SetValue("Money:", 0.0f);
  mHud.SetValue("Food:", 0.0f);
  mHud.SetValue("Housing:", 0.0f);
  mHud.InitTitleBar("Population Goal:", (float)tuning.cityPopulationGoal);
  mHud.SetTitleValue(0.0f);
}

void cCityGameMode::Leave() {
  tModeShell<cGameMode>::Leave();
  GetCityCursorController().LetGoOfAll();
  GetCityObjectRegistry().LeaveAll();
  mRunning = false;
}

void cCityGameMode::RefreshHud() {
  if (!mCity) return;
  mHud.SetRange("Housing:", (float)mCity->GetHousingCapacity());
  mHud.SetValue("Population:", (float)mCity->GetPopulation());
  mHud.SetValue("Happiness:", mCity->GetHappiness() - 50.0f);
  mHud.SetSecondaryValue("Happiness:", mCity->GetPartyBonus());
  mHud.SetValue("Money:", mCity->GetMoney());
  mHud.SetValue("Food:", GetCityFood());
  mHud.SetValue("Housing:", (float)(mCity->GetHousingCapacity() - mCity->GetPopulation()));
  mHud.SetTitleValue((float)mCity->GetPopulation());
}

void cCityGameMode::OnRender() {
  cGameMode::OnRender();
  GetCityObjectRegistry().DrawAll();
  GetCityCursorController().Draw();
  RefreshHud();
  mHud.Draw(kGLFHudPanelX, kGLFHudPanelY);
}

void cCityGameMode::ObjectRemoved(Ko::cIGameData* object) {
  if (!mCity || !object || object->GetTypeId() != cCityCommon::kTypeId) return;
  cCityCommon* own = mCity->GetCommon();
  if (!own || static_cast<cCityCommon*>(object)->GetId() != own->GetId()) return;
  cCityGameCity* city = mCity;
  mCity = nullptr;
  GetCityCursorController().LetGoOfAll();
  GetCityCursorController().SetCity(nullptr);
  GetCityObjectRegistry().RemoveNow(city);
}

void cCityGameMode::BeforeLoad() {
  GetCityCursorController().LetGoOfAll();
  mCity = nullptr;
  GetCityCursorController().SetCity(nullptr);
  GetCityObjectRegistry().Clear();
}

void cCityGameMode::AfterLoad() { GetCityObjectRegistry().ResolveAllLinks(); }
