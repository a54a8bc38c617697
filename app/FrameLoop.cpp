#include "app/FrameLoop.h"

#include <GL/freeglut.h>

#include <algorithm>

#include "app/AppGlobals.h"
#include "app/GameMode.h"
#include "app/WindowLayout.h"
#include "camera/Camera.h"
#include "camera/CameraControl.h"
#include "glf/DebugWindow.h"
#include "glf/MessageBoard.h"
#include "glf/Overlay2D.h"
#include "glf/PieMenu.h"
#include "input/MouseDevice.h"
#include "modes/civ/cCivGameMode.h"
#include "modes/creature/cCreatureGameMode.h"  // complete, so the comparison is a real upcast
#include "platform/Sys.h"
#include "sim/gamedata/DataManager.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/Particles.h"
#include "world/scene/SceneManager.h"

cKeyBindings gAppKeyBindings;
cGameStopwatch gCivFocusStopwatch;
cStopwatch gFrameRateStopwatch;
uint32_t gFrameCount = 0;
float gFramesPerSecond = 0.0f;
cGLFTextList gDebugOverlayText;

static bool gFirstFrame = true;
static uint32_t gLastFrameTime = 0;
static bool gHadKeyboard = false;
static uint32_t gFramesPlayed = 0;
static uint32_t gLastFrameHolds = 0;  // what held the last frame (kHeldBy... and kPausedByPlayer bits)

// A key let go while another window has the keyboard never reaches the game,
// so it would stay down (the camera turning on): when the keyboard leaves the
// game window, every held key goes up. The focus is asked only while a key is
// held or the automatic pause asks anyway, so an idle game costs no X round
// trip; a desktop that never gives the window the focus (no window manager)
// never takes it away either.
static void ReleaseKeysWhenTheKeyboardLeaves() {
  if (!gAutoPause && !Sys_AnyKeyDown()) {
    gHadKeyboard = false;
    return;
  }
  bool hasKeyboard = Sys_IsMainWindowActive();
  if (gHadKeyboard && !hasKeyboard) Sys_ClearKeyStates();
  gHadKeyboard = hasKeyboard;
}

// A paused game, or one whose window cannot be seen, draws only when what it
// shows changes; otherwise the frame only polls and the pacing sleeps.
static bool gMainWindowShown = true;
static bool gCameraGliding = false;  // the last drawn frame moved the camera: keep drawing until it rests
struct cShownState {
  float view[16];
  float targets[10];  // where the camera glides to (anchor, frame, yaw, pitch, distance): a draw starts the glide
  const cIGameMode* mode;
  uint32_t objects;
  int32_t wireframe, lights, debugInfo;
  int width, height;
  bool operator==(const cShownState&) const = default;
};
static cShownState gLastShown;
static bool gShownOnce = false;
static uint32_t gFramesDrawn = 0;

static cShownState CurrentShownState() {
  cShownState s{};
  ComputeCameraView(s.view);
  const cCameraState& camera = GetCameraState();
  std::copy(camera.targetAnchor, camera.targetAnchor + 3, s.targets);
  std::copy(camera.targetFrame, camera.targetFrame + 4, s.targets + 3);
  s.targets[7] = camera.targetYaw;
  s.targets[8] = camera.targetPitch;
  s.targets[9] = camera.targetDistance;
  s.mode = gCurrentGameMode;
  s.objects = GetSceneManager().GetObjectCount();
  s.wireframe = gWireframe;
  s.lights = gLightsOn;
  s.debugInfo = gShowDebugInfo;
  GetGLWindowSize(&s.width, &s.height);
  return s;
}

// Called once per frame, after the update: must this frame be drawn?
// The message board as of the last check: a message shown, repeated or gone
// needs a draw; one that only stays on the board does not.
static uint32_t gMessagesSeen = 0;
static bool FrameNeedsDrawing() {
  const bool requested = Sys_TakeRedrawRequest();
  const uint32_t messages = GetGLFMessageBoard().GetVersion();
  const bool messagesChanged = messages != gMessagesSeen;
  gMessagesSeen = messages;
  if (!gMainWindowShown) return false;  // an exposure draws through the display callback
  if (!gPaused || requested || gCameraGliding || !gShownOnce || messagesChanged) return true;
  return !(CurrentShownState() == gLastShown);
}

