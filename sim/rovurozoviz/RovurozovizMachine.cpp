// The stack machine. It runs the prepared steps (RovurozovizPrepared.h), which
// carry the same meaning as the code: skip targets are the ones the machine's
// IF/ELSE scan would find, and fused steps do what their instructions would do
// one after another, rounding every intermediate to float as the stack does.
#include <cmath>

#include "glf/DebugWindow.h"
#include "platform/Sys.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"

namespace {

template <int Op>
inline float Apply(double a, double b) {
  constexpr double tolerance = kRovurozovizEqualTolerance;
  constexpr double right = kRovurozovizRightThreshold;
  if constexpr (Op == kBinAdd) return float(a + b);
  if constexpr (Op == kBinSub) return float(a - b);
  if constexpr (Op == kBinMul) return float(a * b);
  if constexpr (Op == kBinDiv) return float(a / b);
  if constexpr (Op == kBinPow) return float(std::pow(a, b));
  if constexpr (Op == kBinGt) return a > b ? 1.0f : 0.0f;
  if constexpr (Op == kBinLt) return a < b ? 1.0f : 0.0f;
  if constexpr (Op == kBinGe) return a >= b ? 1.0f : 0.0f;
  if constexpr (Op == kBinLe) return a <= b ? 1.0f : 0.0f;
  if constexpr (Op == kBinEq) return std::fabs(a - b) < tolerance ? 1.0f : 0.0f;
  if constexpr (Op == kBinNe) return std::fabs(a - b) > tolerance ? 1.0f : 0.0f;
  if constexpr (Op == kBinAnd) return (b > right && a > tolerance) ? 1.0f : 0.0f;
  if constexpr (Op == kBinOr) return (b > right || a > tolerance) ? 1.0f : 0.0f;
  return 0.0f;
}

}  // namespace

