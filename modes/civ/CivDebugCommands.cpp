#include "modes/civ/CivDebugCommands.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "glf/DebugWindow.h"
#include "modes/civ/CivAccess.h"
#include "modes/civ/CivAgent.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivVehicle.h"
#include "modes/civ/CivWorld.h"
#include "modes/civ/cCivGameMode.h"

int ParseCivSpeed(const std::string& line) {
  size_t space = line.find(' ');
  if (space == std::string::npos) return -1;
  const char* text = line.c_str() + space + 1;
  char* end = nullptr;
  long value = std::strtol(text, &end, 10);
  if (end == text) return -1;
  return (int)std::clamp(value, 0L, 10L);
}

std::vector<std::string> DescribeCivWorld() {
  std::vector<std::string> lines;
  const std::vector<cCivModeDecoratedCity*>& cities = GetCivCities();
  for (size_t i = 0; i < cities.size(); ++i) {
    cCivModeDecoratedCity* city = cities[i];
    char line[200];
    std::snprintf(line, sizeof line, "City %zu: owner %d%s, buildings %d of %d, turrets %zu, money %.0f, goal %s", i,
                  city->GetOwner(), city->IsNPC() ? "" : " (human)", city->CountIntactBuildings(),
                  city->GetBuildingCount(), city->GetTurrets().size(), city->GetMoney(),
                  city->GetAgent() ? CivGoalName(city->GetAgent()->GetGoal()) : "");
    lines.push_back(line);
  }
  int guarding = 0, atVehicles = 0, pillaging = 0, envoys = 0, dying = 0;
  if (cCivWorld* world = GetCivWorld())
    for (cCivModeVehicle* vehicle : world->GetVehicles()) {
      if (vehicle->GetState() == kCivVehicleGuard) ++guarding;
      else if (vehicle->GetState() == kCivVehicleDying) ++dying;
      else if (vehicle->GetTargetVehicle()) ++atVehicles;
      else if (vehicle->GetTargetCity()) ++(vehicle->GetMission() == kCivMissionPillage ? pillaging : envoys);
    }
  char line[160];
  std::snprintf(line, sizeof line, "Vehicles: %d guarding, %d fighting vehicles, %d pillaging, %d on embassy missions, %d dying",
                guarding, atVehicles, pillaging, envoys, dying);
  lines.push_back(line);
  return lines;
}

namespace {

class cCivSpeedCommand : public tDebugCommand {
 public:
  cCivSpeedCommand() : tDebugCommand("civspeed", "civspeed [N] (the civ simulation speed, 0 to 10)") {}
  void Execute(const std::string& line) override {
    int speed = ParseCivSpeed(line);
    if (speed >= 0) gCivSimulationSpeed = speed;
    DebugPrintf("Civ simulation speed %d", (int)gCivSimulationSpeed);
  }
};

class cCivStatusCommand : public tDebugCommand {
 public:
  cCivStatusCommand() : tDebugCommand("civstatus", "civstatus (each civ city's owner, buildings, turrets, money, goal)") {}
  void Execute(const std::string&) override {
    for (const std::string& line : DescribeCivWorld()) DebugPrintf("%s", line.c_str());
  }
};

}  // namespace

void RegisterCivDebugCommands() {
  static cCivSpeedCommand speed;
  static cCivStatusCommand status;
  RegisterDebugCommand(&speed);
  RegisterDebugCommand(&status);
}
