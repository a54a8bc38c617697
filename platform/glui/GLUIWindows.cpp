// Panel windows: one freeglut window and one ImGui context per panel, the input
// queue that feeds ImGui, the frame pump, the idle hook and closing.
#include <GL/freeglut.h>
#include <imgui.h>
#include <imgui_impl_glut.h>
#include <imgui_impl_opengl2.h>

#include <cfloat>
#include <cmath>
#include <cstdio>

#include "platform/Sys.h"
#include "platform/glui/GLUIFrame.h"
#include "platform/glui/GLUIInternal.h"

namespace {

struct cPanelRegistry {
  std::vector<GLUI*> panels;  // creation order; never shrinks, so pointers handed out stay valid
  void (*userIdle)() = nullptr;
  uint32_t lastIdlePumpMs = 0u - 1000u;  // long enough before start that the first idle pass pumps
  bool inFrame = false;       // a frame is being drawn: no second one may start inside it
  bool closeActionOverridden = false;
  int savedCloseAction = 0;
  std::vector<int> closedWindowIds;  // GLUT may reuse an id later; until then it names a dead window
  int keptAbove = 0;                 // the window every panel is a tool window of (0: none)
  void (*panelsMoved)() = nullptr;
};

cPanelRegistry& Registry() {
  static cPanelRegistry* registry = new cPanelRegistry();  // never freed: GLUT may call back during teardown
  return *registry;
}

constexpr int kFramesPerSecond = 60;  // at most, when the display does not pace the swaps itself
constexpr int kIdleRedrawMs = 16;  // the idle hook redraws panels at most this often unless input waits
constexpr int kFirstWidth = 40, kFirstHeight = 40;  // control panels grow to their contents from here

GLUI* PanelForWindow(int windowId) {
  if (windowId <= 0) return nullptr;
  for (GLUI* panel : Registry().panels)
    if (panel->get_glut_window_id() == windowId) return panel;
  return nullptr;
}

GLUI* CurrentPanel() { return PanelForWindow(glutGetWindow()); }

bool IsLiveWindow(int windowId) {
  if (windowId <= 0) return false;
  for (int closed : Registry().closedWindowIds)  // our own closed windows are known dead; others we trust
    if (closed == windowId) return false;
  return true;
}

// ---- GLUT callbacks of panel windows: everything is queued for the next frame --

void OnPanelMouse(int button, int state, int x, int y) {
  GLUI* panel = CurrentPanel();
  if (!panel) return;
  // A panel clicked has the keyboard, with a window manager or without one.
  if (state == GLUT_DOWN && button <= GLUT_RIGHT_BUTTON) Sys_TakeKeyboardOnClick(glutGetWindow());
  GLUI_Layer::Queue(panel, {GLUI_InputEvent::Button, button, state, x, y, glutGetModifiers()});
}
void OnPanelMotion(int x, int y) {
  if (GLUI* panel = CurrentPanel()) GLUI_Layer::Queue(panel, {GLUI_InputEvent::Move, 0, 0, x, y, 0});
}
void OnPanelWheel(int wheel, int direction, int x, int y) {
  if (GLUI* panel = CurrentPanel()) GLUI_Layer::Queue(panel, {GLUI_InputEvent::Wheel, direction, 0, x, y, 0});
}
void OnPanelKey(unsigned char key, int x, int y) {
  if (GLUI* panel = CurrentPanel())
    GLUI_Layer::Queue(panel, {GLUI_InputEvent::KeyDown, key, 0, x, y, glutGetModifiers()});
}
void OnPanelKeyUp(unsigned char key, int x, int y) {
  if (GLUI* panel = CurrentPanel())
    GLUI_Layer::Queue(panel, {GLUI_InputEvent::KeyUp, key, 0, x, y, glutGetModifiers()});
}
void OnPanelSpecial(int key, int x, int y) {
  if (GLUI* panel = CurrentPanel())
    GLUI_Layer::Queue(panel, {GLUI_InputEvent::SpecialDown, key, 0, x, y, glutGetModifiers()});
}
void OnPanelSpecialUp(int key, int x, int y) {
  if (GLUI* panel = CurrentPanel())
    GLUI_Layer::Queue(panel, {GLUI_InputEvent::SpecialUp, key, 0, x, y, glutGetModifiers()});
}
void OnPanelEntry(int state) {
  if (state == GLUT_LEFT)
    if (GLUI* panel = CurrentPanel()) GLUI_Layer::Queue(panel, {GLUI_InputEvent::Leave, 0, 0, 0, 0, 0});
}
void OnPanelReshape(int width, int height) {
  if (GLUI* panel = CurrentPanel()) {
    GLUI_Layer::FrameOf(panel).width = width;
    GLUI_Layer::FrameOf(panel).height = height;
    GLUI_Layer::FrameOf(panel).mustShow = true;
    if (Registry().panelsMoved) Registry().panelsMoved();  // the player may have resized it
  }
}
void OnPanelPosition(int, int) {
  if (Registry().panelsMoved) Registry().panelsMoved();
}
// A tool window of that window, or (0) an ordinary one, unless it is so already.
void KeepAbove(GLUI* panel, int windowId) {
  GLUI::Frame& frame = GLUI_Layer::FrameOf(panel);
  if (panel->is_closed() || frame.keptAbove == windowId) return;
  frame.keptAbove = windowId;
  Sys_KeepWindowAbove(panel->get_glut_window_id(), windowId);
}
void OnPanelDisplay() {
  // Exposed windows are redrawn at once; the idle hook keeps them current after that.
  GLUI* panel = CurrentPanel();
  if (!panel || Registry().inFrame) return;
  GLUI_Layer::FrameOf(panel).mustShow = true;
  GLUI_PumpFrame();
}

// FNV-1a over everything ImGui would draw: equal hashes, equal pictures.
uint64_t HashDrawData(const ImDrawData* data) {
  uint64_t h = 1469598103934665603ull;
  auto mix = [&h](const void* bytes, size_t size) {
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    for (size_t i = 0; i < size; ++i) h = (h ^ p[i]) * 1099511628211ull;
  };
  if (!data) return h;
  mix(&data->DisplaySize, sizeof data->DisplaySize);
  for (int n = 0; n < data->CmdListsCount; ++n) {
    const ImDrawList* list = data->CmdLists[n];
    mix(list->VtxBuffer.Data, (size_t)list->VtxBuffer.Size * sizeof(ImDrawVert));
    mix(list->IdxBuffer.Data, (size_t)list->IdxBuffer.Size * sizeof(ImDrawIdx));
    for (const ImDrawCmd& cmd : list->CmdBuffer) {
      mix(&cmd.ClipRect, sizeof cmd.ClipRect);
      mix(&cmd.TextureId, sizeof cmd.TextureId);
      mix(&cmd.ElemCount, sizeof cmd.ElemCount);
      mix(&cmd.IdxOffset, sizeof cmd.IdxOffset);
      mix(&cmd.VtxOffset, sizeof cmd.VtxOffset);
    }
  }
  return h;
}

// freeglut is destroying a panel window itself: at the end of the main loop,
// or as a window manager's close were the window not kept open. Closing a
// side panel must not end the program, whatever the close action says.
void OnPanelWindowClosed() {
  GLUI* panel = CurrentPanel();
  if (!panel || GLUI_Layer::Closed(panel)) return;
  cPanelRegistry& registry = Registry();
  if (!registry.closeActionOverridden) {
    registry.savedCloseAction = glutGet(GLUT_ACTION_ON_WINDOW_CLOSE);
    registry.closeActionOverridden = true;
  }
  glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
  GLUI_Layer::Destroy(panel, true);
}

void RestoreCloseAction() {
  cPanelRegistry& registry = Registry();
  if (!registry.closeActionOverridden) return;
  glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, registry.savedCloseAction);
  registry.closeActionOverridden = false;
}

