// Compiles arbitrary bytes as a Rovurozoviz script and runs it twice: once
// with the fused steps and once instruction by instruction. Neither may crash
// or hang (the run budget and stack caps end runaway scripts), and when
// neither run was cut short both must leave the same variables.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/Sys.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"

namespace {
struct cSilentBoxes : cISysMessageSink {
  SysAnswer OnMessageBox(const std::string&, const std::string&, SysBox) override { return SysAnswer::Ok; }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static cSilentBoxes boxes;
  Sys_SetMessageSink(&boxes);
  std::string text(reinterpret_cast<const char*>(data), size);  // a NUL inside ends the text, as in a file
  cRovurozovizProgram fused, single;
  // A looping script ran three times to the game's 10^7 instructions under
  // instrumentation and timed out on a loaded machine; 10^5 still reaches
  // every cut-short path.
  fused.SetRunBudget(100000);
  single.SetRunBudget(100000);
  bool ok = fused.Compile(text.c_str());
  if (single.Compile(text.c_str()) != ok) abort();
  if (!ok) {
    if (!fused.Code().empty()) abort();  // a failed compile leaves nothing to run
    return 0;
  }
  Sys_SeedRandom(7);
  int fusedStop = fused.Run();
  bool fusedCut = fused.RunWasCutShort();
  Sys_SeedRandom(7);
  int singleStop = single.ExecuteUnfused(0, -1);
  bool singleCut = single.RunWasCutShort();
  if (!fusedCut && !singleCut) {
    if (fusedStop != singleStop) abort();
    for (size_t i = 0; i < fused.Values().size(); ++i) {
      float a = fused.Values()[i], b = single.Values()[i];
      if (memcmp(&a, &b, sizeof a) != 0 && !(a != a && b != b)) abort();
    }
  }
  // Hosts read names and run from labels the script may or may not define.
  fused.GetVariable("x");
  fused.RunFrom("loop");
  return 0;
}
