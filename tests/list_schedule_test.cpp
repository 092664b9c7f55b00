// List scheduling on tiny graphs: which operation a step takes when units are
// short, the exact order among equal mobilities, when successors become ready,
// and that a run always ends, also when limits leave operations waiting.
#include "synthesis/list_schedule.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "synthesis/schedule_checks.h"
#include "tests/synthesis_fixtures.h"

namespace velnor {
namespace {

using test::Op;

struct ScheduleCase {
    std::string name;
    std::vector<Op> ops;
    ResourceLimits limits;
    StepMap expected;  // operations absent from it must stay unplaced
};

void PrintTo(const ScheduleCase &c, std::ostream *out) { *out << c.name; }

class ListScheduleTable : public ::testing::TestWithParam<ScheduleCase> {};

TEST_P(ListScheduleTable, PlacesAsExpected) {
    const ScheduleCase &c = GetParam();
    Design design = test::scheduled_graph(c.ops);
    schedule_list(design, c.limits);

    EXPECT_EQ(design.list_steps, c.expected);
    std::set<int32_t> placed;
    for (const auto &[step, ids] : c.expected)
        placed.insert(ids.begin(), ids.end());
    for (const Op &op : c.ops) {
        if (placed.count(op.id) == 0) {
            EXPECT_EQ(design.operations[op.id].list_step, -1) << "operation " << op.id;
        }
    }
    EXPECT_EQ(check_step_table(design, design.list_steps, &Operation::list_step, "list", false), "");
    EXPECT_EQ(check_precedence(design), "");
    EXPECT_EQ(check_step_limits(design, c.limits), "");
    // A primary input is never looked up as an operation.
    EXPECT_EQ(design.operations.count(0), 0u);
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
        ScheduleCase{"ReleasedOperationWaitsForNextStep",
                     {{Add, 0, 0, 1}, {Add, 1, 1, 2}},
                     {{Add, 5}},
                     {{1, {1}}, {2, {2}}}},
        ScheduleCase{"MixedOperandReleasedOnceItsProducerRuns",
                     {{Add, 0, 0, 1}, {Multiply, 0, 1, 2}, {Subtract, 2, 0, 3}},
                     {{Add, 1}, {Subtract, 1}, {Multiply, 1}},
                     {{1, {1}}, {2, {2}}, {3, {3}}}},
        ScheduleCase{"ConsumerWaitsForItsLaterProducer",
                     {{Add, 0, 0, 1}, {Add, 0, 0, 2}, {Add, 1, 2, 3}},
                     {{Add, 1}},
                     {{1, {1}}, {2, {2}}, {3, {3}}}},
        // Served in type order: adders 3 and 2 (least slack first), then multiplier 1.
        ScheduleCase{"IdsAscendingWithinEachStep",
                     {{Multiply, 0, 0, 1}, {Add, 0, 0, 2}, {Add, 0, 0, 3}, {Add, 3, 3, 4}},
                     {{Add, 2}, {Multiply, 1}},
                     {{1, {1, 2, 3}}, {2, {4}}}},
        ScheduleCase{"WideLimitsRunAllPrimaryOperationsAtOnce",
                     {{Add, 0, 0, 1}, {Multiply, 0, 0, 2}, {Add, 0, 0, 3}, {Compare, 0, 0, 4}},
                     {{Add, 9}, {Multiply, 9}, {Compare, 9}},
                     {{1, {1, 2, 3, 4}}}},
        ScheduleCase{"NoOperationOfTwoPrimaryInputs",
                     {{Add, 2, 2, 1}, {Add, 1, 1, 2}},
                     {{Add, 1}},
                     {}},
        ScheduleCase{"EmptyDesign", {}, {{Add, 1}}, {}},
        // The guard: ready operations that no limit serves end the run.
        ScheduleCase{"StopsWhenReadyTypeHasNoLimit",
                     {{Add, 0, 0, 1}, {Multiply, 0, 0, 2}, {Add, 1, 0, 3}},
                     {{Add, 1}},
                     {{1, {1}}, {2, {3}}}},
        ScheduleCase{"StopsAtOnceOnZeroLimit", {{Add, 0, 0, 1}}, {{Add, 0}}, {}},
        ScheduleCase{"StopsOnNegativeLimit",
                     {{Add, 0, 0, 1}, {Multiply, 0, 0, 2}},
                     {{Add, -3}, {Multiply, 1}},
                     {{1, {2}}}},
        ScheduleCase{"StopsWithoutAnyLimit", {{Add, 0, 0, 1}}, {}, {}}),
    [](const ::testing::TestParamInfo<ScheduleCase> &info) { return info.param.name; });

// Five independent additions with chosen slack, one adder: the pop order,
// worked out by hand from the heap's push and pop moves, is the step order.
struct TieCase {
    std::string name;
    std::vector<int32_t> mobilities;  // of operations 1, 2, 3, ...
    std::vector<int32_t> order;       // ids in the order they are placed
};

void PrintTo(const TieCase &c, std::ostream *out) { *out << c.name; }

class ListScheduleTies : public ::testing::TestWithParam<TieCase> {};

TEST_P(ListScheduleTies, PopOrderFollowsTheHeap) {
    const TieCase &c = GetParam();
    std::vector<Op> ops;
    for (std::size_t i = 0; i < c.mobilities.size(); ++i)
        ops.push_back({Add, 0, 0, static_cast<int32_t>(i + 1)});
    Design design = test::graph(ops);
    for (std::size_t i = 0; i < c.mobilities.size(); ++i) {
        Operation &op = design.operations[static_cast<int32_t>(i + 1)];
        op.asap_step = 1;
        op.alap_step = 1 + c.mobilities[i];
    }
    schedule_list(design, {{Add, 1}});

    StepMap expected;
    for (std::size_t i = 0; i < c.order.size(); ++i)
        expected[static_cast<int32_t>(i + 1)] = {c.order[i]};
    EXPECT_EQ(design.list_steps, expected);
}

INSTANTIATE_TEST_SUITE_P(ListSchedule, ListScheduleTies,
                         ::testing::Values(TieCase{"FourEqual", {0, 0, 0, 0}, {1, 3, 2, 4}},
                                           TieCase{"FiveEqual", {0, 0, 0, 0, 0}, {1, 3, 5, 2, 4}},
                                           TieCase{"SevenEqual", {0, 0, 0, 0, 0, 0, 0}, {1, 3, 6, 7, 5, 2, 4}},
                                           TieCase{"LeastSlackThenHeapOrder", {1, 0, 1, 0, 1}, {2, 4, 3, 1, 5}},
                                           TieCase{"DescendingSlack", {3, 2, 1, 0}, {4, 3, 2, 1}}),
                         [](const ::testing::TestParamInfo<TieCase> &info) { return info.param.name; });

TEST(ListSchedule, SameProducerTwiceIsReleasedOnceAndCountedOncePerCheck) {
    Design design = test::graph({{Add, 0, 0, 1}, {Multiply, 1, 1, 2}});
    design.operations[1].list_step = 1;
    std::map<int32_t, int32_t> counters;

    EXPECT_EQ(release_successors(design, 1, counters), std::vector<int32_t>{2});
    EXPECT_EQ(counters, (std::map<int32_t, int32_t>{{1, 1}}));
    EXPECT_EQ(design.released_operations, std::set<int32_t>{2});

    EXPECT_EQ(release_successors(design, 1, counters), std::vector<int32_t>{});
    EXPECT_EQ(counters, (std::map<int32_t, int32_t>{{1, 2}}));
}

TEST(ListSchedule, PrimaryOperandNeitherBlocksNorCounts) {
    Design design = test::graph({{Add, 0, 0, 1}, {Multiply, 0, 1, 2}});
    design.operations[1].list_step = 1;
    std::map<int32_t, int32_t> counters;
    EXPECT_EQ(release_successors(design, 1, counters), std::vector<int32_t>{2});
    EXPECT_EQ(counters, (std::map<int32_t, int32_t>{{1, 1}}));
    EXPECT_EQ(design.operations.count(0), 0u);
}

}  // namespace
}  // namespace velnor
