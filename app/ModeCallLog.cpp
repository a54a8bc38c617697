#include "app/ModeCallLog.h"

static std::vector<std::string>* gModeCallLog = nullptr;

void SetModeCallLog(std::vector<std::string>* log) { gModeCallLog = log; }

void RecordModeCall(const std::string& mode, const char* operation) {
  if (gModeCallLog) gModeCallLog->push_back(mode + "." + operation);
}
