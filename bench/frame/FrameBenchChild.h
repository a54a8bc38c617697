// The frame benchmarks run the game in a child process of their own (start-up
// runs once per process): forked with its output silenced, in the directory
// that holds the game's data.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

// Runs `child(fd)` in a forked child, which writes its figures to `fd` and
// leaves with _exit; reads `size` bytes of them into `out`. False when the
// child wrote none.
template <class Child>
bool RunInChildAndRead(Child child, void* out, size_t size) {
  int fds[2];
  if (pipe(fds) != 0) return false;
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    for (int up = 0; up < 3 && access("Data/Scripts", F_OK) != 0; ++up)
      if (chdir("..") != 0) break;
    child(fds[1]);
    _exit(3);
  }
  close(fds[1]);
  const bool read_ = read(fds[0], out, size) == (ssize_t)size;
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return read_;
}
