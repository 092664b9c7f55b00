// The random stream of the strong embedding and of the null samples: its first
// numbers for seed 0 are the generator's published known answers.
#include "synthesis/split_mix64.h"

#include <gtest/gtest.h>

namespace velnor {
namespace {

TEST(SplitMix64, SeedZeroGivesTheKnownAnswers) {
    SplitMix64 stream(/*seed=*/0);
    EXPECT_EQ(stream.next(), 0xE220A8397B1DCDAFULL);
    EXPECT_EQ(stream.next(), 0x6E789E6AA1B965F4ULL);
    EXPECT_EQ(stream.next(), 0x06C45D188009454FULL);
}

}  // namespace
}  // namespace velnor
