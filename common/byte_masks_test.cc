#include "common/byte_masks.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The mask byte by byte.
uint64_t PlainMask(const std::string& bytes, char first, char second) {
  uint64_t mask = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    mask |= static_cast<uint64_t>(bytes[i] == first || bytes[i] == second) << i;
  }
  return mask;
}

TEST(ByteMasksTest, MarksEveryPlaceOfEitherByte) {
  // Each byte asked for at each place, both ends of every 16-byte lane
  // included, and bytes of the high half, which compare as negative.
  std::string block(kMaskBlock, 'a');
  for (size_t i = 0; i < kMaskBlock; ++i) block[i] = "ab\x80\xff\n"[i % 5];
  for (size_t at = 0; at < kMaskBlock; ++at) {
    std::string marked = block;
    marked[at] = 'x';
    marked[kMaskBlock - 1 - at] = '\xff';
    for (const auto& [first, second] :
         {std::pair{'\n', 'x'}, std::pair{'x', '\xff'}}) {
      EXPECT_EQ(PlainMask(marked, first, second),
                MatchEither(marked.data(), first, second))
          << at;
    }
  }
}

TEST(ByteMasksTest, ReadsOnlyTheBytesItIsGiven) {
  // The block ends a buffer whose bytes past it would be matches.
  const std::string bytes(kMaskBlock, 'x');
  for (size_t size = 0; size <= kMaskBlock; ++size) {
    const std::string tail = bytes.substr(0, size);
    EXPECT_EQ(PlainMask(tail, '\n', 'x'),
              MatchEitherIn(tail.data(), size, '\n', 'x'))
        << size;
  }
}

TEST(ByteMasksTest, LowestBitIsTheFirstPlace) {
  for (size_t bit = 0; bit < kMaskBlock; ++bit) {
    EXPECT_EQ(bit, LowestBit(uint64_t{1} << bit));
    EXPECT_EQ(bit, LowestBit(~uint64_t{0} << bit));
  }
}

}  // namespace
