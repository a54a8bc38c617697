// Every service the game takes from the operating system, declared in one place.
// Game code calls only these; each is implemented once in platform/ and each
// has a test hook so that runs can be driven and observed headless.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// ---- time -------------------------------------------------------------------
uint32_t Sys_Milliseconds();                              // monotonic ms, wraps at 2^32 (the game's timeGetTime)
void     Sys_SetClockForTest(uint32_t (*clock)());        // nullptr restores the real clock
void     Sys_SleepMs(unsigned ms);
uint32_t Sys_CalendarSeconds();                           // seconds since 1970 (the game's time(NULL)), for seeds
void     Sys_SetCalendarForTest(uint32_t (*calendar)());  // nullptr restores the real calendar

// ---- random: the C runtime's generator, RAND_MAX 32767 -----------------------
constexpr int SYS_RAND_MAX = 32767;
void     Sys_SeedRandom(uint32_t seed);                   // the game's srand
int      Sys_Random();                                    // the game's rand: 0..32767
int      Sys_RandomFrom(uint32_t& state);                 // the same generator on a caller's own state

// ---- files: Windows spellings (".\Data\x", "./data/x") resolve onto Data/ ----
std::string Sys_ResolvePath(const std::string& spelled);  // existing entry if one matches case-insensitively, else the normalised spelling
FILE*       Sys_OpenFileToWrite(const std::string& spelled); // created or emptied; readers use the two calls below, which know the file's kind
bool        Sys_IsRegularFile(const std::string& spelled);
bool        Sys_RegularFileSize(const std::string& spelled, uint64_t& size); // false when it is not a regular file
bool        Sys_PathExists(const std::string& spelled);   // any kind of entry: a file, a folder, a pipe, a device

// ---- data files: every kind the game reads has a bound, checked by its size before a byte is read ----
enum class SysFileKind { Ini, KeyFile, Script, Tuning, Image, Sound, Model, PathCache, Terrain, Save };
struct SysFileBound { SysFileKind kind; const char* name; uint64_t maxBytes; };  // name: as a message says it
inline constexpr SysFileBound kSysFileBounds[] = {        // in SysFileKind's order; the largest file the data tree holds of each in its comment
    {SysFileKind::Ini, "an ini file", 1ull << 20},         // CivGameMode.ini: 5.6 KB
    {SysFileKind::KeyFile, "a key file", 1ull << 20},      // quorvel_keys.txt: 467 bytes
    {SysFileKind::Script, "a script", 1ull << 20},         // formula and camera scripts; tribe_hunt_result.txt: 3.1 KB
    {SysFileKind::Tuning, "a tuning file", 16ull << 20},   // CityGameGeneralTuning.xml: 8.6 KB
    {SysFileKind::Image, "an image", 64ull << 20},         // 6.2 KB; a 4096 x 4096 picture at 24 bits is 48 MB
    {SysFileKind::Sound, "a sound", 64ull << 20},          // 147 KB; 64 MB is 25 minutes of 22050 Hz 16-bit mono
    {SysFileKind::Model, "a model", 16ull << 20},          // avatar.obj: 4.9 KB
    {SysFileKind::PathCache, "the path cache", 64ull << 20}, // Paths.bin: 6.6 MB
    {SysFileKind::Terrain, "terrain.bin", 6ull * 512 * 512 * 4}, // exactly this: 6 faces of 512 x 512 float heights
    {SysFileKind::Save, "a save", 256ull << 20},           // a full game: a few MB
};
constexpr uint64_t Sys_FileBound(SysFileKind kind) { return kSysFileBounds[(int)kind].maxBytes; }
FILE*       Sys_OpenFileToRead(const std::string& spelled, SysFileKind kind, std::string& refusal); // a regular file within its kind's bound, else null; refusal: "" or, when it is the bound, the file, its size and the bound
bool        Sys_ReadWholeFile(const std::string& spelled, SysFileKind kind, std::vector<uint8_t>& out, std::string& refusal); // false for a file that cannot be read or is over its kind's bound (refusal then says so, as above)
uint64_t    Sys_FileWriteTime(const std::string& spelled); // ns since epoch; 0 when missing or unreadable
bool        Sys_RemoveFile(const std::string& spelled);
std::string Sys_CurrentDirectory();

