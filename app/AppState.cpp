#include "app/AppState.h"

#include <cstdio>

#include "app/AppGlobals.h"
#include "app/GameCommands.h"
#include "app/ModeCommand.h"
#include "camera/CameraRecord.h"
#include "sim/gamedata/DataManager.h"
#include "sim/gamedata/MemoryStream.h"

// The five indexed modes are the first five of AllGameModes(): creature,
// tribe, city, civ, space, the order of their indices 1 to 5.
static constexpr uint32_t kIndexedModeCount = 5;

cAppState& cAppState::GetStaticInstance() {
  static cAppState* instance = new cAppState;  // never destroyed: the data manager keeps pointing at it
  return *instance;
}

uint32_t cAppState::ModeIndexOfCurrentMode() {
  cIGameMode* const* modes = AllGameModes();
  for (uint32_t i = 0; i < kIndexedModeCount; ++i)
    if (modes[i] && modes[i] == gCurrentGameMode) return i + 1;
  return kNoModeIndex;
}

void cAppState::Save(Ko::cIGameData* /*object*/, cMemoryStream& stream, uint32_t version) {
  stream.WriteUInt32Value(ModeIndexOfCurrentMode());
  stream.WriteUInt32Value(gPaused ? 1u : 0u);
  WriteCameraState(stream, version);
}

void cAppState::Load(Ko::cIGameData* object, cMemoryStream& stream, uint32_t /*version*/) {
  uint32_t modeIndex = stream.ReadUInt32Value();
  uint32_t paused = stream.ReadUInt32Value();
  cCameraRecord camera;
  ReadCameraRecord(stream, camera);
  if (stream.HasFailed()) return;  // the loader drops the object and reports it
  RepairCameraRecord(camera);

  if (modeIndex >= 1 && modeIndex <= kIndexedModeCount) {
    cIGameMode* mode = AllGameModes()[modeIndex - 1];
    if (mode) gCurrentGameMode = mode;  // an absent mode keeps the current one
  } else if (modeIndex != kNoModeIndex) {
    // No writer puts this here: the file is damaged. The rest of the record
    // still holds, so the game plays on in its mode and the player hears why.
    char what[96];
    snprintf(what, sizeof what, "the file's mode %u is unknown; the %s mode is kept", modeIndex,
             CurrentGameModeName());
    GetDataManager()->CountLoadRepair(what);
  }
  ApplyCameraRecord(camera);
  mHaveLoadedPause = true;
  mLoadedPause = paused ? 1 : 0;

  // A file with two application-state records must still leave one live object.
  cAppState* loaded = dynamic_cast<cAppState*>(object);
  if (gAppState && gAppState != loaded) GetDataManager()->Remove(gAppState);
  gAppState = loaded;
}

void cAppState::BeforeLoad() {
  mHaveLoadedPause = false;
  if (gAppState) GetDataManager()->Remove(gAppState);
  gAppState = nullptr;
}

void cAppState::AfterLoad() {
  if (!gAppState) gAppState = GetDataManager()->CreateObject<cAppState>();
  if (!mHaveLoadedPause) return;
  mHaveLoadedPause = false;
  // The record holds the pause in effect when it was saved, which may have
  // been the game's own (the pointer on the control panel). A loaded game has
  // no pointer of its own, so the record is taken as the player's pause: the
  // box shows it and one Ctrl+P or click ends it. A pause the game makes
  // itself now still holds on top until the pointer comes back.
  SetUserPause(mLoadedPause);
}