// ---- input queue ------------------------------------------------------------------

bool IsStateChange(GLUI_InputEvent::Type type) {
  return type == GLUI_InputEvent::Button || type == GLUI_InputEvent::KeyDown || type == GLUI_InputEvent::KeyUp ||
         type == GLUI_InputEvent::SpecialDown || type == GLUI_InputEvent::SpecialUp;
}

void SetKeyDown(ImGuiIO& io, int key, bool down) {
  // GLUT reports Ctrl+A..Z as 1..26 and letters in either case: mark every spelling.
  if (key >= 1 && key <= 26) io.KeysDown[key] = io.KeysDown[key - 1 + 'a'] = io.KeysDown[key - 1 + 'A'] = down;
  else if (key >= 'a' && key <= 'z') io.KeysDown[key] = io.KeysDown[key - 'a' + 'A'] = down;
  else if (key >= 'A' && key <= 'Z') io.KeysDown[key] = io.KeysDown[key - 'A' + 'a'] = down;
  else if (key >= 0 && key < (int)IM_ARRAYSIZE(io.KeysDown)) io.KeysDown[key] = down;
}

void ApplyEvent(ImGuiIO& io, const GLUI_InputEvent& event) {
  // Only button and key callbacks may ask GLUT for the modifiers; motion, wheel
  // and leave events carry none and must not release a held Ctrl.
  if (IsStateChange(event.type)) {
    io.KeyCtrl = (event.modifiers & GLUT_ACTIVE_CTRL) != 0;
    io.KeyShift = (event.modifiers & GLUT_ACTIVE_SHIFT) != 0;
    io.KeyAlt = (event.modifiers & GLUT_ACTIVE_ALT) != 0;
  }
  switch (event.type) {
    case GLUI_InputEvent::Move: io.MousePos = ImVec2((float)event.x, (float)event.y); break;
    case GLUI_InputEvent::Leave: io.MousePos = ImVec2(-FLT_MAX, -FLT_MAX); break;
    case GLUI_InputEvent::Button: {
      io.MousePos = ImVec2((float)event.x, (float)event.y);
      int button = event.code == GLUT_LEFT_BUTTON ? 0 : event.code == GLUT_RIGHT_BUTTON ? 1
                 : event.code == GLUT_MIDDLE_BUTTON ? 2 : -1;
      if (button >= 0) io.MouseDown[button] = event.state == GLUT_DOWN;
      break;
    }
    case GLUI_InputEvent::Wheel:
      io.MousePos = ImVec2((float)event.x, (float)event.y);
      io.MouseWheel += event.code > 0 ? 1.0f : event.code < 0 ? -1.0f : 0.0f;
      break;
    case GLUI_InputEvent::KeyDown:
      if (event.code >= 32 && event.code != 127) io.AddInputCharacter((unsigned)event.code);
      SetKeyDown(io, event.code, true);
      break;
    case GLUI_InputEvent::KeyUp: SetKeyDown(io, event.code, false); break;
    case GLUI_InputEvent::SpecialDown:
    case GLUI_InputEvent::SpecialUp:
      if (event.code >= 0 && event.code + 256 < (int)IM_ARRAYSIZE(io.KeysDown))
        io.KeysDown[event.code + 256] = event.type == GLUI_InputEvent::SpecialDown;
      if (event.type == GLUI_InputEvent::SpecialUp) {  // the modifiers came from before the release
        if (event.code == GLUT_KEY_CTRL_L || event.code == GLUT_KEY_CTRL_R) io.KeyCtrl = false;
        if (event.code == GLUT_KEY_SHIFT_L || event.code == GLUT_KEY_SHIFT_R) io.KeyShift = false;
        if (event.code == GLUT_KEY_ALT_L || event.code == GLUT_KEY_ALT_R) io.KeyAlt = false;
      }
      break;
  }
}

