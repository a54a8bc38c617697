#include "platform/GtkDialogs.h"

#include <X11/Xlibint.h>  // XESetWireToEvent; it also defines min and max as macros
#undef min
#undef max
#include <gdk/gdkx.h>
#include <glib-unix.h>
#include <gtk/gtk.h>

#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/DisplayWatch.h"
#include "platform/X11Query.h"

namespace {
// dbus-launch marks a bus it started for a display with a selection named
// after the user and the machine; a later start on that display reuses it.
bool BusStartedForDisplay() {
  Display* display = X11QueryDisplay();
  if (!display) return false;
  gchar* machine = nullptr;
  if (!g_file_get_contents("/var/lib/dbus/machine-id", &machine, nullptr, nullptr) &&
      !g_file_get_contents("/etc/machine-id", &machine, nullptr, nullptr))
    return false;
  std::string selection = std::string("_DBUS_SESSION_BUS_SELECTION_") + g_get_user_name() + "_" + g_strstrip(machine);
  g_free(machine);
  Atom atom = XInternAtom(display, selection.c_str(), True);
  return atom != None && XGetSelectionOwner(display, atom) != None;
}

// A session bus GLib and libdbus find without starting one: the address they
// are given, the socket in the user's runtime folder, or one started for the
// display. Looking creates nothing: GLib's runtime folder, where the variable
// is unset, falls back to the cache folder and makes it in the user's home.
bool SessionBusRuns() {
  const char* address = g_getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address && *address) return true;
  const char* runtime = g_getenv("XDG_RUNTIME_DIR");
  bool found = false;
  if (runtime && *runtime) {
    gchar* socket = g_build_filename(runtime, "bus", nullptr);
    found = g_file_test(socket, G_FILE_TEST_EXISTS);
    g_free(socket);
  }
  return found || BusStartedForDisplay();
}
}  // namespace

// With no session bus, each of the toolkit's D-Bus users (the accessibility
// bridge, the dconf settings store, GVfs) would start dbus-launch for every
// dialog, and blocks of libdbus and GIO were left over at exit. There they
// stay off; what the user set is kept, and with a bus nothing changes.
void GtkKeepOffDBusWithoutSessionBus() {
  if (SessionBusRuns()) return;
  g_setenv("NO_AT_BRIDGE", "1", FALSE);
  g_setenv("GSETTINGS_BACKEND", "memory", FALSE);
  g_setenv("GIO_USE_VFS", "local", FALSE);
  g_setenv("GIO_USE_VOLUME_MONITOR", "unix", FALSE);
}

