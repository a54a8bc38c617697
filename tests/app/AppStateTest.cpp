#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include <cstring>
#include <functional>

#include "app/AppGlobals.h"
#include "app/AppState.h"
#include "app/GameClock.h"
#include "app/GameCommands.h"
#include "app/ModeCallLog.h"
#include "glf/DebugWindow.h"
#include "camera/Camera.h"
#include "camera/CameraRecord.h"
#include "modes/city/cCityGameMode.h"
#include "modes/city/economy/CityBuildingKinds.h"
#include "modes/civ/CivRecords.h"
#include "modes/civ/CivVehicle.h"
#include "modes/civ/cCivGameMode.h"
#include "modes/creature/cCreatureGameMode.h"
#include "modes/dev/flocktest/cFlockTestMode.h"
#include "modes/dev/stresstest/cPelsGameMode.h"
#include "modes/dev/space/cSpaceGameMode.h"
#include "modes/dev/space/cUFO.h"
#include "modes/dev/testbench/cTestGameMode.h"
#include "modes/dev/flyswim/cTovansGameMode.h"
#include "modes/tribe/cTribeGameMode.h"
#include "sim/gamedata/Backbone.h"
#include "sim/gamedata/DataManager.h"
#include "sim/gamedata/MemoryStream.h"
#include "app/Startup.h"
#include "tests/sim/SaveFileBytes.h"
#include "tests/support/TestSupport.h"
#include "world/planet/SavedValueRepair.h"

namespace {

// The nine mode shells, the data manager with the application state
// registered as start-up does it, and a camera with recognisable values.
class AppStateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGameClockForTest();
    ConstructGameModes();
    gCurrentGameMode = gCreatureGameMode;
    gUserPause = 0;
    gAutoPause = 1;
    gMouseInWindow = 1;
    gPaused = 0;
    StartGameClock();

    data->ResetForTest();
    backboneObject = nullptr;  // the reset released whatever an earlier test left
    RegisterAppStateType();
    data->CommitPending();
    SetCameraValues(1.0f);
    SetModeCallLog(&log);
  }
  void TearDown() override {
    SetModeCallLog(nullptr);
    DestroyDebugWindowForTest();  // the cases that read it make their own
    data->ResetForTest();
    gAppState = nullptr;
    backboneObject = nullptr;
    DeleteGameModesForTest();
  }

  // Distinct values, first + 0 .. first + 19, in record order, but for the
  // two frames: unit quaternions, as the camera keeps them (a load mends others).
  static void SetCameraValues(float first) {
    cCameraRecord record;
    for (uint32_t i = 0; i < cCameraRecord::kFloatCount; ++i) record.values[i] = first + (float)i;
    for (uint32_t i : {3u, 4u, 5u, 6u, 13u, 14u, 15u, 16u}) record.values[i] = i < 10 ? 0.5f : -0.5f;
    ApplyCameraRecord(record);
  }
  size_t LiveAppStates() { return data->GetObjectsOfType(kAppStateTypeId).size(); }
  static bool Logged(const std::string& text) {
    for (const std::string& line : GetDebugWindow()->Lines())
      if (line.find(text) != std::string::npos) return true;
    return false;
  }
  int CountOf(const std::string& call) const {
    int n = 0;
    for (const std::string& c : log) n += c == call;
    return n;
  }

  cDataManager* data = GetDataManager();
  cFakeClock clock{5000};
  cScratchDir dir;
  cMessageCapture messages;
  std::vector<std::string> log;
};

TEST_F(AppStateTest, RecordHoldsModeIndexPauseAndTheCameraInOrder) {
  gCurrentGameMode = gTribeGameMode;
  ASSERT_TRUE(data->Save(dir.File("save")));
  std::string bytes = WithoutCheck(FileContents(dir.File("save")));
  ASSERT_EQ(bytes.size(), 28u + 8u + cAppState::kRecordSize);
  const char* body = bytes.data() + 36;
  uint32_t word;
  std::memcpy(&word, bytes.data() + 28, 4);
  EXPECT_EQ(word, kAppStateTypeId);
  std::memcpy(&word, body, 4);
  EXPECT_EQ(word, 2u);  // tribe
  std::memcpy(&word, body + 4, 4);
  EXPECT_EQ(word, 0u);
  const cCameraState& camera = GetCameraState();
  float value;
  std::memcpy(&value, body + 8 + 0, 4);
  EXPECT_EQ(value, camera.targetAnchor[0]);
  std::memcpy(&value, body + 8 + 24, 4);
  EXPECT_EQ(value, camera.targetFrame[3]);
  std::memcpy(&value, body + 8 + 36, 4);
  EXPECT_EQ(value, camera.targetDistance);
  std::memcpy(&value, body + 8 + 52, 4);
  EXPECT_EQ(value, camera.baseOrientation[0]);
  std::memcpy(&value, body + 8 + 76, 4);
  EXPECT_EQ(value, camera.currentDistance);
  EXPECT_EQ(camera.currentDistance, 20.0f);
}