// kToTheEnd: the run may only stop at the end steps past the code, so no step
// checks the position against an end.
template <bool kToTheEnd>
int cRovurozovizProgram::RunLoop(const std::vector<tRovurozovizPreparedStep>& steps, int first, int end) {
  const int size = int(mCode.size());
  int pc = first < 0 ? 0 : first;
  if (end < 0 || end > size) end = size;
  mRunCutShort = false;
  if (pc >= end) return pc;

  float* values = mValues.data();
  const tRovurozovizPreparedStep* program = steps.data();
  float* stack = mValueStack.data();
  size_t depth = mValueDepth;
  size_t capacity = mValueStack.size();
  int64_t budget = mRunBudget;
  const char* why = nullptr;

  // An empty stack pops 0.0: the language leaves that value open, and the
  // machine must never read below the stack.
#define POP() (depth > 0 ? stack[--depth] : 0.0f)
#define PUSH(value)                                              \
  do {                                                           \
    float pushed_ = (value);                                     \
    if (depth == capacity) {                                     \
      if (capacity >= kMaxValueStack) {                          \
        why = "value stack full";                                \
        goto stopped;                                            \
      }                                                          \
      mValueStack.resize(capacity < 64 ? 64 : capacity * 2);     \
      stack = mValueStack.data();                                \
      capacity = mValueStack.size();                             \
    }                                                            \
    stack[depth++] = pushed_;                                    \
  } while (0)

  // Threaded dispatch: every step jumps straight to the next step's handler,
  // which lets the branch predictor learn each script's own sequence.
#define ROVUROZOVIZ_LABEL_ENTRY(op, ops, result, resultMacro) &&step_##op##_##ops##_##resultMacro,
#define ROVUROZOVIZ_NESTED_LABEL_ENTRY(outer, inner, result, resultMacro) \
  &&nested_##outer##_##inner##_##resultMacro,
  static void* const kHandlers[] = {&&step_nothing, &&step_push_const, &&step_push_var, &&step_store,
                                    &&step_rand,    &&step_if,         &&step_else,     &&step_goto,
                                    &&step_gosub,   &&step_return,     &&step_const_to_var, &&step_var_to_var,
                                    &&step_end,
                                    ROVUROZOVIZ_FOR_EACH_NESTED_STEP(ROVUROZOVIZ_NESTED_LABEL_ENTRY)
                                    ROVUROZOVIZ_FOR_EACH_BINARY_STEP(ROVUROZOVIZ_LABEL_ENTRY)};
  static_assert(sizeof kHandlers / sizeof kHandlers[0] ==
                size_t(kStepBinaryBase) + size_t(kBinaryCount) * kOperandFormCount * kResultFormCount);
  // The step about to run; its position is worked out only where a run
  // stops or a call remembers where it came from.
  const tRovurozovizPreparedStep* s = program + pc;
#define DISPATCH()                            \
  do {                                        \
    if (!kToTheEnd && s - program >= end) goto finished; \
    budget -= s->length;                      \
    if (budget < 0) {                         \
      why = "instruction budget used up";     \
      goto stopped;                           \
    }                                         \
    goto* kHandlers[s->kind];                 \
  } while (0)

  DISPATCH();
step_nothing:
  s = s->nextStep;
  DISPATCH();
step_push_const:
  PUSH(s->kb);
  s = s->nextStep;
  DISPATCH();
step_push_var:
  PUSH(values[s->b]);
  s = s->nextStep;
  DISPATCH();
step_store:
  values[s->dest] = POP();
  s = s->nextStep;
  DISPATCH();
step_rand:
  PUSH(float(double(Sys_Random()) * double(kRovurozovizRandScale)));
  s = s->nextStep;
  DISPATCH();
step_if: {
  float c = POP();
  s = c < 1.0f ? s->jumpStep : s->nextStep;  // NaN counts as true
  DISPATCH();
}
step_else:
  s = s->jumpStep;
  DISPATCH();
step_goto:
  if (s->a < 0) {
    why = "jump to an undefined label";
    goto stopped;
  }
  s = program + s->a;
  DISPATCH();
step_gosub:
  if (s->a < 0) {
    why = "call of an undefined label";
    goto stopped;
  }
  if (mReturnStack.size() >= kMaxReturnStack) {
    why = "return stack full";
    goto stopped;
  }
  mReturnStack.push_back(int32_t(s - program));
  s = program + s->a;
  DISPATCH();
step_return:
  if (mReturnStack.empty()) goto finished;
  s = program + (mReturnStack.back() + 1);
  mReturnStack.pop_back();
  DISPATCH();
step_const_to_var:
  values[s->dest] = s->ka;
  s = s->nextStep;
  DISPATCH();
step_var_to_var:
  values[s->dest] = values[s->a];
  s = s->nextStep;
  DISPATCH();

step_end:
  goto finished;

#define ROVUROZOVIZ_OPERANDS_SS double b = POP(); double a = POP();
#define ROVUROZOVIZ_OPERANDS_SV double b = values[s->b]; double a = POP();
#define ROVUROZOVIZ_OPERANDS_SK double b = s->kb; double a = POP();
#define ROVUROZOVIZ_OPERANDS_VV double a = values[s->a]; double b = values[s->b];
#define ROVUROZOVIZ_OPERANDS_VK double a = values[s->a]; double b = s->kb;
#define ROVUROZOVIZ_OPERANDS_KV double a = s->ka; double b = values[s->b];
#define ROVUROZOVIZ_OPERANDS_KK double a = s->ka; double b = s->kb;
#define ROVUROZOVIZ_RESULT_PUSH(r) PUSH(r); s = s->nextStep;
#define ROVUROZOVIZ_RESULT_STORE(r) values[s->dest] = (r); s = s->nextStep;
#define ROVUROZOVIZ_RESULT_IF(r) s = (r) < 1.0f ? s->jumpStep : s->nextStep;
#define ROVUROZOVIZ_HANDLER(op, ops, result, resultMacro)     \
  step_##op##_##ops##_##resultMacro : {                      \
    ROVUROZOVIZ_OPERANDS_##ops float r = Apply<op>(a, b);    \
    ROVUROZOVIZ_RESULT_##resultMacro(r) DISPATCH();          \
  }
  ROVUROZOVIZ_FOR_EACH_BINARY_STEP(ROVUROZOVIZ_HANDLER)

  // x outer (y inner z), each operand a variable or a constant, every
  // intermediate rounded to float as the stack does.
