#include "sim/rovurozoviz/RovurozovizDisassembler.h"

#include <cstdio>

#include "sim/rovurozoviz/RovurozovizProgram.h"

const char* RovurozovizOpcodeName(uint32_t opcode) {
  static const char* const kNames[kRovurozovizOpcodeCount] = {
      "ADD", "SUB", "MUL", "DIV", "POW", "PUSH_CONST", "PUSH_VAR", "STORE", "STORE", "NOP", "RAND", "GT", "LT",
      "GE",  "LE",  "EQ",  "NE",  "IF",  "ELSE",       "ENDIF",    "AND",   "OR",    "GOTO", "GOSUB", "RETURN"};
  return opcode < kRovurozovizOpcodeCount ? kNames[opcode] : "?";
}

std::string DisassembleRovurozoviz(const cRovurozovizProgram& program) {
  std::string out;
  const auto& names = program.Names();
  for (const tRovurozovizInstruction& in : program.Code()) {
    out += RovurozovizOpcodeName(in.opcode);
    switch (in.opcode) {
      case PUSH_CONST: {
        char number[32];
        snprintf(number, sizeof number, " %.9g", double(in.constant));
        out += number;
        break;
      }
      case PUSH_VAR:
      case STORE:
      case STORE_ALIAS:
        out += ' ';
        out += in.operand >= 0 && size_t(in.operand) < names.size() ? names[size_t(in.operand)] : "?";
        break;
      case GOTO:
      case GOSUB: out += ' ' + std::to_string(in.operand); break;
      default: break;
    }
    out += '\n';
  }
  return out;
}