// ---- replacing a whole file: unique temporary beside the real target, synced, renamed over it ----
struct SysReplacement { FILE* file = nullptr; std::string tempPath, targetPath; };
bool Sys_BeginReplaceFile(const std::string& spelled, SysReplacement& out); // links followed; false when the target is not a regular file or no temporary can be made
bool Sys_CommitReplaceFile(SysReplacement& replacement);  // false (temporary removed, target untouched) when any write, the sync or the rename failed
void Sys_AbandonReplaceFile(SysReplacement& replacement); // removes the temporary; the target is untouched

// ---- message boxes: never block ----------------------------------------------
enum class SysBox { Ok, OkCancel, YesNo, AbortRetryIgnore };
enum class SysAnswer { Ok, Cancel, Yes, No, Abort, Retry, Ignore };
struct cISysMessageSink {                                  // tests capture boxes and answer questions
  virtual ~cISysMessageSink() = default;
  virtual SysAnswer OnMessageBox(const std::string& caption, const std::string& text, SysBox kind) = 0;
};
SysAnswer Sys_MessageBox(const std::string& caption, const std::string& text, SysBox kind = SysBox::Ok);
void      Sys_SetMessageSink(cISysMessageSink* sink);     // nullptr: standard error, answers from a terminal or the default
void      Sys_SetMessageEcho(void (*echo)(const char* line)); // where box text is mirrored (the debug window); boxes shown before it was set are handed to it at once
void      Sys_SetMessageShow(void (*show)(const char* caption, const char* text)); // where plain boxes are also shown (the game window); the same hand-over
void      Sys_Note(const std::string& caption, const std::string& text); // a line for standard error and the debug window (a sink gets it as a plain box), not shown in the game window

// ---- ini files: Windows private-profile rules --------------------------------
std::string Sys_IniReadString(const std::string& file, const std::string& section, const std::string& key,
                              const std::string& fallback, size_t maxChars = 255);
struct sSysIniEntry { std::string section, key, value; };  // one "key=value" line under its section, trimmed
std::vector<sSysIniEntry> Sys_IniFileEntries(const std::string& file);  // a file parsed once, in file order; none when unreadable or over an ini file's bound (that one named by Sys_Note)
std::string Sys_IniFind(const std::vector<sSysIniEntry>& entries, const std::string& section, const std::string& key,
                        const std::string& fallback, size_t maxChars = 255);  // as Sys_IniReadString answers
int         Sys_IniReadInt(const std::string& file, const std::string& section, const std::string& key, int fallback);
int         Sys_IniFindInt(const std::vector<sSysIniEntry>& entries, const std::string& section, const std::string& key, int fallback); // as Sys_IniReadInt answers
bool        Sys_IniWriteString(const std::string& file, const std::string& section, const std::string& key,
                               const std::string& value);

// ---- window focus, for the automatic pause -----------------------------------
bool Sys_IsMainWindowActive();                            // is the active window titled "QuorvelGL"?
void Sys_SetFocusProbeForTest(bool (*probe)());           // nullptr restores the X11 query
void Sys_ActivateWindow(int glutWindow);                  // makes it the active window: asks the window manager, or without one X
void Sys_TakeKeyboardOnClick(int glutWindow);             // a button pressed in it: without a window manager it takes the keyboard (a manager gives it)
bool Sys_WindowHasKeyboard(int glutWindow);              // does the X input focus rest on it (or inside it)?
void Sys_SetKeyboardProbeForTest(bool (*probe)(int glutWindow)); // answers Sys_WindowHasKeyboard; nullptr restores the X11 query

// ---- redraw requests: a paused game draws only when something it shows changed ----
void Sys_RequestRedraw();       // input arrived, a command ran, a message is to show: draw the next frame
bool Sys_TakeRedrawRequest();   // was one made since the last call? (clears it)

