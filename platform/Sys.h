// Every service the game takes from the operating system, declared in one place.
// Game code calls only these; each is implemented once in platform/ and each
// has a test hook so that runs can be driven and observed headless.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// ---- time -------------------------------------------------------------------
uint32_t Sys_Milliseconds();                              // monotonic ms, wraps at 2^32 (the game's timeGetTime)
void     Sys_SetClockForTest(uint32_t (*clock)());        // nullptr restores the real clock
void     Sys_SleepMs(unsigned ms);

// ---- random: the C runtime's generator, RAND_MAX 32767 -----------------------
constexpr int SYS_RAND_MAX = 32767;
void     Sys_SeedRandom(uint32_t seed);                   // the game's srand
int      Sys_Random();                                    // the game's rand: 0..32767
int      Sys_RandomFrom(uint32_t& state);                 // the same generator on a caller's own state

// ---- files: Windows spellings (".\Data\x", "./data/x") resolve onto Data/ ----
std::string Sys_ResolvePath(const std::string& spelled);  // existing entry if one matches case-insensitively, else the normalised spelling
FILE*       Sys_OpenFile(const std::string& spelled, const char* mode);
bool        Sys_IsRegularFile(const std::string& spelled);
bool        Sys_ReadWholeFile(const std::string& spelled, std::vector<uint8_t>& out);
uint64_t    Sys_FileWriteTime(const std::string& spelled); // ns since epoch; 0 when missing or unreadable
bool        Sys_ReplaceFile(const std::string& from, const std::string& to); // atomic rename over the target
FILE*       Sys_CreateTempFileBeside(const std::string& spelled, std::string& tempPath); // a new uniquely named file in the target's folder, open "wb"; nullptr when it cannot be made
bool        Sys_RemoveFile(const std::string& spelled);
std::string Sys_CurrentDirectory();

// ---- message boxes: never block ----------------------------------------------
enum class SysBox { Ok, OkCancel, YesNo, AbortRetryIgnore };
enum class SysAnswer { Ok, Cancel, Yes, No, Abort, Retry, Ignore };
struct cISysMessageSink {                                  // tests capture boxes and answer questions
  virtual ~cISysMessageSink() = default;
  virtual SysAnswer OnMessageBox(const std::string& caption, const std::string& text, SysBox kind) = 0;
};
SysAnswer Sys_MessageBox(const std::string& caption, const std::string& text, SysBox kind = SysBox::Ok);
void      Sys_SetMessageSink(cISysMessageSink* sink);     // nullptr: standard error, answers from a terminal or the default
void      Sys_SetMessageEcho(void (*echo)(const char* line)); // where box text is mirrored (the debug window)

// ---- ini files: Windows private-profile rules --------------------------------
std::string Sys_IniReadString(const std::string& file, const std::string& section, const std::string& key,
                              const std::string& fallback, size_t maxChars = 255);
int         Sys_IniReadInt(const std::string& file, const std::string& section, const std::string& key, int fallback);
bool        Sys_IniWriteString(const std::string& file, const std::string& section, const std::string& key,
                               const std::string& value);

// ---- window focus, for the automatic pause -----------------------------------
bool Sys_IsMainWindowActive();                            // is the active window titled "QuorvelGL"?
void Sys_SetFocusProbeForTest(bool (*probe)());           // nullptr restores the X11 query

// ---- key state (the game's GetAsyncKeyState), fed by the GLUT callbacks -------
void Sys_SetKeyState(int key, bool down);
bool Sys_IsKeyDown(int key);
void Sys_ClearKeyStates();

// ---- file dialogs --------------------------------------------------------------
bool Sys_AskFileName(bool forSave, const std::string& title, std::string& name); // false when cancelled
void Sys_SetFileDialogAnswersForTest(std::vector<std::string>* answers);         // "" cancels; nullptr restores

// ---- threads -------------------------------------------------------------------
uint32_t Sys_ThreadId();                                   // for the debug window's line prefix

// ---- console -----------------------------------------------------------------
bool Sys_PollStdinLine(std::string& line);                 // a complete line typed on standard input, without waiting
bool Sys_ReadStdinLine(std::string& line);                 // the same, waiting for it; false at end of input

// ---- windows -------------------------------------------------------------------
std::vector<std::string> Sys_TopLevelWindowTitles();       // titles of the display's named top-level windows

// ---- images --------------------------------------------------------------------
bool Sys_LoadImageRGB(const std::string& spelled, int& width, int& height, std::vector<uint8_t>& rgb); // 8-bit RGB rows, top row first
bool Sys_DecodeImageRGB(const std::vector<uint8_t>& bytes, int& width, int& height, std::vector<uint8_t>& rgb); // the same, from bytes in memory

// ---- OpenGL window-system glue (GLX) ---------------------------------------------
void*       Sys_GLGetProcAddress(const char* name);      // may be non-null for functions the driver lacks: check the extension string
std::string Sys_GLWindowSystemExtensions();              // the GLX extension string of the current context; "" without one
