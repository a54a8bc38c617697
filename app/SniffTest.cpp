#include "app/SniffTest.h"

#include <cstdio>

#include "app/AppGlobals.h"
#include "app/GameCommands.h"
#include "app/GameMode.h"
#include "platform/Sys.h"
#include "sim/gamedata/DataManager.h"

namespace {

// Positions in AllGameModes().
enum { kCreature = 0, kTribe, kCity, kCiv, kSpace, kTest, kPels, kTovans, kFlockTest };

// The modes told to prepare and to clean up, in this order.
const int kPreparedModes[] = {kCreature, kTribe, kCity, kCiv, kSpace, kTovans, kFlockTest};

struct cCycledMode {
  int index;
  const char* name;
};
const cCycledMode kCycledModes[] = {{kCreature, "creature mode"}, {kTribe, "tribe mode"}, {kSpace, "space mode"},
                                    {kTovans, "tovan's mode"}, {kFlockTest, "Flock Test Mode"}};

// The report file and standard output; every line is flushed at once so a
// crash in the middle still leaves the lines before it.
class cSniffReport {
 public:
  explicit cSniffReport(const std::string& path) : mFile(Sys_OpenFileToWrite(path)) {
    if (!mFile) Console("Sniff test: could not open the report file " + path + "\n");
  }
  ~cSniffReport() {
    if (mFile) fclose(mFile);
  }
  void File(const std::string& text) {
    if (!mFile) return;
    fputs(text.c_str(), mFile);
    fflush(mFile);
  }
  static void Console(const std::string& text) { Sys_Write(SysStream::Out, text.data(), text.size()); }
  void Both(const std::string& text) {
    File(text);
    Console(text);
  }
  void PassFail(bool pass) { Both(pass ? "Pass!\n" : "Fail!\n"); }

 private:
  FILE* mFile;
};

// The step compares the object count before and after one save or load.
bool CountedStep(cSniffReport& report, const char* step, const char* tag, const std::string& name,
                 bool (cDataManager::*action)(const std::string&), const std::string& saveFile) {
  cDataManager* data = GetDataManager();
  data->CommitPending();
  const uint32_t before = data->GetObjectCount();
  report.File(std::string(step) + " " + name + "\n");
  report.File("Pre-" + std::string(tag) + " Data Manager Object Count: " + std::to_string(before) + "\n");
  (data->*action)(saveFile);
  data->CommitPending();
  const uint32_t after = data->GetObjectCount();
  report.File("Post-" + std::string(tag) + " Data Manager Object Count: " + std::to_string(after) + "\n");
  return after == before;
}

bool RunSaveLoadCycle(cSniffReport& report, cIGameMode* mode, const std::string& name, const std::string& saveFile) {
  report.File("\nTesting " + name + "\n");
  mode->Enter();
  mode->Leave();
  bool passed = true;
  // Every step runs, also after a failure, so the report shows each count.
  passed &= CountedStep(report, "Save 1", "Save1", name, &cDataManager::Save, saveFile);
  passed &= CountedStep(report, "Load 1", "Load1", name, &cDataManager::Load, saveFile);
  passed &= CountedStep(report, "Save 2", "Save2", name, &cDataManager::Save, saveFile);
  passed &= CountedStep(report, "Load 2", "Load2", name, &cDataManager::Load, saveFile);
  report.File(name + (passed ? " passed!\n" : " failed!\n"));
  report.File("----------------\n\n");
  return passed;
}

std::string InFolder(const std::string& folder, const char* name) { return folder.empty() ? name : folder + "/" + name; }

}  // namespace

bool RunSniffTestIn(const std::string& folder) {
  Sys_MessageBox("Error", "Error - Sniff Test MUST be run from DEBUG mode!", SysBox::Ok);
  // Opened afresh (truncated) by every run and closed at its end, so a second
  // run in the same session writes its whole report again.
  cSniffReport report(InFolder(folder, "Quorvel Sniff Test Report.txt"));
  const std::string saveFile = InFolder(folder, "snifftest_save");
  cIGameMode* const* modes = AllGameModes();
  // Each load makes the saved pause the player's, and a run started from the
  // panel saves the pause the game made itself: the player's own comes back.
  const int32_t userPause = gUserPause;

  report.File("Starting snifftest\n\n");
  report.File("Performing Rovurozoviz unit test\n");
  gCurrentGameMode->Leave();

  report.Both("Calling PreSniffTest() on each game mode:\n");
  for (int index : kPreparedModes)
    if (modes[index]) modes[index]->PreSniffTest();
  report.Both("Finished calling PreSniffTest() on each game mode.\n\n");

  report.Both("Sniff Test Round 1: Doing Save-Load-Save-Load On Each Mode\n");
  bool passed = true;
  for (const cCycledMode& cycled : kCycledModes) {
    if (modes[cycled.index]) passed &= RunSaveLoadCycle(report, modes[cycled.index], cycled.name, saveFile);
  }
  // The verdict is the real result of the cycles (it was once always "Fail!").
  report.Both("Sniff Test Round 1");
  report.PassFail(passed);

  report.Both("----------------\n\n");
  report.Both("Calling PostSniffTest() on each game mode:\n");
  for (int index : kPreparedModes)
    if (modes[index]) modes[index]->PostSniffTest();
  report.Both("Finished calling PostSniffTest() on each game mode.\n\n");

  if (!passed) Sys_MessageBox("Sniff Test", "Sniff test failed!", SysBox::Ok);
  SetUserPause(userPause);
  gCurrentGameMode->Enter();
  report.Both("\nLeaving Sniff Test Now.  Have a nice day :)\n");
  return passed;
}

void RunSniffTest(int) { RunSniffTestIn(""); }
