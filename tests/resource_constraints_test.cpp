// The typed unit counts: when they are complete, and the limits handed to list
// scheduling.
#include "synthesis/resource_constraints.h"

#include <gtest/gtest.h>

#include "tests/synthesis_fixtures.h"

namespace velnor {
namespace {

// One operation of every type and two divisions; bounds 4 adders, 4 multipliers,
// 2 subtractors, 1 comparator.
Design every_type() {
    Design design = test::graph({{Add, 0, 0, 1}, {Subtract, 0, 0, 2}, {Multiply, 0, 0, 3}, {Divide, 0, 0, 4},
                                 {Compare, 0, 0, 5}, {Divide, 0, 0, 6}});
    design.adder_count = 4;
    design.multiplier_count = 4;
    design.subtractor_count = 2;
    design.comparator_count = 1;
    return design;
}

TEST(ResourceConstraints, DivisionsNeedNoCountAndMayAllRunAtOnce) {
    Design design = every_type();
    design.resources = {{Add, 1}, {Subtract, 1}, {Multiply, 1}};
    EXPECT_FALSE(constraints_complete(design));
    design.resources[Compare] = 1;
    EXPECT_TRUE(constraints_complete(design));
    EXPECT_EQ(scheduling_limits(design),
              (ResourceLimits{{Add, 1}, {Subtract, 1}, {Multiply, 1}, {Divide, 2}, {Compare, 1}}));
}

}  // namespace
}  // namespace velnor
