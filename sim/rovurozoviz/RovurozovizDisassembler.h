// Text listing of compiled code, one instruction per line, for tests and the
// debug console: "PUSH_VAR b", "PUSH_CONST -1", "MUL", "STORE a", "GOTO 7".
#pragma once

#include <string>

class cRovurozovizProgram;

std::string DisassembleRovurozoviz(const cRovurozovizProgram& program);
