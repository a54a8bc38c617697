#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "GameDataTestTypes.h"
#include "SaveFileBytes.h"
#include "tests/support/TestSupport.h"

namespace {

std::string ThingBody(uint32_t value) {
  std::string out;
  PutWord(out, value);
  return out;
}

// The bytes with another header version word (the check, when present, is not redone).
std::string WithVersion(std::string bytes, uint32_t version) {
  std::string word;
  PutWord(word, version);
  return bytes.replace(4, 4, word);
}

// Removes every cThing before a load, as a mode removes its own objects.
struct cThingOwner : cRecordingClient {
  cDataManager* manager;
  cThingOwner(cDataManager* owner, std::vector<std::string>* sharedLog) : cRecordingClient("A", sharedLog), manager(owner) {
    onBeforeLoad = [this] {
      for (Ko::cIGameData* object : manager->GetObjectsOfType(cThing::kTypeId)) manager->Remove(object);
    };
  }
};

struct SaveLoadTest : ::testing::Test {
  cDataManager manager;
  cThing thingPrototype;
  cOtherThing otherPrototype;
  cThingSerializer serializer, silentSerializer;
  std::vector<std::string> log;
  cThingOwner owner{&manager, &log};
  cRecordingClient observer{"B", &log};
  cScratchDir dir;
  cMessageCapture messages;

  void SetUp() override {
    silentSerializer.writeNothing = true;
    manager.RegisterType(&thingPrototype, &serializer);
    manager.RegisterType(&otherPrototype, &silentSerializer);
    manager.AddClient(&owner);
    manager.AddClient(&observer);
  }
  void TearDown() override { manager.ResetForTest(); }