bool IsKey(GLUI_InputEvent::Type type) { return IsStateChange(type) && type != GLUI_InputEvent::Button; }

// ImGui 1.86 reads button and key state once per frame, so a press and release
// that arrive together would be lost: hand it at most one state change per frame.
void DrainInput(GLUI::Frame& frame, ImGuiIO& io) {
  bool changed = false;
  while (!frame.events.empty()) {
    GLUI_InputEvent event = frame.events.front();
    bool stateChange = IsStateChange(event.type);
    if ((stateChange && changed) || (frame.keysWait && IsKey(event.type))) break;
    frame.events.pop_front();
    changed = changed || stateChange;
    ApplyEvent(io, event);
  }
}

void MakeMainGfxWindowCurrent(GLUI* panel) {
  int target = panel ? panel->get_main_gfx_window() : -1;
  if (target <= 0) {
    for (GLUI* candidate : Registry().panels)
      if (!GLUI_Layer::Closed(candidate) && candidate->get_main_gfx_window() > 0) {
        target = candidate->get_main_gfx_window();
        break;
      }
  }
  if (IsLiveWindow(target)) glutSetWindow(target);
}

// A field's typing is committed by Return; a click elsewhere in the panel
// drops it. Left for another window (the game, another panel), the field
// would stay mid-edit and show the typed number, which the game does not
// use, for as long as the panel is not clicked: losing the keyboard drops it
// too. Only a loss counts: a manager gives a clicked panel the keyboard a
// little after the click has started the edit. The debug window's command
// box keeps its line.
void DropEditLeftForAnotherWindow(GLUI* panel) {
  GLUI::Frame& frame = GLUI_Layer::FrameOf(panel);
  if (frame.customDraw || !ImGui::GetIO().WantTextInput) {
    frame.editHadKeyboard = false;
    return;
  }
  const bool hasKeyboard = Sys_WindowHasKeyboard(panel->get_glut_window_id());
  if (frame.editHadKeyboard && !hasKeyboard) ImGui::SetWindowFocus(nullptr);  // ends the edit, as a click elsewhere
  frame.editHadKeyboard = hasKeyboard;
}