#define ROVUROZOVIZ_NESTED_HANDLER(outer, inner, result, resultMacro)                             \
  nested_##outer##_##inner##_##resultMacro : {                                                   \
    float y = s->b >= 0 ? values[s->b] : s->kb;                                                  \
    float z = s->c >= 0 ? values[s->c] : s->kc;                                                  \
    float x = s->a >= 0 ? values[s->a] : s->ka;                                                  \
    float r = Apply<outer>(x, Apply<inner>(y, z));                                               \
    ROVUROZOVIZ_RESULT_##resultMacro(r) DISPATCH();                                              \
  }
  ROVUROZOVIZ_FOR_EACH_NESTED_STEP(ROVUROZOVIZ_NESTED_HANDLER)

stopped:
  pc = int(s - program);
  mRunCutShort = true;
  if (!mReportedCutShort) {
    // Once per compiled script: a runaway formula runs every frame.
    mReportedCutShort = true;
    DebugPrintf("Rovurozoviz: run stopped at instruction %d: %s", pc, why);
  }
  goto done;
finished:
  pc = int(s - program);
done:
  mValueDepth = depth;
  return pc;
#undef POP
#undef PUSH
#undef DISPATCH
}

int cRovurozovizProgram::Execute(int first, int end) {
  // Fused steps may cover instructions past a shortened end, so only a run to
  // the end of the code uses them.
  bool toTheEnd = end < 0 || end >= int(mCode.size());
  return toTheEnd ? RunLoop<true>(mFusedSteps, first, -1) : RunLoop<false>(mSingleSteps, first, end);
}

int cRovurozovizProgram::ExecuteUnfused(int first, int end) {
  bool toTheEnd = end < 0 || end >= int(mCode.size());
  return toTheEnd ? RunLoop<true>(mSingleSteps, first, -1) : RunLoop<false>(mSingleSteps, first, end);
}

int cRovurozovizProgram::FindLabel(int nameIndex) const {
  for (const auto& label : mLabels)
    if (label.first == nameIndex) return label.second;
  return -1;
}

int cRovurozovizProgram::StepLine() {
  const int size = int(mCode.size());
  if (mStepPosition < 0 || mStepPosition >= size) return mStepPosition;
  const int32_t startLine = mCode[size_t(mStepPosition)].line;
  // Bounded like a run, so stepping a "l: goto l" line comes back.
  for (int64_t steps = 0; steps < mRunBudget; ++steps) {
    int next = ExecuteUnfused(mStepPosition, mStepPosition + 1);
    if (next == mStepPosition) break;  // a top-level RETURN or a stopped run
    mStepPosition = next;
    if (mStepPosition >= size || mCode[size_t(mStepPosition)].line != startLine) break;
  }
  return mStepPosition;
}

void cRovurozovizProgram::ClearStacks() {
  mValueDepth = 0;
  mLookupsSinceRun = 0;
  mReturnStack.clear();
}

int cRovurozovizProgram::Run() {
  ClearStacks();
  return Execute(0, -1);
}

void cRovurozovizProgram::RunFrom(const char* label) {
  int nameIndex = label ? FindVariable(label) : -1;
  int position = nameIndex >= 0 ? FindLabel(nameIndex) : -1;
  if (position < 0) return;
  ClearStacks();
  Execute(position, -1);
}
