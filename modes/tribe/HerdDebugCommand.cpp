#include "modes/tribe/HerdDebugCommand.h"

#include <algorithm>
#include <cstdio>

#include "glf/DebugWindow.h"
#include "math/Math.h"
#include "modes/tribe/HerdFatigue.h"
#include "modes/tribe/Tribe.h"
#include "modes/tribe/TribeHerd.h"
#include "modes/tribe/TribeHut.h"
#include "modes/tribe/TribeObjectController.h"
#include "modes/tribe/cTribeGameMode.h"

namespace {

const char* KindName(uint32_t type) {
  switch (type) {
    case kTribeHerdBigGame: return "Big Game";
    case kTribeHerdRunts: return "Runts";
    case kTribeHerdPredators: return "Predators";
    default: return "Unknown";
  }
}

const char* Doing(cTribeHerd* herd) {
  if (herd->IsHunted()) return "hunted";
  if (herd->GetThreat()) return "fleeing";
  return *herd->GetAttribute("grazingTime") > 0.0f ? "grazing" : "wandering";
}

class cHerdsCommand : public tDebugCommand {
 public:
  cHerdsCommand() : tDebugCommand("herds", "herds (lists the tribe mode's herds: kind, animals, place, state)") {}
  void Execute(const std::string&) override {
    cTribeObjectController* objects = GetTribeObjectController();
    if (!objects || objects->GetHerds().empty()) {
      DebugPrintf("No herds (the tribe mode has not built its world)");
      return;
    }
    for (cTribeHerd* herd : objects->GetHerds()) DebugPrintf("%s", DescribeHerd(objects, herd).c_str());
  }
};

}  // namespace

std::string DescribeHerd(cTribeObjectController* objects, cTribeHerd* herd) {
  const auto& herds = objects->GetHerds();
  const long index = std::find(herds.begin(), herds.end(), herd) - herds.begin();
  float fromHut = 0.0f;
  if (cTribe* player = objects->GetPlayerTribe(); player && player->GetHut())
    fromHut = Ru::Math::Vector3Length(Ru::Math::Vector3Sub(herd->GetPositionVector(), player->GetHut()->GetPositionVector()));
  const float fatigue = HerdFatigueFraction(*herd->GetAttribute("fatigue"), *herd->GetAttribute("sprintDuration"));
  char line[192];
  std::snprintf(line, sizeof line, "Herd %ld: %s x%d, %.1f from the hut, %s, anxiety %.2f, fatigue %.0f%%", index,
                KindName(herd->GetType()), (int)herd->GetCount(), fromHut, Doing(herd), *herd->GetAttribute("anxiety"),
                fatigue * 100.0f);
  return line;
}

void RegisterHerdDebugCommand() {
  static cHerdsCommand command;
  RegisterDebugCommand(&command);
}