TEST_F(AppStateTest, LoadingMakesTheSavedModeCurrentAndRestoresTheCameraBitForBit) {
  gCurrentGameMode = gTribeGameMode;
  cCameraRecord saved = CaptureCameraRecord();
  ASSERT_TRUE(data->Save(dir.File("tribe")));

  gCurrentGameMode = gCreatureGameMode;
  SetCameraValues(100.0f);
  ASSERT_TRUE(data->Load(dir.File("tribe")));
  data->CommitPending();
  EXPECT_EQ(gCurrentGameMode, (cIGameMode*)gTribeGameMode);
  EXPECT_EQ(std::memcmp(CaptureCameraRecord().values, saved.values, sizeof saved.values), 0);
  EXPECT_EQ(LiveAppStates(), 1u);
  EXPECT_NE(gAppState, nullptr);
  EXPECT_EQ(CountOf("Tribe.Enter"), 0);  // entering is the loading code's business

  ASSERT_TRUE(data->Save(dir.File("again")));  // save, load, save: the same file
  EXPECT_EQ(FileContents(dir.File("again")), FileContents(dir.File("tribe")));
}

// Fault mended: a mode word no writer makes (damage) kept the mode without a
// word. It is kept and said, as a repair; 0, written for the modes without an
// index, is kept silently.
TEST_F(AppStateTest, ModesWithoutAnIndexAreWrittenAsZeroAndLoadKeepsTheCurrentMode) {
  gCurrentGameMode = gPelsGameMode;
  EXPECT_EQ(cAppState::ModeIndexOfCurrentMode(), cAppState::kNoModeIndex);
  ASSERT_TRUE(data->Save(dir.File("pels")));
  const std::string bytes = WithoutCheck(FileContents(dir.File("pels")));
  const struct {
    uint32_t word;
    cIGameMode* after;
    const char* said;  // in the debug window; "" for none
  } rows[] = {
      {cAppState::kNoModeIndex, gTribeGameMode, ""},
      {5, gSpaceGameMode, ""},
      {6, gTribeGameMode, "the file's mode 6 is unknown; the tribe mode is kept"},
      {99, gTribeGameMode, "the file's mode 99 is unknown; the tribe mode is kept"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.word);
    std::string file = bytes;
    std::memcpy(&file[36], &row.word, 4);
    dir.Write("mode", file);
    gCurrentGameMode = gTribeGameMode;
    DestroyDebugWindowForTest();
    CreateDebugWindow();
    messages.boxes.clear();
    ASSERT_TRUE(data->Load(dir.File("mode")));
    EXPECT_EQ(gCurrentGameMode, row.after);
    const bool said = *row.said != '\0';
    ASSERT_EQ(messages.boxes.size(), said ? 1u : 0u);
    if (said) {
      EXPECT_EQ(messages.boxes[0].text, "Repairs Made: 1");
    }
    EXPECT_EQ(Logged(said ? row.said : "is unknown"), said);
  }
}

// Faults mended: the loaded pause was written into gPaused alone (the clock
// kept running, the modes were not told, the Pause box showed something else
// until a later pause change). The record is taken as the player's pause; the
// pause the game makes itself while the pointer is off the window (on the Load
// Game button) still holds on top until the pointer comes back.
TEST_F(AppStateTest, ALoadedPauseIsThePlayersAndTheGamesOwnPauseStillHoldsOnTop) {
  gUserPause = 1;
  OnPauseCheckbox(0);
  ASSERT_TRUE(data->Save(dir.File("paused")));
  gUserPause = 0;
  OnPauseCheckbox(0);
  ASSERT_TRUE(data->Save(dir.File("running")));
  for (const char* name : {"paused", "running"}) {
    SCOPED_TRACE(name);
    const int32_t saved = std::strcmp(name, "paused") == 0;
    OnEntry(0);
    log.clear();
    EXPECT_TRUE(data->Load(dir.File(name)));
    EXPECT_EQ(gUserPause, saved);
    EXPECT_EQ(gPaused, 1);
    EXPECT_EQ(CountOf("Tribe.OnPauseChanged(1)"), 1);
    OnEntry(1);
    EXPECT_EQ(gPaused, saved);
    EXPECT_EQ(IsGameClockRunning(), !saved);
  }
}