// ---- key state (the game's GetAsyncKeyState), fed by the GLUT key callbacks ---
// Keys are Windows virtual-key codes; each stands for the X keysyms of its key.
void     Sys_SetKeyState(int key, bool down);
bool     Sys_IsKeyDown(int key);                           // down now
bool     Sys_WasKeyPressed(int key);                       // went down since Sys_ForgetKeyPress (a tap between two polls)
void     Sys_ForgetKeyPress(int key);                      // by the poll that has read the key
void     Sys_ForgetKeyPresses();                           // every one, at the end of each frame
bool     Sys_AnyKeyDown();                                 // down now or pressed and not yet read
void     Sys_ClearKeyStates();                             // every key up, every press forgotten (the window lost the input)
void     Sys_NoteGlutKey(unsigned char key, bool down, int glutModifiers);
void     Sys_NoteGlutSpecialKey(int key, bool down, int glutModifiers);
uint32_t Sys_KeysymOfVirtualKey(int key);                 // the key's X keysym; 0 when no X key stands behind it
bool     Sys_MouseButtonsSwapped();                       // left-handed pointer mapping

// ---- relative mouse (the game's DirectInput mouse), fed by the GLUT mouse callbacks
struct SysMouseReading {
  int dx = 0, dy = 0, wheel = 0;                          // gathered since the last read; wheel in notches, + away
  bool buttons[3] = {false, false, false};                // 0 left, 1 right, 2 middle
};
bool Sys_OpenMouse();                                     // false when there is no X display
void Sys_CloseMouse();
bool Sys_ReadMouse(SysMouseReading& reading);             // false when not open
void Sys_NoteMouseMotion(int x, int y);                   // window pixels
void Sys_NoteMouseLeft();
void Sys_NoteMouseButton(int glutButton, bool down, int x, int y); // GLUT buttons 3 and 4 are the wheel
bool Sys_MouseWindowPosition(int& x, int& y);             // the last position in the main window; false once the pointer left it

// ---- file dialogs: the desktop's own, modal; "" when cancelled ----------------
enum class SysFileDialog { Open, Save };                  // open: the file must exist; save: confirm overwriting
std::string Sys_FileDialog(SysFileDialog kind, const char* initialDirectory); // null: the current directory
void Sys_SetFileDialogAnswersForTest(std::vector<std::string>* answers);      // "" cancels; nullptr restores
bool Sys_DesktopCanShowDialogs();                         // a window manager runs on the display
bool Sys_PretendWindowManagerForTest(bool gone);          // the check a running manager leaves on the root window; gone: naming a destroyed window, as a manager that quit leaves it

// ---- frame pacing --------------------------------------------------------------
bool Sys_SetSwapInterval(int interval);                   // on the current GL window; false when the driver cannot
void Sys_PaceFrames(int framesPerSecond);                 // sleeps (real time) so calls come no faster than that
int64_t Sys_NextFrameDeadline(int64_t deadline, int64_t now, int64_t period);  // the pacing's schedule (microseconds), for tests

// ---- threads -------------------------------------------------------------------
uint32_t Sys_ThreadId();                                   // for the debug window's line prefix

// ---- console -----------------------------------------------------------------
// Standard input other than a file is read by a thread of its own, the only
// one that waits on it, at most a frame's share ahead. A terminal is read only
// while it is the game's controlling terminal, the game is in its foreground
// and it is in line mode: a shell, a pager or an editor sharing it keeps its keys.
// There a carriage return ends a line as a newline does, and a hang-up ends input.
constexpr int kSysConsoleLinesPerFrame = 64;               // lines one frame's polling takes; the rest wait for the next frames
constexpr size_t kSysConsoleBytesPerFrame = 1024 * 1024;   // input one frame's polling takes, and the reading thread reads ahead
void Sys_OpenStandardStreams();                            // standard input, output or error not open is opened on /dev/null; SIGPIPE, SIGTTOU, SIGTTIN ignored: first thing in main
bool Sys_PollStdinLine(std::string& line);                 // a complete line typed on standard input (the last one also without its line end), without waiting; false also once a frame's share was taken
bool Sys_AskOnTerminal(const std::string& prompt, std::string& answer, const std::string& unanswered,
                       const std::string& whyNoDialog = ""); // prompt on standard error, then the next line typed after it (shown again, once, when the game comes back from Ctrl+Z); where the game may not read its terminal (see above), or standard error does not show there, or no longer may (sent to the background): false, and why, with why no dialog showed it and `unanswered` (what the default does), is noted
