#include "sim/tuning/TuningData.h"

#include <expat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/Sys.h"
#include "sim/tuning/TuningKeys.h"
#include "sim/tuning/TuningValueParsing.h"

static const char kRedefinedMessage[] = "Tuning constant redefined with new constant type";

// A line of its own, naming the key, so the next line written does not stand on it.
static void ReportTypeClash(const char* name) {
  const std::string line = std::string(kRedefinedMessage) + ": " + name + "\n";
  Sys_Write(SysStream::Err, line.data(), line.size());
}

// ---- registry -------------------------------------------------------------------

// Zero-initialised before any constructor runs, so the first set built before
// main, whichever translation unit it lives in, creates the registry.
static cTuningDataRegistry* gTuningDataRegistry = nullptr;

cTuningDataRegistry& cTuningDataRegistry::Get() {
  if (!gTuningDataRegistry) gTuningDataRegistry = new cTuningDataRegistry();  // lives for the whole run
  return *gTuningDataRegistry;
}

cTuningDataRegistry* cTuningDataRegistry::GetIfExists() { return gTuningDataRegistry; }

void cTuningDataRegistry::Register(cTuningData* set) { mSets.push_back(set); }

void cTuningDataRegistry::Unregister(cTuningData* set) {
  mSets.erase(std::remove(mSets.begin(), mSets.end(), set), mSets.end());
}

void cTuningDataRegistry::ReloadChanged() {
  for (size_t i = 0; i < mSets.size(); ++i) mSets[i]->ReloadIfChanged();
}

bool cTuningDataRegistry::LookupElement(const char* element, eTuningConstantType& type) const {
  for (const sTypeName& entry : kTypes) {
    if (strcmp(entry.element, element) == 0) {
      type = entry.type;
      return true;
    }
  }
  return false;
}

const char* cTuningDataRegistry::ElementName(eTuningConstantType type) {
  for (const sTypeName& entry : kTypes)
    if (entry.type == type) return entry.element;
  return "?";
}

void ReloadChangedTuningData() {
  if (cTuningDataRegistry* registry = cTuningDataRegistry::GetIfExists()) registry->ReloadChanged();
}

// The platform's stat alone would give a time for a file we cannot read;
// such a file counts as absent, as it does for the parser.
uint64_t TuningFileWriteTime(const std::string& path) {
  std::string refusal;
  FILE* file = Sys_OpenFileToRead(path, SysFileKind::Tuning, refusal);
  if (!file) return refusal.empty() ? 0 : Sys_FileWriteTime(path);  // one too large is read, and refused, again when it changes
  fclose(file);
  return Sys_FileWriteTime(path);
}

// ---- the set --------------------------------------------------------------------

cTuningData::cTuningData(const std::string& dataFolder) : mDataFolder(dataFolder) {
  cTuningDataRegistry::Get().Register(this);
}

cTuningData::~cTuningData() { cTuningDataRegistry::Get().Unregister(this); }

void cTuningData::AddFile(const std::string& name) {
  std::string path = mDataFolder + name;
  mFiles.push_back({path, TuningFileWriteTime(path)});
}

bool cTuningData::RemoveFirstFile() {
  if (mFiles.empty()) return false;
  mFiles.erase(mFiles.begin());
  return true;
}

bool cTuningData::Reload() {
  ParseFiles();
  ApplyConstants();
  return true;
}

bool cTuningData::ParseFiles() {
  for (const sTuningFile& file : mFiles) ParseFile(file.path);
  return true;
}

void cTuningData::ReloadIfChanged() {
  if (mFiles.empty()) return;
  uint64_t now = TuningFileWriteTime(mFiles[0].path);
  if (now == mFiles[0].writeTime) return;
  mFiles[0].writeTime = now;
  Reload();
}

// Every <int|float|bool|string name=".." data=".." comment=".."/> anywhere in
// the document defines a constant; other elements, the root among them, only
// carry the structure and are ignored.
static void XMLCALL OnTuningStartElement(void* userData, const XML_Char* element, const XML_Char** attributes) {
  cTuningData* set = static_cast<cTuningData*>(userData);
  sTuningConstant record;
  if (!cTuningDataRegistry::Get().LookupElement(element, record.type)) return;
  record.fromFile = true;
  for (const XML_Char** pair = attributes; pair[0] && pair[1]; pair += 2) {
    const char* key = pair[0];
    const char* text = pair[1];
    if (strcmp(key, "name") == 0) {
      record.name = text;
    } else if (strcmp(key, "comment") == 0) {
      record.comment = text;
    } else if (strcmp(key, "data") == 0) {
      if (record.type != kTuningString) record.data = text;
      switch (record.type) {
        case kTuningInt: record.value.asInt = ParseTuningInt(text); break;
        case kTuningFloat: record.value.asFloat = ParseTuningFloat(text); break;
        case kTuningBool: record.value.asBool = ParseTuningBool(text); break;
        case kTuningString: record.text = text; break;
      }
    }
  }
  set->DefineConstant(record);
}

static void XMLCALL OnTuningEndElement(void*, const XML_Char*) {}

void cTuningData::ParseFile(const std::string& path) {
  std::vector<uint8_t> text;
  std::string refusal;
  if (!Sys_ReadWholeFile(path, SysFileKind::Tuning, text, refusal)) {
    // A missing file is normal: the getters' defaults stand. A folder, a pipe
    // or a device in its place, or a file too large, is a mistake the designer must hear of.
    if (!refusal.empty()) Sys_MessageBox("Script Error", refusal, SysBox::Ok);
    else if (Sys_PathExists(path) && !Sys_IsRegularFile(path)) Sys_MessageBox("Script Error", "not a regular file: " + path, SysBox::Ok);
    else if (Sys_PathExists(path)) Sys_MessageBox("Script Error", "unreadable: " + path, SysBox::Ok);
    return;
  }
  ParseText(reinterpret_cast<const char*>(text.data()), text.size(), path);
}