void RunAfterFrameActions(GLUI* panel) {
  GLUI::Frame& frame = GLUI_Layer::FrameOf(panel);
  if (frame.afterFrame.empty()) return;
  std::vector<std::function<void()>> actions;
  actions.swap(frame.afterFrame);  // an action may pump frames itself and queue more
  for (auto& action : actions) {
    MakeMainGfxWindowCurrent(panel);
    action();
  }
}

void IdleHook(bool throttle) {
  cPanelRegistry& registry = Registry();
  if (registry.userIdle) {
    MakeMainGfxWindowCurrent(nullptr);
    registry.userIdle();
  }
  const int now = glutGet(GLUT_ELAPSED_TIME);
  if (!throttle || GLUI_IdlePumpDue(now, registry.lastIdlePumpMs) || GLUI_Layer::AnyInputWaiting()) {
    registry.lastIdlePumpMs = (uint32_t)now;
    GLUI_PumpFrame();
  }
}

// GLUT's own idle hook paces frames by the real clock; tests pump frames with
// run_idle_once and a fake clock, so they are never slowed down.
void ThrottledIdleHook() {
  Sys_PaceFrames(kFramesPerSecond);
  IdleHook(true);
}

}  // namespace

// ---- the layer -------------------------------------------------------------------

// The time since the last pump is taken modulo 2^32, never as a signed
// difference: that overflows as the count passes INT_MAX, and reads a pump
// more than 24.8 days back as one in the future.
bool GLUI_IdlePumpDue(int glutElapsedMs, uint32_t lastPumpMs) {
  return (uint32_t)glutElapsedMs - lastPumpMs >= (uint32_t)kIdleRedrawMs;
}

std::vector<GLUI*>& GLUI_Layer::Panels() { return Registry().panels; }

bool GLUI_Layer::AnyInputWaiting() {
  for (GLUI* panel : Registry().panels)
    if (!Closed(panel) && !FrameOf(panel).events.empty()) return true;
  return false;
}

void GLUI_Layer::Queue(GLUI* panel, const GLUI_InputEvent& event) {
  if (Closed(panel)) return;
  ReleaseGameKey(event);
  std::deque<GLUI_InputEvent>& events = FrameOf(panel).events;
  // Motion floods in far faster than frames: keep only the latest of a run.
  if (event.type == GLUI_InputEvent::Move && !events.empty() && events.back().type == GLUI_InputEvent::Move)
    events.back() = event;
  else
    events.push_back(event);
}

GLUI* GLUI_Layer::NewPanel(const char* name, int windowId) {
  GLUI* panel = new GLUI(name, windowId);
  panel->mFrame = std::unique_ptr<GLUI::Frame, void (*)(GLUI::Frame*)>(new GLUI::Frame(),
                                                                       [](GLUI::Frame* frame) { delete frame; });
  Registry().panels.push_back(panel);
  return panel;
}

