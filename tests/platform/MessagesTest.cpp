#include <gtest/gtest.h>

#include "platform/Sys.h"
#include "tests/support/TestSupport.h"

// Fault mended: a box shown before the debug window existed (a broken tuning
// file read at start-up) reached standard error only.
TEST(MessageBoxes, BoxesShownBeforeTheEchoExistsReachItWhenItIsSet) {
  static std::vector<std::string> echoed;
  echoed.clear();  // the case run again
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
  shown.clear();  // the case run again
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
    bool beforeTheWindow = false;  // shown before the game window can show boxes, handed over once it can
  } rows[] = {
      {"mode\rframes", "mode^Mframes"}, {"\x1b[2Jcleared", "^[[2Jcleared"}, {"a\tb", "a\tb"},
      {"del\x7f", "del^?"}, {"\x01\x1f", "^A^_"}, {"caf\xc3\xa9", "caf\xc3\xa9"},
      {"\x1b[2Jearly\r", "^[[2Jearly^M", true},
      // C1 controls, which some terminals obey as ESC sequences, and bytes
      // that are not UTF-8 (mended: written as they came).
      {"x\xc2\x9b" "2J\xc2\x9d" "0;T\xc2\x9c", "x<U+009B>2J<U+009D>0;T<U+009C>"}, {"\xc2\x80\xc2\x9f", "<U+0080><U+009F>"},
      {"|\x9b" "31m|\x80\x80", "|<9B>31m|<80><80>"}, {"cut \xe2\x82", "cut <E2><82>"},
      {"overlong \xc0\xaf\xe0\x80\xaf", "overlong <C0><AF><E0><80><AF>"},
      {"surrogate \xed\xa0\x80", "surrogate <ED><A0><80>"}, {"past U+10FFFF \xf4\x90\x80\x80", "past U+10FFFF <F4><90><80><80>"},
      {"\xc2\xa0\xf4\x8f\xbf\xbf\xf0\x9f\x99\x82", "\xc2\xa0\xf4\x8f\xbf\xbf\xf0\x9f\x99\x82"},  // characters next to those
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

// Fault mended: a printed line cut to its 4095 bytes could end inside a
// character, its first bytes then shown as bytes that are not UTF-8.
TEST(MessageBoxes, PrintedLinesAreCutBetweenCharacters) {
  const std::string x4095(4095, 'x');
  const struct {
    std::string text;
    const char* format;
    std::string printed;
  } rows[] = {{std::string(5000, 'x'), "%s", x4095},
              {std::string(4094, 'x') + "\xc3\xa9", "%s", std::string(4094, 'x')},
              {std::string(4093, 'x') + "\xf0\x9f\x99\x82", "%s", std::string(4093, 'x')},
              {std::string(4092, 'x') + "\xf0\x9f\x99\x82", "%s", std::string(4092, 'x')},
              // A cut line keeps its line end (mended: the next line began on it).
              {std::string(5000, 'x'), "%s\n", x4095 + "\n"},
              {x4095, "%s\n", x4095 + "\n"},
              {std::string(5000, 'x') + "\n", "%s", x4095 + "\n"},  // the text's own line end (mended: lost past 4098 bytes)
              // The bound holds of the line as written, control characters shown.
              {std::string(3000, '\r'), "%s\n", RepeatedText("^M", 2047) + "\n"}};
  for (const auto& row : rows) {
    cCapturedOutput captured(cCapturedOutput::Stream::Stderr);
    Sys_Print(SysStream::Err, row.format, row.text.c_str());
    EXPECT_EQ(captured.End(), row.printed) << row.text.size() << " bytes, " << row.format;
  }
}
