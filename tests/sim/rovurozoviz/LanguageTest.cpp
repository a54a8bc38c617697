#include <gtest/gtest.h>

#include <cmath>

#include "sim/rovurozoviz/RovurozovizProgram.h"
#include "tests/sim/rovurozoviz/ScriptHelpers.h"
#include "tests/support/TestSupport.h"

TEST(RovurozovizExpressions, PrecedenceAndGrouping) {
  struct {
    const char* text;
    float expected;
  } cases[] = {
      {"a = 2 ^ 3 ^ 2", 64},       {"a = -2 ^ 2", 4},           {"a = 2 ^ -1", 0.5f},
      {"b = 3 a = - - b", 3},      {"a = 1 + 2 * 3", 7},        {"a = (1 + 2) * 3", 9},
      {"a = 10 - 4 - 3", 3},       {"a = 64 / 4 / 2", 8},       {"a = 2 * 3 ^ 2", 18},
      {"a = 3 < 2 < 1", 1},        {"a = 1 or 0 and 0", 1},     {"a = 1 + 1 > 1", 1},
      {"a = 1 > 0 == 1", 1},       {"a = 0 or 1 == 1", 1},      {"a = 5 - -3", 8},
      {"a = 1 < 2 and 2 < 3", 1},  {"a = 6 / 2 * 3", 9},        {"a = -3 - 2", -5},
  };
  for (const auto& c : cases) EXPECT_FLOAT_EQ(EvaluateA(c.text), c.expected) << c.text;
}