void cTuningData::ParseText(const char* text, size_t size, const std::string& path) {
  if (size > kMaxTuningFileBytes) {
    Sys_MessageBox("Script Error", "file larger than 16 MB in " + path, SysBox::Ok);
    return;
  }
  XML_Parser parser = XML_ParserCreate(nullptr);
  if (!parser) return;
  XML_SetUserData(parser, this);
  XML_SetElementHandler(parser, OnTuningStartElement, OnTuningEndElement);
  // The whole file in one final buffer: handed over in small blocks, expat
  // re-scans an unfinished token from its start with every block, so one long
  // attribute made the read quadratic.
  if (XML_Parse(parser, text, (int)size, 1) == XML_STATUS_ERROR) {
    const XML_LChar* reason = XML_ErrorString(XML_GetErrorCode(parser));
    std::string message = std::string(reason ? reason : "unknown XML error") + " at line " +
                          std::to_string((unsigned long long)XML_GetCurrentLineNumber(parser)) + " in " + path;
    Sys_MessageBox("Script Error", message, SysBox::Ok);  // what was read before the error stays defined
  }
  XML_ParserFree(parser);
}

// ---- constants ------------------------------------------------------------------

sTuningConstant* cTuningData::FindRecord(const char* name) {
  auto found = mIndex.find(name);
  return found == mIndex.end() ? nullptr : &mConstants[found->second];
}

uTuningValue* cTuningData::FindConstant(const char* name, eTuningConstantType type) {
  sTuningConstant* record = FindRecord(name);
  if (!record) return nullptr;
  if (record->type != type) {
    ReportTypeClash(name);
    return nullptr;
  }
  return &record->value;
}

bool cTuningData::DefineConstant(const sTuningConstant& record) {
  if (sTuningConstant* existing = FindRecord(record.name.c_str())) {
    if (existing->type != record.type) {
      ReportTypeClash(record.name.c_str());
      return false;
    }
    // The text too: a designer who edits a string constant expects to see the new text.
    existing->value = record.value;
    existing->text = record.text;
    existing->comment = record.comment;
    existing->data = record.data;
    existing->fromFile = record.fromFile;  // code's value over a file's is not the file's text
    return true;
  }
  mIndex.emplace(record.name, mConstants.size());
  mConstants.push_back(record);
  return true;
}

// A getter whose key exists with another type reports the clash once and
// answers its default without defining anything (the first type wins).
template <class tValue>
static tValue GetTyped(cTuningData& set, sTuningConstant* found, const char* name, eTuningConstantType type,
                       tValue defaultValue, tValue uTuningValue::*member) {
  if (found && found->type == type) return found->value.*member;
  if (found) {
    ReportTypeClash(name);
    return defaultValue;
  }
  sTuningConstant record;
  record.type = type;
  record.value.*member = defaultValue;
  record.name = name;
  set.DefineConstant(record);
  return defaultValue;
}

float cTuningData::GetFloat(const char* name, float defaultValue, const char*) {
  return GetTyped(*this, FindRecord(name), name, kTuningFloat, defaultValue, &uTuningValue::asFloat);
}

int cTuningData::GetInt(const char* name, int defaultValue, const char*) {
  return GetTyped<int32_t>(*this, FindRecord(name), name, kTuningInt, defaultValue, &uTuningValue::asInt);
}

bool cTuningData::GetBool(const char* name, bool defaultValue, const char*) {
  return GetTyped(*this, FindRecord(name), name, kTuningBool, defaultValue, &uTuningValue::asBool);
}

void cTuningData::GetString(std::string& result, const char* name, const char* defaultValue, const char*) {
  sTuningConstant* found = FindRecord(name);
  if (found && !found->text.empty()) {
    result = found->text;
    return;
  }
  sTuningConstant record;
  record.type = kTuningString;
  record.name = name;
  record.text = defaultValue ? defaultValue : "";
  DefineConstant(record);
  result = record.text;
}

// Whether the record still holds what its text reads as; a test or a
// benchmark may have put another number in its place.
static bool HoldsItsText(const sTuningConstant& record) {
  if (!record.fromFile) return false;
  if (record.type == kTuningInt) return record.value.asInt == ParseTuningInt(record.data.c_str());
  const float parsed = ParseTuningFloat(record.data.c_str());
  return memcmp(&parsed, &record.value.asFloat, sizeof parsed) == 0;
}

double cTuningData::Read(const sTuningKey& key) {
  sTuningConstant* found = FindRecord(key.name);
  if (!found) {
    if (key.type == kTuningInt) GetInt(key.name, (int)key.defaultValue, "");
    else GetFloat(key.name, (float)key.defaultValue, "");
    return HoldTuningText(key, nullptr);  // another key's bound may cut the default
  }
  if (found->type != key.type) {
    ReportTypeClash(key.name);
    return HoldTuningOfOtherType(key, found->type, found->type == kTuningString ? found->text : found->data);
  }
  if (HoldsItsText(*found)) return HoldTuningText(key, found->data.c_str());
  return HoldTuningNumber(key, key.type == kTuningInt ? (double)found->value.asInt : (double)found->value.asFloat);
}
