// An optional record of the operations the application calls on the modes,
// so that start-up, switching and pausing can be checked frame by frame.
#pragma once

#include <string>
#include <vector>

void SetModeCallLog(std::vector<std::string>* log);  // nullptr stops recording
void RecordModeCall(const std::string& mode, const char* operation);
