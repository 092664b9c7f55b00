// The checkers must catch what they promise to catch: each row breaks one
// promise of a correctly synthesized design and expects the message that
// names the step, operation, variable or register concerned.
#include "synthesis/schedule_checks.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

#include "synthesis/register_allocation.h"
#include "tests/synthesis_fixtures.h"

namespace velnor {
namespace {

const ResourceLimits limits = {{Add, 2}, {Multiply, 1}};

// 1 and 2 run in step 1, their product 3 in step 2. Variables: 1 and 2 the
// primary inputs, 3 and 4 the sums, 5 the product; registers 1 {1, 3, 5} and 2 {2, 4}.
Design synthesized() {
    Design design = test::scheduled_graph({{Add, 0, 0, 1}, {Add, 0, 0, 2}, {Multiply, 1, 2, 3}});
    std::ostringstream log;
    schedule_list(design, limits);
    derive_lifetimes(design, log);
    allocate_registers(design);
    return design;
}

std::string list_table(const Design &design) {
    return check_step_table(design, design.list_steps, &Operation::list_step, "list", true);
}

TEST(ScheduleChecks, CorrectDesignPassesEveryCheck) {
    const Design design = synthesized();
    EXPECT_EQ(list_table(design), "");
    EXPECT_EQ(check_step_table(design, design.asap_steps, &Operation::asap_step, "ASAP", true), "");
    EXPECT_EQ(check_step_table(design, design.alap_steps, &Operation::alap_step, "ALAP", true), "");
    EXPECT_EQ(check_precedence(design), "");
    EXPECT_EQ(check_step_limits(design, limits), "");
    EXPECT_EQ(check_lifetimes(design), "");
    EXPECT_EQ(check_registers(design), "");
    EXPECT_EQ(check_controller_table(design), "");
    EXPECT_EQ(check_controller_table_unchanged(design), "");
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
    const BreakCase &c = GetParam();
    Design design = synthesized();
    c.spoil(design);
    EXPECT_EQ(c.check(design), c.message);
}

INSTANTIATE_TEST_SUITE_P(
    ScheduleChecks, ScheduleChecksCatch,
    ::testing::Values(
        BreakCase{"OperationInTwoSteps", [](Design &d) { d.list_steps[2].push_back(1); }, list_table,
                  "operation 1 stands in list steps 1 and 2"},
        BreakCase{"StepFieldDisagreesWithKey", [](Design &d) { d.operations[3].list_step = 3; }, list_table,
                  "operation 3 stands in list step 2 but its own step is 3"},
        BreakCase{"PlacedButMissingFromTable", [](Design &d) { d.list_steps[2].clear(); }, list_table,
                  "operation 3 has list step 2 but stands in no list step"},
        BreakCase{"UnknownIdInTable", [](Design &d) { d.list_steps[2].push_back(9); }, list_table,
                  "list step 2 holds 9, which is no operation"},
        BreakCase{"NeverPlaced",
                  [](Design &d) {
                      d.operations[3].list_step = -1;
                      d.list_steps.erase(2);
                  },
                  list_table, "operation 3 has no list step"},
        BreakCase{"ConsumerBesideItsProducer", [](Design &d) { d.operations[3].list_step = 1; }, check_precedence,
                  "operation 3 in step 1 reads 1 of step 1"},
        BreakCase{"ConsumerOfUnplacedProducer", [](Design &d) { d.operations[2].list_step = -1; }, check_precedence,
                  "operation 3 in step 2 reads 2, which is not scheduled"},
        BreakCase{"TooManyAddersInOneStep", [](Design &) {},
                  [](const Design &d) { return check_step_limits(d, {{Add, 1}, {Multiply, 1}}); },
                  "list step 1 runs 2 operations of type 0, limit 1"},
        BreakCase{"ResultHeldTooLong",
                  [](Design &d) {
                      d.lifetimes[2].death = 2;
                      d.lifetime_of[3] = {1, 2};
                  },
                  check_lifetimes, "result variable 3 of operation 1 lives 1..2, expected 1..1"},
        BreakCase{"LifetimeTablesDisagree", [](Design &d) { d.lifetime_of[4] = {1, 2}; }, check_lifetimes,
                  "variable 4 lives 1..1 but lifetime_of says otherwise"},
        BreakCase{"WrongInputVariable", [](Design &d) { d.operations[3].second_input_variable = 3; },
                  check_lifetimes, "operation 3 (inputs 1, 2) records input variables 3 and 3, expected 3 and 4"},
        BreakCase{"PrimaryInputsNotShared", [](Design &d) { d.operations[2].first_input_variable = 1; },
                  check_lifetimes,
                  "operation 2 (inputs 0, 0) records input variables 1 and 2, expected one shared primary-input "
                  "variable"},
        BreakCase{"TwoVariablesInOneRegisterStep", [](Design &d) { d.register_of[4] = 1; }, check_registers,
                  "register 1 holds variables 3 and 4 both in step 1"},
        BreakCase{"VariableWithoutRegister", [](Design &d) { d.register_of.erase(5); }, check_registers,
                  "variable 5 has no register"},
        BreakCase{"ControllerTableShowsWrongVariable", [](Design &d) { d.controller_table[1][2] = 5; },
                  check_controller_table, "controller table step 1 register 2 does not hold variable 4"},
        BreakCase{"ControllerTableHoldsExtraVariable", [](Design &d) { d.controller_table[2][2] = 4; },
                  check_controller_table, "controller table holds 6 variable entries, the lifetimes 5"},
        BreakCase{"ControllerTableChangedSinceAllocation", [](Design &d) { d.controller_table[1][2] = 5; },
                  check_controller_table_unchanged,
                  "controller table step 1 differs from the copy taken after allocation"},
        BreakCase{"ControllerTableGainedAStep", [](Design &d) { d.controller_table[7][1] = 1; },
                  check_controller_table_unchanged, "controller table step 7 is new since allocation"}),
    [](const ::testing::TestParamInfo<BreakCase> &info) { return info.param.name; });

}  // namespace
}  // namespace velnor
