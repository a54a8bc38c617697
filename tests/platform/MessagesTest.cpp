#include <gtest/gtest.h>

#include "platform/Sys.h"
#include "tests/support/TestSupport.h"

// Fault mended: a box shown before the debug window existed (a broken tuning
// file read at start-up) reached standard error only.
TEST(MessageBoxes, BoxesShownBeforeTheEchoExistsReachItWhenItIsSet) {
  static std::vector<std::string> echoed;
  Sys_SetMessageSink(nullptr);
  DropEarlyMessages();  // what earlier cases left waiting
  cCapturedOutput captured(cCapturedOutput::Stream::Stderr);
  Sys_MessageBox("Script Error", "early");
  Sys_SetMessageEcho([](const char* line) { echoed.push_back(line); });
  Sys_MessageBox("Load Error", "later");
  std::string printed = captured.End();
  Sys_SetMessageEcho(nullptr);
  EXPECT_EQ(echoed, (std::vector<std::string>{"[Script Error] early", "[Load Error] later"}));
  EXPECT_NE(printed.find("[Script Error] early"), std::string::npos);
}

// Fault mended: a plain box reached only standard error and the debug window,
// where herd lines buried it; questions are asked elsewhere and not shown.
TEST(MessageBoxes, PlainBoxesAlsoReachTheGameWindowEarlyOnesWhenItCanShowThem) {
  static std::vector<std::string> shown;
  Sys_SetMessageSink(nullptr);
  DropEarlyMessages();  // what earlier cases left waiting
  cCapturedOutput captured(cCapturedOutput::Stream::Stderr);
  Sys_MessageBox("Script Error", "early");
  Sys_SetMessageShow([](const char* caption, const char* text) { shown.push_back(std::string(caption) + "|" + text); });
  Sys_MessageBox("Win", "keep playing?", SysBox::OkCancel);
  captured.End();
  Sys_SetMessageShow(nullptr);
  EXPECT_EQ(shown, (std::vector<std::string>{"Script Error|early"}));
}

// Fault mended: text from input reached the terminal raw, a CR moving its
// cursor over the line and an escape sequence obeyed. Standard error and the
// game window show its control characters visibly; line ends and tabs stay,
// also in a box kept until the game window can show it.
TEST(MessageBoxes, ControlCharactersInATextAreShownVisiblyWhereverItGoes) {
  static std::vector<std::string> shown;
  const struct {
    const char* text;
    const char* visible;
    bool beforeTheWindow;  // shown before the game window can show boxes, handed over once it can
  } rows[] = {
      {"mode\rframes", "mode^Mframes", false}, {"\x1b[2Jcleared", "^[[2Jcleared", false}, {"a\tb", "a\tb", false},
      {"del\x7f", "del^?", false},             {"\x01\x1f", "^A^_", false},
      {"caf\xc3\xa9", "caf\xc3\xa9", false},    {"\x1b[2Jearly\r", "^[[2Jearly^M", true},
  };
  Sys_SetMessageSink(nullptr);
  DropEarlyMessages();
  const auto show = [](const char*, const char* text) { shown.push_back(text); };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.visible);
    shown.clear();
    Sys_SetMessageShow(row.beforeTheWindow ? nullptr : +show);
    cCapturedOutput captured(cCapturedOutput::Stream::Stderr);
    Sys_MessageBox("Load Error", row.text);
    EXPECT_EQ(captured.End(), std::string("[Load Error] ") + row.visible + "\n");
    Sys_SetMessageShow(show);
    EXPECT_EQ(shown, std::vector<std::string>{row.visible});
  }
  Sys_SetMessageShow(nullptr);
}
