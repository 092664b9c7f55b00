// List scheduling on tiny graphs: which operation a step takes when units are
// short, the exact order among equal mobilities, when successors become ready,
// and that a run always ends, also when limits leave operations waiting.
#include "synthesis/list_schedule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/synthesis_fixtures.h"

namespace velnor {
namespace {

using test::Op;

struct ScheduleCase {
    std::string name;
    std::vector<Op> ops;
    ResourceLimits limits;
    StepMap expected;
};

void PrintTo(const ScheduleCase &c, std::ostream *out) { *out << c.name; }

class ListScheduleTable : public ::testing::TestWithParam<ScheduleCase> {};

TEST_P(ListScheduleTable, PlacesAsExpected) {
    const ScheduleCase &c = GetParam();
    Design design = test::scheduled_graph(c.ops);
    schedule_list(design, c.limits);
    EXPECT_EQ(design.list_steps, c.expected);
    StepMap by_field;  // every other operation keeps list_step -1
    for (const auto &[id, op] : design.operations)
        if (op.list_step != -1)
            by_field[op.list_step].push_back(id);
    EXPECT_EQ(by_field, c.expected);
    EXPECT_EQ(design.operations.count(0), 0u);  // a primary input is never looked up
}

INSTANTIATE_TEST_SUITE_P(
    ListSchedule, ListScheduleTable,
    ::testing::Values(
        // 2 feeds the product 3 and has no slack; 1 stands alone with slack 1.
        ScheduleCase{"LeastMobilityFirstWhenOneAdder",
                     {{Add, 0, 0, 1}, {Add, 0, 0, 2}, {Multiply, 2, 2, 3}},
                     {{Add, 1}, {Multiply, 1}},
                     {{1, {2}}, {2, {1, 3}}}},
        // 2 has a primary operand, yet only operations of two primary inputs start.
        ScheduleCase{"SeedsOnlyOperationsOfTwoPrimaryInputs",
                     {{Add, 0, 0, 1}, {Add, 1, 0, 2}, {Add, 0, 0, 3}},
                     {{Add, 3}},
                     {{1, {1, 3}}, {2, {2}}}},
        // Served in type order: adders 3 and 2 (least slack first), then multiplier 1.
        ScheduleCase{"IdsAscendingWithinEachStep",
                     {{Multiply, 0, 0, 1}, {Add, 0, 0, 2}, {Add, 0, 0, 3}, {Add, 3, 3, 4}},
                     {{Add, 2}, {Multiply, 1}},
                     {{1, {1, 2, 3}}, {2, {4}}}},
        // Ready operations that no limit serves end the run.
        ScheduleCase{"StopsWhenReadyTypeHasNoLimit",
                     {{Add, 0, 0, 1}, {Multiply, 0, 0, 2}, {Add, 1, 0, 3}},
                     {{Add, 1}},
                     {{1, {1}}, {2, {3}}}},
        // Equal mobilities: the pop order, worked out by hand from the heap's push
        // and pop moves (the right child wins a tie), is the step order.
        ScheduleCase{"FiveEqualMobilities",
                     {{Add, 0, 0, 1}, {Add, 0, 0, 2}, {Add, 0, 0, 3}, {Add, 0, 0, 4}, {Add, 0, 0, 5}},
                     {{Add, 1}},
                     {{1, {1}}, {2, {3}}, {3, {5}}, {4, {2}}, {5, {4}}}}),
    [](const auto &info) { return info.param.name; });

TEST(ListSchedule, SameProducerTwiceIsReleasedOnceAndCountedOncePerCheck) {
    Design design = test::graph({{Add, 0, 0, 1}, {Multiply, 1, 1, 2}});
    design.operations[1].list_step = 1;
    std::vector<int32_t> counters;
    std::vector<int32_t> released;
    release_successors(design, 1, counters, released);
    EXPECT_EQ(released, std::vector<int32_t>{2});
    EXPECT_EQ(counters, (std::vector<int32_t>{0, 1}));
    release_successors(design, 1, counters, released);
    EXPECT_EQ(released, std::vector<int32_t>{2});  // nothing more: 2 was released before
    EXPECT_EQ(counters, (std::vector<int32_t>{0, 2}));
}

}  // namespace
}  // namespace velnor
