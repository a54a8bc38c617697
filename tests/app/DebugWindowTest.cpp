#include <gtest/gtest.h>

#include "glf/DebugWindow.h"
#include "platform/Sys.h"
#include "tests/support/TestSupport.h"

namespace {

class DebugWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DestroyDebugWindowForTest();
    CreateDebugWindow();
    GetDebugWindow()->SetMirrorToStdout(false);
  }
  void TearDown() override { DestroyDebugWindowForTest(); }
  static std::string Text(const std::string& line) { return line.substr(10); }  // drop "%08X: "
  std::vector<std::string> Lines() {
    auto& lines = GetDebugWindow()->Lines();
    return std::vector<std::string>(lines.begin(), lines.end());
  }
};

class cCountingCommand : public tDebugCommand {
 public:
  cCountingCommand(const char* name, std::vector<std::string>* calls, const char* tag)
      : tDebugCommand(name, "scene [verbose]"), mCalls(calls), mTag(tag) {}
  void Execute(const std::string& line) override { mCalls->push_back(mTag + ":" + line); }
  std::vector<std::string>* mCalls;
  std::string mTag;
};

}  // namespace

TEST_F(DebugWindowTest, LinesCarryTheThreadIdAndTheStoreKeepsTheLast1000) {
  DebugPrintf("Welcome to %s", "Quorvel");
  std::string first = Lines()[0];
  char prefix[16];
  snprintf(prefix, sizeof prefix, "%08X: ", Sys_ThreadId());
  EXPECT_EQ(first, std::string(prefix) + "Welcome to Quorvel");
  for (int i = 1; i <= 1000; ++i) DebugPrintf("line %d", i);
  auto lines = Lines();
  ASSERT_EQ(lines.size(), 1000u);
  EXPECT_EQ(Text(lines.front()), "line 1");
  EXPECT_EQ(Text(lines.back()), "line 1000");
}

// Fault mended: a text of several lines (the about box's) left its later
// lines bare on standard output, without the thread prefix.
TEST_F(DebugWindowTest, EachLineOfAManyLineTextGetsThePrefix) {
  DebugPrintf("[Quorvel] first\nsecond\n");
  ASSERT_EQ(Lines().size(), 2u);
  EXPECT_EQ(Lines()[0], Lines()[0].substr(0, 10) + "[Quorvel] first");
  EXPECT_EQ(Lines()[1], Lines()[0].substr(0, 10) + "second");
}

// Printed lines are cut to 2047 bytes as shown and typed commands to 255,
// never inside a character, one byte or three into it, in the window and on
// standard output alike (mended: the cut's part was shown as stray bytes, also
// at the end of a text of several lines; control characters' notations were
// counted as one byte each, so a line was shown up to four times longer).
TEST_F(DebugWindowTest, LongOutputAndCommandsAreCutBetweenCharacters) {
  const std::string euro = "\xE2\x82\xAC", smile = "\xF0\x9F\x99\x82";
  const struct {
    const char* name;
    bool typed;
    std::string text, line;
  } rows[] = {
      {"printed", false, std::string(5000, 'x'), std::string(2047, 'x')},
      {"printed, a character across the cut", false, std::string(2046, 'x') + euro, std::string(2046, 'x')},
      {"printed, three bytes of a character before the cut", false, std::string(2044, 'x') + smile,
       std::string(2044, 'x')},
      {"printed, several lines, a character across the cut", false, "first\n" + std::string(2040, 'x') + euro,
       std::string(2040, 'x')},
      // The bound holds of the line as shown, never inside a notation.
      {"printed, control characters", false, std::string(1500, '\x1b'), RepeatedText("^[", 1023)},
      {"printed, bytes not UTF-8", false, std::string(1000, '\x9b'), RepeatedText("<9B>", 511)},
      {"typed", true, std::string(300, 'x'), ">" + std::string(255, 'x')},
      {"typed, a character across the cut", true, std::string(253, 'x') + euro, ">" + std::string(253, 'x')},
      {"typed, three bytes of a character before the cut", true, std::string(252, 'x') + smile,
       ">" + std::string(252, 'x')},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    GetDebugWindow()->SetMirrorToStdout(true);
    cCapturedOutput out;
    if (row.typed) GetDebugWindow()->RunTypedCommand(row.text);
    else DebugPrintf("%s", row.text.c_str());
    const std::string printed = out.End();
    GetDebugWindow()->SetMirrorToStdout(false);
    EXPECT_EQ(Text(Lines().back()), row.line);
    ASSERT_GE(printed.size(), 2u);
    const size_t lastLine = printed.rfind('\n', printed.size() - 2);
    EXPECT_EQ(printed.substr(lastLine == std::string::npos ? 0 : lastLine + 1), Lines().back() + "\n");
  }
}

