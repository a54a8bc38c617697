#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>

#include <cmath>
#include <functional>

#include "app/AppGlobals.h"
#include "app/FrameLoop.h"
#include "app/GameClock.h"
#include "app/GameCommands.h"
#include "app/ModeCallLog.h"
#include "app/Startup.h"
#include "camera/Camera.h"
#include "glf/DebugWindow.h"
#include "modes/city/cCityGameMode.h"
#include "modes/civ/cCivGameMode.h"
#include "modes/creature/cCreatureGameMode.h"
#include "modes/dev/flocktest/cFlockTestMode.h"
#include "modes/dev/space/cSpaceGameMode.h"
#include "modes/tribe/Tribe.h"
#include "modes/tribe/TribeHut.h"
#include "modes/tribe/TribeObjectController.h"
#include "modes/tribe/TribeTool.h"
#include "modes/tribe/cTribeGameMode.h"
#include "platform/glui/glui.h"
#include "sim/gamedata/DataManager.h"
#include "sim/tuning/SharedTuningData.h"
#include "sim/tuning/TribeTuningData.h"
#include "tests/sim/tuning/TuningTestSupport.h"
#include "tests/support/StartedProgram.h"
#include "tests/support/TestSupport.h"

// Start-up runs once per process, so every case runs the program in a child
// process of its own and reports through its exit code.
namespace {

std::vector<std::string> ModeSwitches(const std::vector<std::string>& log) {
  std::vector<std::string> switches;
  for (const std::string& call : log)
    if (call.find(".Leave") != std::string::npos || call.find(".Enter") != std::string::npos) switches.push_back(call);
  return switches;
}

bool HasLine(const std::string& text) {
  for (const std::string& line : GetDebugWindow()->Lines())
    if (line.size() > 10 && line.substr(10) == text) return true;
  return false;
}

}  // namespace

