#include <gtest/gtest.h>

#include <string>

#include "sim/rovurozoviz/RovurozovizPrepared.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"
#include "tests/support/TestSupport.h"

// Mended: these scripts used to hang the game, grow a stack until memory ran
// out, or jump to instruction -1.
TEST(RovurozovizRobustness, RunawayRunsEnd) {
  cMessageCapture boxes;
  struct {
    const char* text;
    int stop;  // where the run must stop
  } cases[] = {
      {"l: goto l", 0},
      {"a = 1 goto nowhere a = 2", 2},     // undefined label: the run ends at the jump
      {"a = 1 gosub nowhere a = 2", 2},
      {"l: gosub l", 0},                   // return stack cap
      {"l: push 1 goto l", -1},            // value stack cap
      {"l: a = 1, 2 goto l", -1},
      {"a = 0 l: a = a + 1 if (a > 0) goto l endif", -1},  // budget
  };
  for (const auto& c : cases) {
    cRovurozovizProgram program;
    EXPECT_TRUE(program.Compile(c.text)) << c.text;
    int stop = program.Run();
    EXPECT_TRUE(program.RunWasCutShort()) << c.text;
    if (c.stop >= 0) {
      EXPECT_EQ(stop, c.stop) << c.text;
    }
    EXPECT_LE(program.ValueStackDepth(), cRovurozovizProgram::kMaxValueStack);
    if (std::string(c.text).find("nowhere") != std::string::npos) {
      EXPECT_EQ(program.GetVariable("a"), 1.0f);
    }
    // The program stays usable: a second run behaves the same.
    EXPECT_EQ(program.Run(), stop) << c.text;
  }
  EXPECT_TRUE(boxes.boxes.empty());
  cRovurozovizProgram normal;
  ASSERT_TRUE(normal.Compile("a = 1"));
  normal.Run();
  EXPECT_FALSE(normal.RunWasCutShort());
}

// The fuzz harness lowers the budget so a looping script cannot outlast its timeout.
TEST(RovurozovizRobustness, ALowerRunBudgetCutsALoopSooner) {
  cRovurozovizProgram program;
  ASSERT_TRUE(program.Compile("a = 0 l: a = a + 1 if (a > 0) goto l endif"));
  program.SetRunBudget(1000);
  program.Run();
  EXPECT_TRUE(program.RunWasCutShort());
  EXPECT_GT(program.GetVariable("a"), 10.0f);
  EXPECT_LT(program.GetVariable("a"), 1000.0f);
}

// Mended: a token longer than the scanner's buffer ended the process.
TEST(RovurozovizRobustness, HugeTokensAndDeepNesting) {
  cMessageCapture boxes;
  std::string name(100000, 'x');
  cRovurozovizProgram program;
  ASSERT_TRUE(program.Compile((name + " = 3 b = " + name).c_str()));
  program.Run();
  EXPECT_EQ(program.GetVariable("b"), 3.0f);
  ASSERT_TRUE(program.Compile(("a = " + std::string(50000, '7')).c_str()));

  // Nesting beyond the parser's depth is a syntax error, not a stack overflow.
  std::string deep = "a = " + std::string(20000, '(') + "1" + std::string(20000, ')');
  EXPECT_FALSE(program.Compile(deep.c_str()));
  std::string ifs;
  for (int i = 0; i < 20000; ++i) ifs += "if (1) ";
  EXPECT_FALSE(program.Compile((ifs + "a = 1").c_str()));
  // Every operator level, 20000 deep: "a = a or b and c > d + e * f ^ ( b and ... ^ (1)))", built
  // in one pass (rebuilding the whole text per level was quadratic, minutes under the sanitizers).
  const std::string level = " b and c > d + e * f ^ (";
  std::string mixed = "a = a or" + level;
  mixed.reserve(mixed.size() + 19999 * level.size() + 1 + 20000);
  for (int i = 1; i < 20000; ++i) mixed += level;
  mixed += "1" + std::string(20000, ')');
  EXPECT_FALSE(program.Compile(mixed.c_str()));
  EXPECT_EQ(boxes.Count("Rovurozoviz Error"), 3);

  // Nesting up to the bound still compiles; one level more does not.
  const int most = cRovurozovizProgram::kMaxParseNesting;
  std::string fine = "a = " + std::string(most, '(') + "2" + std::string(most, ')');
  EXPECT_TRUE(program.Compile(fine.c_str()));
  program.Run();
  EXPECT_EQ(program.GetVariable("a"), 2.0f);
  EXPECT_FALSE(program.Compile(("a = (" + fine.substr(4) + ")").c_str()));
  std::string deepestIfs;
  for (int i = 0; i < most; ++i) deepestIfs += "if (1) ";
  deepestIfs += "a = 3";
  for (int i = 0; i < most; ++i) deepestIfs += " endif";
  EXPECT_TRUE(program.Compile(deepestIfs.c_str()));
  program.Run();
  EXPECT_EQ(program.GetVariable("a"), 3.0f);
  EXPECT_FALSE(program.Compile(("if (1) " + deepestIfs + " endif").c_str()));
  EXPECT_EQ(boxes.Count("Rovurozoviz Error"), 5);
}

TEST(RovurozovizRobustness, SkipsStopAtTheEndOfTheCode) {
  // Hand-built code whose IF and ELSE have no closing marker: the scans must
  // stop at the end and continue one past it.
  std::vector<tRovurozovizInstruction> code(3);
  code[0].opcode = IF;
  code[1].opcode = ELSE;
  code[2].opcode = NOP;
  std::vector<tRovurozovizPreparedStep> single, fused;
  PrepareRovurozovizSteps(code, single, fused);
  EXPECT_EQ(single[0].dest, 2);  // the IF stops at the ELSE
  EXPECT_EQ(single[1].dest, 4);  // the ELSE finds no ENDIF
  code[1].opcode = IF;
  PrepareRovurozovizSteps(code, single, fused);
  EXPECT_EQ(single[0].dest, 4);
}

TEST(RovurozovizRobustness, CompileRejectsNullAndEmbeddedNulEndsTheText) {
  cMessageCapture boxes;
  cRovurozovizProgram program;
  EXPECT_FALSE(program.Compile(nullptr));
  const char text[] = "a = 1\0 b = ;";
  EXPECT_TRUE(program.Compile(text));
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST(RovurozovizRobustness, PreparedStepsEndWithTwoEndSteps) {
  // A run to the end relies on them instead of checking its position.
  std::vector<tRovurozovizInstruction> code(2);
  code[0].opcode = IF;
  code[1].opcode = NOP;
  std::vector<tRovurozovizPreparedStep> single, fused;
  PrepareRovurozovizSteps(code, single, fused);
  ASSERT_EQ(single.size(), 4u);
  ASSERT_EQ(fused.size(), 4u);
  for (size_t i = 2; i < 4; ++i) {
    EXPECT_EQ(single[i].kind, kStepEnd);
    EXPECT_EQ(fused[i].kind, kStepEnd);
    EXPECT_EQ(fused[i].length, 0);
  }
  EXPECT_EQ(single[0].dest, 3);  // a false IF off the end lands on the second
  cRovurozovizProgram program;
  ASSERT_TRUE(program.Compile("a = 1 if (0) a = 2 endif"));
  EXPECT_EQ(program.Run(), int(program.Code().size()));
  EXPECT_EQ(program.ExecuteUnfused(0, -1), int(program.Code().size()));
  EXPECT_EQ(program.GetVariable("a"), 1.0f);
}
