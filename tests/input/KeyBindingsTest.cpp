#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "app/AppGlobals.h"
#include "app/GameCommands.h"
#include "input/KeyBindings.h"
#include "input/KeyNames.h"
#include "platform/Sys.h"
#include "tests/support/TestSupport.h"

namespace {

struct cEvent {
  std::string action;
  float value;
  unsigned framesHeld;
  bool operator==(const cEvent&) const = default;
};

struct cRecordingHandler : cIInputEventHandler {
  void HandleInputEvent(const char* action, float value, unsigned framesHeld) override {
    events.push_back({action, value, framesHeld});
  }
  std::vector<cEvent> events;
};

struct cBound {
  int key;
  std::string action;
  float value;
  bool operator==(const cBound&) const = default;
};

std::vector<cBound> Bound(const cKeyBindings& bindings) {
  std::vector<cBound> out;
  for (const cKeyBindings::Binding& b : bindings.GetBindings()) out.push_back({b.keys.at(0), b.action, b.value});
  return out;
}

cKeyBindings TableWithMoveAndTurn(cRecordingHandler& handler) {
  cKeyBindings bindings;
  bindings.RegisterAction("MOVE", &handler);
  bindings.RegisterAction("TURN", &handler);
  return bindings;
}

}  // namespace

TEST(KeyFile, ParsesBindLinesAndReportsUnknownKeys) {
  const std::string longWord(300, 'X');
  struct cCase {
    const char* what;
    std::string text;
    std::vector<cBound> bound;
    std::vector<std::string> messages;
  };
  const std::vector<cCase> cases = {
      {"three fields", "BIND A MOVE -1.5\n", {{0x41, "MOVE", -1.5f}}, {}},
      {"two fields give 0", "BIND LEFT TURN\n", {{0x25, "TURN", 0.0f}}, {}},
      {"a value that is no number gives 0", "BIND D TURN fast\n", {{0x44, "TURN", 0.0f}}, {}},
      {"comments and other lines", "# BIND A MOVE 1\nhello\n\nBIND\nBIND A\n", {}, {}},
      {"leading blanks or lower case bind", " BIND A MOVE 1\nbind A MOVE 1\nBINDA MOVE 1\n", {}, {}},
      {"unregistered action is dropped silently", "BIND A JUMP 1\nBIND W MOVE 2\n", {{0x57, "MOVE", 2.0f}}, {}},
      {"lower-case key name", "BIND a MOVE 1\nBIND F24 MOVE 3\n", {{0x87, "MOVE", 3.0f}},
       {"Unrecognized key a in key file keys.txt"}},
      {"tabs and CRLF", "BIND\tOEM_COMMA\tTURN\t0.25\r\n", {{0xBC, "TURN", 0.25f}}, {}},
      {"non-finite value", "BIND A MOVE nan\nBIND A MOVE 1e99\n", {},
       {"Invalid value nan in key file keys.txt", "Invalid value 1e99 in key file keys.txt"}},
      {"an over-long key name is one unknown word", "BIND " + longWord + " MOVE 1\n", {},
       {"Unrecognized key " + longWord + " in key file keys.txt"}},
      {"an over-long action name is an unknown action", "BIND A " + longWord + " 1\n", {}, {}},
      {"a line over 1023 characters is dropped whole",
       "BIND A MOVE 1 " + std::string(1100, ' ') + "\nBIND S MOVE 2\n", {{0x53, "MOVE", 2.0f}}, {}},
      {"a line of exactly 1023 characters is read",
       "BIND A MOVE 1" + std::string(1023 - 13, ' ') + "\n", {{0x41, "MOVE", 1.0f}}, {}},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.what);
    cMessageCapture boxes;
    cRecordingHandler handler;
    cKeyBindings bindings = TableWithMoveAndTurn(handler);
    bindings.LoadKeyText(c.text, "keys.txt");
    EXPECT_EQ(Bound(bindings), c.bound);
    std::vector<std::string> messages;
    for (const auto& box : boxes.boxes) {
      EXPECT_EQ(box.caption, "Error");
      messages.push_back(box.text);
    }
    EXPECT_EQ(messages, c.messages);
  }
}