TEST(Startup, AnIsolatedCaseReportsOnlyItsOwnFailures) {
  EXPECT_EXIT(
      {
        ADD_FAILURE() << "an earlier case failed";
        bool passes = RunBodyInChild([] {}) == 0;
        bool fails = RunBodyInChild([] { ADD_FAILURE() << "this case fails"; }) == 1;
        _exit(passes && fails ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

// Fault mended: a started program that faulted wrote its crash report and
// minidump into the folder the suite runs from, the source tree.
TEST(Startup, AFaultInAStartedProgramLeavesNoCrashReportBehind) {
  ASSERT_TRUE(EnsureTestDisplay());
  auto reports = [] {
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator("."))
      n += entry.path().filename().string().rfind("exception_", 0) == 0;
    return n;
  };
  const int before = reports();
  cDeathTestsInFreshProcesses fresh;  // the program starts once per process
  EXPECT_EXIT(
      {
        cStartedProgram program({"-noautopause"});
        static volatile int* volatile nowhere = nullptr;
        _exit(*nowhere);
      },
      [](int status) { return !(WIFEXITED(status) && WEXITSTATUS(status) == 255); }, "");
  EXPECT_EQ(reports(), before);
}

TEST(Startup, InitsAllNineModesInOrderThenEntersTheCreatureModeOnce) {
  RunIsolated([] {
    cStartedProgram program({"-noautopause"});
    ASSERT_EQ(program.startResult, 0);
    std::vector<std::string> inits;
    for (const std::string& call : program.log)
      if (call.size() > 5 && call.substr(call.size() - 5) == ".Init") inits.push_back(call);
    EXPECT_EQ(inits, (std::vector<std::string>{"Creature.Init", "Tribe.Init", "City.Init", "Civ.Init", "Space.Init",
                                               "Test.Init", "Pels.Init", "Tovans.Init", "FlockTest.Init"}));
    int enters = 0;
    for (const std::string& call : program.log) enters += call.find(".Enter") != std::string::npos;
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(program.log.back(), "Creature.Enter");
    EXPECT_EQ(gCurrentGameMode, (cIGameMode*)gCreatureGameMode);
    EXPECT_TRUE(HasLine("Welcome to Quorvel"));
    EXPECT_EQ(gAutoPause, 0);
  });
}

TEST(Startup, ModeOptionsPickTheFirstMode) {
  struct Case {
    const char* option;
    const char* tag;
  } cases[] = {{"-tribemode", "Tribe"}, {"-citymode", "City"}, {"-civmode", "Civ"}, {"-spacemode", "Space"},
               {"-flocktestmode", "FlockTest"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.option);
    RunIsolated([c] {
      cStartedProgram program({"-noautopause", c.option});
      EXPECT_EQ(program.Count(std::string(c.tag) + ".Enter"), 1);
      EXPECT_EQ(program.Count("Creature.Enter"), 0);
    });
  }
}

TEST(Startup, FramesGiveTheModeAtMost500MsAndSwitchModesAfterDrawing) {
  RunIsolated([] {
    cStartedProgram program({"-noautopause", "-citymode"});
    program.Frame(16);
    program.Frame(2000);
    EXPECT_EQ(gCityGameMode->LastUpdateMs(), 500u);
    EXPECT_FLOAT_EQ(gFrameSeconds, 2.0f);
    program.log.clear();
    gPendingGameMode = gTribeGameMode;
    program.Frame(16);
    EXPECT_EQ(program.log, (std::vector<std::string>{"City.Update", "City.Leave", "Tribe.Enter"}));
    EXPECT_EQ(gCurrentGameMode, (cIGameMode*)gTribeGameMode);
    EXPECT_EQ(gPendingGameMode, nullptr);
  });
}

TEST(Startup, PausedFramesSkipTheModeUpdate) {
  RunIsolated([] {
    cStartedProgram program({"-noautopause", "-tribemode"});
    program.Frame(16);
    gUserPause = 1;
    OnPauseCheckbox(0);
    EXPECT_EQ(program.Count("Space.OnPauseChanged(1)"), 1);
    program.log.clear();
    uint32_t before = GetGameTime();
    program.Frame(100);
    program.Frame(100);
    EXPECT_TRUE(program.log.empty());
    EXPECT_EQ(GetGameTime(), before);
  });
}

// The automatic pause skips a whole frame while another window is active,
// and the frame after it measures its time from the last skipped one.
TEST(Startup, AutomaticPauseSkipsFramesAndMeasuresFromTheLastSkippedOne) {
  RunIsolated([] {
    cStartedProgram program({"-tribemode"});
    program.Frame(16);
    Sys_SetFocusProbeForTest([] { return false; });
    program.log.clear();
    program.Frame(3000);
    EXPECT_TRUE(program.log.empty());
    Sys_SetFocusProbeForTest([] { return true; });
    program.Frame(40);
    EXPECT_EQ(gTribeGameMode->LastUpdateMs(), 40u);
  });
}

// The console's "frames" says how many frames the game played and names
// whatever held the last one; scripts wait on it. Fault mended: a frame the
// pointer pause held (the game clock stopped) counted as played, unnamed.
// Without the automatic pause (-noautopause) nothing but the Pause box holds.
namespace {
bool gGameWindowActive = true;
}
TEST(Startup, FramesNamesEveryHoldAndCountsNoHeldFrameAsPlayed) {
  RunIsolated([] {
    cStartedProgram program({"-tribemode"});
    Sys_SetFocusProbeForTest([] { return gGameWindowActive; });
    auto framesAnswer = [] {
      GetDebugWindow()->RunTypedCommand("frames");
      const std::string& line = GetDebugWindow()->Lines().back();
      return line.substr(line.find(": ") + 2);
    };
    EXPECT_EQ(framesAnswer(), "Frames: 0 played, 0 drawn");
    const char* kWindow = ", held: another window is active";
    const char* kPointer = ", held: the pointer is off the game window";
    const char* kBox = ", paused: the Pause box is ticked";
    const struct {
      bool active, pointerInside, pauseBox;
      std::string named;
      bool autoPause = true;  // false: as -noautopause
    } rows[] = {
        {true, true, false, ""},
        {false, true, false, kWindow},
        {true, false, false, kPointer},
        {false, false, false, std::string(kWindow) + kPointer},
        {true, true, true, kBox},
        {false, false, true, std::string(kBox) + kWindow + kPointer},
        {true, true, false, ""},
        {false, false, false, "", false},
        {false, false, true, kBox, false},
    };
    uint32_t played = 0;
    for (const auto& row : rows) {
      SCOPED_TRACE(row.named + (row.autoPause ? "" : " without the automatic pause"));
      gAutoPause = row.autoPause;
      gGameWindowActive = row.active;
      OnEntry(row.pointerInside);
      SetUserPause(row.pauseBox);
      program.Frame(16);
      const bool plays = row.named.empty();
      played += plays;
      const std::string answer = framesAnswer();
      EXPECT_EQ(answer.substr(0, answer.find(" played")), "Frames: " + std::to_string(played));
      EXPECT_EQ(answer.substr(answer.find(" drawn") + 6), row.named);
    }
  });
}

// Without a window manager nothing moves the keyboard but the program: a
// click in any of its windows gives that window the keyboard, as a
// click-to-focus manager would, so a panel clicked holds the game and a click
// in the game window plays it on. Fault mended: the keyboard stayed on the
// game window where start-up put it; what was typed in the debug window's
// command box went to the game. Only a button press moves it: a wheel turned
// over a window leaves it where it is. The case has a server of its own,
// whose keyboard no other test moves.
TEST(Startup, OnABareDisplayAClickGivesThatWindowTheKeyboard) {
  RunIsolated([] {
    cPrivateTestDisplay display;
    ASSERT_TRUE(display.Started());
    cStartedProgram program({"-flocktestmode"});
    Sys_SetFocusProbeForTest(nullptr);  // the server's own focus
    auto windowOf = [](const std::string& title) {
      for (int window = 1; window < 64; ++window) {
        GLUI* panel = GLUI_Master.find_glui_by_window_id(window);
        if (panel && title == panel->get_name()) return window;
      }
      return 0;
    };
    const struct {
      const char* clicked;
      int window;
      bool held;
      unsigned button = 1;  // X's: 4 and 5 turn the wheel
    } rows[] = {
        {"the control panel", windowOf("Quorvel Control Panel"), true},
        {"the game window", gMainWindow, false},
        {"the debug window", windowOf("Debug Window"), true},
        {"a wheel turned over the game window", gMainWindow, true, 4},
        {"the game window", gMainWindow, false},
        {"a wheel turned over the control panel", windowOf("Quorvel Control Panel"), false, 5},
        {"a mode's panel", windowOf("Pel's Game Mode Control Panel"), true},
        {"the game window", gMainWindow, false},
    };
    for (const auto& row : rows) {
      SCOPED_TRACE(row.clicked);
      ASSERT_GT(row.window, 0);
      Sys_ClickWindowForTest(row.window, 5, 5, row.button);
      program.Frame(16);
      EXPECT_EQ((GetLastFrameHolds() & kHeldByAnotherWindow) != 0, row.held);
    }
  });
}

// Faults mended: a key released while another window had the keyboard or the
// pointer stayed down (Page Up let go over the debug window kept the camera
// turning); the creature mode kept the camera script of the mode before it
// (after a sniff test the flock test's, which shows the whole planet).
TEST(Startup, KeysGoUpWithTheFocusAndEveryModeInstallsItsOwnCameraScript) {
  RunIsolated([] {
    cStartedProgram program({"-noautopause"});
    Sys_SetKeyState('Q', true);  // a tap no binding reads is forgotten at the frame's end
    Sys_SetKeyState('Q', false);
    Sys_SetKeyState(0x21, true);  // Page Up
    program.Frame(16);
    EXPECT_FALSE(Sys_WasKeyPressed('Q'));
    Sys_SetFocusProbeForTest([] { return false; });
    program.Frame(16);
    EXPECT_FALSE(Sys_AnyKeyDown());
    Sys_SetKeyState(0x21, true);
    OnMainWindowEntry(1);
    OnMainWindowEntry(0);
    EXPECT_FALSE(Sys_AnyKeyDown());

    using tCase = std::pair<cIGameMode*, const char*>;
    for (auto [mode, script] : {tCase{gFlockTestMode, "civ_camera.txt"}, tCase{gCreatureGameMode, "creature_camera.txt"},
                                tCase{gTribeGameMode, "tribe_camera.txt"}, tCase{gCreatureGameMode, "creature_camera.txt"}}) {
      gPendingGameMode = mode;
      program.Frame(16);
      const std::string& file = GetCameraState().scriptFile;
      EXPECT_EQ(file.substr(file.rfind('\\') + 1), script) << mode->GetName();
    }
  });
}

TEST(Startup, SavedGameRulesForModeOptionsAndLoadgame) {
  // ApplyCommandLineOptions only needs the mode globals.
  cTribeGameMode tribe;
  cCityGameMode city;
  cCivGameMode civ;
  cSpaceGameMode space;
  cFlockTestMode flock;
  gTribeGameMode = &tribe;
  gCityGameMode = &city;
  gCivGameMode = &civ;
  gSpaceGameMode = &space;
  gFlockTestMode = &flock;
  auto run = [](std::vector<std::string> args, const std::string& ini) {
    std::vector<char*> argv = {(char*)"quorvel"};
    for (std::string& a : args) argv.push_back(a.data());
    cStartupOptions seen;
    return ApplyCommandLineOptions((int)argv.size(), argv.data(), ini, seen);
  };
  EXPECT_EQ(run({"-tribemode"}, "ini.sav"), "");
  EXPECT_EQ(gCurrentGameMode, (cIGameMode*)&tribe);
  EXPECT_EQ(run({"-loadgame", "a.sav", "-citymode"}, "ini.sav"), "a.sav");
  EXPECT_EQ(gCurrentGameMode, (cIGameMode*)&city);
  EXPECT_EQ(run({"-flocktestmode"}, "ini.sav"), "ini.sav");
  EXPECT_EQ(run({"-civmode", "-spacemode"}, "ini.sav"), "");
  EXPECT_EQ(gCurrentGameMode, (cIGameMode*)&space);  // the last mode option wins
  EXPECT_EQ(run({"-loadgame"}, "ini.sav"), "ini.sav");  // no name to consume: ignored
  gAutoPause = 1;
  EXPECT_EQ(run({"-loadgame", "-noautopause"}, ""), "-noautopause");
  EXPECT_EQ(gAutoPause, 0);  // the consumed name is still compared with the later options
  gAutoPause = 1;
  gTribeGameMode = nullptr; gCityGameMode = nullptr; gCivGameMode = nullptr;
  gSpaceGameMode = nullptr; gFlockTestMode = nullptr; gCurrentGameMode = nullptr;
}

// The window opens within the screen; a cut is named once, before the debug
// window opens, with the file's value and the size the window opens at (the
// shared file's own line for the key gives way to it).
TEST(Startup, WindowStartSizeStaysOnTheScreen) {
  RunIsolated([] {
    const struct {
      const char* text;  // null: the key is absent
      int screen, size;
      const char* named;  // null: nothing
    } rows[] = {
        {"640", 1280, 640, nullptr},         {"1280", 1280, 1280, nullptr},
        {"1281", 1280, 1280, "1281 is cut to 1280"}, {"40000", 1280, 1280, "40000 is cut to 1280"},
        {"-5", 1280, 1, "-5 is cut to 1"},   {"nan", 1280, 640, "\"nan\" is not a number; 640 is used"},
        {"nan", 600, 600, "\"nan\" is not a number; 600 is used"}, {nullptr, 600, 600, "640 is cut to 600"},
        {nullptr, 1280, 640, nullptr},       {"40000", 0, 1, "40000 is cut to 1"},
    };
    for (const auto& row : rows) {
      const std::string where = std::string(row.text ? row.text : "absent") + " on " + std::to_string(row.screen);
      DestroyDebugWindowForTest();
      ForgetBoundedCountNoticesForTest();
      cScratchDir dir;
      if (row.text) dir.Write("tuning.xml", std::string("<t><float name=\"windowstartwidth\" data=\"") + row.text + "\"/></t>");
      cSharedTuningData tuning(dir.Path() + "/");
      EXPECT_EQ(WindowStartSize(tuning, "windowstartwidth", row.screen), row.size) << where;
      CreateDebugWindow();
      GetDebugWindow()->SetMirrorToStdout(false);
      NameTuningCutsMadeBeforeTheDebugWindow();
      const std::vector<std::string> expected = row.named ? std::vector<std::string>{row.named} : std::vector<std::string>{};
      EXPECT_EQ(TuningNoticesSince(0, "windowstartwidth"), expected) << where;
    }
  });
}

// Fault mended: tuning values cut at start-up went unnamed (those read before
// the debug window opened were lost, the others were cut without a word).
TEST(Startup, TuningValuesCutAtStartUpAreNamedOnceInTheDebugWindow) {
  RunIsolated([] {
    cScratchDir dir;
    ASSERT_EQ(mkdir(dir.File("Data").c_str(), 0755), 0);
    dir.Write("Data/tribetuning.xml", "<t><float name=\"creatureSpeed\" data=\"-2.5\"/></t>");
    dir.Write("Data/tuning.xml", "<t><float name=\"windowstartwidth\" data=\"100000\"/>"
                                 "<int name=\"PlantClumpSize\" data=\"0\"/></t>");
    {
      // The sets as they are read before main: now, with no debug window yet.
      cScopedWorkingDir scratch(dir.Path());
      const std::pair<cTuningData*, const char*> sets[] = {{&GetTribeTuningData(), "tribetuning.xml"},
                                                           {&GetSharedTuningData(), "tuning.xml"}};
      for (const auto& [set, name] : sets) {
        set->RemoveFirstFile();
        set->AddFile(name);
        set->Reload();
      }
    }
    ASSERT_EQ(GetDebugWindow(), nullptr);
    cStartedProgram program({"-noautopause"});
    // Fault mended: the window size was named as cut to its key's range while
    // the window opened at the screen's width.
    const std::string screen = std::to_string(glutGet(GLUT_SCREEN_WIDTH));
    const std::pair<const char*, std::string> named[] = {{"creatureSpeed", "-2.5 is cut to 0"},
                                                         {"windowstartwidth", "100000 is cut to " + screen},
                                                         {"PlantClumpSize", "0 is cut to 1"}};
    for (const auto& [key, what] : named) EXPECT_EQ(TuningNoticesSince(0, key), std::vector<std::string>{what}) << key;
  });
}

TEST(Startup, CtrlKeysSaveAndLoadTheModeAndPauseThroughTheFileDialog) {
  RunIsolated([] {
    cStartedProgram program({"-noautopause", "-tribemode"});
    cScratchDir dir;
    std::string file = dir.File("tribe.sav");
    OnKeyboard(16, 0, 0);  // Ctrl+P pauses and ticks the box
    EXPECT_EQ(gPaused, 1);
    EXPECT_EQ(gPauseCheckbox->get_int_val(), 1);
    std::vector<std::string> answers = {file};
    Sys_SetFileDialogAnswersForTest(&answers);
    OnKeyboard(19, 0, 0);  // Ctrl+S
    EXPECT_TRUE(Sys_IsRegularFile(file));
    OnKeyboard(16, 0, 0);
    EXPECT_EQ(gPauseCheckbox->get_int_val(), 0);

    gPendingGameMode = gCityGameMode;
    program.Frame(16);
    answers = {""};  // a cancelled dialog does nothing
    program.log.clear();
    SaveOrLoadGame(2);
    EXPECT_TRUE(program.log.empty());

    answers = {file};
    OnKeyboard(12, 0, 0);  // Ctrl+L
    // The city mode is left; the file made the tribe mode current, which is entered.
    EXPECT_EQ(ModeSwitches(program.log), (std::vector<std::string>{"City.Leave", "Tribe.Enter"}));
    EXPECT_EQ(gCurrentGameMode, (cIGameMode*)gTribeGameMode);

    // Fault mended: a loaded pause stopped the game with the box unticked, and
    // the first Ctrl+P only ticked it. The file keeps the pause in effect, the
    // game's own included (the pointer on the panel); a load makes it the
    // player's, so the box, the game and one Ctrl+P agree.
    enum { kRunning, kByTheBox, kByItself };
    const struct {
      const char* name;
      int pausedAtSave;
      int32_t boxAtLoad;
    } rows[] = {
        {"a paused save into a running game", kByTheBox, 0},
        {"a running save into a paused game", kRunning, 1},
        {"a save the game paused itself into a running game", kByItself, 0},
    };
    for (const auto& row : rows) {
      SCOPED_TRACE(row.name);
      SetUserPause(row.pausedAtSave == kByTheBox);
      gAutoPause = row.pausedAtSave == kByItself;
      OnEntry(0);  // the pointer goes to the control panel's Save Game button
      answers = {file};
      SaveOrLoadGame(1);
      OnEntry(1);
      gAutoPause = 0;
      SetUserPause(row.boxAtLoad);
      answers = {file};
      OnKeyboard(12, 0, 0);  // Ctrl+L
      const int32_t paused = row.pausedAtSave != kRunning;
      EXPECT_EQ(gPauseCheckbox->get_int_val(), paused);
      EXPECT_EQ(gPaused, paused);
      EXPECT_EQ(IsGameClockRunning(), !paused);
      OnKeyboard(16, 0, 0);  // one Ctrl+P
      EXPECT_EQ(gPauseCheckbox->get_int_val(), !paused);
      EXPECT_EQ(gPaused, !paused);
      EXPECT_EQ(IsGameClockRunning(), (bool)paused);
    }
    Sys_SetFileDialogAnswersForTest(nullptr);
  });
}

// A window manager that quit without clearing its check on the root window
// leaves the root naming a destroyed window: start-up carries on as without a
// manager, and so do the dialogs. The check is seen by every client of the
// display, so the case has a server of its own.
TEST(Startup, ACheckLeftByAWindowManagerThatQuitCountsAsNoManager) {
  RunIsolated([] {
    cPrivateTestDisplay display;
    ASSERT_TRUE(display.Started());
    ASSERT_TRUE(Sys_PretendWindowManagerForTest(true));
    cStartedProgram program({"-noautopause"});
    program.Frame(16);
    EXPECT_FALSE(Sys_DesktopCanShowDialogs());
  });
}

// Fault mended: once a gone window's read was let through, the next start-up
// error of any kind was ignored; only freeglut's report of that read is.
TEST(Startup, OnlyFreeglutsReportOfTheGoneReadIsLetThrough) {
  const char* kReadReport = " ERROR:  Internal error <XGetWindowProperty failled> in function fghGetWindowProperty";
  // Faults mended: a report was cut at 1023 bytes, inside a character, and a
  // long program name left no room for the reason, nor for the line's end.
  const std::string kLongReport = std::string(1021, 'x') + "\xE2\x82\xAC\xE2\x82\xAC cannot open display";
  const std::string kLongName = std::string(4100, 'q');
  std::string euros = "q";  // 1 + 3 * 85 bytes: the cut at 255 falls inside the last euro sign
  for (int sign = 0; sign < 100; ++sign) euros += "\xE2\x82\xAC";
  const struct {
    const char* name;
    int goneReads;
    const char* report;
    const char* said;  // on standard error, when the program ends
    const char* program = "quorvel";
  } rows[] = {
      {"the read's own report", 1, kReadReport, nullptr},
      {"another error after a read", 1, "illegal glutInit() reinitialization attempt", "reinitialization attempt"},
      {"the read's report with no read let through", 0, kReadReport, "XGetWindowProperty failled"},
      {"a report past 1023 bytes", 0, kLongReport.c_str(), "x\xE2\x82\xAC\xE2\x82\xAC cannot open display\n"},
      {"a program name of 4100 bytes", 0, "failed to open display ''", "q\\.\\.\\.\\): failed to open display ''\n",
       kLongName.c_str()},
      {"a long name of euro signs, cut between them", 0, "failed to open display ''",
       "(\xE2\x82\xAC){84}\\.\\.\\.\\): failed to open display ''\n", euros.c_str()},
  };
  cDeathTestsInFreshProcesses fresh;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EXIT((Sys_GlutInitErrorsForTest(row.goneReads, row.report, row.program), _exit(0)),
                ::testing::ExitedWithCode(!!row.said),
                row.said ? std::string("freeglut \\(q.*") + row.said : std::string());
  }
}

// Fault mended: a refused load still left the mode and entered it again, which
// built the tribe world anew: the player's tools gone, huts and members
// renumbered, more plants. Now the game goes on exactly as it was.
TEST(Startup, ARefusedLoadLeavesTheGameExactlyAsItWas) {
  RunIsolated([] {
    cStartedProgram program({"-noautopause", "-tribemode"});
    cScratchDir dir;
    cTribe* player = static_cast<cTribeGameMode*>(gTribeGameMode)->GetObjectController()->GetPlayerTribe();
    player->AddTool(kTribeToolWeapon, 1, player->GetHut()->GetPositionVector());
    const std::string before = dir.File("before.sav");
    ASSERT_TRUE(SaveGameFile(before));
    const std::string good = FileContents(before);

    std::string damaged = good, foreign = good, newer = good;
    damaged[good.size() - 1] ^= 1;
    foreign.replace(8, 4, "XXXX");
    newer[4] = (char)(cDataManager::kSaveVersion + 1);
    const struct {
      const char* name;
      std::string bytes;  // none: the file is not there
      std::string text;
    } refused[] = {
        {"missing", "", "Invalid Quorvel Save File"},
        {"folder", "", "Invalid Quorvel Save File"},
        {"too large", good, "Invalid Quorvel Save File: " + dir.File("too large") + " holds 268435457 bytes; a save may hold at most 268435456"},
        {"foreign first chunk", foreign, "Invalid Quorvel File"},
        {"damaged", damaged, "Damaged Quorvel File"},
        {"newer version", newer, "Quorvel File From A Newer Version"},
    };
    std::vector<std::string> answers;
    Sys_SetFileDialogAnswersForTest(&answers);
    for (const auto& row : refused) {
      SCOPED_TRACE(row.name);
      const std::string file = dir.File(row.name);
      if (!row.bytes.empty()) dir.Write(row.name, row.bytes);
      if (std::string(row.name) == "folder") std::filesystem::create_directory(file);
      if (std::string(row.name) == "too large")
        std::filesystem::resize_file(file, cDataManager::kMaxSaveFileBytes + 1);
      program.log.clear();
      program.boxes.boxes.clear();
      answers = {file};
      OnKeyboard(12, 0, 0);  // Ctrl+L, as the "Load Game" button
      ASSERT_EQ(program.boxes.boxes.size(), 1u);
      EXPECT_EQ(program.boxes.boxes[0].caption, "Load Error");
      EXPECT_EQ(program.boxes.boxes[0].text, row.text);
      EXPECT_EQ(ModeSwitches(program.log), std::vector<std::string>{});
    }
    const std::string after = dir.File("after.sav");
    ASSERT_TRUE(SaveGameFile(after));
    EXPECT_TRUE(FileContents(after) == good) << "the game changed under a refused load";

    // A good file still leaves the mode, loads and enters the mode it names.
    program.log.clear();
    answers = {before};
    OnKeyboard(12, 0, 0);
    EXPECT_EQ(ModeSwitches(program.log), (std::vector<std::string>{"Tribe.Leave", "Tribe.Enter"}));
    player = static_cast<cTribeGameMode*>(gTribeGameMode)->GetObjectController()->GetPlayerTribe();
    EXPECT_EQ(player->GetTools().size(), 1u);
    Sys_SetFileDialogAnswersForTest(nullptr);
  });
}

TEST(Startup, ARefusedLoadgameStartsTheModeAsIfNoneWasNamed) {
  RunIsolated([] {
    cScratchDir dir;
    cStartedProgram program({"-noautopause", "-tribemode", "-loadgame", dir.File("missing.sav")});
    EXPECT_EQ(ModeSwitches(program.log), std::vector<std::string>{"Tribe.Enter"});
    EXPECT_EQ(program.boxes.Count("Load Error"), 1);
  });
}

// Faults mended: with no terrain the sound device opened first, and its
// library's log (asked for with ALSOFT_LOGLEVEL) went straight to descriptor
// 2, where a reader that stopped held a start that could not play for good;
// a terrain.bin of the wrong size was read whole before it was refused (1.2 GB
// took 80 s and as much memory). Each start ends before the sound library
// talks, having used less than 300 MB.
TEST(Startup, AStartWithoutTerrainEndsBeforeTheSoundLibraryTalks) {
  ASSERT_TRUE(EnsureTestDisplay());
  const struct {
    const char* name;
    uint64_t terrainBytes;  // a sparse file of that size; 0: no Data folder at all
    const char* said;
  } rows[] = {{"no Data folder", 0, "terrain: cannot open"},
              {"a terrain.bin of 1.2 GB", 1288490188, "terrain: terrain.bin holds 1288490188 bytes"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    cScratchDir folder;
    if (row.terrainBytes) {
      std::filesystem::create_directories(folder.File("Data/Terrain"));
      folder.Write("Data/Terrain/terrain.bin", "");
      ASSERT_EQ(truncate(folder.File("Data/Terrain/terrain.bin").c_str(), (off_t)row.terrainBytes), 0);
    }
    cDeathTestsInFreshProcesses fresh;
    EXPECT_EXIT(
        {
          setenv("ALSOFT_DRIVERS", "null", 1);
          setenv("ALSOFT_LOGLEVEL", "3", 1);
          atexit([] {  // the last handler to run: what the start used at its peak
            rusage used{};
            if (getrusage(RUSAGE_SELF, &used) == 0 && used.ru_maxrss > 300 * 1024) {
              const char kSaid[] = "the start used more than 300 MB\n";
              (void)!write(STDERR_FILENO, kSaid, sizeof kSaid - 1);
            }
          });
          if (chdir(folder.Path().c_str()) == 0) cStartedProgram program({"-noautopause"});
          _exit(0);
        },
        ::testing::ExitedWithCode(1),
        ::testing::AllOf(::testing::HasSubstr(row.said), ::testing::Not(::testing::HasSubstr("AL lib:")),
                         ::testing::Not(::testing::HasSubstr("more than 300 MB"))));
  }
}
