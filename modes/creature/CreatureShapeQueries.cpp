// The creature mode's answers to the creature shape: which creatures wear a
// ring (followers, the avatar's combat opponent, loyal kin of the avatar)
// and which wear lowered brows (members of a group).
#include "app/AppGlobals.h"
#include "modes/creature/cCreatureGameMode.h"
#include "modes/creature/cCreatureModeCreature.h"
#include "world/scene/SceneServices.h"

namespace {
class cCreatureModeShapeQueries : public cICreatureShapeQueries {
 public:
  bool Describe(Ko::cGameData* owner, bool& inGroup, bool& ring) override {
    auto* creature = dynamic_cast<cCreatureModeCreature*>(owner);
    if (!creature) return false;
    inGroup = creature->HasGroup();
    cCreatureModeCreature* avatar =
        gCreatureGameMode ? gCreatureGameMode->GetObjectManager()->GetAvatarCreature() : nullptr;
    cCreatureModeCreature* target = avatar && avatar->IsInCombat() ? avatar->FindNearestOtherSpecies() : nullptr;
    ring = creature->GetLeader() != nullptr || (target && creature == target) ||
           (avatar && creature->GetSpecies() == avatar->GetSpecies() && creature->GetLoyalty() > 0.0f);
    return true;
  }
};
}  // namespace

void InstallCreatureShapeQueries() {
  static cCreatureModeShapeQueries queries;
  GetSceneServices().creatures = &queries;
}
