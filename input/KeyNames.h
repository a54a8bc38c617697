// The names key files give keys: each Windows virtual-key constant's name
// without its VK_ prefix, mapped to its code ("A" is 0x41, "LEFT" 0x25).
#pragma once

#include <map>
#include <string>

// All 151 names, shared by every binding table. Filled on first use, which is
// never before main: the left and right mouse buttons follow the user's
// swapped-buttons setting at that moment.
const std::map<std::string, int>& KeyNameTable();
bool LookupKeyName(const std::string& name, int& code);  // exact, case-sensitive
