#include <GL/freeglut.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "platform/GtkDialogs.h"
#include "tests/support/TestSupport.h"

namespace {
struct cBusLookCase {
  const char* name;
  bool socketInRuntimeFolder;  // a session bus's socket at $XDG_RUNTIME_DIR/bus, no address given
  const char* userBackend;     // GSETTINGS_BACKEND as the user set it (null: unset)
  const char* noAtBridge;      // what the variables are after the look (null: unset)
  const char* backend;
  const char* vfs;
  const char* volumeMonitor;
};

// A listening socket, as the bus daemon leaves in the runtime folder.
bool ListenAt(const std::string& path) {
  int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
  return fd >= 0 && bind(fd, (sockaddr*)&address, sizeof(address)) == 0 && listen(fd, 1) == 0;
}
}  // namespace

// No session bus: the toolkit is kept off D-Bus, the variable the user set is
// kept; a bus found in the runtime folder leaves everything as it is. Mended:
// with XDG_RUNTIME_DIR unset, looking for a bus made ~/.cache.
TEST(GtkDialogs, TheToolkitStaysOffDBusOnlyWithoutASessionBusKeepingWhatTheUserSet) {
  const cBusLookCase cases[] = {
      {"no bus, no runtime folder", false, "dconf", "1", "dconf", "local", "unix"},
      {"a bus socket in the runtime folder", true, nullptr, nullptr, nullptr, nullptr, nullptr},
  };
  for (const cBusLookCase& c : cases) {
    SCOPED_TRACE(c.name);
    cScratchDir home, runtime;
    EXPECT_EXIT(_exit(RunBodyInChild([&] {  // the environment is the child's
                  for (const char* name : {"DISPLAY", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR", "DBUS_SESSION_BUS_ADDRESS",
                                           "NO_AT_BRIDGE", "GSETTINGS_BACKEND", "GIO_USE_VFS", "GIO_USE_VOLUME_MONITOR"})
                    unsetenv(name);
                  setenv("HOME", home.Path().c_str(), 1);
                  if (c.userBackend) setenv("GSETTINGS_BACKEND", c.userBackend, 1);
                  if (c.socketInRuntimeFolder) {
                    ASSERT_TRUE(ListenAt(runtime.File("bus")));
                    setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
                  }
                  GtkKeepOffDBusWithoutSessionBus();
                  EXPECT_STREQ(getenv("NO_AT_BRIDGE"), c.noAtBridge);
                  EXPECT_STREQ(getenv("GSETTINGS_BACKEND"), c.backend);
                  EXPECT_STREQ(getenv("GIO_USE_VFS"), c.vfs);
                  EXPECT_STREQ(getenv("GIO_USE_VOLUME_MONITOR"), c.volumeMonitor);
                  EXPECT_TRUE(std::filesystem::is_empty(home.Path())) << "made in the home folder";
                })),
                ::testing::ExitedWithCode(0), "");
  }
}