GLUI* GLUI_Layer::CreateWindowed(const char* name, int x, int y, int width, int height, bool autoSize) {
  if (!glutGet(GLUT_INIT_STATE)) {
    // No GLUT yet: hand back a closed panel so callers can still add controls safely.
    Sys_Print(SysStream::Err, "GLUI: \"%s\" requested before glutInit; the panel stays closed\n", name ? name : "");
    GLUI* panel = NewPanel(name, 0);
    Closed(panel) = true;
    Visible(panel) = false;
    return panel;
  }
  int previousWindow = glutGetWindow();
  // Panels must not disturb the start-up window settings the game set for itself.
  int savedX = glutGet(GLUT_INIT_WINDOW_X), savedY = glutGet(GLUT_INIT_WINDOW_Y);
  int savedWidth = glutGet(GLUT_INIT_WINDOW_WIDTH), savedHeight = glutGet(GLUT_INIT_WINDOW_HEIGHT);
  unsigned savedMode = (unsigned)glutGet(GLUT_INIT_DISPLAY_MODE);
  if (x >= 0 && y >= 0) glutInitWindowPosition(x, y);
  glutInitWindowSize(width, height);
  glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE);
  int windowId = Sys_CreateGlutWindow(name ? name : "");
  std::erase(Registry().closedWindowIds, windowId);  // GLUT reused a dead window's id
  Sys_KeepWindowOpen(windowId, true);  // panels close with the game, not by their close buttons
  glutInitWindowPosition(savedX, savedY);
  glutInitWindowSize(savedWidth, savedHeight);
  glutInitDisplayMode(savedMode);

  GLUI* panel = NewPanel(name, windowId);
  GLUI::Frame& frame = FrameOf(panel);
  frame.width = width;
  frame.height = height;
  frame.autoSize = autoSize;
  KeepAbove(panel, Registry().keptAbove);

  glutDisplayFunc(OnPanelDisplay);
  glutReshapeFunc(OnPanelReshape);
  glutMouseFunc(OnPanelMouse);
  glutMotionFunc(OnPanelMotion);
  glutPassiveMotionFunc(OnPanelMotion);
  glutMouseWheelFunc(OnPanelWheel);
  glutKeyboardFunc(OnPanelKey);
  glutKeyboardUpFunc(OnPanelKeyUp);
  glutSpecialFunc(OnPanelSpecial);
  glutSpecialUpFunc(OnPanelSpecialUp);
  glutEntryFunc(OnPanelEntry);
  glutCloseFunc(OnPanelWindowClosed);
  glutPositionFunc(OnPanelPosition);

  ImGuiContext* previousContext = ImGui::GetCurrentContext();
  frame.context = ImGui::CreateContext();
  ImGui::SetCurrentContext(frame.context);
  ImGuiIO& io = ImGui::GetIO();
  io.IniFilename = nullptr;  // panels have fixed layouts: nothing to remember between runs
  io.LogFilename = nullptr;
  ImGui::StyleColorsDark();
  ImGui::GetStyle().ScrollbarSize = (float)kGLUIScrollbarSize;
  ImGui_ImplGLUT_Init();
  ImGui_ImplOpenGL2_Init();
  ImGui::SetCurrentContext(previousContext);

  if (previousWindow > 0) glutSetWindow(previousWindow);
  return panel;
}

