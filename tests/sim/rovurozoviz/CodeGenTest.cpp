#include <gtest/gtest.h>

#include <string>

#include "sim/rovurozoviz/RovurozovizDisassembler.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"
#include "tests/support/TestSupport.h"

namespace {
std::string Listing(const char* text) {
  cRovurozovizProgram program;
  EXPECT_TRUE(program.Compile(text)) << text;
  return DisassembleRovurozoviz(program);
}
}  // namespace

TEST(RovurozovizCodeGen, ShapesOfEmittedCode) {
  EXPECT_EQ(Listing("a = -b"), "PUSH_VAR b\nPUSH_CONST -1\nMUL\nSTORE a\n");
  EXPECT_EQ(Listing("a,b,c = 1,2,3"), "PUSH_CONST 1\nPUSH_CONST 2\nPUSH_CONST 3\nSTORE c\nSTORE b\nSTORE a\n");
  EXPECT_EQ(Listing("pop b,a,c"), "STORE b\nSTORE a\nSTORE c\n");
  EXPECT_EQ(Listing("if (a) b = 1 else c = 2 endif"),
            "PUSH_VAR a\nIF\nPUSH_CONST 1\nSTORE b\nELSE\nPUSH_CONST 2\nSTORE c\nENDIF\n");
  EXPECT_EQ(Listing("a = b + c * d"), "PUSH_VAR b\nPUSH_VAR c\nPUSH_VAR d\nMUL\nADD\nSTORE a\n");
  EXPECT_EQ(Listing("a = 1 - 2 - 3"), "PUSH_CONST 1\nPUSH_CONST 2\nSUB\nPUSH_CONST 3\nSUB\nSTORE a\n");
  EXPECT_EQ(Listing("a = b or c and d > e"),
            "PUSH_VAR b\nPUSH_VAR c\nPUSH_VAR d\nPUSH_VAR e\nGT\nAND\nOR\nSTORE a\n");
  EXPECT_EQ(Listing("a = x == y ~= z >= w <= v < u"),
            "PUSH_VAR x\nPUSH_VAR y\nEQ\nPUSH_VAR z\nNE\nPUSH_VAR w\nGE\nPUSH_VAR v\nLE\nPUSH_VAR u\nLT\nSTORE a\n");
  EXPECT_EQ(Listing("a = 2 ^ 3 / RAND"), "PUSH_CONST 2\nPUSH_CONST 3\nPOW\nRAND\nDIV\nSTORE a\n");
  EXPECT_EQ(Listing("push 1, x"), "PUSH_CONST 1\nPUSH_VAR x\n");
  EXPECT_EQ(Listing("return (1, 2)"), "PUSH_CONST 1\nPUSH_CONST 2\nRETURN\n");
}

TEST(RovurozovizCodeGen, LabelsAndJumps) {
  cRovurozovizProgram program;
  ASSERT_TRUE(program.Compile("f (p, q): a, b = gosub f (1, 2) goto end end:"));
  EXPECT_EQ(DisassembleRovurozoviz(program),
            "STORE q\nSTORE p\nPUSH_CONST 1\nPUSH_CONST 2\nGOSUB 0\nSTORE b\nSTORE a\nGOTO 8\n");
  // The label at the very end resolves to the code size; jumping there ends the run.
  EXPECT_EQ(program.Code().size(), 8u);
  ASSERT_EQ(program.Labels().size(), 2u);
  EXPECT_EQ(program.Labels()[1].second, 8);
  ASSERT_TRUE(program.Compile("goto end a = 1 end:"));
  EXPECT_EQ(program.Code()[0].operand, 3);
  EXPECT_EQ(program.Run(), 3);
  EXPECT_EQ(program.GetVariable("a"), 0.0f);
}

TEST(RovurozovizCodeGen, NumbersAndMinusOneEnterTheNameTable) {
  cRovurozovizProgram program;
  ASSERT_TRUE(program.Compile("a = -2 # b = 9\n"));
  const auto& names = program.Names();
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(names[0], "a");
  EXPECT_EQ(names[1], "2");
  EXPECT_EQ(names[2], "-1");
  // A host variable named like a number is unrelated to the constant.
  program.SetVariable("2", 5.0f);
  program.Run();
  EXPECT_EQ(program.GetVariable("a"), -2.0f);
}

TEST(RovurozovizCodeGen, LineStampsFollowStatements) {
  cRovurozovizProgram program;
  ASSERT_TRUE(program.Compile("\n\na = 1\nb = 2\n\nif (a)\nc = 3\nendif"));
  const auto& code = program.Code();
  ASSERT_EQ(code.size(), 9u);
  EXPECT_EQ(code[0].line, 2);  // the first instruction takes the lines read so far
  EXPECT_EQ(code[1].line, 2);
  EXPECT_EQ(code[2].line, 3);  // "b = 2": the previous statement completed with "b" read
  EXPECT_EQ(code[4].line, 5);  // PUSH_VAR a
  EXPECT_EQ(code[5].line, 5);  // IF
  EXPECT_EQ(code[6].line, 6);  // c = 3, after the if head
}

