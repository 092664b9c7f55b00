// ASAP and ALAP on tiny graphs built in code: steps, the order within a step,
// mobility, and termination on graphs that break the file format's promises.
#include "core/asap_alap.h"

#include <gtest/gtest.h>

#include <vector>

namespace velnor {
namespace {

struct Node {
    int32_t type;
    int32_t first;
    int32_t second;
    int32_t id;
};

// Builds operations and successor lists the way the DFG reader links them.
Design graph(const std::vector<Node> &nodes) {
    Design design;
    for (const Node &n : nodes) {
        Operation op;
        op.first_input = n.first;
        op.second_input = n.second;
        op.id = n.id;
        op.type = n.type;
        design.operations[n.id] = op;
        design.operation_types.insert(n.type);
    }
    for (const Node &n : nodes) {
        if (n.first != 0 && design.operations.count(n.first))
            design.operations[n.first].successors.push_back(n.id);
        if (n.second != 0 && n.second != n.first && design.operations.count(n.second))
            design.operations[n.second].successors.push_back(n.id);
    }
    return design;
}

void schedule_both(Design &design) {
    schedule_asap(design);
    design.latency_bound = static_cast<int32_t>(design.asap_steps.size());
    schedule_alap(design);
}

TEST(AsapAlap, ChainHasNoMobility) {
    Design d = graph({{Add, 0, 0, 1}, {Add, 1, 0, 2}, {Multiply, 2, 2, 3}});
    schedule_both(d);
    EXPECT_EQ(d.latency_bound, 3);
    for (int32_t id = 1; id <= 3; ++id) {
        EXPECT_EQ(d.operations[id].asap_step, id) << "operation " << id;
        EXPECT_EQ(d.operations[id].alap_step, id) << "operation " << id;
    }
    EXPECT_EQ(d.asap_steps, (StepMap{{1, {1}}, {2, {2}}, {3, {3}}}));
    EXPECT_EQ(d.alap_steps, (StepMap{{1, {1}}, {2, {2}}, {3, {3}}}));
}

TEST(AsapAlap, LoneAdditionGetsMobilityOne) {
    // 1, 2 feed the product 3; 4 stands alone.
    Design d = graph({{Add, 0, 0, 1}, {Add, 0, 0, 2}, {Multiply, 1, 2, 3}, {Add, 0, 0, 4}});
    schedule_both(d);
    EXPECT_EQ(d.latency_bound, 2);
    EXPECT_EQ(d.asap_steps, (StepMap{{1, {1, 2, 4}}, {2, {3}}}));
    EXPECT_EQ(d.alap_steps, (StepMap{{1, {1, 2}}, {2, {3, 4}}}));
    EXPECT_EQ(d.operations[4].alap_step - d.operations[4].asap_step, 1);
}

TEST(AsapAlap, MixedOperandWaitsForItsOneProducer) {
    Design d = graph({{Multiply, 0, 0, 1}, {Add, 0, 1, 2}, {Subtract, 2, 0, 3}});
    schedule_both(d);
    EXPECT_EQ(d.operations[2].asap_step, 2);
    EXPECT_EQ(d.operations[3].asap_step, 3);
}

TEST(AsapAlap, ProducerWithLargerIdIsPlacedInLaterPass) {
    // 1 reads 3; 3 reads 2. Passes: {2}, then {3}, then {1}.
    Design d = graph({{Add, 3, 0, 1}, {Add, 0, 0, 2}, {Add, 2, 2, 3}});
    schedule_asap(d);
    EXPECT_EQ(d.asap_steps, (StepMap{{1, {2}}, {2, {3}}, {3, {1}}}));
    d.latency_bound = 3;
    schedule_alap(d);
    EXPECT_EQ(d.alap_steps, (StepMap{{1, {2}}, {2, {3}}, {3, {1}}}));
}

TEST(AsapAlap, SameProducerOnBothOperandsIsOneStepLater) {
    Design d = graph({{Add, 0, 0, 1}, {Multiply, 1, 1, 2}});
    schedule_both(d);
    EXPECT_EQ(d.operations[2].asap_step, 2);
    EXPECT_EQ(d.operations[1].successors, std::vector<int32_t>{2});
}

TEST(AsapAlap, StepOrderFollowsPassThenId) {
    // 1 and 3 are ready in pass 1; 2 reads 4, which is placed in pass 1 too,
    // so 2 lands in step 2 after 5 (pass 1) although its id is smaller.
    Design d = graph({{Add, 0, 0, 1}, {Add, 4, 0, 2}, {Add, 0, 0, 3}, {Add, 0, 0, 4}, {Add, 1, 3, 5}});
    schedule_asap(d);
    EXPECT_EQ(d.asap_steps, (StepMap{{1, {1, 3, 4}}, {2, {5, 2}}}));
}

TEST(AsapAlap, EmptyDesignReturnsAtOnce) {
    Design d;
    schedule_both(d);
    EXPECT_EQ(d.latency_bound, 0);
    EXPECT_TRUE(d.asap_steps.empty());
    EXPECT_TRUE(d.alap_steps.empty());
}

TEST(AsapAlapGuard, CycleEndsWithOperationsUnplaced) {
    // 2 and 3 read each other; 1 feeds nothing of them.
    Design d = graph({{Add, 0, 0, 1}, {Add, 3, 0, 2}, {Add, 2, 0, 3}});
    schedule_both(d);
    EXPECT_EQ(d.operations[1].asap_step, 1);
    EXPECT_EQ(d.operations[2].asap_step, -1);
    EXPECT_EQ(d.operations[3].asap_step, -1);
    EXPECT_EQ(d.asap_steps, (StepMap{{1, {1}}}));
    EXPECT_EQ(d.operations[1].alap_step, 1);
    EXPECT_EQ(d.operations[2].alap_step, -1);
    EXPECT_EQ(d.operations[3].alap_step, -1);
}

TEST(AsapAlapGuard, DanglingReferencesEndWithoutCreatingRecords) {
    // 1 reads the missing operation 9; 2's successor list names the missing 8.
    Design d = graph({{Add, 9, 0, 1}, {Add, 0, 0, 2}});
    d.operations[2].successors.push_back(8);
    schedule_asap(d);
    d.latency_bound = 1;
    schedule_alap(d);
    EXPECT_EQ(d.operations.size(), 2u);
    EXPECT_EQ(d.operations[1].asap_step, -1);
    EXPECT_EQ(d.operations[2].asap_step, 1);
    EXPECT_EQ(d.operations[1].alap_step, 1);
    EXPECT_EQ(d.operations[2].alap_step, -1);
}

TEST(AsapAlapGuard, IdsOutsideOneToNAreNeverPlaced) {
    // Keys 0 and 7 in a design of three operations: no flag covers them.
    Design d = graph({{Add, 0, 0, 0}, {Add, 0, 0, 1}, {Add, 1, 0, 7}});
    schedule_both(d);
    EXPECT_EQ(d.asap_steps, (StepMap{{1, {1}}}));
    EXPECT_EQ(d.operations[0].asap_step, -1);
    EXPECT_EQ(d.operations[7].asap_step, -1);
    // 1's only successor, 7, never gets an ALAP step, so 1 stays unplaced too.
    EXPECT_EQ(d.operations[1].alap_step, -1);
    EXPECT_TRUE(d.alap_steps.empty());
}

}  // namespace
}  // namespace velnor
