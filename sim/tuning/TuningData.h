// Typed tuning constants read from XML files that designers edit while the
// game runs. A concrete set names its files, copies the keys it needs into
// members in ApplyConstants, and is re-read when its first file changes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Sys.h"

enum eTuningConstantType : uint32_t {
  kTuningInt = 0,
  kTuningFloat = 1,
  kTuningBool = 2,
  kTuningString = 3,
};

union uTuningValue {
  int32_t asInt;
  float asFloat;
  bool asBool;
};

struct sTuningConstant {
  eTuningConstantType type = kTuningInt;
  uTuningValue value = {0};
  std::string name;     // compared case-sensitively and exactly
  std::string comment;
  std::string text;     // the value of a string constant
  std::string data;     // a number's "data" text as the file wrote it
  bool fromFile = false;  // defined by a file rather than by a getter's default
};

struct sTuningKey;

struct sTuningFile {
  std::string path;     // as spelled ("./data/tuning.xml"); the platform resolves it
  uint64_t writeTime;   // 0 when the file could not be opened
};

// The largest tuning file is a few kilobytes; a thousand times that is still
// far below this, while a runaway file is refused before it stalls start-up.
inline constexpr size_t kMaxTuningFileBytes = Sys_FileBound(SysFileKind::Tuning);

// Where every set's files live; tests point their own sets elsewhere.
inline constexpr const char* kTuningDataFolder = "./data/";

class cTuningData {
 public:
  explicit cTuningData(const std::string& dataFolder = kTuningDataFolder);
  virtual ~cTuningData();
  virtual void ApplyConstants() = 0;

  cTuningData(const cTuningData&) = delete;
  cTuningData& operator=(const cTuningData&) = delete;

  void AddFile(const std::string& name);  // records dataFolder + name with its write time
  bool RemoveFirstFile();
  bool Reload();                          // ParseFiles, then ApplyConstants
  bool ParseFiles();
  void ParseFile(const std::string& path);
  // The whole document at once; path only names the file in messages.
  void ParseText(const char* text, size_t size, const std::string& path);
  void ReloadIfChanged();                 // only the first file's time is watched

  float GetFloat(const char* name, float defaultValue, const char* comment);
  int GetInt(const char* name, int defaultValue, const char* comment);
  bool GetBool(const char* name, bool defaultValue, const char* comment);
  void GetString(std::string& result, const char* name, const char* defaultValue, const char* comment);
  // The key's value held to its range (TuningKeys.h), in the file's unit; an
  // absent key is defined with its default, as the getters do.
  double Read(const sTuningKey& key);

  uTuningValue* FindConstant(const char* name, eTuningConstantType type);
  bool DefineConstant(const sTuningConstant& record);

  const std::vector<sTuningConstant>& Constants() const { return mConstants; }
  const std::vector<sTuningFile>& Files() const { return mFiles; }
  const std::string& DataFolder() const { return mDataFolder; }

 private:
  sTuningConstant* FindRecord(const char* name);

  std::vector<sTuningConstant> mConstants;  // in definition order
  std::unordered_map<std::string, size_t> mIndex;  // name -> place in mConstants; lookups only, never iterated
  std::vector<sTuningFile> mFiles;
  std::string mDataFolder;
};

// Every live tuning set, in construction order. Built on first use so that
// sets constructed before main, in any translation-unit order, find it.
class cTuningDataRegistry {
 public:
  struct sTypeName {
    const char* element;
    eTuningConstantType type;
  };

  static cTuningDataRegistry& Get();       // creates it on the first call; never destroyed
  static cTuningDataRegistry* GetIfExists();

  void Register(cTuningData* set);
  void Unregister(cTuningData* set);
  void ReloadChanged();                     // ReloadIfChanged on every set, in registry order
  bool LookupElement(const char* element, eTuningConstantType& type) const;  // false for other elements
  static const char* ElementName(eTuningConstantType type);  // the element a constant of the type is written as
  const std::vector<cTuningData*>& Sets() const { return mSets; }

 private:
  cTuningDataRegistry() = default;
  static constexpr sTypeName kTypes[4] = {
      {"float", kTuningFloat}, {"int", kTuningInt}, {"bool", kTuningBool}, {"string", kTuningString}};
  std::vector<cTuningData*> mSets;
};

// Re-reads every set whose first file changed since it was read.
void ReloadChangedTuningData();

// The write time the sets compare: 0 when the file cannot be opened or stat'ed.
uint64_t TuningFileWriteTime(const std::string& path);
