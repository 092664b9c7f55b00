// The typed unit counts: each kind's verdict and error text at its bounds,
// when the counts are complete, and the limits handed to list scheduling.
#include "synthesis/resource_constraints.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/synthesis_fixtures.h"

namespace velnor {
namespace {

using Verdict = ResourceEntryVerdict;

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

TEST(ResourceConstraints, EntryVerdicts) {
    const struct {
        int32_t type;
        int32_t count;
        Verdict::Outcome outcome;
        const char *message;
    } cases[] = {
        {Add, 4, Verdict::Accepted, ""},
        {Add, 0, Verdict::Refused, ""},
        {Add, 5, Verdict::Refused,
         "Please feed the correct resource constraint. \nRequired adder should be less than  4"},
        {Multiply, 4, Verdict::Accepted, ""},
        {Multiply, 0, Verdict::Refused, "Enter a non-zero number for multiplier"},
        {Multiply, -1, Verdict::Refused,
         "please feed the correct resource constraint for multiplier.\nRequired multiplier should be less than or "
         "equal to 4"},
        {Subtract, 2, Verdict::Accepted, ""},
        {Subtract, 0, Verdict::Refused, "number of subtractor should be non-negative."},
        {Subtract, 3, Verdict::Refused,
         "Please feed the correct resource constraint for subtractor!\nnumber of subtractor should be less than or "
         "equal to 2"},
        {Compare, 1, Verdict::Accepted, ""},
        {Compare, 0, Verdict::Refused, "number of comparator should be non-negative ."},
        {Compare, 2, Verdict::Refused,
         "Please feed the correct resource constraint for comparator!\nnumber of comparator should be less than or "
         "equal to 1"},
        {Divide, 1, Verdict::NotNeeded, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE("type " + std::to_string(c.type) + " count " + std::to_string(c.count));
        const Verdict verdict = check_resource_entry(every_type(), c.type, c.count);
        EXPECT_EQ(verdict.outcome, c.outcome);
        EXPECT_EQ(verdict.message, c.message);
    }
    EXPECT_EQ(check_resource_entry(test::graph({{Add, 0, 0, 1}}), Compare, 99).outcome, Verdict::NotNeeded);
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
