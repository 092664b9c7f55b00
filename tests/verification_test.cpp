// Verification finds the signature in the signed design, not in the unsigned
// design of the same run, whatever the registers are called and in whatever
// order the suspect lists the variables, and refuses a design whose variables
// are not the core's, naming the variable. The verdicts and a design of
// another core are tried through the batch tool.
#include "flow/verification.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <sstream>

#include <gtest/gtest.h>

#include "core/loading.h"
#include "flow/flow.h"
#include "tests/flow_fixtures.h"

namespace velnor {
namespace {

struct Key {
    const char *name;
    const char *dfg;  // under tests/data
    int adders, multipliers, subtractors, comparators;
    std::vector<int> encodings;
    const char *order;
    std::vector<int> rounds;
    int64_t size;
};

// An owner's whole run; it keeps the unsigned design of the embedding.
FlowRun owner_run(const Key &key) {
    FlowRun run = test::hashed_run(test::data_path(key.dfg), key.adders, key.multipliers, key.subtractors,
                                   key.comparators, key.encodings, key.order, key.rounds);
    std::ostringstream log;
    accept_constraint_size(run, key.size, log);
    return run;
}

Verification verify(const FlowRun &owner, const Datapath &suspect) {
    return verify_datapath(owner.unsigned_design, owner.embedding, suspect, default_alpha);
}

const Key keys[] = {
    {"Fir40", "dfg/fir.txt", 2, 2, 0, 0, {1, 5}, "10", {80, 64, 32, 16}, 40},
    {"Arf128", "dfg/arf.txt", 1, 2, 0, 0, {5}, "", {33, 44}, 128},
    {"Diffeq40", "dfg/diffeq.txt", 2, 2, 1, 1, {1, 5}, "10", {80, 64, 32, 16}, 40},
    {"Generated100", "characterization/gen_100.txt", 2, 3, 3, 0, {7, 8}, "10", {80, 80, 80, 80}, 300},
    {"Generated247", "characterization/gen_247.txt", 2, 2, 2, 2, {4}, "", {80, 80}, 512},
};

class Verify : public ::testing::TestWithParam<Key> {};

// The signed design holds every constraint with the report's probability; the
// unsigned design of the same run breaks every distinguishing one; and the
// registers' numbers do not matter.
TEST_P(Verify, SignedHoldsAllUnsignedBreaksTheDistinguishingWhateverTheRegisterNumbers) {
    const FlowRun owner = owner_run(GetParam());
    Datapath suspect = datapath_of(owner.design);
    const Verification v = verify(owner, suspect);
    EXPECT_EQ(v.zeros.held, v.zeros.total);
    EXPECT_EQ(v.ones.held, v.ones.total);
    EXPECT_EQ(v.distinguishing.held, v.distinguishing.total);
    EXPECT_EQ(v.pc_all, owner.embedding.figures.pc_phase2);
    EXPECT_EQ(v.ones.total, owner.embedding.figures.effective_one_count);
    EXPECT_NE(v.verdict, Verdict::Absent);

    const Verification plain = verify(owner, datapath_of(owner.unsigned_design));
    EXPECT_EQ(plain.distinguishing.held, 0);
    EXPECT_EQ(plain.zeros.total - plain.zeros.held + plain.ones.total - plain.ones.held, plain.distinguishing.total);
    if (plain.distinguishing.total > 0) {
        EXPECT_EQ(plain.pc_distinguishing, 1.0);
    }
    EXPECT_NE(plain.verdict, Verdict::Present);

    std::vector<int32_t> renumbered(static_cast<std::size_t>(suspect.registers));
    std::iota(renumbered.begin(), renumbered.end(), 1);
    std::reverse(renumbered.begin(), renumbered.end());
    std::rotate(renumbered.begin(), renumbered.begin() + renumbered.size() / 3, renumbered.end());
    for (DatapathVariable &variable : suspect.variables)
        variable.register_number = renumbered[static_cast<std::size_t>(variable.register_number - 1)];
    const Verification permuted = verify(owner, suspect);
    EXPECT_EQ(permuted.zeros.held, v.zeros.held);
    EXPECT_EQ(permuted.pc_all, v.pc_all);
    EXPECT_EQ(permuted.pc_distinguishing, v.pc_distinguishing);
}

TEST_P(Verify, MovingAVariableBesideItsPartnerCostsOneConstraint) {
    const FlowRun owner = owner_run(GetParam());
    const Datapath signed_datapath = datapath_of(owner.design);
    const Verification full = verify(owner, signed_datapath);
    const auto register_of = [](const Datapath &d, const std::string &name) {
        for (const DatapathVariable &v : d.variables)
            if (v.name == name)
                return v.register_number;
        return 0;
    };
    // A distinguishing pair (a, b) such that moving b beside a breaks no other
    // constraint: no other pair of b has its partner in a's register.
    for (const CheckedConstraint &c : full.constraints) {
        if (c.kind != CheckedConstraint::Kind::Zero || !c.distinguishing)
            continue;
        const int32_t target = register_of(signed_datapath, c.a);
        const bool breaks_others =
            std::any_of(full.constraints.begin(), full.constraints.end(), [&](const CheckedConstraint &other) {
                if (other.kind != CheckedConstraint::Kind::Zero || &other == &c)
                    return false;
                return (other.a == c.b && register_of(signed_datapath, other.b) == target) ||
                       (other.b == c.b && register_of(signed_datapath, other.a) == target);
            });
        if (breaks_others)
            continue;
        Datapath suspect = signed_datapath;
        for (DatapathVariable &v : suspect.variables)
            if (v.name == c.b)
                v.register_number = target;
        const Verification moved = verify(owner, suspect);
        EXPECT_EQ(moved.zeros.held, full.zeros.held - 1);
        EXPECT_EQ(moved.distinguishing.held, full.distinguishing.held - 1);
        EXPECT_GT(moved.pc_all, full.pc_all);
        EXPECT_GT(moved.pc_distinguishing, full.pc_distinguishing);
        return;
    }
    GTEST_SKIP() << "no distinguishing zero constraint whose variable stands alone";
}

INSTANTIATE_TEST_SUITE_P(Runs, Verify, ::testing::ValuesIn(keys),
                         [](const ::testing::TestParamInfo<Key> &info) { return std::string(info.param.name); });

// A suspect written from a run lists the variables in the run's order; one
// that lists them otherwise (a datapath file written by another tool) is read
// by name and gives the same verification, constraint for constraint.
TEST_P(Verify, AnotherOrderOfTheVariablesGivesTheSameVerification) {
    const FlowRun owner = owner_run(GetParam());
    for (const Design *design : {&owner.design, &owner.unsigned_design}) {
        const Datapath in_order = datapath_of(*design);
        Datapath shuffled = in_order;
        std::reverse(shuffled.variables.begin(), shuffled.variables.end());
        std::rotate(shuffled.variables.begin(), shuffled.variables.begin() + shuffled.variables.size() / 3,
                    shuffled.variables.end());
        const Verification expected = verify(owner, in_order);
        const Verification got = verify(owner, shuffled);
        EXPECT_EQ(verification_text(got), verification_text(expected));
        ASSERT_EQ(got.constraints.size(), expected.constraints.size());
        for (std::size_t c = 0; c < got.constraints.size(); ++c) {
            EXPECT_EQ(got.constraints[c].a + "," + got.constraints[c].b,
                      expected.constraints[c].a + "," + expected.constraints[c].b);
            EXPECT_EQ(got.constraints[c].held, expected.constraints[c].held) << c;
            EXPECT_EQ(got.constraints[c].distinguishing, expected.constraints[c].distinguishing) << c;
        }
    }
}

// A suspect whose variables are not the core's is refused, naming the first
// variable at fault. spoil changes a good suspect and returns the sentence.
struct SuspectFault {
    const char *name;
    std::string (*spoil)(Datapath &suspect);
};

class VerifyRefusesSuspect : public ::testing::TestWithParam<SuspectFault> {};

TEST_P(VerifyRefusesSuspect, NamingTheVariable) {
    const FlowRun fir = owner_run(keys[0]);
    Datapath suspect = datapath_of(fir.design);
    const std::string message = GetParam().spoil(suspect);
    try {
        verify(fir, suspect);
        ADD_FAILURE() << "accepted";
    } catch (const Refusal &refusal) {
        EXPECT_EQ(refusal.reason(), Refusal::Reason::SuspectDesign);
        EXPECT_EQ(std::string(refusal.what()), "the design is not one of this DSP core: " + message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, VerifyRefusesSuspect,
    ::testing::Values(
        SuspectFault{"Unknown",
                     [](Datapath &d) {
                         d.variables.back().name = "op:999";
                         return std::string("variable op:999 does not exist in the DSP core");
                     }},
        SuspectFault{"ListedTwice",
                     [](Datapath &d) {
                         d.variables.back().name = d.variables.front().name;
                         return "variable " + d.variables.front().name + " is listed twice";
                     }},
        // Missing ones are named in the order of their names: "op:10" before "op:2".
        SuspectFault{"MissingFirstByName",
                     [](Datapath &d) {
                         d.variables.erase(std::remove_if(d.variables.begin(), d.variables.end(),
                                                          [](const DatapathVariable &v) {
                                                              return v.name == "op:2" || v.name == "op:10";
                                                          }),
                                           d.variables.end());
                         return std::string("variable op:10 is missing");
                     }},
        SuspectFault{"WithoutARegister",
                     [](Datapath &d) {
                         d.variables.front().register_number = 0;
                         return "variable " + d.variables.front().name + " is missing";
                     }}),
    [](const ::testing::TestParamInfo<SuspectFault> &info) { return std::string(info.param.name); });

TEST(VerifyRefuses, AVariableTheCoreDoesNotHave) {
    const FlowRun fir = owner_run(keys[0]);
    Datapath suspect = datapath_of(fir.design);
    suspect.variables.back().name = "op:999";
    EXPECT_THROW(verify(fir, suspect), Refusal);
    suspect = datapath_of(fir.design);
    suspect.variables.pop_back();
    EXPECT_THROW(verify(fir, suspect), Refusal);
}

// A datapath recovered from hardware lacks some variables and every variant:
// what it cannot show is unchecked, and the counts and probabilities are those
// of the constraints it shows, as if the others had never been placed.
TEST(VerifyRecovered, CountsOnlyWhatTheSuspectShows) {
    const FlowRun owner = owner_run(keys[3]);
    const Verification full = verify(owner, datapath_of(owner.design));
    Datapath suspect = datapath_of(owner.design);
    suspect.source = "verilog";
    for (DatapathOperation &op : suspect.operations)
        op.variant = unbound_variant;
    // Leave out the first variable of the first distinguishing zero constraint.
    const auto first = std::find_if(full.constraints.begin(), full.constraints.end(), [](const CheckedConstraint &c) {
        return c.kind == CheckedConstraint::Kind::Zero && c.distinguishing;
    });
    ASSERT_NE(first, full.constraints.end());
    const std::string missing = first->a;
    suspect.variables.erase(std::find_if(suspect.variables.begin(), suspect.variables.end(),
                                         [&](const DatapathVariable &v) { return v.name == missing; }));

    const Verification v = verify(owner, suspect);
    ASSERT_TRUE(v.found.has_value());
    EXPECT_EQ(v.found->variables, v.found->of - 1);
    int64_t naming_missing = 0, zero_distinguishing = 0;
    for (const CheckedConstraint &c : full.constraints) {
        naming_missing += c.kind == CheckedConstraint::Kind::Zero && (c.a == missing || c.b == missing);
        zero_distinguishing += c.kind == CheckedConstraint::Kind::Zero && c.distinguishing;
    }
    EXPECT_EQ(v.unchecked, naming_missing + full.ones.total);
    EXPECT_EQ(v.ones.total, 0);
    EXPECT_EQ(v.zeros.total, full.zeros.total - naming_missing);
    EXPECT_EQ(v.zeros.held, v.zeros.total);
    EXPECT_EQ(v.constraints.size(), full.constraints.size());
    for (const CheckedConstraint &c : v.constraints)
        EXPECT_EQ(c.checked, c.kind == CheckedConstraint::Kind::Zero && c.a != missing && c.b != missing);
    EXPECT_LT(v.distinguishing.total, zero_distinguishing + 1);
    EXPECT_GT(v.pc_distinguishing, full.pc_distinguishing);  // fewer constraints, weaker evidence
    EXPECT_NE(verification_text(v).find("variables found : " + std::to_string(v.found->of - 1) + " of "),
              std::string::npos);

    // A datapath file that lacks a variable is still refused.
    suspect.source.clear();
    EXPECT_THROW(verify(owner, suspect), Refusal);
}

TEST(VerifyCounts, ZerosBeyondTheLastPairAreNoConstraints) {
    // diffeq's 210 bits hold more zeros than it has pairs of odd variables: the
    // report's Pc counts every zero, verification only the pairs placed.
    const FlowRun owner = owner_run({"Diffeq210", "dfg/diffeq.txt", 2, 2, 1, 1, {1, 5}, "10", {80, 64, 32, 16}, 210});
    const Verification v = verify(owner, datapath_of(owner.design));
    const EmbeddingFigures &f = owner.embedding.figures;
    ASSERT_LT(v.zeros.total, f.zero_count);
    EXPECT_EQ(v.zeros.held, v.zeros.total);
    EXPECT_DOUBLE_EQ(v.pc_all, f.pc_phase2 / std::pow(1.0 - 1.0 / f.register_count_before,
                                                      static_cast<double>(f.zero_count - v.zeros.total)));
}

TEST(VerdictSentence, AProbabilityThatUnderflowsIsWrittenAsAPowerOfTen) {
    Verification v;
    v.alpha = 1e-6;
    v.verdict = Verdict::Present;
    v.distinguishing = {159, 159};
    v.pc_distinguishing = 0;
    v.log10_pc_distinguishing = -337.692;
    EXPECT_NE(verdict_sentence(v).find("159 of 159 constraints"), std::string::npos);
    EXPECT_NE(verdict_sentence(v).find("probability of at most 10^-337.7, below alpha."), std::string::npos);
    v.pc_distinguishing = 2.5e-9;
    EXPECT_NE(verdict_sentence(v).find("at most 2.5e-09, below alpha."), std::string::npos);
}

}  // namespace
}  // namespace velnor
