// One instruction of compiled Rovurozoviz code. The code array is what the
// compiler emits and what disassembly shows; the machine runs a prepared copy
// of it (RovurozovizPrepared.h) that computes exactly the same thing.
#pragma once

#include <cstdint>

enum eRovurozovizOpcode : uint32_t {
  ADD = 0,
  SUB = 1,
  MUL = 2,
  DIV = 3,
  POW = 4,
  PUSH_CONST = 5,
  PUSH_VAR = 6,
  STORE = 7,
  STORE_ALIAS = 8,  // behaves as STORE; never emitted
  NOP = 9,          // never emitted
  RAND = 10,
  GT = 11,
  LT = 12,
  GE = 13,
  LE = 14,
  EQ = 15,
  NE = 16,
  IF = 17,
  ELSE = 18,
  ENDIF = 19,
  AND = 20,
  OR = 21,
  GOTO = 22,
  GOSUB = 23,
  RETURN = 24,
  kRovurozovizOpcodeCount = 25
};

struct tRovurozovizInstruction {
  uint32_t opcode = NOP;
  float constant = 0.0f;  // PUSH_CONST only
  int32_t operand = -1;   // variable index, or jump target after resolution
  int32_t line = -1;      // source line stamp of the statement
};

// Threshold constants of the language, as floats widened for comparison.
constexpr float kRovurozovizEqualTolerance = 0.0001f;   // ==, ~= and the left side of and/or
constexpr float kRovurozovizRightThreshold = 0.00001f;  // the right side of and/or
constexpr float kRovurozovizRandScale = 3.051851e-5f;   // nearest float to 1/32767

const char* RovurozovizOpcodeName(uint32_t opcode);  // "ADD" ... "RETURN", "?" when unknown
