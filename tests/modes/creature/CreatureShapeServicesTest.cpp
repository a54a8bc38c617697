// What the creature mode tells the scene's creature shape while it has no
// creatures of its own: no avatar, and creature owners wear no ring.
#include <gtest/gtest.h>

#include "app/AppGlobals.h"
#include "modes/creature/cCreatureGameMode.h"
#include "modes/creature/cCreatureModeCreature.h"
#include "world/scene/SceneObject.h"
#include "world/scene/SceneServices.h"

TEST(CreatureShapeServices, TheModeAnswersAsAModeWithoutCreatures) {
  cCreatureGameMode mode;
  ASSERT_NE(mode.GetObjectManager(), nullptr);
  EXPECT_EQ(cCreatureModeObjectManager::GetInstance(), mode.GetObjectManager());
  EXPECT_EQ(mode.GetObjectManager()->GetAvatarCreature(), nullptr);

  cICreatureShapeQueries* queries = GetSceneServices().creatures;
  ASSERT_NE(queries, nullptr);  // installed by the mode
  bool inGroup = true, ring = true;
  EXPECT_FALSE(queries->Describe(cNullGameDataObject::GetInstance(), inGroup, ring));

  auto* creature = new cCreatureModeCreature();
  creature->AddRef();
  EXPECT_EQ(creature->GetTypeId(), 0x4E8B5ABFu);
  EXPECT_FALSE(creature->IsInCombat());
  EXPECT_EQ(creature->FindNearestOtherSpecies(), nullptr);
  EXPECT_EQ(creature->GetLeader(), nullptr);
  EXPECT_EQ(creature->GetLoyalty(), 0.0f);
  ASSERT_TRUE(queries->Describe(creature, inGroup, ring));
  EXPECT_FALSE(inGroup);
  EXPECT_FALSE(ring);  // no leader, no avatar to be loyal to or fight
  creature->Release();
}