  cThing* Make(uint32_t value, uint32_t typeId = cThing::kTypeId) { return MakeThing(manager, value, typeId); }
  std::vector<uint32_t> ThingValues() {
    std::vector<uint32_t> values;
    for (Ko::cIGameData* object : manager.GetObjectsOfType(cThing::kTypeId))
      values.push_back(static_cast<cThing*>(object)->value);
    return values;
  }
};

TEST_F(SaveLoadTest, AnEmptySaveIsTheHeaderTheIdentificationChunkAndTheCheck) {
  Make(1, cOtherThing::kTypeId);  // its serializer writes nothing: no record
  ASSERT_TRUE(manager.Save(dir.File("empty")));
  EXPECT_EQ(FileContents(dir.File("empty")), CheckedSave(""));
  EXPECT_EQ(kEmptySave.size(), 28u);
  // Zero records; the CRC-32 of the 28 bytes before the check (version 9).
  EXPECT_EQ(CheckedSave("").substr(28), Record(0x5156434B, std::string(4, '\0') + "\xaf\xea\xa1\x74"));

  // The caller's step before the game changes comes first, and what it made is live before BeforeLoad.
  log.clear();
  ASSERT_TRUE(manager.Load(dir.File("empty"), [&] { Make(3, cOtherThing::kTypeId); }));
  EXPECT_EQ(log, (std::vector<std::string>{"A added 11110002 #3", "B added 11110002 #3", "A before", "B before",
                                           "A after", "B after"}));
  EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(SaveLoadTest, SaveLoadSaveGivesTheSameFileObjectsAndOrder) {
  Make(5);
  manager.CommitPending();
  Make(6);  // created in the same frame as the save: still saved
  Make(9, cOtherThing::kTypeId);
  ASSERT_TRUE(manager.Save(dir.File("one")));
  std::string first = FileContents(dir.File("one"));
  EXPECT_EQ(first, CheckedSave(Record(cThing::kTypeId, ThingBody(5)) + Record(cThing::kTypeId, ThingBody(6))));
  uint32_t countBefore = manager.GetObjectCount();

  log.clear();
  ASSERT_TRUE(manager.Load(dir.File("one")));
  std::vector<std::string> expected = {"A before", "A removed 11110001 #5 alive", "B removed 11110001 #5 alive",
              "A removed 11110001 #6 alive", "B removed 11110001 #6 alive", "B before",
              "A loaded 11110001 #5", "B loaded 11110001 #5", "A loaded 11110001 #6", "B loaded 11110001 #6",
              "A after", "B after"};
  EXPECT_EQ(log, expected);
  EXPECT_EQ(ThingValues(), (std::vector<uint32_t>{5, 6}));
  EXPECT_EQ(manager.GetObjectCount(), countBefore);
  for (Ko::cIGameData* object : manager.GetAllObjects()) EXPECT_FALSE(object->IsDead());

  ASSERT_TRUE(manager.Save(dir.File("two")));
  EXPECT_EQ(FileContents(dir.File("two")), first);
  EXPECT_EQ(serializer.versionsSeen.back(), cDataManager::kSaveVersion);
}

TEST_F(SaveLoadTest, LoadFallsBackToTheDataFolderAndIgnoresTheIdentificationText) {
  std::string other = kEmptySave;
  other.replace(16, 12, "SOMETHING...");
  ASSERT_EQ(mkdir(dir.File("Data").c_str(), 0755), 0);
  dir.Write("Data/fallback.sav", other + Record(cThing::kTypeId, ThingBody(42)));
  cScopedWorkingDir inScratch(dir.Path());  // never the repository's own Data/
  ASSERT_TRUE(inScratch.Entered());
  ASSERT_TRUE(manager.Load("fallback.sav"));
  EXPECT_EQ(ThingValues(), (std::vector<uint32_t>{42}));
}

// Fault mended: an empty record of a known type (never written by this
// program) vanished without a word; it is damage and reported with the rest.
TEST_F(SaveLoadTest, UnregisteredRecordsAreSkippedSilentlyAndEmptyOnesReported) {
  dir.Write("mixed", kEmptySave + Record(0xABCDEF01, "junk") + Record(cThing::kTypeId, ThingBody(3)));
  ASSERT_TRUE(manager.Load(dir.File("mixed")));
  EXPECT_EQ(ThingValues(), (std::vector<uint32_t>{3}));
  EXPECT_TRUE(messages.boxes.empty());

  dir.Write("empty", kEmptySave + Record(cThing::kTypeId, "") + Record(cThing::kTypeId, ThingBody(4)));
  ASSERT_TRUE(manager.Load(dir.File("empty")));
  EXPECT_EQ(ThingValues(), (std::vector<uint32_t>{4}));
  ASSERT_EQ(messages.boxes.size(), 1u);
  EXPECT_EQ(messages.boxes[0].text, "Damaged Records Skipped: 1");
}

// Fault mended: a file was trusted after its first chunk id, so a damaged file
// threw the running game away (BeforeLoad) and then half-loaded or crashed.
TEST_F(SaveLoadTest, MalformedFilesAreRefusedWithTheRightMessageAndChangeNothing) {
  struct Case {
    const char* name;
    std::string bytes;
    const char* text;
  };
  std::string good = kEmptySave + Record(cThing::kTypeId, ThingBody(77));
  std::string oversized = good;
  oversized[32] = 5;
  std::string huge = good;
  huge.replace(32, 4, std::string("\xF0\xFF\xFF\xFF", 4));
  std::string wrongFirst = good;
  wrongFirst.replace(8, 4, "XXXX");
  std::vector<Case> cases = {
      {"empty", "", "Invalid Quorvel Save File"},
      {"bad magic", "JUNK" + good.substr(4), "Invalid Quorvel Save File"},
      {"magic only", good.substr(0, 6), "Invalid Quorvel Save File"},
      {"header only", good.substr(0, 8), "Invalid Quorvel File"},
      {"wrong first chunk", wrongFirst, "Invalid Quorvel File"},
      {"truncated first header", good.substr(0, 14), "Invalid Quorvel File"},
      {"truncated identification", good.substr(0, 20), "Invalid Quorvel File"},
      {"truncated record header", good.substr(0, 31), "Invalid Quorvel File"},
      {"truncated body", good.substr(0, good.size() - 1), "Invalid Quorvel File"},
      {"size larger than the file", oversized, "Invalid Quorvel File"},
      {"size 0xFFFFFFF0", huge, "Invalid Quorvel File"},
      {"trailing bytes", good + std::string("\0\0\0", 3), "Invalid Quorvel File"},
      // Faults mended: these loaded, the first as an empty game in place of the
      // one in play, the others as if this program had written them.
      {"older file cut after its identification", kEmptySave, "Damaged Quorvel File"},
      {"current version without the check", CheckedHead() + Record(cThing::kTypeId, ThingBody(77)),
       "Damaged Quorvel File"},
      {"current version cut after its identification", CheckedHead(), "Damaged Quorvel File"},
      {"version 100", WithVersion(CheckedSave(Record(cThing::kTypeId, ThingBody(77))), 100),
       "Quorvel File From A Newer Version"},
      {"version 0xFFFFFFFF", WithVersion(CheckedSave(""), 0xFFFFFFFF), "Quorvel File From A Newer Version"},
  };

  Make(1);
  Make(2);
  manager.CommitPending();
  std::vector<Ko::cIGameData*> objectsBefore = manager.GetAllObjects();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    log.clear();
    messages.boxes.clear();
    dir.Write("bad", c.bytes);
    EXPECT_FALSE(manager.Load(dir.File("bad"), [&] { log.push_back("about to change"); }));
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].caption, "Load Error");
    EXPECT_EQ(messages.boxes[0].text, c.text);
    EXPECT_TRUE(log.empty());  // neither the caller nor any client heard anything
    EXPECT_EQ(manager.GetAllObjects(), objectsBefore);
    EXPECT_EQ(ThingValues(), (std::vector<uint32_t>{1, 2}));
    // The same bytes straight from memory behave the same (the fuzz path).
    EXPECT_FALSE(manager.LoadFromBytes((const uint8_t*)c.bytes.data(), c.bytes.size()));
  }
  messages.boxes.clear();
  EXPECT_FALSE(manager.Load(dir.File("does-not-exist"), [&] { log.push_back("about to change"); }));
  EXPECT_TRUE(log.empty());
  ASSERT_EQ(messages.boxes.size(), 1u);
  EXPECT_EQ(messages.boxes[0].text, "Invalid Quorvel Save File");
}

