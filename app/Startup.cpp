#include "app/Startup.h"

#include <GL/freeglut.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/AppGlobals.h"
#include "app/AppState.h"
#include "app/CameraHost.h"
#include "app/CrashGuard.h"
#include "app/FrameLoop.h"
#include "app/GameClock.h"
#include "app/GameCommands.h"
#include "app/ModeCommand.h"
#include "app/WindowLayout.h"
#include "modes/tribe/HerdDebugCommand.h"
#include "modes/civ/CivDebugCommands.h"
#include "app/SniffTest.h"
#include "camera/Camera.h"
#include "camera/CameraControl.h"
#include "glf/BarPanel.h"
#include "glf/DebugWindow.h"
#include "glf/GLExtensions.h"
#include "glf/MessageBoard.h"
#include "glf/Sound.h"
#include "input/KeyBindings.h"
#include "input/MouseDevice.h"
#include "math/Math.h"
#include "modes/city/CityWorld.h"
#include "modes/city/cCityGameMode.h"
#include "modes/city/data/CityTuning.h"
#include "modes/civ/CivHudMarkers.h"
#include "modes/civ/cCivGameMode.h"
#include "modes/creature/cCreatureGameMode.h"
#include "modes/dev/flocktest/cFlockTestMode.h"
#include "modes/dev/stresstest/cPelsGameMode.h"
#include "modes/dev/space/cSpaceGameMode.h"
#include "modes/dev/testbench/cTestGameMode.h"
#include "modes/dev/flyswim/cTovansGameMode.h"
#include "modes/tribe/cTribeGameMode.h"
#include "platform/Sys.h"
#include "platform/glui/glui.h"
#include "sim/gamedata/Backbone.h"
#include "sim/gamedata/DataManager.h"
#include "sim/rovurozoviz/RovurozovizUnitTest.h"
#include "sim/tuning/BoundedCount.h"
#include "sim/tuning/SharedTuningData.h"
#include "sim/tuning/TribeTuningData.h"
#include "world/planet/CubeMap.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneServices.h"

// HUD bars keep the size the tuning gives them at its start window size.
static cGLFBarTuning BarTuningFromSharedTuning() {
  const cSharedTuningData& tuning = GetSharedTuningData();
  return {tuning.GetDefaultUIBarWidth(), tuning.GetDefaultUIBarHeight(), tuning.GetWindowStartWidth(),
          tuning.GetWindowStartHeight()};
}

static cQuorvelInputEventHandler gAppInputHandler;

void ConstructGameModes() {
  gCreatureGameMode = new cCreatureGameMode();
  gTribeGameMode = new cTribeGameMode();
  gCityGameMode = new cCityGameMode();
  gCivGameMode = new cCivGameMode();
  gSpaceGameMode = new cSpaceGameMode();
  gTestGameMode = new cTestGameMode();
  gPelsGameMode = new cPelsGameMode();
  gTovansGameMode = new cTovansGameMode();
  gFlockTestMode = new cFlockTestMode();
}

void DeleteGameModesForTest() {
  delete gCreatureGameMode; delete gTribeGameMode; delete gCityGameMode;
  delete gCivGameMode; delete gSpaceGameMode; delete gTestGameMode;
  delete gPelsGameMode; delete gTovansGameMode; delete gFlockTestMode;
  gCreatureGameMode = nullptr; gTribeGameMode = nullptr; gCityGameMode = nullptr;
  gCivGameMode = nullptr; gSpaceGameMode = nullptr; gTestGameMode = nullptr;
  gPelsGameMode = nullptr; gTovansGameMode = nullptr; gFlockTestMode = nullptr;
  gCurrentGameMode = gPendingGameMode = nullptr;
}

void RegisterAppStateType() {
  cDataManager* data = GetDataManager();
  cAppState& prototype = cAppState::GetStaticInstance();
  data->RegisterType(&prototype, &prototype);
  data->AddClient(&prototype);
  gAppState = data->CreateObject<cAppState>();
}

void CreateGameModes() {
  ConstructGameModes();
  cDataManager* data = GetDataManager();
  data->AddClient(gCreatureGameMode);
  data->AddClient(gTribeGameMode);
  data->AddClient(gCityGameMode);
  data->AddClient(gCivGameMode);
  data->AddClient(gSpaceGameMode);
  data->AddClient(gTestGameMode);
  data->AddClient(gFlockTestMode);
  gCurrentGameMode = gCreatureGameMode;
  RegisterAppStateType();
}

