#include <gtest/gtest.h>

#include "GameDataTestTypes.h"
#include "sim/gamedata/RefPtr.h"

TEST(RefCount, OwnerAndPlainReferencesShareOneCountAndTheLastReleaseDeletesOnce) {
  int before = cThing::sDestroyed;
  cThing* thing = new cThing;
  EXPECT_EQ(thing->AddOwnerRef(nullptr), 1);
  EXPECT_EQ(thing->AddRef(), 2);
  EXPECT_EQ(thing->AddRef(), 3);
  EXPECT_EQ(thing->ReleaseOwnerRef(nullptr), 2);
  EXPECT_EQ(thing->Release(), 1);
  EXPECT_EQ(cThing::sDestroyed, before);
  EXPECT_EQ(thing->Release(), 0);
  EXPECT_EQ(cThing::sDestroyed, before + 1);
}

TEST(RefCount, CreateMakesADistinctFreshObjectOfTheSameType) {
  cOtherThing prototype;
  Ko::cIGameData* made = prototype.Create();
  EXPECT_NE(made, &prototype);
  EXPECT_EQ(made->GetTypeId(), cOtherThing::kTypeId);
  EXPECT_NE(dynamic_cast<cOtherThing*>(made), nullptr);
  EXPECT_FALSE(made->IsDead());
  EXPECT_EQ(static_cast<cOtherThing*>(made)->GetRefCount(), 0);
  EXPECT_EQ(made->AddOwnerRef(nullptr), 1);
  made->ReleaseOwnerRef(nullptr);
}

TEST(RefPtr, BalancesReferencesThroughCopyMoveAndAssignment) {
  int before = cThing::sDestroyed;
  cThing* thing = new cThing;
  thing->AddRef();  // the test's own reference keeps it observable
  {
    tRefPtr<cThing> none(nullptr);
    EXPECT_FALSE(none);
    tRefPtr<cThing> a(thing);
    EXPECT_EQ(thing->GetRefCount(), 2);
    tRefPtr<cThing> b(a);
    EXPECT_EQ(thing->GetRefCount(), 3);
    tRefPtr<cThing> c(std::move(b));
    EXPECT_EQ(thing->GetRefCount(), 3);
    EXPECT_FALSE(b);
    c = a;  // same object: must not drop to zero on the way
    EXPECT_EQ(thing->GetRefCount(), 3);
    c = nullptr;
    EXPECT_EQ(thing->GetRefCount(), 2);
    std::vector<tRefPtr<Ko::cIGameData>> list(3, tRefPtr<Ko::cIGameData>(thing));
    EXPECT_EQ(thing->GetRefCount(), 5);
  }
  EXPECT_EQ(thing->GetRefCount(), 1);
  thing->Release();
  EXPECT_EQ(cThing::sDestroyed, before + 1);
}

// An agent-style pointee (the interaction agents' interface) works the same way.
struct cAgent : Ru::COM::IUnknown32RefCount {
  int count = 0;
  void* Cast(uint32_t) override { return nullptr; }
  int AddRef() override { return ++count; }
  int Release() override { return --count; }
};

TEST(RefPtr, WorksForAgentInterfaces) {
  cAgent agent;
  {
    tRefPtr<cAgent> a(&agent);
    tRefPtr<cAgent> b = a;
    EXPECT_EQ(agent.count, 2);
  }
  EXPECT_EQ(agent.count, 0);
}