// Fault mended: a cut at a record boundary, a changed type id or a flipped bit
// in a body loaded silently as good. Every single-bit flip of a file this
// program wrote is now refused or loads exactly what was saved.
TEST_F(SaveLoadTest, DamagedCheckedFilesAreRefusedAndChangeNothing) {
  Make(5);
  Make(6);
  ASSERT_TRUE(manager.Save(dir.File("good")));
  const std::string good = FileContents(dir.File("good"));
  auto load = [&](const std::string& bytes) { return manager.LoadFromBytes((const uint8_t*)bytes.data(), bytes.size()); };

  int refused = 0;
  for (size_t bit = 0; bit < good.size() * 8; ++bit) {
    std::string flipped = good;
    flipped[bit / 8] ^= (char)(1 << (bit % 8));
    messages.boxes.clear();
    if (load(flipped)) {
      EXPECT_EQ(ThingValues(), (std::vector<uint32_t>{5, 6})) << "bit " << bit;
    } else {
      ++refused;
      ASSERT_EQ(messages.Count("Load Error"), 1) << "bit " << bit;
      EXPECT_EQ(ThingValues(), (std::vector<uint32_t>{5, 6})) << "bit " << bit;
    }
  }
  // Fault mended: a flip that hid the check (its id, or an identification size
  // that swallowed it) read as an older file and switched every check off.
  EXPECT_EQ(refused, (int)(good.size() * 8));

  messages.boxes.clear();
  EXPECT_FALSE(load(good.substr(0, good.size() - 12)));  // cut at a record boundary
  std::string unknownType = good;
  unknownType[good.size() - 12] = 'Z';
  EXPECT_FALSE(load(unknownType));
  ASSERT_EQ(messages.boxes.size(), 2u);
  EXPECT_EQ(messages.boxes[0].text, "Damaged Quorvel File");
  EXPECT_EQ(ThingValues(), (std::vector<uint32_t>{5, 6}));
}