void Sys_SetStdinForTest(int fd);                          // lines come from fd instead, read afresh; -1 restores standard input
bool Sys_WaitStdinForTest(unsigned waitMs, size_t bytes = 1); // waits until the reading thread holds that many bytes (or any taken input is there), or its end; false when neither came
bool Sys_WaitStdinHoldsAFramesShareForTest(unsigned waitMs); // waits until the reading thread holds all it reads ahead and waits for the frames, or its end; false when neither came
void Sys_SetStdinReadHookForTest(void (*beforeRead)());    // called by the reader between seeing input and reading it; nullptr: none
void Sys_SetQuestionLookHookForTest(void (*look)());        // called each time a question waiting on the terminal looked at it again (every 200 ms); nullptr: none

// ---- standard output and error: never wait on their reader ------------------
// A file is written at once; anything else (a pipe, a terminal, a socket) by a
// thread of the destination's own, the frame loop only queuing. Both streams
// sent to one place share its writer, so their lines stay whole and in order;
// on a pipe or a socket each line is taken once it is whole.
enum class SysStream { Out, Err };
constexpr size_t kSysOutputMaxWaitingBytes = 256 * 1024;  // per stream; past it the oldest waiting lines are dropped, and that is said
constexpr unsigned kSysOutputFlushWaitMs = 1000;          // how long text still waiting may hold up the exit or a prompt
void   Sys_Write(SysStream stream, const char* text, size_t size); // goes out now (a file) or is queued, control characters shown visibly; dropped once the reader is gone (a "Console" box says so once)
std::string Sys_VisibleText(const std::string& text, size_t maxBytes = SIZE_MAX); // control characters other than line ends and tabs as ^M, ^[, ^?, C1 ones as <U+009B>, bytes not part of UTF-8 as <9B> (typed text is never obeyed by a terminal); at most maxBytes shown, cut before a character or notation
bool   Sys_IsVisibleText(const char* text, size_t size);   // would Sys_VisibleText leave it as it is?
size_t Sys_Utf8Character(const char* text, size_t size, uint32_t* codepoint); // bytes of the UTF-8 character text starts with, its code point in *codepoint; 0 for a byte that is not part of one (overlong forms, surrogates, past U+10FFFF)
size_t Sys_Utf8CutLength(const char* text, size_t size, size_t maxBytes); // at most maxBytes, backed off to the start of a character the cut would split
void   Sys_Print(SysStream stream, const char* format, ...) __attribute__((format(printf, 2, 3)));
void   Sys_PumpOutput();                                   // each frame: says what the writers found (a reader that quit)
bool   Sys_FlushOutput(unsigned waitMs);                  // at exit: waits at most waitMs for slow readers; false when text was left
bool   Sys_OutputReaches(SysStream stream, int terminal);   // does the stream show on that terminal (the same one, its reader not gone)?
void   Sys_SetOutputForTest(SysStream stream, int fd, size_t maxWaitingBytes); // writes go to fd instead, looked at afresh (what waits still goes where it was written); -1 restores
void   Sys_SetOutputFlushClockForTest(uint32_t (*clock)()); // the flush's wait is counted on this clock (ms); nullptr: real time
void   Sys_SetOutputWriterStartHookForTest(void (*hook)()); // runs on each writer thread as it starts, before it takes any text; nullptr: none
void   Sys_RunExitSequence();                              // once, at the end (main's, exit(), or a lost display's): unfinished lines ended, the flush, standard output and error made unable to block, the sound device closed