TEST_F(AppStateTest, AFileWithoutTheRecordKeepsModePauseAndCameraAndMakesAFreshObject) {
  dir.Write("empty", CheckedSave(""));
  gCurrentGameMode = gCityGameMode;
  cCameraRecord before = CaptureCameraRecord();
  ASSERT_TRUE(data->Load(dir.File("empty")));
  data->CommitPending();
  EXPECT_EQ(gCurrentGameMode, (cIGameMode*)gCityGameMode);
  EXPECT_EQ(gPaused, 0);
  EXPECT_EQ(std::memcmp(CaptureCameraRecord().values, before.values, sizeof before.values), 0);
  EXPECT_EQ(LiveAppStates(), 1u);
  EXPECT_FALSE(gAppState->IsDead());
}

// Fault mended: the camera record was read with no length check, so a short
// record read past the end of its chunk.
TEST_F(AppStateTest, AShortRecordChangesNothingAndIsReportedOnce) {
  gCurrentGameMode = gTribeGameMode;
  gUserPause = 1;
  OnPauseCheckbox(0);
  ASSERT_TRUE(data->Save(dir.File("full")));
  std::string bytes = WithoutCheck(FileContents(dir.File("full")));
  std::string shortFile = bytes.substr(0, 32) + std::string("\x30\0\0\0", 4) + bytes.substr(36, 48);
  dir.Write("short", shortFile);

  gCurrentGameMode = gCreatureGameMode;
  gUserPause = 0;
  OnPauseCheckbox(0);
  SetCameraValues(500.0f);
  cCameraRecord before = CaptureCameraRecord();
  ASSERT_TRUE(data->Load(dir.File("short")));
  data->CommitPending();
  EXPECT_EQ(gCurrentGameMode, (cIGameMode*)gCreatureGameMode);
  EXPECT_EQ(gPaused, 0);
  EXPECT_TRUE(IsGameClockRunning());
  EXPECT_EQ(std::memcmp(CaptureCameraRecord().values, before.values, sizeof before.values), 0);
  EXPECT_EQ(LiveAppStates(), 1u);
  EXPECT_EQ(messages.Count("Load Error"), 1);

  // Fault mended: NaN or infinite camera values loaded and left the view black.
  for (float bad : {std::nanf(""), INFINITY}) {
    DestroyDebugWindowForTest();
    CreateDebugWindow();
    std::string nonFinite = bytes;
    std::memcpy(&nonFinite[36 + 8 + 4 * 19], &bad, 4);
    dir.Write("nonfinite", nonFinite);
    messages.boxes.clear();
    ASSERT_TRUE(data->Load(dir.File("nonfinite")));
    EXPECT_EQ(gCurrentGameMode, (cIGameMode*)gCreatureGameMode);
    EXPECT_EQ(std::memcmp(CaptureCameraRecord().values, before.values, sizeof before.values), 0);
    EXPECT_EQ(messages.Count("Load Error"), 1);
    EXPECT_TRUE(Logged("skipped: not a finite number"));  // not "a value out of range"
  }

  // Fault mended: finite but absurd values loaded silently and reached the
  // drawing. Each is mended into the world's bounds and counted.
  static auto IsUnit = [](const float* q) {
    return std::fabs(std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]) - 1.0f) < 1e-5f;
  };
  const struct {
    int at;
    float bad;
    std::function<bool(const float*)> mended;
  } absurd[] = {
      {0, 3e38f, [](const float* v) { return std::fabs(v[0]) <= cPlanetModel::kFarSavedRadius && v[0] > 0.0f; }},
      {12, -1e30f, [](const float* v) { return std::fabs(v[12]) <= cPlanetModel::kFarSavedRadius && v[12] < 0.0f; }},
      {9, 1e30f, [](const float* v) { return v[9] == kFarSavedDistance; }},
      {19, -5.0f, [](const float* v) { return v[19] == 0.0f; }},
      {3, 1e30f, [](const float* v) { return IsUnit(v + 3); }},
      {16, 3e38f, [](const float* v) { return IsUnit(v + 13); }},
      {7, 1e30f, [](const float* v) { return std::fabs(v[7]) <= 180.0f; }},
      {17, -kFarSavedYaw - 360.0f, [](const float* v) { return v[17] == 0.0f; }},
      {8, 90.5f, [](const float* v) { return v[8] == 90.0f; }},
      {18, -1e30f, [](const float* v) { return v[18] == -90.0f; }},
  };
  for (const auto& row : absurd) {
    SCOPED_TRACE(row.at);
    std::string huge = bytes;
    std::memcpy(&huge[36 + 8 + 4 * row.at], &row.bad, 4);
    dir.Write("huge", huge);
    messages.boxes.clear();
    EXPECT_TRUE(data->Load(dir.File("huge")));
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text, "Repairs Made: 1");
    EXPECT_EQ(gCurrentGameMode, (cIGameMode*)gTribeGameMode);
    EXPECT_TRUE(row.mended(CaptureCameraRecord().values));
  }
}

