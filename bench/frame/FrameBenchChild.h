// The frame benchmarks run the game in a child process of their own (start-up
// runs once per process): forked with its output silenced, in the directory
// that holds the game's data.
#pragma once

#include <GL/freeglut.h>
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

// The game measured in a child: `measure(figures)` runs there (false: the game
// did not run) and its figures come back. False also when this process has
// started GLUT already, since a fork of it cannot start the game.
template <class Figures, class Measure>
bool MeasureGameInChild(Measure measure, Figures& figures) {
  if (glutGet(GLUT_INIT_STATE)) return false;
  return RunInChildAndRead(
      [&measure](int fd) {
        Figures mine;
        if (!measure(mine)) _exit(2);
        if (write(fd, &mine, sizeof mine) != (ssize_t)sizeof mine) _exit(1);
        _exit(0);
      },
      &figures, sizeof figures);
}
