// Whole-file replacement for saves: the new contents go to a temporary file of
// a unique name in the real target's folder, which is synced and renamed over
// the target only when everything was written. A crash or a full disk leaves
// the previous file; a stray file or link of any fixed name is never touched.
#include "platform/Sys.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

namespace {

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Follows a chain of links to the file a save really lands in, so saving onto
// a link writes its target instead of replacing the link. A dangling link
// gives the path it points to (the save creates that file).
bool FollowLinks(std::string& path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    char target[PATH_MAX];
    ssize_t length = readlink(path.c_str(), target, sizeof target - 1);
    if (length < 0) return false;
    target[length] = '\0';
    path = target[0] == '/' ? std::string(target) : FolderOf(path) + "/" + target;
  }
  return false;  // a loop of links
}

mode_t CurrentUmask() {
  mode_t mask = umask(0);
  umask(mask);
  return mask;
}

bool SyncFolder(const std::string& folder) {
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = fsync(fd) == 0;
  close(fd);
  return ok;
}

}  // namespace

bool Sys_BeginReplaceFile(const std::string& spelled, SysReplacement& out) {
  out = SysReplacement();
  std::string target = Sys_ResolvePath(spelled);
  if (!FollowLinks(target)) return false;
  // A name of blanks only is a slip of the keyboard, not a file anyone means to keep.
  const std::string name = target.substr(target.rfind('/') + 1);
  if (name.find_first_not_of(" \t") == std::string::npos) return false;

  // Only a regular file may be replaced: a device, a pipe or a folder stays as it is.
  struct stat st;
  mode_t mode = 0666 & ~CurrentUmask();  // what a plain create would have given
  if (stat(target.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) return false;
    // A file its user made read-only is refused, as editors do, although the
    // rename into a writable folder would replace it (root passes access()).
    if ((st.st_mode & 0222) == 0 || access(target.c_str(), W_OK) != 0) return false;
    mode = st.st_mode & 07777;  // the old file's permission bits carry over
  }

  std::string pattern = target + ".XXXXXX";
  int fd = mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) return false;
  FILE* file = fchmod(fd, mode) == 0 ? fdopen(fd, "wb") : nullptr;
  if (!file) {
    close(fd);
    unlink(pattern.c_str());
    return false;
  }
  out.file = file;
  out.tempPath = pattern;
  out.targetPath = target;
  return true;
}

bool Sys_CommitReplaceFile(SysReplacement& replacement) {
  if (!replacement.file) return false;
  bool ok = fflush(replacement.file) == 0 && !ferror(replacement.file);
  // The data must be on disk before the rename makes it the save.
  if (ok) ok = fsync(fileno(replacement.file)) == 0;
  if (fclose(replacement.file) != 0) ok = false;
  replacement.file = nullptr;
  if (ok) ok = rename(replacement.tempPath.c_str(), replacement.targetPath.c_str()) == 0;
  if (!ok) {
    unlink(replacement.tempPath.c_str());
  } else {
    SyncFolder(FolderOf(replacement.targetPath));  // the rename itself survives a crash
  }
  replacement = SysReplacement();
  return ok;
}

void Sys_AbandonReplaceFile(SysReplacement& replacement) {
  if (replacement.file) {
    fclose(replacement.file);
    unlink(replacement.tempPath.c_str());
  }
  replacement = SysReplacement();
}
