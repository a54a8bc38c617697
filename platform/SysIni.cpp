#include "platform/Sys.h"

#include <strings.h>

#include <fstream>
#include <sstream>

// Private-profile rules: "[section]" headers and "key=value" lines, names compared
// case-insensitively, blanks around names and values trimmed, first match wins.
namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

// False also for a file over an ini file's bound: that one is named, and none
// of its settings is read (nor is it written over).
bool ReadLines(const std::string& file, std::vector<std::string>& lines, std::string& refusal) {
  std::vector<uint8_t> bytes;
  if (!Sys_ReadWholeFile(file, SysFileKind::Ini, bytes, refusal)) {
    if (!refusal.empty()) Sys_Note("Data File", refusal + ": its settings are not read");
    return false;
  }
  std::istringstream in(std::string(bytes.begin(), bytes.end()));
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return true;
}

bool IsSectionHeader(const std::string& trimmed, std::string* name) {
  if (trimmed.size() < 2 || trimmed[0] != '[') return false;
  size_t close = trimmed.find(']');
  if (close == std::string::npos) return false;
  if (name) *name = Trim(trimmed.substr(1, close - 1));
  return true;
}

bool SplitKeyValue(const std::string& line, std::string& key, std::string& value) {
  size_t eq = line.find('=');
  if (eq == std::string::npos) return false;
  key = Trim(line.substr(0, eq));
  value = Trim(line.substr(eq + 1));
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
    value = value.substr(1, value.size() - 2);
  return true;
}

}  // namespace

std::vector<sSysIniEntry> Sys_IniFileEntries(const std::string& file) {
  std::vector<std::string> lines;
  std::vector<sSysIniEntry> entries;
  std::string refusal;
  if (!ReadLines(file, lines, refusal)) return entries;
  std::string section;
  bool inSection = false;
  for (const std::string& raw : lines) {
    std::string line = Trim(raw);
    if (IsSectionHeader(line, &section)) {
      inSection = true;
      continue;
    }
    if (!inSection || line.empty() || line[0] == ';') continue;
    std::string k, v;
    if (SplitKeyValue(line, k, v)) entries.push_back({section, k, v});
  }
  return entries;
}

std::string Sys_IniFind(const std::vector<sSysIniEntry>& entries, const std::string& section, const std::string& key,
                        const std::string& fallback, size_t maxChars) {
  std::string result = fallback;
  // The asked names are trimmed like the file's: a caller may spell a key with
  // a trailing blank ("EffectEstablishTradeRoute ") and still find it.
  const std::string wantedSection = Trim(section), wantedKey = Trim(key);
  for (const sSysIniEntry& entry : entries) {
    if (strcasecmp(entry.section.c_str(), wantedSection.c_str()) == 0 &&
        strcasecmp(entry.key.c_str(), wantedKey.c_str()) == 0) {
      result = entry.value;
      break;
    }
  }
  if (result.size() > maxChars) result.resize(maxChars);
  return result;
}

std::string Sys_IniReadString(const std::string& file, const std::string& section, const std::string& key,
                              const std::string& fallback, size_t maxChars) {
  return Sys_IniFind(Sys_IniFileEntries(file), section, key, fallback, maxChars);
}

int Sys_IniReadInt(const std::string& file, const std::string& section, const std::string& key, int fallback) {
  return Sys_IniFindInt(Sys_IniFileEntries(file), section, key, fallback);
}

int Sys_IniFindInt(const std::vector<sSysIniEntry>& entries, const std::string& section, const std::string& key,
                   int fallback) {
  const std::string missing = "\x01";
  std::string text = Sys_IniFind(entries, section, key, missing);
  if (text == missing) return fallback;
  // Like the Windows call: leading digits count, anything else reads as 0.
  long long value = 0;
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > 0x7FFFFFFFll) value = 0x7FFFFFFFll;
  }
  return (int)(negative ? -value : value);
}

bool Sys_IniWriteString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& value) {
  std::vector<std::string> lines;
  std::string refusal;
  if (!ReadLines(file, lines, refusal) && !refusal.empty()) return false;  // a missing file is made
  int sectionLine = -1, keyLine = -1, insertAt = -1;
  for (int i = 0; i < (int)lines.size(); ++i) {
    std::string line = Trim(lines[i]), name;
    if (IsSectionHeader(line, &name)) {
      if (sectionLine >= 0 && keyLine < 0 && insertAt < 0) insertAt = i;
      if (sectionLine < 0 && strcasecmp(name.c_str(), section.c_str()) == 0) sectionLine = i;
      continue;
    }
    std::string k, v;
    if (sectionLine >= 0 && insertAt < 0 && keyLine < 0 && SplitKeyValue(line, k, v) &&
        strcasecmp(k.c_str(), key.c_str()) == 0)
      keyLine = i;
  }
  if (keyLine >= 0) {
    lines[keyLine] = key + "=" + value;
  } else if (sectionLine >= 0) {
    int at = insertAt >= 0 ? insertAt : (int)lines.size();
    while (at > sectionLine + 1 && Trim(lines[at - 1]).empty()) --at;
    lines.insert(lines.begin() + at, key + "=" + value);
  } else {
    lines.push_back("[" + section + "]");
    lines.push_back(key + "=" + value);
  }
  std::ofstream out(Sys_ResolvePath(file), std::ios::binary | std::ios::trunc);
  for (const std::string& line : lines) out << line << "\r\n";
  return (bool)out;
}
