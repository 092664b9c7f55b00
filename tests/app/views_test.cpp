// The console views' texts on small designs built by hand; every expected text
// is written out from the view's definition, not taken from the program.
#include <gtest/gtest.h>

#include "app/views.h"

namespace velnor {
namespace {

Operation operation(int32_t id, int32_t type, ModuleVariant variant) {
    Operation op;
    op.id = id;
    op.type = type;
    op.variant = variant;
    return op;
}

// Step 1 holds an adder and a multiplier, step 2 a subtraction; embedding moved
// the adder to variant 2.
Design scheduled_design() {
    Design design;
    design.operations[1] = operation(1, Add, 2);
    design.operations[2] = operation(2, Multiply, 2);
    design.operations[3] = operation(3, Subtract, unbound_variant);
    design.list_steps = {{1, {1, 2}}, {2, {3}}};
    design.variant_of = {{1, 1}, {2, 2}};
    return design;
}

TEST(ScheduleTable, BeforeEmbeddingShowsTheBoundVariantAndZeroWithoutOne) {
    EXPECT_EQ(schedule_table(scheduled_design(), VariantColumn::Bound).toStdString(),
              "<table border=\"1\"><tr><th>control step</th><th colspan=\"0\">operator</th></tr>"
              "<tr><td>1</td><td>1 (+) 1</td><td>2 (*) 2</td></tr>"
              "<tr><td>2</td><td>3 (*) 0</td></tr></table>");
}

TEST(ScheduleTable, AfterEmbeddingShowsEachOperationsOwnVariant) {
    EXPECT_EQ(schedule_table(scheduled_design(), VariantColumn::Embedded).toStdString(),
              "<table border=\"1\"><tr><th>control step</th><th colspan=\"0\">operator</th></tr>"
              "<tr><td>1</td><td>1 (+) 2</td><td>2 (*) 2</td></tr>"
              "<tr><td>2</td><td>3 (*) -1</td></tr></table>");
}

TEST(ScheduleTable, NoStepsGiveTheHeaderAlone) {
    EXPECT_EQ(schedule_table(Design(), VariantColumn::Bound).toStdString(),
              "<table border=\"1\"><tr><th>control step</th><th colspan=\"0\">operator</th></tr></table>");
}

TEST(RegisterTable, CellsShowVariablesFromZeroAndLeaveGapsEmpty) {
    // Step 1: register 1 holds variable 3, register 2 an explicit 0; step 2:
    // register 3 holds variable 1. Four registers, so a last empty column.
    const ControllerTable table{{1, {{1, 3}, {2, 0}}}, {2, {{3, 1}}}};
    EXPECT_EQ(register_table(table, 4).toStdString(),
              "<table border=\"1\"><tr><th>cs(\\/)/color(->)</th><th>1</th><th>2</th><th>3</th></tr>"
              "<tr><td>1</td><td>2</td><td></td><td></td><td></td></tr>"
              "<tr><td>2</td><td></td><td></td><td>0</td><td></td></tr></table>");
}

TEST(RegisterTable, HeaderCountsTheHighestRegisterUsedAndRowsTheRegisterCount) {
    const ControllerTable table{{3, {{2, 5}}}};
    EXPECT_EQ(register_table(table, 1).toStdString(),
              "<table border=\"1\"><tr><th>cs(\\/)/color(->)</th><th>1</th><th>2</th></tr>"
              "<tr><td>3</td><td></td></tr></table>");
}

TEST(RegisterTable, EmptyTableLeavesTheHeaderRowOpen) {
    EXPECT_EQ(register_table({}, 3).toStdString(), "<table border=\"1\"><tr><th>cs(\\/)/color(->)</th></table>");
}

TEST(RegisterTable, StepsWithoutRegistersCloseTheHeaderWithNoColumns) {
    EXPECT_EQ(register_table({{1, {}}}, 0).toStdString(),
              "<table border=\"1\"><tr><th>cs(\\/)/color(->)</th></tr><tr><td>1</td></tr></table>");
}

struct ZeroListCase {
    const char *name;
    int variables;
    int zeros;
    const char *expected;
};

class ZeroConstraintList : public ::testing::TestWithParam<ZeroListCase> {};

TEST_P(ZeroConstraintList, ListsTheExaminedPairsCountedFromZero) {
    EXPECT_EQ(zero_constraint_list(GetParam().variables, GetParam().zeros).toStdString(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, ZeroConstraintList,
    ::testing::Values(ZeroListCase{"NoZerosStillListsTheFirstPair", 5, 0, "( v0, v2),"},
                      ZeroListCase{"TwoZeros", 5, 2, "( v0, v2),( v0, v4),"},
                      ZeroListCase{"ThirdPairStartsFromTheNextEvenVariable", 5, 3, "( v0, v2),( v0, v4),( v2, v4),"},
                      ZeroListCase{"MoreZerosThanPairsListsEveryPair", 6, 10, "( v0, v2),( v0, v4),( v2, v4),"},
                      ZeroListCase{"SevenVariables", 7, 5, "( v0, v2),( v0, v4),( v0, v6),( v2, v4),( v2, v6),"},
                      ZeroListCase{"TwoVariablesHaveNoPair", 2, 4, ""},
                      ZeroListCase{"NoVariables", 0, 1, ""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(TextViews, IdListEndsEveryIdWithAComma) {
    EXPECT_EQ(id_list({1, 4, 12}).toStdString(), "1,4,12,");
    EXPECT_EQ(id_list({}).toStdString(), "");
}

TEST(TextViews, EncodedStringsOneLinePerBlockIgnoringRulesWithoutABlock) {
    EXPECT_EQ(encoded_strings({3, 7, 9}, {"0110", "1111"}).toStdString(), "3 : 0110\n7 : 1111\n");
}

TEST(TextViews, LeadingBitsStopAtTheEndOfTheOutput) {
    EXPECT_EQ(leading_bits("0110101", 3).toStdString(), "011");
    EXPECT_EQ(leading_bits("0110101", 0).toStdString(), "");
    EXPECT_EQ(leading_bits("0110101", 600).toStdString(), "0110101");
}

}  // namespace
}  // namespace velnor
