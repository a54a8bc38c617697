// What the threads of standard input and output do in a forked child
// allocates nothing. A library that forks from a thread of its own (the file
// dialogs' toolkit starting a helper) may fork while another thread holds the
// allocator's lock, which then stays held in the child: one allocation there
// and the child hangs, and its parent with it. This binary counts every
// allocation through operator new, so it stands alone.
#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "platform/Sys.h"

namespace {
std::atomic<long> gAllocations{0};
}  // namespace

void* operator new(std::size_t size) {
  ++gAllocations;
  if (void* memory = std::malloc(size ? size : 1)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

// Mended: the child's handlers built the child's fresh state there.
TEST(Fork, AChildsHandlersAllocateNothing) {
  Sys_FlushOutput(0);
  Sys_SetStdinForTest(-1);  // both made, so their fork handlers come before the ones below
  static long atForkInParent = -1, atForkInChild = -1;
  // Run last in the parent (after the game's, which only free) and in the child.
  pthread_atfork(nullptr, [] { atForkInParent = gAllocations; }, [] { atForkInChild = gAllocations; });
  int report[2];
  ASSERT_EQ(pipe(report), 0);
  const pid_t child = fork();
  if (child == 0) _exit(write(report[1], &atForkInChild, sizeof atForkInChild) == sizeof atForkInChild ? 0 : 1);
  long counted = -1;
  EXPECT_EQ(read(report[0], &counted, sizeof counted), (ssize_t)sizeof counted);
  waitpid(child, nullptr, 0);
  close(report[0]);
  close(report[1]);
  EXPECT_EQ(counted, atForkInParent) << "allocations made in the child's handlers";
}
