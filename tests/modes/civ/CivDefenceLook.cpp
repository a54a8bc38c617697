// Not a check: a way to look at roads, trade routes, turrets and bullets.
// Run it alone under a display with
//   CIV_LOOK_SECONDS=60 tests_modes_civ --gtest_also_run_disabled_tests --gtest_filter='*CivDefenceLook*'
// and take screenshots. It joins the human's first city to its nearest own
// city by a road and to the nearest rival by a trade route, gives it turrets
// and parks a hostile vehicle beside it.
#include <GL/freeglut.h>
#include <unistd.h>

#include <cstdlib>

#include "app/AppGlobals.h"
#include "camera/Camera.h"
#include "math/Math.h"
#include "modes/civ/CivAccess.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivPlayers.h"
#include "modes/civ/CivRoad.h"
#include "modes/civ/CivTurret.h"
#include "modes/civ/CivVehicle.h"
#include "modes/civ/CivWorld.h"
#include "platform/glui/glui.h"
#include "tests/support/StartedProgram.h"

using namespace Ru::Math;

TEST(CivDefenceLook, DISABLED_RoadsRoutesTurretsAndBullets) {
  const char* seconds = std::getenv("CIV_LOOK_SECONDS");
  cStartedProgram program({"-noautopause", "-civmode"});
  program.Frame(16);
  cCivWorld* world = GetCivWorld();
  ASSERT_NE(world, nullptr);
  cCivModeDecoratedCity* home = world->NextPlayerCity();
  ASSERT_NE(home, nullptr);
  cPlanetModel& planet = GetPlanetModel();
  auto nearest = [&](bool own) {
    cCivModeDecoratedCity* best = nullptr;
    for (cCivModeDecoratedCity* c : GetCivCities()) {
      if (c == home || (c->GetOwner() == home->GetOwner()) != own) continue;
      if (!best || planet.GetSurfaceDistance(c->GetPosition(), home->GetPosition()) <
                       planet.GetSurfaceDistance(best->GetPosition(), home->GetPosition()))
        best = c;
    }
    return best;
  };
  cCivModeDecoratedCity* rival = nearest(false);
  for (auto [far, kind] : {std::pair{nearest(true), (int)kCivPlainRoad}, std::pair{rival, (int)kCivTradeRoute}}) {
    if (!far) continue;
    cCivModeRoad* road = world->CreateRoad();
    road->SetStart(home);
    road->SetEnd(far);
    road->SetKind(kind);
    world->PlaceRoad(road);
  }
  for (int i = 0; i < 4; ++i) home->AddTurret();
  GetCivPlayers()->GetRelationships()->Set(home->GetOwner(), rival->GetOwner(), -5.0f);
  cCivModeVehicle* raider = world->CreateVehicle(rival, 0);
  raider->SetOwner(rival->GetOwner());
  Vector3 tower = *home->GetTurrets()[0]->GetVictimPosition();
  Vector3 out = Vector3Normalized(Vector3Sub(tower, home->GetPosition()));
  Vector3 park;
  planet.ProjectToSurface(park, Vector3Add(tower, Vector3Scale(out, 40.0f)));
  raider->SetPosition(park);
  raider->SetDestination(park);
  CenterCameraOn(&tower.x);
  for (int frame = 0; frame < (seconds ? std::atoi(seconds) : 10) * 60; ++frame) {
    glutMainLoopEvent();
    program.Frame(16);
    GLUI_PumpFrame();
    usleep(16000);
  }
}
