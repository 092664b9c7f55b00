// Register allocation on hand-placed schedules: variables and their lifetimes,
// the "next variable" listing and the registers each chain fills, all worked
// out by hand; then the left-edge and chaining choices of one chain on a state
// set up directly.
#include "synthesis/register_allocation.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "synthesis/schedule_checks.h"
#include "tests/synthesis_fixtures.h"

namespace velnor {
namespace {

using Registers = std::vector<std::vector<Lifetime>>;  // register r at r - 1

// Operation i placed in step i. Variables 1 and 2 are the primary inputs of 1 and
// 2, 3 the primary input of the mixed operation 3; 4 is 1's result, read in
// steps 3 and 5 and so held to step 4; 5 is 2's result, never read and so held
// to the last step; 6, 7 and 8 are the results of 3, 4 and 5. The chains from 1,
// 2 and 3 in turn fill three registers.
TEST(RegisterAllocation, HandPlacedScheduleGivesLifetimesListingAndRegisters) {
    Design design = test::graph(
        {{Add, 0, 0, 1}, {Add, 0, 0, 2}, {Multiply, 1, 0, 3}, {Add, 3, 3, 4}, {Add, 4, 1, 5}});
    for (int32_t id = 1; id <= 5; ++id) {
        design.operations[id].list_step = id;
        design.list_steps[id] = {id};
    }
    std::ostringstream log;
    derive_lifetimes(design, log);
    EXPECT_EQ(design.lifetimes, (std::vector<Lifetime>{{0, 0, 1}, {0, 1, 2}, {0, 2, 3}, {1, 4, 4}, {2, 5, 5},
                                                       {3, 3, 6}, {4, 4, 7}, {5, 5, 8}}));
    EXPECT_EQ(log.str(), "\nnext variable \n0 : 3 \n1 : 4 \n2 : 5 \n3 : 5 7 \n5 : 6 \n6 : 7 \n");  // from 0

    allocate_registers(design);
    EXPECT_EQ(design.register_lifetimes, (Registers{{{0, 0, 1}, {1, 4, 4}, {5, 5, 8}},
                                                    {{0, 1, 2}, {2, 5, 5}},
                                                    {{0, 2, 3}, {3, 3, 6}, {4, 4, 7}}}));
    EXPECT_EQ(check_controller_table(design), "");
    EXPECT_EQ(design.controller_table_before, design.controller_table);
}

// One chain from variable 1 on a state set up by hand: variable -> (birth,
// death), the followers of each variable, and free_at.
struct ChainCase {
    std::string name;
    std::map<int32_t, std::pair<int32_t, int32_t>> lifetime_of;
    std::map<int32_t, std::set<int32_t>> next_variables;
    std::map<int32_t, int32_t> free_at;
    int32_t register_used;
    std::vector<int32_t> chain;  // variables placed into that register, in order
};

void PrintTo(const ChainCase &c, std::ostream *out) { *out << c.name; }

class PlaceChainTable : public ::testing::TestWithParam<ChainCase> {};

TEST_P(PlaceChainTable, ChoosesRegisterAndFollowers) {
    const ChainCase &c = GetParam();
    Design design;
    const auto variables = static_cast<std::size_t>(c.lifetime_of.rbegin()->first) + 1;
    design.lifetime_of.resize(variables);
    design.register_of.assign(variables, 0);
    for (const auto &[v, lifetime] : c.lifetime_of)
        design.lifetime_of[static_cast<std::size_t>(v)] = lifetime;
    std::vector<std::pair<int32_t, int32_t>> links;
    for (const auto &[v, followers] : c.next_variables)
        for (int32_t follower : followers)
            links.emplace_back(v, follower);
    design.next_variables = FlatLists(variables, links);
    FreeRegisters free_at;
    for (const auto &[reg, death] : c.free_at)
        free_at.update(reg, death);
    std::vector<int32_t> placed;
    EXPECT_EQ(place_chain(design, 1, free_at, placed), c.register_used);

    EXPECT_EQ(placed, c.chain);
    for (int32_t v : c.chain)
        EXPECT_EQ(design.register_of[static_cast<std::size_t>(v)], c.register_used) << "variable " << v;
    EXPECT_EQ(free_at.last_death(c.register_used), c.lifetime_of.at(c.chain.back()).second);
}

INSTANTIATE_TEST_SUITE_P(
    RegisterAllocation, PlaceChainTable,
    ::testing::Values(
        // Register 2 falls free earliest (after step 1): a variable born in step 1
        // may not join it, and register 1 is not considered.
        ChainCase{"BornAtEarliestDeathOpensNewRegister", {{1, {1, 4}}}, {}, {{1, 3}, {2, 1}}, 3, {1}},
        // Register 1 would fit more tightly, but only the earliest-free one is tried.
        ChainCase{"BornAfterEarliestDeathReusesIt", {{1, {2, 2}}}, {}, {{1, 1}, {2, 0}}, 2, {1}},
        ChainCase{"TieReusesLowerRegister", {{1, {2, 3}}}, {}, {{1, 5}, {2, 1}, {3, 1}}, 2, {1}},
        ChainCase{"FollowerBornLastIsTaken", {{1, {0, 1}}, {2, {2, 3}}, {3, {3, 4}}}, {{1, {2, 3}}}, {}, 1, {1, 3}},
        ChainCase{"FollowerBornAtDeathIsNotChained", {{1, {0, 1}}, {2, {1, 2}}}, {{1, {2}}}, {}, 1, {1}}),
    [](const auto &info) { return info.param.name; });

}  // namespace
}  // namespace velnor