// The camera starts over a fixed point of the planet, looking at it from the
// script's distance and pitch. (Only the civ test camera did this at first;
// until the modes anchor the camera on their own objects, every mode does.)
static void PlaceStartCamera() {
  using namespace Ru::Math;
  Vector3 point = {445.0f, 208.0f, -123.0f};
  float longitude = 0, latitude = 0;
  PointToLongitudeLatitude(point, longitude, latitude);
  latitude = ClampFloat(latitude, -1.0f, 1.0f);
  Vector3 direction = Vector3Normalized(LongitudeLatitudeToDirection(longitude, latitude));
  if (IsValidVector3(direction)) {
    direction = Vector3Normalized(direction);
    cPlanetModel& planet = GetPlanetModel();
    Vector3 surface = Vector3Scale(direction, planet.GetSurfaceRadius(direction));
    Quaternion frame;
    cPlanetModel::MakeSurfaceOrientation(frame, surface, Vector3{0.0f, -1.0f, 0.0f});
    SetCameraAnchorFrame(&surface.x, &frame.x);
  }
  float yaw, pitch, distance;
  GetCameraTargetAngles(&yaw, &pitch, &distance);
  SetCameraAngles(yaw, pitch, distance);  // the first frame shows the script's view, not a zoom out of the ground
  if (gUseCivTestCamera) SetCameraAngles(0.0f, 30.0f, 50.0f);
}

// The scene sits below the application: it reaches the game clock and the
// current mode through these hooks.
static bool TribeOrCityModePlays() {
  return gCurrentGameMode && (gCurrentGameMode == (cIGameMode*)gTribeGameMode ||
                              gCurrentGameMode == (cIGameMode*)gCityGameMode);
}

void InstallSceneServices() {
  GetSceneServices().gameTime = GetGameTime;
  GetSceneServices().plantTrianglesPickable = TribeOrCityModePlays;
}

void AppInit() {
  InstallSceneServices();
  RovurozovizUnitTest();
  StartGameClock();
  gFrameRateStopwatch.Start();
  nKoPlanet::TestCubeMapDirections();
  nKoPlanet::TestCubeMapIterator();
  nKoPlanet::SetWireframeFlag(&gWireframe);
  nKoPlanet::SetPolarCapColouring(gUseCivTestCamera != 0);
  GetPlanetModel().Initialize(false);  // its terrain read before the sound device opened
  InstallAppCameraHost();
  ReloadCameraScript();
  cCommonCreatureManager::Register();
  PlaceStartCamera();
  GetBackboneManager()->Initialize();
  RegisterSceneDebugCommand();
  RegisterModeDebugCommand();
  RegisterFramesDebugCommand();
  RegisterHerdDebugCommand();
  RegisterCivDebugCommands();

  const GLfloat diffuse0[] = {0.7f, 0.7f, 0.7f, 1.0f}, position0[] = {1.0f, 0.0f, 0.1f, 0.0f};
  const GLfloat ambient1[] = {0.3f, 0.3f, 0.3f, 1.0f}, position1[] = {1.0f, 0.0f, -0.1f, 0.0f};
  glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse0);
  glLightfv(GL_LIGHT0, GL_POSITION, position0);
  glLightfv(GL_LIGHT1, GL_AMBIENT, ambient1);
  glLightfv(GL_LIGHT1, GL_POSITION, position1);
  glEnable(GL_LIGHT0);
  glEnable(GL_LIGHT1);
  glEnable(GL_LIGHTING);
  glEnable(GL_DEPTH_TEST);
  glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
  glEnable(GL_COLOR_MATERIAL);
  glEnable(GL_NORMALIZE);
  gQuadric = gluNewQuadric();

  cIGameMode* const* modes = AllGameModes();
  for (int i = 0; i < kGameModeCount; ++i)
    if (modes[i]) modes[i]->Init();
}

// "-exception": a call through a null object reads address 0, and the crash
// guard reports it. The sanitizers would stop at the null pointer first (the
// GNU attribute spelling is the one both gcc and clang honour).
struct cNoObject {
  virtual ~cNoObject() = default;
  virtual void Act() = 0;
};
__attribute__((noinline, no_sanitize("undefined"))) static void CrashOnPurpose() {
  static cNoObject* volatile nothing = nullptr;
  nothing->Act();
}