void OnMainWindowStatus(int status) {
  gMainWindowShown = status != GLUT_HIDDEN && status != GLUT_FULLY_COVERED;
  if (gMainWindowShown) Sys_RequestRedraw();
}

uint32_t GetFramesDrawn() { return gFramesDrawn; }
uint32_t GetFramesPlayed() { return gFramesPlayed; }
uint32_t GetLastFrameHolds() { return gLastFrameHolds; }

// What lies under a resting pointer changes when the camera moves (a key
// turn, a glide, a drag, a scroll at the window's edge): the mode then hears
// of the pointer where it rests, as of a move, so that its hover texts and
// whatever else follows the pointer follow the picture too.
static void ShowThePointerAfterACameraMove() {
  static float seen[32];
  float view[32];
  ComputeCameraView(view);
  GetCameraViewMatrix(view + 16);
  if (std::equal(view, view + 32, seen)) return;
  std::copy(view, view + 32, seen);
  int x = 0, y = 0;
  if (Sys_MouseWindowPosition(x, y)) gCurrentGameMode->OnMouseMove(x, y);
}

// With the civ test camera, holding the civ mouse button focuses the camera on
// the planet point under the mouse.
static void FocusCivTestCameraUnderMouse() {
  float ray[6];
  ScreenPointToRay(gMouseX, gMouseY, ray);
  float hit[3];
  if (GetPlanetModel().IntersectRay(ray, hit)) CameraFocusOnPoint(hit);
}

void OnIdle() {
  FollowGameWindowBox();  // also while the game holds: the player may be dragging its edge
  if (AdvanceFrame()) PresentFrame();
}

bool AdvanceFrame() {
  PollDebugConsoleInput();  // the terminal stays live even while frames are skipped
  Sys_PumpOutput();         // what a slow reader left waiting goes out as far as it is taken
  glutSetWindow(gMainWindow);
  if (gFirstFrame) {
    gLastFrameTime = Sys_Milliseconds();
    gFirstFrame = false;
  }
  ReleaseKeysWhenTheKeyboardLeaves();
  // Another window active skips the whole frame; the pointer pause and the
  // player's stop the game clock (gPaused) but let the frame run on: the
  // camera still moves.
  const bool skipped = gAutoPause && !gHadKeyboard;
  gLastFrameHolds = (skipped ? kHeldByAnotherWindow : 0u) | (gAutoPause && !gMouseInWindow ? kHeldByPointer : 0u) |
                    (gUserPause ? kPausedByPlayer : 0u);
  if (skipped) {
    gLastFrameTime = Sys_Milliseconds();
    Sys_SleepMs(10);  // a skipped frame must not spin a core
    return false;
  }
  if (!gPaused) {
    ++gFramesPlayed;
    StepGameClock();
  }

  // One clock reading per frame, so the seconds and the milliseconds agree.
  uint32_t now = Sys_Milliseconds();
  uint32_t ms = GetFixedFrameStep() ? GetFixedFrameStep() : now - gLastFrameTime;
  gFrameSeconds = (float)ms * 0.001f;
  gLastFrameTime = now;
  if (ms > 500) ms = 500;

  gAppKeyBindings.Poll();

  gMouseDevice.Poll();
  int dx = 0, dy = 0, wheel = 0;
  gMouseDevice.GetMovement(dx, dy, wheel);
  if (!gMouseDevice.IsButtonDown(2) || gCurrentGameMode == gCreatureGameMode) dx = dy = 0;
  if (gUseCivTestCamera) dx = 0;

  bool civPressHeld = gUseCivTestCamera && gCivPressStopwatch.IsRunning() && gCivPressStopwatch.GetElapsed() > 500;
  if (civPressHeld && gCivFocusStopwatch.GetElapsed() > 150) {
    wheel += 1;
    FocusCivTestCameraUnderMouse();
    gCivFocusStopwatch.Restart();
  }
  UpdateCamera(dx, dy, wheel, gFrameSeconds);
  if (civPressHeld) FocusCivTestCameraUnderMouse();
  ShowThePointerAfterACameraMove();

  GetDataManager()->CommitPending();

  if (!gPaused) {
    GetSceneParticleManager().Update(gFrameSeconds);
    gCurrentGameMode->Update(ms);
  }
  return true;
}

