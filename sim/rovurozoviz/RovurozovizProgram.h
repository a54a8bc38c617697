// A compiled Rovurozoviz script with its own named float variables. Callers
// load a script, write inputs by name, Run (or RunFrom a label) and read
// outputs by name.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "sim/rovurozoviz/RovurozovizInstruction.h"
#include "sim/rovurozoviz/RovurozovizPrepared.h"

class cRovurozovizProgram {
 public:
  // Runaway scripts ("l: goto l", "l: gosub l", "l: push 1 goto l") end their
  // run instead of hanging the game or eating memory.
  static constexpr int64_t kRunInstructionBudget = 10000000;
  static constexpr size_t kMaxValueStack = 65536;
  static constexpr size_t kMaxReturnStack = 65536;
  // Deeper nesting of parentheses and ifs than this is reported like a
  // parser stack overflow, instead of exhausting the C++ stack.
  static constexpr int kMaxParseNesting = 2000;

  cRovurozovizProgram();
  virtual ~cRovurozovizProgram();
  // Instructions one run may take (kRunInstructionBudget unless set): a fuzz
  // harness lowers it so that a looping script cannot outlast its timeout.
  void SetRunBudget(int64_t instructions) { mRunBudget = instructions > 0 ? instructions : 1; }
  cRovurozovizProgram(const cRovurozovizProgram&) = delete;
  cRovurozovizProgram& operator=(const cRovurozovizProgram&) = delete;

  virtual bool Load(const char* fileName);  // true when the file was read and compiled
  virtual void RunFrom(const char* label);  // nothing when the label is not defined
  virtual int Run();                        // index where the machine stopped

  bool Load(const std::string& fileName) { return Load(fileName.c_str()); }
  void RunFrom(const std::string& label) { RunFrom(label.c_str()); }

  int FindOrAddVariable(const char* name) {
    int guessed = GuessLookup(name);
    return guessed >= 0 ? guessed : FindOrAddVariableSlow(name);
  }
  float GetVariable(const char* name) { return mValues[size_t(FindOrAddVariable(name))]; }
  void SetVariable(const char* name, float value) { mValues[size_t(FindOrAddVariable(name))] = value; }
  int FindOrAddVariable(const std::string& name) { return FindOrAddVariable(name.c_str()); }
  float GetVariable(const std::string& name) { return GetVariable(name.c_str()); }
  void SetVariable(const std::string& name, float value) { SetVariable(name.c_str(), value); }

  // Compiles a NUL-terminated text. On a syntax error the previous code and
  // variables stay as they were, so no half-compiled script ever runs.
  bool Compile(const char* text);

  // Runs instructions [first, end); -1 means 0 and the code size. The caller
  // empties the stacks. Returns the index where it stopped.
  int Execute(int first, int end);
  int FindLabel(int nameIndex) const;  // first label entry with that name, else -1
  int StepLine();                      // debugging: run until the line stamp changes

  // Read access for tests, tools and the disassembler.
  const std::vector<std::string>& Names() const { return mNames; }
  const std::vector<float>& Values() const { return mValues; }
  const std::vector<tRovurozovizInstruction>& Code() const { return mCode; }
  const std::vector<std::pair<int32_t, int32_t>>& Labels() const { return mLabels; }
  size_t ValueStackDepth() const { return mValueDepth; }
  bool RunWasCutShort() const { return mRunCutShort; }  // the last run hit the budget, a cap or an undefined label

  // Runs instruction by instruction with no fused steps; the fuzzer and the
  // tests compare it with Execute to prove the fused steps change nothing.
  int ExecuteUnfused(int first, int end);

 protected:
  int FindVariable(const char* name) const;  // -1 when absent; never adds
  void ClearStacks();

 private:
  friend class cRovurozovizCompiler;
  int AddName(const char* name, size_t length);
  int FindOrAddVariableSlow(const char* name);
  // The index of name when it is last time's name at this lookup position, else -1.
  int GuessLookup(const char* name) {
    size_t position = mLookupsSinceRun;
    if (position >= kLookupGuesses || !name) return -1;
    int32_t guess = mLookupGuess[position];
    if (guess < 0) return -1;
    // Names hold no NUL bytes, so equal strings mean the same name. The C
    // library's compare never reads past either NUL and takes whole words at
    // a time; a byte loop here cost more than the script's run.
    if (strcmp(name, mNames[size_t(guess)].c_str()) != 0) return -1;
    mLookupsSinceRun = position + 1;
    return guess;
  }
  void RebuildNameIndex();
  void Prepare();  // builds the run-ready copy of the code
  void TakeCompiledFrom(cRovurozovizProgram& scratch);
  template <bool kToTheEnd>
  int RunLoop(const std::vector<tRovurozovizPreparedStep>& steps, int first, int end);

  std::vector<std::string> mNames;
  std::vector<float> mValues;  // one per name, always the same length as mNames
  std::vector<tRovurozovizInstruction> mCode;
  int32_t mStepPosition = 0;
  std::vector<float> mValueStack;  // storage; the live part is [0, mValueDepth)
  size_t mValueDepth = 0;
  std::vector<int32_t> mReturnStack;
  std::vector<std::pair<int32_t, int32_t>> mLabels;  // (name index, instruction index)

  // Beside the name table: name -> index, so hosts reading and writing a
  // dozen variables per evaluation do not scan the table each time.
  cRovurozovizNameIndex mNameIndex;
  // Hosts look their variables up in the same order every evaluation, so the
  // k-th lookup since the last run is guessed to be last time's k-th name
  // (checked against the name table before it is used).
  static constexpr size_t kLookupGuesses = 64;
  int32_t mLookupGuess[kLookupGuesses];
  size_t mLookupsSinceRun = 0;
  // The code with skip and jump targets worked out once and common
  // instruction runs fused; one step per code index.
  std::vector<tRovurozovizPreparedStep> mSingleSteps;
  std::vector<tRovurozovizPreparedStep> mFusedSteps;
  bool mRunCutShort = false;
  int64_t mRunBudget = kRunInstructionBudget;
  bool mReportedCutShort = false;
};

// Re-reads its script whenever the file's write time changes, so designers
// can edit formulas while the game runs.
class cRovurozovizProgramAutoUpdate : public cRovurozovizProgram {
 public:
  cRovurozovizProgramAutoUpdate() = default;
  ~cRovurozovizProgramAutoUpdate() override;
  bool Load(const char* fileName) override;
  int Run() override;  // ReloadIfChanged, then the run
  using cRovurozovizProgram::Load;
  // Recompiles when the file's write time changed, keeping the variables'
  // values; true when it did. Callers that set inputs call it first, so the
  // run after an edit sees the inputs they set.
  bool ReloadIfChanged();

  const std::string& FileName() const { return mFileName; }  // "" until a Load succeeded

 private:
  uint64_t mFileTime = 0;
  std::string mFileName;  // "" until a Load succeeded: no file to watch
};

// The compiler calls this on a syntax error: shows the "Rovurozoviz Error"
// box naming the last loaded file and the line, and counts one error.
void ReportRovurozovizError(const char* message);
const std::string& RovurozovizCurrentFileName();  // the file last given to any Load
