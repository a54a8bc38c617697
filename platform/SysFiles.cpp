#include "platform/Sys.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

// Windows spellings ("\Data\Scripts\x.txt", "./data/tuning.xml") are turned into
// slashes and matched one component at a time, case-insensitively, against what
// is on disk. Components that match nothing keep their spelling so that new
// files can be created.
std::string Sys_ResolvePath(const std::string& spelled) {
  std::string path = spelled;
  for (char& c : path)
    if (c == '\\') c = '/';
  if (path.empty()) return path;

  bool absolute = path[0] == '/';
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    std::string part = path.substr(start, slash - start);
    if (!part.empty() && part != ".") parts.push_back(part);
    start = slash + 1;
  }

  std::string resolved = absolute ? "/" : "";
  bool matching = true;
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    std::string dir = resolved.empty() ? "." : resolved;
    std::string chosen = part;
    if (matching && part != "..") {
      struct stat st;
      std::string exact = (resolved.empty() || resolved == "/") ? resolved + part : resolved + "/" + part;
      if (stat(exact.c_str(), &st) != 0) {
        matching = false;
        if (DIR* d = opendir(dir.c_str())) {
          while (dirent* e = readdir(d)) {
            if (strcasecmp(e->d_name, part.c_str()) == 0) {
              chosen = e->d_name;
              matching = true;
              break;
            }
          }
          closedir(d);
        }
      }
    }
    if (!resolved.empty() && resolved != "/") resolved += "/";
    resolved += chosen;
  }
  if (resolved.empty()) resolved = ".";
  return resolved;
}

static bool IsRegularResolvedFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

FILE* Sys_OpenFile(const std::string& spelled, const char* mode) {
  std::string path = Sys_ResolvePath(spelled);
  if (!mode || mode[0] != 'r') return fopen(path.c_str(), mode);
  // Readers get regular files only (a folder opens on Linux and fails on the
  // first read; a pipe or device may block or never end), checked on the
  // opened file itself. Non-blocking: a kernel file such as /proc/kmsg reports
  // "no data" instead of waiting forever.
  int flags = (strchr(mode, '+') ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_CLOEXEC;
  int fd = open(path.c_str(), flags);
  if (fd < 0) return nullptr;
  struct stat st;
  FILE* file = (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) ? fdopen(fd, mode) : nullptr;
  if (!file) close(fd);
  return file;
}

bool Sys_IsRegularFile(const std::string& spelled) { return IsRegularResolvedFile(Sys_ResolvePath(spelled)); }

bool Sys_RegularFileSize(const std::string& spelled, uint64_t& size) {
  struct stat st;
  if (stat(Sys_ResolvePath(spelled).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  size = (uint64_t)st.st_size;
  return true;
}

bool Sys_PathExists(const std::string& spelled) {
  struct stat st;
  return stat(Sys_ResolvePath(spelled).c_str(), &st) == 0;
}

bool Sys_ReadWholeFile(const std::string& spelled, std::vector<uint8_t>& out, size_t maxBytes) {
  out.clear();
  FILE* f = Sys_OpenFile(spelled, "rb");
  if (!f) return false;
  struct stat st;
  const bool known = fstat(fileno(f), &st) == 0;
  if (known && (uint64_t)st.st_size > maxBytes) {  // refused before it is read
    fclose(f);
    return false;
  }
  if (known && S_ISREG(st.st_mode) && st.st_size > 0) out.reserve((size_t)st.st_size);  // one allocation, not one per doubling
  uint8_t buffer[65536];
  size_t got;
  bool ok = true;
  while ((got = fread(buffer, 1, sizeof buffer, f)) > 0) {
    if (got > maxBytes - out.size()) {  // the limit is checked before the memory is taken
      ok = false;
      break;
    }
    out.insert(out.end(), buffer, buffer + got);
  }
  if (ferror(f)) ok = false;
  fclose(f);
  if (!ok) out.clear();
  return ok;
}

uint64_t Sys_FileWriteTime(const std::string& spelled) {
  struct stat st;
  if (stat(Sys_ResolvePath(spelled).c_str(), &st) != 0) return 0;
  return (uint64_t)st.st_mtim.tv_sec * 1000000000ull + (uint64_t)st.st_mtim.tv_nsec;
}

bool Sys_RemoveFile(const std::string& spelled) { return unlink(Sys_ResolvePath(spelled).c_str()) == 0; }

std::string Sys_CurrentDirectory() {
  char buffer[4096];
  return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string(".");
}
