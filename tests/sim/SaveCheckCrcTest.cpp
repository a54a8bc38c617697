// The save check's CRC-32 is the zip/PNG checksum, and it may be fed in
// pieces: the saver runs it over the head and then record by record.
#include <gtest/gtest.h>

#include <string>

#include "sim/gamedata/SaveCheck.h"

TEST(SaveCheckCrc, IsTheStandardCrc32AndMayBeFedInPieces) {
  const std::string text = "123456789";
  EXPECT_EQ(Crc32Update(0, text.data(), text.size()), 0xCBF43926u);  // the standard check value
  EXPECT_EQ(Crc32Update(0, nullptr, 0), 0u);
  std::string big(100000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = (char)(i * 131 + (i >> 7));
  const uint32_t whole = Crc32Update(0, big.data(), big.size());
  for (size_t cut : {size_t{1}, size_t{7}, size_t{4096}, big.size() - 3}) {
    const uint32_t head = Crc32Update(0, big.data(), cut);
    EXPECT_EQ(Crc32Update(head, big.data() + cut, big.size() - cut), whole) << cut;
  }
}
