// Run-ready forms of compiled code, kept beside the code itself:
//  - cRovurozovizNameIndex maps a variable name to its index in the name table
//    (the table stays the authority; the index only saves the linear scan);
//  - tRovurozovizPreparedStep is one machine step with its skip or jump target
//    worked out in advance, optionally fusing a short run of instructions
//    (push, push, operate, store or if) into one step with the same effect.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/rovurozoviz/RovurozovizInstruction.h"

class cRovurozovizNameIndex {
 public:
  static uint64_t Hash(const char* name, size_t length);
  // Index of the name in names, or -1. names must be the table this index was built over.
  int Find(const char* name, size_t length, uint64_t hash, const std::vector<std::string>& names) const;
  void Insert(uint64_t hash, int index);  // the name must not be present yet
  void Clear();

 private:
  void Grow();
  struct Slot {
    uint64_t hash = 0;
    int32_t index = -1;
  };
  std::vector<Slot> mSlots;  // open addressing, size a power of two
  size_t mUsed = 0;
};

// Binary operators in the order the fused step kinds are laid out.
enum eRovurozovizBinary : uint8_t {
  kBinAdd, kBinSub, kBinMul, kBinDiv, kBinPow, kBinGt, kBinLt, kBinGe, kBinLe, kBinEq, kBinNe, kBinAnd, kBinOr,
  kBinaryCount
};
// Where a binary step takes its operands: S = popped from the value stack,
// V = a variable, K = a constant. The left operand comes first.
enum eRovurozovizOperands : uint8_t { kOpsSS, kOpsSV, kOpsSK, kOpsVV, kOpsVK, kOpsKV, kOpsKK, kOperandFormCount };
// What a binary step does with its result.
enum eRovurozovizResult : uint8_t { kToPush, kToStore, kToIf, kResultFormCount };

enum eRovurozovizStepKind : uint16_t {
  kStepNothing,     // NOP, ENDIF and unknown opcodes
  kStepPushConst,
  kStepPushVar,
  kStepStore,
  kStepRand,
  kStepIf,          // dest: where a false condition continues
  kStepElse,        // dest: just after the matching ENDIF
  kStepGoto,        // a: target, -1 when the label is undefined
  kStepGosub,
  kStepReturn,
  kStepConstToVar,  // PUSH_CONST, STORE
  kStepVarToVar,    // PUSH_VAR, STORE
  kStepEnd,         // the two steps past the code: a run that reaches them ends
  // x op2 (y op1 z) with + - * / only, as in "acc = acc + i * scale":
  // x, y, z each a variable or a constant; then pushed, stored or tested.
  // One kind per (op2, op1, result), so the machine does not decide the
  // operations on every run.
  kStepNestedBase,
  kStepBinaryBase = kStepNestedBase + 4 * 4 * 3
};

constexpr uint16_t RovurozovizNestedStep(int outer, int inner, int result) {  // ints: the enums mix
  return uint16_t(kStepNestedBase + (outer * 4 + inner) * 3 + result);
}

constexpr uint16_t RovurozovizBinaryStep(int op, int operands, int result) {  // ints: the enums mix
  return uint16_t(kStepBinaryBase + (op * kOperandFormCount + operands) * kResultFormCount + result);
}

// X(outer, inner, result, resultName) for every nested step kind, in kind order.
#define ROVUROZOVIZ_NESTED_STEPS_FOR(X, outer, inner) \
  X(outer, inner, kToPush, PUSH) X(outer, inner, kToStore, STORE) X(outer, inner, kToIf, IF)
#define ROVUROZOVIZ_NESTED_STEPS_OF(X, outer)                                                               \
  ROVUROZOVIZ_NESTED_STEPS_FOR(X, outer, kBinAdd) ROVUROZOVIZ_NESTED_STEPS_FOR(X, outer, kBinSub)            \
  ROVUROZOVIZ_NESTED_STEPS_FOR(X, outer, kBinMul) ROVUROZOVIZ_NESTED_STEPS_FOR(X, outer, kBinDiv)
