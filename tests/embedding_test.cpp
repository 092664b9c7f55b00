// Signature embedding: worked figures on small designs whose allocation is
// derived by hand, the register moves of phase 1, the variant rules of phase 2,
// the refused sizes, and the promises of both phases on seeded random designs.
#include "synthesis/embedding.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "core/binding.h"
#include "core/loading.h"
#include "synthesis/embedding_checks.h"
#include "synthesis/resource_constraints.h"
#include "synthesis/schedule_checks.h"
#include "tests/test_support.h"

namespace velnor {
namespace {

using test::Op;

// A design loaded from ops with library A and synthesized under the counts.
Design synthesized(const test::ScratchDir &dir, const std::vector<Op> &ops, const std::map<int32_t, int32_t> &counts) {
    std::ostringstream log;
    Design design;
    load_dsp_core(design, dir.write("core.txt", test::dfg_text(ops)), log);
    load_module_library(design, test::data_path("lib/library_a.txt"));
    design.resources = counts;
    synthesize_under_constraints(design, log);
    return design;
}

// Two additions, a product and a subtraction of primary inputs, the product of
// the two sums, and a final addition. Under 2 adders, 1 multiplier and 1
// subtractor every ready operation fits: the list schedule is {1,2,3,6} {4} {5}.
// Variables 1..4 are the primary inputs of 1, 2, 3, 6; 5..8 their results,
// 9 and 10 the results of 4 and 5. The chains give four registers {1,5,9,10}
// {2,6} {3,7} {4,8}; additions 1 and 2 share step 1 and get variants 1 and 2.
const std::vector<Op> four_register_core = {
    {Add, 0, 0, 1}, {Add, 0, 0, 2}, {Multiply, 0, 0, 3}, {Multiply, 1, 2, 4}, {Add, 3, 4, 5}, {Subtract, 0, 0, 6},
};
const std::map<int32_t, int32_t> four_register_counts = {{Add, 2}, {Multiply, 1}, {Subtract, 1}};

std::string bits(const std::string &lead) { return lead + std::string(512 - lead.size(), '1'); }

TEST(EmbedSignature, WorkedProbabilitiesWithFourRegistersTwoAddersOneMultiplier) {
    test::ScratchDir dir;
    Design design = synthesized(dir, four_register_core, four_register_counts);
    ASSERT_EQ(design.register_lifetimes.size(), 4u);
    ASSERT_EQ(design.operations[1].variant, 1);
    ASSERT_EQ(design.operations[2].variant, 2);

    std::ostringstream log;
    // Three zeros, then two ones: operations 1 and 2 already run on their wanted variants.
    const EmbeddingFigures f = embed_signature(design, bits("00011"), 5, 1.0, 1.0, log);
    EXPECT_EQ(f.zero_count, 3);
    EXPECT_EQ(f.one_count, 2);
    EXPECT_EQ(f.register_count_before, 4);
    EXPECT_EQ(f.effective_one_count, 2);
    EXPECT_DOUBLE_EQ(f.pc_phase1, 0.421875);           // 0.75^3
    EXPECT_DOUBLE_EQ(f.pc_phase2, 0.421875 * 0.25);    // (1 - 1/2)^2 more
    EXPECT_EQ(design.embedded_one_operations, (std::vector<int32_t>{1, 2}));
    EXPECT_NE(log.str().find("area0 :1 area1 : "), std::string::npos);
    EXPECT_NE(log.str().find("latency0 : 1 latency 1: "), std::string::npos);
    EXPECT_NE(log.str().find("max_area:"), std::string::npos);
    EXPECT_EQ(f.max_area, design.max_area);
    EXPECT_EQ(f.max_latency, design.max_latency);
}

TEST(EmbedSignature, SizeZeroUsesNoBitsButStillExaminesTheFirstPair) {
    test::ScratchDir dir;
    Design design = synthesized(dir, four_register_core, four_register_counts);
    const Design before = design;
    std::ostringstream log;
    const EmbeddingFigures f = embed_signature(design, bits(""), 0, 1.0, 1.0, log);
    EXPECT_EQ(f.zero_count, 0);
    EXPECT_EQ(f.one_count, 0);
    EXPECT_EQ(f.pc_phase1, 1.0);
    EXPECT_EQ(f.pc_phase2, 1.0);
    EXPECT_EQ(f.effective_one_count, 0);
    for (const auto &[id, op] : before.operations)
        EXPECT_EQ(design.operations[id].variant, op.variant) << "operation " << id;
    // Variables 1 and 3 sit in registers 1 and 3: the pair is examined and left alone.
    EXPECT_EQ(log.str().find(" ::"), std::string::npos);
    EXPECT_EQ(check_examined_pairs_apart(design, 0), "");
    EXPECT_EQ(design.register_lifetimes.size(), 4u);
}

TEST(EmbedSignature, SizeAboveTheHashLengthUsesTheWholeOutput) {
    std::ostringstream log;
    Design design;
    load_dsp_core(design, test::data_path("dfg/fir.txt"), log);
    load_module_library(design, test::data_path("lib/library_a.txt"));
    design.resources = {{Add, 2}, {Multiply, 2}};
    synthesize_under_constraints(design, log);
    ASSERT_EQ(largest_constraint_size(design), 528);  // 32 variables: 11 primary, 21 results

    std::string hash(512, '1');
    for (std::size_t c = 0; c < hash.size(); c += 4)
        hash[c] = '0';
    const EmbeddingFigures f = embed_signature(design, hash, 520, 1.0, 1.0, log);
    EXPECT_EQ(f.zero_count, 128);
    EXPECT_EQ(f.one_count, 384);
}

class RefusedSize : public testing::TestWithParam<int64_t> {};

TEST_P(RefusedSize, IsRefusedBeforeAnythingChanges) {
    test::ScratchDir dir;
    Design design = synthesized(dir, four_register_core, four_register_counts);
    design.controller_table_before.clear();
    const Design before = design;
    std::ostringstream log;
    try {
        embed_signature(design, bits("0"), GetParam(), 1.0, 1.0, log);
        FAIL() << "size " << GetParam() << " was accepted";
    } catch (const ConstraintSizeError &error) {
        EXPECT_STREQ(error.what(), "constraint size should be between 0 and 55");  // 10 variables
    }
    EXPECT_EQ(log.str(), "");
    EXPECT_TRUE(design.controller_table_before.empty());
    EXPECT_EQ(design.controller_table, before.controller_table);
    EXPECT_EQ(design.register_of, before.register_of);
    EXPECT_EQ(design.max_area_design, nullptr);
    for (const auto &[id, op] : before.operations)
        EXPECT_EQ(design.operations[id].variant, op.variant);
}

INSTANTIATE_TEST_SUITE_P(OutsideTheRange, RefusedSize, testing::Values(-1, 56, 513, int64_t{1} << 40),
                         [](const testing::TestParamInfo<int64_t> &info) {
                             return info.param < 0 ? std::string("Negative") : "Above" + std::to_string(info.param);
                         });

// Hand-built allocations: place() keeps every table of a variable consistent.
void place(Design &design, int32_t reg, int32_t variable, int32_t birth, int32_t death) {
    design.lifetimes.push_back(Lifetime{birth, death, variable});
    design.lifetime_of[variable] = {birth, death};
    design.register_lifetimes[reg].push_back(Lifetime{birth, death, variable});
    design.register_of[variable] = reg;
    for (int32_t t = birth; t <= death; ++t)
        design.controller_table[t][reg] = variable;
}

TEST(EmbedZeroConstraints, PairAlreadyApartIsCountedAndWritesNothing) {
    Design design;
    place(design, 1, 1, 0, 0);
    place(design, 2, 2, 0, 1);
    place(design, 2, 3, 2, 2);  // 1 and 3 in different registers
    const ControllerTable table = design.controller_table;
    std::ostringstream log;
    embed_zero_constraints(design, 1, log);
    EXPECT_EQ(log.str(), "");
    EXPECT_EQ(design.controller_table, table);
    EXPECT_EQ(design.controller_table_before, table);
}

TEST(EmbedZeroConstraints, VariableWithoutAPartnerRegisterMovesToANewRegister) {
    Design design;
    place(design, 1, 1, 0, 0);
    place(design, 1, 3, 1, 2);
    place(design, 2, 2, 0, 1);  // register 2 holds 2 at step 1, born earlier: no exchange
    std::ostringstream log;
    embed_zero_constraints(design, 1, log);
    EXPECT_EQ(log.str(), "0,2 ::1\n");
    ASSERT_EQ(design.register_lifetimes.size(), 3u);
    EXPECT_EQ(design.register_lifetimes[1], (std::vector<Lifetime>{{0, 0, 1}}));
    EXPECT_EQ(design.register_lifetimes[3], (std::vector<Lifetime>{{1, 2, 3}}));
    EXPECT_EQ(design.register_of[3], 3);
    EXPECT_EQ(design.controller_table[1][1], 0);
    EXPECT_EQ(design.controller_table[2][3], 3);
    EXPECT_EQ(check_controller_table(design), "");
}

TEST(EmbedZeroConstraints, RunsOfTwoRegistersAreExchanged) {
    Design design;
    place(design, 1, 1, 0, 0);
    place(design, 1, 3, 1, 2);
    place(design, 2, 2, 1, 1);  // even, born with 3: r2's run is 2 then 4, ending with 3's run
    place(design, 2, 4, 2, 2);
    std::ostringstream log;
    embed_zero_constraints(design, 1, log);
    EXPECT_EQ(log.str(), "iid :2 \nrid :1 3 0,2 ::1\n");
    EXPECT_EQ(design.register_lifetimes[1], (std::vector<Lifetime>{{0, 0, 1}, {1, 1, 2}, {2, 2, 4}}));
    EXPECT_EQ(design.register_lifetimes[2], (std::vector<Lifetime>{{1, 2, 3}}));
    EXPECT_EQ(design.register_of[2], 1);
    EXPECT_EQ(design.register_of[3], 2);
    EXPECT_EQ(check_controller_table(design), "");
    EXPECT_EQ(check_register_lifetimes(design), "");
}

TEST(EmbedZeroConstraints, OddVariableInTheCandidateRunStopsTheExchange) {
    Design design;
    place(design, 1, 1, 0, 0);
    place(design, 1, 3, 1, 3);
    place(design, 2, 2, 1, 1);
    place(design, 2, 5, 2, 3);  // odd: register 2 cannot take the run
    std::ostringstream log;
    embed_zero_constraints(design, 1, log);
    EXPECT_EQ(log.str(), "0,2 ::1\n");
    EXPECT_EQ(design.register_of[3], 3);
}

TEST(RegisterClearBefore, OddSmallerVariableEarlierBlocksTheRegister) {
    Design design;
    place(design, 2, 1, 0, 0);
    place(design, 2, 4, 1, 1);
    EXPECT_FALSE(register_clear_before(design, 2, 1, 3));  // 1 < 3 and odd, at step 0
    EXPECT_TRUE(register_clear_before(design, 2, 1, 1));   // not smaller than 1
    EXPECT_TRUE(register_clear_before(design, 2, 0, 3));   // no step before 0
}

// Phase 2 on hand-bound steps: ids and variants as given, A adders, M multipliers.
Design bound_step(const std::vector<std::pair<int32_t, ModuleVariant>> &ops, int32_t adders, int32_t multipliers) {
    Design design;
    design.resources = {{Add, adders}, {Multiply, multipliers}};
    int32_t id = 0;
    for (const auto &[type, variant] : ops) {
        Operation &op = design.operations[++id];
        op.id = id;
        op.type = type;
        op.variant = variant;
        op.list_step = 1;
        design.list_steps[1].push_back(id);
    }
    return design;
}

TEST(EmbedOneConstraints, OddIdOnASubtractionIsNeverEffective) {
    Design design = bound_step({{Subtract, -1}, {Add, 1}}, 1, 0);
    embed_one_constraints(design, 2);
    EXPECT_EQ(design.effective_ones, 0);  // 1 is a subtraction, 2 wants variant 2 and none is free
    EXPECT_TRUE(design.embedded_one_operations.empty());
    EXPECT_EQ(design.operations[2].variant, 1);
}

TEST(EmbedOneConstraints, FreeUnitTakesTheWantedVariant) {
    // Three adders: two of variant 1, one of variant 2; only one variant-1 adder is in use.
    Design design = bound_step({{Multiply, 1}, {Add, 1}}, 3, 1);
    embed_one_constraints(design, 2);
    EXPECT_EQ(design.operations[2].variant, 2);
    EXPECT_EQ(design.embedded_one_operations, (std::vector<int32_t>{1, 2}));
}

TEST(EmbedOneConstraints, LaterOperationOfTheStepSwapsItsVariant) {
    Design design = bound_step({{Add, 2}, {Add, 1}}, 2, 0);
    embed_one_constraints(design, 1);
    EXPECT_EQ(design.operations[1].variant, 1);
    EXPECT_EQ(design.operations[2].variant, 2);
    EXPECT_EQ(design.effective_ones, 1);
}

TEST(EmbedOneConstraints, EarlierOperationIsNeverTakenAsPartner) {
    Design design = bound_step({{Add, 2}, {Add, 1}}, 2, 0);
    embed_one_constraints(design, 2);  // 1 swaps with 2; then 2 wants 2, held only by 1
    EXPECT_EQ(design.operations[1].variant, 1);
    EXPECT_EQ(design.operations[2].variant, 2);
    EXPECT_EQ(design.embedded_one_operations, (std::vector<int32_t>{1, 2}));

    Design kept = bound_step({{Add, 1}, {Add, 2}, {Add, 1}}, 2, 0);
    force_variant(kept, 3, 2);  // the only variant-2 holder, 2, is earlier
    EXPECT_EQ(kept.operations[2].variant, 2);
    EXPECT_EQ(kept.operations[3].variant, 1);
}

TEST(EmbedSignature, NoMultipliersStillGivesAFiniteProbability) {
    test::ScratchDir dir;
    Design design = synthesized(dir, {{Add, 0, 0, 1}, {Add, 0, 0, 2}, {Add, 1, 2, 3}}, {{Add, 2}});
    std::ostringstream log;
    const EmbeddingFigures f = embed_signature(design, bits("11"), 2, 1.0, 1.0, log);
    ASSERT_EQ(f.effective_one_count, 2);
    EXPECT_DOUBLE_EQ(f.pc_phase2, f.pc_phase1 * 0.25);  // max(2,1) x max(0,1) = 2 units
}

// A random DFG of n operations inside the file format's expectations: ids 1..n,
// operands either both primary inputs or both earlier results.
std::vector<Op> random_core(std::mt19937 &random, int n) {
    std::vector<Op> ops;
    const int32_t types[] = {Add, Add, Multiply, Multiply, Subtract, Compare};
    for (int id = 1; id <= n; ++id) {
        const int32_t type = types[random() % 6];
        if (id <= 2 || random() % 4 == 0) {
            ops.push_back({type, 0, 0, id});
        } else {
            const int32_t a = 1 + static_cast<int32_t>(random() % (id - 1));
            const int32_t b = 1 + static_cast<int32_t>(random() % (id - 1));
            ops.push_back({type, a, b, id});
        }
    }
    return ops;
}

class RandomDesign : public testing::TestWithParam<int> {};

TEST_P(RandomDesign, EmbeddingKeepsItsPromises) {
    std::mt19937 random(static_cast<unsigned>(GetParam()));
    test::ScratchDir dir;
    const std::vector<Op> ops = random_core(random, 3 + static_cast<int>(random() % 58));
    std::map<int32_t, int32_t> counts;
    for (const Op &op : ops)
        counts[op.type] = 0;
    for (auto &[type, count] : counts) {
        const int32_t present = static_cast<int32_t>(
            std::count_if(ops.begin(), ops.end(), [type = type](const Op &op) { return op.type == type; }));
        const int32_t bound = type == Add || type == Multiply ? 4 : present;  // library A allows 4
        count = 1 + static_cast<int32_t>(random() % bound);
    }
    Design design = synthesized(dir, ops, counts);
    const ControllerTable allocated = design.controller_table;

    std::string hash(512, '0');
    for (char &c : hash)
        c = random() % 2 ? '1' : '0';
    const int64_t largest = largest_constraint_size(design);
    const int64_t size = static_cast<int64_t>(random() % static_cast<uint32_t>(std::min<int64_t>(largest, 600) + 1));
    std::ostringstream log;
    const EmbeddingFigures f = embed_signature(design, hash, size, 1.0, 1.0, log);

    EXPECT_EQ(f.zero_count + f.one_count, std::min<int64_t>(size, 512));
    EXPECT_EQ(design.controller_table_before, allocated);
    EXPECT_EQ(check_examined_pairs_apart(design, f.zero_count), "");
    EXPECT_EQ(check_registers(design), "");
    EXPECT_EQ(check_controller_table(design), "");
    EXPECT_EQ(check_register_lifetimes(design), "");
    EXPECT_EQ(check_one_constraints(design), "");
    EXPECT_GE(design.register_lifetimes.size(), static_cast<std::size_t>(f.register_count_before));
    EXPECT_LE(f.effective_one_count, f.one_count);

    // Phase 2 moves variants only within a step's units: variant 1 on the first half, rounded up.
    for (const auto &[step, ids] : design.list_steps) {
        std::map<std::pair<int32_t, ModuleVariant>, int32_t> used;
        for (int32_t id : ids)
            ++used[{design.operations[id].type, design.operations[id].variant}];
        for (int32_t type : {Add, Multiply}) {
            const int32_t units = counts.count(type) ? counts[type] : 0;
            EXPECT_LE((used[{type, 1}]), (units + 1) / 2) << "step " << step << " type " << type;
            EXPECT_LE((used[{type, 2}]), units / 2) << "step " << step << " type " << type;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomDesign, testing::Range(1, 301));

}  // namespace
}  // namespace velnor