TEST(KeyFile, AMissingFileShowsOneMessageAndLeavesNoBindings) {
  cMessageCapture boxes;
  cRecordingHandler handler;
  cKeyBindings bindings = TableWithMoveAndTurn(handler);
  bindings.LoadKeyText("BIND A MOVE 1\n", "keys.txt");
  EXPECT_FALSE(bindings.LoadKeyFile(".\\Data\\Scripts\\no_such_keys.txt"));
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "Error - could not load key file .\\Data\\Scripts\\no_such_keys.txt");
  EXPECT_TRUE(bindings.GetBindings().empty());
}

TEST(KeyFile, TheGamesOwnKeyFileLoadsWithoutAMessage) {
  cMessageCapture boxes;
  cRecordingHandler handler;
  cKeyBindings bindings;
  bindings.RegisterAction("ROTATE_CAMERA", &handler);
  bindings.RegisterAction("PAUSE", &handler);
  EXPECT_TRUE(bindings.LoadKeyFile(".\\Data\\Scripts\\quorvel_keys.txt"));
  EXPECT_TRUE(boxes.boxes.empty());
  std::vector<float> rotations;
  int pauses = 0;
  for (const auto& b : bindings.GetBindings()) {
    if (b.action == "ROTATE_CAMERA") rotations.push_back(b.value);
    pauses += b.action == "PAUSE";
  }
  EXPECT_EQ(rotations, (std::vector<float>{-1.0f, 1.0f}));
  EXPECT_EQ(pauses, 1);
}

// Polling with keys set by hand; every case starts and ends with all keys up.
class KeyBindingsPoll : public ::testing::Test {
 protected:
  void SetUp() override { Sys_ClearKeyStates(); }
  void TearDown() override { Sys_ClearKeyStates(); }
  cRecordingHandler handler;
  cKeyBindings bindings = TableWithMoveAndTurn(handler);
};

TEST_F(KeyBindingsPoll, CountsHeldFramesAndRestartsAfterARelease) {
  bindings.LoadKeyText("BIND W MOVE 1\n", "keys.txt");
  Sys_SetKeyState('W', true);
  for (int i = 0; i < 3; ++i) bindings.Poll();
  Sys_SetKeyState('W', false);
  bindings.Poll();
  Sys_SetKeyState('W', true);
  bindings.Poll();
  EXPECT_EQ(handler.events, (std::vector<cEvent>{{"MOVE", 1, 1}, {"MOVE", 1, 2}, {"MOVE", 1, 3}, {"MOVE", 1, 1}}));

  handler.events.clear();  // loading again resets the counts
  bindings.LoadKeyText("BIND W MOVE 1\n", "keys.txt");
  bindings.Poll();
  EXPECT_EQ(handler.events, (std::vector<cEvent>{{"MOVE", 1, 1}}));
}

TEST_F(KeyBindingsPoll, TwoKeysOnOneActionSendTwoEventsAFrame) {
  bindings.LoadKeyText("BIND A TURN -1.0\nBIND D TURN 1.0\nBIND D MOVE 5\n", "keys.txt");
  Sys_SetKeyState('A', true);
  Sys_SetKeyState('D', true);
  bindings.Poll();
  bindings.Poll();
  EXPECT_EQ(handler.events, (std::vector<cEvent>{{"TURN", -1, 1}, {"TURN", 1, 1}, {"MOVE", 5, 1},
                                                 {"TURN", -1, 2}, {"TURN", 1, 2}, {"MOVE", 5, 2}}));
}

// Fault mended: a tap shorter than a frame (down and up between two polls) was
// lost, so quick F12 taps did nothing. It counts once, as a press of one frame.
TEST_F(KeyBindingsPoll, ATapBetweenTwoPollsCountsOnceForEveryBindingOfTheKey) {
  bindings.LoadKeyText("BIND D TURN 1.0\nBIND D MOVE 5\n", "keys.txt");
  Sys_SetKeyState('D', true);
  Sys_SetKeyState('D', false);
  bindings.Poll();
  bindings.Poll();
  EXPECT_EQ(handler.events, (std::vector<cEvent>{{"TURN", 1, 1}, {"MOVE", 5, 1}}));
}

