// The debug window's lines wrapped into rows of the text area's width.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/glui/DebugViewRows.h"

namespace {
float OneEach(uint32_t) { return 1.0f; }
}  // namespace

TEST(DebugViewRows, LinesBreakAtSpacesOrInsideLongWordsAndEveryRowFits) {
  const struct {
    std::string line;
    float width;
    std::vector<std::string> rows;
  } cases[] = {
      {"", 10, {""}},
      {"fits exactly", 12, {"fits exactly"}},
      {"aaaa bbbb", 6, {"aaaa", "bbbb"}},
      {"aaaaaa bbb", 6, {"aaaaaa", "bbb"}},            // the break falls on the space
      {"a      b", 3, {"a", "b"}},                       // spaces at a break are dropped
      {"  indented", 20, {"  indented"}},              // a line that fits keeps its spaces
      {"abcdefghij", 4, {"abcd", "efgh", "ij"}},       // a word longer than a row
      {"ab", 0.5f, {"a", "b"}},                        // narrower than a character: one each
      {"tail   ", 4, {"tail"}},
      {"\xC3\xA9\xC3\xA9\xC3\xA9", 2, {"\xC3\xA9\xC3\xA9", "\xC3\xA9"}},  // two-byte characters stay whole
      {"\xC3(x", 1, {"\xC3", "(", "x"}},              // a broken sequence counts one byte
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line + " / " + std::to_string(c.width));
    const std::vector<sDebugViewRow> rows = WrapDebugViewLines({"before", c.line}, c.width, OneEach);
    std::vector<std::string> texts;
    for (const sDebugViewRow& row : rows)
      if (row.line == 1) texts.push_back(c.line.substr(row.begin, row.end - row.begin));
    EXPECT_EQ(texts, c.rows);
  }
}