int WindowStartSize(cSharedTuningData& tuning, const char* key, int screen) {
  for (const sTuningKey& row : cSharedTuningData::Keys())
    if (strcmp(row.name, key) == 0) return (int)tuning.Read(TuningKeyWithin(row, 1.0, screen < 1 ? 1.0 : screen));
  return 1;  // not a window key
}

static void RequestMode(cIGameMode* mode, const cStartupOptions& seen, std::string& savedGameName) {
  gCurrentGameMode = mode;
  if (!seen.loadGameSeen) savedGameName.clear();
}

std::string ApplyCommandLineOptions(int argc, char** argv, std::string savedGameName, cStartupOptions& seen) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (!strcmp(arg, "-nosound")) gSoundEnabled = 0;
    if (!strcmp(arg, "-twomonitors")) {
      gPanelX = Sys_PrimaryMonitorWidth();  // the screen spans every monitor; the second starts here
      seen.twoMonitors = true;
    }
    if (!strcmp(arg, "-fullscreen")) seen.fullScreen = true;
    if (!strcmp(arg, "-noedgescroll")) SetCameraEdgeScroll(false);
    if (!strcmp(arg, "-tribemode")) RequestMode(gTribeGameMode, seen, savedGameName);
    if (!strcmp(arg, "-citymode")) RequestMode(gCityGameMode, seen, savedGameName);
    if (!strcmp(arg, "-civmode")) RequestMode(gCivGameMode, seen, savedGameName);
    if (!strcmp(arg, "-spacemode")) RequestMode(gSpaceGameMode, seen, savedGameName);
    if (!strcmp(arg, "-flocktestmode")) gCurrentGameMode = gFlockTestMode;  // keeps the ini's saved game
    // "-loadgame" consumes the next argument; as the last argument it has none and is ignored.
    if (!strcmp(arg, "-loadgame") && i + 1 < argc) {
      savedGameName = argv[++i];
      seen.loadGameSeen = true;
      arg = argv[i];  // the name is still compared with the options after "-loadgame"
    }
    if (!strcmp(arg, "-noautopause")) gAutoPause = 0;
    if (!strcmp(arg, "-exception")) CrashOnPurpose();
  }
  return savedGameName;
}

static void BuildControlPanel() {
  gControlPanel = GLUI_Master.create_glui("Quorvel Control Panel", 0, -1, -1);
  gControlPanel->set_main_gfx_window(gMainWindow);
  gControlPanel->add_button("Save Game", 1, SaveOrLoadGame);
  gControlPanel->add_button("Load Game", 2, SaveOrLoadGame);
  gControlPanel->add_button("Sniff Test", 0, RunSniffTest);
  gControlPanel->add_button("Reload Camera", 0, OnReloadCameraButton);
  gPauseCheckbox = gControlPanel->add_checkbox("Pause", &gUserPause, 0, OnPauseCheckbox);
  gControlPanel->add_checkbox("Show Debug Info", &gShowDebugInfo, -1);
  gControlPanel->add_checkbox("Wireframe", &gWireframe, -1);
  gControlPanel->add_checkbox("Lights On", &gLightsOn, -1);
  GLUI_Master.set_glutIdleFunc(OnIdle);
}

