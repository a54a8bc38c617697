// A headless tribe world for the tribe tests: a flat planet of dry land, a
// fresh data manager with the creature and tribe records registered, an empty
// scene and behaviour controller, a hand-driven clock, message boxes captured
// (and answered from a queue), and the tribe mode entered with a fixed seed.
// Frames are pumped at a fixed step; nothing here touches X or GL.
//
//   class MyTribeTest : public cTribeWorldTest {};
//   TEST_F(MyTribeTest, Something) { Pump(20); EXPECT_EQ(Player()->GetPopulation(), 4u); }
//
// Rival tribes stay away unless a test asks for them: the fixture's own
// "tribe_npc_location.txt" wants none. UseScript puts a test's own version of
// any tribe script in place of the game's (before Enter when Enter reads it).
//
// A test that needs other tuning sets it with SetTuningInt/SetTuningFloat and
// then calls Reenter() (or sets it before its first Pump when Enter does not
// read it); the tuning file is read again at the end of every test.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "app/AppGlobals.h"
#include "app/GameClock.h"
#include "math/Math.h"
#include "modes/creature/CommonCreatureManager.h"
#include "modes/tribe/Tribe.h"
#include "modes/tribe/TribeCreature.h"
#include "modes/tribe/TribeCreatureGroup.h"
#include "modes/tribe/TribeHut.h"
#include "modes/tribe/TribeController.h"
#include "modes/tribe/TribeObjectController.h"
#include "modes/tribe/TribeStatics.h"
#include "modes/tribe/cTribeGameMode.h"
#include "platform/Sys.h"
#include "sim/behavior/BehaviorController.h"
#include "sim/gamedata/DataManager.h"
#include "sim/tuning/TribeTuningData.h"
#include "tests/glf/OverlayRecorder.h"
#include "tests/support/RunDigest.h"
#include "tests/support/TestSupport.h"
#include "tests/world/planet/PlanetTestSupport.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/PolyModelShape.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SolidShapes.h"

// Exact comparison and readable failures for positions in the tribe tests.
namespace Ru::Math {
inline bool operator==(const Vector3& a, const Vector3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
inline bool operator!=(const Vector3& a, const Vector3& b) { return !(a == b); }
inline void PrintTo(const Vector3& v, std::ostream* out) { *out << "(" << v.x << ", " << v.y << ", " << v.z << ")"; }
}  // namespace Ru::Math

class cTribeWorldTest : public ::testing::Test {
 public:
  static constexpr uint32_t kSeed = 20260;      // what the mode's reseed on Enter reads
  static constexpr uint32_t kFrameMs = 50;      // one pumped frame
  static constexpr float kLandHeight = 10.0f;   // the whole planet: dry land at radius 510

 protected:
  void SetUp() override {
    Sys_SetCalendarForTest(&FixedCalendar);
    ResetGameClockForTest();
    StartGameClock();
    cDataManager* data = GetDataManager();
    data->ResetForTest();
    cCommonCreatureManager::Get()->ResetForTest();
    cCommonCreatureManager::Register();
    cCreatureCommon::ResetIdCounterForTest();
    cPlanetModel& planet = GetPlanetModel();
    planet.SetHeightMap(MakeHeightMap([](const Ru::Math::Vector3&) { return kLandHeight; }, 32));
    planet.ClearPlantsForTest();
    planet.BuildPlantPatches();
    GetSceneManager().Clear();
    GetBehaviorController().Clear();
    GetBehaviorController().Update(0);
    GetBehaviorController().Update(0);
    cTribeController::ResetPlacementCentreForTest();
    SetTribeScriptOverrideForTest(scripts.Path().c_str());
    UseScript("tribe_npc_location.txt", "number_of_tribes = 0\n");
    mode = new cTribeGameMode();
    gTribeGameMode = mode;
    data->AddClient(mode);
    if (enterOnSetUp) Enter();
  }

  void TearDown() override {
    if (entered) Leave();
    GetDataManager()->ResetForTest();
    cCommonCreatureManager::Get()->ResetForTest();
    delete mode;
    gTribeGameMode = nullptr;
    gPendingGameMode = nullptr;
    GetPlanetModel().ClearPlantsForTest();
    GetSceneManager().Clear();
    GetTribeTuningData().Reload();
    Sys_SetCalendarForTest(&TestCalendar);
    SetTribeScriptOverrideForTest(nullptr);
  }

  void UseScript(const char* file, const std::string& text) { scripts.Write(file, text); }

  void Enter() {
    mode->Enter();
    entered = true;
    GetDataManager()->CommitPending();
  }
  void Leave() {
    mode->Leave();
    entered = false;
    GetDataManager()->CommitPending();
  }
  void Reenter() {
    Leave();
    Enter();
  }
  // The same seed again on plants grown anew (a first run eats from them).
  void ReenterWithNewPlants() {
    Leave();
    GetPlanetModel().ClearPlantsForTest();
    GetPlanetModel().BuildPlantPatches();
    Enter();
  }

  // Frames as the application runs them: the clock moves, the mode updates,
  // then the data manager commits what the frame made.
  void Pump(int frames, uint32_t ms = kFrameMs) {
    for (int i = 0; i < frames; ++i) {
      clock.Advance(ms);
      mode->Update(ms);
      GetDataManager()->CommitPending();
    }
  }