namespace {
// A top-level window titled `title` on the display (0: none), viewable ones
// only when asked. The server is grabbed meanwhile, so no window vanishes
// between the listing and the look at it.
Window WindowTitled(Display* display, const std::string& title, bool viewableOnly) {
  XGrabServer(display);
  Window root = 0, parent = 0, found = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
  for (unsigned int i = 0; i < count && !found; ++i) {
    XTextProperty name{};
    if (XGetWMName(display, children[i], &name) && name.value) {
      XWindowAttributes attributes{};
      bool titled = title == std::string((const char*)name.value, name.nitems);
      if (titled && (!viewableOnly || (XGetWindowAttributes(display, children[i], &attributes) &&
                                       attributes.map_state == IsViewable)))
        found = children[i];
    }
    if (name.value) XFree(name.value);
  }
  if (children) XFree(children);
  XUngrabServer(display);
  XSync(display, False);
  return found;
}

// How many descriptors the thread `tid` of this process waits on in poll (0:
// it waits in no poll). GTK idle in its loop waits on the display's and its
// loop's own; waiting for the server's answer, on the display's alone.
int PollingDescriptors(pid_t tid) {
  std::ifstream in("/proc/self/task/" + std::to_string(tid) + "/syscall");
  long number = -1;
  std::string descriptors, count;
  if (!(in >> number >> descriptors >> count)) return 0;
  bool polling = number == SYS_ppoll;
#ifdef SYS_poll
  polling = polling || number == SYS_poll;
#endif
  return polling ? static_cast<int>(std::stoul(count, nullptr, 16)) : 0;
}

// In GTK's loop: closes its window titled `title` (owned by the heap copy),
// as the window's close button does (a dialog answers it like Escape).
gboolean CloseTitled(gpointer title) {
  GList* windows = gtk_window_list_toplevels();
  for (GList* w = windows; w; w = w->next)
    if (const char* shown = gtk_window_get_title(GTK_WINDOW(w->data)); shown && *static_cast<std::string*>(title) == shown)
      gtk_window_close(GTK_WINDOW(w->data));
  g_list_free(windows);
  delete static_cast<std::string*>(title);
  return G_SOURCE_REMOVE;
}

// Closes the window titled `title`, shown by the thread `gtk`, once it is on
// the screen and GTK is idle. From then on the server, grabbed, carries out no
// request of GTK's until the dialog has returned or GTK waits for the server:
// so a dialog that returns without waiting for it returns before its window
// is gone.
// Or, `destroyed`, destroys the window from that connection as another
// program does (`xdotool windowclose`), with the server free.
void CloseWhenShown(const std::string& title, pid_t gtk, const std::atomic<bool>& returned, bool destroyed) {
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  const auto waitFor = [&](const std::function<bool()>& done) {
    bool met;
    while (!(met = done()) && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return met;
  };
  EXPECT_TRUE(waitFor([&] { return WindowTitled(display, title, true) != 0; })) << "no window titled " << title << " shown";
  EXPECT_TRUE(waitFor([&] { return PollingDescriptors(gtk) >= 2; })) << "GTK never idle with " << title << " shown";
  if (destroyed) {
    XDestroyWindow(display, WindowTitled(display, title, true));
    XCloseDisplay(display);
    return;
  }
  XGrabServer(display);
  XSync(display, False);
  g_idle_add(CloseTitled, new std::string(title));
  EXPECT_TRUE(waitFor([&] { return returned || PollingDescriptors(gtk) == 1; }))
      << title << " neither returned nor waited for the server";
  XUngrabServer(display);
  XCloseDisplay(display);
}

struct cDialogCase {
  const char* title;
  std::function<void()> run;  // returns once the dialog is answered
  bool destroyed = false;     // by another program, instead of closed
};
}  // namespace

// When a dialog returns its window is gone from the display before play goes
// on: the server has carried out every request of GTK's own connection, and
// another connection no longer finds the window. The server is held from the
// close until GTK waits for it, so a dialog that returns without waiting does
// so with its requests undone (with the server free, GTK's own answers from it
// came in time now and then). Mended: the destroy request could stay in GTK's
// output buffer, and the window on the screen, modal and dead, until the next
// dialog. Also mended: a dialog whose window another program destroyed was
// destroyed again as it closed, a widget GTK had freed (GTK's "CRITICAL"
// lines, here fatal): it counts as cancelled, and the dialogs show again.
TEST(GtkDialogs, ADialogsWindowIsGoneFromTheDisplayWhenItReturns) {
  cScratchDir folder;
  const cDialogCase cases[] = {
      {"Save As", [&] { EXPECT_EQ(GtkChooseFile(SysFileDialog::Save, folder.Path()), ""); }, true},
      {"Overwrite?",
       [] {
         EXPECT_EQ(GtkAskQuestion("Overwrite?", "Overwrite it?", SysBox::OkCancel, SysAnswer::Ok), SysAnswer::Cancel);
       },
       true},
      {"Save As", [&] { EXPECT_EQ(GtkChooseFile(SysFileDialog::Save, folder.Path()), ""); }},
      {"Open", [&] { EXPECT_EQ(GtkChooseFile(SysFileDialog::Open, folder.Path()), ""); }},
      {"Overwrite?",
       [] { EXPECT_EQ(GtkAskQuestion("Overwrite?", "Overwrite it?", SysBox::YesNo, SysAnswer::No), SysAnswer::No); }},
  };
  RunInFreshProcess([&] {  // GTK and its threads stay in the child
    cPrivateTestDisplay display;
    ASSERT_TRUE(display.Started());
    int argc = 1;
    char name[] = "GtkDialogsTest";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    ASSERT_TRUE(Sys_PretendWindowManagerForTest(false));  // so the game's dialogs show
    setenv("GSETTINGS_BACKEND", "memory", 1);
    ASSERT_TRUE(GtkDialogsReady());
    g_log_set_always_fatal((GLogLevelFlags)(G_LOG_FATAL_MASK | G_LOG_LEVEL_CRITICAL));
    Display* looker = XOpenDisplay(nullptr);
    ASSERT_NE(looker, nullptr);
    for (const cDialogCase& c : cases) {
      SCOPED_TRACE(c.title);
      std::atomic<bool> returned = false;
      std::thread closer(CloseWhenShown, c.title, static_cast<pid_t>(syscall(SYS_gettid)), std::cref(returned),
                         c.destroyed);
      c.run();
      returned = true;
      // Every request GTK made has been carried out: the window's destruction too.
      Display* gtkConnection = gdk_x11_display_get_xdisplay(gdk_display_get_default());
      EXPECT_EQ(LastKnownRequestProcessed(gtkConnection), XNextRequest(gtkConnection) - 1) << "requests not yet carried out";
      EXPECT_EQ(WindowTitled(looker, c.title, false), 0u) << "still on the display";
      closer.join();
    }
    XCloseDisplay(looker);
  });
}