// Faults mended: the whole file was read before its first word was looked at
// (a 2 GB file froze the game), and a pipe or endless file blocked the load.
TEST_F(SaveLoadTest, NonRegularAndOversizedFilesAreRefusedUnread) {
  ASSERT_EQ(mkfifo(dir.File("pipe").c_str(), 0600), 0);
  EXPECT_FALSE(manager.Load(dir.File("pipe")));
  dir.Write("huge", kEmptySave);
  ASSERT_EQ(truncate(dir.File("huge").c_str(), (off_t)cDataManager::kMaxSaveFileBytes + 1), 0);
  EXPECT_FALSE(manager.Load(dir.File("huge")));
  ASSERT_EQ(messages.boxes.size(), 2u);
  EXPECT_EQ(messages.boxes[0].text, "Invalid Quorvel Save File");
  EXPECT_EQ(messages.boxes[1].text, "Invalid Quorvel Save File: " + dir.File("huge") + " holds 268435457 bytes; a save may hold at most 268435456");
  EXPECT_TRUE(log.empty());
}

// Fault mended: a record shorter than its serializer reads was read past its end.
TEST_F(SaveLoadTest, ShortRecordsAreDroppedAndReportedOnce) {
  int before = cThing::sDestroyed;
  dir.Write("short", kEmptySave + Record(cThing::kTypeId, "\x01\x02") + Record(cThing::kTypeId, ThingBody(8)) +
                         Record(cThing::kTypeId, "\x03"));
  ASSERT_TRUE(manager.Load(dir.File("short")));
  EXPECT_EQ(ThingValues(), (std::vector<uint32_t>{8}));
  EXPECT_EQ(cThing::sDestroyed, before + 2);  // the two dropped objects did not leak
  ASSERT_EQ(messages.boxes.size(), 1u);
  EXPECT_EQ(messages.boxes[0].caption, "Load Error");
  EXPECT_EQ(log.back(), "B after");
}

TEST_F(SaveLoadTest, AClientMayRemoveAnObjectWhileHearingItWasLoaded) {
  dir.Write("two", kEmptySave + Record(cThing::kTypeId, ThingBody(1)) + Record(cThing::kTypeId, ThingBody(2)));
  owner.onLoaded = [&](Ko::cIGameData* object) {
    if (static_cast<cThing*>(object)->value == 1) manager.Remove(object);
  };
  ASSERT_TRUE(manager.Load(dir.File("two")));
  EXPECT_EQ(ThingValues(), (std::vector<uint32_t>{2}));
}

// Fault mended: save errors were ignored and the target was overwritten in place.
TEST_F(SaveLoadTest, AFailedSaveShowsSaveErrorAndKeepsThePreviousFile) {
  Make(4);
  ASSERT_TRUE(manager.Save(dir.File("keep")));
  std::string previous = FileContents(dir.File("keep"));

  EXPECT_FALSE(manager.Save(dir.File("no-such-folder/x")));
  ASSERT_EQ(messages.boxes.size(), 1u);
  EXPECT_EQ(messages.boxes[0].caption, "Save Error");
  EXPECT_EQ(messages.boxes[0].text, "Could Not Open File");

  // The target is a folder: refused before anything is written.
  ASSERT_EQ(mkdir(dir.File("taken").c_str(), 0755), 0);
  EXPECT_FALSE(manager.Save(dir.File("taken")));
  ASSERT_EQ(messages.boxes.size(), 2u);
  EXPECT_EQ(messages.boxes[1].caption, "Save Error");
  EXPECT_EQ(FileContents(dir.File("keep")), previous);

  // Faults mended: a read-only save was replaced, and a name of blanks was written.
  Make(5);
  ASSERT_EQ(chmod(dir.File("keep").c_str(), 0444), 0);
  EXPECT_FALSE(manager.Save(dir.File("keep")));
  EXPECT_FALSE(manager.Save(dir.File("  ")));
  EXPECT_EQ(messages.Count("Save Error"), 4);
  EXPECT_EQ(FileContents(dir.File("keep")), previous);
  EXPECT_NE(access(dir.File("  ").c_str(), F_OK), 0);
}

}  // namespace