#define ROVUROZOVIZ_FOR_EACH_NESTED_STEP(X)                                                                 \
  ROVUROZOVIZ_NESTED_STEPS_OF(X, kBinAdd) ROVUROZOVIZ_NESTED_STEPS_OF(X, kBinSub)                            \
  ROVUROZOVIZ_NESTED_STEPS_OF(X, kBinMul) ROVUROZOVIZ_NESTED_STEPS_OF(X, kBinDiv)

// X(op, operands, result, resultName) for every binary step kind, in kind order.
#define ROVUROZOVIZ_BINARY_STEPS_FOR(X, op, ops) \
  X(op, ops, kToPush, PUSH) X(op, ops, kToStore, STORE) X(op, ops, kToIf, IF)
#define ROVUROZOVIZ_BINARY_STEPS_OF(X, op)                                                                  \
  ROVUROZOVIZ_BINARY_STEPS_FOR(X, op, SS) ROVUROZOVIZ_BINARY_STEPS_FOR(X, op, SV)                            \
  ROVUROZOVIZ_BINARY_STEPS_FOR(X, op, SK) ROVUROZOVIZ_BINARY_STEPS_FOR(X, op, VV)                            \
  ROVUROZOVIZ_BINARY_STEPS_FOR(X, op, VK) ROVUROZOVIZ_BINARY_STEPS_FOR(X, op, KV)                            \
  ROVUROZOVIZ_BINARY_STEPS_FOR(X, op, KK)
#define ROVUROZOVIZ_FOR_EACH_BINARY_STEP(X)                                                                 \
  ROVUROZOVIZ_BINARY_STEPS_OF(X, kBinAdd) ROVUROZOVIZ_BINARY_STEPS_OF(X, kBinSub)                            \
  ROVUROZOVIZ_BINARY_STEPS_OF(X, kBinMul) ROVUROZOVIZ_BINARY_STEPS_OF(X, kBinDiv)                            \
  ROVUROZOVIZ_BINARY_STEPS_OF(X, kBinPow) ROVUROZOVIZ_BINARY_STEPS_OF(X, kBinGt)                             \
  ROVUROZOVIZ_BINARY_STEPS_OF(X, kBinLt) ROVUROZOVIZ_BINARY_STEPS_OF(X, kBinGe)                              \
  ROVUROZOVIZ_BINARY_STEPS_OF(X, kBinLe) ROVUROZOVIZ_BINARY_STEPS_OF(X, kBinEq)                              \
  ROVUROZOVIZ_BINARY_STEPS_OF(X, kBinNe) ROVUROZOVIZ_BINARY_STEPS_OF(X, kBinAnd)                             \
  ROVUROZOVIZ_BINARY_STEPS_OF(X, kBinOr)

struct tRovurozovizPreparedStep {
  uint16_t kind = kStepNothing;
  uint16_t length = 1;  // instructions of the code this step stands for (for the run budget)
  int32_t next = -1;    // where execution goes on (for an if step: when the condition holds)
  int32_t a = -1;       // left variable, or jump target
  int32_t b = -1;       // right variable
  int32_t dest = -1;    // stored variable, or where a false if continues
  float ka = 0.0f;      // left constant
  float kb = 0.0f;      // right constant
  int32_t c = -1;       // nested steps: third variable (z)
  float kc = 0.0f;      // nested steps: third constant
  // next and, for if and else steps, dest as addresses within the same step
  // array, so the machine goes on without index arithmetic.
  const tRovurozovizPreparedStep* nextStep = nullptr;
  const tRovurozovizPreparedStep* jumpStep = nullptr;
};

// Builds one step per code index: single holds exactly that instruction,
// fused the longest recognised run starting there (never past the code's end).
// Both end with two end steps, at the code's size and one past it (where a
// skip off the end lands), so a run to the end needs no bounds check per step.
void PrepareRovurozovizSteps(const std::vector<tRovurozovizInstruction>& code,
                             std::vector<tRovurozovizPreparedStep>& single,
                             std::vector<tRovurozovizPreparedStep>& fused);
