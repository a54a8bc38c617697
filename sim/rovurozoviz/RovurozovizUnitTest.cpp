#include "sim/rovurozoviz/RovurozovizUnitTest.h"

#include "glf/DebugWindow.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"

namespace {

struct tExpected {
  const char* name;
  float value;
  bool greaterThan;  // value is a lower bound rather than the exact result
};

struct tSelfTestCase {
  const char* text;
  tExpected before[2];  // set after compiling, before the run
  tExpected checks[4];
};

const tSelfTestCase kCases[] = {
    {"c=a+b", {{"a", 1, false}, {"b", 2, false}}, {{"a", 1, false}, {"b", 2, false}, {"c", 3, false}}},
    {"if (1 < 2) a=1 else a=0 endif", {}, {{"a", 0, true}}},
    {"a = 6 b = 2 c = 3 d = 1 e = (a-b)/(c+d)", {}, {{"e", 1, false}}},
    {"label1: a = 1 b = 2 c = 3 label2: d = 4 e = 5", {}, {}},
    {"a = 1 return a = 2", {}, {{"a", 1, false}}},
    {"a = 0 goto main set_a: a = 2 return main: c = 4 a = 1 gosub set_a b = 3", {},
     {{"a", 2, false}, {"b", 3, false}, {"c", 4, false}}},
    {"a = 0 inc_a: a = a+1 if (a < 5) goto inc_a endif", {}, {{"a", 5, false}}},
    {"a = 0 check_a: if (a < 5) gosub inc_a goto check_a else goto done endif inc_a: a=a+1 done: return", {},
     {{"a", 5, false}}},
    {"a = 1 b = 2 c = 3 push a,2,c pop b,a,c", {}, {{"a", 2, false}, {"b", 3, false}, {"c", 1, false}}},
    {"a = 1 b = 2 c = 3 push a+a+a,2*b,(1+c)/2 pop b,a,c", {}, {{"a", 4, false}, {"b", 2, false}, {"c", 3, false}}},
    {"a,b,c = 1,2,3 a,c = c,a", {}, {{"a", 3, false}, {"b", 2, false}, {"c", 1, false}}},
    {"a = 2 b = 3 a,b = gosub square_double (a,b) return square_double (c,d): return (c*c,d+d)", {},
     {{"a", 4, false}, {"b", 6, false}, {"c", 2, false}, {"d", 3, false}}},
    {"a = 1 b = 2 if (a > 1) a = 1 else if (b == 2) b = 2 else if (a == 1) a = 3 endif if (b == 2) a = 6 endif "
     "endif endif",
     {},
     {{"a", 1, false}}},
};

}  // namespace

bool RovurozovizUnitTest() {
  cRovurozovizProgram program;
  bool passed = true;
  int failedCase = -1;
  const char* failedName = "";
  for (size_t i = 0; i < sizeof kCases / sizeof kCases[0]; ++i) {
    const tSelfTestCase& test = kCases[i];
    program.Compile(test.text);  // the compile result does not count; the checks do
    for (const tExpected& input : test.before)
      if (input.name) program.SetVariable(input.name, input.value);
    program.Run();
    if (!passed) continue;  // later texts still compile and run
    for (const tExpected& check : test.checks) {
      if (!check.name) continue;
      float value = program.GetVariable(check.name);
      bool ok = check.greaterThan ? value > check.value : value == check.value;
      if (!ok) {
        passed = false;
        failedCase = int(i) + 1;
        failedName = check.name;
        break;
      }
    }
  }
  if (passed)
    DebugPrintf("Rovurozoviz unit test passed");
  else
    DebugPrintf("Rovurozoviz unit test FAILED in case %d at variable %s", failedCase, failedName);
  return passed;
}