TEST_F(DebugWindowTest, HelpListsCommandsThenTheAsteriskRow) {
  std::vector<std::string> calls;
  cCountingCommand scene("scene", &calls, "a");
  RegisterDebugCommand(&scene);
  GetDebugWindow()->RunTypedCommand("  help  ");
  auto lines = Lines();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(Text(lines[0]), ">  help  ");
  EXPECT_EQ(Text(lines[1]), "Current Commands:");
  EXPECT_EQ(Text(lines[2]), "help");
  EXPECT_EQ(Text(lines[3]), "scene");
  EXPECT_EQ(Text(lines[4]), "*****************");
  UnregisterDebugCommand(&scene);
}

TEST_F(DebugWindowTest, HelpOnATopicShowsItsUsageAndUnknownTopicsOnlyEcho) {
  std::vector<std::string> calls;
  cCountingCommand scene("scene", &calls, "a");
  RegisterDebugCommand(&scene);
  GetDebugWindow()->RunTypedCommand("help scene");
  EXPECT_EQ(Text(Lines().back()), "scene - usage: scene [verbose]");
  size_t before = Lines().size();
  GetDebugWindow()->RunTypedCommand("help nothing");
  EXPECT_EQ(Lines().size(), before + 1);
  GetDebugWindow()->RunTypedCommand("nothing at all");
  EXPECT_EQ(Lines().size(), before + 2);
  UnregisterDebugCommand(&scene);
}

TEST_F(DebugWindowTest, CommandsWithOneNameAllRunInRegistrationOrderWithTheWholeLine) {
  std::vector<std::string> calls;
  cCountingCommand first("scene", &calls, "first"), second("scene", &calls, "second"), other("Scene", &calls, "x");
  RegisterDebugCommand(&first);
  RegisterDebugCommand(&second);
  RegisterDebugCommand(&other);
  GetDebugWindow()->RunTypedCommand("scene 1 2");
  ASSERT_EQ(calls.size(), 2u);  // names compare case-sensitively
  EXPECT_EQ(calls[0], "first:scene 1 2");
  EXPECT_EQ(calls[1], "second:scene 1 2");
  // A control character is echoed visibly (a CR moved the cursor back over
  // the echo), and the line runs as typed.
  GetDebugWindow()->RunTypedCommand("scene\x1b[2J\rx");
  EXPECT_EQ(Text(Lines().back()), ">scene^[[2J^Mx");
  EXPECT_EQ(calls.size(), 2u);
  UnregisterDebugCommand(&first);
  UnregisterDebugCommand(&second);
  UnregisterDebugCommand(&other);
}

TEST(DebugConsole, SplitKeepsOnlyNonEmptyWords) {
  std::vector<std::string> words = {"kept"};
  EXPECT_EQ(SplitDebugCommandLine("  a  bb   c ", &words), 3);
  EXPECT_EQ(words, (std::vector<std::string>{"kept", "a", "bb", "c"}));
  EXPECT_EQ(SplitDebugCommandLine("    ", &words), 0);
  EXPECT_EQ(SplitDebugCommandLine("", &words), 0);
}

TEST(DebugConsole, PrintingWithoutAWindowDoesNothing) {
  DestroyDebugWindowForTest();
  DebugPrintf("lost");
  EXPECT_EQ(GetDebugWindow(), nullptr);
}