// ---- windows -------------------------------------------------------------------
std::vector<std::string> Sys_TopLevelWindowTitles();       // titles of the display's named top-level windows
int Sys_PrimaryMonitorWidth();                             // pixels; where a second monitor begins (0 without a display)
bool Sys_MainWindowFrame(int& left, int& right, int& top, int& bottom); // what a window manager's frame adds round the game window; false until one framed it and said so
void Sys_KeepWindowAbove(int glutWindow, int ownerGlutWindow);   // a tool window of the owner, which a window manager keeps above it and minimizes with it (owner 0: an ordinary window again)
bool Sys_IsWindowKeptAbove(int glutWindow, int ownerGlutWindow); // is it a tool window of that owner?
void Sys_RaiseWindow(int glutWindow);                      // to the top of the stacking order, the keyboard left where it is
void Sys_SetWindowShownTitle(int glutWindow, const char* title);  // the title a window manager shows (_NET_WM_NAME, UTF-8); its name for other programs (WM_NAME) stays
std::string Sys_WindowShownTitle(int glutWindow);                 // that title; "" where none was set
void Sys_MakeWindowFullScreen(int glutWindow, int leftWidth = 0, int leftHeight = 0); // that window, whichever is current: the window manager's full-screen state (EWMH), sized first to what it comes back to when full screen is left (0: its own size), or without a manager that offers it, moved and sized to cover the whole screen
void Sys_MoveAndResizeWindow(int glutWindow, int x, int y, int width, int height); // at once, in one request: a window manager fits it on the screen at its new size
void Sys_ResizeWindow(int glutWindow, int width, int height); // at once, ahead of moves freeglut still holds for it
void Sys_KeepWindowOpen(int glutWindow, bool open);       // true: the window manager's close button leaves it open; false: it closes as freeglut closes windows
void Sys_InitGlut(int* argc, char** argv);                 // glutInit, outliving a check window left on the display by a window manager that quit
void Sys_GlutInitErrorsForTest(int goneReads, const char* report, const char* programName = "quorvel"); // Sys_InitGlut's error hooks hear that many gone-window property reads, then freeglut's report (its words): returns if it is let through, else ends the process
int Sys_CreateGlutWindow(const char* title);                // glutCreateWindow, its pointer input taken as core events only (freeglut's XInput 2 handling loses memory), its process named on it (_NET_WM_PID)
bool Sys_WindowSelectsXInput2ForTest(int glutWindow);      // does freeglut's connection still select XInput 2 events on it?
void Sys_ClickWindowForTest(int glutWindow, int x, int y, unsigned button = 1);  // a click there as the X server sends one (X's buttons: 1 left, 4 and 5 the wheel), handled by freeglut before this returns
void Sys_CloseWindowAsAManagerForTest(int glutWindow);     // the close request a window manager's close button sends (WM_DELETE_WINDOW), handled as above

// ---- images --------------------------------------------------------------------
bool Sys_LoadImageRGB(const std::string& spelled, int& width, int& height, std::vector<uint8_t>& rgb, std::string& refusal); // 8-bit RGB rows, top row first; refusal as Sys_ReadWholeFile's
bool Sys_DecodeImageRGB(const std::vector<uint8_t>& bytes, int& width, int& height, std::vector<uint8_t>& rgb); // the same, from bytes in memory

// ---- sound: one voice (an OpenAL buffer and source) per loaded sound ----------
struct SysPcm {                                            // interleaved signed 16-bit frames
  int channels = 0, rate = 0;
  std::vector<int16_t> samples;
};
bool     Sys_DecodeWav(const std::vector<uint8_t>& bytes, SysPcm& pcm); // RIFF/WAVE/"fmt "/"data" checks, then the decoder
bool     Sys_LoadWav(const std::string& spelled, SysPcm& pcm, std::string& refusal); // the file is read whole and closed before decoding; refusal as Sys_ReadWholeFile's
bool     Sys_OpenSoundDevice(int rate, int channels);     // the default output; false leaves the game silent
bool     Sys_OpenSoundLoopbackForTest(int rate, int channels); // mixes only when asked to render
void     Sys_RenderSoundForTest(int16_t* frames, int count);   // interleaved output of the loopback device
void     Sys_CloseSoundDevice();                          // releases every voice
bool     Sys_IsSoundDeviceOpen();
uint32_t Sys_CreateVoice(const SysPcm& pcm);              // 0 without a device or when it refuses
void     Sys_PlayVoice(uint32_t voice, bool loop);        // a voice already playing only takes the new loop flag
void     Sys_StopVoice(uint32_t voice);                   // keeps the position: the next play resumes
bool     Sys_IsVoicePlaying(uint32_t voice);
void     Sys_ReleaseVoice(uint32_t voice);
int      Sys_VoiceCount();                                // voices alive on the open device

