#include "modes/dev/testbench/cTestGameMode.h"

#include <GL/gl.h>

#include "app/AppGlobals.h"
#include "math/Math.h"
#include "modes/creature/AvatarFlySwimController.h"
#include "modes/creature/CreatureCommon.h"
#include "modes/creature/cCreatureGameMode.h"
#include "modes/creature/cCreatureModeCreature.h"
#include "platform/glui/glui.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/CreatureParts.h"
#include "world/scene/CreatureShape.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

namespace {

struct cTestBench {
  GLUI* panel = nullptr;
  cCreatureModeCreature* creature = nullptr;  // holds a reference; never freed
  cCreatureCommon* record = nullptr;          // holds a reference; never freed
  cSceneObject* wings[2] = {nullptr, nullptr};
};

cTestBench& Bench() {
  static cTestBench* bench = new cTestBench();  // lives for the run, as the creature's scene objects may
  return *bench;
}

void BuildBench(cTestBench& bench) {
  bench.panel = GLUI_Master.create_glui("Test Mode Control Panel", 0, -1, -1);
  bench.panel->set_main_gfx_window(gMainWindow);

  // The record stays out of the data manager: a loaded game must never free it.
  bench.record = new cCreatureCommon();
  bench.record->AddRef();
  bench.creature = new cCreatureModeCreature();
  bench.creature->AddRef();
  bench.creature->SetCommon(bench.record);

  // The creature mode's wing shapes, made on demand: the bench may come first.
  for (int i = 0; i < 2; ++i) bench.wings[i] = new cSceneObject(bench.creature, cCreatureGameMode::GetWingShape(i));

  // The creature owns its controller; attaching it puts the camera on the creature.
  bench.creature->SetController(
      new cAvatarFlySwimController(nullptr, bench.creature, bench.wings[0], bench.wings[1], "CreatureTuning.xml"));

  bench.record->SetSceneObject(new cSceneObject(bench.creature, cCreatureCommon::GetBodyShape()));
  bench.creature->SetId(0);
}

}  // namespace

void cTestGameMode::Enter() {
  tDataModeShell::Enter();
  cTestBench& bench = Bench();
  if (!bench.panel) BuildBench(bench);
  else bench.panel->show();

  cSceneManager& scene = GetSceneManager();
  scene.AddObject(bench.creature->GetSceneObject());
  for (cSceneObject* wing : bench.wings) scene.AddObject(wing);

  Vector3 pole;
  GetPlanetModel().ProjectToSurface(pole, Vector3{0.0f, 1.0f, 0.0f});
  bench.creature->SetPosition(pole);
  for (cSceneObject* wing : bench.wings) wing->SetPosition(pole);
  bench.creature->SetOrientation(QuatIdentity());
  for (cSceneObject* wing : bench.wings) wing->SetOrientation(QuatIdentity());

  // Every entry: Leave deactivates, and an inactive controller ignores its keys.
  cICreatureController* controller = bench.creature->GetController();
  controller->Activate();
  controller->SetupCamera();
}

void cTestGameMode::Leave() {
  tDataModeShell::Leave();
  cTestBench& bench = Bench();
  if (!bench.panel) return;
  bench.panel->hide();
  cSceneManager& scene = GetSceneManager();
  scene.RemoveObject(bench.creature->GetSceneObject());
  for (cSceneObject* wing : bench.wings) scene.RemoveObject(wing);
  bench.creature->GetController()->Deactivate();
}

void cTestGameMode::Update(unsigned int ms) {
  tDataModeShell::Update(ms);
  cCreatureModeCreature* creature = Bench().creature;
  if (cICreatureController* controller = creature ? creature->GetController() : nullptr)
    controller->Update((float)ms * 0.001f);
}

void cTestGameMode::OnRender() {
  glEnable(GL_LIGHTING);
  GetPlanetModel().Draw();
  GetSceneManager().Render();
}

GLUI* cTestGameMode::GetPanel() { return Bench().panel; }
cCreatureModeCreature* cTestGameMode::GetCreature() { return Bench().creature; }
cAvatarFlySwimController* cTestGameMode::GetController() {
  cCreatureModeCreature* creature = Bench().creature;
  return creature ? dynamic_cast<cAvatarFlySwimController*>(creature->GetController()) : nullptr;
}
cSceneObject* cTestGameMode::GetWingMarker(int index) {
  return index == 0 || index == 1 ? Bench().wings[index] : nullptr;
}
