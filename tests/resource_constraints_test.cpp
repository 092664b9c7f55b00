// The typed unit counts: each kind's verdict and error text at its bounds,
// when the counts are complete, and the limits handed to list scheduling.
#include "synthesis/resource_constraints.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/synthesis_fixtures.h"

namespace velnor {
namespace {

using Verdict = ResourceEntryVerdict;

// One operation of every type; bounds 4 adders, 4 multipliers, 2 subtractors, 1 comparator.
Design every_type() {
    Design design = test::graph(
        {{Add, 0, 0, 1}, {Subtract, 0, 0, 2}, {Multiply, 0, 0, 3}, {Divide, 0, 0, 4}, {Compare, 0, 0, 5}});
    design.adder_count = 4;
    design.multiplier_count = 4;
    design.subtractor_count = 2;
    design.comparator_count = 1;
    return design;
}

struct EntryCase {
    std::string name;
    int32_t type;
    int32_t count;
    Verdict::Outcome outcome;
    std::string message;
};

void PrintTo(const EntryCase &c, std::ostream *out) { *out << c.name; }

class ResourceEntry : public ::testing::TestWithParam<EntryCase> {};

TEST_P(ResourceEntry, Verdict) {
    const EntryCase &c = GetParam();
    const Verdict verdict = check_resource_entry(every_type(), c.type, c.count);
    EXPECT_EQ(verdict.outcome, c.outcome);
    EXPECT_EQ(verdict.message, c.message);
}

const char adder_range[] = "Please feed the correct resource constraint. \nRequired adder should be less than  4";
const char multiplier_range[] =
    "please feed the correct resource constraint for multiplier.\nRequired multiplier should be less than or equal to 4";

INSTANTIATE_TEST_SUITE_P(
    ResourceConstraints, ResourceEntry,
    ::testing::Values(
        EntryCase{"AdderAtBound", Add, 4, Verdict::Accepted, ""},
        EntryCase{"AdderZeroWithoutMessage", Add, 0, Verdict::Refused, ""},
        EntryCase{"AdderAboveBound", Add, 5, Verdict::Refused, adder_range},
        EntryCase{"AdderNegative", Add, -1, Verdict::Refused, adder_range},
        EntryCase{"MultiplierAtBound", Multiply, 4, Verdict::Accepted, ""},
        EntryCase{"MultiplierZero", Multiply, 0, Verdict::Refused, "Enter a non-zero number for multiplier"},
        EntryCase{"MultiplierAboveBound", Multiply, 5, Verdict::Refused, multiplier_range},
        EntryCase{"SubtractorAtBound", Subtract, 2, Verdict::Accepted, ""},
        EntryCase{"SubtractorZero", Subtract, 0, Verdict::Refused, "number of subtractor should be non-negative."},
        EntryCase{"SubtractorAboveBound", Subtract, 3, Verdict::Refused,
                  "Please feed the correct resource constraint for subtractor!\nnumber of subtractor should be less "
                  "than or equal to 2"},
        EntryCase{"ComparatorAtBound", Compare, 1, Verdict::Accepted, ""},
        EntryCase{"ComparatorZero", Compare, 0, Verdict::Refused, "number of comparator should be non-negative ."},
        EntryCase{"ComparatorAboveBound", Compare, 2, Verdict::Refused,
                  "Please feed the correct resource constraint for comparator!\nnumber of comparator should be less "
                  "than or equal to 1"},
        EntryCase{"DivisionHasNoEntry", Divide, 1, Verdict::NotNeeded, ""}),
    [](const ::testing::TestParamInfo<EntryCase> &info) { return info.param.name; });

TEST(ResourceConstraints, AbsentTypeNeedsNoCount) {
    Design design = test::graph({{Add, 0, 0, 1}});
    EXPECT_EQ(check_resource_entry(design, Compare, 99).outcome, Verdict::NotNeeded);
    EXPECT_EQ(check_resource_entry(design, Multiply, 0).outcome, Verdict::NotNeeded);
}

TEST(ResourceConstraints, CompleteOnceEveryCountedTypeHasAUnit) {
    Design design = every_type();
    design.resources = {{Add, 1}, {Subtract, 1}, {Multiply, 1}};
    EXPECT_FALSE(constraints_complete(design));
    design.resources[Compare] = 1;
    EXPECT_TRUE(constraints_complete(design));  // divisions need no count
    design.resources[Multiply] = 0;
    EXPECT_FALSE(constraints_complete(design));
}

TEST(ResourceConstraints, DivisionsMayAllRunAtOnce) {
    Design design = every_type();
    design.operations[6] = design.operations[4];
    design.operations[6].id = 6;
    design.resources = {{Add, 2}, {Compare, 1}};
    EXPECT_EQ(scheduling_limits(design), (ResourceLimits{{Add, 2}, {Divide, 2}, {Compare, 1}}));

    Design without = test::graph({{Add, 0, 0, 1}});
    without.resources = {{Add, 3}};
    EXPECT_EQ(scheduling_limits(without), (ResourceLimits{{Add, 3}}));
}

}  // namespace
}  // namespace velnor