namespace {
// GDK's words for an X error on its connection that no trap of its expected:
// GDK exits right after saying them, past the game's exit sequence.
bool IsToolkitsFatalXErrorReport(const char* domain, const char* message) {
  return domain && message && strcmp(domain, "Gdk") == 0 && strstr(message, "received an X Window System error");
}

[[noreturn]] void EndTheGameOnAToolkitError() {
  GdkDisplay* display = gdk_display_get_default();
  Sys_Print(SysStream::Err, "The X display %s refused a request of the desktop toolkit's: the game ends\n",
            display ? gdk_display_get_name(display) : "");
  Sys_RunExitSequence();
  _exit(1);
}

// The windows of GDK's connection whose end Xlib read, the last few, marked
// as it reads them: whoever destroyed them (see cShownDialog).
constexpr int kWindowsEndedKept = 64;
XID gWindowsEnded[kWindowsEndedKept] = {};
int gWindowsEndedNext = 0;
Bool (*gReadDestroyNotify)(Display*, XEvent*, xEvent*) = nullptr;  // Xlib's own
Bool NoteAWindowsEnd(Display* display, XEvent* event, xEvent* wire) {
  if (!gReadDestroyNotify(display, event, wire)) return False;
  gWindowsEnded[gWindowsEndedNext] = event->xdestroywindow.window;
  gWindowsEndedNext = (gWindowsEndedNext + 1) % kWindowsEndedKept;
  return True;
}
bool HasEnded(XID window) {
  for (XID ended : gWindowsEnded)
    if (ended && ended == window) return true;
  return false;
}

// GLib's, GTK's and GDK's messages go out as the game's lines do, never
// waiting on a reader that stopped or a terminal held with Ctrl+S (GLib's own
// writer writes to descriptor 2 and waits there). What GLib would drop (debug
// messages not asked for with G_MESSAGES_DEBUG) is dropped.
GLogWriterOutput WriteToolkitMessage(GLogLevelFlags level, const GLogField* fields, gsize count, gpointer) {
  const char *domain = nullptr, *message = nullptr;
  for (gsize i = 0; i < count; ++i) {
    if (strcmp(fields[i].key, "GLIB_DOMAIN") == 0 && fields[i].length < 0) domain = (const char*)fields[i].value;
    if (strcmp(fields[i].key, "MESSAGE") == 0 && fields[i].length < 0) message = (const char*)fields[i].value;
  }
  if (g_log_writer_default_would_drop(level, domain)) return G_LOG_WRITER_HANDLED;
  gchar* text = g_log_writer_format_fields(level, fields, count, FALSE);
  const std::string line = std::string(text) + "\n";
  g_free(text);
  Sys_Write(SysStream::Err, line.data(), line.size());
  if (IsToolkitsFatalXErrorReport(domain, message)) EndTheGameOnAToolkitError();  // before GDK's own exit
  return G_LOG_WRITER_HANDLED;
}
void PrintToolkitText(const gchar* text) { Sys_Write(SysStream::Out, text, strlen(text)); }
void PrintToolkitError(const gchar* text) { Sys_Write(SysStream::Err, text, strlen(text)); }

bool StartGtk() {
  gtk_disable_setlocale();  // the game parses numbers in the C locale
  g_log_set_writer_func(WriteToolkitMessage, nullptr, nullptr);
  g_set_print_handler(PrintToolkitText);
  g_set_printerr_handler(PrintToolkitError);
  GtkKeepOffDBusWithoutSessionBus();
  // GIO reads the MIME database (an icon's type guessed) before it sets the
  // folders it reads it from, unless asked for them first; setting them then
  // reads it anew and drops the first copy unfreed (six blocks, after an Open
  // dialog that listed a file). Asked here, they are set before any read.
  g_content_type_get_mime_dirs();
  const bool started = gtk_init_check(nullptr, nullptr);
  GdkDisplay* display = started ? gdk_display_get_default() : nullptr;
  // Over GDK's, put in as it started: its lost display skips the exit
  // sequence, and it ignores the errors of every connection but its own.
  Display* connection = display && GDK_IS_X11_DISPLAY(display) ? gdk_x11_display_get_xdisplay(display) : nullptr;
  X11EndTheGameOnXFaults(connection);
  if (connection) gReadDestroyNotify = XESetWireToEvent(connection, DestroyNotify, NoteAWindowsEnd);
  return started;
}

// GTK's loop, in which a dialog waits, reads GTK's connection only: the
// game's, cut while a dialog is up (its client killed, as xkill does), would
// end the game only once the dialog was answered. The dialog's loop looks at
// it too, each time it has something to read.
gboolean LookAtTheGamesDisplay(gint, GIOCondition, gpointer) {
  EndTheGameIfItsDisplayIsLost();
  return G_SOURCE_CONTINUE;
}

// A dialog on the screen, until it is closed. Another program may destroy
// its window (`xdotool windowclose`). Left to GDK, GTK then tore the dialog
// down around a window GDK had dropped (its "CRITICAL" lines), and the close
// destroyed the freed dialog again. So the window's end is taken before GDK
// sees it: the dialog is answered with nothing chosen (a cancel; its run also
// ends as the window is unmapped), and closed as usual. GTK may draw in the
// window before it hears of its end, and the close's requests find it gone:
// the dialog's errors are trapped while it lives, and only where its window
// did not end so does one end the game, as GDK's own report does elsewhere.
// (While that trap is held GDK's handler stands in for the game's, and ignores
// errors of the game's own connection: the game makes no request there while
// a dialog is up, and its windows' ends are watched without one.) A reference
// is held, so the dialog stays to be looked at whatever destroys it.
class cShownDialog {
 public:
  explicit cShownDialog(GtkWidget* dialog) : mDialog(dialog) {
    g_object_ref(dialog);
    g_signal_connect(dialog, "destroy", G_CALLBACK(OnDestroy), &mDestroyed);
    gdk_window_add_filter(nullptr, TakeTheWindowsEnd, this);
    gdk_x11_display_error_trap_push(gdk_display_get_default());
  }
  ~cShownDialog() { Close(); }
  cShownDialog(const cShownDialog&) = delete;
  cShownDialog& operator=(const cShownDialog&) = delete;

  int Run() {
    const int game = GameDisplayDescriptor();
    const guint watch = game >= 0 ? g_unix_fd_add(game, (GIOCondition)(G_IO_IN | G_IO_HUP | G_IO_ERR),
                                                  LookAtTheGamesDisplay, nullptr)
                                  : 0;
    const int response = gtk_dialog_run(GTK_DIALOG(mDialog));
    if (watch) g_source_remove(watch);
    return mDestroyed || mWindowGone ? GTK_RESPONSE_NONE : response;
  }

