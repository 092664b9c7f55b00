// The attacks on a signed design: tampering that keeps the allocation valid
// and the register count, exactly the share of variables or operations asked
// for, fraction 0 verifying as the owner's run, the owner's own key found by
// the forge path, and trials that depend only on the seed and their number.
#include "flow/attack.h"

#include <sstream>

#include <gtest/gtest.h>

#include "flow/key_run.h"
#include "flow/random_keys.h"
#include "synthesis/design_checks.h"
#include "tests/flow_fixtures.h"

namespace velnor {
namespace {

ExplorationKey owner_key() {
    return {std::nullopt, test::number_line({1, 5}), "10", test::number_line({80, 64, 32, 16})};
}

// The owner's run on a core of tests/data and its target.
AttackTarget target_of(const std::string &dfg, EmbeddingMode mode, int64_t size) {
    const FlowRun synthesized = test::synthesized_run(test::data_path(dfg), 2, 2, 2, 2);
    return attack_target(run_key(synthesized, owner_key(), size, mode), synthesized);
}

TEST(AttackShare, IsTheCeilingWithoutRoundingNoise) {
    EXPECT_EQ(share_of(0.1, 30), 3);  // 0.1 x 30 is 3.0000000000000004 in doubles
    EXPECT_EQ(share_of(0.05, 32), 2);
    EXPECT_EQ(share_of(0, 32), 0);
    EXPECT_EQ(share_of(1, 32), 32);
    EXPECT_EQ(share_of(0.75, 1), 1);
}

TEST(MoveAttack, KeepsTheAllocationAndTheRegisterCount) {
    const AttackTarget target = target_of("characterization/gen_100.txt", EmbeddingMode::Strong, 256);
    const auto registers = target.owner.design.register_lifetimes.size();
    const auto variables = static_cast<int64_t>(target.owner.design.lifetimes.size());
    for (const double fraction : {0.05, 0.3, 1.0}) {
        Design design = target.owner.design;
        SplitMix64 stream(7);
        const MoveTally tally = move_random_variables(design, share_of(fraction, variables), stream);
        EXPECT_EQ(tally.moved + tally.stuck, share_of(fraction, variables));
        EXPECT_GT(tally.moved, 0);
        EXPECT_EQ(broken_allocation_promise(design), "");
        EXPECT_EQ(design.register_lifetimes.size(), registers);
        int64_t changed = 0;
        for (int32_t v = 1; v <= variables; ++v)
            changed += register_of_variable(design, v) != register_of_variable(target.owner.design, v);
        EXPECT_EQ(changed, tally.moved);  // a moved variable always lands in another register
    }
}

TEST(MoveAttack, AVariableWithNoFreeRegisterIsStuck) {
    // One register's worth of chain: no other register is free, so every move is stuck.
    test::ScratchDir dir;
    const std::string core = dir.write("pair.txt", "+ 0 0 1\n");
    FlowRun run = test::hashed_run(core, 1, 1, 1, 1, {1}, "", {80, 80});
    std::ostringstream log;
    accept_constraint_size(run, 1, log);
    ASSERT_EQ(run.design.register_lifetimes.size(), 1u);
    SplitMix64 stream(1);
    const MoveTally tally = move_random_variables(run.design, 2, stream);
    EXPECT_EQ(tally.moved, 0);
    EXPECT_EQ(tally.stuck, 2);
}

TEST(RebindAttack, SwitchesExactlyTheShareAskedFor) {
    const AttackTarget target = target_of("dfg/arf.txt", EmbeddingMode::Specified, 128);
    int64_t bound = 0;
    for (const DatapathOperation &op : target.signed_datapath.operations)
        bound += op.variant == 1 || op.variant == 2;
    ASSERT_GT(bound, 0);
    for (const double fraction : {0.1, 0.5, 1.0}) {
        Datapath tampered = target.signed_datapath;
        SplitMix64 stream(3);
        EXPECT_EQ(switch_random_variants(tampered, share_of(fraction, bound), stream), share_of(fraction, bound));
        int64_t switched = 0;
        for (std::size_t i = 0; i < tampered.operations.size(); ++i)
            switched += tampered.operations[i].variant != target.signed_datapath.operations[i].variant;
        EXPECT_EQ(switched, share_of(fraction, bound));
    }
}

TEST(Attack, FractionZeroVerifiesAsTheOwnersRun) {
    const AttackTarget target = target_of("dfg/arf.txt", EmbeddingMode::Specified, 128);
    AttackPlan plan;
    plan.fractions = {0};
    plan.trials = 2;
    plan.keys = 0;
    const Verification own = verify_datapath(target.owner.unsigned_design, target.owner.embedding,
                                             target.signed_datapath, plan.alpha);
    for (uint64_t index = 0; index < 4; ++index) {  // two moves, two rebinds
        const AttackTrial trial = run_attack_task(target, plan, {}, index).at(0);
        EXPECT_EQ(trial.moved, 0);
        EXPECT_EQ(trial.verification.pc_distinguishing, own.pc_distinguishing);
        EXPECT_EQ(trial.verification.distinguishing.held, own.distinguishing.held);
        EXPECT_EQ(trial.verification.verdict, own.verdict);
    }
}

TEST(Attack, TasksDependOnlyOnTheSeedAndTheirNumber) {
    const AttackTarget target = target_of("dfg/fir.txt", EmbeddingMode::Strong, 64);
    AttackPlan plan;
    plan.fractions = {0.3, 1};
    plan.trials = 3;
    plan.keys = 2;
    const std::vector<ExplorationKey> keys = random_keys(plan.keys, plan.seed);
    ASSERT_EQ(attack_task_count(plan), 2u * 2 * 3 + 3 + 2);
    std::vector<std::vector<AttackTrial>> forward, backward(attack_task_count(plan));
    for (uint64_t i = 0; i < attack_task_count(plan); ++i)
        forward.push_back(run_attack_task(target, plan, keys, i));
    for (uint64_t i = attack_task_count(plan); i-- > 0;)
        backward[i] = run_attack_task(target, plan, keys, i);
    for (uint64_t i = 0; i < forward.size(); ++i)
        for (std::size_t k = 0; k < forward[i].size(); ++k) {
            EXPECT_EQ(forward[i][k].moved, backward[i][k].moved) << i;
            EXPECT_EQ(forward[i][k].verification.log10_pc_distinguishing,
                      backward[i][k].verification.log10_pc_distinguishing) << i;
        }
    EXPECT_EQ(forward.back().size(), 2u);  // a forged claim is checked against both designs
    EXPECT_EQ(forward[0][0].kind, AttackKind::Move);
    EXPECT_EQ(forward[3][0].kind, AttackKind::Rebind);
    EXPECT_EQ(forward[12][0].kind, AttackKind::Reallocate);
    // Another seed tampers differently.
    plan.seed = 2;
    std::vector<double> first_seed, second_seed;
    for (uint64_t i = 0; i < 15; ++i) {
        first_seed.push_back(forward[i][0].verification.log10_pc_distinguishing);
        second_seed.push_back(run_attack_task(target, plan, keys, i)[0].verification.log10_pc_distinguishing);
    }
    EXPECT_NE(first_seed, second_seed);
}

TEST(ForgedClaim, TheOwnersOwnKeyIsFoundAndItsUnsignedDesignIsNot) {
    const AttackTarget target = target_of("characterization/gen_100.txt", EmbeddingMode::Strong, 256);
    const std::vector<AttackTrial> claim = forge_claim(target, owner_key(), 0, default_alpha);
    ASSERT_EQ(claim.size(), 2u);
    EXPECT_FALSE(claim[0].error.has_value());
    EXPECT_EQ(claim[0].verification.verdict, Verdict::Present);
    EXPECT_NE(claim[1].verification.verdict, Verdict::Present);

    // A key the flow refuses (its rounds do not match its blocks) is an error, not a claim.
    ExplorationKey broken = owner_key();
    broken.rounds = test::number_line({80});
    const std::vector<AttackTrial> refused = forge_claim(target, broken, 1, default_alpha);
    EXPECT_TRUE(refused[0].error.has_value());
    const std::vector<AttackSummaryRow> summary = summarize_attacks(AttackPlan{}, refused);
    ASSERT_EQ(summary.size(), 2u);
    EXPECT_EQ(summary[0].trials, 0);
}

TEST(AttackSummary, CountsVerdictsAndTakesTheMedian) {
    std::vector<AttackTrial> trials(3);
    const double pcs[] = {-9, -1, -3};
    for (std::size_t i = 0; i < 3; ++i) {
        trials[i].kind = AttackKind::Reallocate;
        trials[i].verification.log10_pc_distinguishing = pcs[i];
        trials[i].verification.verdict = pcs[i] <= -6 ? Verdict::Present : Verdict::Absent;
    }
    const std::vector<AttackSummaryRow> summary = summarize_attacks(AttackPlan{}, trials);
    ASSERT_EQ(summary.size(), 1u);
    EXPECT_EQ(summary[0].trials, 3);
    EXPECT_EQ(summary[0].present, 1);
    EXPECT_EQ(summary[0].absent, 2);
    EXPECT_EQ(summary[0].median_log10_pc, -3);
    EXPECT_EQ(summary[0].largest_log10_pc, -1);
    EXPECT_EQ(summary[0].smallest_log10_pc, -9);
}

}  // namespace
}  // namespace velnor