// Fault mended: a file with two application-state records left two live objects.
TEST_F(AppStateTest, TwoRecordsInOneFileLeaveOneLiveObject) {
  gCurrentGameMode = gCivGameMode;
  ASSERT_TRUE(data->Save(dir.File("one")));
  std::string bytes = WithoutCheck(FileContents(dir.File("one")));
  std::string record = bytes.substr(28);
  record[36 - 28] = 5;  // the second record names the space mode
  dir.Write("two", bytes + record);
  ASSERT_TRUE(data->Load(dir.File("two")));
  data->CommitPending();
  EXPECT_EQ(LiveAppStates(), 1u);
  EXPECT_EQ(data->GetObjectsOfType(kAppStateTypeId)[0], (Ko::cIGameData*)gAppState);
  EXPECT_EQ(gCurrentGameMode, (cIGameMode*)gSpaceGameMode);
}

// Fault mended: records of types whose modes never save anything (a file
// made elsewhere, or damaged) were made into objects with default values.
TEST_F(AppStateTest, RecordsOfTypesNoModeSavesAreSkippedAsDamageAndNamed) {
  DeleteGameModesForTest();
  ConstructGameModes();  // as at start-up: the city, civ and space modes register their types
  const struct {
    uint32_t type;
    const char* kind;
  } foreign[] = {{cCityCommon::kTypeId, "civ"},
                 {cCivModeVehicle::kTypeId, "civ"},
                 {cCityGameBuildingHouse::kTypeId, "city"},
                 {cUFO::kTypeId, "developer mode"}};
  std::string records = Record(kAppStateTypeId, std::string(cAppState::kRecordSize, '\0'));
  for (const auto& f : foreign) records += Record(f.type, std::string(16, '\x01'));
  dir.Write("foreign", CheckedSave(records));
  DestroyDebugWindowForTest();
  CreateDebugWindow();
  ASSERT_TRUE(data->Load(dir.File("foreign")));
  ASSERT_EQ(messages.boxes.size(), 1u);
  EXPECT_EQ(messages.boxes[0].text, "Damaged Records Skipped: 4");
  EXPECT_EQ(LiveAppStates(), 1u);  // the types the game saves still load
  for (const auto& f : foreign) {
    char line[96];
    std::snprintf(line, sizeof line, "record of type %x skipped: a %s record", f.type, f.kind);
    EXPECT_TRUE(Logged(line)) << line;
    EXPECT_TRUE(data->GetObjectsOfType(f.type).empty()) << line;
  }
}

TEST_F(AppStateTest, CameraRecordReaderNeverReadsPastAShortStream) {
  cMemoryStream stream;
  for (int i = 0; i < 19; ++i) stream.WriteFloatValue(7.0f);
  cMemoryStream reader;
  reader.InitFromBytes(stream.GetData(), stream.GetSize());
  cCameraRecord before = CaptureCameraRecord();
  ReadCameraState(reader);
  EXPECT_TRUE(reader.HasFailed());
  EXPECT_EQ(std::memcmp(CaptureCameraRecord().values, before.values, sizeof before.values), 0);
}

}  // namespace

// Fault mended: entering the loaded mode installed its camera script, which
// reset the saved distance and pitch.
TEST_F(AppStateTest, LoadGameRestoresAGlidingCameraBitForBitAndTheGlideGoesOn) {
  gCurrentGameMode = gTribeGameMode;  // its Enter installs the tribe camera script
  cCameraRecord saved = CaptureCameraRecord();  // targets and current values differ: mid-glide
  ASSERT_TRUE(SaveGameFile(dir.File("gliding")));
  SetCameraValues(100.0f);
  LoadGameIntoCurrentMode(dir.File("gliding"));
  EXPECT_EQ(CountOf("Tribe.Enter"), 1);
  EXPECT_EQ(std::memcmp(CaptureCameraRecord().values, saved.values, sizeof saved.values), 0);
  UpdateCameraFrame();
  EXPECT_FLOAT_EQ(GetCameraDistance(), 19.0f);  // from 20 a tenth of the way to the saved 10
}
