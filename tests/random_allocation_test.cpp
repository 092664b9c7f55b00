// Random register allocations: no register holds two variables at once, a new
// register opens only when every other is busy (so the count is the largest
// number of variables alive in one step), and the seed fixes the allocation.
#include "synthesis/random_allocation.h"

#include <algorithm>
#include <map>

#include <gtest/gtest.h>

namespace velnor {
namespace {

// The largest number of spans that cover one step.
int32_t most_alive(const std::vector<VariableSpan> &spans) {
    std::map<int32_t, int32_t> alive;
    for (const VariableSpan &span : spans)
        for (int32_t t = span.birth; t <= span.death; ++t)
            ++alive[t];
    int32_t most = 0;
    for (const auto &[step, count] : alive)
        most = std::max(most, count);
    return most;
}

std::vector<VariableSpan> spans_from(SplitMix64 &stream, int count) {
    std::vector<VariableSpan> spans;
    for (int v = 0; v < count; ++v) {
        const auto birth = static_cast<int32_t>(stream.below(20));
        spans.push_back({birth, birth + static_cast<int32_t>(stream.below(6))});
    }
    return spans;
}

TEST(RandomAllocation, NoOverlapAndNoRegisterBeyondTheMostAlive) {
    SplitMix64 shapes(/*seed=*/3);
    for (int trial = 0; trial < 50; ++trial) {
        const std::vector<VariableSpan> spans = spans_from(shapes, 1 + trial);
        SplitMix64 stream(/*seed=*/static_cast<uint64_t>(trial));
        const std::vector<int32_t> registers = random_register_allocation(spans, stream);
        ASSERT_EQ(registers.size(), spans.size());
        for (std::size_t x = 0; x < spans.size(); ++x)
            for (std::size_t y = x + 1; y < spans.size(); ++y)
                if (registers[x] == registers[y]) {
                    EXPECT_TRUE(spans[x].death < spans[y].birth || spans[y].death < spans[x].birth)
                        << "trial " << trial << ": variables " << x << " and " << y << " overlap";
                }
        EXPECT_EQ(*std::max_element(registers.begin(), registers.end()) + 1, most_alive(spans)) << "trial " << trial;
    }
}

TEST(RandomAllocation, TheSeedFixesTheAllocationAndOthersVary) {
    SplitMix64 shapes(/*seed=*/5);
    const std::vector<VariableSpan> spans = spans_from(shapes, 60);
    SplitMix64 first(/*seed=*/11), second(/*seed=*/11), other(/*seed=*/12);
    const std::vector<int32_t> a = random_register_allocation(spans, first);
    EXPECT_EQ(random_register_allocation(spans, second), a);
    bool differs = false;
    for (int draw = 0; draw < 5 && !differs; ++draw)
        differs = random_register_allocation(spans, other) != a;
    EXPECT_TRUE(differs);
}

}  // namespace
}  // namespace velnor
