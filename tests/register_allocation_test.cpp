// Register allocation: the left-edge and chaining choices of one chain on a
// state set up directly. The lifetimes and registers of a hand-placed schedule
// are checked through its datapath, the "next variable" listing by the
// characterization runs.
#include "synthesis/register_allocation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/synthesis_fixtures.h"

namespace velnor {
namespace {

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
