// Register allocation on hand-placed schedules: variables and their lifetimes,
// the "next variable" listing, the registers each chain fills and the
// controller table, all worked out by hand; then the left-edge and chaining
// choices of one chain on a state set up directly.
#include "synthesis/register_allocation.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "synthesis/schedule_checks.h"
#include "tests/synthesis_fixtures.h"

namespace velnor {
namespace {

using test::Op;
using VariableSteps = std::map<int32_t, std::vector<int32_t>>;
using Registers = std::map<int32_t, std::vector<Lifetime>>;

struct AllocationCase {
    std::string name;
    std::vector<Op> ops;
    StepMap schedule;  // operations absent from it stay unplaced
    std::vector<Lifetime> lifetimes;
    std::string listing;
    VariableSteps born_at;
    Registers registers;
    ControllerTable controller_table;
};

void PrintTo(const AllocationCase &c, std::ostream *out) { *out << c.name; }

// The graph with list_step and list_steps set from schedule.
Design placed(const AllocationCase &c) {
    Design design = test::graph(c.ops);
    design.list_steps = c.schedule;
    for (const auto &[step, ids] : c.schedule)
        for (int32_t id : ids)
            design.operations[id].list_step = step;
    return design;
}

class RegisterAllocationTable : public ::testing::TestWithParam<AllocationCase> {};

TEST_P(RegisterAllocationTable, DerivesLifetimesAndAllocates) {
    const AllocationCase &c = GetParam();
    Design design = placed(c);
    std::ostringstream log;
    derive_lifetimes(design, log);

    EXPECT_EQ(design.lifetimes, c.lifetimes);
    EXPECT_EQ(log.str(), "\nnext variable \n" + c.listing);
    EXPECT_EQ(design.born_at, c.born_at);
    EXPECT_EQ(design.next_variables.count(-1), 0u);
    EXPECT_EQ(check_lifetimes(design), "");

    allocate_registers(design);
    EXPECT_EQ(design.register_lifetimes, c.registers);
    EXPECT_EQ(design.controller_table, c.controller_table);
    EXPECT_EQ(check_registers(design), "");
    EXPECT_EQ(check_controller_table(design), "");
    EXPECT_EQ(check_controller_table_unchanged(design), "");
}

INSTANTIATE_TEST_SUITE_P(
    RegisterAllocation, RegisterAllocationTable,
    ::testing::Values(
        // Primary variables 1, 2 live in step 0; results 3, 4 in step 1; 5 to the end.
        AllocationCase{"TwoPrimaryPairsFeedOneProduct",
                       {{Add, 0, 0, 1}, {Add, 0, 0, 2}, {Multiply, 1, 2, 3}},
                       {{1, {1, 2}}, {2, {3}}},
                       {{0, 0, 1}, {0, 0, 2}, {1, 1, 3}, {1, 1, 4}, {2, 2, 5}},
                       "0 : 2 \n1 : 3 \n2 : 4 \n3 : 4 \n",
                       {{0, {1, 2}}, {1, {3, 4}}, {2, {5}}},
                       {{1, {{0, 0, 1}, {1, 1, 3}, {2, 2, 5}}}, {2, {{0, 0, 2}, {1, 1, 4}}}},
                       {{0, {{1, 1}, {2, 2}}}, {1, {{1, 3}, {2, 4}}}, {2, {{1, 5}}}}},
        // 1's result is never read and lives to the last step, 3.
        AllocationCase{"UnreadResultLivesToLastStep",
                       {{Add, 0, 0, 1}, {Add, 0, 0, 2}, {Add, 2, 2, 3}, {Add, 3, 3, 4}},
                       {{1, {1, 2}}, {2, {3}}, {3, {4}}},
                       {{0, 0, 1}, {0, 0, 2}, {1, 3, 3}, {1, 1, 4}, {2, 2, 5}, {3, 3, 6}},
                       "0 : 2 \n1 : 3 \n3 : 4 \n4 : 5 \n",
                       {{0, {1, 2}}, {1, {3, 4}}, {2, {5}}, {3, {6}}},
                       {{1, {{0, 0, 1}, {1, 3, 3}}}, {2, {{0, 0, 2}, {1, 1, 4}, {2, 2, 5}, {3, 3, 6}}}},
                       {{0, {{1, 1}, {2, 2}}}, {1, {{1, 3}, {2, 4}}}, {2, {{1, 3}, {2, 5}}}, {3, {{1, 3}, {2, 6}}}}},
        // 1's result is read in steps 2, 3 and 5, so it lives from step 1 to step 4.
        AllocationCase{"ReadersInStepsTwoThreeAndFive",
                       {{Add, 0, 0, 1}, {Add, 1, 1, 2}, {Add, 2, 1, 3}, {Add, 3, 3, 4}, {Add, 4, 1, 5}},
                       {{1, {1}}, {2, {2}}, {3, {3}}, {4, {4}}, {5, {5}}},
                       {{0, 0, 1}, {1, 4, 2}, {2, 2, 3}, {3, 3, 4}, {4, 4, 5}, {5, 5, 6}},
                       "0 : 1 \n1 : 2 3 5 \n2 : 3 \n3 : 4 \n4 : 5 \n",
                       {{0, {1}}, {1, {2}}, {2, {3}}, {3, {4}}, {4, {5}}, {5, {6}}},
                       {{1, {{0, 0, 1}, {1, 4, 2}, {5, 5, 6}}}, {2, {{2, 2, 3}, {3, 3, 4}, {4, 4, 5}}}},
                       {{0, {{1, 1}}},
                        {1, {{1, 2}}},
                        {2, {{1, 2}, {2, 3}}},
                        {3, {{1, 2}, {2, 4}}},
                        {4, {{1, 2}, {2, 5}}},
                        {5, {{1, 6}}}}},
        // 2 reads 1's result and a primary input, which gets variable 2 of its own.
        AllocationCase{"MixedOperandGetsPrimaryVariable",
                       {{Add, 0, 0, 1}, {Multiply, 1, 0, 2}},
                       {{1, {1}}, {2, {2}}},
                       {{0, 0, 1}, {0, 1, 2}, {1, 1, 3}, {2, 2, 4}},
                       "0 : 2 \n1 : 3 \n2 : 3 \n",
                       {{0, {1, 2}}, {1, {3}}, {2, {4}}},
                       {{1, {{0, 0, 1}, {1, 1, 3}, {2, 2, 4}}}, {2, {{0, 1, 2}}}},
                       {{0, {{1, 1}, {2, 2}}}, {1, {{1, 3}, {2, 2}}}, {2, {{1, 4}}}}},
        // Three primary-input variables (P = 3), the third one of the mixed operation 3.
        AllocationCase{"PrimaryFirstOperandBesideTwoPairs",
                       {{Add, 0, 0, 1}, {Add, 0, 0, 2}, {Multiply, 0, 2, 3}, {Add, 3, 1, 4}},
                       {{1, {1, 2}}, {2, {3}}, {3, {4}}},
                       {{0, 0, 1}, {0, 0, 2}, {0, 1, 3}, {1, 2, 4}, {1, 1, 5}, {2, 2, 6}, {3, 3, 7}},
                       "0 : 3 \n1 : 4 \n2 : 5 \n3 : 6 \n4 : 5 \n5 : 6 \n",
                       {{0, {1, 2, 3}}, {1, {4, 5}}, {2, {6}}, {3, {7}}},
                       {{1, {{0, 0, 1}, {1, 2, 4}, {3, 3, 7}}},
                        {2, {{0, 0, 2}, {1, 1, 5}, {2, 2, 6}}},
                        {3, {{0, 1, 3}}}},
                       {{0, {{1, 1}, {2, 2}, {3, 3}}}, {1, {{1, 4}, {2, 5}, {3, 3}}}, {2, {{1, 4}, {2, 6}}}, {3, {{1, 7}}}}},
        // A schedule cut short: 2 and 3 were never placed and file nothing.
        AllocationCase{"UnplacedOperationsFileNothing",
                       {{Add, 0, 0, 1}, {Multiply, 0, 0, 2}, {Add, 1, 2, 3}},
                       {{1, {1}}},
                       {{0, 0, 1}, {1, 0, 2}},
                       "0 : 1 \n",
                       {{0, {1}}, {1, {2}}},
                       {{1, {{0, 0, 1}, {1, 0, 2}}}},
                       {{0, {{1, 1}}}}},
        AllocationCase{"EmptySchedule", {}, {}, {}, "", {}, {}, {}}),
    [](const ::testing::TestParamInfo<AllocationCase> &info) { return info.param.name; });

// One chain on a state set up by hand: variable -> (birth, death), the
// followers of each variable, registers already taken, and free_at.
struct ChainCase {
    std::string name;
    std::map<int32_t, std::pair<int32_t, int32_t>> lifetime_of;
    std::map<int32_t, std::set<int32_t>> next_variables;
    std::map<int32_t, int32_t> register_of;
    std::map<int32_t, int32_t> free_at;
    int32_t register_used;
    std::vector<int32_t> chain;  // variables appended to that register, in order
    std::map<int32_t, int32_t> free_at_after;
};

void PrintTo(const ChainCase &c, std::ostream *out) { *out << c.name; }

class AllocateChainTable : public ::testing::TestWithParam<ChainCase> {};

TEST_P(AllocateChainTable, ChoosesRegisterAndFollowers) {
    const ChainCase &c = GetParam();
    Design design;
    design.lifetime_of = c.lifetime_of;
    design.next_variables = c.next_variables;
    design.register_of = c.register_of;
    std::map<int32_t, int32_t> free_at = c.free_at;

    allocate_chain(design, 1, free_at);

    std::vector<Lifetime> expected;
    for (int32_t v : c.chain)
        expected.push_back({c.lifetime_of.at(v).first, c.lifetime_of.at(v).second, v});
    EXPECT_EQ(design.register_lifetimes, (Registers{{c.register_used, expected}}));
    for (int32_t v : c.chain)
        EXPECT_EQ(design.register_of[v], c.register_used) << "variable " << v;
    EXPECT_EQ(free_at, c.free_at_after);
}

INSTANTIATE_TEST_SUITE_P(
    RegisterAllocation, AllocateChainTable,
    ::testing::Values(
        ChainCase{"NoRegisterYetOpensRegisterOne", {{1, {0, 2}}}, {}, {}, {}, 1, {1}, {{1, 2}}},
        // Register 2 falls free earliest (after step 1); a variable born in step 1
        // may not join it, and register 1 is not considered.
        ChainCase{"BornAtEarliestDeathOpensNewRegister",
                  {{1, {1, 4}}},
                  {},
                  {},
                  {{1, 3}, {2, 1}},
                  3,
                  {1},
                  {{1, 3}, {2, 1}, {3, 4}}},
        ChainCase{"BornAfterEarliestDeathReusesIt",
                  {{1, {2, 2}}},
                  {},
                  {},
                  {{1, 3}, {2, 1}},
                  2,
                  {1},
                  {{1, 3}, {2, 2}}},
        ChainCase{"TieReusesLowerRegister",
                  {{1, {2, 3}}},
                  {},
                  {},
                  {{1, 5}, {2, 1}, {3, 1}},
                  2,
                  {1},
                  {{1, 5}, {2, 3}, {3, 1}}},
        ChainCase{"FollowerBornLastIsTaken",
                  {{1, {0, 1}}, {2, {2, 3}}, {3, {3, 4}}},
                  {{1, {2, 3}}},
                  {},
                  {},
                  1,
                  {1, 3},
                  {{1, 4}}},
        ChainCase{"EqualBirthsTakeSmallestVariable",
                  {{1, {0, 1}}, {2, {2, 2}}, {3, {2, 5}}},
                  {{1, {2, 3}}},
                  {},
                  {},
                  1,
                  {1, 2},
                  {{1, 2}}},
        ChainCase{"FollowerBornAtDeathIsNotChained",
                  {{1, {0, 1}}, {2, {1, 2}}},
                  {{1, {2}}},
                  {},
                  {},
                  1,
                  {1},
                  {{1, 1}}},
        ChainCase{"PlacedFollowerIsSkipped",
                  {{1, {0, 1}}, {2, {2, 2}}, {3, {3, 3}}},
                  {{1, {2, 3}}},
                  {{3, 7}},
                  {},
                  1,
                  {1, 2},
                  {{1, 2}}},
        ChainCase{"ChainFollowsSeveralLinks",
                  {{1, {0, 0}}, {2, {1, 1}}, {3, {2, 2}}},
                  {{1, {2}}, {2, {3}}},
                  {},
                  {},
                  1,
                  {1, 2, 3},
                  {{1, 2}}}),
    [](const ::testing::TestParamInfo<ChainCase> &info) { return info.param.name; });

}  // namespace
}  // namespace velnor
