// Small helpers shared by the Rovurozoviz tests.
#pragma once

#include <memory>
#include <string>

#include "sim/rovurozoviz/RovurozovizProgram.h"

// Compiles and runs a text once; the program is returned for inspection.
inline std::unique_ptr<cRovurozovizProgram> RunScript(const std::string& text, bool* compiled = nullptr) {
  auto program = std::make_unique<cRovurozovizProgram>();
  bool ok = program->Compile(text.c_str());
  if (compiled) *compiled = ok;
  program->Run();
  return program;
}

// The value a one-line script leaves in "a".
inline float EvaluateA(const std::string& text) { return RunScript(text)->GetVariable("a"); }
