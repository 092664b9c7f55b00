// The strong embedding on real DSP cores run through the flow: each together
// constraint is broken by the unsigned design and held by the signed one, the
// datapath keeps its registers, area and latency, the same key gives the same
// constraints, and the walk stops at the signature's length or when nothing
// can move. Verification of a strong design and its empirical probability.
#include "synthesis/strong_embedding.h"

#include <cmath>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "core/binding.h"
#include "core/key_file.h"
#include "core/loading.h"
#include "flow/flow.h"
#include "flow/verification.h"
#include "tests/flow_fixtures.h"

namespace velnor {
namespace {

struct Key {
    const char *name;
    const char *dfg;  // under tests/data
    int adders, multipliers, subtractors, comparators;
    int64_t size;
};

// The run right before the embedding, with one fixed key; the constraint size is left to the test.
FlowRun hashed_run(const Key &key, const std::string &dfg_path) {
    return test::hashed_run(dfg_path, key.adders, key.multipliers, key.subtractors, key.comparators, {1, 5}, "10",
                            {80, 64, 32, 16});
}

FlowRun strong_run(const FlowRun &hashed, int64_t size) {
    FlowRun run = hashed;
    std::ostringstream log;
    accept_constraint_size(run, size, log, EmbeddingMode::Strong);
    return run;
}

const Key keys[] = {
    {"Fir", "dfg/fir.txt", 2, 2, 0, 0, 512},
    {"Arf", "dfg/arf.txt", 1, 2, 0, 0, 512},
    {"Diffeq", "dfg/diffeq.txt", 2, 2, 1, 1, 64},
    {"Generated100", "characterization/gen_100.txt", 2, 3, 3, 0, 512},
    {"Generated247", "characterization/gen_247.txt", 2, 2, 2, 2, 512},
};

class StrongEmbedding : public ::testing::TestWithParam<Key> {
protected:
    void SetUp() override {
        hashed = hashed_run(GetParam(), test::data_path(GetParam().dfg));
        signed_run = strong_run(hashed, GetParam().size);
    }
    FlowRun hashed;      // the unsigned design: the run right before the embedding
    FlowRun signed_run;  // the same run after the strong embedding
};

// Each together pair is apart and a step clear of each other before and shares
// a register after; a moved variable moves once and is nobody's partner.
TEST_P(StrongEmbedding, EveryTogetherPairIsApartAndClearBeforeAndSharesARegisterAfter) {
    const Design &before = hashed.design;
    const Design &after = signed_run.design;
    ASSERT_GT(signed_run.embedding.figures.together_count, 0);
    std::set<int32_t> moved_ones, partners;
    for (const auto &[partner, moved] : signed_run.embedding.constraints.together_pairs) {
        SCOPED_TRACE("partner " + std::to_string(partner) + ", moved " + std::to_string(moved));
        EXPECT_NE(before.register_of.at(partner), before.register_of.at(moved));
        EXPECT_EQ(after.register_of.at(partner), after.register_of.at(moved));
        // At least one step between the lifetimes, so no allocation must seat them apart.
        const auto [partner_birth, partner_death] = before.lifetime_of.at(partner);
        const auto [birth, death] = before.lifetime_of.at(moved);
        EXPECT_TRUE(partner_death < birth - 1 || partner_birth > death + 1);
        EXPECT_TRUE(moved_ones.insert(moved).second) << "moved twice";
        partners.insert(partner);
    }
    for (int32_t moved : moved_ones)
        EXPECT_EQ(partners.count(moved), 0u) << "moved variable " << moved << " is a partner";
}

// The registers, area and latency stay; each constraint costs one over the registers.
TEST_P(StrongEmbedding, KeepsRegistersAreaAndLatencyAndEachConstraintCostsOneOverTheRegisters) {
    const EmbeddingFigures &f = signed_run.embedding.figures;
    EXPECT_EQ(signed_run.design.register_lifetimes.size(), hashed.design.register_lifetimes.size());
    EXPECT_EQ(f.area_phase1, f.initial_area);
    EXPECT_EQ(f.area_phase2, f.initial_area);
    EXPECT_EQ(f.latency_phase2, f.initial_latency);
    EXPECT_EQ(f.cost_phase2, f.initial_cost);
    EXPECT_EQ(compute_latency(signed_run.design), compute_latency(hashed.design));

    const int64_t m = std::min<int64_t>(GetParam().size, 512);
    EXPECT_EQ(f.zero_count + f.one_count, m);
    EXPECT_EQ(f.effective_one_count, 0);
    EXPECT_LE(f.together_count, m);
    EXPECT_EQ(f.pc_phase2, std::pow(1.0 / f.register_count_before, f.together_count));
    EXPECT_EQ(f.pc_phase1, f.pc_phase2);
    EXPECT_NEAR(f.log10_pc, -f.together_count * std::log10(f.register_count_before), 1e-9);
}

TEST_P(StrongEmbedding, SameKeySameConstraintsAndAShorterSignatureStopsEarlier) {
    EXPECT_EQ(strong_run(hashed, GetParam().size).embedding.constraints.together_pairs,
              signed_run.embedding.constraints.together_pairs);
    // The walk draws the same numbers until it stops: a shorter signature places a prefix.
    const auto &all = signed_run.embedding.constraints.together_pairs;
    const auto three = strong_run(hashed, 3).embedding.constraints.together_pairs;
    ASSERT_EQ(three.size(), std::min<std::size_t>(3, all.size()));
    EXPECT_TRUE(std::equal(three.begin(), three.end(), all.begin()));
}

TEST_P(StrongEmbedding, SignedDesignHoldsEveryConstraintAndUnsignedNone) {
    const Verification found = verify_datapath(hashed.design, signed_run.embedding,
                                               datapath_of(signed_run.design), default_alpha);
    const EmbeddingFigures &f = signed_run.embedding.figures;
    EXPECT_EQ(found.together.held, f.together_count);
    EXPECT_EQ(found.distinguishing.total, f.together_count);  // every together constraint is distinguishing
    EXPECT_EQ(found.pc_all, f.pc_phase2);
    EXPECT_NEAR(found.log10_pc_all, f.log10_pc, 1e-9);

    const Verification plain =
        verify_datapath(hashed.design, signed_run.embedding, datapath_of(hashed.design), default_alpha);
    EXPECT_EQ(plain.together.held, 0);
    EXPECT_EQ(plain.pc_distinguishing, 1.0);
    EXPECT_NE(plain.verdict, Verdict::Present);
}

INSTANTIATE_TEST_SUITE_P(Cores, StrongEmbedding, ::testing::ValuesIn(keys),
                         [](const ::testing::TestParamInfo<Key> &info) { return std::string(info.param.name); });

TEST(StrongEmbeddingWalk, NothingCanMoveInASingleRegister) {
    test::ScratchDir dir;
    const Key single{"Single", "", 1, 0, 0, 0, 2};
    const FlowRun hashed = hashed_run(single, dir.write("one.txt", test::dfg_text({{Add, 0, 0, 1}})));
    const FlowRun run = strong_run(hashed, 2);
    const EmbeddingFigures &f = run.embedding.figures;
    EXPECT_EQ(f.together_count, 0);
    EXPECT_EQ(f.pc_phase2, 1.0);
    EXPECT_EQ(f.log10_pc, 0.0);
    EXPECT_EQ(run.design.register_of, hashed.design.register_of);
    const Verification v = verify_datapath(hashed.design, run.embedding, datapath_of(run.design), default_alpha);
    EXPECT_EQ(v.pc_all, 1.0);
    EXPECT_EQ(v.verdict, Verdict::Inconclusive);
}

TEST(StrongEmbeddingSeed, TheFirst64BitsMostSignificantFirst) {
    EXPECT_EQ(strong_embedding_seed("1" + std::string(511, '0')), 0x8000000000000000ULL);
    EXPECT_EQ(strong_embedding_seed(std::string(63, '0') + "1" + std::string(448, '1')), 1ULL);
}

TEST(StrongEmbeddingFiles, KeyFileEndsWithTheModeAndTheConstraintCount) {
    const FlowRun hashed = hashed_run(keys[0], test::data_path(keys[0].dfg));
    const FlowRun run = strong_run(hashed, 512);
    const std::string text = key_file_text(key_file_contents(run));
    const std::string tail = "effective one's embedded : 0\nembedding : strong\ntogether constraints : " +
                             std::to_string(run.embedding.figures.together_count) + "\n";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST(EmpiricalCoincidence, SameSeedSameEstimateBoundedByTheSampleCount) {
    const FlowRun hashed = hashed_run(keys[0], test::data_path(keys[0].dfg));
    const FlowRun run = strong_run(hashed, 512);
    Verification v = verify_datapath(hashed.design, run.embedding, datapath_of(run.design), default_alpha);
    Verification again = v;
    estimate_empirical_coincidence(v, hashed.design, /*samples=*/500, /*seed=*/7);
    estimate_empirical_coincidence(again, hashed.design, /*samples=*/500, /*seed=*/7);
    ASSERT_TRUE(v.empirical && again.empirical);
    EXPECT_EQ(v.empirical->log10_pc, again.empirical->log10_pc);
    const double floor = -v.distinguishing.held * std::log10(501.0);
    EXPECT_GE(v.empirical->log10_pc, floor);
    EXPECT_LT(v.empirical->log10_pc, 0.0);
    EXPECT_THROW(estimate_empirical_coincidence(v, hashed.design, /*samples=*/0, /*seed=*/7), Refusal);
}

TEST(EmpiricalCoincidence, SpecifiedRunCountsHeldDistinguishingZerosAndOnes) {
    const FlowRun hashed = hashed_run(keys[4], test::data_path(keys[4].dfg));
    FlowRun run = hashed;
    std::ostringstream log;
    accept_constraint_size(run, 512, log);
    Verification v = verify_datapath(hashed.design, run.embedding, datapath_of(run.design), default_alpha);
    estimate_empirical_coincidence(v, hashed.design, /*samples=*/200, /*seed=*/1);
    ASSERT_TRUE(v.empirical);
    EXPECT_LE(v.empirical->log10_pc, 0.0);
    EXPECT_GE(v.empirical->log10_pc, -v.distinguishing.held * std::log10(201.0));
    // A suspect that holds none of the distinguishing constraints has nothing to estimate.
    Verification none = verify_datapath(hashed.design, run.embedding, datapath_of(hashed.design), default_alpha);
    estimate_empirical_coincidence(none, hashed.design, /*samples=*/200, /*seed=*/1);
    EXPECT_EQ(none.empirical->pc, 1.0);
}

}  // namespace
}  // namespace velnor
