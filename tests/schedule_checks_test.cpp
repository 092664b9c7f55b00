// The checkers must catch what they promise to catch: each row breaks one
// promise of a correctly synthesized design and expects the message that
// names the step, operation, variable or register concerned.
#include "synthesis/schedule_checks.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

#include "core/binding.h"
#include "synthesis/design_checks.h"
#include "synthesis/register_allocation.h"
#include "tests/synthesis_fixtures.h"

namespace velnor {
namespace {

// 1 and 2 run in step 1, their product 3 in step 2. Variables: 1 and 2 the
// primary inputs, 3 and 4 the sums, 5 the product; registers 1 {1, 3, 5} and 2 {2, 4}.
Design synthesized() {
    Design design = test::scheduled_graph({{Add, 0, 0, 1}, {Add, 0, 0, 2}, {Multiply, 1, 2, 3}});
    std::ostringstream log;
    design.resources = {{Add, 2}, {Multiply, 1}};
    schedule_list(design, design.resources);
    derive_lifetimes(design, log);
    allocate_registers(design);
    bind_module_variants(design);
    return design;
}

struct BreakCase {
    std::string name;
    std::function<void(Design &)> spoil;
    std::function<std::string(const Design &)> check;
    std::string message;
};

void PrintTo(const BreakCase &c, std::ostream *out) { *out << c.name; }

class ScheduleChecksCatch : public ::testing::TestWithParam<BreakCase> {};

TEST_P(ScheduleChecksCatch, NamesWhatBroke) {
    Design design = synthesized();
    GetParam().spoil(design);
    EXPECT_EQ(GetParam().check(design), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    ScheduleChecks, ScheduleChecksCatch,
    ::testing::Values(
        BreakCase{"OperationInTwoSteps", [](Design &d) { d.list_steps[2].push_back(1); },
                  [](const Design &d) {
                      return check_step_table(d, d.list_steps, &Operation::list_step, "list", true);
                  },
                  "operation 1 stands in list steps 1 and 2"},
        BreakCase{"ConsumerBesideItsProducer", [](Design &d) { d.operations[3].list_step = 1; }, check_precedence,
                  "operation 3 in step 1 reads 1 of step 1"},
        BreakCase{"TooManyAddersInOneStep", [](Design &) {},
                  [](const Design &d) { return check_step_limits(d, {{Add, 1}, {Multiply, 1}}); },
                  "list step 1 runs 2 operations of type 0, limit 1"},
        BreakCase{"BothAddersOnTheFasterVariant", [](Design &d) { d.operations[2].variant = 1; },
                  check_variant_quota, "list step 1 runs 2 operations of type 0 on variant 1, which has 1 units"},
        BreakCase{"ResultHeldTooLong",
                  [](Design &d) {
                      d.lifetimes[2].death = 2;
                      d.lifetime_of[3] = {1, 2};
                  },
                  check_lifetimes, "result variable 3 of operation 1 lives 1..2, expected 1..1"},
        BreakCase{"TwoVariablesInOneRegisterStep", [](Design &d) { d.register_of[4] = 1; }, check_registers,
                  "register 1 holds variables 3 and 4 both in step 1"},
        BreakCase{"ControllerTableShowsWrongVariable", [](Design &d) { d.controller_table.fill(2, 1, 1, 5); },
                  check_controller_table, "controller table step 1 register 2 does not hold variable 4"},
        BreakCase{"ControllerTableChangedSinceAllocation", [](Design &d) { d.controller_table.fill(2, 1, 1, 5); },
                  check_controller_table_unchanged,
                  "controller table step 1 differs from the copy taken after allocation"}),
    [](const auto &info) { return info.param.name; });

TEST(VerifySynthesized, DebugBuildsStopNamingTheDesignAndThePromise) {
#ifdef NDEBUG
    GTEST_SKIP() << "release builds skip the verification";
#endif
    const Design design = synthesized();
    verify_synthesized(design, design.resources, "main design");
    try {
        verify_synthesized(design, {{Add, 1}, {Multiply, 1}}, "main design");
        ADD_FAILURE() << "passed";
    } catch (const Refusal &refusal) {
        EXPECT_EQ(refusal.reason(), Refusal::Reason::BrokenInvariant);
        EXPECT_STREQ(refusal.what(), "main design: list step 1 runs 2 operations of type 0, limit 1");
    }
}

}  // namespace
}  // namespace velnor
