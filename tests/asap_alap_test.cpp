// ASAP and ALAP on tiny graphs built in code: the order of the passes, and
// termination on graphs that break the file format's promises. The steps of
// the shipped cores are fixed by the characterization reports.
#include "core/asap_alap.h"

#include <gtest/gtest.h>

#include "tests/synthesis_fixtures.h"

namespace velnor {
namespace {

TEST(AsapAlap, ProducerWithLargerIdIsPlacedInALaterPass) {
    // 1 reads 3; 3 reads 2. Passes: {2}, then {3}, then {1}.
    const Design d = test::scheduled_graph({{Add, 3, 0, 1}, {Add, 0, 0, 2}, {Add, 2, 2, 3}});
    EXPECT_EQ(d.asap_steps, (StepMap{{1, {2}}, {2, {3}}, {3, {1}}}));
    EXPECT_EQ(d.alap_steps, d.asap_steps);
    // 2 reads 4, placed in pass 1 too, so 2 lands in step 2 after 5 although its id is smaller.
    EXPECT_EQ(
        test::scheduled_graph({{Add, 0, 0, 1}, {Add, 4, 0, 2}, {Add, 0, 0, 3}, {Add, 0, 0, 4}, {Add, 1, 3, 5}})
            .asap_steps,
        (StepMap{{1, {1, 3, 4}}, {2, {5, 2}}}));
}

TEST(AsapAlap, EmptyDesignReturnsAtOnce) {
    const Design d = test::scheduled_graph({});
    EXPECT_EQ(d.latency_bound, 0);
    EXPECT_TRUE(d.alap_steps.empty());
}

TEST(AsapAlap, CycleEndsWithOperationsUnplaced) {
    // 2 and 3 read each other; 1 feeds neither.
    const Design d = test::scheduled_graph({{Add, 0, 0, 1}, {Add, 3, 0, 2}, {Add, 2, 0, 3}});
    EXPECT_EQ(d.asap_steps, (StepMap{{1, {1}}}));
    EXPECT_EQ(d.alap_steps, (StepMap{{1, {1}}}));
    EXPECT_EQ(d.operations.at(2).asap_step, -1);
    EXPECT_EQ(d.operations.at(3).alap_step, -1);
}

TEST(AsapAlap, DanglingReferencesEndWithoutCreatingRecords) {
    // 1 reads the missing operation 9; 2's successor list names the missing 8.
    Design d = test::graph({{Add, 9, 0, 1}, {Add, 0, 0, 2}});
    link_successors(d, {{2, 8}});
    schedule_asap(d);
    d.latency_bound = 1;
    schedule_alap(d);
    EXPECT_EQ(d.operations.size(), 2u);
    EXPECT_EQ(d.operations[1].asap_step, -1);
    EXPECT_EQ(d.operations[2].asap_step, 1);
    EXPECT_EQ(d.operations[1].alap_step, 1);
    EXPECT_EQ(d.operations[2].alap_step, -1);
}

}  // namespace
}  // namespace velnor