  // Tuning for this test only (TearDown reads the file again).
  static void SetTuningInt(const char* name, int value) {
    cTribeTuningData& tuning = GetTribeTuningData();
    if (uTuningValue* stored = tuning.FindConstant(name, kTuningInt)) stored->asInt = value;
    tuning.ApplyConstants();
  }
  static void SetTuningFloat(const char* name, float value) {
    cTribeTuningData& tuning = GetTribeTuningData();
    if (uTuningValue* stored = tuning.FindConstant(name, kTuningFloat)) stored->asFloat = value;
    tuning.ApplyConstants();
  }

  // Frames until `done` holds (at most `most`); true when it did.
  bool PumpUntil(const std::function<bool()>& done, int most = 4000) {
    for (int i = 0; i < most; ++i) {
      if (done()) return true;
      Pump(1);
    }
    return done();
  }

  cTribeObjectController* Objects() { return mode->GetObjectController(); }
  cTribe* Player() { return Objects()->GetPlayerTribe(); }
  Ru::Math::Vector3 HutPosition() { return Player()->GetHut()->GetPositionVector(); }
  std::vector<cTribeCreature*> Members() { return MembersOf(Player()); }
  static std::vector<cTribeCreature*> MembersOf(cTribe* tribe) {
    return std::vector<cTribeCreature*>(tribe->GetMembers().begin(), tribe->GetMembers().end());
  }
  std::vector<cTribeCreature*> FirstMembers(size_t n) {
    std::vector<cTribeCreature*> all = Members();
    all.resize(std::min(n, all.size()));
    return all;
  }
  // A command as the input controller gives one: a transient group of the
  // members, registered with the behaviour controller, starting the interaction.
  tRefPtr<cTransientCreatureGroup> Command(const std::vector<cTribeCreature*>& members, cIInteraction* prototype,
                                           tTargetWord target = 0) {
    tRefPtr<cTransientCreatureGroup> group(new cTransientCreatureGroup());
    for (cTribeCreature* member : members) group->AddMember(member);
    GetBehaviorController().AddAgent(group.Get());
    EXPECT_TRUE(group->StartInteraction(prototype, target));
    return group;
  }
  static std::string Doing(cTribeCreature* creature) {
    return creature->HasInteraction() ? creature->GetInteraction()->GetName() : std::string();
  }
  static Ru::Math::Vector3 Ground(const Ru::Math::Vector3& direction) {
    Ru::Math::Vector3 ground;
    GetPlanetModel().ProjectToSurface(ground, direction);
    return ground;
  }
  static float Distance(const Ru::Math::Vector3& a, const Ru::Math::Vector3& b) {
    return Ru::Math::Vector3Length(Ru::Math::Vector3Sub(a, b));
  }
  static Ru::Math::Vector3 PositionOf(cTribeCreature* creature) {
    const float* p = creature->GetPosition();
    return Ru::Math::Vector3{p[0], p[1], p[2]};
  }
  static uint32_t FixedCalendar() { return kSeed; }

  bool enterOnSetUp = true;  // a derived fixture clears it in its constructor to enter by hand
  bool entered = false;
  cScratchDir scripts;  // the tests' own versions of tribe scripts
  cFakeClock clock;
  cMessageCapture messages;
  cOverlayRecorder overlay;  // the HUD panel measures its labels on Enter
  cTribeGameMode* mode = nullptr;
};

// The tribe world with the player's members held still, for tests that give
// them commands (see Command).
class cTribeCommandTest : public cTribeWorldTest {
 protected:
  void SetUp() override {
    cTribeWorldTest::SetUp();
    for (cTribeCreature* member : Members()) member->SetSuppressChoice(true);
  }

  // Frames until the group has finished (at most `seconds`); true when it did.
  bool PumpUntilDone(cTribeCreatureGroup* group, float seconds) {
    for (int frame = 0; frame < (int)(seconds * 20.0f) && group->HasInteraction(); ++frame) Pump(1);
    return !group->HasInteraction();
  }
};

// The tribe world run from a scratch folder whose Data/ mirrors the
// repository's (links), except for the activity scripts a test replaces with
// its own (WriteScript, in the test's constructor). The working folder moves
// there before the mode is entered, so every script load reads the test's versions.
class cScratchData {
 public:
  cScratchData() {
    namespace fs = std::filesystem;
    const fs::path real = fs::current_path() / "Data";
    const fs::path data = fs::path(mScratch.Path()) / "Data";
    fs::create_directories(data / "Scripts");
    for (const fs::directory_entry& entry : fs::directory_iterator(real))
      if (entry.path().filename() != "Scripts") fs::create_symlink(entry.path(), data / entry.path().filename());
    for (const fs::directory_entry& entry : fs::directory_iterator(real / "Scripts"))
      fs::create_symlink(entry.path(), data / "Scripts" / entry.path().filename());
  }
  // Replaces the link with a file of the test's own (never writes through it).
  void WriteScript(const std::string& name, const std::string& text) const {
    const std::filesystem::path file = std::filesystem::path(mScratch.Path()) / "Data" / "Scripts" / name;
    std::filesystem::remove(file);
    std::ofstream(file, std::ios::binary) << text;
  }
  const std::string& Path() const { return mScratch.Path(); }

 private:
  cScratchDir mScratch;
};

class cTribeScriptTest : public cTribeWorldTest {
 protected:
  void WriteScript(const std::string& name, const std::string& text) { scratch.WriteScript(name, text); }

  cScratchData scratch;
  cScopedWorkingDir inScratch{scratch.Path()};
};