  // The window must be gone from the screen before the game draws again. The
  // destroy request once stayed in GTK's output buffer until the next dialog:
  // the window stayed mapped, modal, and answered nothing. The server is waited
  // for; then what the dialog left to GLib's loop, which runs only while a
  // dialog is up (the game's loop is GLUT's), runs here or never.
  void Close() {
    if (!mDialog) return;
    GdkDisplay* display = gdk_display_get_default();
    gdk_display_sync(display);  // every end the server sent is read
    GdkWindow* window = mDestroyed ? nullptr : gtk_widget_get_window(mDialog);
    const bool ended = mWindowGone || mDestroyed || (window && HasEnded(GDK_WINDOW_XID(window)));
    if (!mDestroyed) gtk_widget_destroy(mDialog);
    gdk_display_sync(display);
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
    const int error = gdk_x11_display_error_trap_pop(display);
    gdk_window_remove_filter(nullptr, TakeTheWindowsEnd, this);
    g_object_unref(mDialog);
    mDialog = nullptr;
    if (error && !ended) EndTheGameOnAToolkitError();
  }

 private:
  static void OnDestroy(GtkWidget*, gpointer destroyed) { *static_cast<bool*>(destroyed) = true; }
  static GdkFilterReturn TakeTheWindowsEnd(GdkXEvent* native, GdkEvent*, gpointer data) {
    cShownDialog& shown = *static_cast<cShownDialog*>(data);
    const XEvent& event = *static_cast<XEvent*>(native);
    GdkWindow* window = shown.mDestroyed ? nullptr : gtk_widget_get_window(shown.mDialog);
    if (event.type != DestroyNotify || !window || event.xdestroywindow.window != GDK_WINDOW_XID(window))
      return GDK_FILTER_CONTINUE;
    shown.mWindowGone = true;
    gtk_dialog_response(GTK_DIALOG(shown.mDialog), GTK_RESPONSE_NONE);
    return GDK_FILTER_REMOVE;
  }
  GtkWidget* mDialog;
  bool mDestroyed = false;
  bool mWindowGone = false;  // destroyed by another program
};

int ResponseOf(SysAnswer answer) { return (int)answer + 1; }  // GTK keeps 0 and below for itself
}  // namespace

bool GtkDialogsReady() {
  if (!Sys_DesktopCanShowDialogs()) return false;
  static bool started = StartGtk();
  return started;
}

std::string GtkChooseFile(SysFileDialog kind, const std::string& folder) {
  bool save = kind == SysFileDialog::Save;
  GtkWidget* dialog = gtk_file_chooser_dialog_new(
      save ? "Save As" : "Open", nullptr, save ? GTK_FILE_CHOOSER_ACTION_SAVE : GTK_FILE_CHOOSER_ACTION_OPEN,
      "_Cancel", GTK_RESPONSE_CANCEL, save ? "_Save" : "_Open", GTK_RESPONSE_ACCEPT, nullptr);
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
  gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
  gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);  // never hidden behind the game window
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
  gtk_file_chooser_set_local_only(chooser, TRUE);
  gtk_file_chooser_set_current_folder(chooser, folder.c_str());
  gtk_file_chooser_set_do_overwrite_confirmation(chooser, save);

  cShownDialog shown(dialog);
  std::string chosen;
  if (shown.Run() == GTK_RESPONSE_ACCEPT) {
    if (char* name = gtk_file_chooser_get_filename(chooser)) {
      chosen = name;
      g_free(name);
    }
  }
  shown.Close();
  return chosen;
}

SysAnswer GtkAskQuestion(const std::string& caption, const std::string& text, SysBox kind, SysAnswer fallback) {
  GtkWidget* dialog =
      gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, kind == SysBox::AbortRetryIgnore ? GTK_MESSAGE_WARNING
                                                                                          : GTK_MESSAGE_QUESTION,
                             GTK_BUTTONS_NONE, "%s", text.c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), caption.c_str());
  gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
  struct cButton {
    const char* label;
    SysAnswer answer;
  };
  std::vector<cButton> buttons;
  switch (kind) {
    case SysBox::OkCancel: buttons = {{"_OK", SysAnswer::Ok}, {"_Cancel", SysAnswer::Cancel}}; break;
    case SysBox::YesNo: buttons = {{"_Yes", SysAnswer::Yes}, {"_No", SysAnswer::No}}; break;
    case SysBox::AbortRetryIgnore:
      buttons = {{"_Abort", SysAnswer::Abort}, {"_Retry", SysAnswer::Retry}, {"_Ignore", SysAnswer::Ignore}};
      break;
    case SysBox::Ok: buttons = {{"_OK", SysAnswer::Ok}}; break;
  }
  for (const cButton& button : buttons) gtk_dialog_add_button(GTK_DIALOG(dialog), button.label, ResponseOf(button.answer));
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), ResponseOf(fallback));

  cShownDialog shown(dialog);
  const int response = shown.Run();
  shown.Close();
  for (const cButton& button : buttons)
    if (ResponseOf(button.answer) == response) return button.answer;
  // Closed with the window's own button, or destroyed by another program: a
  // box that can be cancelled is, any other keeps its default.
  return kind == SysBox::OkCancel ? SysAnswer::Cancel : fallback;
}
