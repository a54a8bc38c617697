#include "platform/Sys.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <iterator>

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

// Each kind's row stands at its own index, so the bound is found without a search.
static constexpr bool BoundsInKindOrder() {
  for (size_t i = 0; i < std::size(kSysFileBounds); ++i)
    if ((size_t)kSysFileBounds[i].kind != i) return false;
  return true;
}
static_assert(BoundsInKindOrder(), "kSysFileBounds lists the kinds in SysFileKind's order");

static std::string OverTheBound(const std::string& path, const std::string& holds, SysFileKind kind) {
  const SysFileBound& bound = kSysFileBounds[(int)kind];
  return path + " holds " + holds + " bytes; " + bound.name + " may hold at most " + std::to_string(bound.maxBytes);
}

FILE* Sys_OpenFileToWrite(const std::string& spelled) { return fopen(Sys_ResolvePath(spelled).c_str(), "wb"); }

FILE* Sys_OpenFileToRead(const std::string& spelled, SysFileKind kind, std::string& refusal) {
  refusal.clear();
  const std::string path = Sys_ResolvePath(spelled);
  // Readers get regular files only (a folder opens on Linux and fails on the
  // first read; a pipe or device may block or never end), checked on the
  // opened file itself. Non-blocking: a kernel file such as /proc/kmsg reports
  // "no data" instead of waiting forever. A file larger than its kind's bound
  // (a bad copy, a runaway tool) is refused before a byte of it is read.
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st;
  FILE* file = nullptr;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    if ((uint64_t)st.st_size > Sys_FileBound(kind)) refusal = OverTheBound(path, std::to_string(st.st_size), kind);
    else file = fdopen(fd, "rb");
  }
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

bool Sys_ReadWholeFile(const std::string& spelled, SysFileKind kind, std::vector<uint8_t>& out, std::string& refusal) {
  out.clear();
  FILE* f = Sys_OpenFileToRead(spelled, kind, refusal);
  if (!f) return false;
  const uint64_t bound = Sys_FileBound(kind);
  struct stat st;
  if (fstat(fileno(f), &st) == 0 && st.st_size > 0) out.reserve((size_t)st.st_size);  // one allocation, not one per doubling
  uint8_t buffer[65536];
  size_t got;
  bool ok = true;
  while ((got = fread(buffer, 1, sizeof buffer, f)) > 0) {
    if (got > bound - out.size()) {  // grown while read: the bound holds of what is read too
      refusal = OverTheBound(Sys_ResolvePath(spelled), "more than " + std::to_string(bound), kind);
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