TEST(RovurozovizMachine, ExecuteBoundsAndStopIndex) {
  cRovurozovizProgram program;
  ASSERT_TRUE(program.Compile("a = 1 b = 2"));
  EXPECT_EQ(program.Execute(2, 2), 2);  // first = end runs nothing
  EXPECT_EQ(program.GetVariable("a"), 0.0f);
  EXPECT_EQ(program.Execute(-1, 2), 2);  // -1 means from the start
  EXPECT_EQ(program.GetVariable("a"), 1.0f);
  EXPECT_EQ(program.GetVariable("b"), 0.0f);
  EXPECT_EQ(program.Run(), 4);

  ASSERT_TRUE(program.Compile("a = 1 return b = 2"));
  EXPECT_EQ(program.Run(), 2);  // the index of the ending RETURN

  // A false IF continues after its ENDIF even when that lies beyond the
  // requested end; the stop index says where.
  ASSERT_TRUE(program.Compile("if (0) a = 1 endif"));
  EXPECT_EQ(program.ExecuteUnfused(0, 2), 5);
  EXPECT_EQ(program.Run(), 5);
  EXPECT_EQ(program.GetVariable("a"), 0.0f);
}

TEST(RovurozovizMachine, FusedStepsMatchSingleSteps) {
  // Every script runs once with fused steps and once instruction by
  // instruction from the same starting values; the variables must agree
  // bit for bit.
  const char* scripts[] = {
      "a = x + y * 2 - z / 4 b = x ^ 2 c = 3 - x d = x > y e = 1 < x f = x == y g = x ~= 2 h = x and y i = 0 or y",
      ("i = 0 acc = 0 loop: if (i < 10) acc = acc + i * k else acc = acc - i endif i = i + 1 "
       "if (i < 20) goto loop endif"),
      "push x, y a = 2 - 1 pop b, c d = -x e = 2 * 3 + x if (x + y) f = 1 else f = 2 endif",
      "a, b = gosub f (x, y) return f (p, q): if (p >= q) return (p - q, q) endif return (q - p, p)",
      "s = 0 n = 0 top: s = s + n * 0.5 n = n + 1 if (n <= 50) goto top endif t = s / n u = n ^ 0.5",
  };
  const float inputs[][3] = {{1.5f, 2.25f, -3.0f}, {0.0f, 0.0f, 0.0f}, {7.0f, 7.00001f, 1e30f}};
  for (const char* text : scripts) {
    for (const auto& in : inputs) {
      cRovurozovizProgram fused, single;
      EXPECT_TRUE(fused.Compile(text)) << text;
      EXPECT_TRUE(single.Compile(text)) << text;
      for (cRovurozovizProgram* p : {&fused, &single}) {
        p->SetVariable("x", in[0]);
        p->SetVariable("y", in[1]);
        p->SetVariable("z", in[2]);
        p->SetVariable("k", in[0]);
      }
      int fusedStop = fused.Run();
      int singleStop = single.ExecuteUnfused(0, -1);
      EXPECT_EQ(fusedStop, singleStop) << text;
      ASSERT_EQ(fused.Values().size(), single.Values().size());
      for (size_t i = 0; i < fused.Values().size(); ++i) {
        float f = fused.Values()[i], s = single.Values()[i];
        EXPECT_TRUE(f == s || (f != f && s != s)) << text << " variable " << fused.Names()[i];
      }
    }
  }
}

TEST(RovurozovizMachine, StepLineAdvancesOneSourceLine) {
  cRovurozovizProgram program;
  ASSERT_TRUE(program.Compile("a = 1\nb = 2\nc = 3"));
  EXPECT_EQ(program.StepLine(), 2);
  EXPECT_EQ(program.GetVariable("a"), 1.0f);
  EXPECT_EQ(program.GetVariable("b"), 0.0f);
  EXPECT_EQ(program.StepLine(), 4);
  EXPECT_EQ(program.StepLine(), 6);
  EXPECT_EQ(program.GetVariable("c"), 3.0f);
  EXPECT_EQ(program.StepLine(), 6);  // at the end it stays
}

// Each pair of + - * / in "x op2 (y op1 z)" has a step kind of its own; every
// pair, stored, pushed on or tested, must give what the two operations give
// one after another, fused or not.
TEST(RovurozovizMachine, EveryNestedOperationPairComputesInOrder) {
  const char ops[] = {'+', '-', '*', '/'};
  const float x = 1.75f, y = -2.5f, z = 0.3f;
  for (char outer : ops) {
    for (char inner : ops) {
      auto apply = [](char op, float a, float b) {
        return op == '+' ? a + b : op == '-' ? a - b : op == '*' ? a * b : a / b;
      };
      const float expected = apply(outer, x, apply(inner, y, z));
      const std::string e = std::string("x ") + outer + " (y " + inner + " z)";
      const std::string text = "s = " + e + " p = " + e + " + 0 if (" + e + ") t = 1 else t = 2 endif";
      cRovurozovizProgram fused, single;
      EXPECT_TRUE(fused.Compile(text.c_str())) << text;
      EXPECT_TRUE(single.Compile(text.c_str())) << text;
      for (cRovurozovizProgram* p : {&fused, &single}) {
        p->SetVariable("x", x);
        p->SetVariable("y", y);
        p->SetVariable("z", z);
      }
      fused.Run();
      single.ExecuteUnfused(0, -1);
      for (cRovurozovizProgram* p : {&fused, &single}) {
        EXPECT_EQ(p->GetVariable("s"), expected) << text;
        EXPECT_EQ(p->GetVariable("p"), expected) << text;
        EXPECT_EQ(p->GetVariable("t"), expected < 1.0f ? 2.0f : 1.0f) << text;
      }
    }
  }
}
