#include <GL/freeglut.h>
#include <X11/Xatom.h>

#include <cstdlib>

#include "platform/GtkDialogs.h"
#include "platform/Sys.h"
#include "platform/X11Query.h"

// Tests queue the names a person would choose; "" cancels.
static std::vector<std::string>* gDialogAnswers = nullptr;
void Sys_SetFileDialogAnswersForTest(std::vector<std::string>* answers) { gDialogAnswers = answers; }

static Window WindowProperty(Display* display, Window window, Atom property) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  Window value = None;
  if (XGetWindowProperty(display, window, property, 0, 1, False, XA_WINDOW, &type, &format, &count, &remaining,
                         &data) == Success &&
      type == XA_WINDOW && format == 32 && count == 1)
    value = *(Window*)data;
  if (data) XFree(data);
  return value;
}

// A dialog can only be answered when a window manager runs: it names its own
// check window on the root window, and that window names itself again (a
// property left behind by a window manager that has gone names nothing).
// Asked only once the game's windows exist, so never before main.
bool Sys_DesktopCanShowDialogs() {
  if (!glutGet(GLUT_INIT_STATE)) return false;
  Display* display = X11QueryDisplay();
  if (!display) return false;
  Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
  if (check == None) return false;
  cQuietXErrors quiet(display);
  Window manager = WindowProperty(display, DefaultRootWindow(display), check);
  return manager != None && WindowProperty(display, manager, check) == manager;
}

// The check a running manager leaves on the root window: a window naming
// itself; or, gone, the one a manager that was killed leaves behind, naming a
// window destroyed at once. On the display DISPLAY names now (a test's own
// server), through a connection kept open, so the id is never given to another window.
bool Sys_PretendWindowManagerForTest(bool gone) {
  static std::vector<Display*> kept;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  kept.push_back(display);
  const Window root = DefaultRootWindow(display);
  const Window check = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
  const Atom property = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
  for (Window on : {root, check})
    XChangeProperty(display, on, property, XA_WINDOW, 32, PropModeReplace, (const unsigned char*)&check, 1);
  if (gone) XDestroyWindow(display, check);
  XSync(display, False);
  return true;
}

std::string WhyNoDesktopDialog() {
  if (!glutGet(GLUT_INIT_STATE) || !X11QueryDisplay()) return "the game has no display";
  if (!Sys_DesktopCanShowDialogs()) return "no window manager runs on the display";
  const char* backend = getenv("GDK_BACKEND");
  if (!GtkDialogsReady())
    return std::string("the desktop's toolkit could not start on the display") +
           (backend ? std::string(" with GDK_BACKEND=") + backend : std::string());
  return "";
}

// The desktop's file chooser when there is a desktop; otherwise a name typed on
// the terminal where a person can see the question and answer it, and with
// neither the dialog is cancelled (the debug window says so).
std::string Sys_FileDialog(SysFileDialog kind, const char* initialDirectory) {
  if (gDialogAnswers) {
    if (gDialogAnswers->empty()) return "";
    std::string name = gDialogAnswers->front();
    gDialogAnswers->erase(gDialogAnswers->begin());
    return name;
  }
  if (GtkDialogsReady()) return GtkChooseFile(kind, initialDirectory ? initialDirectory : Sys_CurrentDirectory());
  const bool save = kind == SysFileDialog::Save;
  std::string typed;
  Sys_AskOnTerminal(save ? "Save as (file name, empty cancels): " : "Open (file name, empty cancels): ", typed,
                    save ? "the Save As dialog was cancelled" : "the Open dialog was cancelled", WhyNoDesktopDialog());
  return typed;
}