// ---- crashes: fatal signals caught on an alternate stack ---------------------
enum SysRegister { SysRAX, SysRBX, SysRCX, SysRDX, SysRSI, SysRDI, SysRBP, SysRSP, SysR8, SysR9, SysR10, SysR11,
                   SysR12, SysR13, SysR14, SysR15, SysRIP, SysEFL, SysRegisterCount };
struct SysCrash {                                          // one fault, as the handler sees it
  uint32_t code = 0;                                       // the exception code of the fault (0xC0000005 an access violation...)
  int signal = 0, signalCode = 0;
  uint64_t address = 0;                                    // the faulting instruction
  uint64_t parameters[2] = {};                             // access violation: 1 for a write, and the address touched
  int parameterCount = 0;
  bool sent = false;                                       // sent by kill, tkill or sigqueue (si_code <= 0): no address
  int senderPid = 0; uint32_t senderUid = 0;               // who sent it; pid 0: the signal names no sender
  uint64_t registers[SysRegisterCount] = {};
  uint32_t threadId = 0;
  const void* context = nullptr;                           // the signal's machine context, for the minidump
};
using SysCrashCallback = bool (*)(const SysCrash& crash);  // true: resume in the protected call that faulted
bool     Sys_InstallCrashHandler(SysCrashCallback callback); // SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGABRT
void     Sys_RemoveCrashHandler();                         // the actions in place before come back
bool     Sys_RunCrashProtected(void (*call)(void*), void* argument); // true when call faulted and the callback resumed it
bool     Sys_RunFaultTolerant(void (*call)(void*), void* argument);  // false when call faulted; nothing is reported
bool     Sys_CrashGuardDisabledByEnvironment();           // QUORVEL_NO_CRASH_GUARD set (sanitizers, debuggers)
bool     Sys_IsDebuggerAttached();
const char* Sys_SignalDescription(int signal);
[[noreturn]] void Sys_ExitImmediately(int status);        // no destructors, no buffers flushed
void     Sys_CrashLocalTime(int& year, int& month, int& day, int& hour, int& minute, int& second);

// ---- the process's memory, for crash reports ---------------------------------
struct SysModule { uint64_t base = 0, size = 0, entry = 0; char path[256] = {}; };
bool     Sys_IsReadable(uint64_t address);                // its page is mapped readable
uint8_t  Sys_PeekByte(uint64_t address);                  // only after Sys_IsReadable
int      Sys_ListModules(SysModule* modules, int max);    // mapped files, from the memory map; -1 when unreadable
bool     Sys_FindModule(uint64_t address, SysModule& module, int& section, uint64_t& offset); // section: 1-based loadable segment
bool     Sys_StackRange(uint64_t stackPointer, uint64_t& low, uint64_t& high); // the mapping the stack pointer is in
int      Sys_CrashStackFrames(const SysCrash& crash, uint64_t* frames, int max); // from the faulting instruction outwards
bool     Sys_SymbolName(uint64_t address, char* name, size_t size, uint64_t& displacement); // the function, demangled, without its parameters
int      Sys_CreateNewFile(const char* path);             // a descriptor; -1 when the name exists or cannot be made
int      Sys_CreateOrTruncateFile(const char* path);
bool     Sys_WriteFd(int fd, const void* bytes, size_t size);
void     Sys_CloseFd(int fd);
bool     Sys_WriteMinidump(int fd, const SysCrash& crash); // the standard minidump layout, readable by debuggers
void     Sys_DebugBreak();                                // a breakpoint trap: the debugger stops here, or the crash guard reports it
// ---- OpenGL window-system glue (GLX) ---------------------------------------------
void*       Sys_GLGetProcAddress(const char* name);      // may be non-null for functions the driver lacks: check the extension string
std::string Sys_GLWindowSystemExtensions();              // the GLX extension string of the current context; "" without one
bool        Sys_GLIsExtensionListed(const char* list, const char* name); // whole-word match in a blank-separated list
void        Sys_KeepGLDriverLoaded();                    // once a context exists: the driver stays mapped to the end, so the leak check can name its frames
