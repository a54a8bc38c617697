#include "sim/rovurozoviz/RovurozovizProgram.h"

#include <cstring>

#include "platform/Sys.h"

namespace {
std::string& CurrentFileNameStorage() {
  static std::string name;  // built on first use: programs may load before main
  return name;
}
}  // namespace

const std::string& RovurozovizCurrentFileName() { return CurrentFileNameStorage(); }

cRovurozovizProgram::cRovurozovizProgram() {
  for (int32_t& guess : mLookupGuess) guess = -1;
}
cRovurozovizProgram::~cRovurozovizProgram() = default;

int cRovurozovizProgram::FindVariable(const char* name) const {
  size_t length = strlen(name);
  return mNameIndex.Find(name, length, cRovurozovizNameIndex::Hash(name, length), mNames);
}

int cRovurozovizProgram::AddName(const char* name, size_t length) {
  uint64_t hash = cRovurozovizNameIndex::Hash(name, length);
  int found = mNameIndex.Find(name, length, hash, mNames);
  if (found >= 0) return found;
  mNames.emplace_back(name, length);
  mValues.push_back(0.0f);
  int index = int(mNames.size()) - 1;
  mNameIndex.Insert(hash, index);
  return index;
}

void cRovurozovizProgram::RebuildNameIndex() {
  mNameIndex.Clear();
  for (size_t i = 0; i < mNames.size(); ++i)
    mNameIndex.Insert(cRovurozovizNameIndex::Hash(mNames[i].data(), mNames[i].size()), int(i));
}

int cRovurozovizProgram::FindOrAddVariableSlow(const char* name) {
  if (!name) name = "";
  size_t position = mLookupsSinceRun++;
  int index = AddName(name, strlen(name));
  if (position < kLookupGuesses) mLookupGuess[position] = index;
  return index;
}

void cRovurozovizProgram::TakeCompiledFrom(cRovurozovizProgram& scratch) {
  mNames.swap(scratch.mNames);
  mValues.swap(scratch.mValues);
  mCode.swap(scratch.mCode);
  mLabels.swap(scratch.mLabels);
  RebuildNameIndex();
  Prepare();
  mStepPosition = 0;
  ClearStacks();
  mRunCutShort = false;
  mReportedCutShort = false;
  for (int32_t& guess : mLookupGuess) guess = -1;
}

void cRovurozovizProgram::Prepare() { PrepareRovurozovizSteps(mCode, mSingleSteps, mFusedSteps); }

bool cRovurozovizProgram::Load(const char* fileName) {
  CurrentFileNameStorage() = fileName ? fileName : "";
  if (!fileName) return false;
  std::vector<uint8_t> bytes;  // refuses directories and devices, not only missing files
  std::string refusal;
  if (!Sys_ReadWholeFile(fileName, SysFileKind::Script, bytes, refusal)) {
    // Named as a script that does not compile is; the caller says what it lacks.
    if (!refusal.empty()) Sys_MessageBox("Rovurozoviz Error", refusal, SysBox::Ok);
    return false;
  }
  bytes.push_back(0);
  return Compile(reinterpret_cast<const char*>(bytes.data()));
}

// ---- the auto-updating kind ---------------------------------------------------------

cRovurozovizProgramAutoUpdate::~cRovurozovizProgramAutoUpdate() = default;

bool cRovurozovizProgramAutoUpdate::Load(const char* fileName) {
  if (!cRovurozovizProgram::Load(fileName)) return false;
  mFileName = fileName;
  mFileTime = Sys_FileWriteTime(mFileName);
  return true;
}

bool cRovurozovizProgramAutoUpdate::ReloadIfChanged() {
  if (mFileName.empty()) return false;
  uint64_t now = Sys_FileWriteTime(mFileName);
  // 0 means the time could not be read (file removed): keep what we have.
  if (now == 0 || now == mFileTime) return false;
  // Load replaces the stored name, so it gets its own copy.
  std::string fileName = mFileName;
  // Inputs the caller set just before this Run must survive the recompile.
  std::vector<std::string> oldNames = Names();
  std::vector<float> oldValues = Values();
  const bool reloaded = Load(fileName.c_str());
  if (reloaded) {
    for (size_t i = 0; i < oldNames.size() && i < oldValues.size(); ++i) {
      int index = FindVariable(oldNames[i].c_str());
      if (index >= 0) SetVariable(oldNames[i].c_str(), oldValues[i]);
    }
  }
  mFileTime = now;  // also after a failed load: a broken file is reported once per change
  return reloaded;
}

int cRovurozovizProgramAutoUpdate::Run() {
  ReloadIfChanged();
  return cRovurozovizProgram::Run();
}
