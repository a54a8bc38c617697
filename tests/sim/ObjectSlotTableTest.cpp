#include <gtest/gtest.h>

#include <map>

#include "platform/Sys.h"
#include "sim/gamedata/ObjectSlotTable.h"

namespace {

// Keys are never dereferenced: any aligned address serves, and addresses a
// multiple of the table size apart share a home entry.
const int* Key(size_t word) { return reinterpret_cast<const int*>(word * sizeof(void*)); }

// Every key of the model is found with its slot, and no other key is.
void ExpectSameAs(tObjectSlotTable<int>& table, const std::map<size_t, size_t>& model, size_t keyRange) {
  ASSERT_EQ(table.Size(), model.size());
  for (size_t word = 1; word < keyRange; ++word) {
    auto expected = model.find(word);
    size_t* slot = table.Find(Key(word));
    if (expected == model.end()) {
      EXPECT_EQ(slot, nullptr) << word;
    } else {
      ASSERT_NE(slot, nullptr) << word;
      EXPECT_EQ(*slot, expected->second) << word;
    }
  }
}

// Erasing from a run of colliding keys that wraps past the table's end must
// leave every other key of the run findable.
TEST(ObjectSlotTable, ErasingFromACollidingRunThatWrapsKeepsTheRestFindable) {
  const size_t size = 17;  // the first table: Reserve(12) keeps it
  struct sCase {
    std::vector<size_t> homes;  // inserted in order
    size_t eraseIndex;
  };
  const sCase cases[] = {
      {{15, 15, 16, 0, 15}, 0}, {{15, 15, 16, 0, 15}, 1}, {{16, 16, 0, 16, 1}, 2},
      {{16, 0, 16, 16, 0}, 4},  {{3, 3, 3, 4, 3}, 0},     {{0, 16, 16, 16}, 1},
  };
  for (const sCase& c : cases) {
    tObjectSlotTable<int> table;
    table.Reserve(12);
    std::map<size_t, size_t> model;
    for (size_t i = 0; i < c.homes.size(); ++i) {
      size_t word = c.homes[i] + size * (i + 1);  // same home, distinct key
      table.Set(Key(word), i);
      model[word] = i;
    }
    size_t erased = c.homes[c.eraseIndex] + size * (c.eraseIndex + 1);
    EXPECT_TRUE(table.Erase(Key(erased)));
    EXPECT_FALSE(table.Erase(Key(erased)));
    model.erase(erased);
    ExpectSameAs(table, model, size * 8);
  }
}

// A long seeded mix of sets, overwrites and erases through every growth.
TEST(ObjectSlotTable, AgreesWithAnOrderedMapThroughGrowthAndErasure) {
  Sys_SeedRandom(26);
  tObjectSlotTable<int> table;
  std::map<size_t, size_t> model;
  const size_t keyRange = 3000;
  for (size_t step = 0; step < 20000; ++step) {
    size_t word = 1 + (size_t)Sys_Random() % (keyRange - 1);
    if (Sys_Random() % 3 == 0) {
      EXPECT_EQ(table.Erase(Key(word)), model.erase(word) == 1);
    } else {
      table.Set(Key(word), step);
      model[word] = step;
    }
  }
  ExpectSameAs(table, model, keyRange);
  table.Clear();
  ExpectSameAs(table, {}, keyRange);
}

}  // namespace
