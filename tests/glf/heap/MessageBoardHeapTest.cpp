// What a message in the game window costs, in the bytes allocated as the
// board takes it and draws a frame of it. The board keeps at most its bound of
// a message's caption and of its text, and a frame lays out only that, so a
// text of any length from a file costs what one at the bound does. This binary
// counts every allocation through operator new, so it stands alone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "glf/MessageBoard.h"
#include "tests/glf/OverlayRecorder.h"

namespace {
thread_local bool tCounting = false;
thread_local size_t tAllocated = 0;
}  // namespace

void* operator new(std::size_t size) {
  if (tCounting) tAllocated += size;
  if (void* memory = std::malloc(size ? size : 1)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace {
// Bytes allocated on this thread as a fresh board takes the message and draws it once.
size_t CostOf(const std::string& caption, const std::string& text) {
  cOverlayRecorder recorder;
  cGLFMessageBoard board;
  tAllocated = 0;
  tCounting = true;
  board.Add(caption, text);
  board.Draw();
  tCounting = false;
  return tAllocated;
}
}  // namespace

TEST(MessageBoardHeap, AMessagePastTheBoundCostsWhatOneAtTheBoundDoes) {
  const struct {
    const char* name;
    bool inCaption;  // else the text is long
  } rows[] = {{"a huge text", false}, {"a huge caption", true}};
  const size_t countLine = 64;  // a huge text's "(N more characters)" names a longer number
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto costOf = [&row](size_t bytes) {
      const std::string huge = "b " + std::string(bytes - 2, 'x');
      return row.inCaption ? CostOf(huge, "b") : CostOf("Script Error", huge);
    };
    const size_t atTheBound = costOf(cGLFMessageBoard::kMaxBytes);
    EXPECT_LE(costOf(1 << 20), atTheBound + countLine) << "bytes, against " << atTheBound << " at the bound";
  }
}
