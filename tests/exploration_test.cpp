// Explorations in the engine: combinations numbered in nesting order, cancel
// and failures that end the pool, random keys that every run accepts, and the
// Pareto front's choices. The same lines whatever the threads and shards, and
// refused combinations, are run through the batch tool.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <stdexcept>

#include "flow/exploration.h"
#include "flow/exploration_runner.h"
#include "flow/exploration_summary.h"
#include "flow/random_keys.h"
#include "tests/test_support.h"

namespace velnor {
namespace {

using test::data_path;

Exploration small_exploration() {
    Exploration exploration;
    exploration.cores = load_cores({data_path("dfg/fir.txt"), data_path("dfg/diffeq.txt")},
                                   data_path("lib/library_a.txt"));
    exploration.adders = {1, 2};
    exploration.multipliers = {0, 2};
    exploration.subtractors = {1};
    exploration.comparators = {1};
    exploration.keys = random_keys(/*count=*/2, /*seed=*/5);
    exploration.sizes = {0, 40};
    return exploration;
}

struct NumberingRow {
    const char *name;
    uint64_t index;
    Combination expected;
};

class CombinationNumbering : public ::testing::TestWithParam<NumberingRow> {};

// 2 cores x 2 adders x 3 multipliers x 1 x 1 x 2 keys x 2 embeddings x 2
// sizes: the size turns fastest, the core slowest.
TEST_P(CombinationNumbering, FollowsTheNestingOrder) {
    Exploration exploration;
    exploration.cores.resize(2);
    exploration.adders = {1, 2};
    exploration.multipliers = {1, 2, 3};
    exploration.keys.resize(2);
    exploration.embeddings = {EmbeddingMode::Specified, EmbeddingMode::Strong};
    exploration.sizes = {10, 20};
    ASSERT_EQ(combination_count(exploration), 96u);
    const Combination got = combination_at(exploration, GetParam().index);
    const Combination &want = GetParam().expected;
    EXPECT_EQ(got.index, GetParam().index);
    EXPECT_EQ(std::make_tuple(got.core, got.adders, got.multipliers, got.subtractors, got.comparators, got.key,
                              got.embedding, got.size),
              std::make_tuple(want.core, want.adders, want.multipliers, want.subtractors, want.comparators, want.key,
                              want.embedding, want.size));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CombinationNumbering,
    ::testing::Values(NumberingRow{"first", 0, {0, 0, 0, 0, 0, 0, 0, 0, 0}},
                      NumberingRow{"next_size", 1, {1, 0, 0, 0, 0, 0, 0, 0, 1}},
                      NumberingRow{"next_embedding", 2, {2, 0, 0, 0, 0, 0, 0, 1, 0}},
                      NumberingRow{"next_key", 4, {4, 0, 0, 0, 0, 0, 1, 0, 0}},
                      NumberingRow{"next_multipliers", 8, {8, 0, 0, 1, 0, 0, 0, 0, 0}},
                      NumberingRow{"next_adders", 24, {24, 0, 1, 0, 0, 0, 0, 0, 0}},
                      NumberingRow{"next_core", 48, {48, 1, 0, 0, 0, 0, 0, 0, 0}},
                      NumberingRow{"last", 95, {95, 1, 1, 2, 0, 0, 1, 1, 1}}),
    [](const auto &info) { return std::string(info.param.name); });

struct ShardRow {
    const char *name;
    uint64_t total, part, parts, expected;
};

class ShardSize : public ::testing::TestWithParam<ShardRow> {};

TEST_P(ShardSize, CountsTheNumbersItTakes) {
    const ShardRow &row = GetParam();
    EXPECT_EQ(shard_size(row.total, Shard{row.part, row.parts}), row.expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, ShardSize,
                         ::testing::Values(ShardRow{"whole", 10, 1, 1, 10}, ShardRow{"first_of_three", 10, 1, 3, 4},
                                           ShardRow{"last_of_three", 10, 3, 3, 3},
                                           ShardRow{"more_shards_than_combinations", 2, 3, 3, 0},
                                           ShardRow{"empty", 0, 1, 2, 0}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Explore, CancelStopsAfterTheRunsAlreadyStarted) {
    Exploration exploration = small_exploration();
    exploration.keys = random_keys(/*count=*/8, /*seed=*/5);
    exploration.sizes = {0, 10, 20, 40};  // 256 combinations, far more than the 2 x 16 a pool runs ahead
    std::atomic<bool> cancel{false};
    std::vector<uint64_t> indices;
    explore(exploration, Shard{}, 2, [&](const CombinationResult &result) {
        indices.push_back(result.combination.index);
        cancel = true;
    }, &cancel);
    ASSERT_FALSE(indices.empty());
    EXPECT_LE(indices.size(), 33u);
    for (std::size_t i = 0; i < indices.size(); ++i)
        EXPECT_EQ(indices[i], i);
}

TEST(Explore, AFailureInTheConsumerEndsThePoolAndIsRethrown) {
    const Exploration exploration = small_exploration();
    int seen = 0;
    EXPECT_THROW(explore(exploration, Shard{}, 3,
                         [&](const CombinationResult &) {
                             if (++seen == 3)
                                 throw std::runtime_error("disk full");
                         }),
                 std::runtime_error);
    EXPECT_EQ(seen, 3);
}

TEST(RandomKeys, TheSeedFixesTheKeysAndEveryRunAcceptsThem) {
    const auto text = [](const std::vector<ExplorationKey> &keys) {
        std::string all;
        for (const ExplorationKey &key : keys)
            all += std::to_string(*key.count) + "|" + key.encodings.text + "|" + key.order + "|" + key.rounds.text + "\n";
        return all;
    };
    EXPECT_EQ(text(random_keys(20, 9)), text(random_keys(20, 9)));
    EXPECT_NE(text(random_keys(20, 9)), text(random_keys(20, 10)));

    Exploration exploration;
    exploration.cores = load_cores({data_path("dfg/fir.txt")}, data_path("lib/library_a.txt"));
    exploration.adders = {2};
    exploration.multipliers = {2};
    exploration.keys = random_keys(40, default_key_seed);
    exploration.sizes = {30};
    explore(exploration, Shard{}, 2, [](const CombinationResult &result) {
        EXPECT_FALSE(result.error) << *result.error;
    });
}

// A result with only the figures a front compares.
CombinationResult point(uint64_t index, double overhead, double pc) {
    CombinationResult result;
    result.combination.index = index;
    result.overhead = overhead;
    result.run.figures.pc_phase2 = pc;
    return result;
}

struct FrontRow {
    const char *name;
    std::vector<CombinationResult> added;
    std::vector<uint64_t> members;  // indices, by ascending overhead
};

class Front : public ::testing::TestWithParam<FrontRow> {};

TEST_P(Front, KeepsWhatNothingBeats) {
    ParetoFront front(Probability::Phase2);
    for (const CombinationResult &result : GetParam().added)
        front.add(result);
    std::vector<uint64_t> members;
    for (const CombinationResult &member : front.members())
        members.push_back(member.combination.index);
    EXPECT_EQ(members, GetParam().members);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Front,
    ::testing::Values(
        FrontRow{"dearer_and_weaker_is_dropped", {point(0, 0.1, 1e-5), point(1, 0.2, 1e-4)}, {0}},
        FrontRow{"a_trade_off_stays", {point(0, 0.1, 1e-5), point(1, 0.2, 1e-9), point(2, 0.0, 1e-2)}, {2, 0, 1}},
        FrontRow{"a_better_point_removes_members", {point(0, 0.1, 1e-5), point(1, 0.2, 1e-9), point(2, 0.05, 1e-10)},
                 {2}},
        FrontRow{"of_equal_points_the_first_stays", {point(3, 0.1, 1e-5), point(4, 0.1, 1e-5)}, {3}},
        FrontRow{"no_number_is_no_point", {point(0, NAN, 1e-5), point(1, 0.1, INFINITY), point(2, 0.3, 0.5)}, {2}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(CheapestReachingTarget, LeastOverheadAtOrBelowTheTarget) {
    CheapestReaching cheapest(Probability::Phase2, 1e-6);
    EXPECT_FALSE(cheapest.best());
    cheapest.add(point(0, 0.0, 1e-3));  // too weak
    EXPECT_FALSE(cheapest.best());
    cheapest.add(point(1, 0.3, 1e-8));
    cheapest.add(point(2, 0.2, 1e-6));  // exactly the target, cheaper
    cheapest.add(point(3, 0.2, 1e-7));  // as cheap, stronger
    cheapest.add(point(4, 0.2, 1e-7));  // a later tie
    ASSERT_TRUE(cheapest.best());
    EXPECT_EQ(cheapest.best()->combination.index, 3u);
}

}  // namespace
}  // namespace velnor
