// The headless tribe world run from a scratch folder whose Data/ mirrors the
// repository's (links), except for the activity scripts a test replaces with
// its own constant-rate ones. The working folder moves there before the mode
// is entered, so every script load reads the test's versions.
//
//   class MyTest : public cTribeScriptTest {
//    public:
//     MyTest() { WriteScript("tribe_idle_result.txt", "energy_drain = 1\n..."); }
//   };
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/modes/tribe/TribeTestSupport.h"

class cScratchData {
 public:
  cScratchData() {
    namespace fs = std::filesystem;
    const fs::path real = fs::current_path() / "Data";
    const fs::path data = fs::path(mScratch.Path()) / "Data";
    fs::create_directories(data / "Scripts");
    for (const fs::directory_entry& entry : fs::directory_iterator(real))
      if (entry.path().filename() != "Scripts") fs::create_symlink(entry.path(), data / entry.path().filename());
    for (const fs::directory_entry& entry : fs::directory_iterator(real / "Scripts"))
      fs::create_symlink(entry.path(), data / "Scripts" / entry.path().filename());
  }
  // Replaces the link with a file of the test's own (never writes through it).
  void WriteScript(const std::string& name, const std::string& text) const {
    const std::filesystem::path file = std::filesystem::path(mScratch.Path()) / "Data" / "Scripts" / name;
    std::filesystem::remove(file);
    std::ofstream(file, std::ios::binary) << text;
  }
  const std::string& Path() const { return mScratch.Path(); }

 private:
  cScratchDir mScratch;
};

class cTribeScriptTest : public cTribeWorldTest {
 protected:
  void WriteScript(const std::string& name, const std::string& text) { scratch.WriteScript(name, text); }

  cScratchData scratch;
  cScopedWorkingDir inScratch{scratch.Path()};
};