void PresentFrame() {
  if (FrameNeedsDrawing()) OnDisplay();

  if (gPendingGameMode) {
    gCurrentGameMode->Leave();
    gCurrentGameMode = gPendingGameMode;
    gCurrentGameMode->Enter();
    gPendingGameMode = nullptr;
  }
  // Every key table has polled: a press no binding read must not fire a
  // binding made later (another mode's key file), nor keep the focus asked.
  Sys_ForgetKeyPresses();
}

// The window size the last frame was drawn at. The size comes from the main
// window's reshape callback (asking X for it is a round trip, and X may know a
// new size before GLUT has reshaped to it): the frame sets its own viewport
// from it, and picks and the overlay use that same size.
static int gFrameWidth = 0, gFrameHeight = 0;

void OnMainWindowReshape(int width, int height) {
  NoteWindowSize2D(width, height);
  glViewport(0, 0, width, height);
  Sys_RequestRedraw();
  NoteGameWindowBoxChanged();
}

void OnMainWindowPosition(int, int) { NoteGameWindowBoxChanged(); }

bool GetFrameWindowSize(int& width, int& height) {
  if (gFrameWidth < 1 || gFrameHeight < 1) return false;
  width = gFrameWidth;
  height = gFrameHeight;
  return true;
}

void SetupProjection() {
  int w = 0, h = 0;
  GetGLWindowSize(&w, &h);
  glViewport(0, 0, w, h);
  gFrameWidth = std::max(1, w);
  gFrameHeight = std::max(1, h);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(40.0, (double)w / (double)(h > 0 ? h : 1), 0.1, 10000.0);  // a minimised window has no height
  float projection[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  SetCameraViewMatrix(projection);
  UpdateCameraFrame();
  glMatrixMode(GL_MODELVIEW);
  float view[16];
  ApplyCameraView(view);
}

// "Show Debug Info": the frame rate and the camera, in the bottom right corner,
// where no mode's HUD draws (their panels take the top left, the civ map the
// bottom left, messages the top centre).
constexpr int kDebugOverlayLines = 3, kDebugOverlayMargin = 8, kDebugOverlayShadow = 1;

sRect2D DebugOverlayBox(int windowWidth, int windowHeight, int textWidth) {
  const int height = cGLFTextList::kLinePitch * kDebugOverlayLines;
  const int x = std::max(windowWidth - textWidth - kDebugOverlayMargin, 0);
  const int y = std::max(windowHeight - height - kDebugOverlayMargin, 0);  // Draw puts the first baseline 16 below y
  return {x - kDebugOverlayShadow, y - kDebugOverlayShadow, x + textWidth, y + height + kTextDescent2D};
}

void DrawDebugOverlay() {
  float yaw, pitch, distance;
  GetCameraAngles(&yaw, &pitch, &distance);
  gDebugOverlayText.Clear();
  gDebugOverlayText << "FPS: " << gFramesPerSecond;
  gDebugOverlayText.EndLine();
  gDebugOverlayText << "Camera Distance: " << distance;
  gDebugOverlayText.EndLine();
  gDebugOverlayText << "Camera Pitch: " << pitch;
  gDebugOverlayText.EndLine();
  int windowWidth = 0, windowHeight = 0, width = 0, height = 0;
  GetWindowSize2D(&windowWidth, &windowHeight);
  gDebugOverlayText.GetSize(&width, &height);
  const sRect2D box = DebugOverlayBox(windowWidth, windowHeight, width);
  const int x = box.x0 + kDebugOverlayShadow, y = box.y0 + kDebugOverlayShadow;
  // A black shadow on every side, then the text in white.
  SetColour2D(0.0f, 0.0f, 0.0f);
  const int offsets[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
  for (const auto& o : offsets) gDebugOverlayText.Draw(x + o[0] - 1, y + o[1] - 1);
  SetColour2D(1.0f, 1.0f, 1.0f);
  gDebugOverlayText.Draw(x, y);
}

void OnDisplay() {
  float viewBefore[16];
  ComputeCameraView(viewBefore);
  RenderFrame();
  glutSwapBuffers();
  ++gFramesDrawn;
  gLastShown = CurrentShownState();
  gShownOnce = true;
  gCameraGliding = !std::equal(viewBefore, viewBefore + 16, gLastShown.view);
}

void RenderFrame() {
  glutSetWindow(gMainWindow);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  SetupProjection();

  const GLfloat position0[] = {1.0f, 0.0f, 0.1f, 0.0f}, position1[] = {1.0f, 0.0f, -0.1f, 0.0f};
  glLightfv(GL_LIGHT0, GL_POSITION, position0);
  glLightfv(GL_LIGHT1, GL_POSITION, position1);
  const GLfloat litDiffuse[] = {0.7f, 0.7f, 0.7f, 1.0f}, litAmbient[] = {0.3f, 0.3f, 0.3f, 1.0f};
  const GLfloat flatDiffuse[] = {0.0f, 0.0f, 0.0f, 1.0f}, flatAmbient[] = {1.0f, 1.0f, 1.0f, 1.0f};
  glLightfv(GL_LIGHT0, GL_DIFFUSE, gLightsOn ? litDiffuse : flatDiffuse);
  glLightfv(GL_LIGHT1, GL_AMBIENT, gLightsOn ? litAmbient : flatAmbient);

  HoldPieMenuDraws();  // an open menu covers every panel and text of the mode
  gCurrentGameMode->OnRender();
  DrawHeldPieMenus();

  if (gFrameRateStopwatch.GetElapsed() > 5000) {
    gFramesPerSecond = (float)gFrameCount / ((float)gFrameRateStopwatch.GetElapsed() * 0.001f);
    gFrameCount = 0;
    gFrameRateStopwatch.Restart();
  }
  ++gFrameCount;

  Begin2D();
  if (gShowDebugInfo) DrawDebugOverlay();
  GetGLFMessageBoard().Draw();
  End2D();
}

void OnMotion(int x, int y) {
  Sys_RequestRedraw();
  gMouseX = x;
  gMouseY = y;
  Sys_NoteMouseMotion(x, y);
  gCurrentGameMode->OnMouseMove(x, y);
}

void OnPassiveMotion(int x, int y) {
  Sys_RequestRedraw();
  gMouseX = x;
  gMouseY = y;
  Sys_NoteMouseMotion(x, y);
  int width = 0, height = 0;
  GetGLWindowSize(&width, &height);
  const float w = (float)width, h = (float)height;
  float edgeX = (float)x < w * 0.5f ? (float)x + 1.0f : (float)x - w - 1.0f;
  float edgeY = (float)y < h * 0.5f ? -((float)y + 1.0f) : h - (float)y - 1.0f;
  SetCameraEdgeDistance(edgeX, edgeY);
  gCurrentGameMode->OnMouseMove(x, y);
}

void OnMouse(int button, int state, int x, int y) {
  Sys_RequestRedraw();
  gMouseX = x;
  gMouseY = y;
  Sys_NoteMouseButton(button, state == 0, x, y);  // the mouse device and the key state
  if (state == 0 && button <= 2) Sys_TakeKeyboardOnClick(gMainWindow);  // as a click-to-focus manager would
  cIGameMode* mode = gCurrentGameMode;
  if (state == 0) {
    if (button == 0) mode->OnLeftButtonDown(x, y);
    else if (button == 1) mode->OnMiddleButtonDown(x, y);
    else if (button == 2) mode->OnRightButtonDown(x, y);
  } else if (state == 1) {
    if (button == 0) mode->OnLeftButtonUp(x, y);
    else if (button == 1) mode->OnMiddleButtonUp(x, y);
    else if (button == 2) mode->OnRightButtonUp(x, y);
  }
}

void OnMainWindowEntry(int state) {
  Sys_RequestRedraw();
  if (state == 0) {
    Sys_NoteMouseLeft();
    Sys_ClearKeyStates();  // a key released over another window is never reported here
  }
  OnEntry(state);
}

// GLUT key events also keep the key state that the bindings poll; the special
// keys reach the modes through nothing else.
void OnSpecialKey(int key, int, int) {
  Sys_RequestRedraw();
  Sys_NoteGlutSpecialKey(key, true, glutGetModifiers());
}
void OnSpecialKeyUp(int key, int, int) {
  Sys_RequestRedraw();
  Sys_NoteGlutSpecialKey(key, false, glutGetModifiers());
}
void OnKeyboardUp(unsigned char key, int, int) {
  Sys_RequestRedraw();
  Sys_NoteGlutKey(key, false, glutGetModifiers());
}