int AppStartup(int argc, char** argv) {
  gCivFocusStopwatch.Start();
  ShowAboutBox();
  [[maybe_unused]] static cCrashGuard crashGuard;

  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "-usecivtestcamera") != 0) continue;
    gUseCivTestCamera = 1;
    gCivConstrainLatitude = 1;
    gCivShowMap = 0;
    cCivTuningGeneral* general = cCivTuning::GetGeneral();
    general->NumCities = (int32_t)ClampFloat((float)general->NumCities, 0.0f, 9.0f);
    general->NumPlayers = (int32_t)ClampFloat((float)general->NumPlayers, 0.0f, 9.0f);
  }

  cSharedTuningData& tuning = GetSharedTuningData();
  SetGLFBarTuningSource(BarTuningFromSharedTuning);
  GetTribeTuningData();  // named here so the linker keeps the tribe set, which is read before main
  // The city's tuning sets and its cursor controller (which reads the city's key file), at start-up.
  GetCityGameTuning();
  GetCityGameMotiveTuning();
  GetCityGameBuildingTuning();
  GetCityCursorController();
  GetCivMarkerShapes();  // the civ HUD's twelve marker billboards, made once before any mode
  uint32_t seed = (uint32_t)tuning.GetRandomNumberSeed();
  Sys_SeedRandom(seed ? seed : Sys_Milliseconds());

  Sys_InitGlut(&argc, argv);
  glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
  glutInitWindowSize(WindowStartSize(tuning, "windowstartwidth", glutGet(GLUT_SCREEN_WIDTH)),
                     WindowStartSize(tuning, "windowstartheight", glutGet(GLUT_SCREEN_HEIGHT)));

  CreateDebugWindow();
  // The tuning sets above, and the window's size, were read with no window to
  // name their cuts in; a size cut to the screen is named for what it opens at.
  NameTuningCutsMadeBeforeTheDebugWindow();
  // For pictures that must come out alike on a quiet or a busy machine.
  if (const char* step = getenv("QUORVEL_FRAME_STEP_MS")) {
    uint32_t ms = 0;
    if (ParseFrameStep(step, ms))
      SetFixedFrameStep(ms);
    else
      DebugPrintf("QUORVEL_FRAME_STEP_MS=\"%s\" is no step of 1 to 500 ms: frames take the real clock's time", step);
  }
  glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
  glutInitWindowPosition(0, 0);  // the panel and the debug window line up to its right
  gMainWindow = Sys_CreateGlutWindow("QuorvelGL");
  Sys_KeepGLDriverLoaded();
  Sys_SetMessageShow(ShowMessageInGameWindow);  // plain boxes also show in the game window from now on
  OpenDebugWindowView();
  glutSetWindow(gMainWindow);

  LoadGLExtensions();
  Sys_SetSwapInterval(1);  // frames follow the display's refresh where the driver can
  // A start that cannot play ends before the sound library is asked to talk:
  // its log, when asked for, goes straight to descriptor 2, where a reader
  // that stopped would hold the start for good.
  GetPlanetModel().LoadTerrainOrExit(cPlanetModel::kTerrainFile);
  InitSoundDevice();
  CreateGameModes();
  AppInit();

  glutSetWindow(gMainWindow);
  glutDisplayFunc(OnDisplay);
  glutReshapeFunc(OnMainWindowReshape);
  glutPositionFunc(OnMainWindowPosition);
  glutMotionFunc(OnMotion);
  glutPassiveMotionFunc(OnPassiveMotion);
  glutMouseFunc(OnMouse);
  glutSpecialFunc(OnSpecialKey);
  glutKeyboardFunc(OnKeyboard);
  glutKeyboardUpFunc(OnKeyboardUp);  // key-up events keep the key state the bindings poll
  glutSpecialUpFunc(OnSpecialKeyUp);
  InitDirectInputMouse();
  glutEntryFunc(OnMainWindowEntry);
  glutWindowStatusFunc(OnMainWindowStatus);

  // Read once: a file refused (too large) is named once.
  const std::vector<sSysIniEntry> ini = Sys_IniFileEntries(Sys_CurrentDirectory() + "\\Data\\Quorvel.ini");
  std::string savedGameName = Sys_IniFind(ini, "game", "load_game", "", 255);
  SetCameraEdgeScroll(Sys_IniFindInt(ini, "game", "edge_scroll", 1) != 0);

  gPendingGameMode = nullptr;
  gPanelX = glutGet(GLUT_WINDOW_WIDTH) + glutGet(GLUT_WINDOW_X);

  cStartupOptions seen;
  savedGameName = ApplyCommandLineOptions(argc, argv, savedGameName, seen);

  gPanelY = glutGet(GLUT_WINDOW_Y);
  BuildControlPanel();

  gAppKeyBindings.RegisterAction("ROTATE_CAMERA", &gAppInputHandler);
  gAppKeyBindings.RegisterAction("PAUSE", &gAppInputHandler);
  gAppKeyBindings.LoadKeyFile(".\\Data\\Scripts\\quorvel_keys.txt");

  PlaceStartupWindows(seen.twoMonitors, seen.fullScreen);

  gCurrentGameMode->Enter();
  DebugPrintf("Welcome to Quorvel");

  if (!savedGameName.empty()) LoadGameIntoCurrentMode(savedGameName);

  for (const std::string& title : Sys_TopLevelWindowTitles()) DebugPrintf("%s", title.c_str());
  glutSetWindow(gMainWindow);
  // Every window is open and placed: the game starts active, not held by the
  // automatic pause behind the helper a window manager focused last.
  Sys_ActivateWindow(gMainWindow);
  return 0;
}

void AppRunMainLoop() {
  glutSetWindow(gMainWindow);
  glutMainLoop();
}

void AppPumpFrame() {
  glutMainLoopEvent();
  GLUI_Master.run_idle_once();
}
