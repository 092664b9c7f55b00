// Signature embedding: worked figures on a small design whose allocation is
// derived by hand, the register moves of phase 1 on hand-placed registers and
// the variant rule of phase 2. The promises of both phases on random designs
// are checked with the rest of the flow's properties; sizes of 0, beyond the
// hash output and refused are run by the characterization and flow tests.
#include "synthesis/embedding.h"

#include <gtest/gtest.h>

#include <limits>

#include "synthesis/embedding_checks.h"
#include "synthesis/schedule_checks.h"
#include "tests/synthesis_fixtures.h"

namespace velnor {
namespace {

// Two additions, a product and a subtraction of primary inputs, the product of
// the two sums, and a final addition. Under 2 adders, 1 multiplier and 1
// subtractor the list schedule is {1,2,3,6} {4} {5}. Variables 1..4 are the
// primary inputs of 1, 2, 3, 6; 5..8 their results, 9 and 10 the results of 4
// and 5. The chains give four registers {1,5,9,10} {2,6} {3,7} {4,8};
// additions 1 and 2 share step 1 and get variants 1 and 2.
Design four_registers(const test::ScratchDir &dir) {
    return test::synthesized(dir.write("core.txt", test::dfg_text({{Add, 0, 0, 1}, {Add, 0, 0, 2}, {Multiply, 0, 0, 3},
                                                                   {Multiply, 1, 2, 4}, {Add, 3, 4, 5},
                                                                   {Subtract, 0, 0, 6}})),
                             {{Add, 2}, {Multiply, 1}, {Subtract, 1}});
}

std::string bits(const std::string &lead) { return lead + std::string(512 - lead.size(), '1'); }

TEST(EmbedSignature, WorkedProbabilitiesWithFourRegistersTwoAddersOneMultiplier) {
    test::ScratchDir dir;
    Design design = four_registers(dir);
    ASSERT_EQ(design.register_lifetimes.size(), 4u);
    std::ostringstream log;
    // Three zeros, then two ones: operations 1 and 2 already run on their wanted variants.
    const EmbeddingFigures f = embed_signature(design, bits("00011"), 5, 1.0, 1.0, log).figures;
    EXPECT_EQ(f.zero_count, 3);
    EXPECT_EQ(f.one_count, 2);
    EXPECT_EQ(f.effective_one_count, 2);
    EXPECT_DOUBLE_EQ(f.pc_phase1, 0.421875);         // 0.75^3
    EXPECT_DOUBLE_EQ(f.pc_phase2, 0.421875 * 0.25);  // (1 - 1/2)^2 more
}

// Pairs of odd variables in phase 1's order: one even when no zero is asked
// for, none below three variables.
TEST(ExaminedPairs, OddPairsInOrderUntilTheZerosOrThePairsRunOut) {
    using Pairs = std::vector<std::pair<int32_t, int32_t>>;
    EXPECT_EQ(examined_pairs(/*variable_count=*/5, /*zeros=*/0), (Pairs{{1, 3}}));
    EXPECT_EQ(examined_pairs(6, 2), (Pairs{{1, 3}, {1, 5}}));
    EXPECT_EQ(examined_pairs(6, 10), (Pairs{{1, 3}, {1, 5}, {3, 5}}));
    EXPECT_EQ(examined_pairs(2, 4), Pairs{});
}

// Phase 1 on hand-placed registers, for the single pair (1,3).
struct ZeroCase {
    std::string name;
    std::vector<std::pair<int32_t, Lifetime>> placed;  // register, {birth, death, variable}
    std::string log;
    std::map<int32_t, int32_t> register_of;
};

void PrintTo(const ZeroCase &c, std::ostream *out) { *out << c.name; }

class EmbedZeroConstraints : public ::testing::TestWithParam<ZeroCase> {};

TEST_P(EmbedZeroConstraints, SeparatesThePair) {
    Design design;
    const std::size_t variables = GetParam().placed.size();
    design.lifetime_of.resize(variables + 1);
    design.register_of.resize(variables + 1);
    for (const auto &[reg, life] : GetParam().placed) {
        design.lifetimes.push_back(life);
        design.lifetime_of[static_cast<std::size_t>(life.variable)] = {life.birth, life.death};
        if (design.register_lifetimes.size() < static_cast<std::size_t>(reg))
            design.register_lifetimes.resize(static_cast<std::size_t>(reg));
        design.register_lifetimes[static_cast<std::size_t>(reg) - 1].push_back(life);
        design.register_of[static_cast<std::size_t>(life.variable)] = reg;
        design.controller_table.fill(reg, life.birth, life.death, life.variable);
    }
    const ControllerTable table = design.controller_table;
    std::ostringstream log;
    embed_zero_constraints(design, 1, log);
    EXPECT_EQ(log.str(), GetParam().log);
    EXPECT_EQ(design.register_of, test::by_number(GetParam().register_of));
    EXPECT_EQ(design.controller_table_before, table);
    EXPECT_EQ(check_controller_table(design), "");
    EXPECT_EQ(check_register_lifetimes(design), "");
}

INSTANTIATE_TEST_SUITE_P(
    Phase1, EmbedZeroConstraints,
    ::testing::Values(
        // 1 and 3 in different registers: counted, nothing written.
        ZeroCase{"PairAlreadyApart", {{1, {0, 0, 1}}, {2, {0, 1, 2}}, {2, {2, 2, 3}}}, "", {{1, 1}, {2, 2}, {3, 2}}},
        // Register 2 holds 2 in step 1, born earlier than 3: 3 moves alone into register 3.
        ZeroCase{"NoPartnerRegisterMovesToANewOne",
                 {{1, {0, 0, 1}}, {1, {1, 2, 3}}, {2, {0, 1, 2}}},
                 "0,2 ::1\n",
                 {{1, 1}, {2, 2}, {3, 3}}},
        // 2 is even and born with 3: register 2's run 2, 4 and register 1's run 3 change places.
        ZeroCase{"RunsOfTwoRegistersAreExchanged",
                 {{1, {0, 0, 1}}, {1, {1, 2, 3}}, {2, {1, 1, 2}}, {2, {2, 2, 4}}},
                 "iid :2 \nrid :1 3 0,2 ::1\n",
                 {{1, 1}, {2, 1}, {3, 2}, {4, 1}}}),
    [](const auto &info) { return info.param.name; });

// Phase 2 on a subtraction 1 and an addition 2 sharing step 1: the odd id on the
// subtraction is never effective, and 2 gets variant 2 only from a free second adder.
TEST(EmbedOneConstraints, SubtractionNeverEffectiveAndVariantNeedsAFreeUnit) {
    test::ScratchDir dir;
    const std::string core = dir.write("core.txt", test::dfg_text({{Subtract, 0, 0, 1}, {Add, 0, 0, 2}}));
    for (const int32_t adders : {1, 2}) {
        Design design = test::synthesized(core, {{Add, adders}, {Subtract, 1}});
        EXPECT_EQ(embed_one_constraints(design, 2),
                  adders == 1 ? std::vector<int32_t>{} : std::vector<int32_t>{2})
            << adders << " adders";
    }
}

// With as many adders as an int holds (a library may offer that many), the
// split of the units into variants still leaves room for variant 1: additions
// 1 and 2 share step 1, and forcing 1 onto variant 1 takes it from no one.
TEST(EmbedOneConstraints, LargestAdderCountStillFreesAVariantOneUnit) {
    test::ScratchDir dir;
    const std::string core = dir.write("core.txt", test::dfg_text({{Add, 0, 0, 1}, {Add, 0, 0, 2}}));
    Design design = test::synthesized(core, {{Add, 2}});
    design.resources[Add] = std::numeric_limits<int32_t>::max();
    design.operations[1].variant = 2;
    design.operations[2].variant = 1;
    force_variant(design, 1, 1);
    EXPECT_EQ(design.operations[1].variant, 1);
    EXPECT_EQ(design.operations[2].variant, 1);
}

}  // namespace
}  // namespace velnor
