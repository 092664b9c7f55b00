// The cost of a design: area and latency weighed equally against the two
// reference designs, a zero normaliser contributing nothing. The binding quotas,
// the area and the latency are fixed by the characterization runs, whose
// reports and key files print them for every core and unit count.
#include "core/binding.h"

#include <gtest/gtest.h>

namespace velnor {
namespace {

TEST(Cost, WeighsBothTermsEquallyAndSkipsAZeroNormaliser) {
    EXPECT_DOUBLE_EQ(compute_cost(100, 20, 100, 20), 1.0);
    EXPECT_DOUBLE_EQ(compute_cost(50, 20, 100, 20), 0.75);
    EXPECT_DOUBLE_EQ(compute_cost(50, 10, 0, 20), 0.25);
    EXPECT_DOUBLE_EQ(compute_cost(50, 10, 100, 0), 0.25);
    EXPECT_DOUBLE_EQ(compute_cost(50, 10, 0, 0), 0.0);
}

}  // namespace
}  // namespace velnor