TEST(RovurozovizExpressions, ComparisonsUseTheLanguagesTolerances) {
  struct {
    const char* text;
    float expected;
  } cases[] = {
      {"a = 1 == 1.00005", 1}, {"a = 1 ~= 1.00005", 0}, {"a = 1 == 1.0002", 0}, {"a = 1 ~= 1.0002", 1},
      {"a = 2 > 1", 1},        {"a = 1 > 1", 0},        {"a = 1 >= 1", 1},      {"a = 1 <= 0", 0},
      {"a = 1 < 2", 1},        {"a = 0.00002 and 1", 0}, {"a = 1 and 0.00002", 1}, {"a = 0.00002 or 0", 0},
      {"a = 0 or 0.00002", 1}, {"a = 0.0002 and 1", 1}, {"a = 0 and 0", 0},     {"a = 5 and 0", 0},
      // At exactly a threshold: a difference of 0.0001 is neither equal nor unequal,
      // and neither and/or side counts as true at its own threshold.
      {"a = 0.0001 == 0", 0},  {"a = 0.0001 ~= 0", 0},  {"a = 0.0001 and 1", 0}, {"a = 1 and 0.00001", 0},
      {"a = 0.0001 or 0", 0},  {"a = 0 or 0.00001", 0}, {"a = 0.00011 or 0", 1}, {"a = 1 < 1", 0},
      {"a = 1 <= 1", 1},       {"a = 1 ~= 1", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(EvaluateA(c.text), c.expected) << c.text;
}

TEST(RovurozovizExpressions, IeeeResultsWithoutMessages) {
  cMessageCapture boxes;
  EXPECT_TRUE(std::isinf(EvaluateA("a = 1 / 0")));
  float nan = EvaluateA("a = 0 / 0");
  EXPECT_TRUE(std::isnan(nan));
  EXPECT_EQ(EvaluateA("n = 0 / 0 a = n > 1 or n < 1 or n >= 1 or n <= 1"), 0.0f);  // NaN compares false
  EXPECT_EQ(EvaluateA("n = 0 / 0 a = 0 if (n) a = 1 endif"), 1.0f);                // NaN counts as true
  EXPECT_TRUE(std::isnan(EvaluateA("a = (0 - 8) ^ 0.5")));
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST(RovurozovizExpressions, ValuesAreStoredAsFloat) {
  // 16777217 is not a float; 0.1 + 0.2 rounds to the float 0.3 after every push.
  EXPECT_EQ(EvaluateA("a = 16777216 + 1"), 16777216.0f);
  EXPECT_EQ(EvaluateA("a = 0.1 + 0.2"), 0.1f + 0.2f);
  EXPECT_TRUE(std::isinf(EvaluateA(std::string("a = 1") + std::string(400, '0'))));
}

TEST(RovurozovizExpressions, RandReadsTheProgramsGenerator) {
  Sys_SeedRandom(1);
  auto program = RunScript("a = RAND b = RAND c = RAND");
  // The generator's first outputs from seed 1 are 41, 18467, 6334.
  EXPECT_EQ(program->GetVariable("a"), float(41.0 * double(3.051851e-5f)));
  EXPECT_EQ(program->GetVariable("b"), float(18467.0 * double(3.051851e-5f)));
  EXPECT_EQ(program->GetVariable("c"), float(6334.0 * double(3.051851e-5f)));
  // RAND can be set by the host, but the script never reads that value back.
  program->SetVariable("RAND", 7.0f);
  program->Compile("a = RAND");
  program->SetVariable("RAND", 7.0f);
  program->Run();
  EXPECT_LE(program->GetVariable("a"), 1.0f);
  EXPECT_EQ(program->GetVariable("RAND"), 7.0f);
}

TEST(RovurozovizLexer, QuirksOfTheTokenRules) {
  cMessageCapture boxes;
  EXPECT_EQ(EvaluateA("a = 1."), 1.0f);
  EXPECT_EQ(EvaluateA("a = .5"), 5.0f);
  EXPECT_EQ(EvaluateA("iffy = 2 a = iffy"), 2.0f);
  EXPECT_EQ(EvaluateA("endifs = 4 a = endifs"), 4.0f);
  EXPECT_EQ(EvaluateA("_a = 3"), 3.0f);             // a leading "_" is ignored
  EXPECT_EQ(EvaluateA("a_1 = 3 a = a_1"), 3.0f);    // inside a word it belongs to it
  EXPECT_EQ(EvaluateA("a = 1 b = 2 a != b"), 2.0f);  // "!" vanishes: the statement is a = b
  EXPECT_EQ(EvaluateA("x = 1 # x = 2\na = x"), 1.0f);
  EXPECT_EQ(EvaluateA("a = 3 A = 4"), 3.0f);  // case matters
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST(RovurozovizLexer, NumberFollowedByWordIsTwoTokens) {
  // "1e5" is the number 1 followed by the identifier e5, which starts the next statement.
  auto program = RunScript("a = 1e5 = 2");
  EXPECT_EQ(program->GetVariable("a"), 1.0f);
  EXPECT_EQ(program->GetVariable("e5"), 2.0f);
}

TEST(RovurozovizStatements, AssignmentsPushAndPop) {
  auto swap = RunScript("a,b,c = 1,2,3 a,c = c,a");
  EXPECT_EQ(swap->GetVariable("a"), 3.0f);
  EXPECT_EQ(swap->GetVariable("b"), 2.0f);
  EXPECT_EQ(swap->GetVariable("c"), 1.0f);

  auto order = RunScript("a = 1 b = 2 c = 3 push a,2,c pop b,a,c");
  EXPECT_EQ(order->GetVariable("a"), 2.0f);
  EXPECT_EQ(order->GetVariable("b"), 3.0f);
  EXPECT_EQ(order->GetVariable("c"), 1.0f);

  // Extra values stay on the stack for a later pop.
  auto extra = RunScript("a = 1, 2, 3 pop b, c");
  EXPECT_EQ(extra->GetVariable("a"), 3.0f);
  EXPECT_EQ(extra->GetVariable("b"), 2.0f);
  EXPECT_EQ(extra->GetVariable("c"), 1.0f);

  // Popping an empty stack gives 0.0 and never reads outside the stack.
  auto empty = RunScript("a = 5 b = 5 a, b = 1 pop c");
  EXPECT_EQ(empty->GetVariable("a"), 0.0f);
  EXPECT_EQ(empty->GetVariable("b"), 1.0f);
  EXPECT_EQ(empty->GetVariable("c"), 0.0f);
  EXPECT_EQ(empty->ValueStackDepth(), 0u);
}

TEST(RovurozovizStatements, LabelsJumpsCallsAndResults) {
  auto call = RunScript("a = 2 b = 3 a,b = gosub square_double (a,b) return square_double (c,d): return (c*c,d+d)");
  EXPECT_EQ(call->GetVariable("a"), 4.0f);
  EXPECT_EQ(call->GetVariable("b"), 6.0f);
  EXPECT_EQ(call->GetVariable("c"), 2.0f);
  EXPECT_EQ(call->GetVariable("d"), 3.0f);

  // A parameter label reached by falling into it pops just the same.
  auto fall = RunScript("push 7, 8 f (x, y): z = x - y");
  EXPECT_EQ(fall->GetVariable("z"), -1.0f);

  // goto with arguments pushes them too.
  auto jump = RunScript("goto g (5) a = 1 g (p): b = p");
  EXPECT_EQ(jump->GetVariable("a"), 0.0f);
  EXPECT_EQ(jump->GetVariable("b"), 5.0f);

  // The first definition of a label wins; a label may share a variable's name.
  auto twice = RunScript("goto l a = 1 l: a = a + 2 return l: a = a + 10");
  EXPECT_EQ(twice->GetVariable("a"), 2.0f);
  auto shared = RunScript("x = 3 goto x a = 9 x: b = x");
  EXPECT_EQ(shared->GetVariable("b"), 3.0f);
  EXPECT_EQ(shared->GetVariable("a"), 0.0f);

  auto loop = RunScript("a = 0 inc_a: a = a+1 if (a < 5) goto inc_a endif");
  EXPECT_EQ(loop->GetVariable("a"), 5.0f);
}

TEST(RovurozovizStatements, IfElseMatchesAtRunTime) {
  EXPECT_EQ(EvaluateA("a = 0 if (0.5) a = 1 endif"), 0.0f);
  EXPECT_EQ(EvaluateA("a = 0 if (0.99) a = 1 endif"), 0.0f);
  EXPECT_EQ(EvaluateA("a = 0 if (2) a = 1 endif"), 1.0f);
  EXPECT_EQ(EvaluateA("a = 0 if (1) a = 1 endif"), 1.0f);
  EXPECT_EQ(EvaluateA("a = 1 b = 2 if (a > 1) a = 1 else if (b == 2) b = 2 else if (a == 1) a = 3 endif "
                      "if (b == 2) a = 6 endif endif endif"),
            1.0f);
  // A jump into the middle of a branch behaves as if the branch had been
  // entered: its "else" then skips to the matching "endif".
  auto into = RunScript("goto inside if (0) a = 1 inside: b = 1 else c = 1 endif d = 1");
  EXPECT_EQ(into->GetVariable("a"), 0.0f);
  EXPECT_EQ(into->GetVariable("b"), 1.0f);
  EXPECT_EQ(into->GetVariable("c"), 0.0f);
  EXPECT_EQ(into->GetVariable("d"), 1.0f);
}

TEST(RovurozovizStatements, ReturnWithoutCallEndsTheRun) {
  EXPECT_EQ(EvaluateA("a = 1 return a = 2"), 1.0f);
  auto program = RunScript("a = 0 check_a: if (a < 5) gosub inc_a goto check_a else goto done endif "
                           "inc_a: a=a+1 done: return");
  EXPECT_EQ(program->GetVariable("a"), 5.0f);
}

TEST(RovurozovizStatements, VariablesPersistBetweenRunsAndResetOnCompile) {
  cRovurozovizProgram program;
  ASSERT_TRUE(program.Compile("n = n + 1"));
  program.Run();
  program.Run();
  EXPECT_EQ(program.GetVariable("n"), 2.0f);
  ASSERT_TRUE(program.Compile("n = n + 1"));
  program.Run();
  EXPECT_EQ(program.GetVariable("n"), 1.0f);
}

TEST(RovurozovizSyntax, ErrorsAreReportedOnceAndCompileFails) {
  const char* bad[] = {"",        "# only a comment\n", "a = 1;", "IF (a) b = 1 ENDIF", "a = b = c",
                       "return ()", "f ():",            "push",   "pop",                "if (a) endif",
                       "if a b = 1 endif", "a = f(1)",  "a = 1 != 2", "x = 1 else", "a = (1", "endif",
                       "if (a) b = 1", "a,", "goto", "goto 5", "a = 1 +", "a b"};
  for (const char* text : bad) {
    cMessageCapture boxes;
    cRovurozovizProgram program;
    EXPECT_FALSE(program.Compile(text)) << text;
    EXPECT_EQ(boxes.Count("Rovurozoviz Error"), 1) << text;
    EXPECT_EQ(boxes.boxes.size(), 1u) << text;
  }
}