void GLUI_Layer::DrawFrame(GLUI* panel) {
  cPanelRegistry& registry = Registry();
  GLUI::Frame& frame = FrameOf(panel);
  if (registry.inFrame || Closed(panel) || !frame.context) return;
  registry.inFrame = true;
  glutSetWindow(panel->get_glut_window_id());
  ImGuiContext* previousContext = ImGui::GetCurrentContext();
  ImGui::SetCurrentContext(frame.context);
  ImGuiIO& io = ImGui::GetIO();
  io.DisplaySize = ImVec2((float)(frame.width > 0 ? frame.width : 1), (float)(frame.height > 0 ? frame.height : 1));
  DrainInput(frame, io);
  frame.itemRects.clear();

  ImGui_ImplOpenGL2_NewFrame();
  ImGui_ImplGLUT_NewFrame();
  DropEditLeftForAnotherWindow(panel);
  ImGuiWindowFlags flags = ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoResize |
                           ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoSavedSettings |
                           ImGuiWindowFlags_NoBringToFrontOnFocus;
  ImGui::SetNextWindowPos(ImVec2(0, 0));
  ImGui::SetNextWindowSize(io.DisplaySize);
  // A panel cut to its column scrolls; others fit their contents and need no bars.
  const bool cut = frame.contentWidth > frame.width || frame.contentHeight > frame.height;
  if (frame.autoSize) flags |= cut ? ImGuiWindowFlags_HorizontalScrollbar : ImGuiWindowFlags_NoScrollbar;
  ImGui::Begin("##panel", nullptr, flags);
  MeasureTitle(panel);
  ImVec2 fit(0, 0);
  if (frame.customDraw) {
    frame.customDraw(panel);
  } else {
    // The controls' own extent decides the window size (ImGui's auto-fit is
    // bounded by the display, which here is the window itself).
    ImGui::BeginGroup();
    DrawControls(panel);
    ImGui::EndGroup();
    ImVec2 padding = ImGui::GetStyle().WindowPadding;
    fit = ImVec2(ImGui::GetItemRectSize().x + 2 * padding.x, ImGui::GetItemRectSize().y + 2 * padding.y);
  }
  ImGui::End();
  ImGui::Render();

  const uint64_t drawn = HashDrawData(ImGui::GetDrawData());
  if (frame.mustShow || drawn != frame.shownDrawData) {
    glViewport(0, 0, (int)io.DisplaySize.x, (int)io.DisplaySize.y);
    glClearColor(0.06f, 0.06f, 0.06f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
    glutSwapBuffers();
    frame.shownDrawData = drawn;
    frame.mustShow = false;
    ++frame.presentedFrames;
  }

  if (frame.autoSize) {
    frame.contentWidth = (int)std::ceil(fit.x);
    frame.contentHeight = (int)std::ceil(fit.y);
    int fitWidth = frame.contentWidth, fitHeight = frame.contentHeight;
    FitWithin(fitWidth, fitHeight, frame.maxWidth, frame.maxHeight);
    fitWidth = std::max(fitWidth, TitleWidthWithin(panel, frame.maxWidth));
    if (fitWidth > 0 && fitHeight > 0 && (fitWidth != frame.width || fitHeight != frame.height)) {
      glutReshapeWindow(fitWidth, fitHeight);
      frame.width = fitWidth;
      frame.height = fitHeight;
    }
    ShowTitle(panel);  // measured in the panel's font: its context is still current
  }
  ImGui::SetCurrentContext(previousContext);
  PlaceAfterFirstFrame(panel);
  registry.inFrame = false;
}

void GLUI_Layer::Destroy(GLUI* panel, bool byWindowManager) {
  GLUI::Frame& frame = FrameOf(panel);
  if (Closed(panel)) return;
  Closed(panel) = true;
  Visible(panel) = false;
  int windowId = panel->get_glut_window_id();
  int previousWindow = glutGetWindow();
  if (!byWindowManager) glutSetWindow(windowId);  // freeglut made it current before calling back
  Sys_KeepWindowOpen(windowId, false);  // its X id may be given to a later window
  if (frame.context) {
    ImGuiContext* previousContext = ImGui::GetCurrentContext();
    ImGui::SetCurrentContext(frame.context);
    ImGui_ImplOpenGL2_Shutdown();  // frees the font texture while its GL context is current
    ImGui_ImplGLUT_Shutdown();
    ImGui::DestroyContext(frame.context);
    ImGui::SetCurrentContext(previousContext == frame.context ? nullptr : previousContext);
    frame.context = nullptr;
  }
  frame.events.clear();
  frame.itemRects.clear();
  if (!byWindowManager) {
    glutCloseFunc(nullptr);  // our own close: not a window-manager close
    glutDestroyWindow(windowId);
    if (previousWindow > 0 && previousWindow != windowId && IsLiveWindow(previousWindow))
      glutSetWindow(previousWindow);
  }
  Registry().closedWindowIds.push_back(windowId);
  WindowId(panel) = 0;
}

// ---- GLUI window operations ----------------------------------------------------------

void GLUI::SetShown(bool shown) {
  if (mClosed) return;
  mVisible = shown;
  int previousWindow = glutGetWindow();
  glutSetWindow(mWindowId);
  if (shown) glutShowWindow();
  else glutHideWindow();
  if (previousWindow > 0 && previousWindow != mWindowId) glutSetWindow(previousWindow);
}

void GLUI::show() { SetShown(true); }
void GLUI::hide() { SetShown(false); }

void GLUI::close() {
  if (mClosed) return;
  if (Registry().inFrame) mFrame->pendingClose = true;
  else GLUI_Layer::Destroy(this, false);
}

GLUI* GLUI_Master_Object::create_glui(const char* name, long flags, int x, int y) {
  GLUI* panel = GLUI_Layer::CreateWindowed(name, x, y, kFirstWidth, kFirstHeight, true);
  if ((x < 0 || y < 0) && !panel->is_closed()) GLUI_Layer::TakeDefaultPlacement(panel);
  return panel;
}

void GLUI_Master_Object::set_glutIdleFunc(void (*idle)()) {
  Registry().userIdle = idle;
  glutIdleFunc(ThrottledIdleHook);  // installed even without a function: the panels need redrawing
}

void GLUI_Master_Object::run_idle_once() { IdleHook(false); }

void GLUI_Master_Object::keep_panels_above(int windowId) {
  windowId = windowId > 0 ? windowId : 0;
  if (windowId == Registry().keptAbove) return;
  Registry().keptAbove = windowId;
  for (GLUI* panel : Registry().panels)
    KeepAbove(panel, windowId);
}

void GLUI_Master_Object::set_panels_moved_func(void (*moved)()) { Registry().panelsMoved = moved; }

void GLUI_Master_Object::close_all() {
  for (GLUI* panel : Registry().panels) panel->close();
}

GLUI* GLUI_Master_Object::find_glui_by_window_id(int windowId) {
  GLUI* panel = PanelForWindow(windowId);
  return panel && !panel->is_closed() ? panel : nullptr;
}

std::vector<GLUI*> GLUI_Master_Object::shown_panels() {
  std::vector<GLUI*> shown;
  for (GLUI* panel : Registry().panels)
    if (!panel->is_closed() && panel->is_visible()) shown.push_back(panel);
  return shown;
}

void GLUI_Master_Object::set_glutDisplayFunc(void (*f)()) { glutDisplayFunc(f); }
void GLUI_Master_Object::set_glutReshapeFunc(void (*f)(int, int)) { glutReshapeFunc(f); }
void GLUI_Master_Object::set_glutKeyboardFunc(void (*f)(unsigned char, int, int)) { glutKeyboardFunc(f); }
void GLUI_Master_Object::set_glutSpecialFunc(void (*f)(int, int, int)) { glutSpecialFunc(f); }
void GLUI_Master_Object::set_glutMouseFunc(void (*f)(int, int, int, int)) { glutMouseFunc(f); }

void GLUI_PumpFrame() {
  cPanelRegistry& registry = Registry();
  if (registry.inFrame) return;
  RestoreCloseAction();
  int previousWindow = glutGetWindow();
  size_t count = registry.panels.size();  // panels made by callbacks wait for the next pump
  for (size_t i = 0; i < count; ++i) {
    GLUI* panel = registry.panels[i];
    if (!GLUI_Layer::Closed(panel) && panel->is_visible()) GLUI_Layer::DrawFrame(panel);
  }
  for (size_t i = 0; i < count; ++i) RunAfterFrameActions(registry.panels[i]);
  for (size_t i = 0; i < count; ++i) {
    GLUI* panel = registry.panels[i];
    if (GLUI_Layer::FrameOf(panel).pendingClose) GLUI_Layer::Destroy(panel, false);
  }
  if (IsLiveWindow(previousWindow)) glutSetWindow(previousWindow);
}

// ---- shared with the debug view and the test hooks -----------------------------------

GLUI* GLUI_CreateCustomPanel(const char* title, int x, int y, int width, int height,
                             std::function<void(GLUI*)> draw) {
  GLUI* panel = GLUI_Layer::CreateWindowed(title, x, y, width, height, false);
  GLUI_Layer::FrameOf(panel).customDraw = std::move(draw);
  return panel;
}

void GLUI_RecordItemRect(GLUI* panel, const std::string& label) {
  ImVec2 min = ImGui::GetItemRectMin(), max = ImGui::GetItemRectMax();
  auto& rects = GLUI_Layer::FrameOf(panel).itemRects;
  if (!rects.count(label)) rects[label] = GLUI_Rect{min.x, min.y, max.x - min.x, max.y - min.y};
}

void GLUI_RunAfterFrame(GLUI* panel, std::function<void()> action) {
  GLUI_Layer::FrameOf(panel).afterFrame.push_back(std::move(action));
}

void GLUI::get_size(int* width, int* height) { GLUI_GetWindowSize(this, width, height); }

void GLUI_GetWindowSize(GLUI* panel, int* width, int* height) {
  *width = GLUI_Layer::FrameOf(panel).width;
  *height = GLUI_Layer::FrameOf(panel).height;
}