TEST(KeyBindings, ThePauseKeyTogglesOncePerPressHoweverLongItIsHeld) {
  Sys_ClearKeyStates();
  cQuorvelInputEventHandler appHandler;
  cKeyBindings bindings;
  bindings.RegisterAction("PAUSE", &appHandler);
  bindings.LoadKeyText("BIND F12 PAUSE\n", "keys.txt");
  gUserPause = 0;
  Sys_SetKeyState(0x7B, true);
  for (int i = 0; i < 4; ++i) bindings.Poll();
  EXPECT_EQ(gUserPause, 1);
  EXPECT_EQ(gPaused, 1);
  Sys_SetKeyState(0x7B, false);
  bindings.Poll();
  Sys_SetKeyState(0x7B, true);
  for (int i = 0; i < 3; ++i) bindings.Poll();
  EXPECT_EQ(gUserPause, 0);
  EXPECT_EQ(gPaused, 0);
  Sys_ClearKeyStates();
}

TEST(KeyState, GlutKeysFindTheirVirtualKeyCodes) {
  struct cCase {
    const char* what;
    bool special;
    int key;
    int modifiers;
    std::vector<int> down;
  };
  const int shift = 1, ctrl = 2;  // GLUT_ACTIVE_SHIFT, GLUT_ACTIVE_CTRL
  const std::vector<cCase> cases = {
      {"letter", false, 'w', 0, {'W'}},
      {"letter with Ctrl", false, 23, ctrl, {'W', 0x11}},
      {"shifted symbol is its key", false, '!', shift, {'1', 0x10}},
      {"shifted comma", false, '<', shift, {0xBC, 0x10}},
      {"return is not Ctrl+M", false, 13, 0, {0x0D}},
      {"delete", false, 127, 0, {0x2E}},
      {"function key", true, 3 /* GLUT_KEY_F3 */, 0, {0x72}},
      {"page down", true, 0x69 /* GLUT_KEY_PAGE_DOWN */, 0, {0x22}},
      {"right shift is also shift", true, 0x71 /* GLUT_KEY_SHIFT_R */, 0, {0xA1, 0x10}},
      {"left Alt is also Alt", true, 0x74 /* GLUT_KEY_ALT_L */, 0, {0xA4, 0x12}},
      {"unmapped character", false, 200, 0, {}},
  };
  for (const cCase& c : cases) {
    SCOPED_TRACE(c.what);
    Sys_ClearKeyStates();
    if (c.special) Sys_NoteGlutSpecialKey(c.key, true, c.modifiers);
    else Sys_NoteGlutKey((unsigned char)c.key, true, c.modifiers);
    std::vector<int> down;
    for (int code = 0; code < 256; ++code)
      if (Sys_IsKeyDown(code)) down.push_back(code);
    std::vector<int> expected = c.down;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(down, expected);
  }
  // Pressed with Shift, released without: still one key, now up.
  Sys_ClearKeyStates();
  Sys_NoteGlutKey('!', true, shift);
  Sys_NoteGlutKey('1', false, 0);
  EXPECT_FALSE(Sys_IsKeyDown('1'));
  EXPECT_FALSE(Sys_IsKeyDown(0x10));  // Shift was let go elsewhere: the next key event notices
  Sys_ClearKeyStates();
}

TEST(KeyState, EveryKeyNameWithAnXKeyHasItsKeysym) {
  const std::set<std::string> withoutXKey = {"LBUTTON", "RBUTTON", "MBUTTON",  "ACCEPT", "PRINT",    "OEM_8",
                                             "PROCESSKEY", "ZOOM", "NONAME", "OEM_CLEAR"};
  const std::map<std::string, int>& names = KeyNameTable();
  EXPECT_EQ(names.size(), 151u);
  for (const auto& [name, code] : names) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Sys_KeysymOfVirtualKey(code) != 0, withoutXKey.count(name) == 0);
  }
  EXPECT_EQ(Sys_KeysymOfVirtualKey(names.at("A")), 0x61u);       // XK_a
  EXPECT_EQ(Sys_KeysymOfVirtualKey(names.at("NUMPAD7")), 0xFFB7u);  // XK_KP_7
  EXPECT_EQ(names.at("KANA"), names.at("HANGUL"));
}
